#include "data/qagvzvaluelist.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <climits>
#include <cstring>

// A block of nodes: this header, then `capacity` node slots.
struct QAGVZValueList::Block
{
    Block* previous;
    qsizetype capacity;

    QAGVZValue* nodes() { return reinterpret_cast<QAGVZValue*>(this + 1); }
};

static_assert(sizeof(QAGVZValue) == 13, "a sample node should take 13 bytes");

namespace {
// Blocks double from 256 bytes to 64 KiB of heap, header and the allocator's own 16 bytes
// included, so small curves stay small and large ones pay 48 bytes per 5037 samples.
constexpr qsizetype firstBlockBytes = 256;
constexpr qsizetype largestBlockBytes = 64 * 1024;
constexpr qsizetype overheadBytes = sizeof(QAGVZValueList::Block) + 16;

qsizetype heapBytes(qsizetype capacity)
{
    return capacity * qsizetype(sizeof(QAGVZValue)) + overheadBytes;
}
} // namespace

QAGVZValueList::QAGVZValueList(const QString& curveName) : name(curveName)
{
}

QAGVZValueList::~QAGVZValueList()
{
    if (hasForeign) {
        const std::vector<Range> own = ownRanges();
        for (QAGVZValue* node = first; node;) {
            QAGVZValue* next = node->next;
            if (!contains(own, node))
                delete node;
            node = next;
        }
    }
    while (blocks) {
        Block* previous = blocks->previous;
        ::operator delete(blocks);
        blocks = previous;
    }
    count = 0;
    first = last = min = max = nullptr;
}

void QAGVZValueList::append(QAGVZValue* node)
{
    if (!node)
        return;
    node->next = nullptr;
    link(node);
    hasForeign = true;
}

bool QAGVZValueList::growBlocks()
{
    // `count` is an int: no block offers more slots than it can still count.
    if (count == INT_MAX)
        return false;
    const qsizetype bytes =
        blocks ? std::min(2 * heapBytes(blocks->capacity), largestBlockBytes) : firstBlockBytes;
    addBlock(std::min<qsizetype>((bytes - overheadBytes) / qsizetype(sizeof(QAGVZValue)),
                                 INT_MAX - count));
    return true;
}

void QAGVZValueList::updateMinMax()
{
    min = max = nullptr;
    for (QAGVZValue* node = first; node; node = node->next) {
        if (!min || min->ignored)
            min = node;
        else if (!node->ignored && min->value > node->value)
            min = node;
        if (!max || max->ignored)
            max = node;
        else if (!node->ignored && node->value > max->value)
            max = node;
    }
}

bool QAGVZValueList::truncateAfter(QAGVZValue* keep, int keepCount)
{
    // The dropped nodes must be the last ones handed out, so that their slots are given back:
    // squeeze() takes every slot before freeNode for a node of the chain.
    if (keepCount == count)
        return !hasForeign;
    QAGVZValue* drop = keep ? keep->next : first;
    // std::less orders pointers into different blocks too, where < need not.
    const std::less<const QAGVZValue*> before;
    if (hasForeign || !drop || !blocks || before(drop, blocks->nodes()) || before(freeNode, drop)
        || count - keepCount != freeNode - drop)
        return false;
    bool extremeDropped = false;
    for (const QAGVZValue* node = drop; node; node = node->next)
        extremeDropped = extremeDropped || node == min || node == max;
    freeNode = drop;
    if (keep)
        keep->next = nullptr;
    else
        first = nullptr;
    last = keep;
    count = keepCount;
    if (extremeDropped)
        updateMinMax();
    return true;
}

void QAGVZValueList::squeeze()
{
    if (!blocks || hasForeign || freeNode == freeEnd)
        return;
    Block* old = blocks;
    QAGVZValue* from = old->nodes();
    const qsizetype used = freeNode - from;
    blocks = old->previous;
    addBlock(used);
    QAGVZValue* to = blocks->nodes();
    std::memcpy(static_cast<void*>(to), from, size_t(used) * sizeof(QAGVZValue));
    for (qsizetype i = 0; i + 1 < used; ++i)
        to[i].next = to + i + 1;
    // Without foreign nodes the chain runs through the blocks in order, and every block but
    // the newest is full: the node before this block is the last slot of the previous one.
    if (Block* previous = blocks->previous)
        previous->nodes()[previous->capacity - 1].next = to;
    else
        first = to;
    const auto moved = [&](QAGVZValue* node) {
        return node >= from && node < from + used ? to + (node - from) : node;
    };
    last = moved(last);
    min = moved(min);
    max = moved(max);
    ::operator delete(old);
    freeNode = freeEnd;
}

void QAGVZValueList::addBlock(qsizetype capacity)
{
    void* raw = ::operator new(sizeof(Block) + size_t(capacity) * sizeof(QAGVZValue));
    Block* block = new (raw) Block{blocks, capacity};
    blocks = block;
    freeNode = block->nodes();
    freeEnd = freeNode + capacity;
}

std::vector<QAGVZValueList::Range> QAGVZValueList::ownRanges() const
{
    std::vector<Range> ranges;
    for (Block* block = blocks; block; block = block->previous)
        ranges.push_back({block->nodes(), block->nodes() + block->capacity});
    std::sort(ranges.begin(), ranges.end(),
              [](const Range& a, const Range& b) { return std::less<>()(a.first, b.first); });
    return ranges;
}

bool QAGVZValueList::contains(const std::vector<Range>& ranges, const QAGVZValue* node)
{
    const auto after = std::upper_bound(
        ranges.begin(), ranges.end(), node,
        [](const QAGVZValue* n, const Range& r) { return std::less<>()(n, r.first); });
    return after != ranges.begin() && std::less<>()(node, std::prev(after)->second);
}
