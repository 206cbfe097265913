#pragma once
// Random axes for the joint-set tests: Fisher-distributed about a mean
// (simulation of Fisher, Lewis & Embleton 1987, ch. 3:
// cos θ = 1 + ln(1 − U(1 − e^(−2K)))/K, azimuth uniform), and uniform ones.
#include "model/fielddata/setstatistics.h"

#include <QRandomGenerator>

#include <cmath>

inline UnitAxis normalised(const UnitAxis& v) {
    const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return {{v[0] / l, v[1] / l, v[2] / l}};
}

inline UnitAxis crossOf(const UnitAxis& a, const UnitAxis& b) {
    return {{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}};
}

inline double dotOf(const UnitAxis& a, const UnitAxis& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

inline UnitAxis fisherSample(QRandomGenerator& rng, const UnitAxis& mean, double K) {
    const double u = rng.generateDouble();
    const double c = 1.0 + std::log1p(-u * -std::expm1(-2.0 * K)) / K;
    const double s = std::sqrt(std::max(0.0, 1.0 - c * c));
    const double phi = 2.0 * M_PI * rng.generateDouble();
    const UnitAxis helper = std::fabs(mean[2]) < 0.9 ? UnitAxis{{0, 0, 1}} : UnitAxis{{1, 0, 0}};
    const UnitAxis e1 = normalised(crossOf(mean, helper));
    const UnitAxis e2 = crossOf(mean, e1);
    UnitAxis v;
    for (int k = 0; k < 3; ++k)
        v[k] = c * mean[k] + s * (std::cos(phi) * e1[k] + std::sin(phi) * e2[k]);
    return normalised(v);
}

inline UnitAxis uniformAxis(QRandomGenerator& rng) {
    const double z = 2.0 * rng.generateDouble() - 1.0;
    const double phi = 2.0 * M_PI * rng.generateDouble();
    const double s = std::sqrt(1.0 - z * z);
    return {{s * std::cos(phi), s * std::sin(phi), z}};
}

// Either end of the axis, at random: a field book records one of them.
inline UnitAxis randomEnd(QRandomGenerator& rng, const UnitAxis& v) {
    return rng.bounded(2) ? UnitAxis{{-v[0], -v[1], -v[2]}} : v;
}
