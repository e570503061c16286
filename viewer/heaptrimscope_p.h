#pragma once

#include <QtGlobal>

#include <cstddef>

// Hands memory back to the system after a change that freed much of it: glibc keeps what the heap
// frees resident for reuse, so a reload or a chart change of a large trace would otherwise leave
// hundreds of megabytes with the process. The scope notes the heap in use when it opens and
// trims when it closes, only when more than TrimThreshold bytes were freed in between; a plain
// rebuild frees too little to be worth a trim. Nested scopes act once, at the outermost. Without
// glibc it does nothing.
class HeapTrimScope
{
public:
    static constexpr std::size_t TrimThreshold = std::size_t(64) << 20;

    HeapTrimScope();
    ~HeapTrimScope();
    HeapTrimScope(const HeapTrimScope&) = delete;
    HeapTrimScope& operator=(const HeapTrimScope&) = delete;

    // Trims done so far in this process, and the time they took (bench_viewer reports both).
    static int trims();
    static qint64 trimNanoseconds();

private:
    std::size_t inUseBefore = 0;
    bool outermost;
};
