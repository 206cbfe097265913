#pragma once

#include "model/factors/stabilityparams.h"

#include <QDialog>

class DataCenter;

namespace Ui {
class StabilityDialog;
}

// 稳定性计算参数: the factor-of-safety inputs of one project. The caller
// hands in the project (its inputs, structural planes, slope dip and planar
// friction angle) with showData() and runs the dialog; after OK, params
// holds the edited inputs. Every field keeps its value in its physical
// range; OK stays disabled while the switch is on and any input is out of
// range.
class StabilityDialog : public QDialog {
    Q_OBJECT
public:
    explicit StabilityDialog(QWidget* parent = nullptr);
    ~StabilityDialog() override;

    void showData(const DataCenter& project);

    StabilityParams params;

    // The comprehensive horizontal seismic coefficients αw of GB 50330-2013
    // Table 5.2.6 offered in the seismic list, in list order after "none".
    static QList<double> seismicPresets();

public slots:
    void on_buttonBox_accepted();

private:
    // Reads the fields into `out` (a field that is out of range keeps the
    // value of `out`); true when every input is in range.
    bool collect(StabilityParams& out, QString* problem = nullptr) const;
    void updateState();

    Ui::StabilityDialog* ui;
    double faceDip = 45;
};
