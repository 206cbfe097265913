// Wedge sliding in vector form.
#include "model/factors/wedgesliding.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kDegToRad = 0.017453292519943295;

bool allFinite(const Vec3& a) {
    return std::isfinite(a[0]) && std::isfinite(a[1]) && std::isfinite(a[2]);
}

// The point on the planes n1·x = 0, n2·x = 0, n3·x = d3 (Cramer's rule);
// false when the planes share a direction.
bool meet(const Vec3& n1, const Vec3& n2, const Vec3& n3, double d3, Vec3& point) {
    const Vec3 c12 = cross(n1, n2);
    const double det = dot(n3, c12);
    if (std::fabs(det) < 1e-12)
        return false;
    point = scaled(c12, d3 / det);
    return true;
}
// Default bearing of a wedge's anchor: the trend of the way the wedge slides
// under its own weight — the line of intersection when it rests on both
// planes, else down the one plane it rests on, so that the anchor holds it
// back along its motion (an anchor along the line's trend would pull a
// wedge sliding on one plane partly sideways).
double slidingBearing(const Vec3& nA, const Vec3& nB, const Vec3& line) {
    const double m = dot(nA, nB);
    const double ra = -nA[2], rb = -nB[2]; // gravity (0, 0, −1) on each plane
    const double na = (-ra + rb * m) / (1 - m * m), nb = (-rb + ra * m) / (1 - m * m);
    Vec3 s = line;
    if (!(na >= 0 && nb >= 0)) {
        // The single plane the weight presses on and slides along without
        // running into the other (the modes of wedgeFactor).
        const Vec3& n = (-ra > 0 && nb <= 0) ? nA : nB;
        s = sum(Vec3{{0, 0, -1}}, scaled(n, n[2]));
    }
    double bearing = std::atan2(s[0], s[1]) / kDegToRad;
    return bearing < 0 ? bearing + 360 : bearing;
}
} // namespace

Vec3 upwardNormal(double dipDirection, double dip) {
    const double a = dipDirection * kDegToRad, d = dip * kDegToRad;
    return {{std::sin(a) * std::sin(d), std::cos(a) * std::sin(d), std::cos(d)}};
}

