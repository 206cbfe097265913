#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "dialogs/resulttextdialog.h"
#include "dialogs/stabilitydialog.h"
#include "dialogtesting.h"
#include "model/factors/stabilityfactors.h"
#include "model/fonts.h"
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

#include <cmath>

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
    // Every input goes through the dialog unchanged when OK is pressed.
    DataCenter dc;
    loadExample(dc);
    StabilityParams& p = dc.stability;
    p.present = true;
    p.height = 42.5;
    p.upperDip = 12.25;
    p.unitWeight = 26.4;
    p.crackCritical = false;
    p.crackDistance = 3;
    p.crackWater = 0.5;
    p.wedgeSaturated = true;
    p.safetyClass = 1;
    p.permanent = false;
    p.seismic = 0.12;
    for (const PlaneRecord& plane : dc.planes)
        p.planes.insert(plane.id, PlaneStrength{double(plane.id), 20.5 + plane.id});
    StabilityDialog dialog;
    dialog.showData(dc);
    QVERIFY(!child<QWidget>(&dialog, "widgetInputs")->isEnabled());
    QCOMPARE(child<QLineEdit>(&dialog, "editHeight")->text(), QStringLiteral("42.5"));
    // Temporary slope in the seismic case: GB 50330-2013 Table 5.3.2 has no
    // Fst for it, and none is invented.
    QCOMPARE(child<QLabel>(&dialog, "labelRequired")->text(), QStringLiteral("表中无值"));
    auto* table = child<QTableWidget>(&dialog, "tableStrength");
    QCOMPARE(table->rowCount(), dc.planes.size());
    QVERIFY(!(table->item(0, 1)->flags() & Qt::ItemIsEditable));
    dialog.on_buttonBox_accepted();
    const StabilityParams& q = dialog.params;
    QVERIFY(q.present && !q.enabled && !q.crackCritical && q.wedgeSaturated && !q.permanent);
    QVERIFY(q.height == 42.5 && q.upperDip == 12.25 && q.unitWeight == 26.4 && q.crackDistance == 3 &&
            q.crackWater == 0.5 && q.seismic == 0.12 && q.safetyClass == 1);
    QCOMPARE(q.planes.keys(), p.planes.keys());
    QCOMPARE(q.planes.value(2).friction, 22.5);

    // A plane without its own entry: c = 0, φ = the planar friction angle.
    dc.stability = StabilityParams();
    dialog.showData(dc);
    QCOMPARE(table->item(0, 2)->text(), QStringLiteral("0"));
    QCOMPARE(table->item(0, 3)->text(), QString::number(dc.FrictionAnglePlanar));
    // Confirmed without switching on: nothing to write.
    dialog.on_buttonBox_accepted();
    QVERIFY(!dialog.params.present);
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
    // GB 50330-2013 Table 5.2.6 in list order after "none"; anything else is
    // a typed value.
    const double table526[] = {0, 0.025, 0.038, 0.050, 0.075, 0.100, 0.12};
    for (int i = 0; i < 7; ++i) {
        dc.stability.seismic = table526[i];
        StabilityDialog dialog;
        dialog.showData(dc);
        QCOMPARE(child<QComboBox>(&dialog, "comboSeismic")->currentIndex(), i);
    }
    StabilityDialog dialog;
    dialog.showData(dc);
    child<QCheckBox>(&dialog, "checkEnabled")->setChecked(true);
    QCOMPARE(typeInto(child<QLineEdit>(&dialog, "editSeismic"), QStringLiteral("0.6")), QStringLiteral("0."));
    auto* combo = child<QComboBox>(&dialog, "comboSeismic");
    combo->setCurrentIndex(3);
    QVERIFY(combo->currentText().startsWith(QStringLiteral("8度（0.20g）")));
    QVERIFY(!child<QLineEdit>(&dialog, "editSeismic")->isEnabled());
    // Seismic load case: permanent class 二级 needs 1.10.
    QCOMPARE(child<QLabel>(&dialog, "labelRequired")->text(), QStringLiteral("1.10"));
    dialog.on_buttonBox_accepted();
    QCOMPARE(dialog.params.seismic, 0.05);
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
    const int ownGroups = tree->topLevelItemCount();

    whenModalShown(&mw, [](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    mw.on_actStability_triggered();
    QVERIFY(!dc.stability.present && !doc->isWindowModified());
    QCOMPARE(tree->topLevelItemCount(), ownGroups);

    whenModalShown(&mw, [](QWidget* modal) {
        child<QCheckBox>(modal, "checkEnabled")->setChecked(true);
        child<QLineEdit>(modal, "editHeight")->setText(QStringLiteral("20"));
        okButton(modal)->click();
    });
    mw.on_actStability_triggered();
    QVERIFY(dc.stability.present && dc.stability.enabled && doc->isWindowModified());
    QCOMPARE(dc.stability.height, 20.0);

    // 稳定系数 follows the overview's own groups: one row per calculated body.
    QCOMPARE(tree->topLevelItemCount(), ownGroups + 1);
    QTreeWidgetItem* group = tree->topLevelItem(ownGroups);
    QCOMPARE(group->text(0), QStringLiteral("稳定系数"));
    QCOMPARE(group->text(1), QStringLiteral("Fst=1.30"));
    const StabilityFactors factors = computeStabilityFactors(dc);
    QVERIFY(!factors.planes.isEmpty() && !factors.wedges.isEmpty());
    QCOMPARE(group->childCount(), factors.planes.size() + factors.wedges.size());
    const PlanarFactor& plane = factors.planes.first();
    QTreeWidgetItem* row = group->child(0);
    QCOMPARE(row->text(0), QStringLiteral("%1：").arg(plane.id));
    QCOMPARE(row->text(1), QStringLiteral("Fs=%1（%2）")
                               .arg(QString::number(std::floor(plane.fs * 100 + 1e-9) / 100, 'f', 2),
                                    factorStateWord(plane.fs, factors.required)));
    const QRegularExpression wedgeRow(QStringLiteral(
        "^Fs=\\d+\\.\\d\\d（(不稳定|欠稳定|基本稳定|稳定)，(双面滑动|沿结构面\\d单面滑动|脱离两滑面)）$"));
    QTreeWidgetItem* wedge = group->child(factors.planes.size());
    QCOMPARE(wedge->text(0),
             QStringLiteral("%1×%2：").arg(factors.wedges.first().planeA).arg(factors.wedges.first().planeB));
    QVERIFY2(wedgeRow.match(wedge->text(1)).hasMatch(), qPrintable(wedge->text(1)));
    // A row leads to its wedge like the rows of the 楔形体 group.
    mw.on_treeWidget_itemClicked(wedge, 1);
    QCOMPARE(wedge->data(1, Qt::UserRole + 1).toInt() / 1000, 3);
    QVERIFY(dc.wedges.at(wedge->data(1, Qt::UserRole + 1).toInt() % 1000).highlighted);

    // Analysis off: the group goes, as the verdicts do.
    mw.on_actAnalyse_triggered(false);
    QCOMPARE(tree->topLevelItemCount(), ownGroups - 1); // 楔形体 goes too
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
