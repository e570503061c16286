#include "app/studiomainwindow.h"

#include "app/preferencedialog.h"
#include "app/resourcestore.h"
#include "host/studio/preferenceitem.h"
#include "host/studio/qastviewerplugin.h"
#include "host/studio/qastviewerwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include <cstdio>

StudioMainWindow::StudioMainWindow(ResourceStore* resourceStore, QWidget* parent)
    : QMainWindow(parent),
      resources(resourceStore),
      mdi(new QMdiArea(this)),
      outline(new QDockWidget(tr("Outline"), this)),
      outlineHolder(new QWidget(outline)),
      outlineLayout(new QVBoxLayout(outlineHolder))
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
    createMenus();
    connect(mdi, &QMdiArea::subWindowActivated, this, &StudioMainWindow::subWindowActivated);
    updateActions();
}

StudioMainWindow::~StudioMainWindow()
{
    // The windows' code lives in the plug-in: they go before the plug-in does.
    // Windows closed a moment ago are no longer listed but still await their deletion: take
    // every sub-window, so that none is destroyed after this object stopped being a main window.
    disconnect(mdi, nullptr, this, nullptr);
    qDeleteAll(mdi->findChildren<QMdiSubWindow*>());
}

void StudioMainWindow::createMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    actOpen = file->addAction(tr("&Open..."), this, &StudioMainWindow::mnOpen);
    actOpen->setShortcut(QKeySequence::Open);
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
    actClose->setShortcut(QKeySequence::Close);
    actQuit = file->addAction(tr("&Quit"), this, &QWidget::close);
    actQuit->setShortcut(QKeySequence::Quit);

    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    actPreferences = tools->addAction(tr("&Preferences..."), this, &StudioMainWindow::mnPreferences);

    windowMenu = menuBar()->addMenu(tr("&Window"));
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
    QStringList list = files;
    QAStViewerWindow* window = viewerPlugin->create(list, true, nullptr, nullptr);
    if (!window)
        return nullptr;
    QMdiSubWindow* sub = mdi->addSubWindow(window);
    // A window that deletes itself takes its frame along.
    connect(window, &QObject::destroyed, sub, &QObject::deleteLater);
    connect(window, &QObject::destroyed, this, &StudioMainWindow::windowDestroyed);
    const bool activate = window->activateDisplayRequested();
    QMdiSubWindow* previous = mdi->activeSubWindow();
    sub->show();
    if (activate)
        mdi->setActiveSubWindow(sub);
    else if (previous)
        mdi->setActiveSubWindow(previous);
    statusBar()->showMessage(tr("Opened %1").arg(files.join(QStringLiteral(", "))), 5000);
    return window;
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
    const bool reload = current && current->isReloadEnabled();
    actReload->setEnabled(reload);
    actAutoReload->setEnabled(reload && viewer);
    {
        const QSignalBlocker block(actAutoReload);
        actAutoReload->setChecked(viewer && viewer->autoReload());
    }
    actPrint->setEnabled(current && current->isPrintEnabled());
    actClose->setEnabled(current != nullptr);
    actOpen->setEnabled(viewerPlugin != nullptr);
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

void StudioMainWindow::closeEvent(QCloseEvent* event)
{
    mdi->closeAllSubWindows();
    // A window that refused to close keeps the studio open.
    if (!mdi->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
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
    ToolMenu entry{menu, connect(menu, &QObject::destroyed, this, [this, id] {
                       toolMenus.remove(id);
                   })};
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
