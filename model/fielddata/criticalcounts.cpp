// Critical percentages of measured planes.
//
// Planar sliding and toppling judge each measurement with planarState(), as
// DataCenter::judgeStability() judges a typed plane of that attitude. Wedge
// sliding judges the line of intersection of two planes with
// intersectionLine() and wedgeState(), as DataCenter::computeWedges() and
// judgeStability() do. The counting method is that of Rocscience Dips'
// kinematic analysis ("critical percentage": critical poles or intersections
// over all of them), with Karven's own rules deciding what is critical.
//
// Every pair of 10 000 measurements is 5·10⁷ lines, so the pairs are judged
// first by a fast equivalent test on the cross product of the normals, with
// no trigonometry: for a line of plunge p along which the face dips s,
//   sin p = |c_z| / |c|,   sin s = T cos d / √(1 + T² cos² d),
//   cos d = (h · u) / |h|,  T = tan ψ,
// c the cross product, h the horizontal part of its downward end, u the
// face's dip direction. The rules compare p with s − ε and with φ − ε
// (ε = 0.00001°); since |sin a − sin b| ≤ |a − b|, a difference of sines
// beyond ε (plus a rounding margin) decides the comparison of the angles.
// A pair whose sines fall within that margin of a limit, or whose cross
// product is near the limits of intersectionLine(), is judged by the exact
// functions, so the counts are exactly those of the verdicts.
#include "model/fielddata/criticalcounts.h"

#include "model/datacenter.h"

#include <QThread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <numeric>
#include <thread>
#include <vector>

