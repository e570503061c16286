#pragma once

#include "host/studio/qunknowninterface.h"

#include <QDate>
#include <QObject>
#include <QStringList>

class PreferenceItem;
class QAILogMonitor;
class QAIProgressMonitor;
class QARes;
class QAStViewerWindow;
class QWidget;

// Identifier under which a viewer plug-in answers itself (QAStViewerPlugin::fromInterface).
#define IID_QAStViewerPlugin                                                                       \
    QUuid(0x5d0b7a3e, 0x8c41, 0x4f6a, 0x9e, 0x27, 0x3b, 0x61, 0xd4, 0x0c, 0x92, 0x5f)

// The text a viewer plug-in library answers from qt_ucm_query_verification_data(); the studio
// loads only libraries answering exactly this.
inline constexpr char QAStViewerPluginVerificationData[] =
    "pattern=QT_UCM_VERIFICATION_DATA\n"
    "version=3.3.8\n"
    "flags=01\n"
    "buildkey=x86_64 Linux g++-4 full-config no-opengl QT_NO_LIBRARY_UNLOAD";

// The studio's entry into a viewer component: it describes the component, says which files it
// accepts and makes a viewer window for a set of them.
//
// Lifetime: reference counted through QUnknownInterface. ucm_instantiate() answers a new plug-in
// holding one reference; whoever holds a reference calls release() when done, and the last
// release deletes the plug-in.
class QAStViewerPlugin : public QObject, public QUnknownInterface
{
    Q_OBJECT
public:
    QAStViewerPlugin();
    ~QAStViewerPlugin() override;

    // The plug-in behind `iface` (queryInterface with IID_QAStViewerPlugin), or null when `iface`
    // is null or not a viewer plug-in. The answer holds a new reference: release() it.
    static QAStViewerPlugin* fromInterface(QUnknownInterface* iface);

    // QUnknownInterface: answers this object for IID_QUnknown and IID_QAStViewerPlugin, adding a
    // reference.
    long queryInterface(const QUuid& id, QUnknownInterface** iface) override;
    unsigned long addRef() override;
    unsigned long release() override;

    // descriptive answers:
    virtual QString name() = 0;
    virtual QString description();
    virtual QString author();
    virtual QString version();

    // Called once after loading with the studio's interface (may be null) and its resource tree
    // (may be null). The base does nothing.
    virtual void initialize(QUnknownInterface* host, QARes* resources);

    // file matching: name patterns ("*.gvz") and file dialog filters ("Graphic files (*.gvz)").
    virtual QStringList accept() = 0;
    virtual QStringList filters() = 0;

    // A new window for `files`; the studio shows it (and activates it when `activate` is true).
    virtual QAStViewerWindow* create(QStringList& files, QWidget* parent, const char* name);
    virtual QAStViewerWindow* create(QStringList& files, bool activate, QWidget* parent,
                                     const char* name) = 0;

    // Writes `file` as HTML into `dir` without a window; answers whether it did. The base does not.
    virtual bool exportHTML(const QString& dir, const QString& file, QAIProgressMonitor* progress,
                            QAILogMonitor* log);
    // The window already showing `file`, or null; the base answers null.
    virtual QAStViewerWindow* openedWindow(const QString& file);

    // Ties the studio preference dialog's signal (a SIGNAL() text of `sender`) to the plug-in:
    // accepted and rejected. The bases make no connection.
    virtual void connectAccepted(QObject* sender, const char* signal);
    virtual void connectRejected(QObject* sender, const char* signal);
    // Root of the plug-in's preference tree, or null; the tree stays the plug-in's.
    virtual PreferenceItem* preferenceSettings();

    // texts for the studio's "about plug-ins" view:
    virtual QString pluginName(int index);
    virtual QString pluginIcon();
    virtual QString pluginDescription();
    virtual QString pluginCompanyName();
    virtual QString pluginCompanyIcon();
    virtual QString pluginCompanyDescription();
    virtual QString pluginCopyRight();
    virtual QString pluginVersion();
    virtual QDate pluginCreation();

private:
    unsigned long refCount = 0;
};

// Defines the two entry points of a viewer plug-in library for the QAStViewerPlugin subclass
// `PLUGIN` (default constructible). Put it in one .cpp of the library, at namespace scope.
#define GVZ_EXPORT_VIEWER_PLUGIN(PLUGIN)                                                           \
    extern "C" Q_DECL_EXPORT const char* qt_ucm_query_verification_data()                          \
    {                                                                                              \
        return QAStViewerPluginVerificationData;                                                   \
    }                                                                                              \
    extern "C" Q_DECL_EXPORT QUnknownInterface* ucm_instantiate()                                  \
    {                                                                                              \
        QUnknownInterface* iface = nullptr;                                                        \
        (new PLUGIN)->queryInterface(IID_QUnknown, &iface);                                        \
        return iface;                                                                              \
    }
