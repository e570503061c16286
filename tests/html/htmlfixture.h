#pragma once

#include "host/studio/qailogmonitor.h"
#include "host/studio/qaiprogressmonitor.h"

#include <QList>
#include <QPair>
#include <QStringList>

class LogRecorder final : public QAILogMonitor
{
public:
    void logMessage(Level level, const QString& message) override
    {
        messages.append({level, message});
    }
    // Messages of `level` that contain `part`.
    int count(Level level, const QString& part = QString()) const;
    QString all() const;

    QList<QPair<Level, QString>> messages;
};

// Asks to stop once `cancelAt` steps are done (-1: never).
class ProgressRecorder final : public QAIProgressMonitor
{
public:
    void setTotalSteps(int steps) override { total = steps; }
    void setProgress(int steps) override { progress = steps; }
    void setLabel(const QString& text) override { labels.append(text); }
    bool wasCanceled() const override { return cancelAt >= 0 && progress >= cancelAt; }

    int total = -1;
    int progress = -1;
    int cancelAt = -1;
    QStringList labels;
};
