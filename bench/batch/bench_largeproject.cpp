// karven-batch on one project of 1000 planes (the most a project file may
// hold: about 500 000 wedges) with the factors of safety on, writing every
// output: the report with its picture, the PNG, DXF, DWG and JSON. Each
// output must grow linearly with the number of wedges for this to finish.
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
// Planes spread over the net around a slope 180∠65, deterministic.
bool writeProject(const QString& path, int planes) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> direction(0, 3599), dip(50, 850);
    DataCenter project;
    project.ProjectName = QStringLiteral("大型工程");
    project.slope.direction = 180;
    project.slope.angle = 65;
    project.slope.calculated = false;
    project.ShowMark = 1;
    project.stability.present = project.stability.enabled = true;
    for (int id = 1; id <= planes; ++id) {
        PlaneRecord plane;
        plane.id = id;
        plane.direction = direction(random) / 10.0;
        plane.angle = dip(random) / 10.0;
        plane.type = 2 + id % 3;
        project.planes << plane;
    }
    project.updateSlopeGeometry();
    project.updatePlanesGeometry();
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Text) && project.writeProject(&file);
}

// Arguments: planes, then which outputs (bit 0 report, 1 PNG, 2 DXF, 3 DWG, 4 JSON).
void BM_LargeProject(benchmark::State& state) {
    const int planes = int(state.range(0));
    const int outputs = int(state.range(1));
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("large.yty"));
    if (!writeProject(project, planes)) {
        state.SkipWithError("cannot write the project");
        return;
    }
    const QString out = dir.filePath(QStringLiteral("out"));
    QStringList arguments{QStringLiteral("-q"), QStringLiteral("--jobs=1")};
    const char* const options[] = {"--report", "--png", "--dxf", "--dwg"};
    for (int i = 0; i < 4; ++i)
        if (outputs & (1 << i))
            arguments << QLatin1String(options[i]) << out;
    if (outputs & 16)
        arguments << QStringLiteral("--json") << dir.filePath(QStringLiteral("large.json"));
    arguments << project;
    const double cpuBefore = childCpuSeconds();
    for (auto _ : state) {
        if (!runBatch(state, arguments, 1800000)) {
            return;
        }
    }
    state.counters["cpu_s"] = childCpuSeconds() - cpuBefore;
    state.counters["peak_MB"] = double(childPeakMegabytes());
    qint64 bytes = 0;
    for (const QFileInfo& f : QDir(out).entryInfoList(QDir::Files))
        bytes += f.size();
    bytes += QFileInfo(dir.filePath(QStringLiteral("large.json"))).size();
    state.counters["output_MB"] = double(bytes) / (1 << 20);
}
// Every output of the largest project; then each output alone, and a
// tenth of the planes (a hundredth of the wedges) for the growth.
BENCHMARK(BM_LargeProject)
    ->Args({1000, 31})
    ->Args({1000, 16})
    ->Args({1000, 2})
    ->Args({1000, 1})
    ->Args({1000, 4})
    ->Args({1000, 8})
    ->Args({100, 31})
    ->ArgNames({"planes", "outputs"})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
