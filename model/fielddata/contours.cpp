// Contour rings and lines of a density grid by marching squares, cut at the
// primitive circle.
#include "model/fielddata/contours.h"

#include <QHash>

#include <cmath>
#include <limits>

namespace {
struct Crossing {
    QPointF point;
    bool onCircle = false;
};

struct Segment {
    int from = 0, to = 0; // edge ids
    bool used = false;
};

class Marcher {
public:
    Marcher(const DensityGrid& grid, double level) : g(grid), L(level), n(grid.nodes) {
        inside.resize(n * n);
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                const QPointF p = g.point(i, j);
                inside[j * n + i] = g.at(i, j) >= L && p.x() * p.x() + p.y() * p.y() <= 1;
            }
    }

    ContourLevel run() {
        ContourLevel out;
        out.level = L;
        for (int j = 0; j + 1 < n; ++j)
            for (int i = 0; i + 1 < n; ++i)
                cell(i, j);
        // Link the segments into rings: each crossed edge starts exactly one
        // segment and ends exactly one (the grid's frame lies outside the
        // primitive, so no ring is left open).
        for (int s = 0; s < segments.size(); ++s) {
            if (segments[s].used)
                continue;
            QPolygonF ring;
            QVector<bool> circle;
            int k = s;
            while (k >= 0 && !segments[k].used) {
                segments[k].used = true;
                const Crossing& c = crossings.value(segments[k].from);
                ring.append(c.point);
                circle.append(c.onCircle);
                k = startingAt.value(segments[k].to, -1);
            }
            if (ring.size() >= 3) {
                out.rings.append(ring);
                splitLines(ring, circle, out.lines);
            }
        }
        return out;
    }

private:
    int node(int i, int j) const { return j * n + i; }
    static int hEdge(int n, int i, int j) { return (j * n + i) * 2; }
    static int vEdge(int n, int i, int j) { return (j * n + i) * 2 + 1; }

    // Where the region's boundary crosses the edge from node a to node b
    // (exactly one of them in the region).
    Crossing crossing(int a, int b) {
        if (!inside[a])
            std::swap(a, b);
        const QPointF pa = g.point(a % n, a / n), pb = g.point(b % n, b / n);
        const double da = g.values[a], db = g.values[b];
        double t = std::numeric_limits<double>::infinity();
        if (db < L)
            t = (da - L) / (da - db);
        bool onCircle = false;
        const QPointF d = pb - pa;
        if (pb.x() * pb.x() + pb.y() * pb.y() > 1) {
            // |pa + t d| = 1 with |pa| ≤ 1 < |pb|.
            const double dd = d.x() * d.x() + d.y() * d.y();
            const double ad = pa.x() * d.x() + pa.y() * d.y();
            const double aa = pa.x() * pa.x() + pa.y() * pa.y();
            const double tc = (-ad + std::sqrt(std::max(0.0, ad * ad - dd * (aa - 1)))) / dd;
            if (tc < t) {
                t = tc;
                onCircle = true;
            }
        }
        t = std::clamp(t, 0.0, 1.0);
        Crossing c{pa + t * d, onCircle};
        if (onCircle) {
            // Exactly on the circle, whatever the rounding.
            const double r = std::hypot(c.point.x(), c.point.y());
            if (r > 0)
                c.point /= r;
        }
        return c;
    }

    void edge(int id, int a, int b) {
        if (!crossings.contains(id))
            crossings.insert(id, crossing(a, b));
    }

    void segment(int from, int to) {
        startingAt.insert(from, segments.size());
        segments.append(Segment{from, to, false});
    }

