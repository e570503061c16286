#include "chartfixture.h"

#include "host/chart/daxisscale.h"
#include "host/chart/dchartpainter.h"
#include "host/chart/dcurvereducer.h"
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

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();
const float Inf = std::numeric_limits<float>::infinity();

// An item that counts its destruction, to see what deleting a graphic reaches.
class CountedItem : public DItem
{
public:
    explicit CountedItem(DItem* owner) : DItem(owner, nullptr) {}
    ~CountedItem() override { ++destroyed; }
    static int destroyed;
};
int CountedItem::destroyed = 0;

std::vector<float> ramp(int n, float from, float to)
{
    std::vector<float> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        v[std::size_t(i)] = n == 1 ? from : from + (to - from) * float(i) / float(n - 1);
    return v;
}

// Columns of one image row whose pixel satisfies `match`, adjacent columns merged to one.
template <class Match> std::vector<int> runsInRow(const QImage& image, int y, Match match)
{
    std::vector<int> starts;
    bool inside = false;
    for (int x = 0; x < image.width(); ++x) {
        const bool hit = match(QColor(image.pixel(x, y)));
        if (hit && !inside)
            starts.push_back(x);
        inside = hit;
    }
    return starts;
}

QRect boundsOf(const QImage& image, bool (*match)(const QColor&))
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(QColor(image.pixel(x, y))))
                r = r.united(QRect(x, y, 1, 1));
    return r;
}

bool isReddish(const QColor& c)
{
    return c.red() > 200 && c.green() < 235 && c.red() - c.green() > 20;
}

std::unique_ptr<DStyle> makeStyle(const QString& name, int size, bool fill, bool pen, bool markers)
{
    return std::make_unique<DStyle>(name, new DFont(QStringLiteral("Sans"), size, 75),
                                    fill ? new DColor(1, 2, 3) : nullptr,
                                    pen ? new DColor(200, 100, 50) : nullptr, markers);
}

QString describe(const DStyle& s)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
        .arg(s.name)
        .arg(s.font ? s.font->family : QStringLiteral("-"))
        .arg(s.font ? s.font->size : -1)
        .arg(s.font ? s.font->weight : -1)
        .arg(s.fillColor ? s.fillColor->toQColor().name() : QStringLiteral("none"))
        .arg(s.penColor ? s.penColor->toQColor().name() : QStringLiteral("none"))
        .arg(s.markers);
}

} // namespace

class TestChart : public QObject
{
    Q_OBJECT

private slots:
    void deletingGraphicDeletesEverythingUnderIt();
    void axisProperties_data();
    void axisProperties();
    void pointCoordinatesFollowAxisSlots();
    void pointOfTwoDimensionalChartTakesFortyEightBytes();
    void reusedPointSlotForgetsThirdCoordinate();

    void updaterSetsRangeFromFiniteCoordinates_data();
    void updaterSetsRangeFromFiniteCoordinates();

    void labelsShowTheDigitsTheSpacingNeeds_data();
    void labelsShowTheDigitsTheSpacingNeeds();
    void multiplesRefuseUnusableSpacings_data();
    void multiplesRefuseUnusableSpacings();

    void reducerBreaksAtNonFiniteAndDropsRepeatedPixels();
    void reducedDrawingEqualsFullDrawing();

    void gridLinesWhereRangeAndSpacingPutThem_data();
    void gridLinesWhereRangeAndSpacingPutThem();
    void unitLabelsDrawnOnlyWithUnitSpacing();
    void overlappingUnitLabelsAreSkipped();
    void legendFollowsMode_data();
    void legendFollowsMode();
    void curvePixelsInCurveColour();
    void presetViewsProjectAxes_data();
    void presetViewsProjectAxes();
    void projectionFlagDrawsShadow();
    void badInputReturns_data();
    void badInputReturns();

    void styleRoundTrip_data();
    void styleRoundTrip();
    void partialAndForeignNodesLeaveTheRest();
    void editorStoreWritesWorkingCopy();
};

