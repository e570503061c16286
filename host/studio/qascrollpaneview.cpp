#include "host/studio/qascrollpaneview.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace {
constexpr int LineStep = 20;
constexpr int PaneMargin = 4;
} // namespace

QAScrollPaneView::QAScrollPaneView(QWidget* parent, const char* name, Qt::WindowFlags flags)
    : QAbstractScrollArea(parent)
{
    if (name)
        setObjectName(QString::fromUtf8(name));
    if (flags)
        setWindowFlags(flags);
    horizontalScrollBar()->setSingleStep(LineStep);
    verticalScrollBar()->setSingleStep(LineStep);
}

void QAScrollPaneView::resizeContents(int width, int height)
{
    contentsW = qMax(0, width);
    contentsH = qMax(0, height);
    updateScrollBars();
    updatePane();
    viewport()->update();
}

int QAScrollPaneView::contentsX() const
{
    return horizontalScrollBar()->value();
}

int QAScrollPaneView::contentsY() const
{
    return verticalScrollBar()->value();
}

int QAScrollPaneView::visibleWidth() const
{
    return viewport()->width();
}

int QAScrollPaneView::visibleHeight() const
{
    return viewport()->height();
}

void QAScrollPaneView::setContentsPos(int x, int y)
{
    horizontalScrollBar()->setValue(x);
    verticalScrollBar()->setValue(y);
}

void QAScrollPaneView::scrollBy(int dx, int dy)
{
    setContentsPos(contentsX() + dx, contentsY() + dy);
}

QPoint QAScrollPaneView::viewportToContents(const QPoint& p) const
{
    return p + QPoint(contentsX(), contentsY());
}

QPoint QAScrollPaneView::contentsToViewport(const QPoint& p) const
{
    return p - QPoint(contentsX(), contentsY());
}

void QAScrollPaneView::repaintContents(int x, int y, int width, int height, bool)
{
    viewport()->repaint(QRect(contentsToViewport(QPoint(x, y)), QSize(width, height)));
}

void QAScrollPaneView::repaintContents(bool)
{
    viewport()->repaint();
}

void QAScrollPaneView::updateContents(int x, int y, int width, int height)
{
    viewport()->update(QRect(contentsToViewport(QPoint(x, y)), QSize(width, height)));
}

void QAScrollPaneView::setScrollPaneMode(QAScrollPane::Mode mode)
{
    paneMode = mode;
    updatePane();
}

void QAScrollPaneView::setScrollPaneLimits(int minWidth, int maxWidth, int minHeight, int maxHeight)
{
    paneMinWidth = qMax(1, minWidth);
    paneMaxWidth = qMax(paneMinWidth, maxWidth);
    paneMinHeight = qMax(1, minHeight);
    paneMaxHeight = qMax(paneMinHeight, maxHeight);
    updatePane();
}

void QAScrollPaneView::drawContents(QPainter* p, int cx, int cy, int cw, int ch)
{
    p->fillRect(cx, cy, cw, ch, palette().color(QPalette::Base));
}

QAScrollPane* QAScrollPaneView::newScrollPane(QAScrollPane::Mode mode, QWidget* parent,
                                              const char* name)
{
    return new QAScrollPane(mode, parent, name);
}

void QAScrollPaneView::viewportMousePressEvent(QMouseEvent*)
{
}
void QAScrollPaneView::viewportMouseReleaseEvent(QMouseEvent*)
{
}
void QAScrollPaneView::viewportMouseMoveEvent(QMouseEvent*)
{
}
void QAScrollPaneView::viewportMouseDoubleClickEvent(QMouseEvent*)
{
}

void QAScrollPaneView::paintEvent(QPaintEvent* event)
{
    QPainter p(viewport());
    const QPoint origin(contentsX(), contentsY());
    const QRect exposed = event->rect();
    const QRect contents(-origin, QSize(contentsW, contentsH));
    // Outside the contents (a viewport larger than them) nobody else paints.
    if (!contents.contains(exposed)) {
        const QRegion outside = QRegion(exposed).subtracted(contents);
        for (const QRect& r : outside)
            p.fillRect(r, palette().color(QPalette::Window));
    }
    const QRect clip = exposed.translated(origin) & QRect(0, 0, contentsW, contentsH);
    if (clip.isEmpty())
        return;
    p.translate(-origin);
    p.setClipRect(clip);
    drawContents(&p, clip.x(), clip.y(), clip.width(), clip.height());
}

void QAScrollPaneView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    updatePane();
}

void QAScrollPaneView::scrollContentsBy(int, int)
{
    viewport()->update();
    updatePane();
}

void QAScrollPaneView::mousePressEvent(QMouseEvent* event)
{
    viewportMousePressEvent(event);
}

void QAScrollPaneView::mouseReleaseEvent(QMouseEvent* event)
{
    viewportMouseReleaseEvent(event);
}

void QAScrollPaneView::mouseMoveEvent(QMouseEvent* event)
{
    viewportMouseMoveEvent(event);
}

void QAScrollPaneView::mouseDoubleClickEvent(QMouseEvent* event)
{
    viewportMouseDoubleClickEvent(event);
}

void QAScrollPaneView::updateScrollBars()
{
    const QSize visible = viewport()->size();
    horizontalScrollBar()->setRange(0, qMax(0, contentsW - visible.width()));
    horizontalScrollBar()->setPageStep(visible.width());
    verticalScrollBar()->setRange(0, qMax(0, contentsH - visible.height()));
    verticalScrollBar()->setPageStep(visible.height());
}

void QAScrollPaneView::updatePane()
{
    const bool scrolling = contentsW > visibleWidth() || contentsH > visibleHeight();
    const bool wanted =
        contentsW > 0 && contentsH > 0 && (paneMode == QAScrollPane::ShowAlways || scrolling);
    if (!wanted) {
        if (pane)
            pane->hide();
        return;
    }
    if (!pane) {
        pane = newScrollPane(paneMode, this, "scrollpane");
        if (!pane)
            return;
        connect(pane, &QAScrollPane::panned, this, [this](int x, int y) {
            setContentsPos(x - visibleWidth() / 2, y - visibleHeight() / 2);
        });
    }
    // The pane keeps the contents' aspect, within its limits and half the viewport.
    const int maxW = qMax(paneMinWidth, qMin(paneMaxWidth, visibleWidth() / 2));
    const int maxH = qMax(paneMinHeight, qMin(paneMaxHeight, visibleHeight() / 2));
    const double scale = qMin(double(maxW) / contentsW, double(maxH) / contentsH);
    const int frame = 2 * pane->frameWidth();
    const int w = qBound(paneMinWidth, int(contentsW * scale), maxW) + frame;
    const int h = qBound(paneMinHeight, int(contentsH * scale), maxH) + frame;
    const QRect area = viewport()->geometry();
    pane->setGeometry(area.right() + 1 - w - PaneMargin, area.bottom() + 1 - h - PaneMargin, w, h);
    pane->setLogicalSize(contentsW, contentsH);
    pane->setMarkedRect(QRect(contentsX(), contentsY(), qMin(visibleWidth(), contentsW),
                              qMin(visibleHeight(), contentsH)));
    pane->show();
    pane->raise();
}
