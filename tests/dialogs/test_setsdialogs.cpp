// 结构面分组, 自动分组 and the 组 column of the measurement table as a user
// drives them.
#include "dialogs/autosetsdialog.h"
#include "dialogs/measurementdialog.h"
#include "dialogs/measurementmodel.h"
#include "dialogs/setfilterproxy.h"
#include "dialogs/setsdialog.h"
#include "platform/messagebox.h"
#include "render/acicolor.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

namespace {
Measurement measured(double direction, double angle, const QString& set = QString()) {
    Measurement m;
    m.direction = direction;
    m.angle = angle;
    m.set = set;
    return m;
}

JointSet jointSet(const QString& name, double direction, double angle, double half, int color = 1) {
    JointSet s;
    s.name = name;
    s.color = color;
    s.centerDirection = direction;
    s.centerAngle = angle;
    s.halfAngle = half;
    return s;
}

// Two tight clusters (about 135∠60 and 250∠30) and one stray plane.
FieldData twoClusters() {
    FieldData field;
    for (int i = 0; i < 12; ++i)
        field.measurements << measured(135 + (i % 3 - 1) * 2, 60 + (i % 4 - 1.5), QStringLiteral("J1"));
    for (int i = 0; i < 8; ++i)
        field.measurements << measured(250 + (i % 2) * 3, 30 + (i % 3 - 1) * 2, QStringLiteral("J2"));
    field.measurements << measured(10, 85);
    field.sets << jointSet(QStringLiteral("J1"), 135, 60, 15, 1)
               << jointSet(QStringLiteral("J2"), 250, 30, 15, 5);
    return field;
}

QTableWidget* table(SetsDialog& d) {
    return d.findChild<QTableWidget*>(QStringLiteral("tableSets"));
}
QPushButton* okButton(QDialog& d) {
    return d.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok);
}
QString hint(SetsDialog& d) {
    return d.findChild<QLabel*>(QStringLiteral("labelHint"))->text();
}
void edit(SetsDialog& d, int row, int column, const QString& text) {
    table(d)->item(row, column)->setText(text);
}
} // namespace

class TestSetsDialogs : public QObject {
    Q_OBJECT
private slots:
    void init() {
        MessageBox::setHook([](const MessageBox::Shown&) { return 0; });
    }

    // The statistics follow the windows as they are edited; OK is refused
    // with the reason while a set is invalid, and taken again once mended.
    void setsDialogValidatesAndRecomputes() {
        SetsDialog dialog;
        dialog.setField(twoClusters());
        QTableWidget* t = table(dialog);
        QCOMPARE(t->rowCount(), 2);
        QCOMPARE(t->item(0, SetsDialog::Count)->text(), QStringLiteral("12"));
        QCOMPARE(t->item(1, SetsDialog::Count)->text(), QStringLiteral("8"));
        QVERIFY(t->item(0, SetsDialog::MeanPlane)->text().startsWith(QStringLiteral("135")));
        QVERIFY(t->item(0, SetsDialog::Alpha95)->text().endsWith(QStringLiteral("°")));
        QVERIFY(!(t->item(0, SetsDialog::K)->flags() & Qt::ItemIsEditable));
        QVERIFY(okButton(dialog)->isEnabled());

        const struct {
            int column;
            QString text, reason;
        } bad[] = {{SetsDialog::Name, QStringLiteral("J2"), QStringLiteral("组名重复")},
                   {SetsDialog::Name, QStringLiteral(" "), QStringLiteral("组名为空")},
                   {SetsDialog::HalfAngle, QStringLiteral("95"), QStringLiteral("95")},
                   {SetsDialog::HalfAngle, QStringLiteral("0"), QStringLiteral("超出")},
                   {SetsDialog::CenterAngle, QStringLiteral("abc"), QStringLiteral("无法识别")},
                   {SetsDialog::CenterDirection, QStringLiteral("-5"), QStringLiteral("中心倾向")}};
        for (const auto& b : bad) {
            const QString before = t->item(0, b.column)->text();
            edit(dialog, 0, b.column, b.text);
            QVERIFY2(!okButton(dialog)->isEnabled(), qPrintable(b.text));
            QVERIFY2(hint(dialog).contains(b.reason), qPrintable(hint(dialog)));
            QCOMPARE(t->item(0, SetsDialog::Count)->text(), QStringLiteral("—"));
            // The other set still gets its statistics, unless it shares the name.
            QCOMPARE(t->item(1, SetsDialog::Count)->text(),
                     b.reason == QStringLiteral("组名重复") ? QStringLiteral("—") : QStringLiteral("8"));
            edit(dialog, 0, b.column, before);
            QVERIFY(okButton(dialog)->isEnabled());
            QVERIFY(hint(dialog).isEmpty());
        }

        // A window too narrow for the cluster holds fewer planes; 360 reads as 0.
        edit(dialog, 0, SetsDialog::HalfAngle, QStringLiteral("1"));
        QVERIFY(t->item(0, SetsDialog::Count)->text().toInt() < 12);
        edit(dialog, 1, SetsDialog::CenterDirection, QStringLiteral("360"));
        QVERIFY(okButton(dialog)->isEnabled());
        QCOMPARE(dialog.field().sets.at(1).centerDirection, 0.0);
    }

