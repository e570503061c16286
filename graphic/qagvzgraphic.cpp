#include "graphic/qagvzgraphic.h"

#include "graphic/qagvzspane.h"
#include "host/chart/daxisscale.h"
#include "host/chart/dcurvesummary.h"
#include "host/chart/dupdater.h"
#include "prefs/qagvzpref.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>
#include <tuple>

namespace {

struct PresetView
{
    QAGVZGraphic::MenuId id;
    float elevation;
    float azimuth;
};

constexpr PresetView PresetViews[] = {
    {QAGVZGraphic::IdDefaultView, 0.3f, 0.3f},
    {QAGVZGraphic::IdViewXY, 1.57f, 1.57f},
    {QAGVZGraphic::IdViewYZ, 0.0f, 0.0f},
    {QAGVZGraphic::IdViewXZ, 0.0f, 1.57f},
};

// A view narrower than this share of its coordinates is below what floats tell apart.
constexpr double FloatResolution = 4.0 / (1 << 23);
// Wheel notches taken from one event at most, so that no delta overflows the range.
constexpr double MaxNotches = 20.0;

// `low` to `high` widened about its middle to what floats can still show.
void keepResolvable(double& low, double& high)
{
    const double least = std::max(std::max(std::abs(low), std::abs(high)) * FloatResolution, 1e-30);
    if (high - low >= least)
        return;
    const double centre = 0.5 * (low + high);
    low = centre - least / 2;
    high = centre + least / 2;
}

bool finite(const QRectF& r)
{
    return std::isfinite(r.left()) && std::isfinite(r.right()) && std::isfinite(r.top())
           && std::isfinite(r.bottom());
}

// `low`..`high` scaled by `f` about `anchor`, then moved by `shift` of its width, in the axis's
// own units: decades on a logarithmic axis.
void transformSpan(double& low, double& high, double anchor, double f, double shift, bool log)
{
    const double a = DPlotMap::toAxis(anchor, log);
    const double l = DPlotMap::toAxis(low, log);
    const double h = DPlotMap::toAxis(high, log);
    const double d = (h - l) * shift;
    low = DPlotMap::fromAxis(a + (l - a) * f + d, log);
    high = DPlotMap::fromAxis(a + (h - a) * f + d, log);
}

} // namespace

QAGVZGraphic::QAGVZGraphic(QWidget* parent, const char* name, int flags)
    : QAScrollPaneView(parent, name, Qt::WindowFlags(QFlag(flags)))
{
    setWhatsThis(tr("<b>GVZ Viewer</b><br>The GVZ Viewer is a component of Ostrel Plenisto Studio "
                    "dedicated to rendering graphical representations of data.",
                    "What's This text display; <x> are html tags"));
    setScrollPaneLimits(20, 250, 20, 250);
    viewport()->setMouseTracking(true);
    // Every paint covers the whole viewport from the off-screen picture.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    connect(&motionTimer, &QTimer::timeout, this, &QAGVZGraphic::motion);
    setFocusPolicy(Qt::WheelFocus);
    fullDrawing.setSingleShot(true);
    connect(&fullDrawing, &QTimer::timeout, this, [this] {
        chartPainter.preview = false;
        chartChanged = true;
        viewport()->update();
    });
}

QAGVZGraphic::~QAGVZGraphic()
{
    motionTimer.stop();
    delete graphic;
}

QAGVZGraphic::Follow QAGVZGraphic::follow() const
{
    // A time chart viewed up to its last sample (within a pixel) follows the trace as it grows.
    Follow f;
    if (timeChart && view.isValid() && is2D()) {
        f.lastBefore = wholeRange().right();
        const double pixel = 1.0 / std::max(chartPainter.plotMap().xScale, 1e-300);
        f.follows = std::abs(view.right() - f.lastBefore) <= pixel;
    }
    return f;
}

void QAGVZGraphic::setGraphic(DGraphic* g)
{
    const Follow before = follow();
    delete graphic;
    graphic = g;
    // A 3-D chart drops the choices of the 2-D ones.
    if (graphic && graphic->is3D())
        stacked = logX = logY = false;
    settle(before);
}

void QAGVZGraphic::changeGraphic(const std::function<void(DGraphic*)>& change)
{
    if (!graphic)
        return;
    const Follow before = follow();
    change(graphic);
    settle(before);
}

