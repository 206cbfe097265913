#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "dialogs/datadialog.h"
#include "dialogs/inputdialog.h"
#include "dialogs/resulttextdialog.h"
#include "dialogtesting.h"
#include "model/fonts.h"
#include "platform/messagebox.h"
#include "render/slopesketch.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

using namespace DialogTesting;

// The overview panel and the main window's data and copy-result commands,
// run on the real main window.
class TestOverview : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void treeWithAnalysisOff();
    void treeWithAnalysisOn();
    void projectWithoutPlanes();
    void clickHighlightsAndSketches();
    void doubleClickIsIgnoredWhileAnalysing();
    void doubleClickEditsAndToggles();
    void cancelledEditChangesNothing();
    void staleCodesAreIgnored();
    void dataCommandCopiesInAndOut();
    void copyResultCommand();
    void everyRowShowsItsWholeTextAsToolTip();
    void dockHintShowsCommonRowsWhole();

private:
    MainWindow* mw = nullptr;
    MdiChild* child = nullptr;
    int modalsSeen = 0;

    QTreeWidget* tree() const { return mw->findChild<QTreeWidget*>(QStringLiteral("treeWidget")); }
    SlopeSketch* sketch() const { return mw->findChild<SlopeSketch*>(QStringLiteral("widgetSketch")); }
    DataCenter& project() { return child->project(); }
    QStringList treeTexts() const;
    QTreeWidgetItem* rowWithCode(int code) const;
    static void fillFixture(DataCenter& dc);
    // Answers the next modal InputDialog with the given texts (accept) or
    // cancels it when `accept` is false.
    void answerInputDialog(const QString& first, const QString& second, bool accept = true);
};

void TestOverview::initTestCase() {
    QCoreApplication::setOrganizationName(QStringLiteral("Quillmere"));
    QCoreApplication::setApplicationName(QStringLiteral("Karven"));
    installFontSubstitutions();
    MessageBox::setHook([](const MessageBox::Shown&) { return int(MessageBox::Discard); });
}

void TestOverview::init() {
    QSettings().clear();
    mw = new MainWindow;
    mw->show();
    QVERIFY(QTest::qWaitForWindowExposed(mw));
    mw->on_actNew_triggered();
    auto* area = mw->findChild<QMdiArea*>(QStringLiteral("mdiArea"));
    for (QMdiSubWindow* sub : area->subWindowList()) {
        if (qobject_cast<MdiChild*>(sub->widget()))
            area->setActiveSubWindow(sub);
    }
    child = mw->activeMdiChild();
    QVERIFY(child);
    fillFixture(project());
    child->setWindowModified(false);
    mw->updateOverview(child);
    modalsSeen = 0;
}

void TestOverview::cleanup() {
    if (child)
        child->setWindowModified(false);
    // Closed first: a shown main window reacts to its sub-windows going away.
    mw->close();
    delete mw;
    mw = nullptr;
    child = nullptr;
}

void TestOverview::fillFixture(DataCenter& dc) {
    dc.ProjectName = QStringLiteral("测试工程");
    dc.slope.direction = 120.0;
    dc.slope.angle = 45.5;
    dc.slope.calculated = false;
    dc.updateSlopeGeometry();
    dc.IncludedAnglePlanar = 30;
    dc.FrictionAnglePlanar = 27.5;
    dc.Topple = false;
    auto plane = [](int id, double direction, double angle, int type, const QString& notes, int state) {
        PlaneRecord p;
        p.id = id;
        p.direction = direction;
        p.angle = angle;
        p.type = type;
        p.notes = notes;
        p.state = state;
        p.slopeApparentAngle = -30 - id;
        p.apparentAngle = 10.5 + id;
        return p;
    };
    dc.planes.clear();
    dc.planes << plane(1, 110, 30, Joint, QString(), 31)
              << plane(2, 300.04, 75.5, Fault, QStringLiteral("F2"), 11)
              << plane(3, 130, 80, Bedding, QString(), 40) << plane(4, 10, 20, 9, QString(), 25);
    dc.updatePlanesGeometry();
    dc.wedges.clear();
    PlaneRecord w = plane(103, 95.04, 25, Joint, QString(), 32);
    PlaneRecord v = plane(204, 200, 12.26, Joint, QString(), 40);
    dc.wedges << w << v;
}