namespace {
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kEps = 1e-5;       // the verdicts' tolerance, degrees; also intersectionLine's limit
constexpr double kRounding = 1e-10; // far above the rounding of either formulation

struct Tally {
    qint64 count = 0;
    qint64 total = 0;
    double weighted = 0;
    double weightedTotal = 0;
    void add(const Tally& o, double w) {
        count += o.count;
        total += o.total;
        weighted += w * o.weighted;
        weightedTotal += w * o.weightedTotal;
    }
};

struct Kernel {
    SlopeCriteria criteria;
    double ux = 0, uy = 0;                          // the face's dip direction (east, north)
    double T = 0;                                   // tan ψ
    double frictionSin = 0;                         // sin φ
    double frictionLowSin = 0;                      // sin(φ − ε)
    double epsRound = kEps * kDegToRad + kRounding; // sin ε, plus the rounding margin
};

Kernel makeKernel(const SlopeCriteria& c) {
    Kernel k;
    k.criteria = c;
    k.ux = std::sin(c.direction * kDegToRad);
    k.uy = std::cos(c.direction * kDegToRad);
    k.T = std::tan(c.angle * kDegToRad);
    k.frictionSin = std::sin(c.frictionAngle * kDegToRad);
    k.frictionLowSin = std::sin((c.frictionAngle - kEps) * kDegToRad);
    return k;
}

// The planes in structure-of-arrays form for the pair loop.
struct Planes {
    std::vector<double> x, y, z, w;
    std::vector<std::array<double, 3>> normal;
    void append(const std::array<double, 3>& n, double weight) {
        x.push_back(n[0]);
        y.push_back(n[1]);
        z.push_back(n[2]);
        w.push_back(weight);
        normal.push_back(n);
    }
    int size() const { return int(x.size()); }
};

// The fast test of one pair: marks of a valid line, a critical one and one
// the test cannot decide. The products are those of intersectionLine(), in
// its order, so that "valid" is decided on the same numbers.
struct Marks {
    bool valid, critical, doubtful;
};
inline Marks markPair(const Kernel& k, double ax, double ay, double az, double bx, double by, double bz) {
    const double cx = ay * bz - az * by;
    const double cy = az * bx - ax * bz;
    const double cz = ax * by - ay * bx;
    const double acx = std::fabs(cx), acy = std::fabs(cy), acz = std::fabs(cz);
    const bool noLine = acz < 0.5 * kEps || (acx < 0.5 * kEps && acy < 0.5 * kEps);
    const bool clear = acz >= 2 * kEps && acx >= 2 * kEps && acy >= 2 * kEps;
    if (!clear)
        return {false, false, !noLine};
    const double hh = cx * cx + cy * cy;
    const double A = acz / std::sqrt(hh + cz * cz);
    const double v = cx * k.ux + cy * k.uy;
    const double cosd = (cz < 0 ? v : -v) / std::sqrt(hh); // the line's downward end is -sign(cz)·c
    const double tc = k.T * cosd;
    const double B = tc / std::sqrt(1.0 + tc * tc);
    const bool stable = A >= B + kRounding || B < -kRounding || A <= k.frictionLowSin - kRounding;
    const bool sure = B >= kRounding && A <= B - k.epsRound && A >= k.frictionSin + kRounding;
    return {true, sure, !stable && !sure};
}

// Lines of the plane `a` with the planes [begin, end) of `p`; weights of the
// other planes only (the caller multiplies by a's weight).
Tally judgeSegment(const Kernel& k, const std::array<double, 3>& a, const Planes& p, int begin, int end) {
    const double ax = a[0], ay = a[1], az = a[2];
    const double* px = p.x.data();
    const double* py = p.y.data();
    const double* pz = p.z.data();
    const double* pw = p.w.data();
    double valid = 0, critical = 0, wValid = 0, wCritical = 0;
    std::vector<int> doubtful; // pairs for the exact verdict
    int j = begin;
#if defined(__SSE2__)
    // Two pairs at a time: the same test as markPair(), lane by lane.
    {
        const __m128d AX = _mm_set1_pd(ax), AY = _mm_set1_pd(ay), AZ = _mm_set1_pd(az);
        const __m128d UX = _mm_set1_pd(k.ux), UY = _mm_set1_pd(k.uy), T = _mm_set1_pd(k.T);
        const __m128d signBit = _mm_set1_pd(-0.0), one = _mm_set1_pd(1.0), zero = _mm_setzero_pd();
        const __m128d halfEps = _mm_set1_pd(0.5 * kEps), twoEps = _mm_set1_pd(2 * kEps);
        const __m128d round = _mm_set1_pd(kRounding), minusRound = _mm_set1_pd(-kRounding);
        const __m128d epsRound = _mm_set1_pd(k.epsRound);
        const __m128d frictionLow = _mm_set1_pd(k.frictionLowSin - kRounding);
        const __m128d frictionHigh = _mm_set1_pd(k.frictionSin + kRounding);
        __m128d sValid = zero, sCritical = zero, sWValid = zero, sWCritical = zero;
        for (; j + 2 <= end; j += 2) {
            const __m128d bx = _mm_loadu_pd(px + j), by = _mm_loadu_pd(py + j), bz = _mm_loadu_pd(pz + j);
            const __m128d cx = _mm_sub_pd(_mm_mul_pd(AY, bz), _mm_mul_pd(AZ, by));
            const __m128d cy = _mm_sub_pd(_mm_mul_pd(AZ, bx), _mm_mul_pd(AX, bz));
            const __m128d cz = _mm_sub_pd(_mm_mul_pd(AX, by), _mm_mul_pd(AY, bx));
            const __m128d acx = _mm_andnot_pd(signBit, cx), acy = _mm_andnot_pd(signBit, cy),
                          acz = _mm_andnot_pd(signBit, cz);
            const __m128d noLine =
                _mm_or_pd(_mm_cmplt_pd(acz, halfEps),
                          _mm_and_pd(_mm_cmplt_pd(acx, halfEps), _mm_cmplt_pd(acy, halfEps)));
            const __m128d clear = _mm_and_pd(
                _mm_cmpge_pd(acz, twoEps), _mm_and_pd(_mm_cmpge_pd(acx, twoEps), _mm_cmpge_pd(acy, twoEps)));
            const __m128d hh = _mm_add_pd(_mm_mul_pd(cx, cx), _mm_mul_pd(cy, cy));
            const __m128d A = _mm_div_pd(acz, _mm_sqrt_pd(_mm_add_pd(hh, _mm_mul_pd(cz, cz))));
            const __m128d v = _mm_add_pd(_mm_mul_pd(cx, UX), _mm_mul_pd(cy, UY));
            const __m128d up = _mm_cmpge_pd(cz, zero); // cz >= 0: the downward end is -c
            const __m128d vd = _mm_xor_pd(v, _mm_and_pd(up, signBit));
            const __m128d tc = _mm_mul_pd(T, _mm_div_pd(vd, _mm_sqrt_pd(hh)));
            const __m128d B = _mm_div_pd(tc, _mm_sqrt_pd(_mm_add_pd(one, _mm_mul_pd(tc, tc))));
            const __m128d stable =
                _mm_or_pd(_mm_or_pd(_mm_cmpge_pd(A, _mm_add_pd(B, round)), _mm_cmplt_pd(B, minusRound)),
                          _mm_cmple_pd(A, frictionLow));
            const __m128d sure =
                _mm_and_pd(_mm_and_pd(_mm_cmpge_pd(B, round), _mm_cmple_pd(A, _mm_sub_pd(B, epsRound))),
                           _mm_cmpge_pd(A, frictionHigh));
            const __m128d isCritical = _mm_and_pd(clear, sure);
            const __m128d decided = _mm_or_pd(noLine, _mm_and_pd(clear, _mm_or_pd(stable, sure)));
            const __m128d w = _mm_loadu_pd(pw + j);
            sValid = _mm_add_pd(sValid, _mm_and_pd(clear, one));
            sCritical = _mm_add_pd(sCritical, _mm_and_pd(isCritical, one));
            const int undecided = _mm_movemask_pd(decided) ^ 3;
            if (undecided) {
                if (undecided & 1)
                    doubtful.push_back(j);
                if (undecided & 2)
                    doubtful.push_back(j + 1);
            }
            sWValid = _mm_add_pd(sWValid, _mm_and_pd(clear, w));
            sWCritical = _mm_add_pd(sWCritical, _mm_and_pd(isCritical, w));
        }
        auto sum = [](__m128d x) {
            double lanes[2];
            _mm_storeu_pd(lanes, x);
            return lanes[0] + lanes[1];
        };
        valid = sum(sValid);
        critical = sum(sCritical);
        wValid = sum(sWValid);
        wCritical = sum(sWCritical);
    }
#endif
    for (; j < end; ++j) {
        const Marks m = markPair(k, ax, ay, az, px[j], py[j], pz[j]);
        valid += m.valid;
        critical += m.critical;
        if (m.doubtful)
            doubtful.push_back(j);
        wValid += m.valid ? pw[j] : 0.0;
        wCritical += m.critical ? pw[j] : 0.0;
    }
    Tally t;
    t.total = qint64(valid);
    t.count = qint64(critical);
    t.weightedTotal = wValid;
    t.weighted = wCritical;
    // The few pairs the fast test cannot decide: the exact verdict.
    for (int d : doubtful) {
        j = d;
        bool isCritical = false;
        if (!judgeIntersection(k.criteria, a, p.normal[j], isCritical))
            continue;
        t.total += 1;
        t.weightedTotal += pw[j];
        if (isCritical) {
            t.count += 1;
            t.weighted += pw[j];
        }
    }
    return t;
}

CriticalCount toCount(const Tally& t) {
    CriticalCount c;
    c.count = t.count;
    c.total = t.total;
    c.weighted = t.weighted;
    c.weightedTotal = t.weightedTotal;
    return c;
}

bool finite(double direction, double angle) {
    return std::isfinite(direction) && std::isfinite(angle);
}

// Every pair of measurements. The planes are sorted by set so that the other
// planes of a row fall into runs of one set each.
void countAllPairs(const Kernel& k, const Planes& p, const std::vector<int>& setOf, int setCount, int threads,
                   std::vector<Tally>& wedge) {
    const int n = p.size();
    // Runs of one set: [runStart[r], runStart[r + 1]).
    std::vector<int> runStart;
    for (int i = 0; i < n; ++i)
        if (i == 0 || setOf[i] != setOf[i - 1])
            runStart.push_back(i);
    runStart.push_back(n);
    std::vector<int> runOf(n);
    for (int r = 0; r + 1 < int(runStart.size()); ++r)
        for (int i = runStart[r]; i < runStart[r + 1]; ++i)
            runOf[i] = r;

    auto rows = [&](int first, int last, std::vector<Tally>& out) {
        out.assign(setCount + 1, Tally());
        for (int i = first; i < last; ++i) {
            const int a = setOf[i];
            for (int r = runOf[i]; r + 1 < int(runStart.size()); ++r) {
                const int begin = std::max(runStart[r], i + 1);
                const int end = runStart[r + 1];
                if (begin >= end)
                    continue;
                const Tally t = judgeSegment(k, p.normal[i], p, begin, end);
                const int b = setOf[begin];
                out[setCount].add(t, p.w[i]);
                if (a >= 0)
                    out[a].add(t, p.w[i]);
                if (b >= 0 && b != a)
                    out[b].add(t, p.w[i]);
            }
        }
    };

    // Rows split so that every thread judges about as many pairs.
    const int workers = std::max(1, std::min(threads, n / 256 + 1));
    std::vector<int> bounds{0};
    const double pairs = 0.5 * double(n) * double(n - 1);
    double done = 0;
    for (int i = 0; i < n && int(bounds.size()) < workers; ++i) {
        done += double(n - 1 - i);
        if (done >= pairs * double(bounds.size()) / workers)
            bounds.push_back(i + 1);
    }
    while (int(bounds.size()) <= workers)
        bounds.push_back(n);
    bounds.back() = n;

    std::vector<std::vector<Tally>> parts(workers);
    std::vector<std::thread> pool;
    for (int t = 1; t < workers; ++t)
        pool.emplace_back(rows, bounds[t], bounds[t + 1], std::ref(parts[t]));
    rows(bounds[0], bounds[1], parts[0]);
    for (std::thread& t : pool)
        t.join();
    for (const auto& part : parts)
        for (int s = 0; s <= setCount; ++s)
            wedge[s].add(part[s], 1.0);
}
} // namespace

