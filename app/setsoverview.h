#pragma once

class DataCenter;
class QTreeWidget;

// The joint sets in the overview panel, when the project's measurements have
// sets: "结构面分组" (a row per set: mean plane, count, K, α95) and, while the
// analysis is on, "临界百分比" (planar sliding, wedge sliding and toppling for
// each set and for all measurements). The figures are those of the report.
void addJointSetRows(QTreeWidget* tree, const DataCenter& project);
