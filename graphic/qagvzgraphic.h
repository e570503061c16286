#pragma once

#include "host/chart/dchartpainter.h"
#include "host/studio/qascrollpaneview.h"

#include <QTimer>

class DGraphic;
class QMenu;

// The scrolling chart widget of a viewer window. It owns the chart description it shows, paints
// it on the preference background into contents of at least 500 x 500 pixels, and keeps its own
// display settings (legend, projection, view angles) across chart descriptions. A 3-D chart
// turns while dragged; releasing with Ctrl held sets it spinning.
class QAGVZGraphic : public QAScrollPaneView
{
    Q_OBJECT
public:
    // ids of the right-button popup entries (kept in each QAction's data)
    enum MenuId {
        IdDisplayLegend = 0,
        IdDisplayProjection = 1,
        IdDefaultView = 3,
        IdViewXY = 4,
        IdViewYZ = 5,
        IdViewXZ = 6,
        IdStopMotion = 8
    };

    static constexpr float RotationPerPixel = 0.0078539f; // radians per pixel of mouse movement
    static constexpr int MotionInterval = 100;            // ms between two spin steps
    static constexpr int MinContentsSize = 500;
    static constexpr int ContentsMargin = 20;

    QAGVZGraphic(QWidget* parent = nullptr, const char* name = nullptr, int flags = 0);
    ~QAGVZGraphic() override;

    // Takes ownership of `g` (null: no chart), deletes the previous description and hands the new
    // one the widget's legend, projection and view angles. An axis whose range is missing or
    // empty gets one unit on each side.
    void setGraphic(DGraphic* g);
    // Sets both view angles; repaints at once when a chart is shown, else they wait for the next.
    void set3D(float elevation, float azimuth);
    // Repaints the visible contents without erasing first.
    void repaintAll();
    // Whether a chart is shown and it is three-dimensional.
    bool is3D() const;

    // The right-button popup for the current state, built anew on each call as a child of the
    // widget; the caller executes and deletes it. The entries' data are MenuId values.
    QMenu* createPopupMenu();
    // Carries out popup entry `id`.
    void popupActivated(int id);

    QSize sizeHint() const override;

    // state; read directly by printing, the HTML export and the overview pane:
    DGraphic* graphic = nullptr; // owned
    bool displayLegend = true;
    bool displayProjection = true;
    bool dragging = false; // a 3-D drag is in progress
    int lastX = 0;         // viewport position of the previous event of the drag
    int lastY = 0;
    float elevation = 0.3f; // radians, unbounded; vertical mouse movement
    float azimuth = 0.3f;   // radians, unbounded; horizontal mouse movement
    QTimer motionTimer;     // the spin timer
    int motionDX = 0;       // spin step in pixels: the last drag step
    int motionDY = 0;
    DChartPainter chartPainter;

protected slots:
    // One spin step.
    void motion();

protected:
    // reimplemented virtual methods:
    void keyPressEvent(QKeyEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void drawContents(QPainter* p, int clipx, int clipy, int clipw, int cliph) override;
    void viewportMousePressEvent(QMouseEvent* e) override;
    void viewportMouseReleaseEvent(QMouseEvent* e) override;
    void viewportMouseMoveEvent(QMouseEvent* e) override;
    QAScrollPane* newScrollPane(QAScrollPane::Mode mode, QWidget* parent,
                                const char* name) override;

private:
    void copySettingsInto(DGraphic* g) const;
    static void widenDegenerateRanges(DGraphic* g);
};