WedgeResult wedgeFactor(const WedgeGeometry& g, const WedgeLoads& l) {
    WedgeResult r;
    const double scalars[] = {g.upperHeight, l.unitWeight,    l.waterWeight,      l.cohesionA,
                              l.frictionA,   l.cohesionB,     l.frictionB,        l.seismic,
                              l.anchorForce, l.anchorBearing, l.anchorInclination};
    for (double v : scalars)
        if (!std::isfinite(v))
            return r;
    if (!allFinite(g.normalA) || !allFinite(g.normalB) || !allFinite(g.normalFace) ||
        !allFinite(g.normalUpper) || !(g.upperHeight > 0) || !(l.unitWeight > 0) || l.waterWeight < 0 ||
        l.cohesionA < 0 || l.cohesionB < 0 || l.frictionA < 0 || l.frictionA >= 90 || l.frictionB < 0 ||
        l.frictionB >= 90 || l.seismic < 0 || !(g.normalUpper[2] > 0) || l.anchorForce < 0 ||
        !(l.anchorInclination > -90) || !(l.anchorInclination < 90))
        return r;
    const Vec3& upA = g.normalA;
    const Vec3& upB = g.normalB;
    const Vec3& nF = g.normalFace;
    const Vec3& nU = g.normalUpper;

    // Line of intersection, pointing down and out of the slope.
    Vec3 line = cross(upA, upB);
    const double lineLength = length(line);
    if (lineLength < 1e-9)
        return r;
    line = scaled(line, (line[2] > 0 ? -1 : 1) / lineLength);
    r.line = line;
    if (!(line[2] < 0))
        return r; // horizontal line
    // The wedge lies behind the face (nF·x ≤ 0): the line, running up and
    // back from the origin, enters the rock only if it leaves it downwards
    // through the face.
    if (!(dot(nF, line) > 1e-12)) {
        r.status = WedgeStatus::NoDaylight;
        return r;
    }
    // Upper surface: nU·x = dU, with the origin below it.
    const double dU = nU[2] * g.upperHeight;
    const double rise = -dot(nU, line); // growth of nU·x per unit length up the line
    if (!(rise > 1e-12)) {
        r.status = WedgeStatus::NoUpperOutcrop;
        return r;
    }
    r.top = scaled(line, -dU / rise);
    // The two vertices on the crest. Each plane bounds the wedge on the side
    // where the other plane's crest vertex lies: normally the wedge rests on
    // both, but one plane may overlie it (Hoek & Bray 1981, Appendix 3); a
    // block hanging under both rests on neither and is no sliding wedge.
    // The four half-spaces then meet in exactly the tetrahedron O, top,
    // crestA, crestB.
    if (!meet(upA, nF, nU, dU, r.crestA) || !meet(upB, nF, nU, dU, r.crestB)) {
        r.status = WedgeStatus::NotTetrahedron;
        return r;
    }
    const double sideA = dot(upA, r.crestB), sideB = dot(upB, r.crestA);
    const double tiny = 1e-9 * g.upperHeight;
    if (std::fabs(sideA) <= tiny || std::fabs(sideB) <= tiny || (sideA < 0 && sideB < 0)) {
        r.status = WedgeStatus::NotTetrahedron;
        return r;
    }
    // Normals pointing from each plane into the wedge.
    const Vec3 nA = sideA > 0 ? upA : scaled(upA, -1);
    const Vec3 nB = sideB > 0 ? upB : scaled(upB, -1);

    r.height = r.top[2];
    r.volume = std::fabs(dot(r.top, cross(r.crestA, r.crestB))) / 6;
    r.areaA = 0.5 * length(cross(r.top, r.crestA));
    r.areaB = 0.5 * length(cross(r.top, r.crestB));
    r.weight = l.unitWeight * r.volume;
    // Saturated wedge (Hoek & Bray 1981, ch. 8, the short solution's water
    // assumption): the pressure is zero along the traces on the face and on
    // the upper surface and rises linearly to γw·h/2 on the line of
    // intersection (h the wedge's height), so that each plane carries a
    // third of that peak over its area: u = γw·h·area/6.
    if (l.saturated) {
        r.waterA = l.waterWeight * r.height * r.areaA / 6;
        r.waterB = l.waterWeight * r.height * r.areaB / 6;
        r.peakWaterPressure = l.waterWeight * r.height / 2;
    }

    // Active resultant: weight, horizontal seismic force along the trend
    // (GB 50330-2013 §5.2.6: Q = αw·G), the water forces, which push the
    // wedge off each plane along the plane's normal into the wedge, and the
    // anchor's pull (Hoek & Bray 1981, Appendix 3, bolt tension T).
    Vec3 trend{{line[0], line[1], 0}};
    const double trendLength = length(trend);
    trend = trendLength > 1e-12 ? scaled(trend, 1 / trendLength) : Vec3{{0, 0, 0}};
    Vec3 R{{0, 0, -r.weight}};
    R = sum(R, scaled(trend, l.seismic * r.weight));
    R = sum(R, sum(scaled(nA, r.waterA), scaled(nB, r.waterB)));
    r.anchorBearing = l.anchorBearingGiven ? l.anchorBearing : slidingBearing(nA, nB, line);
    if (r.anchorBearing < 0)
        r.anchorBearing += 360;
    if (l.anchorForce > 0) {
        const double b = r.anchorBearing * kDegToRad, i = l.anchorInclination * kDegToRad;
        const Vec3 pull{{-std::sin(b) * std::cos(i), -std::cos(b) * std::cos(i), -std::sin(i)}};
        R = sum(R, scaled(pull, l.anchorForce));
    }
    r.inA = nA;
    r.inB = nB;
    r.resultant = R;

    // The contact mode the forces allow (see the header): both planes when
    // it needs no tension, else the single-plane mode(s) the forces allow,
    // the lower factor governing; lifted off both when none.
    const WedgeModeCheck both = wedgeModeFactor(r, l, WedgeMode::Both);
    WedgeModeCheck chosen;
    if (both.consistent) {
        r.mode = WedgeMode::Both;
        chosen = both;
    } else {
        const WedgeModeCheck onA = wedgeModeFactor(r, l, WedgeMode::OnA);
        const WedgeModeCheck onB = wedgeModeFactor(r, l, WedgeMode::OnB);
        r.mode = WedgeMode::NoContact;
        if (onA.consistent && (!onB.consistent || onA.fs <= onB.fs)) {
            r.mode = WedgeMode::OnA;
            chosen = onA;
        } else if (onB.consistent) {
            r.mode = WedgeMode::OnB;
            chosen = onB;
        }
    }
    if (r.mode != WedgeMode::NoContact) {
        r.normalA = chosen.normalA;
        r.normalB = chosen.normalB;
        r.drivingForce = chosen.drivingForce;
        r.fs = chosen.fs;
    }
    if (r.mode != WedgeMode::NoContact && !(r.drivingForce > 1e-12 * std::max(1.0, r.weight))) {
        r.status = WedgeStatus::NoDrivingForce;
        r.fs = 0;
    } else
        r.status = std::isfinite(r.fs) ? WedgeStatus::Wedge : WedgeStatus::Invalid;
    return r;
}

