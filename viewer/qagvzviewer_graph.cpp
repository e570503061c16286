// Chart building: turns the rows' roles into a chart description for the graphic widget.
#include "viewer/qagvzviewer.h"

#include "viewer/heaptrimscope_p.h"
#include "viewer/qagvzitem.h"
#include "config/qagvzconfig.h"
#include "data/qagvzvaluelist.h"
#include "graphic/qagvzgraphic.h"
#include "prefs/qagvzpref.h"
#include "host/chart/ditem.h"
#include "host/chart/dupdater.h"
#include "host/studio/qalistview.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>

#include <cmath>

namespace {
DStyle* prefStyle(DStyle* QAGVZPrefStyles::*member)
{
    return gvzpref ? gvzpref->styles->*member : nullptr;
}

// Appends items to a chain of siblings below `parent`, keeping its tail.
class ChainBuilder
{
public:
    ChainBuilder(DItem* parent, DItem* tail) : owner(parent), last(tail) {}

    void append(DItem* item)
    {
        if (last) {
            last->next = item;
        } else {
            owner->firstChild = item;
            item->parent = owner;
        }
        last = item;
    }

private:
    DItem* owner;
    DItem* last;
};

// The axes of a chart as built by newGraphic: X, Y and, for 3-D charts, Z.
struct Axes
{
    explicit Axes(DGraphic* g)
        : x(g->firstChild->toAxis()), y(g->firstChild->next->toAxis()),
          z(g->firstChild->next->next ? g->firstChild->next->next->toAxis() : nullptr)
    {
    }
    DItem* last() const { return z ? static_cast<DItem*>(z) : y; }

    DAxis* x;
    DAxis* y;
    DAxis* z;
};

// Adds one point per sample of `values`: X its position, Y its value.
int addTimePoints(DCurve* curve, const Axes& axes, const QAGVZValueList* values)
{
    ChainBuilder points(curve, nullptr);
    const QAGVZValue* sample = values ? values->first : nullptr;
    const int count = values ? values->count : 0;
    int i = 0;
    for (; sample && i < count; ++i, sample = sample->next) {
        auto* point = new DPoint(curve, nullptr);
        point->addCoord(axes.x, float(i));
        point->addCoord(axes.y, sample->value);
        points.append(point);
    }
    return i;
}

const QAGVZValue* firstSample(const QAGVZItem* row)
{
    return row && row->values ? row->values->first : nullptr;
}

// Adds one point per step along the chains of X, Y and, for a 3-D chart, Z, as long as every
// chain has a sample: a curve gets as many points as the shortest chain.
int addChainPoints(DCurve* curve, const Axes& axes, const QAGVZValue* x, const QAGVZValue* y,
                   const QAGVZValue* z)
{
    ChainBuilder points(curve, nullptr);
    int made = 0;
    while (x && y && (z || !axes.z)) {
        auto* point = new DPoint(curve, nullptr);
        point->addCoord(axes.x, x->value);
        point->addCoord(axes.y, y->value);
        if (axes.z) {
            point->addCoord(axes.z, z->value);
            z = z->next;
        }
        points.append(point);
        x = x->next;
        y = y->next;
        ++made;
    }
    return made;
}

struct Made
{
    int curves = 0;
    qint64 points = 0;
};

// Adds, after the axes, a curve for every row that `selected` picks, in list order, with the
// points that `addPoints` makes for it.
template <typename Select, typename AddPoints>
Made addCurves(DGraphic* g, const Axes& axes, QAListView* list, Select selected,
               AddPoints addPoints)
{
    Made made;
    ChainBuilder curves(g, axes.last());
    for (int r = 0, rows = list->topLevelItemCount(); r < rows; ++r) {
        const auto* row = static_cast<const QAGVZItem*>(list->topLevelItem(r));
        if (!selected(row))
            continue;
        auto* curve = new DCurve(DCurve::Line, QAGVZViewer::curveName(row), g, row->style, nullptr);
        curves.append(curve);
        ++made.curves;
        made.points += addPoints(curve, row);
    }
    return made;
}
} // namespace

void QAGVZViewer::updateGraphic()
{
    DGraphic* g = nullptr;
    switch (graphicType) {
    case TimeGraphic:
        g = timeGraphic();
        break;
    case XYGraphic:
        g = xyGraphic();
        break;
    case XYZGraphic:
        g = xyzGraphic();
        break;
    }
    QStringList frame{QString::number(graphicType)};
    if (graphicType == XYGraphic && itemX) {
        frame << curveName(itemX);
        for (int i = 0, n = listView->topLevelItemCount(); i < n; ++i) {
            if (rowAt(i)->displayAsY)
                frame << curveName(rowAt(i));
        }
    }
    if (frame != viewFrame)
        graphic->resetView();
    viewFrame = frame;
    graphic->timeChart = graphicType == TimeGraphic;
    showGraphic(g);
    showCurveHint();
}

QString QAGVZViewer::noCurveHint(GraphicType type)
{
    switch (type) {
    case TimeGraphic:
        return tr("No curve is shown: double-click a curve in the Outline, or right-click it and "
                  "choose Display Curve.");
    case XYGraphic:
        return tr("No curve is shown: right-click curves in the Outline to give them the X and Y "
                  "roles.");
    case XYZGraphic:
        return tr(
            "No curve is shown: right-click curves in the Outline to give them the X, Y and Z "
            "roles.");
    }
    return {};
}

void QAGVZViewer::showCurveHint()
{
    QMainWindow* host = active ? hostMainWindow() : nullptr;
    if (!host)
        return;
    QStatusBar* bar = host->statusBar();
    const QString shown = bar->currentMessage();
    if (!graphic->graphic)
        bar->showMessage(noCurveHint(graphicType));
    else if (shown == noCurveHint(TimeGraphic) || shown == noCurveHint(XYGraphic)
             || shown == noCurveHint(XYZGraphic))
        bar->clearMessage();
}

