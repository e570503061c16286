#pragma once

#include <QCoreApplication>
#include <QString>

class QAStViewerPlugin;

// Loads a viewer plug-in library: checks its verification text, then asks it for its plug-in.
class PluginLoader
{
    Q_DECLARE_TR_FUNCTIONS(PluginLoader)

public:
    // The gvzviewer library, named as the platform names libraries, beside the executable (the
    // build tree), else in the installed library folder of the studio (GVZ_PLUGIN_DIR, relative
    // to the executable).
    static QString defaultPath();
    // The plug-in of the library at `path`, holding one reference (release() it), or null with the
    // reason in `error`: no such library, a missing entry point, another verification text, or no
    // viewer plug-in behind the instance. A library that loaded is never unloaded: its code runs
    // the plug-in and its windows.
    static QAStViewerPlugin* load(const QString& path, QString* error);
};
