#pragma once

#include "host/chart/dcurvesummary.h"
#include "host/chart/ditem.h"
#include "host/chart/dstyle.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QStringList>
#include <QVector3D>

#include <memory>
#include <vector>

// Builds chart descriptions the way the viewer does: items linked by hand, styles owned here.
class ChartFixture
{
public:
    explicit ChartFixture(int type = DGraphic::Chart2D, const QString& title = QString());
    ~ChartFixture() { delete graphic; }

    // Axes "x", "y" (and "z"), named X, Y, Z unless `names` says otherwise, fixed to min..max
    // when min < max.
    void addAxes(int count, float min = 0, float max = 0, const QStringList& names = {});
    DCurve* addCurve(const QString& name, const QColor& color = Qt::red);
    // A curve whose i-th point is (i, value) or, with three axes, (i, i, value).
    DCurve* addSeries(const QString& name, const std::vector<float>& values);
    // Appends points; `zs` is used when the chart has a third axis.
    void addPoints(DCurve* curve, const std::vector<float>& xs, const std::vector<float>& ys,
                   const std::vector<float>& zs = {});
    // A style with this pen colour (owned by the fixture).
    DStyle* style(const QColor& pen, int fontSize = 10);
    void setSpacings(DAxis* axis, float grid, float units, float dots);
    void setRange(DAxis* axis, float min, float max);
    // Paints into `target` (the whole image when null) of a white image of `size`; keeps the
    // painter's plot strips in `strips`.
    QImage paint(const QSize& size = QSize(600, 400), int painterSize = 100,
                 const QRect* target = nullptr) const;

    // A chart owned by the caller (a widget takes it over), styled by the caller's styles:
    // axes x, y (and z), then one curve "curve <i>" per entry of `curves` in `styles`' i-th.
    static DGraphic* make(int type, const QList<QList<QVector3D>>& curves,
                          const QList<DStyle*>& styles = {}, DStyle* graphicStyle = nullptr);

    DGraphic* graphic;
    std::vector<DAxis*> axes;
    std::vector<std::unique_ptr<DStyle>> styles;
    mutable std::vector<DPlotStrip> strips;

private:
    void link(DItem* item);
    DItem* lastChild = nullptr;
};

// Pixels of `image` inside `rect` for which `match` holds.
template <class Match> int countPixels(const QImage& image, const QRect& rect, Match match)
{
    int n = 0;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += match(QColor(image.pixel(x, y))) ? 1 : 0;
    return n;
}

// Pure red, green, blue (curve colours drawn opaque); ink: neither white nor a near-white tint.
inline bool isRed(const QColor& c)
{
    return c.red() > 200 && c.green() < 60 && c.blue() < 60;
}
inline bool isGreen(const QColor& c)
{
    return c.green() > 200 && c.red() < 60 && c.blue() < 60;
}
inline bool isBlue(const QColor& c)
{
    return c.blue() > 200 && c.red() < 60 && c.green() < 60;
}
inline bool isInk(const QColor& c)
{
    return c.red() < 160 || c.green() < 160 || c.blue() < 160;
}
