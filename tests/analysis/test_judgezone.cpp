// Judgement zones: the documented cases, their agreement with the verdicts
// of the stability rules, and a sweep over the whole range of criteria.
#include "tests/common/testplanes.h"
#include "model/datacenter.h"
#include "model/judgezone.h"

#include <QtTest>

#include <cmath>
#include <random>

namespace {
constexpr double kPi = 3.14159265358979323846;
double rad(double d) {
    return d * kPi / 180.0;
}
double tanD(double d) {
    return std::tan(rad(d));
}

// Zone frame -> net coordinates, the way the view places a list drawn with
// y sign s: frame (x, y) goes to screen (x, s·y), the painter turns
// clockwise by the dip direction (upper hemisphere) or by it plus 180°
// (lower), and screen y points down.
QPointF toNet(const QPointF& p, double s, double dipDirection, bool upper) {
    const double a = rad(upper ? dipDirection : dipDirection + 180);
    const double X = p.x(), Y = s * p.y();
    const double dx = X * std::cos(a) - Y * std::sin(a);
    const double dy = X * std::sin(a) + Y * std::cos(a);
    return QPointF(dx, -dy);
}

QPointF toFrame(const QPointF& net, double s, double dipDirection, bool upper) {
    const double a = rad(upper ? dipDirection : dipDirection + 180);
    const double dx = net.x(), dy = -net.y();
    const double X = dx * std::cos(a) + dy * std::sin(a);
    const double Y = -dx * std::sin(a) + dy * std::cos(a);
    return QPointF(X, Y / s);
}

// The right half followed by its mirror image in reverse: the closed outline.
QVector<QPointF> closedOutline(const QVector<QPointF>& half) {
    QVector<QPointF> all = half;
    for (int i = half.size() - 1; i >= 0; --i)
        all.append(QPointF(-half[i].x(), half[i].y()));
    return all;
}

QVector<QPointF> mirrored(const QVector<QPointF>& half) {
    QVector<QPointF> out;
    for (const QPointF& p : half)
        out.append(QPointF(-p.x(), p.y()));
    return out;
}

bool insidePolygon(const QVector<QPointF>& poly, const QPointF& p) {
    bool inside = false;
    for (int i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const QPointF& a = poly[i];
        const QPointF& b = poly[j];
        if ((a.y() > p.y()) != (b.y() > p.y()) &&
            p.x() < (b.x() - a.x()) * (p.y() - a.y()) / (b.y() - a.y()) + a.x())
            inside = !inside;
    }
    return inside;
}

double cross(const QPointF& o, const QPointF& a, const QPointF& b) {
    return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
}

// True when segments ab and cd cross at a point interior to both.
bool properlyCross(const QPointF& a, const QPointF& b, const QPointF& c, const QPointF& d) {
    const double tol = 1e-12;
    const double d1 = cross(a, b, c), d2 = cross(a, b, d), d3 = cross(c, d, a), d4 = cross(c, d, b);
    return ((d1 > tol && d2 < -tol) || (d1 < -tol && d2 > tol)) &&
           ((d3 > tol && d4 < -tol) || (d3 < -tol && d4 > tol));
}

// Closed polygon without crossing edges (repeated points are allowed).
bool simplePolygon(const QVector<QPointF>& raw, QString* where) {
    QVector<QPointF> poly;
    for (const QPointF& p : raw)
        if (poly.isEmpty() || QLineF(poly.last(), p).length() > 1e-12)
            poly.append(p);
    while (poly.size() > 1 && QLineF(poly.first(), poly.last()).length() <= 1e-12)
        poly.removeLast();
    const int n = poly.size();
    for (int i = 0; i < n; ++i) {
        for (int j = i + 2; j < n; ++j) {
            if (i == 0 && j == n - 1)
                continue; // neighbours through the closing edge
            if (properlyCross(poly[i], poly[(i + 1) % n], poly[j], poly[(j + 1) % n])) {
                *where = QStringLiteral("edges %1 and %2 of %3").arg(i).arg(j).arg(n);
                return false;
            }
        }
    }
    return true;
}

bool allFiniteInside(const QVector<QPointF>& list) {
    for (const QPointF& p : list)
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()) || std::hypot(p.x(), p.y()) > 1 + 1e-9)
            return false;
    return true;
}

} // namespace

