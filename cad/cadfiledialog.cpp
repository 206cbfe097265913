#include "cad/cadfiledialog.h"

#include "cad/caddialog.h"
#include "ui_cadfiledialog.h"

#include <QPushButton>

CadFileDialog::CadFileDialog(QWidget* parent) : QDialog(parent), ui(new Ui::CadFileDialog) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setText(tr("导出"));
    ui->buttonBox->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
    ui->editCadradius->setValidator(CADDialog::radiusValidator(ui->editCadradius));
    CADDialog::readDrawingSize(m_radius, m_textPercent);
    ui->editCadradius->setText(QString::number(m_radius));
    ui->spinCadheigh->setValue(m_textPercent);
    connect(ui->editCadradius, &QLineEdit::textChanged, this, &CadFileDialog::updateOkButton);
    updateOkButton();
}

CadFileDialog::~CadFileDialog() {
    delete ui;
}

void CadFileDialog::updateOkButton() {
    ui->buttonBox->button(QDialogButtonBox::Ok)
        ->setEnabled(CADDialog::radiusAcceptable(ui->editCadradius->text()));
}

void CadFileDialog::on_buttonBox_accepted() {
    m_radius = CADDialog::radiusFrom(ui->editCadradius->text());
    m_textPercent = ui->spinCadheigh->value();
    CADDialog::writeDrawingSize(m_radius, m_textPercent);
}
