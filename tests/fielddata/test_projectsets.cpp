// Joint sets in a project: the "Set" elements and "wedgePairs" in the
// project file, windows and automatic sets on the measurements, and the
// critical percentages of a project.
#include "fishersample.h"
#include "model/datacenter.h"
#include "model/fielddata/measurementsfile.h"
#include "model/fielddata/projectsets.h"
#include "model/fielddata/setplanes.h"
#include "tests/model/projectbytes.h"

#include <QBuffer>
#include <QImage>
#include <QtTest>

namespace {
double angleBetween(const UnitAxis& a, const UnitAxis& b) {
    const UnitAxis c = crossOf(a, b);
    return std::atan2(std::sqrt(dotOf(c, c)), std::fabs(dotOf(a, b))) * 180 / M_PI;
}

// Three sets and scatter, as a field survey (the example project's make-up).
FieldData survey(QRandomGenerator& rng, const QVector<UnitAxis>& means, const QVector<int>& sizes,
                 int scatter) {
    FieldData field;
    auto add = [&](const UnitAxis& v) {
        Measurement m;
        axisPlane(v, m.direction, m.angle);
        field.measurements.append(m);
    };
    for (int s = 0; s < means.size(); ++s)
        for (int i = 0; i < sizes[s]; ++i)
            add(fisherSample(rng, means[s], 40));
    for (int i = 0; i < scatter; ++i)
        add(uniformAxis(rng));
    return field;
}
} // namespace

class TestProjectSets : public QObject {
    Q_OBJECT
private slots:
    void setsInTheProjectFile();
    void badSetsAreRefusedOneByOne();
    void windowsAssignTheMeasurements();
    void automaticSetsOfASurvey();
    void criticalCountsOfAProject();
    void reportSection();
    void setPlanesForTheAnalysis();
};

void TestProjectSets::setsInTheProjectFile() {
    DataCenter dc;
    dc.field.measurements = {Measurement{135, 65}, Measurement{40, 88}, Measurement{250, 30}};
    const QByteArray withoutSets = written(dc);
    QVERIFY(!withoutSets.contains("<Set ") && !withoutSets.contains("wedgePairs"));

    dc.field.sets = {JointSet{QStringLiteral("J1"), 9, 130, 60, 20},
                     JointSet{QStringLiteral("北东组"), 5, 40.25, 88, 15}};
    dc.field.measurements[0].set = QStringLiteral("J1");
    dc.field.measurements[1].set = QStringLiteral("北东组");
    dc.field.wedgePairs = WedgePairs::SetsVsAll;
    const QByteArray bytes = written(dc);
    QVERIFY(bytes.contains(
        "<Set name=\"J1\" color=\"9\" centerDirection=\"130\" centerAngle=\"60\" halfAngle=\"20\"/>"));
    QVERIFY(bytes.contains("wedgePairs=\"setsVsAll\""));
    QVERIFY(bytes.contains("set=\"J1\""));
    // Sets come before the rows.
    QVERIFY(bytes.indexOf("<Set ") < bytes.indexOf("<M "));

    DataCenter back;
    QVERIFY(readInto(back, bytes));
    QCOMPARE(back.field.sets.size(), 2);
    QCOMPARE(back.field.sets[1].name, QStringLiteral("北东组"));
    QCOMPARE(back.field.sets[1].centerDirection, 40.25);
    QCOMPARE(back.field.sets[0].color, 9);
    QCOMPARE(int(back.field.wedgePairs), int(WedgePairs::SetsVsAll));
    QCOMPARE(back.field.measurements[1].set, QStringLiteral("北东组"));
    QCOMPARE(written(back), bytes);
    // Every wedgePairs name reads back; an unknown one keeps the default.
    for (WedgePairs p : {WedgePairs::All, WedgePairs::Sets, WedgePairs::SetsVsAll}) {
        dc.field.wedgePairs = p;
        QVERIFY(readInto(back, written(dc)));
        QCOMPARE(int(back.field.wedgePairs), int(p));
    }
    QByteArray odd = bytes;
    odd.replace("wedgePairs=\"setsVsAll\"", "wedgePairs=\"pairs\"");
    DataCenter fresh;
    QVERIFY(readInto(fresh, odd));
    QCOMPARE(int(fresh.field.wedgePairs), int(WedgePairs::All));
}

