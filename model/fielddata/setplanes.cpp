#include "model/fielddata/setplanes.h"

#include <QCoreApplication>

#include <cmath>

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("FieldData", text);
}
} // namespace

QString setPlaneNote(const QString& name, const SetStatistics& s) {
    QString note = QStringLiteral("%1 n=%2").arg(name).arg(s.count);
    if (std::isinf(s.k))
        note += QStringLiteral(" K=∞");
    else if (std::isfinite(s.k))
        note += QStringLiteral(" K=%1").arg(qRound(s.k));
    if (s.angle > SetPlaneMaxDip)
        note += tr("，实测倾角%1°按%2°").arg(s.angle, 0, 'f', 1).arg(SetPlaneMaxDip, 0, 'f', 1);
    return note;
}

QList<PlaneRecord> setPlaneRecords(const FieldData& field, const QVector<SetStatistics>& statistics,
                                   const QVector<int>& chosen, int firstId) {
    QList<PlaneRecord> planes;
    for (int s : chosen) {
        if (s < 0 || s >= field.sets.size() || s >= statistics.size() || statistics.at(s).count == 0)
            continue;
        const SetStatistics& st = statistics.at(s);
        PlaneRecord p;
        p.id = firstId + planes.size();
        p.type = Joint;
        p.direction = std::min(st.direction, SetPlaneMaxDirection);
        p.angle = std::min(st.angle, SetPlaneMaxDip);
        p.notes = setPlaneNote(field.sets.at(s).name, st);
        planes.append(p);
    }
    return planes;
}
