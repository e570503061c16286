// The resource XML reader: whatever it accepts, written and read back gives the same tree.

#include "host/res/qares.h"

#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray xml(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const bool lenient : {false, true}) {
        const std::unique_ptr<QARes> tree(QARes::fromXml(xml, lenient));
        if (!tree)
            continue;
        const QByteArray written = tree->toXml();
        const std::unique_ptr<QARes> again(QARes::fromXml(written, false));
        if (!again || again->toXml() != written)
            std::abort();
    }
    return 0;
}
