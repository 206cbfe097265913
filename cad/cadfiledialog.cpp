#include "cad/cadfiledialog.h"

#include "cad/caddialog.h"
#include "ui_cadfiledialog.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSettings>

namespace {
const QString kCadRadius = QStringLiteral("cadradius");
const QString kCadHeight = QStringLiteral("cadheigh");
} // namespace

CadFileDialog::CadFileDialog(QWidget* parent) : QDialog(parent), ui(new Ui::CadFileDialog) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setText(tr("导出"));
    ui->buttonBox->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
    ui->editCadradius->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^([1-9][0-9]|[1][0][0])$")), ui->editCadradius));
    {
        QSettings settings;
        m_radius = CADDialog::storedWhole(settings, kCadRadius, 50);
        m_textPercent = CADDialog::storedWhole(settings, kCadHeight, 5);
    }
    ui->editCadradius->setText(QString::number(m_radius));
    ui->spinCadheigh->setValue(m_textPercent);
    connect(ui->editCadradius, &QLineEdit::textChanged, this, &CadFileDialog::updateOkButton);
    updateOkButton();
}

CadFileDialog::~CadFileDialog() {
    delete ui;
}

void CadFileDialog::updateOkButton() {
    bool ok = false;
    const int r = ui->editCadradius->text().toInt(&ok);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(ok && r >= 10 && r <= 100);
}

void CadFileDialog::on_buttonBox_accepted() {
    bool ok = false;
    m_radius = ui->editCadradius->text().toInt(&ok, 10);
    if (!ok)
        m_radius = 0;
    m_textPercent = ui->spinCadheigh->value();
    QSettings settings;
    settings.setValue(kCadRadius, m_radius);
    settings.setValue(kCadHeight, m_textPercent);
}
