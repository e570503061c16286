#include "data/qagvzfile.h"

#include "data/fileaccess.h"
#include "data/qagvznumber.h"

#include <QFile>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QTextStream>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

namespace {

constexpr qsizetype chunkBytes = 4 << 20;
constexpr qsizetype minChunkBytes = 64 << 10;

// Hands out the lines of a file as byte ranges, reading it in chunks. A line longer than the
// buffer grows it, so memory follows the longest line, not the file: about one byte per byte,
// since growing never goes beyond what the file still holds and reallocates in place.
class LineSource
{
public:
    // Reads no further than the file's size now: a file that grows faster than it can be read
    // still ends; what comes later is read the next time.
    explicit LineSource(QFile& input) : file(input), limit(input.size()) { fill(); }

    // The bytes of the file handed out as lines so far, or read past.
    qint64 consumed() const { return file.pos() - (filled - pos); }

    // The first bytes of the file, where a byte order mark would be; valid before next().
    QByteArrayView head() const { return {buffer.get(), std::min<qsizetype>(filled, 4)}; }

    // The next line without its '\n'; `last` tells a final piece that no '\n' ends (otherwise
    // `*end` is that '\n'). The range stays valid until the following call. False at the end
    // of the file.
    bool next(const char*& begin, const char*& end, bool& last)
    {
        for (;;) {
            const char* base = buffer.get();
            if (const void* nl = std::memchr(base + scanned, '\n', size_t(filled - scanned))) {
                begin = base + pos;
                end = static_cast<const char*>(nl);
                last = false;
                pos = scanned = end - base + 1;
                return true;
            }
            scanned = filled;
            if (atEnd) {
                if (pos == filled)
                    return false;
                begin = base + pos;
                end = base + filled;
                last = true;
                pos = filled;
                return true;
            }
            fill();
        }
    }

private:
    struct Free
    {
        void operator()(char* p) const { std::free(p); }
    };

    // Moves the unfinished line to the front, growing the buffer when it fills more than half,
    // and appends what the file gives next.
    void fill()
    {
        const qsizetype pending = filled - pos;
        if (pending && pos)
            std::memmove(buffer.get(), buffer.get() + pos, size_t(pending));
        scanned -= pos;
        pos = 0;
        filled = pending;
        if (!buffer || pending > capacity / 2) {
            // Doubling, but no further than the rest of the file (one more byte to see its end):
            // a line as long as the file then takes no more than its own size, and a small file
            // a small buffer. A file that grows meanwhile is still read in pieces of some size.
            const qint64 rest = std::max<qint64>(limit - file.pos(), 0);
            const qsizetype grown = qsizetype(std::min<qint64>(
                std::max(chunkBytes, 2 * capacity), std::max(pending + rest + 1, minChunkBytes)));
            if (grown > capacity) {
                // realloc() moves large blocks by remapping their pages: no second copy.
                char* bigger = static_cast<char*>(std::realloc(buffer.get(), size_t(grown)));
                if (!bigger)
                    throw std::bad_alloc();
                (void)buffer.release();
                buffer.reset(bigger);
                capacity = grown;
            }
        }
        const qint64 room = std::min<qint64>(capacity - filled, limit - file.pos());
        const qint64 got = room > 0 ? file.read(buffer.get() + filled, room) : 0;
        if (got <= 0)
            atEnd = true;
        else
            filled += got;
    }

    QFile& file;
    const qint64 limit;
    std::unique_ptr<char[], Free> buffer;
    qsizetype capacity = 0;
    qsizetype pos = 0;     // start of the next line
    qsizetype scanned = 0; // bytes before this hold no '\n' of the next line
    qsizetype filled = 0;
    bool atEnd = false;
};

bool isAscii(const char* begin, const char* end)
{
    quint64 bits = 0;
    for (; end - begin >= 8; begin += 8) {
        quint64 word;
        std::memcpy(&word, begin, 8);
        bits |= word;
    }
    for (; begin < end; ++begin)
        bits |= quint64(static_cast<unsigned char>(*begin));
    return (bits & 0x8080808080808080ull) == 0;
}

// Decodes the final piece of a file, which no '\n' ends, as the text stream of the file does:
// an unfinished sequence at its very end is dropped; a '\r' at its end is removed.
QString decodeLastLine(const char* begin, const char* end)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString line = decoder(QByteArrayView(begin, end));
    if (line.endsWith(u'\r'))
        line.chop(1);
    return line;
}

