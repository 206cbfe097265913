// Planar sliding: Hoek & Bray's two-dimensional block with a tension crack.
#include "model/factors/planarsliding.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kDegToRad = 0.017453292519943295;

bool isFinite(double v) {
    return std::isfinite(v);
}

bool validInputs(const PlanarSection& s, const PlanarLoads& l) {
    const double all[] = {s.faceDip,    s.planeDip,    s.upperDip,         s.height,   s.upperLength,
                          l.unitWeight, l.waterWeight, l.cohesion,         l.friction, l.crackWater,
                          l.seismic,    l.anchorForce, l.anchorInclination};
    for (double v : all)
        if (!isFinite(v))
            return false;
    return s.height > 0 && s.faceDip > 0 && s.faceDip < 90 && s.planeDip >= 0 && s.upperDip >= 0 &&
           s.upperDip < s.faceDip && s.upperLength >= 0 && l.unitWeight > 0 && l.waterWeight >= 0 &&
           l.cohesion >= 0 && l.friction >= 0 && l.friction < 90 && l.crackWater >= 0 && l.crackWater <= 1 &&
           l.seismic >= 0 && l.anchorForce >= 0 && l.anchorInclination > -90 && l.anchorInclination < 90;
}
} // namespace

double planarCrackLimit(const PlanarSection& s, bool* assumed) {
    const double tf = std::tan(s.faceDip * kDegToRad);
    const double tp = std::tan(s.planeDip * kDegToRad);
    const double ts = std::tan(s.upperDip * kDegToRad);
    const double L = s.upperLength;
    if (assumed)
        *assumed = false;
    // z = 0 in z = H + b·tanψs − (b + H·cotψf)·tanψp, on the upper slope ...
    if (ts < tp) {
        const double onSlope = s.height * (1 - tp / tf) / (tp - ts);
        if (!(L > 0) || onSlope <= L)
            return onSlope;
    }
    // ... or on the bench behind it: H + L·tanψs = (b + H·cotψf)·tanψp.
    if (L > 0 && tp > 0)
        return (s.height + L * ts) / tp - s.height / tf;
    if (assumed)
        *assumed = true;
    return 10 * s.height;
}

PlanarResult planarFactorAt(const PlanarSection& s, const PlanarLoads& l, double b) {
    PlanarResult r;
    r.crackDistance = b;
    r.crackLimit = planarCrackLimit(s, &r.limitAssumed);
    if (!validInputs(s, l) || !isFinite(b) || b < 0)
        return r;
    if (s.planeDip >= s.faceDip) {
        r.status = PlanarStatus::PlaneTooSteep;
        return r;
    }
    const double H = s.height;
    const double psiP = s.planeDip * kDegToRad;
    const double tf = std::tan(s.faceDip * kDegToRad);
    const double tp = std::tan(psiP);
    const double ts = std::tan(s.upperDip * kDegToRad);
    const double cotF = 1 / tf;

    // Crack depth for a crack in the upper slope surface (Hoek & Bray 1981,
    // ch. 7): the surface is H + b·tanψs above the toe there, the plane
    // (b + H·cotψf)·tanψp.
    // With a bench L behind the crest the ground stays at H + L·tanψs beyond it.
    const double benchPart = s.upperLength > 0 && b > s.upperLength ? b - s.upperLength : 0;
    const double z = H + (b - benchPart) * ts - (b + H * cotF) * tp;
    r.crackDepth = z;
    if (!(z > 1e-9 * H)) {
        r.status = PlanarStatus::CrackMissesPlane;
        return r;
    }
    // Length of the sliding plane from the toe to the foot of the crack:
    // A = (H + b·tanψs − z)/sinψp, written as horizontal run / cosψp so that
    // a flat plane needs no special case.
    r.length = (b + H * cotF) / std::cos(psiP);
    // Weight per metre run of the block toe–crest–crack (Hoek & Bray 1981,
    // ch. 7, tension crack in the upper slope surface):
    // W = γ[(1 − cotψf·tanψp)(b·H + ½H²·cotψf) + ½b²(tanψs − tanψp)];
    // for ψs = 0 it equals ½γH²[(1 − (z/H)²)·cotψp − cotψf] of the same text.
    // Behind a bench the triangle ½(b − L)²·tanψs that the upper slope would
    // add above the bench's level is missing.
    r.weight = l.unitWeight * ((1 - cotF * tp) * (b * H + 0.5 * H * H * cotF) + 0.5 * b * b * (ts - tp) -
                               0.5 * benchPart * benchPart * ts);
    // Water: hydrostatic in the crack, falling linearly along the plane to
    // zero at the toe (Hoek & Bray 1981, ch. 7): V = ½γw·zw², U = ½γw·zw·A.
    r.waterDepth = l.crackWater * z;
    r.crackForce = 0.5 * l.waterWeight * r.waterDepth * r.waterDepth;
    r.uplift = 0.5 * l.waterWeight * r.waterDepth * r.length;

    // Limit equilibrium along the plane with a horizontal seismic force kH·W
    // (Hoek & Bray 1981, ch. 7, with the pseudo-static term; GB 50330-2013
    // eq. A.0.2 with Q = αw·G):
    // FS = [c·A + (W(cosψp − kH·sinψp) − U − V·sinψp + T·sin(ψp+ψT))·tanφ]
    //      / [W(sinψp + kH·cosψp) + V·cosψp − T·cos(ψp+ψT)].
    // The anchor T, inclined ψT below horizontal into the slope, presses the
    // block onto the plane by T·sin(ψp+ψT) and holds it back by
    // T·cos(ψp+ψT) (Hoek & Bray 1981, ch. 7, reinforcement with tensioned
    // bolts, there with the angle θ = 90° − ψp − ψT to the plane's normal;
    // Wyllie & Mah, Rock Slope Engineering, 4th ed., 2004, §6.5: the active
    // anchor's tension reduces the driving force).
    const double sinP = std::sin(psiP), cosP = std::cos(psiP);
    const double anchorAngle = psiP + l.anchorInclination * kDegToRad;
    const double normal = r.weight * (cosP - l.seismic * sinP) - r.uplift - r.crackForce * sinP +
                          l.anchorForce * std::sin(anchorAngle);
    r.normalForce = std::max(0.0, normal);
    r.drivingForce =
        r.weight * (sinP + l.seismic * cosP) + r.crackForce * cosP - l.anchorForce * std::cos(anchorAngle);
    if (!(r.drivingForce > 1e-12 * std::max(1.0, r.weight))) {
        r.status = PlanarStatus::NoDrivingForce;
        return r;
    }
    // A negative effective normal force means the water (or the seismic
    // load) pushes harder on the plane than the block presses on it: the
    // joint opens and the block lifts off. A rigid block that has lost
    // contact has neither friction nor cohesion on the plane, so Fs = 0 —
    // the same rule as a wedge that loses contact with both planes.
    if (normal < 0) {
        r.lifted = true;
        r.fs = 0;
        r.status = PlanarStatus::Block;
        return r;
    }
    r.fs = (l.cohesion * r.length + r.normalForce * std::tan(l.friction * kDegToRad)) / r.drivingForce;
    r.status = isFinite(r.fs) ? PlanarStatus::Block : PlanarStatus::Invalid;
    return r;
}

