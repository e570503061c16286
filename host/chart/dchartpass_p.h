#pragma once

#include "host/chart/daxisscale.h"
#include "host/chart/dcurvereducer.h"
#include "host/chart/dcurvesummary.h"
#include "host/chart/ditem.h"
#include "host/chart/dpointpool.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>

#include <array>
#include <vector>

struct DPreviewSample;
class DAxis;
class DCurve;
class DGraphic;
class DStyle;
class QPainter;

// One draw of a chart: the layout and painting state of DChartPainter::draw.
class DChartPass
{
public:
    // With `preview`, a 3-D chart of more than PreviewPoints points draws every k-th of them,
    // taken from `preview` when it holds them for this chart, else kept there.
    DChartPass(QPainter& painter, const QRect& rect, const DGraphic& graphic, int size,
               DPreviewSample* preview);
    void run();

    static constexpr long long PreviewPoints = 200000;

    // After run: the plot area of a 2-D chart (empty when none was drawn) and its mapping; the
    // strips of a stacked chart (one strip, the plot, otherwise).
    QRectF drawnPlot;
    DPlotMap drawnMap;
    std::vector<DPlotStrip> drawnStrips;

private:
    // How a style draws; texts are off when its font has no usable size.
    struct Look
    {
        QFont font;
        bool hasText = false;
        double lineHeight = 0.0;
        QColor pen = Qt::black;
        QColor fill; // invalid: none
        bool markers = false;
    };
    struct Axis
    {
        const DAxis* item = nullptr; // null: a strip, with its own spacings only
        Look look;
        DAxisScale scale{-1.0, 1.0};
        QString title;                      // name with its unit
        std::array<float, 3> viewSpacing{}; // a 2-D view's grid, unit, dot spacing; 0: none
        bool compact = false; // too low for steps: labels at the ends of a linear range only
        bool drawable = true; // false: a logarithmic axis with no positive value

        // The axis's spacing `property`, a view's when it has one; 0 when there is none.
        double spacing(DAxis::Property property) const
        {
            const float own = viewSpacing[property - DAxis::GridSpacing];
            if (own > 0.0f)
                return own;
            return item && item->hasProperty(property) ? item->property(property) : 0.0;
        }
    };
    // A band of the plot with its own Y axis and the curves drawn against it.
    struct Strip
    {
        Axis y;
        std::vector<const DCurve*> curves;
        int index = 0; // of its first curve among the graphic's curves
        QRectF rect;
    };

    Look lookOf(const DStyle* style) const;
    // Grid lines are a light shade of the axis colour.
    static QColor gridColor(const QColor& pen);
    // `text` on one line, elided to `width`, cheap however long it is.
    QString fitted(const QString& text, const Look& look, double width) const;
    void drawText(const Look& look, const QRectF& box, int flags, const QString& text);
    // Whether `box` is clear of the labels drawn on this axis so far; if so it is taken.
    bool claim(std::vector<QRectF>& taken, const QRectF& box) const;
    // Calls each(value, spacing) for the multiples of the axis's `property` spacing inside its
    // range; nothing when the spacing is absent or would give more marks than `length` pixels.
    template <class Each>
    static void forEachMultiple(const Axis& axis, DAxis::Property property, double length,
                                Each each)
    {
        double first = 0.0;
        double last = 0.0;
        const double spacing = axis.spacing(property);
        if (!axis.scale.multiples(spacing, length, first, last))
            return;
        for (double k = first; k <= last; ++k)
            each(k * spacing, spacing);
    }

    void drawTitle();
    void drawLegend();
    // Draws what `reducer` collected as lines in the look's pen.
    void strokeLines(DCurveReducer& reducer, const QColor& color);
    // Draws a small square at each point, once per pixel.
    void drawMarks(const std::vector<QPointF>& points, const QColor& color, double radius);

    // Pixels of a rectangle, each taken once: points drawn one by one stay bounded by pixels.
    struct PixelSet
    {
        explicit PixelSet(const QRectF& rect);
        // True when `at` lies in the rectangle on a pixel not taken before; takes it.
        bool insert(const QPointF& at);