// Decodes one cell of a line that a '\n' ends. How many replacement characters an invalid
// sequence gives does not matter for a value, only that a cell of bytes is never empty text.
QString decodeCell(const char* begin, const char* end)
{
    using Flag = QStringDecoder::Flag;
    QStringDecoder decoder(QStringDecoder::Utf8, Flag::Stateless | Flag::ConvertInitialBom);
    return decoder(QByteArrayView(begin, end));
}

const char* findTab(const char* begin, const char* end)
{
    const void* tab = std::memchr(begin, '\t', size_t(end - begin));
    return tab ? static_cast<const char*>(tab) : end;
}

const char* withoutCr(const char* begin, const char* end)
{
    return end > begin && end[-1] == '\r' ? end - 1 : end;
}

// Parses the cells of a line that a '\n' ends (without it and its '\r') and hands each sample to
// `sink(column, value)`, for the first `columns` columns.
template <typename Sink> void parseLine(const char* p, const char* end, int columns, Sink&& sink)
{
    if (p == end)
        return;
    for (int column = 0; column < columns; ++column) {
        const char* stop = nullptr;
        float value = QAGVZNumber::parseAscii(p, end, &stop);
        const char* tab = stop;
        if (stop < end && *stop != '\t') {
            tab = findTab(stop, end);
            // Text beyond ASCII decides the value only where parsing stopped at it (a digit of
            // another script, a Unicode blank): that cell takes the decoded way.
            if (static_cast<unsigned char>(*stop) >= 0x80) {
                value = QAGVZNumber::parse(decodeCell(p, tab));
            }
        }
        if (tab > p)
            sink(column, value);
        if (end - tab <= 1) // the last cell, or a trailing tab, which adds no cell
            break;
        p = tab + 1;
    }
}

// Files from this size on are read by two threads: a worker takes the lines, both parse them,
// the calling thread appends the samples. On two cores that takes about half the time; a small
// file is not worth a thread.
constexpr qint64 pipelineBytes = 4 << 20;
// A batch holds the lines of one progress step, or fewer once their text reaches this size; a
// longer line is parsed by the worker into a batch of its own: no copy of a huge line.
constexpr qsizetype batchBytes = 256 << 10;

struct Sample
{
    int column;
    float value;
};

// Lines in file order: their text (each ended by '\n', without '\r') until a thread has parsed
// them into samples.
struct Batch
{
    // Room for the text of a full batch with one more line, and for its samples: a sample takes
    // at least two bytes of text (a cell and its tab or '\n'), a line of its own is one line of
    // at most `columns` samples. Left uninitialised: no page is touched unused.
    std::unique_ptr<char[]> text;
    std::unique_ptr<Sample[]> samples;
    qsizetype textSize = 0;
    qsizetype used = 0;
    bool claimed = false; // a thread parses it, or has
    bool parsed = false;
    bool report = false; // its first line starts a progress step
    qint64 consumed = 0; // the bytes consumed once its first line was taken
    qint64 filePos = 0;  // the file's position then: where the read stops when cancelled there
    // The final piece, which no '\n' ends, left to the calling thread (null: none). The worker
    // takes no line after it, so the range stays valid.
    const char* lastBegin = nullptr;
    const char* lastEnd = nullptr;
    qint64 lastConsumed = 0;
};

// Parses one line into `out`; answers the end of its samples.
Sample* parseSamples(const char* begin, const char* end, int columns, Sample* out)
{
    parseLine(begin, end, columns, [&out](int column, float value) { *out++ = {column, value}; });
    return out;
}

