// Range checks of the factor-of-safety inputs.
#include "model/factors/stabilityproblems.h"

#include "model/factors/loadcases.h"
#include "model/factors/stabilityfactors.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

#include <cmath>
#include <initializer_list>

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("StabilityFactors", text);
}

class Collector {
public:
    explicit Collector(QList<ParamProblem>& out) : out(out) {}

    // Adds a problem unless the value is finite and `inside`.
    void check(bool inside, double value, const char* attribute, const QString& label, const QString& range,
               const QString& element = QStringLiteral("Stability"), int planeId = 0) {
        if (std::isfinite(value) && inside)
            return;
        ParamProblem p;
        p.element = element;
        p.planeId = planeId;
        p.attribute = QLatin1String(attribute);
        p.label = label;
        p.range = range;
        p.value = value;
        out.append(p);
    }

private:
    QList<ParamProblem>& out;
};

QString number(double value) {
    return QString::number(value, 'g', 6);
}
} // namespace

namespace {
// The upper-slope length, the load cases ("Case", planeId = the case's
// position from 1) and the anchors ("Anchor", planeId = the plane's id, or
// plane A's for a wedge).
void loadCaseProblems(const StabilityParams& p, Collector& c) {
    c.check(p.upperLength >= 0 && p.upperLength <= MaxUpperLength, p.upperLength, "upperLength",
            tr("坡顶斜坡长度"), tr("0≤长度≤%1 m").arg(number(MaxUpperLength)));
    c.check(p.cases.size() <= MaxLoadCases, p.cases.size(), "Case", tr("工况数"),
            tr("不多于%1个").arg(MaxLoadCases));
    for (int i = 0; i < p.cases.size(); ++i) {
        const LoadCase& lc = p.cases.at(i);
        const QString caseName = tr("工况%1").arg(i + 1);
        const QString element = QStringLiteral("Case");
        c.check(lc.name.size() <= MaxCaseName, lc.name.size(), "name", caseName + tr("的名称长度"),
                tr("不多于%1个字").arg(MaxCaseName), element, i + 1);
        c.check(lc.crackWater >= 0 && lc.crackWater <= 1, lc.crackWater, "crackWater",
                caseName + tr("的裂隙充水深度比"), tr("0≤充水深度比≤1"), element, i + 1);
        c.check(lc.seismic >= 0 && lc.seismic <= 0.5, lc.seismic, "seismic",
                caseName + tr("的综合水平地震系数αw"), tr("0≤αw≤0.5"), element, i + 1);
        if (lc.requiredTyped != 0) {
            double table = 0;
            const bool inTable = tableRequiredFactor(p.safetyClass, p.permanent, lc.seismic > 0, table);
            const double least = inTable ? table : 1.0;
            c.check(lc.requiredTyped >= least - FactorTolerance && lc.requiredTyped <= MaxRequired,
                    lc.requiredTyped, "required", caseName + tr("的稳定安全系数Fst"),
                    tr("%1≤Fst≤%2").arg(number(least), number(MaxRequired)), element, i + 1);
        }
    }
    const auto anchor = [&](const BlockAnchor& a, double maxForce, const QString& block, int id, bool wedge) {
        const QString element = QStringLiteral("Anchor");
        c.check(a.force >= 0 && a.force <= maxForce, a.force, "force", block + tr("的锚固力T"),
                wedge ? tr("0≤T≤%1 kN").arg(number(maxForce)) : tr("0≤T≤%1 kN/m").arg(number(maxForce)),
                element, id);
        c.check(a.inclination > -90 && a.inclination < 90, a.inclination, "inclination",
                block + tr("的锚固倾角ψT"), tr("−90°＜ψT＜90°"), element, id);
        if (wedge && a.bearingGiven)
            c.check(a.bearing >= 0 && a.bearing < 360, a.bearing, "bearing", block + tr("的锚固方位角"),
                    tr("0≤方位角＜360°"), element, id);
    };
    for (auto it = p.planeAnchors.constBegin(); it != p.planeAnchors.constEnd(); ++it)
        anchor(it.value(), MaxPlanarAnchor, tr("结构面%1").arg(it.key()), it.key(), false);
    for (auto it = p.wedgeAnchors.constBegin(); it != p.wedgeAnchors.constEnd(); ++it)
        anchor(it.value(), MaxWedgeAnchor, tr("楔形体%1×%2").arg(it.key().first).arg(it.key().second),
               it.key().first, true);
}
} // namespace

