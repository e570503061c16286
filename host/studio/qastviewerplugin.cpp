#include "host/studio/qastviewerplugin.h"

QAStViewerPlugin::QAStViewerPlugin() = default;

QAStViewerPlugin::~QAStViewerPlugin() = default;

QAStViewerPlugin* QAStViewerPlugin::fromInterface(QUnknownInterface* iface)
{
    QUnknownInterface* plugin = nullptr;
    if (!iface || iface->queryInterface(IID_QAStViewerPlugin, &plugin) != Ok || !plugin)
        return nullptr;
    // Only QAStViewerPlugin answers IID_QAStViewerPlugin, with itself.
    return static_cast<QAStViewerPlugin*>(plugin);
}

long QAStViewerPlugin::queryInterface(const QUuid& id, QUnknownInterface** iface)
{
    if (!iface)
        return NoInterface;
    if (id == IID_QUnknown || id == IID_QAStViewerPlugin) {
        *iface = this;
        addRef();
        return Ok;
    }
    *iface = nullptr;
    return NoInterface;
}

unsigned long QAStViewerPlugin::addRef()
{
    return ++refCount;
}

unsigned long QAStViewerPlugin::release()
{
    if (refCount == 0 || --refCount == 0) {
        delete this;
        return 0;
    }
    return refCount;
}

QString QAStViewerPlugin::description()
{
    return QString();
}
QString QAStViewerPlugin::author()
{
    return QString();
}
QString QAStViewerPlugin::version()
{
    return QString();
}

void QAStViewerPlugin::initialize(QUnknownInterface*, QARes*)
{
}

QAStViewerWindow* QAStViewerPlugin::create(QStringList& files, QWidget* parent, const char* name)
{
    return create(files, true, parent, name);
}

bool QAStViewerPlugin::exportHTML(const QString&, const QString&, QAIProgressMonitor*,
                                  QAILogMonitor*)
{
    return false;
}

QAStViewerWindow* QAStViewerPlugin::openedWindow(const QString&)
{
    return nullptr;
}

void QAStViewerPlugin::connectAccepted(QObject*, const char*)
{
}
void QAStViewerPlugin::connectRejected(QObject*, const char*)
{
}

PreferenceItem* QAStViewerPlugin::preferenceSettings()
{
    return nullptr;
}

QString QAStViewerPlugin::pluginName(int)
{
    return name();
}
QString QAStViewerPlugin::pluginIcon()
{
    return QString();
}
QString QAStViewerPlugin::pluginDescription()
{
    return description();
}
QString QAStViewerPlugin::pluginCompanyName()
{
    return QString();
}
QString QAStViewerPlugin::pluginCompanyIcon()
{
    return QString();
}
QString QAStViewerPlugin::pluginCompanyDescription()
{
    return QString();
}
QString QAStViewerPlugin::pluginCopyRight()
{
    return QString();
}
QString QAStViewerPlugin::pluginVersion()
{
    return version();
}
QDate QAStViewerPlugin::pluginCreation()
{
    return QDate::currentDate();
}
