#include "htmlfixture.h"

int LogRecorder::count(Level level, const QString& part) const
{
    int n = 0;
    for (const auto& message : messages)
        n += message.first == level && message.second.contains(part) ? 1 : 0;
    return n;
}

QString LogRecorder::all() const
{
    QStringList lines;
    for (const auto& message : messages)
        lines.append(QString::number(message.first) + QLatin1Char(' ') + message.second);
    return lines.join(QLatin1Char('\n'));
}
