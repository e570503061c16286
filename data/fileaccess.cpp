#include "data/fileaccess.h"

#include <QCoreApplication>
#include <QFileInfo>

QString fileReadProblem(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return QCoreApplication::translate("FileAccess", "no such file");
    if (!info.isFile())
        return QCoreApplication::translate("FileAccess", "is not a regular file");
    if (!info.isReadable())
        return QCoreApplication::translate("FileAccess", "is not readable");
    return {};
}
