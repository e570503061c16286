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
#include <cmath>

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

void QAGVZGraphic::setGraphic(DGraphic* g)
{
    // A time chart viewed up to its last sample (within a pixel) follows the trace as it grows.
    bool follows = false;
    double lastBefore = 0.0;
    if (timeChart && view.isValid() && is2D()) {
        lastBefore = wholeRange().right();
        const double pixel = 1.0 / std::max(chartPainter.plotMap().xScale, 1e-300);
        follows = std::abs(view.right() - lastBefore) <= pixel;
    }
    delete graphic;
    graphic = g;
    // A rebuilt chart never keeps spinning.
    motionTimer.stop();
    fullDrawing.stop();
    chartPainter.preview = false;
    clearCursor();
    if (graphic) {
        copySettingsInto(graphic);
        DUpdater updater;
        updater.doItem(graphic);
        widenDegenerateRanges(graphic);
        const double grown = wholeRange().right() - lastBefore;
        if (follows && is2D() && grown > 0)
            view.translate(grown, 0);
        showView(view);
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
        case Qt::Key_Minus:
            pushHistory(view);
            zoomAbout(r.center(), e->key() == Qt::Key_Minus ? ZoomStep : 1 / ZoomStep,
                      e->key() == Qt::Key_Minus ? ZoomStep : 1 / ZoomStep);
            return;
        case Qt::Key_Home:
            zoomToFit();
            return;
        case Qt::Key_Backspace:
            zoomBack();
            return;
        default:
            break;
        }
        const QPointF tenth(r.width() / 10, r.height() / 10);
        const QPointF pans[] = {{-tenth.x(), 0}, {0, tenth.y()}, {tenth.x(), 0}, {0, -tenth.y()}};
        if (ctrl && e->key() >= Qt::Key_Left && e->key() <= Qt::Key_Down) {
            pushHistory(view);
            const QPointF d = pans[e->key() - Qt::Key_Left];
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
        const bool pans = e->button() == Qt::MiddleButton
                          || (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ShiftModifier));
        if (is2D() && gesture == Gesture::None && dataAt(pos, spot)
            && (pans || e->button() == Qt::LeftButton)) {
            clearCursor();
            gesture = pans ? Gesture::Pan : Gesture::Band;
            pressPos = gestureEnd = pos;
            gestureStart = visibleRange();
            gestureView = view;
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
    if (ended == Gesture::Pan && view != gestureView)
        pushHistory(gestureView);
    if (ended == Gesture::Band) {
        viewport()->update();
        const QPoint end = e->position().toPoint();
        const bool wide = std::abs(end.x() - pressPos.x()) >= BandMinimum;
        const bool high = std::abs(end.y() - pressPos.y()) >= BandMinimum;
        const DPlotMap map = chartPainter.plotMap();
        const QPointF a = map.toData(viewportToContents(pressPos));
        const QPointF b = map.toData(viewportToContents(end));
        QRectF band = visibleRange();
        if (wide)
            band.setCoords(std::min(a.x(), b.x()), band.top(), std::max(a.x(), b.x()),
                           band.bottom());
        if (high)
            band.setCoords(band.left(), std::min(a.y(), b.y()), band.right(),
                           std::max(a.y(), b.y()));
        if (wide || high)
            setView(band);
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
        const DPlotMap map = chartPainter.plotMap();
        const QRectF moved = gestureStart.translated((pressPos.x() - pos.x()) / map.xScale,
                                                     (pos.y() - pressPos.y()) / map.yScale);
        showView(moved);
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
    if (!lastWheel.isValid() || lastWheel.elapsed() > WheelBurst)
        pushHistory(view);
    lastWheel.start();
    const double factor = std::pow(ZoomStep, -notches);
    const Qt::KeyboardModifiers mods = e->modifiers();
    zoomAbout(anchor, mods & Qt::ShiftModifier ? 1.0 : factor,
              mods & Qt::ControlModifier ? 1.0 : factor);
    // New unit labels may have moved the plot's edges: put the point back under the mouse.
    const QPointF at = viewportToContents(e->position().toPoint());
    const DPlotMap map = chartPainter.plotMap();
    const QPointF off = map(anchor.x(), anchor.y()) - at;
    if (std::abs(off.x()) >= 0.5 || std::abs(off.y()) >= 0.5)
        showView(visibleRange().translated(off.x() / map.xScale, -off.y() / map.yScale));
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
    return QRectF(QPointF(x.min(), y.min()), QPointF(x.max(), y.max()));
}

QRectF QAGVZGraphic::visibleRange() const
{
    return view.isValid() ? view : wholeRange();
}

bool QAGVZGraphic::setView(const QRectF& range)
{
    if (!is2D() || !finite(range))
        return false;
    pushHistory(view);
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
    clearCursor();
    if (graphic) {
        graphic->view = DView();
        if (is2D() && view.isValid()) {
            graphic->view.rect = view;
            if (viewSpacing)
                viewSpacing(graphic->view);
        }
    }
    repaintAll();
}

void QAGVZGraphic::pushHistory(const QRectF& previous)
{
    history.push_back(previous);
    if (history.size() > HistoryDepth)
        history.pop_front();
}

void QAGVZGraphic::zoomToFit()
{
    if (!view.isValid())
        return;
    pushHistory(view);
    showView(QRectF());
}

void QAGVZGraphic::zoomBack()
{
    if (history.empty())
        return;
    const QRectF previous = history.back();
    history.pop_back();
    showView(previous);
}

void QAGVZGraphic::resetView()
{
    // No repaint: the viewer calls this just before it hands over a new chart.
    history.clear();
    view = QRectF();
    if (graphic)
        graphic->view = DView();
}

void QAGVZGraphic::zoomAbout(const QPointF& anchor, double fx, double fy)
{
    const QRectF r = visibleRange();
    if (!r.isValid())
        return;
    showView(QRectF(QPointF(anchor.x() + (r.left() - anchor.x()) * fx,
                            anchor.y() + (r.top() - anchor.y()) * fy),
                    QPointF(anchor.x() + (r.right() - anchor.x()) * fx,
                            anchor.y() + (r.bottom() - anchor.y()) * fy)));
}

void QAGVZGraphic::panBy(double dx, double dy)
{
    showView(visibleRange().translated(dx, dy));
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
    const QRectF plot = chartPainter.plotArea().adjusted(0, 0, 1, 1);
    const QPointF at = viewportToContents(pos);
    std::vector<const DCurve*> curves;
    for (const DItem* item = graphic->firstChild; item; item = item->next) {
        if (const DCurve* curve = item->toCurve(); curve && curve->summary)
            curves.push_back(curve);
    }
    cursorDots.clear();
    QString text;
    if (timeChart) {
        long long count = 0;
        for (const DCurve* curve : curves)
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
        for (const DCurve* curve : curves) {
            const DPoint* point = curve->summary->pointAt(std::size_t(sample));
            const float y = point ? point->coord(1) : NAN;
            if (!std::isfinite(y))
                continue;
            values << QStringLiteral("%1 %2").arg(curve->name, QString::number(y, 'g', 6));
            cursorDots.push_back(map(float(sample), y));
        }
        cursorAt = map(float(sample), value.y());
        text = tr("sample %1: %2", "data cursor of the time chart: sample number, values")
                   .arg(sample)
                   .arg(values.join(QStringLiteral(", ")));
    } else {
        double best = CursorReach;
        for (const DCurve* curve : curves) {
            double distance = 0.0;
            std::size_t index = 0;
            const DPoint* point = curve->summary->nearest(map, plot, at, best, distance, index);
            if (!point)
                continue;
            best = distance;
            const float x = point->coord(0), y = point->coord(1);
            cursorAt = map(x, y);
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
        p.drawRect(QRectF(viewportToContents(pressPos), viewportToContents(gestureEnd)).normalized());
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
