#pragma once

#include <QFrame>

// The overview pane of a QAScrollPaneView: the whole contents reduced to the pane, with the part
// that the view shows marked. Logical units are the view's contents coordinates; they map onto the
// pane's contentsRect() (each axis on its own).
class QAScrollPane : public QFrame
{
    Q_OBJECT
public:
    enum Mode {
        ShowWhenScrolling, // the view shows the pane only while the contents exceed its visible
                           // area
        ShowAlways
    };

    explicit QAScrollPane(Mode mode, QWidget* parent = nullptr, const char* name = nullptr);

    // getters:
    Mode mode() const { return paneMode; }
    int logicalWidth() const { return logicalW; }
    int logicalHeight() const { return logicalH; }
    // The marked rectangle, in logical units.
    int markX() const { return mark.x(); }
    int markY() const { return mark.y(); }
    int markWidth() const { return mark.width(); }
    int markHeight() const { return mark.height(); }
    QRect markedRect() const { return mark; }

    // setters: both schedule a repaint (and so a paintPane) when the value changes.
    void setLogicalSize(int width, int height);
    void setMarkedRect(const QRect& rect);

    // Logical units to pane pixels (contentsRect() included) and back. A zero logical size maps
    // everything to the contentsRect()'s left or top edge.
    int logicalToPixelX(int x) const;
    int logicalToPixelY(int y) const;
    int pixelToLogicalX(int x) const;
    int pixelToLogicalY(int y) const;

signals:
    // The user pressed or dragged at the logical point (x, y): the view centres it.
    void panned(int x, int y);

protected:
    // Draws the marker with `p`; `show` tells a first drawing from an erasing one (the base draws
    // the same in both cases). Called from paintEvent whenever the pane or the mark changes.
    virtual void paintPane(QPainter& p, bool show);

    // reimplemented virtual methods:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void pan(const QPoint& pixel);

    Mode paneMode;
    int logicalW = 0;
    int logicalH = 0;
    QRect mark;
};
