// The measurement commands: 测量数据 (the table), 导入测量数据, the layer
// switch and the rose diagram.
#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "dialogs/importdialog.h"
#include "dialogs/measurementdialog.h"
#include "dialogs/rosedialog.h"
#include "ui_mainwindow.h"

#include <QStatusBar>

void MainWindow::fieldChanged(MdiChild* child) {
    child->setWindowModified(true);
    child->update();
    updateOverview(child);
    updateActions();
}

void MainWindow::on_actMeasurements_triggered() {
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    DataCenter& project = child->project();
    MeasurementDialog dialog(this);
    dialog.setField(project.field);
    dialog.setUndoState(child->importUndoable, child->measurementsBeforeImport);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool hadMeasurements = !project.field.isEmpty();
    const QVector<JointSet> setsBefore = project.field.sets;
    project.field = dialog.field();
    // A project that gets its first measurements shows them.
    if (!hadMeasurements && !project.field.isEmpty())
        project.field.showLayer = true;
    child->importUndoable = dialog.undoAvailable();
    child->measurementsBeforeImport = dialog.rowsBeforeImport();
    // Rows moved between sets, or deleted, change the sets' statistics.
    if (!setsBefore.isEmpty())
        setsChanged(child, setsBefore);
    else
        fieldChanged(child);
}

void MainWindow::on_actImportMeasurements_triggered() {
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    ImportDialog dialog(this);
    dialog.setTraverses(child->project().field.traverses);
    if (!dialog.chooseFile() || dialog.exec() != QDialog::Accepted)
        return;
    DataCenter& project = child->project();
    const bool hadMeasurements = !project.field.isEmpty();
    child->measurementsBeforeImport = project.field.measurements;
    child->importUndoable = true;
    project.field.measurements += dialog.accepted();
    if (!hadMeasurements)
        project.field.showLayer = true;
    fieldChanged(child);
    statusBar()->showMessage(tr("导入%1条测量数据").arg(dialog.accepted().size()), 2000);
}

void MainWindow::on_actFieldLayer_triggered(bool checked) {
    MdiChild* child = activeMdiChild();
    if (!child || child->project().field.isEmpty())
        return;
    child->project().field.showLayer = checked;
    fieldChanged(child);
}

void MainWindow::on_actRose_triggered() {
    MdiChild* child = activeMdiChild();
    if (!child || child->project().field.isEmpty())
        return;
    RoseDialog dialog(child->project().field, this);
    dialog.exec();
}
