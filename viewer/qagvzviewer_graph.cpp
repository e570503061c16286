// Chart building: turns the rows' roles into a chart description for the graphic widget.
#include "viewer/qagvzviewer.h"

#include "viewer/heaptrimscope_p.h"
#include "viewer/qagvzitem.h"
#include "config/qagvzconfig.h"
#include "data/qagvzvaluelist.h"
#include "graphic/qagvzgraphic.h"
#include "prefs/qagvzpref.h"
#include "host/chart/dcurvesummary.h"
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

// The samples that make a curve's points from some place on: Y alone for a time chart (X is
// the sample number), else X, Y and for a 3-D chart Z, a point per step while every chain has one.
struct Chains
{
    const QAGVZValue* x = nullptr;
    const QAGVZValue* y = nullptr;
    const QAGVZValue* z = nullptr;
};

// The chains of a curve of a chart of `type` made from the samples `own` of its row, X from `x`
// and, for a 3-D chart, Y from `y`.
Chains chainsOf(QAGVZViewer::GraphicType type, const QAGVZValue* x, const QAGVZValue* y,
                const QAGVZValue* own)
{
    switch (type) {
    case QAGVZViewer::TimeGraphic:
        return {nullptr, own, nullptr};
    case QAGVZViewer::XYGraphic:
        return {x, own, nullptr};
    case QAGVZViewer::XYZGraphic:
        return {x, y, own};
    }
    return {};
}

// Counts the points made and reports every Slice of them through the viewer's build tick.
class Slices
{
public:
    explicit Slices(const std::function<bool(qint64)>& report) : tick(report) {}
    // False once the build is to stop.
    bool add()
    {
        if (++pending < Slice)
            return true;
        made += pending;
        pending = 0;
        return !tick || tick(made);
    }

private:
    static constexpr qint64 Slice = 1 << 16;
    const std::function<bool(qint64)>& tick;
    qint64 made = 0;
    qint64 pending = 0;
};

// Appends the points of `from` to `points` (up to `timeCount` samples in a time chart).
// False when the build was stopped.
bool addPoints(DCurveSummary::Builder& points, QAGVZViewer::GraphicType type, Chains from,
               int timeCount, Slices& slices)
{
    switch (type) {
    case QAGVZViewer::TimeGraphic:
        for (std::size_t i = points.count(); from.y && i < std::size_t(timeCount);
             ++i, from.y = from.y->next) {
            points.add(float(i), from.y->value);
            if (!slices.add())
                return false;
        }
        break;
    case QAGVZViewer::XYGraphic:
        for (; from.x && from.y; from.x = from.x->next, from.y = from.y->next) {
            points.add(from.x->value, from.y->value);
            if (!slices.add())
                return false;
        }
        break;
    case QAGVZViewer::XYZGraphic:
        for (; from.x && from.y && from.z;
             from.x = from.x->next, from.y = from.y->next, from.z = from.z->next) {
            points.add(from.x->value, from.y->value, from.z->value);
            if (!slices.add())
                return false;
        }
        break;
    }
    return true;
}

const QAGVZValue* firstSample(const QAGVZItem* row)
{
    return row && row->values ? row->values->first : nullptr;
}

int sampleCount(const QAGVZItem* row)
{
    return row && row->values ? row->values->count : 0;
}

// Whether `row` makes a curve of a chart of `type`.
bool shows(QAGVZViewer::GraphicType type, const QAGVZItem* row)
{
    switch (type) {
    case QAGVZViewer::TimeGraphic:
        return row->displayIfTime;
    case QAGVZViewer::XYGraphic:
        return row->displayAsY;
    case QAGVZViewer::XYZGraphic:
        return row->displayAsZ;
    }
    return false;
}

struct Made
{
    int curves = 0;
    qint64 points = 0;
    bool stopped = false;
};

// Unlinks from `chart` (null: none) the curve made for `row` and answers it; null when none.
DCurve* takeCurve(DGraphic* chart, const QAGVZItem* row)
{
    for (DItem** link = chart ? &chart->firstChild : nullptr; link && *link;
         link = &(*link)->next) {
        DCurve* curve = (*link)->toCurve();
        if (curve && curve->userData == row) {
            *link = curve->next;
            curve->next = nullptr;
            return curve;
        }
    }
    return nullptr;
}

// Adds, after the axes, a curve for every row that a chart of `type` shows, in list order, with
// its points: X from `xRow` and, for a 3-D chart, Y from `yRow`. A curve of `shown` (null: none)
// made for the same row is taken over instead.
Made addCurves(DGraphic* g, QAListView* list, QAGVZViewer::GraphicType type, const QAGVZItem* xRow,
               const QAGVZItem* yRow, DGraphic* shown, const std::function<bool(qint64)>& tick)
{
    Made made;
    Slices slices(tick);
    ChainBuilder curves(g, Axes(g).last());
    for (int r = 0, rows = list->topLevelItemCount(); r < rows && !made.stopped; ++r) {
        auto* row = static_cast<QAGVZItem*>(list->topLevelItem(r));
        if (!shows(type, row))
            continue;
        ++made.curves;
        if (DCurve* taken = takeCurve(shown, row)) {
            taken->parent = g;
            taken->style = row->style;
            curves.append(taken);
            made.points += qint64(taken->summary ? taken->summary->items() : 0);
            continue;
        }
        auto* curve = new DCurve(DCurve::Line, QAGVZViewer::curveName(row), g, row->style, row);
        curves.append(curve);
        DCurveSummary::Builder points(*curve, 0, g->is3D());
        const Chains from = chainsOf(type, firstSample(xRow), firstSample(yRow), firstSample(row));
        made.stopped = !addPoints(points, type, from, sampleCount(row), slices);
        made.points += qint64(points.count());
    }
    return made;
}
} // namespace

