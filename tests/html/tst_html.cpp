#include "tests/chartfixture.h"
#include "tests/testfiles.h"

#include "host/chart/dupdater.h"
#include "host/html/ddocument.h"
#include "host/html/dexporthtml.h"
#include "host/html/dexporthtmldialog.h"
#include "host/html/dhtmlsettings.h"
#include "host/html/qaviewerhtmlwriter.h"
#include "host/studio/qailogmonitor.h"
#include "host/studio/qaiprogressmonitor.h"
#include "host/studio/qasvgtidy.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cmath>

namespace {

// Keeps each message logged as one "level text" line.
class LogRecorder final : public QAILogMonitor
{
public:
    void logMessage(Level level, const QString& message) override
    {
        lines.append(QString::number(level) + ' ' + message);
    }
    // Messages of `level` that contain `part`.
    int count(Level level, const QString& part) const
    {
        int n = 0;
        for (const QString& line : lines)
            n += line.startsWith(QString::number(level) + ' ') && line.contains(part) ? 1 : 0;
        return n;
    }
    QString all() const { return lines.join('\n'); }

    QStringList lines;
};

// Asks to stop once `cancelAt` steps are done (-1: never).
class ProgressRecorder final : public QAIProgressMonitor
{
public:
    void setTotalSteps(int steps) override { total = steps; }
    void setProgress(int steps) override { progress = steps; }
    void setLabel(const QString& text) override { labels.append(text); }
    bool wasCanceled() const override { return cancelAt >= 0 && progress >= cancelAt; }

    int total = -1;
    int progress = -1;
    int cancelAt = -1;
    QStringList labels;
};

QPushButton* button(QWidget* dialog, const QString& text)
{
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

// Links `chart` under `document` as the viewer does; the document clears the links as it dies.
void link(DDocument& document, DGraphic* chart)
{
    document.firstChild = chart;
    chart->parent = &document;
}

} // namespace

class TestHtml : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<ChartFixture> plain; // one curve "c"
    LogRecorder log;

    QString config(const QString& text)
    {
        writeFile(tmp->filePath("dhtml.cfg"), text.toUtf8());
        return tmp->filePath("dhtml.cfg");
    }

