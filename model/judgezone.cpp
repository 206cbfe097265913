// Construction of the judgement zones. Everything is built in the zone frame
// (unit net, x to the right, y along the slope's dip direction, right half
// only); the drawing mirrors each half and turns it onto the net.
#include "model/judgezone.h"

#include <cmath>

namespace {
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;
constexpr double kEps = 0.00001;

// Every walk below runs over whole degrees of one quarter or half circle.
// Angles that do not come from the data dialog (a hand-edited project file
// can hold any number) must not turn a walk into an endless one, so no walk
// takes more than this many steps.
constexpr int kMaxSteps = 360;

double sinD(double a) {
    return std::sin(a * kDegToRad);
}
double cosD(double a) {
    return std::cos(a * kDegToRad);
}
double tanD(double a) {
    return std::tan(a * kDegToRad);
}
double atanD(double v) {
    return std::atan(v) * kRadToDeg;
}
double acosD(double v) {
    return std::acos(v) * kRadToDeg;
}

QPointF polar(double radius, double a) {
    return QPointF(radius * sinD(a), radius * cosD(a));
}

// k = first, first + 1, ... while k < limit.
template <typename F> void walkUp(double first, double limit, F&& f) {
    int steps = 0;
    for (double k = first; k < limit && steps < kMaxSteps; k += 1.0, ++steps)
        f(k);
}

// k = first, first + 1, ... up to last inclusive.
template <typename F> void walkUpTo(double first, double last, F&& f) {
    int steps = 0;
    for (double k = first; k <= last && steps <= kMaxSteps; k += 1.0, ++steps)
        f(k);
}

// k = first, first - 1, ... while k > limit.
template <typename F> void walkDown(double first, double limit, F&& f) {
    int steps = 0;
    for (double k = first; k > limit && steps < kMaxSteps; k -= 1.0, ++steps)
        f(k);
}
} // namespace

JudgeZone::JudgeZone(QObject* parent) : QObject(parent) {}

JudgeZone::JudgeZone(const JudgeZone& other) : QObject(nullptr) {
    *this = other;
}

JudgeZone& JudgeZone::operator=(const JudgeZone& other) {
    upper = other.upper;
    bigCircle = other.bigCircle;
    topple = other.topple;
    frictionRadius = other.frictionRadius;
    limitPoint1 = other.limitPoint1;
    limitPoint2 = other.limitPoint2;
    envelope = other.envelope;
    slidingZone = other.slidingZone;
    marginZone = other.marginZone;
    topplingZone = other.topplingZone;
    return *this;
}

void JudgeZone::setModes(bool upperMode, bool bigCircleMode, bool toppleMode) {
    upper = upperMode;
    bigCircle = bigCircleMode;
    topple = toppleMode;
}

// Great circles: a plane plots by its dip vector (the middle of its great
// circle), at tan(45 - dip/2) in its dip direction. Planes that can slide
// plot between the slope's great circle (shallower than the slope face in
// their own direction) and the friction circle (steeper than the friction
// angle), within the included angle of the slope's dip direction.
void JudgeZone::buildGreatCircleZones(double slopeDip, double includedAngle, double frictionAngle) {
    const double psi = slopeDip;
    const double beta = includedAngle;
    const double phi = frictionAngle;

    frictionRadius = tanD(45.0 - phi / 2.0);
    limitPoint1 = QPointF(sinD(beta), -cosD(beta));
    limitPoint2 = QPointF(-sinD(beta), -cosD(beta));

    slidingZone.clear();
    marginZone.clear();
    if (phi > psi - kEps)
        return;

    // The slope's great circle: centre (0, yc), radius e, through (0, c) and (±1, 0).
    const double c = tanD(45.0 - psi / 2.0);
    const double e = (c * c + 1.0) / (2.0 * c);
    const double yc = c - e;
    // Direction in which the slope's apparent dip equals the friction angle.
    const double theta0 = acosD(tanD(phi) / tanD(psi));
    const double rf = tanD(45.0 - phi / 2.0);
    const QPointF q = polar(rf, theta0);
    const double alphaQ = atanD(q.x() / (q.y() - yc));
    auto slopePoint = [&](double k) { return QPointF(e * sinD(k), e * cosD(k) + yc); };
    auto frictionPoint = [&](double k) { return polar(rf, k); };

    slidingZone.append(QPointF(0.0, c));
    if (beta > theta0 - kEps) {
        walkUp(1.0, alphaQ, [&](double k) { slidingZone.append(slopePoint(k)); });
        slidingZone.append(q);
        walkDown(std::floor(atanD(q.x() / q.y())), 0.0,
                 [&](double n) { slidingZone.append(frictionPoint(n)); });
    } else {
        const double g = tanD(45.0 - atanD(tanD(psi) * cosD(beta)) / 2.0);
        const QPointF pBeta = polar(g, beta);
        const double gBeta = atanD(pBeta.x() / (pBeta.y() - yc));
        walkUp(1.0, gBeta, [&](double k) { slidingZone.append(slopePoint(k)); });
        slidingZone.append(pBeta);

        marginZone.append(pBeta);
        walkUp(std::ceil(gBeta), alphaQ, [&](double m) { marginZone.append(slopePoint(m)); });
        marginZone.append(q);
        walkDown(std::floor(atanD(q.x() / q.y())), beta,
                 [&](double u) { marginZone.append(frictionPoint(u)); });
        const QPointF f = frictionPoint(beta);
        marginZone.append(f);
        marginZone.append(pBeta);

        slidingZone.append(f);
        walkDown(std::floor(beta), 0.0, [&](double n) { slidingZone.append(frictionPoint(n)); });
    }
    slidingZone.append(QPointF(0.0, rf));
}

