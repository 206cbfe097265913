#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "app/setsoverview.h"
#include "dialogs/inputdialog.h"
#include "model/factors/stabilityfactors.h"
#include "model/factors/stabilityreport.h"
#include "model/labels.h"
#include "render/slopesketch.h"
#include "ui_mainwindow.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <QtMath>

#include <cmath>

// The overview panel: a two-column summary of the active project. Rows the
// user can act on carry a code in column 1 under CodeRole: 1001..1006 the
// basic settings, 2000 + i plane i, 3000 + i wedge i.

namespace {
constexpr int CodeRole = Qt::UserRole + 1;

enum Code {
    CodeProjectName = 1001,
    CodeSlope = 1002,
    CodeHemisphere = 1003,
    CodeRepresentation = 1004,
    CodeSliding = 1005,
    CodeToppling = 1006,
    CodePlanes = 2000,
    CodeWedges = 3000,
};

QTreeWidgetItem* addRow(QTreeWidgetItem* parent, const QString& name, const QString& value, int code) {
    auto* row = new QTreeWidgetItem(parent, {name, value});
    row->setData(1, CodeRole, code);
    return row;
}

QString criteriaText(double included, double friction) {
    return Labels::removeZeroDecimals(
        MainWindow::tr("倾夹角%1°，摩擦圆%2°").arg(Labels::angleText(included), Labels::angleText(friction)));
}

// Wedges are never judged toppling; their verdict knows three classes.
QString wedgeVerdict(int state) {
    return state / 10 == 4 ? Labels::stateClassWord(StabilityState::NotJudged)
                           : Labels::stateClassWord(state);
}

// "稳定系数": one row per calculated plane and wedge, coded like the rows of
// the record it belongs to, and the required factor on the group row. With
// several load cases, one group row per case under "稳定系数".
void addCaseRows(QTreeWidgetItem* group, const CaseFactors& c) {
    auto add = [group](const QString& name, const QString& value, int code) {
        auto* row = new QTreeWidgetItem(group, {name, value});
        if (code >= 0)
            row->setData(1, CodeRole, code);
    };
    for (const PlanarFactor& f : c.planes) {
        const QString value =
            f.hasBlock ? MainWindow::tr("%1（%2）").arg(factorText(f.fs), caseStateWord(f.fs, c)) : f.reason;
        add(MainWindow::tr("%1：").arg(f.id), value, f.index < 0 ? -1 : CodePlanes + f.index);
    }
    for (const WedgeFactor& f : c.wedges) {
        const QString value = f.hasBlock ? MainWindow::tr("%1（%2，%3）")
                                               .arg(factorText(f.fs), caseStateWord(f.fs, c),
                                                    wedgeModeWord(f.mode, f.planeA, f.planeB))
                                         : f.reason;
        add(MainWindow::tr("%1×%2：").arg(f.planeA).arg(f.planeB), value, f.index < 0 ? -1 : CodeWedges + f.index);
    }
}

QString requiredValue(const CaseFactors& c) {
    return c.requiredMissing ? MainWindow::tr("Fst未规定") : QStringLiteral("Fst=%1").arg(c.required, 0, 'f', 2);
}

void addFactorRows(QTreeWidget* tree, const DataCenter& project) {
    const StabilityFactors factors = computeStabilityFactors(project);
    if (factors.cases.size() <= 1) {
        auto* group = new QTreeWidgetItem(tree, {MainWindow::tr("稳定系数"),
                                                 factors.cases.isEmpty()
                                                     ? QStringLiteral("Fst=%1").arg(factors.required, 0, 'f', 2)
                                                     : requiredValue(factors.cases.first())});
        if (!factors.cases.isEmpty())
            addCaseRows(group, factors.cases.first());
        return;
    }
    auto* group = new QTreeWidgetItem(tree, {MainWindow::tr("稳定系数"), MainWindow::tr("%1个工况").arg(factors.cases.size())});
    for (const CaseFactors& c : factors.cases)
        addCaseRows(new QTreeWidgetItem(group, {c.loadCase.name, requiredValue(c)}), c);
}

// The upper slope and H of the calculation in the slope sketch, seen in the
// record's section.
void showUpperSlope(SlopeSketch* sketch, const DataCenter& project, const PlaneRecord& record) {
    const StabilityParams& p = project.stability;
    if (project.analysisOff || !p.enabled) {
        sketch->setUpperSlope(false);
        return;
    }
    const double d = qDegreesToRadians(record.directionDelta);
    const double upper = qRadiansToDegrees(std::atan(std::tan(qDegreesToRadians(p.upperDip)) * std::cos(d)));
    sketch->setUpperSlope(true, std::abs(upper), p.height);
}

// The row's whole text as its tool tip on both cells, for rows the panel
// is too narrow to show: "项目名称 测试工程", "1×2：Fs=0.49（…）".
void setRowToolTips(QTreeWidgetItem* item) {
    const QString name = item->text(0);
    const QString value = item->text(1);
    QString whole = name;
    if (!value.isEmpty())
        whole += (name.isEmpty() || name.endsWith(QChar(0xFF1A)) ? QString() : QStringLiteral(" ")) + value;
    item->setToolTip(0, whole);
    item->setToolTip(1, whole);
    for (int i = 0; i < item->childCount(); ++i)
        setRowToolTips(item->child(i));
}
} // namespace

