// karven-batch as a user runs it: the JSON against the model's own verdicts,
// the output folders, bad files among good ones, usage errors.
#include "batch/batchjson.h"
#include "batch/batchrun.h"
#include "cad/cadexport.h"
#include "model/datacenter.h"
#include "model/factors/loadcases.h"
#include "model/factors/stabilityfactors.h"
#include "model/labels.h"
#include "tests/batch/batchprocess.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kExamples = QStringLiteral(KARVEN_SOURCE_DIR "/examples");

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList examples() {
    QStringList files;
    // The examples with field measurements (field-survey*.yty) have a test
    // of their own (test_batchmeasurements); these are the three plane
    // examples.
    for (const QString& name : QDir(kExamples).entryList({QStringLiteral("*.yty")}, QDir::Files, QDir::Name))
        if (!name.startsWith(QLatin1String("field-survey")))
            files << kExamples + QLatin1Char('/') + name;
    return files;
}

bool sameRecord(const QJsonObject& o, const DataCenter& project, const PlaneRecord& r, bool wedge) {
    bool same = o.value(QStringLiteral("id")).toInt() == r.id &&
                o.value(QStringLiteral("state")).toInt() == r.state &&
                o.value(QStringLiteral("class")).toInt() == r.state / 10 &&
                o.value(QStringLiteral("message")).toString() == Labels::stateMessage(project, r.state) &&
                !o.contains(QStringLiteral("fs"));
    if (wedge)
        return same && o.value(QStringLiteral("planeA")).toInt() == r.id / 100 &&
               o.value(QStringLiteral("planeB")).toInt() == r.id % 100 &&
               o.value(QStringLiteral("trend")).toDouble() == r.direction &&
               o.value(QStringLiteral("plunge")).toDouble() == r.angle;
    return same && o.value(QStringLiteral("direction")).toDouble() == r.direction &&
           o.value(QStringLiteral("angle")).toDouble() == r.angle &&
           o.value(QStringLiteral("type")).toInt() == r.type &&
           o.value(QStringLiteral("notes")).toString() == r.notes;
}
} // namespace

class TestBatch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void usageErrors_data();
    void usageErrors();
    void helpAndLimits();
    void jsonOfEveryExampleMatchesTheModel();
    void outputFoldersForSeveralFiles();
    void badFilesAmongGoodOnes();
    void factorOfSafetyKeys();
    void everyLoadCaseInTheJson();

private:
    QTemporaryDir tmp;
};

void TestBatch::initTestCase() {
    QVERIFY(tmp.isValid());
    QCOMPARE(examples().size(), 3);
}

void TestBatch::usageErrors_data() {
    QTest::addColumn<QStringList>("arguments");
    const QString good = examples().first();
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("no output") << QStringList{good};
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--pdf"), QStringLiteral("o"), good};
    QTest::newRow("missing value") << QStringList{good, QStringLiteral("--report")};
    QTest::newRow("size too small") << QStringList{QStringLiteral("--size=8x600"), QStringLiteral("--png=o"),
                                                   good};
    QTest::newRow("radius below") << QStringList{QStringLiteral("--radius"), QStringLiteral("9"),
                                                 QStringLiteral("--dxf"), QStringLiteral("o"), good};
    QTest::newRow("height below") << QStringList{QStringLiteral("--height=1"), QStringLiteral("--dxf=o"),
                                                 good};
    QTest::newRow("height not a number")
        << QStringList{QStringLiteral("--height=5mm"), QStringLiteral("--dxf=o"), good};
}

void TestBatch::usageErrors() {
    QFETCH(QStringList, arguments);
    QTemporaryDir work;
    const Run r = batch(arguments, work.path());
    QCOMPARE(r.status, 2);
    QVERIFY(r.out.isEmpty());
    const QStringList lines = r.errLines();
    QCOMPARE(lines.size(), 2); // what is wrong, then how to call
    QVERIFY(lines.first().startsWith(QLatin1String("karven-batch: ")));
    QVERIFY(lines.last().contains(QLatin1String("--help")));
    QVERIFY(QDir(work.path()).isEmpty()); // no output folder made
}