QList<ParamProblem> stabilityParamProblems(const StabilityParams& p, double faceDip) {
    using namespace StabilityBounds;
    QList<ParamProblem> out;
    Collector c(out);
    c.check(p.height > 0 && p.height <= MaxHeight, p.height, "height", tr("边坡高度H"),
            tr("0＜H≤%1 m").arg(number(MaxHeight)));
    // A face dip that is not a number leaves no ψs acceptable.
    c.check(p.upperDip >= 0 && p.upperDip < faceDip, p.upperDip, "upperDip", tr("坡顶面倾角ψs"),
            tr("0≤ψs＜%1°").arg(number(faceDip)));
    // γ must exceed γw; a γw itself out of range is named on its own.
    const bool waterInRange = p.waterWeight > 0 && p.waterWeight <= MaxWaterWeight;
    c.check(p.unitWeight > 0 && p.unitWeight <= MaxUnitWeight &&
                (!waterInRange || p.unitWeight > p.waterWeight),
            p.unitWeight, "unitWeight", tr("岩体重度γ"), tr("γw＜γ≤%1 kN/m³").arg(number(MaxUnitWeight)));
    c.check(p.waterWeight > 0 && p.waterWeight <= MaxWaterWeight, p.waterWeight, "waterWeight",
            tr("水的重度γw"), tr("0＜γw≤%1 kN/m³").arg(number(MaxWaterWeight)));
    c.check(p.crackDistance >= 0 && p.crackDistance <= MaxCrackDistance, p.crackDistance, "crackDistance",
            tr("距坡顶距离b"), tr("0≤b≤%1 m").arg(number(MaxCrackDistance)));
    c.check(p.crackWater >= 0 && p.crackWater <= 1, p.crackWater, "crackWater", tr("裂隙充水深度比"),
            tr("0≤充水深度比≤1"));
    c.check(p.seismic >= 0 && p.seismic <= MaxSeismic, p.seismic, "seismic", tr("综合水平地震系数αw"),
            tr("0≤αw≤%1").arg(number(MaxSeismic)));
    c.check(p.safetyClass >= 1 && p.safetyClass <= 3, p.safetyClass, "safetyClass", tr("边坡工程安全等级"),
            tr("1、2或3"));
    for (auto it = p.planes.constBegin(); it != p.planes.constEnd(); ++it) {
        const PlaneStrength& s = it.value();
        c.check(s.cohesion >= 0 && s.cohesion <= MaxCohesion, s.cohesion, "cohesion",
                tr("结构面%1的粘聚力c").arg(it.key()), tr("0≤c≤%1 kPa").arg(number(MaxCohesion)),
                QStringLiteral("Plane"), it.key());
        c.check(s.friction >= 0 && s.friction < 90, s.friction, "friction",
                tr("结构面%1的内摩擦角φ").arg(it.key()), tr("0≤φ＜90°"), QStringLiteral("Plane"), it.key());
    }
    loadCaseProblems(p, c);
    return out;
}

QString paramProblemText(const ParamProblem& problem) {
    const QString where = problem.element == QLatin1String("Plane")
                              ? QStringLiteral("Plane id=\"%1\"").arg(problem.planeId)
                              : problem.element;
    return tr("%1 的 %2（%3）为 %4，超出范围 %5")
        .arg(where, problem.attribute, problem.label,
             QString::number(problem.value, 'g', QLocale::FloatingPointShortest), problem.range);
}

QString paramProblemsText(const QList<ParamProblem>& problems) {
    QStringList parts;
    for (const ParamProblem& p : problems)
        parts << paramProblemText(p);
    return parts.join(tr("；"));
}

namespace {
bool allFinite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

QString notFiniteReason() {
    return tr("计算中出现非有限数值，不能判断稳定状态");
}
} // namespace

bool keepFiniteBlock(PlanarFactor& f) {
    if (!f.hasBlock || allFinite({f.faceDip, f.planeDip, f.upperDip, f.height, f.cohesion, f.friction,
                                  f.seismic, f.crackDistance, f.crackDepth, f.waterDepth, f.length, f.weight,
                                  f.uplift, f.crackForce, f.normalForce, f.drivingForce, f.fs}))
        return f.hasBlock;
    f.hasBlock = false;
    f.reason = notFiniteReason();
    return false;
}

bool keepFiniteBlock(WedgeFactor& f) {
    if (!f.hasBlock ||
        allFinite({f.cohesionA, f.frictionA, f.cohesionB, f.frictionB, f.wedgeHeight, f.volume, f.weight,
                   f.areaA, f.areaB, f.waterA, f.waterB, f.normalA, f.normalB, f.drivingForce, f.fs}))
        return f.hasBlock;
    f.hasBlock = false;
    f.reason = notFiniteReason();
    return false;
}
