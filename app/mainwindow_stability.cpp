// 稳定性计算参数: the factor-of-safety inputs of the active project.
#include "app/mainwindow.h"

void MainWindow::on_actStability_triggered() {}