    // Exports a chart (the plain one by default) as the viewer does ("Chart Result", "index").
    bool exportChart(const QString& dir, const QString& configPath, DGraphic* chart = nullptr,
                     DHTMLWriter* writer = nullptr, QAIProgressMonitor* progress = nullptr,
                     const QString& generator = "gvz 1.0")
    {
        DDocument document("Chart Result", "index");
        link(document, chart ? chart : plain->graphic);
        DExportHtml exporter(dir, configPath);
        exporter.generator = generator;
        exporter.setHTMLWriter(writer);
        return exporter.generate(&document, progress, &log);
    }

private slots:
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        plain = std::make_unique<ChartFixture>();
        plain->addAxes(2);
        plain->addSeries("c", {1, 2});
        log.lines.clear();
    }

    void exportWritesPageAndImages_data()
    {
        QTest::addColumn<QString>("formats");
        QTest::addColumn<bool>("svg");
        QTest::addColumn<bool>("png");
        QTest::newRow("svg and png") << "svg,png" << true << true;
        QTest::newRow("png only") << "png" << false << true;
        QTest::newRow("svg only") << " SVG " << true << false;
    }

    void exportWritesPageAndImages()
    {
        QFETCH(QString, formats);
        QFETCH(bool, svg);
        QFETCH(bool, png);
        writeFile(tmp->filePath("site.css"), "body { color: red; }");
        ChartFixture chart, second(DGraphic::Chart2D, "Two");
        chart.addAxes(2);
        chart.addSeries("speed", {0, 4, 1, 3});
        second.addAxes(2);
        second.addSeries("b", {2});
        DUpdater().doItem(chart.graphic);
        chart.graphic->next = second.graphic;
        const QDir out(tmp->filePath("out/site"));
        const QString cfg =
            config("image_width=300\nimage_height=200\nstylesheet=site.css\nformats=" + formats);
        const bool written = exportChart(out.path(), cfg, chart.graphic);
        chart.graphic->next = nullptr;
        QVERIFY2(written, qPrintable(log.all()));
        const QString html = readAll(out.filePath("index.html"));
        QVERIFY(html.contains("<title>Chart Result</title>")
                && html.contains("<link rel=\"stylesheet\" href=\"site.css\">"));
        QCOMPARE(readAll(out.filePath("site.css")), QByteArray("body { color: red; }"));
        const int speed = html.indexOf("<td>speed</td><td class=\"number\">4</td><td "
                                       "class=\"number\">0</td><td class=\"number\">4</td>");
        // Each chart's images, then its table.
        QVERIFY(html.indexOf("\"index.") < speed && speed < html.indexOf("\"index_2.")
                && html.indexOf("\"index_2.") < html.indexOf("<td>b</td>"));
        QCOMPARE(html.contains("\"index.svg\""), svg);
        QCOMPARE(html.contains("\"index.png\""), png);
        QCOMPARE(QImage(out.filePath("index.png")).size(), png ? QSize(300, 200) : QSize(0, 0));
        // The page, its images and the stylesheet only: no temporary file left behind.
        QCOMPARE(out.entryList(QDir::Files).size(), 2 + 2 * (int(svg) + int(png)));
    }

    void documentNameStaysInsideTarget_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("page");
        QTest::newRow("parent path") << "../evil" << QString("evil.html");
        QTest::newRow("dot dot") << ".." << QString("index.html");
    }

    void documentNameStaysInsideTarget()
    {
        QFETCH(QString, name);
        QFETCH(QString, page);
        const QString out = tmp->filePath("out");
        DDocument document("doc", name);
        DExportHtml exporter(out, config(""));
        QVERIFY(exporter.generate(&document, nullptr, nullptr));
        QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{page});
        QCOMPARE(QDir(tmp->path()).entryList(QDir::Files), QStringList{"dhtml.cfg"});
    }

    void textsAreEscaped_data()
    {
        QTest::addColumn<QString>("where"); // the text replaced by `text`
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("curve name")
            << "curve" << QString("<script>a\"b&c") << QString("&lt;script&gt;a&quot;b&amp;c");
        QTest::newRow("axis name") << "axis" << QString("<script>") << QString("&lt;script&gt;");
        QTest::newRow("generator") << "generator" << QString("\"><script>")
                                   << QString("content=\"&quot;&gt;&lt;script&gt;\"");
        const QChar bad[] = {QChar(1), QChar(0), QChar(0xFFFE), QChar(0xD800), QChar(0xFFFF)};
        const QChar fffd = QChar::ReplacementCharacter;
        QTest::newRow("characters XML cannot carry")
            << "curve" << QString("a") + bad[0] + bad[1] + "b" + bad[2] + bad[3] + "c" + bad[4]
            << QString("a") + fffd + fffd + "b" + fffd + fffd + "c" + fffd;
    }

    void tidySvg_data()
    {
        QTest::addColumn<QByteArray>("svg");
        QTest::addColumn<QByteArray>("tidy");
        QTest::newRow("Qt's default family") << QByteArray("<text font-family=\"Sans Serif\">")
                                             << QByteArray("<text font-family=\"sans-serif\">");
        QTest::newRow("named serif family")
            << QByteArray("<g font-family=\"DejaVu Serif\"/>")
            << QByteArray("<g font-family=\"'DejaVu Serif', serif\"/>");
        QTest::newRow("named fixed family")
            << QByteArray("<g font-family=\"Liberation Mono\"/>")
            << QByteArray("<g font-family=\"'Liberation Mono', monospace\"/>");
        QTest::newRow("references") << QByteArray("<t>&#1;&#x9;&#xFFFE;&#55296;&#65;&amp;</t>")
                                    << QByteArray("<t>&#xFFFD;&#x9;&#xFFFD;&#xFFFD;&#65;&amp;</t>");
        QTest::newRow("raw characters")
            << QByteArray("<t>\x01\t\xed\xa0\x80\xef\xbf\xbf\xf0\x9f\x98\x80</t>")
            << QByteArray("<t>\xef\xbf\xbd\t\xef\xbf\xbd\xef\xbf\xbd"
                          "\xef\xbf\xbd\xef\xbf\xbd\xf0\x9f\x98\x80</t>");
    }

    void tidySvg()
    {
        QFETCH(QByteArray, svg);
        QFETCH(QByteArray, tidy);
        QCOMPARE(qaTidySvg(svg), tidy);
        QCOMPARE(qaTidySvg(tidy), tidy); // tidying again changes nothing
    }

    void textsAreEscaped()
    {
        QFETCH(QString, where);
        QFETCH(QString, text);
        QFETCH(QString, escaped);
        const auto pick = [&](const char* field, const char* other) {
            return where == QLatin1String(field) ? text : QString(other);
        };
        ChartFixture chart(DGraphic::Chart2D, pick("title", "T"));
        chart.addAxes(2, 0, 0, {pick("axis", "x")});
        chart.addSeries(pick("curve", "c"), {1, 2});
        DUpdater().doItem(chart.graphic);
        QAViewerHTMLWriter writer;
        QVERIFY(exportChart(tmp->path(), config(""), chart.graphic, &writer, nullptr,
                            pick("generator", "g")));
        const QString html = readAll(tmp->filePath("index.html"));
        QVERIFY2(html.contains(escaped), qPrintable(html));
        QVERIFY(!html.contains("<script", Qt::CaseInsensitive));
        // The texts are drawn into the SVG too, which must stay well-formed and script-free.
        QFile svg(tmp->filePath("index.svg"));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&svg);
        while (!xml.atEnd())
            QVERIFY(xml.readNext() != QXmlStreamReader::StartElement
                    || xml.name().compare(u"script", Qt::CaseInsensitive) != 0);
        QVERIFY(!xml.hasError());
    }

    void curveRows_data()
    {
        using V = std::vector<float>;
        QTest::addColumn<bool>("threeD");
        QTest::addColumn<V>("values");
        QTest::addColumn<QString>("row"); // name|points|min|max
        QTest::newRow("2-D") << false << V{2, -1.5f, 3} << "first|3|-1.5|3";
        QTest::newRow("non-finite skipped") << false << V{NAN, 1, INFINITY, 5} << "first|4|1|5";
        QTest::newRow("no finite value") << false << V{NAN} << "first|1||";
        QTest::newRow("no points") << false << V{} << "first|0||";
        QTest::newRow("6 significant digits")
            << false << V{1234567, .1f} << "first|2|0.1|1.23457e+06";
        QTest::newRow("3-D reads z") << true << V{7, -2} << "first|2|-2|7";
    }

    void curveRows()
    {
        QFETCH(bool, threeD);
        QFETCH(std::vector<float>, values);
        QFETCH(QString, row);
        ChartFixture chart(threeD ? DGraphic::Lines3D : DGraphic::Chart2D);
        chart.addAxes(threeD ? 3 : 2);
        chart.addSeries("first", values);
        chart.addSeries("second", {100});
        const QList<DHTMLCurveRow> rows = DHTMLChart::curveRows(*chart.graphic);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(QStringList({rows[0].name, rows[0].points, rows[0].min, rows[0].max}).join('|'),
                 row);
        QCOMPARE(rows[1].max, QStringLiteral("100"));
    }

    void settingsParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("problems");
        QTest::addColumn<QString>("settings"); // image size|formats
        QTest::newRow("empty") << "" << 0 << "800x600|svg png";
        QTest::newRow("all keys") << "image_width=640\nimage_height=480\nformats=png" << 0
                                  << "640x480|png";
        QTest::newRow("comments blanks spaces case")
            << "# c\n\n  Image_Width = 1024 \r\nformats = png ; SVG" << 0 << "1024x600|svg png";
        QTest::newRow("bounds accepted")
            << "image_width=32\nimage_height=4096" << 0 << "32x4096|svg png";
        QTest::newRow("width not a number") << "image_width=wide" << 1 << "800x600|svg png";
        QTest::newRow("height above maximum") << "image_height=4097" << 1 << "800x600|svg png";
        QTest::newRow("unknown key") << "colour=red" << 1 << "800x600|svg png";
        QTest::newRow("no equals sign") << "image_width 300\n=" << 2 << "800x600|svg png";
        QTest::newRow("unknown format dropped") << "formats=svg,gif" << 1 << "800x600|svg";
        QTest::newRow("no known format") << "formats=gif" << 2 << "800x600|svg png";
        QTest::newRow("missing stylesheet") << "stylesheet=nowhere.css" << 1 << "800x600|svg png";
    }

    void settingsParse()
    {
        QFETCH(QString, text);
        QFETCH(int, problems);
        QFETCH(QString, settings);
        QStringList reported;
        const DHtmlSettings parsed = DHtmlSettings::parse(text, tmp->path(), &reported);
        const QSize size = parsed.imageSize;
        const QString formats =
            QStringList({parsed.svg ? "svg" : "", parsed.png ? "png" : ""}).join(' ');
        QCOMPARE(
            QStringLiteral("%1x%2|%3").arg(size.width()).arg(size.height()).arg(formats.trimmed()),
            settings);
        QCOMPARE(reported.size(), problems);
        QVERIFY(parsed.stylesheet.isEmpty());
    }

    void unwritableTargetFails_data()
    {
        QTest::addColumn<QString>("blocker"); // made as a file, or as a folder when it ends in "/"
        QTest::addColumn<QString>("message");
        QTest::newRow("target is a file") << "t"
                                          << "Cannot create the folder";
        QTest::newRow("image blocked") << "t/index.png/"
                                       << "Cannot write";
        QTest::newRow("page blocked") << "t/index.html/"
                                      << "index.html";
    }

    void unwritableTargetFails()
    {
        QFETCH(QString, blocker);
        QFETCH(QString, message);
        if (blocker.endsWith('/'))
            QVERIFY(QDir().mkpath(tmp->filePath(blocker)));
        else
            writeFile(tmp->filePath(blocker), "x");
        QVERIFY(!exportChart(tmp->filePath("t"), config("")));
        QVERIFY2(log.count(QAILogMonitor::Error, message) == 1, qPrintable(log.all()));
        // A page is never left linking to an image that was not written.
        QVERIFY(!QFileInfo(tmp->filePath("t/index.html")).isFile());
    }

    void monitorsHearStepsProblemsAndCancel()
    {
        ProgressRecorder progress;
        // Without a settings file the defaults hold, with a warning that names the file.
        QVERIFY(exportChart(tmp->filePath("a"), tmp->filePath("dhtml.cfg"), nullptr, nullptr,
                            &progress));
        QCOMPARE(log.count(QAILogMonitor::Warning, "dhtml.cfg"), 1);
        QCOMPARE(QImage(tmp->filePath("a/index.png")).size(), QSize(800, 600));
        QVERIFY(progress.total == 3 && progress.progress == 3); // svg, png, page
        QVERIFY(progress.labels.last().contains("index.html"));
        ProgressRecorder stopping;
        stopping.cancelAt = 1;
        QVERIFY(!exportChart(tmp->filePath("b"), config("image_heigth=9"), nullptr, nullptr,
                             &stopping));
        QCOMPARE(log.count(QAILogMonitor::Warning, "image_heigth"), 1);
        QCOMPARE(log.count(QAILogMonitor::Error, "canceled"), 1);
        QVERIFY(!QFile::exists(tmp->filePath("b/index.html")));
    }

    void viewerWriterLinksAndAxes()
    {
        ChartFixture chart;
        chart.addAxes(2);
        chart.addSeries("c", {-2, 8});
        DUpdater().doItem(chart.graphic);
        QAViewerHTMLWriter writer;
        writer.setBaseForLink(tmp->filePath("other")); // links relative to a sibling folder
        QVERIFY(exportChart(tmp->filePath("out dir"), config(""), chart.graphic, &writer));
        const QString html = readAll(tmp->filePath("out dir/index.html"));
        QVERIFY2(html.contains("srcset=\"../out%20dir/index.svg\""), qPrintable(html));
        QVERIFY(html.contains("<tr><td>X</td><td class=\"number\">0</td><td class=\"number\">1</td>"
                              "</tr>\n<tr><td>Y</td><td class=\"number\">-2</td><td "
                              "class=\"number\">8</td>"));
    }

    void dialogGeneratesAgainAndTerminatesOnce()
    {
        auto* document = new DDocument("Chart Result", "index");
        link(*document, plain->graphic);
        QWidget window;
        QPointer<DExportHtmlDialog> dialog =
            new DExportHtmlDialog(document, config("image_width=321"), &window);
        QSignalSpy spy(dialog, &DExportHtmlDialog::terminated);
        // The viewer's ending: take the document, clear the links, delete it.
        connect(dialog, &DExportHtmlDialog::terminated, this, [&](DExportHtmlDialog* d) {
            QCOMPARE(d->documents(), QList<DDocument*>{document});
            document->firstChild = plain->graphic->parent = nullptr;
            delete document;
        });
        dialog->show();
        // A failed generation is logged and leaves the dialog open for a try that writes at the
        // size read from the settings file.
        writeFile(tmp->filePath("file"), "x");
        for (const char* target : {"file", "out"}) {
            dialog->setTargetDirectory(tmp->filePath(target));
            QTest::mouseClick(button(dialog, "Generate"), Qt::LeftButton);
        }
        QVERIFY(dialog->findChild<QPlainTextEdit*>("log")->toPlainText().contains("Error"));
        QCOMPARE(QImage(tmp->filePath("out/index.png")).size(), QSize(321, 600));
        QVERIFY(button(dialog, "Generate")->isEnabled() && spy.isEmpty() && !dialog->isModal());
        QTest::keyClick(dialog, Qt::Key_Escape);
        QCOMPARE(spy.count(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(dialog.isNull());
    }
};

QTEST_MAIN(TestHtml)
#include "tst_html.moc"
