#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "dialogs/resulttextdialog.h"
#include "dialogs/stabilitydialog.h"
#include "dialogtesting.h"
#include "model/fonts.h"
#include "model/factors/stabilityfactors.h"
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
    void typedValuesStayAndAreNamed();
    void loadCasesAndAnchors();
    void fitsTheSmallScreen();
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
    p.upperLength = 18;
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
    QCOMPARE(child<QLineEdit>(&dialog, "editUpperLength")->text(), QStringLiteral("18"));
    // A file without cases shows its one case, named for its load.
    auto* cases = child<QTableWidget>(&dialog, "tableCases");
    QCOMPARE(cases->rowCount(), 1);
    QCOMPARE(cases->item(0, 0)->text(), QStringLiteral("地震工况"));
    QCOMPARE(cases->item(0, 1)->text(), QStringLiteral("0.5"));
    QCOMPARE(cases->item(0, 2)->checkState(), Qt::Checked);
    QCOMPARE(cases->item(0, 3)->text(), QStringLiteral("0.12"));
    // Temporary slope in a seismic case: GB 50330-2013 Table 5.3.2 has no Fst.
    QCOMPARE(cases->item(0, 4)->text(), QStringLiteral("表中无值"));
    auto* table = child<QTableWidget>(&dialog, "tableStrength");
    QCOMPARE(table->rowCount(), dc.planes.size());
    QVERIFY(!(table->item(0, 1)->flags() & Qt::ItemIsEditable));
    QCOMPARE(table->item(0, 4)->text(), QStringLiteral("已输入"));
    dialog.on_buttonBox_accepted();
    const StabilityParams& q = dialog.params;
    QVERIFY(q.present && !q.enabled && !q.crackCritical && q.wedgeSaturated && !q.permanent);
    QVERIFY(q.height == 42.5 && q.upperDip == 12.25 && q.upperLength == 18 && q.unitWeight == 26.4 &&
            q.crackDistance == 3 && q.crackWater == 0.5 && q.seismic == 0.12 && q.safetyClass == 1);
    // Its one case unchanged: still no case list, so the file stays as it was.
    QVERIFY(q.cases.isEmpty());
    QCOMPARE(q.planes.keys(), p.planes.keys());
    QCOMPARE(q.planes.value(2).friction, 22.5);

    // A project that never had the calculation: the three usual cases, and
    // every plane at the default strength, marked so.
    dc.stability = StabilityParams();
    dialog.showData(dc);
    QCOMPARE(cases->rowCount(), 3);
    QCOMPARE(cases->item(1, 0)->text(), QStringLiteral("暴雨工况"));
    QCOMPARE(cases->item(1, 1)->text(), QStringLiteral("1"));
    QCOMPARE(cases->item(2, 4)->text(), QStringLiteral("1.10"));
    QCOMPARE(table->item(0, 2)->text(), QStringLiteral("0"));
    QCOMPARE(table->item(0, 3)->text(), QString::number(dc.FrictionAnglePlanar));
    for (int row = 0; row < table->rowCount(); ++row) {
        QCOMPARE(table->item(row, 4)->text(), QStringLiteral("默认"));
        QVERIFY(table->item(row, 3)->data(StabilityDialog::DefaultRole).toBool());
        QVERIFY(table->item(row, 3)->font().italic());
    }
    // Confirmed without switching on: nothing to write.
    dialog.on_buttonBox_accepted();
    QVERIFY(!dialog.params.present);
}

