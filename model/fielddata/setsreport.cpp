#include "model/fielddata/setsreport.h"

#include "model/datacenter.h"
#include "model/fielddata/projectsets.h"
#include "model/fielddata/setlinks.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cmath>

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("DataCenter", text);
}

QString html(const QString& text) {
    return text.toHtmlEscaped();
}

QString fixed(double value, int decimals) {
    return std::isfinite(value) ? QString::number(value, 'f', decimals) : QStringLiteral("—");
}

QString kText(double k) {
    return std::isinf(k) ? QStringLiteral("∞") : fixed(k, 1);
}

QString countText(const CriticalCount& c) {
    return QStringLiteral("%1/%2").arg(c.count).arg(c.total);
}

QString pairsText(WedgePairs pairs) {
    switch (pairs) {
    case WedgePairs::Sets:
        return tr("各组平均结构面两两相交");
    case WedgePairs::SetsVsAll:
        return tr("各组平均结构面与全部测量结构面相交");
    case WedgePairs::All:
        break;
    }
    return tr("全部测量结构面两两相交");
}
} // namespace

QString setSummaryText(const SetStatistics& st) {
    if (st.count == 0)
        return QStringLiteral("n=0");
    QString text = QStringLiteral("%1∠%2 n=%3").arg(fixed(st.direction, 1), fixed(st.angle, 1)).arg(st.count);
    if (std::isinf(st.k))
        text += QStringLiteral(" K=∞");
    else if (std::isfinite(st.k))
        text += QStringLiteral(" K=%1").arg(QString::number(std::round(st.k), 'f', 0));
    if (std::isfinite(st.alpha95))
        text += QStringLiteral(" α95=%1°").arg(fixed(st.alpha95, 1));
    return text;
}

QString criticalCountText(const CriticalCount& c) {
    return QStringLiteral("%1 (%2%)").arg(countText(c), fixed(c.percent(), 1));
}

void writeJointSetsSection(QTextStream& out, const DataCenter& project) {
    const FieldData& field = project.field;
    if (field.isEmpty() || field.sets.isEmpty())
        return;
    const char nl = '\n';
    const QVector<SetStatistics> stats = jointSetStatistics(field);
    out << "\t\t<hr>" << nl;
    out << "\t\t<h3>" << tr("结构面分组：") << "</h3>" << nl;
    out << "\t\t<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">" << nl;
    out << "\t\t<tr><th>" << tr("组名") << "</th><th>" << tr("条数") << "</th><th>" << tr("加权条数")
        << "</th><th>" << tr("平均产状") << QStringLiteral("</th><th>K</th><th>α95</th><th>")
        << tr("变异锥(68.26%)") << "</th></tr>" << nl;
    for (int s = 0; s < field.sets.size(); ++s) {
        const SetStatistics& st = stats.at(s);
        out << "\t\t<tr><td>" << html(field.sets.at(s).name) << "</td><td>" << st.count << "</td><td>"
            << fixed(st.weightedCount, 1) << "</td><td>"
            << (st.count > 0 ? QStringLiteral("%1∠%2").arg(fixed(st.direction, 1), fixed(st.angle, 1))
                             : QStringLiteral("—"))
            << "</td><td>" << kText(st.k) << "</td><td>" << fixed(st.alpha95, 1)
            << QStringLiteral("°</td><td>") << fixed(st.variabilityCone, 1) << QStringLiteral("°</td></tr>")
            << nl;
    }
    out << "\t\t</table>" << nl;
    out << "\t\t<p>"
        << tr("平均产状为各组极点定向求和的平均（Fisher 1953），K=(N−1)/(N−R)，α95为95%置信锥精确公式。")
        << "</p>" << nl;
    const QStringList used = setPlaneUseLines(field, project.planes);
    if (!used.isEmpty()) {
        out << "\t\t<p>" << tr("用作结构面的平均结构面：");
        for (int i = 0; i < used.size(); ++i)
            out << (i > 0 ? tr("；") : QString()) << html(used.at(i));
        out << "</p>" << nl;
    }
    if (project.analysisOff)
        return;

    const CriticalCounts counts = measurementCriticalCounts(field, stats, project.slopeCriteria());
    out << "\t\t<h3>" << tr("临界百分比：") << "</h3>" << nl;
    out << "\t\t<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">" << nl;
    out << "\t\t<tr><th>" << tr("破坏模式") << "</th><th>" << tr("范围") << "</th><th>" << tr("临界/总数")
        << "</th><th>" << tr("百分比") << "</th><th>" << tr("加权百分比") << "</th></tr>" << nl;
    auto rows = [&](const QString& mode, const QVector<CriticalCount>& list) {
        for (int s = 0; s < list.size(); ++s) {
            const CriticalCount& c = list.at(s);
            out << "\t\t<tr><td>" << mode << "</td><td>"
                << (s < field.sets.size() ? html(field.sets.at(s).name) : tr("全部")) << "</td><td>"
                << countText(c) << "</td><td>" << fixed(c.percent(), 1) << "%</td><td>"
                << fixed(c.weightedPercent(), 1) << "%</td></tr>" << nl;
        }
    };
    rows(tr("平面滑动"), counts.planar);
    rows(tr("楔形体滑动"), counts.wedge);
    if (counts.toppleJudged)
        rows(tr("倾倒"), counts.toppling);
    out << "\t\t</table>" << nl;
    out << "\t\t<p>" << tr("楔形体交线：") << pairsText(field.wedgePairs)
        << tr("。判据与上文结构面、楔形体的判断相同。") << "</p>" << nl;
}