int MainWindow::overviewWidthHint() const {
    // The longest texts that come up in everyday projects: a wedge's factor
    // on one plane, a toppling plane's attitude, the criteria with decimals.
    const QStringList common = {
        tr("%1（%2，%3）")
            .arg(factorText(1.049), factorStateWord(1.049, 1.35), wedgeModeWord(WedgeMode::OnA, 8, 7)),
        Labels::attitudeText(355.5, 88.5) + Labels::stateClassWord(40),
        criteriaText(30.5, 27.5),
    };
    const QTreeWidget* tree = ui->treeWidget;
    const QFontMetrics metrics(tree->font());
    int value = 0;
    for (const QString& text : common)
        value = qMax(value, metrics.horizontalAdvance(text));
    const int itemColumn = tree->header()->defaultSectionSize();
    // Cell padding, the vertical scroll bar, the tree's frame, the dock's
    // layout margins and its own frame.
    const int padding = 4 * metrics.averageCharWidth();
    const int scrollBar = tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree);
    const int frames = 2 * tree->frameWidth() + 4 + 8;
    return itemColumn + value + padding + scrollBar + frames;
}

void MainWindow::updateOverview(MdiChild* child) {
    QTreeWidget* tree = ui->treeWidget;
    tree->clear();
    tree->setStyleSheet(
        QStringLiteral("QHeaderView::section{background:rgba(36,161,254,50);}QTreeWidget::item{color:black;}"
                       "QTreeWidget::item{border-bottom:1px solid rgb(216,216,216);}"
                       "QTreeView::item:selected{background-color:rgb(204,232,255)}"));
    tree->setColumnCount(2);
    tree->setHeaderLabels({tr("项目"), tr("信息")});
    tree->setHeaderHidden(false);
    if (!child)
        return;
    const DataCenter& project = child->project();

    auto* basics = new QTreeWidgetItem(tree, {tr("基础信息")});
    addRow(basics, tr("项目名称"), QStringLiteral("%1").arg(project.ProjectName), CodeProjectName);
    addRow(basics, tr("边坡产状"), Labels::attitudeText(project.slope.direction, project.slope.angle),
           CodeSlope);
    addRow(basics, tr("投影方式"), project.UpperMode ? tr("上半球投影") : tr("下半球投影"), CodeHemisphere);
    addRow(basics, tr("表示方法"), project.BigCircle ? tr("大圆法") : tr("极点法"), CodeRepresentation);
    addRow(basics, tr("滑动判据"), criteriaText(project.IncludedAnglePlanar, project.FrictionAnglePlanar),
           CodeSliding);
    addRow(basics, tr("倾倒判据"),
           project.Topple ? criteriaText(project.IncludedAngleTopple, project.FrictionAngleTopple)
                          : tr("不判断倾倒破坏"),
           CodeToppling);

    const bool analysing = !project.analysisOff;
    if (!project.planes.isEmpty()) {
        auto* group = new QTreeWidgetItem(tree, {tr("结构面")});
        for (int i = 0; i < project.planes.size(); ++i) {
            const PlaneRecord& plane = project.planes.at(i);
            const QString name = tr("%1：").arg(plane.id) +
                                 (plane.notes.isEmpty() ? Labels::kindWord(plane.type) : plane.notes);
            QString value = Labels::attitudeText(plane.direction, plane.angle);
            if (analysing)
                value += Labels::stateClassWord(plane.state);
            addRow(group, name, value, CodePlanes + i);
        }
    }
    if (!project.wedges.isEmpty() && analysing) {
        auto* group = new QTreeWidgetItem(tree, {tr("楔形体")});
        for (int i = 0; i < project.wedges.size(); ++i) {
            const PlaneRecord& wedge = project.wedges.at(i);
            addRow(group, Labels::wedgePair(wedge),
                   Labels::attitudeText(wedge.direction, wedge.angle) + wedgeVerdict(wedge.state),
                   CodeWedges + i);
        }
    }
    if (analysing && project.stability.enabled)
        addFactorRows(tree, project);
    addJointSetRows(tree, project);
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        setRowToolTips(tree->topLevelItem(i));
    tree->setAlternatingRowColors(true);
    tree->expandAll();
}

