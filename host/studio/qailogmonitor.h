#pragma once

#include <QString>

// Receives the messages of a long operation (an HTML export): what was written, what was wrong.
class QAILogMonitor
{
public:
    enum Level { Info, Warning, Error };

    virtual void logMessage(Level level, const QString& message) = 0;

protected:
    ~QAILogMonitor() = default;
};
