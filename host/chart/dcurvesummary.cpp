#include "host/chart/dcurvesummary.h"

#include "host/chart/dcurvereducer.h"
#include "host/chart/ditem.h"

#include <algorithm>
#include <cmath>

namespace {
std::uint64_t nextSerial()
{
    static std::uint64_t made = 0; // chart items live on one thread
    return ++made;
}
} // namespace

DCurveSummary::DCurveSummary(const DCurve& curve, bool zToo) : withZ(zToo)
{
    serialNumber = nextSerial();
    levels.emplace_back();
    for (const DItem* item = curve.firstChild; item; item = item->next)
        take(item, item->toPoint(), true);
    closeLeaf();
    buildLevels(0);
}

namespace {
void widen(DCurveSummary::Extent& e, float v)
{
    if (!std::isfinite(v))
        return;
    e.min = std::min(e.min, v);
    e.max = std::max(e.max, v);
    if (v > 0.0f)
        e.leastPositive = std::min(e.leastPositive, v);
    else
        ++e.nonPositive;
}
} // namespace

void DCurveSummary::countExtents(const DPoint& point, bool add, bool& extremeLost)
{
    for (int slot = 0; slot < (withZ ? 3 : 2); ++slot) {
        const float v = point.coord(slot);
        Extent& e = extents[slot];
        if (add) {
            widen(e, v);
        } else if (std::isfinite(v)) {
            extremeLost = extremeLost || v == e.min || v == e.max || v == e.leastPositive;
            if (v <= 0.0f)
                --e.nonPositive;
        }
    }
}

void DCurveSummary::take(const DItem* item, const DPoint* point, bool counted)
{
    if (!point) {
        takeAt(item, 0.0f, 0.0f, false);
        return;
    }
    const float x = point->coord(0), y = point->coord(1);
    if (counted) {
        widen(extents[0], x);
        widen(extents[1], y);
        if (withZ)
            widen(extents[2], point->coord(2));
    }
    takeAt(item, x, y, true);
}

void DCurveSummary::takeAt(const DItem* item, float x, float y, bool point)
{
    Block& b = open;
    const std::uint32_t at = b.count++;
    ++itemCount;
    if (at == 0) {
        b.first = item;
        b.simple = true;
        b.firstX = x;
        b.firstY = y;
    }
    b.positiveX = b.positiveX && x > 0.0f;
    b.positiveY = b.positiveY && y > 0.0f;
    if (!point || !std::isfinite(x) || !std::isfinite(y)) {
        b.simple = false; // only ever walked point by point
    } else if (!seeded) {
        b.xMin = b.xMax = b.lowX = b.highX = x;
        b.lowY = b.highY = y;
        lowAt = highAt = at;
        seeded = true;
    } else {
        b.xMin = std::min(b.xMin, x);
        b.xMax = std::max(b.xMax, x);
        if (y < b.lowY) {
            b.lowX = x;
            b.lowY = y;
            lowAt = at;
        } else if (y > b.highY) {
            b.highX = x;
            b.highY = y;
            highAt = at;
        }
    }
    b.lastX = x;
    b.lastY = y;
    if (b.count == std::uint32_t(Leaf))
        closeLeaf();
}

void DCurveSummary::closeLeaf()
{
    Block& b = open;
    if (b.count == 0)
        return;
    b.simple = b.simple && seeded;
    b.lowFirst = lowAt <= highAt;
    levels[0].push_back(b);
    b = Block();
    seeded = false;
}

void DCurveSummary::buildLevels(std::size_t changed)
{
    std::size_t level = 0;
    while (levels[level].size() > std::size_t(Fanout)) {
        changed /= Fanout;
        if (level + 1 == levels.size())
            levels.emplace_back();
        const std::vector<Block>& below = levels[level];
        std::vector<Block>& above = levels[level + 1];
        // Blocks before `changed` cover unchanged blocks only.
        above.resize(std::min(changed, above.size()));
        above.reserve(below.size() / Fanout + 1);
        for (std::size_t i = above.size() * Fanout; i < below.size(); i += Fanout)
            above.push_back(merge(&below[i], std::min<std::size_t>(Fanout, below.size() - i)));
        ++level;
    }
    levels.resize(level + 1);
}

const DItem* DCurveSummary::itemAt(std::size_t index) const
{
    if (index >= itemCount)
        return nullptr;
    const DItem* item = levels[0][index / Leaf].first;
    for (std::size_t i = index % Leaf; i > 0 && item; --i)
        item = item->next;
    return item;
}

bool DCurveSummary::describes(const DCurve& curve, bool zToo) const
{
    if (withZ != zToo)
        return false;
    if (itemCount == 0)
        return !curve.firstChild;
    if (levels[0].front().first != curve.firstChild)
        return false;
    const DItem* last = itemAt(itemCount - 1);
    return last && !last->next;
}

