// The host operations: what a studio without a user (the command line) asks of the window.
#include "viewer/qagvzviewer.h"

#include "viewer/qagvzitem.h"
#include "graphic/qagvzgraphic.h"
#include "host/chart/dchartpainter.h"
#include "host/studio/qalistview.h"

#include <QHash>
#include <QSet>

bool QAGVZViewer::drawChart(QPainter& painter, const QRect& rect) const
{
    if (!graphic->graphic)
        return false;
    DChartPainter chartPainter;
    chartPainter.draw(painter, rect, graphic->graphic);
    return true;
}

QList<QAStViewerWindow::CurveInfo> QAGVZViewer::curveList() const
{
    QList<CurveInfo> curves;
    const int rows = listView->topLevelItemCount();
    curves.reserve(rows);
    for (int i = 0; i < rows; ++i) {
        const QAGVZItem* row = rowAt(i);
        curves.append({curveName(row), row->text(1), row->text(2), row->text(3)});
    }
    return curves;
}

bool QAGVZViewer::setChartType(ChartType type)
{
    setGraphicType(GraphicType(type));
    return true;
}

bool QAGVZViewer::setScales(const Scales& scales)
{
    if (graphicType == XYZGraphic || (scales.logX && graphicType != XYGraphic))
        return false;
    graphic->setScales(scales.stacked, scales.logX, scales.logY);
    return true;
}

bool QAGVZViewer::setCurveRoles(const CurveRoles& roles)
{
    if (!unknownCurveNames(roles.names()).isEmpty())
        return false;
    const auto nameSet = [](const std::optional<QStringList>& names) {
        return names ? QSet<QString>(names->cbegin(), names->cend()) : QSet<QString>();
    };
    const QSet<QString> time = nameSet(roles.time);
    const QSet<QString> y = nameSet(roles.y);
    const QSet<QString> z = nameSet(roles.z);
    QHash<QString, QAGVZItem*> rowsByName;
    for (int i = 0, rows = listView->topLevelItemCount(); i < rows; ++i) {
        QAGVZItem* row = rowAt(i);
        const QString name = curveName(row);
        rowsByName.insert(name, row);
        if (roles.time)
            row->setDisplayIfTime(time.contains(name));
        if (roles.y)
            row->setDisplayAsY(y.contains(name));
        if (roles.z)
            row->setDisplayAsZ(z.contains(name));
    }
    if (roles.x) {
        QAGVZItem* row = rowsByName.value(*roles.x);
        if (itemX && itemX != row)
            itemX->setDisplayAsX(false);
        itemX = row;
        row->setDisplayAsX(true);
    }
    if (roles.y && !roles.y->isEmpty() && !(itemY && itemY->displayAsY))
        itemY = rowsByName.value(roles.y->constFirst());
    updateGraphic();
    return true;
}

bool QAGVZViewer::setViewRange(const Range& x, const std::optional<Range>& y)
{
    if (!y)
        return setChartView(x.from, x.to);
    return setChartView(x.from, x.to, std::make_pair(y->from, y->to));
}
