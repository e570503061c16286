#include "prefs/qagvzpref.h"

#include "host/chart/dstyle.h"
#include "host/res/qares.h"
#include "host/studio/qafontutil.h"

#include <QApplication>
#include <QDialog>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <memory>

using ResPtr = std::unique_ptr<QARes>;

namespace {

const QColor Pane(0, 0, 255);
const QColor PaneBack(255, 255, 200);

QColor paletteBase()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Base);
}

QColor penOf(const DStyle* style)
{
    return style->penColor ? style->penColor->toQColor() : QColor();
}

QByteArray groupXml(const QByteArray& body, const QByteArray& tag = "gvz_viewer")
{
    return "<resources version=\"1\"><group tag=\"" + tag + "\">" + body + "</group></resources>";
}

QByteArray rgb(const QByteArray& tag, int r, int g, int b)
{
    return QStringLiteral("<rgb tag=\"%1\" red=\"%2\" green=\"%3\" blue=\"%4\"/>")
        .arg(QString::fromLatin1(tag))
        .arg(r)
        .arg(g)
        .arg(b)
        .toLatin1();
}

QByteArray penStyle(const QByteArray& tag, int r, int g, int b)
{
    return "<group tag=\"" + tag + "\">" + rgb("pen_color", r, g, b) + "</group>";
}

} // namespace

