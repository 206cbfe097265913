// The measurement table, the import dialog and the rose window as a user
// drives them.
#include "dialogs/importdialog.h"
#include "dialogs/measurementdialog.h"
#include "dialogs/measurementmodel.h"
#include "dialogs/rosedialog.h"
#include "dialogtesting.h"
#include "platform/messagebox.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

namespace {
Measurement measured(double direction, double angle) {
    Measurement m;
    m.direction = direction;
    m.angle = angle;
    return m;
}

QStringList shownMessages;
} // namespace

class TestFieldDialogs : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QSettings().clear();
        shownMessages.clear();
        MessageBox::setHook([](const MessageBox::Shown& shown) {
            shownMessages << shown.text;
            return 0;
        });
    }

    // Cells take what a measurement can hold and refuse the rest, saying why.
    void tableEditsAreChecked() {
        MeasurementModel model;
        model.setMeasurements({measured(135, 65), measured(20, 10)});
        QSignalSpy refused(&model, &MeasurementModel::editRefused);
        QVERIFY(model.setData(model.index(0, MeasurementModel::Angle), QStringLiteral("70")));
        QCOMPARE(model.measurements()[0].angle, 70.0);
        QVERIFY(!model.setData(model.index(0, MeasurementModel::Angle), QStringLiteral("95")));
        QCOMPARE(model.measurements()[0].angle, 70.0);
        QVERIFY(!model.setData(model.index(1, MeasurementModel::Direction), QStringLiteral("abc")));
        QVERIFY(model.lastProblem().contains(QStringLiteral("abc")));
        QCOMPARE(refused.count(), 2);
        QVERIFY(model.setData(model.index(1, MeasurementModel::Direction), QStringLiteral("360")));
        QCOMPARE(model.measurements()[1].direction, 0.0);
        QVERIFY(model.setData(model.index(1, MeasurementModel::Kind), QStringLiteral("断层")));
        QCOMPARE(model.measurements()[1].type, 4);
        QVERIFY(!model.setData(model.index(1, MeasurementModel::Weight), QStringLiteral("0")));
        // Without sets in the project the 组 cell takes no name.
        QVERIFY(!model.setData(model.index(0, MeasurementModel::Set), QStringLiteral("J1")));
        QCOMPARE(model.measurements()[0].set, QString());
    }

    // Sorting goes by value (10 before 9.5 would be text order), deleting
    // the selected rows removes those rows of the data, not of the view.
    void sortAndDeleteInTheDialog() {
        MeasurementDialog dialog;
        FieldData field;
        field.measurements << measured(100, 10) << measured(9.5, 20) << measured(250, 30) << measured(10, 40);
        dialog.setField(field);
        auto* view = dialog.findChild<QTableView*>(QStringLiteral("tableView"));
        view->sortByColumn(MeasurementModel::Direction, Qt::AscendingOrder);
        QCOMPARE(view->model()->index(0, 0).data().toString(), QStringLiteral("9.5"));
        QCOMPARE(view->model()->index(1, 0).data().toString(), QStringLiteral("10"));
        view->selectRow(0); // 9.5/20
        dialog.findChild<QPushButton*>(QStringLiteral("pushDelete"))->click();
        const FieldData out = dialog.field();
        QCOMPARE(out.measurements.size(), 3);
        for (const Measurement& m : out.measurements)
            QVERIFY(m.direction != 9.5);
        QVERIFY(
            dialog.findChild<QLabel*>(QStringLiteral("labelCount"))->text().startsWith(QStringLiteral("3")));
    }

    // An import adds rows and can be undone once; settings come back as set.
    void importUndoAndSettings() {
        MeasurementDialog dialog;
        FieldData field;
        field.measurements << measured(1, 1);
        field.density = DensityMethod::Kamb;
        field.levels = {2, 4};
        dialog.setField(field);
        auto* undo = dialog.findChild<QPushButton*>(QStringLiteral("pushUndoImport"));
        QVERIFY(!undo->isEnabled());
        dialog.importRows({measured(2, 2), measured(3, 3)});
        QCOMPARE(dialog.field().measurements.size(), 3);
        QVERIFY(undo->isEnabled());
        undo->click();
        QCOMPARE(dialog.field().measurements.size(), 1);
        QVERIFY(!undo->isEnabled());
        QCOMPARE(dialog.field().density, DensityMethod::Kamb);
        QCOMPARE(dialog.field().levels, (QVector<double>{2, 4}));

        // Levels that do not rise are refused on OK, with a message.
        dialog.findChild<QLineEdit*>(QStringLiteral("editLevels"))->setText(QStringLiteral("4 2"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(shownMessages.size(), 1);
    }

    // Rows pasted from a spreadsheet: the good ones import, every bad one is
    // listed with its line, text and reason; OK names the count.
    void pastedRowsWithBadOnes() {
        ImportDialog dialog;
        dialog.openText(QStringLiteral("倾向\t倾角\n135\t65\n200\t95\nabc\t30\n\n310\t12\n"),
                        QStringLiteral("剪贴板"));
        QCOMPARE(dialog.accepted().size(), 2);
        QCOMPARE(dialog.accepted()[1].direction, 310.0);
        QCOMPARE(dialog.rejected().size(), 2);
        QCOMPARE(dialog.rejected()[0].line, 3);
        QVERIFY(dialog.rejected()[0].reason.contains(QStringLiteral("95")));
        QCOMPARE(dialog.rejected()[1].line, 4);
        QVERIFY(dialog.rejected()[1].text.contains(QStringLiteral("abc")));
        auto* list = dialog.findChild<QTableWidget*>(QStringLiteral("tableRejected"));
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->item(0, 0)->text(), QStringLiteral("3"));
        auto* box = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        QCOMPARE(box->button(QDialogButtonBox::Ok)->text(), QStringLiteral("导入2行"));
    }

    // The mapping a user chose comes back for the next import of a table
    // without a header.
    void mappingIsRemembered() {
        {
            ImportDialog dialog;
            dialog.openText(QStringLiteral("P1\t65\t135\nP2\t30\t20\n"), QStringLiteral("剪贴板"));
            dialog.findChild<QCheckBox*>(QStringLiteral("checkHeader"))->setChecked(false);
            dialog.mappingBox(QStringLiteral("direction"))->setCurrentIndex(3);
            dialog.mappingBox(QStringLiteral("angle"))->setCurrentIndex(2);
            dialog.mappingBox(QStringLiteral("station"))->setCurrentIndex(1);
            QCOMPARE(dialog.accepted().size(), 2);
            QCOMPARE(dialog.accepted()[0].direction, 135.0);
            QCOMPARE(dialog.accepted()[0].station, QStringLiteral("P1"));
            dialog.accept();
        }
        ImportDialog again;
        again.openText(QStringLiteral("P7\t45\t300\n"), QStringLiteral("剪贴板"));
        QCOMPARE(again.accepted().size(), 1);
        QCOMPARE(again.accepted()[0].direction, 300.0);
        QCOMPARE(again.accepted()[0].angle, 45.0);
        QCOMPARE(again.accepted()[0].station, QStringLiteral("P7"));
    }

    // Field-book and strike columns; a GBK file reads like a UTF-8 one.
    void formsAndEncodings() {
        ImportDialog book;
        book.openText(QStringLiteral("产状\n135∠65\n135°∠65°\n135/65\n"), QStringLiteral("剪贴板"));
        book.findChild<QComboBox*>(QStringLiteral("comboForm"))->setCurrentIndex(1);
        book.mappingBox(QStringLiteral("combined"))->setCurrentIndex(1);
        QCOMPARE(book.accepted().size(), 3);
        for (const Measurement& m : book.accepted())
            QVERIFY(m.direction == 135 && m.angle == 65);

        ImportDialog strike;
        strike.openText(QStringLiteral("45\t30\n300\t80\n"), QStringLiteral("剪贴板"));
        strike.findChild<QComboBox*>(QStringLiteral("comboForm"))->setCurrentIndex(2);
        QCOMPARE(strike.accepted().size(), 2);
        QCOMPARE(strike.accepted()[0].direction, 135.0);
        QCOMPARE(strike.accepted()[1].direction, 30.0);

        QTemporaryDir dir;
        const QString text = QStringLiteral("倾向,倾角,备注\n135,65,节理面粗糙\n");
        for (const char* codec : {"UTF-8", "GBK"}) {
            const QString path = dir.filePath(QStringLiteral("%1.csv").arg(QLatin1String(codec)));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QTextCodec::codecForName(codec)->fromUnicode(text));
            file.close();
            ImportDialog dialog;
            QVERIFY(dialog.openFile(path));
            dialog.mappingBox(QStringLiteral("notes"))->setCurrentIndex(3);
            QCOMPARE(dialog.accepted().size(), 1);
            QCOMPARE(dialog.accepted()[0].notes, QStringLiteral("节理面粗糙"));
        }
    }

    // A file that cannot be read says so and leaves the dialog as it was.
    void unreadableFileChangesNothing() {
        ImportDialog dialog;
        dialog.openText(QStringLiteral("10\t20\n"), QStringLiteral("剪贴板"));
        QVERIFY(!dialog.openFile(QStringLiteral("/nonexistent/survey.csv")));
        QCOMPARE(shownMessages.size(), 1);
        QVERIFY(shownMessages.first().contains(QStringLiteral("survey.csv")));
        QCOMPARE(dialog.accepted().size(), 1);
    }

    // The rose window copies what it shows.
    void roseCopiesItsPicture() {
        FieldData field;
        field.measurements << measured(120, 40) << measured(125, 45) << measured(300, 70);
        RoseDialog dialog(field);
        dialog.resize(500, 560);
        dialog.findChild<QPushButton*>(QStringLiteral("pushCopy"))->click();
        const QImage copied = QApplication::clipboard()->image();
        QVERIFY(!copied.isNull());
        QCOMPARE(copied.size(), dialog.picture().size());
        dialog.findChild<QComboBox*>(QStringLiteral("comboKind"))->setCurrentIndex(1);
        QVERIFY(dialog.options().quantity == RoseQuantity::DipDirection);
        QVERIFY(!QSettings().value(QStringLiteral("rosestrike")).toBool());
    }
};

QTEST_MAIN(TestFieldDialogs)
#include "test_fielddialogs.moc"