void TestChart::deletingGraphicDeletesEverythingUnderIt()
{
    CountedItem::destroyed = 0;
    ChartFixture chart;
    chart.addAxes(2);
    chart.addPoints(chart.addCurve(QStringLiteral("c"), Qt::red), ramp(1000000, 0, 1),
                    ramp(1000000, 0, 1));
    // Children and siblings below a curve, and a chain 200,000 levels deep: no recursion.
    DItem* branch = chart.addCurve(QStringLiteral("branch"), Qt::green);
    branch->firstChild = new CountedItem(branch);
    branch->firstChild->next = new CountedItem(branch);
    branch->firstChild->firstChild = new CountedItem(branch->firstChild);
    DItem* deepest = chart.addCurve(QStringLiteral("deep"), Qt::blue);
    for (int i = 0; i < 200000; ++i)
        deepest = deepest->firstChild = new CountedItem(deepest);
    delete chart.take();
    QCOMPARE(CountedItem::destroyed, 200003);
    QVERIFY(DPointPool::blockCount() <= 1);
}

void TestChart::axisProperties_data()
{
    QTest::addColumn<int>("property");
    QTest::addColumn<bool>("stored");
    QTest::newRow("grid spacing") << int(DAxis::GridSpacing) << true;
    QTest::newRow("unit spacing") << int(DAxis::UnitSpacing) << true;
    QTest::newRow("dot spacing") << int(DAxis::DotSpacing) << true;
    QTest::newRow("range minimum") << int(DAxis::RangeMin) << true;
    QTest::newRow("range maximum") << int(DAxis::RangeMax) << true;
    QTest::newRow("below the values") << 1 << false;
    QTest::newRow("above the values") << 7 << false;
}

void TestChart::axisProperties()
{
    QFETCH(int, property);
    QFETCH(bool, stored);
    const auto p = DAxis::Property(property);
    DAxis axis(QStringLiteral("x"), QString(), QStringLiteral("X"), nullptr, nullptr);
    QVERIFY(!axis.hasProperty(p));
    QCOMPARE(axis.property(p), 0.0f);
    axis.setProperty(p, 2.5f);
    QCOMPARE(axis.hasProperty(p), stored);
    QCOMPARE(axis.property(p), stored ? 2.5f : 0.0f);
    // Other properties are untouched.
    for (int other = DAxis::GridSpacing; other <= DAxis::RangeMax; ++other)
        if (other != property)
            QVERIFY(!axis.hasProperty(DAxis::Property(other)));
    axis.removeProperty(p);
    QVERIFY(!axis.hasProperty(p));
}

void TestChart::pointCoordinatesFollowAxisSlots()
{
    ChartFixture chart(DGraphic::Lines3D);
    chart.addAxes(3);
    DAxis* x = chart.axes[0];
    DAxis* y = chart.axes[1];
    DAxis* z = chart.axes[2];
    QCOMPARE(z->index(), 2);
    DCurve* curve = chart.addCurve(QStringLiteral("c"), Qt::red);
    auto* point = new DPoint(curve, nullptr);
    curve->firstChild = point;
    QVERIFY(std::isnan(point->coord(x)));
    // Added out of order, each lands on its own axis.
    point->addCoord(z, 3.0f);
    point->addCoord(x, 1.0f);
    point->addCoord(y, 2.0f);
    point->addCoord(nullptr, 9.0f);
    QCOMPARE(point->coord(x), 1.0f);
    QCOMPARE(point->coord(y), 2.0f);
    QCOMPARE(point->coord(z), 3.0f);
    QVERIFY(std::isnan(point->coord(3)));
    QVERIFY(std::isnan(point->coord(-1)));
}

void TestChart::pointOfTwoDimensionalChartTakesFortyEightBytes()
{
    // Points come from blocks: a million of them take about 48 MB of blocks, nothing else.
    ChartFixture chart;
    chart.addAxes(2);
    const std::size_t before = DPointPool::blockCount();
    chart.addPoints(chart.addCurve(QStringLiteral("c"), Qt::red), ramp(1000000, 0, 1),
                    ramp(1000000, 0, 1));
    const double bytes = double(DPointPool::blockCount() - before) * (1 << 20);
    QVERIFY2(bytes / 1e6 <= 48.1, qPrintable(QString::number(bytes / 1e6)));
}

void TestChart::reusedPointSlotForgetsThirdCoordinate()
{
    ChartFixture chart(DGraphic::Lines3D);
    chart.addAxes(3);
    DCurve* curve = chart.addCurve(QStringLiteral("c"), Qt::red);
    chart.addPoints(curve, {1}, {2}, {3});
    QCOMPARE(curve->firstChild->toPoint()->coord(chart.axes[2]), 3.0f);
    delete chart.take();
    // The freed slot is handed out again; its old third coordinate must not show through.
    DGraphic owner(QString(), 0, QString(), nullptr, nullptr, nullptr);
    owner.firstChild = new DPoint(nullptr, nullptr);
    QVERIFY(std::isnan(owner.firstChild->toPoint()->coord(2)));
}

