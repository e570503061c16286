#include "viewer/qagvzitem.h"
#include "viewer/qagvzviewer.h"

#include "tests/viewer/viewertestutil.h"
#include "graphic/qagvzgraphic.h"
#include "host/chart/dchartpainter.h"
#include "host/chart/ditem.h"
#include "host/html/dexporthtmldialog.h"
#include "host/studio/qalistview.h"

#include <QApplication>
#include <QFileInfo>
#include <QFile>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
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

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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

// The chart shown, painted into an image: where it drew.
QRect painted(QAGVZViewer& viewer)
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DChartPainter().draw(painter, image.rect(), viewer.graphic->graphic);
    painter.end();
    return ink(image);
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
        QVERIFY(!chart->parent && painted(*viewer).width() > 100);
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
        QVERIFY(!chart->parent && painted(*viewer).width() > 100);
    }

    void print_data()
    {
        QTest::addColumn<QByteArray>("trace");
        QTest::addColumn<bool>("fullPage");
        QTest::addColumn<bool>("accepted"); // the printer set-up was accepted
        QTest::addColumn<bool>("hostWindow");
        QTest::addColumn<bool>("fails"); // the PDF's folder does not exist
        QTest::newRow("chart") << abc << false << true << true << false;
        QTest::newRow("chart, full page") << abc << true << true << true << false;
        QTest::newRow("no chart") << QByteArray() << false << true << true << false;
        QTest::newRow("cancelled") << abc << false << false << true << false;
        QTest::newRow("no studio window") << abc << true << true << false << false;
        QTest::newRow("printer cannot start") << abc << false << true << true << true;
    }

    void print()
    {
        QFETCH(QByteArray, trace);
        QFETCH(bool, fullPage);
        QFETCH(bool, accepted);
        QFETCH(bool, hostWindow);
        QFETCH(bool, fails);
        studio.window = hostWindow ? host.get() : nullptr;
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
        QCOMPARE(seen.join('|'), QString(!hostWindow || !accepted ? ""
                                         : fails                  ? "Printing ...|Printing failed."
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
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
