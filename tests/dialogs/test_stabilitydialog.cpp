#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "dialogs/resulttextdialog.h"
#include "dialogs/stabilitydialog.h"
#include "dialogtesting.h"
#include "model/fonts.h"
#include "model/stabilityfactors.h"
#include "platform/messagebox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

using namespace DialogTesting;

// The 稳定性计算参数 dialog, its command, the overview group 稳定系数 and the
// factor sentence of the 复制结果 dialog.
class TestStabilityDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void showsTheProjectsInputs();
    void fieldsStayInRange();
    void seismicChoice();
    void acceptedValues();
    void commandCopiesBackAndOverviewShowsFactors();
    void factorSentenceIsOptIn();
};

namespace {
template <typename T> T* child(QWidget* w, const char* name) {
    T* found = w->findChild<T*>(QLatin1String(name));
    if (!found)
        qWarning("no %s", name);
    return found;
}

QPushButton* okButton(QWidget* dialog) {
    return child<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok);
}

// The road-cut example, analysed: it has unstable planes and wedges.
void loadExample(DataCenter& dc) {
    QFile file(QStringLiteral(KARVEN_SOURCE_DIR "/examples/road-cut.yty"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(dc.readProject(&file));
    dc.updateSlopeGeometry();
    dc.updatePlanesGeometry();
}
} // namespace

void TestStabilityDialog::initTestCase() {
    QCoreApplication::setOrganizationName(QStringLiteral("Quillmere"));
    QCoreApplication::setApplicationName(QStringLiteral("Karven"));
    installFontSubstitutions();
    MessageBox::setHook([](const MessageBox::Shown&) { return int(MessageBox::Discard); });
    QSettings().clear();
}

void TestStabilityDialog::showsTheProjectsInputs() {
    DataCenter dc;
    loadExample(dc);
    dc.stability.height = 42.5;
    dc.stability.crackCritical = false;
    dc.stability.crackDistance = 3;
    dc.stability.wedgeSaturated = true;
    dc.stability.safetyClass = 1;
    dc.stability.permanent = false;
    dc.stability.planes.insert(2, PlaneStrength{48, 31.5});
    StabilityDialog dialog;
    dialog.showData(dc);
    QVERIFY(!child<QCheckBox>(&dialog, "checkEnabled")->isChecked());
    QVERIFY(!child<QWidget>(&dialog, "widgetInputs")->isEnabled());
    QCOMPARE(child<QLineEdit>(&dialog, "editHeight")->text(), QStringLiteral("42.5"));
    QCOMPARE(child<QLineEdit>(&dialog, "editWaterWeight")->text(), QStringLiteral("9.81"));
    QVERIFY(child<QRadioButton>(&dialog, "radioCrackGiven")->isChecked());
    QVERIFY(child<QRadioButton>(&dialog, "radioWedgeSaturated")->isChecked());
    QVERIFY(child<QRadioButton>(&dialog, "radioTemporary")->isChecked());
    QCOMPARE(child<QComboBox>(&dialog, "comboSafetyClass")->currentText(), QStringLiteral("一级"));
    // Temporary slope, class 一级: Fst 1.25 (GB 50330-2013 Table 5.3.2).
    QCOMPARE(child<QLabel>(&dialog, "labelRequired")->text(), QStringLiteral("1.25"));

    // One row per structural plane; a plane without its own entry shows
    // c = 0 and the planar friction angle.
    auto* table = child<QTableWidget>(&dialog, "tableStrength");
    QCOMPARE(table->rowCount(), dc.planes.size());
    QCOMPARE(table->item(1, 2)->text(), QStringLiteral("48"));
    QCOMPARE(table->item(1, 3)->text(), QStringLiteral("31.5"));
    QCOMPARE(table->item(0, 2)->text(), QStringLiteral("0"));
    QCOMPARE(table->item(0, 3)->text(), QString::number(dc.FrictionAnglePlanar));
    QVERIFY(!(table->item(0, 1)->flags() & Qt::ItemIsEditable));
}

void TestStabilityDialog::fieldsStayInRange() {
    DataCenter dc;
    loadExample(dc); // slope dip 65°
    StabilityDialog dialog;
    dialog.showData(dc);
    dialog.show();
    child<QCheckBox>(&dialog, "checkEnabled")->setChecked(true);
    QVERIFY(okButton(&dialog)->isEnabled());

    struct Typing {
        const char* edit;
        const char* keys;
        const char* shown;
    };
    // Keystrokes that would leave the range are refused.
    const Typing refused[] = {{"editHeight", "-5", "5"},          {"editUpperDip", "65", "6"},
                              {"editUpperDip", "64.99", "64.99"}, {"editCrackWater", "1.5", "1."},
                              {"editUnitWeight", "2e5", "25"},    {"editWaterWeight", "abc", ""}};
    for (const Typing& t : refused) {
        auto* edit = child<QLineEdit>(&dialog, t.edit);
        edit->setEnabled(true);
        QCOMPARE(typeInto(edit, QLatin1String(t.keys)), QLatin1String(t.shown));
    }
    // H = 0 is not acceptable yet (H > 0): OK waits and says why.
    child<QLineEdit>(&dialog, "editWaterWeight")->setText(QStringLiteral("9.81"));
    auto* height = child<QLineEdit>(&dialog, "editHeight");
    QCOMPARE(typeInto(height, QStringLiteral("0")), QStringLiteral("0"));
    QVERIFY(!okButton(&dialog)->isEnabled());
    QVERIFY(!child<QLabel>(&dialog, "labelHint")->text().isEmpty());
    typeInto(height, QStringLiteral("0.5"));
    QVERIFY(okButton(&dialog)->isEnabled());
    // The rock must be heavier than water.
    child<QLineEdit>(&dialog, "editUnitWeight")->setText(QStringLiteral("9.5"));
    QVERIFY(!okButton(&dialog)->isEnabled());
    QCOMPARE(child<QLabel>(&dialog, "labelHint")->text(), QStringLiteral("岩体重度γ须大于水的重度γw"));
    // Switched off, nothing is calculated: OK is free again.
    child<QCheckBox>(&dialog, "checkEnabled")->setChecked(false);
    QVERIFY(okButton(&dialog)->isEnabled());

    // Friction 90 cannot be typed into the table; 89.9 can.
    auto* table = child<QTableWidget>(&dialog, "tableStrength");
    child<QCheckBox>(&dialog, "checkEnabled")->setChecked(true);
    auto* editor = openEditor<QLineEdit>(table, table->model()->index(0, 3));
    QVERIFY(editor);
    QCOMPARE(typeInto(editor, QStringLiteral("90")), QStringLiteral("9"));
    typeInto(editor, QStringLiteral("89.9"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits queued
    QCOMPARE(table->item(0, 3)->text(), QStringLiteral("89.9"));
    editor = openEditor<QLineEdit>(table, table->model()->index(0, 2));
    QCOMPARE(typeInto(editor, QStringLiteral("-1")), QStringLiteral("1"));
}

void TestStabilityDialog::seismicChoice() {
    DataCenter dc;
    loadExample(dc);
    // GB 50330-2013 Table 5.2.6 in list order after "none", then a typed value.
    const double table526[] = {0, 0.025, 0.038, 0.050, 0.075, 0.100};
    for (int i = 0; i < 6; ++i) {
        dc.stability.seismic = table526[i];
        StabilityDialog dialog;
        dialog.showData(dc);
        auto* combo = child<QComboBox>(&dialog, "comboSeismic");
        QCOMPARE(combo->count(), 7);
        QCOMPARE(combo->currentIndex(), i);
        QVERIFY(!child<QLineEdit>(&dialog, "editSeismic")->isEnabled());
    }
    dc.stability.seismic = 0.12;
    StabilityDialog dialog;
    dialog.showData(dc);
    auto* combo = child<QComboBox>(&dialog, "comboSeismic");
    QCOMPARE(combo->currentIndex(), 6);
    child<QCheckBox>(&dialog, "checkEnabled")->setChecked(true);
    QVERIFY(child<QLineEdit>(&dialog, "editSeismic")->isEnabled());
    QCOMPARE(typeInto(child<QLineEdit>(&dialog, "editSeismic"), QStringLiteral("0.6")), QStringLiteral("0."));
    combo->setCurrentIndex(3);
    QVERIFY(combo->currentText().startsWith(QStringLiteral("8度（0.20g）")));
    QCOMPARE(child<QLineEdit>(&dialog, "editSeismic")->text(), QStringLiteral("0.05"));
    // Seismic load case: permanent class 二级 needs 1.10.
    QCOMPARE(child<QLabel>(&dialog, "labelRequired")->text(), QStringLiteral("1.10"));
    dialog.on_buttonBox_accepted();
    QCOMPARE(dialog.params.seismic, 0.05);
}

void TestStabilityDialog::acceptedValues() {
    DataCenter dc;
    loadExample(dc);
    {
        // Opened and confirmed without switching on: nothing to write.
        StabilityDialog dialog;
        dialog.showData(dc);
        dialog.on_buttonBox_accepted();
        QVERIFY(!dialog.params.present);
        QVERIFY(!dialog.params.enabled);
    }
    StabilityDialog dialog;
    dialog.showData(dc);
    dialog.show();
    child<QCheckBox>(&dialog, "checkEnabled")->setChecked(true);
    child<QLineEdit>(&dialog, "editHeight")->setText(QStringLiteral("18"));
    child<QLineEdit>(&dialog, "editUpperDip")->setText(QStringLiteral("10"));
    child<QLineEdit>(&dialog, "editUnitWeight")->setText(QStringLiteral("26"));
    child<QRadioButton>(&dialog, "radioCrackGiven")->setChecked(true);
    child<QLineEdit>(&dialog, "editCrackDistance")->setText(QStringLiteral("4.5"));
    child<QLineEdit>(&dialog, "editCrackWater")->setText(QStringLiteral("0.5"));
    child<QRadioButton>(&dialog, "radioWedgeSaturated")->setChecked(true);
    child<QComboBox>(&dialog, "comboSafetyClass")->setCurrentIndex(2);
    child<QRadioButton>(&dialog, "radioTemporary")->setChecked(true);
    auto* table = child<QTableWidget>(&dialog, "tableStrength");
    table->item(0, 2)->setText(QStringLiteral("25"));
    table->item(0, 3)->setText(QStringLiteral("33"));
    okButton(&dialog)->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const StabilityParams& p = dialog.params;
    QVERIFY(p.present && p.enabled);
    QCOMPARE(p.height, 18.0);
    QCOMPARE(p.upperDip, 10.0);
    QCOMPARE(p.unitWeight, 26.0);
    QCOMPARE(p.waterWeight, 9.81);
    QVERIFY(!p.crackCritical);
    QCOMPARE(p.crackDistance, 4.5);
    QCOMPARE(p.crackWater, 0.5);
    QVERIFY(p.wedgeSaturated);
    QCOMPARE(p.safetyClass, 3);
    QVERIFY(!p.permanent);
    QCOMPARE(p.planes.size(), dc.planes.size());
    QCOMPARE(p.planes.value(dc.planes.at(0).id).cohesion, 25.0);
    QCOMPARE(p.planes.value(dc.planes.at(0).id).friction, 33.0);
    QCOMPARE(p.planes.value(dc.planes.at(1).id).friction, dc.FrictionAnglePlanar);
    QVERIFY(isValidStabilityParams(p, dc.slope.angle));
}

void TestStabilityDialog::commandCopiesBackAndOverviewShowsFactors() {
    MainWindow mw;
    mw.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mw));
    mw.on_actNew_triggered();
    auto* area = mw.findChild<QMdiArea*>(QStringLiteral("mdiArea"));
    for (QMdiSubWindow* sub : area->subWindowList())
        if (qobject_cast<MdiChild*>(sub->widget()))
            area->setActiveSubWindow(sub);
    MdiChild* doc = mw.activeMdiChild();
    QVERIFY(doc);
    DataCenter& dc = doc->project();
    loadExample(dc);
    mw.on_actAnalyse_triggered(true);
    doc->setWindowModified(false);
    auto* tree = mw.findChild<QTreeWidget*>(QStringLiteral("treeWidget"));
    auto groups = [tree] {
        QStringList names;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            names << tree->topLevelItem(i)->text(0);
        return names;
    };
    const QStringList specified = groups();
    QVERIFY(!specified.contains(QStringLiteral("稳定系数")));

    // Cancel changes nothing.
    whenModalShown(&mw, [](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    mw.on_actStability_triggered();
    QVERIFY(!dc.stability.present);
    QVERIFY(!doc->isWindowModified());

    whenModalShown(&mw, [](QWidget* modal) {
        QVERIFY(qobject_cast<StabilityDialog*>(modal));
        child<QCheckBox>(modal, "checkEnabled")->setChecked(true);
        child<QLineEdit>(modal, "editHeight")->setText(QStringLiteral("20"));
        okButton(modal)->click();
    });
    mw.on_actStability_triggered();
    QVERIFY(dc.stability.present && dc.stability.enabled);
    QCOMPARE(dc.stability.height, 20.0);
    QVERIFY(doc->isWindowModified());

    // The group follows the specified ones, one row per calculated body.
    QCOMPARE(groups(), specified + QStringList{QStringLiteral("稳定系数")});
    QTreeWidgetItem* group = tree->topLevelItem(tree->topLevelItemCount() - 1);
    const StabilityFactors factors = computeStabilityFactors(dc);
    QCOMPARE(group->text(1), QStringLiteral("Fst=1.30"));
    QCOMPARE(group->childCount(), factors.planes.size() + factors.wedges.size());
    QVERIFY(!factors.planes.isEmpty() && !factors.wedges.isEmpty());
    const QRegularExpression planeRow(QStringLiteral("^Fs=\\d+\\.\\d\\d（(不稳定|欠稳定|基本稳定|稳定)）$"));
    const QRegularExpression wedgeRow(QStringLiteral(
        "^Fs=\\d+\\.\\d\\d（(不稳定|欠稳定|基本稳定|稳定)，(双面滑动|沿结构面\\d单面滑动|脱离两滑面)）$"));
    for (int i = 0; i < group->childCount(); ++i) {
        QTreeWidgetItem* row = group->child(i);
        const bool isPlane = i < factors.planes.size();
        if (isPlane) {
            const PlanarFactor& f = factors.planes.at(i);
            QCOMPARE(row->text(0), QStringLiteral("%1：").arg(f.id));
            if (f.hasBlock) {
                QVERIFY2(planeRow.match(row->text(1)).hasMatch(), qPrintable(row->text(1)));
                QVERIFY(row->text(1).startsWith(QStringLiteral("Fs=%1").arg(f.fs, 0, 'f', 2)));
            }
        } else {
            const WedgeFactor& f = factors.wedges.at(i - factors.planes.size());
            QCOMPARE(row->text(0), QStringLiteral("%1×%2：").arg(f.planeA).arg(f.planeB));
            if (f.hasBlock)
                QVERIFY2(wedgeRow.match(row->text(1)).hasMatch(), qPrintable(row->text(1)));
        }
        // A row leads to its plane or wedge like the rows above it.
        mw.on_treeWidget_itemClicked(row, 1);
        const QList<PlaneRecord>& records = isPlane ? dc.planes : dc.wedges;
        const int code = row->data(1, Qt::UserRole + 1).toInt();
        QCOMPARE(code / 1000, isPlane ? 2 : 3);
        QVERIFY(records.at(code % 1000).highlighted);
        dc.planes[code % 1000 < dc.planes.size() ? code % 1000 : 0].highlighted = false;
    }

    // Analysis off: the group goes, as the verdicts do.
    mw.on_actAnalyse_triggered(false);
    QVERIFY(!groups().contains(QStringLiteral("稳定系数")));
    doc->setWindowModified(false);
    mw.close();
}

void TestStabilityDialog::factorSentenceIsOptIn() {
    const QString texts[3] = {QStringLiteral("A；"), QString(), QString()};
    const QString sentence = QStringLiteral("经极限平衡计算，结构面1稳定系数Fs=0.61（不稳定）。");
    for (bool check : {false, true}) {
        ResultTextDialog dialog;
        dialog.showResult(texts, true);
        dialog.showFactors(sentence);
        auto* list = child<QListWidget>(&dialog, "listWidget");
        // After the sliding part, before the toppling sentence.
        QListWidgetItem* item = list->item(4);
        QCOMPARE(item->text(), sentence);
        QCOMPARE(item->checkState(), Qt::Unchecked);
        if (check)
            item->setCheckState(Qt::Checked);
        dialog.on_buttonBox_accepted();
        const QString paragraph = dialog.result.section(QLatin1Char('\n'), 0, 0);
        QCOMPARE(paragraph.endsWith(sentence), check);
        QCOMPARE(dialog.result.section(QLatin1Char('\n'), 1),
                 QStringLiteral("    边坡岩体中不存在易倾倒破坏结构面。"));
    }
}

QTEST_MAIN(TestStabilityDialog)
#include "test_stabilitydialog.moc"
