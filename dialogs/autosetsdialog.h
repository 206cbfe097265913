#pragma once

#include "model/fielddata/projectsets.h"

#include <QDialog>

namespace Ui {
class AutoSetsDialog;
}

// 自动分组: the settings of sets found from the density's peaks — 组数 (0:
// as many as the peaks), 峰值阈值, 最小间隔角 and 分组窗半锥角 — starting
// from the last ones used in this session (AutoSetRequest's defaults at
// first).
class AutoSetsDialog : public QDialog {
    Q_OBJECT
public:
    explicit AutoSetsDialog(QWidget* parent = nullptr);
    ~AutoSetsDialog() override;

    void setRequest(const AutoSetRequest& request);
    AutoSetRequest request() const;

    void accept() override;

private:
    Ui::AutoSetsDialog* ui;
};