DCurveSummary::Builder::Builder(DCurve& target, std::size_t keep, bool zToo)
    : curve(target), summary(std::move(target.summary))
{
    if (!summary || !summary->describes(curve, zToo))
        summary = std::make_unique<DCurveSummary>(curve, zToo);
    DCurveSummary& s = *summary;
    keep = std::min(keep, s.itemCount);
    // Drop the items from `keep` on, taking their coordinates out of the extents.
    last = keep > 0 ? const_cast<DItem*>(s.itemAt(keep - 1)) : nullptr;
    DItem* dropped = last ? last->next : curve.firstChild;
    (last ? last->next : curve.firstChild) = nullptr;
    while (dropped) {
        DItem* item = dropped;
        dropped = item->next;
        item->next = nullptr;
        if (const DPoint* point = item->toPoint())
            s.countExtents(*point, false, extremeLost);
        delete item;
    }
    // The leaf holding `keep` is summarised again from its start.
    changed = keep / Leaf;
    const DItem* again = changed < s.levels[0].size() ? s.levels[0][changed].first : nullptr;
    s.levels[0].resize(changed);
    s.itemCount = changed * Leaf;
    s.open = Block();
    s.seeded = false;
    for (std::size_t i = s.itemCount; i < keep; ++i, again = again->next)
        s.take(again, again->toPoint(), false);
}

DCurveSummary::Builder::~Builder()
{
    DCurveSummary& s = *summary;
    s.closeLeaf();
    s.buildLevels(changed);
    if (extremeLost) {
        for (int slot = 0; slot < 3; ++slot)
            s.extents[slot] = Extent();
        for (const DItem* item = curve.firstChild; item; item = item->next) {
            if (const DPoint* point = item->toPoint())
                s.countExtents(*point, true, extremeLost);
        }
    }
    s.serialNumber = nextSerial();
    curve.summary = std::move(summary);
}

DPoint* DCurveSummary::Builder::append(float x, float y)
{
    auto* point = new DPoint(&curve, x, y);
    (last ? last->next : curve.firstChild) = point;
    last = point;
    return point;
}

void DCurveSummary::Builder::add(float x, float y)
{
    DCurveSummary& s = *summary;
    const DPoint* point = append(x, y);
    widen(s.extents[0], x);
    widen(s.extents[1], y);
    s.takeAt(point, x, y, true);
}

void DCurveSummary::Builder::add(float x, float y, float z)
{
    DPoint* point = append(x, y);
    point->setCoord(2, z);
    summary->take(point, point, true);
}

DCurveSummary::Block DCurveSummary::merge(const Block* children, std::size_t n)
{
    Block b = children[0];
    std::size_t lowChild = 0, highChild = 0;
    for (std::size_t i = 1; i < n; ++i) {
        const Block& c = children[i];
        b.count += c.count;
        b.simple = b.simple && c.simple;
        b.positiveX = b.positiveX && c.positiveX;
        b.positiveY = b.positiveY && c.positiveY;
        b.xMin = std::min(b.xMin, c.xMin);
        b.xMax = std::max(b.xMax, c.xMax);
        if (c.lowY < b.lowY) {
            b.lowX = c.lowX;
            b.lowY = c.lowY;
            lowChild = i;
        }
        if (c.highY > b.highY) {
            b.highX = c.highX;
            b.highY = c.highY;
            highChild = i;
        }
        b.lastX = c.lastX;
        b.lastY = c.lastY;
    }
    b.lowFirst = lowChild == highChild ? children[lowChild].lowFirst : lowChild < highChild;
    return b;
}

QRectF DCurveSummary::deviceBox(const Block& b, const DPlotMap& map) const
{
    const QPointF a = map(b.xMin, b.highY);
    const QPointF c = map(b.xMax, b.lowY);
    return QRectF(a, c);
}

void DCurveSummary::feed(const DPlotMap& map, const QRectF& clip, DCurveReducer& reducer) const
{
    if (levels.empty())
        return;
    const std::size_t top = levels.size() - 1;
    for (std::size_t i = 0; i < levels[top].size(); ++i)
        feedBlock(top, i, map, clip, reducer);
}

namespace {
// Pixels: a leaf this narrow has some hundred points per column.
constexpr double DenseLeafWidth = 1.0 / 16;

// Whether `box` lies wholly outside `clip`. Not QRectF::intersects(): that finds a box of no
// width or height (a block of one point or of one X) outside everywhere.
bool outside(const QRectF& box, const QRectF& clip)
{
    return box.right() < clip.left() || box.left() > clip.right() || box.bottom() < clip.top()
           || box.top() > clip.bottom();
}
} // namespace

