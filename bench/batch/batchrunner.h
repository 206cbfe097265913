#pragma once

// Runs karven-batch as a user would, for the batch benchmarks: a child
// process per iteration, its CPU time and peak memory read from the
// kernel's accounting of waited-for children.
#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

inline double childCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

inline long childPeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss / 1024;
}

// One karven-batch run with `arguments`; false (and the benchmark skipped
// with the program's own words) when it fails or takes longer than
// `timeoutMs`.
inline bool runBatch(benchmark::State& state, const QStringList& arguments, int timeoutMs) {
    QProcess batch;
    batch.start(QStringLiteral(KARVEN_BATCH_EXE), arguments);
    if (batch.waitForFinished(timeoutMs) && batch.exitCode() == 0)
        return true;
    static QByteArray why;
    why = "karven-batch failed: " + batch.readAllStandardError().left(300);
    state.SkipWithError(why.constData());
    return false;
}
