// The trace reader against a plain reference reader: the same curves with the same counts,
// values, minimum and maximum, bit for bit.

#include "data/qagvzfile.h"
#include "data/qagvznumber.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdlib>
#include <cstring>

namespace {

struct Curve
{
    QString name;
    QList<quint32> values; // bits
    quint32 min = 0, max = 0;
    bool present = false;
};

quint32 bitsOf(float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The reading as a text stream gives it: lines, cells cut at tabs, the first smallest and the
// first largest value.
QList<Curve> referenceCurves(const QString& path)
{
    QFile input(path);
    if (!input.open(QIODevice::ReadOnly))
        std::abort();
    QTextStream stream(&input);
    stream.setEncoding(QStringConverter::Utf8);
    const QString header = stream.readLine();
    QList<Curve> curves;
    if (header.isEmpty())
        return curves;
    const QStringList names = header.split(u'\t');
    const int count = int(std::min<qsizetype>(names.size(), QAGVZFile::maxColumns));
    QList<QList<float>> values(count);
    while (!stream.atEnd()) {
        const QString line = stream.readLine();
        if (line.isEmpty())
            continue;
        QStringList cells = line.split(u'\t');
        if (cells.last().isEmpty())
            cells.removeLast();
        for (int column = 0; column < std::min<int>(int(cells.size()), count); ++column) {
            if (!cells.at(column).isEmpty())
                values[column] << QAGVZNumber::parse(cells.at(column));
        }
    }
    for (int i = 0; i < count; ++i) {
        Curve curve;
        curve.present = i + 1 < names.size() || !names.at(i).isEmpty();
        if (curve.present) {
            curve.name = names.at(i);
            float min = 0, max = 0;
            for (qsizetype k = 0; k < values[i].size(); ++k) {
                const float v = values[i].at(k);
                curve.values << bitsOf(v);
                if (k == 0 || min > v)
                    min = v;
                if (k == 0 || v > max)
                    max = v;
            }
            curve.min = values[i].isEmpty() ? 0 : bitsOf(min);
            curve.max = values[i].isEmpty() ? 0 : bitsOf(max);
        }
        curves << curve;
    }
    return curves;
}

QList<Curve> readerCurves(const QAGVZFile& file)
{
    QList<Curve> curves;
    for (int i = 0; i < file.count; ++i) {
        Curve curve;
        if (const QAGVZValueList* list = file[i]) {
            curve.present = true;
            curve.name = list->name;
            int n = 0;
            for (const QAGVZValue* node = list->first; node; node = node->next, ++n)
                curve.values << bitsOf(node->value);
            if (n != list->count || (n > 0) != (list->min && list->max))
                std::abort();
            curve.min = list->min ? bitsOf(list->min->value) : 0;
            curve.max = list->max ? bitsOf(list->max->value) : 0;
        }
        curves << curve;
    }
    return curves;
}

QString inputPath()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/fuzz_reader-XXXXXX"));
    return dir.filePath(QStringLiteral("input.gvz"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = inputPath();
    {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        out.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    QAGVZFile file;
    if (!file.read(path))
        std::abort();
    const QList<Curve> got = readerCurves(file);
    const QList<Curve> want = referenceCurves(path);
    if (got.size() != want.size())
        std::abort();
    for (qsizetype i = 0; i < got.size(); ++i) {
        const Curve& a = got.at(i);
        const Curve& b = want.at(i);
        if (a.present != b.present || a.name != b.name || a.values != b.values || a.min != b.min
            || a.max != b.max)
            std::abort();
    }
    return 0;
}
