#pragma once

#include "model/fielddata/measurements.h"
#include "model/fielddata/setstatistics.h"
#include "model/planerecord.h"

#include <QList>

// 用作结构面: the mean planes of joint sets as the project's structural
// planes, so that the analysis, the factors of safety, the report and the
// CAD drawing treat them as typed planes.

// The steepest dip the data dialog takes; a steeper mean plane enters at it.
constexpr double SetPlaneMaxDip = 89.9;
constexpr double SetPlaneMaxDirection = 359.9;

// The note of a set's plane: "J1 n=54 K=38" (K rounded; "K=∞" for identical
// planes, no K for a set of one), and when the mean plane had to be made
// flatter for the net, "，实测倾角90.0°按89.9°".
QString setPlaneNote(const QString& name, const SetStatistics& statistics);

// Joint records (type 2) of the mean planes of the sets `chosen` (indexes into
// field.sets and statistics, in that order), numbered from `firstId`. Sets
// without poles give no plane.
QList<PlaneRecord> setPlaneRecords(const FieldData& field, const QVector<SetStatistics>& statistics,
                                   const QVector<int>& chosen, int firstId);