bool isPlanarCritical(int state) {
    return state > 30 && state < 40;
}

bool isToppleCritical(int state) {
    return state == StabilityState::Toppling;
}

bool isWedgeCritical(int state) {
    return state > 30;
}

bool judgeIntersection(const SlopeCriteria& criteria, const std::array<double, 3>& a,
                       const std::array<double, 3>& b, bool& critical) {
    double trend = 0, plunge = 0;
    if (!intersectionLine(a, b, trend, plunge))
        return false;
    const ApparentDips dips = apparentDips(criteria.direction, criteria.angle, trend, plunge);
    critical = isWedgeCritical(wedgeState(criteria, dips.slopeApparentAngle, plunge));
    return true;
}

CriticalCounts criticalCounts(const CriticalInput& input, const SlopeCriteria& criteria, int threads) {
    CriticalCounts result;
    const int setCount = std::max(0, input.setCount);
    result.toppleJudged = criteria.topple;
    result.planar.resize(setCount + 1);
    result.toppling.resize(setCount + 1);
    result.wedge.resize(setCount + 1);
    if (!finite(criteria.direction, criteria.angle))
        return result;
    if (threads <= 0)
        threads = std::max(1, QThread::idealThreadCount());

    const int n = std::min(input.direction.size(), input.angle.size());
    auto weightOf = [&](int i) { return i < input.weight.size() ? input.weight.at(i) : 1.0; };
    auto setOfInput = [&](int i) {
        const int s = i < input.set.size() ? input.set.at(i) : -1;
        return s >= 0 && s < setCount ? s : -1;
    };

    // Planar sliding and toppling, measurement by measurement.
    std::vector<Tally> planar(setCount + 1), topple(setCount + 1);
    for (int i = 0; i < n; ++i) {
        const double direction = input.direction.at(i), angle = input.angle.at(i);
        if (!finite(direction, angle))
            continue;
        const int state =
            planarState(criteria, apparentDips(criteria.direction, criteria.angle, direction, angle), angle);
        Tally one;
        one.total = 1;
        one.weightedTotal = 1;
        Tally toppleOne = one;
        if (isPlanarCritical(state)) {
            one.count = 1;
            one.weighted = 1;
        }
        if (isToppleCritical(state)) {
            toppleOne.count = 1;
            toppleOne.weighted = 1;
        }
        const int s = setOfInput(i);
        planar[setCount].add(one, weightOf(i));
        topple[setCount].add(toppleOne, weightOf(i));
        if (s >= 0) {
            planar[s].add(one, weightOf(i));
            topple[s].add(toppleOne, weightOf(i));
        }
    }

    // Wedge sliding.
    const Kernel kernel = makeKernel(criteria);
    std::vector<Tally> wedge(setCount + 1);
    std::vector<int> order;
    for (int i = 0; i < n; ++i)
        if (finite(input.direction.at(i), input.angle.at(i)))
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        // Sets in order, the unassigned last.
        const unsigned sa = unsigned(setOfInput(a)), sb = unsigned(setOfInput(b));
        return sa < sb;
    });
    Planes planes;
    std::vector<int> setOf;
    for (int i : order) {
        planes.append(planeNormal(input.direction.at(i), input.angle.at(i)), weightOf(i));
        setOf.push_back(setOfInput(i));
    }

    QVector<std::array<double, 3>> setNormals;
    QVector<bool> setFinite;
    for (int s = 0; s < setCount; ++s) {
        const double d = s < input.setDirection.size() ? input.setDirection.at(s) : qQNaN();
        const double a = s < input.setAngle.size() ? input.setAngle.at(s) : qQNaN();
        setFinite.append(finite(d, a));
        setNormals.append(planeNormal(d, a));
    }

    switch (input.pairs) {
    case WedgePairs::All:
        countAllPairs(kernel, planes, setOf, setCount, threads, wedge);
        break;
    case WedgePairs::Sets:
        for (int a = 0; a < setCount; ++a) {
            for (int b = a + 1; b < setCount; ++b) {
                bool critical = false;
                if (!setFinite[a] || !setFinite[b] ||
                    !judgeIntersection(criteria, setNormals[a], setNormals[b], critical))
                    continue;
                Tally t;
                t.total = 1;
                t.weightedTotal = 1;
                t.count = critical ? 1 : 0;
                t.weighted = critical ? 1 : 0;
                wedge[setCount].add(t, 1.0);
                wedge[a].add(t, 1.0);
                wedge[b].add(t, 1.0);
            }
        }
        break;
    case WedgePairs::SetsVsAll:
        for (int a = 0; a < setCount; ++a) {
            if (!setFinite[a])
                continue;
            const Tally t = judgeSegment(kernel, setNormals[a], planes, 0, planes.size());
            wedge[setCount].add(t, 1.0);
            wedge[a].add(t, 1.0);
        }
        break;
    }

    for (int s = 0; s <= setCount; ++s) {
        result.planar[s] = toCount(planar[s]);
        result.toppling[s] = toCount(topple[s]);
        result.wedge[s] = toCount(wedge[s]);
    }
    return result;
}
