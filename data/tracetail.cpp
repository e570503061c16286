#include "data/tracetail.h"

#include "data/fileaccess.h"

#include <QCryptographicHash>
#include <QFile>

#include <sys/stat.h>

bool TraceTail::record(const QString& fileName, qint64 readEnd)
{
    end = readEnd;
    return look(fileName, readEnd, seen);
}

bool TraceTail::appendedTo(const QString& fileName) const
{
    Look now;
    return look(fileName, end, now) && now.device == seen.device && now.inode == seen.inode
           && now.size >= end && now.head == seen.head && now.tail == seen.tail;
}

bool TraceTail::look(const QString& fileName, qint64 readEnd, Look& out)
{
    // Never opens what is not a regular file: a FIFO put in its place would block.
    if (!fileReadProblem(fileName).isEmpty())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    struct stat info;
    if (::fstat(file.handle(), &info) != 0)
        return false;
    out.device = quint64(info.st_dev);
    out.inode = quint64(info.st_ino);
    out.size = qint64(info.st_size);
    if (out.size < readEnd)
        return true; // shrunk: the checksums cannot match
    const auto sum = [&file](qint64 from, qint64 length, QByteArray& into) {
        if (!file.seek(from))
            return false;
        const QByteArray bytes = file.read(length);
        if (bytes.size() != length)
            return false;
        into = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
        return true;
    };
    const qint64 headLength = qMin(checkedBytes, readEnd);
    const qint64 tailFrom = qMax<qint64>(0, readEnd - checkedBytes);
    return sum(0, headLength, out.head) && sum(tailFrom, readEnd - tailFrom, out.tail);
}
