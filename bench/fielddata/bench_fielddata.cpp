// What a user waits on with field measurements: saving and opening a
// project of 100 000 measurements, importing them, their density and contours.
#include "model/datacenter.h"
#include "model/fielddata/contours.h"
#include "model/fielddata/density.h"
#include "model/fielddata/import.h"
#include "model/fielddata/measurementsfile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>

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

namespace {
qint64 residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * 4096 : 0;
}
} // namespace

// Resident memory a project of 100 000 measurements adds once read, beside
// an empty project (the counter; the time is the read). First, before other
// benchmarks leave freed memory to the allocator.
static void BM_ResidentMemory100000Measurements(benchmark::State& state) {
    const QByteArray bytes = projectBytes(100000);
    for (auto _ : state) {
        const qint64 before = residentBytes();
        DataCenter empty;
        auto* dc = new DataCenter;
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        dc->readProject(&buffer);
        state.counters["MiB"] = double(residentBytes() - before) / (1024 * 1024);
        delete dc;
    }
}
BENCHMARK(BM_ResidentMemory100000Measurements)->Iterations(1)->Unit(benchmark::kMillisecond);

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

namespace {
// 10 000 poles as a field survey gives them: three sets with scatter and 20 %
// background (the same generator as bench/fielddata/mplstereonet_density.py
// reads from the file it writes with --poles).
QVector<WeightedAxis> surveyPoles(int count) {
    QRandomGenerator random(2024);
    QVector<WeightedAxis> poles;
    poles.reserve(count);
    const double sets[3][2] = {{135, 65}, {250, 40}, {20, 80}};
    for (int i = 0; i < count; ++i) {
        double direction = random.generateDouble() * 360, angle = random.generateDouble() * 90;
        if (i % 5 != 4) {
            const double* set = sets[i % 3];
            direction = set[0] + (random.generateDouble() - 0.5) * 30;
            angle = std::min(90.0, std::max(0.0, set[1] + (random.generateDouble() - 0.5) * 20));
        }
        direction = std::fmod(direction + 360, 360);
        poles.append(WeightedAxis{planePole(direction, angle), 1});
    }
    return poles;
}

void densityBenchmark(benchmark::State& state, DensityMethod method) {
    const QVector<WeightedAxis> poles = surveyPoles(int(state.range(0)));
    DensitySettings settings;
    settings.method = method;
    for (auto _ : state) {
        const DensityGrid grid = densityGrid(poles, settings, false, 100);
        benchmark::DoNotOptimize(grid.maxValue);
    }
    state.counters["nodes"] = 105 * 105;
}
} // namespace

// The default: Schmidt counting, 1 % cone, 100 spacings across the net.
static void BM_DensityGrid10000(benchmark::State& state) {
    densityBenchmark(state, DensityMethod::Schmidt);
}
BENCHMARK(BM_DensityGrid10000)->Arg(10000)->Unit(benchmark::kMillisecond);

static void BM_DensityGridFisher(benchmark::State& state) {
    densityBenchmark(state, DensityMethod::Fisher);
}
BENCHMARK(BM_DensityGridFisher)->Arg(10000)->Unit(benchmark::kMillisecond);

static void BM_DensityGridKamb(benchmark::State& state) {
    densityBenchmark(state, DensityMethod::Kamb);
}
BENCHMARK(BM_DensityGridKamb)->Arg(10000)->Unit(benchmark::kMillisecond);

static void BM_DensityGrid100000(benchmark::State& state) {
    densityBenchmark(state, DensityMethod::Schmidt);
}
BENCHMARK(BM_DensityGrid100000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Grid plus the refined maximum (what the report and the legend show).
static void BM_DensityGridAndMaximum10000(benchmark::State& state) {
    const QVector<WeightedAxis> poles = surveyPoles(10000);
    const DensitySettings settings;
    for (auto _ : state) {
        const DensityGrid grid = densityGrid(poles, settings, false, 100);
        benchmark::DoNotOptimize(densityMaximum(grid, poles, settings).value);
    }
}
BENCHMARK(BM_DensityGridAndMaximum10000)->Unit(benchmark::kMillisecond);

// A 100 000-row CSV as a field survey's spreadsheet saves it (UTF-8 with
// BOM, headings, dip direction, dip, kind, station, note), decoded, split,
// mapped and checked: all an import does before the dialog shows it.
static void BM_ImportCsv100000(benchmark::State& state) {
    QByteArray csv("\xef\xbb\xbf倾向,倾角,类型,测点,备注\r\n");
    QRandomGenerator random(3);
    for (int i = 0; i < 100000; ++i) {
        csv += QByteArray::number(random.bounded(3600) / 10.0) + ',' +
               QByteArray::number(random.bounded(901) / 10.0) + (i % 3 ? ",节理," : ",层面,") + "ZK" +
               QByteArray::number(i / 50) + (i % 10 ? "," : ",张开") + "\r\n";
    }
    state.counters["bytes"] = csv.size();
    for (auto _ : state) {
        const ImportTable table = tableFromTextFile(csv);
        const ImportResult result = importMeasurements(table, guessMapping(table));
        if (result.measurements.size() != 100000)
            state.SkipWithError("rows lost");
        benchmark::DoNotOptimize(result.measurements.size());
    }
}
BENCHMARK(BM_ImportCsv100000)->Unit(benchmark::kMillisecond);

// Contour rings and lines for the automatic levels of the default grid.
static void BM_Contours10000(benchmark::State& state) {
    const QVector<WeightedAxis> poles = surveyPoles(10000);
    const DensityGrid grid = densityGrid(poles, DensitySettings(), false, 100);
    const QVector<double> levels = automaticLevels(grid.kernel, grid.maxValue);
    for (auto _ : state)
        benchmark::DoNotOptimize(densityContours(grid, levels).size());
    state.counters["levels"] = levels.size();
}
BENCHMARK(BM_Contours10000)->Unit(benchmark::kMillisecond);

// --write-poles FILE: writes the 10 000 poles of BM_DensityGrid10000 as
// "x,y,z" lines and the grid Karven computes for them (Schmidt 1 %, lower
// hemisphere) as "x,y,density" lines to FILE.grid, for
// mplstereonet_density.py to time and cross-check, then exits.
static int writePoles(const char* path) {
    const QVector<WeightedAxis> poles = surveyPoles(10000);
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    for (const WeightedAxis& p : poles)
        file.write(QByteArray::number(p.axis[0], 'g', 17) + ',' + QByteArray::number(p.axis[1], 'g', 17) +
                   ',' + QByteArray::number(p.axis[2], 'g', 17) + '\n');
    file.close();
    const DensityGrid grid = densityGrid(poles, DensitySettings(), false, 100);
    QFile out(QString::fromLocal8Bit(path) + QStringLiteral(".grid"));
    if (!out.open(QIODevice::WriteOnly))
        return 1;
    for (int j = 0; j < grid.nodes; ++j)
        for (int i = 0; i < grid.nodes; ++i) {
            const QPointF p = grid.point(i, j);
            if (p.x() * p.x() + p.y() * p.y() <= 1)
                out.write(QByteArray::number(p.x(), 'g', 17) + ',' + QByteArray::number(p.y(), 'g', 17) +
                          ',' + QByteArray::number(grid.at(i, j), 'g', 17) + '\n');
        }
    return 0;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--write-poles") == 0)
        return writePoles(argv[2]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
