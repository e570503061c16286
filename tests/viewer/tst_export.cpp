#include "viewer/qagvzitem.h"
#include "viewer/qagvzviewer.h"

#include "data/qagvzfile.h"
#include "data/qagvzvaluelist.h"

#include "tests/testfiles.h"
#include "tests/viewer/viewertestutil.h"
#include "graphic/qagvzgraphic.h"
#include "host/chart/dchartpainter.h"
#include "host/chart/ditem.h"
#include "host/html/dexporthtmldialog.h"
#include "host/studio/qaiprogressmonitor.h"
#include "host/studio/qalistview.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

FakeStudio studio;
const QByteArray abc = "a\tb\tc\n1\t2\t3\n4\t-5\t6\n7\t8\t0\n";
// How an interactive export ends.
enum End { Generate, CloseDialog, CloseWindow };

// The bounding box of the pixels of `image` that are not (nearly) white.
QRect ink(const QImage& image)
{
    QRect box;
    for (int i = 0; i < image.width() * image.height(); ++i) {
        const QPoint p(i % image.width(), i / image.width());
        if (qGray(image.pixel(p)) < 200)
            box |= QRect(p, QSize(1, 1));
    }
    return box;
}

// Records a read's progress and cancels at its `cancelAt`-th step (-1: never) or, with
// `cancelBuild`, once the chart is being built; only while it may.
class Progress final : public QAIProgressMonitor
{
public:
    void setTotalSteps(int steps) override { total = steps; }
    void setProgress(int steps) override { steps_ << steps; }
    void setLabel(const QString& text) override { labels << text; }
    void setCancellable(bool on) override { cancellable = on; }
    bool wasCanceled() const override
    {
        const bool building =
            !steps_.isEmpty() && steps_.last() > total - QAGVZViewer::BuildProgressSteps;
        return cancellable
               && ((steps_.size() > cancelAt && cancelAt >= 0) || (cancelBuild && building));
    }

    int total = -1;
    int cancelAt = -1;
    bool cancelBuild = false;
    bool cancellable = true;
    QList<int> steps_;
    QStringList labels;
};

// The chart shown as text: every item in order with its coordinates and axis properties.
QStringList describe(const DGraphic* g)
{
    QStringList out;
    for (const DItem* item = g ? g->firstChild : nullptr; item; item = item->next) {
        QStringList line;
        if (const DAxis* axis = item->toAxis()) {
            line << axis->id() << axis->name();
            for (int p = DAxis::GridSpacing; p <= DAxis::RangeMax; ++p) {
                const auto property = DAxis::Property(p);
                line << (axis->hasProperty(property)
                             ? QString::number(axis->property(property), 'g', 9)
                             : QStringLiteral("-"));
            }
        } else if (const DCurve* curve = item->toCurve()) {
            line << curve->name;
            for (const DItem* point = curve->firstChild; point; point = point->next) {
                for (int slot = 0; slot < DPoint::MaxCoords; ++slot)
                    line << QString::number(point->toPoint()->coord(slot), 'g', 9);
            }
        }
        out << line.join(QLatin1Char(' '));
    }
    return out;
}

// The chart shown, painted into an image.
QImage chartImage(QAGVZViewer& viewer)
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DChartPainter().draw(painter, image.rect(), viewer.graphic->graphic);
    return image;
}

// Every row's texts, samples, and the places of its min and max in the chain.
QStringList curvesOf(const QAGVZViewer& viewer)
{
    QStringList out;
    for (int i = 0; i < viewer.listView->topLevelItemCount(); ++i) {
        const auto* row = static_cast<QAGVZItem*>(viewer.listView->topLevelItem(i));
        QStringList line{row->text(0), row->text(1), row->text(2), row->text(3)};
        int index = 0;
        for (const QAGVZValue* v = row->values ? row->values->first : nullptr; v; v = v->next) {
            line << QString::number(v->value, 'g', 9);
            if (v == row->values->min)
                line << QStringLiteral("min@%1").arg(index);
            if (v == row->values->max)
                line << QStringLiteral("max@%1").arg(index);
            ++index;
        }
        out << line.join(QLatin1Char(' '));
    }
    return out;
}

