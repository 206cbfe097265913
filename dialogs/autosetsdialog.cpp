#include "dialogs/autosetsdialog.h"

#include "model/fielddata/jointset.h"
#include "ui_autosetsdialog.h"

#include <QPushButton>

namespace {
// What the dialog proposes: the last request accepted in this session.
AutoSetRequest& lastRequest() {
    static AutoSetRequest request;
    return request;
}
} // namespace

AutoSetsDialog::AutoSetsDialog(QWidget* parent) : QDialog(parent), ui(new Ui::AutoSetsDialog) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setText(tr("确定"));
    ui->buttonBox->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
    ui->spinCount->setMaximum(JointSetLimits::MaxSets);
    setRequest(lastRequest());
}

AutoSetsDialog::~AutoSetsDialog() {
    delete ui;
}

void AutoSetsDialog::setRequest(const AutoSetRequest& request) {
    ui->spinCount->setValue(request.count);
    ui->spinThreshold->setValue(request.threshold);
    ui->spinSeparation->setValue(request.minSeparation);
    ui->spinCone->setValue(request.coneAngle);
}

AutoSetRequest AutoSetsDialog::request() const {
    AutoSetRequest request;
    request.count = ui->spinCount->value();
    request.threshold = ui->spinThreshold->value();
    request.minSeparation = ui->spinSeparation->value();
    request.coneAngle = ui->spinCone->value();
    return request;
}

void AutoSetsDialog::accept() {
    lastRequest() = request();
    QDialog::accept();
}
