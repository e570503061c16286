#pragma once

#include "data/qagvzvaluelist.h"

#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QFile;

// The curves of one trace file: a tab-separated text table whose first line names the columns
// and whose further lines hold one sample per column.
class QAGVZFile
{
public:
    QAGVZFile();
    ~QAGVZFile();
    QAGVZFile(const QAGVZFile&) = delete;
    QAGVZFile& operator=(const QAGVZFile&) = delete;

    // Deletes every curve still held and the array; the file is empty afterwards.
    void reset();
    // The curve of column `i`; null when out of range or taken. The file keeps ownership.
    QAGVZValueList* operator[](int i) const;
    // Like operator[], but the entry becomes null and the caller owns the curve.
    QAGVZValueList* take(int i);
    // Reads one trace file (UTF-8; a UTF-16 or UTF-32 file with a byte order mark is decoded
    // as such). False when the path is not a readable regular file (checked without opening
    // it, so a FIFO or a device never blocks) or cannot be opened; malformed content reads as
    // far as it can.
    bool read(const QString& fileName);
    // Parses `cell` and appends its sample to the curve of column `*column`, then advances
    // `*column`. An empty cell makes no sample but still advances; a column at or beyond
    // `count` drops the cell and stays. `line` is not used.
    void readData(int line, const QString& cell, int* column);
    // Reads the lines of `fileName` from `offset` on (the start of a line, after the header)
    // and appends their samples to `curves`, one per column of the header read before (null:
    // the column is dropped), updating each curve's min and max as a full read would. The file
    // lends the curves only while it runs, and moves none of their nodes. False, with nothing
    // changed, when the file cannot be opened or holds UTF-16 or UTF-32.
    bool readAppended(const QString& fileName, qint64 offset, QAGVZValueList* const* curves,
                      int columns);

    // Called every progressLines lines while read() runs, with the bytes read so far and the
    // file's size when the read began; answering false stops the read: read() then answers
    // false, holds nothing, and `cancelled` is set.
    std::function<bool(qint64 done, qint64 total)> progress;
    bool cancelled = false;
    static constexpr int progressLines = 1 << 14;

    // What the last read saw: the bytes it consumed, whether they end with a line end, and
    // whether they were UTF-8 (only such a read can be continued by readAppended()).
    qint64 bytesRead = 0;
    bool endsWithLineEnd = false;
    bool utf8 = false;
    // When the last line had no line end: where it starts, and per column the last node before
    // its samples (null: none) with the count up to it, so that the line can be dropped and read
    // again whole once it is finished. The curves' nodes then stay where they are (no squeeze).
    qint64 lastLineStart = -1;
    std::vector<std::pair<QAGVZValue*, int>> beforeLastLine;

    // The byte size from which read() takes a worker thread, which reads the lines and parses
    // part of them; the calling thread parses the rest, appends the samples and reports the
    // progress. Tests lower it to take that way with small files.
    static qint64 pipelineFrom;

    // Columns beyond this many are dropped, so that one hostile header line cannot exhaust
    // memory.
    static constexpr int maxColumns = 1 << 20;

    // One entry per column; null where taken, or for the unnamed column after a trailing tab
    // of the header. The file owns the array and the curves still in it.
    std::unique_ptr<QAGVZValueList*[]> lists;
    int count = 0; // number of entries

private:
    // The smallest and largest sample of a column, followed while reading so that the chains
    // need no second walk; the same nodes as QAGVZValueList::updateMinMax() finds.
    struct Extremes
    {
        QAGVZValue* min = nullptr;
        QAGVZValue* max = nullptr;
        float minValue = 0.0f; // copies of the nodes' values, kept at hand
        float maxValue = 0.0f;
    };

    void appendSample(int column, float value);
    void readCell(QStringView cell, int& column); // readData() without the copy of the cell
    void makeColumns(qsizetype columns);
    // Names the columns of the header line; false when it declares none.
    bool startColumns(const QString& header);
    bool startColumns(const char* begin, const char* end, bool last); // the undecoded line
    void readLine(QStringView text);
    void readLineBytes(const char* begin, const char* end); // a line that a '\n' ends
    // The final piece, which no '\n' ends; `consumed`: the bytes consumed up to its end.
    void readLastLine(const char* begin, const char* end, qint64 consumed);
    void readBytes(QFile& file);
    template <typename Source> void readRows(Source& source);
    template <typename Source> void readRowsPipelined(Source& source, QFile& file);
    bool reportProgress(qint64 done); // false once cancelled
    void readText(QFile& file);
    // Sets the curves' min and max; with `squeeze`, gives back their blocks' unused tails (not
    // after an appended read: the nodes would move under the caller's pointers to them, and
    // the next read fills the tail anyway).
    void finish(bool squeeze);

    std::unique_ptr<Extremes[]> extremes; // one per column while read() runs, else null
    qint64 readTotal = 0;
};
