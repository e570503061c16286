#include "host/chart/dchartpainter.h"

#include "host/chart/dchartpass_p.h"
#include "host/chart/ditem.h"

#include <QPainter>
#include <QRect>

void DChartPainter::draw(QPainter& painter, const QRect& rect, DGraphic* graphic)
{
    if (!graphic || !painter.isActive() || rect.width() <= 0 || rect.height() <= 0)
        return;
    DChartPass(painter, rect, *graphic, size).run();
}
