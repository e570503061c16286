#include "htmlfixture.h"

TestChart::TestChart(const QString& title, bool threeD, const QString& xName)
    : graphic(new DGraphic(title, threeD ? DGraphic::Lines3D : DGraphic::Chart2D, QString(),
                           nullptr, nullptr, nullptr))
{
    for (const QString id : {"x", "y", "z"}) {
        if (id == QLatin1String("z") && !threeD)
            break;
        auto* axis = new DAxis(id, QString(), id == QLatin1String("x") ? xName : id.toUpper(),
                               graphic, nullptr);
        (last ? last->next : graphic->firstChild) = axis;
        last = axis;
        axes.push_back(axis);
    }
}

void TestChart::addCurve(const QString& name, const std::vector<float>& values)
{
    styles.push_back(
        std::make_unique<DStyle>(name, nullptr, nullptr, new DColor(255, 0, 0), false));
    auto* curve = new DCurve(DCurve::Line, name, graphic, styles.back().get(), nullptr);
    last->next = curve;
    last = curve;
    DItem* previous = nullptr;
    for (std::size_t i = 0; i < values.size(); ++i) {
        auto* point = new DPoint(curve, nullptr);
        for (std::size_t a = 0; a + 1 < axes.size(); ++a)
            point->addCoord(axes[a], float(i));
        point->addCoord(axes.back(), values[i]);
        (previous ? previous->next : curve->firstChild) = point;
        previous = point;
    }
}

int LogRecorder::count(Level level, const QString& part) const
{
    int n = 0;
    for (const auto& message : messages)
        n += message.first == level && message.second.contains(part) ? 1 : 0;
    return n;
}

QString LogRecorder::all() const
{
    QStringList lines;
    for (const auto& message : messages)
        lines.append(QString::number(message.first) + QLatin1Char(' ') + message.second);
    return lines.join(QLatin1Char('\n'));
}