void TestChart::updaterSetsRangeFromFiniteCoordinates_data()
{
    using V = std::vector<float>;
    QTest::addColumn<V>("xs");
    QTest::addColumn<V>("ys");
    QTest::addColumn<V>("xRange"); // min, max; empty: no range
    QTest::addColumn<V>("yRange");
    QTest::newRow("plain") << V{0, 5, 2} << V{-1, 3, 7} << V{0, 5} << V{-1, 7};
    QTest::newRow("non-finite skipped")
        << V{NaN, 4, -Inf, 1} << V{Inf, 2, 8, NaN} << V{1, 4} << V{2, 8};
    QTest::newRow("one axis without finite value") << V{1, 2} << V{NaN, Inf} << V{1, 2} << V{};
    QTest::newRow("all equal") << V{3, 3} << V{3, 3} << V{3, 3} << V{3, 3};
    QTest::newRow("no points") << V{} << V{} << V{} << V{};
}

void TestChart::updaterSetsRangeFromFiniteCoordinates()
{
    QFETCH(std::vector<float>, xs);
    QFETCH(std::vector<float>, ys);
    QFETCH(std::vector<float>, xRange);
    QFETCH(std::vector<float>, yRange);
    ChartFixture chart;
    chart.addAxes(2);
    // A range left from an earlier layout must not survive.
    chart.setRange(chart.axes[1], -100, 100);
    DCurve* curve = chart.addCurve(QStringLiteral("c"), Qt::red);
    chart.addCurve(QStringLiteral("empty"), Qt::blue);
    chart.addPoints(curve, xs, ys);
    // Starting from a curve finds the graphic as well.
    DUpdater().doItem(curve);
    const std::vector<float> want[] = {xRange, yRange};
    for (int i = 0; i < 2; ++i) {
        const DAxis* axis = chart.axes[std::size_t(i)];
        std::vector<float> got;
        for (auto p : {DAxis::RangeMin, DAxis::RangeMax})
            if (axis->hasProperty(p))
                got.push_back(axis->property(p));
        QCOMPARE(got, want[i]);
    }
}

void TestChart::labelsShowTheDigitsTheSpacingNeeds_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<float>("spacing");
    QTest::addColumn<QString>("label");
    QTest::newRow("quarter steps") << 0.25 << 0.25f << "0.25";
    QTest::newRow("quarter step whole") << 1.0 << 0.25f << "1.00";
    QTest::newRow("float tenth") << 3 * double(0.3f) << 0.3f << "0.9";
    QTest::newRow("halves") << 2.5 << 0.5f << "2.5";
    QTest::newRow("units") << 3.0 << 1.0f << "3";
    QTest::newRow("tens") << -40.0 << 20.0f << "-40";
    QTest::newRow("small steps") << 3e-5 * double(1e-5f) / 1e-5 << 1e-5f << "0.00003";
    QTest::newRow("zero is not negative") << -1e-20 << 0.5f << "0.0";
    QTest::newRow("huge values") << 2.5e13 << 2.5e12f << "2.5e+13";
    QTest::newRow("tiny steps") << 3e-30 << 1e-30f << "3e-30";
}

void TestChart::labelsShowTheDigitsTheSpacingNeeds()
{
    QFETCH(double, value);
    QFETCH(float, spacing);
    QFETCH(QString, label);
    QCOMPARE(DAxisScale::label(value, spacing), label);
}

void TestChart::multiplesRefuseUnusableSpacings_data()
{
    QTest::addColumn<double>("spacing");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<double>("count");
    QTest::newRow("regular") << 250000.0 << true << 5.0;
    QTest::newRow("zero") << 0.0 << false << 0.0;
    QTest::newRow("negative") << -1000.0 << false << 0.0;
    QTest::newRow("nan") << double(NaN) << false << 0.0;
    QTest::newRow("infinite") << double(Inf) << false << 0.0;
    QTest::newRow("1e-30 over 1e6") << 1e-30 << false << 0.0;
    QTest::newRow("more than pixels") << 1.0 << false << 0.0;
}

