#pragma once

#include "host/chart/dcurvesummary.h"

#include <QRectF>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class DCurve;
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
    // The strips of the last draw, top to bottom: one per curve of a stacked chart, else one.
    const std::vector<DPlotStrip>& strips() const { return lastStrips; }

    // The Y range that the strip of `curve` fits when no view sets it: the curve's finite
    // values (one value widened by 1 each side), on a logarithmic scale its positive ones.
    // False when a logarithmic scale has no positive value to show.
    static bool stripRange(const DCurve& curve, bool log, double& low, double& high);
    // The range of coordinate `slot` (0 X, 1 Y) of `curves` on a logarithmic scale: the least
    // positive to the largest value; false when no value is positive.
    static bool logRange(const std::vector<const DCurve*>& curves, int slot, double& low,
                         double& high);
    // "No positive values to draw on a logarithmic scale", in the chart engine's context.
    static QString noPositiveText();

private:
    QRectF lastPlot;
    DPlotMap lastMap;
    std::vector<DPlotStrip> lastStrips;
    DPreviewSample previewSample; // emptied by a full drawing
};
