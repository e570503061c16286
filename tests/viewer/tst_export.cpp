#include "viewer/qagvzitem.h"
#include "viewer/qagvzviewer.h"

#include "tests/viewer/viewertestutil.h"
#include "graphic/qagvzgraphic.h"
#include "host/chart/dchartpainter.h"
#include "host/chart/ditem.h"
#include "host/html/dexporthtmldialog.h"
#include "host/studio/qalistview.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>

#include <memory>

namespace {

FakeStudio studio;
const QByteArray abc = "a\tb\tc\n1\t2\t3\n4\t-5\t6\n7\t8\t0\n";

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Pixels of `image` that are not (nearly) white.
QList<QPoint> ink(const QImage& image)
{
    QList<QPoint> points;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 200)
                points << QPoint(x, y);
        }
    }
    return points;
}

// The chart shown, painted into an image: the number of pixels drawn.
int paintedPixels(QAGVZViewer& viewer)
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DChartPainter().draw(painter, image.rect(), viewer.graphic->graphic);
    painter.end();
    return int(ink(image).size());
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void exportHtml_data();
    void exportHtml();
    void interactiveExport_data();
    void interactiveExport();
    void print_data();
    void print();
    void autoReloadKeepsChoices();

private:
    // A viewer on `trace` (written to the temporary folder).
    std::unique_ptr<QAGVZViewer> openViewer(const QByteArray& trace);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QMainWindow> host;
};

void TestExport::initTestCase()
{
    QAGVZViewer::initialize(nullptr, &studio);
}

void TestExport::init()
{
    dir = std::make_unique<QTemporaryDir>();
    host = std::make_unique<QMainWindow>();
    studio.window = host.get();
}

void TestExport::cleanup()
{
    host.reset();
    dir.reset();
}

std::unique_ptr<QAGVZViewer> TestExport::openViewer(const QByteArray& trace)
{
    const QString file = dir->filePath(QStringLiteral("trace.gvz"));
    if (!writeTrace(file, trace))
        return nullptr;
    auto viewer = std::make_unique<QAGVZViewer>();
    QStringList files{file};
    viewer->setFiles(&files, nullptr, QAStViewerWindow::FileMode);
    return viewer;
}

void TestExport::exportHtml_data()
{
    QTest::addColumn<QByteArray>("trace");
    QTest::addColumn<QByteArray>("expected"); // in index.html; empty: nothing is written
    QTest::addColumn<QByteArray>("forbidden");
    QTest::newRow("curves") << abc << QByteArray("<td>a</td>") << QByteArray("<td>b</td>");
    QTest::newRow("markup in a name")
        << QByteArray("<script>alert(1)</script>\tb\n1\t2\n")
        << QByteArray("&lt;script&gt;alert(1)&lt;/script&gt;") << QByteArray("<script>alert");
    QTest::newRow("no chart") << QByteArray() << QByteArray() << QByteArray();
}

void TestExport::exportHtml()
{
    QFETCH(QByteArray, trace);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, forbidden);
    auto viewer = openViewer(trace);
    DGraphic* chart = viewer->graphic->graphic;
    const QString out = dir->filePath(QStringLiteral("html"));

    QCOMPARE(viewer->exportHTML(out, QStringLiteral("ignored"), nullptr, nullptr),
             !expected.isEmpty());
    if (expected.isEmpty()) {
        QVERIFY(!QFileInfo::exists(out));
        return;
    }
    for (const char* name : {"index.html", "index.svg", "index.png"})
        QVERIFY2(QFileInfo(out + QLatin1Char('/') + QLatin1String(name)).size() > 0, name);
    const QByteArray html = readAll(out + QStringLiteral("/index.html"));
    QVERIFY2(html.contains(expected), html.constData());
    QVERIFY(!html.contains(forbidden));
    QVERIFY(html.contains("fake studio"));
    // The chart shown is the one exported, unlinked again and still drawable.
    QCOMPARE(viewer->graphic->graphic, chart);
    QVERIFY(!chart->parent);
    QVERIFY(paintedPixels(*viewer) > 100);
}

void TestExport::interactiveExport_data()
{
    QTest::addColumn<bool>("rebuild");    // the chart is rebuilt while the dialog is open
    QTest::addColumn<QString>("end");     // generate, close or window
    QTest::newRow("generate") << false << QStringLiteral("generate");
    QTest::newRow("close") << false << QStringLiteral("close");
    QTest::newRow("rebuild, generate") << true << QStringLiteral("generate");
    QTest::newRow("rebuild, close") << true << QStringLiteral("close");
    QTest::newRow("window closed first") << true << QStringLiteral("window");
}