void TestProjectSets::badSetsAreRefusedOneByOne() {
    const QByteArray xml = "<Measurements>"
                           "<Set name=\"J1\" centerDirection=\"130\" centerAngle=\"60\"/>"
                           "<Set name=\"J1\" centerDirection=\"10\" centerAngle=\"60\"/>"
                           "<Set name=\"J2\" centerDirection=\"10\"/>"
                           "<Set name=\"J3\" centerDirection=\"10\" centerAngle=\"95\"/>"
                           "<Set name=\"J4\" centerDirection=\"10\" centerAngle=\"5\" halfAngle=\"0\"/>"
                           "<Set name=\"J5\" color=\"300\" centerDirection=\"10\" centerAngle=\"5\"/>"
                           "<Set name=\"\" centerDirection=\"10\" centerAngle=\"5\"/>"
                           "<Set name=\"J6\" centerDirection=\"abc\" centerAngle=\"5\"/>"
                           "<Set name=\"J7\" centerDirection=\"360\" centerAngle=\"5\" halfAngle=\"90\"/>"
                           "<M direction=\"1\" angle=\"2\" set=\"J1\"/></Measurements>";
    QXmlStreamReader reader(xml);
    QVERIFY(reader.readNextStartElement());
    FieldData field;
    QVector<RejectedRow> rejected;
    QVERIFY(readMeasurementsElement(reader, field, &rejected));
    QCOMPARE(field.sets.size(), 2);
    QCOMPARE(field.sets[0].halfAngle, 20.0); // the default
    QCOMPARE(field.sets[0].color, 1);
    QCOMPARE(field.sets[1].centerDirection, 0.0); // 360 is north
    QStringList reasons;
    for (const RejectedRow& r : rejected)
        reasons << r.reason;
    QCOMPARE(reasons, (QStringList{"组名J1重复", "缺少centerAngle", "中心倾角95超出0–90", "半锥角0超出0–90",
                                   "颜色300超出1–255", "组名为空", "无法识别\"abc\""}));
    QCOMPARE(field.measurements.size(), 1);
}

void TestProjectSets::windowsAssignTheMeasurements() {
    FieldData field;
    field.measurements = {Measurement{130, 60}, Measurement{310, 89}, Measurement{130, 89},
                          Measurement{0, 10}};
    field.sets = {JointSet{QStringLiteral("J1"), 1, 130, 60, 10},
                  JointSet{QStringLiteral("J2"), 5, 310, 90, 5}};
    assignMeasurementsToSets(field);
    QCOMPARE(field.measurements[0].set, QStringLiteral("J1"));
    QCOMPARE(field.measurements[1].set, QStringLiteral("J2"));
    QCOMPARE(field.measurements[2].set, QStringLiteral("J2")); // across the primitive
    QCOMPARE(field.measurements[3].set, QString());
    QCOMPARE(measurementSetIndexes(field), (QVector<int>{0, 1, 1, -1}));
    field.measurements[3].set = QStringLiteral("J9"); // no such set
    QCOMPARE(measurementSetIndexes(field)[3], -1);
    const QVector<SetStatistics> stats = jointSetStatistics(field);
    QCOMPARE(stats[0].count, 1);
    QCOMPARE(stats[1].count, 2);
    QVERIFY(qAbs(stats[1].angle - 90) < 1.01); // 89 and 89 across the primitive: a vertical mean
}

void TestProjectSets::automaticSetsOfASurvey() {
    QRandomGenerator rng(2026);
    const QVector<UnitAxis> means{planeAxis(135, 65), planeAxis(40, 88), planeAxis(250, 30)};
    for (int trial = 0; trial < 5; ++trial) {
        FieldData field = survey(rng, means, {70, 60, 40}, 30);
        const int setCount = findAutoSets(field, AutoSetRequest());
        QCOMPARE(setCount, 3);
        const QVector<SetStatistics> stats = jointSetStatistics(field);
        QVector<bool> found(3, false);
        for (int s = 0; s < 3; ++s) {
            QCOMPARE(field.sets[s].name, QStringLiteral("J%1").arg(s + 1));
            for (int m = 0; m < 3; ++m)
                if (angleBetween(stats[s].meanAxis, means[m]) < stats[s].alpha95 * 1.5)
                    found[m] = true;
        }
        QCOMPARE(found, QVector<bool>(3, true));
        // Asking for two gives the two densest.
        FieldData two = survey(rng, means, {70, 60, 40}, 30);
        AutoSetRequest request;
        request.count = 2;
        QCOMPARE(findAutoSets(two, request), 2);
    }
}

