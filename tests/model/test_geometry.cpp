#include "model/datacenter.h"

#include <QtTest>

#include <cmath>
#include <random>

class TestGeometry : public QObject {
    Q_OBJECT
private slots:
    void defaultProject();
    void slope45BothHemispheres();
    void dipZeroAndLimits();
    void polarAngleQuadrants();
    void circleThroughCollinear();
    void propertiesForRandomAttitudes();
    void lazyUpdate();
};

static bool near(double a, double b, double tol = 1e-7) { return std::fabs(a - b) <= tol; }
static bool nearPoint(const QPointF& p, double x, double y, double tol = 1e-7) {
    return near(p.x(), x, tol) && near(p.y(), y, tol);
}

void TestGeometry::defaultProject() {
    DataCenter dc;
    QCOMPARE(dc.ProjectName, QStringLiteral("某工程调绘点1"));
    QCOMPARE(dc.slope.id, 0);
    QCOMPARE(dc.slope.direction, 0.0);
    QCOMPARE(dc.slope.angle, 45.0);
    QCOMPARE(dc.slope.type, int(SlopeFace));
    QVERIFY(dc.slope.calculated);
    QVERIFY(dc.planes.isEmpty());
    QVERIFY(dc.wedges.isEmpty());
    QCOMPARE(dc.analysisTime, QStringLiteral("2023"));
    QVERIFY(dc.analysisOff);
    QCOMPARE(dc.stateMessages.size(), 10);
    QCOMPARE(dc.stateMessages.value(40), QStringLiteral("倾向与边坡反向且二者夹角大于等于120°，倾倒破坏"));
    PlaneRecord fresh;
    QCOMPARE(fresh.type, int(Joint));
    QCOMPARE(fresh.directionDelta, 360.0);
    QCOMPARE(fresh.state, 1);
}

void TestGeometry::slope45BothHemispheres() {
    DataCenter dc;
    PlaneRecord r;
    r.direction = 0;
    r.angle = 45;
    dc.computePlaneGeometry(r);
    QVERIFY(nearPoint(r.StartPoint, -1, 0));
    QVERIFY(nearPoint(r.EndPoint, 1, 0));
    QVERIFY(nearPoint(r.MidPoint, 0, -0.41421356, 1e-8));
    QVERIFY(nearPoint(r.PolePoint, 0, 0.41421356, 1e-8));

    dc.UpperMode = false;
    dc.computePlaneGeometry(r);
    QVERIFY(nearPoint(r.StartPoint, 1, 0));
    QVERIFY(nearPoint(r.EndPoint, -1, 0));
    QVERIFY(nearPoint(r.MidPoint, 0, 0.41421356, 1e-8));
    QVERIFY(nearPoint(r.PolePoint, 0, -0.41421356, 1e-8));
}

void TestGeometry::dipZeroAndLimits() {
    DataCenter dc;
    PlaneRecord flat;
    flat.direction = 30;
    flat.angle = 0;
    dc.computePlaneGeometry(flat);
    QVERIFY(near(std::hypot(flat.MidPoint.x(), flat.MidPoint.y()), 1.0));
    QVERIFY(nearPoint(flat.PolePoint, 0, 0));

    auto withAttitude = [](double direction, double angle) {
        PlaneRecord r;
        r.direction = direction;
        r.angle = angle;
        return r;
    };
    QVERIFY(DataCenter::isValidAttitude(withAttitude(10, 89.91)));
    QVERIFY(!DataCenter::isValidAttitude(withAttitude(10, 89.92)));
    QVERIFY(DataCenter::isValidAttitude(withAttitude(359.9, 10)));
    QVERIFY(!DataCenter::isValidAttitude(withAttitude(359.95, 10)));
    QVERIFY(!DataCenter::isValidAttitude(withAttitude(-0.1, 10)));
    QVERIFY(!DataCenter::isValidAttitude(withAttitude(10, -1)));
    // Every comparison with NaN is false, so a range test alone lets it pass.
    for (const double bad : {qQNaN(), qInf(), -qInf()}) {
        QVERIFY(!DataCenter::isValidAttitude(withAttitude(bad, 10)));
        QVERIFY(!DataCenter::isValidAttitude(withAttitude(10, bad)));
    }

    // 89.91 still finds a circle; at 89.92 the three points are collinear
    // and the span falls back to a straight 180 degrees.
    PlaneRecord steep = withAttitude(10, 89.91);
    dc.computePlaneGeometry(steep);
    QVERIFY(near(std::hypot(steep.MidPoint.x(), steep.MidPoint.y()), 7.85e-4, 1e-6));
    QVERIFY(steep.CircleRadius > 100);
    PlaneRecord steeper = withAttitude(10, 89.92);
    steeper.CircleRadius = 123;
    dc.computePlaneGeometry(steeper);
    QCOMPARE(steeper.SpanRadius, 180.0);
    QCOMPARE(steeper.CircleRadius, 123.0);

    // The update skips invalid attitudes and leaves them undrawn.
    dc.planes = {withAttitude(10, 89.95), withAttitude(10, 89.91)};
    dc.updatePlanesGeometry();
    QVERIFY(!dc.planes[0].calculated);
    QVERIFY(dc.planes[1].calculated);
}

