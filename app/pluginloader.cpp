#include "app/pluginloader.h"

#include "host/studio/qastviewerplugin.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <cstring>

namespace {
using VerificationFunction = const char* (*)();
using InstantiateFunction = QUnknownInterface* (*)();

// The library `name` in `dir` as this platform names its libraries (libgvzviewer.so,
// gvzviewer.dll, libgvzviewer.dylib: QLibrary's rules), or empty when there is none.
QString libraryIn(const QDir& dir, const QString& name)
{
    const QStringList files = dir.entryList(
        {name + QStringLiteral(".*"), QStringLiteral("lib") + name + QStringLiteral(".*")},
        QDir::Files, QDir::Name);
    for (const QString& file : files) {
        if (QLibrary::isLibrary(file))
            return dir.filePath(file);
    }
    return {};
}
} // namespace

QString PluginLoader::defaultPath()
{
    const QDir appDir(QCoreApplication::applicationDirPath());
    const QString name = QStringLiteral("gvzviewer");
    const QString beside = libraryIn(appDir, name);
    if (!beside.isEmpty())
        return beside;
    const QString installed =
        libraryIn(QDir(QDir::cleanPath(appDir.filePath(QStringLiteral(GVZ_PLUGIN_DIR)))), name);
    return installed.isEmpty() ? appDir.filePath(name) : installed;
}

QAStViewerPlugin* PluginLoader::load(const QString& path, QString* error)
{
    auto fail = [error](const QString& message) -> QAStViewerPlugin* {
        if (error)
            *error = message;
        return nullptr;
    };
    if (!QFileInfo(path).isFile())
        return fail(tr("Cannot load the plug-in %1: no such file").arg(path));
    QLibrary library(path);
    if (!library.load())
        return fail(tr("Cannot load the plug-in %1: %2").arg(path, library.errorString()));
    auto verification =
        reinterpret_cast<VerificationFunction>(library.resolve("qt_ucm_query_verification_data"));
    if (!verification) {
        library.unload();
        return fail(tr("The library %1 is not a plug-in: it has no qt_ucm_query_verification_data")
                        .arg(path));
    }
    const char* text = verification();
    if (!text || std::strcmp(text, QAStViewerPluginVerificationData) != 0) {
        library.unload();
        return fail(tr("The plug-in %1 was built for another studio: its verification text differs")
                        .arg(path));
    }
    auto instantiate = reinterpret_cast<InstantiateFunction>(library.resolve("ucm_instantiate"));
    if (!instantiate) {
        library.unload();
        return fail(tr("The plug-in %1 has no ucm_instantiate").arg(path));
    }
    QUnknownInterface* iface = instantiate();
    if (!iface)
        return fail(tr("The plug-in %1 made no instance").arg(path));
    QAStViewerPlugin* plugin = QAStViewerPlugin::fromInterface(iface);
    iface->release();
    if (!plugin)
        return fail(tr("The plug-in %1 does not offer a viewer").arg(path));
    return plugin;
}
