#include "viewer/qagvzviewer.h"

#include "viewer/heaptrimscope_p.h"
#include "viewer/qagvzicons_p.h"
#include "viewer/qagvzitem.h"
#include "config/qagvzconfig.h"
#include "data/fileaccess.h"
#include "data/qagvzfile.h"
#include "data/qagvzvaluelist.h"
#include "data/tracecontent.h"
#include "graphic/qagvzgraphic.h"
#include "prefs/qagvzpref.h"
#include "host/res/qares.h"
#include "host/studio/getpix.h"
#include "host/studio/qaiprogressmonitor.h"
#include "host/studio/qalistview.h"
#include "host/studio/studiointerface.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QMenu>
#include <QScopedValueRollback>
#include <QSet>
#include <QStatusBar>

int QAGVZViewer::gvz_viewer_count_ = 0;
StudioInterface* QAGVZViewer::_iface = nullptr;
bool QAGVZViewer::initialized = false;

QAGVZViewer::QAGVZViewer(QWidget* parent, const char* name, Qt::WindowFlags flags, bool activate)
    : QAStViewerWindow(parent, name, flags)
{
    setActivateDisplay(activate);

    QMainWindow* host = hostMainWindow();
    config = new QAGVZConfig(host, "gvzcfg");

    listView = new QAListView(this, nullptr, {});
    listView->addColumn(tr("Name"));
    listView->addColumn(tr("Values"));
    listView->addColumn(tr("Min"));
    listView->addColumn(tr("Max"));
    // Rows stay in the order they were read until the user sorts by a column.
    listView->header()->setSortIndicator(-1, Qt::AscendingOrder);
    listView->setSortingEnabled(true);
    listView->hide();
    connect(listView, &QAListView::rightButtonPressed, this, &QAGVZViewer::rightButtonPressed);
    connect(listView, &QAListView::doubleClicked, this, &QAGVZViewer::doubleClicked);
    connect(listView, &QAListView::returnPressed, this, &QAGVZViewer::doubleClicked);

    graphicType = TimeGraphic;
    ++gvz_viewer_count_;
    setWindowTitle(tr("Graphic [%1]", "Title of graphic window").arg(gvz_viewer_count_));
    setWindowIcon(GETPIX("gvzviewer_xpm", gvzviewer_xpm));

    graphic = new QAGVZGraphic(this, nullptr, 0);
    setCentralWidget(graphic);
    graphic->viewSpacing = [this](DView& view) { configView(view); };
    connect(graphic, &QAGVZGraphic::readoutChanged, this, [this](const QString& text) {
        if (_iface && active)
            _iface->showReadout(text);
    });
    connect(graphic, &QAGVZGraphic::statusMessage, this, [this](const QString& text) {
        if (QMainWindow* mainWindow = active ? hostMainWindow() : nullptr)
            mainWindow->statusBar()->showMessage(text);
    });

    if (gvzpref)
        connect(gvzpref, &QAGVZPref::updated, this, &QAGVZViewer::dlgPrefAccepted);

    mainWindowDestroyed = false;
    if (host)
        connect(host, &QObject::destroyed, this, &QAGVZViewer::mainwindowDestroyed);
}

QAGVZViewer::~QAGVZViewer()
{
    delete toolMenu;
    delete listView;
    delete config;
}

void QAGVZViewer::initialize(QARes* resources, StudioInterface* iface)
{
    if (initialized)
        return;
    _iface = iface;
    QAGVZConfig::setStudioInterface(iface);
    gvzpref = new QAGVZPref;
    if (iface)
        iface->registerResourceProducer(gvzpref);
    QAResGroup* root = resources ? resources->toResGroup() : nullptr;
    if (root && root->firstChild()) {
        if (QARes* node = root->firstChild()->search(QStringLiteral("gvz_viewer"), '.'))
            gvzpref->fromResources(node);
    }
    initialized = true;
}

QMainWindow* QAGVZViewer::hostMainWindow() const
{
    return _iface ? _iface->mainWindow() : nullptr;
}

