// The studio's command line, run as the real executable with the real viewer plug-in.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

struct Run
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whether `image` has a pixel close to `colour`.
bool hasColour(const QImage& image, const QColor& colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - colour.red()) < 40 && qAbs(c.green() - colour.green()) < 40
                && qAbs(c.blue() - colour.blue()) < 40)
                return true;
        }
    }
    return false;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void list_data();
    void list();
    void render_data();
    void render();
    void exportHtml();
    void errors_data();
    void errors();
    void withoutDisplay();

private:
    // Runs the studio with `arguments` (plug-in and a private resource file added) in the
    // temporary folder; `environment` replaces the process environment when given.
    Run studio(const QStringList& arguments,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    QString trace(const QString& name, const QByteArray& text);

    std::unique_ptr<QTemporaryDir> dir;
};

void TestCli::init()
{
    dir = std::make_unique<QTemporaryDir>();
}

Run TestCli::studio(const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir->path());
    process.start(QStringLiteral(GVZ_STUDIO_EXECUTABLE),
                  QStringList{QStringLiteral("--plugin"), QStringLiteral(GVZ_VIEWER_PLUGIN),
                              QStringLiteral("--resources"),
                              dir->filePath(QStringLiteral("resources.xml"))}
                      + arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return Run();
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QString TestCli::trace(const QString& name, const QByteArray& text)
{
    QFile file(dir->filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return QString();
    return file.fileName();
}

void TestCli::list_data()
{
    QTest::addColumn<QList<QByteArray>>("traces");
    QTest::addColumn<QByteArray>("expected"); // after the header line
    QTest::newRow("one file") << QList<QByteArray>{"a\tb\n1\t2.5\n-3\t1e-7\n"}
                              << QByteArray("a\t2\t-3\t1\nb\t2\t1e-07\t2.5\n");
    QTest::newRow("name again in a later file")
        << QList<QByteArray>{"a\tb\n1\t2\n", "b\tc\n5\t6\n7\t8\n"}
        << QByteArray("a\t1\t1\t1\nb\t2\t5\t7\nc\t2\t6\t8\n");
    QTest::newRow("name twice in one file")
        << QList<QByteArray>{"x\tx\ty\n1\t2\t3\n"} << QByteArray("x\t1\t2\t2\ny\t1\t3\t3\n");
    QTest::newRow("empty file") << QList<QByteArray>{"", "a\n4\n"} << QByteArray("a\t1\t4\t4\n");
}

void TestCli::list()
{
    QFETCH(QList<QByteArray>, traces);
    QFETCH(QByteArray, expected);
    QStringList arguments{QStringLiteral("--list")};
    for (int i = 0; i < traces.size(); ++i)
        arguments << trace(QStringLiteral("t%1.gvz").arg(i), traces.at(i));
    const Run run = studio(arguments);
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, "Name\tValues\tMin\tMax\n" + expected);
}

void TestCli::render_data()
{
    QTest::addColumn<QString>("chart");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QColor>("curve"); // a curve colour in the PNG
    // Default styles: the first curve read is blue, the third red.
    QTest::newRow("time png") << QStringLiteral("time") << QStringLiteral("c.png") << QColor(Qt::blue);
    QTest::newRow("xyz png") << QStringLiteral("xyz") << QStringLiteral("c.png") << QColor(Qt::red);
    QTest::newRow("svg") << QStringLiteral("xy") << QStringLiteral("c.svg") << QColor();
    QTest::newRow("pdf") << QStringLiteral("time") << QStringLiteral("C.PDF") << QColor();
}

void TestCli::render()
{
    QFETCH(QString, chart);
    QFETCH(QString, file);
    QFETCH(QColor, curve);
    QByteArray text = "a\tb\tc\n";
    for (int i = 0; i < 50; ++i)
        text += QByteArray::number(i) + '\t' + QByteArray::number(i * i % 17) + '\t'
                + QByteArray::number(50 - i) + '\n';
    const Run run = studio({QStringLiteral("--chart"), chart, QStringLiteral("--render"), file,
                            QStringLiteral("--size"), QStringLiteral("640x480"),
                            trace(QStringLiteral("t.gvz"), text)});
    QCOMPARE(run.code, 0);
    const QByteArray bytes = readAll(dir->filePath(file));
    if (file.endsWith(QLatin1String(".png"))) {
        const QImage image = QImage::fromData(bytes);
        QCOMPARE(image.size(), QSize(640, 480));
        QVERIFY(hasColour(image, curve));
    } else {
        QVERIFY(bytes.size() > 1000);
        QVERIFY(bytes.startsWith(file.endsWith(QLatin1String(".svg")) ? "<?xml" : "%PDF"));
    }
}

void TestCli::exportHtml()
{
    const Run run = studio({QStringLiteral("--export-html"), QStringLiteral("out"),
                            trace(QStringLiteral("t.gvz"), "speed&load\tb\n1\t2\n3\t4\n")});
    QCOMPARE(run.code, 0);
    for (const char* name : {"index.html", "index.svg", "index.png"})
        QVERIFY2(QFileInfo(dir->filePath(QStringLiteral("out/")) + QLatin1String(name)).size() > 0,
                 name);
    QVERIFY(readAll(dir->filePath(QStringLiteral("out/index.html"))).contains("speed&amp;load"));
}

void TestCli::errors_data()
{
    QTest::addColumn<QStringList>("arguments"); // t.gvz is a readable trace
    QTest::addColumn<QByteArray>("message");
    const QString t = QStringLiteral("t.gvz");
    QTest::newRow("missing file") << QStringList{QStringLiteral("--list"), t, QStringLiteral("no.gvz")}
                                  << QByteArray("no.gvz");
    QTest::newRow("bad option") << QStringList{QStringLiteral("--colour"), t}
                                << QByteArray("colour");
    QTest::newRow("unknown chart")
        << QStringList{QStringLiteral("--chart"), QStringLiteral("pie"), QStringLiteral("--list"), t}
        << QByteArray("pie");
    QTest::newRow("bad size") << QStringList{QStringLiteral("--render"), QStringLiteral("c.png"),
                                             QStringLiteral("--size"), QStringLiteral("0x600"), t}
                              << QByteArray("0x600");
    QTest::newRow("unknown format")
        << QStringList{QStringLiteral("--render"), QStringLiteral("c.bmp"), t} << QByteArray("c.bmp");
    QTest::newRow("unwritable image")
        << QStringList{QStringLiteral("--render"), QStringLiteral("none/c.png"), t}
        << QByteArray("none/c.png");
    QTest::newRow("unwritable page")
        << QStringList{QStringLiteral("--export-html"), QStringLiteral("t.gvz/html"), t}
        << QByteArray("html");
    QTest::newRow("no file") << QStringList{QStringLiteral("--list")} << QByteArray("file");
}

void TestCli::errors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    trace(QStringLiteral("t.gvz"), "a\tb\n1\t2\n");
    const Run run = studio(arguments);
    QCOMPARE(run.code, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.contains("gvz-studio: ") && run.err.contains(message), run.err.constData());
}

void TestCli::withoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    const Run run = studio({trace(QStringLiteral("engine.gvz"), "a\tb\tc\n1\t2\t3\n2\t4\t1\n")},
                           environment);
    QCOMPARE(run.code, 0);
    QVERIFY2(run.err.contains("No display"), run.err.constData());
    const QStringList lines = QString::fromUtf8(run.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    const QDir out(dir->filePath(QStringLiteral("gvz-output")));
    const QStringList files{out.filePath(QStringLiteral("engine-time.png")),
                            out.filePath(QStringLiteral("engine-xyz.png")),
                            out.filePath(QStringLiteral("engine-html/index.html"))};
    for (int i = 0; i < files.size(); ++i) {
        QVERIFY2(lines.at(i).endsWith(files.at(i)), qPrintable(lines.at(i)));
        QVERIFY(QFileInfo(files.at(i)).size() > 0);
    }
    // The two charts differ: the second is the 3-D one.
    QVERIFY(readAll(files.at(0)) != readAll(files.at(1)));
}

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
