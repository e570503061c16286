#include "app/studiomainwindow.h"

#include "app/preferencedialog.h"
#include "app/resourcestore.h"
#include "app/studioprogress.h"
#include "data/fileaccess.h"
#include "host/studio/preferenceitem.h"
#include "host/studio/qastviewerplugin.h"
#include "host/studio/qastviewerwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QLabel>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>
#include <QVBoxLayout>

#include <cstdio>

StudioMainWindow::StudioMainWindow(ResourceStore* resourceStore, QWidget* parent)
    : QMainWindow(parent), resources(resourceStore), mdi(new QMdiArea(this)),
      outline(new QDockWidget(tr("Outline"), this)), outlineHolder(new QWidget(outline)),
      outlineLayout(new QVBoxLayout(outlineHolder)),
      progress(std::make_unique<StudioProgress>(this))
{
    setWindowTitle(QApplication::applicationName());
    mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi);
    outline->setObjectName(QStringLiteral("outline"));
    outlineLayout->setContentsMargins(0, 0, 0, 0);
    outline->setWidget(outlineHolder);
    addDockWidget(Qt::LeftDockWidgetArea, outline);
    readout = new QLabel(this);
    statusBar()->addPermanentWidget(readout);
    live = new QLabel(tr("Live"), this);
    live->setToolTip(tr("The active window follows its files as they grow"));
    live->hide();
    statusBar()->addPermanentWidget(live);
    setAcceptDrops(true);
    createMenus();
    connect(mdi, &QMdiArea::subWindowActivated, this, &StudioMainWindow::subWindowActivated);
    progress->runningChanged = [this] { updateActions(); };
    updateActions();
}

StudioMainWindow::~StudioMainWindow()
{
    // The windows' code lives in the plug-in: they go before the plug-in does.
    // Windows closed a moment ago are no longer listed but still await their deletion: take
    // every sub-window, so that none is destroyed after this object stopped being a main window.
    disconnect(mdi, nullptr, this, nullptr);
    if (resources)
        resources->unregisterProducer(this);
    qDeleteAll(mdi->findChildren<QMdiSubWindow*>());
}

void StudioMainWindow::createMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    actOpen = file->addAction(tr("&Open..."), this, &StudioMainWindow::mnOpen);
    actOpen->setShortcut(QKeySequence::Open);
    recent = file->addMenu(tr("Open &Recent"));
    recent->setToolTipsVisible(true);
    connect(recent, &QMenu::aboutToShow, this, &StudioMainWindow::fillRecentMenu);
    actReload = file->addAction(tr("&Reload"), this, &StudioMainWindow::mnReload);
    actReload->setShortcut(QKeySequence::Refresh);
    actAutoReload = file->addAction(tr("&Auto Reload"));
    actAutoReload->setCheckable(true);
    connect(actAutoReload, &QAction::toggled, this, &StudioMainWindow::mnAutoReload);
    file->addSeparator();
    actPrint = file->addAction(tr("&Print..."), this, &StudioMainWindow::mnPrint);
    actPrint->setShortcut(QKeySequence::Print);
    file->addSeparator();
    actClose = file->addAction(tr("&Close"), this, &StudioMainWindow::mnClose);
    // Both, whatever the platform's habit: Ctrl+W alone is missing on some desktops.
    actClose->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)});
    actQuit = file->addAction(tr("&Quit"), this, &QWidget::close);
    actQuit->setShortcut(QKeySequence::Quit);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    outline->toggleViewAction()->setText(tr("&Outline"));
    view->addAction(outline->toggleViewAction());

    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    actPreferences =
        tools->addAction(tr("&Preferences..."), this, &StudioMainWindow::mnPreferences);

    windowMenu = menuBar()->addMenu(tr("&Window"));
    windowMenu->setToolTipsVisible(true);
    connect(windowMenu, &QMenu::aboutToShow, this, &StudioMainWindow::fillWindowMenu);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&About..."), this, &StudioMainWindow::mnAbout);
    help->addAction(tr("About &Qt..."), qApp, &QApplication::aboutQt);
}

