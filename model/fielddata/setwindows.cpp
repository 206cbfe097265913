#include "model/fielddata/setwindows.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {
constexpr double kDegToRad = 0.017453292519943295;

UnitAxis upper(const UnitAxis& a) {
    return a[2] < 0 ? UnitAxis{{-a[0], -a[1], -a[2]}} : a;
}

// Nodes binned by their upper end's horizontal components, so that the nodes
// within a small angle of an axis are found among a few cells.
class AxisBins {
public:
    AxisBins(const QVector<UnitAxis>& nodes, double angle)
        : nodes_(nodes), chord_(2.0 * std::sin(0.5 * angle * kDegToRad)), cell_(std::max(chord_, 1e-3)) {
        for (int i = 0; i < nodes.size(); ++i) {
            const UnitAxis a = upper(nodes.at(i));
            bins_[key(cellOf(a[0]), cellOf(a[1]))].append(i);
        }
    }

    // Calls f(j) for every node within the angle of `axis` (and some beyond).
    template <typename F> void near(const UnitAxis& axis, F&& f) const {
        const UnitAxis a = upper(axis);
        visit(a[0], a[1], f);
        // Near the primitive circle the neighbours' upper ends lie across it.
        if (a[2] <= chord_)
            visit(-a[0], -a[1], f);
    }

private:
    int cellOf(double x) const { return static_cast<int>(std::floor((x + 1.0) / cell_)); }
    static quint64 key(int cx, int cy) { return (quint64(quint32(cx)) << 32) | quint32(cy); }
    template <typename F> void visit(double x, double y, F& f) const {
        const int cx = cellOf(x), cy = cellOf(y);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                const auto it = bins_.constFind(key(cx + dx, cy + dy));
                if (it != bins_.constEnd())
                    for (int j : *it)
                        f(j);
            }
    }

    const QVector<UnitAxis>& nodes_;
    double chord_;
    double cell_;
    QHash<quint64, QVector<int>> bins_;
};

// Weighted mean of the axes assigned to `set`, each turned towards `about`.
UnitAxis orientedMean(const QVector<UnitAxis>& axes, const QVector<double>& weights, const QVector<int>& set,
                      int index, const UnitAxis& about) {
    double s[3] = {0, 0, 0};
    for (int i = 0; i < axes.size(); ++i) {
        if (set.at(i) != index)
            continue;
        const UnitAxis& v = axes.at(i);
        const double w = (weights.isEmpty() ? 1.0 : weights.at(i)) * (dot(v, about) >= 0 ? 1.0 : -1.0);
        s[0] += w * v[0];
        s[1] += w * v[1];
        s[2] += w * v[2];
    }
    const double length = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    if (!(length > 0))
        return about;
    return {{s[0] / length, s[1] / length, s[2] / length}};
}

// Nearest centre within the cone (cosine `coneCos`), -1 when none.
int nearestWithin(const UnitAxis& v, const QVector<UnitAxis>& centres, const QVector<double>& coneCos) {
    int best = -1;
    double bestCos = -1;
    for (int c = 0; c < centres.size(); ++c) {
        const double cosine = std::fabs(dot(v, centres.at(c)));
        if (cosine >= coneCos.at(c) && cosine > bestCos) {
            best = c;
            bestCos = cosine;
        }
    }
    return best;
}
} // namespace

QVector<int> assignToWindows(const QVector<UnitAxis>& axes, const QVector<SetWindow>& windows) {
    QVector<UnitAxis> centres;
    QVector<double> coneCos;
    for (const SetWindow& w : windows) {
        centres.append(planeAxis(w.centerDirection, w.centerAngle));
        coneCos.append(std::cos(w.halfAngle * kDegToRad));
    }
    QVector<int> set(axes.size(), -1);
    for (int i = 0; i < axes.size(); ++i)
        set[i] = nearestWithin(axes.at(i), centres, coneCos);
    return set;
}

