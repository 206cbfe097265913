#include "model/fielddata/fieldview.h"

#include "model/datacenter.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <list>
#include <unordered_map>

double FieldView::densityAt(double x, double y) const {
    if (gridSize < 2 || grid.size() != gridSize * gridSize)
        return 0;
    const double step = 2 * gridExtent / (gridSize - 1);
    const double u = qBound(0.0, (x + gridExtent) / step, double(gridSize - 1) - 1e-9);
    const double v = qBound(0.0, (y + gridExtent) / step, double(gridSize - 1) - 1e-9);
    const int j = int(u), i = int(v);
    const double fu = u - j, fv = v - i;
    const double* row0 = grid.constData() + i * gridSize + j;
    const double* row1 = row0 + gridSize;
    return (row0[0] * (1 - fu) + row0[1] * fu) * (1 - fv) + (row1[0] * (1 - fu) + row1[1] * fu) * fv;
}

namespace FieldViews {
namespace {
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

// ---- density (placeholder until the shared density functions land) ----
struct NodeDensity {
    QVector<double> values;
    QString unit;
    double weighted = 0;
};

NodeDensity densityAtNodes(const FieldData& field, const QVector<std::array<double, 3>>& nodes) {
    NodeDensity out;
    QVector<std::array<double, 3>> axes;
    QVector<double> weights;
    for (const Measurement& m : field.measurements) {
        const double a = m.direction * kDegToRad, d = m.angle * kDegToRad;
        axes.push_back({std::sin(a) * std::sin(d), std::cos(a) * std::sin(d), std::cos(d)});
        weights.push_back(m.weight);
        out.weighted += m.weight;
    }
    const double area = qBound(0.1, field.countingArea, 10.0) / 100.0;
    const double cosCone = 1.0 - area;
    out.unit = QStringLiteral("%");
    out.values.resize(nodes.size());
    for (int i = 0; i < nodes.size(); ++i) {
        double sum = 0;
        for (int k = 0; k < axes.size(); ++k) {
            const double c =
                std::fabs(nodes[i][0] * axes[k][0] + nodes[i][1] * axes[k][1] + nodes[i][2] * axes[k][2]);
            if (c >= cosCone)
                sum += weights[k];
        }
        out.values[i] = out.weighted > 0 ? 100.0 * sum / out.weighted / (area * 100.0) : 0.0;
    }
    return out;
}
// ---- end placeholder ----

// One marching-squares segment end: the grid edge it lies on.
// Horizontal edges (i, j)-(i, j+1) are 2 * (i * n + j), vertical ones
// (i, j)-(i+1, j) are 2 * (i * n + j) + 1.
struct Segment {
    qint64 a, b;
    QPointF pa, pb;
};

QPolygonF clipToCircle(const QPolygonF& line, QVector<QPolygonF>& out) {
    QPolygonF current;
    auto inside = [](const QPointF& p) { return p.x() * p.x() + p.y() * p.y() <= 1.0; };
    // The point where the segment p (inside) .. q (outside) meets the circle.
    auto crossing = [](const QPointF& p, const QPointF& q) {
        const QPointF d = q - p;
        const double a = d.x() * d.x() + d.y() * d.y();
        const double b = 2 * (p.x() * d.x() + p.y() * d.y());
        const double c = p.x() * p.x() + p.y() * p.y() - 1.0;
        const double disc = std::max(0.0, b * b - 4 * a * c);
        const double t = a > 0 ? (-b + std::sqrt(disc)) / (2 * a) : 0.0;
        return p + d * qBound(0.0, t, 1.0);
    };
    for (int i = 0; i < line.size(); ++i) {
        const QPointF& p = line[i];
        if (inside(p)) {
            if (current.isEmpty() && i > 0)
                current << crossing(p, line[i - 1]);
            current << p;
        } else if (!current.isEmpty()) {
            current << crossing(line[i - 1], p);
            if (current.size() > 1)
                out << current;
            current.clear();
        }
    }
    return current;
}
} // namespace

QPointF polePoint(double direction, double angle, bool upper) {
    const double r = std::tan(angle * 0.5 * kDegToRad);
    const double az = (upper ? direction : direction + 180.0) * kDegToRad;
    return QPointF(r * std::sin(az), r * std::cos(az));
}

void axisAt(double x, double y, bool upper, double axis[3]) {
    const double r2 = x * x + y * y;
    const double s = 1.0 + r2;
    axis[0] = 2 * x / s;
    axis[1] = 2 * y / s;
    axis[2] = (upper ? 1.0 : -1.0) * (1.0 - r2) / s;
}

void planeOfAxis(const double axis[3], double& direction, double& angle) {
    double x = axis[0], y = axis[1], z = axis[2];
    if (z < 0) {
        x = -x;
        y = -y;
        z = -z;
    }
    angle = std::acos(std::min(1.0, z)) * kRadToDeg;
    direction = std::atan2(x, y) * kRadToDeg;
    if (direction < 0)
        direction += 360.0;
    if (direction >= 360.0 || angle < 1e-9)
        direction = 0.0;
}

QVector<double> autoLevels(double maxValue, const QString& unit) {
    QVector<double> levels;
    if (!(maxValue > 0) || !std::isfinite(maxValue))
        return levels;
    double step = 2.0;
    if (unit != QLatin1String("sigma")) {
        const double raw = maxValue / 6.0;
        const double power = std::pow(10.0, std::floor(std::log10(raw)));
        step = 10.0 * power;
        for (double f : {1.0, 2.0, 2.5, 5.0})
            if (f * power >= raw) {
                step = f * power;
                break;
            }
    } else {
        while (maxValue / step > 8.0)
            step *= 2.0;
    }
    for (int k = 1; k * step <= maxValue * (1 + 1e-12) && k <= 12; ++k)
        levels << k * step;
    return levels;
}

QVector<QPolygonF> contourLines(const QVector<double>& grid, int n, double extent, double level) {
    QVector<QPolygonF> result;
    if (n < 2 || grid.size() != n * n)
        return result;
    const double step = 2 * extent / (n - 1);
    auto value = [&](int i, int j) { return grid[i * n + j]; };
    auto at = [&](int i, int j) { return QPointF(-extent + j * step, -extent + i * step); };
    auto cut = [&](int i1, int j1, int i2, int j2) {
        const double v1 = value(i1, j1), v2 = value(i2, j2);
        const double t = v2 != v1 ? (level - v1) / (v2 - v1) : 0.5;
        return at(i1, j1) + (at(i2, j2) - at(i1, j1)) * qBound(0.0, t, 1.0);
    };
    auto hEdge = [&](int i, int j) { return qint64(2) * (qint64(i) * n + j); };
    auto vEdge = [&](int i, int j) { return qint64(2) * (qint64(i) * n + j) + 1; };

    QVector<Segment> segments;
    for (int i = 0; i + 1 < n; ++i) {
        for (int j = 0; j + 1 < n; ++j) {
            // Corners: 0 (i, j), 1 (i, j+1), 2 (i+1, j+1), 3 (i+1, j).
            const bool c0 = value(i, j) >= level, c1 = value(i, j + 1) >= level;
            const bool c2 = value(i + 1, j + 1) >= level, c3 = value(i + 1, j) >= level;
            const int code = c0 | c1 << 1 | c2 << 2 | c3 << 3;
            if (code == 0 || code == 15)
                continue;
            // Edges: bottom (0-1), right (1-2), top (3-2), left (0-3).
            const qint64 id[4] = {hEdge(i, j), vEdge(i, j + 1), hEdge(i + 1, j), vEdge(i, j)};
            const QPointF pt[4] = {cut(i, j, i, j + 1), cut(i, j + 1, i + 1, j + 1),
                                   cut(i + 1, j, i + 1, j + 1), cut(i, j, i + 1, j)};
            auto add = [&](int e1, int e2) { segments.push_back({id[e1], id[e2], pt[e1], pt[e2]}); };
            const bool centre =
                (value(i, j) + value(i, j + 1) + value(i + 1, j + 1) + value(i + 1, j)) / 4 >= level;
            switch (code) {
            case 1:
            case 14:
                add(3, 0);
                break;
            case 2:
            case 13:
                add(0, 1);
                break;
            case 3:
            case 12:
                add(3, 1);
                break;
            case 4:
            case 11:
                add(1, 2);
                break;
            case 6:
            case 9:
                add(0, 2);
                break;
            case 7:
            case 8:
                add(3, 2);
                break;
            case 5: // corners 0 and 2 above
                if (centre) {
                    add(3, 2);
                    add(0, 1);
                } else {
                    add(3, 0);
                    add(1, 2);
                }
                break;
            case 10: // corners 1 and 3 above
                if (centre) {
                    add(3, 0);
                    add(1, 2);
                } else {
                    add(0, 1);
                    add(3, 2);
                }
                break;
            default:
                break;
            }
        }
    }

    // Join the segments through their shared edges into polylines.
    std::unordered_map<qint64, QVector<int>> byEdge;
    byEdge.reserve(size_t(segments.size()) * 2);
    for (int s = 0; s < segments.size(); ++s) {
        byEdge[segments[s].a].push_back(s);
        byEdge[segments[s].b].push_back(s);
    }
    QVector<bool> used(segments.size(), false);
    auto nextFrom = [&](qint64 edge) -> int {
        auto it = byEdge.find(edge);
        if (it == byEdge.end())
            return -1;
        for (int s : it->second)
            if (!used[s])
                return s;
        return -1;
    };
    for (int s0 = 0; s0 < segments.size(); ++s0) {
        if (used[s0])
            continue;
        used[s0] = true;
        std::list<QPointF> points{segments[s0].pa, segments[s0].pb};
        // Forward from b, then backward from a.
        for (int pass = 0; pass < 2; ++pass) {
            qint64 edge = pass == 0 ? segments[s0].b : segments[s0].a;
            for (int s = nextFrom(edge); s >= 0; s = nextFrom(edge)) {
                used[s] = true;
                const bool fromA = segments[s].a == edge;
                const QPointF p = fromA ? segments[s].pb : segments[s].pa;
                edge = fromA ? segments[s].b : segments[s].a;
                if (pass == 0)
                    points.push_back(p);
                else
                    points.push_front(p);
            }
        }
        QPolygonF line;
        line.reserve(int(points.size()));
        for (const QPointF& p : points)
            line << p;
        const QPolygonF rest = clipToCircle(line, result);
        if (rest.size() > 1)
            result << rest;
    }
    return result;
}

FieldView compute(const FieldData& field, bool upper, int gridSize) {
    FieldView view;
    view.method = field.density;
    view.countingArea = field.countingArea;
    view.count = field.measurements.size();
    view.poles.reserve(view.count);
    view.kinds.reserve(view.count);
    for (const Measurement& m : field.measurements) {
        view.poles << polePoint(m.direction, m.angle, upper);
        view.kinds << m.type;
    }
    if (field.measurements.isEmpty())
        return view;

    const int n = qMax(2, gridSize);
    view.gridSize = n;
    view.gridExtent = 1.0 + 2.0 * 2.0 / (n - 5 > 0 ? n - 5 : 1);
    const double step = 2 * view.gridExtent / (n - 1);
    QVector<std::array<double, 3>> nodes(n * n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double axis[3];
            axisAt(-view.gridExtent + j * step, -view.gridExtent + i * step, upper, axis);
            nodes[i * n + j] = {axis[0], axis[1], axis[2]};
        }
    const NodeDensity density = densityAtNodes(field, nodes);
    view.grid = density.values;
    view.unit = density.unit;
    view.weightedCount = density.weighted;

    int best = -1;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const double x = -view.gridExtent + j * step, y = -view.gridExtent + i * step;
            if (x * x + y * y > 1.0)
                continue;
            if (best < 0 || view.grid[i * n + j] > view.grid[best])
                best = i * n + j;
        }
    if (best >= 0) {
        view.maxValue = view.grid[best];
        view.maxPoint = QPointF(-view.gridExtent + (best % n) * step, -view.gridExtent + (best / n) * step);
        double axis[3];
        axisAt(view.maxPoint.x(), view.maxPoint.y(), upper, axis);
        planeOfAxis(axis, view.maxDirection, view.maxAngle);
    }
    for (double level : field.levels)
        if (level > 0 && std::isfinite(level) && (view.levels.isEmpty() || level > view.levels.last()))
            view.levels << level;
    if (view.levels.isEmpty())
        view.levels = autoLevels(view.maxValue, view.unit);
    for (double level : view.levels)
        view.contours << contourLines(view.grid, n, view.gridExtent, level);
    return view;
}