void TestChart::multiplesRefuseUnusableSpacings()
{
    QFETCH(double, spacing);
    QFETCH(bool, usable);
    QFETCH(double, count);
    const DAxisScale scale(0.0, 1e6);
    double first = 0;
    double last = 0;
    QCOMPARE(scale.multiples(spacing, 1000.0, first, last), usable);
    if (usable)
        QCOMPARE(last - first + 1, count);
}

void TestChart::reducerBreaksAtNonFiniteAndDropsRepeatedPixels()
{
    DCurveReducer reducer;
    reducer.add(10, 10);
    reducer.add(20, 20);
    reducer.add(20.2, 20.3); // same pixel as the previous point
    reducer.add(qQNaN(), 5);
    reducer.add(30, 30);
    reducer.add(40, qInf());
    reducer.add(50, 50);
    reducer.add(60, 10);
    const auto& lines = reducer.lines();
    QCOMPARE(lines.size(), std::size_t(3));
    QCOMPARE(lines[0].size(), 2);
    QCOMPARE(lines[1].size(), 1); // a lone point stays as a dot
    QCOMPARE(lines[2].size(), 2);
}

void TestChart::reducedDrawingEqualsFullDrawing()
{
    const QSize size(800, 300);
    QRandomGenerator random(11);
    std::vector<QPointF> points;
    const int n = 100000;
    for (int i = 0; i < n; ++i) {
        double y = 150 + 40 * std::sin(i / 3000.0) + random.bounded(30.0) - 15;
        if (i % 9973 == 0)
            y = random.bounded(2) ? 3 : 296;
        points.emplace_back(5 + double(i) * 790 / n, y);
    }
    auto render = [&](auto drawLines) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setPen(QPen(Qt::black, 0));
        drawLines(p);
        return image;
    };
    const QImage full =
        render([&](QPainter& p) { p.drawPolyline(points.data(), int(points.size())); });
    DCurveReducer reducer;
    for (const QPointF& at : points)
        reducer.add(at.x(), at.y());
    // Per pixel column at most first, min, max and last survive.
    QVERIFY(reducer.pointCount() <= 4 * size.width());
    const QImage reduced = render([&](QPainter& p) {
        for (const QPolygonF& line : reducer.lines())
            p.drawPolyline(line);
    });
    int inked = 0;
    int differing = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const bool a = full.pixel(x, y) != qRgb(255, 255, 255);
            const bool b = reduced.pixel(x, y) != qRgb(255, 255, 255);
            inked += a ? 1 : 0;
            differing += a != b ? 1 : 0;
        }
    QVERIFY(inked > 10000);
    QVERIFY2(differing <= inked / 100,
             qPrintable(QStringLiteral("%1 of %2").arg(differing).arg(inked)));
    // Every spike reaches the same rows in both.
    for (int row : {3, 296})
        QCOMPARE(countPixels(reduced, QRect(0, row, size.width(), 1), isInk) > 0,
                 countPixels(full, QRect(0, row, size.width(), 1), isInk) > 0);
}

void TestChart::gridLinesWhereRangeAndSpacingPutThem_data()
{
    QTest::addColumn<float>("spacing");
    QTest::addColumn<int>("lines");
    QTest::newRow("2 over 0..10") << 2.0f << 6;
    QTest::newRow("2.5 over 0..10") << 2.5f << 5;
    QTest::newRow("5 over 0..10") << 5.0f << 3;
    QTest::newRow("3 over 0..10") << 3.0f << 4;
    // Without usable spacing only the Y axis line remains.
    QTest::newRow("zero") << 0.0f << 1;
    QTest::newRow("negative") << -2.0f << 1;
    QTest::newRow("nan") << NaN << 1;
    QTest::newRow("1e-30") << 1e-30f << 1;
}

void TestChart::gridLinesWhereRangeAndSpacingPutThem()
{
    QFETCH(float, spacing);
    QFETCH(int, lines);
    ChartFixture chart;
    chart.addAxes(2, 0, 10);
    for (DAxis* axis : chart.axes)
        axis->style = chart.style(Qt::red);
    chart.axes[0]->setProperty(DAxis::GridSpacing, spacing);
    const QImage image = chart.paint();
    const std::vector<int> found = runsInRow(image, image.height() / 2, isReddish);
    QCOMPARE(int(found.size()), lines);
    if (lines < 3)
        return;
    // Evenly spaced, one spacing apart; the first line is the Y axis at 0, none past 10.
    const double step = double(found[1] - found[0]);
    for (std::size_t i = 1; i < found.size(); ++i)
        QVERIFY(std::abs(found[i] - found[i - 1] - step) <= 1.0);
    QVERIFY(std::abs(found.back() - found.front() - step * std::floor(10 / spacing)) <= 1.5);
}

