// Joint sets: critical intersections of every pair of measurements, and
// automatic sets. The measurements are three Fisher sets and scatter, as a
// field survey gives them; the slope is the road cut's 135∠65, φ = 27°,
// β = 30°.
#include "model/fielddata/criticalcounts.h"
#include "model/fielddata/projectsets.h"
#include "model/fielddata/setwindows.h"
#include "tests/fielddata/fishersample.h"

#include <QFile>

#include <benchmark/benchmark.h>
#include <cstdio>

namespace {
CriticalInput survey(int n) {
    QRandomGenerator rng(1234);
    const UnitAxis means[3] = {planeAxis(135, 65), planeAxis(40, 88), planeAxis(250, 30)};
    CriticalInput input;
    input.setCount = 3;
    for (int i = 0; i < n; ++i) {
        const int s = i % 5 < 3 ? i % 5 : -1;
        const UnitAxis v = s >= 0 ? fisherSample(rng, means[s], 30) : uniformAxis(rng);
        double direction, angle;
        axisPlane(v, direction, angle);
        input.direction.append(direction);
        input.angle.append(angle);
        input.set.append(s);
    }
    return input;
}

SlopeCriteria roadCut() {
    SlopeCriteria c;
    c.direction = 135;
    c.angle = 65;
    c.includedAngle = 30;
    c.frictionAngle = 27;
    c.topple = true;
    return c;
}

void BM_CriticalIntersections(benchmark::State& state) {
    const CriticalInput input = survey(int(state.range(0)));
    const SlopeCriteria criteria = roadCut();
    CriticalCounts counts;
    for (auto _ : state) {
        counts = criticalCounts(input, criteria);
        benchmark::DoNotOptimize(counts.wedge.data());
    }
    state.counters["lines"] = double(counts.wedge.last().total);
    state.counters["critical%"] = counts.wedge.last().percent();
}

void BM_CriticalIntersections10000(benchmark::State& state) {
    state.SetLabel("10 000 measurements, 5·10⁷ pairs");
    BM_CriticalIntersections(state);
}
BENCHMARK(BM_CriticalIntersections10000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CriticalIntersections)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// One thread: the CPU time per pair, whatever else the machine runs.
void BM_CriticalIntersectionsOneThread(benchmark::State& state) {
    const CriticalInput input = survey(int(state.range(0)));
    const SlopeCriteria criteria = roadCut();
    for (auto _ : state)
        benchmark::DoNotOptimize(criticalCounts(input, criteria, 1).wedge.data());
    state.counters["ns/pair"] =
        benchmark::Counter(0.5 * state.range(0) * (state.range(0) - 1) * 1e-9,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CriticalIntersectionsOneThread)->Arg(3000)->Unit(benchmark::kMillisecond);
// 10 000 poles: the survey above, or the file KARVEN_POLES_CSV names (lines
// "direction,angle", as compare_mplstereonet_sets.py writes them).
FieldData autoSetSurvey() {
    FieldData field;
    const QByteArray path = qgetenv("KARVEN_POLES_CSV");
    if (!path.isEmpty()) {
        QFile file(QString::fromLocal8Bit(path));
        if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            while (!file.atEnd()) {
                const QList<QByteArray> parts = file.readLine().trimmed().split(',');
                if (parts.size() >= 2)
                    field.measurements.append(Measurement{parts[0].toDouble(), parts[1].toDouble()});
            }
            return field;
        }
    }
    const CriticalInput input = survey(10000);
    for (int i = 0; i < input.direction.size(); ++i)
        field.measurements.append(Measurement{input.direction[i], input.angle[i]});
    return field;
}

// Density (Fisher smoothing on the net's grid), its peaks, the assignment
// and the refinement, with the statistics of the sets found.
void BM_AutoSets10000(benchmark::State& state) {
    const FieldData survey = autoSetSurvey();
    FieldData field;
    QVector<SetStatistics> stats;
    for (auto _ : state) {
        field = survey;
        findAutoSets(field, AutoSetRequest());
        stats = jointSetStatistics(field);
        benchmark::DoNotOptimize(stats.data());
    }
    state.counters["sets"] = field.sets.size();
    state.counters["poles"] = field.measurements.size();
    static bool printed = false;
    if (!printed) {
        printed = true;
        for (int s = 0; s < stats.size(); ++s)
            std::fprintf(stderr, "  Karven %s: mean plane %6.1f∠%4.1f  n %d  K %7.1f  α95 %4.2f°\n",
                         qPrintable(field.sets[s].name), stats[s].direction, stats[s].angle, stats[s].count,
                         stats[s].k, stats[s].alpha95);
    }
}
BENCHMARK(BM_AutoSets10000)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