void TestProjectSets::criticalCountsOfAProject() {
    QRandomGenerator rng(1);
    FieldData field = survey(rng, {planeAxis(135, 40), planeAxis(200, 70)}, {50, 50}, 20);
    field.measurements[0].weight = 3;
    field.sets = {JointSet{QStringLiteral("J1"), 1, 135, 40, 25},
                  JointSet{QStringLiteral("J2"), 5, 200, 70, 25}};
    assignMeasurementsToSets(field);
    DataCenter dc;
    dc.slope.direction = 135;
    dc.slope.angle = 65;
    const SlopeCriteria criteria = dc.slopeCriteria();
    const QVector<SetStatistics> stats = jointSetStatistics(field);
    const CriticalCounts counts = measurementCriticalCounts(field, stats, criteria, 1);
    // The set dipping out of the face at 40° slides; the other does not.
    QVERIFY(counts.planar[0].percent() > 50);
    QVERIFY(counts.planar[1].percent() < 10);
    QCOMPARE(counts.planar[2].total, qint64(field.measurements.size()));
    QCOMPARE(counts.planar[2].weightedTotal, double(field.measurements.size() + 2));
    // "sets": the one line of the two set planes, judged as the project
    // judges the wedge of two planes of those attitudes.
    field.wedgePairs = WedgePairs::Sets;
    const CriticalCounts sets = measurementCriticalCounts(field, stats, criteria, 1);
    dc.planes = {PlaneRecord(), PlaneRecord()};
    dc.planes[0].id = 1;
    dc.planes[0].direction = stats[0].direction;
    dc.planes[0].angle = stats[0].angle;
    dc.planes[1].id = 2;
    dc.planes[1].direction = stats[1].direction;
    dc.planes[1].angle = stats[1].angle;
    dc.analysisOff = false;
    dc.analyse();
    QCOMPARE(sets.wedge[2].total, qint64(dc.wedges.size()));
    QCOMPARE(sets.wedge[2].count, qint64(dc.wedges.size() == 1 && dc.wedges[0].state > 30 ? 1 : 0));
}

void TestProjectSets::reportSection() {
    auto report = [](DataCenter& dc) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        dc.writeReport(&buffer, QImage(4, 4, QImage::Format_RGB32));
        return QString::fromUtf8(buffer.data());
    };
    DataCenter dc;
    dc.analysisOff = false;
    dc.analyse();
    dc.field.measurements = {Measurement{135, 40}, Measurement{137, 42}, Measurement{300, 80}};
    // Measurements without sets: no section.
    QVERIFY(!report(dc).contains(QStringLiteral("结构面分组")));
    dc.field.sets = {JointSet{QStringLiteral("J1"), 1, 135, 40, 10}};
    assignMeasurementsToSets(dc.field);
    const QString html = report(dc);
    QVERIFY(html.contains(QStringLiteral("结构面分组")));
    QVERIFY(html.contains(QStringLiteral("<td>J1</td><td>2</td>")));
    QVERIFY(html.contains(QStringLiteral("临界百分比")));
    // The slope 0∠45 and 135∠40 planes: outside the included angle, so no
    // planar sliding: 0 of 3 in total.
    QVERIFY(html.contains(QStringLiteral("<td>平面滑动</td><td>全部</td><td>0/3</td>")));
}

void TestProjectSets::setPlanesForTheAnalysis() {
    QRandomGenerator rng(12);
    FieldData field = survey(rng, {planeAxis(135, 40), planeAxis(30, 90)}, {54, 30}, 0);
    field.sets = {JointSet{QStringLiteral("J1"), 1, 135, 40, 25},
                  JointSet{QStringLiteral("J2"), 5, 30, 90, 25},
                  JointSet{QStringLiteral("J3"), 3, 250, 10, 5}};
    assignMeasurementsToSets(field);
    QVector<SetStatistics> stats = jointSetStatistics(field);
    stats[1].angle = 89.96; // a mean plane steeper than the net draws
    const QList<PlaneRecord> planes = setPlaneRecords(field, stats, {1, 0, 2}, 4);
    QCOMPARE(planes.size(), 2); // J3 has no poles
    QCOMPARE(planes[0].id, 4);
    QCOMPARE(planes[1].id, 5);
    QCOMPARE(planes[0].angle, 89.9);
    QCOMPARE(
        planes[0].notes,
        QStringLiteral("J2 n=%1 K=%2，实测倾角90.0°按89.9°").arg(stats[1].count).arg(qRound(stats[1].k)));
    QCOMPARE(planes[1].notes, QStringLiteral("J1 n=%1 K=%2").arg(stats[0].count).arg(qRound(stats[0].k)));
    QCOMPARE(planes[1].direction, stats[0].direction);
    QCOMPARE(planes[1].type, int(Joint));
    // As project planes they analyse like typed ones.
    DataCenter dc;
    dc.slope.direction = 135;
    dc.slope.angle = 65;
    dc.planes = planes;
    dc.analysisOff = false;
    dc.updatePlanesGeometry();
    dc.analyse();
    QCOMPARE(dc.wedges.size(), 1);
    QVERIFY(dc.planes[1].state >= 31 && dc.planes[1].state <= 34); // J1 slides out of the face
}

QTEST_MAIN(TestProjectSets)
#include "test_projectsets.moc"