void TestChart::unitLabelsDrawnOnlyWithUnitSpacing()
{
    ChartFixture chart;
    chart.addAxes(2, 0, 10, false);
    const QImage bare = chart.paint();
    for (DAxis* axis : chart.axes)
        axis->setProperty(DAxis::UnitSpacing, 2.0f);
    const QImage labelled = chart.paint();
    for (const QRect& r :
         {QRect(0, bare.height() - 40, bare.width(), 40), QRect(0, 0, 40, bare.height() - 60)})
        QVERIFY(countPixels(labelled, r, isInk) > countPixels(bare, r, isInk) + 30);
}

void TestChart::overlappingUnitLabelsAreSkipped()
{
    ChartFixture chart;
    chart.addAxes(2, 0, 1, false);
    chart.setRange(chart.axes[0], 0, 100);
    // 400 labels of "99.75" cannot fit 600 pixels.
    chart.axes[0]->setProperty(DAxis::UnitSpacing, 0.25f);
    const QImage image = chart.paint();
    // The axis line is the lowest row inked across the middle; the labels lie below it.
    int axisRow = image.height() - 1;
    while (axisRow > 0 && countPixels(image, QRect(200, axisRow, 200, 1), isInk) < 200)
        --axisRow;
    QVERIFY(axisRow > image.height() / 2);
    // Kept labels leave blank columns between them; overlapping ones smear into one band.
    int blank = 0;
    int total = 0;
    for (int xPixel = 80; xPixel < image.width() - 40; ++xPixel) {
        ++total;
        if (countPixels(image, QRect(xPixel, axisRow + 1, 1, image.height()), isInk) == 0)
            ++blank;
    }
    QVERIFY2(blank > total / 4, qPrintable(QStringLiteral("%1 of %2").arg(blank).arg(total)));
    QVERIFY(blank < total * 9 / 10);
}

void TestChart::legendFollowsMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("shown");
    QTest::newRow("shown") << int(DGraphic::LegendShown) << true;
    QTest::newRow("hidden") << int(DGraphic::LegendHidden) << false;
}

void TestChart::legendFollowsMode()
{
    QFETCH(int, mode);
    QFETCH(bool, shown);
    ChartFixture chart;
    chart.addAxes(2);
    chart.addCurve(QStringLiteral("pressure"), Qt::green); // no points: only the legend is green
    chart.graphic->legendMode = mode;
    const QImage image = chart.paint();
    const QRect rightStrip(image.width() * 2 / 3, 0, image.width() / 3, image.height());
    QCOMPARE(countPixels(image, rightStrip, isGreen) > 5, shown);
}

void TestChart::curvePixelsInCurveColour()
{
    ChartFixture chart;
    chart.addAxes(2);
    chart.addPoints(chart.addCurve(QStringLiteral("flat"), Qt::blue), ramp(1000, 0, 10),
                    std::vector<float>(1000, 5.0f));
    chart.addPoints(chart.addCurve(QStringLiteral("rising"), Qt::red), {0, 10}, {0, 10});
    chart.graphic->legendMode = DGraphic::LegendHidden;
    chart.update();
    const QImage image = chart.paint();
    const QRect blue = boundsOf(image, isBlue);
    const QRect red = boundsOf(image, isRed);
    // The flat curve is one horizontal line across most of the picture, mid-height.
    QVERIFY(blue.width() > image.width() * 2 / 3 && blue.height() <= 2);
    // The rising one spans the same width and runs from bottom left to top right.
    QVERIFY(std::abs(red.width() - blue.width()) <= 2);
    QVERIFY(red.height() > image.height() / 2);
    QVERIFY(std::abs(blue.center().y() - red.center().y()) <= 2);
    QVERIFY(isRed(QColor(image.pixel(red.left(), red.bottom()))));
    QVERIFY(isRed(QColor(image.pixel(red.right(), red.top()))));

    // The painter's size setting scales pens; reduced it stays a hairline.
    for (auto [size, thickness] : {std::pair{100, 1}, {300, 3}, {20, 1}}) {
        const QImage scaled = chart.paint(QSize(600, 400), size);
        QCOMPARE(countPixels(scaled, QRect(450, 0, 1, 400), isBlue), thickness);
    }
}

