#pragma once

#include <cstddef>

// The block allocator behind DPoint: fixed-size slots carved from large aligned blocks, so a
// point costs its slot and nothing more. A block finds itself from any slot address, which gives
// every slot a side entry for an optional extra float (a point's third coordinate).
// Not thread-safe: chart items belong to one thread at a time.
namespace DPointPool {

constexpr std::size_t SlotSize = 48;

void* allocate();
void release(void* slot);
// The extra float of `slot`, NaN until set; null when `create` is false and none exists yet.
float* extra(const void* slot, bool create);
// Blocks currently held (for tests and benchmarks).
std::size_t blockCount();

} // namespace DPointPool