void DCurveSummary::feedBlock(std::size_t level, std::size_t index, const DPlotMap& map,
                              const QRectF& clip, DCurveReducer& reducer) const
{
    const Block& b = levels[level][index];
    // Every point of such a block maps to a break, and breaks in a row are one.
    if (b.simple && ((map.logY && b.highY <= 0.0f) || (map.logX && b.xMax <= 0.0f))) {
        reducer.breakLine();
        return;
    }
    if (whole(b, map)) {
        // The extremes' Y serve the box and the line: each is mapped once, as on a logarithmic
        // axis that is most of a block's cost.
        const double highY = map.deviceY(b.highY), lowY = map.deviceY(b.lowY);
        const QRectF box(QPointF(map.deviceX(b.xMin), highY), QPointF(map.deviceX(b.xMax), lowY));
        // Segments between points of the block stay inside its box: outside the clip only the
        // lines into and out of it can show.
        const bool hidden = outside(box, clip);
        // A leaf across two columns but far narrower than a pixel draws as its extremes, each
        // in its own column: with that many points per column both spans cover the line between
        // them, and walking its points (cache misses along the chain) is most of a drawing's cost.
        const bool oneColumn = std::floor(box.left()) == std::floor(box.right());
        if (hidden || oneColumn || (level == 0 && box.width() < DenseLeafWidth)) {
            reducer.add(map.deviceX(b.firstX), map.deviceY(b.firstY));
            if (!hidden) {
                const double lowX = map.deviceX(b.lowX), highX = map.deviceX(b.highX);
                if (b.lowFirst) {
                    reducer.add(lowX, lowY);
                    reducer.add(highX, highY);
                } else {
                    reducer.add(highX, highY);
                    reducer.add(lowX, lowY);
                }
            }
            reducer.add(map.deviceX(b.lastX), map.deviceY(b.lastY));
            return;
        }
    }
    if (level > 0) {
        const std::vector<Block>& below = levels[level - 1];
        const std::size_t end = std::min(below.size(), (index + 1) * Fanout);
        for (std::size_t i = index * Fanout; i < end; ++i)
            feedBlock(level - 1, i, map, clip, reducer);
        return;
    }
    const DItem* item = b.first;
    for (std::uint32_t i = 0; i < b.count && item; ++i, item = item->next) {
        if (const DPoint* point = item->toPoint()) {
            const QPointF at = map(point->coord(0), point->coord(1));
            reducer.add(at.x(), at.y());
        }
    }
}

const DPoint* DCurveSummary::pointAt(std::size_t index) const
{
    const DItem* item = itemAt(index);
    return item ? item->toPoint() : nullptr;
}

const DPoint* DCurveSummary::nearest(const DPlotMap& map, const QRectF& clip, const QPointF& at,
                                     double radius, double& distance, std::size_t& index) const
{
    double best = radius * radius;
    const DPoint* found = nullptr;
    if (!levels.empty()) {
        const std::size_t top = levels.size() - 1;
        for (std::size_t i = 0; i < levels[top].size(); ++i)
            nearestIn(top, i, map, clip, at, best, found, index);
    }
    distance = std::sqrt(best);
    return found;
}

void DCurveSummary::nearestIn(std::size_t level, std::size_t index, const DPlotMap& map,
                              const QRectF& clip, const QPointF& at, double& best,
                              const DPoint*& found, std::size_t& foundIndex) const
{
    const Block& b = levels[level][index];
    if (whole(b, map)) {
        const QRectF box = deviceBox(b, map);
        if (outside(box, clip))
            return;
        const double dx = std::max({box.left() - at.x(), 0.0, at.x() - box.right()});
        const double dy = std::max({box.top() - at.y(), 0.0, at.y() - box.bottom()});
        if (dx * dx + dy * dy > best)
            return;
    }
    if (level > 0) {
        const std::size_t end = std::min(levels[level - 1].size(), (index + 1) * Fanout);
        for (std::size_t i = index * Fanout; i < end; ++i)
            nearestIn(level - 1, i, map, clip, at, best, found, foundIndex);
        return;
    }
    const DItem* item = b.first;
    const std::size_t start = index * Leaf;
    for (std::uint32_t i = 0; i < b.count && item; ++i, item = item->next) {
        const DPoint* point = item->toPoint();
        if (!point)
            continue;
        const QPointF p = map(point->coord(0), point->coord(1));
        if (!clip.contains(p))
            continue; // not drawn; NaN fails too
        const double d = (p.x() - at.x()) * (p.x() - at.x()) + (p.y() - at.y()) * (p.y() - at.y());
        if (d < best) {
            best = d;
            found = point;
            foundIndex = start + i;
        }
    }
}

std::size_t DCurveSummary::bytes() const
{
    std::size_t n = sizeof(*this);
    for (const std::vector<Block>& level : levels)
        n += level.capacity() * sizeof(Block);
    return n;
}
