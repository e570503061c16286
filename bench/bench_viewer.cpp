// Prints how long a viewer window takes on a large trace and what it holds in memory.
//
//   bench_viewer                    runs 100000, 1000000 and 5000000 rows, each in its own process
//   bench_viewer ROWS [PICTURE.png]  one size; saves the time chart of all curves when asked
//
// Each size: open (read, merge, default time chart, first paint), switch the chart type, toggle
// one curve's role, reload the unchanged file, the resident memory per sample with the time
// chart of all 8 curves shown, and the switch from that chart to the XY chart. Beside a reload and
// a chart switch: the heap trims they ran and what those cost. Then, in the exact form scripts
// look for: the longest time a 10 ms timer of the GUI thread waited while the trace opened
// ("open 5M max event gap"), and an automatic reload after 1000 rows were appended, with all 8
// curves shown, until the chart is painted ("grow 5M+1000 reload"). The trace comes from
// gvz-gentrace (8 columns).
#include "benchutil.h"

#include "viewer/heaptrimscope_p.h"
#include "viewer/qagvzitem.h"
#include "viewer/qagvzviewer.h"
#include "graphic/qagvzgraphic.h"
#include "host/studio/qaiprogressmonitor.h"
#include "host/studio/qalistview.h"
#include "host/studio/studiointerface.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Columns = 8;

// Paints the chart as the screen would, into an image.
void paint(QAGVZViewer& viewer, QImage& image)
{
    viewer.graphic->viewport()->render(&image);
}

double elapsedMs(QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// "5M" for 5000000 rows, "100k" for 100000.
QByteArray sizeName(long rows)
{
    if (rows % 1000000 == 0)
        return QByteArray::number(rows / 1000000) + 'M';
    if (rows % 1000 == 0)
        return QByteArray::number(rows / 1000) + 'k';
    return QByteArray::number(rows);
}

// `rows` lines of 8 numbers, as a rig would append them.
QByteArray moreRows(int rows)
{
    QByteArray text;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < Columns; ++c) {
            text += QByteArray::number(double(r * Columns + c) * 0.25);
            text += c + 1 < Columns ? '\t' : '\n';
        }
    }
    return text;
}

// A studio whose progress dialog shows from the start: every step serves the event loop.
class ServingStudio final : public StudioInterface, public QAIProgressMonitor
{
public:
    long queryInterface(const QUuid& id, QUnknownInterface** iface) override
    {
        const bool known = id == IID_StudioInterface || id == IID_QUnknown;
        *iface = known ? this : nullptr;
        return known ? Ok : NoInterface;
    }
    unsigned long addRef() override { return 1; }
    unsigned long release() override { return 1; }
    QMainWindow* mainWindow() override { return nullptr; }
    QString exportDirectory() override { return {}; }
    QString htmlGenerator() override { return {}; }
    void registerResourceProducer(QAResProducer*) override {}
    int insertMenu(const QString&, QMenu*) override { return -1; }
    void removeMenu(int) override {}
    void logMessage(const QString&) override {}
    QAIProgressMonitor* progressMonitor() override { return this; }

    void setTotalSteps(int) override {}
    void setProgress(int) override { QCoreApplication::processEvents(); }
    void setLabel(const QString&) override {}
    bool wasCanceled() const override { return false; }
};

