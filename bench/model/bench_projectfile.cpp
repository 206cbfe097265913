// Reading and writing an eight-plane project file.
#include "model/datacenter.h"

#include <QBuffer>
#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {
void fillEightPlanes(DataCenter& dc) {
    dc.ProjectName = QStringLiteral("基准工程");
    for (int i = 0; i < 8; ++i) {
        PlaneRecord p;
        p.id = i + 1;
        p.direction = 20 + 43 * i;
        p.angle = 25 + 7 * i;
        p.type = 2 + i % 3;
        p.notes = i % 2 ? QStringLiteral("J%1").arg(i) : QString();
        dc.planes << p;
    }
    dc.updatePlanesGeometry();
}

QByteArray eightPlaneFile() {
    DataCenter dc;
    fillEightPlanes(dc);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    dc.writeProject(&buffer);
    return buffer.data();
}
} // namespace

static void BM_WriteProject(benchmark::State& state) {
    DataCenter dc;
    fillEightPlanes(dc);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        dc.writeProject(&buffer);
        benchmark::DoNotOptimize(buffer.data().size());
    }
}
BENCHMARK(BM_WriteProject);

static void BM_ReadProject(benchmark::State& state) {
    const QByteArray bytes = eightPlaneFile();
    for (auto _ : state) {
        DataCenter dc;
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(dc.readProject(&buffer));
        dc.updatePlanesGeometry();
    }
}
BENCHMARK(BM_ReadProject);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