void StudioMainWindow::fillWindowMenu()
{
    windowMenu->clear();
    windowMenu->addAction(tr("&Tile"), mdi, &QMdiArea::tileSubWindows);
    windowMenu->addAction(tr("&Cascade"), mdi, &QMdiArea::cascadeSubWindows);
    windowMenu->addAction(tr("Ne&xt"), mdi, &QMdiArea::activateNextSubWindow);
    windowMenu->addAction(tr("Pre&vious"), mdi, &QMdiArea::activatePreviousSubWindow);
    const QList<QMdiSubWindow*> subs = mdi->subWindowList();
    if (!subs.isEmpty())
        windowMenu->addSeparator();
    for (QMdiSubWindow* sub : subs) {
        QAction* action = windowMenu->addAction(sub->windowTitle());
        action->setToolTip(sub->toolTip());
        action->setCheckable(true);
        action->setChecked(sub == mdi->activeSubWindow());
        connect(action, &QAction::triggered, this, [this, sub = QPointer<QMdiSubWindow>(sub)] {
            if (sub)
                mdi->setActiveSubWindow(sub);
        });
    }
}

void StudioMainWindow::setPlugin(QAStViewerPlugin* plugin)
{
    viewerPlugin = plugin;
    updateActions();
}

QAStViewerWindow* StudioMainWindow::openFiles(const QStringList& files)
{
    if (!viewerPlugin)
        return nullptr;
    QStringList readable;
    QStringList refused;
    for (const QString& file : files) {
        const QString problem = fileReadProblem(file);
        if (problem.isEmpty())
            readable << file;
        else
            refused << tr("%1: %2").arg(QDir::toNativeSeparators(file), problem);
    }
    if (!refused.isEmpty()) {
        for (const QString& line : std::as_const(refused))
            printWarning(line);
        if (!messagesToStderr) {
            const QString text = tr("Cannot read these files:\n%1\n\n%2")
                                     .arg(refused.join(QLatin1Char('\n')),
                                          readable.isEmpty() ? tr("No window was opened.")
                                                             : tr("The other files are shown."));
            auto* box = new QMessageBox(QMessageBox::Warning, tr("GVZ Viewer"), text,
                                        QMessageBox::Ok, this);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        }
    }
    if (readable.isEmpty())
        return nullptr;
    QStringList list = readable;
    lastLog.clear();
    QAStViewerWindow* window = viewerPlugin->create(list, true, nullptr, nullptr);
    if (window && progress->lastCancelled()) {
        // A cancelled open leaves no window behind.
        delete window;
        statusBar()->showMessage(tr("Open cancelled: %1").arg(fileNames(readable)), 5000);
        return nullptr;
    }
    if (!window)
        return nullptr;
    addRecent(files);
    QMdiSubWindow* sub = mdi->addSubWindow(window);
    sub->setWindowTitle(windowTitleFor(window->windowTitle(), window->fileList()));
    QStringList paths;
    for (const QString& file : window->fileList())
        paths << QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    sub->setToolTip(paths.join(QLatin1Char('\n')));
    sub->installEventFilter(this);
    // The frame's own Close entry takes Ctrl+W and Ctrl+F4 too, which makes both ambiguous, so
    // that neither would work: File > Close answers them.
    if (QMenu* frameMenu = sub->systemMenu()) {
        for (QAction* action : frameMenu->actions()) {
            if (action->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_W)))
                action->setShortcuts({});
        }
    }
    // A window that deletes itself takes its frame along.
    connect(window, &QObject::destroyed, sub, &QObject::deleteLater);
    connect(window, &QObject::destroyed, this, &StudioMainWindow::windowDestroyed);
    // Before the activation, which may put the window's own hint in the status bar.
    statusBar()->showMessage(tr("Opened %1").arg(fileNames(readable)), 5000);
    const bool activate = window->activateDisplayRequested();
    QMdiSubWindow* previous = mdi->activeSubWindow();
    sub->show();
    if (activate)
        mdi->setActiveSubWindow(sub);
    else if (previous)
        mdi->setActiveSubWindow(previous);
    // What the window said while reading its files matters more than both.
    if (!lastLog.isEmpty())
        logMessage(lastLog);
    return window;
}