QVector<DensityPeak> densityPeaks(const QVector<UnitAxis>& nodes, const QVector<double>& values,
                                  double neighbourAngle, double threshold, double minSeparation,
                                  double saddleRatio) {
    QVector<DensityPeak> maxima;
    if (nodes.size() != values.size())
        return maxima;
    const AxisBins bins(nodes, neighbourAngle);
    const double neighbourCos = std::cos(neighbourAngle * kDegToRad);
    for (int i = 0; i < nodes.size(); ++i) {
        const double value = values.at(i);
        if (!(value >= threshold))
            continue;
        bool highest = true;
        // A plateau keeps the node that comes first.
        bins.near(nodes.at(i), [&](int j) {
            if (!highest || j == i || std::fabs(dot(nodes.at(i), nodes.at(j))) < neighbourCos)
                return;
            if (values.at(j) > value || (values.at(j) == value && j < i))
                highest = false;
        });
        if (highest)
            maxima.append({upper(nodes.at(i)), value});
    }
    std::stable_sort(maxima.begin(), maxima.end(),
                     [](const DensityPeak& a, const DensityPeak& b) { return a.value > b.value; });

    // The density near a point: the highest node within the neighbour angle.
    auto near = [&](const UnitAxis& at) {
        double best = 0;
        bins.near(at, [&](int j) {
            if (std::fabs(dot(at, nodes.at(j))) >= neighbourCos)
                best = std::max(best, values.at(j));
        });
        return best;
    };
    // The lowest density along the arc from a to b (b turned towards a).
    auto saddle = [&](const UnitAxis& a, UnitAxis b) {
        if (dot(a, b) < 0)
            b = {{-b[0], -b[1], -b[2]}};
        const double angle = std::acos(std::min(1.0, dot(a, b)));
        const int steps = std::max(2, int(std::ceil(angle / (0.5 * neighbourAngle * kDegToRad))));
        double lowest = std::numeric_limits<double>::infinity();
        for (int k = 1; k < steps; ++k) {
            // Spherical interpolation.
            const double t = double(k) / steps;
            const double s = std::sin(angle);
            const double wa = std::sin((1 - t) * angle) / s, wb = std::sin(t * angle) / s;
            lowest = std::min(lowest,
                              near({{wa * a[0] + wb * b[0], wa * a[1] + wb * b[1], wa * a[2] + wb * b[2]}}));
        }
        return lowest;
    };

    QVector<DensityPeak> peaks;
    const double mergeCos = std::cos(minSeparation * kDegToRad);
    for (const DensityPeak& m : maxima) {
        const bool merged = std::any_of(peaks.cbegin(), peaks.cend(), [&](const DensityPeak& p) {
            return std::fabs(dot(p.axis, m.axis)) > mergeCos ||
                   (saddleRatio <= 1 && saddle(p.axis, m.axis) >= saddleRatio * m.value);
        });
        if (!merged)
            peaks.append(m);
    }
    return peaks;
}

AutoSets autoSets(const QVector<UnitAxis>& axes, const QVector<double>& weights,
                  const QVector<DensityPeak>& peaks, const AutoSetOptions& options) {
    AutoSets result;
    result.peaks = peaks;
    if (options.count > 0 && result.peaks.size() > options.count)
        result.peaks.resize(options.count);
    for (const DensityPeak& p : result.peaks)
        result.centres.append(p.axis);
    const QVector<double> coneCos(result.centres.size(), std::cos(options.coneAngle * kDegToRad));

    QVector<int> set(axes.size(), -1);
    for (int i = 0; i < axes.size(); ++i)
        set[i] = nearestWithin(axes.at(i), result.centres, coneCos);
    for (int round = 0; round < options.iterations; ++round) {
        for (int c = 0; c < result.centres.size(); ++c)
            result.centres[c] = orientedMean(axes, weights, set, c, result.centres.at(c));
        bool changed = false;
        for (int i = 0; i < axes.size(); ++i) {
            const int s = nearestWithin(axes.at(i), result.centres, coneCos);
            changed = changed || s != set.at(i);
            set[i] = s;
        }
        if (!changed)
            break;
    }
    // Centres that drew together, and centres left without poles, go; the
    // poles then join the nearest of the rest.
    const double mergeCos = std::cos(options.minSeparation * kDegToRad);
    QVector<int> members(result.centres.size(), 0);
    for (int s : set)
        if (s >= 0)
            members[s] += 1;
    QVector<UnitAxis> kept;
    QVector<DensityPeak> keptPeaks;
    for (int c = 0; c < result.centres.size(); ++c) {
        const bool near = std::any_of(kept.cbegin(), kept.cend(), [&](const UnitAxis& k) {
            return std::fabs(dot(k, result.centres.at(c))) > mergeCos;
        });
        if (members.at(c) > 0 && !near) {
            kept.append(result.centres.at(c));
            keptPeaks.append(result.peaks.at(c));
        }
    }
    if (kept.size() != result.centres.size()) {
        result.centres = kept;
        result.peaks = keptPeaks;
        const QVector<double> keptCos(kept.size(), coneCos.value(0));
        for (int i = 0; i < axes.size(); ++i)
            set[i] = nearestWithin(axes.at(i), result.centres, keptCos);
        for (int c = 0; c < result.centres.size(); ++c)
            result.centres[c] = orientedMean(axes, weights, set, c, result.centres.at(c));
    }
    for (UnitAxis& c : result.centres)
        c = upper(c);
    result.assignment = set;
    for (const UnitAxis& c : result.centres) {
        SetWindow w;
        axisPlane(c, w.centerDirection, w.centerAngle);
        w.halfAngle = options.coneAngle;
        result.windows.append(w);
    }
    return result;
}
