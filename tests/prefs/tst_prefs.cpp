#include "prefs/qagvzpref.h"

#include "host/chart/dstyle.h"
#include "host/res/qares.h"
#include "host/studio/qafontutil.h"

#include <QApplication>
#include <QTest>

#include <memory>

using ResPtr = std::unique_ptr<QARes>;

namespace {

const QColor Pane(0, 0, 255), PaneBack(255, 255, 200);

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
    return "<rgb tag=\"" + tag + "\" red=\"" + QByteArray::number(r) + "\" green=\""
           + QByteArray::number(g) + "\" blue=\"" + QByteArray::number(b) + "\"/>";
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
    void fromResources_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QList<QColor>>("colors"); // pane, curve 0, 19, pane back, background
        const QColor base = QApplication::palette().color(QPalette::Active, QPalette::Base);
        const auto row = [&](const char* name, const QByteArray& body, QColor pane = Pane,
                             QColor curve0 = {0, 0, 255}, QColor curve19 = {191, 0, 0}) {
            QTest::newRow(name) << body << QList<QColor>{pane, curve0, curve19, PaneBack, base};
        };
        row("empty group", groupXml(""));
        row("foreign group: no styles either",
            groupXml(rgb("pane", 1, 2, 3) + penStyle("sty_curve_1", 9, 9, 9), "gvzconfig"));
        row("string where rgb expected",
            groupXml("<string tag=\"background\">red</string>" + rgb("pane", 5, 5, 5)),
            QColor(5, 5, 5));
        row("sty_curve_1 is Curve 0, sty_curve_20 Curve 19",
            groupXml(penStyle("sty_curve_1", 7, 8, 9) + penStyle("sty_curve_20", 1, 2, 3)), Pane,
            QColor(7, 8, 9), QColor(1, 2, 3));
        row("sty_curve_0, sty_curve_21, non-group style ignored",
            groupXml(penStyle("sty_curve_0", 7, 8, 9) + penStyle("sty_curve_21", 1, 2, 3)
                     + rgb("sty_curve_1", 4, 4, 4)));
    }

    void fromResources()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QList<QColor>, colors);
        const ResPtr res(QARes::fromXml(xml, false));
        QVERIFY(res);
        QAGVZPref pref;
        pref.fromResources(res.get());
        QCOMPARE((QList<QColor>{pref.general->pane, penOf(pref.styles->curveStyles[0]),
                                penOf(pref.styles->curveStyles[19]), pref.general->paneBack,
                                pref.general->background}),
                 colors);
    }

    void roundTripThroughResourceText()
    {
        QAGVZPref pref;
        pref.general->background = QColor(12, 34, 56);
        pref.general->pane = QColor(255, 0, 1);
        pref.general->paneBack = QColor(0, 128, 255);
        pref.styles->axisYStyle->font->size = 17;
        pref.styles->axisYStyle->penColor = new DColor(4, 5, 6);
        pref.styles->curveStyles[7]->markers = true;
        const QByteArray text = ResPtr(pref.toResources(nullptr))->toXml();
        QAGVZPref loaded;
        loaded.fromResources(ResPtr(QARes::fromXml(text, false)).get());
        QCOMPARE(ResPtr(loaded.toResources(nullptr))->toXml(), text);
        QCOMPARE(loaded.styles->axisYStyle->font->size, 17);
        QCOMPARE(penOf(loaded.styles->axisYStyle), QColor(4, 5, 6));
        QVERIFY(loaded.styles->curveStyles[7]->markers);
    }

    void pageWidgets()
    {
        QAGVZPref pref;
        QAGVZPrefGeneral* g = pref.general;
        QWidget dialog;
        g->createWidget(&dialog);
        QWidget* stylesPage = pref.styles->createWidget(&dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Defaults then Cancel: the defaults stay, the editors show them after updateContents().
        g->pane = QColor(1, 1, 1);
        g->updateContents();
        DStyle* curve3 = pref.styles->curveStyles[3];
        curve3->font->size = 33;
        pref.styles->updateContents();
        g->defaults();
        pref.styles->defaults();
        g->cancel();
        pref.styles->cancel();
        QCOMPARE(g->pane, Pane);
        QCOMPARE(g->paneButton->color(), QColor(1, 1, 1));
        QCOMPARE(pref.styles->curveStyles[3], curve3);
        QCOMPARE(curve3->font->size, QAFontUtil::defaultFont().pointSize());
        QCOMPARE(penOf(curve3), QColor(255, 0, 255));
        // The dialog deletes its page widgets; the page must not touch the dead editor.
        delete stylesPage;
        pref.styles->updateContents();
        pref.styles->apply();
    }
};

QTEST_MAIN(TestPrefs)
#include "tst_prefs.moc"
