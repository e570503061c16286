#include "htmlfixture.h"

#include "host/chart/dchartpainter.h"
#include "host/chart/dupdater.h"
#include "host/html/ddocument.h"
#include "host/html/dexporthtml.h"
#include "host/html/dexporthtmldialog.h"
#include "host/html/dhtmlsettings.h"
#include "host/html/qaviewerhtmlwriter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <limits>

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void writeText(const QString& path, const QString& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

// Lower-case element names of an XML file; {"parse error"} when it is not well-formed.
QStringList xmlElements(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QStringList names;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement)
            names.append(xml.name().toString().toLower());
    }
    return xml.hasError() ? QStringList{QStringLiteral("parse error")} : names;
}

int countRed(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() > 200 && c.green() < 80 && c.blue() < 80 ? 1 : 0;
        }
    return n;
}

class TrackedGraphic : public DGraphic
{
public:
    TrackedGraphic() : DGraphic(QStringLiteral("T"), Chart2D, QString(), nullptr, nullptr, nullptr)
    {
    }
    ~TrackedGraphic() override { ++destroyed; }
    static inline int destroyed = 0;
};

// Marks its pages and reports its deletion.
class MarkingWriter : public DHTMLWriter
{
public:
    explicit MarkingWriter(bool* deletedFlag = nullptr) : deleted(deletedFlag) {}
    ~MarkingWriter() override
    {
        if (deleted)
            *deleted = true;
    }

protected:
    QString foot(const DHTMLPage& page) const override
    {
        return "<p>marked</p>" + DHTMLWriter::foot(page);
    }

private:
    bool* deleted;
};

QPushButton* button(QWidget* dialog, const QString& text)
{
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

// Links `chart` under `document` as the viewer does, and clears the links again when it ends.
struct Link
{
    Link(DDocument& d, DGraphic* g) : document(d), chart(g)
    {
        document.firstChild = chart;
        chart->parent = &document;
    }
    ~Link()
    {
        document.firstChild = nullptr;
        chart->parent = nullptr;
    }
    DDocument& document;
    DGraphic* chart;
};

} // namespace

class TestHtml : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void exportWritesPageAndImages_data();
    void exportWritesPageAndImages();
    void textsAreEscaped_data();
    void textsAreEscaped();
    void curveRows_data();
    void curveRows();
    void settingsParse_data();
    void settingsParse();
    void configProblemsFallBackWithLogMessage_data();
    void configProblemsFallBackWithLogMessage();
    void stylesheetAndFurtherCharts();
    void unwritableTargetFails_data();
    void unwritableTargetFails();
    void progressCountsStepsAndCanStop();
    void documentNameStaysInsideTarget_data();
    void documentNameStaysInsideTarget();
    void viewerWriterLinksAndAxes_data();
    void viewerWriterLinksAndAxes();
    void documentNeverDeletesLinkedChart_data();
    void documentNeverDeletesLinkedChart();
    void dialogIsModelessAndTerminatesOnceAfterGenerate();
    void dialogTerminatesOnceOnClose_data();
    void dialogTerminatesOnceOnClose();
    void dialogSizeWriterAndOwnership_data();
    void dialogSizeWriterAndOwnership();

private:
    // Exports `chart` as the viewer does ("Chart Result", "index").
    bool exportChart(DGraphic* chart, const QString& dir, const QString& configPath,
                     LogRecorder* log, DHTMLWriter* writer = nullptr,
                     QAIProgressMonitor* progress = nullptr,
                     const QString& generator = QStringLiteral("gvz-studio 1.0"));
    QString config(const QString& text);

    std::unique_ptr<QTemporaryDir> tmp;
};

void TestHtml::init()
{
    tmp = std::make_unique<QTemporaryDir>();
    QVERIFY(tmp->isValid());
}

QString TestHtml::config(const QString& text)
{
    writeText(tmp->filePath("dhtml.cfg"), text);
    return tmp->filePath("dhtml.cfg");
}

bool TestHtml::exportChart(DGraphic* chart, const QString& dir, const QString& configPath,
                           LogRecorder* log, DHTMLWriter* writer, QAIProgressMonitor* progress,
                           const QString& generator)
{
    DDocument document(QStringLiteral("Chart Result"), QStringLiteral("index"));
    Link link(document, chart);
    DExportHtml exporter(dir, configPath);
    exporter.generator = generator;
    exporter.setHTMLWriter(writer);
    return exporter.generate(&document, progress, log);
}

