// karven-batch on unusual and hostile projects: each block keeps its own
// factor, refused inputs are named and never replaced, every failed output
// gives its reason, a vertical plane costs nothing, and the JSON is built
// only when it was asked for.
#include "batch/batchdwg.h"
#include "batch/batchrun.h"
#include "model/datacenter.h"
#include "model/factors/stabilityfactors.h"
#include "tests/batch/batchprocess.h"
#include "tests/common/testplanes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Slope 180∠70 with the planes, the calculation on.
void project(DataCenter& dc, const QList<PlaneRecord>& planes) {
    dc.slope = makePlane(0, 180, 70, SlopeFace);
    dc.planes = planes;
    dc.stability.present = dc.stability.enabled = true;
}

bool save(DataCenter& dc, const QString& path) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && dc.writeProject(&f);
}

// The project as karven-batch has it: read back, geometry, analysis.
void analysed(const QString& path, DataCenter& dc) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly) && dc.readProject(&f));
    dc.updateSlopeGeometry();
    dc.updatePlanesGeometry();
    dc.analysisOff = false;
    dc.analyse();
}

QJsonObject onlyProject(const QByteArray& json) {
    return QJsonDocument::fromJson(json)
        .object()
        .value(QStringLiteral("projects"))
        .toArray()
        .at(0)
        .toObject();
}
} // namespace

class TestBatchHostile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(tmp.isValid()); }
    void factorsFollowTheirBlocks();
    void refusedInputsAreNamed_data();
    void refusedInputsAreNamed();
    void reasonPerOutput();
    void tooManyPlanes();
    void verticalPlaneKeepsTheDrawing();
    void jsonOnlyWhenAsked();

private:
    QString path(const QString& name) const { return tmp.filePath(name); }
    QTemporaryDir tmp;
};

void TestBatchHostile::factorsFollowTheirBlocks() {
    // Ids 1 and 150 made the key of wedge 2×50; three planes share id 1.
    DataCenter dc;
    project(dc, {makePlane(1, 140, 50), makePlane(150, 220, 50), makePlane(2, 150, 45),
                 makePlane(50, 215, 60), makePlane(1, 180, 35), makePlane(1, 170, 55)});
    const QString file = path(QStringLiteral("ids.yty"));
    QVERIFY(save(dc, file));
    const Run r = batch({QStringLiteral("--json=-"), QStringLiteral("-q"), file});
    QCOMPARE(r.status, 0);
    const QJsonObject o = onlyProject(r.out);

    DataCenter model;
    analysed(file, model);
    const StabilityFactors factors = computeStabilityFactors(model);
    QVERIFY(factors.planes.size() >= 3 && factors.wedges.size() >= 2);
    const QJsonArray planes = o.value(QStringLiteral("planes")).toArray();
    const QJsonArray wedges = o.value(QStringLiteral("wedges")).toArray();
    QCOMPARE(planes.size(), model.planes.size());
    QCOMPARE(wedges.size(), model.wedges.size());
    for (const PlanarFactor& f : factors.planes)
        QCOMPARE(planes.at(f.index).toObject().value(QStringLiteral("fs")).toDouble(), f.fs);
    int seen = 0;
    for (const WedgeFactor& f : factors.wedges) {
        const QJsonObject w = wedges.at(f.index).toObject();
        QCOMPARE(w.value(QStringLiteral("planeA")).toInt(), model.planes.at(f.indexA).id);
        QCOMPARE(w.value(QStringLiteral("planeB")).toInt(), model.planes.at(f.indexB).id);
        if (f.hasBlock) {
            QCOMPARE(w.value(QStringLiteral("fs")).toDouble(), f.fs);
            ++seen;
        }
    }
    QVERIFY(seen >= 2);
    // The shown number stays 100*a+b, in 64 bits.
    QCOMPARE(wedges.at(0).toObject().value(QStringLiteral("id")).toDouble(), 250.0);
}

void TestBatchHostile::refusedInputsAreNamed_data() {
    QTest::addColumn<QByteArray>("attribute");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("seismic 0.51") << QByteArray("seismic") << QByteArray("0.51");
    QTest::newRow("crack water") << QByteArray("crackWater") << QByteArray("1.0000001");
    QTest::newRow("height 0") << QByteArray("height") << QByteArray("0");
    QTest::newRow("height 1e308") << QByteArray("height") << QByteArray("1e+308");
}

void TestBatchHostile::refusedInputsAreNamed() {
    QFETCH(QByteArray, attribute);
    QFETCH(QByteArray, value);
    DataCenter dc;
    project(dc, {makePlane(1, 180, 35), makePlane(2, 140, 50), makePlane(3, 220, 50)});
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    dc.writeProject(&buffer);
    QByteArray text = buffer.data();
    const QByteArray from = ' ' + attribute + "=\"";
    const int at = text.indexOf(from);
    QVERIFY(at > 0);
    text.replace(at + from.size(), text.indexOf('"', at + from.size()) - at - from.size(), value);
    const QString file = path(QStringLiteral("refused.yty"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(text) == text.size());
    out.close();

    const QString png = path(QStringLiteral("refused-png"));
    const Run r =
        batch({QStringLiteral("--json=-"), QStringLiteral("--png"), png, QStringLiteral("-q"), file});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.errText().contains(QString::fromLatin1(attribute)) &&
                 r.errText().contains(QString::fromLatin1(value)),
             qPrintable(r.errText()));
    const QJsonObject o = onlyProject(r.out);
    const QString reason =
        o.value(QStringLiteral("errors")).toObject().value(QStringLiteral("stability")).toString();
    QVERIFY2(reason.contains(QString::fromLatin1(attribute)), qPrintable(reason));
    QVERIFY(!o.contains(QStringLiteral("fsRequired")));
    for (const char* list : {"planes", "wedges"})
        for (const QJsonValue& v : o.value(QLatin1String(list)).toArray())
            QVERIFY(!v.toObject().contains(QStringLiteral("fs")));
    // The other outputs are still written.
    QVERIFY(QFile::exists(png + QStringLiteral("/refused.png")));
}

