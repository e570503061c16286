#pragma once

#include <QRectF>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class DAxis;
class DCurve;
class DCurveSummary;
class DGraphic;
class DPoint;
class DStyle;

// A node of a chart description. The links are public: builders set them directly.
// An item owns the chain of children that starts at `firstChild` (not its own siblings);
// deleting an item deletes that subtree, iteratively, whatever its size.
// The constructor records `parent` but links nothing: the builder links items itself.
// Chart items are made, read and destroyed on one thread at a time.
class DItem
{
public:
    DItem(DItem* parentItem, DStyle* itemStyle) : parent(parentItem), style(itemStyle) {}
    virtual ~DItem();
    DItem(const DItem&) = delete;
    DItem& operator=(const DItem&) = delete;

    // casts: the item itself when it is of that kind, null otherwise
    virtual DAxis* toAxis() { return nullptr; }
    virtual DCurve* toCurve() { return nullptr; }
    virtual DPoint* toPoint() { return nullptr; }
    virtual DGraphic* toGraphic() { return nullptr; }
    virtual const DAxis* toAxis() const { return nullptr; }
    virtual const DCurve* toCurve() const { return nullptr; }
    virtual const DPoint* toPoint() const { return nullptr; }
    virtual const DGraphic* toGraphic() const { return nullptr; }

    DItem* firstChild = nullptr; // owned, with its sibling chain
    DItem* next = nullptr;       // owned by the parent's chain
    DItem* parent = nullptr;     // not owned
    DStyle* style = nullptr;     // not owned; null draws with the engine's defaults
};

// The Y range of one strip of a stacked chart, in data units, and the spacings that suit it.
struct DStrip
{
    double low = 0.0; // low below high, else the strip fits its curve
    double high = 0.0;
    float spacing[3] = {}; // grid, unit, dot; 0 draws none

    bool isSet() const { return low < high; }
};

// The part of a 2-D chart that is drawn, in data units, and the axis spacings that suit it.
struct DView
{
    // X from rect.left() to rect.right(), Y from rect.top() to rect.bottom() (not flipped).
    // Not valid (the default): the axes' whole ranges with their own spacings.
    QRectF rect;
    // [0 X, 1 Y][0 grid, 1 unit, 2 dot]; 0 keeps the axis's own property.
    float spacing[2][3] = {};
    // A stacked chart: the strip of each curve in order (missing ones fit their curve). Only
    // X of `rect` applies there.
    std::vector<DStrip> strips;

    bool isSet() const { return rect.isValid(); }
};

// The root of a chart: its children are the axes (first X, then Y, then Z), then the curves.
class DGraphic : public DItem
{
public:
    enum Type { Chart2D = 0, Lines3D = 7, Points3D = 8 };
    enum LegendMode { LegendShown = 2, LegendHidden = 3 };

    // `subtitle` is drawn under the title when not empty; `userData` is the caller's, never read.
    DGraphic(const QString& title, int type, const QString& subtitle, DItem* parent, DStyle* style,
             void* userData);

    DGraphic* toGraphic() override { return this; }
    const DGraphic* toGraphic() const override { return this; }
    bool is3D() const { return type == Lines3D || type == Points3D; }

    QString title;
    QString subtitle;
    int type;
    int legendMode = LegendShown; // LegendShown or LegendHidden; other values hide it
    float elevation = 0.3f;       // radians, unbounded
    float azimuth = 0.3f;         // radians, unbounded
    bool projection = true;       // 3-D: draw each curve's shadow on the floor of the box
    DView view;                   // 2-D only
    // 2-D only: each curve in its own strip with its own Y scale, sharing X; base-10 axes.
    bool stacked = false;
    bool logX = false;
    bool logY = false;
    void* userData;

private:
    friend class DAxis;
    int axisCount = 0; // hands out the coordinate slots of the axes
};

// An axis with a few float properties. Its coordinate slot in the points is the order in which
// the axes of a graphic were constructed: 0 for the first (X), 1 for Y, 2 for Z.
class DAxis : public DItem
{
public:
    enum Property {
        GridSpacing = 2, // distance of grid lines
        UnitSpacing = 3, // distance of unit labels
        DotSpacing = 4,  // distance of dots along the axis
        RangeMin = 5,
        RangeMax = 6
    };

    // `unit`, when not empty, is shown after the name. `graphic` may be null (slot 0).
    DAxis(const QString& id, const QString& unit, const QString& name, DGraphic* graphic,
          DStyle* style);

    DAxis* toAxis() override { return this; }
    const DAxis* toAxis() const override { return this; }

    // getters:
    QString id() const { return axisId; }
    QString unit() const { return axisUnit; }
    QString name() const { return axisName; }
    int index() const { return slot; }

    // Properties outside 2..6 are never set.
    bool hasProperty(Property p) const;
    float property(Property p) const; // 0 when absent
    void setProperty(Property p, float value);
    void removeProperty(Property p);

private:
    static bool valid(Property p) { return p >= GridSpacing && p <= RangeMax; }

    QString axisId;
    QString axisUnit;
    QString axisName;
    int slot;
    std::uint8_t present = 0; // bit p set when property p is set
    float values[RangeMax + 1] = {};
};

class DCurve : public DItem
{
public:
    enum Type { Line = 0 };

    // `userData` is the caller's, never read.
    DCurve(int type, const QString& name, DItem* parent, DStyle* style, void* userData);
    ~DCurve() override;

    DCurve* toCurve() override { return this; }
    const DCurve* toCurve() const override { return this; }

    int type;
    QString name;
    void* userData;
    // Made by DUpdater::doItem from the points then present, or by a DCurveSummary::Builder as
    // it adds them; null before, and after DPoint::addCoord() on one of its points.
    std::unique_ptr<DCurveSummary> summary;
};

// One sample of a curve: a coordinate per axis. Points live in blocks of a pool so that a point
// of a 2-D chart takes 48 bytes; a third coordinate lives in a side table of its block.
// Points are always made with new (the destructor is private) and deleted with their curve.
class DPoint final : public DItem
{
public:
    static constexpr int MaxCoords = 3;

    DPoint(DItem* parent, DStyle* style);
    // A point with X and Y (no style), made inline: charts make millions of them.
    DPoint(DItem* parentItem, float x, float y) : DItem(parentItem, nullptr), xy{x, y} {}

    DPoint* toPoint() override { return this; }
    const DPoint* toPoint() const override { return this; }

    // Sets the coordinate of `axis` (its slot); a null axis or a slot past MaxCoords is ignored.
    // The parent curve's summary is dropped: the next DUpdater::doItem() makes it again.
    void addCoord(DAxis* axis, float value);
    // Sets the coordinate in `slot` and nothing else (a slot outside 0..MaxCoords-1 is ignored):
    // for DCurveSummary::Builder, which keeps the summary itself.
    void setCoord(int slot, float value);
    // The coordinate in `slot`, NaN when never set.
    float coord(int slot) const { return slot == 0 || slot == 1 ? xy[slot] : extraCoord(slot); }
    float coord(const DAxis* axis) const { return axis ? coord(axis->index()) : nanValue(); }

    static void* operator new(std::size_t size);
    static void operator delete(void* p);

private:
    ~DPoint() override;

    static float nanValue();
    float extraCoord(int slot) const; // a coordinate past the first two, from the block's table

    float xy[2];
};
