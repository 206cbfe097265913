// The joint-set commands: 结构面分组 (the sets dialog), 自动分组 and
// 画分组窗 (a window dragged on the net).
#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "ui_mainwindow.h"

void MainWindow::on_actJointSets_triggered() {}

void MainWindow::on_actAutoSets_triggered() {}

void MainWindow::on_actDrawSetWindow_triggered(bool checked) {
    Q_UNUSED(checked);
}