void QAGVZGraphic::settle(const Follow& before)
{
    // A new or changed chart never keeps spinning.
    motionTimer.stop();
    fullDrawing.stop();
    chartPainter.preview = false;
    clearCursor();
    if (graphic) {
        copySettingsInto(graphic);
        DUpdater updater;
        updater.doItem(graphic);
        widenDegenerateRanges(graphic);
        const double grown = wholeRange().right() - before.lastBefore;
        if (before.follows && is2D() && grown > 0)
            view.translate(grown, 0);
        showView(view);
        reportLeftOut();
        return;
    }
    repaintAll();
}

void QAGVZGraphic::copySettingsInto(DGraphic* g) const
{
    g->elevation = elevation;
    g->azimuth = azimuth;
    // Shown, the chart keeps the legend mode it was built with.
    if (!displayLegend)
        g->legendMode = DGraphic::LegendHidden;
    g->projection = displayProjection;
    g->stacked = stacked && !g->is3D();
    g->logX = logX && !timeChart && !g->is3D();
    g->logY = logY && !g->is3D();
}

void QAGVZGraphic::setScales(bool stack, bool logarithmicX, bool logarithmicY)
{
    stacked = stack;
    logX = logarithmicX;
    logY = logarithmicY;
    if (!is2D())
        return;
    copySettingsInto(graphic);
    resetView();
    applyView();
    reportLeftOut();
}

void QAGVZGraphic::reportLeftOut()
{
    if (!is2D() || !(graphic->logX || graphic->logY))
        return;
    std::size_t count = 0;
    for (const DItem* item = graphic->firstChild; item; item = item->next) {
        const DCurve* curve = item->toCurve();
        if (!curve || !curve->summary)
            continue;
        if (graphic->logX)
            count += curve->summary->extent(0).nonPositive;
        if (graphic->logY)
            count += curve->summary->extent(1).nonPositive;
    }
    if (count > 0)
        emit statusMessage(tr("%n samples at or below zero are not drawn",
                              "status text of a logarithmic chart",
                              int(std::min<std::size_t>(count, INT_MAX))));
}

void QAGVZGraphic::widenDegenerateRanges(DGraphic* g)
{
    for (DItem* item = g->firstChild; item; item = item->next) {
        DAxis* axis = item->toAxis();
        if (!axis)
            continue;
        const bool hasMin = axis->hasProperty(DAxis::RangeMin);
        const bool hasMax = axis->hasProperty(DAxis::RangeMax);
        // A NaN bound compares unequal too: such a range is left as it is.
        if (hasMin && hasMax && axis->property(DAxis::RangeMin) != axis->property(DAxis::RangeMax))
            continue;
        float v = 0.0f;
        if (hasMin)
            v = axis->property(DAxis::RangeMin);
        if (hasMax)
            v = axis->property(DAxis::RangeMax);
        axis->setProperty(DAxis::RangeMin, v - 1.0f);
        axis->setProperty(DAxis::RangeMax, v + 1.0f);
    }
}

void QAGVZGraphic::set3D(float newElevation, float newAzimuth)
{
    elevation = newElevation;
    azimuth = newAzimuth;
    if (!graphic)
        return;
    graphic->elevation = elevation;
    graphic->azimuth = azimuth;
    chartChanged = true;
    viewport()->repaint();
}

void QAGVZGraphic::repaintAll()
{
    chartChanged = true;
    repaintContents(contentsX(), contentsY(), visibleWidth(), visibleHeight(), false);
}

bool QAGVZGraphic::is3D() const
{
    return graphic && graphic->is3D();
}

QSize QAGVZGraphic::sizeHint() const
{
    return QSize(800, 600);
}

void QAGVZGraphic::motion()
{
    // A tick during a press only forgets the step: a release without a new move stops the spin.
    if (dragging) {
        motionDX = 0;
        motionDY = 0;
        return;
    }
    if (motionDX == 0 && motionDY == 0) {
        motionTimer.stop();
        return;
    }
    if (graphic) {
        azimuth += float(motionDX) * RotationPerPixel;
        elevation += float(motionDY) * RotationPerPixel;
        graphic->azimuth = azimuth;
        graphic->elevation = elevation;
    }
    chartPainter.preview = true;
    fullDrawing.start(FullDrawingDelay);
    chartChanged = true;
    viewport()->repaint();
}

