#pragma once

#include <QPointF>
#include <QRectF>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

class DCurve;
class DCurveReducer;
class DItem;
class DPoint;

// Data units to device pixels for a 2-D plot: X grows to the right, Y upwards. A logarithmic
// axis maps the decimal logarithm (xMin, yMin are then logarithms too); a value at or below
// zero maps to NaN there, which breaks a line.
struct DPlotMap
{
    double left = 0.0, xMin = 0.0, xScale = 1.0; // pixels per X unit
    double bottom = 0.0, yMin = 0.0, yScale = 1.0;
    bool logX = false, logY = false;

    static double toAxis(double v, bool log)
    {
        if (!log)
            return v;
        return v > 0.0 && v <= std::numeric_limits<double>::max()
                   ? decimalLog(v)
                   : std::numeric_limits<double>::quiet_NaN();
    }
    // log10 of a positive finite `v` within 1e-9, computed inline: a drawing takes it for
    // every block it passes, and the library call costs many times more after the raster
    // engine has run (it leaves the vector unit in a state that slows such calls down).
    static double decimalLog(double v)
    {
        // v = m * 2^exponent with m in [1, 2), from the bits (no call); a subnormal is scaled up.
        int bias = 1023;
        if (v < std::numeric_limits<double>::min()) {
            v *= 0x1p54;
            bias += 54;
        }
        std::uint64_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        int exponent = int((bits >> 52) & 0x7ff) - bias;
        bits = (bits & 0x000fffffffffffffULL) | 0x3ff0000000000000ULL;
        double m = 0.0;
        std::memcpy(&m, &bits, sizeof m);
        if (m > 1.4142135623730950) {
            m *= 0.5;
            ++exponent;
        }
        // ln m = 2 atanh(t) with |t| below 0.172: five terms of the series.
        const double t = (m - 1.0) / (m + 1.0), t2 = t * t;
        const double ln = 2.0 * t * (1.0 + t2 * (1.0 / 3 + t2 * (0.2 + t2 * (1.0 / 7 + t2 / 9))));
        return (exponent * 0.69314718055994531 + ln) * 0.43429448190325182;
    }
    static double fromAxis(double a, bool log) { return log ? std::pow(10.0, a) : a; }

    double deviceX(double x) const { return left + (toAxis(x, logX) - xMin) * xScale; }
    double deviceY(double y) const { return bottom - (toAxis(y, logY) - yMin) * yScale; }
    QPointF operator()(double x, double y) const { return QPointF(deviceX(x), deviceY(y)); }
    QPointF toData(const QPointF& at) const
    {
        return QPointF(fromAxis(xMin + (at.x() - left) / xScale, logX),
                       fromAxis(yMin + (bottom - at.y()) / yScale, logY));
    }
};

// One strip of a drawn 2-D chart: its area and how it maps data; `curve` is the place of its
// first curve among the chart's curves.
struct DPlotStrip
{
    QRectF area;
    DPlotMap map;
    int curve = 0;
};

// A few levels of summaries of a curve's points (coordinate slots 0 and 1): per block of
// consecutive points their extent, first, lowest, highest and last point in order, whether a
// non-finite coordinate breaks the line there, and the block's first item. A drawing then costs
// in proportion to the pixels it covers, whatever the number of points, and a view may start
// anywhere in the chain. It takes about 2 bytes per point, beside the 48 of the point itself.
class DCurveSummary
{
public:
    static constexpr int Leaf = 32;   // chain items per block of the first level
    static constexpr int Fanout = 16; // blocks per block of the next level

    // The finite values of one coordinate slot of all points.
    struct Extent
    {
        float min = std::numeric_limits<float>::infinity();
        float max = -std::numeric_limits<float>::infinity();
        float leastPositive = std::numeric_limits<float>::infinity(); // infinity: none
        std::size_t nonPositive = 0; // how many are at or below zero

        bool any() const { return min <= max; }
        bool anyPositive() const { return leastPositive <= max; }
    };

    // Summarises the points of `curve`; with `withZ` the extent of slot 2 as well (3-D charts).
    explicit DCurveSummary(const DCurve& curve, bool withZ = false);

    class Builder;

