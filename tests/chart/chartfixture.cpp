#include "chartfixture.h"

#include "host/chart/dchartpainter.h"
#include "host/chart/dupdater.h"

#include <QPainter>

ChartFixture::ChartFixture(int type, const QString& title)
    : graphic(new DGraphic(title, type, QString(), nullptr, nullptr, nullptr))
{
    graphic->style = style(Qt::black);
    graphic->style->fillColor = new DColor(255, 255, 255);
}

ChartFixture::~ChartFixture()
{
    delete graphic;
}

DAxis* ChartFixture::addAxis(const QString& id)
{
    auto* axis = new DAxis(id, QString(), id.toUpper(), graphic, style(Qt::black));
    if (lastChild)
        lastChild->next = axis;
    else
        graphic->firstChild = axis;
    lastChild = axis;
    axes.push_back(axis);
    return axis;
}

DCurve* ChartFixture::addCurve(const QString& name, const QColor& color)
{
    auto* curve = new DCurve(DCurve::Line, name, graphic, style(color), nullptr);
    if (lastChild)
        lastChild->next = curve;
    else
        graphic->firstChild = curve;
    lastChild = curve;
    return curve;
}

void ChartFixture::addPoints(DCurve* curve, const std::vector<float>& xs,
                             const std::vector<float>& ys, const std::vector<float>& zs)
{
    DItem* last = curve->firstChild;
    while (last && last->next)
        last = last->next;
    for (std::size_t i = 0; i < xs.size() && i < ys.size(); ++i) {
        auto* point = new DPoint(curve, nullptr);
        point->addCoord(axes.at(0), xs[i]);
        point->addCoord(axes.at(1), ys[i]);
        if (axes.size() > 2 && i < zs.size())
            point->addCoord(axes[2], zs[i]);
        if (last)
            last->next = point;
        else
            curve->firstChild = point;
        last = point;
    }
}

DStyle* ChartFixture::style(const QColor& pen, int fontSize)
{
    styles.push_back(std::make_unique<DStyle>(
        QStringLiteral("s"), new DFont(QString(), fontSize, 0), nullptr,
        new DColor(static_cast<unsigned char>(pen.red()), static_cast<unsigned char>(pen.green()),
                   static_cast<unsigned char>(pen.blue())),
        false));
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

void ChartFixture::update()
{
    DUpdater().doItem(graphic);
}

DGraphic* ChartFixture::take()
{
    DGraphic* g = graphic;
    graphic = nullptr;
    return g;
}

QImage ChartFixture::paint(const QSize& size, int painterSize) const
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    DChartPainter painter;
    painter.size = painterSize;
    painter.draw(p, QRect(QPoint(0, 0), size), graphic);
    return image;
}

bool isRed(const QColor& c)
{
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}

bool isGreen(const QColor& c)
{
    return c.green() > 200 && c.red() < 60 && c.blue() < 60;
}

bool isBlue(const QColor& c)
{
    return c.blue() > 200 && c.red() < 60 && c.green() < 60;
}

bool isInk(const QColor& c)
{
    return c.red() < 160 || c.green() < 160 || c.blue() < 160;
}