class TestPrefs : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        QAGVZPref pref;
        QCOMPARE(pref.general->background, paletteBase());
        QCOMPARE(pref.general->pane, Pane);
        QCOMPARE(pref.general->paneBack, PaneBack);
        QCOMPARE(pref.preferenceSettings(), pref.general);
        QCOMPARE(pref.general->title(), QStringLiteral("Graphics Viewer"));
        QCOMPARE(pref.styles->title(), QStringLiteral("Styles"));
        for (const PreferenceItem* node : {static_cast<PreferenceItem*>(pref.general),
                                           static_cast<PreferenceItem*>(pref.styles)}) {
            QCOMPARE(node->tag(), QStringLiteral("pref-gvz"));
            QCOMPARE(node->helpTag(), QStringLiteral("pref-gvz"));
            QVERIFY(!node->next());
        }
        QCOMPARE(pref.general->child(), static_cast<PreferencePageInterface*>(pref.styles));
        QVERIFY(!pref.styles->child());
        QCOMPARE(pref.styles->styleNames.size(), 24);
    }

    void defaultStyles_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("pen");
        const char* const named[4] = {"Graphic", "X Axis", "Y Axis", "Z Axis"};
        for (int i = 0; i < 4; ++i)
            QTest::newRow(named[i]) << i << named[i] << QColor();
        const int colors[20][3] = {{0, 0, 255},   {0, 255, 0},     {255, 0, 0},    {255, 0, 255},
                                   {0, 152, 152}, {255, 255, 0},   {255, 170, 0},  {170, 0, 255},
                                   {170, 0, 0},   {0, 0, 127},     {85, 0, 0},     {85, 0, 127},
                                   {170, 170, 0}, {85, 170, 0},    {170, 85, 127}, {170, 170, 255},
                                   {170, 255, 0}, {170, 255, 255}, {85, 85, 127},  {191, 0, 0}};
        for (int n = 0; n < 20; ++n)
            QTest::addRow("Curve %d", n) << 4 + n << QStringLiteral("Curve %1").arg(n)
                                         << QColor(colors[n][0], colors[n][1], colors[n][2]);
    }

    void defaultStyles()
    {
        QFETCH(int, index);
        QFETCH(QString, name);
        QFETCH(QColor, pen);
        QAGVZPref pref;
        QAGVZPrefStyles* s = pref.styles;
        DStyle* const members[4] = {s->graphicStyle, s->axisXStyle, s->axisYStyle, s->axisZStyle};
        DStyle* style = s->styleList.at(index);
        QCOMPARE(style, index < 4 ? members[index] : s->curveStyles[index - 4]);
        QCOMPARE(style->name, name);
        QCOMPARE(s->styleNames.value(name), name); // no translator installed
        QCOMPARE(penOf(style), pen);
        QVERIFY(!style->fillColor);
        QVERIFY(!style->markers);
        QCOMPARE(style->font->family, QAFontUtil::defaultFont().family());
        QCOMPARE(style->font->size, QAFontUtil::defaultFont().pointSize());
    }

    void toResourcesOrderAndValues_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("null") << QByteArray();
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("foreign") << QByteArray("something else");
    }

    void toResourcesOrderAndValues()
    {
        QFETCH(QByteArray, name);
        QAGVZPref pref;
        pref.general->background = QColor(1, 2, 3);
        const ResPtr res(pref.toResources(name.isNull() ? nullptr : name.constData()));
        QVERIFY(res && res->toResGroup() && !res->next());
        QCOMPARE(res->tag(), QStringLiteral("gvz_viewer"));

        QStringList tags;
        QStringList expected{"background", "pane_back",  "pane",      "sty_graphic",
                             "sty_axis_x", "sty_axis_y", "sty_axis_z"};
        for (int k = 1; k <= 20; ++k)
            expected << QStringLiteral("sty_curve_%1").arg(k);
        const QColor colors[3] = {QColor(1, 2, 3), PaneBack, Pane};
        int i = 0;
        for (const QARes* c = res->toResGroup()->firstChild(); c; c = c->next(), ++i) {
            tags << c->tag();
            if (i < 3) {
                QVERIFY(c->toResRGB());
                QCOMPARE(c->toResRGB()->color(), colors[i]);
                continue;
            }
            const QARes* styleName = c->toResGroup()->childByTag(QStringLiteral("name"));
            QCOMPARE(styleName->toResString()->value(), pref.styles->styleList.at(i - 3)->name);
        }
        QCOMPARE(tags, expected);
    }

    void fromResources_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QColor>("background"); // invalid: the palette default
        QTest::addColumn<QColor>("pane");
        QTest::addColumn<QColor>("curve0");
        QTest::addColumn<QColor>("curve19");
        const QColor base;
        const QColor c0(0, 0, 255);
        const QColor c19(191, 0, 0);
        QTest::newRow("empty group") << groupXml("") << base << Pane << c0 << c19;
        QTest::newRow("pane only")
            << groupXml(rgb("pane", 10, 20, 30)) << base << QColor(10, 20, 30) << c0 << c19;
        QTest::newRow("foreign group: no styles either")
            << groupXml(rgb("pane", 1, 2, 3) + penStyle("sty_curve_1", 9, 9, 9), "gvzconfig")
            << base << Pane << c0 << c19;
        QTest::newRow("string where rgb expected")
            << groupXml("<string tag=\"background\">red</string>" + rgb("pane", 5, 5, 5)) << base
            << QColor(5, 5, 5) << c0 << c19;
        QTest::newRow("background set")
            << groupXml(rgb("background", 7, 7, 7)) << QColor(7, 7, 7) << Pane << c0 << c19;
        QTest::newRow("duplicate pane: later wins")
            << groupXml(rgb("pane", 1, 2, 3) + rgb("pane", 4, 5, 6)) << base << QColor(4, 5, 6)
            << c0 << c19;
        QTest::newRow("sty_curve_1 is Curve 0, sty_curve_20 Curve 19")
            << groupXml(penStyle("sty_curve_1", 7, 8, 9) + penStyle("sty_curve_20", 1, 2, 3))
            << base << Pane << QColor(7, 8, 9) << QColor(1, 2, 3);
        QTest::newRow("sty_curve_0, sty_curve_21, non-group style ignored")
            << groupXml(penStyle("sty_curve_0", 7, 8, 9) + penStyle("sty_curve_21", 1, 2, 3) +
                        rgb("sty_curve_1", 4, 4, 4))
            << base << Pane << c0 << c19;
    }

    void fromResources()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QColor, background);
        QFETCH(QColor, pane);
        QFETCH(QColor, curve0);
        QFETCH(QColor, curve19);
        QString error;
        const ResPtr res(QARes::fromXml(xml, false, &error));
        QVERIFY2(res, qPrintable(error));
        QAGVZPref pref;
        pref.fromResources(res.get());
        QCOMPARE(pref.general->background, background.isValid() ? background : paletteBase());
        QCOMPARE(pref.general->paneBack, PaneBack);
        QCOMPARE(pref.general->pane, pane);
        QCOMPARE(penOf(pref.styles->curveStyles[0]), curve0);
        QCOMPARE(penOf(pref.styles->curveStyles[19]), curve19);
    }

    void roundTripThroughResourceFile()
    {
        QAGVZPref pref;
        pref.general->background = QColor(12, 34, 56);
        pref.general->pane = QColor(255, 0, 1);
        pref.general->paneBack = QColor(0, 128, 255);
        pref.styles->axisYStyle->font->size = 17;
        pref.styles->axisYStyle->penColor = new DColor(4, 5, 6);
        pref.styles->curveStyles[7]->markers = true;
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("resources.xml"));
        {
            const ResPtr res(pref.toResources("gvz_viewer"));
            QFile file(fileName);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QTextStream stream(&file);
            res->write(stream);
        }
        QString error;
        const ResPtr read(QARes::read(fileName, false, &error));
        QVERIFY2(read, qPrintable(error));
        QAGVZPref loaded;
        loaded.fromResources(read.get());
        QCOMPARE(loaded.general->background, pref.general->background);
        QCOMPARE(loaded.general->pane, pref.general->pane);
        QCOMPARE(loaded.general->paneBack, pref.general->paneBack);
        for (int i = 0; i < 24; ++i) {
            const DStyle* a = pref.styles->styleList.at(i);
            const DStyle* b = loaded.styles->styleList.at(i);
            QCOMPARE(b->font->size, a->font->size);
            QCOMPARE(penOf(b), penOf(a));
            QCOMPARE(b->markers, a->markers);
        }
    }

    void generalPageButtonsEquallyWide()
    {
        QAGVZPref pref;
        QAGVZPrefGeneral* g = pref.general;
        QWidget dialog;
        QCOMPARE(g->createWidget(&dialog)->parentWidget(), &dialog);
        dialog.resize(600, 400);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(g->backgroundButton->width() > 0);
        QCOMPARE(g->paneButton->width(), g->backgroundButton->width());
        QCOMPARE(g->paneBackButton->width(), g->backgroundButton->width());
        QCOMPARE(g->paneButton->minimumWidth(), g->paneButton->maximumWidth());
    }

    void defaultsThenCancel()
    {
        QAGVZPref pref;
        QWidget dialog;
        pref.general->createWidget(&dialog);
        QWidget* stylesPage = pref.styles->createWidget(&dialog);
        pref.general->pane = QColor(1, 1, 1);
        pref.general->updateContents();
        pref.general->apply();
        QCOMPARE(pref.general->pane, QColor(1, 1, 1));
        QCOMPARE(pref.general->background, paletteBase());
        DStyle* curve3 = pref.styles->curveStyles[3];
        curve3->font->size = 33;
        pref.styles->updateContents();
        pref.styles->apply();
        QCOMPARE(curve3->font->size, 33);

        pref.general->defaults();
        pref.styles->defaults();
        pref.general->cancel();
        pref.styles->cancel();
        QCOMPARE(pref.general->pane, Pane);
        QCOMPARE(pref.general->paneButton->color(), QColor(1, 1, 1)); // until updateContents()
        QCOMPARE(pref.styles->curveStyles[3], curve3);
        QCOMPARE(curve3->font->size, QAFontUtil::defaultFont().pointSize());
        QCOMPARE(penOf(curve3), QColor(255, 0, 255));

        // The dialog deletes its page widgets; the page must not touch the dead editor.
        delete stylesPage;
        pref.styles->updateContents();
        pref.styles->apply();
    }

    void updatedOncePerAcceptance()
    {
        QAGVZPref pref;
        QDialog dialog;
        connect(&dialog, &QDialog::accepted, &pref, &QAGVZPref::prefDialogAccepted);
        connect(&dialog, &QDialog::rejected, &pref, &QAGVZPref::prefDialogRejected);
        QSignalSpy spy(&pref, &QAGVZPref::updated);
        dialog.open();
        dialog.reject();
        QCOMPARE(spy.count(), 0);
        dialog.open();
        dialog.accept();
        dialog.open();
        dialog.accept();
        QCOMPARE(spy.count(), 2);
    }
};

QTEST_MAIN(TestPrefs)
#include "tst_prefs.moc"
