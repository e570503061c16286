#include "../testfiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// What a path is, enough to tell that a run left it alone: its kind, and a file's bytes.
QString stateOf(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return QStringLiteral("link to ") + info.symLinkTarget();
    if (info.isDir())
        return QStringLiteral("folder ") + QDir(path).entryList(QDir::NoDotAndDotDot).join(u',');
    if (!info.isFile())
        return info.exists() ? QStringLiteral("special") : QStringLiteral("missing");
    return "file " + QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha1).toHex();
}

} // namespace

class TestHostile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        const QList<QPair<const char*, QByteArray>> files = {
            {"ok.gvz", "A\tB\n1\t2\n3\t4\n"},
            {"control.gvz", QByteArray("a\x01q\xef\xbf\xbf\tb\0r\n1\t2\n", 16)},
            {"corrupt.xml", "<resources version=\"1\"><group tag=\"studio\">"},
            {"good.xml", "<resources version=\"1\"><group tag=\"studio\"/></resources>"},
            {"target.txt", "precious"}};
        for (const auto& [name, bytes] : files)
            QVERIFY(writeFile(path(name), bytes));
        QFile big(path("big.xml"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize((qint64(64) << 20) + 1));
        big.close();
        QVERIFY(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600) == 0);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        QVERIFY(QFile::copy(path("good.xml"), path("unreadable.xml")));
        QVERIFY(QFile::setPermissions(path("unreadable.xml"), QFileDevice::WriteOwner));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("export")));
        for (const char* name : {"export/index.html", "export/index.svg", "export/index.png"})
            QVERIFY(QFile::link(path("target.txt"), path(name)));
    }

    // Every row runs the studio in batch mode; %1 stands for the test's folder.
    void batchRun_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message"); // words the error output holds
        QTest::addColumn<QStringList>("untouched");

        // Runs without --resources read the good resource file.
        const auto row = [](const char* name, QString arguments, int code, const char* words,
                            const char* untouched = "") {
            if (!arguments.startsWith(u"--resources"))
                arguments.prepend(u"--resources %1/good.xml ");
            QTest::newRow(name) << arguments.split(u' ') << code << QString::fromLatin1(words)
                                << QString::fromLatin1(untouched).split(u' ', Qt::SkipEmptyParts);
        };
        const char* notRegular = "is not a regular file";
        row("resources: FIFO", "--resources %1/fifo --list %1/ok.gvz", 0, notRegular, "fifo");
        row("resources: folder", "--resources %1/folder --list %1/ok.gvz", 0, notRegular, "folder");
        row("resources: too big", "--resources %1/big.xml --list %1/ok.gvz", 0, "64 MiB",
            "big.xml");
        row("resources: corrupt, batch", "--resources %1/corrupt.xml --render %1/out.png %1/ok.gvz",
            0, "cannot be read", "corrupt.xml");
        row("resources: unreadable", "--resources %1/unreadable.xml --list %1/ok.gvz", 0,
            "is not readable", "unreadable.xml");
        row("resources: good, batch", "--export-html %1/out %1/ok.gvz", 0, "", "good.xml");
        row("trace: FIFO", "--list %1/fifo", 2, notRegular, "fifo");
        row("trace: device", "--list /dev/zero", 2, notRegular);
        row("render: control names, SVG", "--render %1/control.svg %1/control.gvz", 0, "");
        row("render: control names, PDF", "--render %1/control.pdf %1/control.gvz", 0, "");
        row("export: links at its names", "--export-html %1/export %1/control.gvz", 0, "",
            "target.txt");
    }

    void batchRun()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QStringList, untouched);
        if (QTest::currentDataTag() == QByteArray("resources: unreadable") && ::geteuid() == 0)
            QSKIP("root reads every file");
        for (QString& argument : arguments)
            argument.replace(QStringLiteral("%1"), dir.path());
        QStringList before;
        for (const QString& name : std::as_const(untouched))
            before << stateOf(dir.filePath(name));

        QProcess studio;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        studio.setProcessEnvironment(environment);
        studio.start(QStringLiteral(GVZ_STUDIO_EXECUTABLE), arguments);
        // Generous: a run that blocks on a FIFO or reads a device forever fails here.
        const bool finished = studio.waitForFinished(120000);
        if (!finished)
            studio.kill();
        QVERIFY2(finished, "the studio hangs");
        const QString errors = QString::fromUtf8(studio.readAllStandardError());
        QVERIFY2(studio.exitStatus() == QProcess::NormalExit, qPrintable(errors));
        QCOMPARE(studio.exitCode(), exitCode);
        QVERIFY2(errors.contains(message), qPrintable(errors));

        QStringList after;
        for (const QString& name : std::as_const(untouched))
            after << stateOf(dir.filePath(name));
        QCOMPARE(after, before);
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.bad-*")}), QStringList());
    }

    void exportReplacesLinksAndStaysWellFormed()
    {
        // After the "export: links at its names" row: the links are files of their own now, and
        // the SVGs of a trace whose names hold control characters, exported and rendered (an
        // earlier row), read as XML.
        const QDir out(path("export"));
        for (const char* name : {"index.html", "index.svg", "index.png"}) {
            const QFileInfo info(out.filePath(QString::fromLatin1(name)));
            QVERIFY2(info.isFile() && !info.isSymLink(), name);
        }
        for (const QString& name : {out.filePath(u"index.svg"_qs), path("control.svg")}) {
            QXmlStreamReader xml(readAll(name));
            while (!xml.atEnd())
                xml.readNext(); // stops at an error too
            QVERIFY2(!xml.hasError(), qPrintable(name + ": " + xml.errorString()));
        }
        QVERIFY(QFileInfo(path("control.pdf")).size() > 0);
    }
};

QTEST_GUILESS_MAIN(TestHostile)
#include "tst_hostile.moc"
