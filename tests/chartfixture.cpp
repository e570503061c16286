#include "tests/chartfixture.h"

#include "host/chart/dchartpainter.h"

#include <QPainter>

#include <utility>

ChartFixture::ChartFixture(int type, const QString& title)
    : graphic(new DGraphic(title, type, QString(), nullptr, nullptr, nullptr))
{
    graphic->style = style(Qt::black);
    graphic->style->fillColor = new DColor(255, 255, 255);
}

void ChartFixture::link(DItem* item)
{
    (lastChild ? lastChild->next : graphic->firstChild) = item;
    lastChild = item;
}

void ChartFixture::addAxes(int count, float min, float max, const QStringList& names)
{
    for (int i = 0; i < count; ++i) {
        const QString id(QLatin1Char(char('x' + i)));
        auto* axis =
            new DAxis(id, QString(), names.value(i, id.toUpper()), graphic, style(Qt::black));
        link(axis);
        axes.push_back(axis);
        if (min < max)
            setRange(axis, min, max);
    }
}

DCurve* ChartFixture::addCurve(const QString& name, const QColor& color)
{
    auto* curve = new DCurve(DCurve::Line, name, graphic, style(color), nullptr);
    link(curve);
    return curve;
}

void ChartFixture::addPoints(DCurve* curve, const std::vector<float>& xs,
                             const std::vector<float>& ys, const std::vector<float>& zs)
{
    DItem** end = &curve->firstChild;
    while (*end)
        end = &(*end)->next;
    for (std::size_t i = 0; i < xs.size() && i < ys.size(); ++i) {
        auto* point = new DPoint(curve, nullptr);
        point->addCoord(axes.at(0), xs[i]);
        point->addCoord(axes.at(1), ys[i]);
        if (axes.size() > 2 && i < zs.size())
            point->addCoord(axes[2], zs[i]);
        *end = point;
        end = &point->next;
    }
}

DCurve* ChartFixture::addSeries(const QString& name, const std::vector<float>& values)
{
    DCurve* curve = addCurve(name);
    std::vector<float> counts(values.size());
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = float(i);
    if (axes.size() > 2)
        addPoints(curve, counts, counts, values);
    else
        addPoints(curve, counts, values);
    return curve;
}

DStyle* ChartFixture::style(const QColor& pen, int fontSize)
{
    const auto channel = [](int c) { return static_cast<unsigned char>(c); };
    styles.push_back(std::make_unique<DStyle>(
        QStringLiteral("s"), new DFont(QString(), fontSize, 0), nullptr,
        new DColor(channel(pen.red()), channel(pen.green()), channel(pen.blue())), false));
    return styles.back().get();
}

void ChartFixture::setSpacings(DAxis* axis, float grid, float units, float dots)
{
    axis->setProperty(DAxis::GridSpacing, grid);
    axis->setProperty(DAxis::UnitSpacing, units);
    axis->setProperty(DAxis::DotSpacing, dots);
}

void ChartFixture::setRange(DAxis* axis, float min, float max)
{
    axis->setProperty(DAxis::RangeMin, min);
    axis->setProperty(DAxis::RangeMax, max);
}

QImage ChartFixture::paint(const QSize& size, int painterSize, const QRect* target) const
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    DChartPainter painter;
    painter.size = painterSize;
    painter.draw(p, target ? *target : QRect(QPoint(0, 0), size), graphic);
    strips = painter.strips();
    return image;
}

DGraphic* ChartFixture::make(int type, const QList<QList<QVector3D>>& curves,
                             const QList<DStyle*>& styles, DStyle* graphicStyle)
{
    ChartFixture chart(type, QStringLiteral("Chart")); // its own styles go, so none stays in use
    chart.graphic->style = graphicStyle;
    chart.addAxes(chart.graphic->is3D() ? 3 : 2);
    for (DAxis* axis : chart.axes)
        axis->style = nullptr;
    for (int c = 0; c < curves.size(); ++c) {
        DCurve* curve = chart.addCurve(QStringLiteral("curve %1").arg(c));
        curve->style = styles.value(c);
        std::vector<float> coords[3];
        for (const QVector3D& v : curves.at(c))
            for (int a = 0; a < 3; ++a)
                coords[a].push_back(v[a]);
        chart.addPoints(curve, coords[0], coords[1], coords[2]);
        for (DItem* point = curve->firstChild; point; point = point->next)
            point->style = curve->style;
    }
    return std::exchange(chart.graphic, nullptr);
}
