// The factor-of-safety section of the calculation report and the short
// texts the overview and the conclusion dialog use.
#include "model/factors/stabilityreport.h"

#include "model/datacenter.h"
#include "model/labels.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <cmath>

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("DataCenter", text);
}

// Inputs as the user typed them.
QString input(double value) {
    return QString::number(value, 'g', 6);
}

// Working values in fixed notation.
QString fixed(double value, int decimals = 2) {
    return QString::number(value, 'f', decimals);
}

// A factor of safety is shown cut down, never rounded up, so that the
// figure on the page never reads as meeting a required factor the value
// itself misses (1.2996 shows as 1.29, not 1.30, beside Fst = 1.30). The
// same tolerance as the comparison keeps 1.2999999999 at 1.30.
QString factorDigits(double fs, int decimals = 2) {
    const double scale = std::pow(10.0, decimals);
    return QString::number(std::floor(fs * scale + FactorTolerance) / scale, 'f', decimals);
}

// Fst with two decimals, or what stands in for it when GB 50330-2013
// Table 5.3.2 has none (a temporary slope in the seismic case).
QString requiredText(double required) {
    return std::isfinite(required) ? fixed(required) : tr("无（表5.3.2未列临时边坡地震工况）");
}

// An angle with one decimal, a whole angle without it (30.0 -> 30).
QString angle(double degrees) {
    QString text = QString::number(degrees, 'f', 1);
    if (text.endsWith(QLatin1String(".0")))
        text.chop(2);
    return text;
}

const PlaneRecord* planeById(const DataCenter& project, int id) {
    for (const PlaneRecord& plane : project.planes) {
        if (plane.id == id)
            return &plane;
    }
    return nullptr;
}

// "结构面1(节理)" or "结构面2(F2)", escaped for the page.
QString planeTitle(const DataCenter& project, int id) {
    const PlaneRecord* plane = planeById(project, id);
    QString text = tr("结构面%1").arg(id);
    if (plane)
        text += Labels::kindText(*plane).toHtmlEscaped();
    return text;
}

QString safetyClassWord(int safetyClass) {
    switch (safetyClass) {
    case 1:
        return tr("一级");
    case 3:
        return tr("三级");
    default:
        return tr("二级");
    }
}

// "基本稳定（Fs=1.234 < Fst=1.30，不满足要求）"
QString verdict(double fs, double required) {
    const bool meets = meetsRequiredFactor(fs, required);
    return tr("%1（Fs=%2 %3 Fst=%4，%5）")
        .arg(factorStateWord(fs, required), factorDigits(fs, 3),
             meets ? QStringLiteral("≥") : QStringLiteral("&lt;"), requiredText(required),
             meets ? tr("满足要求") : tr("不满足要求"));
}

void writeInputs(QTextStream& out, const DataCenter& project, const StabilityFactors& factors) {
    const StabilityParams& s = project.stability;
    const QLatin1String nl("\n");
    out << "\t\t<p>" << nl;
    out << "\t\t"
        << tr("计算方法：平面滑动取沿结构面倾向的剖面，按二维刚体极限平衡法计算（Hoek &amp; Bray《Rock Slope "
              "Engineering》；GB 50330-2013 "
              "附录A.0.2）；楔形体按结构面、坡面与坡顶面围成的刚性四面体，以矢量法求解"
              "（Hoek &amp; Bray）。")
        << " <br>" << nl;
    out << "\t\t" << tr("边坡高度H：%1 m").arg(input(s.height)) << " <br>" << nl;
    out << "\t\t" << tr("坡顶面倾角ψs：%1°").arg(input(s.upperDip)) << " <br>" << nl;
    out << "\t\t"
        << tr("岩体重度γ：%1 kN/m³；水的重度γw：%2 kN/m³").arg(input(s.unitWeight), input(s.waterWeight))
        << " <br>" << nl;
    out << "\t\t"
        << tr("张裂隙（平面滑动）：%1；裂隙充水深度与裂隙深度之比：%2")
               .arg(s.crackCritical ? tr("临界位置") : tr("距坡顶b=%1 m").arg(input(s.crackDistance)),
                    input(s.crackWater))
        << " <br>" << nl;
    out << "\t\t"
        << tr("楔形体水压：%1")
               .arg(s.wedgeSaturated ? tr("饱水（交线上最大水压γw·h/2，h为楔体高度，坡面与坡顶面处为零）")
                                     : tr("干燥"))
        << " <br>" << nl;
    out << "\t\t"
        << (s.seismic > 0
                ? tr("地震作用：综合水平地震系数αw=%1（GB 50330-2013 表5.2.6）").arg(input(s.seismic))
                : tr("地震作用：不考虑"))
        << " <br>" << nl;
    out << "\t\t"
        << tr("边坡工程安全等级：%1；%2；%3；稳定安全系数Fst=%4（GB 50330-2013 表5.3.2）")
               .arg(safetyClassWord(s.safetyClass), s.permanent ? tr("永久边坡") : tr("临时边坡"),
                    factors.seismicCase ? tr("地震工况") : tr("一般工况"), requiredText(factors.required))
        << " <br>" << nl;
    out << "\t\t</p>" << nl;

    out << "\t\t<h3>" << tr("结构面强度参数：") << "</h3>" << nl;
    out << "\t\t<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">" << nl;
    out << "\t\t<tr><th>" << tr("结构面") << "</th><th>" << tr("粘聚力c(kPa)") << "</th><th>"
        << tr("内摩擦角φ(°)") << "</th></tr>" << nl;
    for (const PlaneRecord& plane : project.planes) {
        const PlaneStrength strength =
            s.planes.value(plane.id, PlaneStrength{0, project.FrictionAnglePlanar});
        out << "\t\t<tr><td>" << planeTitle(project, plane.id) << "</td><td>" << input(strength.cohesion)
            << "</td><td>" << input(strength.friction) << "</td></tr>" << nl;
    }
    out << "\t\t</table>" << nl;
}