class TestJudgeZone : public QObject {
    Q_OBJECT
private slots:
    void greatCircleBothZones();
    void includedAngleNinety();
    void frictionEqualsSlopeDip();
    void frictionZero();
    void toppleLimits();
    void walksTakeTheirDocumentedSteps();
    void hemispheresDifferByHalfTurn();
    void zonesAgreeWithVerdicts_data();
    void zonesAgreeWithVerdicts();
    void sweepStaysFiniteAndInside();
    void outlinesDoNotCrossThemselves();
    void hostileCriteriaTerminate();
};

void TestJudgeZone::greatCircleBothZones() {
    JudgeZone z;
    z.buildGreatCircleZones(60, 30, 27);
    QVERIFY(z.slidingZone.size() > 10);
    QVERIFY(z.marginZone.size() > 10);
    QCOMPARE(z.slidingZone.first(), QPointF(0, tanD(15)));
    QVERIFY(std::fabs(z.slidingZone.last().y() - tanD(31.5)) < 1e-12);
    QCOMPARE(z.slidingZone.last().x(), 0.0);
    QVERIFY(std::fabs(z.frictionRadius - tanD(31.5)) < 1e-12);
    // The margin zone is a closed ring from the slope circle at the included
    // angle back to the same point.
    QCOMPARE(z.marginZone.first(), z.marginZone.last());
    const QPointF pBeta = z.marginZone.first();
    QVERIFY(std::fabs(std::atan2(pBeta.x(), pBeta.y()) - rad(30)) < 1e-12);
    // Its widest point is where the slope's apparent dip equals the friction
    // angle: about 73° from the dip direction.
    double widest = 0;
    for (const QPointF& p : z.marginZone)
        widest = std::max(widest, std::atan2(p.x(), p.y()) * 180 / kPi);
    QVERIFY(std::fabs(widest - std::acos(tanD(27) / tanD(60)) * 180 / kPi) < 1e-9);
    QVERIFY(std::fabs(widest - 72.9) < 0.1);
    QVERIFY(std::fabs(z.limitPoint1.x() - 0.5) < 1e-12 && z.limitPoint1.y() < 0);
    QCOMPARE(z.limitPoint2, QPointF(-z.limitPoint1.x(), z.limitPoint1.y()));
}

void TestJudgeZone::includedAngleNinety() {
    JudgeZone z;
    z.buildGreatCircleZones(60, 90, 27);
    QVERIFY(z.marginZone.isEmpty());
    QVERIFY(z.slidingZone.size() > 10);
    QVERIFY(std::fabs(z.limitPoint1.y()) < 0.00001); // no included-angle lines
    QVERIFY(std::fabs(z.limitPoint2.y()) < 0.00001);
    z.buildPoleZones(60, 90, 27);
    QVERIFY(z.marginZone.isEmpty());
    QVERIFY(z.slidingZone.size() > 10);
    QVERIFY(std::fabs(z.limitPoint1.y()) < 0.00001);
    // Rebuilding with a smaller angle brings the margin zone back.
    z.buildPoleZones(60, 30, 27);
    QVERIFY(!z.marginZone.isEmpty());
    QCOMPARE(z.marginZone.first(), z.marginZone.last());
}

void TestJudgeZone::frictionEqualsSlopeDip() {
    JudgeZone z;
    z.buildGreatCircleZones(60, 30, 27);
    z.buildGreatCircleZones(60, 30, 60);
    QVERIFY(z.slidingZone.isEmpty());
    QVERIFY(z.marginZone.isEmpty());
    QVERIFY(z.frictionRadius < 0.99999); // the friction circle is still drawn
    z.buildPoleZones(60, 30, 27);
    z.buildPoleZones(60, 30, 60);
    QVERIFY(z.slidingZone.isEmpty());
    QVERIFY(z.marginZone.isEmpty());
    QCOMPARE(z.envelope.size(), 91); // the envelope is always there
    QVERIFY(z.frictionRadius > 0.00001);
}