void QAGVZGraphic::moved3D()
{
    // Mouse moves only schedule a frame: however many arrive, one is drawn for the latest.
    chartPainter.preview = true;
    fullDrawing.start(FullDrawingDelay);
    chartChanged = true;
    viewport()->update();
}

void QAGVZGraphic::keyPressEvent(QKeyEvent* e)
{
    const QScrollBar* h = horizontalScrollBar();
    const QScrollBar* v = verticalScrollBar();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    // Every key stays here: none reaches the viewer window.
    e->accept();
    if (e->key() == Qt::Key_Escape) {
        if (gesture == Gesture::Band) {
            gesture = Gesture::None;
            viewport()->update();
        }
        motionTimer.stop();
        return;
    }
    if (is2D()) {
        const QRectF r = visibleRange();
        switch (e->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
        case Qt::Key_Minus: {
            pushHistory(viewState());
            const double f = e->key() == Qt::Key_Minus ? ZoomStep : 1 / ZoomStep;
            // The centre of the view, the middle decade on a logarithmic axis.
            const QRectF plot = chartPainter.plotArea();
            const bool log = graphic->logX || graphic->logY;
            const QPointF centre =
                log && !plot.isEmpty() ? chartPainter.plotMap().toData(plot.center()) : r.center();
            zoomAbout(centre, f, graphic->stacked ? 1.0 : f);
            return;
        }
        case Qt::Key_Home:
            zoomToFit();
            return;
        case Qt::Key_Backspace:
            zoomBack();
            return;
        default:
            break;
        }
        const QPointF pans[] = {{-0.1, 0}, {0, 0.1}, {0.1, 0}, {0, -0.1}};
        if (ctrl && e->key() >= Qt::Key_Left && e->key() <= Qt::Key_Down) {
            const QPointF d = pans[e->key() - Qt::Key_Left];
            if (graphic->stacked && d.x() == 0.0)
                return; // strips pan their Y only by zooming
            pushHistory(viewState());
            panBy(d.x(), d.y());
            return;
        }
    }
    switch (e->key()) {
    case Qt::Key_Left:
        scrollBy(-h->singleStep(), 0);
        break;
    case Qt::Key_Up:
        scrollBy(0, -v->singleStep());
        break;
    case Qt::Key_Right:
        scrollBy(h->singleStep(), 0);
        break;
    case Qt::Key_Down:
        scrollBy(0, v->singleStep());
        break;
    case Qt::Key_PageUp:
        scrollBy(0, -v->pageStep());
        break;
    case Qt::Key_PageDown:
        scrollBy(0, v->pageStep());
        break;
    default:
        break;
    }
}

void QAGVZGraphic::leaveEvent(QEvent* e)
{
    QWidget::leaveEvent(e);
    clearCursor();
}

void QAGVZGraphic::resizeEvent(QResizeEvent* e)
{
    QAScrollPaneView::resizeEvent(e);
    resizeContents(std::max(MinContentsSize, width() - ContentsMargin),
                   std::max(MinContentsSize, height() - ContentsMargin));
}

void QAGVZGraphic::drawContents(QPainter* p, int, int, int, int)
{
    const int vw = visibleWidth();
    const int vh = visibleHeight();
    if (vw <= 0 || vh <= 0)
        return;
    // The chart is drawn again only when it changed or moved: the cursor and the band are drawn
    // over the kept picture, so hovering costs no chart drawing.
    const qreal ratio = devicePixelRatioF();
    const QRect area(contentsX(), contentsY(), vw, vh);
    const QSize contents(contentsWidth(), contentsHeight());
    if (chartChanged || area != pictureArea || contents != pictureContents
        || picture.devicePixelRatio() != ratio) {
        picture = QPixmap(QSize(vw, vh) * ratio);
        picture.setDevicePixelRatio(ratio);
        QPainter bp(&picture);
        const QColor background = gvzpref ? gvzpref->general->background
                                          : palette().color(QPalette::Active, QPalette::Base);
        bp.fillRect(0, 0, vw, vh, background);
        if (graphic) {
            bp.translate(-contentsX(), -contentsY());
            bp.setPen(Qt::NoPen);
            chartPainter.draw(bp, QRect(QPoint(0, 0), contents), graphic);
        }
        chartChanged = false;
        pictureArea = area;
        pictureContents = contents;
    }
    p->drawPixmap(area.topLeft(), picture);
    if (graphic)
        drawOverlay(*p);
}

