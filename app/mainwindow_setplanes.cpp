// 用作结构面: the sets' mean planes as the project's structural planes, and
// the planes' links to their sets.
#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "ui_mainwindow.h"

void MainWindow::on_actSetPlanes_triggered() {}

void MainWindow::setsChanged(MdiChild* child, const QVector<JointSet>& before) {
    Q_UNUSED(before);
    fieldChanged(child);
}
