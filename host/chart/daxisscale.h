#pragma once

#include <QString>

#include <vector>

class DAxis;

// The value range of an axis and the multiples of its spacings inside it.
class DAxisScale
{
public:
    // The range of `axis` made drawable: a missing or non-finite bound falls back to -1 / 1,
    // inverted bounds are swapped, an empty range is widened around its value.
    explicit DAxisScale(const DAxis* axis);
    // `log`: a base-10 scale; a bound at or below zero is taken as 1, one value is widened to a
    // decade on each side.
    DAxisScale(double min, double max, bool log = false);

    double min() const { return low; }
    double max() const { return high; }
    bool isLog() const { return log; }
    // The bounds where the axis is linear: their logarithms on a logarithmic scale.
    double axisMin() const;
    double axisMax() const;
    // Position of `value` in the range: 0 at the minimum, 1 at the maximum; NaN for a value at
    // or below zero on a logarithmic scale.
    double fraction(double value) const;

    // The multiples k * spacing inside the range as k in [first, last]. False, and nothing to
    // draw, when the spacing is not a finite positive number or when there would be more than
    // `maxCount` of them.
    bool multiples(double spacing, double maxCount, double& first, double& last) const;

    // `value` as a unit label with the digits that `spacing` needs: 0.25 steps give "0.25",
    // 0.5 steps "0.5", unit steps "3"; very large or very small values in exponent form.
    static QString label(double value, double spacing);
    // The marks of a logarithmic scale `length` pixels long that keep `room` pixels apart:
    // powers of ten, with 2 and 5 between them when there is room, every n-th power when even
    // those crowd; the range's ends when fewer than two fall inside.
    std::vector<double> logMarks(double length, double room) const;

private:
    void normalise();

    double low;
    double high;
    bool log = false;
};
