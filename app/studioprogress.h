#pragma once

#include "host/studio/qaiprogressmonitor.h"

#include <QElapsedTimer>
#include <QPointer>

#include <functional>

class QProgressDialog;
class QWidget;

// The studio's watch over long reads. With windows: after half a second a progress dialog,
// modal to the main window, names the file and offers Cancel; while it shows, every step runs
// the event loop, so the windows repaint and nothing else can be started meanwhile. Without
// windows: after a second a one-line progress on stderr, when stderr is a terminal.
class StudioProgress final : public QAIProgressMonitor
{
public:
    // `window` (not owned) parents the dialog.
    explicit StudioProgress(QWidget* window);
    ~StudioProgress();

    void setToStderr(bool on) { toStderr = on; }
    // Called when a read starts and when it ends.
    std::function<void()> runningChanged;
    // A read is under way: from setTotalSteps() to progress at the total.
    bool running() const { return busy; }
    // Asks the read under way to stop (once it may: see setCancellable()).
    void cancel() { canceled = true; }
    // The last read ended because it was cancelled.
    bool lastCancelled() const { return canceled && !busy; }
    // The dialog, null before the first read with windows.
    QProgressDialog* dialog() const;

    // QAIProgressMonitor:
    void setTotalSteps(int steps) override;
    void setProgress(int steps) override;
    void setLabel(const QString& text) override;
    bool wasCanceled() const override;
    // Without, the dialog shows no Cancel button and cancel() waits until it may.
    void setCancellable(bool on) override;

private:
    QWidget* window;
    QPointer<QProgressDialog> box;
    QElapsedTimer since;
    QString label;
    int total = 0;
    int shownPercent = -1; // on the stderr line
    bool toStderr = false;
    bool lineShown = false;
    bool busy = false;
    bool canceled = false;
    bool cancellable = true;
};
