#pragma once

#include "app/studiooptions.h"

#include <QCoreApplication>
#include <QStringList>

#include <memory>

class QAStViewerPlugin;
class ResourceStore;
class StudioBatch;
class StudioMainWindow;

// The studio's run: command line, resources, plug-in, main window. Each step is a function of its
// own so that further command-line modes slot in between (see run()).
class StudioApp
{
    Q_DECLARE_TR_FUNCTIONS(StudioApp)

public:
    StudioApp();
    ~StudioApp();

    // Runs the studio with `arguments` (as given, program name first); answers the exit code:
    // 2 for a bad command line, a file that cannot be read or an output that cannot be written.
    // The options --list, --render and --export-html, and a plain run where no display could be
    // opened, show no window (see runWithoutWindow()).
    int run(const QStringList& arguments);

    // Chooses the platform plug-in before QApplication exists: the user's QT_QPA_PLATFORM when
    // set; off screen for work that shows no window (a bad command line and help included); on
    // X11 and Wayland systems the usual platforms with the off-screen one as the last resort, so
    // that only a machine where no display can be opened ends up without one. Answers whether it
    // set that fallback list.
    static bool choosePlatform(const QStringList& arguments);
    // Whether the platform QApplication took is the fallback of choosePlatform().
    static bool fellBackToNoDisplay(bool fallbackChosen);
    // Tells run() that there is no display: a plain run then renders its files into
    // outputDirectory() instead of showing them.
    void setDisplayMissing(bool missing) { displayMissing = missing; }
    static QString outputDirectory() { return QStringLiteral("gvz-output"); }

    // The program's arguments as the studio reads them, taken before QApplication sees them.
    static QStringList argumentsOf(int argc, char** argv);

    // steps of run(), each answering false after writing its reason to stderr:
    bool loadResources();
    bool loadPlugin();
    // The main window, with the plug-in initialised against it; the files of the command line open
    // in one window, set up as the options ask.
    bool createMainWindow();
    // The work of --list, --chart, --render and --export-html, or without a display the rendering
    // into outputDirectory(); answers the exit code.
    int runWithoutWindow();
    // Whether run() went through runWithoutWindow(): everything is written by the time it returns.
    bool ranWithoutWindow() const { return withoutWindow; }

    const StudioOptions& commandLine() const { return options; }
    StudioMainWindow* mainWindow() const { return window.get(); }
    QAStViewerPlugin* plugin() const { return viewerPlugin; }
    ResourceStore* resources() const { return store.get(); }

    // Where the studio looks for the HTML exporter's dhtml.cfg.
    static QString defaultExportDirectory();

private:
    // The main window with the plug-in initialised against it, no file open.
    void createStudio();
    // Renders the time and 3-D charts and the HTML page of the files into outputDirectory().
    bool renderForNoDisplay(StudioBatch& batch);

    StudioOptions options;
    bool displayMissing = false;
    bool withoutWindow = false;
    std::unique_ptr<ResourceStore> store;
    QAStViewerPlugin* viewerPlugin = nullptr; // one reference held, released last
    std::unique_ptr<StudioMainWindow> window;
};