void TestBatch::helpAndLimits() {
    const Run help = batch({QStringLiteral("--help")});
    QCOMPARE(help.status, 0);
    const QString text = QString::fromUtf8(help.out);
    for (const char* option : {"--report", "--png", "--dxf", "--dwg", "--json", "--size", "--radius",
                               "--height", "--jobs", "--quiet", "--help", "800x600"})
        QVERIFY2(text.contains(QLatin1String(option)), option);

    // The limits themselves are accepted.
    QTemporaryDir work;
    const Run edge =
        batch({QStringLiteral("--size=16x16"), QStringLiteral("--radius=100"), QStringLiteral("--height"),
               QStringLiteral("20"), QStringLiteral("--png"), work.path(), examples().first()});
    QCOMPARE(edge.status, 0);
    QCOMPARE(QImage(work.filePath(QFileInfo(examples().first()).completeBaseName() + QStringLiteral(".png")))
                 .size(),
             QSize(16, 16));
}

void TestBatch::jsonOfEveryExampleMatchesTheModel() {
    const QStringList files = examples();
    QList<QByteArray> before;
    QList<QDateTime> modified;
    for (const QString& f : files) {
        before << contents(f);
        modified << QFileInfo(f).lastModified();
    }

    const Run r = batch(QStringList{QStringLiteral("--json"), QStringLiteral("-")} + files);
    QCOMPARE(r.status, 0);
    QVERIFY(r.errLines().isEmpty());
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonArray projects = doc.object().value(QStringLiteral("projects")).toArray();
    QCOMPARE(projects.size(), files.size());

    int unstable = 0;
    for (int i = 0; i < files.size(); ++i) {
        DataCenter project;
        QVERIFY(analysed(project, files.at(i)));
        const QJsonObject o = projects.at(i).toObject();
        QCOMPARE(o.value(QStringLiteral("file")).toString(), files.at(i));
        QCOMPARE(o.value(QStringLiteral("name")).toString(), project.ProjectName);
        const QJsonObject slope = o.value(QStringLiteral("slope")).toObject();
        QCOMPARE(slope.value(QStringLiteral("direction")).toDouble(), project.slope.direction);
        QCOMPARE(slope.value(QStringLiteral("angle")).toDouble(), project.slope.angle);
        const QJsonObject criteria = o.value(QStringLiteral("criteria")).toObject();
        QCOMPARE(criteria.value(QStringLiteral("includedAnglePlanar")).toDouble(),
                 project.IncludedAnglePlanar);
        QCOMPARE(criteria.value(QStringLiteral("frictionAnglePlanar")).toDouble(),
                 project.FrictionAnglePlanar);
        QCOMPARE(criteria.value(QStringLiteral("topple")).toBool(), project.Topple);
        QCOMPARE(criteria.value(QStringLiteral("frictionAngleTopple")).toDouble(),
                 project.FrictionAngleTopple);
        QVERIFY(!o.contains(QStringLiteral("fsRequired")));

        const QJsonArray planes = o.value(QStringLiteral("planes")).toArray();
        QCOMPARE(planes.size(), project.planes.size());
        for (int k = 0; k < planes.size(); ++k) {
            QVERIFY2(sameRecord(planes.at(k).toObject(), project, project.planes.at(k), false),
                     qPrintable(QStringLiteral("%1 plane %2").arg(files.at(i)).arg(k)));
            unstable += project.planes.at(k).state / 10 >= 3;
        }
        const QJsonArray wedges = o.value(QStringLiteral("wedges")).toArray();
        QCOMPARE(wedges.size(), project.wedges.size());
        QVERIFY(!wedges.isEmpty());
        for (int k = 0; k < wedges.size(); ++k)
            QVERIFY2(sameRecord(wedges.at(k).toObject(), project, project.wedges.at(k), true),
                     qPrintable(QStringLiteral("%1 wedge %2").arg(files.at(i)).arg(k)));
        const QJsonArray conclusion = o.value(QStringLiteral("conclusion")).toArray();
        QCOMPARE(conclusion.size(), 3);
        for (int k = 0; k < 3; ++k)
            QCOMPARE(conclusion.at(k).toString(), project.conclusion[k]);
    }
    QVERIFY(unstable > 0); // the examples do reach the unstable verdicts

    for (int i = 0; i < files.size(); ++i) {
        QCOMPARE(contents(files.at(i)), before.at(i));
        QCOMPARE(QFileInfo(files.at(i)).lastModified(), modified.at(i));
    }
}