void TestExport::interactiveExport()
{
    QFETCH(bool, rebuild);
    QFETCH(QString, end);
    auto viewer = openViewer(abc);
    viewer->exportDoc();
    QPointer<DExportHtmlDialog> dialog = viewer->findChild<DExportHtmlDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->generator, QStringLiteral("fake studio"));
    QCOMPARE(dialog->documents().size(), 1);
    DDocument* document = dialog->documents().constFirst();
    QCOMPARE(document->title, QStringLiteral("Chart Result"));
    QCOMPARE(document->name, QStringLiteral("index"));

    if (rebuild)
        viewer->setGraphicType(QAGVZViewer::XYGraphic);
    // The document always links the chart shown, never a deleted one.
    DGraphic* chart = viewer->graphic->graphic;
    QCOMPARE(document->firstChild, static_cast<DItem*>(chart));
    QCOMPARE(chart->parent, static_cast<DItem*>(document));

    if (end == QLatin1String("window")) {
        viewer.reset();
        QVERIFY(!dialog);
        return;
    }
    const QString out = dir->filePath(QStringLiteral("html"));
    if (end == QLatin1String("generate")) {
        dialog->setTargetDirectory(out);
        dialog->generate();
        // The XY chart draws b against a, the time chart a alone.
        QVERIFY(readAll(out + QStringLiteral("/index.html"))
                    .contains(rebuild ? "<td>b</td>" : "<td>a</td>"));
    } else {
        dialog->reject();
        QVERIFY(!QFileInfo::exists(out));
    }
    QVERIFY(dialog->documents().isEmpty());
    QCOMPARE(viewer->graphic->graphic, chart);
    QVERIFY(!chart->parent);
    QVERIFY(paintedPixels(*viewer) > 100);
}

void TestExport::print_data()
{
    QTest::addColumn<QByteArray>("trace");
    QTest::addColumn<bool>("fullPage");
    QTest::addColumn<bool>("accepted"); // the printer set-up was accepted
    QTest::addColumn<bool>("hostWindow");
    QTest::newRow("chart") << abc << false << true << true;
    QTest::newRow("chart, full page") << abc << true << true << true;
    QTest::newRow("no chart") << QByteArray() << false << true << true;
    QTest::newRow("cancelled") << abc << false << false << true;
    QTest::newRow("no studio window") << abc << true << true << false;
}

void TestExport::print()
{
    QFETCH(QByteArray, trace);
    QFETCH(bool, fullPage);
    QFETCH(bool, accepted);
    QFETCH(bool, hostWindow);
    if (!hostWindow)
        studio.window = nullptr;
    auto viewer = openViewer(trace);
    const bool hasChart = !trace.isEmpty();
    QCOMPARE(viewer->graphic->graphic != nullptr, hasChart);
    const QString pdf = dir->filePath(QStringLiteral("chart.pdf"));
    constexpr qreal marginMm = 20;
    viewer->printerSetup = [&](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm),
                               QPageLayout::Millimeter);
        printer.setFullPage(fullPage);
        return accepted;
    };
    QSignalSpy messages(host->statusBar(), &QStatusBar::messageChanged);
    viewer->print();

    const QStringList shown = hostWindow && accepted
                                  ? QStringList{QStringLiteral("Printing ..."),
                                                QStringLiteral("Graphic printed.")}
                                  : QStringList();
    QStringList seen;
    for (const QList<QVariant>& message : std::as_const(messages))
        seen << message.constFirst().toString();
    QCOMPARE(seen, shown);
    QCOMPARE(QFileInfo::exists(pdf), accepted);
    if (!accepted)
        return;
    QVERIFY(readAll(pdf).startsWith("%PDF"));

    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty())
        QSKIP("pdftoppm is needed to look at the printed page");
    const QString prefix = dir->filePath(QStringLiteral("page"));
    QCOMPARE(QProcess::execute(pdftoppm, {QStringLiteral("-r"), QStringLiteral("96"),
                                          QStringLiteral("-png"), QStringLiteral("-singlefile"),
                                          pdf, prefix}),
             0);
    const QImage page(prefix + QStringLiteral(".png"));
    QVERIFY(!page.isNull());
    const QList<QPoint> drawn = ink(page);
    if (!hasChart) {
        QVERIFY(drawn.isEmpty());
        return;
    }
    QVERIFY(drawn.size() > 1000);
    // Everything lies on the printable area: inside the margins, wherever the printer puts its
    // origin.
    const int margin = qCeil(marginMm / 25.4 * 96) - 2;
    const QRect printable = page.rect().adjusted(margin, margin, -margin, -margin);
    QRect inked;
    for (const QPoint& p : drawn)
        inked |= QRect(p, QSize(1, 1));
    QVERIFY(printable.contains(inked));
    // The chart fills the printable area rather than a corner of it.
    QVERIFY(inked.width() > printable.width() * 3 / 4);
}

void TestExport::autoReloadKeepsChoices()
{
    auto viewer = openViewer(abc);
    auto* c = static_cast<QAGVZItem*>(viewer->listView->topLevelItem(2));
    viewer->setItemX(c);
    viewer->setAutoReload(true);

    // A trace that grows faster than the reload delay is followed while it grows.
    QFile trace(dir->filePath(QStringLiteral("trace.gvz")));
    const int delay = viewer->autoReloadDelay();
    for (int written = 0; written < 4 * delay; written += delay / 3) {
        QVERIFY(trace.open(QIODevice::Append));
        QVERIFY(trace.write("9\t9\t9\n") == 6);
        trace.close();
        QTest::qWait(delay / 3);
    }
    QVERIFY(viewer->listView->topLevelItem(0)->text(1).toInt() > 3);
    QCOMPARE(viewer->listView->topLevelItemCount(), 3);
    QCOMPARE(viewer->itemX, c);
    QVERIFY(c->displayAsX && c->displayAsZ);
    QCOMPARE(c->text(3), QStringLiteral("9"));
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
