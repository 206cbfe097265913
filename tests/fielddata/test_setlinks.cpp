// The set planes (用作结构面) and their links to the sets: the link in the
// project file, following renumbered planes, carrying links over new sets,
// updating a plane when its set changed, and the room for new planes.
#include "fishersample.h"
#include "model/datacenter.h"
#include "model/fielddata/projectsets.h"
#include "model/fielddata/setlinks.h"
#include "tests/common/testplanes.h"
#include "tests/model/projectbytes.h"

#include <QBuffer>
#include <QtTest>

namespace {
PlaneRecord plane(int id, double direction, double angle, const QString& notes = QString()) {
    return makePlane(id, direction, angle, Joint, notes);
}

JointSet linkedSet(const QString& name, int planeId) {
    JointSet s{name, 1, 100, 40, 20};
    s.planeId = planeId;
    s.planeDirection = 280;
    s.planeAngle = 50;
    s.planeCount = 7;
    return s;
}

// Poles scattered about three means (K = 40) with the windows about them.
FieldData threeSets(QRandomGenerator& rng, int perSet = 40) {
    FieldData field;
    const double means[3][2] = {{145, 35}, {250, 80}, {20, 89.95}}; // the last one straddles the primitive
    for (int s = 0; s < 3; ++s) {
        const UnitAxis axis = planeAxis(means[s][0], means[s][1]);
        for (int i = 0; i < perSet; ++i) {
            Measurement m;
            axisPlane(fisherSample(rng, axis, 200), m.direction, m.angle);
            field.measurements.append(m);
        }
        field.sets.append(JointSet{defaultSetName(s), defaultSetColor(s), means[s][0], means[s][1], 20});
    }
    assignMeasurementsToSets(field);
    return field;
}
} // namespace

class TestSetLinks : public QObject {
    Q_OBJECT
private slots:
    void linksInTheProjectFile();
    void linksFollowTheirPlanes();
    void linksCarriedOverNewSets();
    void setPlanesAddedThenUpdated();
    void roomForNewPlanes();
};

void TestSetLinks::linksInTheProjectFile() {
    DataCenter dc;
    dc.planes = {plane(1, 145, 35, "J1 n=7 K=38"), plane(2, 10, 20)};
    dc.field.measurements = {Measurement{}};
    dc.field.sets = {JointSet{"J1", 9, 130, 60, 20}, JointSet{"J2", 5, 40, 88, 15}};
    // A set without a plane writes what it always did.
    const QByteArray plain = written(dc);
    QVERIFY(!plain.contains("plane"));
    QVERIFY(plain.contains(
        "<Set name=\"J1\" color=\"9\" centerDirection=\"130\" centerAngle=\"60\" halfAngle=\"20\"/>"));

    dc.field.sets[0].planeId = 1;
    dc.field.sets[0].planeDirection = 145.25;
    dc.field.sets[0].planeAngle = 89.9;
    dc.field.sets[0].planeCount = 7;
    const QByteArray linked = written(dc);
    QVERIFY(linked.contains("halfAngle=\"20\" planeId=\"1\" planeDirection=\"145.25\" planeAngle=\"89.9\" "
                            "planeCount=\"7\"/>"));
    DataCenter back;
    QVERIFY(readInto(back, linked));
    QCOMPARE(back.field.sets.size(), 2);
    const JointSet& j1 = back.field.sets[0];
    QCOMPARE(j1.planeId, 1);
    QCOMPARE(j1.planeDirection, 145.25);
    QCOMPARE(j1.planeAngle, 89.9);
    QCOMPARE(j1.planeCount, 7);
    QVERIFY(!back.field.sets[1].hasPlane());
    QCOMPARE(written(back), linked);

    // A broken or incomplete link is dropped, the set stays; so is a link to
    // a plane the file does not have or whose note names another set.
    const QList<QByteArray> broken = {"planeId=\"x\"",     "planeId=\"0\"",     "planeId=\"1.5\"",
                                      "planeAngle=\"91\"", "planeCount=\"-1\"", ""};
    for (const QByteArray& bad : broken) {
        QByteArray bytes = linked;
        if (bad.isEmpty()) {
            bytes.replace("\"J1 n=7 K=38\"", "\"J2 n=7 K=38\"");
        } else {
            const QByteArray key = bad.left(bad.indexOf('=') + 1);
            const int at = bytes.indexOf(key);
            const int end = bytes.indexOf('"', at + key.size() + 1);
            bytes.replace(at, end + 1 - at, bad);
        }
        DataCenter reread;
        QVERIFY2(readInto(reread, bytes), bad.constData());
        QCOMPARE(reread.field.sets.size(), 2);
        QVERIFY2(!reread.field.sets[0].hasPlane(), bad.constData());
        QCOMPARE(reread.field.sets[0].planeDirection, -1.0);
        QVERIFY(!written(reread).contains("planeId"));
    }
    // A file names its planes' ids as they are: a wrong id is not guessed.
    QByteArray renumbered = linked;
    renumbered.replace("planeId=\"1\"", "planeId=\"3\"");
    DataCenter dropped;
    QVERIFY(readInto(dropped, renumbered));
    QVERIFY(!dropped.field.sets[0].hasPlane());
    QByteArray partial = linked;
    partial.replace(" planeCount=\"7\"", "");
    DataCenter reread;
    QVERIFY(readInto(reread, partial));
    QVERIFY(!reread.field.sets[0].hasPlane());
}