void TestHtml::exportWritesPageAndImages_data()
{
    QTest::addColumn<QString>("formats");
    QTest::addColumn<bool>("svg");
    QTest::addColumn<bool>("png");
    QTest::newRow("svg and png") << "svg,png" << true << true;
    QTest::newRow("png only") << "png" << false << true;
    QTest::newRow("svg only") << " SVG " << true << false;
}

void TestHtml::exportWritesPageAndImages()
{
    QFETCH(QString, formats);
    QFETCH(bool, svg);
    QFETCH(bool, png);
    TestChart chart;
    chart.addCurve("speed", {0, 4, 1, 3});
    DUpdater().doItem(chart.graphic);
    const QDir out(tmp->filePath("out/site"));
    LogRecorder log;
    QVERIFY2(exportChart(chart.graphic, out.path(),
                         config("image_width=300\nimage_height=200\nformats=" + formats), &log),
             qPrintable(log.all()));
    QCOMPARE(log.count(QAILogMonitor::Error), 0);
    const QString html = readText(out.filePath("index.html"));
    QVERIFY(html.contains("<title>Chart Result</title>"));
    QVERIFY(html.contains("<meta name=\"generator\" content=\"gvz-studio 1.0\">"));
    QVERIFY(html.contains("<td>speed</td><td class=\"number\">4</td><td class=\"number\">0</td>"
                          "<td class=\"number\">4</td>"));
    QCOMPARE(html.contains("\"index.svg\""), svg);
    QCOMPARE(html.contains("\"index.png\""), png);
    QCOMPARE(xmlElements(out.filePath("index.svg")).value(0) == "svg", svg);
    const QImage image(out.filePath("index.png"));
    QCOMPARE(image.size(), png ? QSize(300, 200) : QSize(0, 0));
    QVERIFY2(!png || countRed(image) > 20, "the red curve is drawn");
    // The page and its images only: no temporary file left behind.
    QCOMPARE(out.entryList(QDir::Files).size(), 1 + int(svg) + int(png));
}

void TestHtml::textsAreEscaped_data()
{
    QTest::addColumn<QString>("where"); // the text replaced by `text`
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");
    const QString attack = "<script>alert(1)</script>";
    const QString escaped = "&lt;script&gt;alert(1)&lt;/script&gt;";
    QTest::newRow("curve name") << "curve" << attack << escaped;
    QTest::newRow("chart title") << "title" << attack << escaped;
    QTest::newRow("axis name") << "axis" << attack << escaped;
    QTest::newRow("generator") << "generator" << QString("\"><script>")
                               << QString("content=\"&quot;&gt;&lt;script&gt;\"");
    QTest::newRow("quote and ampersand")
        << "curve" << QString("a\"b&c<img src=x>") << QString("a&quot;b&amp;c&lt;img src=x&gt;");
}

void TestHtml::textsAreEscaped()
{
    QFETCH(QString, where);
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    const auto pick = [&](const char* field, const char* plain) {
        return where == QLatin1String(field) ? text : QString(plain);
    };
    TestChart chart(pick("title", "T"), false, pick("axis", "x"));
    chart.addCurve(pick("curve", "c"), {1, 2});
    DUpdater().doItem(chart.graphic);
    LogRecorder log;
    QAViewerHTMLWriter writer;
    QVERIFY(exportChart(chart.graphic, tmp->path(), config(""), &log, &writer, nullptr,
                        pick("generator", "g")));
    const QString html = readText(tmp->filePath("index.html"));
    QVERIFY2(html.contains(escaped), qPrintable(html));
    QVERIFY(!html.contains("<script", Qt::CaseInsensitive));
    QVERIFY(!html.contains("<img src=x", Qt::CaseInsensitive));
    // The texts are drawn into the SVG too, which must stay well-formed and script-free.
    const QStringList elements = xmlElements(tmp->filePath("index.svg"));
    QVERIFY(!elements.contains("parse error"));
    QVERIFY(!elements.contains("script"));
}

