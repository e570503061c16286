#include "graphic/qagvzgraphic.h"

#include "graphic/qagvzspane.h"
#include "host/chart/ditem.h"
#include "host/chart/dupdater.h"
#include "prefs/qagvzpref.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>

#include <algorithm>

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
}

QAGVZGraphic::~QAGVZGraphic()
{
    motionTimer.stop();
    delete graphic;
}

void QAGVZGraphic::setGraphic(DGraphic* g)
{
    delete graphic;
    graphic = g;
    // A rebuilt chart never keeps spinning.
    motionTimer.stop();
    if (graphic) {
        copySettingsInto(graphic);
        DUpdater updater;
        updater.doItem(graphic);
        widenDegenerateRanges(graphic);
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
    viewport()->repaint();
}

void QAGVZGraphic::repaintAll()
{
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
    viewport()->repaint();
}

void QAGVZGraphic::keyPressEvent(QKeyEvent* e)
{
    const QScrollBar* h = horizontalScrollBar();
    const QScrollBar* v = verticalScrollBar();
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
    // Every key stays here: none reaches the viewer window.
    e->accept();
}

void QAGVZGraphic::leaveEvent(QEvent* e)
{
    QWidget::leaveEvent(e);
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
    const qreal ratio = devicePixelRatioF();
    QPixmap buffer(QSize(vw, vh) * ratio);
    buffer.setDevicePixelRatio(ratio);
    QPainter bp(&buffer);
    const QColor background =
        gvzpref ? gvzpref->general->background : palette().color(QPalette::Active, QPalette::Base);
    bp.fillRect(0, 0, vw, vh, background);
    if (graphic) {
        bp.save();
        bp.translate(-contentsX(), -contentsY());
        bp.setPen(Qt::NoPen);
        chartPainter.draw(bp, QRect(0, 0, contentsWidth(), contentsHeight()), graphic);
        bp.restore();
    }
    bp.end();
    p->drawPixmap(QPoint(contentsX(), contentsY()), buffer);
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
    default:
        for (const PresetView& view : PresetViews) {
            if (view.id == id)
                set3D(view.elevation, view.azimuth);
        }
        return;
    }
}

void QAGVZGraphic::viewportMouseReleaseEvent(QMouseEvent* e)
{
    QAScrollPaneView::viewportMouseReleaseEvent(e);
    dragging = false;
    // The spin repeats the last drag step, whatever it is; a zero step stops at the first tick.
    if (is3D() && (e->modifiers() & Qt::ControlModifier))
        motionTimer.start(MotionInterval);
}

void QAGVZGraphic::viewportMouseMoveEvent(QMouseEvent* e)
{
    if (!graphic || !dragging)
        return;
    motionTimer.stop();
    const QPoint pos = e->position().toPoint();
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
    repaintAll();
}

QAScrollPane* QAGVZGraphic::newScrollPane(QAScrollPane::Mode mode, QWidget* parent,
                                          const char* name)
{
    return new QAGVZSPane(mode, parent, name, this);
}
