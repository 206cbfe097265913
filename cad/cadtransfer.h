#pragma once

#include <QString>

class DataCenter;
class QWidget;

// The "复制CAD" command for one project: asks for the CAD options, writes the
// drawing to the temporary folder and places the CAD record on the
// clipboard. Returns true when something was placed.
bool copyDrawingToCad(QWidget* parent, DataCenter& project);

// The command after the dialog: stores R and H in the project, refreshes its
// CAD colours, writes the drawing for cadType (1 AutoCAD and 2 GstarCAD:
// DXF; 4 ZWCAD: DWG), places the record and minimises parent's window.
bool transferDrawingToCad(QWidget* parent, DataCenter& project, int cadType, int radius, int textPercent);

// The fixed temporary drawing file for a CAD type: the system temporary
// folder + "/Karven_NYjdsF.dxf" (".dwg" for ZWCAD).
QString cadDrawingPath(int cadType);
