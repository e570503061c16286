#pragma once

#include "data/qagvzfile.h"

#include <QList>
#include <QStringList>

// The trace reader done the plain way, for the tests and the fuzzer to check the fast one.

// What a file holds, entry by entry; a null entry has a null name.
struct Curves
{
    QStringList names;
    QList<QList<float>> values;
    QList<QList<quint32>> bits; // the values, then min and max, bit for bit
};

quint32 bitsOf(float value);
Curves curvesOf(const QAGVZFile& file);
// The reader as the text stream does it: readLine() lines, cut at tabs, each cell to readData(),
// then updateMinMax(). False when the file cannot be opened.
bool referenceRead(const QString& path, QAGVZFile& file);
