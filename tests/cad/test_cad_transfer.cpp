// The copy-to-CAD command: options dialog, clipboard record, formats, the
// temporary drawing and the binding to the DWG library.
#include "cad/caddialog.h"
#include "cad/cadexport.h"
#include "cad/cadfiledialog.h"
#include "cad/cadrecord.h"
#include "cad/cadtransfer.h"
#include "model/datacenter.h"
#include "platform/cadclipboard.h"
#include "platform/dwgbinding.h"
#include "platform/messagebox.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <QtTest>

#include <cstring>

namespace {
QList<MessageBox::Shown> shown;

void recordBoxes() {
    shown.clear();
    MessageBox::setHook([](const MessageBox::Shown& box) {
        shown.append(box);
        return 0;
    });
}

double doubleAt(const QByteArray& b, int offset) {
    return qFromLittleEndian<double>(b.constData() + offset);
}

bool zeroRange(const QByteArray& b, int from, int to) {
    for (int i = from; i < to; ++i)
        if (b[i] != 0)
            return false;
    return true;
}

QByteArray clipboardFormat(const QString& name) {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data ? data->data(CadClipboard::mimeTypeOf(name)) : QByteArray();
}

QStringList clipboardFormats() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data ? data->formats() : QStringList();
}

void analysedProject(DataCenter& project) {
    PlaneRecord p;
    p.id = 1;
    p.direction = 100;
    p.angle = 40;
    project.planes << p;
    p.id = 2;
    p.direction = 200;
    p.angle = 50;
    p.type = Fault;
    project.planes << p;
    project.updatePlanesGeometry();
    project.analysisOff = false;
    project.analyse();
}
} // namespace

class TestCadTransfer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void recordAtEveryOffset();
    void recordRefusesLongPaths();
    void formatsPerCadType();
    void dialogDefaultsAndSettings();
    void dialogRadiusEntry();
    void dialogCancelKeepsSettings();
    void storedValuesThatAreNotNumbers();
    void transferWritesDxfAndPlacesRecord();
    void transferWithTooLongTemporaryPath();
    void dwgThroughStandInLibrary();
    void dwgBindingFailures();
    void commandRunsTheDialog();

private:
    QTemporaryDir tmp;
};

void TestCadTransfer::initTestCase() {
    QCoreApplication::setOrganizationName(QStringLiteral("Quillmere"));
    QCoreApplication::setApplicationName(QStringLiteral("Karven"));
    QVERIFY(tmp.isValid());
}

void TestCadTransfer::init() {
    QSettings().clear();
    QApplication::clipboard()->clear();
    recordBoxes();
    qputenv("TMPDIR", QFile::encodeName(tmp.path()));
    DwgBinding::setLibraryName(QStringLiteral("Vantrel"));
    qunsetenv("FAKE_DWG_MODE");
}

void TestCadTransfer::recordAtEveryOffset() {
    const QString path = QStringLiteral("C:/用户/Temp/Karven_NYjdsF.dxf");
    const QByteArray r = CadClipboardRecord::build(path);
    QCOMPARE(r.size(), 1120);
    for (int i = 0; i < path.size(); ++i)
        QCOMPARE(qFromLittleEndian<quint16>(r.constData() + 2 * i), path.at(i).unicode());
    QVERIFY(zeroRange(r, 2 * path.size(), 1040));
    QCOMPARE(r.mid(1040, 8), QByteArray("R\0"
                                        "1\0"
                                        "5\0"
                                        "\0\0",
                                        8));
    QVERIFY(zeroRange(r, 1048, 1056));
    QCOMPARE(doubleAt(r, 1056), 0.1);
    QCOMPARE(doubleAt(r, 1064), 0.2);
    QCOMPARE(doubleAt(r, 1072), 0.2);
    QCOMPARE(r.mid(1056, 8).toHex(), QByteArray("9a9999999999b93f"));
    QVERIFY(zeroRange(r, 1080, 1120));
}

void TestCadTransfer::recordRefusesLongPaths() {
    const QString fits = QString(259, QLatin1Char('a'));
    const QByteArray r = CadClipboardRecord::build(fits);
    QCOMPARE(r.size(), 1120);
    QCOMPARE(r.at(518), char(0)); // the terminating NUL of unit 259
    QCOMPARE(r.at(516), 'a');
    QVERIFY(CadClipboardRecord::build(fits + QLatin1Char('a')).isEmpty());
    // A character beyond the BMP takes two units.
    QVERIFY(CadClipboardRecord::build(QString(257, QLatin1Char('a')) + QStringLiteral("😀")).isEmpty() ==
            false);
    QVERIFY(CadClipboardRecord::build(QString(258, QLatin1Char('a')) + QStringLiteral("😀")).isEmpty());
}

