#pragma once

class DataCenter;
class QImage;
class QTextStream;

// The 计算书's section 结构面统计 for a project with measurements: the number
// of measurements and traverses, the density method and counting size, the
// maximum density and the plane at it, the density plot with the poles and
// the rose diagram (pictures drawn by the caller, embedded as PNG). Writes
// nothing for a project without measurements.
void writeFieldSection(QTextStream& out, const DataCenter& project, const QImage& densityPicture,
                       const QImage& rosePicture);
