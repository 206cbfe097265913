#pragma once

#include <QString>

class DataCenter;
class QTextStream;
struct CriticalCount;
struct SetStatistics;

// The joint-set section of the calculation report (结构面分组): the set table
// and the critical percentages of the measurements. Written only when the
// project's measurements have sets, so every other report keeps its bytes.
void writeJointSetsSection(QTextStream& out, const DataCenter& project);

// The short texts of a set and of a critical count, as the overview shows
// them: "145.2∠35.1 n=54 K=38 α95=2.7°" (no K or α95 where a set of one has
// none) and "12/340 (3.5%)".
QString setSummaryText(const SetStatistics& statistics);
QString criticalCountText(const CriticalCount& count);