void QAGVZViewer::updateGraphic()
{
    // The curves of the chart shown serve again when they were made from the same samples.
    const ChartSource source{graphicType, graphicType == TimeGraphic ? nullptr : itemX,
                             graphicType == XYZGraphic ? itemY : nullptr, dataVersion};
    curvesFrom = graphic->graphic && shownSource == source ? graphic->graphic : nullptr;
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
    curvesFrom = nullptr;
    shownSource = g ? source : ChartSource();
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
    const Made made = addCurves(g, listView, TimeGraphic, nullptr, nullptr, curvesFrom, buildTick);
    // A chosen curve without samples still makes a chart: its axes and an empty curve.
    return finishGraphic(g, made.curves > 0 && !made.stopped, true);
}

DGraphic* QAGVZViewer::xyGraphic()
{
    if (!itemX)
        return nullptr;
    DGraphic* g = newGraphic(DGraphic::Chart2D, curveName(itemX),
                             tr("Y", "Y Axis name for XY graphic"), QString());
    const Made made = addCurves(g, listView, XYGraphic, itemX, nullptr, curvesFrom, buildTick);
    return finishGraphic(g, made.points > 0 && !made.stopped, false);
}

DGraphic* QAGVZViewer::xyzGraphic()
{
    if (!itemX || !itemY)
        return nullptr;
    DGraphic* g = newGraphic(DGraphic::Lines3D, curveName(itemX), curveName(itemY),
                             tr("Z", "Z Axis name for XYZ graphic"));
    const Made made = addCurves(g, listView, XYZGraphic, itemX, itemY, curvesFrom, buildTick);
    return finishGraphic(g, made.points > 0 && !made.stopped, false);
}

qint64 QAGVZViewer::chartPoints() const
{
    qint64 points = 0;
    for (int r = 0, rows = listView->topLevelItemCount(); r < rows; ++r) {
        if (shows(graphicType, rowAt(r)))
            points += sampleCount(rowAt(r));
    }
    return points;
}

bool QAGVZViewer::extendGraphic(const QHash<const QAGVZItem*, KeptSamples>& kept)
{
    DGraphic* g = graphic->graphic;
    if (!g)
        return false;
    const QAGVZItem* xRow = graphicType == TimeGraphic ? nullptr : itemX;
    const QAGVZItem* yRow = graphicType == XYZGraphic ? itemY : nullptr;
    const auto keptOf = [&kept](const QAGVZItem* row) {
        const auto it = kept.constFind(row);
        if (it != kept.constEnd())
            return *it;
        return KeptSamples{row->values ? row->values->last : nullptr, sampleCount(row)};
    };
    // The first sample of `row` past those kept; null without a row.
    const auto after = [&keptOf](const QAGVZItem* row) -> const QAGVZValue* {
        if (!row)
            return nullptr;
        const KeptSamples k = keptOf(row);
        return k.before ? k.before->next : firstSample(row);
    };
    struct Growth
    {
        DCurve* curve;
        std::size_t keep;
        Chains from;
        int count;
    };
    std::vector<Growth> growths;
    DItem* item = Axes(g).last()->next;
    for (int r = 0, rows = listView->topLevelItemCount(); r < rows; ++r) {
        const QAGVZItem* row = rowAt(r);
        if (!shows(graphicType, row))
            continue;
        DCurve* curve = item ? item->toCurve() : nullptr;
        if (!curve || curve->name != curveName(row) || !curve->summary)
            return false;
        item = item->next;
        // Point i pairs the i-th samples of its chains: they must all have changed at the same
        // place, and the points before it must be theirs.
        const KeptSamples k = keptOf(row);
        for (const QAGVZItem* source : {xRow, yRow}) {
            if (source && keptOf(source).count != k.count)
                return false;
        }
        if (std::size_t(k.count) > curve->summary->items())
            return false;
        const Chains from = chainsOf(graphicType, after(xRow), after(yRow), after(row));
        growths.push_back({curve, std::size_t(k.count), from, sampleCount(row)});
    }
    if (item)
        return false;
    graphic->changeGraphic([this, &growths](DGraphic* chart) {
        const std::function<bool(qint64)> untimed;
        Slices slices(untimed);
        for (const Growth& growth : growths) {
            DCurveSummary::Builder points(*growth.curve, growth.keep, chart->is3D());
            addPoints(points, graphicType, growth.from, growth.count, slices);
        }
        finishGraphic(chart, true, graphicType == TimeGraphic);
    });
    shownSource.data = dataVersion;
    return true;
}