void TestStabilityDialog::typedValuesStayAndAreNamed() {
    DataCenter dc;
    loadExample(dc); // slope dip 65°
    StabilityDialog dialog;
    dialog.showData(dc);
    dialog.show();
    child<QCheckBox>(&dialog, "checkEnabled")->setChecked(true);
    QVERIFY(okButton(&dialog)->isEnabled());
    auto* hint = child<QLabel>(&dialog, "labelHint");

    struct Typing {
        const char* edit;
        const char* keys;
        const char* shown;
        const char* named; // in the message: the field and its range
    };
    // What is typed stays; out of range it is marked and named with its
    // range, and OK waits.
    const Typing kept[] = {{"editUpperDip", "70", "70", "坡顶面倾角ψs超出有效范围（0≤ψs＜65°）"},
                           {"editHeight", "-5", "-5", "边坡高度H超出有效范围（0＜H≤2000 m）"},
                           {"editHeight", "", "", "边坡高度H尚未填写"},
                           {"editUnitWeight", "9.5", "9.5", "岩体重度γ超出有效范围（γw＜γ≤50 kN/m³）"},
                           {"editUpperLength", "-1", "-1", "坡顶面长度"}};
    for (const Typing& t : kept) {
        auto* edit = child<QLineEdit>(&dialog, t.edit);
        const QString before = edit->text();
        QCOMPARE(typeInto(edit, QLatin1String(t.keys)), QString::fromUtf8(t.shown));
        QVERIFY2(edit->property(StabilityDialog::OutOfRangeProperty).toBool(), t.edit);
        QVERIFY2(hint->text().contains(QString::fromUtf8(t.named)), qPrintable(hint->text()));
        QVERIFY(!okButton(&dialog)->isEnabled());
        QVERIFY(child<QWidget>(&dialog, "tabSlope")->property(StabilityDialog::OutOfRangeProperty).toBool());
        edit->setText(before); // mended
        QVERIFY(!edit->property(StabilityDialog::OutOfRangeProperty).toBool());
        QVERIFY(okButton(&dialog)->isEnabled());
        QVERIFY(hint->text().isEmpty());
    }
    // Letters are no number and are not taken at all.
    QCOMPARE(typeInto(child<QLineEdit>(&dialog, "editUnitWeight"), QStringLiteral("2e5")), QStringLiteral("25"));
    // Switched off, nothing is calculated: OK is free again.
    typeInto(child<QLineEdit>(&dialog, "editUpperDip"), QStringLiteral("70"));
    child<QCheckBox>(&dialog, "checkEnabled")->setChecked(false);
    QVERIFY(okButton(&dialog)->isEnabled());
    child<QCheckBox>(&dialog, "checkEnabled")->setChecked(true);
    QVERIFY(!okButton(&dialog)->isEnabled());
    child<QLineEdit>(&dialog, "editUpperDip")->setText(QStringLiteral("20"));

    // Friction 90 in the table stays typed, marked and named; 89.9 mends it.
    auto* table = child<QTableWidget>(&dialog, "tableStrength");
    auto* editor = openEditor<QLineEdit>(table, table->model()->index(0, 3));
    QVERIFY(editor);
    QCOMPARE(typeInto(editor, QStringLiteral("90")), QStringLiteral("90"));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits queued
    QCOMPARE(table->item(0, 3)->text(), QStringLiteral("90"));
    QVERIFY(table->item(0, 3)->data(StabilityDialog::OutOfRangeRole).toBool());
    QVERIFY(hint->text().contains(QStringLiteral("内摩擦角φ超出有效范围（0≤φ＜90°）")));
    QVERIFY(!okButton(&dialog)->isEnabled());
    table->item(0, 3)->setText(QStringLiteral("89.9"));
    QVERIFY(!table->item(0, 3)->data(StabilityDialog::OutOfRangeRole).toBool());
    QVERIFY(okButton(&dialog)->isEnabled());
    // The edited row is entered now; OK keeps it, and only it.
    QCOMPARE(table->item(0, 4)->text(), QStringLiteral("已输入"));
    dialog.on_buttonBox_accepted();
    QCOMPARE(dialog.params.planes.keys(), QList<int>{dc.planes.first().id});
    QCOMPARE(dialog.params.planes.first().friction, 89.9);
}

