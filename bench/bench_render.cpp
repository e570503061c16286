// Prints where the time of `gvz-studio --show-all --render FILE.png` goes, step by step, on the
// same viewer window the studio drives:
//
//   bench_render TRACE [WxH]
//
// read (the trace file alone), merge (the rest of opening: rows, default chart), chart build (all
// curves shown), draw (the chart into an image) and encode (PNG), each in wall-clock and CPU
// time (the CPU time tells more on a busy machine), then the peak resident memory.
// Compare the whole process with `/usr/bin/time -v gvz-studio --show-all --render x.png TRACE`.
#include "benchutil.h"

#include "viewer/qagvzviewer.h"
#include "data/qagvzfile.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_render TRACE [WxH]\n");
        return 2;
    }
    const QString trace = QString::fromLocal8Bit(argv[1]);
    const QStringList size = QString::fromLatin1(argc > 2 ? argv[2] : "1200x800").split('x');
    const QSize imageSize(size.value(0).toInt(), size.value(1).toInt());
    QAGVZViewer::initialize(nullptr, nullptr);

    // Each step: wall-clock and CPU milliseconds.
    struct Lap
    {
        double wall;
        double cpu;
    };
    QElapsedTimer timer;
    std::clock_t cpuStart = std::clock();
    const auto lap = [&timer, &cpuStart] {
        const std::clock_t now = std::clock();
        const Lap step{double(timer.nsecsElapsed()) / 1e6,
                       double(now - cpuStart) * 1000.0 / CLOCKS_PER_SEC};
        timer.restart();
        cpuStart = now;
        return step;
    };
    timer.start();
    {
        QAGVZFile file;
        file.read(trace);
    }
    const Lap readMs = lap();

    QAGVZViewer viewer;
    QStringList files{trace};
    viewer.setFiles(&files, nullptr, QAStViewerWindow::FileMode);
    const Lap openMs = lap();

    QAStViewerWindow::CurveRoles all;
    all.time = QStringList();
    for (const QAStViewerWindow::CurveInfo& curve : viewer.curveList())
        all.time->append(curve.name);
    viewer.setCurveRoles(all);
    const Lap buildMs = lap();

    QImage image(imageSize, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.fillRect(image.rect(), Qt::white);
    viewer.drawChart(painter, image.rect());
    painter.end();
    const Lap drawMs = lap();

    QBuffer png;
    png.open(QIODevice::WriteOnly);
    image.save(&png, "PNG");
    const Lap encodeMs = lap();

    std::printf("%s: %lld curves (wall / CPU)\n", argv[1],
                static_cast<long long>(viewer.curveList().size()));
    const struct
    {
        const char* name;
        Lap step;
    } steps[] = {{"read (file alone)", readMs},
                 {"open (read and merge)", openMs},
                 {"chart build (all)", buildMs},
                 {"draw", drawMs},
                 {"encode PNG", encodeMs}};
    for (const auto& s : steps)
        std::printf("  %-22s %8.1f / %8.1f ms\n", s.name, s.step.wall, s.step.cpu);
    std::printf("  peak resident          %8.0f MB\n", processMemory().peak / (1024 * 1024));
    return 0;
}