void TestBatch::outputFoldersForSeveralFiles() {
    // Six inputs, two base names repeated from other folders.
    QStringList files = examples();
    for (const QString& sub : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}) {
        QVERIFY(QDir().mkpath(tmp.filePath(sub)));
        const QString copy = tmp.filePath(sub + QStringLiteral("/road-cut.yty"));
        QVERIFY(QFile::copy(files.at(2), copy));
        files << copy;
    }
    const QString out = tmp.filePath(QStringLiteral("outputs/nested"));
    const QString json = tmp.filePath(QStringLiteral("outputs/results.json"));
    const Run r =
        batch(QStringList{QStringLiteral("--report"), out, QStringLiteral("--png"), out,
                          QStringLiteral("--dxf"), out, QStringLiteral("--dwg"), out,
                          QStringLiteral("--json"), json, QStringLiteral("--size"), QStringLiteral("640x480"),
                          QStringLiteral("--radius"), QStringLiteral("30"), QStringLiteral("--height"),
                          QStringLiteral("8"), QStringLiteral("--jobs"), QStringLiteral("2")} +
              files);
    QCOMPARE(r.status, 0);
    QVERIFY(r.errLines().contains(QStringLiteral("6/6"))); // progress with more than a few files

    const QStringList names = {QStringLiteral("dip-slope"),  QStringLiteral("quarry-toppling"),
                               QStringLiteral("road-cut"),   QStringLiteral("road-cut-2"),
                               QStringLiteral("road-cut-3"), QStringLiteral("road-cut-4")};
    QCOMPARE(QDir(out).entryList(QDir::Files).size(), 4 * names.size());
    for (int i = 0; i < names.size(); ++i) {
        const QString base = out + QLatin1Char('/') + names.at(i);
        DataCenter project;
        QVERIFY(analysed(project, files.at(i)));

        // The report embeds exactly the picture written beside it.
        const QByteArray png = contents(base + QStringLiteral(".png"));
        QImage picture;
        QVERIFY(picture.loadFromData(png, "PNG"));
        QCOMPARE(picture.size(), QSize(640, 480));
        const QString html = QString::fromUtf8(contents(base + QStringLiteral(".html")));
        QVERIFY(html.contains(QStringLiteral("工程名称：") + project.ProjectName));
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("data:image/png;base64,([A-Za-z0-9+/=]+)")).match(html);
        QVERIFY(m.hasMatch());
        QVERIFY(QByteArray::fromBase64(m.captured(1).toLatin1()) == png);

        // The DXF is the program's own writer's for R = 30, H = 8.
        project.cadRadius = 30;
        project.cadTextPercent = 8;
        QByteArray dxf;
        QBuffer buffer(&dxf);
        QVERIFY(buffer.open(QIODevice::WriteOnly | QIODevice::Text));
        QVERIFY(CadExport::writeDxf(project, buffer));
        buffer.close();
        QVERIFY2(contents(base + QStringLiteral(".dxf")) == dxf, qPrintable(names.at(i)));

        const QByteArray dwg = contents(base + QStringLiteral(".dwg"));
        QVERIFY(dwg.startsWith("AC1018"));
        QVERIFY(dwg.size() > 10000);
    }
    const QJsonArray projects =
        QJsonDocument::fromJson(contents(json)).object().value(QStringLiteral("projects")).toArray();
    QCOMPARE(projects.size(), files.size());
    QCOMPARE(projects.at(5).toObject().value(QStringLiteral("file")).toString(), files.at(5));
}

