// Density of poles on the sphere: the definitions (density.h, with their
// sources) and their fast evaluation on a grid of the equal-angle net.
#include "model/fielddata/density.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kDeg = 0.017453292519943295;
// The Fisher kernel is cut where it falls below e^−12 (6·10⁻⁶) of its peak.
constexpr double kFisherCut = 12;
constexpr int kFisherTable = 4096;

double coneFractionOf(const DensitySettings& s) {
    return std::clamp(s.countingArea, 0.01, 50.0) / 100;
}

// 1 − cos of the cone's half-angle; the counting predicate is |u·p| ≥ 1 − a,
// computed once so that the grid and densityAt agree to the last bit.
double coneThreshold(const DensityKernel& k) {
    return 1 - k.coneFraction;
}

Vec3 normalised(const Vec3& v) {
    return unitVector(v);
}
} // namespace

DensityKernel densityKernel(const DensitySettings& s, double n) {
    DensityKernel k;
    k.method = s.method;
    switch (s.method) {
    case DensityMethod::Schmidt: {
        // Schmidt: D = Σ_{1−c≤a} w / (a n), % per 1 % area.
        k.coneFraction = coneFractionOf(s);
        k.scale = n > 0 ? 1 / (k.coneFraction * n) : 0;
        k.expectedUniform = 1;
        k.unit = QStringLiteral("%");
        break;
    }
    case DensityMethod::Fisher: {
        // Fisher (1953) on both ends of each axis, K = 2/a (Vollmer 1995),
        // normalised to Schmidt's total influence per pole.
        k.coneFraction = coneFractionOf(s);
        k.fisherK = 2 / k.coneFraction;
        k.scale = n > 0 ? k.fisherK / ((1 - std::exp(-2 * k.fisherK)) * n) : 0;
        k.expectedUniform = 1;
        k.unit = QStringLiteral("%");
        break;
    }
    case DensityMethod::Kamb: {
        // Kamb (1959): A = σ²/(n + σ²), σ_N = √(nA(1 − A)), D = count/σ_N.
        const double sigma = s.kambSigma > 0 ? s.kambSigma : 3;
        k.coneFraction = n > 0 ? sigma * sigma / (n + sigma * sigma) : 1;
        const double sigmaN = std::sqrt(n * k.coneFraction * (1 - k.coneFraction));
        k.scale = sigmaN > 0 ? 1 / sigmaN : 0;
        k.expectedUniform = sigma;
        k.unit = QStringLiteral("sigma");
        break;
    }
    }
    k.coneHalfAngle = std::acos(std::clamp(1 - k.coneFraction, -1.0, 1.0)) / kDeg;
    return k;
}

namespace {
double weightedCount(const QVector<WeightedAxis>& poles) {
    double n = 0;
    for (const WeightedAxis& p : poles)
        n += p.weight;
    return n;
}
} // namespace

double densityAt(const QVector<WeightedAxis>& poles, const DensitySettings& settings, const Vec3& at) {
    const DensityKernel k = densityKernel(settings, weightedCount(poles));
    const Vec3 u = normalised(at);
    double sum = 0;
    if (k.method == DensityMethod::Fisher) {
        for (const WeightedAxis& p : poles) {
            const double c = dot(u, p.axis);
            sum += p.weight * (std::exp(k.fisherK * (c - 1)) + std::exp(-k.fisherK * (c + 1)));
        }
    } else {
        const double t = coneThreshold(k);
        for (const WeightedAxis& p : poles)
            if (std::abs(dot(u, p.axis)) >= t)
                sum += p.weight;
    }
    return k.scale * sum;
}