        int left, top, width, height;
        std::vector<bool> bits;
    };

    // Calls each(value, unit spacing) for the marks of a 2-D axis `length` pixels long whose
    // labels need `room` pixels: the multiples of its spacing, the ends of a compact axis, or
    // the decades of a logarithmic one (no dots there).
    template <class Each>
    static void forEachMark(const Axis& axis, DAxis::Property property, double length, double room,
                            Each each)
    {
        if (!axis.scale.isLog() && !axis.compact) {
            forEachMultiple(axis, property, length, each);
            return;
        }
        if (property == DAxis::DotSpacing || (axis.compact && property == DAxis::GridSpacing))
            return;
        const std::vector<double> marks =
            axis.scale.isLog() ? axis.scale.logMarks(length, room)
                               : std::vector<double>{axis.scale.min(), axis.scale.max()};
        for (const double v : marks)
            each(v, 0.0);
    }

    // Makes `axis` logarithmic: the view's `viewLow`..`viewHigh` when a view is set above zero,
    // else the positive range of the curves' coordinate of `axis`, not drawable when none is.
    void makeLog(Axis& axis, double viewLow, double viewHigh) const;
    std::vector<Strip> makeStrips(const Axis& y);
    void draw2D();
    void draw2DXAxis(const Axis& axis, const QRectF& plot, const std::vector<Strip>& strips);
    void draw2DYAxis(const Axis& axis, const QRectF& plot, double labelWidth,
                     std::vector<QRectF>& taken);
    void draw2DCurves(const Axis& x, const Strip& strip);
    // The text of a plot part that has nothing to draw on its logarithmic scale.
    void drawNoPositive(const Look& look, const QRectF& rect);

    // The data box of a 3-D chart fitted into the area: every coordinate runs from -1 to 1.
    struct Box3D
    {
        std::array<double, 3> right, up, toward; // screen directions in the box
        double k = 1.0, cx = 0.0, cy = 0.0;      // scale and offset onto the screen
        QPointF project(const std::array<double, 3>& c) const;
    };
    void draw3D();
    bool fit3D(Box3D& box) const;
    void draw3DWalls(const Box3D& box);
    void draw3DEdges(const Box3D& box);
    void draw3DCurves(const Box3D& box);
    // `value` of axis `axis` in box coordinates.
    double normal(int axis, double value) const
    {
        return 2.0 * axes[axis].scale.fraction(value) - 1.0;
    }

    QPainter& p;
    QRectF area; // what is left to lay out
    const DGraphic& graphic;
    DPreviewSample* preview;
    double scale; // size setting as a factor
    double gap;   // between laid-out parts
    double mark;  // tick length and marker radius
    double penWidth;
    double dpi;
    std::vector<Axis> axes;
    std::vector<const DCurve*> curves;
};

// The extent of coordinate `slot` (0 X, 1 Y) of `curve`, from its summary (made for the
// occasion when the curve has none).
DCurveSummary::Extent extentOf(const DCurve& curve, int slot);

// Feeds every `stride`-th point of `curve` through `map` (three coordinates to a device point)
// into `reducer`; `visit` sees every mapped point (markers, point charts).
template <class Map, class Visit>
void feedCurve(const DCurve& curve, int slotA, int slotB, int slotC, Map map, Visit visit,
               DCurveReducer& reducer, long long stride = 1)
{
    long long skip = 0;
    for (const DItem* item = curve.firstChild; item; item = item->next) {
        // Points of a curve are mostly consecutive slots of a pool block: fetching a few ahead
        // hides the latency of walking the chain (a wrong guess only costs a wasted fetch).
        // A GCC and Clang built-in; other compilers go without.
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(reinterpret_cast<const char*>(item) + 16 * DPointPool::SlotSize);
#endif
        if (skip-- > 0)
            continue;
        skip = stride - 1;
        const DPoint* point = item->toPoint();
        if (!point)
            continue;
        const QPointF at =
            map(point->coord(slotA), point->coord(slotB), slotC < 0 ? 0.0f : point->coord(slotC));
        reducer.add(at.x(), at.y());
        visit(at);
    }
}
