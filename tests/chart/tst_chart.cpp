#include "tests/chartfixture.h"

#include "host/chart/daxisscale.h"
#include "host/chart/dchartpainter.h"
#include "host/chart/dcurvereducer.h"
#include "host/chart/dcurvesummary.h"
#include "host/chart/dpointpool.h"
#include "host/chart/dstyleserialize.h"
#include "host/chart/dstyleview.h"
#include "host/chart/dupdater.h"
#include "host/res/qares.h"
#include "host/studio/qacolorbutton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPainter>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTest>

#include <cmath>
#include <limits>
#include <utility>

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();
const float Inf = std::numeric_limits<float>::infinity();

// An input that the painter must survive, drawing nothing outside its rectangle: a 3-axis chart
// with one curve of two far points unless a row changes it.
struct Bad
{
    QString title = QStringLiteral("Title");
    int axes = 3;
    int curves = 1;                                           // the points go to the last
    std::vector<float> xs{0, 1e6f}, ys{0, 1e6f}, zs{0, 1e6f}; // spacings far above 1e6
    float spacing = 250000;                                   // of every kind on every axis
    bool nanRange = false;
    int fontSize = 10;
    bool nanAngles = false;
    bool nullGraphic = false;
    int painterSize = 100;
    QRect rect{0, 0, 300, 200};
};

// An item that counts its destruction, to see what deleting a graphic reaches.
class CountedItem : public DItem
{
public:
    explicit CountedItem(DItem* owner) : DItem(owner, nullptr) {}
    ~CountedItem() override { ++destroyed; }
    static inline int destroyed = 0;
};

QRect boundsOf(const QImage& image, bool (*match)(const QColor&))
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(QColor(image.pixel(x, y))))
                r = r.united(QRect(x, y, 1, 1));
    return r;
}

std::unique_ptr<DStyle> makeStyle(const QString& name, int size, bool fill, bool pen, bool markers)
{
    return std::make_unique<DStyle>(name, new DFont(QStringLiteral("Sans"), size, 75),
                                    fill ? new DColor(1, 2, 3) : nullptr,
                                    pen ? new DColor(200, 100, 50) : nullptr, markers);
}

QString describe(const DStyle& s)
{
    const auto colour = [](const DColor* c) { return c ? c->toQColor().name() : "none"; };
    const DFont* f = s.font;
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
        .arg(s.name, f ? f->family : "-", QString::number(f ? f->size : -1),
             QString::number(f ? f->weight : -1), colour(s.fillColor), colour(s.penColor),
             QString::number(s.markers));
}

// A reduced drawing against the full one: at most 1% of the inked pixels differ, and every row
// one reaches (a spike to the edge) the other reaches too.
void compareWithFull(const QImage& reduced, const QImage& full, bool (*ink)(const QColor&))
{
    const int inked = countPixels(full, full.rect(), ink);
    int differing = 0;
    for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x)
            differing += ink(QColor(full.pixel(x, y))) != ink(QColor(reduced.pixel(x, y)));
    QVERIFY(inked > 500);
    QVERIFY2(differing <= inked / 100,
             qPrintable(QStringLiteral("%1 of %2").arg(differing).arg(inked)));
    for (int row = 0; row < full.height(); ++row)
        QCOMPARE(countPixels(reduced, QRect(0, row, full.width(), 1), ink) > 0,
                 countPixels(full, QRect(0, row, full.width(), 1), ink) > 0);
}

} // namespace

Q_DECLARE_METATYPE(Bad)

