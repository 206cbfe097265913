#include "dialogs/inputdialog.h"

#include "dialogs/inputpatterns.h"
#include "ui_inputdialog.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>

InputDialog::InputDialog(QWidget* parent) : QDialog(parent), ui(new Ui::InputDialog) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    // Return never presses a button, not even the focused one (see
    // keyPressEvent); OK and Cancel are pressed by mouse or Space.
    for (QPushButton* button : ui->buttonBox->findChildren<QPushButton*>())
        button->installEventFilter(this);
}

bool InputDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

InputDialog::~InputDialog() {
    delete ui;
}

void InputDialog::prepareFields() {
    ui->labelText1->setText(tr("item1"));
    ui->labelText2->setText(tr("item2"));

    auto validator = [this](const QString& pattern) {
        return new QRegularExpressionValidator(QRegularExpression(pattern), this);
    };
    const bool attitude = (kind == ProjectEntry && item == SlopeAttitude) || kind == PlaneEntry;
    const bool criteria = kind == ProjectEntry && item == SlidingCriteria;
    if (attitude) {
        ui->lineEdit1->setValidator(validator(InputPatterns::dipDirection()));
        ui->lineEdit2->setValidator(validator(InputPatterns::dip()));
    } else if (criteria) {
        ui->lineEdit1->setValidator(validator(InputPatterns::includedAngle()));
        ui->lineEdit2->setValidator(validator(InputPatterns::dip()));
    }

    if (kind == ProjectEntry && item == ProjectName) {
        ui->labelText1->setText(tr("项目名称"));
        ui->labelText2->setText(tr("项目名称"));
        ui->lineEdit1->setText(value1);
        ui->labelText2->hide();
        ui->lineEdit2->setEnabled(false);
        ui->lineEdit2->hide();
        return;
    }
    if (attitude) {
        ui->labelText1->setText(tr("倾向(0-359.9°)"));
        ui->labelText2->setText(tr("倾角(0-89.9°)"));
    } else if (criteria) {
        ui->labelText1->setText(tr("倾向与边坡夹角(1-90°)"));
        ui->labelText2->setText(tr("滑动面摩擦角(0-89.9°)"));
    } else if (kind == ProjectEntry) {
        return;
    } else {
        ui->lineEdit1->setEnabled(false);
        ui->lineEdit2->setEnabled(false);
        return;
    }
    ui->lineEdit1->setText(value1);
    ui->lineEdit2->setText(value2);
}

void InputDialog::on_buttonBox_accepted() {
    value1 = ui->lineEdit1->text();
    value2 = ui->lineEdit2->text();
}

// Focus for "the buttons": the OK button, which a further Return does not
// press (the buttons swallow Return, see eventFilter).
static void focusButtons(QDialogButtonBox* box) {
    if (QPushButton* ok = box->button(QDialogButtonBox::Ok))
        ok->setFocus();
    else
        box->setFocus();
}

void InputDialog::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Escape)
        return;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (ui->lineEdit1->hasFocus()) {
            if (ui->lineEdit2->isEnabled()) {
                ui->lineEdit2->setFocus();
                ui->lineEdit2->selectAll();
            } else {
                focusButtons(ui->buttonBox);
            }
        } else if (ui->lineEdit2->hasFocus()) {
            focusButtons(ui->buttonBox);
        }
        return;
    }
    QDialog::keyPressEvent(event);
}
