// Factors of safety for planar and wedge sliding of a project's unstable
// planes and wedges, with the states and required factors of GB 50330-2013.
#include "model/factors/stabilityfactors.h"

#include "model/datacenter.h"
#include "model/factors/planarsliding.h"
#include "model/factors/stabilityproblems.h"
#include "model/factors/wedgesliding.h"

#include <QCoreApplication>

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

PlanarFactor planarFactorOf(const DataCenter& project, int index) {
    const PlaneRecord& plane = project.planes.at(index);
    const StabilityParams& p = project.stability;
    const PlaneStrength strength = strengthOf(project, plane.id);
    PlanarFactor f;
    f.index = index;
    f.id = plane.id;
    // The section runs along the plane's dip direction: the plane shows its
    // true dip, the face and the upper surface their apparent dips.
    const double d = plane.directionDelta;
    f.faceDip = plane.slopeApparentAngle;
    f.planeDip = plane.angle;
    f.upperDip = apparentDip(p.upperDip, d);
    f.height = p.height;
    f.cohesion = strength.cohesion;
    f.friction = strength.friction;
    f.seismic = p.seismic;

    PlanarSection section;
    section.faceDip = f.faceDip;
    section.planeDip = f.planeDip;
    section.upperDip = f.upperDip;
    section.height = f.height;
    PlanarLoads loads;
    loads.unitWeight = p.unitWeight;
    loads.waterWeight = p.waterWeight;
    loads.cohesion = f.cohesion;
    loads.friction = f.friction;
    loads.crackWater = p.crackWater;
    loads.seismic = p.seismic;
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
    f.fs = r.fs;
    switch (r.status) {
    case PlanarStatus::Block:
        f.hasBlock = true;
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

WedgeFactor wedgeFactorOf(const DataCenter& project, int index) {
    const PlaneRecord& wedge = project.wedges.at(index);
    const PlaneRecord& a = project.planes.at(wedge.planeA);
    const PlaneRecord& b = project.planes.at(wedge.planeB);
    const StabilityParams& p = project.stability;
    const PlaneStrength sa = strengthOf(project, a.id), sb = strengthOf(project, b.id);
    WedgeFactor f;
    f.index = index;
    f.indexA = wedge.planeA;
    f.indexB = wedge.planeB;
    f.id = wedge.id;
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
    loads.saturated = p.wedgeSaturated;
    loads.seismic = p.seismic;

    const WedgeResult r = wedgeFactor(g, loads);
    f.mode = r.mode;
    f.wedgeHeight = r.height;
    f.volume = r.volume;
    f.weight = r.weight;
    f.areaA = r.areaA;
    f.areaB = r.areaB;
    f.waterA = r.waterA;
    f.waterB = r.waterB;
    f.normalA = r.normalA;
    f.normalB = r.normalB;
    f.drivingForce = r.drivingForce;
    f.fs = r.fs;
    switch (r.status) {
    case WedgeStatus::Wedge:
        f.hasBlock = true;
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

double requiredFactor(const StabilityParams& params) {
    // GB 50330-2013 Table 5.3.2: permanent slopes in the ordinary and in the
    // seismic load case, temporary slopes; safety classes 一级, 二级, 三级.
    static const double permanentOrdinary[] = {1.35, 1.30, 1.25};
    static const double permanentSeismic[] = {1.15, 1.10, 1.05};
    static const double temporary[] = {1.25, 1.20, 1.15};
    const int i = qBound(1, params.safetyClass, 3) - 1;
    if (!params.permanent)
        return temporary[i];
    return params.seismic > 0 ? permanentSeismic[i] : permanentOrdinary[i];
}

QString factorStateWord(double fs, double required) {
    // GB 50330-2013 Table 5.3.1.
    if (fs < 1.00 - FactorTolerance)
        return tr("不稳定");
    if (fs < 1.05 - FactorTolerance)
        return tr("欠稳定");
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
    return stabilityParamProblems(p, faceDip).isEmpty();
}

StabilityFactors computeStabilityFactors(const DataCenter& project) {
    StabilityFactors out;
    const StabilityParams& p = project.stability;
    out.required = requiredFactor(p);
    out.seismicCase = p.seismic > 0;
    if (project.analysisOff || !p.enabled || !DataCenter::isValidAttitude(project.slope) ||
        !isValidStabilityParams(p, project.slope.angle))
        return out;
    // The default friction angle must itself be usable by the solvers.
    if (!std::isfinite(project.FrictionAnglePlanar) || project.FrictionAnglePlanar < 0 ||
        project.FrictionAnglePlanar >= 90)
        return out;

    for (int i = 0; i < project.planes.size(); ++i)
        if (isUnstable(project.planes.at(i))) {
            PlanarFactor f = planarFactorOf(project, i);
            keepFiniteBlock(f);
            out.planes.append(f);
        }
    // A wedge knows its planes by position; one whose planes were removed or
    // reordered since the analysis has no block to compute.
    const int planeCount = project.planes.size();
    for (int i = 0; i < project.wedges.size(); ++i) {
        const PlaneRecord& wedge = project.wedges.at(i);
        if (!isUnstable(wedge) || wedge.planeA < 0 || wedge.planeB < 0 || wedge.planeA >= planeCount ||
            wedge.planeB >= planeCount || wedge.planeA == wedge.planeB)
            continue;
        WedgeFactor f = wedgeFactorOf(project, i);
        keepFiniteBlock(f);
        out.wedges.append(f);
    }
    return out;
}
