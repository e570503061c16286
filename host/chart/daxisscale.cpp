#include "host/chart/daxisscale.h"

#include "host/chart/ditem.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Beyond this a k of a multiple no longer counts exactly in a double.
constexpr double MaxMultiple = 1e15;
constexpr int MaxDecimals = 9;

// Decimals after the point that `spacing` needs, or -1 when more than MaxDecimals.
int decimalsOf(double spacing)
{
    double scaled = spacing;
    for (int d = 0; d <= MaxDecimals; ++d) {
        // Spacings come from floats: 0.3f is 0.30000001..., so compare with a float's precision.
        const double whole = std::round(scaled);
        if (whole >= 1.0 && std::abs(scaled - whole) <= 1e-5 * scaled)
            return d;
        scaled *= 10.0;
    }
    return -1;
}

// Significant digits of the spacing's mantissa (0.25 -> 2, 3 -> 1).
int mantissaDigits(double spacing)
{
    const double mantissa = spacing / std::pow(10.0, std::floor(std::log10(spacing)));
    const int d = decimalsOf(mantissa);
    return d < 0 ? 6 : d + 1;
}

} // namespace

DAxisScale::DAxisScale(const DAxis* axis) : low(-1.0), high(1.0)
{
    if (axis && axis->hasProperty(DAxis::RangeMin) && axis->hasProperty(DAxis::RangeMax)) {
        low = axis->property(DAxis::RangeMin);
        high = axis->property(DAxis::RangeMax);
    }
    normalise();
}

DAxisScale::DAxisScale(double min, double max, bool logarithmic)
    : low(min), high(max), log(logarithmic)
{
    normalise();
}

double DAxisScale::axisMin() const
{
    return log ? std::log10(low) : low;
}

double DAxisScale::axisMax() const
{
    return log ? std::log10(high) : high;
}

double DAxisScale::fraction(double value) const
{
    if (!log)
        return (value - low) / (high - low);
    if (!(value > 0.0))
        return std::numeric_limits<double>::quiet_NaN();
    return (std::log10(value) - axisMin()) / (axisMax() - axisMin());
}

std::vector<double> DAxisScale::logMarks(double length, double room) const
{
    std::vector<double> marks;
    const double decades = axisMax() - axisMin();
    const double perDecade = length / decades;
    // A 2 sits 0.3 of a decade above its power, a 5 0.2 below the next: they need 1 / 0.2 rooms.
    const bool between = perDecade * 0.2 >= room;
    const double every = perDecade >= room ? 1.0 : std::ceil(room / std::max(perDecade, 1e-9));
    const double first = std::floor(axisMin());
    for (double e = first; e <= std::ceil(axisMax()) && marks.size() < 1000; ++e) {
        if (std::fmod(e - first, every) != 0.0)
            continue;
        for (const double m : {1.0, 2.0, 5.0}) {
            const double v = m * std::pow(10.0, e);
            if ((m == 1.0 || between) && v >= low * (1 - 1e-12) && v <= high * (1 + 1e-12))
                marks.push_back(v);
        }
    }
    if (marks.size() < 2)
        marks = {low, high};
    return marks;
}

void DAxisScale::normalise()
{
    if (log) {
        if (!(low > 0.0) || !std::isfinite(low))
            low = 1.0;
        if (!(high > 0.0) || !std::isfinite(high))
            high = 1.0;
        if (low > high)
            std::swap(low, high);
        if (!(high / low > 1.0 + 1e-9)) {
            low /= 10.0;
            high *= 10.0;
        }
        return;
    }
    if (!std::isfinite(low) || !std::isfinite(high)) {
        low = -1.0;
        high = 1.0;
    }
    if (low > high)
        std::swap(low, high);
    if (!(high - low > std::abs(high) * 1e-12)) {
        // One value (or bounds too close to tell apart): show a unit around it, more for huge
        // values.
        const double centre = 0.5 * (low + high);
        const double half = std::max(1.0, std::abs(centre) * 1e-6);
        low = centre - half;
        high = centre + half;
    }
}

bool DAxisScale::multiples(double spacing, double maxCount, double& first, double& last) const
{
    if (!std::isfinite(spacing) || spacing <= 0.0)
        return false;
    first = std::ceil(low / spacing);
    last = std::floor(high / spacing);
    if (!std::isfinite(first) || !std::isfinite(last) || last < first)
        return false;
    if (std::abs(first) > MaxMultiple || std::abs(last) > MaxMultiple)
        return false;
    return last - first + 1.0 <= maxCount;
}

QString DAxisScale::label(double value, double spacing)
{
    if (!std::isfinite(value))
        return QString();
    if (std::isfinite(spacing) && spacing > 0.0 && std::abs(value) < spacing * 1e-6)
        value = 0.0; // no "-0" or 1e-17 for the multiple that is zero
    const double magnitude = std::abs(value);
    if (!(std::isfinite(spacing) && spacing > 0.0))
        return QString::number(value, 'g', 6);
    const int decimals = decimalsOf(spacing);
    if (decimals >= 0 && magnitude < 1e12)
        return QString::number(value, 'f', decimals);
    if (magnitude == 0.0)
        return QStringLiteral("0");
    const int digits = int(std::floor(std::log10(magnitude)) - std::floor(std::log10(spacing)))
                       + mantissaDigits(spacing);
    return QString::number(value, 'g', std::clamp(digits, 1, 17));
}
