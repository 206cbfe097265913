#include "model/stabilityrules.h"

#include "model/datacenter.h"

#include <cmath>

namespace {
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;
constexpr double kEps = 1e-5;
constexpr double kCriterionOff = 89.99999;

// Fixed limits of the toppling test: a plane topples only when its dip
// direction lies within 20° of the direction opposite the slope's and the
// slope face, seen in the plane's dip direction, dips more than 30°.
constexpr double kToppleDirection = 160.0;
constexpr double kToppleSlopeDip = 30.0;

double radians(double degrees) {
    return degrees * kDegToRad;
}
double degrees(double radians) {
    return radians * kRadToDeg;
}
} // namespace

ApparentDips apparentDips(double slopeDirection, double slopeAngle, double direction, double angle) {
    ApparentDips a;
    double d = std::fabs(direction - slopeDirection);
    if (d > 180.0)
        d = 360.0 - d;
    a.directionDelta = d;
    if (std::fabs(angle - 90.0) < kEps) {
        a.apparentAngle = 90.0;
        a.slopeApparentAngle = 0.0;
        return a;
    }
    const double c = std::cos(radians(d));
    a.apparentAngle = degrees(std::atan(std::tan(radians(angle)) * c));
    a.slopeApparentAngle = degrees(std::atan(std::tan(radians(slopeAngle)) * c));
    return a;
}

int planarState(const SlopeCriteria& criteria, const ApparentDips& a, double dip) {
    const double i = criteria.includedAngle;
    const double f = criteria.frictionAngle;
    const double ft = criteria.frictionAngleTopple;
    const bool includedOff = i > kCriterionOff;
    const bool frictionOff = f < kEps;
    const double s = a.slopeApparentAngle;
    const double d = a.directionDelta;
    if (s < 0) {
        if (criteria.topple && d + kEps > kToppleDirection && -s > kToppleSlopeDip &&
            dip > ft + 90.0 - (-s) - kEps)
            return StabilityState::Toppling;
        return StabilityState::Opposite;
    }
    if (dip > s - kEps)
        return StabilityState::Steeper;
    if (dip < f - kEps)
        return StabilityState::BelowFriction;
    if (d > i + kEps)
        return frictionOff ? StabilityState::OutsideIncluded : StabilityState::OutsideIncludedAboveFriction;
    if (frictionOff && includedOff)
        return StabilityState::Unstable;
    if (includedOff)
        return StabilityState::UnstableAboveFriction;
    if (frictionOff)
        return StabilityState::UnstableInsideIncluded;
    return StabilityState::UnstableAboveFrictionInsideIncluded;
}

int wedgeState(const SlopeCriteria& criteria, double slopeApparentAngle, double plunge) {
    const double f = criteria.frictionAngle;
    const double s = slopeApparentAngle;
    if (s < 0)
        return StabilityState::Opposite;
    if (plunge > s - kEps)
        return StabilityState::Steeper;
    if (plunge < f - kEps)
        return StabilityState::BelowFriction;
    if (f > kCriterionOff || f < kEps)
        return StabilityState::Unstable;
    return StabilityState::UnstableAboveFriction;
}

std::array<double, 3> planeNormal(double direction, double angle) {
    const double a = radians(direction);
    const double d = radians(angle);
    return {{std::sin(a) * std::sin(d), std::cos(a) * std::sin(d), std::cos(d)}};
}

bool intersectionLine(const std::array<double, 3>& a, const std::array<double, 3>& b, double& trend,
                      double& plunge) {
    double cx = a[1] * b[2] - a[2] * b[1];
    double cy = a[2] * b[0] - a[0] * b[2];
    double cz = a[0] * b[1] - a[1] * b[0];
    if (std::fabs(cz) < kEps) // horizontal line, or parallel planes
        return false;
    if (std::fabs(cx) < kEps && std::fabs(cy) < kEps) // vertical line
        return false;
    if (cz < 0) {
        cx = -cx;
        cy = -cy;
        cz = -cz;
    }
    // (-cx, -cy, -cz) points down the line; its horizontal part gives the trend.
    const double m = DataCenter::polarAngleOf(-cx, -cy);
    trend = m <= 90.0 ? 90.0 - m : 450.0 - m;
    plunge = degrees(std::atan(cz / std::sqrt(cx * cx + cy * cy)));
    return true;
}
