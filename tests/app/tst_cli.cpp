// The studio's command line, run as the real executable with the real viewer plug-in.
#include "../testfiles.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int code = -1;
    QByteArray out, err;
};

// The cells of a 16 x 12 grid over `image` that hold a pixel within 40 of `colour` in each
// channel, as a string of 0 and 1.
QByteArray cellsOf(const QImage& image, const QColor& colour)
{
    QByteArray cells(16 * 12, '0');
    const auto near = [](int a, int b) { return qAbs(a - b) < 40; };
    for (int i = 0; i < image.width() * image.height(); ++i) {
        const int x = i % image.width();
        const int y = i / image.width();
        const QColor c = image.pixelColor(x, y);
        if (near(c.red(), colour.red()) && near(c.green(), colour.green())
            && near(c.blue(), colour.blue()))
            cells[y * 12 / image.height() * 16 + x * 16 / image.width()] = '1';
    }
    return cells;
}

// Whether every cell set in `a` has a set cell of `b` at most one cell away.
bool withinACell(const QByteArray& a, const QByteArray& b)
{
    for (int i = 0; i < a.size(); ++i) {
        bool near = a.at(i) == '0';
        for (int dy = -1; dy <= 1 && !near; ++dy)
            for (int dx = -1; dx <= 1 && !near; ++dx)
                near = i % 16 + dx >= 0 && i % 16 + dx < 16 && b.mid(i + dy * 16 + dx, 1) == "1";
        if (!near)
            return false;
    }
    return true;
}

// The three curve colours of the default styles, in column order.
const QList<QColor> curveColours{Qt::blue, Qt::green, Qt::red};

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    QTemporaryDir dir; // the studio's working folder

    // Runs the studio in `dir` with the plug-in and a resource file of its own.
    Run studio(const QStringList& arguments,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
               const QString& executable = GVZ_STUDIO_EXECUTABLE)
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        process.start(executable, QStringList{"--plugin", GVZ_VIEWER_PLUGIN, "--resources", "r.xml"}
                                      + arguments);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return Run();
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

    // Curves a, b and c of 50 samples, apart from each other in every chart.
    static QByteArray threeCurves()
    {
        QByteArray text = "a\tb\tc\n";
        for (int i = 0; i < 50; ++i)
            text += QString::asprintf("%d\t%d\t%d\n", i, i * i % 17 + 60, 50 - i).toUtf8();
        return text;
    }

    QString trace(const QString& name, const QByteArray& text)
    {
        return writeFile(dir.filePath(name), text) ? name : QString();
    }