void QAGVZViewer::setGraphicType(GraphicType type)
{
    const HeapTrimScope trim;
    graphicType = type;
    // The 3-D chart drops the strips and logarithmic axes, even when it has nothing to draw.
    if (type == XYZGraphic)
        graphic->setScales(false, false, false);
    if (toolMenu) {
        for (QAction* action : toolMenu->actions()) {
            const int id = action->data().toInt();
            if (action->isCheckable() && id >= IdDisplayCurve && id <= IdDisplayXYZ)
                action->setChecked(id - IdDisplayCurve == type);
        }
    }
    for (int i = 0, n = listView->topLevelItemCount(); i < n; ++i) {
        QAGVZItem* row = rowAt(i);
        if (type == XYZGraphic && row != itemY)
            row->setDisplayAsY(false);
        row->setupPixmap();
    }
    updateGraphic();
}

void QAGVZViewer::mnDisplayCurve()
{
    setGraphicType(TimeGraphic);
}

void QAGVZViewer::mnDisplayXY()
{
    setGraphicType(XYGraphic);
}

void QAGVZViewer::mnDisplayXYZ()
{
    setGraphicType(XYZGraphic);
}

DGraphic* QAGVZViewer::newGraphic(int type, const QString& xName, const QString& yName,
                                  const QString& zName)
{
    const QString title = config ? config->title : QString();
    auto* g = new DGraphic(title, type, QString(), nullptr, nullptr, nullptr);
    g->style = prefStyle(&QAGVZPrefStyles::graphicStyle);
    auto* x = new DAxis(QStringLiteral("x"), QString(), xName, g, nullptr);
    auto* y = new DAxis(QStringLiteral("y"), QString(), yName, g, nullptr);
    x->style = prefStyle(&QAGVZPrefStyles::axisXStyle);
    y->style = prefStyle(&QAGVZPrefStyles::axisYStyle);
    ChainBuilder axes(g, nullptr);
    axes.append(x);
    axes.append(y);
    if (g->is3D()) {
        auto* z = new DAxis(QStringLiteral("z"), QString(), zName, g, nullptr);
        z->style = prefStyle(&QAGVZPrefStyles::axisZStyle);
        axes.append(z);
    }
    return g;
}

DGraphic* QAGVZViewer::finishGraphic(DGraphic* g, bool drawable, bool timeAxis)
{
    if (!drawable) {
        delete g;
        return nullptr;
    }
    const Axes axes(g);
    DUpdater updater;
    updater.doItem(g);
    configAxisX(axes.x, timeAxis);
    configAxisY(axes.y);
    if (axes.z)
        configAxisZ(axes.z);
    return g;
}

QString QAGVZViewer::curveName(const QAGVZItem* row)
{
    return row->values ? row->values->name : row->text(0);
}

bool QAGVZViewer::setChartView(double xFrom, double xTo, std::optional<std::pair<double, double>> y)
{
    const auto valid = [](double from, double to) {
        return std::isfinite(from) && std::isfinite(to) && from < to;
    };
    if (graphicType == XYZGraphic || !valid(xFrom, xTo) || (y && !valid(y->first, y->second)))
        return false;
    const QRectF whole = graphic->wholeRange();
    return graphic->setView(QRectF(QPointF(xFrom, y ? y->first : whole.top()),
                                   QPointF(xTo, y ? y->second : whole.bottom())));
}

DGraphic* QAGVZViewer::timeGraphic()
{
    DGraphic* g = newGraphic(DGraphic::Chart2D, tr("time", "X Axis name for 'time' graphic"),
                             tr("Y", "Y Axis name for 'time' graphic"), QString());
    const Axes axes(g);
    const Made made = addCurves(
        g, axes, listView, [](const QAGVZItem* row) { return row->displayIfTime; },
        [&axes](DCurve* curve, const QAGVZItem* row) {
            return addTimePoints(curve, axes, row->values);
        });
    // A chosen curve without samples still makes a chart: its axes and an empty curve.
    return finishGraphic(g, made.curves > 0, true);
}

DGraphic* QAGVZViewer::xyGraphic()
{
    if (!itemX)
        return nullptr;
    DGraphic* g = newGraphic(DGraphic::Chart2D, curveName(itemX),
                             tr("Y", "Y Axis name for XY graphic"), QString());
    const Axes axes(g);
    const QAGVZValue* x = firstSample(itemX);
    const Made made = addCurves(
        g, axes, listView, [](const QAGVZItem* row) { return row->displayAsY; },
        [&axes, x](DCurve* curve, const QAGVZItem* row) {
            return addChainPoints(curve, axes, x, firstSample(row), nullptr);
        });
    return finishGraphic(g, made.points > 0, false);
}

DGraphic* QAGVZViewer::xyzGraphic()
{
    if (!itemX || !itemY)
        return nullptr;
    DGraphic* g = newGraphic(DGraphic::Lines3D, curveName(itemX), curveName(itemY),
                             tr("Z", "Z Axis name for XYZ graphic"));
    const Axes axes(g);
    const QAGVZValue* x = firstSample(itemX);
    const QAGVZValue* y = firstSample(itemY);
    const Made made = addCurves(
        g, axes, listView, [](const QAGVZItem* row) { return row->displayAsZ; },
        [&axes, x, y](DCurve* curve, const QAGVZItem* row) {
            return addChainPoints(curve, axes, x, y, firstSample(row));
        });
    return finishGraphic(g, made.points > 0, false);
}