namespace {
// Accumulates the poles onto the grid: for every pole, both of its ends q,
// the cap {v : v·q ≥ t} of nodes it reaches.
//
// On the equal-angle net a node (x, y) is the direction
// v = (2x, 2y, h(1 − ρ²)) / (1 + ρ²) (ρ² = x² + y², h = +1 upper, −1 lower),
// so v·q ≥ t reads (t + h q_z) ρ² − 2 q_x x − 2 q_y y + (t − h q_z) ≤ 0:
// with A = t + h q_z > 0 the disc of centre (q_x, q_y)/A and radius
// √(1 − t²)/A, with A < 0 the outside of that circle. Each row of nodes meets
// it in one interval (or the complement of one); the interval's ends are
// settled by testing v·q ≥ t itself, so the result is exactly the definition.
class GridAccumulator {
public:
    GridAccumulator(DensityGrid& grid, const QVector<Vec3>& nodes) : g(grid), nodeAxes(nodes) {}

    // Calls add(row, first, last) for each row's run of nodes in the cap.
    template <typename AddRun> void forEachRun(const Vec3& q, double t, AddRun&& add) const {
        const int n = g.nodes;
        const double h = g.upperHemisphere ? 1 : -1;
        const double a = t + h * q[2];
        const auto inCap = [&](int i, int j) { return dot(nodeAxes[j * n + i], q) >= t; };
        if (std::abs(a) < 1e-9) {
            // The cap's rim passes through the projection's far point: a
            // half-plane on the net. Rare; test every node.
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i)
                    if (inCap(i, j))
                        add(j, i, i);
            return;
        }
        const double cx = q[0] / a, cy = q[1] / a;
        const double r = std::sqrt(std::max(0.0, 1 - t * t)) / std::abs(a);
        const double e = g.extent, s = g.step;
        const bool disc = a > 0;
        int jFirst = 0, jLast = n - 1;
        if (disc) {
            jFirst = std::max(0, int(std::floor((cy - r + e) / s)) - 1);
            jLast = std::min(n - 1, int(std::ceil((cy + r + e) / s)) + 1);
        }
        // For a disc the run is the nodes inside; outside a circle, the run
        // found is that of the nodes NOT in the cap, and the cap is the rest.
        const auto member = [&](int i, int j) { return inCap(i, j) == disc; };
        if (disc && (cx + r < -e - s || cx - r > e + s || cy + r < -e - s || cy - r > e + s))
            return; // the cap misses the grid
        // A run's end needs no test on the sphere when no node lies within
        // `slack` (node spacings) of the rim: far beyond the rounding of the
        // circle's centre and radius.
        const double slack = 1e-9 * (1 + std::abs(cx) + std::abs(cy) + r) / s;
        for (int j = jFirst; j <= jLast; ++j) {
            const double dy = -e + j * s - cy;
            const double half2 = r * r - dy * dy;
            if (std::abs(dy) > r + slack * s) {
                // The row passes clear of the circle.
                if (!disc)
                    add(j, 0, n - 1);
                continue;
            }
            const double half = half2 > 0 ? std::sqrt(half2) : 0;
            const double from = (cx - half + e) / s, to = (cx + half + e) / s;
            int lo = std::max(0, int(std::ceil(from)));
            int hi = std::min(n - 1, int(std::floor(to)));
            const double fracFrom = from - std::floor(from), fracTo = to - std::floor(to);
            const bool settled = half2 > 1e-6 * r * r && fracFrom > slack && fracFrom < 1 - slack &&
                                 fracTo > slack && fracTo < 1 - slack;
            if (!settled) {
                if (lo > hi) {
                    // No node strictly within; the nearest may still be on the rim.
                    if (to < 0 || from > n - 1) {
                        lo = 1;
                        hi = 0;
                    } else {
                        const int c = std::clamp(int(std::lround((cx + e) / s)), 0, n - 1);
                        lo = hi = c;
                        if (!member(c, j))
                            lo = c + 1;
                    }
                }
                if (lo <= hi) {
                    while (lo > 0 && member(lo - 1, j))
                        --lo;
                    while (lo <= hi && !member(lo, j))
                        ++lo;
                    while (hi < n - 1 && member(hi + 1, j))
                        ++hi;
                    while (hi >= lo && !member(hi, j))
                        --hi;
                }
            }
            if (disc) {
                if (lo <= hi)
                    add(j, lo, hi);
            } else if (lo > hi) {
                add(j, 0, n - 1);
            } else {
                if (lo > 0)
                    add(j, 0, lo - 1);
                if (hi < n - 1)
                    add(j, hi + 1, n - 1);
            }
        }
        // Outside a circle, jFirst..jLast is every row: a row the circle does
        // not reach has no run of nodes outside the cap and lies wholly in it.
    }

private:
    DensityGrid& g;
    const QVector<Vec3>& nodeAxes;
};
} // namespace

