// One project through everything karven-batch does with it: read, geometry,
// analysis, conclusion, factors of safety, report with its picture, JSON,
// DXF, interchange XML and DWG. Besides the sanitizers it checks what can
// be checked: no verdict from a value that is not finite, no factors while
// an input is out of range, the JSON parses and lists every record, the DXF
// holds one entity per primitive of the drawing, the XML is well formed.
#include "batch/batchjson.h"
#include "cad/caddrawing.h"
#include "cad/cadexport.h"
#include "model/datacenter.h"
#include "model/factors/stabilityfactors.h"
#include "model/factors/stabilityproblems.h"
#include "render/stereonet.h"

#ifdef KARVEN_FUZZ_DWG
#include "vantrel/caddoc.h"
#include "vantrel/dwg_writer.h"
#include "vantrel/interchange.h"
#endif

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_batchpath: %s\n", what);
        std::abort();
    }
}

// Counts the primitives of the drawing as the DXF writer receives them.
class CountingSink : public CadSink {
public:
    int entities = 0;
    void circle(double, double, double, int, int, double) override { ++entities; }
    void arc(double, double, double, double, double, int, int, double) override { ++entities; }
    void line(double, double, double, double, int, int, double) override { ++entities; }
    void polyline(const QVector<QPointF>&, int, int, double) override { ++entities; }
    void text(double, double, double, const QString&, int, int, double) override { ++entities; }
};

// Entities of the ENTITIES section: every "0" group but the vertices and
// sequence ends of polylines.
int dxfEntities(const QByteArray& dxf) {
    const QList<QByteArray> lines = dxf.split('\n');
    int count = 0;
    bool inside = false;
    for (int i = 0; i + 1 < lines.size(); i += 2) {
        const QByteArray code = lines.at(i).trimmed(), value = lines.at(i + 1).trimmed();
        if (code == "2" && value == "ENTITIES")
            inside = true;
        if (!inside || code != "0")
            continue;
        if (value == "ENDSEC")
            break;
        if (value != "VERTEX" && value != "SEQEND")
            ++count;
    }
    return count;
}

void checkFactors(const DataCenter& dc) {
    const StabilityFactors factors = computeStabilityFactors(dc);
    const bool refused = !stabilityParamProblems(dc.stability, dc.slope.angle).isEmpty();
    check(!refused || (factors.planes.isEmpty() && factors.wedges.isEmpty()),
          "factors despite refused inputs");
    for (const PlanarFactor& f : factors.planes) {
        check(f.index >= 0 && f.index < dc.planes.size(), "planar factor without its plane");
        check(!f.hasBlock || std::isfinite(f.fs), "planar verdict from a value that is not finite");
    }
    for (const WedgeFactor& f : factors.wedges) {
        check(f.index >= 0 && f.index < dc.wedges.size(), "wedge factor without its wedge");
        check(f.indexA == dc.wedges.at(f.index).planeA && f.indexB == dc.wedges.at(f.index).planeB,
              "wedge factor of other planes");
        check(!f.hasBlock || std::isfinite(f.fs), "wedge verdict from a value that is not finite");
    }

    const QByteArray json = BatchJson::projectObject(dc, QStringLiteral("fuzz.yty"), factors);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    check(error.error == QJsonParseError::NoError && doc.isObject(), "JSON does not parse");
    check(doc.object().value(QStringLiteral("planes")).toArray().size() == dc.planes.size() &&
              doc.object().value(QStringLiteral("wedges")).toArray().size() == dc.wedges.size(),
          "JSON does not list every record");
}

void checkDrawing(DataCenter& dc) {
    dc.cadRadius = 50;
    dc.cadTextPercent = 5;
    QBuffer dxf;
    dxf.open(QIODevice::WriteOnly);
    if (CadExport::writeDxf(dc, dxf)) {
        CountingSink sink;
        CadDrawing::drawing(sink, dc);
        check(dxfEntities(dxf.data()) == sink.entities, "DXF entities differ from the drawing");
    }
    const QByteArray xml = CadExport::drawingXml(dc);
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
    check(!reader.hasError(), "interchange XML is not well formed");
#ifdef KARVEN_FUZZ_DWG
    try {
        vantrel::CadDocument doc;
        vantrel::initCadDocument(doc);
        if (vantrel::parseInterchangeXml(std::string(xml.constData(), size_t(xml.size())), doc))
            (void)vantrel::writeDwg(doc, 0);
    } catch (...) {
        // A refused drawing is an answer, not a fault.
    }
#endif
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    Q_UNUSED(app);

    QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    DataCenter dc;
    if (!dc.readProject(&buffer))
        return 0;
    dc.updateSlopeGeometry();
    dc.updatePlanesGeometry();
    dc.analysisOff = false;
    dc.analyse();
    dc.buildConclusion();

    checkFactors(dc);

    QImage picture(160, 120, QImage::Format_RGB32);
    renderStereonetImage(picture, dc);
    QBuffer report;
    report.open(QIODevice::WriteOnly);
    dc.writeReport(&report, picture);

    checkDrawing(dc);
    return 0;
}
