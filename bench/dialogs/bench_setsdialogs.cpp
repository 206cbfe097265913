// The joint-set dialogs, offscreen: one edit of a window in 结构面分组 (the
// measurements assigned to the windows again and every set's statistics
// recomputed), and switching the measurement table's set filter, for a
// survey of three Fisher sets and scatter.
#include "dialogs/measurementdialog.h"
#include "dialogs/setsdialog.h"
#include "model/fielddata/projectsets.h"
#include "tests/fielddata/fishersample.h"

#include <QApplication>
#include <QComboBox>
#include <QTableView>
#include <QTableWidget>

#include <benchmark/benchmark.h>

namespace {
FieldData survey(int n) {
    QRandomGenerator rng(1234);
    const double centres[3][2] = {{135, 65}, {40, 88}, {250, 30}};
    FieldData field;
    for (int s = 0; s < 3; ++s) {
        JointSet set;
        set.name = defaultSetName(s);
        set.color = defaultSetColor(s);
        set.centerDirection = centres[s][0];
        set.centerAngle = centres[s][1];
        set.halfAngle = 25;
        field.sets << set;
    }
    field.measurements.reserve(n);
    for (int i = 0; i < n; ++i) {
        const int s = i % 5;
        const UnitAxis v =
            s < 3 ? fisherSample(rng, planeAxis(centres[s][0], centres[s][1]), 30) : uniformAxis(rng);
        Measurement m;
        axisPlane(v, m.direction, m.angle);
        field.measurements << m;
    }
    assignMeasurementsToSets(field);
    return field;
}

void BM_SetsDialogEdit(benchmark::State& state) {
    SetsDialog dialog;
    dialog.setField(survey(int(state.range(0))));
    auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("tableSets"));
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        table->item(0, SetsDialog::HalfAngle)->setText(wide ? QStringLiteral("26") : QStringLiteral("25"));
    }
    state.counters["J1"] = table->item(0, SetsDialog::Count)->text().toInt();
}
BENCHMARK(BM_SetsDialogEdit)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_MeasurementSetFilter(benchmark::State& state) {
    MeasurementDialog dialog;
    dialog.setField(survey(int(state.range(0))));
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("comboSet"));
    auto* view = dialog.findChild<QTableView*>(QStringLiteral("tableView"));
    int index = 0;
    for (auto _ : state) {
        index = index % 4 + 1; // 未分组, J1, J2, J3
        combo->setCurrentIndex(index);
        benchmark::DoNotOptimize(view->model()->rowCount());
    }
}
BENCHMARK(BM_MeasurementSetFilter)->Arg(100000)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
