// Every example project, in both representations and every labelling mode,
// exported as DXF and read back by an independent reader (ezdxf), whose
// audit must find nothing to report and nothing to repair.
#include "cad/cadexport.h"
#include "cadtestutil.h"
#include "dxfreadback.h"
#include "model/fielddata/fieldview.h"
#include "model/fielddata/projectsets.h"
#include "model/fielddata/sphere.h"
#include "model/labels.h"
#include "tests/model/fieldexample.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>
#include <vector>

namespace {
struct Case {
    QString project;
    bool bigCircle;
    int mode;
    QString file;
    int expectedEntities;
    int expectedDashed;
    QStringList labels; // texts after the net
};

int zoneCount(const JudgeZone& z) {
    int n = 0;
    n += z.frictionRadius < 0.99999;
    n += std::fabs(z.limitPoint1.y()) > 1e-5 ? 2 : 0;
    n += !z.bigCircle && z.envelope.size() > 1;
    n += z.topplingZone.size() > 1;
    return n;
}

} // namespace

class TestCadReadback : public QObject {
    Q_OBJECT
private slots:
    void examplesReadBackCleanly();
    void longDrawingKeepsHandlesUnique();
    void measurementLayerReadsBack();
    void jointSetLayersReadBack();
};

void TestCadReadback::examplesReadBackCleanly() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    QList<Case> cases;
    const QStringList projects = exampleProjects();
    QVERIFY(projects.size() >= 2);
    for (const QString& path : projects) {
        for (const bool big : {true, false}) {
            for (int mode = 0; mode <= 3; ++mode) {
                DataCenter project;
                QVERIFY2(loadAnalysed(project, path, big), qPrintable(path));
                project.ShowMark = qint16(mode);
                project.cadRadius = 60;
                project.cadTextPercent = 4;
                Case c;
                c.project = QFileInfo(path).completeBaseName();
                c.bigCircle = big;
                c.mode = mode;
                c.file = dir.filePath(
                    QStringLiteral("%1-%2-%3.dxf").arg(c.project).arg(big ? "gc" : "pole").arg(mode));
                QVERIFY(CadExport::exportDxf(project, c.file));
                const int n = project.planes.size();
                const int w = project.wedges.size();
                const int zones = zoneCount(project.judgeZone);
                c.expectedEntities = 52 + 1 + (mode == 2 || mode == 3) + 3 * w + zones +
                                     (big ? 2 * n + (mode >= 1 && mode <= 3 ? n : 0) : 2 * n);
                c.expectedDashed = zones;
                if (mode == 2 || mode == 3)
                    c.labels << Labels::slopeLabel(project.slope, mode);
                for (const PlaneRecord& p : project.planes) {
                    const QString label = Labels::planeLabel(p, mode, big);
                    if (!big || (mode >= 1 && mode <= 3))
                        c.labels << label;
                }
                for (const PlaneRecord& wedge : project.wedges)
                    c.labels << Labels::wedgeLabel(wedge, mode);
                cases << c;
            }
        }
    }

    QStringList files;
    for (const Case& c : cases)
        files << c.file;
    QString skip;
    const QList<QJsonObject> objects = dxfreadback::readBack(files, &skip);
    REQUIRE_DXF_READER(skip);
    QCOMPARE(objects.size(), cases.size());

    bool chineseSeen = false;
    for (int i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const QString what = QStringLiteral("%1 %2 mode %3")
                                 .arg(c.project)
                                 .arg(c.bigCircle ? "great circles" : "poles")
                                 .arg(c.mode);
        const QJsonObject& o = objects[i];
        QCOMPARE(o.value(QStringLiteral("version")).toString(), QStringLiteral("AC1015"));
        QCOMPARE(o.value(QStringLiteral("encoding")).toString(), QStringLiteral("gbk"));
        QVERIFY2(dxfreadback::auditClean(o),
                 qPrintable(what + QLatin1Char(' ') + dxfreadback::auditFindings(o)));
        // The root dictionary's MY_OBJECTS entry names a dictionary of its own.
        QCOMPARE(o.value(QStringLiteral("root")).toObject().value(QStringLiteral("MY_OBJECTS")).toArray(),
                 QJsonArray({QStringLiteral("DICTIONARY"), QStringLiteral("C")}));
        const QJsonArray layers = o.value(QStringLiteral("layers")).toArray();
        QVERIFY(layers.contains(QStringLiteral("KVQXTW")) && layers.contains(QStringLiteral("0")));
        const QJsonArray lineTypes = o.value(QStringLiteral("linetypes")).toArray();
        QVERIFY(lineTypes.contains(QStringLiteral("ACAD_ISO02W100")) &&
                lineTypes.contains(QStringLiteral("QXTWBP")));
        const QJsonArray styles = o.value(QStringLiteral("styles")).toArray();
        QVERIFY(styles.contains(QStringLiteral("QXTWZT")) && styles.contains(QStringLiteral("Standard")));

        const QJsonArray entities = o.value(QStringLiteral("entities")).toArray();
        QVERIFY2(
            entities.size() == c.expectedEntities,
            qPrintable(
                what +
                QStringLiteral(": %1 entities, expected %2").arg(entities.size()).arg(c.expectedEntities)));
        int dashed = 0, slopeLine = 0;
        QStringList labels;
        for (int k = 0; k < entities.size(); ++k) {
            const QJsonObject e = entities[k].toObject();
            QCOMPARE(e.value(QStringLiteral("handle")).toString(), QString::number(0x37 + k, 16));
            QCOMPARE(e.value(QStringLiteral("layer")).toString(), QStringLiteral("KVQXTW"));
            const QString lt = e.value(QStringLiteral("linetype")).toString();
            dashed += lt == QLatin1String("ACAD_ISO02W100");
            slopeLine += lt == QLatin1String("QXTWBP");
            if (lt == QLatin1String("ACAD_ISO02W100"))
                QCOMPARE(e.value(QStringLiteral("color")).toInt(), 150);
            if (e.value(QStringLiteral("type")).toString() == QLatin1String("TEXT")) {
                QCOMPARE(e.value(QStringLiteral("style")).toString(), QStringLiteral("QXTWZT"));
                if (k >= 52)
                    labels << e.value(QStringLiteral("text")).toString();
            }
        }
        QCOMPARE(dashed, c.expectedDashed);
        QCOMPARE(slopeLine, 1);
        QCOMPARE(labels, c.labels);
        for (const QString& l : labels)
            chineseSeen = chineseSeen || l.contains(QStringLiteral("边坡"));
    }
    QVERIFY(chineseSeen);
}