QAGVZItem* QAGVZViewer::firstRow() const
{
    return rowAt(0);
}

QAGVZItem* QAGVZViewer::rowAt(int index) const
{
    return static_cast<QAGVZItem*>(listView->topLevelItem(index));
}

// files:

void QAGVZViewer::setFiles(QStringList* fileList, QStringList* second, ViewerMode mode)
{
    const HeapTrimScope trim;
    QAStViewerWindow::setFiles(fileList, second, mode);
    listView->clear();
    ++dataVersion;
    itemX = nullptr;
    itemY = nullptr;
    // A cancelled read leaves no chart of the rows it cleared.
    if (!updateFiles(fileList ? *fileList : QStringList()))
        updateGraphic();
}

void QAGVZViewer::refreshContents()
{
    if (reading)
        return;
    bool restarted = false;
    if (appendGrowth(restarted))
        return;
    if (restarted && _iface)
        _iface->logMessage(tr("trace restarted: read in full"));
    updateFiles(files);
}

void QAGVZViewer::reload()
{
    // The user's own reload always reads in full: the way back from any doubt.
    if (!reading)
        updateFiles(files);
}

bool QAGVZViewer::FollowedFile::follow(const QAGVZFile& file, const QString& name)
{
    if (!file.utf8)
        return false;
    if (file.endsWithLineEnd) {
        beforeLastLine.clear();
        return tail.record(name, file.bytesRead);
    }
    // A header without its line end cannot be read on.
    if (file.lastLineStart < 0)
        return false;
    beforeLastLine = file.beforeLastLine;
    return tail.record(name, file.lastLineStart);
}

bool QAGVZViewer::appendGrowth(bool& restarted)
{
    restarted = false;
    if (files.isEmpty())
        return false;
    for (const QString& name : std::as_const(files)) {
        const auto it = followed.constFind(name);
        if (it == followed.constEnd())
            return false;
        if (!it->tail.appendedTo(name)) {
            restarted = fileReadProblem(name).isEmpty();
            return false;
        }
    }
    // Each curve of the set must come from one column of one file, and its row from that file:
    // otherwise which column wins could change with what was appended.
    QHash<QString, QAGVZItem*> rows;
    for (int i = 0; i < listView->topLevelItemCount(); ++i) {
        QAGVZItem* row = rowAt(i);
        if (rows.contains(row->text(0)))
            return false;
        rows.insert(row->text(0), row);
    }
    QSet<QString> names;
    std::vector<std::vector<QAGVZValueList*>> curves;
    std::vector<std::vector<QAGVZItem*>> curveRows;
    for (const QString& name : std::as_const(files)) {
        if (names.contains(name))
            return false; // the same file twice in the set
        names.insert(name);
    }
    names.clear();
    for (const QString& name : std::as_const(files)) {
        std::vector<QAGVZValueList*>& columns = curves.emplace_back();
        std::vector<QAGVZItem*>& columnRows = curveRows.emplace_back();
        for (const std::optional<QString>& column : followed[name].columns) {
            QAGVZItem* row = column ? rows.value(*column) : nullptr;
            if (column
                && (names.contains(*column) || !row || row->sourceFile != name || !row->values))
                return false;
            if (column)
                names.insert(*column);
            columns.push_back(row ? row->values : nullptr);
            columnRows.push_back(row);
        }
    }
    QAGVZFile file;
    bool grew = false;
    // Where each curve changes: the chart is extended from there.
    QHash<const QAGVZItem*, KeptSamples> kept;
    for (int i = 0; i < files.size(); ++i) {
        FollowedFile& state = followed[files.at(i)];
        std::vector<QAGVZValueList*>& columns = curves[size_t(i)];
        for (size_t k = 0; k < columns.size(); ++k) {
            if (columns[k])
                kept.insert(curveRows[size_t(i)][k], {columns[k]->last, columns[k]->count});
        }
        // The unfinished last line read before is read again whole.
        for (size_t k = 0; k < state.beforeLastLine.size() && k < columns.size(); ++k) {
            if (!columns[k])
                continue;
            const auto [before, count] = state.beforeLastLine[k];
            if (!columns[k]->truncateAfter(before, count))
                return false;
            kept.insert(curveRows[size_t(i)][k], {before, count});
        }
        // Gone between the check and the read: the full read says why, keeping what it can.
        if (!file.readAppended(files.at(i), state.tail.end, columns.data(), int(columns.size())))
            return false;
        grew = grew || file.bytesRead > state.tail.end || !state.beforeLastLine.empty();
        if (!state.follow(file, files.at(i)))
            followed.remove(files.at(i));
    }
    if (!grew)
        return true;
    ++dataVersion;
    for (auto it = rows.cbegin(); it != rows.cend(); ++it)
        it.value()->valuesGrew();
    if (!extendGraphic(kept))
        updateGraphic();
    return true;
}