class TestChart : public QObject
{
    Q_OBJECT

private slots:
    void deletingGraphicDeletesEverythingUnderIt()
    {
        CountedItem::destroyed = 0;
        ChartFixture chart;
        chart.addAxes(2);
        // A million points of a 2-D chart fill 48 MB of point blocks, the last one partly.
        const std::size_t before = DPointPool::blockCount();
        const std::vector<float> half(1000000, 0.5f);
        chart.addPoints(chart.addCurve("c", Qt::red), half, half);
        QVERIFY(double(DPointPool::blockCount() - before - 1) * (1 << 20) <= 48e6);
        // Children and siblings below a curve, and a chain 200,000 levels deep: no recursion.
        DItem* branch = chart.addCurve("branch", Qt::green);
        branch->firstChild = new CountedItem(branch);
        branch->firstChild->next = new CountedItem(branch);
        branch->firstChild->firstChild = new CountedItem(branch->firstChild);
        DItem* deepest = chart.addCurve("deep", Qt::blue);
        for (int i = 0; i < 200000; ++i)
            deepest = deepest->firstChild = new CountedItem(deepest);
        delete std::exchange(chart.graphic, nullptr);
        QCOMPARE(CountedItem::destroyed, 200003);
        QVERIFY(DPointPool::blockCount() <= 1);
    }

    void pointCoordinatesFollowAxisSlots()
    {
        ChartFixture chart(DGraphic::Lines3D);
        chart.addAxes(3);
        DCurve* curve = chart.addCurve("c", Qt::red);
        auto* point = new DPoint(curve, nullptr);
        curve->firstChild = point;
        // Added out of order, each lands on its own axis.
        for (int i : {2, 0, 1})
            point->addCoord(chart.axes[std::size_t(i)], float(i + 1));
        point->addCoord(nullptr, 9.0f);
        for (int i : {0, 1, 2})
            QCOMPARE(point->coord(chart.axes[std::size_t(i)]), float(i + 1));
        QVERIFY(std::isnan(point->coord(3)) && std::isnan(point->coord(-1)));

        // A freed slot is handed out again; its old third coordinate must not show through.
        delete std::exchange(chart.graphic, nullptr);
        DGraphic owner(QString(), 0, QString(), nullptr, nullptr, nullptr);
        owner.firstChild = new DPoint(nullptr, nullptr);
        QVERIFY(std::isnan(owner.firstChild->toPoint()->coord(2)));
    }

    void updaterSetsRangeFromFiniteCoordinates_data()
    {
        using V = std::vector<float>;
        QTest::addColumn<V>("xs");
        QTest::addColumn<V>("ys");
        QTest::addColumn<V>("xRange"); // min, max; empty: no range
        QTest::addColumn<V>("yRange");
        QTest::newRow("plain") << V{0, 5, 2} << V{-1, 3, 7} << V{0, 5} << V{-1, 7};
        QTest::newRow("non-finite")
            << V{NaN, 4, -Inf, 1} << V{Inf, 2, 8, NaN} << V{1, 4} << V{2, 8};
        QTest::newRow("one axis not finite") << V{1, 2} << V{NaN, Inf} << V{1, 2} << V{};
        QTest::newRow("all equal") << V{3, 3} << V{3, 3} << V{3, 3} << V{3, 3};
        QTest::newRow("no points") << V{} << V{} << V{} << V{};
    }

    void updaterSetsRangeFromFiniteCoordinates()
    {
        QFETCH(std::vector<float>, xs);
        QFETCH(std::vector<float>, ys);
        QFETCH(std::vector<float>, xRange);
        QFETCH(std::vector<float>, yRange);
        ChartFixture chart;
        chart.addAxes(2);
        chart.setRange(chart.axes[1], -100, 100); // left from an earlier layout, must not survive
        DCurve* curve = chart.addCurve("c", Qt::red);
        chart.addPoints(curve, xs, ys);
        DUpdater().doItem(curve); // starting from a curve finds the graphic as well
        for (const auto& [axis, want] :
             {std::pair{chart.axes[0], xRange}, {chart.axes[1], yRange}}) {
            std::vector<float> got;
            for (auto p : {DAxis::RangeMin, DAxis::RangeMax})
                if (axis->hasProperty(p))
                    got.push_back(axis->property(p));
            QCOMPARE(got, want);
        }
    }

