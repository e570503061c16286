#pragma once

#include "host/studio/qascrollpane.h"

#include <QAbstractScrollArea>

// A scrolling view of a contents area of its own size, in contents coordinates, with an overview
// pane in its bottom-right corner. Derived classes paint in drawContents and get the mouse in
// viewport coordinates through the viewportMouse*Event handlers.
class QAScrollPaneView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit QAScrollPaneView(QWidget* parent = nullptr, const char* name = nullptr,
                              Qt::WindowFlags flags = {});

    // contents:
    void resizeContents(int width, int height);
    int contentsWidth() const { return contentsW; }
    int contentsHeight() const { return contentsH; }
    // Contents coordinates of the viewport's top-left corner.
    int contentsX() const;
    int contentsY() const;
    int visibleWidth() const;
    int visibleHeight() const;
    void setContentsPos(int x, int y);
    void scrollBy(int dx, int dy);
    QPoint viewportToContents(const QPoint& p) const;
    QPoint contentsToViewport(const QPoint& p) const;

    // Repaints the contents rectangle at once; without erasing, as every paint covers its area.
    void repaintContents(int x, int y, int width, int height, bool erase = true);
    void repaintContents(bool erase = true);
    // Schedules a repaint of the contents rectangle.
    void updateContents(int x, int y, int width, int height);

    // overview pane:
    // The pane, created through newScrollPane on first need; null before.
    QAScrollPane* scrollPane() const { return pane; }
    void setScrollPaneMode(QAScrollPane::Mode mode);
    QAScrollPane::Mode scrollPaneMode() const { return paneMode; }
    // The pane keeps the contents' aspect within these limits, in pixels.
    void setScrollPaneLimits(int minWidth, int maxWidth, int minHeight, int maxHeight);

protected:
    // Paints the contents rectangle (cx, cy, cw, ch); `p` works in contents coordinates. The base
    // fills it with the palette's base colour.
    virtual void drawContents(QPainter* p, int cx, int cy, int cw, int ch);
    // Makes the overview pane; the view owns and places it. The base makes a plain QAScrollPane.
    virtual QAScrollPane* newScrollPane(QAScrollPane::Mode mode, QWidget* parent, const char* name);

    // Mouse events on the viewport, in viewport coordinates. The bases do nothing.
    virtual void viewportMousePressEvent(QMouseEvent* event);
    virtual void viewportMouseReleaseEvent(QMouseEvent* event);
    virtual void viewportMouseMoveEvent(QMouseEvent* event);
    virtual void viewportMouseDoubleClickEvent(QMouseEvent* event);

    // reimplemented virtual methods:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void updateScrollBars();
    void updatePane();

    int contentsW = 0;
    int contentsH = 0;
    QAScrollPane* pane = nullptr; // child widget, made by newScrollPane
    QAScrollPane::Mode paneMode = QAScrollPane::ShowWhenScrolling;
    int paneMinWidth = 20;
    int paneMaxWidth = 250;
    int paneMinHeight = 20;
    int paneMaxHeight = 250;
};