void parseText(Batch& batch, int columns)
{
    Sample* out = batch.samples.get();
    const char* end = batch.text.get() + batch.textSize;
    for (const char* p = batch.text.get(); p < end;) {
        const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        out = parseSamples(p, lineEnd, columns, out);
        p = lineEnd + 1;
    }
    batch.used = out - batch.samples.get();
}

// A ring of batches between the worker, which fills them, and the calling thread, which takes
// them in the same order. Whichever thread comes first to a batch parses it: the worker while
// the ring is full, the caller when it takes one that nobody parses. Their arrays serve again
// and again: no fresh pages.
class BatchQueue
{
public:
    explicit BatchQueue(int lineCells) : columns(lineCells)
    {
        for (Batch& batch : ring) {
            batch.text.reset(new char[size_t(2 * batchBytes + 1)]);
            batch.samples.reset(new Sample[size_t(batchBytes + columns)]);
        }
    }

    // Worker: the slot to fill, once one is free, parsing meanwhile; null once the caller
    // stopped.
    Batch* startFill()
    {
        std::unique_lock lock(mutex);
        while (!stopped && full == ringSize) {
            if (!parseOne(lock))
                changed.wait(lock);
        }
        return stopped ? nullptr : &ring[(head + full) % ringSize];
    }
    // Worker: hands over the slot filled.
    void push()
    {
        const std::lock_guard lock(mutex);
        ++full;
        changed.notify_one();
    }
    // Worker: parses the batches nobody took yet.
    void parseRest()
    {
        std::unique_lock lock(mutex);
        while (!stopped && parseOne(lock)) {
        }
    }
    // Worker: nothing more comes; `failure` is rethrown by the caller after the batches parsed.
    void finish(std::exception_ptr failure)
    {
        const std::lock_guard lock(mutex);
        error = std::move(failure);
        ended = true;
        changed.notify_one();
    }
    // Caller: the next batch, parsed; null at the end, or at one the worker failed to parse.
    // release() gives it back.
    const Batch* take()
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return ended || full > 0; });
        if (full == 0)
            return nullptr;
        Batch& batch = ring[head];
        if (!std::exchange(batch.claimed, true)) {
            lock.unlock();
            parseText(batch, columns);
            return &batch;
        }
        changed.wait(lock, [this, &batch] { return ended || batch.parsed; });
        return batch.parsed ? &batch : nullptr;
    }
    void release()
    {
        const std::lock_guard lock(mutex);
        head = (head + 1) % ringSize;
        --full;
        changed.notify_one();
    }
    // Caller: the worker ends at its next batch.
    void stop()
    {
        const std::lock_guard lock(mutex);
        stopped = true;
        changed.notify_one();
    }

    std::exception_ptr error; // read by the caller once the worker is joined

private:
    // Worker: parses the newest batch handed over that nobody took (the caller takes the oldest
    // first); false when there is none.
    bool parseOne(std::unique_lock<std::mutex>& lock)
    {
        for (int i = full - 1; i >= 0; --i) {
            Batch& batch = ring[(head + i) % ringSize];
            if (!std::exchange(batch.claimed, true)) {
                lock.unlock();
                parseText(batch, columns);
                lock.lock();
                batch.parsed = true;
                changed.notify_one();
                return true;
            }
        }
        return false;
    }

    static constexpr int ringSize = 4;
    const int columns;
    std::mutex mutex;
    std::condition_variable changed; // either side waits, never both at once
    Batch ring[ringSize];
    int head = 0; // the next batch to take
    int full = 0; // batches pushed and not yet released
    bool stopped = false;
    bool ended = false;
};

