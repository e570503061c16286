#pragma once

#include "host/res/qares.h"
#include "host/studio/qastudiowindow.h"
#include "host/studio/studiointerface.h"

#include <QMainWindow>
#include <QMap>
#include <QPointer>

#include <memory>

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
class StudioProgress;

// The studio's main window: viewer windows in an MDI area, each titled with its files, the active
// window's outline in a dock, the standard menus enabled from the active window's answers, and the
// plug-ins' tool menus. It is the StudioInterface handed to the plug-in.
class StudioMainWindow : public QMainWindow, public StudioInterface, public QAResProducer
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

    // One window for the readable files of the set, shown and, when it asks for it, made active.
    // Files that cannot be read are listed with their reasons in one warning box and on stderr;
    // null when none can be read or the plug-in makes no window. The set joins Open Recent.
    QAStViewerWindow* openFiles(const QStringList& files);
    // The title the studio shows for a window: its caption, then its files' names (at most
    // three, then "+N more"), each with as many parent folders as tell equal names apart.
    static QString windowTitleFor(const QString& caption, const QStringList& files);
    static QString fileNames(const QStringList& files);

    // Messages go to stderr instead of the status bar, and no box opens: for runs without windows.
    void setMessagesToStderr(bool on);
    // Writes "gvz-studio: `line`" to stderr.
    static void printWarning(const QString& line);

    // Takes the geometry, dock layout, recent file sets, Open folder and preference dialog size
    // from the resources, and writes them there at each save: for window-mode runs.
    void rememberAcrossRuns();
    // The recent file sets, the latest first (at most MaxRecent).
    QList<QStringList> recentFileSets() const { return recentSets; }
    void openRecent(int index);
    static constexpr int MaxRecent = 10;
    // The folder the Open dialog starts in.
    QString openFolder() const { return lastDir; }
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
    QMenu* recentMenu() const { return recent; }
    QMenu* windowListMenu() const { return windowMenu; }

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
    // The status bar's "Live" field, shown while the active window follows its files.
    QLabel* liveField() const { return live; }
    void logMessage(const QString& text) override;
    QAIProgressMonitor* progressMonitor() override;
    StudioProgress* readProgress() const { return progress.get(); }

    // QAResProducer: the studio's own group.
    QARes* toResources(const char* name) override;
    static constexpr const char* StateTag = "gvz_studio";

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
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

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
    void fillRecentMenu();
    void addRecent(const QStringList& files);
    void fitOutlineDock(QWidget* widget);

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
    QLabel* live = nullptr;    // permanent, beside the readout
    QList<QStringList> recentSets;
    QSize preferenceSize;
    bool messagesToStderr = false;
    std::unique_ptr<StudioProgress> progress;
    QString lastLog;            // the last logMessage() text
    bool outlineFitted = false; // the dock was sized for an outline, or restored

    QMenu* windowMenu = nullptr;
    QMenu* recent = nullptr;
    QAction* actOpen = nullptr;
    QAction* actReload = nullptr;
    QAction* actAutoReload = nullptr;
    QAction* actPrint = nullptr;
    QAction* actClose = nullptr;
    QAction* actQuit = nullptr;
    QAction* actPreferences = nullptr;
};