void TestHtml::curveRows_data()
{
    QTest::addColumn<bool>("threeD");
    QTest::addColumn<std::vector<float>>("values");
    QTest::addColumn<QStringList>("row"); // points, min, max
    QTest::newRow("2-D") << false << std::vector<float>{2, -1.5f, 3}
                         << QStringList{"3", "-1.5", "3"};
    QTest::newRow("non-finite skipped")
        << false << std::vector<float>{NaN, 1, INFINITY, 5} << QStringList{"4", "1", "5"};
    QTest::newRow("no finite value")
        << false << std::vector<float>{NaN} << QStringList{"1", "", ""};
    QTest::newRow("no points") << false << std::vector<float>{} << QStringList{"0", "", ""};
    QTest::newRow("six significant digits")
        << false << std::vector<float>{1234567, 0.1f} << QStringList{"2", "0.1", "1.23457e+06"};
    QTest::newRow("3-D reads z") << true << std::vector<float>{7, -2}
                                 << QStringList{"2", "-2", "7"};
}

void TestHtml::curveRows()
{
    QFETCH(bool, threeD);
    QFETCH(std::vector<float>, values);
    QFETCH(QStringList, row);
    TestChart chart("T", threeD);
    chart.addCurve("first", values);
    chart.addCurve("second", {100});
    const QList<DHTMLCurveRow> rows = DHTMLChart::curveRows(*chart.graphic);
    QCOMPARE(rows.size(), 2);
    QCOMPARE((QStringList{rows[0].name, rows[0].points, rows[0].min, rows[0].max}),
             QStringList{"first"} + row);
    QCOMPARE(rows[1].max, QStringLiteral("100"));
}

void TestHtml::settingsParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("formats");
    QTest::addColumn<int>("problems");
    const QSize def(800, 600);
    QTest::newRow("empty") << "" << def << "svg png" << 0;
    QTest::newRow("all keys") << "image_width=640\nimage_height=480\nformats=png" << QSize(640, 480)
                              << "png" << 0;
    QTest::newRow("comments blanks spaces case")
        << "# c\n\n  Image_Width = 1024 \r\nformats = png ; SVG" << QSize(1024, 600) << "svg png"
        << 0;
    QTest::newRow("bounds accepted")
        << "image_width=32\nimage_height=4096" << QSize(32, 4096) << "svg png" << 0;
    QTest::newRow("width not a number") << "image_width=wide" << def << "svg png" << 1;
    QTest::newRow("width below minimum") << "image_width=31" << def << "svg png" << 1;
    QTest::newRow("height above maximum") << "image_height=4097" << def << "svg png" << 1;
    QTest::newRow("unknown key") << "colour=red" << def << "svg png" << 1;
    QTest::newRow("no equals sign") << "image_width 300\n=" << def << "svg png" << 2;
    QTest::newRow("unknown format dropped") << "formats=svg,gif" << def << "svg" << 1;
    QTest::newRow("no known format") << "formats=gif" << def << "svg png" << 2;
    QTest::newRow("missing stylesheet") << "stylesheet=nowhere.css" << def << "svg png" << 1;
}

void TestHtml::settingsParse()
{
    QFETCH(QString, text);
    QFETCH(QSize, size);
    QFETCH(QString, formats);
    QFETCH(int, problems);
    QStringList reported;
    const DHtmlSettings settings = DHtmlSettings::parse(text, tmp->path(), &reported);
    QCOMPARE(settings.imageSize, size);
    QCOMPARE(
        QStringList({settings.svg ? "svg" : "", settings.png ? "png" : ""}).join(' ').trimmed(),
        formats);
    QVERIFY(settings.stylesheet.isEmpty());
    QCOMPARE(reported.size(), problems);
}

void TestHtml::configProblemsFallBackWithLogMessage_data()
{
    QTest::addColumn<QString>("text"); // null: no file
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << QString() << "dhtml.cfg";
    QTest::newRow("bad width") << "image_width=-5\nimage_height=100" << QString("image_width");
    QTest::newRow("misspelt key") << "image_heigth=100" << QString("image_heigth");
    QTest::newRow("binary junk") << QString::fromLatin1("\x01\x02=\xff\n\x7f") << "Line 1";
}

void TestHtml::configProblemsFallBackWithLogMessage()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    TestChart chart;
    chart.addCurve("c", {1, 2});
    LogRecorder log;
    const QString path = text.isNull() ? tmp->filePath("dhtml.cfg") : config(text);
    QVERIFY(exportChart(chart.graphic, tmp->filePath("out"), path, &log));
    QVERIFY2(log.count(QAILogMonitor::Warning, message) == 1, qPrintable(log.all()));
    QCOMPARE(QImage(tmp->filePath("out/index.png")).width(), 800);
}

