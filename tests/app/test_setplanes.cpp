// 用作结构面 in the program: the sets of the field-survey example become
// planes of the analysis, again they update them, a project near its eight
// planes lets the user pick, and the overview and the report show the sets.
#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "apptesting.h"
#include "dialogs/autosetsdialog.h"
#include "dialogs/setplanesdialog.h"
#include "model/fielddata/projectsets.h"
#include "model/fielddata/setlinks.h"
#include "model/fielddata/setplanes.h"
#include "model/fielddata/setsreport.h"
#include "model/labels.h"
#include "tests/dialogs/dialogtesting.h"

#include <QAction>
#include <QBuffer>
#include <QDialogButtonBox>
#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {
using apptesting::action;
// The overview's rows under the top-level row `group`, "name value" each.
QStringList overviewRows(MainWindow& w, const QString& group) {
    QStringList rows;
    QTreeWidget* tree = w.findChild<QTreeWidget*>(QStringLiteral("treeWidget"));
    std::function<void(QTreeWidgetItem*, const QString&)> walk = [&](QTreeWidgetItem* item,
                                                                     const QString& at) {
        for (int i = 0; i < item->childCount(); ++i) {
            QTreeWidgetItem* c = item->child(i);
            const QString name = at.isEmpty() ? c->text(0) : at + QLatin1Char('/') + c->text(0);
            rows << (c->text(1).isEmpty() ? name : name + QLatin1Char(' ') + c->text(1));
            walk(c, name);
        }
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->text(0) == group)
            walk(tree->topLevelItem(i), QString());
    return rows;
}

QString report(DataCenter& project) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    project.writeReport(&buffer, QImage(8, 8, QImage::Format_RGB32));
    return QString::fromUtf8(buffer.data());
}
} // namespace

class TestSetPlanes : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void setsBecomePlanesThenUpdateThem();
    void fullProjectLetsTheUserPick();
    void changedSetsAskOnce();

private:
    // The example project with its sets found, opened in `w`.
    MdiChild* openSurvey(MainWindow& w, int extraPlanes = 0);
    QTemporaryDir dir;
    int opened = 0;
};

void TestSetPlanes::initTestCase() {
    apptesting::nameApplication();
    apptesting::clearSettings();
}

MdiChild* TestSetPlanes::openSurvey(MainWindow& w, int extraPlanes) {
    DataCenter project;
    QFile in(QStringLiteral(KARVEN_SOURCE_DIR "/examples/field-survey.yty"));
    if (!in.open(QIODevice::ReadOnly) || !project.readProject(&in))
        return nullptr;
    if (findAutoSets(project.field, AutoSetRequest()) != 3)
        return nullptr;
    for (int i = 0; i < extraPlanes; ++i) {
        PlaneRecord p;
        p.id = int(project.planes.size()) + 1;
        p.direction = 10 + 40 * i;
        p.angle = 50;
        project.planes.append(p);
    }
    const QString path = dir.filePath(QStringLiteral("survey%1.yty").arg(++opened));
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || !project.writeProject(&out))
        return nullptr;
    out.close();
    return w.openFile(path) ? w.activeMdiChild() : nullptr;
}

void TestSetPlanes::setsBecomePlanesThenUpdateThem() {
    apptesting::Boxes boxes;
    MainWindow w;
    w.show();
    MdiChild* child = openSurvey(w);
    QVERIFY(child);
    DataCenter& project = child->project();
    QCOMPARE(project.planes.size(), 3);
    QVERIFY(action(w, "actSetPlanes")->isEnabled());
    QCOMPARE(overviewRows(w, QStringLiteral("结构面分组")).size(), 3);
    QVERIFY(overviewRows(w, QStringLiteral("结构面分组")).first().startsWith(QStringLiteral("J1 ")));
    QVERIFY(overviewRows(w, QStringLiteral("临界百分比")).isEmpty()); // no analysis yet

    action(w, "actSetPlanes")->trigger();
    QCOMPARE(project.planes.size(), 6);
    const QVector<SetStatistics> stats = jointSetStatistics(project.field);
    for (int s = 0; s < 3; ++s) {
        const PlaneRecord& p = project.planes.at(3 + s);
        QCOMPARE(p.id, 4 + s);
        QCOMPARE(project.field.sets.at(s).planeId, p.id);
        QCOMPARE(p.notes, setPlaneNote(project.field.sets.at(s).name, stats.at(s)));
        QVERIFY(p.calculated); // the geometry followed
        QVERIFY(overviewRows(w, QStringLiteral("结构面"))
                    .contains(QStringLiteral("%1：%2 ").arg(p.id).arg(p.notes) +
                              Labels::attitudeText(p.direction, p.angle)));
    }
    QVERIFY(child->isWindowModified());
    QCOMPARE(boxes.shown.size(), 0);

    // Analysed, the set planes form wedges with the typed ones, and the
    // overview and the report show the sets, their planes and percentages.
    action(w, "actAnalyse")->trigger();
    QVERIFY(project.wedges.size() == 15);
    const QStringList critical = overviewRows(w, QStringLiteral("临界百分比"));
    QCOMPARE(critical.size(), 2 + 2 * 4); // planar and wedge sliding, three sets and 全部
    QVERIFY(critical.contains(
        QStringLiteral("平面滑动/全部 ") +
        criticalCountText(
            measurementCriticalCounts(project.field, stats, project.slopeCriteria()).planar.last())));
    const QString html = report(project);
    QVERIFY(html.contains(QStringLiteral("J1 → 结构面4 (")));
    QVERIFY(html.contains(QStringLiteral("J3 → 结构面6 (")));
    // Every text of the set table arrives as UTF-8, the header's α95 too.
    QVERIFY(html.contains(QStringLiteral("<th>K</th><th>α95</th>")));
    QVERIFY(html.contains(QStringLiteral("°</td></tr>")));

    // Again: the three planes are updated, none is added.
    project.planes[3].notes = QStringLiteral("J1 n=1"); // as if edited by hand
    action(w, "actAnalyse")->trigger();                 // editing again
    action(w, "actSetPlanes")->trigger();
    QCOMPARE(project.planes.size(), 6);
    QCOMPARE(project.planes[3].notes, setPlaneNote(QStringLiteral("J1"), stats.at(0)));
}

