#pragma once

#include <array>
#include <cmath>

// A vector in space, in the frame (east, north, up): plane normals, lines,
// poles taken as axes, wedge vertices and forces all share this one type.
using Vec3 = std::array<double, 3>;

inline double dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

inline Vec3 cross(const Vec3& a, const Vec3& b) {
    return {{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}};
}

inline Vec3 scaled(const Vec3& a, double k) {
    return {{a[0] * k, a[1] * k, a[2] * k}};
}

inline Vec3 sum(const Vec3& a, const Vec3& b) {
    return {{a[0] + b[0], a[1] + b[1], a[2] + b[2]}};
}

inline Vec3 negated(const Vec3& a) {
    return {{-a[0], -a[1], -a[2]}};
}

inline double length(const Vec3& a) {
    return std::sqrt(dot(a, a));
}
