#include "host/chart/dchartpass_p.h"

#include "host/chart/dchartpainter.h"
#include "host/chart/dstyle.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Text that long is cut before measuring: no line holds more glyphs than it has pixels.
constexpr int SlackCharacters = 16;
// Largest text drawn, in pixels: bigger fonts only slow the glyph cache down.
constexpr double MaxTextPixels = 2000.0;

QString oneLine(QString text)
{
    for (QChar& c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    }
    return text;
}

// Below this height a strip labels only the ends of its range.
constexpr double CompactStrip = 40.0;

} // namespace

DCurveSummary::Extent extentOf(const DCurve& curve, int slot)
{
    if (curve.summary)
        return curve.summary->extent(slot);
    return DCurveSummary(curve).extent(slot);
}

QColor DChartPass::gridColor(const QColor& pen)
{
    QColor c = pen;
    c.setAlpha(70);
    return c;
}

DChartPass::DChartPass(QPainter& painter, const QRect& rect, const DGraphic& chart, int size,
                       DPreviewSample* previewFrame)
    : p(painter), area(rect), graphic(chart), preview(previewFrame)
{
    scale = std::clamp(size, 0, 1000) / 100.0;
    gap = std::round(6.0 * scale);
    mark = std::round(3.0 * scale);
    penWidth = std::round(scale); // 0 is a hairline
    const QPaintDevice* device = p.device();
    dpi = device && device->logicalDpiY() > 0 ? device->logicalDpiY() : 96.0;
}

DChartPass::Look DChartPass::lookOf(const DStyle* style) const
{
    Look look;
    int points = 10;
    if (style) {
        if (style->font) {
            points = style->font->size;
            if (!style->font->family.isEmpty())
                look.font.setFamily(style->font->family);
            if (style->font->weight > 0)
                look.font.setWeight(QFont::Weight(std::clamp(style->font->weight, 1, 1000)));
        }
        if (style->penColor)
            look.pen = style->penColor->toQColor();
        if (style->fillColor)
            look.fill = style->fillColor->toQColor();
        look.markers = style->markers;
    }
    const double pixels = std::min({points * dpi / 72.0, MaxTextPixels, area.height()});
    if (points > 0 && pixels >= 1.0) {
        look.font.setPixelSize(int(pixels));
        look.hasText = true;
        look.lineHeight = QFontMetricsF(look.font, p.device()).height();
    }
    return look;
}

QString DChartPass::fitted(const QString& text, const Look& look, double width) const
{
    if (!look.hasText || width < 1.0)
        return QString();
    const QString cut = oneLine(text.left(int(std::min(width, 1e6)) + SlackCharacters));
    return QFontMetricsF(look.font, p.device()).elidedText(cut, Qt::ElideRight, width);
}

void DChartPass::drawText(const Look& look, const QRectF& box, int flags, const QString& text)
{
    if (!look.hasText || text.isEmpty())
        return;
    p.setFont(look.font);
    p.setPen(look.pen);
    p.drawText(box, flags | Qt::TextDontClip | Qt::TextSingleLine, text);
}

bool DChartPass::claim(std::vector<QRectF>& taken, const QRectF& box) const
{
    const QRectF spaced = box.adjusted(-gap / 2, -gap / 2, gap / 2, gap / 2);
    for (const QRectF& other : taken) {
        if (other.intersects(spaced))
            return false;
    }
    taken.push_back(box);
    return true;
}

void DChartPass::run()
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRect(area, Qt::IntersectClip);
    const Look look = lookOf(graphic.style);
    if (look.fill.isValid())
        p.fillRect(area, look.fill);
    area.adjust(gap, gap, -gap, -gap);

    const bool viewed = graphic.view.isSet() && !graphic.is3D();
    for (const DItem* child = graphic.firstChild; child; child = child->next) {
        if (const DAxis* axis = child->toAxis()) {
            if (axes.size() == 3)
                continue;
            Axis a;
            a.item = axis;
            a.look = lookOf(axis->style);
            a.scale = DAxisScale(axis);
            a.title = axis->unit().isEmpty()
                          ? axis->name()
                          : QStringLiteral("%1 [%2]").arg(axis->name(), axis->unit());
            if (viewed && axes.size() < 2) {
                const QRectF& r = graphic.view.rect;
                a.scale = axes.empty() ? DAxisScale(r.left(), r.right())
                                       : DAxisScale(r.top(), r.bottom());
                for (int i = 0; i < 3; ++i)
                    a.viewSpacing[i] = graphic.view.spacing[axes.size()][i];
            }
            axes.push_back(a);
        } else if (const DCurve* curve = child->toCurve()) {
            curves.push_back(curve);
        }
    }

    drawTitle();
    if (graphic.legendMode == DGraphic::LegendShown)
        drawLegend();
    if (area.width() >= 2 && area.height() >= 2 && axes.size() >= 2) {
        if (graphic.is3D() && axes.size() == 3)
            draw3D();
        else
            draw2D();
    }
    p.restore();
}

