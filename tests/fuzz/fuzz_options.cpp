// The studio's command line: whatever the arguments, the parser answers an error or options that
// hold together (a size in bounds, ranges finite and ordered, roles that fit the chart).

#include "app/studiooptions.h"

#include <cmath>
#include <cstdlib>

namespace {

bool goodRange(const std::optional<QAStViewerWindow::Range>& range)
{
    return !range
           || (std::isfinite(range->from) && std::isfinite(range->to) && range->from < range->to);
}

bool goodSide(int side)
{
    return side >= StudioOptions::MinRenderSide && side <= StudioOptions::MaxRenderSide;
}

} // namespace

// The input is the arguments after the program name, each ended by a NUL byte.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QStringList arguments{QStringLiteral("gvz-studio")};
    for (const QByteArray& argument :
         QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0'))
        arguments << QString::fromUtf8(argument);
    const StudioOptions options = StudioOptions::parse(arguments);
    if (!options.error.isEmpty() || options.action != StudioOptions::Action::Run)
        return 0;
    const bool xyz = options.chartType() == QAStViewerWindow::XYZChart;
    if (!goodSide(options.renderSize.width()) || !goodSide(options.renderSize.height())
        || !goodRange(options.rangeX) || !goodRange(options.rangeY)
        || (options.rangeY && !options.rangeX) || (xyz && options.rangeX)
        || (options.roles.time && options.chartType() != QAStViewerWindow::TimeChart)
        || (options.roles.z && !xyz))
        std::abort();
    return 0;
}