void QAGVZGraphic::viewportMousePressEvent(QMouseEvent* e)
{
    QAScrollPaneView::viewportMousePressEvent(e);
    const QPoint pos = e->position().toPoint();
    if (e->button() != Qt::RightButton) {
        // The spin goes on: the first move of the drag stops it.
        if (is3D()) {
            dragging = true;
            lastX = pos.x();
            lastY = pos.y();
        }
        QPointF spot;
        const bool pans =
            e->button() == Qt::MiddleButton
            || (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ShiftModifier));
        if (is2D() && gesture == Gesture::None && dataAt(pos, spot)
            && (pans || e->button() == Qt::LeftButton)) {
            clearCursor();
            gesture = pans ? Gesture::Pan : Gesture::Band;
            pressPos = gestureEnd = pos;
            gestureStart = visibleRange();
            gestureView = viewState();
        }
        return;
    }
    QMenu* menu = createPopupMenu();
    const QAction* chosen = menu->exec(mapToGlobal(pos + QPoint(1, 1)));
    const int id = chosen ? chosen->data().toInt() : -1;
    delete menu;
    if (id >= 0)
        popupActivated(id);
}

QMenu* QAGVZGraphic::createPopupMenu()
{
    auto* menu = new QMenu(this);
    const bool threeD = is3D();
    const auto add = [menu](const QString& text, int id, bool enabled) {
        QAction* action = menu->addAction(text);
        action->setData(id);
        action->setEnabled(enabled);
        return action;
    };
    QAction* legend = add(tr("Display Legend"), IdDisplayLegend, true);
    legend->setCheckable(true);
    legend->setChecked(displayLegend);
    QAction* projection = add(tr("Display 3D Curve Projection"), IdDisplayProjection, threeD);
    projection->setCheckable(true);
    projection->setChecked(displayProjection);
    menu->addSeparator();
    add(tr("Default View"), IdDefaultView, threeD);
    add(tr("View XY"), IdViewXY, threeD);
    add(tr("View YZ"), IdViewYZ, threeD);
    add(tr("View XZ"), IdViewXZ, threeD);
    if (motionTimer.isActive()) {
        menu->addSeparator();
        add(tr("Stop Motion"), IdStopMotion, true);
    }
    if (is2D()) {
        menu->addSeparator();
        add(tr("Zoom to Fit"), IdZoomToFit, true);
        add(tr("Zoom Back"), IdZoomBack, !history.empty());
        menu->addSeparator();
        const auto check = [&add](const QString& text, int id, bool on) {
            QAction* action = add(text, id, true);
            action->setCheckable(true);
            action->setChecked(on);
        };
        check(tr("Stack Curves"), IdStackCurves, stacked);
        check(tr("Logarithmic Y"), IdLogY, logY);
        if (!timeChart)
            check(tr("Logarithmic X"), IdLogX, logX);
    }
    return menu;
}

void QAGVZGraphic::popupActivated(int id)
{
    switch (id) {
    case IdDisplayLegend:
        displayLegend = !displayLegend;
        if (graphic) {
            graphic->legendMode = displayLegend ? DGraphic::LegendShown : DGraphic::LegendHidden;
            repaintAll();
        }
        return;
    case IdDisplayProjection:
        displayProjection = !displayProjection;
        if (graphic) {
            graphic->projection = displayProjection;
            repaintAll();
        }
        return;
    case IdStopMotion:
        motionTimer.stop();
        return;
    case IdZoomToFit:
        zoomToFit();
        return;
    case IdZoomBack:
        zoomBack();
        return;
    case IdStackCurves:
        setScales(!stacked, logX, logY);
        return;
    case IdLogY:
        setScales(stacked, logX, !logY);
        return;
    case IdLogX:
        setScales(stacked, !logX, logY);
        return;
    default:
        for (const PresetView& preset : PresetViews) {
            if (preset.id == id)
                set3D(preset.elevation, preset.azimuth);
        }
        return;
    }
}