void DChartPass::drawTitle()
{
    const Look look = lookOf(graphic.style);
    for (const QString& text : {graphic.title, graphic.subtitle}) {
        const QString line = fitted(text, look, area.width());
        if (line.isEmpty())
            continue;
        drawText(look, QRectF(area.left(), area.top(), area.width(), look.lineHeight),
                 Qt::AlignHCenter | Qt::AlignTop, line);
        area.setTop(area.top() + look.lineHeight);
    }
    if (area.top() > area.bottom())
        area.setTop(area.bottom());
    else if (!graphic.title.isEmpty() || !graphic.subtitle.isEmpty())
        area.setTop(std::min(area.bottom(), area.top() + gap));
}

void DChartPass::drawLegend()
{
    if (curves.empty())
        return;
    const double sample = std::max(8.0, 24.0 * scale);
    std::vector<Look> looks;
    double nameWidth = 0.0;
    for (const DCurve* curve : curves) {
        looks.push_back(lookOf(curve->style));
        const QString name = fitted(curve->name, looks.back(), area.width() / 3);
        if (looks.back().hasText)
            nameWidth = std::max(
                nameWidth, QFontMetricsF(looks.back().font, p.device()).horizontalAdvance(name));
    }
    const double width = std::min(nameWidth + sample + 3 * gap, area.width() / 3);
    if (width < sample + 2 * gap)
        return;
    const double left = area.right() - width;
    double y = area.top();
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const Look& look = looks[i];
        const double height = std::max({look.lineHeight, 2 * mark + 1, 4.0});
        if (y + height > area.bottom())
            break;
        const QRectF entry(left, y, width, height);
        if (look.fill.isValid())
            p.fillRect(entry, look.fill);
        const double middle = std::floor(y + height / 2);
        p.setPen(QPen(look.pen, std::max(penWidth, 1.0)));
        p.drawLine(QPointF(left + gap, middle), QPointF(left + gap + sample, middle));
        if (look.markers)
            drawMarks({QPointF(left + gap + sample / 2, middle)}, look.pen, mark);
        const double textLeft = left + 2 * gap + sample;
        drawText(look, QRectF(textLeft, y, entry.right() - textLeft, height),
                 Qt::AlignLeft | Qt::AlignVCenter,
                 fitted(curves[i]->name, look, entry.right() - textLeft));
        y += height + gap / 2;
    }
    area.setRight(left - gap);
}

void DChartPass::strokeLines(DCurveReducer& reducer, const QColor& color)
{
    QPen pen(color, penWidth);
    pen.setCapStyle(Qt::SquareCap); // a line shorter than a pixel still shows as a dot
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    for (const QPolygonF& line : reducer.lines()) {
        if (line.size() == 1)
            p.drawPoint(line.first());
        else
            p.drawPolyline(line);
    }
}

void DChartPass::drawMarks(const std::vector<QPointF>& points, const QColor& color, double radius)
{
    const double side = 2 * radius + 1;
    for (const QPointF& at : points)
        p.fillRect(QRectF(std::floor(at.x()) - radius, std::floor(at.y()) - radius, side, side),
                   color);
}

DChartPass::PixelSet::PixelSet(const QRectF& rect)
    : left(int(std::floor(rect.left()))), top(int(std::floor(rect.top()))),
      width(std::max(0, int(std::ceil(rect.width())) + 1)),
      height(std::max(0, int(std::ceil(rect.height())) + 1)), bits(std::size_t(width) * height)
{
}

bool DChartPass::PixelSet::insert(const QPointF& at)
{
    if (!(at.x() >= left && at.y() >= top && at.x() < left + width && at.y() < top + height))
        return false;
    const std::size_t i = std::size_t(int(at.y()) - top) * width + std::size_t(int(at.x()) - left);
    if (bits[i])
        return false;
    bits[i] = true;
    return true;
}