void TestSetPlanes::fullProjectLetsTheUserPick() {
    apptesting::Boxes boxes;
    MainWindow w;
    w.show();
    MdiChild* child = openSurvey(w, 4); // seven planes: room for one of the three sets
    QVERIFY(child);
    DataCenter& project = child->project();
    QCOMPARE(project.planes.size(), 7);

    // Cancelled: nothing changes.
    DialogTesting::whenModalShown(this, [](QWidget* modal) {
        QVERIFY(qobject_cast<SetPlanesDialog*>(modal));
        static_cast<QDialog*>(modal)->reject();
    });
    action(w, "actSetPlanes")->trigger();
    QCOMPARE(project.planes.size(), 7);
    QVERIFY(!project.field.sets.at(0).hasPlane());

    // The first set is checked; the user takes the third instead.
    QStringList offered;
    bool okAtFirst = false, okWithTwo = true;
    DialogTesting::whenModalShown(this, [&](QWidget* modal) {
        auto* list = modal->findChild<QListWidget*>(QStringLiteral("listSets"));
        QPushButton* ok = modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        for (int i = 0; i < list->count(); ++i)
            offered << list->item(i)->text().section(QLatin1Char(' '), 0, 0) +
                           (list->item(i)->checkState() == Qt::Checked ? QStringLiteral("✓") : QString());
        okAtFirst = ok->isEnabled();
        list->item(2)->setCheckState(Qt::Checked);
        okWithTwo = ok->isEnabled();
        list->item(0)->setCheckState(Qt::Unchecked);
        ok->click();
    });
    action(w, "actSetPlanes")->trigger();
    QCOMPARE(offered, (QStringList{"J1✓", "J2", "J3"}));
    QVERIFY(okAtFirst);
    QVERIFY(!okWithTwo);
    QCOMPARE(project.planes.size(), 8);
    QCOMPARE(project.planes.last().id, 8);
    QVERIFY(project.planes.last().notes.startsWith(QStringLiteral("J3 ")));
    QCOMPARE(project.field.sets.at(2).planeId, 8);

    // Full: J3 still updates its plane without asking; the others cannot
    // be added.
    DialogTesting::whenModalShown(this, [&](QWidget* modal) {
        auto* list = modal->findChild<QListWidget*>(QStringLiteral("listSets"));
        offered.clear();
        for (int i = 0; i < list->count(); ++i)
            offered << list->item(i)->text();
        modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    action(w, "actSetPlanes")->trigger();
    QCOMPARE(offered.size(), 3);
    QVERIFY(offered.at(2).endsWith(QStringLiteral("（更新结构面8）")));
    QCOMPARE(project.planes.size(), 8);
}

// 自动分组 with another window half-angle changes the sets' counts: the
// question names every linked plane once; "否" keeps the planes and is not
// asked again for the same sets, "是" updates them.
void TestSetPlanes::changedSetsAskOnce() {
    MainWindow w;
    w.show();
    MdiChild* child = openSurvey(w);
    QVERIFY(child);
    DataCenter& project = child->project();
    action(w, "actSetPlanes")->trigger();
    QCOMPARE(project.planes.size(), 6);
    const QList<PlaneRecord> made = project.planes;

    QStringList questions;
    bool update = false;
    MessageBox::setHook([&](const MessageBox::Shown& box) {
        if (box.text.startsWith(QStringLiteral("自动分组将替换")))
            return 1;
        questions << box.text;
        return update ? 1 : 0;
    });
    const auto autoSets = [&](double cone) {
        DialogTesting::whenModalShown(this, [cone](QWidget* modal) {
            auto* dialog = qobject_cast<AutoSetsDialog*>(modal);
            AutoSetRequest request;
            request.coneAngle = cone;
            dialog->setRequest(request);
            dialog->accept();
        });
        action(w, "actAutoSets")->trigger();
    };
    autoSets(15);
    QCOMPARE(questions,
             QStringList{QStringLiteral("结构面4、5、6来自J1、J2、J3组，该组已改变，是否更新该结构面？")});
    for (int i = 0; i < 6; ++i)
        QCOMPARE(project.planes[i].notes, made[i].notes);
    QCOMPARE(project.field.sets[0].planeId, 4);
    autoSets(15); // the same sets again: nothing to ask
    QCOMPARE(questions.size(), 1);

    update = true;
    autoSets(25);
    QCOMPARE(questions.size(), 2);
    const QVector<SetStatistics> stats = jointSetStatistics(project.field);
    for (int s = 0; s < 3; ++s) {
        QCOMPARE(project.planes[3 + s].notes, setPlaneNote(project.field.sets[s].name, stats[s]));
        QCOMPARE(project.field.sets[s].planeCount, stats[s].count);
    }
    QCOMPARE(project.planes[3].notes, made[3].notes); // back to the first sets
    MessageBox::setHook({});
}

QTEST_MAIN(TestSetPlanes)
#include "test_setplanes.moc"
