// 导出CAD文件: the CAD drawing saved as a DXF or DWG file chosen by the user.
#include "app/mainwindow.h"

void MainWindow::on_actExportCad_triggered() {}
