// Factors of safety for planar and wedge sliding of a project's unstable
// planes and wedges, with the states and required factors of GB 50330-2013.
#include "model/factors/stabilityfactors.h"

#include "model/datacenter.h"
#include "model/factors/anchorforce.h"
#include "model/factors/loadcases.h"
#include "model/factors/planarsliding.h"
#include "model/factors/stabilityproblems.h"
#include "model/factors/wedgesliding.h"

#include <QCoreApplication>
#include <QHash>

#include <array>
#include <cmath>

namespace {
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;

QString tr(const char* text) {
    return QCoreApplication::translate("StabilityFactors", text);
}

bool isUnstable(const PlaneRecord& record) {
    return record.state / 10 == 3;
}

// A candidate for a factor: a plane that daylights in the face within the
// included angle, a wedge whose line of intersection daylights — whether or
// not the dry, cohesionless kinematic test found it unstable (codes 12 and
// 3x). Water or seismic load can bring down a plane flatter than φ, and
// cohesion can hold a steeper one.
bool isPlaneCandidate(const DataCenter& project, const PlaneRecord& plane) {
    if (plane.state >= StabilityState::Unstable &&
        plane.state <= StabilityState::UnstableAboveFrictionInsideIncluded)
        return true;
    if (plane.state != StabilityState::BelowFriction)
        return false;
    // Code 12 is given before the included angle is looked at.
    return project.IncludedAnglePlanar > 89.99999 ||
           plane.directionDelta <= project.IncludedAnglePlanar + 1e-5;
}

// Positions in project.planes of a wedge's two planes.
// The planes of a wedge are those the analysis recorded by position; ids
// repeat and 100*a+b collides once they reach 100. Only a record built
// without them (by hand) falls back to decoding its id.
void wedgePlaneIndices(const DataCenter&, const PlaneRecord& wedge, const QHash<int, int>& indexOfId, int& a,
                       int& b) {
    if (wedge.planeA >= 0 || wedge.planeB >= 0) {
        a = wedge.planeA;
        b = wedge.planeB;
        return;
    }
    a = indexOfId.value(wedge.id / 100, -1);
    b = indexOfId.value(wedge.id % 100, -1);
}

bool isWedgeCandidate(const PlaneRecord& wedge) {
    return wedge.state == StabilityState::BelowFriction || isUnstable(wedge);
}

PlaneStrength strengthOf(const DataCenter& project, int id) {
    const auto it = project.stability.planes.constFind(id);
    if (it != project.stability.planes.constEnd())
        return it.value();
    PlaneStrength s;
    s.friction = project.FrictionAnglePlanar;
    return s;
}

// Dip of a plane seen in a vertical section at d degrees from its dip
// direction: tan = tan(dip)·cos d.
double apparentDip(double dip, double d) {
    return std::atan(std::tan(dip * kDegToRad) * std::cos(d * kDegToRad)) * kRadToDeg;
}

PlanarFactor planarFactorOf(const DataCenter& project, int index, const LoadCase& loadCase, double required) {
    const StabilityParams& p = project.stability;
    const PlaneRecord& plane = project.planes.at(index);
    const PlaneStrength strength = strengthOf(project, plane.id);
    const BlockAnchor anchor = p.planeAnchors.value(plane.id);
    PlanarFactor f;
    f.index = index;
    f.id = plane.id;
    f.index = index;
    f.kinematicUnstable = isUnstable(plane);
    // The section runs along the plane's dip direction: the plane shows its
    // true dip, the face and the upper surface their apparent dips.
    const double d = plane.directionDelta;
    f.faceDip = plane.slopeApparentAngle;
    f.planeDip = plane.angle;
    f.upperDip = apparentDip(p.upperDip, d);
    f.height = p.height;
    f.cohesion = strength.cohesion;
    f.friction = strength.friction;
    f.seismic = loadCase.seismic;

    PlanarSection section;
    section.faceDip = f.faceDip;
    section.planeDip = f.planeDip;
    section.upperDip = f.upperDip;
    section.height = f.height;
    // The bench line runs along the face's strike: in the section it lies
    // L / cos d behind the crest.
    section.upperLength = sectionUpperLength(p.upperLength, d);
    PlanarLoads loads;
    loads.unitWeight = p.unitWeight;
    loads.waterWeight = p.waterWeight;
    loads.cohesion = f.cohesion;
    loads.friction = f.friction;
    loads.crackWater = loadCase.crackWater;
    loads.seismic = loadCase.seismic;
    loads.anchorForce = anchor.force;
    loads.anchorInclination = anchor.inclination;
    // b is measured horizontally in the section, so that the working shown
    // checks by hand with the section's own angles.
    const PlanarResult r = p.crackCritical ? planarFactorCritical(section, loads)
                                           : planarFactorAt(section, loads, p.crackDistance);
    f.crackDistance = r.crackDistance;
    f.crackDepth = r.crackDepth;
    f.waterDepth = r.waterDepth;
    f.length = r.length;
    f.weight = r.weight;
    f.uplift = r.uplift;
    f.crackForce = r.crackForce;
    f.normalForce = r.normalForce;
    f.drivingForce = r.drivingForce;
    f.lifted = r.lifted;
    f.crackLimit = r.crackLimit;
    f.limitAssumed = r.limitAssumed;
    f.fs = r.fs;
    f.anchor.force = anchor.force;
    f.anchor.inclination = anchor.inclination;
    f.anchor.bearing = plane.direction;
    switch (r.status) {
    case PlanarStatus::Block:
        f.hasBlock = true;
        if (std::isfinite(required) && !meetsRequiredFactor(f.fs, required)) {
            f.anchor.needed = true;
            const RequiredAnchor need =
                planarRequiredAnchor(section, loads, required, p.crackCritical, p.crackDistance);
            f.anchor.reachable = need.reachable;
            f.anchor.required = need.force;
            f.anchor.bestFound = planarLeastAnchor(section, loads, required, p.crackCritical, p.crackDistance,
                                                   f.anchor.bestInclination, f.anchor.bestForce);
        }
        break;
    case PlanarStatus::PlaneTooSteep:
        f.reason = tr("滑面倾角不小于坡面视倾角，不能形成滑块");
        break;
    case PlanarStatus::CrackMissesPlane:
        f.reason = tr("张裂缝位于滑面在坡顶的出露线之外，不能形成滑块");
        break;
    case PlanarStatus::NoDrivingForce:
        f.reason = tr("滑面无下滑力，不会滑动");
        break;
    case PlanarStatus::Invalid:
        f.reason = tr("计算参数超出范围，不能计算");
        break;
    }
    return f;
}

WedgeFactor wedgeFactorOf(const DataCenter& project, int index, int indexA, int indexB,
                          const LoadCase& loadCase, double required) {
    const StabilityParams& p = project.stability;
    const PlaneRecord& wedge = project.wedges.at(index);
    const PlaneRecord& a = project.planes.at(indexA);
    const PlaneRecord& b = project.planes.at(indexB);
    const PlaneStrength sa = strengthOf(project, a.id), sb = strengthOf(project, b.id);
    const BlockAnchor anchor = p.wedgeAnchors.value(wedgeKey(a.id, b.id));
    WedgeFactor f;
    f.index = index;
    f.indexA = wedge.planeA;
    f.indexB = wedge.planeB;
    f.id = wedge.id;
    f.index = index;
    f.indexA = indexA;
    f.indexB = indexB;
    f.kinematicUnstable = isUnstable(wedge);
    f.planeA = a.id;
    f.planeB = b.id;
    f.cohesionA = sa.cohesion;
    f.frictionA = sa.friction;
    f.cohesionB = sb.cohesion;
    f.frictionB = sb.friction;

    WedgeGeometry g;
    g.normalA = upwardNormal(a.direction, a.angle);
    g.normalB = upwardNormal(b.direction, b.angle);
    g.normalFace = upwardNormal(project.slope.direction, project.slope.angle);
    g.normalUpper = upwardNormal(project.slope.direction, p.upperDip);
    // The crest lies H above the daylight point and H·cotψf behind it; the
    // upper surface falls by tanψs per metre from there towards the face.
    g.upperHeight =
        p.height * (1 - std::tan(p.upperDip * kDegToRad) / std::tan(project.slope.angle * kDegToRad));
    WedgeLoads loads;
    loads.unitWeight = p.unitWeight;
    loads.waterWeight = p.waterWeight;
    loads.cohesionA = sa.cohesion;
    loads.frictionA = sa.friction;
    loads.cohesionB = sb.cohesion;
    loads.frictionB = sb.friction;
    loads.saturated = loadCase.wedgeSaturated;
    loads.seismic = loadCase.seismic;
    loads.anchorForce = anchor.force;
    loads.anchorInclination = anchor.inclination;
    loads.anchorBearingGiven = anchor.bearingGiven;
    loads.anchorBearing = anchor.bearing;

    const WedgeResult r = wedgeFactor(g, loads);
    f.mode = r.mode;
    f.wedgeHeight = r.height;
    f.volume = r.volume;
    f.weight = r.weight;
    f.areaA = r.areaA;
    f.areaB = r.areaB;
    f.peakWaterPressure = r.peakWaterPressure;
    f.waterA = r.waterA;
    f.waterB = r.waterB;
    f.normalA = r.normalA;
    f.normalB = r.normalB;
    f.drivingForce = r.drivingForce;
    f.fs = r.fs;
    f.anchor.force = anchor.force;
    f.anchor.inclination = anchor.inclination;
    f.anchor.bearing = r.anchorBearing;
    switch (r.status) {
    case WedgeStatus::Wedge:
        f.hasBlock = true;
        if (std::isfinite(required) && !meetsRequiredFactor(f.fs, required)) {
            f.anchor.needed = true;
            WedgeLoads fixedBearing = loads;
            fixedBearing.anchorBearingGiven = true;
            fixedBearing.anchorBearing = r.anchorBearing;
            const RequiredAnchor need = wedgeRequiredAnchor(g, fixedBearing, required);
            f.anchor.reachable = need.reachable;
            f.anchor.required = need.force;
            f.anchor.bestFound =
                wedgeLeastAnchor(g, fixedBearing, required, f.anchor.bestInclination, f.anchor.bestForce);
        }
        break;
    case WedgeStatus::NoDaylight:
        f.reason = tr("交线不在坡面出露，不能形成楔体");
        break;
    case WedgeStatus::NoUpperOutcrop:
        f.reason = tr("交线倾角不大于坡顶面视倾角，不能形成楔体");
        break;
    case WedgeStatus::NotTetrahedron:
        f.reason = tr("两结构面与坡面、坡顶面围不成楔体");
        break;
    case WedgeStatus::NoDrivingForce:
        f.reason = tr("楔体无下滑力，不会滑动");
        break;
    case WedgeStatus::Invalid:
        f.reason = tr("计算参数超出范围，不能计算");
        break;
    }
    return f;
}
} // namespace