WedgeModeCheck wedgeModeFactor(const WedgeResult& w, const WedgeLoads& l, WedgeMode mode) {
    WedgeModeCheck c;
    const Vec3& R = w.resultant;
    const Vec3& nA = w.inA;
    const Vec3& nB = w.inB;
    const double tanA = std::tan(l.frictionA * kDegToRad), tanB = std::tan(l.frictionB * kDegToRad);
    const double resistA = l.cohesionA * w.areaA, resistB = l.cohesionB * w.areaB;
    const double ra = dot(R, nA), rb = dot(R, nB);
    const double tol = 1e-12 * std::max(1.0, length(R));
    const auto factor = [](double resisting, double driving) {
        return driving > 0 ? resisting / driving : HUGE_VAL;
    };
    switch (mode) {
    case WedgeMode::Both: {
        // NA·nA + NB·nB balances the part of R normal to the line of
        // intersection (Hoek & Bray 1981, Appendix 3); the wedge slides
        // along the line.
        const double m = dot(nA, nB);
        c.normalA = (-ra + rb * m) / (1 - m * m);
        c.normalB = (-rb + ra * m) / (1 - m * m);
        c.consistent = c.normalA >= -tol && c.normalB >= -tol;
        c.direction = w.line;
        c.drivingForce = dot(R, w.line);
        c.fs = factor(c.normalA * tanA + c.normalB * tanB + resistA + resistB, c.drivingForce);
        return c;
    }
    case WedgeMode::OnA:
    case WedgeMode::OnB: {
        // Sliding on one plane: the reaction balances the part of R normal
        // to it; the wedge moves down the part of R lying in it. The mode
        // needs R to press the wedge onto the plane, and that motion must
        // not enter the other plane (Hoek & Bray 1981, Appendix 3; Goodman &
        // Shi 1985, ch. 8: sliding on i alone when s_i·n_j > 0).
        const bool onA = mode == WedgeMode::OnA;
        const Vec3& n = onA ? nA : nB;
        const Vec3& other = onA ? nB : nA;
        const double normal = -dot(R, n);
        const Vec3 s = sum(R, scaled(n, normal));
        (onA ? c.normalA : c.normalB) = normal;
        c.drivingForce = length(s);
        c.direction = c.drivingForce > 0 ? scaled(s, 1 / c.drivingForce) : Vec3{{0, 0, 0}};
        c.consistent = normal > tol && dot(s, other) >= -tol;
        c.fs = factor(onA ? resistA + normal * tanA : resistB + normal * tanB, c.drivingForce);
        return c;
    }
    case WedgeMode::NoContact:
        break;
    }
    // Lifted off both planes: the only mode left when the resultant presses
    // on neither plane (then no other mode is possible).
    c.consistent = !wedgeModeFactor(w, l, WedgeMode::Both).consistent &&
                   !wedgeModeFactor(w, l, WedgeMode::OnA).consistent &&
                   !wedgeModeFactor(w, l, WedgeMode::OnB).consistent;
    return c;
}
