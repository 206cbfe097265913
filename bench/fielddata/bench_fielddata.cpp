// What a user waits on with field measurements: saving and opening a
// project of 100 000 measurements, importing them, their density and contours.
#include "model/datacenter.h"
#include "model/fielddata/measurementsfile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

namespace {
QVector<Measurement> randomMeasurements(int count, quint32 seed) {
    QRandomGenerator random(seed);
    QVector<Measurement> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i) {
        Measurement m;
        m.direction = random.bounded(3600) / 10.0;
        m.angle = random.bounded(901) / 10.0;
        m.type = 2 + int(random.bounded(3));
        if (i % 10 == 0)
            m.station = QStringLiteral("ZK%1").arg(i / 10);
        rows.append(m);
    }
    return rows;
}

QByteArray projectBytes(int count) {
    DataCenter dc;
    dc.field.measurements = randomMeasurements(count, 1);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    dc.writeProject(&buffer);
    return buffer.data();
}
} // namespace

static void BM_WriteProject100000Measurements(benchmark::State& state) {
    DataCenter dc;
    dc.field.measurements = randomMeasurements(100000, 1);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        dc.writeProject(&buffer);
        benchmark::DoNotOptimize(buffer.data().size());
    }
}
BENCHMARK(BM_WriteProject100000Measurements)->Unit(benchmark::kMillisecond);

static void BM_ReadProject100000Measurements(benchmark::State& state) {
    const QByteArray bytes = projectBytes(100000);
    state.counters["bytes"] = bytes.size();
    for (auto _ : state) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        DataCenter dc;
        dc.readProject(&buffer);
        benchmark::DoNotOptimize(dc.field.measurements.size());
    }
}
BENCHMARK(BM_ReadProject100000Measurements)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
