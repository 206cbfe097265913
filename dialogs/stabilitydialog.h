#pragma once

#include "model/factors/stabilityparams.h"

#include <QDialog>
#include <QList>

class DataCenter;
class QLineEdit;
class QTableWidget;
struct ParamProblem;

namespace Ui {
class StabilityDialog;
}

// 稳定性计算参数: the factor-of-safety inputs of one project, on four tabs
// (slope and rock, load cases, plane strengths, anchors). The caller hands
// in the project (its inputs, structural planes and wedges, slope dip and
// planar friction angle) with showData() and runs the dialog; after OK,
// params holds the edited inputs. Every field keeps what the user typed: a
// value out of its range is marked, named with its range under the tabs,
// and OK stays disabled (while the switch is on) until it is mended.
class StabilityDialog : public QDialog {
    Q_OBJECT
public:
    explicit StabilityDialog(QWidget* parent = nullptr);
    ~StabilityDialog() override;

    void showData(const DataCenter& project);

    StabilityParams params;

    // The comprehensive horizontal seismic coefficients αw of GB 50330-2013
    // Table 5.2.6 offered in the αw cells, in list order after "none".
    static QList<double> seismicPresets();

    // Dynamic property set (true) on a field or tab marked out of range.
    static const char* const OutOfRangeProperty;
    // Table items: true on a cell marked out of range, true on a strength
    // row that holds the default strength.
    static constexpr int OutOfRangeRole = Qt::UserRole + 10;
    static constexpr int DefaultRole = Qt::UserRole + 11;

public slots:
    void on_buttonBox_accepted();

private:
    // Reads every field as typed into `out` (an empty or malformed number
    // reads as NaN, so that it is named as missing); returns the inputs'
    // problems.
    QList<ParamProblem> collect(StabilityParams& out) const;
    void updateState();
    void markProblems(const QList<ParamProblem>& problems);

    // Load cases and anchors (stabilitydialog_tables.cpp).
    void setupTables();
    void showCases(const QList<LoadCase>& cases);
    void addCaseRow(const LoadCase& loadCase);
    void updateCaseRequired();
    QList<LoadCase> collectCases(QList<ParamProblem>& problems) const;
    void showAnchors(const DataCenter& project);
    void collectAnchors(StabilityParams& out, QList<ParamProblem>& problems) const;
    void strengthEdited(int row, int column);

    Ui::StabilityDialog* ui;
    double faceDip = 45;
    double defaultFriction = 30;
    bool loading = false;
    // The cases the project computed before the dialog: kept as they were
    // (no case list written) when the table still shows exactly these.
    QList<LoadCase> casesBefore;
};