    // Colours and names alone keep every measurement's set (renamed with
    // it, so hand-made assignments survive); a moved, added or deleted
    // window assigns them to the windows again.
    void setsDialogKeepsOrReassigns() {
        FieldData field = twoClusters();
        field.measurements[0].set = QStringLiteral("J2"); // moved by hand
        // What a set holds beyond the table (its plane's link) rides along.
        field.sets[0].planeId = 4;
        field.sets[0].planeDirection = 135.2;
        field.sets[0].planeAngle = 59.8;
        field.sets[0].planeCount = 12;
        SetsDialog dialog;
        dialog.setField(field);
        edit(dialog, 0, SetsDialog::Name, QStringLiteral("北东组"));
        table(dialog)->model()->setData(table(dialog)->model()->index(1, SetsDialog::Color), 30,
                                        Qt::UserRole);
        auto* pairs = dialog.findChild<QComboBox*>(QStringLiteral("comboPairs"));
        pairs->setCurrentIndex(2);
        FieldData out = dialog.field();
        QCOMPARE(out.sets.size(), 2);
        QCOMPARE(out.sets.at(0).name, QStringLiteral("北东组"));
        QCOMPARE(out.sets.at(1).color, 30);
        QCOMPARE(out.wedgePairs, WedgePairs::SetsVsAll);
        QCOMPARE(out.measurements.at(0).set, QStringLiteral("J2"));
        QCOMPARE(out.measurements.at(1).set, QStringLiteral("北东组"));
        QCOMPARE(out.measurements.last().set, QString());
        QCOMPARE(out.sets.at(0).planeId, 4);
        QCOMPARE(out.sets.at(0).planeDirection, 135.2);
        QCOMPARE(out.sets.at(0).planeCount, 12);
        QVERIFY(!out.sets.at(1).hasPlane());

        // Moving a window hands every plane to the windows again.
        edit(dialog, 0, SetsDialog::HalfAngle, QStringLiteral("16"));
        out = dialog.field();
        QCOMPARE(out.measurements.at(0).set, QStringLiteral("北东组"));
        QCOMPARE(out.sets.at(0).planeAngle, 59.8);

        // A new row takes the first free name and its colour; deleting it
        // leaves the others.
        dialog.findChild<QPushButton*>(QStringLiteral("pushAdd"))->click();
        QCOMPARE(table(dialog)->rowCount(), 3);
        QCOMPARE(table(dialog)->item(2, SetsDialog::Name)->text(), QStringLiteral("J1"));
        QCOMPARE(table(dialog)->item(2, SetsDialog::Color)->data(Qt::UserRole).toInt(), defaultSetColor(0));
        out = dialog.field();
        QCOMPARE(out.sets.size(), 3);
        QCOMPARE(out.sets.at(2).name, QStringLiteral("J1"));
        QVERIFY(!out.sets.at(2).hasPlane());
        table(dialog)->selectRow(0);
        dialog.findChild<QPushButton*>(QStringLiteral("pushRemove"))->click();
        out = dialog.field();
        QCOMPARE(out.sets.size(), 2);
        QCOMPARE(out.sets.at(0).name, QStringLiteral("J2"));
        QCOMPARE(out.sets.at(1).planeId, 0);
        for (const Measurement& m : out.measurements)
            QVERIFY(m.set != QStringLiteral("北东组"));
        QVERIFY(okButton(dialog)->isEnabled());
    }

    // The filter shows all rows, the rows in no set (an unknown name is no
    // set) or one set's, whatever the sorting.
    void filterBySet() {
        MeasurementModel model;
        model.setMeasurements({measured(1, 10, QStringLiteral("J1")), measured(2, 20),
                               measured(3, 30, QStringLiteral("J2")), measured(4, 40, QStringLiteral("X")),
                               measured(5, 50, QStringLiteral("J1"))});
        model.setSetNames({QStringLiteral("J1"), QStringLiteral("J2")});
        SetFilterProxy proxy(MeasurementModel::Set);
        proxy.setSourceModel(&model);
        proxy.setSetNames({QStringLiteral("J1"), QStringLiteral("J2")});
        proxy.setSortRole(MeasurementModel::SortRole);
        proxy.sort(MeasurementModel::Angle, Qt::DescendingOrder);
        auto angles = [&proxy] {
            QStringList texts;
            for (int r = 0; r < proxy.rowCount(); ++r)
                texts << proxy.index(r, MeasurementModel::Angle).data().toString();
            return texts.join(QLatin1Char(' '));
        };
        QCOMPARE(angles(), QStringLiteral("50 40 30 20 10"));
        proxy.showUnassigned();
        QCOMPARE(angles(), QStringLiteral("40 20"));
        proxy.showSet(QStringLiteral("J1"));
        QCOMPARE(angles(), QStringLiteral("50 10"));
        // A row moved out of the set shown leaves the view.
        QVERIFY(model.setData(model.index(0, MeasurementModel::Set), QStringLiteral("J2")));
        QCOMPARE(angles(), QStringLiteral("50"));
        proxy.showAll();
        QCOMPARE(proxy.rowCount(), 5);
    }

