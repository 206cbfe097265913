// Anchor force required for a factor of safety.
#include "model/factors/anchorforce.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {
constexpr double kDegToRad = 0.017453292519943295;

// Largest (or, with `lowest`, smallest) value of f over [lo, hi]: samples
// then golden sections around the best sample, since f need not be
// unimodal. Returns the argument; `best` gets the value.
double searchExtreme(const std::function<double(double)>& f, double lo, double hi, bool lowest, int samples,
                     double& best) {
    const double sign = lowest ? 1 : -1;
    int bestIndex = 0;
    best = HUGE_VAL;
    for (int i = 0; i <= samples; ++i) {
        const double v = sign * f(lo + (hi - lo) * i / samples);
        if (v < best) {
            best = v;
            bestIndex = i;
        }
    }
    double a = lo + (hi - lo) * std::max(0, bestIndex - 1) / samples;
    double b = lo + (hi - lo) * std::min(samples, bestIndex + 1) / samples;
    double arg = lo + (hi - lo) * bestIndex / samples;
    const double g = 0.5 * (std::sqrt(5.0) - 1);
    double x1 = b - g * (b - a), x2 = a + g * (b - a);
    double f1 = sign * f(x1), f2 = sign * f(x2);
    for (int it = 0; it < 60 && b - a > 1e-10 * (1 + std::fabs(hi - lo)); ++it) {
        if (f1 <= f2) {
            b = x2;
            x2 = x1;
            f2 = f1;
            x1 = b - g * (b - a);
            f1 = sign * f(x1);
        } else {
            a = x1;
            x1 = x2;
            f1 = f2;
            x2 = a + g * (b - a);
            f2 = sign * f(x2);
        }
    }
    const double mid = 0.5 * (a + b);
    const double fm = sign * f(mid);
    if (fm <= best) {
        best = fm;
        arg = mid;
    }
    best *= sign;
    return arg;
}

// Inclinations searched for the least force: steeper than ±88° an anchor
// cannot be placed in the section's plane meaningfully.
constexpr double kSteepest = 88;
} // namespace

RequiredAnchor planarRequiredAnchorAt(const PlanarSection& s, const PlanarLoads& loads, double b,
                                      double required) {
    RequiredAnchor out;
    PlanarLoads l = loads;
    l.anchorForce = 0;
    const PlanarResult r = planarFactorAt(s, l, b);
    out.block = r.status == PlanarStatus::Block;
    if (!out.block || !std::isfinite(required))
        return out;
    // With T at ψT the anchored block of Hoek & Bray (1981, ch. 7) gives
    //   Fs(T) = [cA + (N0 + T·sin x)·tanφ] / (D0 − T·cos x),  x = ψp + ψT,
    // N0 and D0 the block's own normal and driving forces, so Fs = Fst at
    //   T = (Fst·D0 − cA − N0·tanφ) / (Fst·cos x + tanφ·sin x),
    // as long as the anchor keeps the block on the plane (N0 + T·sin x ≥ 0).
    const double psiP = s.planeDip * kDegToRad;
    const double x = psiP + l.anchorInclination * kDegToRad;
    const double tanPhi = std::tan(l.friction * kDegToRad);
    const double n0 =
        r.weight * (std::cos(psiP) - l.seismic * std::sin(psiP)) - r.uplift - r.crackForce * std::sin(psiP);
    const double d0 = r.drivingForce;
    const double excess = required * d0 - l.cohesion * r.length - n0 * tanPhi;
    double force = 0;
    if (excess > 0 || n0 < 0) {
        const double gain = required * std::cos(x) + tanPhi * std::sin(x);
        if (excess > 0) {
            if (!(gain > 0))
                return out;
            force = excess / gain;
        }
        if (n0 < 0) {
            if (!(std::sin(x) > 0))
                return out;
            force = std::max(force, -n0 / std::sin(x));
        }
        // An anchor pointing up from the plane's normal (x < 0) takes normal
        // force away: it must not lift the block it is meant to hold.
        if (n0 + force * std::sin(x) < 0)
            return out;
    }
    out.reachable = std::isfinite(force);
    out.force = force;
    return out;
}

RequiredAnchor planarRequiredAnchor(const PlanarSection& s, const PlanarLoads& l, double required,
                                    bool crackCritical, double crackDistance) {
    if (!crackCritical)
        return planarRequiredAnchorAt(s, l, crackDistance, required);
    // The anchor must hold every block the crack can cut off: the largest
    // force over the crack positions.
    const double limit = planarCrackLimit(s) * (1 - 1e-9);
    bool anyBlock = false, unreachable = false;
    const auto forceAt = [&](double b) {
        const RequiredAnchor a = planarRequiredAnchorAt(s, l, b, required);
        if (a.block) {
            anyBlock = true;
            if (!a.reachable)
                unreachable = true;
        }
        return a.reachable ? a.force : 0.0;
    };
    double best = 0;
    searchExtreme(forceAt, 0, limit, false, 200, best);
    RequiredAnchor out;
    out.block = anyBlock;
    out.reachable = anyBlock && !unreachable;
    out.force = out.reachable ? best : 0;
    return out;
}

