// The HTML export settings parser: whatever the text, the settings stay in their ranges and a
// stylesheet is a file that exists.

#include "host/html/dhtmlsettings.h"

#include <QFileInfo>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList problems;
    const DHtmlSettings settings =
        DHtmlSettings::parse(text, QStringLiteral("/nonexistent"), &problems);
    const auto inRange = [](int side) {
        return side >= DHtmlSettings::MinSide && side <= DHtmlSettings::MaxSide;
    };
    if (!inRange(settings.imageSize.width()) || !inRange(settings.imageSize.height())
        || !(settings.svg || settings.png)
        || (!settings.stylesheet.isEmpty() && !QFileInfo(settings.stylesheet).isFile()))
        std::abort();
    return 0;
}
