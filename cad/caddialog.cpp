#include "cad/caddialog.h"

#include "ui_caddialog.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSettings>

#include <climits>
#include <cmath>

namespace {
const QString kCadType = QStringLiteral("cadtype");
const QString kCadRadius = QStringLiteral("cadradius");
const QString kCadHeight = QStringLiteral("cadheigh");
} // namespace

CADDialog::CADDialog(QWidget* parent) : QDialog(parent), ui(new Ui::CADDialog) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setText(tr("复制粘帖到CAD软件"));
    ui->buttonBox->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
    ui->editCadradius->setValidator(radiusValidator(ui->editCadradius));

    m_cadType = storedWhole(QSettings(), kCadType, 1);
    readDrawingSize(m_radius, m_textPercent);
    ui->editCadradius->setText(QString::number(m_radius));
    ui->spinCadheigh->setValue(m_textPercent);
    switch (m_cadType) {
    case GstarCad:
        ui->radioGSCAD->setChecked(true);
        break;
    case ZwCad:
        ui->radioZWCAD->setChecked(true);
        break;
    default:
        ui->radioACAD->setChecked(true);
        break;
    }

    // OK stays unavailable while the radius is outside 10..100 (empty or a
    // single digit while typing, or a stored value out of range).
    connect(ui->editCadradius, &QLineEdit::textChanged, this, &CADDialog::updateOkButton);
    updateOkButton();
}

int CADDialog::storedWhole(const QSettings& settings, const QString& key, int fallback) {
    const QVariant value = settings.value(key, fallback);
    if (value.userType() == QMetaType::Double || value.userType() == QMetaType::Float) {
        // The framework's own conversion of these is undefined.
        const double d = std::round(value.toDouble());
        return std::isfinite(d) && d >= INT_MIN && d <= INT_MAX ? int(d) : 0;
    }
    bool ok = false;
    const int whole = value.toInt(&ok);
    return ok ? whole : 0;
}

CADDialog::~CADDialog() {
    delete ui;
}

void CADDialog::readDrawingSize(int& radius, int& textPercent) {
    const QSettings settings;
    radius = storedWhole(settings, kCadRadius, 50);
    textPercent = storedWhole(settings, kCadHeight, 5);
}

void CADDialog::writeDrawingSize(int radius, int textPercent) {
    QSettings settings;
    settings.setValue(kCadRadius, radius);
    settings.setValue(kCadHeight, textPercent);
}

QValidator* CADDialog::radiusValidator(QObject* parent) {
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^([1-9][0-9]|[1][0][0])$")),
                                           parent);
}

bool CADDialog::radiusAcceptable(const QString& text) {
    bool ok = false;
    const int r = text.toInt(&ok);
    return ok && r >= 10 && r <= 100;
}

int CADDialog::radiusFrom(const QString& text) {
    bool ok = false;
    const int r = text.toInt(&ok, 10);
    return ok ? r : 0;
}

void CADDialog::updateOkButton() {
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(radiusAcceptable(ui->editCadradius->text()));
}

void CADDialog::on_buttonBox_accepted() {
    if (ui->radioACAD->isChecked())
        m_cadType = AutoCad;
    else if (ui->radioGSCAD->isChecked())
        m_cadType = GstarCad;
    else if (ui->radioZWCAD->isChecked())
        m_cadType = ZwCad;
    else
        m_cadType = AutoCad;
    m_radius = radiusFrom(ui->editCadradius->text());
    m_textPercent = ui->spinCadheigh->value();

    QSettings().setValue(kCadType, m_cadType);
    writeDrawingSize(m_radius, m_textPercent);
}
