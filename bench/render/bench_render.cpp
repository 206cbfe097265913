// One window repaint and one picture of an 800 x 600 stereonet with eight
// planes and the analysis on (zones, 28 wedges, labels); the picture with
// its PNG as the 计算书 and karven-batch write it, beside QImage's own PNG
// and matplotlib's picture of a stereonet of the same size.
#include "model/datacenter.h"
#include "model/fielddata/fieldview.h"
#include "model/fielddata/projectsets.h"
#include "model/fonts.h"
#include "model/pngencoder.h"
#include "render/fieldlayer.h"
#include "render/stereonet.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QWidget>

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>

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

// 10 000 measured planes: three clusters and scatter, reproducible.
void fillMeasurements(DataCenter& project, int count) {
    uint32_t state = 12345u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state + 0.5) / 4294967296.0;
    };
    const double centres[3][2] = {{145, 35}, {240, 78}, {320, 25}};
    for (int i = 0; i < count; ++i) {
        Measurement m;
        if (i % 10 == 9) {
            m.direction = 360 * next();
            m.angle = 90 * next();
        } else {
            const double* c = centres[i % 3];
            m.direction = std::fmod(c[0] + 30 * (next() - 0.5) + 360, 360);
            m.angle = qBound(0.0, c[1] + 20 * (next() - 0.5), 90.0);
        }
        m.type = 2 + i % 3;
        project.field.measurements << m;
    }
}

// The window repaint with the layer on (poles and contours), the view and
// its image computed once before: what every later repaint costs.
void BM_WindowRepaintMeasurements10000(benchmark::State& state) {
    NetWidget widget;
    fillProject(widget.project);
    fillMeasurements(widget.project, 10000);
    widget.resize(800, 600);
    widget.show();
    QApplication::processEvents();
    widget.repaint();
    for (auto _ : state)
        widget.repaint();
    state.counters["poles"] = widget.project.field.measurements.size();
    state.counters["levels"] = FieldViews::of(widget.project)->levels.size();
}
BENCHMARK(BM_WindowRepaintMeasurements10000)->Unit(benchmark::kMillisecond);

// The same repaint with the three sets found automatically drawn over the
// layer: windows, mean great circles, cones, mean poles and their legend
// (the view with the sets computed once before).
void BM_WindowRepaintSets10000(benchmark::State& state) {
    NetWidget widget;
    fillProject(widget.project);
    fillMeasurements(widget.project, 10000);
    findAutoSets(widget.project.field, AutoSetRequest());
    widget.resize(800, 600);
    widget.show();
    QApplication::processEvents();
    widget.repaint();
    for (auto _ : state)
        widget.repaint();
    state.counters["sets"] = widget.project.field.sets.size();
}
BENCHMARK(BM_WindowRepaintSets10000)->Unit(benchmark::kMillisecond);

// The first repaint after a change: density grid, contours and the layer's
// image computed anew (a changed weight each time).
void BM_WindowRepaintAfterChange10000(benchmark::State& state) {
    NetWidget widget;
    fillProject(widget.project);
    fillMeasurements(widget.project, 10000);
    widget.resize(800, 600);
    widget.show();
    QApplication::processEvents();
    int k = 0;
    for (auto _ : state) {
        widget.project.field.measurements[0].weight = 1 + (++k % 1000) * 1e-3;
        widget.repaint();
    }
}
BENCHMARK(BM_WindowRepaintAfterChange10000)->Unit(benchmark::kMillisecond);

// The report's density picture of 10 000 poles, view cached.
void BM_DensityPicture10000(benchmark::State& state) {
    DataCenter project;
    fillMeasurements(project, 10000);
    QImage image(800, 600, QImage::Format_RGB32);
    FieldLayer::renderDensityPicture(image, project);
    for (auto _ : state) {
        FieldLayer::renderDensityPicture(image, project);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DensityPicture10000)->Unit(benchmark::kMillisecond);
// The picture of the report (opaque, 800 x 600) with its PNG, through the
// encoder every Karven picture goes through.
void BM_PictureAndPng(benchmark::State& state) {
    DataCenter project;
    fillProject(project);
    QImage image(800, 600, QImage::Format_ARGB32);
    QByteArray png;
    for (auto _ : state) {
        renderStereonetImage(image, project);
        png = PngEncoder::encode(image);
        benchmark::DoNotOptimize(png.constData());
    }
    state.counters["bytes"] = png.size();
}
BENCHMARK(BM_PictureAndPng)->Unit(benchmark::kMillisecond);

// The same with QImage's own PNG writer (zlib's default level, libpng's
// filter search), as the report wrote it before (with alpha, 0) and
// karven-batch (without, 1).
void BM_PictureAndQtPng(benchmark::State& state) {
    DataCenter project;
    fillProject(project);
    const bool opaque = state.range(0) == 1;
    QImage image(800, 600, QImage::Format_ARGB32);
    QByteArray png;
    for (auto _ : state) {
        renderStereonetImage(image, project);
        png.clear();
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        (opaque ? image.convertToFormat(QImage::Format_RGB32) : image).save(&buffer, "PNG");
        benchmark::DoNotOptimize(png.constData());
    }
    state.counters["bytes"] = png.size();
}
BENCHMARK(BM_PictureAndQtPng)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// matplotlib (Debian's python3-matplotlib, Agg) drawing and saving an
// 800 x 600 stereonet PNG, measured by bench/render/matplotlib_stereonet.py
// in this run: its mean CPU time per picture is this benchmark's (manual)
// time, to be read beside the CPU time of BM_PictureAndPng.
void BM_MatplotlibStereonetPng(benchmark::State& state) {
    const QString python = QStringLiteral("/usr/bin/python3");
    const QString script = QStringLiteral(KARVEN_SOURCE_DIR "/bench/render/matplotlib_stereonet.py");
    for (auto _ : state) {
        QProcess run;
        run.start(python, {script, QStringLiteral("30")});
        if (!run.waitForFinished(600000) || run.exitCode() != 0) {
            state.SkipWithError("matplotlib is not available (Debian package python3-matplotlib)");
            return;
        }
        const QList<QByteArray> words = run.readAllStandardOutput().trimmed().split(' ');
        state.SetIterationTime(words.value(0).toDouble() / 1000.0);
        state.counters["bytes"] = words.value(2).toDouble();
    }
}
BENCHMARK(BM_MatplotlibStereonetPng)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

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