void TestChart::presetViewsProjectAxes_data()
{
    QTest::addColumn<float>("elevation");
    QTest::addColumn<float>("azimuth");
    QTest::addColumn<int>("across"); // 0 X (red), 1 Y (green), 2 Z (blue)
    QTest::addColumn<int>("up");
    QTest::newRow("View XY") << 1.57f << 1.57f << 0 << 1;
    QTest::newRow("View YZ") << 0.0f << 0.0f << 1 << 2;
    QTest::newRow("View XZ") << 0.0f << 1.57f << 0 << 2;
}

void TestChart::presetViewsProjectAxes()
{
    QFETCH(float, elevation);
    QFETCH(float, azimuth);
    QFETCH(int, across);
    QFETCH(int, up);
    // One chart per axis, with a single curve from the centre of the box towards the positive
    // end of that axis: where it lands on the picture tells where the axis points.
    auto bounds = [&](int axis) {
        ChartFixture chart(DGraphic::Lines3D);
        chart.addAxes(3, -1, 1);
        std::vector<float> c[3] = {{0, 0}, {0, 0}, {0, 0}};
        c[axis][1] = 1;
        chart.addPoints(chart.addCurve(QStringLiteral("c"), Qt::red), c[0], c[1], c[2]);
        chart.graphic->legendMode = DGraphic::LegendHidden;
        chart.graphic->projection = false;
        chart.graphic->elevation = elevation;
        chart.graphic->azimuth = azimuth;
        return boundsOf(chart.paint(QSize(500, 500)), isRed);
    };
    const QRect h = bounds(across);
    const QRect v = bounds(up);
    const QRect end = bounds(3 - across - up);
    QVERIFY(h.width() > 100 && h.height() <= 3);    // across, from the centre to the right
    QVERIFY(v.height() > 100 && v.width() <= 3);    // upwards from the centre
    QVERIFY(end.width() <= 3 && end.height() <= 3); // seen end on
    QVERIFY(std::abs(h.left() - v.center().x()) <= 2);
    QVERIFY(std::abs(v.bottom() - h.center().y()) <= 2);
    QVERIFY(std::abs(end.center().x() - h.left()) <= 2);
    QVERIFY(std::abs(end.center().y() - h.center().y()) <= 2);
}

void TestChart::projectionFlagDrawsShadow()
{
    ChartFixture chart(DGraphic::Lines3D);
    chart.addAxes(3, -1, 1);
    chart.addPoints(chart.addCurve(QStringLiteral("c"), Qt::red), {-1, 1}, {-1, 1}, {1, 1});
    chart.graphic->legendMode = DGraphic::LegendHidden;
    for (DAxis* axis : chart.axes)
        axis->style->font->size = 0; // no text: its smoothing tints pixels too
    auto shadowPixels = [&](bool projection) {
        chart.graphic->projection = projection;
        return countPixels(
            chart.paint(QSize(500, 500)), QRect(0, 0, 500, 500), [](const QColor& c) {
                return c.red() > 200 && c.green() > 120 && c.green() < 230 && c.blue() > 120;
            });
    };
    QVERIFY(shadowPixels(true) > 50);
    QCOMPARE(shadowPixels(false), 0);
}

void TestChart::badInputReturns_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("type");
    QTest::addColumn<QRect>("rect");
    for (int type : {int(DGraphic::Chart2D), int(DGraphic::Lines3D), int(DGraphic::Points3D)}) {
        const QString t = QString::number(type) + QLatin1Char(' ');
        for (const char* kind :
             {"nan and inf coordinates", "all points equal", "spacing zero", "spacing negative",
              "spacing nan", "spacing inf", "spacing 1e-30 over 1e6", "empty graphic", "no axes",
              "font size 0", "font size 10000", "million character title", "nan view angles",
              "painter size 0", "painter size huge", "single axis", "range nan"})
            QTest::newRow(qPrintable(t + QLatin1String(kind)))
                << QString::fromLatin1(kind) << type << QRect(0, 0, 300, 200);
        QTest::newRow(qPrintable(t + "empty rect")) << QString() << type << QRect(0, 0, 0, 0);
        QTest::newRow(qPrintable(t + "inverted rect"))
            << QString() << type << QRect(QPoint(200, 150), QPoint(10, 20));
        QTest::newRow(qPrintable(t + "tiny rect")) << QString() << type << QRect(0, 0, 3, 2);
    }
}

