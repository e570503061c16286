// Times an HTML export of a large chart: curve table, SVG and PNG of millions of points.
// Usage: bench_html [points per curve] [curves]

#include "host/chart/ditem.h"
#include "host/chart/dupdater.h"
#include "host/html/ddocument.h"
#include "host/html/dexporthtml.h"
#include "host/html/dhtmlwriter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int points = argc > 1 ? std::max(1, atoi(argv[1])) : 1000000;
    const int curves = argc > 2 ? std::max(1, atoi(argv[2])) : 4;

    auto* graphic = new DGraphic("Bench", DGraphic::Chart2D, QString(), nullptr, nullptr, nullptr);
    auto* x = new DAxis("x", QString(), "time", graphic, nullptr);
    auto* y = new DAxis("y", QString(), "Y", graphic, nullptr);
    graphic->firstChild = x;
    x->next = y;
    DItem* last = y;
    for (int c = 0; c < curves; ++c) {
        auto* curve =
            new DCurve(DCurve::Line, QStringLiteral("curve %1").arg(c), graphic, nullptr, nullptr);
        last->next = curve;
        last = curve;
        DItem* previous = nullptr;
        for (int i = 0; i < points; ++i) {
            auto* point = new DPoint(curve, nullptr);
            point->addCoord(x, float(i));
            point->addCoord(y, std::sin(float(i) * 0.001f * float(c + 1)));
            (previous ? previous->next : curve->firstChild) = point;
            previous = point;
        }
    }
    DUpdater().doItem(graphic);

    QTemporaryDir dir;
    DDocument document("Chart Result", "index");
    document.firstChild = graphic;
    QElapsedTimer timer;
    timer.start();
    const QList<DHTMLCurveRow> rows = DHTMLChart::curveRows(*graphic);
    const qint64 tableMs = timer.elapsed();
    timer.restart();
    DExportHtml exporter(dir.path(), QString());
    const bool ok = exporter.generate(&document, nullptr, nullptr);
    const qint64 exportMs = timer.elapsed();
    document.firstChild = nullptr;
    delete graphic;

    std::printf("%d curves x %d points (%d rows)\n", curves, points, int(rows.size()));
    std::printf("curve table:          %lld ms\n", static_cast<long long>(tableMs));
    std::printf("whole export:         %lld ms (%s)\n", static_cast<long long>(exportMs),
                ok ? "ok" : "FAILED");
    for (const char* file : {"index.html", "index.svg", "index.png"})
        std::printf("%-21s %lld bytes\n", file,
                    static_cast<long long>(QFileInfo(dir.filePath(file)).size()));
    return ok ? 0 : 1;
}
