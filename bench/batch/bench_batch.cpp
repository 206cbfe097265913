// karven-batch over 1000 generated eight-plane projects, writing the report,
// DXF, DWG and JSON of each: the wall-clock time a user waits for a whole
// road's worth of cut slopes (and more).
#include "batchrunner.h"
#include "model/datacenter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <random>

namespace {
constexpr int kProjects = 1000;

// Eight planes of mixed kinds and attitudes around a slope; deterministic.
bool writeProjects(const QString& dir, int count) {
    std::mt19937 random(20231208);
    // Attitudes as the data dialog takes them: one decimal, 0..359.9.
    std::uniform_int_distribution<int> direction(0, 3599), dip(50, 850), slopeDip(400, 800);
    for (int n = 0; n < count; ++n) {
        DataCenter project;
        project.ProjectName = QStringLiteral("生成边坡%1").arg(n + 1);
        project.slope.direction = direction(random) / 10.0;
        project.slope.angle = slopeDip(random) / 10.0;
        project.slope.calculated = false;
        project.Topple = n % 2 == 0;
        project.BigCircle = n % 3 != 0;
        project.ShowMark = qint16(n % 4);
        for (int id = 1; id <= 8; ++id) {
            PlaneRecord plane;
            plane.id = id;
            plane.direction = direction(random) / 10.0;
            plane.angle = dip(random) / 10.0;
            plane.type = 2 + id % 3;
            if (id == 8)
                plane.notes = QStringLiteral("F%1").arg(n);
            project.planes << plane;
        }
        project.updateSlopeGeometry();
        project.updatePlanesGeometry();
        QFile file(QStringLiteral("%1/slope-%2.yty").arg(dir).arg(n + 1, 4, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text) || !project.writeProject(&file))
            return false;
    }
    return true;
}

void BM_Batch1000Projects(benchmark::State& state) {
    QTemporaryDir dir;
    // KARVEN_BENCH_KEEP=1 leaves the projects and outputs for a look.
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("KARVEN_BENCH_KEEP"));
    const QString in = dir.filePath(QStringLiteral("in"));
    QDir().mkpath(in);
    if (!writeProjects(in, kProjects)) {
        state.SkipWithError("cannot write the projects");
        return;
    }
    QStringList files;
    for (const QString& name : QDir(in).entryList({QStringLiteral("*.yty")}, QDir::Files, QDir::Name))
        files << in + QLatin1Char('/') + name;
    const QString out = dir.filePath(QStringLiteral("out"));
    const QStringList arguments = QStringList{QStringLiteral("-q"),
                                              QStringLiteral("--report"),
                                              out,
                                              QStringLiteral("--dxf"),
                                              out,
                                              QStringLiteral("--dwg"),
                                              out,
                                              QStringLiteral("--json"),
                                              dir.filePath(QStringLiteral("all.json"))} +
                                  files;
    const double cpuBefore = childCpuSeconds();
    for (auto _ : state) {
        if (!runBatch(state, arguments, 600000)) {
            std::fprintf(stderr, "projects in %s\n", qPrintable(in));
            return;
        }
    }
    // The program's own CPU time (all threads): on a machine shared with
    // other work the wall time shows the load, this does not.
    state.counters["cpu_s"] = childCpuSeconds() - cpuBefore;
    state.counters["files"] = double(QDir(out).entryList(QDir::Files).size());
    state.counters["projects/s"] =
        benchmark::Counter(double(kProjects) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Batch1000Projects)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