bool loadCaseInputsValid(const StabilityParams& p) {
    if (!(p.upperLength >= 0 && p.upperLength <= MaxUpperLength) || p.cases.size() > MaxLoadCases)
        return false;
    for (const LoadCase& c : p.cases) {
        if (!(c.crackWater >= 0 && c.crackWater <= 1) || !(c.seismic >= 0 && c.seismic <= 0.5) ||
            c.name.size() > MaxCaseName)
            return false;
        if (c.requiredTyped != 0) {
            double table = 0;
            const bool inTable = tableRequiredFactor(p.safetyClass, p.permanent, c.seismic > 0, table);
            if (!(c.requiredTyped >= (inTable ? table : 1.0) - FactorTolerance &&
                  c.requiredTyped <= MaxRequired))
                return false;
        }
    }
    const auto anchorValid = [](const BlockAnchor& a, double maxForce) {
        return a.force >= 0 && a.force <= maxForce && a.inclination > -90 && a.inclination < 90 &&
               (!a.bearingGiven || (a.bearing >= 0 && a.bearing < 360));
    };
    for (const BlockAnchor& a : p.planeAnchors)
        if (!anchorValid(a, MaxPlanarAnchor))
            return false;
    for (const BlockAnchor& a : p.wedgeAnchors)
        if (!anchorValid(a, MaxWedgeAnchor))
            return false;
    return true;
}

