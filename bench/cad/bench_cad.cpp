// The CAD export of a full project: eight planes (28 pairs, the wedges they
// give), toppling on, every label, both representations.
#include "cad/cadexport.h"
#include "model/datacenter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
void fullProject(DataCenter& project, bool bigCircle) {
    const double attitudes[8][2] = {{120, 45.5}, {300, 45}, {150, 30},   {210, 55},
                                    {95, 70},    {330, 80}, {180, 35.2}, {60, 25}};
    for (int i = 0; i < 8; ++i) {
        PlaneRecord p;
        p.id = i + 1;
        p.direction = attitudes[i][0];
        p.angle = attitudes[i][1];
        p.type = 2 + i % 3;
        if (i == 4)
            p.notes = QStringLiteral("裂隙");
        project.planes << p;
    }
    project.slope.direction = 135;
    project.slope.angle = 60;
    project.slope.calculated = false;
    project.updateSlopeGeometry();
    project.BigCircle = bigCircle;
    project.Topple = true;
    project.ShowMark = 3;
    project.cadRadius = 50;
    project.cadTextPercent = 5;
    project.updatePlanesGeometry();
    project.analysisOff = false;
    project.analyse();
}

void BM_WriteDxf(benchmark::State& state) {
    DataCenter project;
    fullProject(project, state.range(0) != 0);
    QByteArray bytes;
    for (auto _ : state) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        benchmark::DoNotOptimize(CadExport::writeDxf(project, buffer));
    }
    state.counters["bytes"] = bytes.size();
    state.counters["wedges"] = project.wedges.size();
}
BENCHMARK(BM_WriteDxf)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_ExportDxfFile(benchmark::State& state) {
    DataCenter project;
    fullProject(project, state.range(0) != 0);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Karven_NYjdsF.dxf"));
    for (auto _ : state)
        benchmark::DoNotOptimize(CadExport::exportDxf(project, path));
}
BENCHMARK(BM_ExportDxfFile)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_DrawingXml(benchmark::State& state) {
    DataCenter project;
    fullProject(project, state.range(0) != 0);
    QByteArray xml;
    for (auto _ : state) {
        xml = CadExport::drawingXml(project);
        benchmark::DoNotOptimize(xml.data());
    }
    state.counters["bytes"] = xml.size();
}
BENCHMARK(BM_DrawingXml)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