bool QAGVZViewer::updateFiles(QStringList list)
{
    const HeapTrimScope trim;
    const QScopedValueRollback<bool> busy(reading, true);
    // Files that cannot be read now: their rows keep the curves last read from them, and a
    // later one of them still wins over an earlier file of the set, as when every file is read.
    QHash<QString, int> unreadable; // path -> index in the set
    QStringList problems;           // "path (reason)"
    QStringList warnings;
    qint64 totalBytes = 0;
    for (int i = 0; i < list.size(); ++i) {
        const QString problem = fileReadProblem(list.at(i));
        if (!problem.isEmpty()) {
            unreadable.insert(list.at(i), i);
            problems << list.at(i) + QStringLiteral(" (") + problem + QLatin1Char(')');
        } else {
            totalBytes += QFileInfo(list.at(i)).size();
        }
    }
    // Every file is read before anything changes, so that a cancelled read leaves all as it was.
    // The read's steps are KiB; the chart build takes BuildProgressSteps more.
    QAIProgressMonitor* monitor = _iface ? _iface->progressMonitor() : nullptr;
    const int totalSteps =
        int(std::min<qint64>(totalBytes >> 10, INT_MAX - 1 - BuildProgressSteps)) + 1;
    if (monitor) {
        monitor->setCancellable(true);
        monitor->setTotalSteps(totalSteps + BuildProgressSteps);
    }
    qint64 doneBytes = 0;
    std::vector<std::unique_ptr<QAGVZFile>> read;
    for (int i = 0; i < list.size(); ++i) {
        const QString& name = list.at(i);
        read.push_back(std::make_unique<QAGVZFile>());
        if (unreadable.contains(name))
            continue;
        QAGVZFile& file = *read.back();
        if (monitor) {
            monitor->setLabel(name);
            file.progress = [monitor, doneBytes, totalSteps](qint64 done, qint64) {
                const qint64 kib = (doneBytes + done) >> 10;
                monitor->setProgress(int(std::min<qint64>(kib, totalSteps - 1)));
                return !monitor->wasCanceled();
            };
        }
        if (!file.read(name)) {
            if (file.cancelled) {
                monitor->setProgress(totalSteps + BuildProgressSteps);
                return false;
            }
            unreadable.insert(name, i);
            problems << name + tr(" (cannot be opened)");
        }
        doneBytes += file.bytesRead;
    }
    if (monitor)
        monitor->setProgress(totalSteps);

    const bool opening = listView->topLevelItemCount() == 0;
    ++dataVersion;
    files = list;
    followed.clear();
    // Rows by curve name, the first in list order for each name. Names are compared in full:
    // names that differ only outside Latin-1 are different curves.
    QHash<QString, QAGVZItem*> rowsByName;
    const int oldCount = listView->topLevelItemCount();
    for (int i = 0; i < oldCount; ++i) {
        QAGVZItem* row = rowAt(i);
        row->obsolete = true;
        if (!rowsByName.contains(row->text(0)))
            rowsByName.insert(row->text(0), row);
    }
    // Inserting into a sorted list re-sorts at every row; sort once at the end instead.
    const bool sorting = listView->isSortingEnabled();
    listView->setSortingEnabled(false);

    QAGVZItem* met[3] = {nullptr, nullptr, nullptr};
    int metCount = 0;
    for (int i = 0; i < files.size(); ++i) {
        const QString& name = files.at(i);
        if (unreadable.contains(name))
            continue;
        QAGVZFile& file = *read[size_t(i)];
        const QString content = traceContentProblem(name);
        if (!content.isEmpty())
            warnings << tr("%1 does not look like a trace file: %2").arg(name, content);
        FollowedFile follow;
        QSet<QString> columnNames;
        bool twice = false; // a name twice in the header: which column wins could change
        for (int k = 0; k < file.count; ++k) {
            follow.columns.push_back(file[k] ? std::optional(file[k]->name) : std::nullopt);
            if (file[k]) {
                twice = twice || columnNames.contains(file[k]->name);
                columnNames.insert(file[k]->name);
            }
        }
        if (!twice && file.count > 0 && follow.follow(file, name))
            followed.insert(name, follow);
        QSet<QString> names;
        for (int k = 0; k < file.count; ++k) {
            QAGVZValueList* curve = file.take(k);
            if (!curve)
                continue;
            if (names.contains(curve->name)) {
                warnings << tr("%1 names the curve \"%2\" twice: the later column is shown")
                                .arg(name, curve->name);
            }
            names.insert(curve->name);
            QAGVZItem*& row = rowsByName[curve->name];
            if (row) {
                if (unreadable.value(row->sourceFile, -1) > i) {
                    delete curve;
                    continue;
                }
                row->setValues(curve);
            } else {
                row = new QAGVZItem(this, curve, listView, curve->name);
                if (gvzpref)
                    row->style = gvzpref->styles->curveStyles[k % QAGVZPrefStyles::CurveStyleCount];
            }
            row->sourceFile = name;
            row->obsolete = false;
            if (metCount < 3)
                met[metCount++] = row;
        }
    }
    for (int i = 0; i < listView->topLevelItemCount(); ++i) {
        QAGVZItem* row = rowAt(i);
        if (unreadable.contains(row->sourceFile))
            row->obsolete = false;
    }
    if (!problems.isEmpty()) {
        warnings.prepend(oldCount > 0
                             ? tr("Cannot read %1: showing the data last read")
                                   .arg(problems.join(QStringLiteral(", ")))
                             : tr("Cannot read %1").arg(problems.join(QStringLiteral(", "))));
    }
    if (_iface && !warnings.isEmpty())
        _iface->logMessage(warnings.join(QLatin1Char('\n')));

    bool anyTime = false;
    bool anyZ = false;
    for (int i = listView->topLevelItemCount() - 1; i >= 0; --i) {
        QAGVZItem* row = rowAt(i);
        if (!row->obsolete) {
            anyTime = anyTime || row->displayIfTime;
            anyZ = anyZ || row->displayAsZ;
            continue;
        }
        if (itemX == row)
            itemX = nullptr;
        if (itemY == row)
            itemY = nullptr;
        delete row;
    }
    if (met[0]) {
        if (!anyTime)
            met[0]->setDisplayIfTime(true);
        if (!itemX) {
            itemX = met[0];
            itemX->setDisplayAsX(true);
        }
    }
    if (met[1] && !itemY) {
        itemY = met[1];
        itemY->setDisplayAsY(true);
    }
    if (!anyZ && met[2])
        met[2]->setDisplayAsZ(true);

    listView->setSortingEnabled(sorting);
    if (!monitor) {
        updateGraphic();
        return true;
    }
    // The rows have changed: a reload can no longer go back, an open can still leave nothing.
    monitor->setCancellable(opening);
    const qint64 points = std::max<qint64>(chartPoints(), 1);
    bool cancelled = false;
    buildTick = [&](qint64 made) {
        monitor->setProgress(
            totalSteps
            + int(std::min<qint64>(made * BuildProgressSteps / points, BuildProgressSteps - 1)));
        cancelled = opening && monitor->wasCanceled();
        return !cancelled;
    };
    updateGraphic();
    buildTick = nullptr;
    if (cancelled) {
        itemX = itemY = nullptr;
        listView->clear();
        ++dataVersion;
        files.clear();
        followed.clear();
        updateGraphic();
    }
    monitor->setProgress(totalSteps + BuildProgressSteps);
    monitor->setCancellable(true);
    return !cancelled;
}