void TestStabilityDialog::loadCasesAndAnchors() {
    DataCenter dc;
    loadExample(dc);
    dc.analysisOff = false;
    dc.analyse();
    StabilityDialog dialog;
    dialog.showData(dc);
    dialog.show();
    child<QCheckBox>(&dialog, "checkEnabled")->setChecked(true);
    auto* cases = child<QTableWidget>(&dialog, "tableCases");
    QCOMPARE(cases->rowCount(), 3);
    // Seismic αw out of range, and an Fst below the table's: both marked.
    cases->item(2, 3)->setText(QStringLiteral("0.6"));
    QVERIFY(cases->item(2, 3)->data(StabilityDialog::OutOfRangeRole).toBool());
    QVERIFY(!okButton(&dialog)->isEnabled());
    QVERIFY(child<QWidget>(&dialog, "tabCases")->property(StabilityDialog::OutOfRangeProperty).toBool());
    cases->item(2, 3)->setText(QStringLiteral("0.1"));
    cases->item(0, 5)->setText(QStringLiteral("1.2"));
    QVERIFY(cases->item(0, 5)->data(StabilityDialog::OutOfRangeRole).toBool());
    QVERIFY(child<QLabel>(&dialog, "labelHint")->text().contains(QStringLiteral("表5.3.2的1.30≤Fst")));
    cases->item(0, 5)->setText(QStringLiteral("1.4")); // raised: allowed
    QVERIFY(okButton(&dialog)->isEnabled());
    // The table's Fst follows the class, the kind and the case's αw.
    child<QRadioButton>(&dialog, "radioTemporary")->setChecked(true);
    QCOMPARE(cases->item(2, 4)->text(), QStringLiteral("表中无值"));
    QCOMPARE(cases->item(1, 4)->text(), QStringLiteral("1.20"));
    child<QRadioButton>(&dialog, "radioPermanent")->setChecked(true);
    // Adding and removing; the last case cannot go.
    child<QPushButton>(&dialog, "buttonAddCase")->click();
    QCOMPARE(cases->rowCount(), 4);
    for (int i = 0; i < 5; ++i)
        child<QPushButton>(&dialog, "buttonRemoveCase")->click();
    QCOMPARE(cases->rowCount(), 1);
    child<QPushButton>(&dialog, "buttonDefaultCases")->click();
    QCOMPARE(cases->rowCount(), 3);
    cases->item(0, 5)->setText(QStringLiteral("1.4"));

    // Anchors: one row per candidate block; a force makes an anchor.
    auto* anchors = child<QTableWidget>(&dialog, "tableAnchors");
    QVERIFY(anchors->rowCount() > 1);
    int planeRow = -1, wedgeRow = -1;
    for (int row = 0; row < anchors->rowCount(); ++row) {
        if (anchors->item(row, 0)->text().startsWith(QStringLiteral("结构面")) && planeRow < 0)
            planeRow = row;
        if (anchors->item(row, 0)->text().startsWith(QStringLiteral("楔形体")) && wedgeRow < 0)
            wedgeRow = row;
    }
    QVERIFY(planeRow >= 0 && wedgeRow >= 0);
    anchors->item(planeRow, 1)->setText(QStringLiteral("200"));
    anchors->item(planeRow, 2)->setText(QStringLiteral("95"));
    QVERIFY(anchors->item(planeRow, 2)->data(StabilityDialog::OutOfRangeRole).toBool());
    QVERIFY(!okButton(&dialog)->isEnabled());
    anchors->item(planeRow, 2)->setText(QStringLiteral("20"));
    anchors->item(wedgeRow, 1)->setText(QStringLiteral("500"));
    QVERIFY(okButton(&dialog)->isEnabled());
    dialog.on_buttonBox_accepted();
    const StabilityParams& q = dialog.params;
    QCOMPARE(q.cases.size(), 3);
    QCOMPARE(q.cases.at(0).requiredTyped, 1.4);
    QCOMPARE(q.cases.at(1).crackWater, 1.0);
    QVERIFY(q.cases.at(1).wedgeSaturated);
    QCOMPARE(q.seismic, q.cases.at(0).seismic); // the element mirrors the first case
    QCOMPARE(q.planeAnchors.size(), 1);
    QCOMPARE(q.planeAnchors.first().force, 200.0);
    QCOMPARE(q.planeAnchors.first().inclination, 20.0);
    QCOMPARE(q.wedgeAnchors.size(), 1);
    QCOMPARE(q.wedgeAnchors.first().force, 500.0);
    QVERIFY(!q.wedgeAnchors.first().bearingGiven); // along the line of intersection
    // Shown again: the anchors come back; clearing a force removes it.
    dc.stability = q;
    dialog.showData(dc);
    QCOMPARE(anchors->item(planeRow, 1)->text(), QStringLiteral("200"));
    anchors->item(planeRow, 1)->setText(QString());
    dialog.on_buttonBox_accepted();
    QVERIFY(dialog.params.planeAnchors.isEmpty());
    QCOMPARE(dialog.params.wedgeAnchors.size(), 1);
}