// The worker: takes the lines of `source` after the header into batches, and parses what the
// calling thread leaves.
void produceBatches(LineSource& source, const QFile& file, int columns, BatchQueue& queue)
{
    Batch* batch = nullptr;
    std::exception_ptr failure;
    try {
        const char* begin = nullptr;
        const char* end = nullptr;
        bool last = false;
        for (int lines = 0; source.next(begin, end, last); ++lines) {
            const bool step = lines % QAGVZFile::progressLines == 0;
            const bool own = !last && end - begin > batchBytes; // a line for a batch of its own
            if (batch && (step || own || batch->textSize >= batchBytes)) {
                queue.push();
                batch = nullptr;
            }
            if (!batch) {
                if (!(batch = queue.startFill()))
                    return;
                batch->textSize = batch->used = 0;
                batch->claimed = batch->parsed = false;
                batch->report = step;
                batch->consumed = source.consumed();
                batch->filePos = file.pos();
                batch->lastBegin = batch->lastEnd = nullptr;
            }
            if (last) {
                batch->lastBegin = begin;
                batch->lastEnd = end;
                batch->lastConsumed = source.consumed();
                break;
            }
            end = withoutCr(begin, end);
            if (own) {
                batch->claimed = true;
                batch->used =
                    parseSamples(begin, end, columns, batch->samples.get()) - batch->samples.get();
                batch->parsed = true;
                queue.push();
                batch = nullptr;
                continue;
            }
            std::memcpy(batch->text.get() + batch->textSize, begin, size_t(end - begin));
            batch->textSize += end - begin;
            batch->text[batch->textSize++] = '\n';
        }
        if (batch) {
            queue.push();
            batch = nullptr;
        }
        queue.parseRest();
    } catch (...) {
        // The caller appends the batches parsed before it, then rethrows it.
        failure = std::current_exception();
    }
    if (batch)
        queue.push();
    queue.finish(std::move(failure));
}

} // namespace

qint64 QAGVZFile::pipelineFrom = pipelineBytes;

QAGVZFile::QAGVZFile() = default;

QAGVZFile::~QAGVZFile()
{
    reset();
}

void QAGVZFile::reset()
{
    for (int i = 0; i < count; ++i) {
        delete lists[i];
        lists[i] = nullptr;
    }
    lists.reset();
    extremes.reset();
    count = 0;
}

QAGVZValueList* QAGVZFile::operator[](int i) const
{
    return i >= 0 && i < count ? lists[i] : nullptr;
}

QAGVZValueList* QAGVZFile::take(int i)
{
    if (i < 0 || i >= count)
        return nullptr;
    return std::exchange(lists[i], nullptr);
}

bool QAGVZFile::read(const QString& fileName)
{
    reset();
    bytesRead = 0;
    endsWithLineEnd = false;
    utf8 = false;
    cancelled = false;
    lastLineStart = -1;
    beforeLastLine.clear();
    // Asked before opening: a FIFO or a device would block the caller or never end.
    if (!fileReadProblem(fileName).isEmpty())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    readTotal = file.size();
    readBytes(file);
    bytesRead = file.pos();
    finish(true);
    if (cancelled) {
        reset();
        return false;
    }
    return true;
}

bool QAGVZFile::reportProgress(qint64 done)
{
    if (progress && !progress(done, readTotal))
        cancelled = true;
    return !cancelled;
}

bool QAGVZFile::readAppended(const QString& fileName, qint64 offset, QAGVZValueList* const* curves,
                             int columns)
{
    reset();
    bytesRead = 0;
    lastLineStart = -1;
    beforeLastLine.clear();
    if (!fileReadProblem(fileName).isEmpty())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || !file.seek(0))
        return false;
    {
        const QByteArray head = file.read(4);
        const auto encoding = QStringConverter::encodingForData(head);
        if (encoding && *encoding != QStringConverter::Utf8)
            return false;
    }
    if (!file.seek(offset))
        return false;
    makeColumns(columns);
    for (int i = 0; i < count; ++i) {
        lists[i] = curves[i];
        if (QAGVZValueList* list = curves[i]; list && list->min && list->max)
            extremes[i] = {list->min, list->max, list->min->value, list->max->value};
    }
    utf8 = true;
    endsWithLineEnd = true;
    LineSource source(file);
    readRows(source);
    bytesRead = file.pos();
    finish(false);
    // Lent, not owned: reset() must not delete them.
    for (int i = 0; i < count; ++i)
        lists[i] = nullptr;
    reset();
    return true;
}