void MainWindow::on_treeWidget_itemClicked(QTreeWidgetItem* item, int column) {
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    child->update();
    if (!item)
        return;
    const QVariant data = item->data(column, CodeRole);
    if (!data.isValid())
        return;
    const int code = data.toInt();
    const int kind = code / 1000;
    const int index = code % 1000;
    DataCenter& project = child->project();
    QList<PlaneRecord>* records = kind == 2 ? &project.planes : kind == 3 ? &project.wedges : nullptr;
    if (!records || index >= records->size())
        return;
    PlaneRecord& record = (*records)[index];
    record.highlighted = true;
    if (!project.analysisOff) {
        ui->widgetSketch->setSketch(record.slopeApparentAngle, record.angle, record.apparentAngle);
        showUpperSlope(ui->widgetSketch, project, record);
    }
    child->update();
}

void MainWindow::on_treeWidget_itemDoubleClicked(QTreeWidgetItem* item, int column) {
    MdiChild* child = activeMdiChild();
    if (!child || !item)
        return;
    DataCenter& project = child->project();
    const QVariant data = item->data(column, CodeRole);
    if (!project.analysisOff || !data.isValid())
        return;
    const int code = data.toInt();

    // Opens the edit dialog for (kind, item) with two values; true on OK.
    auto edit = [this](qint16 kind, qint16 entry, QString& first, QString& second) {
        InputDialog dialog(this);
        dialog.kind = kind;
        dialog.item = entry;
        dialog.value1 = first;
        dialog.value2 = second;
        dialog.prepareFields();
        if (dialog.exec() != QDialog::Accepted)
            return false;
        first = dialog.value1;
        second = dialog.value2;
        return true;
    };
    auto number = [](double value) { return QString::number(value); };

    bool accepted = false;
    switch (code) {
    case CodeProjectName: {
        QString name = project.ProjectName;
        QString unused = QStringLiteral("0");
        if ((accepted = edit(InputDialog::ProjectEntry, InputDialog::ProjectName, name, unused)))
            project.ProjectName = name;
        break;
    }
    case CodeSlope: {
        QString direction = number(project.slope.direction);
        QString dip = number(project.slope.angle);
        if ((accepted = edit(InputDialog::ProjectEntry, InputDialog::SlopeAttitude, direction, dip))) {
            project.slope.direction = direction.toDouble();
            project.slope.angle = dip.toDouble();
            project.slope.calculated = false;
            project.updateSlopeGeometry();
        }
        break;
    }
    case CodeHemisphere:
        on_actUpper_triggered(!project.UpperMode);
        break;
    case CodeRepresentation:
        on_actBigCircle_triggered(!project.BigCircle);
        break;
    case CodeSliding: {
        QString included = number(project.IncludedAnglePlanar);
        QString friction = number(project.FrictionAnglePlanar);
        if ((accepted = edit(InputDialog::ProjectEntry, InputDialog::SlidingCriteria, included, friction))) {
            project.IncludedAnglePlanar = included.toDouble();
            project.FrictionAnglePlanar = friction.toDouble();
        }
        break;
    }
    case CodeToppling:
        project.Topple = !project.Topple;
        updateOverview(child);
        break;
    default:
        if (code / 1000 == 2) {
            const int i = code % 1000;
            if (i >= project.planes.size())
                break;
            QString direction = number(project.planes.at(i).direction);
            QString dip = number(project.planes.at(i).angle);
            if ((accepted = edit(InputDialog::PlaneEntry, static_cast<qint16>(i), direction, dip))) {
                // The lists may not change while the dialog is modal, but
                // the position is checked again all the same.
                if (i < project.planes.size()) {
                    PlaneRecord& plane = project.planes[i];
                    plane.direction = direction.toDouble();
                    plane.angle = dip.toDouble();
                    plane.calculated = false;
                    project.updatePlanesGeometry();
                }
            }
        }
        break;
    }
    if (accepted) {
        updateOverview(child);
        child->setWindowModified(true);
    }
    child->update();
}