int runOne(long rows, const QString& picture)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.gvz"));
    QProcess generator;
    generator.start(QStringLiteral(GVZ_GENTRACE),
                    {QString::number(rows), QString::number(Columns), path});
    if (!generator.waitForFinished(-1) || generator.exitCode() != 0) {
        std::fprintf(stderr, "bench_viewer: gvz-gentrace failed\n");
        return 1;
    }
    const double samples = double(rows) * Columns;
    static ServingStudio studio;
    QAGVZViewer::initialize(nullptr, &studio);
    QImage image(880, 680, QImage::Format_RGB32);
    {
        // What any window costs (fonts, caches) is not memory per sample.
        QAGVZViewer empty;
        empty.resize(900, 700);
        paint(empty, image);
    }
    const ProcessMemory base = processMemory();

    // The event loop's longest wait: the time between two runs of a 10 ms timer.
    QElapsedTimer ticks;
    double maxGapMs = 0;
    int tickCount = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        maxGapMs = std::max(maxGapMs, elapsedMs(ticks));
        ticks.restart();
        ++tickCount;
    });
    ticker.start(10);
    ticks.start();

    QElapsedTimer timer;
    timer.start();
    QAGVZViewer viewer;
    viewer.resize(900, 700);
    QStringList files{path};
    viewer.setFiles(&files, nullptr, QAStViewerWindow::FileMode);
    const double buildMs = elapsedMs(timer);
    paint(viewer, image);
    const double openMs = elapsedMs(timer);
    const ProcessMemory opened = processMemory();
    // The tick that ends the open's gap.
    const int ticksBefore = tickCount;
    while (tickCount == ticksBefore)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ticker.stop();

    // The heap trims of the last measure: how many, and their milliseconds.
    int trims = 0;
    double trimMs = 0;
    auto measure = [&](auto&& change) {
        const int trimsBefore = HeapTrimScope::trims();
        const qint64 trimNsBefore = HeapTrimScope::trimNanoseconds();
        timer.restart();
        change();
        paint(viewer, image);
        const double ms = elapsedMs(timer);
        trims = HeapTrimScope::trims() - trimsBefore;
        trimMs = double(HeapTrimScope::trimNanoseconds() - trimNsBefore) / 1e6;
        return ms;
    };
    auto* second = static_cast<QAGVZItem*>(viewer.listView->topLevelItem(1));
    const double toXyMs = measure([&viewer] { viewer.setGraphicType(QAGVZViewer::XYGraphic); });
    const double toTimeMs = measure([&viewer] { viewer.setGraphicType(QAGVZViewer::TimeGraphic); });
    const double toggleMs =
        measure([&viewer, second] { viewer.itemMenuActivated(second, QAGVZViewer::IdItemTime); });
    const double reloadMs = measure([&viewer] { viewer.reload(); });
    const int reloadTrims = trims;
    const double reloadTrimMs = trimMs;

    for (int i = 0; i < viewer.listView->topLevelItemCount(); ++i)
        static_cast<QAGVZItem*>(viewer.listView->topLevelItem(i))->displayIfTime = true;
    const double allMs = measure([&viewer] { viewer.updateGraphic(); });
    const ProcessMemory shown = processMemory();
    if (!picture.isEmpty())
        image.save(picture);
    const double allToXyMs = measure([&viewer] { viewer.setGraphicType(QAGVZViewer::XYGraphic); });
    const int allToXyTrims = trims;
    const double allToXyTrimMs = trimMs;

    viewer.setGraphicType(QAGVZViewer::TimeGraphic);
    paint(viewer, image);
    {
        QFile trace(path);
        if (!trace.open(QIODevice::Append) || trace.write(moreRows(1000)) < 0) {
            std::fprintf(stderr, "bench_viewer: cannot append to the trace\n");
            return 1;
        }
    }
    const double growMs = measure([&viewer] { viewer.refreshContents(); });

    const double mb = 1024.0 * 1024.0;
    std::printf("%ld rows x %d columns\n"
                "  open        %8.1f ms (read, merge, chart %.1f; paint %.1f), peak %.0f MB\n"
                "  to XY       %8.1f ms\n"
                "  to time     %8.1f ms\n"
                "  toggle      %8.1f ms\n"
                "  reload      %8.1f ms (heap trims: %d, %.1f ms)\n"
                "  all 8 shown %8.1f ms, %.1f bytes per sample, peak so far %.0f MB\n"
                "  all to XY   %8.1f ms (heap trims: %d, %.1f ms)\n"
                "open %s max event gap: %.0f ms\n"
                "grow %s+1000 reload: %.0f ms\n",
                rows, Columns, openMs, buildMs, openMs - buildMs, opened.peak / mb, toXyMs,
                toTimeMs, toggleMs, reloadMs, reloadTrims, reloadTrimMs, allMs,
                (shown.resident - base.resident) / samples, shown.peak / mb, allToXyMs,
                allToXyTrims, allToXyTrimMs, sizeName(rows).constData(), maxGapMs,
                sizeName(rows).constData(), growMs);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc >= 2)
        return runOne(std::atol(argv[1]), argc >= 3 ? QString::fromLocal8Bit(argv[2]) : QString());
    // One process per size, so that each peak is its own.
    for (const char* rows : {"100000", "1000000", "5000000"}) {
        QProcess run;
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(rows)});
        if (!run.waitForFinished(-1) || run.exitCode() != 0)
            return 1;
    }
    return 0;
}