void TestHtml::stylesheetAndFurtherCharts()
{
    writeText(tmp->filePath("site.css"), "body { color: red; }");
    TestChart first("One"), second("Two");
    first.addCurve("a", {1});
    second.addCurve("b", {2});
    DDocument document("T", "page");
    Link link(document, first.graphic);
    first.graphic->next = second.graphic;
    LogRecorder log;
    DExportHtml exporter(tmp->filePath("out"), config("formats=png\nstylesheet=site.css"));
    QVERIFY(exporter.generate(&document, nullptr, &log));
    first.graphic->next = nullptr;
    const QString html = readText(tmp->filePath("out/page.html"));
    QVERIFY(html.contains("<link rel=\"stylesheet\" href=\"site.css\">"));
    QVERIFY(!html.contains("<style>"));
    QCOMPARE(readText(tmp->filePath("out/site.css")), QStringLiteral("body { color: red; }"));
    QVERIFY(html.indexOf("\"page.png\"") < html.indexOf("<td>a</td>"));
    QVERIFY(html.indexOf("<td>a</td>") < html.indexOf("\"page_2.png\""));
    QVERIFY(html.indexOf("\"page_2.png\"") < html.indexOf("<td>b</td>"));
    QVERIFY(QFile::exists(tmp->filePath("out/page_2.png")));
}

void TestHtml::unwritableTargetFails_data()
{
    QTest::addColumn<QString>("blocker"); // made as a file, or as a folder when it ends in "/"
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");
    const QString folder = "Cannot create the folder";
    QTest::newRow("target is a file") << "t" << QString("t") << folder;
    QTest::newRow("target under a file") << "t" << QString("t/sub") << folder;
    QTest::newRow("no target") << "" << QString() << folder;
    QTest::newRow("image blocked") << "t/index.png/" << QString("t") << QString("Cannot write");
    QTest::newRow("page blocked") << "t/index.html/" << QString("t") << QString("index.html");
}

void TestHtml::unwritableTargetFails()
{
    QFETCH(QString, blocker);
    QFETCH(QString, target);
    QFETCH(QString, message);
    if (blocker.endsWith('/'))
        QVERIFY(QDir().mkpath(tmp->filePath(blocker)));
    else if (!blocker.isEmpty())
        writeText(tmp->filePath(blocker), "x");
    TestChart chart;
    chart.addCurve("c", {1});
    LogRecorder log;
    QVERIFY(!exportChart(chart.graphic, target.isEmpty() ? "" : tmp->filePath(target), config(""),
                         &log));
    QVERIFY2(log.count(QAILogMonitor::Error, message) == 1, qPrintable(log.all()));
    // A page is never left linking to an image that was not written.
    QVERIFY(!QFileInfo(tmp->filePath("t/index.html")).isFile());
}

void TestHtml::progressCountsStepsAndCanStop()
{
    TestChart chart;
    chart.addCurve("c", {1});
    ProgressRecorder progress;
    LogRecorder log;
    QVERIFY(exportChart(chart.graphic, tmp->filePath("a"), config(""), &log, nullptr, &progress));
    QCOMPARE(progress.total, 3); // svg, png, page
    QCOMPARE(progress.progress, 3);
    QCOMPARE(progress.labels.size(), 3);
    QVERIFY(progress.labels.last().contains("index.html"));

    ProgressRecorder stopping;
    stopping.cancelAt = 1;
    QVERIFY(!exportChart(chart.graphic, tmp->filePath("b"), config(""), &log, nullptr, &stopping));
    QCOMPARE(log.count(QAILogMonitor::Error, "canceled"), 1);
    QVERIFY(!QFile::exists(tmp->filePath("b/index.html")));
}

void TestHtml::documentNameStaysInsideTarget_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("page");
    QTest::newRow("plain") << "index" << QString("index.html");
    QTest::newRow("parent path") << "../evil" << QString("evil.html");
    QTest::newRow("sub path") << "a/b" << QString("b.html");
    QTest::newRow("empty") << "" << QString("index.html");
    QTest::newRow("dot dot") << ".." << QString("index.html");
}

