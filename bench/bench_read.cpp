// bench_read: reads trace files with QAGVZFile::read and prints throughput and memory figures.
//
//   bench_read FILE [RUNS]   MB/s, samples/s and heap bytes per sample of each run
//   bench_read --list FILE   the curves of the file: name, values, minimum, maximum

#include "data/qagvzfile.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QString>

#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

namespace {

// Heap bytes in use: the allocator's arena and its mmapped chunks, overhead included.
qint64 heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks) + qint64(info.hblkhd);
}

// CPU time of this process, user and system: the one-core figure even on a busy machine.
double cpuSeconds()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

qint64 residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    qint64 pages = 0;
    qint64 resident = 0;
    statm >> pages >> resident;
    return resident * 4096;
}

qint64 samplesOf(const QAGVZFile& file)
{
    qint64 samples = 0;
    for (int i = 0; i < file.count; ++i) {
        if (file[i])
            samples += file[i]->count;
    }
    return samples;
}

int list(const QString& path)
{
    QAGVZFile file;
    if (!file.read(path)) {
        std::fprintf(stderr, "bench_read: cannot open %s\n", qPrintable(path));
        return 1;
    }
    std::printf("%-20s %10s %14s %14s\n", "Name", "Values", "Min", "Max");
    for (int i = 0; i < file.count; ++i) {
        if (const QAGVZValueList* curve = file[i]) {
            std::printf("%-20s %10d %14g %14g\n", qPrintable(curve->name), curve->count,
                        curve->min ? double(curve->min->value) : 0.0,
                        curve->max ? double(curve->max->value) : 0.0);
        }
    }
    return 0;
}

int bench(const QString& path, int runs)
{
    const qint64 bytes = QFileInfo(path).size();
    std::printf("file %s: %.1f MB\n", qPrintable(path), bytes / 1e6);
    for (int run = 1; run <= runs; ++run) {
        const qint64 heapBefore = heapInUse();
        const qint64 residentBefore = residentBytes();
        auto file = std::make_unique<QAGVZFile>();
        QElapsedTimer timer;
        const double cpuBefore = cpuSeconds();
        timer.start();
        if (!file->read(path)) {
            std::fprintf(stderr, "bench_read: cannot open %s\n", qPrintable(path));
            return 1;
        }
        const double seconds = timer.nsecsElapsed() / 1e9;
        const double cpu = cpuSeconds() - cpuBefore;
        const qint64 samples = samplesOf(*file);
        const double perSample = samples ? double(heapInUse() - heapBefore) / samples : 0.0;
        const double residentPerSample =
            samples ? double(residentBytes() - residentBefore) / samples : 0.0;
        std::printf("run %d: %.3f s  %.1f MB/s  %.1f M samples/s  (CPU %.3f s  %.1f MB/s)  "
                    "%lld samples  heap %.2f B/sample  resident %.2f B/sample\n",
                    run, seconds, bytes / seconds / 1e6, samples / seconds / 1e6, cpu,
                    bytes / cpu / 1e6, static_cast<long long>(samples), perSample,
                    residentPerSample);
        file.reset();
        malloc_trim(0);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--list") == 0)
        return list(QString::fromLocal8Bit(argv[2]));
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: bench_read FILE [RUNS]\n       bench_read --list FILE\n");
        return 2;
    }
    return bench(QString::fromLocal8Bit(argv[1]), argc == 3 ? std::max(1, std::atoi(argv[2])) : 3);
}
