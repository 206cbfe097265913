#pragma once

#include "model/fielddata/measurements.h"
#include "model/fielddata/setstatistics.h"

#include <QDialog>
#include <QStringList>
#include <QVector>

class QTableWidgetItem;

namespace Ui {
class SetsDialog;
}

// 结构面分组: the project's joint sets as a table — name, colour, the window
// (中心倾向, 中心倾角, 半锥角) — with each set's statistics (条数, 平均产状, K,
// α95) recomputed from the measurements as the user edits, rows added and
// deleted, and which lines of intersection count for wedges (楔形体交线).
// OK stays disabled with the reason shown while a set is invalid or two
// share a name. Works on a copy; the sets are edited in place, so what a set
// carries beyond the table's columns stays as it was.
class SetsDialog : public QDialog {
    Q_OBJECT
public:
    enum Column {
        Name,
        Color,
        CenterDirection,
        CenterAngle,
        HalfAngle,
        Count,
        MeanPlane,
        K,
        Alpha95,
        ColumnCount
    };

    explicit SetsDialog(QWidget* parent = nullptr);
    ~SetsDialog() override;

    void setField(const FieldData& field);
    // The field with the edited sets and wedge pairs. When any window moved,
    // a set was added or deleted, the measurements are assigned to the
    // windows again; otherwise they keep their sets (renamed with them).
    FieldData field() const;

    // Why OK is disabled (the texts shown below the table), empty when the
    // sets can be taken.
    QStringList problems() const { return currentProblems; }

public slots:
    void on_pushAdd_clicked();
    void on_pushRemove_clicked();

private:
    struct Row {
        JointSet set;
        int origin = -1; // index of the set in the field given, -1 for a new row
    };
    void fillRow(int row, const JointSet& set);
    // Reads the table into `rows`; the problems of the rows that cannot be
    // taken are collected.
    QStringList readTable(QVector<bool>& valid);
    void refresh();
    FieldData result(const QVector<bool>& valid) const;
    QTableWidgetItem* numberItem(double value) const;

    Ui::SetsDialog* ui;
    FieldData original;
    QVector<Row> rows;
    QStringList currentProblems;
    bool loading = false;
};
