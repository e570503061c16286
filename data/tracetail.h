#pragma once

#include <QByteArray>
#include <QString>

// Where a read of a trace file stopped, and what it saw there: the file's identity and checksums
// of its first bytes and of the bytes before that end. A later look tells whether the file was
// only appended to since, so that reading on from the end gives what a full read would. Writers
// are assumed to append only: a change elsewhere in the old part is not seen.
class TraceTail
{
public:
    // Records `fileName` as read up to `end`; false when it cannot be examined.
    bool record(const QString& fileName, qint64 end);
    // The same file (device and inode), not smaller than `end`, with the same checksums.
    bool appendedTo(const QString& fileName) const;

    qint64 end = 0;

    static constexpr qint64 checkedBytes = 64 << 10;

private:
    struct Look
    {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        QByteArray head; // checksum of the first checkedBytes (at most up to the end)
        QByteArray tail; // checksum of the checkedBytes before the end
    };
    static bool look(const QString& fileName, qint64 end, Look& out);

    Look seen;
};
