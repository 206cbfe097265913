// One analysis run over a full project: eight planes in general position
// (28 wedges), the slope 135∠65, toppling judged. Arg 1: great circles,
// arg 0: poles.
#include "model/datacenter.h"
#include "model/factors/loadcases.h"
#include "model/factors/stabilityfactors.h"

#include <benchmark/benchmark.h>

namespace {
void fillProject(DataCenter& dc, bool bigCircle) {
    dc.UpperMode = false;
    dc.BigCircle = bigCircle;
    dc.Topple = true;
    dc.analysisOff = false;
    dc.slope.direction = 135;
    dc.slope.angle = 65;
    dc.slope.calculated = false;
    dc.updateSlopeGeometry();
    const double attitudes[8][2] = {{95, 48}, {170, 62}, {210, 35}, {300, 75},
                                    {20, 55}, {135, 30}, {250, 80}, {60, 42}};
    dc.planes.clear();
    for (int i = 0; i < 8; ++i) {
        PlaneRecord p;
        p.id = i + 1;
        p.direction = attitudes[i][0];
        p.angle = attitudes[i][1];
        p.type = 2 + i % 3;
        dc.planes.append(p);
    }
    dc.updatePlanesGeometry();
}

void BM_Analyse(benchmark::State& state) {
    DataCenter dc;
    fillProject(dc, state.range(0) != 0);
    for (auto _ : state) {
        dc.analyse();
        benchmark::DoNotOptimize(dc.wedges.size());
        benchmark::DoNotOptimize(dc.judgeZone.slidingZone.size());
    }
    if (dc.wedges.size() != 28)
        state.SkipWithError("expected 28 wedges");
}
BENCHMARK(BM_Analyse)->Arg(1)->Arg(0)->ArgName("bigCircle");

void BM_AnalyseAndConclude(benchmark::State& state) {
    DataCenter dc;
    fillProject(dc, true);
    for (auto _ : state) {
        dc.analyse();
        dc.buildConclusion();
        benchmark::DoNotOptimize(dc.conclusion[1].size());
    }
}
BENCHMARK(BM_AnalyseAndConclude);

// The factors of safety of the same project: every candidate plane and
// wedge in the three default load cases, each short of Fst with its anchor
// force and least-force inclination. Arg: the crack at its critical
// position (1) or given (0).
void BM_StabilityFactors(benchmark::State& state) {
    DataCenter dc;
    fillProject(dc, true);
    dc.FrictionAnglePlanar = 20;
    dc.IncludedAnglePlanar = 40;
    dc.stability.present = dc.stability.enabled = true;
    dc.stability.height = 25;
    dc.stability.crackCritical = state.range(0) != 0;
    dc.stability.crackDistance = 3;
    dc.stability.cases = defaultLoadCases(dc.stability);
    for (int id = 1; id <= 8; ++id)
        dc.stability.planes.insert(id, PlaneStrength{10, 30});
    dc.analyse();
    int blocks = 0;
    for (auto _ : state) {
        const StabilityFactors f = computeStabilityFactors(dc);
        blocks = f.planes.size() + f.wedges.size();
        benchmark::DoNotOptimize(f.cases.size());
    }
    state.counters["blocks"] = blocks;
}
BENCHMARK(BM_StabilityFactors)->Arg(1)->Arg(0)->ArgName("critical")->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
