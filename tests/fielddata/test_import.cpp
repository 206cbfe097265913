// Import of measurements: every encoding, separator and column form a field
// book or a spreadsheet gives, the clipboard, .xlsx sheets, and every refused
// row listed with its line, its text and its reason.
#include "model/fielddata/import.h"
#include "model/fielddata/xlsx.h"

#include <QFile>
#include <QTextCodec>
#include <QtTest>

class TestImport : public QObject {
    Q_OBJECT
private slots:
    void encodings_data();
    void encodings();
    void separators_data();
    void separators();
    void quotedFieldsAndLines();
    void fieldBookForms();
    void strikeByTheRightHandRule();
    void optionalColumns();
    void rejectedRowsSayWhy();
    void clipboardRows();
    void guessesFromHeadingsAndContents();
    void mappingKeepsAsText();
    void xlsxFromASpreadsheetProgram();
    void xlsxPartByPart();
    void brokenXlsxSaysSo();
};

namespace {
const QString kTable = QStringLiteral("倾向,倾角,类型,测点,备注\n135,65,节理,ZK1,张开\n140.5,70,层面,ZK1,\n");

struct Attitude {
    double direction, angle;
};

QVector<Attitude> attitudes(const ImportResult& r) {
    QVector<Attitude> out;
    for (const Measurement& m : r.measurements)
        out.append(Attitude{m.direction, m.angle});
    return out;
}

bool same(const QVector<Attitude>& a, const QVector<Attitude>& b) {
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i)
        if (std::abs(a[i].direction - b[i].direction) > 1e-12 || std::abs(a[i].angle - b[i].angle) > 1e-12)
            return false;
    return true;
}

ImportResult importText(const QString& text) {
    const ImportTable table = tableFromText(text);
    return importMeasurements(table, guessMapping(table));
}

