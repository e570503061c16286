#pragma once

#include <QPolygonF>

#include <cmath>
#include <vector>

// Turns a stream of device points into the polylines that draw the same picture with at most
// about four points per pixel column: consecutive points in one column become the first, the
// lowest, the highest and the last of them (in their order), so no spike is lost, and a point
// on the pixel of the previous one adds nothing. A non-finite point breaks the line.
class DCurveReducer
{
public:
    // Coordinates are clamped to +-Limit so that far-off points stay within what a raster
    // engine can draw, keeping the direction of lines that leave the picture roughly.
    static constexpr double Limit = 4.0e6;

    void add(double x, double y)
    {
        if (!std::isfinite(x) || !std::isfinite(y)) {
            breakLine();
            return;
        }
        x = x < -Limit ? -Limit : (x > Limit ? Limit : x);
        y = y < -Limit ? -Limit : (y > Limit ? Limit : y);
        const double column = std::floor(x);
        if (open && column == runColumn) {
            if (y < low.y()) {
                low = QPointF(x, y);
                lowAfterHigh = true;
            } else if (y > high.y()) {
                high = QPointF(x, y);
                lowAfterHigh = false;
            }
            last = QPointF(x, y);
            return;
        }
        flush();
        open = true;
        runColumn = column;
        first = low = high = last = QPointF(x, y);
        lowAfterHigh = false;
    }

    // Ends the current line; the next point starts a new one.
    void breakLine();
    // The polylines so far, the current run included; a line of one point is a dot.
    const std::vector<QPolygonF>& lines();
    // Points in all lines (for tests and benchmarks).
    int pointCount() const;

private:
    void flush();
    void push(const QPointF& p);

    std::vector<QPolygonF> done;
    QPolygonF current;
    bool open = false;
    double runColumn = 0.0;
    QPointF first, low, high, last;
    bool lowAfterHigh = false; // the run reached its minimum after its maximum
};