namespace {
uint fieldKey(const FieldData& field, bool upper) {
    uint h = qHash(upper);
    auto mix = [&h](uint v) { h = h * 31u + v; };
    mix(qHash(int(field.density)));
    mix(qHash(field.countingArea));
    mix(qHash(field.terzaghi));
    mix(qHash(field.minBiasAngle));
    mix(qHash(field.measurements.size()));
    for (double level : field.levels)
        mix(qHash(level));
    for (const Measurement& m : field.measurements) {
        mix(qHash(m.direction));
        mix(qHash(m.angle));
        mix(qHash(m.weight));
        mix(uint(m.type) * 7919u + uint(m.traverse));
    }
    for (const Traverse& t : field.traverses) {
        mix(uint(t.id));
        mix(qHash(t.trend));
        mix(qHash(t.plunge));
    }
    return h;
}

struct CacheEntry {
    uint key;
    bool upper;
    int count;
    std::shared_ptr<const FieldView> view;
};
} // namespace

std::shared_ptr<const FieldView> of(const DataCenter& project) {
    thread_local std::list<CacheEntry> cache;
    const FieldData& field = project.field;
    const uint key = fieldKey(field, project.UpperMode);
    for (auto it = cache.begin(); it != cache.end(); ++it) {
        if (it->key == key && it->upper == project.UpperMode && it->count == field.measurements.size()) {
            cache.splice(cache.begin(), cache, it);
            return cache.front().view;
        }
    }
    auto view = std::make_shared<const FieldView>(compute(field, project.UpperMode));
    cache.push_front({key, project.UpperMode, field.measurements.size(), view});
    while (cache.size() > 4)
        cache.pop_back();
    return view;
}

bool layerShown(const DataCenter& project) {
    return !project.field.isEmpty() && project.field.showLayer;
}

} // namespace FieldViews
