#pragma once

// One sample of a curve, a node of the curve's singly linked chain. A plain record: the reader
// fills it, the curve that holds it in its chain owns it.
//
// Packed: a trace holds tens of millions of samples, and without padding a node takes 13 bytes
// instead of 16. The nodes sit unaligned in their blocks, which x86-64 and ARMv8 read at full
// speed; take no non-const references to the fields. `#pragma pack` is the spelling GCC, Clang
// and MSVC all take.
#pragma pack(push, 1)
struct QAGVZValue
{
    QAGVZValue* next = nullptr; // the following sample of the same curve, null at the end
    float value = 0.0f;         // the sample
    bool ignored = false; // passed over by the minimum/maximum search; the reader stores false
};
#pragma pack(pop)
static_assert(sizeof(QAGVZValue) == sizeof(QAGVZValue*) + sizeof(float) + sizeof(bool),
              "a sample node is packed");