void DChartPass::makeLog(Axis& axis, double viewLow, double viewHigh) const
{
    axis.viewSpacing = {};
    if (graphic.view.isSet() && viewLow > 0.0) {
        axis.scale = DAxisScale(viewLow, viewHigh, true);
        return;
    }
    double low = 0.0, high = 0.0;
    axis.drawable = DChartPainter::logRange(curves, axis.item->index(), low, high);
    axis.scale = DAxisScale(low, high, true);
}

std::vector<DChartPass::Strip> DChartPass::makeStrips(const Axis& y)
{
    const DView& view = graphic.view;
    std::vector<Strip> strips;
    if (!graphic.stacked || curves.empty()) {
        Strip all{y, curves, 0, QRectF()};
        if (graphic.logY)
            makeLog(all.y, view.rect.top(), view.rect.bottom());
        strips.push_back(all);
        return strips;
    }
    for (std::size_t i = 0; i < curves.size(); ++i) {
        Strip strip{y, {curves[i]}, int(i), QRectF()};
        Axis& a = strip.y;
        a.item = nullptr; // the configured steps belong to the unstacked chart
        a.title = curves[i]->name;
        a.viewSpacing = {};
        double low = 0.0, high = 0.0;
        a.drawable = DChartPainter::stripRange(*curves[i], graphic.logY, low, high);
        if (i < view.strips.size() && view.strips[i].isSet()) {
            const DStrip& set = view.strips[i];
            if (!graphic.logY || set.low > 0.0) {
                low = set.low;
                high = set.high;
            }
            for (int k = 0; k < 3; ++k)
                a.viewSpacing[k] = set.spacing[k];
        }
        a.scale = DAxisScale(low, high, graphic.logY);
        strips.push_back(strip);
    }
    return strips;
}

void DChartPass::draw2D()
{
    Axis x = axes[0];
    if (graphic.logX)
        makeLog(x, graphic.view.rect.left(), graphic.view.rect.right());
    const Axis& y = axes[1];
    std::vector<Strip> strips = makeStrips(y);
    const double xLabelHeight = x.look.hasText ? x.look.lineHeight : 0.0;
    const double xNameHeight = x.title.isEmpty() ? 0.0 : xLabelHeight;
    bool titled = false;
    for (const Strip& strip : strips)
        titled = titled || !strip.y.title.isEmpty();
    const double yNameWidth = y.look.hasText && titled ? y.look.lineHeight : 0.0;

    QRectF plot = area;
    plot.setTop(area.top() + std::ceil(y.look.lineHeight / 2));
    plot.setBottom(area.bottom() - mark - gap / 2 - xLabelHeight
                   - (xNameHeight > 0 ? gap / 2 + xNameHeight : 0.0));
    plot.setTop(std::round(plot.top()));
    plot.setBottom(std::round(plot.bottom()));
    if (plot.height() < 2)
        return;

    // Strips share the height evenly; the gap between them shrinks with many strips.
    const double n = double(strips.size());
    const double between = n > 1 ? std::min(gap, std::floor(plot.height() / n / 4)) : 0.0;
    const double each = (plot.height() - (n - 1) * between) / n;
    for (std::size_t i = 0; i < strips.size(); ++i) {
        const double top = plot.top() + double(i) * (each + between);
        strips[i].rect.setTop(std::round(top));
        strips[i].rect.setBottom(std::round(top + each));
        strips[i].y.compact = graphic.stacked && each < CompactStrip;
    }

    // The widest Y label decides where the plot starts.
    double yLabelWidth = 0.0;
    const QFontMetricsF yMetrics(y.look.font, p.device());
    const double yRoom = 1.5 * y.look.lineHeight;
    for (const Strip& strip : strips) {
        if (!y.look.hasText || !strip.y.drawable)
            continue;
        const double yUnits = strip.y.scale.isLog() ? 0.0 : strip.y.spacing(DAxis::UnitSpacing);
        forEachMark(strip.y, DAxis::UnitSpacing, strip.rect.height(), yRoom, [&](double v, double) {
            yLabelWidth =
                std::max(yLabelWidth, yMetrics.horizontalAdvance(DAxisScale::label(v, yUnits)));
        });
    }
    yLabelWidth = std::min(yLabelWidth, area.width() / 3);
    double lastXLabel = 0.0;
    const double xUnits = x.scale.isLog() ? 0.0 : x.spacing(DAxis::UnitSpacing);
    if (x.look.hasText
        && (x.scale.isLog() || xUnits > 0.0 || x.item->hasProperty(DAxis::UnitSpacing)))
        lastXLabel = QFontMetricsF(x.look.font, p.device())
                         .horizontalAdvance(DAxisScale::label(x.scale.max(), xUnits));
    plot.setLeft(std::round(area.left() + yNameWidth + (yNameWidth > 0 ? gap / 2 : 0.0)
                            + yLabelWidth + gap / 2 + mark));
    plot.setRight(std::round(area.right() - std::min(lastXLabel / 2, area.width() / 4)));
    if (plot.width() < 2)
        return;
    for (Strip& strip : strips) {
        strip.rect.setLeft(plot.left());
        strip.rect.setRight(plot.right());
    }

    if (x.look.fill.isValid())
        p.fillRect(QRectF(plot.left(), plot.bottom(), plot.width(), area.bottom() - plot.bottom()),
                   x.look.fill);
    if (y.look.fill.isValid())
        p.fillRect(QRectF(area.left(), plot.top(), plot.left() - area.left(), plot.height()),
                   y.look.fill);
    drawnPlot = plot;
    if (!x.drawable) {
        drawNoPositive(x.look, plot);
        return;
    }
    draw2DXAxis(x, plot, strips);
    std::vector<QRectF> taken; // labels of all strips: none covers another
    for (const Strip& strip : strips) {
        if (!graphic.stacked)
            taken.clear();
        if (strip.y.drawable)
            draw2DYAxis(strip.y, strip.rect, yLabelWidth, taken);
        else
            drawNoPositive(strip.y.look, strip.rect);
        draw2DCurves(x, strip);
    }
    drawnMap = drawnStrips.front().map;
}

