#include "dialogs/importglue.h"

#include "model/fielddata/xlsx.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace ImportGlue {

bool readFile(const QString& path, int sheet, Table& out, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    Table table;
    const bool zip = bytes.startsWith("PK\x03\x04");
    if (zip || QFileInfo(path).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0) {
        if (!xlsxSheetNames(bytes, table.sheets, error))
            return false;
        if (sheet < 0 || sheet >= table.sheets.size())
            sheet = 0;
        if (!tableFromXlsx(bytes, sheet, table.table, error))
            return false;
    } else {
        table.table = tableFromTextFile(bytes);
    }
    if (table.table.rows.isEmpty()) {
        error = QCoreApplication::translate("ImportDialog", "文件中没有数据");
        return false;
    }
    out = table;
    return true;
}

Table fromText(const QString& text) {
    Table table;
    table.table = tableFromClipboard(text);
    return table;
}

Mapping guess(const ImportTable& table) {
    const ColumnMapping c = guessMapping(table);
    Mapping m;
    m.form = c.form == OrientationForm::FieldBook   ? FieldBook
             : c.form == OrientationForm::StrikeDip ? StrikeRight
                                                    : DipDirection;
    m.header = c.headerRows > 0;
    m.fromHeader = c.headerRows > 0;
    m.direction = c.form == OrientationForm::StrikeDip ? c.strike : c.direction;
    m.angle = c.angle;
    m.combined = c.fieldBook;
    m.kind = c.type;
    m.weight = c.weight;
    m.station = c.station;
    m.notes = c.notes;
    m.traverse = c.traverse;
    return m;
}

ColumnMapping columnMapping(const Mapping& m) {
    ColumnMapping c;
    c.form = m.form == FieldBook     ? OrientationForm::FieldBook
             : m.form == StrikeRight ? OrientationForm::StrikeDip
                                     : OrientationForm::DipDirectionDip;
    if (m.form == StrikeRight)
        c.strike = m.direction;
    else
        c.direction = m.direction;
    c.angle = m.angle;
    c.fieldBook = m.combined;
    c.type = m.kind;
    c.weight = m.weight;
    c.station = m.station;
    c.notes = m.notes;
    c.traverse = m.traverse;
    c.headerRows = m.header ? 1 : 0;
    return c;
}

ImportResult map(const ImportTable& table, const Mapping& mapping, const QVector<Traverse>& traverses) {
    return importMeasurements(table, columnMapping(mapping), traverses);
}

} // namespace ImportGlue