QStringList TestOverview::treeTexts() const {
    QStringList lines;
    for (int i = 0; i < tree()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* group = tree()->topLevelItem(i);
        lines << group->text(0);
        for (int j = 0; j < group->childCount(); ++j)
            lines << QStringLiteral("  %1 | %2").arg(group->child(j)->text(0), group->child(j)->text(1));
    }
    return lines;
}

QTreeWidgetItem* TestOverview::rowWithCode(int code) const {
    for (int i = 0; i < tree()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* group = tree()->topLevelItem(i);
        for (int j = 0; j < group->childCount(); ++j) {
            if (group->child(j)->data(1, Qt::UserRole + 1).toInt() == code)
                return group->child(j);
        }
    }
    return nullptr;
}

void TestOverview::answerInputDialog(const QString& first, const QString& second, bool accept) {
    whenModalShown(mw, [=](QWidget* modal) {
        ++modalsSeen;
        auto* dialog = qobject_cast<InputDialog*>(modal);
        if (!dialog) {
            static_cast<QDialog*>(modal)->reject();
            return;
        }
        dialog->findChild<QLineEdit*>(QStringLiteral("lineEdit1"))->setText(first);
        dialog->findChild<QLineEdit*>(QStringLiteral("lineEdit2"))->setText(second);
        auto* box = dialog->findChild<QDialogButtonBox*>();
        box->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
}

void TestOverview::treeWithAnalysisOff() {
    const QStringList expected{
        QStringLiteral("基础信息"),
        QStringLiteral("  项目名称 | 测试工程"),
        QStringLiteral("  边坡产状 | 120°∠45.5°"),
        QStringLiteral("  投影方式 | 上半球投影"),
        QStringLiteral("  表示方法 | 大圆法"),
        QStringLiteral("  滑动判据 | 倾夹角30°，摩擦圆27.5°"),
        QStringLiteral("  倾倒判据 | 不判断倾倒破坏"),
        QStringLiteral("结构面"),
        QStringLiteral("  1：节理 | 110°∠30°"),
        QStringLiteral("  2：F2 | 300°∠75.5°"),
        QStringLiteral("  3：层理 | 130°∠80°"),
        QStringLiteral("  4：节理 | 10°∠20°"),
    };
    QCOMPARE(treeTexts(), expected);
    QCOMPARE(tree()->headerItem()->text(0), QStringLiteral("项目"));
    QCOMPARE(tree()->headerItem()->text(1), QStringLiteral("信息"));
    QVERIFY(!tree()->isHeaderHidden());
    QVERIFY(tree()->styleSheet().startsWith(
        QStringLiteral("QHeaderView::section{background:rgba(36,161,254,50);}")));
    QVERIFY(tree()->topLevelItem(1)->isExpanded());

    // Codes live in column 1 only; groups carry none.
    QCOMPARE(tree()->topLevelItem(0)->child(0)->data(1, Qt::UserRole + 1).toInt(), 1001);
    QCOMPARE(tree()->topLevelItem(0)->child(5)->data(1, Qt::UserRole + 1).toInt(), 1006);
    QCOMPARE(tree()->topLevelItem(1)->child(3)->data(1, Qt::UserRole + 1).toInt(), 2003);
    QVERIFY(!tree()->topLevelItem(0)->child(0)->data(0, Qt::UserRole + 1).isValid());
    QVERIFY(!tree()->topLevelItem(1)->data(1, Qt::UserRole + 1).isValid());
}

void TestOverview::treeWithAnalysisOn() {
    project().analysisOff = false;
    project().Topple = true;
    project().UpperMode = false;
    project().BigCircle = false;
    mw->updateOverview(child);
    const QStringList expected{
        QStringLiteral("基础信息"),
        QStringLiteral("  项目名称 | 测试工程"),
        QStringLiteral("  边坡产状 | 120°∠45.5°"),
        QStringLiteral("  投影方式 | 下半球投影"),
        QStringLiteral("  表示方法 | 极点法"),
        QStringLiteral("  滑动判据 | 倾夹角30°，摩擦圆27.5°"),
        QStringLiteral("  倾倒判据 | 倾夹角20°，摩擦圆30°"),
        QStringLiteral("结构面"),
        QStringLiteral("  1：节理 | 110°∠30°(不稳定)"),
        QStringLiteral("  2：F2 | 300°∠75.5°(稳定)"),
        QStringLiteral("  3：层理 | 130°∠80°(倾倒破坏)"),
        QStringLiteral("  4：节理 | 10°∠20°(基本稳定)"),
        QStringLiteral("楔形体"),
        QStringLiteral("  1×3 | 95°∠25°(不稳定)"),
        QStringLiteral("  2×4 | 200°∠12.3°(稳定)"),
    };
    QCOMPARE(treeTexts(), expected);
    QCOMPARE(rowWithCode(3001)->text(0), QStringLiteral("2×4"));
}

void TestOverview::projectWithoutPlanes() {
    project().planes.clear();
    project().analysisOff = false; // wedges left from before show with the analysis on only
    mw->updateOverview(child);
    QCOMPARE(tree()->topLevelItemCount(), 2);
    QCOMPARE(tree()->topLevelItem(1)->text(0), QStringLiteral("楔形体"));
    project().wedges.clear();
    mw->updateOverview(child);
    QCOMPARE(tree()->topLevelItemCount(), 1);
    QCOMPARE(tree()->topLevelItem(0)->text(0), QStringLiteral("基础信息"));
}

void TestOverview::clickHighlightsAndSketches() {
    // Analysis off: highlight only.
    mw->on_treeWidget_itemClicked(rowWithCode(2001), 1);
    QVERIFY(project().planes[1].highlighted);
    QCOMPARE(sketch()->shownDip, 300.0);
    project().planes[1].highlighted = false;

    project().analysisOff = false;
    mw->updateOverview(child);
    mw->on_treeWidget_itemClicked(rowWithCode(2001), 0);
    QVERIFY(!project().planes[1].highlighted);
    QCOMPARE(sketch()->shownDip, 300.0);

    mw->on_treeWidget_itemClicked(rowWithCode(2001), 1);
    QVERIFY(project().planes[1].highlighted);
    QCOMPARE(sketch()->faceAngle, 32.0);
    QCOMPARE(sketch()->hatchAngle, -75.5);
    QCOMPARE(sketch()->shownDip, 12.5);

    mw->on_treeWidget_itemClicked(rowWithCode(3000), 1);
    QVERIFY(project().wedges[0].highlighted);
    QCOMPARE(sketch()->hatchAngle, -25.0);

    // Basic settings and groups only repaint.
    mw->on_treeWidget_itemClicked(rowWithCode(1002), 1);
    mw->on_treeWidget_itemClicked(tree()->topLevelItem(0), 1);
    QVERIFY(!project().slope.highlighted);
    QCOMPARE(sketch()->shownDip, 113.5); // unchanged since the wedge click
}

void TestOverview::doubleClickIsIgnoredWhileAnalysing() {
    project().analysisOff = false;
    mw->updateOverview(child);
    answerInputDialog(QStringLiteral("x"), QString());
    for (int code : {1001, 1002, 1003, 1004, 1005, 1006, 2000, 3000})
        mw->on_treeWidget_itemDoubleClicked(rowWithCode(code), 1);
    QCOMPARE(modalsSeen, 0);
    QVERIFY(!project().Topple);
    QVERIFY(project().UpperMode);
    QVERIFY(project().BigCircle);
    QVERIFY(!child->isWindowModified());
}

void TestOverview::doubleClickEditsAndToggles() {
    // 倾倒判据 toggles at once, without the modified mark.
    mw->on_treeWidget_itemDoubleClicked(rowWithCode(1006), 1);
    QVERIFY(project().Topple);
    QCOMPARE(rowWithCode(1006)->text(1), QStringLiteral("倾夹角20°，摩擦圆30°"));
    QVERIFY(!child->isWindowModified());
    // Column 0 carries no code.
    mw->on_treeWidget_itemDoubleClicked(rowWithCode(1006), 0);
    QVERIFY(project().Topple);

    answerInputDialog(QStringLiteral("新名称"), QString());
    mw->on_treeWidget_itemDoubleClicked(rowWithCode(1001), 1);
    QCOMPARE(modalsSeen, 1);
    QCOMPARE(project().ProjectName, QStringLiteral("新名称"));
    QCOMPARE(rowWithCode(1001)->text(1), QStringLiteral("新名称"));
    QVERIFY(child->isWindowModified());

    child->setWindowModified(false);
    project().planes[0].calculated = true;
    const QPointF before = project().planes[2].MidPoint;
    answerInputDialog(QStringLiteral("250"), QStringLiteral("33.5"));
    mw->on_treeWidget_itemDoubleClicked(rowWithCode(2002), 1);
    QCOMPARE(project().planes[2].direction, 250.0);
    QCOMPARE(project().planes[2].angle, 33.5);
    QVERIFY(project().planes[2].calculated);
    QVERIFY(project().planes[2].MidPoint != before);
    QCOMPARE(rowWithCode(2002)->text(1), QStringLiteral("250°∠33.5°"));
    QVERIFY(child->isWindowModified());

    answerInputDialog(QStringLiteral("200"), QStringLiteral("60"));
    mw->on_treeWidget_itemDoubleClicked(rowWithCode(1002), 1);
    QCOMPARE(project().slope.direction, 200.0);
    QVERIFY(project().slope.calculated);
    QCOMPARE(rowWithCode(1002)->text(1), QStringLiteral("200°∠60°"));

    answerInputDialog(QStringLiteral("90"), QStringLiteral("0"));
    mw->on_treeWidget_itemDoubleClicked(rowWithCode(1005), 1);
    QCOMPARE(project().IncludedAnglePlanar, 90.0);
    QCOMPARE(project().FrictionAnglePlanar, 0.0);

    child->setWindowModified(false);
    mw->on_treeWidget_itemDoubleClicked(rowWithCode(1003), 1);
    QVERIFY(!project().UpperMode);
    QCOMPARE(rowWithCode(1003)->text(1), QStringLiteral("下半球投影"));
    QVERIFY(child->isWindowModified());
    mw->on_treeWidget_itemDoubleClicked(rowWithCode(1004), 1);
    QVERIFY(!project().BigCircle);
    QCOMPARE(rowWithCode(1004)->text(1), QStringLiteral("极点法"));
}

void TestOverview::cancelledEditChangesNothing() {
    answerInputDialog(QStringLiteral("1"), QStringLiteral("2"), false);
    mw->on_treeWidget_itemDoubleClicked(rowWithCode(1002), 1);
    QCOMPARE(modalsSeen, 1);
    QCOMPARE(project().slope.direction, 120.0);
    QVERIFY(!child->isWindowModified());

    // Wedge rows have no action.
    project().analysisOff = true;
    answerInputDialog(QStringLiteral("1"), QStringLiteral("2"));
    project().analysisOff = false;
    mw->updateOverview(child);
    project().analysisOff = true;
    mw->on_treeWidget_itemDoubleClicked(rowWithCode(3001), 1);
    QCOMPARE(modalsSeen, 1);
    QVERIFY(!child->isWindowModified());
}

void TestOverview::staleCodesAreIgnored() {
    QTreeWidgetItem* last = rowWithCode(2003);
    project().planes.removeLast();
    answerInputDialog(QStringLiteral("1"), QStringLiteral("2"));
    mw->on_treeWidget_itemDoubleClicked(last, 1);
    mw->on_treeWidget_itemClicked(last, 1);
    QCOMPARE(modalsSeen, 0);
    QVERIFY(!child->isWindowModified());

    project().analysisOff = false;
    mw->updateOverview(child);
    QTreeWidgetItem* wedge = rowWithCode(3001);
    project().wedges.clear();
    mw->on_treeWidget_itemClicked(wedge, 1);
    QCOMPARE(sketch()->shownDip, 300.0);

    // A forged code far past the end.
    QTreeWidgetItem* row = rowWithCode(2000);
    row->setData(1, Qt::UserRole + 1, 2999);
    mw->on_treeWidget_itemClicked(row, 1);
    project().analysisOff = true;
    mw->on_treeWidget_itemDoubleClicked(row, 1);
    QCOMPARE(modalsSeen, 0);
}

void TestOverview::dataCommandCopiesInAndOut() {
    // Cancel first: nothing changes.
    whenModalShown(mw, [](QWidget* modal) {
        auto* dialog = qobject_cast<DataDialog*>(modal);
        QVERIFY(dialog);
        dialog->findChild<QLineEdit*>(QStringLiteral("editProjectName"))->setText(QStringLiteral("不要"));
        dialog->reject();
    });
    mw->on_actData_triggered();
    QCOMPARE(project().ProjectName, QStringLiteral("测试工程"));
    QVERIFY(!child->isWindowModified());

    for (PlaneRecord& p : project().planes)
        p.calculated = true;
    const QPointF plane2Before = project().planes[1].MidPoint;
    const QPointF plane3Before = project().planes[2].MidPoint;
    whenModalShown(mw, [](QWidget* modal) {
        auto* dialog = qobject_cast<DataDialog*>(modal);
        QVERIFY(dialog);
        QCOMPARE(dialog->planes.size(), 4);
        QCOMPARE(dialog->projectName, QStringLiteral("测试工程"));
        auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("tableWidget"));
        table->item(1, 2)->setText(QStringLiteral("40"));
        table->setItem(4, 1, new QTableWidgetItem(QStringLiteral("15")));
        dialog->findChild<QLineEdit*>(QStringLiteral("editProjectName"))->setText(QStringLiteral("改名"));
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    mw->on_actData_triggered();

    QCOMPARE(project().ProjectName, QStringLiteral("改名"));
    QCOMPARE(project().planes.size(), 5);
    QCOMPARE(project().planes[1].angle, 40.0);
    QVERIFY(project().planes[1].calculated);
    QVERIFY(project().planes[1].MidPoint != plane2Before);
    QCOMPARE(project().planes[2].MidPoint, plane3Before);
    QCOMPARE(project().planes[4].id, 5);
    QCOMPARE(project().planes[4].angle, -1.0);
    QVERIFY(!project().planes[4].calculated); // no dip yet: no geometry
    QCOMPARE(project().slope.direction, 120.0);
    QCOMPARE(project().slope.angle, 45.5);
    QVERIFY(project().slope.calculated);
    QCOMPARE(project().FrictionAnglePlanar, 27.5);
    QVERIFY(child->isWindowModified());
    QCOMPARE(rowWithCode(1001)->text(1), QStringLiteral("改名"));
    QCOMPARE(rowWithCode(2001)->text(1), QStringLiteral("300°∠40°"));
    QCOMPARE(rowWithCode(2004)->text(1), QStringLiteral("15°∠-1°"));
}

void TestOverview::copyResultCommand() {
    project().analysisOff = false;
    project().Topple = true;
    QString shownTopple;
    whenModalShown(mw, [&](QWidget* modal) {
        auto* dialog = qobject_cast<ResultTextDialog*>(modal);
        QVERIFY(dialog);
        auto* list = dialog->findChild<QListWidget*>(QStringLiteral("listWidget"));
        QCOMPARE(list->count(), 6);
        shownTopple = list->item(4)->text();
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    mw->on_actTXT_triggered();
    QCOMPARE(shownTopple, QStringLiteral("边坡岩体中存在1组易倾倒破坏结构面，它们是：层理3；"));
    const QString text = QApplication::clipboard()->text();
    QVERIFY(text.startsWith(QStringLiteral("    根据赤平投影图")));
    QVERIFY(text.contains(QStringLiteral("节理1；")));
    QVERIFY(text.contains(QStringLiteral("存在2组不稳定楔形体，它们是：1×3、2×4组合；")));
    QVERIFY(text.contains(QStringLiteral("\n    边坡岩体中存在1组易倾倒破坏结构面")));
    QVERIFY(mw->isMinimized());

    // Cancelled: the clipboard stays as it was.
    mw->showNormal();
    QApplication::clipboard()->setText(QStringLiteral("before"));
    whenModalShown(mw, [](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    mw->on_actTXT_triggered();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
    QVERIFY(!mw->isMinimized());
}

void TestOverview::everyRowShowsItsWholeTextAsToolTip() {
    project().analysisOff = false;
    project().stability.enabled = true;
    project().stability.present = true;
    project().analyse();
    mw->updateOverview(child);
    // Rows of every kind: settings, planes, wedges, factors and the groups.
    QStringList seen;
    int rows = 0;
    for (int i = 0; i < tree()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* group = tree()->topLevelItem(i);
        seen << group->text(0);
        QCOMPARE(group->toolTip(0), group->text(1).isEmpty()
                                        ? group->text(0)
                                        : group->text(0) + QLatin1Char(' ') + group->text(1));
        for (int j = 0; j < group->childCount(); ++j, ++rows) {
            QTreeWidgetItem* row = group->child(j);
            const QString tip = row->toolTip(1);
            QCOMPARE(row->toolTip(0), tip);
            // The whole of both cells, nothing cut, in reading order.
            QVERIFY2(tip.startsWith(row->text(0)) && tip.endsWith(row->text(1)), qPrintable(tip));
            QVERIFY2(tip.size() <= row->text(0).size() + 1 + row->text(1).size(), qPrintable(tip));
        }
    }
    QCOMPARE(seen, QStringList({QStringLiteral("基础信息"), QStringLiteral("结构面"),
                                QStringLiteral("楔形体"), QStringLiteral("稳定系数")}));
    QVERIFY(rows > 10);
    QCOMPARE(rowWithCode(1001)->toolTip(1), QStringLiteral("项目名称 测试工程"));
    QCOMPARE(rowWithCode(2001)->toolTip(0), QStringLiteral("2：F2 300°∠75.5°(稳定)"));
    // A factor row: "1×3：" and its value without a blank between.
    QTreeWidgetItem* factors = tree()->topLevelItem(3);
    QVERIFY(factors->childCount() > 0);
    QTreeWidgetItem* last = factors->child(factors->childCount() - 1);
    QCOMPARE(last->toolTip(1), last->text(0) + last->text(1));
}

void TestOverview::dockHintShowsCommonRowsWhole() {
    // The road cut with its factors of safety: the everyday rows.
    QVERIFY(child->loadFile(QStringLiteral(KARVEN_SOURCE_DIR "/examples/road-cut.yty")));
    project().stability.enabled = true;
    project().stability.present = true;
    project().stability.planes[1] = {15, 30};
    project().analysisOff = false;
    project().analyse();
    mw->updateOverview(child);

    mw->resize(1600, 1000);
    auto* dock = mw->findChild<QDockWidget*>(QStringLiteral("dockWidgetResult"));
    QVERIFY(dock);
    mw->resizeDocks({dock}, {mw->overviewWidthHint()}, Qt::Horizontal);
    QApplication::processEvents();
    QVERIFY(qAbs(dock->width() - mw->overviewWidthHint()) <= 12);

    const QFontMetrics metrics(tree()->font());
    const int margin = 2 * (tree()->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree()) + 1);
    int checked = 0;
    for (int i = 0; i < tree()->topLevelItemCount(); ++i) {
        QTreeWidgetItem* group = tree()->topLevelItem(i);
        for (int j = 0; j < group->childCount(); ++j) {
            const QString value = group->child(j)->text(1);
            if (group->text(0) == QLatin1String("稳定系数") && !value.startsWith(QLatin1String("Fs=")))
                continue; // a reason instead of a number: read it in the tool tip
            ++checked;
            QVERIFY2(metrics.horizontalAdvance(value) + margin <= tree()->header()->sectionSize(1),
                     qPrintable(QStringLiteral("%1: %2 of %3 pixels")
                                    .arg(value)
                                    .arg(metrics.horizontalAdvance(value) + margin)
                                    .arg(tree()->header()->sectionSize(1))));
        }
    }
    QVERIFY(checked > 15);
    // And the net keeps the larger part of the window.
    QVERIFY(mw->overviewWidthHint() < 1600 / 2);
}

QTEST_MAIN(TestOverview)
#include "test_overview.moc"