void QAGVZGraphic::viewportMouseReleaseEvent(QMouseEvent* e)
{
    QAScrollPaneView::viewportMouseReleaseEvent(e);
    dragging = false;
    const Gesture ended = gesture;
    gesture = Gesture::None;
    if (ended == Gesture::Pan && (view != gestureView.rect || stripViews != gestureView.strips))
        pushHistory(gestureView);
    if (ended == Gesture::Band && is2D()) {
        viewport()->update();
        const QPoint end = e->position().toPoint();
        const bool wide = std::abs(end.x() - pressPos.x()) >= BandMinimum;
        bool high = std::abs(end.y() - pressPos.y()) >= BandMinimum;
        const QPointF from = viewportToContents(pressPos), to = viewportToContents(end);
        // In a stacked chart a band inside one strip zooms that strip's Y; across strips only X.
        const DPlotStrip* strip = graphic->stacked ? stripAt(from) : nullptr;
        if (graphic->stacked && strip != stripAt(to))
            high = false;
        const DPlotMap map = strip ? strip->map : chartPainter.plotMap();
        const QPointF a = map.toData(from);
        const QPointF b = map.toData(to);
        if (wide || high) {
            pushHistory(viewState());
            QRectF band = visibleRange();
            if (wide)
                band.setCoords(std::min(a.x(), b.x()), band.top(), std::max(a.x(), b.x()),
                               band.bottom());
            if (high && strip)
                setStripSpan(*strip, std::min(a.y(), b.y()), std::max(a.y(), b.y()));
            else if (high)
                band.setCoords(band.left(), std::min(a.y(), b.y()), band.right(),
                               std::max(a.y(), b.y()));
            showView(band);
        }
    }
    // The spin repeats the last drag step, whatever it is; a zero step stops at the first tick.
    if (is3D() && (e->modifiers() & Qt::ControlModifier))
        motionTimer.start(MotionInterval);
}

void QAGVZGraphic::viewportMouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (gesture == Gesture::Band) {
        gestureEnd = pos;
        viewport()->update();
        return;
    }
    if (gesture == Gesture::Pan) {
        const QRectF plot = chartPainter.plotArea();
        const bool log[] = {graphic && graphic->logX, graphic && graphic->logY};
        double left = gestureStart.left(), right = gestureStart.right();
        double top = gestureStart.top(), bottom = gestureStart.bottom();
        transformSpan(left, right, left, 1.0, (pressPos.x() - pos.x()) / plot.width(), log[0]);
        if (graphic && !graphic->stacked)
            transformSpan(top, bottom, top, 1.0, (pos.y() - pressPos.y()) / plot.height(), log[1]);
        showView(QRectF(QPointF(left, top), QPointF(right, bottom)));
        return;
    }
    if (is2D() && e->buttons() == Qt::NoButton) {
        updateCursor(pos);
        return;
    }
    if (!graphic || !dragging)
        return;
    motionTimer.stop();
    const int dx = lastX - pos.x();
    motionDX = dx;
    lastX = pos.x();
    const int dy = pos.y() - lastY;
    lastY = pos.y();
    motionDY = dy;
    azimuth += float(dx) * RotationPerPixel;
    elevation += float(dy) * RotationPerPixel;
    graphic->azimuth = azimuth;
    graphic->elevation = elevation;
    moved3D();
}

