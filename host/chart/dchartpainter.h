#pragma once

class DGraphic;
class QPainter;
class QRect;

// Paints a chart description into a rectangle. Font sizes are read from the styles at each draw.
class DChartPainter
{
public:
    // Percent scale of pen widths, marks and gaps (100: as designed). The overview pane scales
    // it together with the fonts; 0 or less draws hairlines without gaps.
    int size = 100;

    DChartPainter() = default;
    virtual ~DChartPainter() = default;

    // Lays out `graphic` in `rect` and paints it. Null graphic or an empty rect draws nothing.
    virtual void draw(QPainter& painter, const QRect& rect, DGraphic* graphic);
};
