#include "dialogs/rosedialog.h"

#include "ui_rosedialog.h"

#include <QApplication>
#include <QClipboard>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>

RoseDialog::RoseDialog(const FieldData& data, QWidget* parent)
    : QDialog(parent), ui(new Ui::RoseDialog), field(data) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->buttonBox->button(QDialogButtonBox::Close)->setText(tr("关闭"));
    ui->labelRose->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);

    QSettings settings;
    ui->comboKind->setCurrentIndex(settings.value(QStringLiteral("rosestrike"), true).toBool() ? 0 : 1);
    ui->comboSector->setCurrentIndex(settings.value(QStringLiteral("rosesector"), 10).toInt() == 5 ? 1 : 0);
    ui->comboScale->setCurrentIndex(settings.value(QStringLiteral("rosepercent"), false).toBool() ? 1 : 0);
    ui->checkWeighted->setChecked(settings.value(QStringLiteral("roseweighted"), true).toBool());

    auto changed = [this] {
        const RoseSettings o = options();
        QSettings s;
        s.setValue(QStringLiteral("rosestrike"), o.quantity == RoseQuantity::Strike);
        s.setValue(QStringLiteral("rosesector"), int(o.sectorWidth));
        s.setValue(QStringLiteral("rosepercent"), o.percent);
        s.setValue(QStringLiteral("roseweighted"), o.weighted);
        redraw();
    };
    for (QComboBox* box : {ui->comboKind, ui->comboSector, ui->comboScale})
        connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this, changed);
    connect(ui->checkWeighted, &QCheckBox::toggled, this, changed);
    redraw();
}

RoseDialog::~RoseDialog() {
    delete ui;
}

RoseSettings RoseDialog::options() const {
    RoseSettings o;
    o.quantity = ui->comboKind->currentIndex() == 0 ? RoseQuantity::Strike : RoseQuantity::DipDirection;
    o.sectorWidth = ui->comboSector->currentIndex() == 1 ? 5 : 10;
    o.percent = ui->comboScale->currentIndex() == 1;
    o.weighted = ui->checkWeighted->isChecked();
    return o;
}

QImage RoseDialog::picture() const {
    const QSize size = ui->labelRose->size().expandedTo(QSize(400, 400));
    QImage image(size, QImage::Format_RGB32);
    RosePicture::renderImage(image, field, options());
    return image;
}

void RoseDialog::redraw() {
    ui->labelRose->setPixmap(QPixmap::fromImage(picture()).scaled(ui->labelRose->size(), Qt::KeepAspectRatio,
                                                                  Qt::SmoothTransformation));
}

void RoseDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    redraw();
}

void RoseDialog::on_pushCopy_clicked() {
    QApplication::clipboard()->setImage(picture());
}