void TestSetLinks::linksFollowTheirPlanes() {
    QVERIFY(noteNamesSet(" J1 n=54 K=38", "J1"));
    QVERIFY(noteNamesSet("J1", "J1"));
    QVERIFY(!noteNamesSet("J10 n=3", "J1"));
    QVERIFY(!noteNamesSet("j1 n=3", "J1"));
    QVERIFY(!noteNamesSet("J1 n=3", ""));

    // Plane 2 was deleted in the data dialog and the rest renumbered: J3's
    // plane is now 2, J2's is gone, J10 keeps its own, J4 names a plane it
    // never had and J5 the same plane as J3.
    QVector<JointSet> sets = {linkedSet("J2", 2), linkedSet("J3", 3), linkedSet("J10", 4),
                              linkedSet("J4", 9), linkedSet("J1", 1), linkedSet("J5", 2)};
    const QList<PlaneRecord> planes = {plane(1, 10, 10, "J1 n=5"), plane(2, 20, 20, "J3 n=6"),
                                       plane(3, 30, 30, "J10 n=7"), plane(4, 40, 40, "J4 n=1"),
                                       plane(5, 50, 50, "J4 n=2")};
    const auto ids = [](const QVector<JointSet>& linked) {
        QVector<int> id;
        for (const JointSet& s : linked)
            id << s.planeId;
        return id;
    };
    // Anywhere but after the data dialog a link holds only to its own id.
    QVector<JointSet> strict = sets;
    QVERIFY(dropStaleSetLinks(strict, planes));
    QCOMPARE(ids(strict), (QVector<int>{0, 0, 0, 0, 1, 0}));
    QVERIFY(followSetPlanes(sets, planes));
    QCOMPARE(ids(sets), (QVector<int>{0, 2, 3, 0, 1, 0}));
    QCOMPARE(sets[0].planeDirection, -1.0);
    QCOMPARE(sets[0].planeCount, 0);
    QCOMPARE(sets[1].planeCount, 7); // a followed link keeps what it recorded
    QVERIFY(!followSetPlanes(sets, planes));
}

void TestSetLinks::linksCarriedOverNewSets() {
    // Automatic sets replace J1..J3 by J1, J2: the links go by name, and a
    // plane held already is not given twice.
    const QVector<JointSet> before = {linkedSet("J1", 1), linkedSet("J2", 2), linkedSet("J3", 3)};
    QVector<JointSet> after = {JointSet{"J1", 1, 10, 10, 10}, JointSet{"J2", 1, 20, 20, 20},
                               linkedSet("J4", 1)};
    carrySetLinks(after, before);
    QCOMPARE(after[0].planeId, 0); // J4 holds plane 1 already
    QCOMPARE(after[1].planeId, 2);
    QCOMPARE(after[1].planeDirection, 280.0);
    QCOMPARE(after[1].planeCount, 7);
    QCOMPARE(after[1].centerDirection, 20.0);
    QCOMPARE(after[2].planeId, 1);
}

