#pragma once

#include <QString>

// Receives the progress of a long operation (an HTML export) and tells it whether to stop.
class QAIProgressMonitor
{
public:
    // Number of steps of the whole operation; 0 when it is not known.
    virtual void setTotalSteps(int steps) = 0;
    // Steps done so far.
    virtual void setProgress(int steps) = 0;
    // What the operation is doing now.
    virtual void setLabel(const QString& text) = 0;
    // True once the user asked to stop; the operation ends at its next step.
    virtual bool wasCanceled() const = 0;
    // Whether the user may cancel from now on (true when an operation starts); a monitor that
    // cannot tell the user ignores it.
    virtual void setCancellable(bool cancellable) { Q_UNUSED(cancellable) }

protected:
    ~QAIProgressMonitor() = default;
};
