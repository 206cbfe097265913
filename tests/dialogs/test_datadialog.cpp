#include "dialogs/comboboxdelegate.h"
#include "dialogs/datadialog.h"
#include "dialogs/datalimitdelegate.h"
#include "dialogtesting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSettings>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

using namespace DialogTesting;

class TestDataDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cellValidatorsRefuseKeystrokes();
    void criteriaEditsRefuseKeystrokes();
    void numberColumnHasNoEditor();
    void kindColumnWritesChosenText();
    void eightPlanesAndTheEmptyRow();
    void emptyRowCreatesNextPlane();
    void emptyRowLeftEmptyCreatesNothing();
    void upAndDeleteButtons();
    void editingOneCellTouchesOnlyThatPlane();
    void acceptanceRules();
    void keysNeverCloseTheDialog();
    void tableReturnMovesBetweenAttitudeCells();
    void savedSizeIsRestoredAroundParent();

private:
    static PlaneRecord plane(double direction, double angle, int type = Joint, const QString& notes = {});
    static QVector<PlaneRecord> planes(int n);
    static QTableWidget* table(DataDialog& d) {
        return d.findChild<QTableWidget*>(QStringLiteral("tableWidget"));
    }
    static QLineEdit* edit(DataDialog& d, const char* name) {
        return d.findChild<QLineEdit*>(QLatin1String(name));
    }
    static QString cell(DataDialog& d, int row, int column) {
        QTableWidgetItem* item = table(d)->item(row, column);
        return item ? item->text() : QString();
    }
    static void clickRowButton(DataDialog& d, int row, const char* name) {
        QWidget* cellWidget = table(d)->cellWidget(row, 5);
        QVERIFY(cellWidget);
        auto* button = cellWidget->findChild<QToolButton*>(QLatin1String(name));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }
};

PlaneRecord TestDataDialog::plane(double direction, double angle, int type, const QString& notes) {
    PlaneRecord p;
    p.direction = direction;
    p.angle = angle;
    p.type = type;
    p.notes = notes;
    p.calculated = true;
    return p;
}

QVector<PlaneRecord> TestDataDialog::planes(int n) {
    QVector<PlaneRecord> list;
    for (int i = 0; i < n; ++i) {
        PlaneRecord p = plane(10 + 40 * i, 20 + 5 * i, Joint + i % 3);
        p.id = i + 1;
        list << p;
    }
    return list;
}

void TestDataDialog::initTestCase() {
    QCoreApplication::setOrganizationName(QStringLiteral("Quillmere"));
    QCoreApplication::setApplicationName(QStringLiteral("Karven"));
}

void TestDataDialog::init() {
    QSettings().clear();
}

void TestDataDialog::cellValidatorsRefuseKeystrokes() {
    DataDialog d;
    d.planes = planes(2);
    d.showData();
    d.show();
    QTableWidget* t = table(d);

    QLineEdit* direction = openEditor<QLineEdit>(t, t->model()->index(0, 1));
    QVERIFY(direction);
    QCOMPARE(direction->text(), QStringLiteral("10"));
    QCOMPARE(typeInto(direction, QStringLiteral("400")), QStringLiteral("40"));
    QCOMPARE(typeInto(direction, QStringLiteral("359.95")), QStringLiteral("359.9"));
    QCOMPARE(typeInto(direction, QStringLiteral("360")), QStringLiteral("36"));
    QCOMPARE(typeInto(direction, QStringLiteral("05")), QStringLiteral("0"));
    QCOMPARE(typeInto(direction, QStringLiteral("0.5")), QStringLiteral("0.5"));
    t->closePersistentEditor(t->item(0, 1));

    QLineEdit* dip = openEditor<QLineEdit>(t, t->model()->index(1, 2));
    QVERIFY(dip);
    QCOMPARE(typeInto(dip, QStringLiteral("90")), QStringLiteral("9"));
    QCOMPARE(typeInto(dip, QStringLiteral("05")), QStringLiteral("0"));
    QCOMPARE(typeInto(dip, QStringLiteral("89.9")), QStringLiteral("89.9"));
    QCOMPARE(typeInto(dip, QStringLiteral("-5")), QStringLiteral("5"));

    // Notes: letters, digits, CJK, bar and hyphen only.
    QLineEdit* notes = openEditor<QLineEdit>(t, t->model()->index(0, 4));
    QVERIFY(notes);
    QCOMPARE(typeInto(notes, QStringLiteral("F2 a_b|c-d")), QStringLiteral("F2ab|c-d"));
    notes->insert(QStringLiteral("断层"));
    QCOMPARE(notes->text(), QStringLiteral("F2ab|c-d断层"));
}

