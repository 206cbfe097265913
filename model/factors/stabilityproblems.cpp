// Range checks of the factor-of-safety inputs.
#include "model/factors/stabilityproblems.h"

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