PlanarResult planarFactorCritical(const PlanarSection& s, const PlanarLoads& l) {
    const PlanarResult atCrest = planarFactorAt(s, l, 0);
    if (atCrest.status == PlanarStatus::Invalid || atCrest.status == PlanarStatus::PlaneTooSteep)
        return atCrest;
    // The factor need not be unimodal in b once water is in the crack, so
    // sample the whole range first and then refine the best bracket by
    // golden sections.
    const double limit = planarCrackLimit(s) * (1 - 1e-9);
    const auto fsAt = [&](double b, PlanarResult* out) {
        const PlanarResult r = planarFactorAt(s, l, b);
        if (out)
            *out = r;
        return r.status == PlanarStatus::Block ? r.fs : HUGE_VAL;
    };
    constexpr int kSamples = 400;
    int best = -1;
    double bestFs = HUGE_VAL;
    for (int i = 0; i <= kSamples; ++i) {
        const double f = fsAt(limit * i / kSamples, nullptr);
        if (f < bestFs) {
            bestFs = f;
            best = i;
        }
    }
    if (best < 0) // no position forms a block that can slide: report the crest's reason
        return atCrest;
    double lo = limit * std::max(0, best - 1) / kSamples;
    double hi = limit * std::min(kSamples, best + 1) / kSamples;
    const double g = 0.5 * (std::sqrt(5.0) - 1);
    double x1 = hi - g * (hi - lo), x2 = lo + g * (hi - lo);
    double f1 = fsAt(x1, nullptr), f2 = fsAt(x2, nullptr);
    for (int it = 0; it < 80 && hi - lo > 1e-12 * (1 + limit); ++it) {
        if (f1 <= f2) {
            hi = x2;
            x2 = x1;
            f2 = f1;
            x1 = hi - g * (hi - lo);
            f1 = fsAt(x1, nullptr);
        } else {
            lo = x1;
            x1 = x2;
            f1 = f2;
            x2 = lo + g * (hi - lo);
            f2 = fsAt(x2, nullptr);
        }
    }
    PlanarResult refined;
    const double bRefined = 0.5 * (lo + hi);
    if (fsAt(bRefined, &refined) <= bestFs)
        return refined;
    PlanarResult sampled;
    fsAt(limit * best / kSamples, &sampled);
    return sampled;
}