void TestJudgeZone::frictionZero() {
    JudgeZone z;
    z.buildGreatCircleZones(60, 30, 0);
    QVERIFY(!(z.frictionRadius < 0.99999)); // not drawn
    QVERIFY(!z.slidingZone.isEmpty());
    QVERIFY(allFiniteInside(z.slidingZone) && allFiniteInside(z.marginZone));
    z.buildPoleZones(60, 30, 0);
    QVERIFY(!(z.frictionRadius > 0.00001)); // not drawn either
    QVERIFY(!z.slidingZone.isEmpty());
    QVERIFY(allFiniteInside(z.slidingZone) && allFiniteInside(z.marginZone));
}

void TestJudgeZone::toppleLimits() {
    JudgeZone z;
    z.setModes(true, true, true);
    z.buildGreatCircleTopple(29, 20, 0);
    QVERIFY(z.topplingZone.isEmpty());
    z.buildPoleTopple(29.999, 20, 0);
    QVERIFY(z.topplingZone.isEmpty());
    z.buildGreatCircleTopple(30, 20, 0);
    QVERIFY(!z.topplingZone.isEmpty());
    z.buildGreatCircleTopple(60, 20, 60); // friction angle reaches the slope dip
    QVERIFY(z.topplingZone.isEmpty());

    z.buildGreatCircleTopple(60, 20, 30);
    // Along the dip direction the edge sits at the dip vector of a plane
    // dipping 30 + 90 - 60 = 60°; the zone closes at the centre.
    QCOMPARE(z.topplingZone.first(), QPointF(0, tanD(15)));
    QCOMPARE(z.topplingZone.last(), QPointF(0, 0));
    QCOMPARE(z.topplingZone.size(), 1 + 19 + 1 + 1);
    z.buildGreatCircleTopple(60, 1, 30); // no walk for an angle of 1
    QCOMPARE(z.topplingZone.size(), 3);

    z.buildPoleTopple(60, 20, 30);
    QCOMPARE(z.topplingZone.first(), QPointF(0, tanD(30)));
    QCOMPARE(z.topplingZone.last(), QPointF(0, 1));
    QVERIFY(allFiniteInside(z.topplingZone));

    z.setModes(true, true, false);
    z.buildPoleTopple(60, 20, 30);
    QVERIFY(z.topplingZone.isEmpty());
    z.buildGreatCircleTopple(60, 20, 30);
    QVERIFY(z.topplingZone.isEmpty());
}

// Point counts worked out by hand for slope 60°, friction 27° (θ0 = 72.89°,
// the slope circle's centre at (0, -1.732) with radius 2): each walk over
// whole degrees must start, stop and round where the construction says.
void TestJudgeZone::walksTakeTheirDocumentedSteps() {
    JudgeZone z;
    z.setModes(true, true, true);
    // Included angle 30.5: Pβ is seen at 4.43° from the slope circle's
    // centre and Q at 17.03°.
    z.buildGreatCircleZones(60, 30.5, 27);
    // (0,c) + k = 1..4 + Pβ + F + friction 30..1 + (0,rf)
    QCOMPARE(z.slidingZone.size(), 1 + 4 + 1 + 1 + 30 + 1);
    // Pβ + m = 5..17 + Q + friction 72..31 + F + Pβ
    QCOMPARE(z.marginZone.size(), 1 + 13 + 1 + 42 + 1 + 1);
    z.buildPoleZones(60, 30.5, 27);
    // (0,d) + friction 1..29 + Fβ + Pβ + envelope 60..90 + (0, tan30)
    QCOMPARE(z.slidingZone.size(), 1 + 29 + 1 + 1 + 31 + 1);
    // Fβ + friction 31..72 + Q + envelope 18..59 + Pβ + Fβ
    QCOMPARE(z.marginZone.size(), 1 + 42 + 1 + 42 + 1 + 1);
    // Included angle 80, beyond θ0.
    z.buildGreatCircleZones(60, 80, 27);
    // (0,c) + k = 1..17 + Q + friction 72..1 + (0,rf)
    QCOMPARE(z.slidingZone.size(), 1 + 17 + 1 + 72 + 1);
    QVERIFY(z.marginZone.isEmpty());
    z.buildPoleZones(60, 80, 27);
    // (0,d) + friction 1..72 + Q + envelope 18..90 + (0, tan30)
    QCOMPARE(z.slidingZone.size(), 1 + 72 + 1 + 73 + 1);
    QVERIFY(z.marginZone.isEmpty());
    // Toppling in pole mode, slope 60, included 20, friction 30: P is seen
    // at 10.15° from the centre of the circle through (0, tan30) and (±1, 0).
    z.buildPoleTopple(60, 20, 30);
    // (0,c) + k = 1..10 + P + (sin20, cos20) + primitive 20..1 + (0,1)
    QCOMPARE(z.topplingZone.size(), 1 + 10 + 1 + 1 + 20 + 1);
    // P lies on the included-angle line at tan(45 - atan(tan30·cos20)/2) = 0.5951.
    const QPointF p = z.topplingZone.at(11);
    QVERIFY(std::fabs(std::hypot(p.x(), p.y()) - 0.5951) < 1e-4);
    QVERIFY(std::fabs(std::atan2(p.x(), p.y()) - rad(20)) < 1e-12);
    QVERIFY(std::fabs(z.topplingZone.at(12).x() - std::sin(rad(20))) < 1e-12);
}

