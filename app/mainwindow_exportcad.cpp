// 导出CAD文件: the CAD drawing saved as a DXF or DWG file chosen by the user.
#include "app/cadexportfolder.h"
#include "app/filedialogs.h"
#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "cad/cadfiledialog.h"
#include "cad/cadfileexport.h"
#include "platform/messagebox.h"

#include <QApplication>
#include <QDir>
#include <QStatusBar>

namespace {
class ExportWaitCursor {
public:
    ExportWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~ExportWaitCursor() { QApplication::restoreOverrideCursor(); }
    ExportWaitCursor(const ExportWaitCursor&) = delete;
    ExportWaitCursor& operator=(const ExportWaitCursor&) = delete;
};
} // namespace

void MainWindow::on_actExportCad_triggered() {
    MdiChild* child = activeMdiChild();
    if (!child || child->project().analysisOff)
        return;

    CadFileDialog options(this);
    if (options.exec() != QDialog::Accepted)
        return;

    const QString chosen = FileDialogs::getSaveFileName(
        child, tr("导出CAD文件"),
        CadExportFolder::proposedPath(child->proposedSavePath(), QStringLiteral(".dxf")),
        CadFileExport::fileFilter());
    if (chosen.isEmpty())
        return;

    QString error;
    bool written = false;
    {
        ExportWaitCursor wait;
        written = CadFileExport::writeDrawingFile(child->project(), chosen, options.radius(),
                                                  options.textPercent(), error);
    }
    if (!written) {
        MessageBox::warning(child, error);
        return;
    }
    CadExportFolder::remember(chosen);
    // Long enough to read the path.
    statusBar()->showMessage(tr("已导出CAD文件：%1").arg(QDir::toNativeSeparators(chosen)), 5000);
}
