// One window repaint and one picture of an 800 x 600 stereonet with eight
// planes and the analysis on (zones, 28 wedges, labels).
#include "model/datacenter.h"
#include "model/fonts.h"
#include "render/stereonet.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

void fillProject(DataCenter& project) {
    const double attitudes[8][2] = {{120, 40}, {200, 70}, {310, 55}, {45, 25},
                                    {160, 80}, {250, 35}, {80, 60},  {20, 15}};
    project.slope.direction = 135;
    project.slope.angle = 65;
    project.slope.calculated = false;
    for (int i = 0; i < 8; ++i) {
        PlaneRecord p;
        p.id = i + 1;
        p.direction = attitudes[i][0];
        p.angle = attitudes[i][1];
        p.type = 2 + i % 3;
        project.planes << p;
    }
    project.ShowMark = 3;
    project.Topple = true;
    project.updateSlopeGeometry();
    project.updatePlanesGeometry();
    project.analysisOff = false;
    project.analyse();
}

class NetWidget : public QWidget {
public:
    DataCenter project;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paintStereonetWindow(painter, size(), project);
    }
};

void BM_WindowRepaint(benchmark::State& state) {
    NetWidget widget;
    fillProject(widget.project);
    widget.resize(800, 600);
    widget.show();
    QApplication::processEvents();
    for (auto _ : state)
        widget.repaint();
    state.counters["wedges"] = widget.project.wedges.size();
}
BENCHMARK(BM_WindowRepaint)->Unit(benchmark::kMillisecond);

void BM_RenderPicture(benchmark::State& state) {
    DataCenter project;
    fillProject(project);
    QImage image(800, 600, QImage::Format_ARGB32);
    for (auto _ : state) {
        renderStereonetImage(image, project);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["wedges"] = project.wedges.size();
}
BENCHMARK(BM_RenderPicture)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
