#include "host/chart/dpointpool.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>

namespace DPointPool {
namespace {

constexpr std::size_t BlockSize = std::size_t(1) << 20;
constexpr std::size_t HeaderSize = 64;
constexpr std::uint32_t Capacity = (BlockSize - HeaderSize) / SlotSize;

struct FreeSlot
{
    FreeSlot* next;
};

struct Block
{
    Block* prev = nullptr; // links of the list of blocks with free slots
    Block* next = nullptr;
    FreeSlot* freeList = nullptr;
    float* extras = nullptr; // owned, Capacity entries, made on first use
    std::uint32_t used = 0;
    std::uint32_t bumped = 0; // slots handed out from the untouched tail so far
    bool listed = false;

    char* slots() { return reinterpret_cast<char*>(this) + HeaderSize; }
};
static_assert(sizeof(Block) <= HeaderSize);

Block* openBlocks = nullptr; // blocks with at least one free slot
Block* spare = nullptr;      // one empty block kept to avoid churn at a block boundary
std::size_t blocks = 0;

Block* blockOf(const void* slot)
{
    return reinterpret_cast<Block*>(reinterpret_cast<std::uintptr_t>(slot) & ~(BlockSize - 1));
}

std::uint32_t indexOf(Block* block, const void* slot)
{
    return std::uint32_t((static_cast<const char*>(slot) - block->slots()) / SlotSize);
}

void link(Block* block)
{
    block->prev = nullptr;
    block->next = openBlocks;
    if (openBlocks)
        openBlocks->prev = block;
    openBlocks = block;
    block->listed = true;
}

void unlink(Block* block)
{
    if (block->prev)
        block->prev->next = block->next;
    else
        openBlocks = block->next;
    if (block->next)
        block->next->prev = block->prev;
    block->prev = block->next = nullptr;
    block->listed = false;
}

void destroy(Block* block)
{
    delete[] block->extras;
    block->~Block();
    ::operator delete(block, std::align_val_t(BlockSize));
    --blocks;
}

Block* newBlock()
{
    if (spare) {
        Block* block = spare;
        spare = nullptr;
        return block;
    }
    // Aligned to their size, so that a slot finds its block by masking its address. The
    // aligned operator new of C++17 works everywhere; std::aligned_alloc is missing on MSVC.
    void* memory = ::operator new(BlockSize, std::align_val_t(BlockSize));
    ++blocks;
    return new (memory) Block;
}

} // namespace

void* allocate()
{
    if (!openBlocks)
        link(newBlock());
    Block* block = openBlocks;
    void* slot;
    if (block->freeList) {
        slot = block->freeList;
        block->freeList = block->freeList->next;
    } else {
        slot = block->slots() + std::size_t(block->bumped++) * SlotSize;
    }
    if (++block->used == Capacity)
        unlink(block);
    return slot;
}

void release(void* slot)
{
    Block* block = blockOf(slot);
    if (block->extras)
        block->extras[indexOf(block, slot)] = std::numeric_limits<float>::quiet_NaN();
    auto* free = static_cast<FreeSlot*>(slot);
    free->next = block->freeList;
    block->freeList = free;
    --block->used;
    if (block->used == 0) {
        if (block->listed)
            unlink(block);
        if (spare) {
            destroy(block);
        } else {
            delete[] block->extras;
            *block = Block();
            spare = block;
        }
    } else if (!block->listed) {
        link(block);
    }
}

float* extra(const void* slot, bool create)
{
    Block* block = blockOf(slot);
    if (!block->extras) {
        if (!create)
            return nullptr;
        block->extras = new float[Capacity];
        std::fill(block->extras, block->extras + Capacity, std::numeric_limits<float>::quiet_NaN());
    }
    return block->extras + indexOf(block, slot);
}

std::size_t blockCount()
{
    return blocks;
}

} // namespace DPointPool
