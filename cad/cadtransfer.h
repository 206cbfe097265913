#pragma once

class DataCenter;
class QWidget;

// The "复制CAD" command for one project: asks for the CAD options, writes the
// drawing to the temporary folder and places the CAD record on the
// clipboard. Returns true when something was placed.
bool copyDrawingToCad(QWidget* parent, DataCenter& project);
