// The joint-set commands: 结构面分组 (the sets dialog), 自动分组 and
// 画分组窗 (a window dragged on the net).
#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "app/setwindowtool.h"
#include "dialogs/autosetsdialog.h"
#include "dialogs/setsdialog.h"
#include "model/fielddata/projectsets.h"
#include "platform/messagebox.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

namespace {
// The sets and every measurement's set are as they were.
bool sameSets(const FieldData& a, const FieldData& b) {
    if (a.wedgePairs != b.wedgePairs || a.sets.size() != b.sets.size() ||
        a.measurements.size() != b.measurements.size())
        return false;
    for (int i = 0; i < a.sets.size(); ++i) {
        const JointSet& s = a.sets.at(i);
        const JointSet& t = b.sets.at(i);
        if (s.name != t.name || s.color != t.color || s.centerDirection != t.centerDirection ||
            s.centerAngle != t.centerAngle || s.halfAngle != t.halfAngle)
            return false;
    }
    for (int i = 0; i < a.measurements.size(); ++i)
        if (a.measurements.at(i).set != b.measurements.at(i).set)
            return false;
    return true;
}
} // namespace

void MainWindow::on_actJointSets_triggered() {
    MdiChild* child = activeMdiChild();
    if (!child || child->project().field.isEmpty())
        return;
    SetsDialog dialog(this);
    dialog.setField(child->project().field);
    if (dialog.exec() != QDialog::Accepted)
        return;
    FieldData& field = child->project().field;
    const FieldData edited = dialog.field();
    if (sameSets(field, edited))
        return;
    const QVector<JointSet> before = field.sets;
    field = edited;
    setsChanged(child, before);
}

void MainWindow::on_actAutoSets_triggered() {
    MdiChild* child = activeMdiChild();
    if (!child || child->project().field.isEmpty())
        return;
    AutoSetsDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    FieldData& field = child->project().field;
    if (!field.sets.isEmpty() &&
        !MessageBox::ask(this, tr("自动分组将替换现有的%1个分组，是否继续？").arg(field.sets.size())))
        return;
    FieldData found = field;
    int count = 0;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        count = findAutoSets(found, dialog.request());
        QApplication::restoreOverrideCursor();
    }
    if (count == 0) {
        MessageBox::information(this, tr("没有达到峰值阈值的密度峰值，未找到分组"));
        return;
    }
    const QVector<JointSet> before = field.sets;
    field = found;
    setsChanged(child, before);
    const int wanted = dialog.request().count;
    if (wanted > count)
        statusBar()->showMessage(tr("找到%1组（达到阈值的密度峰值不足%2个）").arg(count).arg(wanted), 5000);
    else
        statusBar()->showMessage(tr("找到%1组").arg(count), 3000);
}

void MainWindow::on_actDrawSetWindow_triggered(bool checked) {
    syncSetWindowTools();
    if (checked)
        statusBar()->showMessage(tr("在赤平投影图上按下确定分组窗中心，拖动确定半锥角；Esc取消"), 5000);
}

void MainWindow::syncSetWindowTools() {
    MdiChild* active = activeMdiChild();
    const bool on = ui->actDrawSetWindow->isChecked();
    for (QMdiSubWindow* window : ui->mdiArea->subWindowList()) {
        auto* child = qobject_cast<MdiChild*>(window->widget());
        if (!child)
            continue;
        SetWindowTool* tool = child->setWindowTool();
        connect(tool, &SetWindowTool::windowDrawn, this, &MainWindow::setWindowDrawn, Qt::UniqueConnection);
        connect(tool, &SetWindowTool::finished, this, &MainWindow::setWindowToolFinished,
                Qt::UniqueConnection);
        tool->setActive(on && child == active);
    }
}

void MainWindow::setWindowDrawn(const SetWindow& window) {
    auto* tool = qobject_cast<SetWindowTool*>(sender());
    auto* child = tool ? qobject_cast<MdiChild*>(tool->view()) : nullptr;
    if (!child || child->project().field.isEmpty())
        return;
    FieldData& field = child->project().field;
    if (field.sets.size() >= JointSetLimits::MaxSets) {
        MessageBox::warning(this, tr("最多%1个分组").arg(JointSetLimits::MaxSets));
        return;
    }
    QStringList used;
    for (const JointSet& s : qAsConst(field.sets))
        used << s.name;
    const int index = firstFreeSetIndex(used);
    JointSet set;
    set.name = defaultSetName(index);
    set.color = defaultSetColor(index);
    set.centerDirection = window.centerDirection;
    set.centerAngle = window.centerAngle;
    set.halfAngle = window.halfAngle;
    const QVector<JointSet> before = field.sets;
    field.sets.append(set);
    assignMeasurementsToSets(field);
    setsChanged(child, before);
    int count = 0;
    for (const Measurement& m : qAsConst(field.measurements))
        count += m.set == set.name ? 1 : 0;
    statusBar()->showMessage(tr("添加分组%1：%2条测量数据").arg(set.name).arg(count), 3000);
}

void MainWindow::setWindowToolFinished() {
    ui->actDrawSetWindow->setChecked(false);
    syncSetWindowTools();
}