    void labelsShowTheDigitsTheSpacingNeeds_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<float>("spacing");
        QTest::addColumn<QString>("label");
        QTest::newRow("quarter step whole") << 1.0 << 0.25f << "1.00";
        QTest::newRow("float tenth") << 3 * double(0.3f) << 0.3f << "0.9";
        QTest::newRow("tens") << -40.0 << 20.0f << "-40";
        QTest::newRow("small steps") << 3e-5 * double(1e-5f) / 1e-5 << 1e-5f << "0.00003";
        QTest::newRow("zero is not negative") << -1e-20 << 0.5f << "0.0";
        QTest::newRow("huge values") << 2.5e13 << 2.5e12f << "2.5e+13";
        QTest::newRow("tiny steps") << 3e-30 << 1e-30f << "3e-30";
    }

    void labelsShowTheDigitsTheSpacingNeeds()
    {
        QFETCH(double, value);
        QFETCH(float, spacing);
        QFETCH(QString, label);
        QCOMPARE(DAxisScale::label(value, spacing), label);
    }

    void reducerBreaksAtNonFiniteAndDropsRepeatedPixels()
    {
        // 20.2 falls on the pixel of 20; a lone point between breaks stays as a dot.
        const double xs[] = {10, 20, 20.2, qQNaN(), 30, 40, 50, 60};
        const double ys[] = {10, 20, 20.3, 5, 30, qInf(), 50, 10};
        DCurveReducer reducer;
        for (int i = 0; i < 8; ++i)
            reducer.add(xs[i], ys[i]);
        std::vector<int> sizes;
        for (const QPolygonF& line : reducer.lines())
            sizes.push_back(int(line.size()));
        QCOMPARE(sizes, (std::vector<int>{2, 1, 2}));
    }

    void reducedDrawingEqualsFullDrawing()
    {
        QRandomGenerator random(11);
        QPolygonF points;
        DCurveReducer reducer;
        for (int i = 0; i < 100000; ++i) {
            double y = 150 + 40 * std::sin(i / 3000.0) + random.bounded(30.0) - 15;
            if (i % 9973 == 0)
                y = random.bounded(2) ? 3 : 296; // spikes to the top and bottom rows
            points << QPointF(5 + double(i) * 790 / 100000, y);
            reducer.add(points.last().x(), points.last().y());
        }
        QVERIFY(reducer.pointCount() <= 4 * 800); // first, min, max, last per pixel column
        auto render = [](const std::vector<QPolygonF>& lines) {
            QImage image(800, 300, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter p(&image);
            p.setPen(QPen(Qt::black, 0));
            for (const QPolygonF& line : lines)
                p.drawPolyline(line);
            return image;
        };
        compareWithFull(render(reducer.lines()), render({points}), isInk);
    }

    // The summary that a 2-D drawing walks against every point: the same picture within a
    // pixel, every spike kept, nothing outside the plot of a view.
    void summaryDrawingMatchesEveryPoint_data()
    {
        QTest::addColumn<bool>("walk");    // an XY random walk instead of a time curve
        QTest::addColumn<double>("from");  // the view's X, as shares of the samples
        QTest::addColumn<double>("to");    // (0 to 1: no view)
        QTest::addColumn<int>("gapEvery"); // a NaN sample every so many; 0: none
        QTest::newRow("time, whole") << false << 0.0 << 1.0 << 0;
        QTest::newRow("time, 1%") << false << 0.4 << 0.41 << 0;
        QTest::newRow("time, points apart") << false << 0.5 << 0.5005 << 0;
        QTest::newRow("time, gaps") << false << 0.0 << 1.0 << 7919;
        QTest::newRow("walk, whole") << true << 0.0 << 1.0 << 0;
        QTest::newRow("walk, zoomed") << true << 0.3 << 0.5 << 0;
    }

    void summaryDrawingMatchesEveryPoint()
    {
        QFETCH(bool, walk);
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(int, gapEvery);
        const int count = 200000;
        ChartFixture chart;
        chart.addAxes(2);
        chart.graphic->legendMode = DGraphic::LegendHidden;
        QRandomGenerator random(5);
        std::vector<float> xs, ys;
        float x = 0, y = 0;
        for (int i = 0; i < count; ++i) {
            x = walk ? x + float(random.bounded(2.0) - 1) : float(i);
            y = walk ? y + float(random.bounded(2.0) - 1)
                     : float(std::sin(i * 40.0 / count) + random.bounded(0.2));
            if (!walk && i % 9973 == 0)
                y = i % 2 ? 3.0f : -3.0f; // spikes to the top and the bottom
            xs.push_back(x);
            ys.push_back(gapEvery && i % gapEvery == 0 ? NaN : y);
        }
        DCurve* curve = chart.addCurve("c", Qt::blue);
        chart.addPoints(curve, xs, ys);
        DUpdater().doItem(chart.graphic);
        QVERIFY(curve->summary && curve->summary->items() == std::size_t(count));
        QVERIFY(curve->summary->bytes() * 10 <= std::size_t(count) * DPointPool::SlotSize);
        const DAxis *ax = chart.axes[0], *ay = chart.axes[1];
        const double x0 = ax->property(DAxis::RangeMin), w = ax->property(DAxis::RangeMax) - x0;
        if (to - from < 1.0)
            chart.graphic->view.rect = QRectF(QPointF(x0 + from * w, ay->property(DAxis::RangeMin)),
                                              QPointF(x0 + to * w, ay->property(DAxis::RangeMax)));
        const QImage summed = chart.paint();
        curve->summary.reset(); // every point, one by one
        compareWithFull(summed, chart.paint(), isBlue);
        const QRect inside = chart.strips.at(0).area.toAlignedRect().adjusted(0, 0, 1, 1);
        QCOMPARE(countPixels(summed, summed.rect(), isBlue), countPixels(summed, inside, isBlue));
    }

    void gridLinesWhereRangeAndSpacingPutThem_data()
    {
        QTest::addColumn<float>("spacing");
        QTest::addColumn<int>("lines");
        QTest::newRow("2.5 over 0..10") << 2.5f << 5;
        QTest::newRow("3 over 0..10") << 3.0f << 4;
        // Without usable spacing only the Y axis line remains.
        QTest::newRow("zero") << 0.0f << 1;
        QTest::newRow("negative") << -2.0f << 1;
        QTest::newRow("nan") << NaN << 1;
        QTest::newRow("1e-30") << 1e-30f << 1;
    }

    void gridLinesWhereRangeAndSpacingPutThem()
    {
        QFETCH(float, spacing);
        QFETCH(int, lines);
        ChartFixture chart;
        chart.addAxes(2, 0, 10);
        for (DAxis* axis : chart.axes)
            axis->style = chart.style(Qt::red);
        chart.axes[0]->setProperty(DAxis::GridSpacing, spacing);
        const QImage image = chart.paint();
        std::vector<int> found; // where runs of (smoothed) red start along the middle row
        for (int x = 0, inside = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, image.height() / 2);
            const bool red = c.red() > 200 && c.green() < 235 && c.red() - c.green() > 20;
            if (red && !inside)
                found.push_back(x);
            inside = red;
        }
        QCOMPARE(int(found.size()), lines);
        // Evenly spaced from the Y axis at 0; the count above says none lies past 10.
        for (std::size_t i = 2; i < found.size(); ++i)
            QVERIFY(std::abs(found[i] - found[i - 1] - (found[1] - found[0])) <= 1);
    }

    void legendFollowsMode()
    {
        ChartFixture chart;
        chart.addAxes(2);
        chart.addCurve("pressure", Qt::green); // no points: only the legend is green
        for (int mode : {DGraphic::LegendShown, DGraphic::LegendHidden}) {
            chart.graphic->legendMode = mode;
            QCOMPARE(countPixels(chart.paint(), QRect(400, 0, 200, 400), isGreen) > 5,
                     mode == DGraphic::LegendShown);
        }
    }

    void stackedStripsScaleEachCurve_data()
    {
        QTest::addColumn<std::vector<float>>("small"); // the red curve under a 0..2e6 blue one
        QTest::addColumn<bool>("flat");
        QTest::newRow("0..1 under 0..2e6") << std::vector<float>{0, 1, 0.5f, 1, 0} << false;
        QTest::newRow("flat curve") << std::vector<float>{7, 7, 7, 7, 7} << true;
        QTest::newRow("1e-7 steps") << std::vector<float>{0, 1e-7f, 0, 2e-7f, 0} << false;
    }

    void stackedStripsScaleEachCurve()
    {
        QFETCH(std::vector<float>, small);
        QFETCH(bool, flat);
        ChartFixture chart;
        chart.addAxes(2);
        chart.addPoints(chart.addCurve("big", Qt::blue), {0, 1, 2, 3, 4}, {0, 2e6f, 0, 2e6f, 0});
        chart.addPoints(chart.addCurve("small", Qt::red), {0, 1, 2, 3, 4}, small);
        chart.graphic->legendMode = DGraphic::LegendHidden;
        chart.graphic->stacked = true;
        DUpdater().doItem(chart.graphic);
        const QImage image = chart.paint();
        QCOMPARE(int(chart.strips.size()), 2);
        const QRectF top = chart.strips[0].area, bottom = chart.strips[1].area;
        QVERIFY(top.bottom() < bottom.top() && std::abs(top.height() - bottom.height()) <= 1);
        // Each curve fills its own strip (the flat one runs along its middle); both share X.
        const QRect blue = boundsOf(image, isBlue), red = boundsOf(image, isRed);
        QVERIFY(std::abs(blue.top() - top.top()) <= 1
                && std::abs(blue.bottom() - top.bottom()) <= 1);
        const QRectF redWant = flat ? QRectF(0, bottom.center().y(), 1, 0) : bottom;
        QVERIFY(std::abs(red.top() - redWant.top()) <= 1
                && std::abs(red.bottom() - redWant.bottom()) <= 1);
        QCOMPARE(std::pair(red.left(), red.right()), std::pair(blue.left(), blue.right()));
        QCOMPARE(chart.strips[0].map(3, 2e6).x(), chart.strips[1].map(3, 0).x());
        // Unstacked, the small curve lies on the floor of the shared axis.
        chart.graphic->stacked = false;
        QVERIFY(boundsOf(chart.paint(), isRed).height() <= 2 || flat);
    }

    void logarithmicAxis_data()
    {
        QTest::addColumn<bool>("stacked");
        QTest::newRow("one axis") << false;
        QTest::newRow("stacked") << true;
    }

    void logarithmicAxis()
    {
        QFETCH(bool, stacked);
        ChartFixture chart;
        chart.addAxes(2);
        chart.axes[1]->style = chart.style(Qt::red);
        chart.setSpacings(chart.axes[1], 3, 3, 1); // manual steps: not on a log axis
        // Decades with a zero and a negative sample in the middle of the curve.
        DCurve* curve = chart.addCurve("c", Qt::blue);
        chart.addPoints(curve, {0, 1, 2, 3, 4, 5, 6, 7, 8},
                        {1, 10, 100, 1000, 0, -5, 1000, 100, 10});
        chart.graphic->legendMode = DGraphic::LegendHidden;
        chart.graphic->logY = true;
        chart.graphic->stacked = stacked;
        DUpdater().doItem(chart.graphic);
        const QImage image = chart.paint();
        const DPlotMap map = chart.strips.at(0).map;
        const QRectF plot = chart.strips[0].area;
        for (double v : {1e-310, 1e-300, 3e-38, 0.7071, 1.0, 2.5, 1e7, 3.4e38, 1e300}) // inline log
            QVERIFY(std::abs(DPlotMap::decimalLog(v) - std::log10(v)) < 1e-9);
        // Decades evenly spaced.
        QVERIFY(std::abs(map(0, 1).y() - 2 * map(0, 10).y() + map(0, 100).y()) < 0.01);
        // Grid lines at powers of ten and at 2 and 5 between them; none at the manual 3s.
        const auto gridAt = [&](double v) {
            const int row = int(std::round(map(0, v).y()));
            return countPixels(image, QRect(int(plot.left()) + 2, row, int(plot.width()) - 4, 1),
                               [](const QColor& c) { return c.red() > c.green() + 30; })
                   > plot.width() / 2;
        };
        for (double v : {1.0, 10.0, 100.0, 1000.0, 20.0, 500.0})
            QVERIFY2(gridAt(v), qPrintable(QString::number(v)));
        QVERIFY(!gridAt(3.0) && !gridAt(300.0));
        // The line breaks at the samples at or below zero: nothing between samples 3 and 6.
        const int from = int(map(3, 1).x()) + 2, to = int(map(6, 1).x()) - 2;
        QCOMPARE(countPixels(image, QRect(from, 0, to - from, 400), isBlue), 0);
        QVERIFY(countPixels(image, QRect(int(map(1, 1).x()), 0, 3, 400), isBlue) > 0);
        // No positive value at all: a text instead of the axis, no curve.
        for (DItem* q = curve->firstChild; q; q = q->next)
            static_cast<DPoint*>(q)->addCoord(chart.axes[1], -1);
        DUpdater().doItem(chart.graphic);
        const QImage none = chart.paint();
        QCOMPARE(countPixels(none, none.rect(), isBlue), 0);
        QVERIFY(countPixels(none, plot.toRect().adjusted(2, 2, -2, -2), isInk) > 50);
    }

    // Three curves from the box centre along the axes across, up and seen end on (red, green,
    // blue); the projection casts their shadow on the floor.
    void threeDViews_data()
    {
        QTest::addColumn<float>("elevation");
        QTest::addColumn<float>("azimuth");
        QTest::addColumn<int>("across"); // 0 X, 1 Y, 2 Z
        QTest::addColumn<int>("up");
        QTest::addColumn<bool>("projection");
        QTest::newRow("View XY") << 1.57f << 1.57f << 0 << 1 << false;
        QTest::newRow("View YZ") << 0.0f << 0.0f << 1 << 2 << false;
        QTest::newRow("View XZ") << 0.0f << 1.57f << 0 << 2 << false;
        QTest::newRow("projection") << 0.3f << 0.3f << 0 << 1 << true;
    }

    void threeDViews()
    {
        QFETCH(float, elevation);
        QFETCH(float, azimuth);
        QFETCH(int, across);
        QFETCH(int, up);
        QFETCH(bool, projection);
        ChartFixture chart(DGraphic::Lines3D);
        chart.addAxes(3, -1, 1);
        const int axes[3] = {across, up, 3 - across - up};
        const QColor colours[3] = {Qt::red, Qt::green, Qt::blue};
        for (int i = 0; i < 3; ++i) {
            std::vector<float> c[3] = {{0, 0}, {0, 0}, {0, 0}};
            c[axes[i]][1] = 1;
            chart.addPoints(chart.addCurve("c", colours[i]), c[0], c[1], c[2]);
        }
        for (const auto& style : chart.styles)
            style->font->size = 0; // no text: its smoothing tints pixels too
        chart.graphic->legendMode = DGraphic::LegendHidden;
        chart.graphic->projection = projection;
        chart.graphic->elevation = elevation;
        chart.graphic->azimuth = azimuth;
        const QImage image = chart.paint(QSize(500, 500));
        // Shadows are pale tints of the curve colours.
        const int shadow = countPixels(image, image.rect(), [](const QColor& c) {
            const int low = std::min({c.red(), c.green(), c.blue()});
            return low > 120 && std::max({c.red(), c.green(), c.blue()}) - low > 40;
        });
        QCOMPARE(shadow > 50, projection);
        if (projection)
            return;
        // Across to the right, upwards and seen end on, all from the centre of the picture.
        const QRect h = boundsOf(image, isRed), v = boundsOf(image, isGreen);
        QCOMPARE(h.size().boundedTo({100, 3}), QSize(100, h.height()));
        QCOMPARE(v.size().boundedTo({3, 100}), QSize(v.width(), 100));
        for (const QPoint& start : {h.topLeft(), v.bottomLeft(), boundsOf(image, isBlue).center()})
            QVERIFY((start - h.topLeft()).manhattanLength() <= 6);
    }

    void badInputReturns_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Bad>("bad");
        QTest::addColumn<bool>("scaled"); // stacked on logarithmic axes
        const auto row = [](const char* name, void (*change)(Bad&)) {
            Bad bad;
            change(bad);
            for (int type : {DGraphic::Chart2D, DGraphic::Lines3D, DGraphic::Points3D})
                QTest::addRow("%d %s", type, name) << type << bad << false;
            QTest::addRow("stacked log %s", name) << int(DGraphic::Chart2D) << bad << true;
        };
        row("nan and inf coordinates", [](Bad& b) {
            b.xs = {NaN, 1, Inf, 2, -Inf, 3};
            b.ys = {1, NaN, 2, Inf, 3, -Inf};
            b.zs = {Inf, 1, NaN, 2, 3, 4};
        });
        row("all points equal", [](Bad& b) { b.xs = b.ys = b.zs = std::vector<float>(1000, 4); });
        row("spacing 0", [](Bad& b) { b.spacing = 0; });
        row("spacing nan", [](Bad& b) { b.spacing = NaN; });
        row("no axes", [](Bad& b) { b.axes = 0; });
        row("font size 0", [](Bad& b) { b.fontSize = 0; });
        row("font size 10000", [](Bad& b) { b.fontSize = 10000; });
        row("million character title", [](Bad& b) { b.title = QString(1000000, u'W'); });
        row("nan view angles", [](Bad& b) { b.nanAngles = true; });
        row("painter size 0", [](Bad& b) { b.painterSize = 0; });
        row("painter size huge", [](Bad& b) { b.painterSize = 1000000; });
        row("single axis", [](Bad& b) { b.axes = 1; });
        row("range nan", [](Bad& b) { b.nanRange = true; });
        row("null graphic", [](Bad& b) { b.nullGraphic = true; });
        row("empty rect", [](Bad& b) { b.rect = QRect(0, 0, 0, 0); });
        row("inverted rect", [](Bad& b) { b.rect = QRect(QPoint(200, 150), QPoint(10, 20)); });
        row("hundred curves", [](Bad& b) { b.curves = 100, b.xs = {2}, b.ys = {3}, b.zs = {4}; });
        row("negative only", [](Bad& b) { b.xs = b.ys = b.zs = {-1, -2, 0, -3}; });
    }

    void badInputReturns()
    {
        QFETCH(int, type);
        QFETCH(Bad, bad);
        QFETCH(bool, scaled);
        ChartFixture chart(type, bad.title);
        chart.addAxes(bad.axes);
        DCurve* curve = nullptr;
        for (int i = 0; i < bad.curves; ++i)
            curve = chart.addCurve("c", Qt::red);
        if (chart.axes.size() >= 2)
            chart.addPoints(curve, bad.xs, bad.ys, bad.zs);
        DUpdater().doItem(chart.graphic);
        for (DAxis* axis : chart.axes) {
            chart.setSpacings(axis, bad.spacing, bad.spacing, bad.spacing);
            if (bad.nanRange)
                chart.setRange(axis, NaN, Inf);
        }
        for (const auto& style : chart.styles)
            style->font->size = bad.fontSize;
        if (bad.nanAngles)
            chart.graphic->elevation = chart.graphic->azimuth = NaN;
        if (scaled)
            chart.graphic->stacked = chart.graphic->logX = chart.graphic->logY = true;
        if (bad.nullGraphic)
            delete std::exchange(chart.graphic, nullptr);
        const QImage image = chart.paint(QSize(320, 220), bad.painterSize, &bad.rect);
        // Nothing is drawn outside the rectangle given (none at all for an empty one).
        const QRect inside = bad.rect.width() > 0 && bad.rect.height() > 0 ? bad.rect : QRect();
        QCOMPARE(countPixels(image, QRect(inside.right() + 1, 0, 320, 220), isInk), 0);
        QCOMPARE(countPixels(image, QRect(0, inside.bottom() + 1, 320, 220), isInk), 0);
    }

    void partialAndForeignNodesLeaveTheRest()
    {
        auto style = makeStyle("X Axis", 11, true, true, false);
        const QString before = describe(*style);
        // Values of the wrong kind or form and foreign groups change nothing.
        QAResGroup group("sty_axis_x");
        group.addChild(new QAResString("font_size", "not a number"));
        group.addChild(new QAResBoolean("font_family", true));
        group.addChild(new QAResString("fill_color", "red"));
        group.addChild(new QAResBoolean("pen_color", true)); // only false means none
        (new QAResGroup("unknown", &group))->addChild(new QAResString("font_size", "99"));
        DStyleSerialize::styleFromResources(&group, style.get());
        QCOMPARE(describe(*style), before);
        // A partial node changes exactly what it holds.
        QAResGroup partial("sty_axis_x");
        partial.addChild(new QAResString("font_size", " 15 "));
        partial.addChild(new QAResBoolean("fill_color", false));
        DStyleSerialize::styleFromResources(&partial, style.get());
        QCOMPARE(describe(*style), "X Axis|Sans|15|75|none|#c86432|0");
        // A style without a font gets one from a node that has font data.
        DStyle bare("b", nullptr, nullptr, nullptr, false);
        DStyleSerialize::styleFromResources(&partial, &bare);
        QCOMPARE(bare.font ? bare.font->size : 0, 15);
        DStyleSerialize::styleFromResources(nullptr, &bare);
        DStyleSerialize::styleFromResources(&partial, nullptr);
        QVERIFY(!DStyleSerialize::styleToResources("x", nullptr));
    }

    void editorStoreWritesWorkingCopy()
    {
        auto first = makeStyle("Graphic", 10, false, false, false);
        auto second = makeStyle("Curve 0", 12, true, true, false);
        DStyleView view(QStringList{"Sans", "Serif"});
        view.load({first.get(), second.get()});
        view.setStyleNameTranslation({{"Graphic", "Grafik"}});
        auto* list = view.findChild<QListWidget*>("styleList");
        QCOMPARE(list->item(0)->text() + list->item(1)->text(), QStringLiteral("GrafikCurve 0"));

        auto* sizeBox = view.findChild<QSpinBox*>("sizeBox");
        view.setCurrentStyle(1);
        sizeBox->setValue(20);
        view.findChild<QComboBox*>("familyBox")->setCurrentText("Serif");
        QTest::mouseClick(view.findChild<QCheckBox*>("markersBox"), Qt::LeftButton);
        view.findChild<QAColorButton*>("fillButton")->setColor(QColor(), true);
        view.findChild<QAColorButton*>("penButton")->setColor(QColor(9, 8, 7), true);
        // Switching styles keeps the edits of the one left; nothing is written before the store.
        view.setCurrentStyle(0);
        QCOMPARE(sizeBox->value(), 10);
        view.setCurrentStyle(1);
        QCOMPARE(sizeBox->value(), 20);
        QCOMPARE(second->font->size, 12);
        view.store();
        QCOMPARE(describe(*second), QStringLiteral("Curve 0|Serif|20|75|none|#090807|1"));
        QCOMPARE(describe(*first), QStringLiteral("Graphic|Sans|10|75|none|none|0"));
    }
};

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
