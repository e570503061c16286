#include "tests/data/referencereader.h"

#include <QFile>
#include <QTextStream>

#include <cstring>

quint32 bitsOf(float value)
{
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

Curves curvesOf(const QAGVZFile& file)
{
    Curves curves;
    for (int i = 0; i < file.count; ++i) {
        const QAGVZValueList* list = file[i];
        curves.names << (list ? list->name : QString());
        QList<float> samples;
        QList<quint32> bits;
        for (const QAGVZValue* node = list ? list->first : nullptr; node; node = node->next) {
            samples << node->value;
            bits << bitsOf(node->value);
        }
        for (const QAGVZValue* node : {list ? list->min : nullptr, list ? list->max : nullptr})
            bits << (node ? bitsOf(node->value) : 0xdeadbeef);
        curves.values << samples;
        curves.bits << bits;
    }
    return curves;
}

bool referenceRead(const QString& path, QAGVZFile& file)
{
    QFile input(path);
    if (!input.open(QIODevice::ReadOnly))
        return false;
    QTextStream stream(&input);
    stream.setEncoding(QStringConverter::Utf8);
    const QString header = stream.readLine();
    if (header.isEmpty())
        return true;
    const QStringList names = header.split(u'\t');
    file.count = int(std::min<qsizetype>(names.size(), QAGVZFile::maxColumns));
    file.lists = std::make_unique<QAGVZValueList*[]>(size_t(file.count));
    for (int i = 0; i < file.count; ++i) {
        if (i + 1 < names.size() || !names.at(i).isEmpty())
            file.lists[i] = new QAGVZValueList(names.at(i));
    }
    for (int line = 1; !stream.atEnd(); ++line) {
        const QString text = stream.readLine();
        if (text.isEmpty())
            continue;
        QStringList cells = text.split(u'\t');
        if (cells.last().isEmpty())
            cells.removeLast();
        int column = 0;
        for (const QString& cell : cells)
            file.readData(line, cell, &column);
    }
    for (int i = 0; i < file.count; ++i) {
        if (file[i])
            file[i]->updateMinMax();
    }
    return true;
}
