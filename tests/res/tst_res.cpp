#include "host/res/qares.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <memory>

using ResPtr = std::unique_ptr<QARes>;

namespace {

QAResGroup* sampleTree(const QString& text, const QString& tag)
{
    auto* root = new QAResGroup(QStringLiteral("root"));
    auto* inner = new QAResGroup(tag, root);
    inner->addChild(new QAResString(QStringLiteral("text"), text));
    root->addChild(new QAResBoolean(QStringLiteral("yes"), true));
    root->addChild(new QAResBoolean(QStringLiteral("no"), false));
    root->addChild(new QAResRGB(QStringLiteral("colour"), 1, 128, 255));
    return root;
}

QByteArray writtenBy(const QARes* node, const QString& indent = QString())
{
    QString text;
    QTextStream stream(&text);
    node->write(stream, indent);
    stream.flush();
    return text.toUtf8();
}

} // namespace

class TestRes : public QObject
{
    Q_OBJECT
private slots:
    void roundTripKeepsEveryKind_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tag");
        QTest::newRow("empty text") << QString() << QStringLiteral("inner");
        QTest::newRow("unicode") << QStringLiteral("温度 °C ñ 🚀") << QStringLiteral("组");
        QTest::newRow("markup") << QString("<a href=\"x\">&amp;</a>") << QString("a&b");
        QTest::newRow("blanks kept") << QString("  two  \n lines \t") << QString(" t ");
        QTest::newRow("control characters") << QString("a\rb\x01\x1f") << QString("t\r\x02");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QStringLiteral("x");
    }

    void roundTripKeepsEveryKind()
    {
        QFETCH(QString, text);
        QFETCH(QString, tag);
        ResPtr tree(sampleTree(text, tag));
        for (const QString& indent : {QString(), QStringLiteral("    ")}) {
            QString error;
            ResPtr back(QARes::fromXml(writtenBy(tree.get(), indent), false, &error));
            QVERIFY2(back && error.isEmpty(), qPrintable(error));
            QCOMPARE(back->toXml(), tree->toXml());
        }
        QTemporaryDir dir; // and through a file
        QFile file(dir.filePath(QStringLiteral("r.xml")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(tree->toXml()) > 0);
        file.close();
        QCOMPARE(ResPtr(QARes::read(file.fileName(), false))->toXml(), tree->toXml());
        QVERIFY(!QARes::read(dir.filePath(QStringLiteral("missing.xml")), false));
    }

    void longSiblingChainIsFreed()
    {
        auto* first = new QAResBoolean(QStringLiteral("n"), true);
        QARes* last = first;
        for (int i = 0; i < 300000; ++i)
            last = last->setNext(new QAResBoolean(QStringLiteral("n"), false));
        delete first; // must not recurse per node
    }

    void badDocumentsYieldNullWithReason_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated") << QByteArray("<resources version=\"1\"><group tag=\"a\"><st");
        QTest::newRow("foreign xml") << QByteArray("<html><body>hi</body></html>");
        QTest::newRow("no node") << QByteArray("<resources version=\"1\"/>");
        const auto row = [](const char* name, const QByteArray& body) {
            QTest::newRow(name) << "<resources version=\"1\">" + body + "</resources>";
        };
        QTest::newRow("other version")
            << QByteArray("<resources version=\"9\"><string tag=\"a\"/></resources>");
        row("unknown element", "<font tag=\"a\"/>");
        row("missing tag", "<string>x</string>");
        row("rgb above 255", "<rgb tag=\"c\" red=\"256\" green=\"0\" blue=\"0\"/>");
        row("rgb missing", "<rgb tag=\"c\" red=\"0\"/>");
        row("bad boolean", "<boolean tag=\"b\">maybe</boolean>");
        row("element in string", "<string tag=\"s\">a<b/></string>");
        row("trailing garbage", "<string tag=\"s\"/></resources><x/>");
        QByteArray deep = "<resources>";
        for (int i = 0; i < 100000; ++i)
            deep += "<group tag=\"g\">";
        QTest::newRow("100000 deep") << deep;
    }

    void badDocumentsYieldNullWithReason()
    {
        QFETCH(QByteArray, document);
        QString error;
        ResPtr tree(QARes::fromXml(document, false, &error));
        QVERIFY(!tree && !error.isEmpty());
    }

    void lenientReadSkipsUnknownElements()
    {
        const QByteArray doc = "<resources><font tag=\"f\"><x/></font><string tag=\"s\">v</string>";
        ResPtr tree(QARes::fromXml(doc + "</resources>", true));
        QVERIFY(tree && tree->isTag("s") && !tree->next());
    }
};

QTEST_GUILESS_MAIN(TestRes)
#include "tst_res.moc"
