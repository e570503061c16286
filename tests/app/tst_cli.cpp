// The studio's command line, run as the real executable with the real viewer plug-in.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int code = -1;
    QByteArray out, err;
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whether `image` has a pixel within 40 of `colour` in each channel.
bool hasColour(const QImage& image, const QColor& colour)
{
    const auto near = [](int a, int b) { return qAbs(a - b) < 40; };
    for (int i = 0; i < image.width() * image.height(); ++i) {
        const QColor c = image.pixelColor(i % image.width(), i / image.width());
        if (near(c.red(), colour.red()) && near(c.green(), colour.green()) &&
            near(c.blue(), colour.blue()))
            return true;
    }
    return false;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    QTemporaryDir dir; // the studio's working folder

    // Runs the studio in `dir` with the plug-in and a resource file of its own.
    Run studio(const QStringList& arguments,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        process.start(GVZ_STUDIO_EXECUTABLE,
                      QStringList{"--plugin", GVZ_VIEWER_PLUGIN, "--resources", "r.xml"} +
                          arguments);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return Run();
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

    QString trace(const QString& name, const QByteArray& text)
    {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? name
                                                                                  : QString();
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
        row("name again in a later file", {"--list", t, trace("bc.gvz", "b\tc\n5\t6\n7\t8\n")},
            "a\t1\t1\t1\nb\t2\t5\t7\nc\t2\t6\t8\n");
        row("name twice in one file", {"--list", trace("x.gvz", "x\tx\ty\n1\t2\t3\n")},
            "x\t1\t2\t2\ny\t1\t3\t3\n");
        row("empty file", {"--list", trace("empty.gvz", ""), trace("a.gvz", "a\n4\n")},
            "a\t1\t4\t4\n");
        row("missing file", {"--list", t, "no.gvz"}, "", "no.gvz");
        row("bad option", {"--colour", t}, "", "colour");
        row("unknown chart", {"--chart", "pie", "--list", t}, "", "pie");
        row("bad size", {"--render", "c.png", "--size", "0x600", t}, "", "0x600");
        row("unknown format", {"--render", "c.bmp", t}, "", "c.bmp");
        row("unwritable image", {"--render", "none/c.png", t}, "", "none/c.png");
        row("unwritable page", {"--export-html", "t.gvz/html", t}, "", "html");
        row("no file", {"--list"}, "", "file");
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

    void render_data()
    {
        QTest::addColumn<QString>("chart");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QColor>("curve"); // a curve colour in the PNG
        // Default styles: the first curve read is blue, the third red.
        QTest::newRow("time png") << "time"
                                  << "c.png" << QColor(Qt::blue);
        QTest::newRow("xyz png") << "xyz"
                                 << "c.png" << QColor(Qt::red);
        QTest::newRow("svg") << "xy"
                             << "c.svg" << QColor();
        QTest::newRow("pdf") << "time"
                             << "C.PDF" << QColor();
    }

    void render()
    {
        QFETCH(QString, chart);
        QFETCH(QString, file);
        QFETCH(QColor, curve);
        QByteArray text = "a\tb\tc\n";
        for (int i = 0; i < 50; ++i)
            text += QString::asprintf("%d\t%d\t%d\n", i, i * i % 17, 50 - i).toUtf8();
        QFile::remove(dir.filePath(file));
        const Run run =
            studio({"--chart", chart, "--render", file, "--size", "640x480", trace("r.gvz", text)});
        QCOMPARE(run.code, 0);
        const QByteArray bytes = readAll(dir.filePath(file));
        if (curve.isValid()) {
            const QImage image = QImage::fromData(bytes);
            QCOMPARE(image.size(), QSize(640, 480));
            QVERIFY(hasColour(image, curve));
        } else {
            QVERIFY(bytes.size() > 1000);
            QVERIFY(bytes.startsWith(file.endsWith(".svg") ? "<?xml" : "%PDF"));
        }
    }

    void exportHtml()
    {
        const Run run = studio({"--export-html", "out", trace("h.gvz", "speed&load\tb\n1\t2\n")});
        QCOMPARE(run.code, 0);
        for (const char* name : {"index.html", "index.svg", "index.png"})
            QVERIFY2(QFileInfo(dir.filePath("out/") + name).size() > 0, name);
        QVERIFY(readAll(dir.filePath("out/index.html")).contains("speed&amp;load"));
    }

    void withoutDisplay()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        const Run run = studio({trace("engine.gvz", "a\tb\tc\n1\t2\t3\n2\t4\t1\n")}, environment);
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
