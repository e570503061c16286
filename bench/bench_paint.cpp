// Prints how long DChartPainter takes for large charts and what their points cost, then the
// interaction figures: zoomed views, a moving 3-D frame and the XY data cursor.
// Usage: bench_paint [largest point count, default 10000000] [folder to save the pictures in]
#include "host/chart/dchartpainter.h"
#include "host/chart/dcurvesummary.h"
#include "host/chart/ditem.h"
#include "host/chart/dpointpool.h"
#include "host/chart/dstyle.h"
#include "host/chart/dupdater.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace {

struct Chart
{
    std::unique_ptr<DGraphic> graphic;
    std::vector<std::unique_ptr<DStyle>> styles;
    double buildMs = 0;
};

DStyle* addStyle(Chart& chart, unsigned char r, unsigned char g, unsigned char b)
{
    chart.styles.push_back(std::make_unique<DStyle>(
        QStringLiteral("s"), new DFont(QString(), 10, 0), nullptr, new DColor(r, g, b), false));
    return chart.styles.back().get();
}

// LogTime: time curves above zero but for a dropout to zero of 1% of the samples, in runs.
enum class Kind { Time, LogTime, XY, Lines3D };

// Curves built as the viewer builds them: one point per sample, linked in order.
Chart build(Kind kind, int curves, long long points)
{
    QElapsedTimer timer;
    timer.start();
    Chart chart;
    const bool threeD = kind == Kind::Lines3D;
    chart.graphic.reset(new DGraphic(QStringLiteral("Benchmark"),
                                     threeD ? DGraphic::Lines3D : DGraphic::Chart2D, QString(),
                                     nullptr, addStyle(chart, 0, 0, 0), nullptr));
    DGraphic* g = chart.graphic.get();
    std::vector<DAxis*> axes;
    for (int i = 0; i < (threeD ? 3 : 2); ++i)
        axes.push_back(new DAxis(QString(QChar('x' + i)), QString(), QString(QChar('X' + i)), g,
                                 addStyle(chart, 0, 0, 0)));
    for (std::size_t i = 0; i < axes.size(); ++i)
        (i == 0 ? g->firstChild : axes[i - 1]->next) = axes[i];
    DItem* last = axes.back();
    std::mt19937 random(42);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    for (int c = 0; c < curves; ++c) {
        auto* curve =
            new DCurve(0, QStringLiteral("curve %1").arg(c), g,
                       addStyle(chart, static_cast<unsigned char>(40 * c), 0, 200), nullptr);
        last->next = curve;
        last = curve;
        DItem* previous = nullptr;
        float x = 0, y = 0, z = 0;
        for (long long i = 0; i < points; ++i) {
            if (kind == Kind::Time || kind == Kind::LogTime) {
                x = float(i);
                y = float(c) + std::sin(float(i) * 1e-4f) + 0.1f * noise(random);
                if (i % 100003 == 0)
                    y += 5; // spikes
                if (kind == Kind::LogTime)
                    y = i % 10000 < 100 ? 0.0f : y + 2.0f;
            } else {
                x += noise(random);
                y += noise(random);
                z += noise(random);
            }
            auto* point = new DPoint(curve, nullptr);
            point->addCoord(axes[0], x);
            point->addCoord(axes[1], y);
            if (threeD)
                point->addCoord(axes[2], z);
            (previous ? previous->next : curve->firstChild) = point;
            previous = point;
        }
    }
    DUpdater().doItem(g);
    for (DAxis* axis : axes) {
        const float range = axis->property(DAxis::RangeMax) - axis->property(DAxis::RangeMin);
        axis->setProperty(DAxis::GridSpacing, range / 8);
        axis->setProperty(DAxis::UnitSpacing, range / 8);
        axis->setProperty(DAxis::DotSpacing, range / 40);
    }
    chart.buildMs = double(timer.nsecsElapsed()) / 1e6;
    return chart;
}

QString saveFolder;

// Median of a few draws into a fresh 1200 x 800 image.
double drawMs(const Chart& chart, const QString& name, bool preview = false)
{
    QImage image(1200, 800, QImage::Format_RGB32);
    DChartPainter painter;
    painter.preview = preview;
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        image.fill(Qt::white);
        QPainter p(&image);
        QElapsedTimer timer;
        timer.start();
        painter.draw(p, image.rect(), chart.graphic.get());
        runs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    if (!saveFolder.isEmpty())
        image.save(saveFolder + QLatin1Char('/') + name + QStringLiteral(".png"));
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

void run(const char* label, Kind kind, int curves, long long points)
{
    const std::size_t blocksBefore = DPointPool::blockCount();
    Chart chart = build(kind, curves, points);
    const double bytes = double(DPointPool::blockCount() - blocksBefore) * (1 << 20);
    const double perPoint = bytes / (double(points) * curves);
    const double draw =
        drawMs(chart, QStringLiteral("%1-%2").arg(QString::fromLatin1(label)).arg(points));
    QElapsedTimer timer;
    timer.start();
    chart.graphic.reset();
    const double deleteMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%-10s %2d x %9lld  build %9.1f ms  draw %8.1f ms  delete %7.1f ms  %5.1f B/pt\n",
                label, curves, points, chart.buildMs, draw, deleteMs, perPoint);
    std::fflush(stdout);
}

