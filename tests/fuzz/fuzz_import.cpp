// Feeds arbitrary bytes to the measurement import as a user's file would
// reach it: as CSV/TXT (every encoding and separator detected), as an .xlsx
// workbook (every sheet), and as clipboard text; then maps the columns and
// checks the rows, as the import dialog does.
#include "model/fielddata/import.h"
#include "model/fielddata/xlsx.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

namespace {
void importAll(const ImportTable& table) {
    const ColumnMapping guessed = guessMapping(table);
    ImportResult r = importMeasurements(table, guessed, {Traverse{1, QStringLiteral("SL1"), 90, 0}});
    // Every other form on the same columns too.
    ColumnMapping m = guessed;
    m.form = OrientationForm::FieldBook;
    m.fieldBook = 0;
    r = importMeasurements(table, m);
    m.form = OrientationForm::StrikeDip;
    m.strike = 1;
    m.angle = 2;
    m.type = 3;
    m.weight = 4;
    m.traverse = 5;
    r = importMeasurements(table, m);
    for (const Measurement& x : r.measurements)
        if (!measurementProblem(x).isEmpty())
            __builtin_trap(); // a refused value became a measurement
    ColumnMapping::fromText(m.toText());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    Q_UNUSED(app);

    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    importAll(tableFromTextFile(bytes));
    importAll(tableFromClipboard(QString::fromUtf8(bytes)));
    QStringList sheets;
    QString error;
    if (xlsxSheetNames(bytes, sheets, error)) {
        for (int i = 0; i < sheets.size() && i < 4; ++i) {
            ImportTable table;
            if (tableFromXlsx(bytes, i, table, error))
                importAll(table);
        }
    }
    return 0;
}
