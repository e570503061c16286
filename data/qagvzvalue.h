#pragma once

// One sample of a curve, a node of the curve's singly linked chain. A plain record: the reader
// fills it, the curve that holds it in its chain owns it.
//
// Packed: a trace holds tens of millions of samples, and without padding a node takes 13 bytes
// instead of 16. The nodes sit unaligned in their blocks, which x86-64 and ARMv8 read at full
// speed; take no non-const references to the fields.
struct __attribute__((packed)) QAGVZValue
{
    QAGVZValue* next = nullptr; // the following sample of the same curve, null at the end
    float value = 0.0f;         // the sample
    bool ignored = false;       // passed over by the minimum/maximum search; the reader stores false
};
