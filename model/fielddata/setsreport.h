#pragma once

class DataCenter;
class QTextStream;

// The joint-set section of the calculation report (结构面分组): the set table
// and the critical percentages of the measurements. Written only when the
// project's measurements have sets, so every other report keeps its bytes.
void writeJointSetsSection(QTextStream& out, const DataCenter& project);
