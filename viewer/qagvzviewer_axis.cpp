// Axis spacing: automatic tidy steps or the configured ones, and the slots that reach the chart
// from the configuration dialog and the preferences.
#include "viewer/qagvzviewer.h"

#include "config/qagvzconfig.h"
#include "graphic/qagvzgraphic.h"
#include "host/chart/ditem.h"

#include <cmath>

namespace {
// The configured spacings of one axis.
struct AxisSetup
{
    bool showLine;
    float stepLine;
    bool showUnit;
    float stepUnit;
    bool showDot;
    float stepDot;
};

void applySetup(DAxis* axis, const AxisSetup& setup)
{
    if (setup.showLine)
        axis->setProperty(DAxis::GridSpacing, setup.stepLine);
    if (setup.showUnit)
        axis->setProperty(DAxis::UnitSpacing, setup.stepUnit);
    if (setup.showDot)
        axis->setProperty(DAxis::DotSpacing, setup.stepDot);
}

// The tens of `v`, extracted in double precision.
float tens(float v)
{
    return 10.0f * float(std::trunc(double(v) * 0.1));
}
} // namespace

bool QAGVZViewer::autoConfigAxis(DAxis* axis, bool timeAxis)
{
    if (!config || !config->automaticScale)
        return false;
    if (!axis->hasProperty(DAxis::RangeMin) || !axis->hasProperty(DAxis::RangeMax))
        return true;
    const float min = axis->property(DAxis::RangeMin);
    const float max = axis->property(DAxis::RangeMax);
    float lineStep;
    float dotStep;
    if (timeAxis) {
        const float s = beautifulStepValue(max);
        const float k = std::trunc(s * 0.25f + 0.8f);
        lineStep = k;
        dotStep = 0.25f * k;
    } else {
        const float range = max - min;
        lineStep = beautifulStepValue(std::fabs(0.25f * range));
        dotStep = beautifulStepValue(std::fabs(range / 10.0f));
    }
    axis->setProperty(DAxis::UnitSpacing, lineStep);
    axis->setProperty(DAxis::GridSpacing, lineStep);
    axis->setProperty(DAxis::DotSpacing, dotStep);
    return true;
}

void QAGVZViewer::configView(DView& view)
{
    // The general rule on a width: grid, unit and dot spacing.
    const auto rule = [this](double width, float* spacing) {
        const float line = beautifulStepValue(float(0.25 * width));
        spacing[0] = line;
        spacing[1] = line;
        spacing[2] = beautifulStepValue(float(width / 10));
    };
    // Strips always fit their own range: the configured steps belong to the unstacked chart.
    for (DStrip& strip : view.strips)
        rule(strip.high - strip.low, strip.spacing);
    if (!config || !config->automaticScale || !view.isSet())
        return;
    rule(view.rect.width(), view.spacing[0]);
    rule(view.rect.height(), view.spacing[1]);
}

void QAGVZViewer::configAxisX(DAxis* axis, bool timeAxis)
{
    if (autoConfigAxis(axis, timeAxis) || !config)
        return;
    applySetup(axis, {config->showLineX, config->stepLineX, config->showUnitX, config->stepUnitX,
                      config->showDotX, config->stepDotX});
}

void QAGVZViewer::configAxisY(DAxis* axis)
{
    if (autoConfigAxis(axis, false) || !config)
        return;
    applySetup(axis, {config->showLineY, config->stepLineY, config->showUnitY, config->stepUnitY,
                      config->showDotY, config->stepDotY});
}

void QAGVZViewer::configAxisZ(DAxis* axis)
{
    if (autoConfigAxis(axis, false) || !config)
        return;
    applySetup(axis, {config->showLineZ, config->stepLineZ, config->showUnitZ, config->stepUnitZ,
                      config->showDotZ, config->stepDotZ});
}

// Every step is single precision, so that a spacing is the same on every machine; the tens are
// taken in double precision.
float QAGVZViewer::beautifulStepValue(float value)
{
    // A trace cell too large for a float reads as infinity; its range has no tidy step.
    if (!std::isfinite(value))
        return 1.0f;
    float x = std::fabs(value);
    if (x == 0.0f)
        return 1.0f;
    if (x < 0.1f) {
        float m = x;
        float p = 1.0f;
        do {
            m = m * 10.0f;
            p = p * 0.1f;
        } while (m < 10.0f);
        const float t = tens(m);
        return m - t >= 5.0f ? (t + 10.0f) * p : t * p;
    }
    if (x <= 1.0f) {
        const float y = 10.0f * x;
        const float n = std::trunc(y);
        return y - n >= 0.5f ? (n + 1.0f) * 0.1f : n * 0.1f;
    }
    if (x <= 5.0f) {
        const float n = std::trunc(x);
        const float f = x - n;
        if (f < 0.25f)
            return n;
        return f < 0.75f ? n + 0.5f : n + 1.0f;
    }
    if (x <= 10.0f) {
        const float n = std::trunc(x);
        return x - n < 0.5f ? n : n + 1.0f;
    }
    if (x <= 50.0f) {
        const float t = tens(x);
        const float r = x - t;
        if (r < 2.5f)
            return t;
        return r < 7.5f ? t + 5.0f : t + 10.0f;
    }
    if (x <= 100.0f) {
        const float t = tens(x);
        return x - t < 5.0f ? t : t + 10.0f;
    }
    float p = 1.0f;
    while (x > 100.0f) {
        p = p * 10.0f;
        x = x * 0.1f;
    }
    const float n = std::trunc(x);
    return x - n < 0.5f ? n * p : (n + 1.0f) * p;
}

void QAGVZViewer::mnConfigure()
{
    if (config && config->exec() == QDialog::Accepted)
        updateGraphic();
}

void QAGVZViewer::dlgPrefAccepted()
{
    graphic->repaintAll();
}
