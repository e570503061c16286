#include "graphic/qagvzgraphic.h"

#include "chartfixture.h"
#include "graphic/qagvzspane.h"
#include "host/chart/dstyle.h"
#include "prefs/qagvzpref.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

constexpr float Step = 0.0078539f;

QList<QList<QVector3D>> spiral()
{
    QList<QVector3D> a;
    QList<QVector3D> b;
    for (int i = 0; i < 50; ++i) {
        a << QVector3D(float(i), float(i % 7), float(i) * 0.5f);
        b << QVector3D(float(i), 10.0f - float(i % 5), float(50 - i) * 0.5f);
    }
    return {a, b};
}

DGraphic* chart3D()
{
    return ChartFixture::make(DGraphic::Lines3D, spiral());
}

void sendMouse(QWidget* viewport, QEvent::Type type, const QPoint& pos, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, pos, viewport->mapToGlobal(pos), button, buttons, modifiers);
    QApplication::sendEvent(viewport, &event);
}

// Presses the left button at `path`'s first point, moves along the others; no release.
void drag(QAGVZGraphic& w, const QList<QPoint>& path)
{
    sendMouse(w.viewport(), QEvent::MouseButtonPress, path.first(), Qt::LeftButton);
    for (int i = 1; i < path.size(); ++i)
        sendMouse(w.viewport(), QEvent::MouseMove, path.at(i), Qt::LeftButton);
}

void release(QAGVZGraphic& w, const QPoint& pos, Qt::KeyboardModifiers modifiers)
{
    sendMouse(w.viewport(), QEvent::MouseButtonRelease, pos, Qt::LeftButton, modifiers);
}

void tick(QAGVZGraphic& w)
{
    QVERIFY(QMetaObject::invokeMethod(&w, "motion"));
}

QAction* actionOf(QMenu* menu, int id)
{
    for (QAction* a : menu->actions()) {
        if (!a->isSeparator() && a->data().toInt() == id)
            return a;
    }
    return nullptr;
}

// Counts the keys that reach it from its child.
class KeyParent : public QWidget
{
public:
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++keys; }
};

} // namespace