void TestHtml::documentNameStaysInsideTarget()
{
    QFETCH(QString, name);
    QFETCH(QString, page);
    const QString out = tmp->filePath("out");
    DDocument document("<b>", name); // and no chart
    DExportHtml exporter(out, config(""));
    LogRecorder log;
    QVERIFY(exporter.generate(&document, nullptr, &log));
    QCOMPARE(log.count(QAILogMonitor::Warning, "not a file name"), name == page.chopped(5) ? 0 : 1);
    QCOMPARE(log.count(QAILogMonitor::Warning, "no chart"), 1);
    QCOMPARE(exporter.pageFile(), QDir(out).filePath(page));
    QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{page});
    QCOMPARE(QDir(tmp->path()).entryList(QDir::Files), QStringList{"dhtml.cfg"});
    QVERIFY(readText(exporter.pageFile()).contains("<title>&lt;b&gt;</title>"));
}

void TestHtml::viewerWriterLinksAndAxes_data()
{
    QTest::addColumn<QString>("base"); // under the temporary folder; null: not set
    QTest::addColumn<QString>("svgLink");
    QTest::newRow("page folder") << QString() << "index.svg";
    QTest::newRow("parent folder") << "" << QString("out%20dir/index.svg");
    QTest::newRow("sibling folder") << "other" << QString("../out%20dir/index.svg");
}

void TestHtml::viewerWriterLinksAndAxes()
{
    QFETCH(QString, base);
    QFETCH(QString, svgLink);
    TestChart chart;
    chart.addCurve("c", {-2, 8});
    DUpdater().doItem(chart.graphic);
    QAViewerHTMLWriter writer;
    if (!base.isNull())
        writer.setBaseForLink(tmp->filePath(base));
    LogRecorder log;
    QVERIFY(exportChart(chart.graphic, tmp->filePath("out dir"), config(""), &log, &writer));
    const QString html = readText(tmp->filePath("out dir/index.html"));
    QVERIFY2(html.contains("srcset=\"" + svgLink + "\""), qPrintable(html));
    QVERIFY(
        html.contains("<tr><td>time</td><td class=\"number\">0</td><td class=\"number\">1</td>"));
    QVERIFY(html.contains("<tr><td>Y</td><td class=\"number\">-2</td><td class=\"number\">8</td>"));
}

void TestHtml::documentNeverDeletesLinkedChart_data()
{
    QTest::addColumn<bool>("clearLinks");
    QTest::newRow("links cleared before delete") << true;
    QTest::newRow("links left in place") << false;
}

void TestHtml::documentNeverDeletesLinkedChart()
{
    QFETCH(bool, clearLinks);
    TrackedGraphic::destroyed = 0;
    auto* chart = new TrackedGraphic;
    auto* axis = new DAxis("x", QString(), "X", chart, nullptr);
    chart->firstChild = axis;
    auto* document = new DDocument("Chart Result", "index");
    document->firstChild = chart;
    chart->parent = document;
    QCOMPARE(document->graphics(), QList<DGraphic*>{chart});
    if (clearLinks) {
        document->firstChild = nullptr;
        chart->parent = nullptr;
    }
    delete document;
    QCOMPARE(TrackedGraphic::destroyed, 0);
    QCOMPARE(chart->parent, nullptr);
    QCOMPARE(chart->firstChild, axis);
    QImage image(100, 80, QImage::Format_RGB32);
    QPainter painter(&image);
    DChartPainter().draw(painter, image.rect(), chart);
    painter.end();
    delete chart;
    QCOMPARE(TrackedGraphic::destroyed, 1);
}