    // Feeds `reducer` the same picture as all points mapped through `map` would give inside
    // `clip` (device pixels), within a pixel: a block within one pixel column (or narrower than
    // one) gives its first, lowest, highest and last point, a block outside `clip` its first
    // and last, others are looked into.
    void feed(const DPlotMap& map, const QRectF& clip, DCurveReducer& reducer) const;
    // The point at `index` in the chain (the sample number of a time chart); null past the end
    // or where the item is not a point.
    const DPoint* pointAt(std::size_t index) const;
    // The point nearest to `at` among those drawn inside `clip`, within `radius` pixels;
    // null when none. `distance` gets its distance and `index` its place in the chain.
    const DPoint* nearest(const DPlotMap& map, const QRectF& clip, const QPointF& at, double radius,
                          double& distance, std::size_t& index) const;

    // The item at `index` in the chain, null past the end.
    const DItem* itemAt(std::size_t index) const;
    // Whether the summary still describes `curve`: made from its chain as it is now (same first
    // item, same length; a change of coordinates in place goes unnoticed), with the extent of
    // slot 2 when `withZ`.
    bool describes(const DCurve& curve, bool withZ) const;

    std::size_t items() const { return itemCount; }
    // Slot 0 (X), 1 (Y) or 2 (Z; empty unless made with it).
    const Extent& extent(int slot) const { return extents[slot < 0 || slot > 2 ? 1 : slot]; }
    // Unique in the process: tells a summary from a later one made at the same address.
    std::uint64_t serial() const { return serialNumber; }
    std::size_t bytes() const;

private:
    struct Block
    {
        const DItem* first = nullptr;
        float xMin = 0, xMax = 0;
        float firstX = 0, firstY = 0, lowX = 0, lowY = 0, highX = 0, highY = 0, lastX = 0,
              lastY = 0;
        std::uint32_t count = 0; // chain items covered
        bool lowFirst = true;    // the lowest point comes before the highest
        bool simple = false;     // at least one point, every coordinate finite
        // Every X (Y) is above zero: a logarithmic axis may use the block as a whole.
        bool positiveX = true, positiveY = true;
    };

    // Whether `b` may be drawn or searched as a whole under `map`.
    static bool whole(const Block& b, const DPlotMap& map)
    {
        return b.simple && (!map.logX || b.positiveX) && (!map.logY || b.positiveY);
    }

    static Block merge(const Block* children, std::size_t n);
    DCurveSummary() = default;
    // Adds the next item of the chain to the open leaf; its coordinates count in the extents
    // when `counted` (an item summarised again after a change behind it counts already).
    void take(const DItem* item, const DPoint* point, bool counted);
    // take() of an item with these coordinates (`point` false: not a point), extents aside.
    void takeAt(const DItem* item, float x, float y, bool point);
    void closeLeaf();
    // Makes the levels above the leaves again from leaf `changed` on.
    void buildLevels(std::size_t changed);
    void countExtents(const DPoint& point, bool add, bool& extremeLost);
    void feedBlock(std::size_t level, std::size_t index, const DPlotMap& map, const QRectF& clip,
                   DCurveReducer& reducer) const;
    void nearestIn(std::size_t level, std::size_t index, const DPlotMap& map, const QRectF& clip,
                   const QPointF& at, double& best, const DPoint*& found,
                   std::size_t& foundIndex) const;
    QRectF deviceBox(const Block& b, const DPlotMap& map) const;

    std::vector<std::vector<Block>> levels; // levels[0] holds the leaves
    std::size_t itemCount = 0;
    Extent extents[3];
    bool withZ = false;
    std::uint64_t serialNumber = 0;
    // The leaf being filled while the summary is made.
    Block open;
    bool seeded = false; // the open leaf has a finite point
    std::uint32_t lowAt = 0, highAt = 0;
};

// Appends points to a curve and keeps its summary as it goes: one pass instead of a walk over
// millions of points afterwards. It may first drop the points from `keep` on (those of a line
// read again), at a cost in proportion to what changes, not to the curve. When it ends, the curve
// holds the summary of all its points with a new serial, and DUpdater::doItem() takes it as is.
class DCurveSummary::Builder
{
public:
    // `curve` keeps its first `keep` points (all when it has fewer).
    Builder(DCurve& curve, std::size_t keep, bool withZ = false);
    ~Builder();
    Builder(const Builder&) = delete;
    Builder& operator=(const Builder&) = delete;

    void add(float x, float y);
    void add(float x, float y, float z);
    // Points in the curve so far.
    std::size_t count() const { return summary->itemCount; }

private:
    DPoint* append(float x, float y);

    DCurve& curve;
    std::unique_ptr<DCurveSummary> summary;
    DItem* last = nullptr;    // the chain's last item
    std::size_t changed;      // first leaf whose blocks above are made again
    bool extremeLost = false; // a dropped point held an extent's end: count again at the end
};
