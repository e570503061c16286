#include "plugin/gvzplugin.h"

#include "viewer/qagvzviewer.h"
#include "prefs/qagvzpref.h"
#include "host/studio/studiointerface.h"

StudioInterface* QAStGvzPlugin::studioIFace = nullptr;

QAStGvzPlugin::QAStGvzPlugin() = default;

QAStGvzPlugin::~QAStGvzPlugin() = default;

QString QAStGvzPlugin::name()
{
    return QStringLiteral("Gvz");
}

QString QAStGvzPlugin::description()
{
    return tr("The Graphic Viewer", "GVZ Plugin Description");
}

QString QAStGvzPlugin::author()
{
    return tr("The Korvane Ostrel graphic viewer team", "GVZ Plugin Author");
}

QString QAStGvzPlugin::version()
{
    return tr("Version 1.0.0", "GVZ Plugin Version");
}

void QAStGvzPlugin::initialize(QUnknownInterface* host, QARes* resources)
{
    if (host) {
        // The studio answers this identifier with its StudioInterface; a host that leaves the
        // output alone leaves studioIFace as it was.
        QUnknownInterface* studio = studioIFace;
        host->queryInterface(IID_StudioInterface, &studio);
        studioIFace = static_cast<StudioInterface*>(studio);
    }
    QAGVZViewer::initialize(resources, studioIFace);
}

QStringList QAStGvzPlugin::accept()
{
    return {QStringLiteral("*.gvz")};
}

QStringList QAStGvzPlugin::filters()
{
    return {tr("Graphic files", "GVZ Plugin File Filter") + QStringLiteral(" (*.gvz)")};
}

QAStViewerWindow* QAStGvzPlugin::create(QStringList& files, QWidget* parent, const char* name)
{
    return create(files, true, parent, name);
}

QAStViewerWindow* QAStGvzPlugin::create(QStringList& files, bool activate, QWidget* parent,
                                        const char* name)
{
    QStringList copy = files;
    auto* viewer = new QAGVZViewer(parent, name, {}, activate);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setFiles(&copy, nullptr, QAStViewerWindow::FileMode);
    return viewer;
}

bool QAStGvzPlugin::exportHTML(const QString&, const QString&, QAIProgressMonitor*, QAILogMonitor*)
{
    return false;
}

QAStViewerWindow* QAStGvzPlugin::openedWindow(const QString&)
{
    return nullptr;
}

void QAStGvzPlugin::connectAccepted(QObject* sender, const char* signal)
{
    if (gvzpref && sender && signal)
        QObject::connect(sender, signal, gvzpref, SLOT(prefDialogAccepted()));
}

void QAStGvzPlugin::connectRejected(QObject* sender, const char* signal)
{
    if (gvzpref && sender && signal)
        QObject::connect(sender, signal, gvzpref, SLOT(prefDialogRejected()));
}

PreferenceItem* QAStGvzPlugin::preferenceSettings()
{
    return gvzpref ? gvzpref->preferenceSettings() : nullptr;
}

QString QAStGvzPlugin::pluginName(int)
{
    return tr("Korvane Ostrel Plenisto Graphic Viewer", "Plugin Name");
}

QString QAStGvzPlugin::pluginIcon()
{
    return QString();
}

QString QAStGvzPlugin::pluginDescription()
{
    return tr("Korvane Ostrel Plenisto Graphic Viewer Description", "Plugin Description");
}

QString QAStGvzPlugin::pluginCompanyName()
{
    return tr("Korvane Ostrel", "Plugin Company Name");
}

QString QAStGvzPlugin::pluginCompanyIcon()
{
    return QStringLiteral("logo_90x90.xpm");
}

QString QAStGvzPlugin::pluginCompanyDescription()
{
    return tr("Korvane Ostrel and Plenisto are trademarks of Korvane Ostrel.",
              "Plugin Company Description");
}

QString QAStGvzPlugin::pluginCopyRight()
{
    return tr("Copyright (C) Korvane Ostrel. All rights reserved.", "Plugin CopyRight");
}

QString QAStGvzPlugin::pluginVersion()
{
    return tr("Version 1.1.0", "Plugin Version");
}

QDate QAStGvzPlugin::pluginCreation()
{
    return QDate::currentDate();
}
