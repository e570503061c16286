#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSize>
#include <QStringList>

#include <memory>
#include <vector>

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
    // The options --list, --render and --export-html, and any run on a machine without a display,
    // show no window (see runWithoutWindow()).
    int run(const QStringList& arguments);

    // Whether the machine offers a display: DISPLAY or WAYLAND_DISPLAY is set, or QT_QPA_PLATFORM
    // names a platform. Asked before QApplication exists.
    static bool displayAvailable();
    // Whether `arguments` ask for work that needs no window (--list, --render, --export-html).
    static bool needsNoWindow(const QStringList& arguments);
    // Tells run() that there is no display: a plain run then renders its files into
    // outputDirectory() instead of showing them.
    void setDisplayMissing(bool missing) { displayMissing = missing; }
    static QString outputDirectory() { return QStringLiteral("gvz-output"); }
    // Bounds of each side of --size.
    static constexpr int MinRenderSide = 32;
    static constexpr int MaxRenderSide = 4096;

    // The program's arguments as the studio reads them, taken before QApplication sees them.
    static QStringList argumentsOf(int argc, char** argv);
    // argv for QApplication (null-terminated): without --plugin and its value, which Qt would
    // otherwise take as one of its own options and remove.
    static std::vector<char*> qtArguments(int argc, char** argv);

    // steps of run(), each answering false after writing its reason to stderr:
    bool parseArguments(const QStringList& arguments);
    bool loadResources();
    bool loadPlugin();
    // The main window, with the plug-in initialised against it; the files of the command line open
    // in one window.
    void createMainWindow();
    // The work of --list, --chart, --render and --export-html, or without a display the rendering
    // into outputDirectory(); answers the exit code.
    int runWithoutWindow();

    QCommandLineParser& parser() { return commandLine; }
    StudioMainWindow* mainWindow() const { return window.get(); }
    QAStViewerPlugin* plugin() const { return viewerPlugin; }
    ResourceStore* resources() const { return store.get(); }

    // Where the studio looks for the HTML exporter's dhtml.cfg.
    static QString defaultExportDirectory();

private:
    // The main window with the plug-in initialised against it, no file open.
    void createStudio();
    bool batchRequested() const;
    // Renders the time and 3-D charts and the HTML page of the files into outputDirectory().
    bool renderForNoDisplay(StudioBatch& batch);

    QCommandLineParser commandLine;
    QCommandLineOption pluginOption;
    QCommandLineOption resourcesOption;
    QCommandLineOption listOption;
    QCommandLineOption chartOption;
    QCommandLineOption renderOption;
    QCommandLineOption sizeOption;
    QCommandLineOption exportOption;
    QSize renderSize{1200, 800};
    bool displayMissing = false;
    std::unique_ptr<ResourceStore> store;
    QAStViewerPlugin* viewerPlugin = nullptr; // one reference held, released last
    std::unique_ptr<StudioMainWindow> window;
};
