#pragma once

// One sample of a curve, a node of the curve's singly linked chain. A plain record: the reader
// fills it, the curve that holds it in its chain owns it.
struct QAGVZValue
{
    QAGVZValue* next = nullptr; // the following sample of the same curve, null at the end
    float value = 0.0f;         // the sample
    bool ignored = false;       // passed over by the minimum/maximum search; the reader stores false
};