void QAGVZGraphic::wheelEvent(QWheelEvent* e)
{
    // A 3-D chart, or none, scrolls its contents.
    if (!is2D()) {
        QAScrollPaneView::wheelEvent(e);
        return;
    }
    e->accept();
    if (chartPainter.plotArea().isEmpty())
        return; // not drawn yet
    // The data point under the mouse stays there, on the plot or beside it.
    const QPointF anchor =
        chartPainter.plotMap().toData(viewportToContents(e->position().toPoint()));
    double notches;
    if (!e->pixelDelta().isNull()) {
        // A touchpad: its distance as a share of the plot height.
        const QPoint d = e->pixelDelta();
        notches = (d.y() ? d.y() : d.x()) / std::max(1.0, chartPainter.plotArea().height())
                  / std::log(ZoomStep);
    } else {
        const QPoint d = e->angleDelta();
        notches = (d.y() ? d.y() : d.x()) / 120.0;
    }
    notches = std::clamp(notches, -MaxNotches, MaxNotches);
    if (notches == 0.0)
        return;
    const Qt::KeyboardModifiers mods = e->modifiers();
    const QPointF at = viewportToContents(e->position().toPoint());
    const DPlotStrip* strip =
        graphic->stacked && (mods & Qt::ShiftModifier) ? stripAt(at) : nullptr;
    if (graphic->stacked && (mods & Qt::ShiftModifier) && !strip)
        return; // Y of no strip
    if (!lastWheel.isValid() || lastWheel.elapsed() > WheelBurst)
        pushHistory(viewState());
    lastWheel.start();
    const double factor = std::pow(ZoomStep, -notches);
    if (strip) {
        // The Y of the strip under the mouse, about the value there.
        double low = strip->map.toData(strip->area.bottomLeft()).y();
        double high = strip->map.toData(strip->area.topLeft()).y();
        transformSpan(low, high, strip->map.toData(at).y(), factor, 0.0, strip->map.logY);
        setStripSpan(*strip, low, high);
        applyView();
        return;
    }
    // A stacked chart zooms X for all strips; their Y only one by one.
    zoomAbout(anchor, mods & Qt::ShiftModifier ? 1.0 : factor,
              (mods & Qt::ControlModifier) || graphic->stacked ? 1.0 : factor);
    // New unit labels may have moved the plot's edges: put the point back under the mouse.
    const QRectF plot = chartPainter.plotArea();
    const QPointF off = chartPainter.plotMap()(anchor.x(), anchor.y()) - at;
    if (std::abs(off.x()) >= 0.5 || (!graphic->stacked && std::abs(off.y()) >= 0.5))
        panBy(off.x() / plot.width(), -off.y() / plot.height());
}

QRectF QAGVZGraphic::wholeRange() const
{
    if (!graphic)
        return QRectF();
    std::vector<const DAxis*> axes;
    for (const DItem* item = graphic->firstChild; item && axes.size() < 2; item = item->next) {
        if (const DAxis* axis = item->toAxis())
            axes.push_back(axis);
    }
    if (axes.size() < 2)
        return QRectF();
    const DAxisScale x(axes[0]), y(axes[1]);
    QRectF whole(QPointF(x.min(), y.min()), QPointF(x.max(), y.max()));
    if (graphic->logX || graphic->logY) {
        std::vector<const DCurve*> curves;
        for (const DItem* item = graphic->firstChild; item; item = item->next) {
            if (const DCurve* curve = item->toCurve())
                curves.push_back(curve);
        }
        double low = 0.0, high = 0.0;
        if (graphic->logX && DChartPainter::logRange(curves, 0, low, high)) {
            whole.setLeft(low);
            whole.setRight(high);
        }
        if (graphic->logY && DChartPainter::logRange(curves, 1, low, high)) {
            whole.setTop(low);
            whole.setBottom(high);
        }
    }
    return whole;
}

QRectF QAGVZGraphic::visibleRange() const
{
    return view.isValid() ? view : wholeRange();
}

bool QAGVZGraphic::setView(const QRectF& range)
{
    if (!is2D() || !finite(range))
        return false;
    pushHistory(viewState());
    showView(range);
    return true;
}

void QAGVZGraphic::showView(QRectF range)
{
    if (range.isValid() && finite(range)) {
        double left = range.left(), right = range.right();
        double top = range.top(), bottom = range.bottom();
        keepResolvable(left, right);
        keepResolvable(top, bottom);
        range.setCoords(left, top, right, bottom);
    } else {
        range = QRectF();
    }
    view = range;
    applyView();
}

void QAGVZGraphic::applyView()
{
    clearCursor();
    if (is2D()) {
        graphic->view = DView();
        if (view.isValid())
            graphic->view.rect = view;
        // Every strip gets its range and spacings here, so that print and export draw them too.
        for (const DItem* item = graphic->firstChild; graphic->stacked && item; item = item->next) {
            const DCurve* curve = item->toCurve();
            if (!curve)
                continue;
            DStrip strip;
            const auto zoomed = stripViews.find(curve->name);
            if (zoomed != stripViews.end())
                std::tie(strip.low, strip.high) = zoomed->second;
            else
                DChartPainter::stripRange(*curve, graphic->logY, strip.low, strip.high);
            graphic->view.strips.push_back(strip);
        }
        if (viewSpacing && (view.isValid() || graphic->stacked))
            viewSpacing(graphic->view);
    } else if (graphic) {
        graphic->view = DView();
    }
    repaintAll();
}