// The zone lists do not depend on the hemisphere; the view turns them by the
// dip direction on the upper and by 180° more on the lower hemisphere. Both
// must land on the slope's own projection from the geometry code.
void TestJudgeZone::hemispheresDifferByHalfTurn() {
    for (double dir : {0.0, 37.0, 181.5, 300.0}) {
        DataCenter dc;
        dc.slope.direction = dir;
        dc.slope.angle = 55;
        dc.analysisOff = false;
        dc.Topple = true;
        QVector<QPointF> lists[2][2];
        for (bool upper : {true, false}) {
            for (bool big : {true, false}) {
                dc.UpperMode = upper;
                dc.BigCircle = big;
                dc.slope.calculated = false;
                dc.updateSlopeGeometry();
                dc.analyse();
                const JudgeZone& z = dc.judgeZone;
                lists[upper][big] = z.slidingZone + z.marginZone + z.topplingZone;
                if (big) {
                    // The sliding zone starts at the slope's dip vector.
                    const QPointF p = toNet(z.slidingZone.first(), +1, dir, upper);
                    QVERIFY(QLineF(p, dc.slope.MidPoint).length() < 1e-9);
                } else {
                    // ... and in pole mode ends at the slope's pole.
                    const QPointF p = toNet(z.slidingZone.last(), -1, dir, upper);
                    QVERIFY(QLineF(p, dc.slope.PolePoint).length() < 1e-9);
                    QVERIFY(QLineF(toNet(z.envelope.last(), -1, dir, upper), dc.slope.PolePoint).length() <
                            1e-9);
                }
            }
        }
        QCOMPARE(lists[true][true], lists[false][true]);
        QCOMPARE(lists[true][false], lists[false][false]);
        for (const QPointF& p : lists[true][true]) {
            const QPointF u = toNet(p, 1, dir, true), l = toNet(p, 1, dir, false);
            QVERIFY(QLineF(u, -l).length() < 1e-12);
        }
    }
}

void TestJudgeZone::zonesAgreeWithVerdicts_data() {
    QTest::addColumn<bool>("upper");
    QTest::addColumn<bool>("big");
    QTest::addColumn<double>("dir");
    QTest::addColumn<double>("psi");
    QTest::addColumn<double>("beta");
    QTest::addColumn<double>("phi");
    for (bool upper : {true, false})
        for (bool big : {true, false}) {
            const QString tag =
                QStringLiteral("%1 %2 ").arg(upper ? "upper" : "lower", big ? "circles" : "poles");
            QTest::newRow(qPrintable(tag + "60/30/27")) << upper << big << 20.0 << 60.0 << 30.0 << 27.0;
            QTest::newRow(qPrintable(tag + "75/12.5/35")) << upper << big << 200.0 << 75.0 << 12.5 << 35.0;
            QTest::newRow(qPrintable(tag + "40/90/20")) << upper << big << 355.0 << 40.0 << 90.0 << 20.0;
            QTest::newRow(qPrintable(tag + "50/30/0")) << upper << big << 90.0 << 50.0 << 30.0 << 0.0;
            QTest::newRow(qPrintable(tag + "85/45/80")) << upper << big << 135.0 << 85.0 << 45.0 << 80.0;
        }
}

