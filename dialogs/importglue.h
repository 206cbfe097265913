#pragma once

#include "model/fielddata/import.h"

#include <QStringList>

// The import dialog's use of the model's import functions (import.h,
// xlsx.h): reading a file into a table, and the dialog's column choices as
// a ColumnMapping.
namespace ImportGlue {

// The forms in the order of the dialog's 产状格式 list.
enum Form { DipDirection = 0, FieldBook = 1, StrikeRight = 2 };

struct Table {
    ImportTable table;
    QStringList sheets; // .xlsx: the workbook's sheets
};

// The dialog's choices: one column box serves 倾向 and 走向 (the form says
// which), another the field-book column; -1 is no column.
struct Mapping {
    int form = DipDirection;
    bool header = false;
    bool fromHeader = false; // the columns were recognised from the table's headings
    int direction = 0, angle = 1, combined = -1, kind = -1, weight = -1, station = -1, notes = -1,
        traverse = -1;
};

// A CSV/TXT file (any name but *.xlsx) or the sheet `sheet` of an .xlsx
// workbook. False, with the reason, when it cannot be read.
bool readFile(const QString& path, int sheet, Table& table, QString& error);
// Rows copied from a spreadsheet.
Table fromText(const QString& text);
// The mapping the table's headings or contents suggest.
Mapping guess(const ImportTable& table);
ColumnMapping columnMapping(const Mapping& mapping);
ImportResult map(const ImportTable& table, const Mapping& mapping, const QVector<Traverse>& traverses);

} // namespace ImportGlue