void QAGVZGraphic::setStripSpan(const DPlotStrip& strip, double low, double high)
{
    const DCurve* curve = curveAt(strip.curve);
    keepResolvable(low, high);
    if (curve && std::isfinite(low) && std::isfinite(high) && low < high)
        stripViews[curve->name] = {low, high};
}

const DCurve* QAGVZGraphic::curveAt(int index) const
{
    int i = 0;
    for (const DItem* item = graphic ? graphic->firstChild : nullptr; item; item = item->next) {
        if (const DCurve* curve = item->toCurve(); curve && i++ == index)
            return curve;
    }
    return nullptr;
}

const DPlotStrip* QAGVZGraphic::stripAt(const QPointF& at) const
{
    for (const DPlotStrip& strip : chartPainter.strips()) {
        if (strip.area.adjusted(0, 0, 1, 1).contains(at))
            return &strip;
    }
    return nullptr;
}

const DPlotStrip* QAGVZGraphic::stripOf(int curve) const
{
    const std::vector<DPlotStrip>& strips = chartPainter.strips();
    if (strips.empty())
        return nullptr;
    if (graphic && graphic->stacked)
        return std::size_t(curve) < strips.size() ? &strips[std::size_t(curve)] : nullptr;
    return &strips.front();
}

void QAGVZGraphic::pushHistory(const ViewState& previous)
{
    history.push_back(previous);
    if (history.size() > HistoryDepth)
        history.pop_front();
}

void QAGVZGraphic::zoomToFit()
{
    if (!isZoomed())
        return;
    pushHistory(viewState());
    stripViews.clear();
    showView(QRectF());
}

void QAGVZGraphic::zoomBack()
{
    if (history.empty())
        return;
    const ViewState previous = history.back();
    history.pop_back();
    stripViews = previous.strips;
    showView(previous.rect);
}

void QAGVZGraphic::resetView()
{
    // No repaint: the viewer calls this just before it hands over a new chart.
    history.clear();
    stripViews.clear();
    view = QRectF();
    if (graphic)
        graphic->view = DView();
}

void QAGVZGraphic::zoomAbout(const QPointF& anchor, double fx, double fy)
{
    const QRectF r = visibleRange();
    if (!r.isValid() || !graphic)
        return;
    double left = r.left(), right = r.right(), top = r.top(), bottom = r.bottom();
    transformSpan(left, right, anchor.x(), fx, 0.0, graphic->logX);
    transformSpan(top, bottom, anchor.y(), fy, 0.0, graphic->logY);
    showView(QRectF(QPointF(left, top), QPointF(right, bottom)));
}

void QAGVZGraphic::panBy(double fx, double fy)
{
    const QRectF r = visibleRange();
    if (!r.isValid() || !graphic)
        return;
    double left = r.left(), right = r.right(), top = r.top(), bottom = r.bottom();
    transformSpan(left, right, left, 1.0, fx, graphic->logX);
    if (!graphic->stacked)
        transformSpan(top, bottom, top, 1.0, fy, graphic->logY);
    showView(QRectF(QPointF(left, top), QPointF(right, bottom)));
}

bool QAGVZGraphic::dataAt(const QPoint& pos, QPointF& value) const
{
    const QRectF plot = chartPainter.plotArea();
    const QPointF at = viewportToContents(pos);
    if (plot.isEmpty() || !plot.adjusted(0, 0, 1, 1).contains(at))
        return false;
    value = chartPainter.plotMap().toData(at);
    return true;
}