// A plane judged unstable (31..34) plots inside the closed sliding zone, one
// stable only by the included angle (13, 14) in the margin zone, and no
// other plane in either. Planes close to a boundary are left out, since the
// zones trace their curves through whole degrees.
void TestJudgeZone::zonesAgreeWithVerdicts() {
    QFETCH(bool, upper);
    QFETCH(bool, big);
    QFETCH(double, dir);
    QFETCH(double, psi);
    QFETCH(double, beta);
    QFETCH(double, phi);
    DataCenter dc;
    dc.UpperMode = upper;
    dc.BigCircle = big;
    dc.slope.direction = dir;
    dc.slope.angle = psi;
    dc.IncludedAnglePlanar = beta;
    dc.FrictionAnglePlanar = phi;
    dc.analysisOff = false;

    dc.analyse(); // zones only: thousands of planes would make millions of wedges
    std::mt19937 rng(int(dir * 7 + psi));
    std::uniform_real_distribution<double> dirDist(0, 359.9);
    std::uniform_real_distribution<double> dipDist(0.5, 89.5);
    for (int n = 0; n < 4000; ++n)
        dc.planes.append(makePlane(n + 1, dirDist(rng), dipDist(rng)));
    dc.updatePlanesGeometry();
    dc.computeApparentDips();
    dc.judgeStability();
    const double s = big ? 1 : -1;
    const QVector<QPointF> sliding = closedOutline(dc.judgeZone.slidingZone);
    const QVector<QPointF> margin = dc.judgeZone.marginZone;
    const QVector<QPointF> marginMirror = mirrored(margin);

    int inSliding = 0, inMargin = 0;
    for (const PlaneRecord& p : dc.planes) {
        const double margin_ = 0.3;
        if (std::fabs(p.angle - p.slopeApparentAngle) < margin_ || std::fabs(p.angle - phi) < margin_ ||
            std::fabs(p.directionDelta - beta) < margin_)
            continue;
        const QPointF at = toFrame(big ? p.MidPoint : p.PolePoint, s, dir, upper);
        const bool slides = p.state >= 31 && p.state <= 34;
        const bool marginal = p.state == 13 || p.state == 14;
        const bool inS = sliding.size() > 2 && insidePolygon(sliding, at);
        const bool inM = margin.size() > 2 && (insidePolygon(margin, at) || insidePolygon(marginMirror, at));
        const QString what = QStringLiteral("plane %1∠%2 state %3 at (%4, %5)")
                                 .arg(p.direction)
                                 .arg(p.angle)
                                 .arg(p.state)
                                 .arg(at.x())
                                 .arg(at.y());
        QVERIFY2(slides == inS, qPrintable(what));
        QVERIFY2(marginal == inM, qPrintable(what));
        inSliding += inS;
        inMargin += inM;
    }
    if (phi < psi)
        QVERIFY(inSliding > 0);
    if (beta < 89)
        QVERIFY(inMargin > 0);
}

