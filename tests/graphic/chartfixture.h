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
        QList<DAxis*> axes;
        DItem** end = &g->firstChild; // where the next item is linked
        for (int a = 0; a < (g->is3D() ? 3 : 2); ++a) {
            const QString id(QChar('x' + a));
            *end = axes.emplaceBack(new DAxis(id, QString(), id.toUpper(), g, nullptr));
            end = &(*end)->next;
        }
        for (int c = 0; c < curves.size(); ++c) {
            DStyle* style = styles.value(c);
            auto* curve =
                new DCurve(DCurve::Line, QStringLiteral("curve %1").arg(c), g, style, nullptr);
            *end = curve;
            end = &curve->next;
            DItem** point = &curve->firstChild;
            for (const QVector3D& v : curves.at(c)) {
                auto* p = new DPoint(curve, style);
                for (int a = 0; a < axes.size(); ++a)
                    p->addCoord(axes[a], v[a]);
                *point = p;
                point = &p->next;
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
};
