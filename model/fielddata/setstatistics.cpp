// Statistics of a joint set.
//
// Sources:
// - R. A. Fisher (1953), Dispersion on a sphere, Proc. R. Soc. Lond. A 217,
//   295–305: the distribution f(θ) ∝ exp(K cos θ), the estimate
//   K = (N − 1)/(N − R) and the cone of confidence of the mean,
//   cos α = 1 − (N − R)/R · ((1/p)^(1/(N − 1)) − 1).
// - N. I. Fisher, T. Lewis & B. J. J. Embleton (1987), Statistical Analysis of
//   Spherical Data, Cambridge University Press: mean direction and resultant
//   length of unit vectors (ch. 3), the Fisher distribution's law of the angle
//   from the mean P(θ ≤ θ0) = (1 − exp(−K(1 − cos θ0)))/(1 − exp(−2K)) (ch. 4),
//   and the orientation matrix T = Σ v vᵀ/N with its eigenvalues (ch. 3).
// Poles are axes: before summing, each is turned into the hemisphere about
// the set's centre, so that a set straddling the primitive circle keeps its
// sub-vertical planes together instead of cancelling across the circle.
#include "model/fielddata/setstatistics.h"

#include "model/stabilityrules.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

UnitAxis upper(const UnitAxis& a) {
    if (a[2] < 0 || (a[2] == 0 && (a[1] < 0 || (a[1] == 0 && a[0] < 0))))
        return {{-a[0], -a[1], -a[2]}};
    return a;
}

double clampedAcos(double c) {
    return std::acos(std::max(-1.0, std::min(1.0, c))) * kRadToDeg;
}
} // namespace

UnitAxis planeAxis(double direction, double angle) {
    return planeNormal(direction, angle);
}

void axisPlane(const UnitAxis& axis, double& direction, double& angle) {
    const UnitAxis a = upper(axis);
    const double h = std::hypot(a[0], a[1]);
    angle = std::atan2(h, a[2]) * kRadToDeg;
    direction = h > 0 ? std::atan2(a[0], a[1]) * kRadToDeg : 0.0;
    if (direction < 0)
        direction += 360.0;
    if (direction >= 360.0)
        direction -= 360.0;
}

double axialAngle(const UnitAxis& a, const UnitAxis& b) {
    return clampedAcos(std::fabs(dot(a, b)));
}

double confidenceCone(double N, double R, double p) {
    if (!(N > 1) || !(R > 0))
        return std::numeric_limits<double>::quiet_NaN();
    const double c = 1.0 - (N - R) / R * (std::pow(1.0 / p, 1.0 / (N - 1.0)) - 1.0);
    return clampedAcos(c);
}

double fisherCone(double K, double P) {
    if (std::isnan(K))
        return std::numeric_limits<double>::quiet_NaN();
    if (std::isinf(K))
        return 0.0;
    if (!(K > 0))
        return 180.0;
    // Inverse of P = (1 − exp(−K(1 − cos θ)))/(1 − exp(−2K)).
    const double c = 1.0 + std::log1p(-P * -std::expm1(-2.0 * K)) / K;
    return clampedAcos(c);
}

void symmetricEigen(const std::array<std::array<double, 3>, 3>& m, std::array<double, 3>& values,
                    std::array<UnitAxis, 3>& vectors) {
    // Cyclic Jacobi rotations (Golub & Van Loan, Matrix Computations, §8.5).
    double a[3][3];
    double v[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            a[i][j] = m[i][j];
    for (int sweep = 0; sweep < 50; ++sweep) {
        const double off = a[0][1] * a[0][1] + a[0][2] * a[0][2] + a[1][2] * a[1][2];
        const double scale = a[0][0] * a[0][0] + a[1][1] * a[1][1] + a[2][2] * a[2][2];
        if (off <= 1e-30 * std::max(scale, 1e-300))
            break;
        for (int p = 0; p < 2; ++p) {
            for (int q = p + 1; q < 3; ++q) {
                if (a[p][q] == 0)
                    continue;
                const double theta = (a[q][q] - a[p][p]) / (2.0 * a[p][q]);
                const double t =
                    (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0);
                const double s = t * c;
                for (int k = 0; k < 3; ++k) {
                    const double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (int k = 0; k < 3; ++k) {
                    const double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (int k = 0; k < 3; ++k) {
                    const double vkp = v[k][p], vkq = v[k][q];
                    v[k][p] = c * vkp - s * vkq;
                    v[k][q] = s * vkp + c * vkq;
                }
            }
        }
    }
    int order[3] = {0, 1, 2};
    std::sort(order, order + 3, [&](int x, int y) { return a[x][x] > a[y][y]; });
    for (int i = 0; i < 3; ++i) {
        values[i] = a[order[i]][order[i]];
        vectors[i] = upper({{v[0][order[i]], v[1][order[i]], v[2][order[i]]}});
    }
}

SetStatistics setStatistics(const QVector<UnitAxis>& axes, const QVector<double>& weights,
                            const UnitAxis& centre, double probability) {
    SetStatistics s;
    s.probability = probability;
    s.count = axes.size();
    auto weight = [&](int i) { return weights.isEmpty() ? 1.0 : weights.at(i); };

    double N = 0;
    std::array<std::array<double, 3>, 3> T{};
    for (int i = 0; i < axes.size(); ++i) {
        const double w = weight(i);
        const UnitAxis& v = axes.at(i);
        N += w;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                T[r][c] += w * v[r] * v[c];
    }
    s.weightedCount = N;
    if (axes.isEmpty() || !(N > 0)) {
        s.k = s.alpha95 = s.variabilityCone = std::numeric_limits<double>::quiet_NaN();
        return s;
    }

    // Orient about the centre, then about the mean, until no axis changes side.
    UnitAxis about = centre;
    std::array<double, 3> sum{};
    QVector<signed char> side(axes.size(), 0);
    for (int round = 0; round < 20; ++round) {
        bool changed = false;
        sum = {0, 0, 0};
        for (int i = 0; i < axes.size(); ++i) {
            const UnitAxis& v = axes.at(i);
            const signed char sign = dot(v, about) >= 0 ? 1 : -1;
            changed = changed || sign != side[i];
            side[i] = sign;
            const double w = weight(i) * sign;
            sum[0] += w * v[0];
            sum[1] += w * v[1];
            sum[2] += w * v[2];
        }
        const double length = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
        if (!(length > 0))
            break;
        about = {{sum[0] / length, sum[1] / length, sum[2] / length}};
        if (!changed && round > 0)
            break;
    }
    const double R = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
    s.resultant = R;
    s.meanAxis = upper(about);
    axisPlane(s.meanAxis, s.direction, s.angle);
    s.poleTrend = std::fmod(s.direction + 180.0, 360.0);
    s.polePlunge = 90.0 - s.angle;

    if (N > 1) {
        // Identical axes leave only rounding in N − R.
        const bool spread = N - R > 1e-12 * N;
        s.k = spread ? (N - 1.0) / (N - R) : std::numeric_limits<double>::infinity();
        s.alpha95 = spread ? confidenceCone(N, R, 0.05) : 0.0;
    } else {
        s.k = s.alpha95 = std::numeric_limits<double>::quiet_NaN();
    }
    s.variabilityCone = fisherCone(s.k, probability);

    for (auto& row : T)
        for (double& x : row)
            x /= N;
    symmetricEigen(T, s.eigenvalues, s.eigenvectors);
    return s;
}
