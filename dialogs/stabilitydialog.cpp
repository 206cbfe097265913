#include "dialogs/stabilitydialog.h"

#include "model/datacenter.h"
#include "model/factors/stabilityfactors.h"
#include "model/labels.h"
#include "ui_stabilitydialog.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <QValidator>

#include <cmath>

namespace {

enum Column { ColNumber = 0, ColPlane, ColCohesion, ColFriction, ColumnCount };
constexpr int SeismicCustom = -1; // item data of the "typed value" entry

// A decimal number between low and high (each bound open or closed) with at
// most `decimals` decimals. A keystroke that takes the text above the range
// is refused; a text below it (on the way to a valid one, as "0" towards
// "0.5") is intermediate, so the field is not acceptable yet.
class RangeValidator : public QValidator {
public:
    RangeValidator(double low, bool lowOpen, double high, bool highOpen, int decimals, QObject* parent)
        : QValidator(parent), low(low), high(high), lowOpen(lowOpen), highOpen(highOpen),
          pattern(QStringLiteral("^\\d{0,5}(\\.\\d{0,%1})?$").arg(decimals)) {}

    void setHigh(double value) { high = value; }

    State validate(QString& input, int&) const override {
        if (input.isEmpty() || input == QLatin1String("."))
            return Intermediate;
        if (!pattern.match(input).hasMatch())
            return Invalid;
        const double value = input.toDouble();
        if (value > high || (highOpen && value >= high))
            return Invalid;
        if (value < low || (lowOpen && value <= low))
            return Intermediate;
        return Acceptable;
    }

private:
    double low, high;
    bool lowOpen, highOpen;
    QRegularExpression pattern;
};

// Cells of the strength table: the editor carries a RangeValidator, and only
// an acceptable text reaches the cell.
class RangeDelegate : public QStyledItemDelegate {
public:
    RangeDelegate(double high, bool highOpen, QObject* parent)
        : QStyledItemDelegate(parent), high(high), highOpen(highOpen) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* editor = new QLineEdit(parent);
        editor->setValidator(new RangeValidator(0, false, high, highOpen, 3, editor));
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QLineEdit*>(editor)->setText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        auto* edit = static_cast<QLineEdit*>(editor);
        if (edit->hasAcceptableInput())
            model->setData(index, QString::number(edit->text().toDouble()), Qt::EditRole);
    }

private:
    double high;
    bool highOpen;
};

QString numberText(double value) {
    return QString::number(value);
}

// The edit's value when its text is acceptable; otherwise `field` stays.
bool takeEdit(const QLineEdit* edit, double& field) {
    if (!edit->hasAcceptableInput())
        return false;
    field = edit->text().toDouble();
    return true;
}

} // namespace

QList<double> StabilityDialog::seismicPresets() {
    return {0.025, 0.038, 0.050, 0.075, 0.100};
}

