#include "host/studio/qastviewerwindow.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSet>
#include <QTimer>

#include <limits>

QStringList QAStViewerWindow::CurveRoles::names() const
{
    QStringList all = time.value_or(QStringList());
    if (x)
        all << *x;
    all << y.value_or(QStringList()) << z.value_or(QStringList());
    return all;
}

QAStViewerWindow::QAStViewerWindow(QWidget* parent, const char* name, Qt::WindowFlags flags)
    : QAStudioWindow(parent, name, flags), reloadTimer(new QTimer(this))
{
    reloadTimer->setSingleShot(true);
    // A coarse timer may fire early, which would break the pacing's promise.
    reloadTimer->setTimerType(Qt::PreciseTimer);
    connect(reloadTimer, &QTimer::timeout, this, &QAStViewerWindow::runAutoReload);
}

QAStViewerWindow::~QAStViewerWindow() = default;

void QAStViewerWindow::setFile(const QString& fileName)
{
    QStringList list(fileName);
    setFiles(&list, nullptr, FileMode);
}

bool QAStViewerWindow::canReload()
{
    return false;
}

void QAStViewerWindow::setFiles(QStringList* files, QStringList* second, ViewerMode mode)
{
    viewerFiles = files ? *files : QStringList();
    viewerSecondFiles = second ? *second : QStringList();
    viewerMode = mode;
    if (watcher) {
        watcher->removePaths(watcher->files() + watcher->directories());
        watchFiles();
    }
}

void QAStViewerWindow::setMode(ViewerMode mode)
{
    viewerMode = mode;
}
void QAStViewerWindow::setNode(const QString& node)
{
    viewerNode = node;
}
void QAStViewerWindow::setChannel(int channel)
{
    viewerChannel = channel;
}
void QAStViewerWindow::scrollToTag(const QString&, int, int)
{
}
void QAStViewerWindow::setRootName(const QString& name)
{
    viewerRootName = name;
}

void QAStViewerWindow::setRootIcon(const QPixmap& icon)
{
    setWindowIcon(icon);
}

void QAStViewerWindow::streamCharReceived(char)
{
}

void QAStViewerWindow::setAutoReload(bool on)
{
    if (on == autoReload())
        return;
    reloadTimer->stop();
    if (awaitedClose)
        awaitedClose->removeEventFilter(this);
    awaitedClose = nullptr;
    if (on) {
        watcher = new QFileSystemWatcher(this);
        connect(watcher, &QFileSystemWatcher::fileChanged, this, &QAStViewerWindow::fileChanged);
        connect(watcher, &QFileSystemWatcher::directoryChanged, this,
                &QAStViewerWindow::directoryChanged);
        watchFiles();
    } else {
        delete watcher;
        watcher = nullptr;
    }
    emit stateChanged();
}

void QAStViewerWindow::setAutoReloadDelay(int ms)
{
    reloadDelay = qMax(0, ms);
}

bool QAStViewerWindow::drawChart(QPainter&, const QRect&) const
{
    return false;
}

QList<QAStViewerWindow::CurveInfo> QAStViewerWindow::curveList() const
{
    return {};
}

bool QAStViewerWindow::setChartType(ChartType)
{
    return false;
}

bool QAStViewerWindow::setCurveRoles(const CurveRoles&)
{
    return false;
}

QStringList QAStViewerWindow::unknownCurveNames(const QStringList& names) const
{
    QSet<QString> known;
    for (const CurveInfo& curve : curveList())
        known.insert(curve.name);
    QStringList unknown;
    for (const QString& name : names) {
        if (!known.contains(name) && !unknown.contains(name))
            unknown << name;
    }
    return unknown;
}

bool QAStViewerWindow::setViewRange(const Range&, const std::optional<Range>&)
{
    return false;
}

bool QAStViewerWindow::setScales(const Scales&)
{
    return false;
}

void QAStViewerWindow::activated()
{
    viewerActive = true;
}

void QAStViewerWindow::desactivated()
{
    viewerActive = false;
}

void QAStViewerWindow::watchFiles()
{
    if (!watcher)
        return;
    // The folders are watched too: a file replaced by rename leaves the watcher (inotify follows
    // the old inode), and only its folder tells when the new file is there.
    const QStringList watchedFiles = watcher->files();
    const QStringList watchedDirs = watcher->directories();
    for (const QString& file : std::as_const(viewerFiles)) {
        const QFileInfo info(file);
        const QString dir = info.absolutePath();
        if (!watchedDirs.contains(dir) && QFileInfo(dir).isDir())
            watcher->addPath(dir);
        const QString path = info.absoluteFilePath();
        if (!watchedFiles.contains(path) && info.exists())
            watcher->addPath(path);
    }
}

void QAStViewerWindow::fileChanged()
{
    // A reload waiting for a popup to close comes when it closes, not before.
    if (!awaitedClose)
        scheduleReload();
}

void QAStViewerWindow::scheduleReload()
{
    // Not restarted by further changes: a file written without pause is still reloaded.
    if (reloadTimer->isActive())
        return;
    qint64 delay = reloadDelay;
    if (sinceReload.isValid())
        delay = qMax(delay, qMax<qint64>(reloadDelay, 3 * reloadCost) - sinceReload.elapsed());
    reloadTimer->start(int(qMin<qint64>(delay, std::numeric_limits<int>::max())));
}

void QAStViewerWindow::runAutoReload()
{
    if (!watcher)
        return;
    if (QWidget* open = openPopupOrDialog()) {
        // What the user is acting on is not replaced under them: the reload comes at its close.
        if (open != awaitedClose) {
            if (awaitedClose)
                awaitedClose->removeEventFilter(this);
            awaitedClose = open;
            open->installEventFilter(this);
        }
        return;
    }
    // Paths dropped by the watcher (a file renamed over or recreated) are taken up again here.
    watchFiles();
    QElapsedTimer cost;
    cost.start();
    refreshContents();
    reloadCost = cost.elapsed();
    sinceReload.start();
}

QWidget* QAStViewerWindow::openPopupOrDialog() const
{
    // Popups and dialogs are windows of their own: isAncestorOf() stops at them, so walk up.
    const auto ours = [this](QWidget* widget) {
        for (QWidget* w = widget; w; w = w->parentWidget()) {
            if (w == this)
                return true;
        }
        return false;
    };
    if (QWidget* popup = QApplication::activePopupWidget(); popup && ours(popup))
        return popup;
    // Any modal dialog counts: one of the studio (a read's progress) may be running this
    // window's own read further down the stack.
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return nullptr;
}

bool QAStViewerWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == awaitedClose && event->type() == QEvent::Hide) {
        awaitedClose->removeEventFilter(this);
        awaitedClose = nullptr;
        // Through the timer, never at once: the popup's caller still has to act on its choice.
        scheduleReload();
    }
    return QAStudioWindow::eventFilter(watched, event);
}

void QAStViewerWindow::directoryChanged()
{
    // Only a change of one of our files counts: one that appeared again, or disappeared.
    const QStringList watchedFiles = watcher->files();
    for (const QString& file : std::as_const(viewerFiles)) {
        const QFileInfo info(file);
        if (info.exists() != watchedFiles.contains(info.absoluteFilePath())) {
            fileChanged();
            return;
        }
    }
}
