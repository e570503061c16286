// The .cfx loader: whatever the file holds, the configuration dialog's OK leaves every step
// finite and greater than 0.

#include "config/qagvzconfig.h"
#include "host/res/qares.h"

#include <QApplication>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

// Reaches the loading and the OK of the dialog as the Load... and OK buttons do.
class Config : public QAGVZConfig
{
public:
    void load(QARes* res)
    {
        fromResources(res);
        accept();
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Config config;
    const QByteArray xml(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::unique_ptr<QARes> res(QARes::fromXml(xml, false));
    if (!res)
        return 0;
    config.load(res.get());
    for (const float step :
         {config.stepLineX, config.stepLineY, config.stepLineZ, config.stepUnitX, config.stepUnitY,
          config.stepUnitZ, config.stepDotX, config.stepDotY, config.stepDotZ}) {
        if (!std::isfinite(step) || !(step > 0.0f))
            std::abort();
    }
    return 0;
}
