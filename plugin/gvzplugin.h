#pragma once

#include "host/studio/qastviewerplugin.h"

class StudioInterface;

// The studio's entry into the viewer: answers its questions, hands it the preference tree and
// makes a viewer window for each set of *.gvz files. It holds no data: the per-process state
// lives in QAGVZViewer's statics and in gvzpref.
class QAStGvzPlugin : public QAStViewerPlugin
{
    Q_OBJECT
public:
    QAStGvzPlugin();
    ~QAStGvzPlugin() override;

    // descriptive answers:
    QString name() override;
    QString description() override;
    QString author() override;
    QString version() override;

    // Obtains the studio interface from `host` (may be null) and runs the viewer's one-time
    // initialisation with it and `resources`.
    void initialize(QUnknownInterface* host, QARes* resources) override;

    // file matching:
    QStringList accept() override;
    QStringList filters() override;

    // A new viewer window for a copy of `files`; it deletes itself when closed.
    QAStViewerWindow* create(QStringList& files, QWidget* parent, const char* name) override;
    QAStViewerWindow* create(QStringList& files, bool activate, QWidget* parent,
                             const char* name) override;
    // Does nothing: each viewer window exports itself.
    bool exportHTML(const QString& dir, const QString& file, QAIProgressMonitor* progress,
                    QAILogMonitor* log) override;
    // Always null: every create makes an independent window.
    QAStViewerWindow* openedWindow(const QString& file) override;

    // preferences; all three do nothing before initialize():
    void connectAccepted(QObject* sender, const char* signal) override;
    void connectRejected(QObject* sender, const char* signal) override;
    PreferenceItem* preferenceSettings() override;

    // texts for the studio's "about plug-ins" view:
    QString pluginName(int index) override;
    QString pluginIcon() override;
    QString pluginDescription() override;
    QString pluginCompanyName() override;
    QString pluginCompanyIcon() override;
    QString pluginCompanyDescription() override;
    QString pluginCopyRight() override;
    QString pluginVersion() override;
    QDate pluginCreation() override;

    // The studio's interface, obtained by initialize(); null before or when the studio has none.
    static StudioInterface* studioIFace;
};