double sectionUpperLength(double upperLength, double directionDelta) {
    return upperLength > 0 ? upperLength / std::max(1e-9, std::cos(directionDelta * kDegToRad)) : 0;
}

double requiredFactor(const StabilityParams& params) {
    double required = 0;
    tableRequiredFactor(params.safetyClass, params.permanent, params.seismic > 0, required);
    return required;
}

QString factorStateWord(double fs, double required) {
    // GB 50330-2013 Table 5.3.1.
    if (fs < 1.00 - FactorTolerance)
        return tr("不稳定");
    if (fs < 1.05 - FactorTolerance)
        return tr("欠稳定");
    // Without Fst (a temporary slope in the seismic case) the table cannot
    // tell 基本稳定 from 稳定.
    if (!std::isfinite(required))
        return tr("未定（无Fst）");
    if (!meetsRequiredFactor(fs, required))
        return tr("基本稳定");
    return tr("稳定");
}

bool meetsRequiredFactor(double fs, double required) {
    return fs >= required - FactorTolerance;
}

QString wedgeModeCode(WedgeMode mode) {
    switch (mode) {
    case WedgeMode::Both:
        return QStringLiteral("AB");
    case WedgeMode::OnA:
        return QStringLiteral("A");
    case WedgeMode::OnB:
        return QStringLiteral("B");
    case WedgeMode::NoContact:
        break;
    }
    return QStringLiteral("none");
}