private slots:
    // --list prints the merged curve list; errors go to stderr with exit code 2.
    void listAndErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("out"); // --list: the lines after the header
        QTest::addColumn<QByteArray>("err"); // a part of the message; none: success
        const auto row = [](const char* name, const QStringList& arguments, const char* out,
                            const char* err = "") {
            QTest::newRow(name) << arguments << QByteArray(out) << QByteArray(err);
        };
        const QString t = trace("t.gvz", "a\tb\n1\t2\n");
        row("one file", {"--list", trace("one.gvz", "a\tb\n1\t2.5\n-3\t1e-7\n")},
            "a\t2\t-3\t1\nb\t2\t1e-07\t2.5\n");
        row("missing file", {"--list", t, "no.gvz"}, "", "no.gvz");
        row("bad option", {"--colour", t}, "", "colour");
        row("unknown format", {"--render", "c.bmp", t}, "", "c.bmp");
        row("unwritable page", {"--export-html", "t.gvz/html", t}, "", "html");
        row("no file", {"--list"}, "", "file");
        const QString n = trace("names.gvz", "a,b\t\tc d\t\xc3\xbc\xc3\xb1\n1\t4\t2\t3\n");
        row("names verbatim",
            {"--list", "--show", "a,b", "--show", "", "--show", "üñ", "--show", "c d", n},
            "a,b\t1\t1\t1\n\t1\t4\t4\nc d\t1\t2\t2\n\xc3\xbc\xc3\xb1\t1\t3\t3\n");
        row("unknown names", {"--list", "--show", "a", "--show", "üñ ", n}, "",
            "Unknown curve \"a\", \"üñ \": the files hold \"a,b\", \"\", \"c d\", \"üñ\"\n");
        row("no chart to draw", {"--chart", "xyz", "--render", "c.png", trace("ab.gvz", "a\tb\n")},
            "", "c.png: the window shows no chart");
    }

    void listAndErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        const Run run = studio(arguments);
        QCOMPARE(run.code, err.isEmpty() ? 0 : 2);
        QCOMPARE(run.out, err.isEmpty() ? "Name\tValues\tMin\tMax\n" + out : QByteArray());
        QVERIFY2(err.isEmpty() || (run.err.contains("gvz-studio: ") && run.err.contains(err)),
                 run.err.constData());
    }

    // The curves shown follow --chart, --show and --show-all.
    void render_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("shown"); // per curve colour: 1 drawn, 0 not
        QTest::newRow("time: first curve") << QStringList{"--chart", "time"} << "100";
        QTest::newRow("time: show two") << QStringList{"--show", "c", "--show", "b"} << "011";
        QTest::newRow("xyz: third curve") << QStringList{"--chart", "xyz"} << "001";
        QTest::newRow("xyz: roles")
            << QStringList{"--chart", "xyz", "--x", "c", "--y", "b", "--z", "a", "--z", "b"}
            << "110";
        QTest::newRow("time: stacked") << QStringList{"--show-all", "--stack"} << "111";
        QTest::newRow("xy: stacked log axes")
            << QStringList{"--chart", "xy", "--y", "a", "--y", "c", "--stack", "--log-x", "--log-y"}
            << "101";
    }

    void render()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, shown);
        QFile::remove(dir.filePath("c.png"));
        const Run run = studio(
            arguments
            + QStringList{"--render", "c.png", "--size", "640x480", trace("r.gvz", threeCurves())});
        QCOMPARE(run.code, 0);
        const QImage image(dir.filePath("c.png"));
        QCOMPARE(image.size(), QSize(640, 480));
        QString seen;
        int above = -1; // stacked: each curve's cells (left of the legend) below the previous
        for (const QColor& colour : curveColours) {
            const QByteArray cells = cellsOf(image, colour);
            seen += cells.contains('1') ? '1' : '0';
            int top = 12, bottom = -1;
            for (int i = 0; i < cells.size(); ++i) {
                if (cells[i] == '1' && i % 16 < 11) {
                    top = std::min(top, i / 16);
                    bottom = std::max(bottom, i / 16);
                }
            }
            if (arguments.contains("--stack") && bottom >= 0) {
                QVERIFY(top >= above);
                above = bottom;
            }
        }
        QCOMPARE(seen, shown);
    }

    // PNG, SVG and PDF are one drawing: every curve colour in the same places.
    void sameDrawingInEveryFormat()
    {
        const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
        if (pdftoppm.isEmpty())
            QSKIP("pdftoppm is needed to look at the PDF");
        const QString file = trace("f.gvz", threeCurves());
        QList<QImage> images;
        for (const char* name : {"f.png", "f.svg", "f.pdf"}) {
            QCOMPARE(studio({"--show-all", "--render", name, "--size", "640x480", file}).code, 0);
            QImage image(640, 480, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            if (QByteArray(name).endsWith("png")) {
                image.load(dir.filePath(name));
            } else if (QByteArray(name).endsWith("svg")) {
                QPainter painter(&image);
                QSvgRenderer(dir.filePath(name)).render(&painter);
            } else {
                QCOMPARE(QProcess::execute(pdftoppm, {"-r", "96", "-png", "-singlefile",
                                                      dir.filePath(name), dir.filePath("page")}),
                         0);
                image.load(dir.filePath("page.png"));
            }
            QCOMPARE(image.size(), QSize(640, 480));
            images << image;
        }
        for (const QColor& colour : curveColours) {
            const QByteArray png = cellsOf(images.at(0), colour);
            QVERIFY(png.count('1') > 10);
            for (const QImage& other : images.mid(1)) {
                const QByteArray cells = cellsOf(other, colour);
                QVERIFY2(withinACell(png, cells) && withinACell(cells, png), png + "\n" + cells);
            }
        }
    }

    // Without a display the charts go into files; the HTML export goes on with its defaults when
    // no dhtml.cfg is found anywhere (a copy of the studio, away from the one beside the build).
    void withoutDisplayOrSettings()
    {
        const QString studioCopy = dir.filePath("bin/gvz-studio");
        QVERIFY(QDir().mkpath(dir.filePath("bin"))
                && (QFile::exists(studioCopy) || QFile::copy(GVZ_STUDIO_EXECUTABLE, studioCopy)));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        const Run run =
            studio({trace("engine.gvz", "a\tb\tc\n1\t2\t3\n2\t4\t1\n")}, environment, studioCopy);
        QCOMPARE(run.code, 0);
        QVERIFY2(run.err.contains("No display"), run.err.constData());
        const QStringList lines = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
        const QString out = dir.filePath("gvz-output/engine-");
        const QStringList files{out + "time.png", out + "xyz.png", out + "html/index.html"};
        QCOMPARE(lines.size(), files.size());
        for (int i = 0; i < files.size(); ++i)
            QVERIFY2(lines.at(i).endsWith(files.at(i)) && QFileInfo(files.at(i)).size() > 0,
                     qPrintable(lines.at(i)));
        QVERIFY(readAll(files.at(0)) != readAll(files.at(1))); // the second is the 3-D one
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