    // The 组 cell takes a set of the project or nothing; the dialog's filter
    // lists 全部, 未分组 and the sets.
    void tableSetColumn() {
        FieldData field = twoClusters();
        MeasurementDialog dialog;
        dialog.setField(field);
        auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("comboSet"));
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QCOMPARE(items, (QStringList{QStringLiteral("全部"), QStringLiteral("未分组"), QStringLiteral("J1"),
                                     QStringLiteral("J2")}));
        auto* view = dialog.findChild<QTableView*>(QStringLiteral("tableView"));
        auto* count = dialog.findChild<QLabel*>(QStringLiteral("labelCount"));
        QCOMPARE(count->text(), QStringLiteral("21条测量数据"));
        combo->setCurrentIndex(1);
        QCOMPARE(view->model()->rowCount(), 1);
        QCOMPARE(count->text(), QStringLiteral("21条测量数据，显示1条"));
        QAbstractItemModel* model = view->model();
        QVERIFY(model->setData(model->index(0, MeasurementModel::Set), QStringLiteral("J2")));
        QCOMPARE(view->model()->rowCount(), 0);
        QCOMPARE(count->text(), QStringLiteral("21条测量数据，显示0条"));
        combo->setCurrentIndex(3);
        QCOMPARE(view->model()->rowCount(), 9);
        QVERIFY(!model->setData(model->index(0, MeasurementModel::Set), QStringLiteral("J9")));
        QVERIFY(model->setData(model->index(0, MeasurementModel::Set), QString()));
        QCOMPARE(view->model()->rowCount(), 8);
        QCOMPARE(dialog.field().measurements.count(), 21);
        int unassigned = 0;
        for (const Measurement& m : dialog.field().measurements)
            unassigned += m.set.isEmpty();
        QCOMPARE(unassigned, 1);
    }

    // 自动分组's settings start from the defaults and, once accepted, from
    // the last ones.
    void autoSetsSettings() {
        {
            AutoSetsDialog dialog;
            const AutoSetRequest defaults;
            QCOMPARE(dialog.request().count, defaults.count);
            QCOMPARE(dialog.request().threshold, defaults.threshold);
            QCOMPARE(dialog.request().minSeparation, defaults.minSeparation);
            QCOMPARE(dialog.request().coneAngle, defaults.coneAngle);
            QCOMPARE(dialog.findChild<QSpinBox*>(QStringLiteral("spinCount"))->text(),
                     QStringLiteral("由密度峰值决定"));
            dialog.findChild<QSpinBox*>(QStringLiteral("spinCount"))->setValue(3);
            dialog.findChild<QDoubleSpinBox*>(QStringLiteral("spinCone"))->setValue(18);
            dialog.accept();
        }
        AutoSetsDialog again;
        QCOMPARE(again.request().count, 3);
        QCOMPARE(again.request().coneAngle, 18.0);
    }

    // The ACI palette: the pure colours, the hue wheel in 15° steps and the
    // greys; 7 prints black.
    void aciPalette() {
        QCOMPARE(aciColor(1), QColor(255, 0, 0));
        QCOMPARE(aciColor(5), QColor(0, 0, 255));
        QCOMPARE(aciColor(7), QColor(0, 0, 0));
        QCOMPARE(aciColor(0), QColor(0, 0, 0));
        QCOMPARE(aciColor(256), QColor(0, 0, 0));
        for (int h = 0; h < 24; ++h) {
            const QColor c = aciColor(10 + 10 * h);
            QVERIFY(qAbs(c.hsvHue() - 15 * h) <= 1);
            QCOMPARE(c.value(), 255);
            QVERIFY(aciColor(12 + 10 * h).value() < c.value());
            QVERIFY(aciColor(11 + 10 * h).hsvSaturation() < c.hsvSaturation());
        }
        for (int i = 251; i <= 255; ++i) {
            QCOMPARE(aciColor(i).hsvSaturation(), 0);
            QVERIFY(aciColor(i).value() >= aciColor(i - 1).value());
        }
    }
};

QTEST_MAIN(TestSetsDialogs)
#include "test_setsdialogs.moc"