bool isValidStabilityParams(const StabilityParams& p, double faceDip) {
    return stabilityParamProblems(p, faceDip).isEmpty() && loadCaseInputsValid(p);
}

StabilityFactors computeStabilityFactors(const DataCenter& project) {
    StabilityFactors out;
    const StabilityParams& p = project.stability;
    const QList<LoadCase> cases = loadCasesOf(p);
    for (const LoadCase& loadCase : cases) {
        CaseFactors c;
        c.loadCase = loadCase;
        c.required = caseRequiredFactor(p, loadCase, c.requiredFromTable, c.requiredMissing);
        out.cases.append(c);
    }
    out.required = out.cases.first().required;
    out.seismicCase = out.cases.first().loadCase.seismic > 0;
    if (project.analysisOff || !p.enabled || !DataCenter::isValidAttitude(project.slope) ||
        !isValidStabilityParams(p, project.slope.angle))
        return out;
    // The default friction angle must itself be usable by the solvers.
    if (!std::isfinite(project.FrictionAnglePlanar) || project.FrictionAnglePlanar < 0 ||
        project.FrictionAnglePlanar >= 90)
        return out;

    // The planes of each wedge: by position where the analysis recorded it,
    // else by the ids its own id is made of.
    QHash<int, int> indexOfId;
    for (int i = project.planes.size() - 1; i >= 0; --i)
        indexOfId.insert(project.planes.at(i).id, i);
    QList<int> planeIndices;
    QList<std::array<int, 3>> wedgeIndices; // wedge, A, B
    for (int i = 0; i < project.planes.size(); ++i)
        if (isPlaneCandidate(project, project.planes.at(i)))
            planeIndices.append(i);
    for (int i = 0; i < project.wedges.size(); ++i) {
        const PlaneRecord& wedge = project.wedges.at(i);
        if (!isWedgeCandidate(wedge))
            continue;
        int a = -1, b = -1;
        wedgePlaneIndices(project, wedge, indexOfId, a, b);
        if (a < 0 || b < 0 || a == b || a >= project.planes.size() || b >= project.planes.size())
            continue;
        wedgeIndices.append(std::array<int, 3>{{i, a, b}});
    }
    for (CaseFactors& c : out.cases) {
        for (int i : planeIndices) {
            PlanarFactor f = planarFactorOf(project, i, c.loadCase, c.required);
            keepFiniteBlock(f);
            c.planes.append(f);
        }
        for (const auto& w : wedgeIndices) {
            WedgeFactor f = wedgeFactorOf(project, w[0], w[1], w[2], c.loadCase, c.required);
            keepFiniteBlock(f);
            c.wedges.append(f);
        }
    }
    out.planes = out.cases.first().planes;
    out.wedges = out.cases.first().wedges;
    return out;
}