// activation and closing:

void QAGVZViewer::activated()
{
    if (active)
        return;
    QAStViewerWindow::activated();
    createToolMenu();
    if (!hasFocus())
        setFocus();
    emit stateChanged();
    active = true;
    showCurveHint();
}

void QAGVZViewer::desactivated()
{
    viewerActive = false;
    if (_iface && toolMenuId != -1) {
        _iface->removeMenu(toolMenuId);
        toolMenu->clear();
    }
    active = false;
}

void QAGVZViewer::closeEvent(QCloseEvent* e)
{
    if (!closeAccepted) {
        closeAccepted = canClose();
        if (!closeAccepted) {
            e->ignore();
            return;
        }
    }
    if (!mainWindowDestroyed && active) {
        if (_iface && toolMenuId != -1)
            _iface->removeMenu(toolMenuId);
        toolMenuId = -1;
        if (toolMenu)
            toolMenu->clear();
    }
    QAStViewerWindow::closeEvent(e);
}

void QAGVZViewer::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
}

void QAGVZViewer::mainwindowDestroyed()
{
    mainWindowDestroyed = true;
}

// host questions:

bool QAGVZViewer::canClose()
{
    return true;
}
QWidget* QAGVZViewer::contentOutlineWidget() const
{
    return listView;
}
bool QAGVZViewer::isSaveEnabled()
{
    return false;
}
bool QAGVZViewer::isSaveAsEnabled()
{
    return false;
}
bool QAGVZViewer::isPrintEnabled()
{
    return true;
}
bool QAGVZViewer::isCopyEnabled()
{
    return false;
}
bool QAGVZViewer::isPasteEnabled()
{
    return false;
}
bool QAGVZViewer::isCutEnabled()
{
    return false;
}
bool QAGVZViewer::isUndoEnabled()
{
    return false;
}
bool QAGVZViewer::isRedoEnabled()
{
    return false;
}
bool QAGVZViewer::isDelEnabled()
{
    return false;
}
bool QAGVZViewer::isSelectAllEnabled()
{
    return false;
}
bool QAGVZViewer::isFindEnabled()
{
    return false;
}
bool QAGVZViewer::isReplaceEnabled()
{
    return false;
}
bool QAGVZViewer::isGoToEnabled()
{
    return false;
}
bool QAGVZViewer::isReloadEnabled()
{
    return true;
}
bool QAGVZViewer::isResetEnabled()
{
    return true;
}
bool QAGVZViewer::isExportDocEnabled()
{
    return false;
}
bool QAGVZViewer::isZoomEnabled()
{
    return false;
}
bool QAGVZViewer::isFilterEnabled()
{
    return false;
}

// Commands a trace viewer has no use for.
void QAGVZViewer::save()
{
}
void QAGVZViewer::saveAs()
{
}
void QAGVZViewer::copy()
{
}
void QAGVZViewer::paste()
{
}
void QAGVZViewer::cut()
{
}
void QAGVZViewer::undo()
{
}
void QAGVZViewer::redo()
{
}
void QAGVZViewer::del()
{
}
void QAGVZViewer::selectAll()
{
}
void QAGVZViewer::replace()
{
}
void QAGVZViewer::goTo()
{
}
void QAGVZViewer::reset()
{
}
void QAGVZViewer::zoomIn()
{
}
void QAGVZViewer::zoomOut()
{
}
void QAGVZViewer::mnFilter()
{
}
void QAGVZViewer::zoom(int)
{
}
void QAGVZViewer::find(const QString&)
{
}
void QAGVZViewer::scrollToTag(QString, int, int)
{
}