void TestJudgeZone::sweepStaysFiniteAndInside() {
    QVector<double> frictions, includes;
    for (double f = 0; f < 90; f += 1.5)
        frictions << f;
    frictions << 0.25 << 26.999999 << 89.9;
    for (double b = 1; b <= 90; b += 4.5)
        includes << b;
    includes << 89.99999 << 90 << 33.3;
    JudgeZone z;
    z.setModes(true, true, true);
    qint64 points = 0;
    for (int psi = 1; psi <= 89; ++psi) {
        for (double phi : frictions) {
            for (double beta : includes) {
                const double angles[] = {double(psi), psi + 0.5};
                for (double slope : angles) {
                    z.buildGreatCircleZones(slope, beta, phi);
                    const bool ok1 = allFiniteInside(z.slidingZone) && allFiniteInside(z.marginZone);
                    QVERIFY(z.slidingZone.size() < 400 && z.marginZone.size() < 400);
                    z.buildGreatCircleTopple(slope, beta, phi);
                    const bool ok2 = allFiniteInside(z.topplingZone);
                    points += z.slidingZone.size() + z.marginZone.size() + z.topplingZone.size();
                    z.buildPoleZones(slope, beta, phi);
                    const bool ok3 = allFiniteInside(z.slidingZone) && allFiniteInside(z.marginZone) &&
                                     allFiniteInside(z.envelope) && z.envelope.size() == 91;
                    QVERIFY(z.slidingZone.size() < 400 && z.marginZone.size() < 400);
                    z.buildPoleTopple(slope, beta, phi);
                    const bool ok4 = allFiniteInside(z.topplingZone) && z.topplingZone.size() < 400;
                    points += z.slidingZone.size() + z.marginZone.size() + z.topplingZone.size();
                    if (!(ok1 && ok2 && ok3 && ok4))
                        QFAIL(qPrintable(QStringLiteral("slope %1 included %2 friction %3: %4%5%6%7")
                                             .arg(slope)
                                             .arg(beta)
                                             .arg(phi)
                                             .arg(ok1)
                                             .arg(ok2)
                                             .arg(ok3)
                                             .arg(ok4)));
                    QVERIFY(std::isfinite(z.frictionRadius));
                }
            }
        }
    }
    QVERIFY(points > 0);
}

void TestJudgeZone::outlinesDoNotCrossThemselves() {
    JudgeZone z;
    z.setModes(true, true, true);
    QString where;
    for (double psi = 2; psi < 90; psi += 3.5) {
        for (double phi = 0; phi < psi; phi += 6.25) {
            for (double beta : {1.0, 7.5, 20.0, 45.0, 60.25, 90.0}) {
                const QString at =
                    QStringLiteral("slope %1 included %2 friction %3: ").arg(psi).arg(beta).arg(phi);
                z.buildGreatCircleZones(psi, beta, phi);
                QVERIFY2(simplePolygon(closedOutline(z.slidingZone), &where),
                         qPrintable(at + "circles " + where));
                if (!z.marginZone.isEmpty())
                    QVERIFY2(simplePolygon(z.marginZone, &where), qPrintable(at + "circle margin " + where));
                z.buildPoleZones(psi, beta, phi);
                QVERIFY2(simplePolygon(closedOutline(z.slidingZone), &where),
                         qPrintable(at + "poles " + where));
                if (!z.marginZone.isEmpty())
                    QVERIFY2(simplePolygon(z.marginZone, &where), qPrintable(at + "pole margin " + where));
                if (beta < 89) {
                    z.buildGreatCircleTopple(psi, beta, phi);
                    if (!z.topplingZone.isEmpty())
                        QVERIFY2(simplePolygon(closedOutline(z.topplingZone), &where),
                                 qPrintable(at + "topple " + where));
                    z.buildPoleTopple(psi, beta, phi);
                    if (!z.topplingZone.isEmpty())
                        QVERIFY2(simplePolygon(closedOutline(z.topplingZone), &where),
                                 qPrintable(at + "pole topple " + where));
                }
            }
        }
    }
}

// Values no dialog allows but a hand-edited project file may carry must not
// hang the analysis or read outside the envelope.
void TestJudgeZone::hostileCriteriaTerminate() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double values[] = {-45, -1e300, 1e9, 1e300, 400, nan, inf, -inf};
    JudgeZone z;
    z.setModes(true, true, true);
    for (double a : values) {
        for (double b : values) {
            z.buildGreatCircleZones(60, a, b);
            z.buildPoleZones(60, a, b);
            z.buildGreatCircleTopple(60, a, b);
            QVERIFY(z.topplingZone.size() < 1000);
            z.buildPoleTopple(60, a, b);
            QVERIFY(z.topplingZone.size() < 1000);
            z.buildGreatCircleZones(a, 30, b);
            z.buildPoleZones(a, 30, b);
            z.buildPoleZones(a, b, 27);
            QVERIFY(z.slidingZone.size() < 1000 && z.marginZone.size() < 1000);
            QCOMPARE(z.envelope.size(), 91);
        }
    }
}

QTEST_GUILESS_MAIN(TestJudgeZone)
#include "test_judgezone.moc"