void QAGVZFile::readData(int line, const QString& cell, int* column)
{
    Q_UNUSED(line);
    if (column)
        readCell(cell, *column);
}

void QAGVZFile::readCell(QStringView cell, int& column)
{
    if (column < 0 || column >= count)
        return;
    if (!cell.isEmpty())
        appendSample(column, QAGVZNumber::parse(cell));
    ++column;
}

void QAGVZFile::appendSample(int column, float value)
{
    QAGVZValueList* list = lists[column];
    if (!list)
        return;
    QAGVZValue* node = list->appendValue(value);
    if (!node || !extremes)
        return;
    Extremes& e = extremes[column];
    if (!e.min || e.minValue > value) {
        e.min = node;
        e.minValue = value;
    }
    if (!e.max || value > e.maxValue) {
        e.max = node;
        e.maxValue = value;
    }
}

void QAGVZFile::makeColumns(qsizetype columns)
{
    count = int(std::min<qsizetype>(columns, maxColumns));
    lists = std::make_unique<QAGVZValueList*[]>(size_t(count));
    extremes = std::make_unique<Extremes[]>(size_t(count));
}

bool QAGVZFile::startColumns(const QString& header)
{
    const qsizetype tabs = header.count(u'\t');
    if (tabs == 0 && header.isEmpty())
        return false;
    makeColumns(tabs + 1);
    qsizetype from = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype tab = header.indexOf(u'\t', from);
        // The text after the last tab names a column only when it is not empty; the entry of
        // an unnamed last column stays null.
        if (tab >= 0 || from < header.size())
            lists[i] = new QAGVZValueList(header.mid(from, tab < 0 ? -1 : tab - from));
        if (tab < 0)
            break;
        from = tab + 1;
    }
    return true;
}

bool QAGVZFile::startColumns(const char* begin, const char* end, bool last)
{
    // Each name is decoded straight from the bytes, never the whole line first: a header of one
    // huge name then takes its bytes and the name's text, nothing more. Every piece but the very
    // last is decoded together with the tab or '\n' that follows it, so that no sequence stays
    // open between calls and each name reads as in the line the text stream decodes.
    QStringDecoder decoder(QStringDecoder::Utf8);
    const auto name = [&decoder, end, last](const char* from, const char* to) {
        const bool closed = to < end || !last;
        QString text = decoder(QByteArrayView(from, closed ? to + 1 : to));
        if (closed)
            text.chop(1);
        if (to == end && text.endsWith(u'\r'))
            text.chop(1);
        return text;
    };
    qsizetype tabs = 0;
    for (const char* p = begin; (p = findTab(p, end)) < end; ++p)
        ++tabs;
    if (tabs == 0) {
        QString text = name(begin, end);
        if (text.isEmpty())
            return false;
        makeColumns(1);
        lists[0] = new QAGVZValueList(text);
        return true;
    }
    makeColumns(tabs + 1);
    const char* from = begin;
    for (int i = 0; i < count; ++i) {
        const char* tab = findTab(from, end);
        QString text = name(from, tab);
        // As above: the unnamed last column after a trailing tab stays null.
        if (tab < end || !text.isEmpty())
            lists[i] = new QAGVZValueList(text);
        if (tab == end)
            break;
        from = tab + 1;
    }
    return true;
}

void QAGVZFile::readLine(QStringView text)
{
    if (text.isEmpty())
        return;
    int column = 0;
    for (qsizetype from = 0; column < count;) {
        const qsizetype tab = text.indexOf(u'\t', from);
        if (tab < 0) {
            if (from < text.size())
                readCell(text.sliced(from), column);
            break;
        }
        readCell(text.sliced(from, tab - from), column);
        from = tab + 1;
    }
}