class TestGraphic : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!gvzpref)
            gvzpref = new QAGVZPref;
    }

    void widgetBasics()
    {
        QAGVZGraphic w(nullptr, nullptr, 0);
        QCOMPARE(w.sizeHint(), QSize(800, 600));
        QCOMPARE(w.whatsThis(),
                 QStringLiteral("<b>GVZ Viewer</b><br>The GVZ Viewer is a component of "
                                "Ostrel Plenisto Studio dedicated to rendering "
                                "graphical representations of data."));
        w.resize(300, 250);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* pane = qobject_cast<QAGVZSPane*>(w.scrollPane());
        QVERIFY(pane);
        QCOMPARE(pane->view, &w);
    }

    void contentsSize_data()
    {
        QTest::addColumn<QSize>("widget");
        QTest::addColumn<QSize>("contents");
        QTest::newRow("small: minimum") << QSize(400, 300) << QSize(500, 500);
        QTest::newRow("large: minus margin") << QSize(900, 700) << QSize(880, 680);
        QTest::newRow("exactly at the limit") << QSize(520, 520) << QSize(500, 500);
        QTest::newRow("wide, low") << QSize(1000, 400) << QSize(980, 500);
    }

    void contentsSize()
    {
        QFETCH(QSize, widget);
        QFETCH(QSize, contents);
        QAGVZGraphic w(nullptr, nullptr, 0);
        w.resize(widget);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(QSize(w.contentsWidth(), w.contentsHeight()), contents);
    }

    void popupEntries_data()
    {
        QTest::addColumn<int>("type"); // -1: no chart
        QTest::addColumn<bool>("spinning");
        QTest::addColumn<bool>("threeD");
        QTest::newRow("no chart") << -1 << false << false;
        QTest::newRow("2-D chart") << int(DGraphic::Chart2D) << false << false;
        QTest::newRow("3-D lines") << int(DGraphic::Lines3D) << false << true;
        QTest::newRow("3-D points") << int(DGraphic::Points3D) << false << true;
        QTest::newRow("3-D spinning") << int(DGraphic::Lines3D) << true << true;
    }

    void popupEntries()
    {
        QFETCH(int, type);
        QFETCH(bool, spinning);
        QFETCH(bool, threeD);
        QAGVZGraphic w(nullptr, nullptr, 0);
        if (type >= 0)
            w.setGraphic(ChartFixture::make(type, spiral()));
        w.displayProjection = false;
        if (spinning)
            w.motionTimer.start(100);

        const std::unique_ptr<QMenu> menu(w.createPopupMenu());
        QCOMPARE(menu->parent(), &w);
        QStringList texts;
        for (QAction* a : menu->actions())
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QStringList expected{"Display Legend",
                             "Display 3D Curve Projection",
                             "-",
                             "Default View",
                             "View XY",
                             "View YZ",
                             "View XZ"};
        if (spinning)
            expected << "-"
                     << "Stop Motion";
        QCOMPARE(texts, expected);

        QVERIFY(actionOf(menu.get(), 0)->isEnabled());
        QVERIFY(actionOf(menu.get(), 0)->isChecked());
        QCOMPARE(actionOf(menu.get(), 1)->isEnabled(), threeD);
        QVERIFY(actionOf(menu.get(), 1)->isCheckable());
        QVERIFY(!actionOf(menu.get(), 1)->isChecked());
        for (int id = 3; id <= 6; ++id) {
            QCOMPARE(actionOf(menu.get(), id)->isEnabled(), threeD);
            QVERIFY(!actionOf(menu.get(), id)->isCheckable());
        }
        QCOMPARE(actionOf(menu.get(), 8) != nullptr, spinning);
    }

    void rightClickRunsChosenEntry()
    {
        QAGVZGraphic w(nullptr, nullptr, 0);
        w.resize(600, 500);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.setGraphic(chart3D());
        bool seen = false;
        QTimer::singleShot(0, &w, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            seen = true;
            menu->setActiveAction(actionOf(menu, QAGVZGraphic::IdViewXZ));
            QTest::keyClick(menu, Qt::Key_Return);
        });
        sendMouse(w.viewport(), QEvent::MouseButtonPress, QPoint(50, 60), Qt::RightButton);
        QVERIFY(seen);
        QVERIFY(!w.dragging);
        QCOMPARE(w.elevation, 0.0f);
        QCOMPARE(w.azimuth, 1.57f);
        QCOMPARE(w.graphic->elevation, 0.0f);
        QCOMPARE(w.graphic->azimuth, 1.57f);
        QVERIFY(w.findChildren<QMenu*>().isEmpty());
    }

    void dragTurns_data()
    {
        QTest::addColumn<QList<QPoint>>("path");
        QTest::addColumn<int>("lastDX");
        QTest::addColumn<int>("lastDY");
        const QPoint o(200, 200);
        QTest::newRow("right: azimuth down") << QList<QPoint>{o, o + QPoint(5, 0)} << -5 << 0;
        QTest::newRow("left: azimuth up") << QList<QPoint>{o, o - QPoint(7, 0)} << 7 << 0;
        QTest::newRow("down: elevation up") << QList<QPoint>{o, o + QPoint(0, 4)} << 0 << 4;
        QTest::newRow("up: elevation down") << QList<QPoint>{o, o - QPoint(0, 9)} << 0 << -9;
        QTest::newRow("several moves")
            << QList<QPoint>{o, o + QPoint(10, 3), o + QPoint(4, 8), o + QPoint(1, 6)} << 3 << -2;
    }

    void dragTurns()
    {
        QFETCH(QList<QPoint>, path);
        QFETCH(int, lastDX);
        QFETCH(int, lastDY);
        QAGVZGraphic w(nullptr, nullptr, 0);
        w.setGraphic(chart3D());
        drag(w, path);
        QVERIFY(w.dragging);
        float azimuth = 0.3f;
        float elevation = 0.3f;
        for (int i = 1; i < path.size(); ++i) {
            azimuth += float(path.at(i - 1).x() - path.at(i).x()) * Step;
            elevation += float(path.at(i).y() - path.at(i - 1).y()) * Step;
        }
        QCOMPARE(w.azimuth, azimuth);
        QCOMPARE(w.elevation, elevation);
        QCOMPARE(w.graphic->azimuth, azimuth);
        QCOMPARE(w.graphic->elevation, elevation);
        QCOMPARE(w.motionDX, lastDX);
        QCOMPARE(w.motionDY, lastDY);
        release(w, path.last(), Qt::NoModifier);
        QVERIFY(!w.dragging);
        QVERIFY(!w.motionTimer.isActive());
    }

    void dragNeedsThreeDimensions_data()
    {
        QTest::addColumn<int>("type");               // -1: no chart
        QTest::addColumn<Qt::MouseButton>("button"); // pressed at (10, 10) first
        QTest::addColumn<bool>("moves");             // to (40, 70), where the Ctrl release is
        QTest::newRow("2-D chart") << int(DGraphic::Chart2D) << Qt::LeftButton << true;
        QTest::newRow("no chart") << -1 << Qt::LeftButton << true;
        QTest::newRow("3-D, move without press") << int(DGraphic::Lines3D) << Qt::NoButton << true;
        QTest::newRow("3-D, Ctrl click: stops at the first tick")
            << int(DGraphic::Lines3D) << Qt::LeftButton << false;
    }

    void dragNeedsThreeDimensions()
    {
        QFETCH(int, type);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, moves);
        QAGVZGraphic w(nullptr, nullptr, 0);
        if (type >= 0)
            w.setGraphic(ChartFixture::make(type, spiral()));
        const QPoint end = moves ? QPoint(40, 70) : QPoint(10, 10);
        if (button != Qt::NoButton)
            sendMouse(w.viewport(), QEvent::MouseButtonPress, QPoint(10, 10), button);
        if (moves)
            sendMouse(w.viewport(), QEvent::MouseMove, end, button);
        release(w, end, Qt::ControlModifier);
        QCOMPARE(w.motionTimer.isActive(), type == DGraphic::Lines3D);
        if (w.motionTimer.isActive())
            tick(w);
        QVERIFY(!w.motionTimer.isActive());
        QCOMPARE(w.azimuth, 0.3f);
        QCOMPARE(w.elevation, 0.3f);
        QCOMPARE(w.motionDX, 0);
    }

    void ctrlReleaseSpins()
    {
        QAGVZGraphic w(nullptr, nullptr, 0);
        w.setGraphic(chart3D());
        const QPoint end(97, 102);
        drag(w, {QPoint(120, 80), QPoint(100, 100), end});
        const float azimuth = w.azimuth;
        const float elevation = w.elevation;
        release(w, end, Qt::ControlModifier);
        QVERIFY(w.motionTimer.isActive());
        QCOMPARE(w.motionTimer.interval(), 100);
        QVERIFY(!w.motionTimer.isSingleShot());
        tick(w);
        QCOMPARE(w.azimuth, azimuth + 3 * Step);
        QCOMPARE(w.elevation, elevation + 2 * Step);
        tick(w);
        QCOMPARE(w.azimuth, azimuth + 3 * Step + 3 * Step);
        QCOMPARE(w.graphic->azimuth, w.azimuth);
        QCOMPARE(w.graphic->elevation, w.elevation);
        QVERIFY(w.motionTimer.isActive());

        // The timer drives the spin; the next move of a new drag stops it at once.
        const float spun = w.azimuth;
        QTRY_VERIFY(w.azimuth > spun);
        drag(w, {end, end + QPoint(1, 0)});
        QVERIFY(!w.motionTimer.isActive());
    }

    void settingsSurviveSetGraphic_data()
    {
        QTest::addColumn<QList<int>>("entries");
        QTest::addColumn<int>("builtLegend");
        QTest::addColumn<int>("legend");
        QTest::addColumn<bool>("projection");
        QTest::addColumn<float>("elevation");
        QTest::addColumn<float>("azimuth");
        const int shown = DGraphic::LegendShown;
        const int hidden = DGraphic::LegendHidden;
        QTest::newRow("untouched") << QList<int>{} << shown << shown << true << 0.3f << 0.3f;
        QTest::newRow("legend hidden") << QList<int>{0} << shown << hidden << true << 0.3f << 0.3f;
        QTest::newRow("legend shown keeps built mode")
            << QList<int>{0, 0} << hidden << hidden << true << 0.3f << 0.3f;
        QTest::newRow("projection off") << QList<int>{1} << shown << shown << false << 0.3f << 0.3f;
        QTest::newRow("view XZ") << QList<int>{6} << shown << shown << true << 0.0f << 1.57f;
        QTest::newRow("view XY, legend off")
            << QList<int>{4, 0} << shown << hidden << true << 1.57f << 1.57f;
    }

    void settingsSurviveSetGraphic()
    {
        QFETCH(QList<int>, entries);
        QFETCH(int, builtLegend);
        QFETCH(int, legend);
        QFETCH(bool, projection);
        QFETCH(float, elevation);
        QFETCH(float, azimuth);
        QAGVZGraphic w(nullptr, nullptr, 0);
        w.setGraphic(chart3D());
        for (int id : entries)
            w.popupActivated(id);
        DGraphic* next = chart3D();
        next->legendMode = builtLegend;
        w.setGraphic(next);
        QCOMPARE(w.graphic, next);
        QCOMPARE(next->legendMode, legend);
        QCOMPARE(next->projection, projection);
        QCOMPARE(next->elevation, elevation);
        QCOMPARE(next->azimuth, azimuth);

        // With no chart in between, the settings wait for the next one.
        w.setGraphic(nullptr);
        w.set3D(-2.5f, 7.0f);
        QVERIFY(!w.graphic);
        w.setGraphic(chart3D());
        QCOMPARE(w.graphic->elevation, -2.5f);
        QCOMPARE(w.graphic->azimuth, 7.0f);
        QCOMPARE(w.graphic->projection, projection);

        w.motionTimer.start(100);
        w.setGraphic(chart3D()); // a rebuilt chart never keeps spinning
        QVERIFY(!w.motionTimer.isActive());
    }

    void degenerateRanges_data()
    {
        QTest::addColumn<QList<QVector3D>>("points");
        QTest::addColumn<QVector3D>("min");
        QTest::addColumn<QVector3D>("max");
        QTest::newRow("one repeated X value") << QList<QVector3D>{{4, 1, 0}, {4, 3, 2}, {4, 2, 1}}
                                              << QVector3D(3, 1, 0) << QVector3D(5, 3, 2);
        QTest::newRow("every axis one value")
            << QList<QVector3D>{{-2.5f, 0, 7}} << QVector3D(-3.5f, -1, 6) << QVector3D(-1.5f, 1, 8);
        QTest::newRow("no points")
            << QList<QVector3D>{} << QVector3D(-1, -1, -1) << QVector3D(1, 1, 1);
        QTest::newRow("spread ranges kept")
            << QList<QVector3D>{{0, 5, -1}, {2, 6, 1}} << QVector3D(0, 5, -1) << QVector3D(2, 6, 1);
    }

    void degenerateRanges()
    {
        QFETCH(QList<QVector3D>, points);
        QFETCH(QVector3D, min);
        QFETCH(QVector3D, max);
        QAGVZGraphic w(nullptr, nullptr, 0);
        w.setGraphic(ChartFixture::make(DGraphic::Lines3D, {points}));
        for (int i = 0; i < 3; ++i) {
            DAxis* axis = ChartFixture::axis(w.graphic, i);
            QVERIFY(axis);
            QVERIFY(axis->hasProperty(DAxis::RangeMin));
            QVERIFY(axis->hasProperty(DAxis::RangeMax));
            QCOMPARE(axis->property(DAxis::RangeMin), min[i]);
            QCOMPARE(axis->property(DAxis::RangeMax), max[i]);
        }
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QPoint>("direction"); // in line steps; 10: a page step
        QTest::newRow("left") << int(Qt::Key_Left) << QPoint(-1, 0);
        QTest::newRow("right") << int(Qt::Key_Right) << QPoint(1, 0);
        QTest::newRow("up") << int(Qt::Key_Up) << QPoint(0, -1);
        QTest::newRow("down") << int(Qt::Key_Down) << QPoint(0, 1);
        QTest::newRow("page up") << int(Qt::Key_PageUp) << QPoint(0, -10);
        QTest::newRow("page down") << int(Qt::Key_PageDown) << QPoint(0, 10);
        QTest::newRow("letter swallowed") << int(Qt::Key_A) << QPoint();
        QTest::newRow("escape swallowed") << int(Qt::Key_Escape) << QPoint();
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(QPoint, direction);
        KeyParent parent;
        auto* w = new QAGVZGraphic(&parent, nullptr, 0);
        parent.resize(300, 250);
        w->resize(300, 250);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QScrollBar* h = w->horizontalScrollBar();
        QScrollBar* v = w->verticalScrollBar();
        QVERIFY(h->maximum() > 2 * h->singleStep());
        QVERIFY(v->maximum() > 2 * v->singleStep());
        w->setContentsPos(h->maximum() / 2, v->maximum() / 2);
        const QPoint start(w->contentsX(), w->contentsY());

        QTest::keyClick(w, Qt::Key(key));
        const auto step = [](const QScrollBar* bar, int n) {
            return std::abs(n) == 10 ? n / 10 * bar->pageStep() : n * bar->singleStep();
        };
        const int x = qBound(0, start.x() + step(h, direction.x()), h->maximum());
        const int y = qBound(0, start.y() + step(v, direction.y()), v->maximum());
        QCOMPARE(QPoint(w->contentsX(), w->contentsY()), QPoint(x, y));
        QVERIFY(direction.isNull() || QPoint(x, y) != start);
        QCOMPARE(parent.keys, 0);
    }

    void pictureOf3DChartShowsCurveColors()
    {
        QAGVZPrefStyles* styles = gvzpref->styles;
        gvzpref->general->background = QColor(250, 240, 230);
        QAGVZGraphic w(nullptr, nullptr, 0);
        w.resize(700, 560);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.setGraphic(ChartFixture::make(DGraphic::Lines3D, spiral(),
                                        {styles->curveStyles[0], styles->curveStyles[2]},
                                        styles->graphicStyle));
        const QImage image = w.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QColor colors[3] = {styles->curveStyles[0]->penColor->toQColor(),
                                  styles->curveStyles[2]->penColor->toQColor(),
                                  gvzpref->general->background};
        int counts[3] = {};
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                for (int c = 0; c < 3; ++c)
                    counts[c] += pixel == colors[c].rgb() ? 1 : 0;
            }
        }
        QVERIFY2(counts[0] > 20, qPrintable(QString::number(counts[0])));
        QVERIFY2(counts[1] > 20, qPrintable(QString::number(counts[1])));
        QVERIFY(counts[2] > image.width()); // the preference background behind the chart
    }
};

QTEST_MAIN(TestGraphic)
#include "tst_graphic.moc"