void TestCadTransfer::formatsPerCadType() {
    const QStringList all = {QStringLiteral("AutoCAD.r18"), QStringLiteral("AutoCAD.r22"),
                             QStringLiteral("AutoCAD.r16"), QStringLiteral("AutoCAD.r17"),
                             QStringLiteral("AutoCAD.r19")};
    const QByteArray record = CadClipboardRecord::build(QStringLiteral("/tmp/x.dxf"));
    for (const int type : {1, 2, 4}) {
        QApplication::clipboard()->setText(QStringLiteral("old"));
        QVERIFY(CadClipboard::place(record, type));
        const QStringList expected = type == 2 ? QStringList{all.first()} : all;
        QCOMPARE(CadClipboard::formatNames(type), expected);
        QCOMPARE(clipboardFormats(), expected);
        for (const QString& name : expected)
            QCOMPARE(clipboardFormat(name), record);
        QVERIFY(QApplication::clipboard()->text().isEmpty());
    }
}

void TestCadTransfer::dialogDefaultsAndSettings() {
    {
        CADDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("选择CAD版本"));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
        QVERIFY(dialog.findChild<QRadioButton*>(QStringLiteral("radioACAD"))->isChecked());
        QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("editCadradius"))->text(), QStringLiteral("50"));
        QCOMPARE(dialog.findChild<QSpinBox*>(QStringLiteral("spinCadheigh"))->value(), 5);
        auto* box = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        QCOMPARE(box->button(QDialogButtonBox::Ok)->text(), QStringLiteral("复制粘帖到CAD软件"));
        QCOMPARE(box->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    }
    QSettings().setValue(QStringLiteral("cadtype"), 3);
    QSettings().setValue(QStringLiteral("cadradius"), 80);
    QSettings().setValue(QStringLiteral("cadheigh"), 12);
    {
        CADDialog dialog;
        QVERIFY(dialog.findChild<QRadioButton*>(QStringLiteral("radioACAD"))->isChecked());
        QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("editCadradius"))->text(), QStringLiteral("80"));
        QCOMPARE(dialog.findChild<QSpinBox*>(QStringLiteral("spinCadheigh"))->value(), 12);
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.cadType(), 1);
        QCOMPARE(QSettings().value(QStringLiteral("cadtype")).toInt(), 1);
    }
    for (const auto& [type, radio] : {std::pair<int, const char*>{2, "radioGSCAD"}, {4, "radioZWCAD"}}) {
        QSettings().setValue(QStringLiteral("cadtype"), type);
        CADDialog dialog;
        QVERIFY(dialog.findChild<QRadioButton*>(QLatin1String(radio))->isChecked());
    }
    CADDialog dialog;
    dialog.findChild<QRadioButton*>(QStringLiteral("radioGSCAD"))->setChecked(true);
    dialog.findChild<QLineEdit*>(QStringLiteral("editCadradius"))->setText(QStringLiteral("35"));
    dialog.findChild<QSpinBox*>(QStringLiteral("spinCadheigh"))->setValue(20);
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(QSettings().value(QStringLiteral("cadtype")).toInt(), 2);
    QCOMPARE(QSettings().value(QStringLiteral("cadradius")).toInt(), 35);
    QCOMPARE(QSettings().value(QStringLiteral("cadheigh")).toInt(), 20);
    QCOMPARE(dialog.radius(), 35);
    QCOMPARE(dialog.textPercent(), 20);
}

void TestCadTransfer::dialogRadiusEntry() {
    CADDialog dialog;
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("editCadradius"));
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QVERIFY(ok->isEnabled());
    edit->clear();
    QVERIFY(!ok->isEnabled());
    QTest::keyClicks(edit, QStringLiteral("0"));
    QCOMPARE(edit->text(), QString());
    QTest::keyClicks(edit, QStringLiteral("5"));
    QCOMPARE(edit->text(), QStringLiteral("5"));
    QVERIFY(!ok->isEnabled());
    QTest::keyClicks(edit, QStringLiteral("0"));
    QVERIFY(ok->isEnabled());
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("101"));
    QCOMPARE(edit->text(), QStringLiteral("10"));
    QTest::keyClicks(edit, QStringLiteral("0"));
    QCOMPARE(edit->text(), QStringLiteral("100"));
    QVERIFY(ok->isEnabled());
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("999"));
    QCOMPARE(edit->text(), QStringLiteral("99"));
    // A stored radius outside the range shows, but OK waits for a valid one.
    QSettings().setValue(QStringLiteral("cadradius"), 5);
    CADDialog stored;
    QCOMPARE(stored.findChild<QLineEdit*>()->text(), QStringLiteral("5"));
    QVERIFY(!stored.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled());
}