StabilityDialog::StabilityDialog(QWidget* parent) : QDialog(parent), ui(new Ui::StabilityDialog) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    ui->editHeight->setValidator(new RangeValidator(0, true, 10000, false, 3, this));
    ui->editUpperDip->setValidator(new RangeValidator(0, false, faceDip, true, 2, this));
    ui->editUnitWeight->setValidator(new RangeValidator(0, true, 100, false, 3, this));
    ui->editWaterWeight->setValidator(new RangeValidator(0, true, 100, false, 3, this));
    ui->editCrackDistance->setValidator(new RangeValidator(0, false, 10000, false, 3, this));
    ui->editCrackWater->setValidator(new RangeValidator(0, false, 1, false, 3, this));
    ui->editSeismic->setValidator(new RangeValidator(0, false, 0.5, false, 4, this));

    ui->comboSeismic->addItem(tr("不考虑地震作用"), 0.0);
    const char* const intensities[] = {QT_TR_NOOP("7度（0.10g）"), QT_TR_NOOP("7度（0.15g）"),
                                       QT_TR_NOOP("8度（0.20g）"), QT_TR_NOOP("8度（0.30g）"),
                                       QT_TR_NOOP("9度（0.40g）")};
    const QList<double> presets = seismicPresets();
    for (int i = 0; i < presets.size(); ++i)
        ui->comboSeismic->addItem(tr("%1：αw=%2").arg(tr(intensities[i])).arg(presets.at(i), 0, 'f', 3),
                                  presets.at(i));
    ui->comboSeismic->addItem(tr("输入综合水平地震系数"), double(SeismicCustom));
    ui->comboSafetyClass->addItems({tr("一级"), tr("二级"), tr("三级")});

    QTableWidget* table = ui->tableStrength;
    table->setColumnCount(ColumnCount);
    table->setHorizontalHeaderLabels({tr("编号"), tr("结构面"), tr("粘聚力c(kPa)"), tr("内摩擦角φ(°)")});
    table->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section{background:rgba(36,161,254,50);}"));
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(ColNumber, QHeaderView::ResizeToContents);
    table->verticalHeader()->hide();
    table->setItemDelegateForColumn(ColCohesion, new RangeDelegate(100000, false, this));
    table->setItemDelegateForColumn(ColFriction, new RangeDelegate(90, true, this));

    const auto changed = [this] { updateState(); };
    connect(ui->checkEnabled, &QCheckBox::toggled, this, changed);
    for (QLineEdit* edit : {ui->editHeight, ui->editUpperDip, ui->editUnitWeight, ui->editWaterWeight,
                            ui->editCrackDistance, ui->editCrackWater, ui->editSeismic})
        connect(edit, &QLineEdit::textChanged, this, changed);
    for (QRadioButton* radio : {ui->radioCrackGiven, ui->radioPermanent})
        connect(radio, &QRadioButton::toggled, this, changed);
    connect(ui->comboSafetyClass, QOverload<int>::of(&QComboBox::currentIndexChanged), this, changed);
    connect(ui->comboSeismic, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        const double preset = ui->comboSeismic->currentData().toDouble();
        if (preset != SeismicCustom)
            ui->editSeismic->setText(numberText(preset));
        updateState();
    });
}

StabilityDialog::~StabilityDialog() {
    delete ui;
}

void StabilityDialog::showData(const DataCenter& project) {
    params = project.stability;
    faceDip = project.slope.angle;
    static_cast<RangeValidator*>(const_cast<QValidator*>(ui->editUpperDip->validator()))->setHigh(faceDip);
    ui->labelUpperDip->setText(tr("坡顶面倾角ψs（°，0≤ψs＜%1°）").arg(numberText(faceDip)));

    ui->checkEnabled->setChecked(params.enabled);
    ui->editHeight->setText(numberText(params.height));
    ui->editUpperDip->setText(numberText(params.upperDip));
    ui->editUnitWeight->setText(numberText(params.unitWeight));
    ui->editWaterWeight->setText(numberText(params.waterWeight));
    (params.crackCritical ? ui->radioCrackCritical : ui->radioCrackGiven)->setChecked(true);
    ui->editCrackDistance->setText(numberText(params.crackDistance));
    ui->editCrackWater->setText(numberText(params.crackWater));
    (params.wedgeSaturated ? ui->radioWedgeSaturated : ui->radioWedgeDry)->setChecked(true);
    (params.permanent ? ui->radioPermanent : ui->radioTemporary)->setChecked(true);
    ui->comboSafetyClass->setCurrentIndex(qBound(1, params.safetyClass, 3) - 1);

    int seismicIndex = params.seismic == 0 ? 0 : ui->comboSeismic->count() - 1;
    const QList<double> presets = seismicPresets();
    for (int i = 0; i < presets.size(); ++i) {
        if (std::abs(params.seismic - presets.at(i)) < 1e-9)
            seismicIndex = i + 1;
    }
    ui->comboSeismic->setCurrentIndex(seismicIndex);
    ui->editSeismic->setText(numberText(params.seismic));

    QTableWidget* table = ui->tableStrength;
    table->setRowCount(project.planes.size());
    for (int row = 0; row < project.planes.size(); ++row) {
        const PlaneRecord& plane = project.planes.at(row);
        const PlaneStrength strength =
            params.planes.value(plane.id, PlaneStrength{0, project.FrictionAnglePlanar});
        const QString name = (plane.notes.isEmpty() ? Labels::kindWord(plane.type) : plane.notes) +
                             QLatin1Char(' ') + Labels::attitudeText(plane.direction, plane.angle);
        const QStringList texts{QString::number(plane.id), name, numberText(strength.cohesion),
                                numberText(strength.friction)};
        for (int column = 0; column < ColumnCount; ++column) {
            auto* item = new QTableWidgetItem(texts.at(column));
            item->setTextAlignment(Qt::AlignCenter);
            if (column < ColCohesion)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            item->setData(Qt::UserRole, plane.id);
            table->setItem(row, column, item);
        }
    }
    updateState();
}