// Rows of a random trace (signs, exponents, empty cells, a Unicode digit, some CRLF) cut at
// random bytes: the steps of a writer that flushes anywhere.
QList<QByteArray> randomGrowth(quint32 seed, int rows, int pieces)
{
    QRandomGenerator random(seed);
    QByteArray text;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 3; ++c) {
            const int kind = random.bounded(8);
            if (kind == 0)
                text += "";
            else if (kind == 1)
                text += "\xd9\xa3"; // ARABIC-INDIC DIGIT THREE
            else
                text += QByteArray::number(random.bounded(2000.0) - 1000.0, 'g', 1 + kind);
            text += c < 2 ? "\t" : (random.bounded(3) == 0 ? "\r\n" : "\n");
        }
    }
    QList<int> cuts;
    for (int i = 0; i < pieces - 1; ++i)
        cuts << random.bounded(int(text.size()));
    cuts << 0 << int(text.size());
    std::sort(cuts.begin(), cuts.end());
    QList<QByteArray> steps;
    for (int i = 0; i + 1 < cuts.size(); ++i)
        steps << "+" + text.mid(cuts[i], cuts[i + 1] - cuts[i]);
    return steps;
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QMainWindow> host;

private slots:
    void initTestCase() { QAGVZViewer::initialize(nullptr, &studio); }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        host = std::make_unique<QMainWindow>();
        studio.window = host.get();
    }

    void exportHtml_data()
    {
        QTest::addColumn<QByteArray>("trace"); // empty: no chart, nothing is written
        QTest::newRow("a chart") << abc;
        QTest::newRow("no chart") << QByteArray();
    }

    void exportHtml()
    {
        QFETCH(QByteArray, trace);
        auto viewer = openTraces(*dir, {trace});
        DGraphic* chart = viewer->graphic->graphic;
        const QString out = dir->filePath(QStringLiteral("html"));
        QCOMPARE(viewer->exportHTML(out, QStringLiteral("ignored"), nullptr, nullptr),
                 !trace.isEmpty());
        QCOMPARE(QFileInfo::exists(out), !trace.isEmpty());
        if (trace.isEmpty())
            return;
        // The page names the studio's generator; its escaping is the HTML writer's own test.
        QVERIFY(readAll(out + QStringLiteral("/index.html")).contains("fake studio"));
        // The chart shown is the one exported, unlinked again and still drawable.
        QCOMPARE(viewer->graphic->graphic, chart);
        QVERIFY(!chart->parent && ink(chartImage(*viewer)).width() > 100);
    }

    void interactiveExport_data()
    {
        QTest::addColumn<int>("end");
        QTest::newRow("generate") << int(Generate);
        QTest::newRow("close") << int(CloseDialog);
        QTest::newRow("window closed first") << int(CloseWindow);
    }

    void interactiveExport()
    {
        QFETCH(int, end);
        auto viewer = openTraces(*dir, {abc});
        viewer->exportDoc();
        QPointer<DExportHtmlDialog> dialog = viewer->findChild<DExportHtmlDialog*>();
        QVERIFY(dialog && dialog->isVisible() && dialog->documents().size() == 1);
        QCOMPARE(dialog->generator, QStringLiteral("fake studio"));
        DDocument* document = dialog->documents().constFirst();
        QCOMPARE(document->title + ' ' + document->name, QStringLiteral("Chart Result index"));
        viewer->setGraphicType(QAGVZViewer::XYGraphic); // rebuilt while the dialog is open
        // The document always links the chart shown, never a deleted one.
        DGraphic* chart = viewer->graphic->graphic;
        QVERIFY(document->firstChild == chart && chart->parent == document);
        if (end == CloseWindow) {
            viewer.reset();
            QVERIFY(!dialog);
            return;
        }
        const QString out = dir->filePath(QStringLiteral("html"));
        if (end == Generate) {
            dialog->setTargetDirectory(out);
            dialog->generate();
            // The XY chart draws b against a, the time chart a alone.
            QVERIFY(readAll(out + QStringLiteral("/index.html")).contains("<td>b</td>"));
            QVERIFY(document->firstChild == chart); // open for another export until closed
            dialog->reject();
        } else {
            dialog->reject();
            QVERIFY(!QFileInfo::exists(out));
        }
        QVERIFY(dialog->documents().isEmpty() && viewer->graphic->graphic == chart);
        QVERIFY(!chart->parent && ink(chartImage(*viewer)).width() > 100);
    }

    void print_data()
    {
        QTest::addColumn<QByteArray>("trace");
        QTest::addColumn<bool>("fullPage");
        QTest::addColumn<bool>("accepted"); // the printer set-up was accepted
        QTest::addColumn<bool>("fails");    // the PDF's folder does not exist
        QTest::newRow("chart") << abc << false << true << false;
        QTest::newRow("chart, full page") << abc << true << true << false;
        QTest::newRow("no chart") << QByteArray() << false << true << false;
        QTest::newRow("cancelled") << abc << false << false << false;
        QTest::newRow("printer cannot start") << abc << false << true << true;
    }

    void print()
    {
        QFETCH(QByteArray, trace);
        QFETCH(bool, fullPage);
        QFETCH(bool, accepted);
        QFETCH(bool, fails);
        auto viewer = openTraces(*dir, {trace});
        const QString pdf = dir->filePath(fails ? "no/chart.pdf" : "chart.pdf");
        viewer->printerSetup = [&](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
            printer.setFullPage(fullPage);
            return accepted;
        };
        QSignalSpy messages(host->statusBar(), &QStatusBar::messageChanged);
        QString critical;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                critical = box->windowTitle() + ": " + box->text();
                box->accept();
            }
        });
        closer.start(10);
        viewer->print();
        QStringList seen;
        for (const QList<QVariant>& message : std::as_const(messages))
            seen << message.constFirst().toString();
        QCOMPARE(seen.join('|'), QString(!accepted ? ""
                                         : fails   ? "Printing ...|Printing failed."
                                                   : "Printing ...|Graphic printed."));
        QCOMPARE(critical,
                 fails ? "GVZ Viewer: Cannot print to " + pdf + ":\nits folder does not exist"
                       : QString());
        QCOMPARE(readAll(pdf).startsWith("%PDF"), accepted && !fails);
        if (!accepted || fails)
            return;

        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (pdftoppm.isEmpty())
            QSKIP("pdftoppm is needed to look at the printed page");
        const QString page = dir->filePath(QStringLiteral("page"));
        QCOMPARE(QProcess::execute(pdftoppm, {"-r", "96", "-png", "-singlefile", pdf, page}), 0);
        const QImage image(page + QStringLiteral(".png"));
        const QRect inked = ink(image);
        QCOMPARE(inked.isEmpty(), trace.isEmpty());
        if (inked.isEmpty())
            return;
        // Everything lies inside the 20 mm margins (74 pixels at 96 dpi, less rounding), wherever
        // the printer puts its origin, and the chart fills the printable area, not a corner of it.
        const QRect printable = image.rect().adjusted(74, 74, -74, -74);
        QVERIFY(printable.contains(inked) && inked.width() > printable.width() * 3 / 4);
    }

    // Steps per file: "+text" appends, "=text" rewrites in place, "~text" replaces by rename,
    // "-" deletes, "/" puts a folder in its place.
    void incrementalReloadEqualsFullReload_data()
    {
        using Steps = QList<QList<QByteArray>>;
        QTest::addColumn<QList<QByteArray>>("base");
        QTest::addColumn<Steps>("steps");
        // Steps that kept the curves (read on from where the last read stopped, or, for a file
        // that cannot be read, kept as last read); a full read makes new ones.
        QTest::addColumn<int>("incremental");
        QTest::addColumn<bool>("restarted");
        QTest::addColumn<int>("chart"); // QAGVZViewer::GraphicType
        // Steps whose chart was extended rather than built again (-1: not checked).
        QTest::addColumn<int>("extended");
        const auto row = [](const char* name, const QByteArray& base, const QList<QByteArray>& one,
                            int incremental, bool restarted, int extended, int chart = 0) {
            Steps steps; // of the one file
            for (const QByteArray& step : one)
                steps << QList<QByteArray>{step};
            QTest::newRow(name) << QList<QByteArray>{base} << steps << incremental << restarted
                                << chart << extended;
        };
        const QByteArray ab = "a\tb\n1\t2\n";
        row("whole lines", ab, {"+3\t4\n", "+5\t-6\n7\t8e3\n"}, 2, false, 2);
        row("middle of a line", ab, {"+3\t", "+9", "+4\n5\t6\n", "+9\t-9\n"}, 4, false, 4);
        row("middle of a CRLF pair", "a\tb\r\n1\t2\r\n", {"+3\t4\r", "+\n5\t6\r\n", "+7\t8\r\n"}, 3,
            false, 3);
        row("middle of a UTF-8 sequence", ab, {"+3\t\xd9", "+\xa3\n", "+5\t6\n"}, 3, false, 3);
        row("new extremes", ab, {"+-7\t2\n", "+1\t99\n-7\t99\n"}, 2, false, 2);
        row("shrunk, then grown", ab + "3\t4\n", {"=" + ab, "+1\t1\n"}, 1, true, 1);
        row("rewritten at the same size", ab, {"=a\tb\n3\t4\n"}, 0, true, 0);
        row("header changed", ab, {"=c\tb\n1\t2\n5\t5\n"}, 0, true, 0);
        row("replaced by rename", ab, {"~" + ab + "3\t4\n"}, 0, true, 0);
        row("deleted, then back", ab, {"-", "~" + ab + "7\t7\n"}, 1, false, 0);
        row("turned into a folder", ab, {"/"}, 1, false, 0);
        row("a name twice in a header", "a\ta\n1\t2\n", {"+3\t4\n"}, 0, false, 0);
        row("whole lines, XY chart", ab, {"+3\t4\n", "+5\t-6\n7\t8e3\n"}, 2, false, 2, 1);
        row("middle of a line, XYZ chart", "a\tb\tc\n1\t2\t3\n", {"+4\t5", "+9\t6\n7\t", "+8\t9\n"},
            3, false, 3, 2);
        QTest::newRow("a name in two files")
            << QList<QByteArray>{ab, "b\tc\n5\t6\n"} << Steps{{"+3\t4\n", "+7\t8\n"}} << 0 << false
            << 0 << 0;
        QTest::newRow("two files") << QList<QByteArray>{"a\n1\n", "b\tc\n2\t3\n"}
                                   << Steps{{"+3\n", ""}, {"", "+4\t5\n"}} << 2 << false << 0 << 2;
        for (quint32 seed = 1; seed <= 5; ++seed)
            row(qPrintable(QStringLiteral("random growth %1").arg(seed)), "a\tb\tc\n",
                randomGrowth(seed, 60, 12), 12, false, -1, int(seed % 3));
    }
    void incrementalReloadEqualsFullReload()
    {
        QFETCH(QList<QByteArray>, base);
        QFETCH(QList<QList<QByteArray>>, steps);
        QFETCH(int, incremental);
        QFETCH(bool, restarted);
        QFETCH(int, chart);
        QFETCH(int, extended);
        QStringList paths;
        auto viewer = openTraces(*dir, base, &paths);
        QVERIFY(viewer);
        QAGVZViewer full; // the same history, read in full at every step
        full.setFiles(&paths, nullptr, QAStViewerWindow::FileMode);
        viewer->setGraphicType(QAGVZViewer::GraphicType(chart));
        full.setGraphicType(QAGVZViewer::GraphicType(chart));
        studio.messages.clear();
        int appended = 0;
        int extendedSteps = 0;
        for (const QList<QByteArray>& step : steps) {
            for (int i = 0; i < step.size(); ++i) {
                const QByteArray text = step[i].mid(1);
                if (step[i].startsWith('+') || step[i].startsWith('=')) {
                    QVERIFY(writeFile(paths[i], text, step[i].startsWith('+'))); // '=': in place
                } else if (step[i] == "-" || step[i] == "/") {
                    QVERIFY(QFile::remove(paths[i]));
                    QVERIFY(step[i] == "-" || QDir().mkdir(paths[i]));
                } else if (step[i].startsWith('~')) {
                    QVERIFY(writeTrace(paths[i] + ".new", text));
                    QFile::remove(paths[i]);
                    QVERIFY(QFile::rename(paths[i] + ".new", paths[i]));
                }
            }
            QList<QAGVZValueList*> before;
            for (int i = 0; i < viewer->listView->topLevelItemCount(); ++i)
                before << static_cast<QAGVZItem*>(viewer->listView->topLevelItem(i))->values;
            const DGraphic* shown = viewer->graphic->graphic;
            viewer->refreshContents();
            extendedSteps += shown && viewer->graphic->graphic == shown;
            QList<QAGVZValueList*> after;
            for (int i = 0; i < viewer->listView->topLevelItemCount(); ++i)
                after << static_cast<QAGVZItem*>(viewer->listView->topLevelItem(i))->values;
            appended += before == after; // a full read makes new curves
            full.reload();
            QCOMPARE(curvesOf(*viewer), curvesOf(full));
            // Extended or built again, the same chart.
            QCOMPARE(describe(viewer->graphic->graphic), describe(full.graphic->graphic));
            QCOMPARE(chartImage(*viewer), chartImage(full));
        }
        QCOMPARE(appended, incremental);
        if (extended >= 0)
            QCOMPARE(extendedSteps, extended);
        QCOMPARE(studio.messages.contains("trace restarted: read in full"), restarted);
        // The user's reload reads in full.
        const auto firstCurve = [&viewer] {
            return static_cast<QAGVZItem*>(viewer->listView->topLevelItem(0))->values;
        };
        const QAGVZValueList* curve = firstCurve();
        viewer->reload();
        QVERIFY(firstCurve() != curve || !QFileInfo(paths[0]).isFile());
        QCOMPARE(curvesOf(*viewer), curvesOf(full));
    }

    // A cancelled open leaves no curve; a cancelled reload leaves curves and roles as they were.
    // Either way the progress ends at its total.
    void cancelledRead_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("cancelAt");
        QTest::newRow("open, cancelled midway") << true << 2;
        QTest::newRow("open, read through") << true << -1;
        QTest::newRow("reload, cancelled at once") << false << 0;
        QTest::newRow("reload, cancelled in the second file") << false << 7;
        QTest::newRow("reload, read through") << false << -1;
        QTest::newRow("open, cancelled while building") << true << -2;
        QTest::newRow("reload, not cancelled while building") << false << -2;
    }
    void cancelledRead()
    {
        QFETCH(bool, open);
        QFETCH(int, cancelAt);
        QByteArray rows;
        for (int i = 0; i < 3 * QAGVZFile::progressLines; ++i)
            rows += QByteArray::number(i) + "\t" + QByteArray::number(i % 7) + "\n";
        QStringList paths;
        auto viewer = openTraces(*dir, {"a\tb\n" + rows, "c\n" + rows}, &paths);
        QVERIFY(viewer);
        auto* b = static_cast<QAGVZItem*>(viewer->listView->topLevelItem(1));
        viewer->setItemX(b);
        const QStringList before = curvesOf(*viewer);
        QVERIFY(writeTrace(paths[0], "a\tb\n" + rows + rows));
        Progress progress;
        progress.cancelAt = cancelAt;
        progress.cancelBuild = cancelAt == -2;
        studio.monitor = &progress;
        if (open)
            viewer->setFiles(&paths, nullptr, QAStViewerWindow::FileMode);
        else
            viewer->reload();
        studio.monitor = nullptr;
        QAGVZViewer full;
        full.setFiles(&paths, nullptr, QAStViewerWindow::FileMode);
        if (cancelAt < 0 && !(open && progress.cancelBuild))
            QCOMPARE(curvesOf(*viewer), curvesOf(full));
        else if (open)
            QVERIFY(viewer->listView->topLevelItemCount() == 0 && !viewer->graphic->graphic);
        else
            QVERIFY(curvesOf(*viewer) == before && viewer->itemX == b);
        QVERIFY(progress.total > 0 && !progress.steps_.isEmpty());
        QVERIFY(std::is_sorted(progress.steps_.cbegin(), progress.steps_.cend()));
        QCOMPARE(progress.steps_.last(), progress.total);
        QCOMPARE(progress.labels.last(), paths[cancelAt == 7 || cancelAt < 0 ? 1 : 0]);
    }

    // A file that vanishes keeps the data last read; its return and growth are followed, and the
    // curve choices stay.
    void autoReloadKeepsChoicesAndAVanishedFile()
    {
        auto viewer = openTraces(*dir, {abc});
        auto* c = static_cast<QAGVZItem*>(viewer->listView->topLevelItem(2));
        viewer->setItemX(c);
        viewer->setAutoReload(true);
        viewer->setAutoReloadDelay(20);
        studio.messages.clear();
        const QString path = dir->filePath(QStringLiteral("f0.gvz"));
        QVERIFY(QFile::remove(path));
        QTRY_VERIFY(studio.messages.join('|').contains("showing the data last read"));
        QVERIFY(viewer->listView->topLevelItemCount() == 3 && viewer->itemX == c);
        QCOMPARE(c->text(1), QStringLiteral("3"));
        QVERIFY(writeTrace(path, abc + "1\t1\t9\n"));
        QTRY_COMPARE(c->text(1), QStringLiteral("4"));
        QVERIFY(viewer->itemX == c && c->displayAsX && c->displayAsZ);
        QCOMPARE(c->text(3), QStringLiteral("9"));
    }

    // A rebuild takes over the curves it makes again and equals a build from scratch (the
    // incremental-reload table shows that none is taken over once the samples changed).
    void rebuildTakesOverCurves()
    {
        QStringList paths;
        auto viewer = openTraces(*dir, {abc}, &paths);
        QAGVZViewer fresh;
        fresh.setFiles(&paths, nullptr, QAStViewerWindow::FileMode);
        const DItem* first = viewer->graphic->graphic->firstChild->next->next;
        for (QAGVZViewer* v : {viewer.get(), &fresh})
            v->itemMenuActivated(static_cast<QAGVZItem*>(v->listView->topLevelItem(2)),
                                 QAGVZViewer::IdItemTime);
        QCOMPARE(viewer->graphic->graphic->firstChild->next->next, first);
        QCOMPARE(describe(viewer->graphic->graphic), describe(fresh.graphic->graphic));
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