void TestBatchHostile::reasonPerOutput() {
    DataCenter dc;
    project(dc, {makePlane(1, 180, 35)});
    const QString file = path(QStringLiteral("blocked.yty"));
    QVERIFY(save(dc, file));
    // A folder where the picture should go: the picture cannot be written.
    const QString png = path(QStringLiteral("blocked-png"));
    QVERIFY(QDir().mkpath(png + QStringLiteral("/blocked.png/inside")));
    const QString dxf = path(QStringLiteral("blocked-dxf"));
    const Run r = batch({QStringLiteral("--json=-"), QStringLiteral("--png"), png, QStringLiteral("--dxf"),
                         dxf, QStringLiteral("-q"), file});
    QCOMPARE(r.status, 1);
    const QJsonObject errors = onlyProject(r.out).value(QStringLiteral("errors")).toObject();
    QCOMPARE(errors.keys(), QStringList{QStringLiteral("png")});
    QVERIFY(errors.value(QStringLiteral("png")).toString().contains(QStringLiteral("blocked.png")));
    QVERIFY(QFile::exists(dxf + QStringLiteral("/blocked.dxf")));
}

void TestBatchHostile::tooManyPlanes() {
    QByteArray text = "<?xml version=\"1.0\"?><DipData><Dips>";
    for (int i = 1; i <= DataCenter::MaxPlanesInFile + 1; ++i)
        text += "<Dip id=\"" + QByteArray::number(i) + "\" direction=\"10\" angle=\"20\"/>";
    text += "</Dips></DipData>";
    const QString file = path(QStringLiteral("many.yty"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(text) == text.size());
    out.close();
    const Run r = batch({QStringLiteral("--json=-"), QStringLiteral("-q"), file});
    QCOMPARE(r.status, 1);
    const QString expected = QStringLiteral("超过%1个结构面").arg(DataCenter::MaxPlanesInFile);
    QVERIFY2(r.errText().contains(expected), qPrintable(r.errText()));
    QVERIFY(onlyProject(r.out).value(QStringLiteral("error")).toString().contains(expected));
}

void TestBatchHostile::verticalPlaneKeepsTheDrawing() {
    DataCenter dc;
    project(dc, {makePlane(1, 180, 35), makePlane(2, 90, 90), makePlane(3, 140, 50)});
    const QString file = path(QStringLiteral("vertical.yty"));
    QVERIFY(save(dc, file));
    const QString dxf = path(QStringLiteral("vertical-dxf"));
    QStringList arguments{QStringLiteral("--dxf"), dxf, QStringLiteral("-q"), file};
    const bool dwg = BatchDwg::available();
    const QString dwgDir = path(QStringLiteral("vertical-dwg"));
    if (dwg)
        arguments << QStringLiteral("--dwg") << dwgDir;
    const Run r = batch(arguments);
    QVERIFY2(r.status == 0, qPrintable(r.errText()));
    // No arc of radius 0: group code 40 of every ARC is positive.
    QFile f(dxf + QStringLiteral("/vertical.dxf"));
    QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    int arcs = 0;
    for (int i = 0; i + 1 < lines.size(); i += 2) {
        if (lines.at(i).trimmed() != QLatin1String("0") || lines.at(i + 1).trimmed() != QLatin1String("ARC"))
            continue;
        ++arcs;
        for (int j = i + 2; j + 1 < lines.size() && lines.at(j).trimmed() != QLatin1String("0"); j += 2)
            if (lines.at(j).trimmed() == QLatin1String("40"))
                QVERIFY(lines.at(j + 1).trimmed().toDouble() > 0);
    }
    QCOMPARE(arcs, 3); // the slope and the two drawable planes
    if (dwg)
        QVERIFY(QFile::exists(dwgDir + QStringLiteral("/vertical.dwg")));
}

void TestBatchHostile::jsonOnlyWhenAsked() {
    DataCenter dc;
    project(dc, {makePlane(1, 180, 35), makePlane(2, 140, 50)});
    const QString file = path(QStringLiteral("asked.yty"));
    QVERIFY(save(dc, file));
    BatchOptions options;
    options.pngDir = path(QStringLiteral("asked-png"));
    QVERIFY(QDir().mkpath(options.pngDir));
    BatchRun::ProjectResult r = BatchRun::processProject(file, QStringLiteral("asked"), options);
    QVERIFY(r.ok && r.json.isEmpty());
    options.jsonPath = QStringLiteral("-");
    r = BatchRun::processProject(file, QStringLiteral("asked"), options);
    QVERIFY(r.ok && QJsonDocument::fromJson(r.json).isObject());
}

QTEST_MAIN(TestBatchHostile)
#include "test_batch_hostile.moc"
