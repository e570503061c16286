#include "host/chart/dchartpass_p.h"

#include "host/chart/dchartpainter.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using Vec = std::array<double, 3>;

double dot(const Vec& a, const Vec& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

} // namespace

QPointF DChartPass::Box3D::project(const Vec& c) const
{
    return QPointF(cx + k * dot(c, right), cy - k * dot(c, up));
}

void DChartPass::draw3D()
{
    Box3D box;
    if (!fit3D(box))
        return;
    draw3DWalls(box);
    draw3DEdges(box);
    draw3DCurves(box);
}

// An orthographic view of the data box, whose coordinates run from -1 to 1 on every axis,
// scaled into the area with room for the labels. Elevation 0 and azimuth 0 look along X (Y
// across, Z up); azimuth pi/2 looks along Y (X across); elevation pi/2 looks down Z.
bool DChartPass::fit3D(Box3D& box) const
{
    const double elevation = std::isfinite(graphic.elevation) ? graphic.elevation : 0.3;
    const double azimuth = std::isfinite(graphic.azimuth) ? graphic.azimuth : 0.3;
    const double se = std::sin(elevation), ce = std::cos(elevation);
    const double sa = std::sin(azimuth), ca = std::cos(azimuth);
    box.right = {sa, ca, 0.0};
    box.up = {-ca * se, sa * se, ce};
    box.toward = {ca * ce, -sa * ce, se};

    double textHeight = 0.0;
    double labelWidth = 0.0;
    for (const Axis& axis : axes) {
        textHeight = std::max(textHeight, axis.look.lineHeight);
        if (axis.look.hasText)
            labelWidth = std::max(
                labelWidth, QFontMetricsF(axis.look.font, p.device())
                                .horizontalAdvance(DAxisScale::label(
                                    axis.scale.max(), axis.item->property(DAxis::UnitSpacing))));
    }
    const double margin = std::min(gap + mark + std::max(labelWidth, 2 * textHeight),
                                   std::min(area.width(), area.height()) / 4);
    const QRectF inner = area.adjusted(margin, margin, -margin, -margin);
    if (inner.width() < 2 || inner.height() < 2)
        return false;

    double hLow = 1e300, hHigh = -1e300, vLow = 1e300, vHigh = -1e300;
    for (int corner = 0; corner < 8; ++corner) {
        const Vec c{corner & 1 ? 1.0 : -1.0, corner & 2 ? 1.0 : -1.0, corner & 4 ? 1.0 : -1.0};
        hLow = std::min(hLow, dot(c, box.right));
        hHigh = std::max(hHigh, dot(c, box.right));
        vLow = std::min(vLow, dot(c, box.up));
        vHigh = std::max(vHigh, dot(c, box.up));
    }
    box.k = std::min(inner.width() / (hHigh - hLow), inner.height() / (vHigh - vLow));
    box.cx = inner.center().x() - box.k * (hLow + hHigh) / 2;
    box.cy = inner.center().y() + box.k * (vLow + vHigh) / 2;
    return true;
}

// Grid lines on the three walls away from the viewer.
void DChartPass::draw3DWalls(const Box3D& box)
{
    const QPointF centre = box.project({0.0, 0.0, 0.0});
    for (int wall = 0; wall < 3; ++wall) {
        const double far = box.toward[wall] > 0 ? -1.0 : 1.0;
        for (int along = 0; along < 3; ++along) {
            if (along == wall)
                continue;
            const int across = 3 - wall - along;
            const Axis& axis = axes[along];
            Vec unit{0.0, 0.0, 0.0};
            unit[along] = 2.0;
            const QPointF length = box.project(unit) - centre;
            p.setPen(QPen(gridColor(axis.look.pen), penWidth));
            const double reach = std::hypot(length.x(), length.y());
            forEachMultiple(axis, DAxis::GridSpacing, reach, [&](double v, double) {
                Vec a{0.0, 0.0, 0.0};
                a[wall] = far;
                a[along] = normal(along, v);
                Vec b = a;
                a[across] = -1.0;
                b[across] = 1.0;
                p.drawLine(box.project(a), box.project(b));
            });
        }
    }
}

