#pragma once

#include <QCommandLineParser>
#include <QStringList>

#include <memory>
#include <vector>

class QAStViewerPlugin;
class ResourceStore;
class StudioMainWindow;

// The studio's run: command line, resources, plug-in, main window. Each step is a function of its
// own so that further command-line modes slot in between (see run()).
class StudioApp
{
public:
    StudioApp();
    ~StudioApp();

    // Runs the studio with `arguments` (as given, program name first); answers the exit code.
    int run(const QStringList& arguments);

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

    QCommandLineParser& parser() { return commandLine; }
    StudioMainWindow* mainWindow() const { return window.get(); }
    QAStViewerPlugin* plugin() const { return viewerPlugin; }
    ResourceStore* resources() const { return store.get(); }

    // Where the studio looks for the HTML exporter's dhtml.cfg.
    static QString defaultExportDirectory();

private:
    QCommandLineParser commandLine;
    QCommandLineOption pluginOption;
    QCommandLineOption resourcesOption;
    std::unique_ptr<ResourceStore> store;
    QAStViewerPlugin* viewerPlugin = nullptr; // one reference held, released last
    std::unique_ptr<StudioMainWindow> window;
};
