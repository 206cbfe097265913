#pragma once

#include "model/fielddata/measurements.h"

#include <QStringList>
#include <QVector>

// The import dialog's view of the model's import functions.
namespace ImportGlue {

enum Form { DipDirection = 0, FieldBook = 1, StrikeRight = 2 };

struct Table {
    QVector<QStringList> rows;
    QVector<int> lines;
    QStringList sheets;
    QString encoding;
};

struct Mapping {
    int form = DipDirection;
    bool header = false;
    bool fromHeader = false; // the columns were recognised from the table's header
    int direction = 0, angle = 1, combined = 0, kind = -1, weight = -1, station = -1, notes = -1,
        traverse = -1;
};

bool readFile(const QString& path, int sheet, Table& table, QString& error);
Table fromText(const QString& text);
Mapping guess(const QVector<QStringList>& rows);
void map(const QVector<QStringList>& rows, const QVector<int>& lines, const Mapping& mapping,
         QVector<Measurement>& accepted, QVector<RejectedRow>& rejected);

} // namespace ImportGlue