void writePlanar(QTextStream& out, const DataCenter& project, const PlanarFactor& f, double required) {
    const QLatin1String nl("\n");
    out << "\t\t<li>" << planeTitle(project, f.id) << tr("平面滑动：") << " <br>" << nl;
    if (!f.hasBlock) {
        out << "\t\t" << f.reason.toHtmlEscaped() << "</li>" << nl;
        return;
    }
    out << "\t\t"
        << tr("剖面：边坡换算倾角ψf=%1°，滑面倾角ψp=%2°，坡顶面视倾角%3°，坡高H=%4 m")
               .arg(angle(f.faceDip), angle(f.planeDip), angle(f.upperDip), input(f.height))
        << " <br>" << nl;
    out << "\t\t"
        << tr("强度：c=%1 kPa，φ=%2°；水平地震系数kH=%3")
               .arg(input(f.cohesion), input(f.friction), input(f.seismic))
        << " <br>" << nl;
    out << "\t\t"
        << tr("张裂隙：距坡顶b=%1 m，深度z=%2 m，充水深度zw=%3 m")
               .arg(fixed(f.crackDistance), fixed(f.crackDepth), fixed(f.waterDepth))
        << " <br>" << nl;
    out << "\t\t"
        << tr("滑面长度A=%1 m，滑体重量W=%2 kN/m，滑面水压力U=%3 kN/m，裂隙水压力V=%4 kN/m")
               .arg(fixed(f.length), fixed(f.weight), fixed(f.uplift), fixed(f.crackForce))
        << " <br>" << nl;
    out << "\t\t"
        << tr("滑面有效法向力N=%1 kN/m，下滑力T=%2 kN/m").arg(fixed(f.normalForce), fixed(f.drivingForce))
        << " <br>" << nl;
    out << "\t\t"
        << tr("Fs=[cA+(W(cosψp−kH·sinψp)−U−V·sinψp)tanφ]/[W(sinψp+kH·cosψp)+V·cosψp]=%1")
               .arg(factorDigits(f.fs, 3))
        << " <br>" << nl;
    out << "\t\t" << tr("稳定状态：") << verdict(f.fs, required) << "</li>" << nl;
}

