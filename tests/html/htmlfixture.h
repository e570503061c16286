#pragma once

#include "host/chart/ditem.h"
#include "host/chart/dstyle.h"
#include "host/studio/qailogmonitor.h"
#include "host/studio/qaiprogressmonitor.h"

#include <QColor>
#include <QList>
#include <QPair>
#include <QStringList>

#include <memory>
#include <vector>

// A chart linked as the viewer links one: axes x, y (and z), then the curves; the i-th point of
// a curve is (i, value) or, in 3-D, (i, i, value). Owns the chart and its styles.
class TestChart
{
public:
    explicit TestChart(const QString& title = QStringLiteral("Chart"), bool threeD = false,
                       const QString& xName = QStringLiteral("time"));
    ~TestChart() { delete graphic; }
    void addCurve(const QString& name, const std::vector<float>& values);

    DGraphic* graphic;

private:
    std::vector<DAxis*> axes;
    DItem* last = nullptr;
    std::vector<std::unique_ptr<DStyle>> styles;
};

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
