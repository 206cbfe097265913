#include "app/mainwindow.h"

#include "app/mdichild.h"
#include "cad/cadtransfer.h"
#include "ui_mainwindow.h"

void MainWindow::on_actCAD_triggered() {
    if (MdiChild* child = activeMdiChild())
        copyDrawingToCad(this, child->project());
}