void DChartPass::drawNoPositive(const Look& look, const QRectF& rect)
{
    const QString text = fitted(DChartPainter::noPositiveText(), look, rect.width());
    drawText(look, rect, Qt::AlignCenter, text);
}

void DChartPass::draw2DXAxis(const Axis& axis, const QRectF& plot, const std::vector<Strip>& strips)
{
    auto at = [&](double value) {
        return std::round(plot.left() + axis.scale.fraction(value) * plot.width());
    };
    const double room = 4 * axis.look.lineHeight;
    p.setPen(QPen(gridColor(axis.look.pen), penWidth));
    forEachMark(axis, DAxis::GridSpacing, plot.width(), room, [&](double v, double) {
        for (const Strip& strip : strips)
            p.drawLine(QPointF(at(v), strip.rect.top()), QPointF(at(v), strip.rect.bottom()));
    });
    p.setPen(QPen(axis.look.pen, penWidth));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    std::vector<QPointF> dots;
    forEachMark(axis, DAxis::DotSpacing, plot.width(), room, [&](double v, double) {
        dots.emplace_back(at(v), plot.bottom() - std::max(1.0, mark));
    });
    drawMarks(dots, axis.look.pen, std::floor(mark / 3));
    const QFontMetricsF metrics(axis.look.font, p.device());
    std::vector<QRectF> taken;
    forEachMark(axis, DAxis::UnitSpacing, plot.width(), room, [&](double v, double units) {
        const double px = at(v);
        const QString text = DAxisScale::label(v, units);
        const double w = axis.look.hasText ? metrics.horizontalAdvance(text) : 0.0;
        const QRectF box(px - w / 2, plot.bottom() + mark + gap / 2, w, axis.look.lineHeight);
        if (!claim(taken, box))
            return;
        p.setPen(QPen(axis.look.pen, penWidth));
        p.drawLine(QPointF(px, plot.bottom()), QPointF(px, plot.bottom() + mark));
        drawText(axis.look, box, Qt::AlignCenter, text);
    });
    const double nameTop = plot.bottom() + mark + gap + axis.look.lineHeight;
    drawText(axis.look, QRectF(plot.left(), nameTop, plot.width(), axis.look.lineHeight),
             Qt::AlignHCenter | Qt::AlignTop, fitted(axis.title, axis.look, plot.width()));
}

