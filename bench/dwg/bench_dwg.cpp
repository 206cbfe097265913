// Writing the DWG of a drawing the size of a full eight-plane project:
// the net frame, the slope and eight planes as arcs with labels, the
// intersections of every pair of planes, and the judgement zones as
// polylines — about 300 entities.
#include "vantrel/caddoc.h"
#include "vantrel/dwg_writer.h"
#include "vantrel/interchange.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr double kR = 50.0;
constexpr double kRad = 0.017453292519943295;

std::string num(double v)
{
    char b[32];
    std::snprintf(b, sizeof b, "%g", v);
    return b;
}

// The interchange XML of such a drawing, as Karven's export writes it.
std::string eightPlaneXml()
{
    std::string x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<entities version=\"1.0\">\n";
    auto prop = [](int type, int color, double scale) {
        return "        <Property type=\"" + std::to_string(type) + "\" color=\"" + std::to_string(color) +
               "\" scale=\"" + num(scale) + "\"/>\n";
    };
    auto line = [&](double x1, double y1, double x2, double y2, int color) {
        x += "    <line>\n        <Point x=\"" + num(x1) + "\" y=\"" + num(y1) + "\"/>\n        <Point x=\"" +
             num(x2) + "\" y=\"" + num(y2) + "\"/>\n" + prop(0, color, 1) + "    </line>\n";
    };
    auto text = [&](double px, double py, const std::string& s, double rotDeg) {
        x += "    <text>\n        <Point x=\"" + num(px) + "\" y=\"" + num(py) + "\"/>\n        <Txt>" + s +
             "</Txt>\n        <Height>2.5</Height>\n        <Align H=\"1\" V=\"2\" rotate=\"" +
             num(rotDeg * kRad) + "\"/>\n    </text>\n";
    };
    auto arc = [&](double cx, double cy, double r, double a1, double a2, int type) {
        x += "    <arc>\n        <Center x0=\"" + num(cx) + "\" y0=\"" + num(cy) + "\"/>\n        <Radius>" +
             num(r) + "</Radius>\n        <Angle a1=\"" + num(a1 * kRad) + "\" a2=\"" + num(a2 * kRad) +
             "\"/>\n" + prop(type, 256, 0.04 * kR) + "    </arc>\n";
    };
    // Net frame: circle, 36 ticks, cross, 13 labels.
    x += "    <circle>\n        <Center x0=\"0\" y0=\"0\"/>\n        <Radius>50</Radius>\n" + prop(0, 7, 1) +
         "    </circle>\n";
    for (int d = 0; d < 360; d += 5)
        line(kR * std::sin(d * kRad), kR * std::cos(d * kRad), 1.05 * kR * std::sin(d * kRad),
             1.05 * kR * std::cos(d * kRad), 256);
    line(-2, 0, 2, 0, 1);
    line(0, -2, 0, 2, 1);
    for (int d = 0; d < 360; d += 10)
        text(1.1 * kR * std::sin(d * kRad), 1.1 * kR * std::cos(d * kRad), std::to_string(d) + "°", -d);
    text(0, 1.2 * kR, "N", 0);
    // Slope and eight planes: arcs with labels.
    for (int i = 0; i < 9; ++i) {
        const double c = 60.0 + 7.0 * i;
        arc(c * std::cos(i * 40 * kRad), c * std::sin(i * 40 * kRad), std::sqrt(c * c - kR * kR) + 1,
            200 + 40 * i, 330 + 40 * i, i == 0 ? 1 : 2 + i % 3);
        text(20 * std::cos(i * 40 * kRad), 20 * std::sin(i * 40 * kRad),
             (i == 0 ? std::string("坡面 ") : "节理" + std::to_string(i) + " ") + std::to_string(40 * i) +
                 "∠" + std::to_string(30 + i * 5),
             0);
    }
    // Intersections of the 28 plane pairs: cross and label each.
    for (int k = 0; k < 28; ++k) {
        const double px = 40 * std::cos(k * 12.85 * kRad) * (0.3 + 0.02 * k);
        const double py = 40 * std::sin(k * 12.85 * kRad) * (0.3 + 0.02 * k);
        line(px - 1, py, px + 1, py, 5);
        line(px, py - 1, px, py + 1, 5);
        text(px + 1.5, py + 1.5, "I" + std::to_string(k + 1), 0);
        x += "    <circle>\n        <Center x0=\"" + num(px) + "\" y0=\"" + num(py) +
             "\"/>\n        <Radius>0.6</Radius>\n" + prop(0, 3, 1) + "    </circle>\n";
    }
    // Dip-direction lines of the eight planes with their labels.
    for (int i = 1; i <= 8; ++i) {
        line(0, 0, kR * std::sin(i * 40 * kRad), kR * std::cos(i * 40 * kRad), 4);
        text(0.8 * kR * std::sin(i * 40 * kRad), 0.8 * kR * std::cos(i * 40 * kRad),
             "倾向" + std::to_string(i * 40) + "°", 90 - i * 40);
    }
    // Judgement zones: friction circle and envelopes as polylines.
    for (int z = 0; z < 40; ++z) {
        x += "    <polyline>\n";
        for (int v = 0; v <= 72; ++v) {
            const double a = v * 5 * kRad;
            const double r = kR * (0.2 + 0.02 * z) * (1 + 0.1 * std::sin(3 * a));
            x += "        <Point x=\"" + num(r * std::cos(a)) + "\" y=\"" + num(r * std::sin(a)) + "\"/>\n";
        }
        x += prop(z % 2 ? 6 : 0, 150, 0.04 * kR) + "    </polyline>\n";
    }
    x += "</entities>\n";
    return x;
}

