#pragma once

#include <QPointF>
#include <QRectF>

#include <cstddef>
#include <cstdint>
#include <vector>

class DCurve;
class DCurveReducer;
class DItem;
class DPoint;

// Data units to device pixels for a 2-D plot: X grows to the right, Y upwards.
struct DPlotMap
{
    double left = 0.0, xMin = 0.0, xScale = 1.0; // pixels per X unit
    double bottom = 0.0, yMin = 0.0, yScale = 1.0;

    QPointF operator()(double x, double y) const
    {
        return QPointF(left + (x - xMin) * xScale, bottom - (y - yMin) * yScale);
    }
    QPointF toData(const QPointF& at) const
    {
        return QPointF(xMin + (at.x() - left) / xScale, yMin + (bottom - at.y()) / yScale);
    }
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

    explicit DCurveSummary(const DCurve& curve);

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
    const DPoint* nearest(const DPlotMap& map, const QRectF& clip, const QPointF& at,
                          double radius, double& distance, std::size_t& index) const;

    std::size_t items() const { return itemCount; }
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
    };

    static Block merge(const Block* children, std::size_t n);
    void feedBlock(std::size_t level, std::size_t index, const DPlotMap& map, const QRectF& clip,
                   DCurveReducer& reducer) const;
    void nearestIn(std::size_t level, std::size_t index, const DPlotMap& map,
                   const QRectF& clip, const QPointF& at, double& best, const DPoint*& found,
                   std::size_t& foundIndex) const;
    QRectF deviceBox(const Block& b, const DPlotMap& map) const;

    std::vector<std::vector<Block>> levels; // levels[0] holds the leaves
    std::size_t itemCount = 0;
    std::uint64_t serialNumber;
};