void TestDataDialog::criteriaEditsRefuseKeystrokes() {
    DataDialog d;
    d.showData();
    d.show();
    QLineEdit* included = edit(d, "editIncludeAnglePlanar");
    QCOMPARE(typeInto(included, QStringLiteral("90")), QStringLiteral("90"));
    QCOMPARE(typeInto(included, QStringLiteral("90.5")), QStringLiteral("90"));
    QVERIFY(typeInto(included, QStringLiteral("0.5")) != QStringLiteral("0.5"));
    int pos = 0;
    QString text = QStringLiteral("0.5");
    QCOMPARE(included->validator()->validate(text, pos), QValidator::Invalid);
    QCOMPARE(typeInto(included, QStringLiteral("89.9")), QStringLiteral("89.9"));

    QCOMPARE(typeInto(edit(d, "editSlopeDirection"), QStringLiteral("400")), QStringLiteral("40"));
    QCOMPARE(typeInto(edit(d, "editSlopeAngle"), QStringLiteral("90")), QStringLiteral("9"));
    QCOMPARE(typeInto(edit(d, "editFrictionPlanar"), QStringLiteral("05")), QStringLiteral("0"));
    // The project name takes anything.
    QCOMPARE(typeInto(edit(d, "editProjectName"), QStringLiteral("A 1.5/x")), QStringLiteral("A 1.5/x"));
}

void TestDataDialog::numberColumnHasNoEditor() {
    DataDialog d;
    d.planes = planes(1);
    d.showData();
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QTableWidget* t = table(d);
    const QRect r = t->visualRect(t->model()->index(0, 0));
    QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, r.center());
    QApplication::processEvents();
    QVERIFY(!t->indexWidget(t->model()->index(0, 0)));
    QVERIFY(!t->viewport()->findChild<QLineEdit*>());

    // Same for any delegate without a pattern or list.
    QWidget parent;
    DataLimitDelegate noPattern{QRegularExpression()};
    ComboBoxDelegate noItems{QStringList()};
    QVERIFY(!noPattern.createEditor(&parent, {}, {}));
    QVERIFY(!noItems.createEditor(&parent, {}, {}));
    DataLimitDelegate broken{QRegularExpression(QStringLiteral("(["))};
    QVERIFY(!broken.createEditor(&parent, {}, {}));
}

void TestDataDialog::kindColumnWritesChosenText() {
    DataDialog d;
    d.planes = planes(1);
    d.showData();
    d.show();
    QTableWidget* t = table(d);
    QComboBox* combo = openEditor<QComboBox>(t, t->model()->index(0, 3));
    QVERIFY(combo);
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->currentText(), QStringLiteral("节理"));
    combo->setCurrentText(QStringLiteral("断层"));
    QVERIFY(QMetaObject::invokeMethod(t, "commitData", Q_ARG(QWidget*, combo)));
    QCOMPARE(cell(d, 0, 3), QStringLiteral("断层"));
    QCOMPARE(d.planes[0].type, int(Fault));

    // A text that is none of the choices leaves the first choice.
    ComboBoxDelegate delegate({QStringLiteral("节理"), QStringLiteral("层理"), QStringLiteral("断层")});
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), QStringLiteral("片理"));
    QWidget parent;
    QScopedPointer<QWidget> editor(delegate.createEditor(&parent, {}, model.index(0, 0)));
    delegate.setEditorData(editor.data(), model.index(0, 0));
    QCOMPARE(static_cast<QComboBox*>(editor.data())->currentIndex(), 0);
}

void TestDataDialog::eightPlanesAndTheEmptyRow() {
    DataDialog d;
    d.planes = planes(8);
    d.planes[7].notes = QStringLiteral("  F8 ");
    d.showData();
    QTableWidget* t = table(d);
    QCOMPARE(t->rowCount(), 8);
    QCOMPARE(t->columnCount(), 6);
    QCOMPARE(cell(d, 7, 0), QStringLiteral("8"));
    QCOMPARE(cell(d, 7, 4), QStringLiteral("F8"));
    QCOMPARE(cell(d, 1, 3), QStringLiteral("层理"));
    QCOMPARE(cell(d, 2, 3), QStringLiteral("断层"));
    for (int row = 0; row < 8; ++row)
        QVERIFY(t->cellWidget(row, 5));

    clickRowButton(d, 3, "del");
    QCOMPARE(d.planes.size(), 7);
    QCOMPARE(t->rowCount(), 8);
    QCOMPARE(cell(d, 7, 1), QString());
    QVERIFY(!t->cellWidget(7, 5));
    QCOMPARE(cell(d, 3, 1), QStringLiteral("170")); // former plane 5 moved up
    QCOMPARE(cell(d, 3, 0), QStringLiteral("4"));
}