void TestGeometry::polarAngleQuadrants() {
    QCOMPARE(DataCenter::polarAngleOf(1, 0), 0.0);
    QCOMPARE(DataCenter::polarAngleOf(-1, 0), 180.0);
    QCOMPARE(DataCenter::polarAngleOf(0, 1), 90.0);
    QCOMPARE(DataCenter::polarAngleOf(0, -1), 270.0);
    QVERIFY(near(DataCenter::polarAngleOf(1, 1), 45));
    QVERIFY(near(DataCenter::polarAngleOf(-1, 1), 135));
    QVERIFY(near(DataCenter::polarAngleOf(-1, -1), 225));
    QVERIFY(near(DataCenter::polarAngleOf(1, -1), 315));
    QCOMPARE(DataCenter::polarAngleOf(0, 0), 0.0);
}

void TestGeometry::circleThroughCollinear() {
    QPointF c(7, 7);
    double r = 5;
    QVERIFY(!DataCenter::circleThrough3({-1, 0}, {0, 0}, {1, 0}, c, r));
    QCOMPARE(c, QPointF(7, 7));
    QCOMPARE(r, 5.0);
    QVERIFY(DataCenter::circleThrough3({-1, 0}, {0, 1}, {1, 0}, c, r));
    QVERIFY(nearPoint(c, 0, 0));
    QVERIFY(near(r, 1));
}

// For every valid attitude: the arc ends lie on the primitive, the middle
// point on the arc's circle, the arc runs counter-clockwise start→mid→end,
// and the pole sits at tan(dip/2) in the dip direction (upper) or opposite.
void TestGeometry::propertiesForRandomAttitudes() {
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> dirs(0, 359.9), dips(0.5, 89.5);
    for (bool upper : {true, false}) {
        DataCenter dc;
        dc.UpperMode = upper;
        for (int i = 0; i < 2000; ++i) {
            PlaneRecord r;
            r.direction = dirs(rng);
            r.angle = dips(rng);
            dc.computePlaneGeometry(r);
            QVERIFY(near(std::hypot(r.StartPoint.x(), r.StartPoint.y()), 1));
            QVERIFY(near(std::hypot(r.EndPoint.x(), r.EndPoint.y()), 1));
            const double dm = std::hypot(r.MidPoint.x() - r.CenterPoint.x(), r.MidPoint.y() - r.CenterPoint.y());
            QVERIFY2(near(dm, r.CircleRadius, 1e-6 * std::max(1.0, r.CircleRadius)), "mid point off circle");
            const double ds = std::hypot(r.StartPoint.x() - r.CenterPoint.x(), r.StartPoint.y() - r.CenterPoint.y());
            QVERIFY(near(ds, r.CircleRadius, 1e-6 * std::max(1.0, r.CircleRadius)));
            // mid angle lies inside the counter-clockwise span from the start
            double m = DataCenter::polarAngleOf(r.MidPoint.x() - r.CenterPoint.x(), r.MidPoint.y() - r.CenterPoint.y()) -
                       r.StartAngle;
            if (m < 0)
                m += 360;
            QVERIFY2(m > 0 && m < r.SpanRadius, "arc does not pass through the middle point");
            QVERIFY(r.SpanRadius > 0 && r.SpanRadius < 180.0 + 1e-9);
            // the arc's point at the start angle is StartPoint itself
            const double a = r.StartAngle * M_PI / 180;
            QVERIFY(nearPoint(QPointF(r.CenterPoint.x() + r.CircleRadius * std::cos(a),
                                      r.CenterPoint.y() + r.CircleRadius * std::sin(a)),
                              r.StartPoint.x(), r.StartPoint.y(), 1e-5 * std::max(1.0, r.CircleRadius)));
            const double pr = std::tan(r.angle * M_PI / 360);
            const double sign = upper ? 1 : -1;
            const double da = r.direction * M_PI / 180;
            QVERIFY(nearPoint(r.PolePoint, sign * pr * std::sin(da), sign * pr * std::cos(da), 1e-9));
        }
    }
}

void TestGeometry::lazyUpdate() {
    DataCenter dc;
    dc.slope.direction = 90;
    dc.updateSlopeGeometry(); // still flagged calculated: nothing recomputed
    QVERIFY(nearPoint(dc.slope.EndPoint, 1, 0));
    dc.slope.calculated = false;
    dc.updateSlopeGeometry();
    QVERIFY(dc.slope.calculated);
    QVERIFY(nearPoint(dc.slope.EndPoint, 0, -1));
    dc.slope.angle = 95;
    dc.slope.calculated = false;
    dc.updateSlopeGeometry();
    QVERIFY(!dc.slope.calculated);
}

QTEST_GUILESS_MAIN(TestGeometry)
#include "test_geometry.moc"