bool planarLeastAnchor(const PlanarSection& s, const PlanarLoads& loads, double required, bool crackCritical,
                       double crackDistance, double& inclination, double& force) {
    PlanarLoads l = loads;
    l.anchorForce = 0;
    // While the block stays on the plane, T(b, x) = excess(b)/(Fst·cos x +
    // tanφ·sin x): the crack position and the inclination separate, and the
    // force is least where tan x = tanφ/Fst, i.e. ψT = arctan(tanφ/Fst) − ψp
    // (Hoek & Bray 1981, ch. 7, optimum bolt inclination). A block that water
    // lifts off the plane somewhere needs the search.
    const double limit = planarCrackLimit(s) * (1 - 1e-9);
    bool lifts = false;
    for (int i = 0; i <= (crackCritical ? 200 : 0) && !lifts; ++i) {
        const PlanarResult r = planarFactorAt(s, l, crackCritical ? limit * i / 200 : crackDistance);
        lifts = r.status == PlanarStatus::Block && r.lifted;
    }
    if (!lifts && std::isfinite(required) && required > 0) {
        inclination = std::atan(std::tan(l.friction * kDegToRad) / required) / kDegToRad - s.planeDip;
        l.anchorInclination = inclination;
        const RequiredAnchor a = planarRequiredAnchor(s, l, required, crackCritical, crackDistance);
        force = a.reachable ? a.force : HUGE_VAL;
        return a.reachable;
    }
    const auto forceAt = [&](double psiT) {
        l.anchorInclination = psiT;
        const RequiredAnchor a = planarRequiredAnchor(s, l, required, crackCritical, crackDistance);
        return a.reachable ? a.force : HUGE_VAL;
    };
    double best = HUGE_VAL;
    inclination = searchExtreme(forceAt, -kSteepest, kSteepest, true, 88, best);
    force = best;
    return std::isfinite(best);
}

RequiredAnchor wedgeRequiredAnchor(const WedgeGeometry& g, const WedgeLoads& loads, double required) {
    RequiredAnchor out;
    if (!std::isfinite(required))
        return out;
    WedgeLoads l = loads;
    // Fs(T) from the vector equilibrium with the anchor among the forces;
    // a wedge the anchor holds outright (no driving force left) counts as
    // meeting any factor.
    const auto meets = [&](double t, bool& block) {
        l.anchorForce = t;
        const WedgeResult r = wedgeFactor(g, l);
        block = r.status == WedgeStatus::Wedge || r.status == WedgeStatus::NoDrivingForce;
        return r.status == WedgeStatus::NoDrivingForce ||
               (r.status == WedgeStatus::Wedge && r.fs >= required);
    };
    bool block = false;
    if (meets(0, block)) {
        out.block = out.reachable = block;
        return out;
    }
    out.block = block;
    if (!block)
        return out;
    l.anchorForce = 0;
    const double weight = std::max(1e-9, wedgeFactor(g, l).weight);
    // Bracket the least force that meets the factor on a geometric scale
    // (an anchor pulling the wedge off its planes can make Fs fall again
    // beyond some force, so the first bracket is wanted), then bisect.
    double lo = 0, hi = 1e-3 * weight;
    while (!meets(hi, block)) {
        lo = hi;
        hi *= 1.25;
        if (hi > 1e4 * weight)
            return out;
    }
    for (int it = 0; it < 100 && hi - lo > 1e-10 * hi; ++it) {
        const double mid = 0.5 * (lo + hi);
        (meets(mid, block) ? hi : lo) = mid;
    }
    out.reachable = true;
    out.force = hi;
    return out;
}

bool wedgeLeastAnchor(const WedgeGeometry& g, const WedgeLoads& loads, double required, double& inclination,
                      double& force) {
    WedgeLoads l = loads;
    const auto forceAt = [&](double psiT) {
        l.anchorInclination = psiT;
        const RequiredAnchor a = wedgeRequiredAnchor(g, l, required);
        return a.reachable ? a.force : HUGE_VAL;
    };
    double best = HUGE_VAL;
    inclination = searchExtreme(forceAt, -kSteepest, kSteepest, true, 88, best);
    force = best;
    return std::isfinite(best);
}