void TestDataDialog::emptyRowCreatesNextPlane() {
    DataDialog d;
    d.planes = planes(2);
    d.showData();
    QTableWidget* t = table(d);
    QCOMPARE(t->rowCount(), 3);

    t->setItem(2, 1, new QTableWidgetItem(QStringLiteral("123.4")));
    QCOMPARE(d.planes.size(), 3);
    const PlaneRecord& p = d.planes[2];
    QCOMPARE(p.id, 3);
    QCOMPARE(p.type, int(Joint));
    QCOMPARE(p.angle, -1.0);
    QCOMPARE(p.direction, double(123.4f));
    QVERIFY(!p.calculated);
    QCOMPARE(cell(d, 2, 0), QStringLiteral("3"));
    QCOMPARE(cell(d, 2, 3), QStringLiteral("节理"));
    QVERIFY(t->cellWidget(2, 5));
    QCOMPARE(t->rowCount(), 4);

    t->setItem(2, 2, new QTableWidgetItem(QStringLiteral("35")));
    QCOMPARE(d.planes.size(), 3);
    QCOMPARE(d.planes[2].angle, 35.0);
}

void TestDataDialog::emptyRowLeftEmptyCreatesNothing() {
    DataDialog d;
    d.planes = planes(7);
    d.showData();
    QTableWidget* t = table(d);
    QCOMPARE(t->rowCount(), 8);
    // An editor opened in the empty row and closed without input.
    t->setItem(7, 1, new QTableWidgetItem(QString()));
    QCOMPARE(d.planes.size(), 7);

    // A kind chosen first is kept; the eighth plane ends the table.
    t->setItem(7, 3, new QTableWidgetItem(QStringLiteral("断层")));
    QCOMPARE(d.planes.size(), 8);
    QCOMPARE(d.planes[7].type, int(Fault));
    QCOMPARE(d.planes[7].direction, -1.0);
    QCOMPARE(cell(d, 7, 3), QStringLiteral("断层"));
    QCOMPARE(t->rowCount(), 8);
}

void TestDataDialog::upAndDeleteButtons() {
    DataDialog d;
    d.planes = planes(3);
    d.planes[1].direction = 123.44; // more than one decimal, e.g. from a file
    d.showData();
    QTableWidget* t = table(d);

    clickRowButton(d, 0, "up");
    QCOMPARE(d.planes.size(), 3);
    QCOMPARE(d.planes[0].direction, 10.0);
    QCOMPARE(d.planes[1].id, 2);
    QCOMPARE(cell(d, 1, 1), QStringLiteral("123.4"));
    QCOMPARE(t->rowCount(), 4);
    // The refill writes the shown values back.
    QCOMPARE(d.planes[1].direction, double(123.4f));
    QVERIFY(!d.planes[0].calculated);

    clickRowButton(d, 2, "up");
    QCOMPARE(d.planes[1].direction, 90.0);
    QCOMPARE(d.planes[1].id, 3); // ids change only on OK
    QCOMPARE(cell(d, 1, 0), QStringLiteral("2"));
    QCOMPARE(cell(d, 1, 1), QStringLiteral("90"));

    clickRowButton(d, 0, "del");
    QCOMPARE(d.planes.size(), 2);
    QCOMPARE(t->rowCount(), 3);
    QCOMPARE(cell(d, 0, 1), QStringLiteral("90"));
}

void TestDataDialog::editingOneCellTouchesOnlyThatPlane() {
    DataDialog d;
    d.planes = planes(3);
    d.showData();
    table(d)->item(1, 2)->setText(QStringLiteral("33.3"));
    QVERIFY(d.planes[0].calculated);
    QVERIFY(!d.planes[1].calculated);
    QVERIFY(d.planes[2].calculated);
    QCOMPARE(d.planes[1].angle, double(33.3f));

    table(d)->item(2, 4)->setText(QStringLiteral(" 泥化夹层 "));
    QCOMPARE(d.planes[2].notes, QStringLiteral("泥化夹层"));
    table(d)->item(0, 3)->setText(QStringLiteral("层理"));
    QCOMPARE(d.planes[0].type, int(Bedding));
    table(d)->item(0, 3)->setText(QStringLiteral("其它"));
    QCOMPARE(d.planes[0].type, int(Joint));
}