    void cell(int i, int j) {
        const int c[4] = {node(i, j), node(i + 1, j), node(i + 1, j + 1), node(i, j + 1)};
        const bool in[4] = {inside[c[0]], inside[c[1]], inside[c[2]], inside[c[3]]};
        if (in[0] == in[1] && in[1] == in[2] && in[2] == in[3])
            return;
        // Edges counter-clockwise: e0 bottom (c0–c1), e1 right (c1–c2), e2 top
        // (c3–c2), e3 left (c0–c3); e_k runs from corner k to corner k+1.
        const int e[4] = {hEdge(n, i, j), vEdge(n, i + 1, j), hEdge(n, i, j + 1), vEdge(n, i, j)};
        for (int k = 0; k < 4; ++k)
            if (in[k] != in[(k + 1) % 4])
                edge(e[k], c[k], c[(k + 1) % 4]);
        // A segment cutting off corner k joins e_{k−1} and e_k; with the
        // region on its left it runs e_k → e_{k−1} when the corner is in the
        // region, e_{k−1} → e_k when it is not.
        const auto cutCorner = [&](int k) {
            const int before = e[(k + 3) % 4], after = e[k];
            if (in[k])
                segment(after, before);
            else
                segment(before, after);
        };
        const int crossed = (in[0] != in[1]) + (in[1] != in[2]) + (in[2] != in[3]) + (in[3] != in[0]);
        if (crossed == 4) {
            // Saddle: c0, c2 alike, c1, c3 alike. The centre decides which
            // pair is joined through the cell.
            const QPointF centre = g.point(i, j) + QPointF(g.step, g.step) / 2;
            const double mean = (g.values[c[0]] + g.values[c[1]] + g.values[c[2]] + g.values[c[3]]) / 4;
            const bool centreIn = mean >= L && centre.x() * centre.x() + centre.y() * centre.y() <= 1;
            if (centreIn == in[0]) {
                cutCorner(1);
                cutCorner(3);
            } else {
                cutCorner(0);
                cutCorner(2);
            }
            return;
        }
        // One corner apart from the other three, or two halves.
        for (int k = 0; k < 4; ++k) {
            const bool alone = in[k] != in[(k + 1) % 4] && in[k] != in[(k + 3) % 4];
            if (alone) {
                cutCorner(k);
                return;
            }
        }
        if (in[0] != in[1]) // left and right halves: e0 and e2
            in[0] ? segment(e[0], e[2]) : segment(e[2], e[0]);
        else // bottom and top halves: e1 and e3
            in[0] ? segment(e[1], e[3]) : segment(e[3], e[1]);
    }

    // The ring's stretches that are not chords along the primitive.
    static void splitLines(const QPolygonF& ring, const QVector<bool>& circle, QVector<QPolygonF>& lines) {
        const int m = ring.size();
        int start = -1;
        for (int k = 0; k < m; ++k)
            if (circle[k] && !circle[(k + 1) % m]) {
                start = k;
                break;
            }
        if (start < 0) {
            bool any = false;
            for (bool c : circle)
                any = any || c;
            if (!any) {
                QPolygonF closed = ring;
                closed.append(ring.first());
                lines.append(closed);
            }
            return; // wholly along the primitive: no line
        }
        // From the start of a stretch once round the ring; the last segment
        // ends where the walk began, on the circle.
        QPolygonF line;
        for (int step = 0; step < m; ++step) {
            const int k = (start + step) % m, next = (k + 1) % m;
            if (circle[k] && circle[next]) {
                line.clear(); // a chord along the primitive
                continue;
            }
            if (line.isEmpty())
                line.append(ring[k]);
            line.append(ring[next]);
            if (circle[next]) {
                lines.append(line);
                line.clear();
            }
        }
    }

    const DensityGrid& g;
    const double L;
    const int n;
    QVector<bool> inside;
    QHash<int, Crossing> crossings;
    QHash<int, int> startingAt;
    QVector<Segment> segments;
};
} // namespace

QVector<ContourLevel> densityContours(const DensityGrid& grid, const QVector<double>& levels) {
    QVector<ContourLevel> out;
    if (grid.nodes < 2 || grid.values.size() != grid.nodes * grid.nodes)
        return out;
    for (double level : levels) {
        Marcher marcher(grid, level);
        out.append(marcher.run());
    }
    return out;
}

QPainterPath contourBand(const QVector<ContourLevel>& contours, int k) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (int m = k; m <= k + 1 && m < contours.size(); ++m)
        for (const QPolygonF& ring : contours[m].rings) {
            path.addPolygon(ring);
            path.closeSubpath();
        }
    return path;
}
