#include "viewer/heaptrimscope_p.h"

#include <QElapsedTimer>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
int depth = 0;
int trimCount = 0;
qint64 trimTime = 0;

// Bytes the heap's arenas hand out now (their mmapped chunks go back to the system by themselves).
std::size_t heapInUse()
{
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
    return mallinfo2().uordblks;
#else
    return 0;
#endif
}
} // namespace

HeapTrimScope::HeapTrimScope() : outermost(depth++ == 0)
{
    if (outermost)
        inUseBefore = heapInUse();
}

HeapTrimScope::~HeapTrimScope()
{
    --depth;
    const std::size_t inUse = heapInUse();
    if (!outermost || inUse + TrimThreshold >= inUseBefore)
        return;
#ifdef __GLIBC__
    QElapsedTimer timer;
    timer.start();
    malloc_trim(0);
    trimTime += timer.nsecsElapsed();
    ++trimCount;
#endif
}

int HeapTrimScope::trims()
{
    return trimCount;
}

qint64 HeapTrimScope::trimNanoseconds()
{
    return trimTime;
}
