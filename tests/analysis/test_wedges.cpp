// Lines of intersection and apparent dips, checked against worked examples
// and against vector algebra written independently of the model's formulas.
#include "tests/common/testplanes.h"
#include "model/datacenter.h"

#include <QtTest>

#include <cmath>
#include <random>

namespace {
constexpr double kPi = 3.14159265358979323846;
double rad(double d) {
    return d * kPi / 180.0;
}
double deg(double r) {
    return r * 180.0 / kPi;
}

// Unit vector down a line of the given trend and plunge (east, north, up).
std::array<double, 3> lineVector(double trend, double plunge) {
    return {{std::sin(rad(trend)) * std::cos(rad(plunge)), std::cos(rad(trend)) * std::cos(rad(plunge)),
             -std::sin(rad(plunge))}};
}

// Dip vector of a plane: the steepest line in it, pointing down-dip.
std::array<double, 3> dipVector(double direction, double dip) {
    return lineVector(direction, dip);
}

// Horizontal line in the plane (its strike).
std::array<double, 3> strikeVector(double direction) {
    return {{std::sin(rad(direction - 90)), std::cos(rad(direction - 90)), 0.0}};
}

double dot(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Angle between two directions, 0..180.
double azimuthGap(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}
} // namespace

class TestWedges : public QObject {
    Q_OBJECT
private slots:
    void workedExamples_data();
    void workedExamples();
    void pairOrderAndIds();
    void excludedPairs();
    void wedgeGeometryAndValidity();
    void randomPairsLieInBothPlanes();
    void apparentDips();
    void apparentDipsAgainstSpaceVectors();
};

void TestWedges::workedExamples_data() {
    QTest::addColumn<double>("dirA");
    QTest::addColumn<double>("dipA");
    QTest::addColumn<double>("dirB");
    QTest::addColumn<double>("dipB");
    QTest::addColumn<double>("trend");
    QTest::addColumn<double>("plunge");
    QTest::addColumn<double>("tol");
    // Two planes dipping 60° east and 60° south meet in a line running
    // south-east, plunging atan(tan60·cos45) = 50.77°.
    QTest::newRow("090/60 x 180/60") << 90.0 << 60.0 << 180.0 << 60.0 << 135.0 << 50.77 << 0.005;
    // Hoek & Bray's wedge example: planes 105/45 and 235/70 intersect in a
    // line plunging 31.2° towards 157.7°.
    QTest::newRow("Hoek-Bray wedge") << 105.0 << 45.0 << 235.0 << 70.0 << 157.7 << 31.2 << 0.05;
    // Symmetric about north: trend 0, plunge atan(tan45·cos45) = 35.26°.
    QTest::newRow("symmetric 045/315") << 45.0 << 45.0 << 315.0 << 45.0 << 0.0 << 35.26 << 0.005;
    // A vertical plane striking east-west cuts 090/30 along its dip line.
    QTest::newRow("vertical with inclined") << 0.0 << 90.0 << 90.0 << 30.0 << 90.0 << 30.0 << 1e-9;
}

void TestWedges::workedExamples() {
    QFETCH(double, dirA);
    QFETCH(double, dipA);
    QFETCH(double, dirB);
    QFETCH(double, dipB);
    QFETCH(double, trend);
    QFETCH(double, plunge);
    QFETCH(double, tol);
    DataCenter dc;
    dc.planes = {makePlane(1, dirA, dipA), makePlane(2, dirB, dipB)};
    dc.computeWedges();
    QCOMPARE(dc.wedges.size(), 1);
    const PlaneRecord w = dc.wedges.first(); // a copy: the next run rebuilds the list
    QVERIFY(w.direction >= 0 && w.direction < 360);
    QVERIFY2(azimuthGap(w.direction, trend) <= tol, qPrintable(QString::number(w.direction, 'f', 4)));
    QVERIFY2(std::fabs(w.angle - plunge) <= tol, qPrintable(QString::number(w.angle, 'f', 4)));

    // The order of the two planes does not change the line.
    dc.planes = {makePlane(1, dirB, dipB), makePlane(2, dirA, dipA)};
    dc.computeWedges();
    QCOMPARE(dc.wedges.size(), 1);
    QVERIFY(std::fabs(dc.wedges.first().direction - w.direction) < 1e-9);
    QVERIFY(std::fabs(dc.wedges.first().angle - w.angle) < 1e-9);
}

void TestWedges::pairOrderAndIds() {
    DataCenter dc;
    // Ids need not follow list positions: the id is built from the records.
    dc.planes = {makePlane(1, 10, 50), makePlane(2, 100, 40), makePlane(3, 200, 60), makePlane(4, 290, 70)};
    dc.computeWedges();
    QList<int> ids;
    for (const PlaneRecord& w : dc.wedges)
        ids << w.id;
    QCOMPARE(ids, (QList<int>{102, 103, 104, 203, 204, 304}));

    dc.planes = {makePlane(3, 10, 50), makePlane(1, 100, 40)};
    dc.computeWedges();
    QCOMPARE(dc.wedges.size(), 1);
    QCOMPARE(dc.wedges.first().id, 301); // earlier plane in list order first

    // Eight planes in general position give all 28 pairs.
    dc.planes.clear();
    for (int k = 0; k < 8; ++k)
        dc.planes << makePlane(k + 1, 13 + 41 * k, 25 + 7 * k);
    dc.computeWedges();
    QCOMPARE(dc.wedges.size(), 28);
    QCOMPARE(dc.wedges.first().id, 102);
    QCOMPARE(dc.wedges.last().id, 708);

    // Fewer than two planes: no wedges, and old wedges are dropped.
    dc.planes = {makePlane(1, 10, 50)};
    dc.computeWedges();
    QVERIFY(dc.wedges.isEmpty());
}

void TestWedges::excludedPairs() {
    struct Case {
        const char* name;
        PlaneRecord a, b;
    } cases[] = {
        {"opposite dip directions", makePlane(1, 120, 40), makePlane(2, 300, 60)},
        {"equal dip directions", makePlane(1, 120, 40), makePlane(2, 120, 60)},
        {"identical planes", makePlane(1, 75, 35), makePlane(2, 75, 35)},
        {"horizontal plane", makePlane(1, 0, 0), makePlane(2, 75, 35)},
        {"two vertical planes", makePlane(1, 30, 90), makePlane(2, 100, 90)},
        // Strikes 0.0005° apart: the line is horizontal to within 1e-5.
        {"nearly equal dip directions", makePlane(1, 120, 40), makePlane(2, 120.0005, 60)},
    };
    for (const Case& c : cases) {
        DataCenter dc;
        dc.planes = {c.a, c.b};
        dc.computeWedges();
        QVERIFY2(dc.wedges.isEmpty(), c.name);
    }
    // One excluded pair does not stop the others.
    DataCenter dc;
    dc.planes = {makePlane(1, 120, 40), makePlane(2, 300, 60), makePlane(3, 200, 50)};
    dc.computeWedges();
    QCOMPARE(dc.wedges.size(), 2);
    QCOMPARE(dc.wedges.at(0).id, 103);
    QCOMPARE(dc.wedges.at(1).id, 203);
}

void TestWedges::wedgeGeometryAndValidity() {
    for (bool upper : {true, false}) {
        DataCenter dc;
        dc.UpperMode = upper;
        dc.planes = {makePlane(1, 90, 60), makePlane(2, 180, 60)};
        dc.computeWedges();
        QCOMPARE(dc.wedges.size(), 1);
        const PlaneRecord& w = dc.wedges.first();
        QVERIFY(w.calculated);
        QCOMPARE(w.type, int(Joint));
        QCOMPARE(w.state, 1);
        // The projected line: equal-angle distance tan((90 - plunge)/2),
        // towards the trend on the lower hemisphere, opposite on the upper.
        const double r = std::tan(rad(90 - w.angle) / 2);
        const double sign = upper ? -1 : 1;
        QVERIFY(std::fabs(w.MidPoint.x() - sign * r * std::sin(rad(135))) < 1e-9);
        QVERIFY(std::fabs(w.MidPoint.y() - sign * r * std::cos(rad(135))) < 1e-9);
        // Planes are given their upward unit normals.
        for (const PlaneRecord& p : dc.planes) {
            QVERIFY(std::fabs(dot(p.normal, p.normal) - 1) < 1e-12);
            QVERIFY(p.normal[2] > 0);
        }
    }
    // A near-vertical line (plunge above 89.91) is kept but not drawn.
    DataCenter dc;
    dc.planes = {makePlane(1, 0, 89.98), makePlane(2, 90, 89.98)};
    dc.computeWedges();
    QCOMPARE(dc.wedges.size(), 1);
    QVERIFY(dc.wedges.first().angle > 89.91);
    QVERIFY(!dc.wedges.first().calculated);
}

void TestWedges::randomPairsLieInBothPlanes() {
    std::mt19937 rng(20240607);
    std::uniform_real_distribution<double> dirDist(0, 359.9);
    std::uniform_real_distribution<double> dipDist(0, 89.91);
    int checked = 0;
    for (int n = 0; n < 20000; ++n) {
        const double da = dirDist(rng), pa = dipDist(rng), db = dirDist(rng), pb = dipDist(rng);
        DataCenter dc;
        dc.planes = {makePlane(1, da, pa), makePlane(2, db, pb)};
        dc.computeWedges();
        if (dc.wedges.isEmpty()) {
            // Only nearly parallel strikes (equal or opposite dip directions) or
            // nearly horizontal planes may lose their wedge.
            const double gap = azimuthGap(da, db);
            QVERIFY2(gap < 0.5 || gap > 179.5 || pa < 0.5 || pb < 0.5,
                     qPrintable(QStringLiteral("%1/%2 x %3/%4").arg(da).arg(pa).arg(db).arg(pb)));
            continue;
        }
        ++checked;
        const PlaneRecord& w = dc.wedges.first();
        QVERIFY(w.direction >= 0 && w.direction < 360);
        QVERIFY(w.angle > 0 && w.angle < 90);
        // The line lies in both planes: it is perpendicular to the normal
        // spanned by each plane's strike and dip vectors.
        const auto line = lineVector(w.direction, w.angle);
        for (const auto& pr : {std::make_pair(da, pa), std::make_pair(db, pb)}) {
            const auto s = strikeVector(pr.first);
            const auto d = dipVector(pr.first, pr.second);
            // normal = s × d
            const std::array<double, 3> normal{
                {s[1] * d[2] - s[2] * d[1], s[2] * d[0] - s[0] * d[2], s[0] * d[1] - s[1] * d[0]}};
            QVERIFY2(std::fabs(dot(line, normal)) < 1e-9, qPrintable(QString::number(dot(line, normal))));
        }
        QVERIFY(line[2] < 0); // it plunges downward
    }
    QVERIFY(checked > 19000);
}

void TestWedges::apparentDips() {
    DataCenter dc;
    dc.slope.direction = 350;
    dc.slope.angle = 60;
    dc.slope.directionDelta = 123; // left alone
    dc.planes = {makePlane(1, 10, 40), makePlane(2, 190, 40), makePlane(3, 80, 90), makePlane(4, 350, 0)};
    dc.computeApparentDips();
    QCOMPARE(dc.slope.apparentAngle, 60.0);
    QCOMPARE(dc.slope.slopeApparentAngle, 60.0);
    QCOMPARE(dc.slope.directionDelta, 123.0);

    // Across north: 350 and 10 are 20° apart, not 340.
    QVERIFY(std::fabs(dc.planes[0].directionDelta - 20) < 1e-9);
    QVERIFY(std::fabs(dc.planes[1].directionDelta - 160) < 1e-9);
    // Dipping away from the face: both apparent dips negative.
    QVERIFY(dc.planes[1].apparentAngle < 0);
    QVERIFY(dc.planes[1].slopeApparentAngle < 0);
    // Vertical plane.
    QCOMPARE(dc.planes[2].apparentAngle, 90.0);
    QCOMPARE(dc.planes[2].slopeApparentAngle, 0.0);
    // Same direction as the slope: the slope's full dip.
    QVERIFY(std::fabs(dc.planes[3].slopeApparentAngle - 60) < 1e-9);
    QVERIFY(std::fabs(dc.planes[3].apparentAngle) < 1e-9);
}

// tan(apparent) = tan(dip)·cos(delta), checked through space vectors: the
// apparent dip of a plane in a direction is the plunge of the line in which
// the plane meets the vertical plane of that direction.
void TestWedges::apparentDipsAgainstSpaceVectors() {
    std::mt19937 rng(77);
    std::uniform_real_distribution<double> dirDist(0, 359.9);
    std::uniform_real_distribution<double> dipDist(0.1, 89.9);
    for (int n = 0; n < 5000; ++n) {
        DataCenter dc;
        dc.slope.direction = dirDist(rng);
        dc.slope.angle = dipDist(rng);
        dc.planes = {makePlane(1, dirDist(rng), dipDist(rng))};
        dc.computeApparentDips();
        const PlaneRecord& p = dc.planes.first();

        auto apparent = [](double planeDir, double planeDip, double towards) {
            // Horizontal unit vector towards `towards`, then descend along the
            // plane: the plane's height falls by tan(dip) per unit moved along
            // its dip direction.
            const double along = std::cos(rad(towards - planeDir));
            return deg(std::atan(std::tan(rad(planeDip)) * along));
        };
        QVERIFY(std::fabs(p.apparentAngle - apparent(p.direction, p.angle, dc.slope.direction)) < 1e-7);
        QVERIFY(std::fabs(p.slopeApparentAngle - apparent(dc.slope.direction, dc.slope.angle, p.direction)) <
                1e-7);
        QVERIFY(std::fabs(p.directionDelta - azimuthGap(p.direction, dc.slope.direction)) < 1e-9);

        // The line of the plane in the slope's vertical direction plane is
        // perpendicular to the plane's normal.
        const auto line = lineVector(p.apparentAngle >= 0 ? dc.slope.direction : dc.slope.direction + 180,
                                     std::fabs(p.apparentAngle));
        const std::array<double, 3> normal{{std::sin(rad(p.direction)) * std::sin(rad(p.angle)),
                                            std::cos(rad(p.direction)) * std::sin(rad(p.angle)),
                                            std::cos(rad(p.angle))}};
        QVERIFY(std::fabs(dot(line, normal)) < 1e-9);
    }
}

QTEST_GUILESS_MAIN(TestWedges)
#include "test_wedges.moc"