void TestCadTransfer::dialogCancelKeepsSettings() {
    CADDialog dialog;
    dialog.findChild<QLineEdit*>(QStringLiteral("editCadradius"))->setText(QStringLiteral("77"));
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!QSettings().contains(QStringLiteral("cadradius")));
}

// A hand-edited store: what is not a whole number reads as 0, which the
// dialogs refuse (radius) or raise to their minimum (height).
void TestCadTransfer::storedValuesThatAreNotNumbers() {
    const QList<QVariant> bad{
        QStringLiteral("nan"), QStringLiteral("inf"), QStringLiteral("1e999"), qQNaN(), qInf(), 1e300,
        4294967346.0};
    for (const QVariant& value : bad) {
        QSettings().setValue(QStringLiteral("cadradius"), value);
        QSettings().setValue(QStringLiteral("cadheigh"), value);
        CADDialog dialog;
        QCOMPARE(dialog.radius(), 0);
        QCOMPARE(dialog.textPercent(), 0);
        QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("editCadradius"))->text(), QStringLiteral("0"));
        QVERIFY(!dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled());
        QCOMPARE(dialog.findChild<QSpinBox*>()->value(), 2);
        CadFileDialog fileDialog;
        QCOMPARE(fileDialog.radius(), 0);
        QCOMPARE(fileDialog.textPercent(), 0);
    }
}

void TestCadTransfer::transferWritesDxfAndPlacesRecord() {
    DataCenter project;
    analysedProject(project);
    const QString dxf = tmp.path() + QStringLiteral("/Karven_NYjdsF.dxf");
    QFile::remove(dxf);
    QCOMPARE(cadDrawingPath(1), dxf);
    QCOMPARE(cadDrawingPath(2), dxf);
    QCOMPARE(cadDrawingPath(4), tmp.path() + QStringLiteral("/Karven_NYjdsF.dwg"));

    QVERIFY(transferDrawingToCad(nullptr, project, 1, 40, 6));
    QCOMPARE(project.cadRadius, 40);
    QCOMPARE(project.cadTextPercent, 6);
    QVERIFY(QFile::exists(dxf));
    QByteArray written;
    {
        QFile f(dxf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        written = f.readAll();
    }
    QVERIFY(written.contains("\r\n 40\r\n40\r\n")); // the net circle, radius R
    QCOMPARE(clipboardFormats().size(), 5);
    QCOMPARE(clipboardFormat(QStringLiteral("AutoCAD.r19")), CadClipboardRecord::build(dxf));
    QVERIFY(shown.isEmpty());

    QVERIFY(transferDrawingToCad(nullptr, project, 2, 50, 5));
    QCOMPARE(clipboardFormats(), QStringList{QStringLiteral("AutoCAD.r18")});
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Files).filter(QStringLiteral("Karven_NYjdsF")).size(), 1);
}

void TestCadTransfer::transferWithTooLongTemporaryPath() {
    QTemporaryDir deep;
    QString path = deep.path();
    while (path.size() < 250)
        path += QStringLiteral("/目录目录目录目录目录");
    QVERIFY(QDir().mkpath(path));
    qputenv("TMPDIR", QFile::encodeName(path));
    QApplication::clipboard()->setText(QStringLiteral("untouched"));
    DataCenter project;
    QVERIFY(!transferDrawingToCad(nullptr, project, 1, 50, 5));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].kind, MessageBox::Kind::Warning);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("untouched"));
    QVERIFY(!QFile::exists(path + QStringLiteral("/Karven_NYjdsF.dxf")));
}