QByteArray fixture(const char* name) {
    QFile file(QStringLiteral(KARVEN_TEST_DATA "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

void TestImport::encodings_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    QTest::newRow("UTF-8") << kTable.toUtf8() << QStringLiteral("UTF-8");
    QTest::newRow("UTF-8 BOM") << QByteArray("\xef\xbb\xbf") + kTable.toUtf8() << QStringLiteral("UTF-8 BOM");
    QTest::newRow("GBK") << QTextCodec::codecForName("GBK")->fromUnicode(kTable) << QStringLiteral("GBK");
    QByteArray utf16("\xff\xfe");
    utf16 += QTextCodec::codecForName("UTF-16LE")->fromUnicode(kTable);
    QTest::newRow("UTF-16LE") << utf16 << QStringLiteral("UTF-16LE");
}

void TestImport::encodings() {
    // The same table however Excel, WPS or an editor saved it.
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    const ImportTable table = tableFromTextFile(bytes);
    QCOMPARE(table.encoding, encoding);
    QCOMPARE(table.separator, QChar(QLatin1Char(',')));
    QCOMPARE(table.rows.size(), 3);
    QCOMPARE(table.rows[0][0], QStringLiteral("倾向"));
    const ImportResult r = importMeasurements(table, guessMapping(table));
    QVERIFY(r.rejected.isEmpty());
    QVERIFY(same(attitudes(r), {{135, 65}, {140.5, 70}}));
    QCOMPARE(r.measurements[1].type, 3);
    QCOMPARE(r.measurements[0].station, QStringLiteral("ZK1"));
    QCOMPARE(r.measurements[0].notes, QStringLiteral("张开"));
    // GBK bytes are not valid UTF-8, and GBK forced on UTF-8 bytes of ASCII
    // digits reads them alike.
    QCOMPARE(decodeText(QByteArray("12,34"), TextEncoding::Gbk), QStringLiteral("12,34"));
}

void TestImport::separators_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::newRow("comma") << QStringLiteral("135,65\n20.5,10\n") << QChar(QLatin1Char(','));
    QTest::newRow("tab") << QStringLiteral("135\t65\r\n20.5\t10\r\n") << QChar(QLatin1Char('\t'));
    QTest::newRow("semicolon, decimal comma")
        << QStringLiteral("135;65\n20,5;10\n") << QChar(QLatin1Char(';'));
    QTest::newRow("spaces") << QStringLiteral("  135    65\n20.5 \t 10  \n") << QChar(QLatin1Char(' '));
    QTest::newRow("old Mac line ends") << QStringLiteral("135,65\r20.5,10") << QChar(QLatin1Char(','));
}

void TestImport::separators() {
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    const ImportTable table = tableFromText(text);
    QCOMPARE(table.separator, separator);
    QCOMPARE(table.lines, QVector<int>({1, 2}));
    const ImportResult r = importMeasurements(table, guessMapping(table));
    QVERIFY(r.rejected.isEmpty());
    QVERIFY(same(attitudes(r), {{135, 65}, {20.5, 10}}));
}

void TestImport::quotedFieldsAndLines() {
    // Quotes protect separators and line breaks; a doubled quote is one;
    // rows keep the line they start on, empty lines are no rows.
    const QString text = QStringLiteral("倾向,倾角,备注\n"
                                        "135,65,\"张开, 3 mm\"\n"
                                        "\n"
                                        "140,70,\"两行\n备注\"\n"
                                        "150,75,\"引号\"\"内\"\"\"\n"
                                        ",,\n"
                                        "160,80\n");
    const ImportTable table = tableFromText(text);
    QCOMPARE(table.lines, QVector<int>({1, 2, 4, 6, 8}));
    const ImportResult r = importMeasurements(table, guessMapping(table));
    QVERIFY(r.rejected.isEmpty());
    QCOMPARE(r.measurements.size(), 4);
    QCOMPARE(r.measurements[0].notes, QStringLiteral("张开, 3 mm"));
    QCOMPARE(r.measurements[1].notes, QStringLiteral("两行\n备注"));
    QCOMPARE(r.measurements[2].notes, QStringLiteral("引号\"内\""));
    QCOMPARE(r.measurements[3].notes, QString());
    QCOMPARE(r.lines, QVector<int>({2, 4, 6, 8}));
}

void TestImport::fieldBookForms() {
    // One column 倾向∠倾角 in every way a field book writes it.
    const QString text =
        QStringLiteral("产状\n135∠65\n135°∠65°\n135/65\n 135 ∠ 65 \n１３５∠６５\n135º∠65度\n");
    const ImportTable table = tableFromText(text);
    const ColumnMapping m = guessMapping(table);
    QCOMPARE(m.form, OrientationForm::FieldBook);
    QCOMPARE(m.fieldBook, 0);
    QCOMPARE(m.headerRows, 1);
    const ImportResult r = importMeasurements(table, m);
    QVERIFY(r.rejected.isEmpty());
    QCOMPARE(r.measurements.size(), 6);
    for (const Measurement& x : r.measurements) {
        QCOMPARE(x.direction, 135.0);
        QCOMPARE(x.angle, 65.0);
    }
    double d = 0, a = 0;
    QVERIFY(!parseFieldBookText(QStringLiteral("135∠65∠3"), d, a));
    QVERIFY(!parseFieldBookText(QStringLiteral("135 65"), d, a));
    QVERIFY(!parseFieldBookText(QStringLiteral("∠65"), d, a));
    QVERIFY(parseFieldBookText(QStringLiteral("12.5\\7"), d, a) && d == 12.5 && a == 7);
}

void TestImport::strikeByTheRightHandRule() {
    // Dip direction = strike + 90: strike 45 dips to 135; 300 to 30; 360
    // (north) to 90; 270 to 0.
    const ImportTable table =
        tableFromText(QStringLiteral("走向,倾角\n45,30\n300,50\n360,10\n270,80\n-1,5\n361,5\n"));
    const ColumnMapping m = guessMapping(table);
    QCOMPARE(m.form, OrientationForm::StrikeDip);
    const ImportResult r = importMeasurements(table, m);
    QVERIFY(same(attitudes(r), {{135, 30}, {30, 50}, {90, 10}, {0, 80}}));
    QCOMPARE(r.rejected.size(), 2);
    QCOMPARE(r.rejected[0].reason, QStringLiteral("走向-1超出0–360"));
    QCOMPARE(r.rejected[1].reason, QStringLiteral("走向361超出0–360"));
}

void TestImport::optionalColumns() {
    const QVector<Traverse> traverses{Traverse{1, QStringLiteral("SL1"), 90, 0},
                                      Traverse{7, QStringLiteral("ZK7"), 0, 90}};
    const ImportTable table =
        tableFromText(QStringLiteral("Dip Direction\tDip\tType\tQuantity\tStation\tNotes\tTraverse\n"
                                     "10\t20\tJ\t\tA\tn1\tSL1\n"
                                     "11\t21\tbedding\t3\tB\t\t7\n"
                                     "12\t22\t断层\t0.5\t\t\t\n"
                                     "13\t23\t4\t1\t\t\tZK7\n"));
    const ColumnMapping m = guessMapping(table);
    QCOMPARE(m.form, OrientationForm::DipDirectionDip);
    QCOMPARE(m.direction, 0);
    QCOMPARE(m.angle, 1);
    QCOMPARE(m.type, 2);
    QCOMPARE(m.weight, 3);
    QCOMPARE(m.station, 4);
    QCOMPARE(m.notes, 5);
    QCOMPARE(m.traverse, 6);
    const ImportResult r = importMeasurements(table, m, traverses);
    QVERIFY(r.rejected.isEmpty());
    QCOMPARE(r.measurements.size(), 4);
    QCOMPARE(r.measurements[0].type, 2);
    QCOMPARE(r.measurements[0].weight, 1.0);
    QCOMPARE(r.measurements[0].traverse, 1);
    QCOMPARE(r.measurements[0].station, QStringLiteral("A"));
    QCOMPARE(r.measurements[0].notes, QStringLiteral("n1"));
    QCOMPARE(r.measurements[1].type, 3);
    QCOMPARE(r.measurements[1].weight, 3.0);
    QCOMPARE(r.measurements[1].traverse, 7);
    QCOMPARE(r.measurements[2].type, 4);
    QCOMPARE(r.measurements[2].weight, 0.5);
    QCOMPARE(r.measurements[2].traverse, 0);
    QCOMPARE(r.measurements[3].traverse, 7);
}

void TestImport::rejectedRowsSayWhy() {
    // Every bad row is listed with its line, as it stood, and why; the
    // good rows around it are taken.
    const QString text = QStringLiteral("倾向,倾角,类型,权重,测线\n"
                                        "135,65,,,\n"
                                        "135,95,,,\n"
                                        "abc,30,,,\n"
                                        "400,30,,,\n"
                                        "135,,,,\n"
                                        ",30,,,\n"
                                        "10,20,石头,,\n"
                                        "10,20,,-2,\n"
                                        "10,20,,x,\n"
                                        "10,20,,,SL9\n"
                                        "10,nan,,,\n"
                                        "360,90,,,\n");
    const ImportTable table = tableFromText(text);
    const ImportResult r = importMeasurements(table, guessMapping(table));
    QVERIFY(same(attitudes(r), {{135, 65}, {0, 90}}));
    QCOMPARE(r.lines, QVector<int>({2, 13}));
    QStringList reasons;
    QVector<int> lines;
    for (const RejectedRow& row : r.rejected) {
        reasons << row.reason;
        lines << row.line;
    }
    QCOMPARE(reasons, QStringList({QStringLiteral("倾角95超出0–90"), QStringLiteral("无法识别\"abc\""),
                                   QStringLiteral("倾向400超出0–360"), QStringLiteral("缺少倾角"),
                                   QStringLiteral("缺少倾向"), QStringLiteral("无法识别\"石头\""),
                                   QStringLiteral("权重-2超出0–1000000"), QStringLiteral("无法识别\"x\""),
                                   QStringLiteral("测线\"SL9\"不存在"), QStringLiteral("无法识别\"nan\"")}));
    QCOMPARE(lines, QVector<int>({3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    QCOMPARE(r.rejected[0].text, QStringLiteral("135,95,,,"));
}

void TestImport::clipboardRows() {
    // Rows copied from Excel or WPS: tab-separated, CRLF, a final line break,
    // empty cells kept in place.
    const ImportTable table = tableFromClipboard(QStringLiteral("135\t65\t\tZK1\r\n140\t70\t层面\t\r\n"));
    QCOMPARE(table.rows.size(), 2);
    QCOMPARE(table.rows[0],
             QStringList({QStringLiteral("135"), QStringLiteral("65"), QString(), QStringLiteral("ZK1")}));
    ColumnMapping m;
    m.direction = 0;
    m.angle = 1;
    m.type = 2;
    m.station = 3;
    const ImportResult r = importMeasurements(table, m);
    QVERIFY(r.rejected.isEmpty());
    QCOMPARE(r.measurements[0].station, QStringLiteral("ZK1"));
    QCOMPARE(r.measurements[1].type, 3);
    // One copied cell.
    QCOMPARE(tableFromClipboard(QStringLiteral("135∠65")).rows.size(), 1);
}

void TestImport::guessesFromHeadingsAndContents() {
    // No headings: the first two numeric columns, or a field-book column.
    ColumnMapping m = guessMapping(tableFromText(QStringLiteral("ZK1,135,65\nZK2,140,70\n")));
    QCOMPARE(m.direction, 1);
    QCOMPARE(m.angle, 2);
    QCOMPARE(m.headerRows, 0);
    m = guessMapping(tableFromText(QStringLiteral("ZK1\t135∠65\nZK2\t140∠70\n")));
    QCOMPARE(m.form, OrientationForm::FieldBook);
    QCOMPARE(m.fieldBook, 1);
    // Headings it does not know, above numbers: a heading row all the same.
    m = guessMapping(tableFromText(QStringLiteral("a;b\n135;65\n140;70\n")));
    QCOMPARE(m.headerRows, 1);
    QVERIFY(m.isValid());
    // A heading 倾向∠倾角 names a field-book column, not two.
    m = guessMapping(tableFromText(QStringLiteral("编号,倾向∠倾角\n1,135∠65\n")));
    QCOMPARE(m.form, OrientationForm::FieldBook);
    QCOMPARE(m.fieldBook, 1);
    // Nothing to map.
    QVERIFY(!guessMapping(tableFromText(QStringLiteral("x,y\nfoo,bar\n"))).isValid());
    QVERIFY(!guessMapping(ImportTable()).isValid());
}

void TestImport::mappingKeepsAsText() {
    ColumnMapping m;
    m.form = OrientationForm::StrikeDip;
    m.strike = 3;
    m.angle = 4;
    m.weight = 6;
    m.headerRows = 2;
    const ColumnMapping back = ColumnMapping::fromText(m.toText());
    QCOMPARE(back.toText(), m.toText());
    QCOMPARE(back.form, OrientationForm::StrikeDip);
    QCOMPARE(back.strike, 3);
    QCOMPARE(back.headerRows, 2);
    QCOMPARE(ColumnMapping::fromText(QStringLiteral("form=x;angle=abc;headerRows=-5")).toText(),
             ColumnMapping().toText());
}

void TestImport::xlsxFromASpreadsheetProgram() {
    // Two sheets; the data on the second, with headings, shared strings and
    // numbers; a bad row and an empty one.
    const QByteArray bytes = fixture("survey-openpyxl.xlsx");
    QVERIFY(!bytes.isEmpty());
    QStringList names;
    QString error;
    QVERIFY(xlsxSheetNames(bytes, names, error));
    QCOMPARE(names, QStringList({QStringLiteral("说明"), QStringLiteral("测量")}));
    ImportTable table;
    QVERIFY(tableFromXlsx(bytes, 1, table, error));
    QCOMPARE(table.rows.size(), 6);
    QCOMPARE(table.lines, QVector<int>({1, 2, 3, 4, 6, 7}));
    const ImportResult r = importMeasurements(table, guessMapping(table));
    QVERIFY(same(attitudes(r), {{135, 65}, {140.5, 70}, {359.9, 0}}));
    QCOMPARE(r.measurements[1].type, 3);
    QCOMPARE(r.measurements[2].notes, QStringLiteral("水平"));
    QCOMPARE(r.rejected.size(), 2);
    QCOMPARE(r.rejected[0].line, 4);
    QCOMPARE(r.rejected[0].reason, QStringLiteral("倾角95超出0–90"));
    QCOMPARE(r.rejected[0].text, QStringLiteral("250\t95\t断层\tZK2\t倾角错"));
    QCOMPARE(r.rejected[1].reason, QStringLiteral("无法识别\"abc\""));
    QVERIFY(!tableFromXlsx(bytes, 2, table, error));
    QCOMPARE(error, QStringLiteral("工作表不存在"));
}

void TestImport::xlsxPartByPart() {
    // Inline strings, rich runs (the phonetic run left out), formula text,
    // cells without references, a gap, an absolute target.
    const QByteArray bytes = fixture("survey-parts.xlsx");
    ImportTable table;
    QString error;
    QVERIFY2(tableFromXlsx(bytes, 0, table, error), qPrintable(error));
    QCOMPARE(table.lines, QVector<int>({2, 3, 4, 9, 10}));
    QCOMPARE(table.rows[0], QStringList({QString(), QStringLiteral("产状"), QString(), QStringLiteral("测点"),
                                         QStringLiteral("flag")}));
    QCOMPARE(table.rows[1][3], QStringLiteral("T1"));
    QCOMPARE(table.rows[1][4], QStringLiteral("TRUE"));
    QCOMPARE(table.rows[2],
             QStringList({QStringLiteral("x"), QStringLiteral("130/60"), QString(), QStringLiteral("T2")}));
    const ColumnMapping m = guessMapping(table);
    QCOMPARE(m.form, OrientationForm::FieldBook);
    QCOMPARE(m.fieldBook, 1);
    QCOMPARE(m.station, 3);
    const ImportResult r = importMeasurements(table, m);
    QVERIFY(same(attitudes(r), {{135, 65}, {130, 60}}));
    QCOMPARE(r.measurements[0].station, QStringLiteral("T1"));
    QCOMPARE(r.rejected.size(), 2);
    QCOMPARE(r.rejected[0].reason, QStringLiteral("倾角95超出0–90"));
    QCOMPARE(r.rejected[0].line, 9);
    QCOMPARE(r.rejected[1].reason, QStringLiteral("无法识别\"1.35E2\""));
}

void TestImport::brokenXlsxSaysSo() {
    // Not a ZIP, a ZIP without a workbook, a truncated file: a message, no
    // table.
    QStringList names;
    QString error;
    ImportTable table;
    QVERIFY(!xlsxSheetNames(QByteArray("135,65\n"), names, error));
    QCOMPARE(error, QStringLiteral("不是可读的xlsx文件"));
    const QByteArray bytes = fixture("survey-openpyxl.xlsx");
    QVERIFY(!tableFromXlsx(bytes.left(bytes.size() / 2), 0, table, error));
    QVERIFY(!error.isEmpty());
    QVERIFY(table.rows.isEmpty());
    QVERIFY(!tableFromXlsx(QByteArray(), 0, table, error));
}

QTEST_GUILESS_MAIN(TestImport)
#include "test_import.moc"