bool StabilityDialog::collect(StabilityParams& out, QString* problem) const {
    bool ok = true;
    auto take = [&ok](const QLineEdit* edit, double& field) { ok = takeEdit(edit, field) && ok; };
    out.enabled = ui->checkEnabled->isChecked();
    take(ui->editHeight, out.height);
    take(ui->editUpperDip, out.upperDip);
    double unitWeight = out.unitWeight, waterWeight = out.waterWeight;
    take(ui->editUnitWeight, unitWeight);
    take(ui->editWaterWeight, waterWeight);
    out.crackCritical = ui->radioCrackCritical->isChecked();
    if (!out.crackCritical)
        take(ui->editCrackDistance, out.crackDistance);
    take(ui->editCrackWater, out.crackWater);
    out.wedgeSaturated = ui->radioWedgeSaturated->isChecked();
    const double preset = ui->comboSeismic->currentData().toDouble();
    if (preset == SeismicCustom)
        take(ui->editSeismic, out.seismic);
    else
        out.seismic = preset;
    out.safetyClass = ui->comboSafetyClass->currentIndex() + 1;
    out.permanent = ui->radioPermanent->isChecked();

    if (!ok && problem)
        *problem = tr("有数值超出有效范围或尚未填写");
    if (unitWeight > waterWeight) {
        out.unitWeight = unitWeight;
        out.waterWeight = waterWeight;
    } else {
        if (ok && problem)
            *problem = tr("岩体重度γ须大于水的重度γw");
        ok = false;
    }

    out.planes.clear();
    const QTableWidget* table = ui->tableStrength;
    for (int row = 0; row < table->rowCount(); ++row) {
        PlaneStrength strength;
        strength.cohesion = table->item(row, ColCohesion)->text().toDouble();
        strength.friction = table->item(row, ColFriction)->text().toDouble();
        out.planes.insert(table->item(row, ColNumber)->data(Qt::UserRole).toInt(), strength);
    }
    return ok && isValidStabilityParams(out, faceDip);
}

void StabilityDialog::updateState() {
    const bool enabled = ui->checkEnabled->isChecked();
    ui->widgetInputs->setEnabled(enabled);
    ui->editCrackDistance->setEnabled(ui->radioCrackGiven->isChecked());
    ui->editSeismic->setEnabled(ui->comboSeismic->currentData().toDouble() == SeismicCustom);

    StabilityParams current = params;
    QString problem;
    const bool valid = collect(current, &problem);
    const double required = requiredFactor(current);
    ui->labelRequired->setText(std::isfinite(required) ? QString::number(required, 'f', 2) : tr("表中无值"));
    ui->labelHint->setText(enabled && !valid ? problem : QString());
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(valid || !enabled);
}

void StabilityDialog::on_buttonBox_accepted() {
    StabilityParams edited = params;
    collect(edited);
    // The element goes into the project file once the switch was set.
    edited.present = params.present || edited.enabled;
    params = edited;
}
