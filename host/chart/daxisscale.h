#pragma once

#include <QString>

class DAxis;

// The value range of an axis and the multiples of its spacings inside it.
class DAxisScale
{
public:
    // The range of `axis` made drawable: a missing or non-finite bound falls back to -1 / 1,
    // inverted bounds are swapped, an empty range is widened around its value.
    explicit DAxisScale(const DAxis* axis);
    DAxisScale(double min, double max);

    double min() const { return low; }
    double max() const { return high; }
    // Position of `value` in the range: 0 at the minimum, 1 at the maximum.
    double fraction(double value) const { return (value - low) / (high - low); }

    // The multiples k * spacing inside the range as k in [first, last]. False, and nothing to
    // draw, when the spacing is not a finite positive number or when there would be more than
    // `maxCount` of them.
    bool multiples(double spacing, double maxCount, double& first, double& last) const;

    // `value` as a unit label with the digits that `spacing` needs: 0.25 steps give "0.25",
    // 0.5 steps "0.5", unit steps "3"; very large or very small values in exponent form.
    static QString label(double value, double spacing);

private:
    void normalise();

    double low;
    double high;
};
