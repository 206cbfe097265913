#include "model/fielddata/sphere.h"

#include <cmath>

namespace {
constexpr double kDeg = 0.017453292519943295;
}

Vec3 unitVector(const Vec3& v) {
    const double n = std::sqrt(dot(v, v));
    return n > 0 ? Vec3{v[0] / n, v[1] / n, v[2] / n} : Vec3{0, 0, 1};
}

Vec3 planePole(double direction, double angle) {
    const double a = direction * kDeg, d = angle * kDeg;
    return Vec3{std::sin(d) * std::sin(a), std::sin(d) * std::cos(a), std::cos(d)};
}

Vec3 lineVector(double trend, double plunge) {
    const double t = trend * kDeg, p = plunge * kDeg;
    return Vec3{std::cos(p) * std::sin(t), std::cos(p) * std::cos(t), -std::sin(p)};
}

void planeOfAxis(const Vec3& a, double& direction, double& angle) {
    // The upward end is the plane's pole.
    const double s = a[2] < 0 ? -1 : 1;
    const double x = s * a[0], y = s * a[1], z = s * a[2];
    const double horizontal = std::hypot(x, y);
    angle = std::atan2(horizontal, z) / kDeg;
    direction = horizontal > 0 ? std::atan2(x, y) / kDeg : 0.0;
    if (direction < 0)
        direction += 360;
    if (direction >= 360)
        direction -= 360;
}

QPointF netPointOfAxis(const Vec3& a, bool upperHemisphere) {
    // The end in the projected hemisphere, then x = v_x / (1 ± v_z).
    const double h = upperHemisphere ? 1 : -1;
    const double s = a[2] * h < 0 ? -1 : 1;
    const double n = std::sqrt(dot(a, a));
    const double x = s * a[0] / n, y = s * a[1] / n, z = s * a[2] / n;
    const double d = 1 + h * z;
    return QPointF(x / d, y / d);
}

Vec3 netDirection(const QPointF& p, bool upperHemisphere) {
    // Inverse stereographic projection: ρ = tan(θ/2), so sin θ = 2ρ/(1+ρ²)
    // and cos θ = (1−ρ²)/(1+ρ²), θ from the projected hemisphere's pole.
    const double h = upperHemisphere ? 1 : -1;
    const double r2 = p.x() * p.x() + p.y() * p.y();
    const double k = 1 / (1 + r2);
    return Vec3{2 * p.x() * k, 2 * p.y() * k, h * (1 - r2) * k};
}
