#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "dialogs/datadialog.h"
#include "dialogs/resulttextdialog.h"
#include "model/factors/stabilityplanes.h"
#include "model/factors/stabilityreport.h"
#include "model/fielddata/setlinks.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QClipboard>

void MainWindow::on_actData_triggered() {
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    DataCenter& project = child->project();
    DataDialog dialog(this);
    dialog.projectName = project.ProjectName;
    dialog.slope = project.slope;
    dialog.planes = project.planes.toVector();
    dialog.includedAngle = project.IncludedAnglePlanar;
    dialog.frictionAngle = project.FrictionAnglePlanar;
    dialog.topple = project.Topple;
    dialog.showData();
    if (dialog.exec() != QDialog::Accepted)
        return;

    project.ProjectName = dialog.projectName;
    project.slope = dialog.slope;
    const QList<PlaneRecord> before = project.planes;
    project.planes = dialog.planes.toList();
    followRenumberedPlanes(project.stability, before, project.planes);
    followSetPlanes(project.field.sets, project.planes);
    project.IncludedAnglePlanar = dialog.includedAngle;
    project.FrictionAnglePlanar = dialog.frictionAngle;
    project.Topple = dialog.topple;
    project.updateSlopeGeometry();
    project.updatePlanesGeometry();
    updateOverview(child);
    child->setWindowModified(true);
    child->update();
}

void MainWindow::on_actTXT_triggered() {
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    DataCenter& project = child->project();
    project.buildConclusion();
    ResultTextDialog dialog(this);
    dialog.showResult(project.conclusion, project.Topple);
    dialog.showFactors(stabilityConclusion(project));
    if (dialog.exec() != QDialog::Accepted)
        return;
    QApplication::clipboard()->setText(dialog.result);
    showMinimized();
}
