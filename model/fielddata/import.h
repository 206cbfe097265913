#pragma once

#include "model/fielddata/measurements.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// Getting measurements in: a table of text cells from a CSV/TXT file, an
// .xlsx sheet (xlsx.h) or the clipboard (rows copied from Excel or WPS are
// tab-separated text), then its columns mapped onto measurements, row by row,
// with every refused row listed with its line, its text and the reason.
// Pure functions: no files, no dialogs.

// A table as read, before the columns are mapped.
struct ImportTable {
    QVector<QStringList> rows; // cells, trimmed of surrounding white space
    QVector<int> lines;        // per row: its 1-based line in the text, or its row number in the sheet
    QStringList texts;         // per row: the row as it stood (a sheet's row: its cells joined by tabs)
    QString encoding;          // text: "UTF-8", "UTF-8 BOM", "UTF-16LE", "UTF-16BE" or "GBK"
    QChar separator;           // text: '\t', ';', ',' or ' ' (runs of blanks); QChar() for one column
    int columns() const;       // the widest row's cell count
};

enum class TextEncoding { Automatic, Utf8, Gbk };

// The text of a CSV/TXT file. Automatic: a byte-order mark decides (UTF-8,
// UTF-16); otherwise text that is valid UTF-8 is UTF-8, and anything else is
// GBK, as Chinese Excel and WPS save "CSV". `used` receives the encoding's name.
QString decodeText(const QByteArray& bytes, TextEncoding encoding = TextEncoding::Automatic,
                   QString* used = nullptr);

// The separator of a text: the first of tab, semicolon and comma that splits
// most of its first 50 non-empty lines into the same number (≥ 2) of fields,
// else runs of blanks when they split the lines, else QChar() (one column).
QChar detectSeparator(const QString& text);

// Splits text into rows. With a tab, semicolon or comma, fields may be
// quoted ("…", a doubled quote inside stands for one; a quoted field may run
// over several lines); with ' ', any run of spaces and tabs separates fields.
// Empty lines are no rows. separator = QChar(-1) ('\uffff') detects it.
ImportTable tableFromText(const QString& text, QChar separator = QChar(0xffff));

// The bytes of a CSV/TXT file: decodeText, then tableFromText.
ImportTable tableFromTextFile(const QByteArray& bytes, TextEncoding encoding = TextEncoding::Automatic,
                              QChar separator = QChar(0xffff));

// Rows copied from a spreadsheet (tab-separated; Excel ends the last row with
// a line break): the same parser with the tab.
ImportTable tableFromClipboard(const QString& text);

// How the table's columns become measurements (column indices from 0, -1:
// none).
enum class OrientationForm {
    DipDirectionDip, // 倾向 and 倾角 in two columns
    FieldBook,       // one column 倾向∠倾角: "135∠65", "135°∠65°", "135/65"
    StrikeDip,       // 走向 and 倾角, right-hand rule: dip direction = strike + 90°
};

struct ColumnMapping {
    OrientationForm form = OrientationForm::DipDirectionDip;
    int direction = -1;                                                  // DipDirectionDip
    int angle = -1;                                                      // DipDirectionDip, StrikeDip
    int fieldBook = -1;                                                  // FieldBook
    int strike = -1;                                                     // StrikeDip
    int type = -1, weight = -1, station = -1, notes = -1, traverse = -1; // optional
    int headerRows = 0; // rows at the top that are headings, not data

    // The orientation's columns are set for the form.
    bool isValid() const;
    // As text and back ("form=fieldbook;fieldBook=0;type=2;…"), for keeping
    // the last mapping in the settings.
    QString toText() const;
    static ColumnMapping fromText(const QString& text);
};

// A mapping proposed for the table: by the headings of its first row when it
// has any (倾向/dip direction, 倾角/dip, 走向/strike, 产状, 类型/type,
// 权重/数量/weight, 测点/station, 备注/notes, 测线/traverse, …), else by its
// contents (a column of "135∠65" is a field book; else the first two numeric
// columns are 倾向 and 倾角).
ColumnMapping guessMapping(const ImportTable& table);

struct ImportResult {
    QVector<Measurement> measurements;
    QVector<int> lines;            // the table line of each measurement
    QVector<RejectedRow> rejected; // every data row not taken, in order
};

// Maps the rows after the heading rows. Rows whose cells are all empty are
// skipped; any other row either becomes a measurement or is rejected with
// its reason ("缺少倾角", "无法识别\"abc\"", "倾角95超出0–90", …). Optional
// cells: kind as 2/3/4, 节理/层面/断层 or J/B/F (empty: joint), weight
// (empty: 1), traverse by id or name among `traverses` (empty: none). A dip
// direction or strike of 360 is 0.
ImportResult importMeasurements(const ImportTable& table, const ColumnMapping& mapping,
                                const QVector<Traverse>& traverses = {});

// One cell's value: a number with an optional degree sign (°, º, 度),
// full-width digits, a decimal comma. False for anything else.
bool parseAngleText(const QString& text, double& value);

// A field-book attitude: dip direction, a separator (∠, /, \, <), dip; each
// number may carry a degree sign. False for anything else.
bool parseFieldBookText(const QString& text, double& direction, double& angle);

// A kind: 2, 3, 4, 节理/层面/层理/断层, J/B/F, joint/bedding/fault (any case);
// 0 for anything else.
int parseKindText(const QString& text);