void TestStabilityDialog::fitsTheSmallScreen() {
    // Usable at 1366×768: the dialog's own size leaves room for the task
    // bar and the window frame.
    StabilityDialog dialog;
    DataCenter dc;
    loadExample(dc);
    dialog.showData(dc);
    QVERIFY(dialog.sizeHint().height() <= 700);
    QVERIFY(dialog.minimumSizeHint().height() <= 700);
    QVERIFY(dialog.height() <= 700 && dialog.width() <= 1300);
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

    // 稳定系数 follows the overview's own groups: one group per case (a new
    // project gets the three usual ones), one row per calculated body.
    QCOMPARE(tree->topLevelItemCount(), ownGroups + 1);
    QTreeWidgetItem* group = tree->topLevelItem(ownGroups);
    QCOMPARE(group->text(0), QStringLiteral("稳定系数"));
    QCOMPARE(group->text(1), QStringLiteral("3个工况"));
    const StabilityFactors factors = computeStabilityFactors(dc);
    QCOMPARE(group->childCount(), 3);
    QVERIFY(!factors.planes.isEmpty() && !factors.wedges.isEmpty());
    for (int c = 0; c < 3; ++c) {
        QTreeWidgetItem* caseRow = group->child(c);
        QCOMPARE(caseRow->text(0), factors.cases.at(c).loadCase.name);
        QCOMPARE(caseRow->text(1), QStringLiteral("Fst=%1").arg(factors.cases.at(c).required, 0, 'f', 2));
        QCOMPARE(caseRow->childCount(), factors.planes.size() + factors.wedges.size());
    }
    const CaseFactors& rain = factors.cases.at(1);
    const PlanarFactor& plane = rain.planes.first();
    QTreeWidgetItem* row = group->child(1)->child(0);
    QCOMPARE(row->text(0), QStringLiteral("%1：").arg(plane.id));
    if (plane.hasBlock)
        QCOMPARE(row->text(1), QStringLiteral("Fs=%1（%2）")
                                   .arg(QString::number(std::floor(plane.fs * 100 + 1e-9) / 100, 'f', 2),
                                        factorStateWord(plane.fs, rain.required)));
    const QRegularExpression wedgeRow(QStringLiteral(
        "^Fs=\\d+\\.\\d\\d（(不稳定|欠稳定|基本稳定|稳定)，(双面滑动|沿结构面\\d+单面滑动|脱离两滑面)）$"));
    int firstWedge = -1;
    for (int i = 0; i < factors.wedges.size() && firstWedge < 0; ++i)
        if (factors.wedges.at(i).hasBlock)
            firstWedge = i;
    QVERIFY(firstWedge >= 0);
    QTreeWidgetItem* wedge = group->child(0)->child(factors.planes.size() + firstWedge);
    QCOMPARE(wedge->text(0), QStringLiteral("%1×%2：")
                                 .arg(factors.wedges.at(firstWedge).planeA)
                                 .arg(factors.wedges.at(firstWedge).planeB));
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
