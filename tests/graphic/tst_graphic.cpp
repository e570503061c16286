#include "graphic/qagvzgraphic.h"

#include "tests/chartfixture.h"
#include "host/chart/dstyle.h"
#include "prefs/qagvzpref.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

constexpr float Step = 0.0078539f;

QList<QList<QVector3D>> spiral()
{
    QList<QVector3D> a, b;
    for (int i = 0; i < 50; ++i) {
        a << QVector3D(float(i), float(i % 7), float(i) * 0.5f);
        b << QVector3D(float(i), 10.0f - float(i % 5), float(50 - i) * 0.5f);
    }
    return {a, b};
}

void setChart(QAGVZGraphic& w, int type = DGraphic::Lines3D)
{
    if (type >= 0)
        w.setGraphic(ChartFixture::make(type, spiral()));
}

void sendMouse(QAGVZGraphic& w, QEvent::Type type, const QPoint& pos,
               Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {})
{
    QMouseEvent event(type, pos, w.viewport()->mapToGlobal(pos), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, modifiers);
    QApplication::sendEvent(w.viewport(), &event);
}

// Presses `button` at `path`'s first point, moves along the others, releases at the last if asked.
void drag(QAGVZGraphic& w, const QList<QPoint>& path, bool release = false,
          Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {})
{
    sendMouse(w, QEvent::MouseButtonPress, path.first(), button, modifiers);
    for (int i = 1; i < path.size(); ++i)
        sendMouse(w, QEvent::MouseMove, path.at(i), button, modifiers);
    if (release)
        sendMouse(w, QEvent::MouseButtonRelease, path.last(), button, modifiers);
}

// Chooses the entry `id` in the popup that a right click on `w` opens.
void choose(QAGVZGraphic& w, int id)
{
    QTimer::singleShot(0, &w, [id] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction* a : menu->actions()) {
            if (!a->isSeparator() && a->data().toInt() == id)
                menu->setActiveAction(a);
        }
        QTest::keyClick(menu, Qt::Key_Return);
    });
    sendMouse(w, QEvent::MouseButtonPress, QPoint(50, 60), Qt::RightButton);
    QVERIFY(!w.dragging && w.findChildren<QMenu*>().isEmpty()); // the popup is gone
}

// A time chart of `samples` at 0 (after `points`) but for a spike of 10 at 60% of them, shown at
// 700 x 500.
void showSpike(QAGVZGraphic& w, int samples = 1001, QList<QVector3D> points = {})
{
    for (int i = int(points.size()); i < samples; ++i)
        points << QVector3D(float(i), i == samples * 6 / 10 ? 10.0f : 0.0f, 0.0f);
    w.timeChart = true;
    w.displayLegend = false; // its sample line would count as the tip
    w.resize(700, 500);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.setGraphic(
        ChartFixture::make(DGraphic::Chart2D, {points}, {gvzpref->styles->curveStyles[0]}));
}

// The column of the topmost pixel in the curve's colour: the spike's tip.
int spikeColumn(QAGVZGraphic& w)
{
    const QImage image = w.viewport()->grab().toImage();
    const QRgb pen = gvzpref->styles->curveStyles[0]->penColor->toQColor().rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == pen)
                return x;
    return -1;
}

void wheel(QAGVZGraphic& w, const QPoint& pos, int delta, Qt::KeyboardModifiers mods = {})
{
    QWheelEvent e(pos, w.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                  mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.viewport(), &e);
}

void key(QAGVZGraphic& w, int k, Qt::KeyboardModifiers mods = {})
{
    QKeyEvent e(QEvent::KeyPress, k, mods);
    QApplication::sendEvent(&w, &e);
}

enum Gesture {
    WheelIn,
    CtrlWheelOut,
    ShiftWheel,
    Band,
    ThinBand,
    TinyBand,
    EscapedBand,
    MiddlePan,
    ShiftPan,
    CtrlRight,
    PlusKey,
    BandThenBack,
    BandThenHome
};

} // namespace

