// 稳定性计算参数: the factor-of-safety inputs of the active project.
#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "dialogs/stabilitydialog.h"

void MainWindow::on_actStability_triggered() {
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    DataCenter& project = child->project();
    StabilityDialog dialog(this);
    dialog.showData(project);
    if (dialog.exec() != QDialog::Accepted)
        return;
    project.stability = dialog.params;
    updateOverview(child);
    child->setWindowModified(true);
    child->update();
}