void TestCadReadback::longDrawingKeepsHandlesUnique() {
    // More planes than the data dialog allows (a project file may hold
    // them): the entity handles run past the prefix's view port handle.
    QTemporaryDir dir;
    QStringList files;
    for (const bool big : {true, false}) {
        DataCenter project;
        for (int i = 0; i < 14; ++i) {
            PlaneRecord p;
            p.id = i + 1;
            p.direction = 25.0 * i + 3;
            p.angle = 20 + 4.5 * i;
            p.type = 2 + i % 3;
            project.planes << p;
        }
        project.BigCircle = big;
        project.ShowMark = 3;
        project.updatePlanesGeometry();
        project.analysisOff = false;
        project.analyse();
        QVERIFY(project.wedges.size() > 40);
        files << dir.filePath(big ? QStringLiteral("gc.dxf") : QStringLiteral("pole.dxf"));
        QVERIFY(CadExport::exportDxf(project, files.last()));
    }
    QString skip;
    const QList<QJsonObject> objects = dxfreadback::readBack(files, &skip);
    REQUIRE_DXF_READER(skip);
    QCOMPARE(objects.size(), 2);
    for (const QJsonObject& o : objects) {
        QVERIFY2(dxfreadback::auditClean(o), qPrintable(dxfreadback::auditFindings(o)));
        const QJsonArray entities = o.value(QStringLiteral("entities")).toArray();
        QVERIFY(entities.size() > 0xea - 0x36);
        QSet<QString> handles;
        for (const QJsonValue& e : entities)
            handles.insert(e.toObject().value(QStringLiteral("handle")).toString());
        QCOMPARE(handles.size(), entities.size());
        QVERIFY(!handles.contains(QStringLiteral("ea")));
    }
}

