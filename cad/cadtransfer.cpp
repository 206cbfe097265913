#include "cad/cadtransfer.h"

#include "cad/caddialog.h"
#include "cad/caddrawing.h"
#include "cad/cadexport.h"
#include "cad/cadrecord.h"
#include "model/datacenter.h"
#include "platform/cadclipboard.h"
#include "platform/messagebox.h"

#include <QCoreApplication>
#include <QDir>
#include <QWidget>

QString cadDrawingPath(int cadType) {
    const bool dxf = cadType == CADDialog::AutoCad || cadType == CADDialog::GstarCad;
    return QDir::tempPath() +
           (dxf ? QStringLiteral("/Karven_NYjdsF.dxf") : QStringLiteral("/Karven_NYjdsF.dwg"));
}

bool transferDrawingToCad(QWidget* parent, DataCenter& project, int cadType, int radius, int textPercent) {
    project.cadRadius = radius;
    project.cadTextPercent = textPercent;
    CadDrawing::updateCadColours(project);

    const QString path = cadDrawingPath(cadType);
    // The record holds at most 259 path units; a longer path would reach the
    // CAD program cut off, naming some other file.
    if (!CadClipboardRecord::fits(path)) {
        MessageBox::warning(parent, QCoreApplication::translate(
                                        "CADDialog", "临时文件夹的路径过长，无法将图形复制到CAD软件"));
        return false;
    }
    const bool dxf = cadType == CADDialog::AutoCad || cadType == CADDialog::GstarCad;
    const bool written = dxf ? CadExport::exportDxf(project, path) : CadExport::exportDwg(project, path);
    if (!written)
        return false;

    if (!CadClipboard::place(CadClipboardRecord::build(path), cadType))
        return false;
    if (parent)
        parent->window()->showMinimized();
    return true;
}

bool copyDrawingToCad(QWidget* parent, DataCenter& project) {
    CADDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return transferDrawingToCad(parent, project, dialog.cadType(), dialog.radius(), dialog.textPercent());
}
