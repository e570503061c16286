#include "host/chart/ditem.h"

#include "host/chart/dcurvesummary.h"
#include "host/chart/dpointpool.h"

#include <limits>

static_assert(sizeof(DPoint) <= DPointPool::SlotSize, "a 2-D point must fit its 48-byte slot");

DItem::~DItem()
{
    // Flatten instead of recursing: a curve may hold millions of points in one sibling chain,
    // and a subtree of any depth must not grow the stack. Each item's children are spliced in
    // front of the items still pending before it is deleted childless.
    DItem* pending = firstChild;
    firstChild = nullptr;
    while (pending) {
        DItem* item = pending;
        pending = item->next;
        if (DItem* children = item->firstChild) {
            DItem* last = children;
            while (last->next)
                last = last->next;
            last->next = pending;
            pending = children;
            item->firstChild = nullptr;
        }
        item->next = nullptr;
        delete item;
    }
}

DGraphic::DGraphic(const QString& graphicTitle, int graphicType, const QString& graphicSubtitle,
                   DItem* parentItem, DStyle* graphicStyle, void* data)
    : DItem(parentItem, graphicStyle), title(graphicTitle), subtitle(graphicSubtitle),
      type(graphicType), userData(data)
{
}

DAxis::DAxis(const QString& id, const QString& unit, const QString& name, DGraphic* graphic,
             DStyle* axisStyle)
    : DItem(graphic, axisStyle), axisId(id), axisUnit(unit), axisName(name),
      slot(graphic ? graphic->axisCount++ : 0)
{
}

bool DAxis::hasProperty(Property p) const
{
    return valid(p) && (present & (1u << p));
}

float DAxis::property(Property p) const
{
    return hasProperty(p) ? values[p] : 0.0f;
}

void DAxis::setProperty(Property p, float value)
{
    if (!valid(p))
        return;
    values[p] = value;
    present |= std::uint8_t(1u << p);
}

void DAxis::removeProperty(Property p)
{
    if (valid(p))
        present &= std::uint8_t(~(1u << p));
}

DCurve::DCurve(int curveType, const QString& curveName, DItem* parentItem, DStyle* curveStyle,
               void* data)
    : DItem(parentItem, curveStyle), type(curveType), name(curveName), userData(data)
{
}

DCurve::~DCurve() = default;

DPoint::DPoint(DItem* parentItem, DStyle* pointStyle)
    : DItem(parentItem, pointStyle), xy{nanValue(), nanValue()}
{
}

DPoint::~DPoint() = default;

float DPoint::nanValue()
{
    return std::numeric_limits<float>::quiet_NaN();
}

void DPoint::addCoord(DAxis* axis, float value)
{
    if (!axis)
        return;
    setCoord(axis->index(), value);
    // A summary made before no longer describes the curve.
    if (DCurve* curve = parent ? parent->toCurve() : nullptr)
        curve->summary.reset();
}

void DPoint::setCoord(int slot, float value)
{
    if (slot == 0 || slot == 1)
        xy[slot] = value;
    else if (slot == 2)
        *DPointPool::extra(this, true) = value;
}

float DPoint::extraCoord(int slot) const
{
    if (slot != 2)
        return nanValue();
    const float* third = DPointPool::extra(this, false);
    return third ? *third : nanValue();
}

void* DPoint::operator new(std::size_t)
{
    return DPointPool::allocate();
}

void DPoint::operator delete(void* p)
{
    if (p)
        DPointPool::release(p);
}
