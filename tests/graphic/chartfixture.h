#pragma once

#include "host/chart/ditem.h"

#include <QList>
#include <QVector3D>

// Builds small chart descriptions the way the viewer does: axes first, then the curves.
class ChartFixture
{
public:
    // A chart of `type` with X, Y (and for 3-D types Z) axes and one curve per entry of
    // `curves`, drawn in the matching style of `styles` (null when missing).
    static DGraphic* make(int type, const QList<QList<QVector3D>>& curves,
                          const QList<DStyle*>& styles = {}, DStyle* graphicStyle = nullptr)
    {
        auto* g =
            new DGraphic(QStringLiteral("Chart"), type, QString(), nullptr, graphicStyle, nullptr);
        const bool threeD = g->is3D();
        auto* x = new DAxis(QStringLiteral("x"), QString(), QStringLiteral("X"), g, nullptr);
        auto* y = new DAxis(QStringLiteral("y"), QString(), QStringLiteral("Y"), g, nullptr);
        DAxis* z = threeD
                       ? new DAxis(QStringLiteral("z"), QString(), QStringLiteral("Z"), g, nullptr)
                       : nullptr;
        DItem* last = append(g, nullptr, x);
        last = append(g, last, y);
        if (z)
            last = append(g, last, z);
        for (int c = 0; c < curves.size(); ++c) {
            DStyle* style = c < styles.size() ? styles.at(c) : nullptr;
            auto* curve =
                new DCurve(DCurve::Line, QStringLiteral("curve %1").arg(c), g, style, nullptr);
            last = append(g, last, curve);
            DItem* lastPoint = nullptr;
            for (const QVector3D& v : curves.at(c)) {
                auto* point = new DPoint(curve, style);
                point->addCoord(x, v.x());
                point->addCoord(y, v.y());
                if (z)
                    point->addCoord(z, v.z());
                lastPoint = append(curve, lastPoint, point);
            }
        }
        return g;
    }

    static DAxis* axis(DGraphic* g, int index)
    {
        int i = 0;
        for (DItem* item = g->firstChild; item; item = item->next) {
            if (item->toAxis() && i++ == index)
                return item->toAxis();
        }
        return nullptr;
    }

private:
    static DItem* append(DItem* parent, DItem* last, DItem* item)
    {
        if (last)
            last->next = item;
        else
            parent->firstChild = item;
        return item;
    }
};
