#pragma once

#include <QFile>

// The bytes of the file at `path`; empty when it cannot be read.
inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes `data` to the file at `path` (appends with `append`); answers whether all was written.
inline bool writeFile(const QString& path, const QByteArray& data, bool append = false)
{
    QFile file(path);
    return file.open(append ? QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(data) == data.size();
}
