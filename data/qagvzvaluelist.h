#pragma once

#include "data/qagvzvalue.h"

#include <QString>

#include <new>
#include <utility>
#include <vector>

// One curve: a named chain of samples with its count and its smallest and largest sample.
//
// The list owns every node of its chain. Nodes made by appendValue() live in blocks that the
// list allocates itself (13 bytes per sample instead of one heap allocation each); nodes handed
// to append() are heap nodes made with `new` and are deleted one by one.
class QAGVZValueList
{
public:
    struct Block; // a block of nodes allocated by the list

    explicit QAGVZValueList(const QString& curveName);
    ~QAGVZValueList();
    QAGVZValueList(const QAGVZValueList&) = delete;
    QAGVZValueList& operator=(const QAGVZValueList&) = delete;

    // Links `node` (made with `new`) at the end of the chain and takes ownership of it; its
    // `next` becomes null. `min` and `max` are left alone. A null node is ignored.
    void append(QAGVZValue* node);
    // Appends a sample in a node of the list's own blocks, as append() does; answers the node,
    // or null when the list already holds INT_MAX samples.
    QAGVZValue* appendValue(float value)
    {
        if (freeNode == freeEnd && !growBlocks())
            return nullptr;
        QAGVZValue* node = new (freeNode++) QAGVZValue;
        node->value = value;
        link(node);
        return node;
    }
    // Recomputes `min` and `max`: the first node holding the smallest and the largest value
    // among the nodes that are not `ignored`.
    void updateMinMax();
    // Drops the samples after `keep` (a node of the chain; null: every sample), which leaves
    // `keepCount` samples, and gives their slots back; min and max are recomputed when one of
    // them was dropped. Only the samples appended last since the last squeeze() can be dropped:
    // false, with nothing changed, otherwise or once a foreign node was appended.
    bool truncateAfter(QAGVZValue* keep, int keepCount);
    // Gives back the unused tail of the newest node block. Moves the nodes of that block, so
    // pointers to them taken before (other than first/last/min/max) become invalid; does
    // nothing once a foreign node was appended.
    void squeeze();

    QString name;                // the column title, exactly as written in the header line
    int count = 0;               // number of samples in the chain
    QAGVZValue* first = nullptr; // head of the chain, null when empty
    QAGVZValue* last = nullptr;  // tail of the chain, null when empty
    QAGVZValue* min = nullptr;   // smallest sample; points into the chain, owns nothing
    QAGVZValue* max = nullptr;   // largest sample; points into the chain, owns nothing

private:
    void link(QAGVZValue* node) // at the end of the chain
    {
        if (last)
            last->next = node;
        else
            first = node;
        last = node;
        ++count;
    }
    using Range = std::pair<const QAGVZValue*, const QAGVZValue*>;
    bool growBlocks(); // false when the list is full
    void addBlock(qsizetype capacity);
    std::vector<Range> ownRanges() const; // node slots of every block, sorted by address
    static bool contains(const std::vector<Range>& ranges, const QAGVZValue* node);

    Block* blocks = nullptr;        // newest block first; each links to the one before
    QAGVZValue* freeNode = nullptr; // next unused node of the newest block
    QAGVZValue* freeEnd = nullptr;  // end of the newest block
    bool hasForeign = false;        // a node from append() is somewhere in the chain
};
