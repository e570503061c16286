#include "data/tracecontent.h"

#include "data/fileaccess.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringConverter>
#include <QTextStream>

namespace {

constexpr qint64 headBytes = 64 * 1024;
constexpr int dataLines = 1000;
constexpr qint64 lineBytes = 64 * 1024; // longer lines are looked at in pieces

// A sign, then a digit, or a decimal point or comma before a digit: the start the reader parses.
bool startsLikeNumber(QStringView cell)
{
    cell = cell.trimmed();
    qsizetype i = 0;
    if (i < cell.size() && (cell[i] == u'+' || cell[i] == u'-'))
        ++i;
    if (i < cell.size() && (cell[i] == u'.' || cell[i] == u','))
        ++i;
    return i < cell.size() && cell[i].isDigit();
}

} // namespace

QString traceContentProblem(const QString& path)
{
    QFile file(path);
    if (!fileReadProblem(path).isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(headBytes);
    const auto encoding = QStringConverter::encodingForData(head);
    // UTF-16 and UTF-32 text holds NUL bytes by nature; the reader decodes it by its mark.
    if ((!encoding || *encoding == QStringConverter::Utf8) && head.contains('\0'))
        return QCoreApplication::translate("TraceContent", "it holds binary data");
    file.seek(0);
    QTextStream stream(&file);
    stream.readLine(lineBytes);
    bool cells = false;
    for (int n = 0; n < dataLines && !stream.atEnd(); ++n) {
        const QString line = stream.readLine(lineBytes);
        for (QStringView cell : QStringView(line).split(u'\t')) {
            if (cell.trimmed().isEmpty())
                continue;
            if (startsLikeNumber(cell))
                return {};
            cells = true;
        }
    }
    return cells ? QCoreApplication::translate("TraceContent", "no cell holds a number")
                 : QString();
}
