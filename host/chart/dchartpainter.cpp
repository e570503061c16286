#include "host/chart/dchartpainter.h"

#include "host/chart/dchartpass_p.h"
#include "host/chart/ditem.h"

#include <QCoreApplication>
#include <QPainter>
#include <QRect>

#include <algorithm>
#include <limits>

void DChartPainter::draw(QPainter& painter, const QRect& rect, const DGraphic* graphic)
{
    lastPlot = QRectF();
    lastStrips.clear();
    if (!graphic || !painter.isActive() || rect.width() <= 0 || rect.height() <= 0)
        return;
    if (!preview)
        previewSample = DPreviewSample();
    DChartPass pass(painter, rect, *graphic, size, preview ? &previewSample : nullptr);
    pass.run();
    lastPlot = pass.drawnPlot;
    lastMap = pass.drawnMap;
    lastStrips = pass.drawnStrips;
}

bool DChartPainter::stripRange(const DCurve& curve, bool log, double& low, double& high)
{
    const DCurveSummary::Extent e = extentOf(curve, 1);
    if (log) {
        low = e.anyPositive() ? e.leastPositive : 1.0;
        high = e.anyPositive() ? e.max : 1.0;
    } else {
        low = e.any() ? e.min : 0.0;
        high = e.any() ? e.max : 0.0;
    }
    // One value: a unit on each side as the unstacked chart has it, a decade on a log scale.
    const DAxisScale widened(low, high, log);
    low = widened.min();
    high = widened.max();
    return !log || e.anyPositive();
}

bool DChartPainter::logRange(const std::vector<const DCurve*>& curves, int slot, double& low,
                             double& high)
{
    low = std::numeric_limits<double>::infinity();
    high = -low;
    for (const DCurve* curve : curves) {
        const DCurveSummary::Extent e = extentOf(*curve, slot);
        if (e.anyPositive()) {
            low = std::min(low, double(e.leastPositive));
            high = std::max(high, double(e.max));
        }
    }
    const bool any = low <= high;
    const DAxisScale widened(low, high, true);
    low = widened.min();
    high = widened.max();
    return any;
}

QString DChartPainter::noPositiveText()
{
    return QCoreApplication::translate("DChartPainter",
                                       "No positive values to draw on a logarithmic scale");
}
