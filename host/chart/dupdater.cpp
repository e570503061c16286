#include "host/chart/dupdater.h"

#include "host/chart/dcurvesummary.h"
#include "host/chart/ditem.h"

#include <cmath>
#include <limits>
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
    struct Range
    {
        float min = std::numeric_limits<float>::infinity();
        float max = -std::numeric_limits<float>::infinity();
    };
    Range ranges[DPoint::MaxCoords];
    std::vector<DAxis*> axes;
    std::vector<DCurve*> curves;
    for (DItem* child = graphic->firstChild; child; child = child->next) {
        if (DAxis* axis = child->toAxis())
            axes.push_back(axis);
        else if (DCurve* curve = child->toCurve())
            curves.push_back(curve);
    }
    for (DCurve* curve : curves) {
        for (DItem* child = curve->firstChild; child; child = child->next) {
            const DPoint* point = child->toPoint();
            if (!point)
                continue;
            for (int slot = 0; slot < DPoint::MaxCoords; ++slot) {
                const float v = point->coord(slot);
                if (!std::isfinite(v))
                    continue;
                Range& r = ranges[slot];
                if (v < r.min)
                    r.min = v;
                if (v > r.max)
                    r.max = v;
            }
        }
    }
    // The summary that a 2-D drawing walks instead of every point; 3-D counts on it too.
    for (DCurve* curve : curves)
        curve->summary = std::make_unique<const DCurveSummary>(*curve);
    for (DAxis* axis : axes) {
        const int slot = axis->index();
        const bool known =
            slot >= 0 && slot < DPoint::MaxCoords && ranges[slot].min <= ranges[slot].max;
        if (known) {
            axis->setProperty(DAxis::RangeMin, ranges[slot].min);
            axis->setProperty(DAxis::RangeMax, ranges[slot].max);
        } else {
            axis->removeProperty(DAxis::RangeMin);
            axis->removeProperty(DAxis::RangeMax);
        }
    }
}