void TestBatch::badFilesAmongGoodOnes() {
    const QString dir = tmp.filePath(QStringLiteral("bad"));
    QVERIFY(QDir().mkpath(dir));
    const QString truncated = dir + QStringLiteral("/truncated.yty");
    const QString foreign = dir + QStringLiteral("/foreign.yty");
    const QString missing = dir + QStringLiteral("/missing.yty");
    {
        QFile t(truncated);
        QVERIFY(t.open(QIODevice::WriteOnly));
        t.write(contents(examples().at(0)).left(600));
        QFile f(foreign);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\"?>\n<svg/>\n");
    }
    const QStringList files = {examples().at(0), truncated, missing, foreign, examples().at(1)};
    const QString out = dir + QStringLiteral("/out");
    const Run r = batch(QStringList{QStringLiteral("-q"), QStringLiteral("--dxf"), out,
                                    QStringLiteral("--json"), QStringLiteral("-")} +
                        files);
    QCOMPARE(r.status, 1);
    const QStringList lines = r.errLines();
    QCOMPARE(lines.size(), 3); // one line per bad file, no progress with -q
    for (const QString& bad : {truncated, missing, foreign}) {
        const QStringList about = lines.filter(QStringLiteral("karven-batch: ") + bad + QStringLiteral(": "));
        QCOMPARE(about.size(), 1);
        QVERIFY(about.first().size() > bad.size() + 16); // a reason follows the name
    }
    QVERIFY(lines.filter(truncated).first().contains(QStringLiteral("第"))); // where the file breaks off

    QCOMPARE(QDir(out).entryList(QDir::Files),
             (QStringList{QStringLiteral("dip-slope.dxf"), QStringLiteral("quarry-toppling.dxf")}));
    const QJsonArray projects =
        QJsonDocument::fromJson(r.out).object().value(QStringLiteral("projects")).toArray();
    QCOMPARE(projects.size(), 5);
    for (int i : {1, 2, 3}) {
        QVERIFY(projects.at(i).toObject().contains(QStringLiteral("error")));
        QVERIFY(!projects.at(i).toObject().contains(QStringLiteral("planes")));
    }
    QVERIFY(!projects.at(4).toObject().value(QStringLiteral("planes")).toArray().isEmpty());
}

void TestBatch::factorOfSafetyKeys() {
    DataCenter project;
    QVERIFY(analysed(project, examples().at(2)));
    QVERIFY(project.wedges.size() > 1);
    const int planeId = project.planes.at(0).id;
    const int wedgeId = project.wedges.at(0).id;
    StabilityFactors factors;
    factors.required = 1.35;
    PlanarFactor plane;
    plane.index = 0;
    plane.id = planeId;
    plane.hasBlock = true;
    plane.fs = 1.0 / 3.0;
    factors.planes << plane;
    WedgeFactor wedge;
    wedge.index = 0;
    wedge.id = wedgeId;
    wedge.hasBlock = true;
    wedge.mode = WedgeMode::OnA;
    wedge.fs = 2.718281828459045;
    factors.wedges << wedge << WedgeFactor(); // a factor without a block
    factors.wedges.last().index = 1;
    factors.wedges.last().id = project.wedges.at(1).id;

    auto parse = [&] {
        return QJsonDocument::fromJson(BatchJson::projectObject(project, QStringLiteral("x.yty"), factors))
            .object();
    };
    QVERIFY(!parse().contains(QStringLiteral("fsRequired"))); // the calculation is off

    project.stability.enabled = true;
    const QJsonObject o = parse();
    QCOMPARE(o.value(QStringLiteral("fsRequired")).toDouble(), 1.35);
    const QJsonObject p = o.value(QStringLiteral("planes")).toArray().at(0).toObject();
    QCOMPARE(p.value(QStringLiteral("fs")).toDouble(), 1.0 / 3.0); // full precision
    QCOMPARE(p.value(QStringLiteral("fsState")).toString(), factorStateWord(1.0 / 3.0, 1.35));
    QVERIFY(!o.value(QStringLiteral("planes")).toArray().at(1).toObject().contains(QStringLiteral("fs")));
    const QJsonArray wedges = o.value(QStringLiteral("wedges")).toArray();
    QCOMPARE(wedges.at(0).toObject().value(QStringLiteral("fs")).toDouble(), 2.718281828459045);
    QCOMPARE(wedges.at(0).toObject().value(QStringLiteral("slidesOn")).toString(),
             wedgeModeCode(WedgeMode::OnA));
    QVERIFY(!wedges.at(1).toObject().contains(QStringLiteral("fs")));
    QVERIFY(!wedges.at(1).toObject().contains(QStringLiteral("slidesOn")));

    // Numbers read back exactly; text escapes stay valid JSON.
    for (double v : {0.1, 1e-300, -123.456789012345678, 1e21, 5e-324})
        QCOMPARE(QJsonDocument::fromJson("[" + BatchJson::number(v) + "]").array().at(0).toDouble(), v);
    const QString odd = QStringLiteral("a\"b\\c\nd\te\x01f 断层");
    QCOMPARE(QJsonDocument::fromJson("[" + BatchJson::string(odd) + "]").array().at(0).toString(), odd);
}

