#include "host/studio/qascrollpane.h"

#include <QMouseEvent>
#include <QPainter>

QAScrollPane::QAScrollPane(Mode mode, QWidget* parent, const char* name)
    : QFrame(parent), paneMode(mode)
{
    if (name)
        setObjectName(QString::fromUtf8(name));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setCursor(Qt::PointingHandCursor);
}

void QAScrollPane::setLogicalSize(int width, int height)
{
    if (width == logicalW && height == logicalH)
        return;
    logicalW = width;
    logicalH = height;
    update();
}

void QAScrollPane::setMarkedRect(const QRect& rect)
{
    if (rect == mark)
        return;
    mark = rect;
    update();
}

int QAScrollPane::logicalToPixelX(int x) const
{
    const QRect r = contentsRect();
    if (logicalW <= 0)
        return r.left();
    return r.left() + int(qint64(x) * r.width() / logicalW);
}

int QAScrollPane::logicalToPixelY(int y) const
{
    const QRect r = contentsRect();
    if (logicalH <= 0)
        return r.top();
    return r.top() + int(qint64(y) * r.height() / logicalH);
}

int QAScrollPane::pixelToLogicalX(int x) const
{
    const QRect r = contentsRect();
    if (r.width() <= 0)
        return 0;
    return int(qint64(x - r.left()) * logicalW / r.width());
}

int QAScrollPane::pixelToLogicalY(int y) const
{
    const QRect r = contentsRect();
    if (r.height() <= 0)
        return 0;
    return int(qint64(y - r.top()) * logicalH / r.height());
}

void QAScrollPane::paintPane(QPainter& p, bool)
{
    const int px = logicalToPixelX(mark.x());
    const int py = logicalToPixelY(mark.y());
    const int pw = logicalToPixelX(mark.width()) - logicalToPixelX(0);
    const int ph = logicalToPixelY(mark.height()) - logicalToPixelY(0);
    if (pw <= 0 || ph <= 0)
        return;
    p.setPen(palette().color(QPalette::Highlight));
    p.setBrush(Qt::NoBrush);
    p.drawRect(px, py, pw - 1, ph - 1);
}

void QAScrollPane::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    p.fillRect(contentsRect(), palette().color(QPalette::Base));
    paintPane(p, true);
}

void QAScrollPane::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pan(event->position().toPoint());
}

void QAScrollPane::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        pan(event->position().toPoint());
}

void QAScrollPane::pan(const QPoint& pixel)
{
    emit panned(pixelToLogicalX(pixel.x()), pixelToLogicalY(pixel.y()));
}
