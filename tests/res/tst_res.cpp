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

void compareTrees(const QARes* a, const QARes* b)
{
    for (; a || b; a = a->next(), b = b->next()) {
        QVERIFY(a && b);
        QCOMPARE(a->kind(), b->kind());
        QCOMPARE(a->tag(), b->tag());
        switch (a->kind()) {
        case QARes::GroupKind:
            compareTrees(a->toResGroup()->firstChild(), b->toResGroup()->firstChild());
            break;
        case QARes::StringKind:
            QCOMPARE(a->toResString()->value(), b->toResString()->value());
            break;
        case QARes::BooleanKind:
            QCOMPARE(a->toResBoolean()->value(), b->toResBoolean()->value());
            break;
        case QARes::RGBKind:
            QCOMPARE(a->toResRGB()->color(), b->toResRGB()->color());
            break;
        }
    }
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
        QTest::newRow("plain") << QStringLiteral("Graphic") << QStringLiteral("inner");
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
            compareTrees(tree.get(), back.get());
        }
        QTemporaryDir dir; // and through a file
        QFile file(dir.filePath(QStringLiteral("r.xml")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(tree->toXml()) > 0);
        file.close();
        compareTrees(tree.get(), ResPtr(QARes::read(file.fileName(), false)).get());
    }

    void unreadableFilesAndTopLevelSiblings()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!QARes::read(dir.filePath(QStringLiteral("missing.xml")), false, &error));
        QVERIFY(!error.isEmpty());
        const QByteArray two = "<resources version=\"1\"><string tag=\"a\">1</string>"
                               "<boolean tag=\"b\">true</boolean></resources>";
        ResPtr chain(QARes::fromXml(two, false));
        QVERIFY(chain && chain->next() && chain->next()->isTag("b") && !chain->next()->next());
    }

    void deepTreeRoundTrips()
    {
        auto* root = new QAResGroup(QStringLiteral("0"));
        QAResGroup* group = root;
        for (int depth = 1; depth < QARes::MaxDepth - 1; ++depth)
            group = new QAResGroup(QString::number(depth), group);
        group->addChild(new QAResString(QStringLiteral("leaf"), QStringLiteral("deep")));
        ResPtr tree(root);
        QString error;
        ResPtr back(QARes::fromXml(tree->toXml(), false, &error));
        QVERIFY2(back, qPrintable(error));
        compareTrees(tree.get(), back.get());
    }

    void searchFollowsSiblingsAndDescends_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("found");
        const auto row = [](const char* name, const char* path, const char* found) {
            QTest::newRow(name) << QString(path) << QString(found);
        };
        row("into group", "root.yes", "yes");
        row("two levels", "root.inner.text", "text");
        row("missing", "root.maybe", "");
        row("through a leaf", "root.yes.x", "");
        row("sibling of start", "later", "later");
        row("empty path", "", "");
    }

    void searchFollowsSiblingsAndDescends()
    {
        QFETCH(QString, path);
        QFETCH(QString, found);
        ResPtr tree(sampleTree(QStringLiteral("x"), QStringLiteral("inner")));
        tree->setNext(new QAResString(QStringLiteral("later"), QString()));
        QARes* node = tree->search(path, '.');
        QCOMPARE(node ? node->tag() : QString(), found);
    }

    void linkingReplacesAndOwns()
    {
        QAResGroup group(QStringLiteral("g"));
        auto* a = new QAResString(QStringLiteral("a"), QStringLiteral("1"));
        group.addChild(a);
        group.addChild(new QAResString(QStringLiteral("b"), QStringLiteral("2")));
        QCOMPARE(group.childByTag("b")->toResString()->value(), QStringLiteral("2"));
        a->setNext(new QAResBoolean(QStringLiteral("c"), true)); // drops "b"
        QVERIFY(!group.childByTag(QStringLiteral("b")));
        QVERIFY(group.childByTag(QStringLiteral("c"))->toResBoolean());
        ResPtr taken(a->takeNext());
        QVERIFY(taken->isTag("c") && !a->next());
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

    void rgbComponentsAreClamped()
    {
        QAResRGB rgb(QStringLiteral("c"), -5, 300, 7);
        QCOMPARE(rgb.color(), QColor(0, 255, 7));
    }
};

QTEST_GUILESS_MAIN(TestRes)
#include "tst_res.moc"