void TestBatch::everyLoadCaseInTheJson() {
    // A project with three cases, computed for real: every block with a
    // factor lists every case with its own Fs, state and Fst; the keys of
    // the first case stay where readers of earlier files find them.
    DataCenter project;
    QVERIFY(analysed(project, examples().at(2)));
    StabilityParams& p = project.stability;
    p.present = p.enabled = true;
    p.permanent = false; // a temporary slope: no Fst for the seismic case
    p.cases = defaultLoadCases(p);
    p.cases[1].requiredTyped = 1.5;
    const StabilityFactors factors = computeStabilityFactors(project);
    QCOMPARE(factors.cases.size(), 3);
    const QJsonObject o =
        QJsonDocument::fromJson(BatchJson::projectObject(project, QStringLiteral("x.yty"), factors)).object();
    int blocks = 0;
    for (const char* list : {"planes", "wedges"}) {
        const QJsonArray records = o.value(QLatin1String(list)).toArray();
        const bool wedges = QLatin1String(list) == QLatin1String("wedges");
        for (int i = 0; i < records.size(); ++i) {
            const QJsonObject r = records.at(i).toObject();
            if (!r.contains(QStringLiteral("fs")))
                continue;
            ++blocks;
            const QJsonArray cases = r.value(QStringLiteral("cases")).toArray();
            QCOMPARE(cases.size(), 3);
            QCOMPARE(cases.at(0).toObject().value(QStringLiteral("fs")).toDouble(),
                     r.value(QStringLiteral("fs")).toDouble());
            QCOMPARE(cases.at(0).toObject().value(QStringLiteral("fsState")),
                     r.value(QStringLiteral("fsState")));
            for (int c = 0; c < 3; ++c) {
                const QJsonObject k = cases.at(c).toObject();
                QCOMPARE(k.value(QStringLiteral("name")).toString(), factors.cases.at(c).loadCase.name);
                QCOMPARE(k.contains(QStringLiteral("slidesOn")), wedges);
                QVERIFY(k.value(QStringLiteral("fs")).isDouble());
            }
            QCOMPARE(cases.at(0).toObject().value(QStringLiteral("fsRequired")).toDouble(), 1.20);
            QCOMPARE(cases.at(1).toObject().value(QStringLiteral("fsRequired")).toDouble(), 1.5);
            QVERIFY(!cases.at(1).toObject().value(QStringLiteral("fsRequiredFromTable")).toBool());
            // No table value: null, and the state says it was not judged
            // where the factor is 1.05 or more.
            const QJsonObject seismic = cases.at(2).toObject();
            QVERIFY(seismic.value(QStringLiteral("fsRequired")).isNull());
            if (seismic.value(QStringLiteral("fs")).toDouble() >= 1.05)
                QCOMPARE(seismic.value(QStringLiteral("fsState")).toString(),
                         QStringLiteral("未定（无Fst）"));
        }
    }
    QVERIFY(blocks > 2);
}

QTEST_GUILESS_MAIN(TestBatch)
#include "test_batch.moc"
