// 用作结构面: the sets' mean planes as the project's structural planes, and
// the planes' links to their sets.
#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "dialogs/datadialog.h"
#include "dialogs/setplanesdialog.h"
#include "model/fielddata/projectsets.h"
#include "model/fielddata/setlinks.h"
#include "platform/messagebox.h"
#include "ui_mainwindow.h"

#include <QStatusBar>

namespace {
// The planes changed: their geometry, and the analysis when it is on, as
// after the data dialog; the caller then refreshes the window.
void planesChanged(DataCenter& project) {
    project.updateSlopeGeometry();
    project.updatePlanesGeometry();
    if (!project.analysisOff)
        project.analyse();
}

QString choiceText(const JointSet& set, const PlaneRecord& made, const SetStatistics& statistics) {
    QString text = QStringLiteral("%1  %2∠%3  n=%4")
                       .arg(set.name)
                       .arg(made.direction, 0, 'f', 1)
                       .arg(made.angle, 0, 'f', 1)
                       .arg(statistics.count);
    if (set.hasPlane())
        text += MainWindow::tr("（更新结构面%1）").arg(set.planeId);
    return text;
}
} // namespace

void MainWindow::on_actSetPlanes_triggered() {
    MdiChild* child = activeMdiChild();
    if (!child || child->project().field.sets.isEmpty())
        return;
    DataCenter& project = child->project();
    FieldData& field = project.field;
    dropStaleSetLinks(field.sets, project.planes);
    const QVector<SetStatistics> statistics = jointSetStatistics(field);
    QVector<int> chosen;
    QVector<SetPlanesDialog::Choice> choices;
    const int room = setPlaneRoom(project.planes, DataDialog::MaxPlanes);
    const QVector<int> fitting = defaultSetPlaneChoice(field, statistics, room);
    for (int s = 0; s < field.sets.size(); ++s) {
        PlaneRecord made;
        if (!setPlaneOf(field, statistics, s, made))
            continue;
        chosen.append(s);
        choices.append({s, choiceText(field.sets.at(s), made, statistics.at(s)), field.sets.at(s).hasPlane(),
                        fitting.contains(s)});
    }
    if (chosen.isEmpty()) {
        MessageBox::information(this, tr("各组都没有测量结构面"));
        return;
    }
    // More new planes than the project holds: the user picks.
    if (newSetPlanes(field, statistics, chosen) > room) {
        SetPlanesDialog dialog(this);
        dialog.setChoices(choices, project.planes.size(), DataDialog::MaxPlanes);
        if (dialog.exec() != QDialog::Accepted)
            return;
        chosen = dialog.chosen();
    }
    const SetPlanesResult result = putSetPlanes(field, statistics, chosen, project.planes);
    planesChanged(project);
    fieldChanged(child);
    statusBar()->showMessage(tr("添加%1个结构面，更新%2个结构面").arg(result.added).arg(result.updated),
                             3000);
}

void MainWindow::setsChanged(MdiChild* child, const QVector<JointSet>& before) {
    DataCenter& project = child->project();
    FieldData& field = project.field;
    carrySetLinks(field.sets, before);
    dropStaleSetLinks(field.sets, project.planes);
    const QVector<SetStatistics> statistics = jointSetStatistics(field);
    const QVector<int> changed = changedSetPlanes(field, statistics);
    if (!changed.isEmpty()) {
        // The new sets show behind the question.
        child->update();
        updateOverview(child);
        QStringList planeIds, names;
        for (int s : changed) {
            planeIds << QString::number(field.sets.at(s).planeId);
            names << field.sets.at(s).name;
        }
        const QString text = tr("结构面%1来自%2组，该组已改变，是否更新该结构面？")
                                 .arg(planeIds.join(tr("、")), names.join(tr("、")));
        if (MessageBox::ask(this, text)) {
            putSetPlanes(field, statistics, changed, project.planes);
            planesChanged(project);
        } else {
            // The link takes the set as it is now: the question is not repeated.
            for (int s : changed)
                recordSetPlane(field, statistics, s);
        }
    }
    fieldChanged(child);
}
