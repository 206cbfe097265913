// The factor-of-safety section of the calculation report and the short
// texts the overview and the conclusion dialog use.
#include "model/factors/stabilityreport.h"

#include "model/datacenter.h"
#include "model/factors/blocksketch.h"
#include "model/factors/loadcases.h"
#include "model/factors/stabilityinputs.h"
#include "model/labels.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <cmath>
#include <limits>

namespace {
constexpr double kDegToRad = 0.017453292519943295;

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

// An anchor force the block needs is shown rounded up, never down.
QString forceUp(double force) {
    return QString::number(std::ceil(force * 10 - 1e-9) / 10, 'f', 1);
}

// An angle with one decimal, a whole angle without it (30.0 -> 30).
QString angle(double degrees) {
    QString text = QString::number(degrees, 'f', 1);
    if (text.endsWith(QLatin1String(".0")))
        text.chop(2);
    return text;
}

// "结构面1(节理)" or "结构面2(F2)", escaped for the page.
QString planeTitle(const PlaneRecord& plane) {
    return tr("结构面%1").arg(plane.id) + Labels::kindText(plane).toHtmlEscaped();
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

// The state of GB 50330-2013 Table 5.3.1 in a case (without an Fst only
// the states below 1.05 can be told: factorStateWord says so).
QString caseState(double fs, const CaseFactors& c) {
    return factorStateWord(fs, c.requiredMissing ? std::numeric_limits<double>::quiet_NaN() : c.required);
}

// "满足", "不满足" or "—" (no required factor).
QString meetsWord(double fs, const CaseFactors& c) {
    if (c.requiredMissing)
        return QStringLiteral("—");
    return meetsRequiredFactor(fs, c.required) ? tr("满足") : tr("不满足");
}

QString requiredText(const CaseFactors& c) {
    return c.requiredMissing ? QStringLiteral("—") : fixed(c.required);
}

// "基本稳定（Fs=1.234 < Fst=1.30，不满足要求）"
QString verdict(double fs, const CaseFactors& c) {
    if (c.requiredMissing)
        return tr("%1（Fs=%2；临时边坡地震工况GB 50330-2013 表5.3.2未规定Fst，未作判定）")
            .arg(caseState(fs, c), factorDigits(fs, 3));
    const bool meets = meetsRequiredFactor(fs, c.required);
    return tr("%1（Fs=%2 %3 Fst=%4，%5）")
        .arg(factorStateWord(fs, c.required), factorDigits(fs, 3),
             meets ? QStringLiteral("≥") : QStringLiteral("&lt;"), fixed(c.required),
             meets ? tr("满足要求") : tr("不满足要求"));
}

// Where a case's Fst comes from.
QString requiredSource(const StabilityParams& s, const CaseFactors& c) {
    const bool seismic = c.loadCase.seismic > 0;
    const QString column = seismic ? tr("地震工况") : tr("一般工况");
    if (!c.requiredFromTable) {
        double table = 0;
        const bool inTable = tableRequiredFactor(s.safetyClass, s.permanent, seismic, table);
        return inTable ? tr("设计人员输入（表5.3.2%1为%2）").arg(column, fixed(table))
                       : tr("设计人员输入（表5.3.2未规定临时边坡地震工况）");
    }
    if (c.requiredMissing)
        return tr("表5.3.2未规定临时边坡地震工况的Fst，未作判定");
    return tr("表5.3.2（%1）").arg(column);
}

QString kinematicWord(bool unstable) {
    return unstable ? tr("赤平投影判定：不稳定")
                    : tr("赤平投影判定：稳定（干燥、无粘聚力的摩擦角判定），仍计算稳定系数");
}

QString anchorNeedText(const AnchorFactor& a, bool planar) {
    const QString unit = planar ? QStringLiteral("kN/m") : QStringLiteral("kN");
    if (!a.needed)
        return QString();
    QString text = a.reachable ? tr("T=%1 %2（ψT=%3°）").arg(forceUp(a.required), unit, angle(a.inclination))
                               : tr("ψT=%1°时无法达到").arg(angle(a.inclination));
    if (a.bestFound)
        text += tr("；ψT=%1°时最小，T=%2 %3").arg(angle(a.bestInclination), forceUp(a.bestForce), unit);
    return text;
}

// The section of a planar block, as drawn in the report.
PlanarSketch planarSketchOf(const DataCenter& project, const PlanarFactor& f) {
    PlanarSketch s;
    s.faceDip = f.faceDip;
    s.planeDip = f.planeDip;
    s.upperDip = f.upperDip;
    s.height = f.height;
    s.crackDistance = f.crackDistance;
    s.crackDepth = f.crackDepth;
    s.waterDepth = f.waterDepth;
    // The bench line runs along the face's strike, L/cos d behind the crest
    // in the plane's section (as the calculation takes it).
    const double d = project.planes.at(f.index).directionDelta;
    s.upperLength = sectionUpperLength(project.stability.upperLength, d);
    s.anchor = f.anchor.force > 0;
    s.anchorForce = f.anchor.force;
    s.anchorDip = f.anchor.inclination;
    return s;
}

WedgeSketch wedgeSketchOf(const DataCenter& project, const WedgeFactor& f, bool& ok) {
    const StabilityParams& p = project.stability;
    const PlaneRecord& a = project.planes.at(f.indexA);
    const PlaneRecord& b = project.planes.at(f.indexB);
    WedgeSketch s;
    s.faceDirection = project.slope.direction;
    s.faceDip = project.slope.angle;
    s.nameA = tr("结构面%1").arg(a.id);
    s.nameB = tr("结构面%1").arg(b.id);
    const double upperHeight =
        p.height * (1 - std::tan(p.upperDip * kDegToRad) / std::tan(project.slope.angle * kDegToRad));
    ok = wedgeCorners(upwardNormal(a.direction, a.angle), upwardNormal(b.direction, b.angle),
                      upwardNormal(project.slope.direction, project.slope.angle),
                      upwardNormal(project.slope.direction, p.upperDip), upperHeight, s);
    s.anchor = f.anchor.force > 0;
    s.anchorTrend = f.anchor.bearing;
    s.anchorPlunge = f.anchor.inclination;
    return s;
}

void writePicture(QTextStream& out, const QImage& picture, const QString& caption) {
    if (picture.isNull())
        return;
    const QLatin1String nl("\n");
    out << "\t\t<figure style=\"margin:8px 0\"><img width=\"" << qMin(picture.width(), 800)
        << "\" style=\"max-width:100%;height:auto;border:1px solid #ccc\" src=\"" << pngDataUri(picture)
        << "\" /><figcaption style=\"font-size:16px\">" << caption << "</figcaption></figure>" << nl;
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
    out << "\t\t"
        << tr("计算对象：在倾夹角范围内于坡面出露的结构面与交线于坡面出露的楔形体，不论赤平投影判定是否稳定"
              "。")
        << " <br>" << nl;
    out << "\t\t" << tr("边坡高度H：%1 m").arg(input(s.height)) << " <br>" << nl;
    out << "\t\t" << tr("坡顶面倾角ψs：%1°").arg(input(s.upperDip)) << " <br>" << nl;
    out << "\t\t"
        << (s.upperLength > 0 ? tr("坡顶面长度L：%1 m（其后地面水平）").arg(input(s.upperLength))
                              : tr("坡顶面长度L：未给出（坡顶面不限长）"))
        << " <br>" << nl;
    out << "\t\t"
        << tr("岩体重度γ：%1 kN/m³；水的重度γw：%2 kN/m³").arg(input(s.unitWeight), input(s.waterWeight))
        << " <br>" << nl;
    out << "\t\t"
        << tr("张裂隙（平面滑动）：%1")
               .arg(s.crackCritical ? tr("临界位置") : tr("距坡顶b=%1 m").arg(input(s.crackDistance)))
        << " <br>" << nl;
    out << "\t\t"
        << tr("边坡工程安全等级：%1；%2")
               .arg(safetyClassWord(s.safetyClass), s.permanent ? tr("永久边坡") : tr("临时边坡"))
        << " <br>" << nl;
    out << "\t\t</p>" << nl;

    out << "\t\t<h3>" << tr("计算工况：") << "</h3>" << nl;
    out << "\t\t<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">" << nl;
    out << "\t\t<tr><th>" << tr("工况") << "</th><th>" << tr("裂隙充水深度比") << "</th><th>"
        << tr("楔形体水压") << "</th><th>" << tr("综合水平地震系数αw") << "</th><th>Fst</th><th>"
        << tr("Fst来源") << "</th></tr>" << nl;
    for (const CaseFactors& c : factors.cases) {
        out << "\t\t<tr><td>" << c.loadCase.name.toHtmlEscaped() << "</td><td>"
            << input(c.loadCase.crackWater) << "</td><td>"
            << (c.loadCase.wedgeSaturated ? tr("饱水（交线上最大水压γw·h/2）") : tr("干燥")) << "</td><td>"
            << (c.loadCase.seismic > 0 ? input(c.loadCase.seismic) : tr("不考虑")) << "</td><td>"
            << requiredText(c) << "</td><td>" << requiredSource(s, c) << "</td></tr>" << nl;
    }
    out << "\t\t</table>" << nl;

    out << "\t\t<h3>" << tr("结构面强度参数：") << "</h3>" << nl;
    out << "\t\t<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">" << nl;
    out << "\t\t<tr><th>" << tr("结构面") << "</th><th>" << tr("粘聚力c(kPa)") << "</th><th>"
        << tr("内摩擦角φ(°)") << "</th><th>" << tr("取值") << "</th></tr>" << nl;
    for (const PlaneRecord& plane : project.planes) {
        const PlaneStrength strength =
            s.planes.value(plane.id, PlaneStrength{0, project.FrictionAnglePlanar});
        const bool isDefault = strengthIsDefault(s, plane.id, project.FrictionAnglePlanar);
        out << "\t\t<tr><td>" << planeTitle(plane) << "</td><td>" << input(strength.cohesion) << "</td><td>"
            << input(strength.friction) << "</td><td>"
            << (isDefault ? tr("<b>默认值</b>（未输入：c=0，φ=滑动判据摩擦角）") : tr("输入值"))
            << "</td></tr>" << nl;
    }
    out << "\t\t</table>" << nl;

    if (!s.planeAnchors.isEmpty() || !s.wedgeAnchors.isEmpty()) {
        out << "\t\t<h3>" << tr("锚固：") << "</h3>" << nl;
        out << "\t\t<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">" << nl;
        out << "\t\t<tr><th>" << tr("块体") << "</th><th>" << tr("锚固力T") << "</th><th>" << tr("倾角ψT(°)")
            << "</th><th>" << tr("方位") << "</th></tr>" << nl;
        for (auto it = s.planeAnchors.constBegin(); it != s.planeAnchors.constEnd(); ++it)
            out << "\t\t<tr><td>" << tr("结构面%1").arg(it.key()) << "</td><td>" << input(it.value().force)
                << " kN/m</td><td>" << input(it.value().inclination) << "</td><td>" << tr("沿结构面倾向")
                << "</td></tr>" << nl;
        for (auto it = s.wedgeAnchors.constBegin(); it != s.wedgeAnchors.constEnd(); ++it)
            out << "\t\t<tr><td>" << tr("楔形体%1×%2").arg(it.key().first).arg(it.key().second) << "</td><td>"
                << input(it.value().force) << " kN</td><td>" << input(it.value().inclination) << "</td><td>"
                << (it.value().bearingGiven ? input(it.value().bearing) + QStringLiteral("°")
                                            : tr("沿交线倾向"))
                << "</td></tr>" << nl;
        out << "\t\t</table>" << nl;
    }
}

// The summary: one row per block, per case Fs, state, Fst and whether it is
// met, then the anchor force where a case falls short.
void writeSummary(QTextStream& out, const DataCenter& project, const StabilityFactors& factors) {
    const QLatin1String nl("\n");
    const int caseCount = factors.cases.size();
    out << "\t\t<h3>" << tr("稳定性计算成果汇总：") << "</h3>" << nl;
    out << "\t\t<style>table.fs td,table.fs th{white-space:nowrap}table.fs "
           "td.wrap{white-space:normal}</style>"
        << nl;
    out << "\t\t<table class=\"fs\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\" "
           "style=\"font-size:16px\">"
        << nl;
    out << "\t\t<tr><th rowspan=\"2\">" << tr("块体") << "</th><th rowspan=\"2\">" << tr("赤平投影判定")
        << "</th>";
    for (const CaseFactors& c : factors.cases)
        out << "<th colspan=\"4\">" << c.loadCase.name.toHtmlEscaped() << "</th>";
    out << "<th rowspan=\"2\">" << tr("所需锚固力T<br>（Fs＜Fst时，总锚固力）") << "</th></tr>" << nl;
    out << "\t\t<tr>";
    for (int i = 0; i < caseCount; ++i)
        out << "<th>Fs</th><th>" << tr("状态") << "</th><th>Fst</th><th>" << tr("是否满足") << "</th>";
    out << "</tr>" << nl;

    auto row = [&](const QString& name, bool kinematic, bool hasBlock, const QString& reason, auto factorOf,
                   bool planar) {
        out << "\t\t<tr><td class=\"wrap\">" << name << "</td><td>" << (kinematic ? tr("不稳定") : tr("稳定"))
            << "</td>";
        if (!hasBlock) {
            out << "<td class=\"wrap\" colspan=\"" << 4 * caseCount + 1 << "\">" << reason.toHtmlEscaped()
                << "</td></tr>" << nl;
            return;
        }
        QStringList needs;
        for (const CaseFactors& c : factors.cases) {
            const auto& f = factorOf(c);
            out << "<td>" << factorDigits(f.fs) << "</td><td>" << caseState(f.fs, c) << "</td><td>"
                << requiredText(c) << "</td><td>" << meetsWord(f.fs, c) << "</td>";
            const QString need = anchorNeedText(f.anchor, planar);
            if (!need.isEmpty())
                needs << c.loadCase.name.toHtmlEscaped() + tr("：") + need;
        }
        out << "<td class=\"wrap\">"
            << (needs.isEmpty() ? QStringLiteral("—") : needs.join(QStringLiteral("<br>"))) << "</td></tr>"
            << nl;
    };
    const CaseFactors& first = factors.cases.first();
    for (int i = 0; i < first.planes.size(); ++i) {
        const PlanarFactor& f = first.planes.at(i);
        row(
            planeTitle(project.planes.at(f.index)) + tr("（平面滑动）"), f.kinematicUnstable, f.hasBlock,
            f.reason, [i](const CaseFactors& c) -> const PlanarFactor& { return c.planes.at(i); }, true);
    }
    for (int i = 0; i < first.wedges.size(); ++i) {
        const WedgeFactor& f = first.wedges.at(i);
        row(
            tr("楔形体%1×%2").arg(f.planeA).arg(f.planeB), f.kinematicUnstable, f.hasBlock, f.reason,
            [i](const CaseFactors& c) -> const WedgeFactor& { return c.wedges.at(i); }, false);
    }
    out << "\t\t</table>" << nl;
}

// The case in which the block's factor is lowest (the first on a tie).
template <typename Factor, typename Get> int governingCase(const StabilityFactors& factors, Get get) {
    int best = 0;
    for (int i = 1; i < factors.cases.size(); ++i)
        if (get(factors.cases.at(i)).fs < get(factors.cases.at(best)).fs)
            best = i;
    return best;
}

void writePlanarCase(QTextStream& out, const PlanarFactor& f, const CaseFactors& c) {
    const QLatin1String nl("\n");
    out << "\t\t<b>" << c.loadCase.name.toHtmlEscaped() << tr("：") << "</b>"
        << tr("水平地震系数kH=%1").arg(input(f.seismic)) << " <br>" << nl;
    out << "\t\t"
        << tr("张裂隙：距坡顶b=%1 m，深度z=%2 m，充水深度zw=%3 m")
               .arg(fixed(f.crackDistance), fixed(f.crackDepth), fixed(f.waterDepth))
        << " <br>" << nl;
    out << "\t\t"
        << tr("滑面长度A=%1 m，滑体重量W=%2 kN/m，滑面水压力U=%3 kN/m，裂隙水压力V=%4 kN/m")
               .arg(fixed(f.length), fixed(f.weight), fixed(f.uplift), fixed(f.crackForce))
        << " <br>" << nl;
    if (f.anchor.force > 0)
        out << "\t\t"
            << tr("锚固力T=%1 kN/m，倾角ψT=%2°：法向力增加T·sin(ψp+ψT)，下滑力减少T·cos(ψp+ψT)")
                   .arg(input(f.anchor.force), angle(f.anchor.inclination))
            << " <br>" << nl;
    out << "\t\t"
        << tr("滑面有效法向力N=%1 kN/m，下滑力T=%2 kN/m").arg(fixed(f.normalForce), fixed(f.drivingForce))
        << " <br>" << nl;
    if (f.lifted)
        out << "\t\t" << tr("水压力与地震力使滑体脱离滑面（有效法向力为负），取Fs=0。") << " <br>" << nl;
    else if (f.anchor.force > 0)
        out << "\t\t"
            << tr("Fs=[cA+(W(cosψp−kH·sinψp)−U−V·sinψp+T·sin(ψp+ψT))tanφ]/"
                  "[W(sinψp+kH·cosψp)+V·cosψp−T·cos(ψp+ψT)]"
                  "=%1")
                   .arg(factorDigits(f.fs, 3))
            << " <br>" << nl;
    else
        out << "\t\t"
            << tr("Fs=[cA+(W(cosψp−kH·sinψp)−U−V·sinψp)tanφ]/[W(sinψp+kH·cosψp)+V·cosψp]=%1")
                   .arg(factorDigits(f.fs, 3))
            << " <br>" << nl;
    out << "\t\t" << tr("稳定状态：") << verdict(f.fs, c) << " <br>" << nl;
    const QString need = anchorNeedText(f.anchor, true);
    if (!need.isEmpty())
        out << "\t\t" << tr("达到Fst所需锚固力：") << need << " <br>" << nl;
}

void writePlanar(QTextStream& out, const DataCenter& project, const StabilityFactors& factors, int i) {
    const QLatin1String nl("\n");
    const PlanarFactor& f = factors.cases.first().planes.at(i);
    out << "\t\t<li>" << planeTitle(project.planes.at(f.index)) << tr("平面滑动：") << " <br>" << nl;
    out << "\t\t" << kinematicWord(f.kinematicUnstable) << " <br>" << nl;
    if (!f.hasBlock) {
        out << "\t\t" << f.reason.toHtmlEscaped() << "</li>" << nl;
        return;
    }
    out << "\t\t"
        << tr("剖面：边坡换算倾角ψf=%1°，滑面倾角ψp=%2°，坡顶面视倾角%3°，坡高H=%4 m")
               .arg(angle(f.faceDip), angle(f.planeDip), angle(f.upperDip), input(f.height))
        << " <br>" << nl;
    out << "\t\t" << tr("强度：c=%1 kPa，φ=%2°").arg(input(f.cohesion), input(f.friction)) << " <br>" << nl;
    if (project.stability.crackCritical) {
        if (f.limitAssumed)
            out << "\t\t"
                << tr("坡顶面不缓于滑面，滑面在坡顶后不出露：张裂隙搜索范围假定为坡顶后b≤%1 m（10倍坡高）%2")
                       .arg(fixed(f.crackLimit),
                            f.crackDistance >= f.crackLimit * (1 - 1e-9)
                                ? tr("，临界位置落在此界限上，稳定系数受此假定控制；请给出坡顶面长度L。")
                                : tr("。"))
                << " <br>" << nl;
        else
            out << "\t\t"
                << tr("张裂隙临界位置搜索范围：坡顶后b≤%1 m（滑面在坡顶面的出露处）").arg(fixed(f.crackLimit))
                << " <br>" << nl;
    }
    const int shown = governingCase<PlanarFactor>(
        factors, [i](const CaseFactors& c) -> const PlanarFactor& { return c.planes.at(i); });
    const PlanarFactor& drawn = factors.cases.at(shown).planes.at(i);
    writePicture(out, planarSectionPicture(planarSketchOf(project, drawn)),
                 tr("图：%1剖面（按比例绘制，%2）")
                     .arg(tr("结构面%1").arg(f.id), factors.cases.at(shown).loadCase.name.toHtmlEscaped()));
    for (const CaseFactors& c : factors.cases)
        writePlanarCase(out, c.planes.at(i), c);
    out << "\t\t</li>" << nl;
}

void writeWedgeCase(QTextStream& out, const WedgeFactor& f, const CaseFactors& c) {
    const QLatin1String nl("\n");
    out << "\t\t<b>" << c.loadCase.name.toHtmlEscaped() << tr("：") << "</b>"
        << (c.loadCase.seismic > 0 ? tr("地震力αw·W，αw=%1").arg(input(c.loadCase.seismic))
                                   : tr("无地震作用"))
        << " <br>" << nl;
    out << "\t\t"
        << (c.loadCase.wedgeSaturated
                ? tr("楔形体水压：饱水，交线上最大水压γw·h/2=%1 kPa（h=%2 m），坡面与坡顶面处为零")
                      .arg(fixed(f.peakWaterPressure), fixed(f.wedgeHeight))
                : tr("楔形体水压：干燥"))
        << " <br>" << nl;
    out << "\t\t" << tr("水压力：A面%1 kN，B面%2 kN").arg(fixed(f.waterA), fixed(f.waterB)) << " <br>" << nl;
    if (f.anchor.force > 0)
        out << "\t\t"
            << tr("锚固力T=%1 kN，方位%2°，倾角ψT=%3°")
                   .arg(input(f.anchor.force), angle(f.anchor.bearing), angle(f.anchor.inclination))
            << " <br>" << nl;
    out << "\t\t"
        << tr("有效法向反力：A面NA=%1 kN，B面NB=%2 kN；滑动方式：%3")
               .arg(fixed(f.normalA), fixed(f.normalB), wedgeModeWord(f.mode, f.planeA, f.planeB))
        << " <br>" << nl;
    out << "\t\t" << tr("沿滑动方向的下滑力T=%1 kN").arg(fixed(f.drivingForce)) << " <br>" << nl;
    out << "\t\t" << tr("稳定系数Fs=%1").arg(factorDigits(f.fs, 3)) << " <br>" << nl;
    out << "\t\t" << tr("稳定状态：") << verdict(f.fs, c) << " <br>" << nl;
    const QString need = anchorNeedText(f.anchor, false);
    if (!need.isEmpty())
        out << "\t\t" << tr("达到Fst所需锚固力：") << need << " <br>" << nl;
}

void writeWedge(QTextStream& out, const DataCenter& project, const StabilityFactors& factors, int i) {
    const QLatin1String nl("\n");
    const WedgeFactor& f = factors.cases.first().wedges.at(i);
    const PlaneRecord& wedge = project.wedges.at(f.index);
    const QString title = tr("楔形体%1×%2").arg(f.planeA).arg(f.planeB) +
                          tr("（交线%1°∠%2°）").arg(angle(wedge.direction), angle(wedge.angle));
    out << "\t\t<li>" << title << tr("楔形体滑动：") << " <br>" << nl;
    out << "\t\t" << kinematicWord(f.kinematicUnstable) << " <br>" << nl;
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
        << tr("楔体高度h=%1 m，体积=%2 m³，重量W=%3 kN；滑面面积：A面%4 m²，B面%5 m²")
               .arg(fixed(f.wedgeHeight), fixed(f.volume), fixed(f.weight), fixed(f.areaA), fixed(f.areaB))
        << " <br>" << nl;
    bool ok = false;
    const WedgeSketch sketch = wedgeSketchOf(project, f, ok);
    if (ok)
        writePicture(out, wedgePicture(sketch),
                     tr("图：%1示意（垂直坡面方向观察，坡面与坡顶面上的迹线）")
                         .arg(tr("楔形体%1×%2").arg(f.planeA).arg(f.planeB)));
    for (const CaseFactors& c : factors.cases)
        writeWedgeCase(out, c.wedges.at(i), c);
    out << "\t\t</li>" << nl;
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

QString caseStateWord(double fs, const CaseFactors& c) {
    return caseState(fs, c);
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
    const CaseFactors& first = factors.cases.first();
    if (first.planes.isEmpty() && first.wedges.isEmpty()) {
        out << "\t\t<p>" << tr("没有需要计算稳定系数的结构面或楔形体。") << "</p>" << nl;
        return;
    }
    writeSummary(out, project, factors);
    if (!first.planes.isEmpty()) {
        out << "\t\t<h3>" << tr("平面滑动稳定系数：") << "</h3>" << nl;
        out << "\t\t<ul>" << nl;
        for (int i = 0; i < first.planes.size(); ++i)
            writePlanar(out, project, factors, i);
        out << "\t\t</ul>" << nl;
    }
    if (!first.wedges.isEmpty()) {
        out << "\t\t<h3>" << tr("楔形体稳定系数：") << "</h3>" << nl;
        out << "\t\t<ul>" << nl;
        for (int i = 0; i < first.wedges.size(); ++i)
            writeWedge(out, project, factors, i);
        out << "\t\t</ul>" << nl;
    }
}

QString stabilityConclusion(const DataCenter& project) {
    if (!project.stability.enabled || project.analysisOff)
        return QString();
    const StabilityFactors factors = computeStabilityFactors(project);
    if (factors.cases.isEmpty())
        return QString();
    const bool oneCase = factors.cases.size() == 1;
    // Per block: "天然工况Fs=1.38（稳定），暴雨工况Fs=0.27（不稳定）".
    auto perCase = [&](auto factorOf, const QString& mode) {
        QStringList texts;
        for (const CaseFactors& c : factors.cases) {
            const auto& f = factorOf(c);
            QString state = caseState(f.fs, c);
            if (!mode.isEmpty())
                state += tr("，") + mode;
            texts << (oneCase ? QString() : c.loadCase.name) + tr("%1（%2）").arg(factorText(f.fs), state);
        }
        return texts.join(tr("，"));
    };
    QStringList parts;
    const CaseFactors& first = factors.cases.first();
    for (int i = 0; i < first.planes.size(); ++i) {
        const PlanarFactor& f = first.planes.at(i);
        if (f.hasBlock)
            parts << tr("结构面%1稳定系数%2")
                         .arg(f.id)
                         .arg(perCase(
                             [i](const CaseFactors& c) -> const PlanarFactor& { return c.planes.at(i); },
                             QString()));
    }
    for (int i = 0; i < first.wedges.size(); ++i) {
        const WedgeFactor& f = first.wedges.at(i);
        if (!f.hasBlock)
            continue;
        if (oneCase)
            parts << tr("楔形体%1×%2稳定系数%3")
                         .arg(f.planeA)
                         .arg(f.planeB)
                         .arg(perCase(
                             [i](const CaseFactors& c) -> const WedgeFactor& { return c.wedges.at(i); },
                             wedgeModeWord(f.mode, f.planeA, f.planeB)));
        else
            parts << tr("楔形体%1×%2稳定系数%3")
                         .arg(f.planeA)
                         .arg(f.planeB)
                         .arg(perCase(
                             [i](const CaseFactors& c) -> const WedgeFactor& { return c.wedges.at(i); },
                             QString()));
    }
    if (parts.isEmpty())
        return QString();
    if (oneCase)
        return tr("经极限平衡计算，%1，边坡稳定安全系数Fst=%2。")
            .arg(parts.join(tr("，")), requiredText(first));
    QStringList required;
    for (const CaseFactors& c : factors.cases)
        required << c.loadCase.name + (c.requiredMissing ? tr("未规定") : fixed(c.required));
    return tr("经极限平衡计算，%1；稳定安全系数Fst：%2。").arg(parts.join(tr("；")), required.join(tr("，")));
}