DensityGrid densityGrid(const QVector<WeightedAxis>& poles, const DensitySettings& settings,
                        bool upperHemisphere, int resolution) {
    DensityGrid g;
    resolution = std::clamp(resolution, 10, 1000);
    g.step = 2.0 / resolution;
    g.nodes = resolution + 1 + 4;
    g.extent = 1 + 2 * g.step;
    g.upperHemisphere = upperHemisphere;
    g.count = poles.size();
    g.weightedCount = weightedCount(poles);
    g.kernel = densityKernel(settings, g.weightedCount);
    const int n = g.nodes;
    g.values.fill(0.0, n * n);
    if (poles.isEmpty())
        return g;

    QVector<Vec3> nodeAxes(n * n);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            // Normalised as densityAt normalises, so that a node on a cone's
            // rim is in or out in both alike.
            nodeAxes[j * n + i] = normalised(netDirection(g.point(i, j), upperHemisphere));

    GridAccumulator acc(g, nodeAxes);
    const DensityKernel& k = g.kernel;
    if (k.method == DensityMethod::Fisher) {
        // e^(−K s) for s = 1 − v·q in [0, kFisherCut/K], linearly interpolated
        // from a table small enough to stay in the first-level cache
        // (relative error below (12/4096)²/8 ≈ 1.1·10⁻⁶).
        const double sMax = kFisherCut / k.fisherK;
        const double perStep = kFisherTable / sMax;
        QVector<double> table(kFisherTable + 2);
        for (int i = 0; i < table.size(); ++i)
            table[i] = std::exp(-k.fisherK * i / perStep);
        double* values = g.values.data();
        for (const WeightedAxis& p : poles) {
            for (int end = 0; end < 2; ++end) {
                const Vec3 q = end == 0 ? p.axis : Vec3{-p.axis[0], -p.axis[1], -p.axis[2]};
                const double w = p.weight;
                acc.forEachRun(q, 1 - sMax, [&](int j, int first, int last) {
                    const Vec3* axes = nodeAxes.constData() + j * n;
                    double* row = values + j * n;
                    for (int i = first; i <= last; ++i) {
                        const double x = std::max(0.0, 1 - dot(axes[i], q)) * perStep;
                        const int cell = std::min(int(x), kFisherTable);
                        const double f = x - cell;
                        row[i] += w * (table[cell] + f * (table[cell + 1] - table[cell]));
                    }
                });
            }
        }
        for (double& v : g.values)
            v *= k.scale;
    } else {
        // Counting: each run adds the weight to a difference row.
        const double t = coneThreshold(k);
        QVector<double> diff((n + 1) * n, 0.0);
        for (const WeightedAxis& p : poles) {
            for (int end = 0; end < 2; ++end) {
                const Vec3 q = end == 0 ? p.axis : Vec3{-p.axis[0], -p.axis[1], -p.axis[2]};
                const double w = p.weight;
                acc.forEachRun(q, t, [&](int j, int first, int last) {
                    diff[j * (n + 1) + first] += w;
                    diff[j * (n + 1) + last + 1] -= w;
                });
            }
        }
        for (int j = 0; j < n; ++j) {
            double running = 0;
            for (int i = 0; i < n; ++i) {
                running += diff[j * (n + 1) + i];
                // Sums of weights: clear the rounding left where they cancel.
                g.values[j * n + i] = std::abs(running) < 1e-9 * g.weightedCount ? 0 : running * k.scale;
            }
        }
    }

    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const QPointF p = g.point(i, j);
            if (p.x() * p.x() + p.y() * p.y() > 1 + 1e-12)
                continue;
            if (g.maxNode < 0 || g.values[j * n + i] > g.maxValue) {
                g.maxNode = j * n + i;
                g.maxValue = g.values[j * n + i];
            }
        }
    }
    return g;
}

