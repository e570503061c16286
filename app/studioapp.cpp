#include "app/studioapp.h"

#include "app/pluginloader.h"
#include "app/resourcestore.h"
#include "app/studiobatch.h"
#include "app/studiomainwindow.h"
#include "host/studio/qastviewerplugin.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringEncoder>

#include <cstdio>

namespace {
void printError(const QString& message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(message));
}

// Buffered by stdio: a long curve list goes out in large writes, flushed at exit.
// Encodes a piece at a time, so that a text as long as a file's longest line never has a second,
// encoded copy of itself in memory; the encoder keeps a surrogate pair cut between two pieces.
void printOut(const QString& text)
{
    constexpr qsizetype Piece = 1 << 20;
    QStringEncoder utf8(QStringEncoder::Utf8);
    for (qsizetype at = 0; at < text.size(); at += Piece) {
        const QByteArray bytes = utf8.encode(QStringView(text).mid(at, Piece));
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    }
}
} // namespace

StudioApp::StudioApp() = default;

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

bool StudioApp::choosePlatform(const QStringList& arguments)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return false;
    const StudioOptions parsed = StudioOptions::parse(arguments);
    if (parsed.batch() || !parsed.error.isEmpty() || parsed.action != StudioOptions::Action::Run) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return false;
    }
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN) && !defined(Q_OS_ANDROID)
    // Qt tries the platforms of the list in order and takes the first that opens a display.
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
                                   ? "xcb;offscreen"
                                   : "wayland;xcb;offscreen");
    return true;
#else
    // Windows and macOS always have their display.
    return false;
#endif
}

bool StudioApp::fellBackToNoDisplay(bool fallbackChosen)
{
    return fallbackChosen && QGuiApplication::platformName() == QLatin1String("offscreen");
}

int StudioApp::run(const QStringList& arguments)
{
    options = StudioOptions::parse(arguments);
    if (!options.error.isEmpty()) {
        printError(options.error);
        return 2;
    }
    if (options.action != StudioOptions::Action::Run) {
        printOut(options.text);
        return 0;
    }
    if (!loadPlugin())
        return 1;
    loadResources();
    if (options.batch() || displayMissing)
        return runWithoutWindow();
    if (!createMainWindow())
        return 2;
    window->show();
    const int code = QApplication::exec();
    window->saveResources();
    return code;
}

bool StudioApp::loadResources()
{
    const QString file = options.resourcesFile.value_or(ResourceStore::defaultFileName());
    store = std::make_unique<ResourceStore>(file);
    QString message;
    // Only a run with a window writes resources, so only such a run may move a corrupt file aside.
    if (store->load(&message, !options.batch() && !displayMissing))
        return true;
    printError(message);
    return false;
}

bool StudioApp::loadPlugin()
{
    const QString path = options.pluginPath.value_or(PluginLoader::defaultPath());
    QString error;
    viewerPlugin = PluginLoader::load(path, &error);
    if (!viewerPlugin)
        printError(error);
    return viewerPlugin != nullptr;
}

bool StudioApp::createMainWindow()
{
    createStudio();
    window->rememberAcrossRuns();
    if (options.files.isEmpty())
        return true;
    StudioBatch batch(window.get(), window->openFiles(options.files));
    if (batch.apply(options))
        return true;
    printError(batch.errorString());
    return false;
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
    withoutWindow = true;
    if (options.files.isEmpty()) {
        printError(options.batch()
                       ? tr("No trace file given")
                       : tr("No display could be opened; give a trace file to draw its charts "
                            "into files"));
        return 2;
    }
    createStudio();
    window->setMessagesToStderr(true);
    StudioBatch batch(window.get());
    bool done = batch.open(options.files) && batch.apply(options);
    if (done && options.list)
        done = batch.listCurves(printOut);
    if (done && options.renderFile)
        done = batch.render(*options.renderFile, options.renderSize);
    if (done && options.exportDirectory)
        done = batch.exportHtml(*options.exportDirectory);
    if (!done) {
        printError(batch.errorString());
        return 2;
    }
    return options.batch() || renderForNoDisplay(batch) ? 0 : 2;
}

bool StudioApp::renderForNoDisplay(StudioBatch& batch)
{
    printError(tr("No display could be opened: drawing the charts into %1 instead")
                   .arg(outputDirectory()));
    const QDir out(QDir::current().absoluteFilePath(outputDirectory()));
    if (!QDir().mkpath(out.path())) {
        printError(tr("Cannot create the folder %1").arg(QDir::toNativeSeparators(out.path())));
        return false;
    }
    const QString stem = QFileInfo(options.files.constFirst()).completeBaseName();
    const QString timeChart = out.filePath(stem + QStringLiteral("-time.png"));
    const QString page = out.filePath(stem + QStringLiteral("-html"));
    const QString chart3D = out.filePath(stem + QStringLiteral("-xyz.png"));
    const bool done = batch.chooseChart(QAStViewerWindow::TimeChart)
                      && batch.render(timeChart, options.renderSize) && batch.exportHtml(page)
                      && batch.chooseChart(QAStViewerWindow::XYZChart)
                      && batch.render(chart3D, options.renderSize);
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