// Shows the first `share` of the X range (and all of Y) with spacings for it.
void viewFirst(Chart& chart, double share)
{
    DGraphic* g = chart.graphic.get();
    const DAxis* x = g->firstChild->toAxis();
    const DAxis* y = g->firstChild->next->toAxis();
    const double x0 = x->property(DAxis::RangeMin);
    const double width = (x->property(DAxis::RangeMax) - x0) * share;
    const double y0 = y->property(DAxis::RangeMin);
    const double height = y->property(DAxis::RangeMax) - y0;
    g->view.rect = QRectF(x0, y0, width, height);
    const double sizes[] = {width, height};
    for (int axis = 0; axis < 2; ++axis) {
        g->view.spacing[axis][0] = g->view.spacing[axis][1] = float(sizes[axis] / 8);
        g->view.spacing[axis][2] = float(sizes[axis] / 40);
    }
}

template <class F> double medianMs(F f)
{
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        runs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

void interaction()
{
    {
        Chart chart = build(Kind::Time, 8, 1000000);
        viewFirst(chart, 0.01);
        std::printf("zoom 8x1M 1%%: %.1f ms\n", drawMs(chart, QStringLiteral("zoom-1M")));
    }
    {
        Chart chart = build(Kind::Time, 8, 5000000);
        std::printf("zoom 8x5M full: %.1f ms\n", drawMs(chart, QStringLiteral("zoom-5M-full")));
        viewFirst(chart, 0.01);
        std::printf("zoom 8x5M 1%%: %.1f ms\n", drawMs(chart, QStringLiteral("zoom-5M")));
        chart.graphic->view = DView();
        chart.graphic->stacked = true;
        std::printf("stack 8x5M: %.1f ms\n", drawMs(chart, QStringLiteral("stack-5M")));
    }
    {
        Chart chart = build(Kind::LogTime, 8, 1000000);
        chart.graphic->logY = true;
        std::printf("logy 8x1M: %.1f ms\n", drawMs(chart, QStringLiteral("logy-1M")));
    }
    {
        Chart chart = build(Kind::Lines3D, 1, 2000000);
        std::printf("3d-drag 2M: %.1f ms\n", drawMs(chart, QStringLiteral("3d-drag"), true));
    }
    Chart chart = build(Kind::XY, 8, 1000000);
    const QRect rect(0, 0, 1200, 800);
    QImage image(rect.size(), QImage::Format_RGB32);
    DChartPainter painter;
    {
        QPainter p(&image);
        painter.draw(p, rect, chart.graphic.get());
    }
    const DPlotMap map = painter.plotMap();
    const QRectF plot = painter.plotArea();
    std::vector<const DCurve*> curves;
    for (const DItem* item = chart.graphic->firstChild; item; item = item->next) {
        if (const DCurve* curve = item->toCurve())
            curves.push_back(curve);
    }
    // The mouse a few pixels beside a point of some curve: the search has to find it.
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> anyPoint(0, 999999);
    int found = 0;
    const double cursor = medianMs([&] {
        const DCurve* near = curves[anyPoint(random) % curves.size()];
        const DPoint* point = near->summary->pointAt(anyPoint(random));
        const QPointF at = map(point->coord(0), point->coord(1)) + QPointF(3, 4);
        double best = 20.0;
        for (const DCurve* curve : curves) {
            double distance = 0.0;
            std::size_t index = 0;
            if (curve->summary->nearest(map, plot, at, best, distance, index))
                best = distance;
        }
        found += best < 20.0 ? 1 : 0;
    });
    std::printf("cursor 8x1M: %.1f ms\n", cursor);
    if (found < 5)
        std::printf("(the cursor found only %d of 5 points)\n", found);
    std::size_t bytes = 0;
    for (const DCurve* curve : curves)
        bytes += curve->summary->bytes();
    const double summaryMs = medianMs([&] { DCurveSummary summary(*curves.front()); }) * 8;
    std::printf("(the summary that the cursor searches is built with the chart: %.1f ms and "
                "%.1f MB for 8 x 1M points, %.2f B/pt)\n",
                summaryMs, double(bytes) / 1e6, double(bytes) / 8e6);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const long long largest = argc > 1 ? std::atoll(argv[1]) : 10000000;
    if (argc > 2)
        saveFolder = QString::fromLocal8Bit(argv[2]);
    std::printf("DChartPainter into a 1200 x 800 QImage (median of 5 draws)\n");
    for (long long n = 10000; n <= largest; n *= 10) {
        run("time", Kind::Time, 8, std::min(n, 1000000LL) == n ? n : n / 8);
        run("xy-walk", Kind::XY, 1, n);
        run("3d-lines", Kind::Lines3D, 1, n);
    }
    interaction();
    return 0;
}
