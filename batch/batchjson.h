#pragma once

#include <QByteArray>
#include <QString>

class DataCenter;
struct StabilityFactors;

// The machine-readable results of karven-batch: one UTF-8 JSON document
// {"projects": [...]}, one object per project file in command-line order.
// Keys keep a fixed order; numbers are written at full precision (the
// shortest form that reads back to the same double).
namespace BatchJson {

// The object of one analysed project (analysis on, conclusion built):
// file, name, upperMode, bigCircle, slope, criteria, analysisTime, planes,
// wedges, conclusion, and the factors of safety where they exist. indent
// is the indentation of the object's own braces.
QByteArray projectObject(const DataCenter& project, const QString& file, const StabilityFactors& factors,
                         int indent = 4);

// The object of a project file that could not be read: file and error.
QByteArray errorObject(const QString& file, const QString& reason, int indent = 4);

// The whole document around objects made by the two functions above.
QByteArray document(const QList<QByteArray>& objects);

// JSON forms of single values.
QByteArray number(double value);
QByteArray string(const QString& text);

} // namespace BatchJson