void QAGVZGraphic::updateCursor(const QPoint& pos)
{
    QPointF value;
    if (!dataAt(pos, value)) {
        clearCursor();
        return;
    }
    const DPlotMap map = chartPainter.plotMap();
    const QPointF at = viewportToContents(pos);
    // Curves with the strip they are drawn in.
    std::vector<std::pair<const DCurve*, const DPlotStrip*>> curves;
    int place = 0;
    for (const DItem* item = graphic->firstChild; item; item = item->next) {
        const DCurve* curve = item->toCurve();
        if (!curve)
            continue;
        const DPlotStrip* strip = stripOf(place++);
        if (curve->summary && strip)
            curves.emplace_back(curve, strip);
    }
    cursorDots.clear();
    QString text;
    if (timeChart) {
        long long count = 0;
        for (const auto& [curve, strip] : curves)
            count = std::max(count, static_cast<long long>(curve->summary->items()));
        if (count == 0) {
            clearCursor();
            return;
        }
        long long sample = std::clamp(std::llround(value.x()), 0LL, count - 1);
        // Past 2^24 neighbouring samples share an X: name the first of them.
        while (sample > 0 && float(sample - 1) == float(sample))
            --sample;
        QStringList values;
        for (const auto& [curve, strip] : curves) {
            const DPoint* point = curve->summary->pointAt(std::size_t(sample));
            const float y = point ? point->coord(1) : NAN;
            if (!std::isfinite(y))
                continue;
            values << QStringLiteral("%1 %2").arg(curve->name, QString::number(y, 'g', 6));
            const QPointF dot = strip->map(float(sample), y);
            if (std::isfinite(dot.y())) // not drawn on a logarithmic scale
                cursorDots.push_back(dot);
        }
        cursorAt = map(float(sample), value.y());
        text = tr("sample %1: %2", "data cursor of the time chart: sample number, values")
                   .arg(sample)
                   .arg(values.join(QStringLiteral(", ")));
    } else {
        double best = CursorReach;
        for (const auto& [curve, strip] : curves) {
            double distance = 0.0;
            std::size_t index = 0;
            const DPoint* point = curve->summary->nearest(
                strip->map, strip->area.adjusted(0, 0, 1, 1), at, best, distance, index);
            if (!point)
                continue;
            best = distance;
            const float x = point->coord(0), y = point->coord(1);
            cursorAt = strip->map(x, y);
            text = tr("%1 #%2: x %3, y %4",
                      "data cursor of the XY chart: curve, sample number, coordinates")
                       .arg(curve->name)
                       .arg(index)
                       .arg(QString::number(x, 'g', 6), QString::number(y, 'g', 6));
        }
        if (text.isEmpty()) {
            clearCursor();
            return;
        }
    }
    cursorShown = true;
    viewport()->update();
    setReadout(text);
}

void QAGVZGraphic::clearCursor()
{
    if (cursorShown) {
        cursorShown = false;
        cursorDots.clear();
        viewport()->update();
    }
    setReadout(QString());
}

void QAGVZGraphic::setReadout(const QString& text)
{
    if (text == readoutText)
        return;
    readoutText = text;
    emit readoutChanged(text);
}

void QAGVZGraphic::drawOverlay(QPainter& p) const
{
    const QColor back =
        gvzpref ? gvzpref->general->background : palette().color(QPalette::Active, QPalette::Base);
    const QColor ink(255 - back.red(), 255 - back.green(), 255 - back.blue());
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (gesture == Gesture::Band) {
        QColor fill = ink;
        fill.setAlpha(40);
        p.setPen(QPen(ink, 0, Qt::DashLine));
        p.setBrush(fill);
        p.drawRect(
            QRectF(viewportToContents(pressPos), viewportToContents(gestureEnd)).normalized());
    }
    if (cursorShown) {
        const QRectF plot = chartPainter.plotArea();
        p.setClipRect(plot.adjusted(0, 0, 1, 1));
        p.setPen(QPen(ink, 0));
        p.setBrush(Qt::NoBrush);
        if (timeChart)
            p.drawLine(QPointF(std::floor(cursorAt.x()), plot.top()),
                       QPointF(std::floor(cursorAt.x()), plot.bottom()));
        else
            p.drawEllipse(cursorAt, 5, 5);
        p.setBrush(ink);
        for (const QPointF& dot : cursorDots)
            p.drawEllipse(dot, 3, 3);
    }
    p.restore();
}

QAScrollPane* QAGVZGraphic::newScrollPane(QAScrollPane::Mode mode, QWidget* parent,
                                          const char* name)
{
    return new QAGVZSPane(mode, parent, name, this);
}
