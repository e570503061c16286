#pragma once

#include "host/chart/dcurvesummary.h"

#include <QRectF>

#include <array>
#include <cstdint>
#include <vector>

class DGraphic;
class QPainter;
class QRect;

// The points that the last preview frame of a moving 3-D chart drew, per curve, kept for the
// next frames of the same chart: only the view angles change while it turns.
struct DPreviewSample
{
    std::vector<std::uint64_t> summaries; // serials of the curves' summaries it was taken from
    long long stride = 0;
    std::vector<std::vector<std::array<float, 3>>> points;
};

// Paints a chart description into a rectangle. Font sizes are read from the styles at each draw.
class DChartPainter
{
public:
    // Percent scale of pen widths, marks and gaps (100: as designed). The overview pane scales
    // it together with the fonts; 0 or less draws hairlines without gaps.
    int size = 100;
    // A frame of a moving 3-D chart: above 200,000 points only every k-th point is drawn, with
    // k = ceil(points / 200,000), so that turning stays fluid; a still chart draws them all.
    bool preview = false;

    DChartPainter() = default;
    virtual ~DChartPainter() = default;

    // Lays out `graphic` in `rect` and paints it. Null graphic or an empty rect draws nothing.
    // The chart is only read.
    virtual void draw(QPainter& painter, const QRect& rect, const DGraphic* graphic);

    // The plot area of the last draw of a 2-D chart, in the painter's coordinates, and how it
    // mapped data to them; an empty rectangle when the last draw had none.
    QRectF plotArea() const { return lastPlot; }
    DPlotMap plotMap() const { return lastMap; }

private:
    QRectF lastPlot;
    DPlotMap lastMap;
    DPreviewSample previewSample; // emptied by a full drawing
};