QString StudioMainWindow::fileNames(const QStringList& files)
{
    // Each name grows by parent folders while another file of the set shows the same text.
    QList<QStringList> parts;
    for (const QString& file : files)
        parts << QDir::cleanPath(QFileInfo(file).absoluteFilePath()).split(QLatin1Char('/'));
    QList<int> depth(files.size(), 1);
    const auto label = [&](int i) {
        return QStringList(parts[i].mid(qMax<qsizetype>(0, parts[i].size() - depth[i])))
            .join(QLatin1Char('/'));
    };
    for (bool grown = true; grown;) {
        grown = false;
        for (int i = 0; i < files.size(); ++i) {
            for (int j = i + 1; j < files.size(); ++j) {
                if (parts[i] == parts[j] || label(i) != label(j))
                    continue;
                for (int k : {i, j}) {
                    if (depth[k] < parts[k].size()) {
                        ++depth[k];
                        grown = true;
                    }
                }
            }
        }
    }
    QStringList names;
    for (int i = 0; i < qMin<qsizetype>(files.size(), 3); ++i)
        names << label(i);
    QString text = names.join(QStringLiteral(", "));
    if (files.size() > 3)
        text += tr(" +%1 more").arg(files.size() - 3);
    return text;
}

QString StudioMainWindow::windowTitleFor(const QString& caption, const QStringList& files)
{
    return files.isEmpty() ? caption : caption + QStringLiteral(" - ") + fileNames(files);
}

void StudioMainWindow::printWarning(const QString& line)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(line));
}

void StudioMainWindow::logMessage(const QString& text)
{
    if (text.isEmpty())
        return;
    if (messagesToStderr) {
        for (const QString& line : text.split(QLatin1Char('\n')))
            printWarning(line);
        return;
    }
    lastLog = text;
    statusBar()->showMessage(QString(text).replace(QLatin1Char('\n'), QStringLiteral("; ")), 15000);
}

void StudioMainWindow::addRecent(const QStringList& files)
{
    QStringList set;
    for (const QString& file : files)
        set << QFileInfo(file).absoluteFilePath();
    recentSets.removeAll(set);
    recentSets.prepend(set);
    while (recentSets.size() > MaxRecent)
        recentSets.removeLast();
    lastDir = QFileInfo(set.constFirst()).absolutePath();
}

void StudioMainWindow::fillRecentMenu()
{
    recent->clear();
    for (int i = 0; i < recentSets.size(); ++i) {
        QAction* action = recent->addAction(
            QStringLiteral("&%1 %2").arg((i + 1) % 10).arg(fileNames(recentSets.at(i))), this,
            [this, i] { openRecent(i); });
        action->setToolTip(recentSets.at(i).join(QLatin1Char('\n')));
    }
    if (recentSets.isEmpty())
        recent->addAction(tr("(none)"))->setEnabled(false);
}

void StudioMainWindow::openRecent(int index)
{
    if (index < 0 || index >= recentSets.size())
        return;
    const QStringList set = recentSets.at(index);
    if (openFiles(set))
        return;
    // None of its files can be read any more (the box said why): the entry goes.
    recentSets.removeAll(set);
    statusBar()->showMessage(tr("Removed from Open Recent: %1").arg(fileNames(set)), 10000);
}

void StudioMainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void StudioMainWindow::dropEvent(QDropEvent* event)
{
    QStringList files;
    QStringList refused;
    for (const QUrl& url : event->mimeData()->urls()) {
        const QString path = url.toLocalFile();
        if (QFileInfo(path).isDir())
            refused << QDir::toNativeSeparators(path);
        else if (!path.isEmpty())
            files << path;
    }
    event->acceptProposedAction();
    if (!refused.isEmpty()) {
        statusBar()->showMessage(tr("Folders cannot be opened, drop trace files: %1")
                                     .arg(refused.join(QStringLiteral(", "))),
                                 10000);
    }
    if (!files.isEmpty())
        openFiles(files);
}

