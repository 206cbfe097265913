#include "dialogs/stabilityfieldchecks.h"

#include <QCoreApplication>

#include <cmath>

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("StabilityDialog", text);
}

QString number(double value) {
    return QString::number(value, 'g', 6);
}

void check(QList<ParamProblem>& out, bool inside, double value, const char* element, int planeId,
           const char* attribute, const QString& label, const QString& range) {
    if (std::isfinite(value) && inside)
        return;
    ParamProblem p;
    p.element = QLatin1String(element);
    p.planeId = planeId;
    p.attribute = QLatin1String(attribute);
    p.label = label;
    p.range = range;
    p.value = value;
    out.append(p);
}
} // namespace

QList<ParamProblem> stabilityFieldProblems(const StabilityParams& p, double faceDip) {
    QList<ParamProblem> out;
    check(out, p.height > 0 && p.height <= 2000, p.height, "Stability", 0, "height", tr("边坡高度H"),
          tr("0＜H≤2000 m"));
    check(out, p.upperDip >= 0 && p.upperDip < faceDip, p.upperDip, "Stability", 0, "upperDip",
          tr("坡顶面倾角ψs"), tr("0≤ψs＜%1°").arg(number(faceDip)));
    check(out, p.unitWeight > p.waterWeight && p.unitWeight <= 50, p.unitWeight, "Stability", 0, "unitWeight",
          tr("岩体重度γ"), tr("γw＜γ≤50 kN/m³"));
    check(out, p.waterWeight > 0 && p.waterWeight <= 15, p.waterWeight, "Stability", 0, "waterWeight",
          tr("水的重度γw"), tr("0＜γw≤15 kN/m³"));
    if (!p.crackCritical)
        check(out, p.crackDistance >= 0 && p.crackDistance <= 10000, p.crackDistance, "Stability", 0,
              "crackDistance", tr("距坡顶距离b"), tr("0≤b≤10000 m"));
    for (auto it = p.planes.constBegin(); it != p.planes.constEnd(); ++it) {
        check(out, it.value().cohesion >= 0 && it.value().cohesion <= 50000, it.value().cohesion, "Plane",
              it.key(), "cohesion", tr("结构面%1的粘聚力c").arg(it.key()), tr("0≤c≤50000 kPa"));
        check(out, it.value().friction >= 0 && it.value().friction < 90, it.value().friction, "Plane",
              it.key(), "friction", tr("结构面%1的内摩擦角φ").arg(it.key()), tr("0≤φ＜90°"));
    }
    return out;
}