void TestChart::badInputReturns()
{
    QFETCH(QString, kind);
    QFETCH(int, type);
    QFETCH(QRect, rect);
    const auto is = [&](const char* k) { return kind == QLatin1String(k); };
    ChartFixture chart(type, QStringLiteral("Title"));
    if (!is("no axes") && !is("empty graphic"))
        chart.addAxes(is("single axis") ? 1 : 3);
    if (!is("empty graphic")) {
        DCurve* curve = chart.addCurve(QStringLiteral("c"), Qt::red);
        if (is("nan and inf coordinates"))
            chart.addPoints(curve, {NaN, 1, Inf, 2, -Inf, 3}, {1, NaN, 2, Inf, 3, -Inf},
                            {Inf, 1, NaN, 2, 3, 4});
        else if (is("all points equal"))
            chart.addPoints(curve, std::vector<float>(1000, 4), std::vector<float>(1000, 4),
                            std::vector<float>(1000, 4));
        else if (chart.axes.size() >= 2)
            chart.addPoints(curve, {0, 1e6f}, {0, 1e6f}, {0, 1e6f});
        chart.update();
    }
    const std::map<QString, float> spacings = {{QStringLiteral("spacing zero"), 0.0f},
                                               {QStringLiteral("spacing negative"), -5.0f},
                                               {QStringLiteral("spacing nan"), NaN},
                                               {QStringLiteral("spacing inf"), Inf},
                                               {QStringLiteral("spacing 1e-30 over 1e6"), 1e-30f}};
    const float spacing = spacings.count(kind) ? spacings.at(kind) : 250000.0f;
    const int fontSize = is("font size 0") ? 0 : is("font size 10000") ? 10000 : -1;
    for (DAxis* axis : chart.axes) {
        chart.setSpacings(axis, spacing, spacing, spacing);
        if (is("range nan"))
            chart.setRange(axis, NaN, Inf);
        if (fontSize >= 0)
            axis->style->font->size = fontSize;
    }
    if (fontSize >= 0)
        chart.graphic->style->font->size = fontSize;
    if (is("million character title"))
        chart.graphic->title = QString(1000000, QLatin1Char('W'));
    if (is("nan view angles"))
        chart.graphic->elevation = chart.graphic->azimuth = NaN;

    QImage image(320, 220, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    DChartPainter painter;
    painter.size = is("painter size 0") ? 0 : is("painter size huge") ? 1000000 : 100;
    painter.draw(p, rect, chart.graphic);
    painter.draw(p, rect, nullptr);
    p.end();
    // Nothing is drawn outside the rectangle given (none at all for an empty one).
    const QRect inside = rect.width() > 0 && rect.height() > 0 ? rect : QRect();
    QCOMPARE(countPixels(image, QRect(inside.right() + 1, 0, 320, 220), isInk), 0);
    QCOMPARE(countPixels(image, QRect(0, inside.bottom() + 1, 320, 220), isInk), 0);
}

void TestChart::styleRoundTrip_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("fill");
    QTest::addColumn<bool>("pen");
    QTest::addColumn<bool>("markers");
    QTest::newRow("everything set") << 12 << true << true << true;
    QTest::newRow("no colours") << 9 << false << false << false;
    QTest::newRow("pen only") << 30 << false << true << true;
    QTest::newRow("fill only") << 1 << true << false << false;
}

void TestChart::styleRoundTrip()
{
    QFETCH(int, size);
    QFETCH(bool, fill);
    QFETCH(bool, pen);
    QFETCH(bool, markers);
    auto original = makeStyle(QStringLiteral("Curve 3"), size, fill, pen, markers);
    std::unique_ptr<QARes> node(DStyleSerialize::styleToResources("sty_curve_4", original.get()));
    QVERIFY(node);
    QCOMPARE(node->tag(), QStringLiteral("sty_curve_4"));
    // Through the text form and back, into a style that starts out different everywhere.
    std::unique_ptr<QARes> read(QARes::fromXml(node->toXml(), false));
    QVERIFY(read && read->toResGroup());
    auto target = makeStyle(QStringLiteral("Curve 3"), 77, !fill, !pen, !markers);
    DStyleSerialize::styleFromResources(read->toResGroup(), target.get());
    QCOMPARE(describe(*target), describe(*original));
}