void TestDataDialog::acceptanceRules() {
    QWidget parent;
    parent.setGeometry(100, 100, 1200, 900);
    DataDialog d(&parent);
    d.planes = planes(3);
    d.planes[0].id = 7;
    d.slope.calculated = true;
    d.showData();
    QCOMPARE(edit(d, "editSlopeAngle")->text(), QStringLiteral("45"));
    QCOMPARE(edit(d, "editIncludeAnglePlanar")->text(), QStringLiteral("30"));
    QVERIFY(d.slope.calculated == false || edit(d, "editSlopeDirection")->text() == QStringLiteral("0"));

    d.slope.calculated = true;
    edit(d, "editProjectName")->clear();
    edit(d, "editSlopeDirection")->setText(QStringLiteral("120.5"));
    QVERIFY(!d.slope.calculated);
    edit(d, "editIncludeAnglePlanar")->setText(QStringLiteral("0.5"));
    edit(d, "editFrictionPlanar")->clear();
    d.findChild<QCheckBox*>(QStringLiteral("checkTopple"))->setChecked(true);
    d.show();
    d.resize(800, 600);
    d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();

    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(d.projectName, QStringLiteral("项目名称"));
    QCOMPARE(d.slope.direction, 120.5);
    QCOMPARE(d.includedAngle, 1.0);
    QCOMPARE(d.frictionAngle, 0.0);
    QVERIFY(d.topple);
    QCOMPARE(d.planes[0].id, 1);
    QCOMPARE(d.planes[2].id, 3);
    const QRect saved = QSettings().value(QStringLiteral("datadialog")).toRect();
    QCOMPARE(saved.size(), QSize(800, 600));

    // 建议值 restores the suggested criteria only.
    DataDialog e;
    e.showData();
    edit(e, "editIncludeAnglePlanar")->setText(QStringLiteral("45"));
    edit(e, "editFrictionPlanar")->setText(QStringLiteral("12"));
    edit(e, "editSlopeAngle")->setText(QStringLiteral("70"));
    e.findChild<QPushButton*>(QStringLiteral("pushDefault"))->click();
    QCOMPARE(edit(e, "editIncludeAnglePlanar")->text(), QStringLiteral("30"));
    QCOMPARE(edit(e, "editFrictionPlanar")->text(), QStringLiteral("27"));
    QCOMPARE(edit(e, "editSlopeAngle")->text(), QStringLiteral("70"));
}

void TestDataDialog::keysNeverCloseTheDialog() {
    DataDialog d;
    d.showData();
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.activateWindow();
    QLineEdit* chain[] = {edit(d, "editProjectName"), edit(d, "editSlopeDirection"),
                          edit(d, "editSlopeAngle"), edit(d, "editIncludeAnglePlanar"),
                          edit(d, "editFrictionPlanar")};
    chain[0]->setFocus();
    for (int i = 1; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), i % 2 ? Qt::Key_Return : Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), chain[i]);
        QCOMPARE(chain[i]->selectedText(), chain[i]->text());
    }
    QTest::keyClick(chain[4], Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), chain[4]);
    QVERIFY(d.isVisible());
    table(d)->setFocus();
    QTest::keyClick(table(d), Qt::Key_Return);
    QTest::keyClick(chain[2], Qt::Key_Escape);
    QVERIFY(d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Rejected));
}

void TestDataDialog::tableReturnMovesBetweenAttitudeCells() {
    DataDialog d;
    d.planes = planes(2);
    d.showData();
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QTableWidget* t = table(d);
    t->setFocus();
    t->setCurrentCell(0, 1);
    QTest::keyClick(t, Qt::Key_Return);
    QCOMPARE(t->currentRow(), 0);
    QCOMPARE(t->currentColumn(), 2);
    QTest::keyClick(t, Qt::Key_Enter);
    QCOMPARE(t->currentRow(), 1);
    QCOMPARE(t->currentColumn(), 1);
    t->setCurrentCell(1, 4);
    QTest::keyClick(t, Qt::Key_Return);
    QCOMPARE(t->currentColumn(), 4);
    QVERIFY(d.isVisible());
}

void TestDataDialog::savedSizeIsRestoredAroundParent() {
    QSettings().setValue(QStringLiteral("datadialog"), QRect(5, 5, 900, 640));
    QWidget parent;
    parent.setGeometry(200, 100, 1400, 1000);
    DataDialog d(&parent);
    QCOMPARE(d.size(), QSize(900, 640));
    QCOMPARE(d.geometry().center(), parent.geometry().center());

    DataDialog orphan;
    QCOMPARE(orphan.size(), QSize(754, 555));
    QCOMPARE(orphan.windowTitle(), QStringLiteral("基础数据"));
}

QTEST_MAIN(TestDataDialog)
#include "test_datadialog.moc"
