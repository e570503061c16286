#include "host/chart/dcurvereducer.h"

void DCurveReducer::push(const QPointF& p)
{
    // Points of one pixel draw nothing more than one of them.
    if (!current.isEmpty()) {
        const QPointF& previous = current.constLast();
        if (std::floor(previous.x()) == std::floor(p.x())
            && std::floor(previous.y()) == std::floor(p.y()))
            return;
    }
    current.append(p);
}

void DCurveReducer::flush()
{
    if (!open)
        return;
    open = false;
    push(first);
    if (lowAfterHigh) {
        push(high);
        push(low);
    } else {
        push(low);
        push(high);
    }
    push(last);
}

void DCurveReducer::breakLine()
{
    flush();
    if (!current.isEmpty()) {
        done.push_back(current);
        current.clear();
    }
}

const std::vector<QPolygonF>& DCurveReducer::lines()
{
    breakLine();
    return done;
}

int DCurveReducer::pointCount() const
{
    int count = int(current.size());
    for (const QPolygonF& line : done)
        count += int(line.size());
    return count;
}