// The box, each edge in the colour of the axis it runs along; units along one edge each.
void DChartPass::draw3DEdges(const Box3D& box)
{
    auto project = [&box](const Vec& c) { return box.project(c); };
    const QPointF centre = project({0.0, 0.0, 0.0});
    for (int along = 0; along < 3; ++along) {
        const Axis& axis = axes[along];
        const int i = (along + 1) % 3;
        const int j = (along + 2) % 3;
        Vec bestA{}, bestB{};
        double best = -1e300;
        p.setPen(QPen(axis.look.pen, penWidth));
        for (int edge = 0; edge < 4; ++edge) {
            Vec a{0.0, 0.0, 0.0};
            a[i] = edge & 1 ? 1.0 : -1.0;
            a[j] = edge & 2 ? 1.0 : -1.0;
            Vec b = a;
            a[along] = -1.0;
            b[along] = 1.0;
            const QPointF pa = project(a), pb = project(b);
            p.drawLine(pa, pb);
            // X and Y are labelled along their lowest edge, Z along its leftmost.
            const QPointF mid = (pa + pb) / 2;
            const double score = along == 2 ? -mid.x() : mid.y();
            if (score > best + 1e-6) {
                best = score;
                bestA = a;
                bestB = b;
            }
        }
        QPointF out = (project(bestA) + project(bestB)) / 2 - centre;
        const double outLength = std::hypot(out.x(), out.y());
        out = outLength > 1e-9 ? out / outLength : QPointF(0.0, 1.0);
        auto onEdge = [&](double value) {
            Vec c = bestA;
            c[along] = normal(along, value);
            return project(c);
        };
        const QPointF edgeVector = project(bestB) - project(bestA);
        const double edgeLength = std::hypot(edgeVector.x(), edgeVector.y());
        std::vector<QPointF> dots;
        forEachMultiple(axis, DAxis::DotSpacing, edgeLength,
                        [&](double v, double) { dots.push_back(onEdge(v)); });
        drawMarks(dots, axis.look.pen, std::floor(mark / 3));
        double extent = 0.0;
        const QFontMetricsF metrics(axis.look.font, p.device());
        std::vector<QRectF> taken;
        forEachMultiple(
            axis, DAxis::UnitSpacing, std::max(edgeLength, 1.0), [&](double v, double units) {
                const QPointF at = onEdge(v);
                const QString text = DAxisScale::label(v, units);
                const double w = axis.look.hasText ? metrics.horizontalAdvance(text) : 0.0;
                const double h = axis.look.lineHeight;
                const double reach = std::abs(out.x()) * w / 2 + std::abs(out.y()) * h / 2;
                const QPointF middle = at + out * (mark + gap / 2 + reach);
                const QRectF label(middle.x() - w / 2, middle.y() - h / 2, w, h);
                if (!claim(taken, label))
                    return;
                extent = std::max(extent, 2 * reach);
                p.setPen(QPen(axis.look.pen, penWidth));
                p.drawLine(at, at + out * mark);
                drawText(axis.look, label, Qt::AlignCenter, text);
            });
        if (axis.look.hasText && !axis.title.isEmpty()) {
            const QString name = fitted(axis.title, axis.look, area.width() / 3);
            const double w = QFontMetricsF(axis.look.font, p.device()).horizontalAdvance(name);
            const double h = axis.look.lineHeight;
            const double reach = std::abs(out.x()) * w / 2 + std::abs(out.y()) * h / 2;
            const QPointF middle =
                (project(bestA) + project(bestB)) / 2 + out * (mark + gap + extent + reach);
            drawText(axis.look, QRectF(middle.x() - w / 2, middle.y() - h / 2, w, h),
                     Qt::AlignCenter, name);
        }
    }
}

// The curves: their shadows on the floor first, then the curves over them.
void DChartPass::draw3DCurves(const Box3D& box)
{
    const int sx = axes[0].item->index(), sy = axes[1].item->index(), sz = axes[2].item->index();
    const bool points = graphic.type == DGraphic::Points3D;
    long long stride = 1;
    if (preview) {
        long long total = 0;
        for (const DCurve* curve : curves)
            total += curve->summary ? static_cast<long long>(curve->summary->items()) : 0;
        stride = std::max(1LL, (total + PreviewPoints - 1) / PreviewPoints);
    }
    auto map = [&](bool floor) {
        return [&, floor](float x, float y, float z) {
            return box.project({normal(0, x), normal(1, y), floor ? -1.0 : normal(2, z)});
        };
    };
    // A preview walks each chain once and keeps its sample for the shadow, the curve and the
    // next frames.
    std::vector<std::uint64_t> serials;
    for (const DCurve* curve : curves)
        serials.push_back(curve->summary ? curve->summary->serial() : 0);
    if (stride > 1 && (preview->summaries != serials || preview->stride != stride)) {
        preview->summaries = serials;
        preview->stride = stride;
        preview->points.assign(curves.size(), {});
        for (std::size_t c = 0; c < curves.size(); ++c) {
            auto& kept = preview->points[c];
            if (curves[c]->summary)
                kept.reserve(curves[c]->summary->items() / std::size_t(stride) + 1);
            long long skip = 0; // counts down: a division per point costs more than the walk
            for (const DItem* item = curves[c]->firstChild; item; item = item->next) {
                __builtin_prefetch(reinterpret_cast<const char*>(item) + 16 * DPointPool::SlotSize);
                if (skip-- > 0)
                    continue;
                skip = stride - 1;
                if (const DPoint* point = item->toPoint())
                    kept.push_back({point->coord(sx), point->coord(sy), point->coord(sz)});
            }
        }
    }
    static const std::vector<std::vector<std::array<float, 3>>> none;
    const auto& samples = stride > 1 ? preview->points : none;
    for (int pass = graphic.projection ? 0 : 1; pass < 2; ++pass) {
        const bool shadow = pass == 0;
        for (std::size_t c = 0; c < curves.size(); ++c) {
            const Look look = lookOf(curves[c]->style);
            QColor color = look.pen;
            if (shadow)
                color.setAlpha(60);
            DCurveReducer reducer;
            std::vector<QPointF> marks;
            PixelSet seen(area);
            const bool single = points || (look.markers && !shadow);
            const auto visit = [&](const QPointF& at) {
                if (single && seen.insert(at))
                    marks.push_back(at);
            };
            if (samples.empty()) {
                feedCurve(*curves[c], sx, sy, sz, map(shadow), visit, reducer);
            } else {
                const auto project = map(shadow);
                for (const std::array<float, 3>& v : samples[c]) {
                    const QPointF at = project(v[0], v[1], v[2]);
                    reducer.add(at.x(), at.y());
                    visit(at);
                }
            }
            if (points) {
                drawMarks(marks, color, std::floor(mark / 3));
                continue;
            }
            strokeLines(reducer, color);
            if (!shadow)
                drawMarks(marks, color, mark);
        }
    }
}