void BM_WriteDwgEightPlanes(benchmark::State& state)
{
    vantrel::CadDocument doc;
    vantrel::initCadDocument(doc);
    if (!vantrel::parseInterchangeXml(eightPlaneXml(), doc)) {
        state.SkipWithError("interchange document refused");
        return;
    }
    size_t bytes = 0;
    for (auto _ : state) {
        const vantrel::Bytes f = vantrel::writeDwg(doc, 1700000000);
        bytes = f.size();
        benchmark::DoNotOptimize(f.data());
    }
    state.counters["entities"] = double(doc.modelSpace().entities.size());
    state.counters["file_bytes"] = double(bytes);
}
BENCHMARK(BM_WriteDwgEightPlanes)->Unit(benchmark::kMillisecond);

void BM_ParseEightPlanes(benchmark::State& state)
{
    const std::string xml = eightPlaneXml();
    for (auto _ : state) {
        vantrel::CadDocument doc;
        vantrel::initCadDocument(doc);
        if (!vantrel::parseInterchangeXml(xml, doc)) {
            state.SkipWithError("interchange document refused");
            return;
        }
        benchmark::DoNotOptimize(doc.modelSpace().entities.data());
    }
    state.counters["xml_bytes"] = double(xml.size());
}
BENCHMARK(BM_ParseEightPlanes)->Unit(benchmark::kMillisecond);

// What writeDwg costs a user: the interchange XML read and the DWG written.
void BM_ParseAndWriteEightPlanes(benchmark::State& state)
{
    const std::string xml = eightPlaneXml();
    for (auto _ : state) {
        vantrel::CadDocument doc;
        vantrel::initCadDocument(doc);
        if (!vantrel::parseInterchangeXml(xml, doc)) {
            state.SkipWithError("interchange document refused");
            return;
        }
        const vantrel::Bytes f = vantrel::writeDwg(doc, 1700000000);
        benchmark::DoNotOptimize(f.data());
    }
    state.counters["xml_bytes"] = double(xml.size());
}
BENCHMARK(BM_ParseAndWriteEightPlanes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
