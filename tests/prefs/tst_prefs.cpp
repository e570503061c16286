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
    void preferenceTree()
    {
        QAGVZPref pref;
        QCOMPARE(pref.preferenceSettings(), pref.general);
        QCOMPARE(pref.general->child(), static_cast<PreferencePageInterface*>(pref.styles));
        QVERIFY(!pref.styles->child() && !pref.general->next() && !pref.styles->next());
    }

    void defaultStyles_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("pen");
        const char* const named[4] = {"Graphic", "X Axis", "Y Axis", "Z Axis"};
        for (int i = 0; i < 4; ++i)
            QTest::newRow(named[i]) << i << named[i] << QColor();
        const QRgb pens[] = {0x0000ff, 0x00ff00, 0xff0000, 0xff00ff, 0x009898, 0xffff00, 0xffaa00,
                             0xaa00ff, 0xaa0000, 0x00007f, 0x550000, 0x55007f, 0xaaaa00, 0x55aa00,
                             0xaa557f, 0xaaaaff, 0xaaff00, 0xaaffff, 0x55557f, 0xbf0000};
        for (int n = 0; n < 20; ++n)
            QTest::addRow("Curve %d", n)
                << 4 + n << QStringLiteral("Curve %1").arg(n) << QColor(pens[n]);
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
        QVERIFY(!style->fillColor && !style->markers);
        QCOMPARE(style->font->family, QAFontUtil::defaultFont().family());
        QCOMPARE(style->font->size, QAFontUtil::defaultFont().pointSize());
    }

    // The name argument is not used; pane_back comes before pane.
    void toResourcesOrderAndValues()
    {
        QAGVZPref pref;
        pref.general->background = QColor(1, 2, 3);
        const ResPtr res(pref.toResources("something else"));
        QVERIFY(res && res->toResGroup() && !res->next() && res->tag() == "gvz_viewer");
        QStringList tags;
        QStringList expected{"background", "pane_back",  "pane",      "sty_graphic",
                             "sty_axis_x", "sty_axis_y", "sty_axis_z"};
        for (int k = 1; k <= 20; ++k)
            expected << QStringLiteral("sty_curve_%1").arg(k);
        const QColor colors[3] = {QColor(1, 2, 3), PaneBack, Pane}; // the defaults behind
        int i = 0;
        for (const QARes* c = res->toResGroup()->firstChild(); c; c = c->next(), ++i) {
            tags << c->tag();
            if (i < 3)
                QCOMPARE(c->toResRGB() ? c->toResRGB()->color() : QColor(), colors[i]);
            else
                QCOMPARE(c->toResGroup()->childByTag("name")->toResString()->value(),
                         pref.styles->styleList.at(i - 3)->name);
        }
        QCOMPARE(tags, expected);
    }

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
        row("pane only", groupXml(rgb("pane", 10, 20, 30)), QColor(10, 20, 30));
        row("foreign group: no styles either",
            groupXml(rgb("pane", 1, 2, 3) + penStyle("sty_curve_1", 9, 9, 9), "gvzconfig"));
        row("string where rgb expected",
            groupXml("<string tag=\"background\">red</string>" + rgb("pane", 5, 5, 5)),
            QColor(5, 5, 5));
        row("duplicate pane: later wins", groupXml(rgb("pane", 1, 2, 3) + rgb("pane", 4, 5, 6)),
            QColor(4, 5, 6));
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
        // The three colour buttons of the general page are equally wide.
        QCOMPARE(g->paneButton->width(), g->backgroundButton->width());
        QCOMPARE(g->paneBackButton->width(), g->backgroundButton->width());

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