bool StudioMainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The title bar of a sub-window tells the full paths of its files; its contents (a chart
    // read with the mouse) never show that tooltip.
    auto* sub = qobject_cast<QMdiSubWindow*>(watched);
    if (sub && event->type() == QEvent::ToolTip && sub->widget()) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (help->pos().y() < sub->widget()->geometry().top())
            QToolTip::showText(help->globalPos(), sub->toolTip(), sub);
        else
            QToolTip::hideText();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void StudioMainWindow::subWindowActivated(QMdiSubWindow* sub)
{
    // The MDI area also reports "none" when another top-level window (a dialog) takes the focus;
    // the active viewer stays the active one until another takes its place or none is left.
    if (!sub) {
        if (mdi->subWindowList().isEmpty())
            setCurrent(nullptr);
        return;
    }
    setCurrent(qobject_cast<QAStudioWindow*>(sub->widget()));
}

void StudioMainWindow::setCurrent(QAStudioWindow* window)
{
    if (window != current) {
        if (current) {
            disconnect(current, &QAStudioWindow::stateChanged, this,
                       &StudioMainWindow::updateActions);
            current->desactivated();
            readout->clear(); // it belonged to the window that left
        }
        current = window;
        if (window) {
            connect(window, &QAStudioWindow::stateChanged, this, &StudioMainWindow::updateActions);
            window->activated();
        }
        showOutline(window);
        auto* viewer = qobject_cast<QAStViewerWindow*>(window);
        outline->setWindowTitle(viewer && !viewer->fileList().isEmpty()
                                    ? tr("Outline - %1").arg(fileNames(viewer->fileList()))
                                    : tr("Outline"));
    }
    updateActions();
}

void StudioMainWindow::showOutline(QAStudioWindow* window)
{
    QWidget* widget = window ? window->contentOutlineWidget() : nullptr;
    if (widget == outlineWidget)
        return;
    if (outlineWidget) {
        outlineLayout->removeWidget(outlineWidget);
        outlineWidget->hide();
        outlineWidget->setParent(outlineOwner);
    }
    outlineWidget = widget;
    outlineOwner = widget ? window : nullptr;
    if (!widget)
        return;
    outlineLayout->addWidget(widget);
    widget->show();
    fitOutlineDock(widget);
}

void StudioMainWindow::fitOutlineDock(QWidget* widget)
{
    // Once, unless a remembered layout came first: wide enough for every column of the outline.
    auto* view = qobject_cast<QTreeView*>(widget);
    if (outlineFitted || !view)
        return;
    outlineFitted = true;
    const int wanted = view->header()->length() + 2 * view->frameWidth()
                       + view->verticalScrollBar()->sizeHint().width() + 8;
    if (outline->width() < wanted)
        resizeDocks({outline}, {wanted}, Qt::Horizontal);
}

void StudioMainWindow::windowDestroyed(QObject* window)
{
    // An outline lent to the dock is no longer its window's child: it goes with its window here.
    if (window == outlineOwner) {
        outlineOwner = nullptr;
        delete outlineWidget;
    }
}

void StudioMainWindow::updateActions()
{
    auto* viewer = qobject_cast<QAStViewerWindow*>(current);
    // While a window reads, nothing may replace or close what it is reading into.
    const bool idle = !progress->running();
    const bool reload = idle && current && current->isReloadEnabled();
    actReload->setEnabled(reload);
    actAutoReload->setEnabled(reload && viewer);
    for (const ToolMenu& tool : std::as_const(toolMenus)) {
        if (tool.menu)
            tool.menu->setEnabled(idle);
    }
    {
        const QSignalBlocker block(actAutoReload);
        actAutoReload->setChecked(viewer && viewer->autoReload());
    }
    live->setVisible(viewer && viewer->autoReload());
    actPrint->setEnabled(current && current->isPrintEnabled());
    actClose->setEnabled(idle && current != nullptr);
    actOpen->setEnabled(idle && viewerPlugin != nullptr);
    actPreferences->setEnabled(viewerPlugin != nullptr);
}

QMenu* StudioMainWindow::toolMenu(int id) const
{
    const auto it = toolMenus.constFind(id);
    return it == toolMenus.constEnd() ? nullptr : it->menu.data();
}

void StudioMainWindow::mnOpen()
{
    if (!viewerPlugin)
        return;
    QStringList filters = viewerPlugin->filters();
    filters.append(tr("All files (*)"));
    const QStringList files = QFileDialog::getOpenFileNames(this, tr("Open"), lastDir,
                                                            filters.join(QStringLiteral(";;")));
    if (files.isEmpty())
        return;
    lastDir = QFileInfo(files.first()).absolutePath();
    openFiles(files);
}

void StudioMainWindow::mnReload()
{
    if (current && current->isReloadEnabled())
        current->reload();
}

void StudioMainWindow::mnAutoReload(bool on)
{
    if (auto* viewer = qobject_cast<QAStViewerWindow*>(current))
        viewer->setAutoReload(on);
    updateActions();
}

void StudioMainWindow::mnPrint()
{
    if (current && current->isPrintEnabled())
        current->print();
}

void StudioMainWindow::mnClose()
{
    mdi->closeActiveSubWindow();
}

PreferenceDialog* StudioMainWindow::createPreferenceDialog()
{
    PreferenceItem* root = viewerPlugin ? viewerPlugin->preferenceSettings() : nullptr;
    if (!root)
        return nullptr;
    auto* dialog = new PreferenceDialog(root, this);
    if (preferenceSize.isValid())
        dialog->resize(preferenceSize);
    connect(dialog, &QDialog::finished, this, [this, dialog] { preferenceSize = dialog->size(); });
    // The plug-in's interface takes the signals as SIGNAL() texts.
    viewerPlugin->connectAccepted(dialog, SIGNAL(accepted()));
    viewerPlugin->connectRejected(dialog, SIGNAL(rejected()));
    connect(dialog, &QDialog::accepted, this, &StudioMainWindow::saveResources);
    return dialog;
}

void StudioMainWindow::mnPreferences()
{
    std::unique_ptr<PreferenceDialog> dialog(createPreferenceDialog());
    if (!dialog) {
        statusBar()->showMessage(tr("The plug-in has no preferences."), 5000);
        return;
    }
    dialog->exec();
}

void StudioMainWindow::mnAbout()
{
    QString text = tr("<b>%1 %2</b><br>A studio for viewing trace data files.")
                       .arg(QApplication::applicationName(), QApplication::applicationVersion());
    if (viewerPlugin) {
        text += tr("<p><b>%1</b><br>%2<br>%3<br>%4</p>")
                    .arg(viewerPlugin->pluginName(0).toHtmlEscaped(),
                         viewerPlugin->pluginVersion().toHtmlEscaped(),
                         viewerPlugin->pluginCompanyName().toHtmlEscaped(),
                         viewerPlugin->pluginCopyRight().toHtmlEscaped());
    }
    QMessageBox::about(this, tr("About %1").arg(QApplication::applicationName()), text);
}

void StudioMainWindow::saveResources()
{
    if (!resources)
        return;
    QString error;
    if (!resources->save(&error)) {
        statusBar()->showMessage(error, 10000);
        std::fprintf(stderr, "%s\n", qPrintable(error));
    }
}

void StudioMainWindow::setMessagesToStderr(bool on)
{
    messagesToStderr = on;
    progress->setToStderr(on);
}

QAIProgressMonitor* StudioMainWindow::progressMonitor()
{
    return progress.get();
}

void StudioMainWindow::closeEvent(QCloseEvent* event)
{
    if (progress->running()) {
        // The read below us on the stack ends first; the studio closes once it has.
        progress->cancel();
        event->ignore();
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    mdi->closeAllSubWindows();
    // A window that refused to close keeps the studio open.
    if (!mdi->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

namespace {
QString stringOf(const QAResGroup* group, const char* tag)
{
    const QARes* node = group ? group->childByTag(QLatin1String(tag)) : nullptr;
    const QAResString* text = node ? node->toResString() : nullptr;
    return text ? text->value() : QString();
}
} // namespace

void StudioMainWindow::rememberAcrossRuns()
{
    if (!resources)
        return;
    resources->registerProducer(this);
    const QAResGroup* root = resources->root() ? resources->root()->toResGroup() : nullptr;
    QARes* node = root ? root->childByTag(QLatin1String(StateTag)) : nullptr;
    const QAResGroup* state = node ? node->toResGroup() : nullptr;
    if (!state)
        return;
    restoreGeometry(QByteArray::fromBase64(stringOf(state, "geometry").toLatin1()));
    if (restoreState(QByteArray::fromBase64(stringOf(state, "window_state").toLatin1())))
        outlineFitted = true;
    lastDir = stringOf(state, "open_folder");
    const QStringList size = stringOf(state, "preferences_size").split(QLatin1Char('x'));
    if (size.size() == 2)
        preferenceSize = QSize(size[0].toInt(), size[1].toInt());
    QARes* sets = state->childByTag(QStringLiteral("recent_files"));
    for (QARes* set = sets && sets->toResGroup() ? sets->toResGroup()->firstChild() : nullptr;
         set && recentSets.size() < MaxRecent; set = set->next()) {
        QStringList files;
        for (QARes* file = set->toResGroup() ? set->toResGroup()->firstChild() : nullptr; file;
             file = file->next()) {
            if (const QAResString* text = file->toResString())
                files << text->value();
        }
        if (!files.isEmpty())
            recentSets << files;
    }
}

QARes* StudioMainWindow::toResources(const char*)
{
    auto* state = new QAResGroup(QLatin1String(StateTag));
    state->addChild(new QAResString(QStringLiteral("geometry"),
                                    QString::fromLatin1(saveGeometry().toBase64())));
    state->addChild(new QAResString(QStringLiteral("window_state"),
                                    QString::fromLatin1(saveState().toBase64())));
    state->addChild(new QAResString(QStringLiteral("open_folder"), lastDir));
    if (preferenceSize.isValid()) {
        state->addChild(new QAResString(
            QStringLiteral("preferences_size"),
            QStringLiteral("%1x%2").arg(preferenceSize.width()).arg(preferenceSize.height())));
    }
    auto* sets = new QAResGroup(QStringLiteral("recent_files"));
    for (const QStringList& files : std::as_const(recentSets)) {
        auto* set = new QAResGroup(QStringLiteral("set"));
        for (const QString& file : files)
            set->addChild(new QAResString(QStringLiteral("file"), file));
        sets->addChild(set);
    }
    state->addChild(sets);
    return state;
}

long StudioMainWindow::queryInterface(const QUuid& id, QUnknownInterface** iface)
{
    if (!iface)
        return NoInterface;
    if (id == IID_StudioInterface || id == IID_QUnknown) {
        *iface = this;
        return Ok;
    }
    *iface = nullptr;
    return NoInterface;
}

// The main window lives as long as the studio runs: references do not govern it.
unsigned long StudioMainWindow::addRef()
{
    return 1;
}

unsigned long StudioMainWindow::release()
{
    return 1;
}

QMainWindow* StudioMainWindow::mainWindow()
{
    return this;
}

QString StudioMainWindow::exportDirectory()
{
    return exportDir;
}

QString StudioMainWindow::htmlGenerator()
{
    return QApplication::applicationName() + QLatin1Char(' ') + QApplication::applicationVersion();
}

void StudioMainWindow::registerResourceProducer(QAResProducer* producer)
{
    if (resources)
        resources->registerProducer(producer);
}

int StudioMainWindow::insertMenu(const QString& title, QMenu* menu)
{
    if (!menu)
        return -1;
    menu->setTitle(title);
    // A menu that is in the bar already keeps its place and its id.
    for (auto it = toolMenus.cbegin(); it != toolMenus.cend(); ++it) {
        if (it->menu == menu)
            return it.key();
    }
    const int id = nextMenuId++;
    menuBar()->insertMenu(windowMenu->menuAction(), menu);
    // A menu deleted by its window leaves the bar by itself; its id goes with it.
    ToolMenu entry{menu,
                   connect(menu, &QObject::destroyed, this, [this, id] { toolMenus.remove(id); })};
    toolMenus.insert(id, entry);
    return id;
}

void StudioMainWindow::showReadout(const QString& text)
{
    readout->setText(text);
}

void StudioMainWindow::removeMenu(int id)
{
    const auto it = toolMenus.find(id);
    if (it == toolMenus.end())
        return;
    disconnect(it->watch);
    if (it->menu)
        menuBar()->removeAction(it->menu->menuAction());
    toolMenus.erase(it);
}