void DChartPass::draw2DYAxis(const Axis& axis, const QRectF& plot, double labelWidth,
                             std::vector<QRectF>& taken)
{
    auto at = [&](double value) {
        return std::round(plot.bottom() - axis.scale.fraction(value) * plot.height());
    };
    const double room = 1.5 * axis.look.lineHeight;
    p.setPen(QPen(gridColor(axis.look.pen), penWidth));
    forEachMark(axis, DAxis::GridSpacing, plot.height(), room, [&](double v, double) {
        p.drawLine(QPointF(plot.left(), at(v)), QPointF(plot.right(), at(v)));
    });
    p.setPen(QPen(axis.look.pen, penWidth));
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    std::vector<QPointF> dots;
    forEachMark(axis, DAxis::DotSpacing, plot.height(), room, [&](double v, double) {
        dots.emplace_back(plot.left() + std::max(1.0, mark), at(v));
    });
    drawMarks(dots, axis.look.pen, std::floor(mark / 3));
    const double right = plot.left() - mark - gap / 2;
    forEachMark(axis, DAxis::UnitSpacing, plot.height(), room, [&](double v, double units) {
        const double py = at(v);
        double top = py - axis.look.lineHeight / 2;
        if (axis.compact) // the ends' labels stay inside their strip
            top = std::max(plot.top(), std::min(top, plot.bottom() - axis.look.lineHeight));
        const QRectF box(right - labelWidth, top, labelWidth, axis.look.lineHeight);
        if (!claim(taken, box))
            return;
        p.setPen(QPen(axis.look.pen, penWidth));
        p.drawLine(QPointF(plot.left() - mark, py), QPointF(plot.left(), py));
        drawText(axis.look, box, Qt::AlignRight | Qt::AlignVCenter,
                 fitted(DAxisScale::label(v, units), axis.look, labelWidth + 1));
    });
    if (!axis.look.hasText || axis.title.isEmpty())
        return;
    if (!axis.item && plot.height() < axis.look.lineHeight)
        return; // a strip too low for its name
    // The name reads upwards along the left edge.
    const QString name = fitted(axis.title, axis.look, plot.height());
    p.save();
    p.translate(area.left(), plot.center().y());
    p.rotate(-90);
    drawText(axis.look, QRectF(-plot.height() / 2, 0, plot.height(), axis.look.lineHeight),
             Qt::AlignHCenter | Qt::AlignTop, name);
    p.restore();
}

void DChartPass::draw2DCurves(const Axis& x, const Strip& strip)
{
    const QRectF& plotArea = strip.rect;
    const Axis& y = strip.y;
    DPlotMap map;
    map.left = plotArea.left();
    map.bottom = plotArea.bottom();
    map.logX = x.scale.isLog();
    map.logY = y.scale.isLog();
    map.xMin = x.scale.axisMin();
    map.yMin = y.scale.axisMin();
    map.xScale = plotArea.width() / (x.scale.axisMax() - x.scale.axisMin());
    map.yScale = plotArea.height() / (y.scale.axisMax() - y.scale.axisMin());
    drawnStrips.push_back({plotArea, map, strip.index});
    if (!y.drawable)
        return;
    const int xSlot = x.item->index();
    const int ySlot = axes[1].item->index();
    auto mapPoint = [&map](float u, float v, float) { return map(u, v); };
    // A view or a strip shows nothing outside its plot; the whole chart keeps its pen's overhang.
    const QRectF clip = graphic.view.isSet() || graphic.stacked
                            ? plotArea.adjusted(0, 0, 1, 1)
                            : plotArea.adjusted(-penWidth, -penWidth, penWidth + 1, penWidth + 1);
    p.save();
    p.setClipRect(clip, Qt::IntersectClip);
    const bool summed = xSlot == 0 && ySlot == 1;
    for (const DCurve* curve : strip.curves) {
        const Look look = lookOf(curve->style);
        DCurveReducer reducer;
        std::vector<QPointF> marks;
        if (look.markers) {
            PixelSet seen(plotArea);
            feedCurve(
                *curve, xSlot, ySlot, -1, mapPoint,
                [&](const QPointF& at) {
                    if (seen.insert(at))
                        marks.push_back(at);
                },
                reducer);
        } else if (summed && curve->summary) {
            curve->summary->feed(map, clip, reducer);
        } else {
            feedCurve(
                *curve, xSlot, ySlot, -1, mapPoint, [](const QPointF&) {}, reducer);
        }
        strokeLines(reducer, look.pen);
        drawMarks(marks, look.pen, mark);
    }
    p.restore();
}