class TestGraphic : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gvzpref = gvzpref ? gvzpref : new QAGVZPref; }

    // Only a 3-D chart turns: a pixel dragged is a fixed angle (right turns the azimuth down, down
    // the elevation up); released with Ctrl it spins by the drag's last step at each tick.
    void dragTurnsThreeDCharts_data()
    {
        QTest::addColumn<int>("type"); // -1: no chart
        QTest::addColumn<QList<QPoint>>("path");
        QTest::addColumn<bool>("pressed"); // false: the mouse only moves
        QTest::addColumn<bool>("ctrl");    // on the release
        QTest::addColumn<QPoint>("turn");  // pixels turned, after two ticks of any spin
        const QPoint o(200, 200);
        const int lines = DGraphic::Lines3D;
        const auto row = [](const char* name, int type, const QList<QPoint>& path, bool pressed,
                            bool ctrl, QPoint turn) {
            QTest::newRow(name) << type << path << pressed << ctrl << turn;
        };
        row("several moves", lines, {o, o + QPoint(10, 3), o + QPoint(4, 8), o + QPoint(1, 6)},
            true, false, {-1, 6});
        row("Ctrl release spins", lines, {{120, 80}, {100, 100}, {97, 102}}, true, true, {29, 26});
        row("Ctrl click stops at the first tick", lines, {{10, 10}}, true, true, {});
        row("move without press", lines, {{10, 10}, {40, 70}}, false, true, {});
        row("2-D chart", DGraphic::Chart2D, {{10, 10}, {40, 70}}, true, true, {});
        row("no chart", -1, {{10, 10}, {40, 70}}, true, true, {});
    }

    void dragTurnsThreeDCharts()
    {
        QFETCH(int, type);
        QFETCH(QList<QPoint>, path);
        QFETCH(bool, pressed);
        QFETCH(bool, ctrl);
        QFETCH(QPoint, turn);
        QAGVZGraphic w(nullptr, nullptr, 0);
        setChart(w, type);
        if (pressed)
            drag(w, path);
        else
            sendMouse(w, QEvent::MouseMove, path.last(), Qt::NoButton);
        sendMouse(w, QEvent::MouseButtonRelease, path.last(), Qt::LeftButton,
                  ctrl ? Qt::ControlModifier : Qt::NoModifier);
        QVERIFY(!w.dragging);
        for (int i = 0; i < 2 && w.motionTimer.isActive(); ++i)
            QVERIFY(QMetaObject::invokeMethod(&w, "motion"));
        QCOMPARE(w.azimuth, 0.3f + float(turn.x()) * Step);
        QCOMPARE(w.elevation, 0.3f + float(turn.y()) * Step);
        QVERIFY(!w.graphic
                || (w.graphic->azimuth == w.azimuth && w.graphic->elevation == w.elevation));
        if (!w.motionTimer.isActive())
            return;
        QVERIFY(!w.motionTimer.isSingleShot());
        const float spun = w.azimuth;
        QTRY_VERIFY(w.azimuth != spun); // the timer drives the spin
        key(w, Qt::Key_Escape);
        QVERIFY(!w.motionTimer.isActive());
    }

    // Legend, projection and view angles chosen in the popup hold for the next chart, even across
    // a moment without one; a rebuilt chart never keeps spinning.
    void settingsSurviveSetGraphic()
    {
        QAGVZGraphic w(nullptr, nullptr, 0);
        setChart(w);
        for (int id : {0, 1, 4}) // legend off, projection off, View XY
            choose(w, id);
        DGraphic* next = ChartFixture::make(DGraphic::Lines3D, spiral());
        w.setGraphic(next);
        QVERIFY(next->legendMode == DGraphic::LegendHidden && !next->projection);
        QCOMPARE(QPointF(next->elevation, next->azimuth), QPointF(1.57f, 1.57f));
        w.setGraphic(nullptr);
        w.set3D(-2.5f, 7.0f);
        setChart(w);
        QVERIFY(w.graphic->elevation == -2.5f && w.graphic->azimuth == 7.0f);
        QVERIFY(!w.graphic->projection);
        w.motionTimer.start(100);
        setChart(w);
        QVERIFY(!w.motionTimer.isActive());
    }

    void degenerateRanges_data()
    {
        QTest::addColumn<QList<QVector3D>>("points");
        QTest::addColumn<QVector3D>("min");
        QTest::addColumn<QVector3D>("max");
        const auto row = [](const char* name, const QList<QVector3D>& points, QVector3D min,
                            QVector3D max) { QTest::newRow(name) << points << min << max; };
        row("one repeated X value", {{4, 1, 0}, {4, 3, 2}, {4, 2, 1}}, {3, 1, 0}, {5, 3, 2});
        row("every axis one value", {{-2.5f, 0, 7}}, {-3.5f, -1, 6}, {-1.5f, 1, 8});
        row("no points", {}, {-1, -1, -1}, {1, 1, 1});
        row("spread ranges kept", {{0, 5, -1}, {2, 6, 1}}, {0, 5, -1}, {2, 6, 1});
    }

    void degenerateRanges()
    {
        QFETCH(QList<QVector3D>, points);
        QFETCH(QVector3D, min);
        QFETCH(QVector3D, max);
        QAGVZGraphic w(nullptr, nullptr, 0);
        w.setGraphic(ChartFixture::make(DGraphic::Lines3D, {points}));
        DItem* item = w.graphic->firstChild; // the axes x, y, z come first
        for (int i = 0; i < 3; ++i, item = item->next) {
            const DAxis* axis = item->toAxis();
            QVERIFY(axis->hasProperty(DAxis::RangeMin) && axis->hasProperty(DAxis::RangeMax));
            QCOMPARE(axis->property(DAxis::RangeMin), min[i]);
            QCOMPARE(axis->property(DAxis::RangeMax), max[i]);
        }
    }

    void gesturesMoveTheSpike_data()
    {
        QTest::addColumn<int>("gesture");
        QTest::addColumn<int>("steps"); // history steps afterwards
        QTest::newRow("wheel in, both axes") << int(WheelIn) << 1;
        QTest::newRow("Ctrl wheel out: X only") << int(CtrlWheelOut) << 1;
        QTest::newRow("Shift wheel: Y only") << int(ShiftWheel) << 1;
        QTest::newRow("band") << int(Band) << 1;
        QTest::newRow("thin band: X only") << int(ThinBand) << 1;
        QTest::newRow("band under 4 pixels") << int(TinyBand) << 0;
        QTest::newRow("band cancelled by Escape") << int(EscapedBand) << 0;
        QTest::newRow("middle drag pans") << int(MiddlePan) << 1;
        QTest::newRow("Shift drag pans") << int(ShiftPan) << 1;
        QTest::newRow("Ctrl+Right pans a tenth") << int(CtrlRight) << 1;
        QTest::newRow("+ zooms about the centre") << int(PlusKey) << 1;
        QTest::newRow("band, then Backspace") << int(BandThenBack) << 0;
        QTest::newRow("band, then Home") << int(BandThenHome) << 2;
    }

    void gesturesMoveTheSpike()
    {
        QFETCH(int, gesture);
        QFETCH(int, steps);
        QAGVZGraphic w(nullptr, nullptr, 0);
        showSpike(w);
        const QRectF plot = w.chartPainter.plotArea();
        const int before = spikeColumn(w);
        QVERIFY(before > plot.left() + 0.55 * plot.width() && before < plot.right());
        const QPoint m = plot.center().toPoint() - QPoint(50, 0);
        const QPointF anchor = w.chartPainter.plotMap().toData(m);
        // A band over the middle half of the plot, 60 pixels high.
        const QPoint from(int(plot.left() + 0.25 * plot.width()), 100);
        const QPoint to(int(plot.left() + 0.75 * plot.width()), 160);
        const double bandColumn =
            plot.left() + (before - from.x()) * plot.width() / (to - from).x();
        double expected = before;
        switch (gesture) {
        case WheelIn:
        case CtrlWheelOut:
        case ShiftWheel: {
            const int delta = gesture == CtrlWheelOut ? -120 : 120;
            const auto mods = gesture == CtrlWheelOut ? Qt::ControlModifier
                              : gesture == ShiftWheel ? Qt::ShiftModifier
                                                      : Qt::NoModifier;
            wheel(w, m, delta, mods);
            if (gesture != ShiftWheel)
                expected = m.x() + (before - m.x()) * std::pow(1.25, delta / 120.0);
            // The point under the mouse stays there.
            QVERIFY((w.chartPainter.plotMap()(anchor.x(), anchor.y()) - m).manhattanLength() <= 2);
            break;
        }
        case Band:
        case ThinBand:
            drag(w, {from, gesture == Band ? to : QPoint(to.x(), 102)}, true);
            expected = bandColumn;
            QCOMPARE(w.visibleRange().height() < 10.0, gesture == Band);
            break;
        case TinyBand:
            drag(w, {m, m + QPoint(3, 3)}, true);
            break;
        case EscapedBand:
            drag(w, {from, to});
            key(w, Qt::Key_Escape);
            sendMouse(w, QEvent::MouseButtonRelease, to);
            break;
        case MiddlePan:
        case ShiftPan:
            drag(w, {m, m - QPoint(40, 0)}, true,
                 gesture == MiddlePan ? Qt::MiddleButton : Qt::LeftButton,
                 gesture == MiddlePan ? Qt::NoModifier : Qt::ShiftModifier);
            expected = before - 40;
            break;
        case CtrlRight:
            key(w, Qt::Key_Right, Qt::ControlModifier);
            expected = before - plot.width() / 10;
            break;
        case PlusKey:
            key(w, Qt::Key_Plus);
            expected = plot.center().x() + (before - plot.center().x()) * 1.25;
            break;
        case BandThenBack:
        case BandThenHome:
            drag(w, {from, to}, true);
            QCOMPARE(spikeColumn(w), qRound(bandColumn));
            key(w, gesture == BandThenBack ? Qt::Key_Backspace : Qt::Key_Home);
            break;
        }
        QVERIFY2(std::abs(spikeColumn(w) - expected) <= 2.0,
                 qPrintable(QStringLiteral("%1 instead of %2").arg(spikeColumn(w)).arg(expected)));
        QCOMPARE(w.historySize(), steps);
        QCOMPARE(w.isZoomed(), steps == 1); // Home is a step of its own, back to the whole chart
    }

    void stackedZoom_data()
    {
        QTest::addColumn<int>("gesture"); // Band: inside the lower strip, ThinBand: across
        QTest::addColumn<bool>("xZoomed");
        QTest::addColumn<int>("yZoomed"); // the strip whose Y changed; -1: none
        QTest::newRow("band inside a strip") << int(Band) << true << 1;
        QTest::newRow("band across strips") << int(ThinBand) << true << -1;
        QTest::newRow("wheel: X for all") << int(WheelIn) << true << -1;
        QTest::newRow("Shift wheel: Y of its strip") << int(ShiftWheel) << false << 0;
        QTest::newRow("band, then Zoom Back") << int(BandThenBack) << false << -1;
    }

    void stackedZoom()
    {
        QFETCH(int, gesture);
        QFETCH(bool, xZoomed);
        QFETCH(int, yZoomed);
        QList<QVector3D> big, small;
        for (int i = 0; i <= 100; ++i) {
            big << QVector3D(float(i), i == 60 ? 2e6f : 0.0f, 0.0f);
            small << QVector3D(float(i), float(i % 2), 0.0f);
        }
        QAGVZGraphic w(nullptr, nullptr, 0);
        showSpike(w, 101, big);
        w.setGraphic(ChartFixture::make(DGraphic::Chart2D, {big, small}));
        w.setScales(true, false, false);
        // Each strip's X and Y ranges, as drawn.
        const auto ranges = [&w] {
            QList<QRectF> r;
            for (const DPlotStrip& strip : w.chartPainter.strips())
                r << QRectF(strip.map.toData(strip.area.bottomLeft()),
                            strip.map.toData(strip.area.topRight()));
            return r;
        };
        const QList<QRectF> before = ranges();
        QCOMPARE(before.size(), 2);
        QVERIFY(before[0].height() > 1e6 && before[1].height() < 10); // each fits its curve
        const QRectF upper = w.chartPainter.strips()[0].area;
        const QRectF lower = w.chartPainter.strips()[1].area;
        const int a = int(lower.left() + lower.width() / 4), b = int(lower.center().x());
        switch (gesture) {
        case Band:
        case BandThenBack:
        case ThinBand: {
            const int y0 = gesture == ThinBand ? int(upper.center().y()) : int(lower.top()) + 5;
            drag(w, {QPoint(a, y0), QPoint(b, int(lower.bottom()) - 5)}, true);
            if (gesture == BandThenBack)
                choose(w, QAGVZGraphic::IdZoomBack);
            break;
        }
        case WheelIn:
        case ShiftWheel:
            wheel(w, upper.center().toPoint(), 120,
                  gesture == ShiftWheel ? Qt::ShiftModifier : Qt::NoModifier);
            break;
        }
        const QList<QRectF> after = ranges();
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(after[i].width() < before[i].width() * 0.9, xZoomed);
            QCOMPARE(after[i].left() == before[i].left() && after[i].right() == before[i].right(),
                     !xZoomed);
            const bool same =
                std::abs(after[i].top() - before[i].top()) < 1e-6 * before[i].height()
                && std::abs(after[i].bottom() - before[i].bottom()) < 1e-6 * before[i].height();
            QCOMPARE(!same, i == yZoomed);
        }
        // A rebuilt chart keeps the layout and each strip's zoom; the cursor reads every strip.
        w.setGraphic(ChartFixture::make(DGraphic::Chart2D, {big, small}));
        QVERIFY(w.graphic->stacked && ranges() == after);
        const DPlotStrip& strip = w.chartPainter.strips()[1];
        sendMouse(w, QEvent::MouseMove, strip.map(60, 0.5).toPoint(), Qt::NoButton);
        if (!xZoomed || after[1].contains(QPointF(60, 0.5)))
            QCOMPARE(w.readout(), "sample 60: curve 0 2e+06, curve 1 0");
        w.setGraphic(ChartFixture::make(DGraphic::Lines3D, spiral())); // 3-D drops the choice
        w.setGraphic(ChartFixture::make(DGraphic::Chart2D, {big, small}));
        QVERIFY(!w.graphic->stacked && !w.isStacked());
        QSignalSpy said(&w, &QAGVZGraphic::statusMessage);
        w.setScales(false, false, true); // the zeros of both curves are left out
        QCOMPARE(said.last().at(0).toString(), "151 samples at or below zero are not drawn");
    }

    void zoomStopsAtFloatResolution_data()
    {
        QTest::addColumn<float>("start");  // of 1001 samples
        QTest::addColumn<float>("spread"); // between samples
        QTest::newRow("samples past 2^24") << 20000000.0f << 2.0f;
        QTest::newRow("all points equal") << 5.0f << 0.0f;
    }

    void zoomStopsAtFloatResolution()
    {
        QFETCH(float, start);
        QFETCH(float, spread);
        QAGVZGraphic w(nullptr, nullptr, 0);
        QList<QVector3D> points;
        for (int i = 0; i <= 1000; ++i)
            points << QVector3D(start + spread * float(i), i % 2 ? 1.0f : NAN, 0.0f);
        showSpike(w, 1001, points);
        const QPoint m = w.chartPainter.plotArea().center().toPoint();
        for (int i = 0; i < 30; ++i)
            wheel(w, m, 120 * 1000); // huge deltas
        const QRectF r = w.visibleRange();
        QVERIFY(r.width() > 0 && r.height() > 0 && std::isfinite(r.left()));
        QVERIFY(r.width() >= start * 2e-7 && r.right() > r.left());
        QVERIFY(w.chartPainter.plotArea().width() > 100); // still drawn
        wheel(w, m, -120 * 1000 * 30);
        QVERIFY(std::isfinite(w.visibleRange().width()));
    }

    void cursorReadout_data()
    {
        QTest::addColumn<bool>("time");
        QTest::addColumn<QPointF>("mouse"); // in data units
        QTest::addColumn<QString>("text");
        QTest::newRow("time: the spike") << true << QPointF(60.2, 5) << "sample 60: curve 0 10";
        QTest::newRow("time: left of the plot") << true << QPointF(-5, 5) << "";
        QTest::newRow("xy: near the tip")
            << false << QPointF(60.4, 9.7) << "curve 0 #60: x 60, y 10";
        QTest::newRow("xy: nothing within 20 px") << false << QPointF(30, 5) << "";
    }

    void cursorReadout()
    {
        QFETCH(bool, time);
        QFETCH(QPointF, mouse);
        QFETCH(QString, text);
        QAGVZGraphic w(nullptr, nullptr, 0);
        showSpike(w, 101); // samples some pixels apart
        w.timeChart = time;
        QSignalSpy spy(&w, &QAGVZGraphic::readoutChanged);
        const QPointF at = w.chartPainter.plotMap()(mouse.x(), mouse.y());
        sendMouse(w, QEvent::MouseMove, at.toPoint(), Qt::NoButton);
        QCOMPARE(w.readout(), text);
        QCOMPARE(spy.size(), text.isEmpty() ? 0 : 1);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&w, &leave);
        QVERIFY(w.readout().isEmpty());
    }

    void movingThreeDPreviewsThenDrawsInFull()
    {
        QAGVZGraphic w(nullptr, nullptr, 0);
        w.resize(400, 300);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QList<QVector3D> many;
        for (int i = 0; i < 200001; ++i)
            many << QVector3D(float(i % 997), float(i % 991), float(i % 983));
        w.setGraphic(ChartFixture::make(DGraphic::Lines3D, {many}));
        drag(w, {{100, 100}, {110, 104}});
        QVERIFY(w.chartPainter.preview);
        QTRY_VERIFY(!w.chartPainter.preview); // the full drawing after the pause
    }
};

QTEST_MAIN(TestGraphic)
#include "tst_graphic.moc"
