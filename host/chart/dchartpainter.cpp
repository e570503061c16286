#include "host/chart/dchartpainter.h"

#include "host/chart/dchartpass_p.h"
#include "host/chart/ditem.h"

#include <QPainter>
#include <QRect>

void DChartPainter::draw(QPainter& painter, const QRect& rect, const DGraphic* graphic)
{
    lastPlot = QRectF();
    if (!graphic || !painter.isActive() || rect.width() <= 0 || rect.height() <= 0)
        return;
    if (!preview)
        previewSample = DPreviewSample();
    DChartPass pass(painter, rect, *graphic, size, preview ? &previewSample : nullptr);
    pass.run();
    lastPlot = pass.drawnPlot;
    lastMap = pass.drawnMap;
}
