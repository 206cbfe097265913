#include "app/setsoverview.h"

#include "model/datacenter.h"
#include "model/fielddata/measurementsfile.h"
#include "model/fielddata/projectsets.h"
#include "model/fielddata/setsreport.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QTreeWidget>
#include <QXmlStreamWriter>

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("MainWindow", text);
}

// The critical counts of every pair of 10 000 measurements take about a
// second; the overview is rebuilt on every click, so the last result is
// kept for as long as the measurements, sets and criteria stay the same.
const CriticalCounts& cachedCriticalCounts(const DataCenter& project,
                                           const QVector<SetStatistics>& statistics) {
    static QByteArray lastKey;
    static CriticalCounts last;
    QByteArray xml;
    {
        QXmlStreamWriter writer(&xml);
        writeMeasurementsElement(writer, project.field);
    }
    const SlopeCriteria c = project.slopeCriteria();
    const double numbers[] = {
        c.direction, c.angle, c.includedAngle, c.frictionAngle, c.frictionAngleTopple, c.topple ? 1.0 : 0.0};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(xml);
    hash.addData(reinterpret_cast<const char*>(numbers), sizeof(numbers));
    const QByteArray key = hash.result();
    if (key != lastKey) {
        last = measurementCriticalCounts(project.field, statistics, c);
        lastKey = key;
    }
    return last;
}
} // namespace

void addJointSetRows(QTreeWidget* tree, const DataCenter& project) {
    const FieldData& field = project.field;
    if (field.isEmpty() || field.sets.isEmpty())
        return;
    const QVector<SetStatistics> statistics = jointSetStatistics(field);
    auto* sets = new QTreeWidgetItem(tree, {tr("结构面分组")});
    for (int s = 0; s < field.sets.size(); ++s)
        new QTreeWidgetItem(sets, {field.sets.at(s).name, setSummaryText(statistics.at(s))});
    if (project.analysisOff)
        return;

    const CriticalCounts& counts = cachedCriticalCounts(project, statistics);
    auto* critical = new QTreeWidgetItem(tree, {tr("临界百分比")});
    auto add = [&](const QString& mode, const QVector<CriticalCount>& list) {
        auto* group = new QTreeWidgetItem(critical, {mode});
        group->setFirstColumnSpanned(true); // the mode's name is wider than the indented column
        for (int s = 0; s < list.size(); ++s)
            new QTreeWidgetItem(group, {s < field.sets.size() ? field.sets.at(s).name : tr("全部"),
                                        criticalCountText(list.at(s))});
    };
    add(tr("平面滑动"), counts.planar);
    add(tr("楔形体滑动"), counts.wedge);
    if (counts.toppleJudged)
        add(tr("倾倒"), counts.toppling);
}
