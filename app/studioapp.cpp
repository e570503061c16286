#include "app/studioapp.h"

#include "app/pluginloader.h"
#include "app/resourcestore.h"
#include "app/studiobatch.h"
#include "app/studiomainwindow.h"
#include "host/studio/qastviewerplugin.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cstdio>

namespace {
void printError(const QString& message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(message));
}

void printOut(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}
} // namespace

StudioApp::StudioApp()
    : pluginOption(QStringLiteral("plugin"),
                   QCoreApplication::translate("StudioApp", "Load the viewer plug-in from PATH."),
                   QStringLiteral("PATH")),
      resourcesOption(QStringLiteral("resources"),
                      QCoreApplication::translate("StudioApp", "Read and write resources in FILE."),
                      QStringLiteral("FILE")),
      listOption(QStringLiteral("list"),
                 tr("Print the curve list of the files (Name, Values, Min, Max) and exit.")),
      chartOption(QStringLiteral("chart"), tr("Show the chart TYPE: time, xy or xyz."),
                  QStringLiteral("TYPE")),
      renderOption(QStringLiteral("render"),
                   tr("Draw the chart into FILE (.png, .svg or .pdf) and exit."),
                   QStringLiteral("FILE")),
      sizeOption(QStringLiteral("size"), tr("Size of the drawn chart in pixels (default 1200x800)."),
                 QStringLiteral("WxH")),
      exportOption(QStringLiteral("export-html"), tr("Export the chart as HTML into DIR and exit."),
                   QStringLiteral("DIR"))
{
    commandLine.setApplicationDescription(
        QCoreApplication::translate("StudioApp", "Viewer for gvz trace data files."));
    commandLine.addHelpOption();
    commandLine.addVersionOption();
    commandLine.addOption(pluginOption);
    commandLine.addOption(resourcesOption);
    commandLine.addOption(listOption);
    commandLine.addOption(chartOption);
    commandLine.addOption(renderOption);
    commandLine.addOption(sizeOption);
    commandLine.addOption(exportOption);
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

bool StudioApp::displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
           || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

bool StudioApp::needsNoWindow(const QStringList& arguments)
{
    StudioApp probe;
    probe.commandLine.parse(arguments);
    return probe.batchRequested();
}

bool StudioApp::batchRequested() const
{
    return commandLine.isSet(listOption) || commandLine.isSet(renderOption)
           || commandLine.isSet(exportOption);
}

int StudioApp::run(const QStringList& arguments)
{
    if (!parseArguments(arguments))
        return 2;
    if (!loadPlugin())
        return 1;
    loadResources();
    if (batchRequested() || displayMissing)
        return runWithoutWindow();
    createMainWindow();
    window->show();
    if (commandLine.isSet(chartOption)) {
        StudioBatch batch(window.get());
        QApplication::processEvents();
        if (!batch.chooseChart(commandLine.value(chartOption)))
            printError(batch.errorString());
    }
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
    if (commandLine.isSet(chartOption)
        && !StudioBatch::chartNames().contains(commandLine.value(chartOption))) {
        printError(tr("Unknown chart %1: use time, xy or xyz").arg(commandLine.value(chartOption)));
        return false;
    }
    if (commandLine.isSet(renderOption)) {
        const QString file = commandLine.value(renderOption);
        if (!StudioBatch::renderSuffixes().contains(QFileInfo(file).suffix().toLower())) {
            printError(tr("Cannot tell the format of %1: use .png, .svg or .pdf").arg(file));
            return false;
        }
    }
    if (commandLine.isSet(sizeOption)) {
        static const QRegularExpression format(QStringLiteral("^(\\d{1,4})x(\\d{1,4})$"));
        const QRegularExpressionMatch match = format.match(commandLine.value(sizeOption));
        const auto side = [&match](int index) {
            const int value = match.hasMatch() ? match.captured(index).toInt() : 0;
            return value >= MinRenderSide && value <= MaxRenderSide ? value : 0;
        };
        const QSize size(side(1), side(2));
        if (size.isEmpty()) {
            printError(tr("Bad size %1: give WIDTHxHEIGHT, each from %2 to %3 pixels")
                           .arg(commandLine.value(sizeOption))
                           .arg(MinRenderSide)
                           .arg(MaxRenderSide));
            return false;
        }
        renderSize = size;
    }
    return true;
}

bool StudioApp::loadResources()
{
    const QString file = commandLine.isSet(resourcesOption) ? commandLine.value(resourcesOption)
                                                            : ResourceStore::defaultFileName();
    store = std::make_unique<ResourceStore>(file);
    QString message;
    // Only a run with a window writes resources, so only such a run may move a corrupt file aside.
    if (store->load(&message, !batchRequested() && !displayMissing))
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
    createStudio();
    const QStringList files = commandLine.positionalArguments();
    if (!files.isEmpty())
        window->openFiles(files);
}

void StudioApp::createStudio()
{
    window = std::make_unique<StudioMainWindow>(store.get());
    window->setExportDirectory(defaultExportDirectory());
    window->setPlugin(viewerPlugin);
    if (viewerPlugin)
        viewerPlugin->initialize(window.get(), store ? store->root() : nullptr);
    window->resize(1200, 800);
}

int StudioApp::runWithoutWindow()
{
    const QStringList files = commandLine.positionalArguments();
    if (files.isEmpty()) {
        printError(batchRequested()
                       ? tr("No trace file given")
                       : tr("No display available (DISPLAY and WAYLAND_DISPLAY are not set); "
                            "give a trace file to draw its charts into files"));
        return 2;
    }
    createStudio();
    StudioBatch batch(window.get());
    bool done = batch.open(files);
    if (done && commandLine.isSet(chartOption))
        done = batch.chooseChart(commandLine.value(chartOption));
    if (done && commandLine.isSet(listOption)) {
        QString list;
        done = batch.curveList(&list);
        if (done)
            printOut(list);
    }
    if (done && commandLine.isSet(renderOption))
        done = batch.render(commandLine.value(renderOption), renderSize);
    if (done && commandLine.isSet(exportOption))
        done = batch.exportHtml(commandLine.value(exportOption));
    if (!done) {
        printError(batch.errorString());
        return 2;
    }
    return batchRequested() || renderForNoDisplay(batch) ? 0 : 2;
}

bool StudioApp::renderForNoDisplay(StudioBatch& batch)
{
    printError(tr("No display available (DISPLAY and WAYLAND_DISPLAY are not set): drawing the "
                  "charts into %1 instead")
                   .arg(outputDirectory()));
    const QDir out(QDir::current().absoluteFilePath(outputDirectory()));
    if (!QDir().mkpath(out.path())) {
        printError(tr("Cannot create the folder %1").arg(QDir::toNativeSeparators(out.path())));
        return false;
    }
    const QString stem = QFileInfo(commandLine.positionalArguments().constFirst()).completeBaseName();
    const QString timeChart = out.filePath(stem + QStringLiteral("-time.png"));
    const QString page = out.filePath(stem + QStringLiteral("-html"));
    const QString chart3D = out.filePath(stem + QStringLiteral("-xyz.png"));
    const bool done = batch.chooseChart(QStringLiteral("time")) && batch.render(timeChart, renderSize)
                      && batch.exportHtml(page) && batch.chooseChart(QStringLiteral("xyz"))
                      && batch.render(chart3D, renderSize);
    if (!done) {
        printError(batch.errorString());
        return false;
    }
    printOut(tr("Time chart: %1\n3-D chart: %2\nHTML page: %3\n")
                 .arg(QDir::toNativeSeparators(timeChart), QDir::toNativeSeparators(chart3D),
                      QDir::toNativeSeparators(page + QStringLiteral("/index.html"))));
    return true;
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