// A project with measurements: poles and contours on layers of their own,
// declared in the layer table, under the drawing (which keeps its own
// entities on KVQXTW), every level labelled; the audit stays clean. With
// the layer switched off the file is that of the project without
// measurements, byte for byte.
void TestCadReadback::measurementLayerReadsBack() {
    QTemporaryDir dir;
    QStringList files;
    QList<QStringList> levelLabels;
    for (const bool big : {true, false}) {
        DataCenter project;
        project.slope.direction = 150;
        project.slope.angle = 60;
        project.planes << PlaneRecord();
        project.planes[0].id = 1;
        project.planes[0].direction = 145;
        project.planes[0].angle = 35;
        project.BigCircle = big;
        project.ShowMark = 3;
        project.cadRadius = 50;
        project.cadTextPercent = 5;
        project.updateSlopeGeometry();
        project.updatePlanesGeometry();
        project.analysisOff = false;
        project.analyse();

        QByteArray plain;
        {
            QBuffer buffer(&plain);
            buffer.open(QIODevice::WriteOnly);
            QVERIFY(CadExport::writeDxf(project, buffer));
        }
        project.field.measurements = exampleMeasurements();
        project.field.showLayer = false;
        QByteArray hidden;
        {
            QBuffer buffer(&hidden);
            buffer.open(QIODevice::WriteOnly);
            QVERIFY(CadExport::writeDxf(project, buffer));
        }
        QCOMPARE(hidden, plain);
        QVERIFY(!CadExport::drawingXml(project).contains("layer="));

        project.field.showLayer = true;
        files << dir.filePath(big ? QStringLiteral("gc.dxf") : QStringLiteral("pole.dxf"));
        QVERIFY(CadExport::exportDxf(project, files.last()));
        QVERIFY(CadExport::drawingXml(project).contains("layer=\"KVJD\""));
        QFile plainFile(
            dir.filePath(big ? QStringLiteral("gc-plain.dxf") : QStringLiteral("pole-plain.dxf")));
        QVERIFY(plainFile.open(QIODevice::WriteOnly) && plainFile.write(plain) == plain.size());
        plainFile.close();
        files << plainFile.fileName();
        QStringList labels;
        for (double level : FieldViews::of(project)->levels)
            labels << QString::number(level, 'g', 4) + QStringLiteral("%");
        levelLabels << labels;
    }
    QString skip;
    const QList<QJsonObject> objects = dxfreadback::readBack(files, &skip);
    REQUIRE_DXF_READER(skip);
    QCOMPARE(objects.size(), 4);
    for (int f = 0; f < 2; ++f) {
        const QJsonObject& o = objects[2 * f];
        const int drawingEntities = objects[2 * f + 1].value(QStringLiteral("entities")).toArray().size();
        QVERIFY2(dxfreadback::auditClean(o), qPrintable(dxfreadback::auditFindings(o)));
        const QJsonArray layers = o.value(QStringLiteral("layers")).toArray();
        QVERIFY(layers.contains(QStringLiteral("KVJD")) && layers.contains(QStringLiteral("KVDMX")));
        int poles = 0, contours = 0, drawing = 0;
        QSet<QString> handles, labels;
        bool drawingStarted = false, layerAfterDrawing = false;
        for (const QJsonValue& v : o.value(QStringLiteral("entities")).toArray()) {
            const QJsonObject e = v.toObject();
            handles.insert(e.value(QStringLiteral("handle")).toString());
            const QString layer = e.value(QStringLiteral("layer")).toString();
            const QString type = e.value(QStringLiteral("type")).toString();
            if (layer == QLatin1String("KVJD")) {
                QCOMPARE(type, QStringLiteral("CIRCLE"));
                ++poles;
            } else if (layer == QLatin1String("KVDMX")) {
                if (type == QLatin1String("TEXT"))
                    labels.insert(e.value(QStringLiteral("text")).toString());
                else
                    QCOMPARE(type, QStringLiteral("LWPOLYLINE"));
                ++contours;
            } else {
                QCOMPARE(layer, QStringLiteral("KVQXTW"));
                ++drawing;
                drawingStarted = true;
            }
            layerAfterDrawing = layerAfterDrawing || (drawingStarted && layer != QLatin1String("KVQXTW"));
        }
        QCOMPARE(poles, 200);
        QVERIFY(contours > 0);
        QCOMPARE(drawing, drawingEntities);
        QVERIFY(!layerAfterDrawing);
        QCOMPARE(handles.size(), poles + contours + drawing);
        for (const QString& label : levelLabels[f])
            QVERIFY2(labels.contains(label), qPrintable(label));
    }
}