void TestSetLinks::setPlanesAddedThenUpdated() {
    QRandomGenerator rng(23);
    FieldData field = threeSets(rng);
    QVector<SetStatistics> stats = jointSetStatistics(field);
    QList<PlaneRecord> planes = {plane(1, 200, 60, "typed"), plane(4, 90, 30)};

    SetPlanesResult put = putSetPlanes(field, stats, {0, 1, 2}, planes);
    QCOMPARE(put.added, 3);
    QCOMPARE(put.updated, 0);
    QCOMPARE(planes.size(), 5);
    for (int s = 0; s < 3; ++s) {
        const PlaneRecord& p = planes[2 + s];
        QCOMPARE(p.id, 5 + s); // after the highest id
        QCOMPARE(p.type, int(Joint));
        QCOMPARE(field.sets[s].planeId, p.id);
        QVERIFY(noteNamesSet(p.notes, field.sets[s].name));
        QVERIFY(p.notes.contains(QStringLiteral(" n=40 ")));
        QCOMPARE(field.sets[s].planeDirection, p.direction);
        QCOMPARE(field.sets[s].planeAngle, p.angle);
        QCOMPARE(field.sets[s].planeCount, 40);
        QVERIFY(p.angle <= 89.9);
        if (s < 2)
            QCOMPARE(p.direction, stats[s].direction);
    }
    // The pole of the steep set straddles the primitive circle: its mean is
    // the set's own (not folded into a flat mean), and when steeper than the
    // net draws it enters at 89.9° with a note that says so.
    QVERIFY(axialAngle(planeAxis(stats[2].direction, stats[2].angle), planeAxis(20, 89.95)) < 3);
    QCOMPARE(planes[4].angle > 89.89, stats[2].angle > 89.9);
    QCOMPARE(planes[4].notes.contains(QStringLiteral("按89.9°")), stats[2].angle > 89.9);
    QVERIFY(changedSetPlanes(field, stats).isEmpty());
    QCOMPARE(setPlaneUseLines(field, planes).first(),
             QStringLiteral("J1 → 结构面5 (%1)").arg(planeText(stats[0].direction, stats[0].angle)));

    // The user makes plane 5 a bedding plane; then J1 loses ten poles and J2
    // gains them: both are out of date, J3 is not.
    planes[2].type = Bedding;
    planes[2].calculated = true;
    int moved = 0;
    for (Measurement& m : field.measurements)
        if (m.set == QLatin1String("J1") && moved < 10) {
            m.set = QStringLiteral("J2");
            ++moved;
        }
    stats = jointSetStatistics(field);
    QCOMPARE(changedSetPlanes(field, stats), (QVector<int>{0, 1}));
    put = putSetPlanes(field, stats, changedSetPlanes(field, stats), planes);
    QCOMPARE(put.added, 0);
    QCOMPARE(put.updated, 2);
    QCOMPARE(planes.size(), 5);
    QCOMPARE(planes[2].id, 5);
    QCOMPARE(planes[2].type, int(Bedding));
    QVERIFY(!planes[2].calculated);
    QVERIFY(planes[2].notes.startsWith(QStringLiteral("J1 n=30")));
    QCOMPARE(planes[3].direction, stats[1].direction);
    QVERIFY(changedSetPlanes(field, stats).isEmpty());

    // Declining records the change all the same, so it is asked once.
    field.measurements.removeLast();
    stats = jointSetStatistics(field);
    QCOMPARE(changedSetPlanes(field, stats), (QVector<int>{2}));
    recordSetPlane(field, stats, 2);
    QVERIFY(changedSetPlanes(field, stats).isEmpty());
    QCOMPARE(field.sets[2].planeCount, 39);

    // A set emptied makes no plane and is not reported.
    for (Measurement& m : field.measurements)
        if (m.set == QLatin1String("J3"))
            m.set.clear();
    stats = jointSetStatistics(field);
    QVERIFY(changedSetPlanes(field, stats).isEmpty());
    QCOMPARE(putSetPlanes(field, stats, {2}, planes).updated, 0);
}

void TestSetLinks::roomForNewPlanes() {
    QRandomGenerator rng(7);
    FieldData field = threeSets(rng, 10);
    field.sets.append(JointSet{"J4", 1, 300, 10, 5}); // no poles
    const QVector<SetStatistics> stats = jointSetStatistics(field);
    QList<PlaneRecord> planes;
    for (int i = 1; i <= 6; ++i)
        planes.append(plane(i, 30 * i, 40));
    const int room = setPlaneRoom(planes, 8);
    QCOMPARE(room, 2);
    QCOMPARE(newSetPlanes(field, stats, {0, 1, 2, 3}), 3); // more than the room: the user picks
    QCOMPARE(defaultSetPlaneChoice(field, stats, room), (QVector<int>{0, 1}));

    // Linked sets update their planes and take no room.
    putSetPlanes(field, stats, {2}, planes);
    QCOMPARE(planes.size(), 7);
    QCOMPARE(setPlaneRoom(planes, 8), 1);
    QCOMPARE(newSetPlanes(field, stats, {0, 1, 2, 3}), 2);
    QCOMPARE(defaultSetPlaneChoice(field, stats, 1), (QVector<int>{0, 2}));
    QCOMPARE(defaultSetPlaneChoice(field, stats, 0), (QVector<int>{2}));
    planes.append(plane(8, 1, 1));
    QCOMPARE(setPlaneRoom(planes, 8), 0);
}

QTEST_APPLESS_MAIN(TestSetLinks)
#include "test_setlinks.moc"
