#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

class DataCenter;
struct StabilityFactors;

// The machine-readable results of karven-batch: one UTF-8 JSON document
// {"projects": [...]}, one object per project file in command-line order.
// Keys keep a fixed order; numbers are written at full precision (the
// shortest form that reads back to the same double).
namespace BatchJson {

// What could not be done for a project, per output: ("report" | "png" |
// "dxf" | "dwg" | "stability", reason), in the order they happened.
using Errors = QList<std::pair<QString, QString>>;

// The object of one analysed project (analysis on, conclusion built):
// file, name, upperMode, bigCircle, slope, criteria, analysisTime, planes,
// wedges, conclusion, and the factors of safety where they exist (none
// while an input is out of range); then "errors", an object of reasons by
// output, when there are any. indent is the indentation of the object's own
// braces. Linear in the number of planes and wedges.
QByteArray projectObject(const DataCenter& project, const QString& file, const StabilityFactors& factors,
                         const Errors& errors = Errors(), int indent = 4);

// The object of a project file that could not be read: file and error.
QByteArray errorObject(const QString& file, const QString& reason, int indent = 4);

// The whole document around objects made by the two functions above.
QByteArray document(const QList<QByteArray>& objects);

// JSON forms of single values.
QByteArray number(double value);
QByteArray string(const QString& text);

} // namespace BatchJson
