#pragma once

#include <QByteArray>

class DataCenter;

namespace BatchJson {

// The "measurements" object of a project with measurements: count,
// weightedCount, method, countingArea and densityMax {value, unit,
// direction, angle}, as the window's statistics have them. indent is the
// indentation of the object's own braces.
QByteArray measurementsObject(const DataCenter& project, int indent);

} // namespace BatchJson