// Joint sets found in the example survey, on both hemispheres: windows,
// means and cones on three layers of their own after the poles, in the
// sets' colours, named; every circle and arc read back lies at its cone's
// angle from its axis (window centre, or mean pole for α95 and the
// variability cone) and an arc ends on the primitive. Without the sets the
// file is that of the measurements alone, byte for byte.
void TestCadReadback::jointSetLayersReadBack() {
    QTemporaryDir dir;
    QStringList files;
    std::vector<std::unique_ptr<DataCenter>> projects;
    const auto dxf = [](DataCenter& project) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        return CadExport::writeDxf(project, buffer) ? bytes : QByteArray();
    };
    for (const bool upper : {true, false}) {
        projects.push_back(std::make_unique<DataCenter>());
        DataCenter& project = *projects.back();
        project.UpperMode = upper;
        project.cadRadius = 50;
        project.field.measurements = exampleMeasurements();
        const QByteArray withoutSets = dxf(project);
        QCOMPARE(findAutoSets(project.field, AutoSetRequest()), 3);
        QCOMPARE(CadDrawing::extraLayers(project), (QStringList{"KVJD", "KVDMX", "KVFZC", "KVPJM", "KVZXZ"}));
        QVERIFY(CadExport::drawingXml(project).contains("layer=\"KVZXZ\""));
        files << dir.filePath(QStringLiteral("%1.dxf").arg(upper));
        QVERIFY(CadExport::exportDxf(project, files.last()));
        FieldData grouped = project.field;
        project.field.sets.clear();
        for (Measurement& m : project.field.measurements)
            m.set.clear();
        QCOMPARE(dxf(project), withoutSets);
        project.field = grouped;
    }
    QString skip;
    const QList<QJsonObject> objects = dxfreadback::readBack(files, &skip);
    REQUIRE_DXF_READER(skip);
    QCOMPARE(objects.size(), 2);
    for (int f = 0; f < 2; ++f) {
        const DataCenter& project = *projects[f];
        const double R = project.cadRadius;
        QVERIFY2(dxfreadback::auditClean(objects[f]), qPrintable(dxfreadback::auditFindings(objects[f])));
        const QVector<SetStatistics> stats = jointSetStatistics(project.field);
        QSet<int> colours;
        QVector<QPair<UnitAxis, double>> windows, cones;
        for (int s = 0; s < stats.size(); ++s) {
            const JointSet& set = project.field.sets[s];
            colours << set.color;
            windows << qMakePair(planeAxis(set.centerDirection, set.centerAngle), set.halfAngle);
            cones << qMakePair(stats[s].meanAxis, stats[s].alpha95)
                  << qMakePair(stats[s].meanAxis, stats[s].variabilityCone);
        }
        const auto onCone = [&](const QVector<QPair<UnitAxis, double>>& list, const QPointF& p) {
            const Vec3 v = netDirection(p / R, project.UpperMode);
            for (const auto& c : list)
                if (std::fabs(std::acos(qMin(1.0, std::fabs(dot(v, c.first)))) * 57.29577951308232 -
                              c.second) < 0.05)
                    return true;
            return false;
        };
        QStringList layers, names;
        int curves = 0, arcs = 0;
        for (const QJsonValue& value : objects[f].value(QStringLiteral("entities")).toArray()) {
            const QJsonObject e = value.toObject();
            const QString layer = e.value(QStringLiteral("layer")).toString();
            const QString type = e.value(QStringLiteral("type")).toString();
            if (layers.isEmpty() || layers.last() != layer)
                layers << layer;
            if (!layer.startsWith(QLatin1String("KVFZC")) && layer != QLatin1String("KVPJM") &&
                layer != QLatin1String("KVZXZ"))
                continue;
            if (type == QLatin1String("TEXT")) {
                names << layer + e.value(QStringLiteral("plain")).toString().section(QLatin1Char(' '), 0, 0);
                continue;
            }
            QVERIFY(colours.contains(e.value(QStringLiteral("color")).toInt()));
            if (layer == QLatin1String("KVPJM") ||
                (type != QLatin1String("CIRCLE") && type != QLatin1String("ARC")))
                continue;
            const QJsonArray centre = e.value(QStringLiteral("center")).toArray();
            const QPointF c(centre.at(0).toDouble(), centre.at(1).toDouble());
            const double r = e.value(QStringLiteral("radius")).toDouble();
            const bool arc = type == QLatin1String("ARC");
            const double from = arc ? e.value(QStringLiteral("start")).toDouble() : 0;
            const double span =
                arc ? std::fmod(e.value(QStringLiteral("end")).toDouble() - from + 360, 360) : 360;
            for (int k = 0; k <= 24; ++k) {
                const double a = (from + span * k / 24) * M_PI / 180;
                const QPointF p = c + r * QPointF(std::cos(a), std::sin(a));
                QVERIFY(onCone(layer == QLatin1String("KVFZC") ? windows : cones, p));
                if (arc && (k == 0 || k == 24))
                    QVERIFY(std::fabs(std::hypot(p.x(), p.y()) - R) < 1e-3 * R);
            }
            ++curves;
            arcs += arc;
        }
        QCOMPARE(layers, (QStringList{"KVDMX", "KVJD", "KVFZC", "KVPJM", "KVZXZ", "KVQXTW"}));
        for (const JointSet& s : project.field.sets)
            QVERIFY(names.contains("KVFZC" + s.name) && names.count("KVPJM" + s.name) == 2);
        // The steep set's window and variability cone cross the primitive.
        QVERIFY(curves >= 9 && arcs >= 4);
    }
}

QTEST_GUILESS_MAIN(TestCadReadback)
#include "test_cad_readback.moc"