void writeWedge(QTextStream& out, const DataCenter& project, const WedgeFactor& f, double required) {
    const QLatin1String nl("\n");
    QString title = tr("楔形体%1×%2").arg(f.planeA).arg(f.planeB);
    for (const PlaneRecord& wedge : project.wedges) {
        if (wedge.id == f.id)
            title += tr("（交线%1°∠%2°）").arg(angle(wedge.direction), angle(wedge.angle));
    }
    out << "\t\t<li>" << title << tr("楔形体滑动：") << " <br>" << nl;
    if (!f.hasBlock) {
        out << "\t\t" << f.reason.toHtmlEscaped() << "</li>" << nl;
        return;
    }
    out << "\t\t"
        << tr("结构面A=%1：c=%2 kPa，φ=%3°；结构面B=%4：c=%5 kPa，φ=%6°")
               .arg(QString::number(f.planeA), input(f.cohesionA), input(f.frictionA),
                    QString::number(f.planeB), input(f.cohesionB), input(f.frictionB))
        << " <br>" << nl;
    out << "\t\t"
        << tr("楔体高度h=%1 m，体积=%2 m³，重量W=%3 kN")
               .arg(fixed(f.wedgeHeight), fixed(f.volume), fixed(f.weight))
        << " <br>" << nl;
    out << "\t\t"
        << tr("滑面面积：A面%1 m²，B面%2 m²；水压力：A面%3 kN，B面%4 kN")
               .arg(fixed(f.areaA), fixed(f.areaB), fixed(f.waterA), fixed(f.waterB))
        << " <br>" << nl;
    out << "\t\t"
        << tr("有效法向反力：A面NA=%1 kN，B面NB=%2 kN；滑动方式：%3")
               .arg(fixed(f.normalA), fixed(f.normalB), wedgeModeWord(f.mode, f.planeA, f.planeB))
        << " <br>" << nl;
    out << "\t\t" << tr("沿滑动方向的下滑力T=%1 kN").arg(fixed(f.drivingForce)) << " <br>" << nl;
    out << "\t\t" << tr("稳定系数Fs=%1").arg(factorDigits(f.fs, 3)) << " <br>" << nl;
    out << "\t\t" << tr("稳定状态：") << verdict(f.fs, required) << "</li>" << nl;
}
} // namespace

QString wedgeModeWord(WedgeMode mode, int planeA, int planeB) {
    switch (mode) {
    case WedgeMode::Both:
        return tr("双面滑动");
    case WedgeMode::OnA:
        return tr("沿结构面%1单面滑动").arg(planeA);
    case WedgeMode::OnB:
        return tr("沿结构面%1单面滑动").arg(planeB);
    case WedgeMode::NoContact:
        break;
    }
    return tr("脱离两滑面");
}

QString factorText(double fs) {
    return QStringLiteral("Fs=") + factorDigits(fs);
}

void writeStabilitySection(QTextStream& out, const DataCenter& project) {
    if (!project.stability.enabled)
        return;
    const QLatin1String nl("\n");
    const StabilityFactors factors = computeStabilityFactors(project);
    out << "\t\t<hr>" << nl;
    out << "\t\t<h3>" << tr("稳定性计算：") << "</h3>" << nl;
    writeInputs(out, project, factors);

    if (!isValidStabilityParams(project.stability, project.slope.angle)) {
        out << "\t\t<p>" << tr("计算参数超出有效范围（如坡顶面倾角不小于边坡倾角），未计算稳定系数。")
            << "</p>" << nl;
        return;
    }
    if (factors.planes.isEmpty() && factors.wedges.isEmpty()) {
        out << "\t\t<p>" << tr("没有需要计算稳定系数的不稳定结构面或楔形体。") << "</p>" << nl;
        return;
    }
    if (!factors.planes.isEmpty()) {
        out << "\t\t<h3>" << tr("平面滑动稳定系数：") << "</h3>" << nl;
        out << "\t\t<ul>" << nl;
        for (const PlanarFactor& f : factors.planes)
            writePlanar(out, project, f, factors.required);
        out << "\t\t</ul>" << nl;
    }
    if (!factors.wedges.isEmpty()) {
        out << "\t\t<h3>" << tr("楔形体稳定系数：") << "</h3>" << nl;
        out << "\t\t<ul>" << nl;
        for (const WedgeFactor& f : factors.wedges)
            writeWedge(out, project, f, factors.required);
        out << "\t\t</ul>" << nl;
    }
}

QString stabilityConclusion(const DataCenter& project) {
    if (!project.stability.enabled || project.analysisOff)
        return QString();
    const StabilityFactors factors = computeStabilityFactors(project);
    QStringList parts;
    for (const PlanarFactor& f : factors.planes) {
        if (f.hasBlock)
            parts << tr("结构面%1稳定系数%2（%3）")
                         .arg(f.id)
                         .arg(factorText(f.fs), factorStateWord(f.fs, factors.required));
    }
    for (const WedgeFactor& f : factors.wedges) {
        if (f.hasBlock)
            parts << tr("楔形体%1×%2稳定系数%3（%4，%5）")
                         .arg(f.planeA)
                         .arg(f.planeB)
                         .arg(factorText(f.fs), factorStateWord(f.fs, factors.required),
                              wedgeModeWord(f.mode, f.planeA, f.planeB));
    }
    if (parts.isEmpty())
        return QString();
    return tr("经极限平衡计算，%1，边坡稳定安全系数Fst=%2。")
        .arg(parts.join(tr("，")), requiredText(factors.required));
}