void QAGVZFile::readLineBytes(const char* begin, const char* end)
{
    parseLine(begin, end, count, [this](int column, float value) { appendSample(column, value); });
}

void QAGVZFile::readLastLine(const char* begin, const char* end, qint64 consumed)
{
    endsWithLineEnd = false;
    lastLineStart = consumed - (end - begin);
    beforeLastLine.clear();
    for (int i = 0; i < count; ++i) {
        const QAGVZValueList* list = lists[i];
        beforeLastLine.emplace_back(list ? list->last : nullptr, list ? list->count : 0);
    }
    // The stream drops an unfinished sequence at the very end: only the final piece of the
    // file needs the decoded way for that.
    if (isAscii(begin, end))
        readLineBytes(begin, withoutCr(begin, end));
    else
        readLine(decodeLastLine(begin, end));
}

void QAGVZFile::readBytes(QFile& file)
{
    LineSource source(file);
    const auto encoding = QStringConverter::encodingForData(source.head());
    if (encoding && *encoding != QStringConverter::Utf8) {
        readText(file);
        return;
    }
    const char* begin = nullptr;
    const char* end = nullptr;
    bool last = false;
    utf8 = true;
    if (!source.next(begin, end, last) || !startColumns(begin, end, last))
        return;
    endsWithLineEnd = !last;
    if (readTotal >= pipelineFrom)
        readRowsPipelined(source, file);
    else
        readRows(source);
}

template <typename Source> void QAGVZFile::readRows(Source& source)
{
    const char* begin = nullptr;
    const char* end = nullptr;
    bool last = false;
    for (int lines = 0; source.next(begin, end, last); ++lines) {
        if (lines % progressLines == 0 && !reportProgress(source.consumed()))
            return;
        if (last)
            readLastLine(begin, end, source.consumed());
        else
            readLineBytes(begin, withoutCr(begin, end));
    }
}

template <typename Source> void QAGVZFile::readRowsPipelined(Source& source, QFile& file)
{
    BatchQueue queue(count);
    std::thread worker;
    try {
        worker =
            std::thread(produceBatches, std::ref(source), std::cref(file), count, std::ref(queue));
    } catch (const std::system_error&) { // no thread to be had: the read still works
        readRows(source);
        return;
    }
    qint64 stoppedAt = -1;
    {
        // No thread outlives the read, whichever way it ends (a callback may throw).
        const auto join = qScopeGuard([&queue, &worker] {
            queue.stop();
            worker.join();
        });
        while (const Batch* batch = queue.take()) {
            if (batch->report && !reportProgress(batch->consumed)) {
                stoppedAt = batch->filePos;
                break;
            }
            for (const Sample *sample = batch->samples.get(), *end = sample + batch->used;
                 sample < end; ++sample)
                appendSample(sample->column, sample->value);
            if (batch->lastBegin)
                readLastLine(batch->lastBegin, batch->lastEnd, batch->lastConsumed);
            queue.release();
        }
    }
    if (cancelled)
        file.seek(stoppedAt); // the worker read ahead: bytesRead tells where the lines stopped
    else if (queue.error)
        std::rethrow_exception(queue.error);
}

void QAGVZFile::readText(QFile& file)
{
    file.seek(0);
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::Utf8);
    if (!startColumns(stream.readLine()))
        return;
    for (int lines = 0; !stream.atEnd(); ++lines) {
        if (lines % progressLines == 0 && !reportProgress(file.pos()))
            return;
        readLine(stream.readLine());
    }
}

void QAGVZFile::finish(bool squeeze)
{
    for (int i = 0; i < count; ++i) {
        if (QAGVZValueList* list = lists[i]) {
            list->min = extremes[i].min;
            list->max = extremes[i].max;
            if (squeeze && endsWithLineEnd)
                list->squeeze();
        }
    }
    extremes.reset();
}
