#pragma once

#include "host/studio/qastudiowindow.h"
#include "host/studio/studiointerface.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>

class PreferenceDialog;
class QAStViewerPlugin;
class QAStViewerWindow;
class QAction;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QVBoxLayout;
class ResourceStore;

// The studio's main window: viewer windows in an MDI area, the active window's outline in a dock,
// the standard menus enabled from the active window's answers, and the plug-ins' tool menus. It is
// the StudioInterface handed to the plug-in.
class StudioMainWindow : public QMainWindow, public StudioInterface
{
    Q_OBJECT
public:
    // `resources` (may be null) is not owned; it must outlive the window.
    explicit StudioMainWindow(ResourceStore* resources, QWidget* parent = nullptr);
    ~StudioMainWindow() override;

    // The plug-in that makes the windows (not owned; may be null: nothing opens).
    void setPlugin(QAStViewerPlugin* viewerPlugin);
    QAStViewerPlugin* plugin() const { return viewerPlugin; }
    void setExportDirectory(const QString& dir) { exportDir = dir; }

    // One window for the whole set, shown and, when it asks for it, made active. Null when the
    // plug-in makes none.
    QAStViewerWindow* openFiles(const QStringList& files);
    // The window the studio holds as active (the last one activated), or null.
    QAStudioWindow* activeStudioWindow() const { return current; }
    QMdiArea* mdiArea() const { return mdi; }
    QDockWidget* outlineDock() const { return outline; }
    // A preference dialog over the plug-in's tree, tied to the plug-in and to saving the resources;
    // null when the plug-in has no preferences. The caller owns it.
    PreferenceDialog* createPreferenceDialog();
    // The ids of the tool menus in the menu bar, and the menu of an id (null when unknown).
    QList<int> toolMenuIds() const { return toolMenus.keys(); }
    QMenu* toolMenu(int id) const;

    // menu entries:
    QAction* openAction() const { return actOpen; }
    QAction* reloadAction() const { return actReload; }
    QAction* autoReloadAction() const { return actAutoReload; }
    QAction* printAction() const { return actPrint; }
    QAction* closeAction() const { return actClose; }
    QAction* preferencesAction() const { return actPreferences; }

    // StudioInterface:
    long queryInterface(const QUuid& id, QUnknownInterface** iface) override;
    unsigned long addRef() override;
    unsigned long release() override;
    QMainWindow* mainWindow() override;
    QString exportDirectory() override;
    QString htmlGenerator() override;
    void registerResourceProducer(QAResProducer* producer) override;
    int insertMenu(const QString& title, QMenu* menu) override;
    void removeMenu(int id) override;
    void showReadout(const QString& text) override;
    // The status bar's field for the active window's readout (a chart's data cursor).
    QLabel* readoutField() const { return readout; }

public slots:
    void mnOpen();
    void mnReload();
    void mnAutoReload(bool on);
    void mnPrint();
    void mnClose();
    void mnPreferences();
    void mnAbout();
    // Writes the resources; a failure goes to the status bar and stderr.
    void saveResources();
    // Asks the enabled-state questions of the active window again.
    void updateActions();

protected:
    // reimplemented virtual methods:
    void closeEvent(QCloseEvent* event) override;

private:
    struct ToolMenu
    {
        QPointer<QMenu> menu;
        QMetaObject::Connection watch;
    };

    void createMenus();
    void subWindowActivated(QMdiSubWindow* sub);
    void setCurrent(QAStudioWindow* window);
    void showOutline(QAStudioWindow* window);
    void windowDestroyed(QObject* window);
    void fillWindowMenu();

    ResourceStore* resources;
    QAStViewerPlugin* viewerPlugin = nullptr;
    QString exportDir;
    QMdiArea* mdi;
    QDockWidget* outline;
    QWidget* outlineHolder;
    QVBoxLayout* outlineLayout;
    QPointer<QWidget> outlineWidget;        // the shown outline, lent by its window
    QAStudioWindow* outlineOwner = nullptr; // the window that lent it; cleared when it dies
    QPointer<QAStudioWindow> current;
    QMap<int, ToolMenu> toolMenus;
    int nextMenuId = 1;
    QString lastDir;
    QLabel* readout = nullptr; // permanent, at the right of the status bar

    QMenu* windowMenu = nullptr;
    QAction* actOpen = nullptr;
    QAction* actReload = nullptr;
    QAction* actAutoReload = nullptr;
    QAction* actPrint = nullptr;
    QAction* actClose = nullptr;
    QAction* actQuit = nullptr;
    QAction* actPreferences = nullptr;
};