void TestHtml::dialogIsModelessAndTerminatesOnceAfterGenerate()
{
    TestChart chart;
    chart.addCurve("c", {1, 2});
    auto* document = new DDocument("Chart Result", "index");
    document->firstChild = chart.graphic;
    chart.graphic->parent = document;
    QWidget window;
    QPointer<DExportHtmlDialog> dialog =
        new DExportHtmlDialog(document, config(""), &window, "export");
    QCOMPARE(dialog->objectName(), QStringLiteral("export"));
    dialog->generator = "studio 9";
    QSignalSpy spy(dialog, &DExportHtmlDialog::terminated);
    // The viewer's ending: take the document, clear the links, delete it.
    QList<DDocument*> seen;
    connect(dialog, &DExportHtmlDialog::terminated, this, [&](DExportHtmlDialog* d) {
        seen = d->documents();
        seen.value(0)->firstChild = nullptr;
        chart.graphic->parent = nullptr;
        delete seen.value(0);
    });
    dialog->show();
    QVERIFY(!dialog->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(dialog->documents(), QList<DDocument*>{document});

    // A failed generation is logged and leaves the dialog open for another try.
    writeText(tmp->filePath("file"), "x");
    dialog->setTargetDirectory(tmp->filePath("file"));
    QTest::mouseClick(button(dialog, "Generate"), Qt::LeftButton);
    QCOMPARE(spy.count(), 0);
    QVERIFY(dialog->findChild<QPlainTextEdit*>("log")->toPlainText().contains("Error"));
    QCOMPARE(dialog->documents().size(), 1);

    dialog->setTargetDirectory(tmp->filePath("out"));
    QTest::mouseClick(button(dialog, "Generate"), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<DExportHtmlDialog*>(), dialog.data());
    QCOMPARE(seen, QList<DDocument*>{document});
    QVERIFY(dialog->documents().isEmpty());
    QVERIFY(dialog->isVisible());
    QVERIFY(!button(dialog, "Generate")->isEnabled());
    QVERIFY(readText(tmp->filePath("out/index.html")).contains("content=\"studio 9\""));
    QVERIFY(QFile::exists(tmp->filePath("out/index.svg")));

    QTest::mouseClick(button(dialog, "Close"), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isNull());
}

void TestHtml::dialogTerminatesOnceOnClose_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("close button") << "button";
    QTest::newRow("escape key") << "escape";
    QTest::newRow("window close") << "close";
}

void TestHtml::dialogTerminatesOnceOnClose()
{
    QFETCH(QString, how);
    DDocument document("Chart Result", "index");
    QWidget window;
    QPointer<DExportHtmlDialog> dialog = new DExportHtmlDialog(&document, config(""), &window);
    dialog->setTargetDirectory(tmp->filePath("out"));
    QSignalSpy spy(dialog, &DExportHtmlDialog::terminated);
    dialog->show();
    if (how == "button")
        QTest::mouseClick(button(dialog, "Close"), Qt::LeftButton);
    else if (how == "escape")
        QTest::keyClick(dialog, Qt::Key_Escape);
    else
        dialog->close();
    QCOMPARE(spy.count(), 1);
    QVERIFY(!QFile::exists(tmp->filePath("out")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(dialog.isNull());
}

void TestHtml::dialogSizeWriterAndOwnership_data()
{
    QTest::addColumn<bool>("take");
    QTest::addColumn<bool>("replace");
    QTest::newRow("owned") << true << false;
    QTest::newRow("owned, replaced") << true << true;
    QTest::newRow("not owned") << false << false;
    QTest::newRow("not owned, replaced") << false << true;
}

void TestHtml::dialogSizeWriterAndOwnership()
{
    QFETCH(bool, take);
    QFETCH(bool, replace);
    TestChart chart;
    chart.addCurve("c", {1, 2});
    DDocument document("Chart Result", "index");
    Link link(document, chart.graphic);
    bool deleted = false;
    auto writer = std::make_unique<MarkingWriter>(&deleted);
    {
        DExportHtmlDialog dialog(&document, config("image_width=321\nimage_height=123"));
        QCOMPARE(dialog.imageSize(), QSize(321, 123));
        dialog.setImageSize(QSize(222, 111));
        dialog.setTargetDirectory(tmp->filePath("out"));
        dialog.setHTMLWriter(writer.get(), take);
        dialog.setHTMLWriter(writer.get(), take); // setting it again changes nothing
        if (take)
            (void)writer.release();
        if (replace) {
            dialog.setHTMLWriter(nullptr, false);
            QCOMPARE(deleted, take);
        }
        dialog.generate();
        QVERIFY(dialog.hasEnded());
    }
    QCOMPARE(deleted, take);
    QCOMPARE(QImage(tmp->filePath("out/index.png")).size(), QSize(222, 111));
    QCOMPARE(readText(tmp->filePath("out/index.html")).contains("<p>marked</p>"), !replace);
}

QTEST_MAIN(TestHtml)
#include "tst_html.moc"