// Toppling, great circles: planes dipping into the slope steeper than
// (friction angle + 90 - slope dip) plot inside the curve built here, on the
// side opposite the slope's dip direction (the drawing flips y).
void JudgeZone::buildGreatCircleTopple(double slopeDip, double includedAngle, double frictionAngle) {
    const double psi = slopeDip;
    const double betaT = includedAngle;
    const double phiT = frictionAngle;

    topplingZone.clear();
    if (psi < 30.0 || !topple || psi - phiT < kEps)
        return;

    const double delta = phiT + 90.0 - psi;
    topplingZone.append(QPointF(0.0, tanD(45.0 - delta / 2.0)));
    auto point = [&](double k) {
        const double ek = tanD(45.0 - atanD(tanD(delta) / cosD(k)) / 2.0);
        return polar(ek, k);
    };
    if (betaT > 1.0)
        walkUp(1.0, betaT, [&](double k) { topplingZone.append(point(k)); });
    topplingZone.append(point(betaT));
    topplingZone.append(QPointF(0.0, 0.0));
}

// Poles: a plane's pole plots at tan(dip/2) opposite its dip direction. The
// envelope holds the poles of the planes that just daylight in the slope
// face; sliding poles lie between the friction circle and the envelope.
void JudgeZone::buildPoleZones(double slopeDip, double includedAngle, double frictionAngle) {
    const double psi = slopeDip;
    const double beta = includedAngle;
    const double phi = frictionAngle;

    const double d = tanD(phi / 2.0);
    frictionRadius = d;
    limitPoint1 = QPointF(sinD(beta), cosD(beta));
    limitPoint2 = QPointF(-sinD(beta), cosD(beta));

    envelope.clear();
    envelope.append(QPointF(0.0, 0.0));
    for (int i = 1; i <= 90; ++i) {
        const double fi = tanD(atanD(cosD(90.0 - i) * tanD(psi)) / 2.0);
        envelope.append(QPointF(cosD(i) * fi, sinD(i) * fi));
    }

    slidingZone.clear();
    marginZone.clear();
    if (phi > psi - kEps || envelope.size() <= 90)
        return;

    slidingZone.append(QPointF(0.0, d));
    const double theta0 = acosD(tanD(phi) / tanD(psi));
    const QPointF q = polar(d, theta0);
    auto frictionPoint = [&](double k) { return polar(d, k); };
    // Envelope point i lies in direction 90 - i from the dip direction.
    auto appendEnvelope = [&](QVector<QPointF>& zone, double first, double last) {
        walkUpTo(first, last, [&](double i) {
            if (i >= 0.0 && i <= 90.0)
                zone.append(envelope.at(int(i)));
        });
    };

    if (beta > theta0 - kEps) {
        walkUp(1.0, theta0, [&](double k) { slidingZone.append(frictionPoint(k)); });
        slidingZone.append(q);
        appendEnvelope(slidingZone, std::ceil(90.0 - theta0), 90.0);
    } else {
        walkUp(1.0, std::floor(beta), [&](double i) { slidingZone.append(frictionPoint(i)); });
        const QPointF fBeta = frictionPoint(beta);
        slidingZone.append(fBeta);

        marginZone.append(fBeta);
        walkUp(std::ceil(beta), theta0, [&](double m) { marginZone.append(frictionPoint(m)); });
        marginZone.append(q);
        appendEnvelope(marginZone, std::ceil(90.0 - theta0), std::floor(90.0 - beta));
        const double r = tanD(atanD(cosD(beta) * tanD(psi)) / 2.0);
        const QPointF pBeta = polar(r, beta);
        marginZone.append(pBeta);
        marginZone.append(fBeta);

        slidingZone.append(pBeta);
        appendEnvelope(slidingZone, std::ceil(90.0 - beta), 90.0);
    }
    slidingZone.append(QPointF(0.0, tanD(psi / 2.0)));
}

// Toppling, poles: the poles of planes that dip into the slope steeper than
// (friction angle + 90 - slope dip), within the included angle, lie between
// the circle through (0, c) and (±1, 0) and the primitive circle.
void JudgeZone::buildPoleTopple(double slopeDip, double includedAngle, double frictionAngle) {
    const double psi = slopeDip;
    const double betaT = includedAngle;
    const double phiT = frictionAngle;

    topplingZone.clear();
    if (psi < 30.0 || !topple || psi - phiT < kEps)
        return;

    const double c = tanD((phiT + 90.0 - psi) / 2.0);
    topplingZone.append(QPointF(0.0, c));
    const double f = (c * c + 1.0) / (2.0 * c);
    const double e = tanD(45.0 - atanD(tanD(psi - phiT) * cosD(betaT)) / 2.0);
    const QPointF p = polar(e, betaT);
    const double alpha = atanD(p.x() / (p.y() - (c - f)));

    walkUp(1.0, alpha, [&](double k) { topplingZone.append(QPointF(f * sinD(k), c - f + f * cosD(k))); });
    topplingZone.append(p);
    topplingZone.append(QPointF(sinD(betaT), cosD(betaT)));
    walkDown(std::floor(betaT), 0.0, [&](double n) { topplingZone.append(QPointF(sinD(n), cosD(n))); });
    topplingZone.append(QPointF(0.0, 1.0));
}
