#include "app/studioapp.h"

#include "app/pluginloader.h"
#include "app/resourcestore.h"
#include "app/studiomainwindow.h"
#include "host/studio/qastviewerplugin.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace {
void printError(const QString& message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(message));
}
} // namespace

StudioApp::StudioApp()
    : pluginOption(QStringLiteral("plugin"),
                   QCoreApplication::translate("StudioApp", "Load the viewer plug-in from PATH."),
                   QStringLiteral("PATH")),
      resourcesOption(QStringLiteral("resources"),
                      QCoreApplication::translate("StudioApp", "Read and write resources in FILE."),
                      QStringLiteral("FILE"))
{
    commandLine.setApplicationDescription(
        QCoreApplication::translate("StudioApp", "Viewer for gvz trace data files."));
    commandLine.addHelpOption();
    commandLine.addVersionOption();
    commandLine.addOption(pluginOption);
    commandLine.addOption(resourcesOption);
    commandLine.addPositionalArgument(
        QStringLiteral("files"), QCoreApplication::translate("StudioApp", "Trace files to open."),
        QStringLiteral("[files...]"));
}

StudioApp::~StudioApp()
{
    // Windows run plug-in code: they go first, the plug-in last.
    window.reset();
    if (viewerPlugin)
        viewerPlugin->release();
}

QStringList StudioApp::argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

std::vector<char*> StudioApp::qtArguments(int argc, char** argv)
{
    std::vector<char*> kept;
    for (int i = 0; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (i > 0 && (arg == "--plugin" || arg == "-plugin")) {
            ++i;
            continue;
        }
        if (i > 0 && (arg.startsWith("--plugin=") || arg.startsWith("-plugin=")))
            continue;
        kept.push_back(argv[i]);
    }
    kept.push_back(nullptr);
    return kept;
}

int StudioApp::run(const QStringList& arguments)
{
    if (!parseArguments(arguments))
        return 2;
    if (!loadPlugin())
        return 1;
    loadResources();
    createMainWindow();
    window->show();
    const int code = QApplication::exec();
    window->saveResources();
    return code;
}

bool StudioApp::parseArguments(const QStringList& arguments)
{
    if (!commandLine.parse(arguments)) {
        printError(commandLine.errorText());
        return false;
    }
    if (commandLine.isSet(QStringLiteral("help")))
        commandLine.showHelp(0);
    if (commandLine.isSet(QStringLiteral("version")))
        commandLine.showVersion();
    return true;
}

bool StudioApp::loadResources()
{
    const QString file = commandLine.isSet(resourcesOption) ? commandLine.value(resourcesOption)
                                                            : ResourceStore::defaultFileName();
    store = std::make_unique<ResourceStore>(file);
    QString message;
    if (store->load(&message))
        return true;
    printError(message);
    return false;
}

bool StudioApp::loadPlugin()
{
    const QString path = commandLine.isSet(pluginOption) ? commandLine.value(pluginOption)
                                                         : PluginLoader::defaultPath();
    QString error;
    viewerPlugin = PluginLoader::load(path, &error);
    if (!viewerPlugin)
        printError(error);
    return viewerPlugin != nullptr;
}

void StudioApp::createMainWindow()
{
    window = std::make_unique<StudioMainWindow>(store.get());
    window->setExportDirectory(defaultExportDirectory());
    window->setPlugin(viewerPlugin);
    if (viewerPlugin)
        viewerPlugin->initialize(window.get(), store ? store->root() : nullptr);
    window->resize(1200, 800);
    const QStringList files = commandLine.positionalArguments();
    if (!files.isEmpty())
        window->openFiles(files);
}

QString StudioApp::defaultExportDirectory()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList candidates = {
        appDir, QDir::cleanPath(appDir + QStringLiteral("/../share/gvz")),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)};
    for (const QString& dir : candidates) {
        if (QFileInfo::exists(dir + QStringLiteral("/dhtml.cfg")))
            return dir;
    }
    return candidates.last();
}
