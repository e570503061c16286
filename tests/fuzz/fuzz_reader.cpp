// The trace reader against the plain reference reader: the same curves with the same counts,
// values, minimum and maximum, bit for bit.

#include "tests/data/referencereader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/fuzz_reader-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("input.gvz"));
    {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        out.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    QAGVZFile read;
    QAGVZFile reference;
    if (!read.read(path) || !referenceRead(path, reference))
        std::abort();
    const Curves got = curvesOf(read);
    const Curves want = curvesOf(reference);
    if (got.names != want.names || got.bits != want.bits)
        std::abort();
    for (int i = 0; i < read.count; ++i) {
        if (read[i] && read[i]->count != int(got.values.at(i).size()))
            std::abort();
    }
    return 0;
}