void TestCadTransfer::dwgThroughStandInLibrary() {
    DwgBinding::setLibraryName(QStringLiteral(FAKE_DWG_LIBRARY));
    // A temporary folder with Chinese characters: the path must arrive intact.
    const QString folder = tmp.path() + QStringLiteral("/临时");
    QVERIFY(QDir().mkpath(folder));
    qputenv("TMPDIR", QFile::encodeName(folder));
    DataCenter project;
    analysedProject(project);
    project.ShowMark = 3;
    QVERIFY(transferDrawingToCad(nullptr, project, 4, 30, 5));
    QVERIFY(shown.isEmpty());
    const QString dwg = folder + QStringLiteral("/Karven_NYjdsF.dwg");
    QFile f(dwg);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readLine(), QByteArray("FAKEDWG\n"));
    const QString givenPath = QString::fromUtf8(f.readLine()).trimmed();
    QVERIFY2(givenPath.startsWith(folder + QStringLiteral("/Karven_NYjdsF")), qPrintable(givenPath));
    const QByteArray xml = f.readAll();
    QCOMPARE(xml, CadExport::drawingXml(project));
    // After success the record replaces the XML on the clipboard.
    QCOMPARE(clipboardFormats().size(), 5);
    QCOMPARE(clipboardFormat(QStringLiteral("AutoCAD.r18")), CadClipboardRecord::build(dwg));
    QVERIFY(QApplication::clipboard()->text().isEmpty());
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("Karven_NYjdsF.dwg")});

    // A false result: no message, nothing placed, no file left behind.
    QFile::remove(dwg);
    qputenv("FAKE_DWG_MODE", "false");
    QVERIFY(!transferDrawingToCad(nullptr, project, 4, 30, 5));
    QVERIFY(shown.isEmpty());
    QVERIFY(QApplication::clipboard()->text().startsWith(QLatin1String("<?xml")));
    QVERIFY(QDir(folder).entryList(QDir::Files).isEmpty());

    qputenv("FAKE_DWG_MODE", "throw");
    QVERIFY(!CadExport::exportDwg(project, dwg));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].text, QStringLiteral("生成图形文件失败"));
    QCOMPARE(shown[0].title, QStringLiteral("澄岩赤平投影"));
    QVERIFY(!CadExport::exportDwg(project, QString()));
}

void TestCadTransfer::dwgBindingFailures() {
    DataCenter project;
    DwgBinding::setLibraryName(QStringLiteral("NoSuchLibraryAnywhere"));
    QVERIFY(DwgBinding::checkDotNet());
    QVERIFY(!CadExport::exportDwg(project, tmp.path() + QStringLiteral("/a.dwg")));
    QCOMPARE(shown.size(), 1);
#ifdef Q_OS_WIN
    QCOMPARE(shown[0].text, QStringLiteral("无法找到Vantrel.dll文件"));
#else
    QCOMPARE(shown[0].text, QStringLiteral("无法找到libVantrel.so文件"));
#endif
    // The XML stays on the clipboard when the library cannot run.
    QVERIFY(QApplication::clipboard()->text().contains(QLatin1String("<entities version=\"1.0\">")));

    shown.clear();
    DwgBinding::setLibraryName(QStringLiteral(QT_CORE_LIBRARY));
    QVERIFY(!DwgBinding::callWriteDwg(tmp.path() + QStringLiteral("/b.dwg")));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].text, QStringLiteral("Vantrel.dll未导出函数"));
}

void TestCadTransfer::commandRunsTheDialog() {
    // Answers the modal dialog as soon as it shows.
    auto answer = [](QDialogButtonBox::StandardButton button) {
        QTimer::singleShot(0, [button] {
            auto* dialog = qobject_cast<CADDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->findChild<QDialogButtonBox*>()->button(button)->click();
        });
    };
    QWidget window;
    window.show();
    DataCenter project;
    analysedProject(project);
    QSettings().setValue(QStringLiteral("cadtype"), 2);
    QSettings().setValue(QStringLiteral("cadradius"), 33);
    QSettings().setValue(QStringLiteral("cadheigh"), 7);

    answer(QDialogButtonBox::Cancel);
    QVERIFY(!copyDrawingToCad(&window, project));
    QCOMPARE(project.cadRadius, 20);
    QVERIFY(clipboardFormats().isEmpty());
    QVERIFY(!window.isMinimized());

    answer(QDialogButtonBox::Ok);
    QVERIFY(copyDrawingToCad(&window, project));
    QCOMPARE(project.cadRadius, 33);
    QCOMPARE(project.cadTextPercent, 7);
    QCOMPARE(clipboardFormats(), QStringList{QStringLiteral("AutoCAD.r18")});
    QCOMPARE(clipboardFormat(QStringLiteral("AutoCAD.r18")), CadClipboardRecord::build(cadDrawingPath(2)));
    QVERIFY(QFile::exists(cadDrawingPath(2)));
    QTRY_VERIFY(window.isMinimized());
}

QTEST_MAIN(TestCadTransfer)
#include "test_cad_transfer.moc"