DensityMaximum densityMaximum(const DensityGrid& grid, const QVector<WeightedAxis>& poles,
                              const DensitySettings& settings) {
    DensityMaximum m;
    if (poles.isEmpty() || grid.maxNode < 0)
        return m;
    const int i = grid.maxNode % grid.nodes, j = grid.maxNode / grid.nodes;
    Vec3 best = netDirection(grid.point(i, j), grid.upperHemisphere);
    double value = densityAt(poles, settings, best);
    // Pattern search on the sphere: eight directions about the current best,
    // moving on strict improvement, halving the step down to 0.01°.
    double stepAngle = std::max(0.5, grid.step / kDeg * 0.5) * kDeg;
    int evaluations = 0;
    while (stepAngle > 0.01 * kDeg && evaluations < 400) {
        // Two unit vectors orthogonal to `best`.
        const Vec3 ref = std::abs(best[2]) < 0.9 ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
        Vec3 e1{best[1] * ref[2] - best[2] * ref[1], best[2] * ref[0] - best[0] * ref[2],
                best[0] * ref[1] - best[1] * ref[0]};
        e1 = normalised(e1);
        const Vec3 e2{best[1] * e1[2] - best[2] * e1[1], best[2] * e1[0] - best[0] * e1[2],
                      best[0] * e1[1] - best[1] * e1[0]};
        bool moved = false;
        for (int d = 0; d < 8; ++d) {
            const double phi = d * 0.7853981633974483; // 45°
            const double c = std::cos(stepAngle), s = std::sin(stepAngle);
            const Vec3 trial =
                normalised(Vec3{c * best[0] + s * (std::cos(phi) * e1[0] + std::sin(phi) * e2[0]),
                                c * best[1] + s * (std::cos(phi) * e1[1] + std::sin(phi) * e2[1]),
                                c * best[2] + s * (std::cos(phi) * e1[2] + std::sin(phi) * e2[2])});
            const double v = densityAt(poles, settings, trial);
            ++evaluations;
            if (v > value) {
                value = v;
                best = trial;
                moved = true;
            }
        }
        if (!moved)
            stepAngle *= 0.5;
    }
    m.value = std::max(value, grid.maxValue);
    m.axis = best;
    planeOfAxis(best, m.direction, m.angle);
    m.valid = true;
    return m;
}

QVector<double> automaticLevels(const DensityKernel& kernel, double maxValue) {
    QVector<double> levels;
    if (!(maxValue > 0) || !std::isfinite(maxValue))
        return levels;
    double step = 0;
    if (kernel.method == DensityMethod::Kamb) {
        step = 2;
        while (maxValue / step > 8)
            step += 2;
    } else {
        static const double mantissas[] = {0.5, 1, 2, 2.5, 5};
        for (int e = -4; e <= 8 && step == 0; ++e)
            for (double m : mantissas)
                if (maxValue / (m * std::pow(10.0, e)) <= 8) {
                    step = m * std::pow(10.0, e);
                    break;
                }
        if (step == 0)
            return levels;
    }
    for (int k = 1; k * step <= maxValue * (1 + 1e-12) && k <= 8; ++k)
        levels.append(k * step);
    return levels;
}