void TestChart::partialAndForeignNodesLeaveTheRest()
{
    auto style = makeStyle(QStringLiteral("X Axis"), 11, true, true, false);
    const QString before = describe(*style);
    QAResGroup group(QStringLiteral("sty_axis_x"));
    group.addChild(new QAResString(QStringLiteral("font_size"), QStringLiteral("not a number")));
    group.addChild(new QAResBoolean(QStringLiteral("font_family"), true)); // wrong kind
    group.addChild(new QAResString(QStringLiteral("fill_color"), QStringLiteral("red")));
    group.addChild(new QAResBoolean(QStringLiteral("pen_color"), true)); // only false means none
    group.addChild(new QAResString(QStringLiteral("name"), QString()));
    auto* foreign = new QAResGroup(QStringLiteral("unknown"));
    foreign->addChild(new QAResString(QStringLiteral("font_size"), QStringLiteral("99")));
    group.addChild(foreign);
    DStyleSerialize::styleFromResources(&group, style.get());
    QCOMPARE(describe(*style), before);

    // A partial node changes exactly what it holds.
    QAResGroup partial(QStringLiteral("sty_axis_x"));
    partial.addChild(new QAResString(QStringLiteral("font_size"), QStringLiteral(" 15 ")));
    partial.addChild(new QAResBoolean(QStringLiteral("fill_color"), false));
    DStyleSerialize::styleFromResources(&partial, style.get());
    QCOMPARE(style->font->size, 15);
    QVERIFY(!style->fillColor);
    QCOMPARE(style->font->family, QStringLiteral("Sans"));
    QVERIFY(style->penColor);

    // A style without a font gets one from a node that has font data.
    DStyle bare(QStringLiteral("b"), nullptr, nullptr, nullptr, false);
    DStyleSerialize::styleFromResources(&partial, &bare);
    QVERIFY(bare.font);
    QCOMPARE(bare.font->size, 15);
    DStyleSerialize::styleFromResources(nullptr, &bare);
    DStyleSerialize::styleFromResources(&partial, nullptr);
    QVERIFY(!DStyleSerialize::styleToResources("x", nullptr));
}

void TestChart::editorStoreWritesWorkingCopy()
{
    auto first = makeStyle(QStringLiteral("Graphic"), 10, false, false, false);
    auto second = makeStyle(QStringLiteral("Curve 0"), 12, true, true, false);
    const QString firstBefore = describe(*first);
    DStyleView view(QStringList{QStringLiteral("Sans"), QStringLiteral("Serif")});
    view.load({first.get(), second.get()});
    view.setStyleNameTranslation({{QStringLiteral("Graphic"), QStringLiteral("Grafik")}});
    auto* list = view.findChild<QListWidget*>(QStringLiteral("styleList"));
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Grafik"));
    QCOMPARE(list->item(1)->text(), QStringLiteral("Curve 0"));

    auto* sizeBox = view.findChild<QSpinBox*>(QStringLiteral("sizeBox"));
    view.setCurrentStyle(1);
    sizeBox->setValue(20);
    view.findChild<QComboBox*>(QStringLiteral("familyBox"))
        ->setCurrentText(QStringLiteral("Serif"));
    QTest::mouseClick(view.findChild<QCheckBox*>(QStringLiteral("markersBox")), Qt::LeftButton);
    view.findChild<QAColorButton*>(QStringLiteral("fillButton"))->setColor(QColor(), true);
    view.findChild<QAColorButton*>(QStringLiteral("penButton"))->setColor(QColor(9, 8, 7), true);
    // Switching styles keeps the edits of the one left; nothing is written before the store.
    view.setCurrentStyle(0);
    QCOMPARE(sizeBox->value(), 10);
    view.setCurrentStyle(1);
    QCOMPARE(sizeBox->value(), 20);
    QCOMPARE(second->font->size, 12);
    view.store();
    QCOMPARE(describe(*second), QStringLiteral("Curve 0|Serif|20|75|none|#090807|1"));
    QCOMPARE(describe(*first), firstBefore);
    // The editor keeps editing copies: later edits wait for the next store, loading drops them.
    sizeBox->setValue(30);
    QCOMPARE(second->font->size, 20);
    view.load({second.get(), nullptr});
    view.setCurrentStyle(0);
    QCOMPARE(sizeBox->value(), 20);
    view.store();
    QCOMPARE(second->font->size, 20);
}

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
