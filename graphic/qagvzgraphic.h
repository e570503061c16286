#pragma once

#include "host/chart/dchartpainter.h"
#include "host/chart/ditem.h"
#include "host/studio/qascrollpaneview.h"

#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include <deque>
#include <functional>
#include <map>
#include <vector>

class QMenu;

// The scrolling chart widget of a viewer window. It owns the chart description it shows, paints
// it on the preference background into contents of at least 500 x 500 pixels, and keeps its own
// display settings (legend, projection, view angles, the 2-D view) across chart descriptions. A
// 3-D chart turns while dragged; releasing with Ctrl held sets it spinning. A 2-D chart zooms
// with the wheel, a band, keys and the popup, pans with a middle (or Shift) drag and Ctrl +
// arrows, and shows a data cursor under the mouse.
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
        IdStopMotion = 8,
        IdZoomToFit = 9,
        IdZoomBack = 10,
        IdStackCurves = 11,
        IdLogY = 12,
        IdLogX = 13
    };

    static constexpr float RotationPerPixel = 0.0078539f; // radians per pixel of mouse movement
    static constexpr int MotionInterval = 100;            // ms between two spin steps
    static constexpr int MinContentsSize = 500;
    static constexpr int ContentsMargin = 20;
    static constexpr double ZoomStep = 1.25;     // per wheel notch or key
    static constexpr int WheelBurst = 300;       // ms: wheel notches within it are one step
    static constexpr int BandMinimum = 4;        // pixels a band needs in a direction to zoom it
    static constexpr int CursorReach = 20;       // pixels: XY cursor finds points this close
    static constexpr int FullDrawingDelay = 150; // ms after the last 3-D movement
    static constexpr std::size_t HistoryDepth = 50;

    QAGVZGraphic(QWidget* parent = nullptr, const char* name = nullptr, int flags = 0);
    ~QAGVZGraphic() override;

    // Takes ownership of `g` (null: no chart), deletes the previous description and hands the new
    // one the widget's legend, projection and view angles. An axis whose range is missing or
    // empty gets one unit on each side.
    void setGraphic(DGraphic* g);
    // Lets `change` add to the chart shown (points appended to its curves, their summaries kept
    // by builders), then settles it as setGraphic() settles a new one, keeping the view. Nothing
    // happens without a chart.
    void changeGraphic(const std::function<void(DGraphic*)>& change);
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

    // Curves in strips of their own and logarithmic axes (X only in XY charts): kept across
    // charts, dropped by a 3-D one. A change shows the whole chart and forgets the history.
    void setScales(bool stack, bool logarithmicX, bool logarithmicY);
    bool isStacked() const { return stacked; }
    bool isLogX() const { return logX; }
    bool isLogY() const { return logY; }

    // 2-D view, in data units (X from left to right, Y from top to bottom, not flipped):
    // Shows `range` of the current 2-D chart as one history step; an invalid rectangle fits.
    // False, and nothing changes, without a chart, for a 3-D chart or a range that is not finite.
    bool setView(const QRectF& range);
    // The part shown: the view, or the axes' whole ranges when there is none.
    QRectF visibleRange() const;
    // The whole ranges of the chart's X and Y axes; invalid without a chart.
    QRectF wholeRange() const;
    bool isZoomed() const { return view.isValid() || !stripViews.empty(); }
    // Back to the whole ranges; the previous view (each repaints).
    void zoomToFit();
    void zoomBack();
    // Forgets the view and its history without repainting: the next chart is shown whole.
    void resetView();
    int historySize() const { return int(history.size()); }
    // The data cursor's text ("sample 12: rpm 3321.5"), empty when it shows nothing.
    QString readout() const { return readoutText; }

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
    // Set by the viewer: X is the sample number (a time chart): the cursor reads samples and a
    // view ending at the last sample follows a trace that grows.
    bool timeChart = false;
    // Set by the viewer: fills in the axis spacings that suit a zoomed view.
    std::function<void(DView& view)> viewSpacing;

signals:
    // The data cursor's text changed; empty: it shows nothing.
    void readoutChanged(const QString& text);
    // A text for the status bar: samples a logarithmic scale leaves out.
    void statusMessage(const QString& text);

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
    void wheelEvent(QWheelEvent* e) override;
    QAScrollPane* newScrollPane(QAScrollPane::Mode mode, QWidget* parent,
                                const char* name) override;

private:
    enum class Gesture { None, Band, Pan };
    using Span = std::pair<double, double>;
    // What Zoom Back restores: the view and the Y of every zoomed strip, by curve name.
    struct ViewState
    {
        QRectF rect;
        std::map<QString, Span> strips;
    };

    // Whether the view follows the end of a growing time chart, and where that end was.
    struct Follow
    {
        bool follows = false;
        double lastBefore = 0.0;
    };
    Follow follow() const;
    // What a new or changed chart needs: settings, ranges, the view (moved along when it
    // follows), a repaint.
    void settle(const Follow& before);
    void copySettingsInto(DGraphic* g) const;
    static void widenDegenerateRanges(DGraphic* g);
    bool is2D() const { return graphic && !graphic->is3D(); }
    // Shows `range` (invalid: the whole chart) without touching the history; keeps it within
    // what floats tell apart.
    void showView(QRectF range);
    // Hands the view and the strips' ranges to the chart and repaints.
    void applyView();
    void pushHistory(const ViewState& previous);
    ViewState viewState() const { return {view, stripViews}; }
    // Zooms X by `fx` and Y by `fy` (below 1: in) about the data point `anchor`.
    void zoomAbout(const QPointF& anchor, double fx, double fy);
    // Moves the view by shares of its width and height.
    void panBy(double fx, double fy);
    // The drawn strip under `at` (contents coordinates), and the curve it shows; null if none.
    const DPlotStrip* stripAt(const QPointF& at) const;
    const DPlotStrip* stripOf(int curve) const;
    const DCurve* curveAt(int index) const;
    // Zooms the Y of `strip` to `low`..`high` (data units).
    void setStripSpan(const DPlotStrip& strip, double low, double high);
    // Tells the status bar how many samples a logarithmic axis leaves out.
    void reportLeftOut();
    // The mouse at `pos` (viewport) in data units and whether it lies on the plot.
    bool dataAt(const QPoint& pos, QPointF& value) const;
    void updateCursor(const QPoint& pos);
    void clearCursor();
    void setReadout(const QString& text);
    // A 3-D frame while moving: a preview now, the full drawing after the pause.
    void moved3D();
    void drawOverlay(QPainter& p) const;

    QRectF view;                        // the 2-D view kept across charts; invalid: whole ranges
    std::map<QString, Span> stripViews; // zoomed strips of a stacked chart
    std::deque<ViewState> history;
    bool stacked = false;
    bool logX = false;
    bool logY = false;
    QElapsedTimer lastWheel;
    Gesture gesture = Gesture::None;
    QPoint pressPos;       // viewport position where the gesture started
    QPoint gestureEnd;     // its latest position
    QRectF gestureStart;   // the range when the gesture started
    ViewState gestureView; // the view when the gesture started (history)
    QTimer fullDrawing;    // single shot: the full 3-D drawing after a preview
    bool cursorShown = false;
    QPointF cursorAt;                // contents coordinates of the marked point (XY) or line (time)
    std::vector<QPointF> cursorDots; // contents coordinates
    QString readoutText;
    // The last chart drawing of the visible area, kept while only the overlay changes.
    QPixmap picture;
    QRect pictureArea;     // contents coordinates it shows
    QSize pictureContents; // the contents size it was laid out in
    bool chartChanged = true;
};
