#include "host/chart/dupdater.h"

#include "host/chart/dcurvesummary.h"
#include "host/chart/ditem.h"

#include <algorithm>
#include <vector>

DGraphic* DUpdater::graphicOf(DItem* item)
{
    while (item && !item->toGraphic())
        item = item->parent;
    return item ? item->toGraphic() : nullptr;
}

void DUpdater::doItem(DItem* item)
{
    DGraphic* graphic = graphicOf(item);
    if (!graphic)
        return;
    std::vector<DAxis*> axes;
    std::vector<DCurve*> curves;
    for (DItem* child = graphic->firstChild; child; child = child->next) {
        if (DAxis* axis = child->toAxis())
            axes.push_back(axis);
        else if (DCurve* curve = child->toCurve())
            curves.push_back(curve);
    }
    const bool withZ =
        std::any_of(axes.begin(), axes.end(), [](const DAxis* axis) { return axis->index() == 2; });
    // The summaries that a drawing walks instead of every point hold the ranges too.
    DCurveSummary::Extent ranges[DPoint::MaxCoords];
    for (DCurve* curve : curves) {
        if (!curve->summary || !curve->summary->describes(*curve, withZ))
            curve->summary = std::make_unique<DCurveSummary>(*curve, withZ);
        for (int slot = 0; slot < DPoint::MaxCoords; ++slot) {
            const DCurveSummary::Extent& e = curve->summary->extent(slot);
            ranges[slot].min = std::min(ranges[slot].min, e.min);
            ranges[slot].max = std::max(ranges[slot].max, e.max);
        }
    }
    for (DAxis* axis : axes) {
        const int slot = axis->index();
        const bool known = slot >= 0 && slot < DPoint::MaxCoords && ranges[slot].any();
        if (known) {
            axis->setProperty(DAxis::RangeMin, ranges[slot].min);
            axis->setProperty(DAxis::RangeMax, ranges[slot].max);
        } else {
            axis->removeProperty(DAxis::RangeMin);
            axis->removeProperty(DAxis::RangeMax);
        }
    }
}
