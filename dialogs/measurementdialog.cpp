#include "dialogs/measurementdialog.h"

#include "dialogs/comboboxdelegate.h"
#include "dialogs/importdialog.h"
#include "dialogs/measurementmodel.h"
#include "dialogs/setfilterproxy.h"
#include "platform/messagebox.h"
#include "ui_measurementdialog.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

#include <cmath>

MeasurementDialog::MeasurementDialog(QWidget* parent)
    : QDialog(parent), ui(new Ui::MeasurementDialog), model(new MeasurementModel(this)),
      proxy(new SetFilterProxy(MeasurementModel::Set, this)) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setText(tr("确定"));
    ui->buttonBox->button(QDialogButtonBox::Cancel)->setText(tr("取消"));

    proxy->setSourceModel(model);
    proxy->setSortRole(MeasurementModel::SortRole);
    ui->tableView->setModel(proxy);
    ui->tableView->setItemDelegateForColumn(MeasurementModel::Kind,
                                            new ComboBoxDelegate(MeasurementModel::kindWords(), this));
    ui->tableView->horizontalHeader()->setSectionResizeMode(MeasurementModel::Notes, QHeaderView::Stretch);
    ui->tableView->verticalHeader()->setDefaultSectionSize(22);
    ui->tableView->sortByColumn(-1, Qt::AscendingOrder);

    // A row moved out of the set shown leaves the view and the count.
    connect(model, &QAbstractItemModel::dataChanged, this, [this] { updateCount(); });
    connect(model, &MeasurementModel::editRefused, this,
            [this](const QString& reason) { MessageBox::warning(this, reason); });
    connect(ui->comboSet, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int) { applyFilter(); });
    connect(ui->checkTerzaghi, &QCheckBox::toggled, ui->spinMinBias, &QWidget::setEnabled);

    auto* paste = new QShortcut(QKeySequence::Paste, ui->tableView);
    connect(paste, &QShortcut::activated, this, &MeasurementDialog::pasteFromClipboard);
    auto* remove = new QShortcut(QKeySequence::Delete, ui->tableView);
    connect(remove, &QShortcut::activated, this, &MeasurementDialog::on_pushDelete_clicked);
    setUndoState(false, {});
}

MeasurementDialog::~MeasurementDialog() {
    delete ui;
}

void MeasurementDialog::setField(const FieldData& field) {
    original = field;
    QStringList names;
    for (const JointSet& set : field.sets)
        names << set.name;
    model->setSetNames(names);
    proxy->setSetNames(names);
    // The 组 cell offers the sets and nothing; without sets it has no editor.
    QAbstractItemDelegate* old = ui->tableView->itemDelegateForColumn(MeasurementModel::Set);
    ui->tableView->setItemDelegateForColumn(
        MeasurementModel::Set,
        new ComboBoxDelegate(names.isEmpty() ? names : QStringList{QString()} + names, this));
    delete old;
    model->setMeasurements(field.measurements);
    ui->comboMethod->setCurrentIndex(field.density == DensityMethod::Fisher ? 1
                                     : field.density == DensityMethod::Kamb ? 2
                                                                            : 0);
    ui->comboArea->setCurrentText(QString::number(field.countingArea, 'g', 4));
    QStringList levels;
    for (double level : field.levels)
        levels << QString::number(level, 'g', 6);
    ui->editLevels->setText(levels.join(QLatin1Char(' ')));
    ui->checkLayer->setChecked(field.showLayer);
    ui->checkTerzaghi->setChecked(field.terzaghi);
    ui->checkTerzaghi->setEnabled(!field.traverses.isEmpty() || field.terzaghi);
    ui->spinMinBias->setValue(field.minBiasAngle);
    ui->spinMinBias->setEnabled(field.terzaghi);
    updateSets();
    updateCount();
}

bool MeasurementDialog::readSettings(FieldData& out, QString& problem) const {
    out.density = ui->comboMethod->currentIndex() == 1   ? DensityMethod::Fisher
                  : ui->comboMethod->currentIndex() == 2 ? DensityMethod::Kamb
                                                         : DensityMethod::Schmidt;
    bool ok = false;
    const double area = ui->comboArea->currentText().trimmed().toDouble(&ok);
    if (!ok || !(area >= FieldLimits::MinCountingArea && area <= FieldLimits::MaxCountingArea)) {
        problem = tr("计数圆面积应在%1%–%2%之间")
                      .arg(FieldLimits::MinCountingArea)
                      .arg(FieldLimits::MaxCountingArea);
        return false;
    }
    out.countingArea = area;
    out.levels.clear();
    const QStringList parts =
        ui->editLevels->text().split(QRegExp(QStringLiteral("[\\s,，;；]+")), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const double level = part.toDouble(&ok);
        if (!ok || !(level > 0) || !std::isfinite(level) ||
            (!out.levels.isEmpty() && level <= out.levels.last())) {
            problem = tr("等值线应为递增的正数，例如\"1 2 4 8\"");
            return false;
        }
        out.levels << level;
    }
    out.showLayer = ui->checkLayer->isChecked();
    out.terzaghi = ui->checkTerzaghi->isChecked();
    out.minBiasAngle = ui->spinMinBias->value();
    return true;
}

FieldData MeasurementDialog::field() const {
    FieldData out = original;
    QString problem;
    readSettings(out, problem);
    out.measurements = model->measurements();
    return out;
}

void MeasurementDialog::accept() {
    FieldData out = original;
    QString problem;
    if (!readSettings(out, problem)) {
        MessageBox::warning(this, problem);
        return;
    }
    QDialog::accept();
}

void MeasurementDialog::setUndoState(bool available, const QVector<Measurement>& before) {
    undoable = available;
    beforeImport = before;
    ui->pushUndoImport->setEnabled(available);
}

void MeasurementDialog::importRows(const QVector<Measurement>& rows) {
    if (rows.isEmpty())
        return;
    setUndoState(true, model->measurements());
    model->append(rows);
    updateSets();
    updateCount();
    ui->tableView->scrollToBottom();
}

void MeasurementDialog::pasteFromClipboard() {
    const QString text = QApplication::clipboard()->text();
    if (text.trimmed().isEmpty()) {
        MessageBox::information(this, tr("剪贴板中没有可粘贴的数据"));
        return;
    }
    ImportDialog dialog(this);
    dialog.setTraverses(original.traverses);
    dialog.openText(text, tr("剪贴板"));
    if (dialog.exec() == QDialog::Accepted)
        importRows(dialog.accepted());
}

void MeasurementDialog::on_pushPaste_clicked() {
    pasteFromClipboard();
}

void MeasurementDialog::on_pushImport_clicked() {
    ImportDialog dialog(this);
    dialog.setTraverses(original.traverses);
    if (!dialog.chooseFile())
        return;
    if (dialog.exec() == QDialog::Accepted)
        importRows(dialog.accepted());
}

void MeasurementDialog::on_pushDelete_clicked() {
    const QModelIndexList selected = ui->tableView->selectionModel()->selectedRows();
    QList<int> rows;
    rows.reserve(selected.size());
    for (const QModelIndex& index : selected)
        rows << proxy->mapToSource(index).row();
    if (rows.isEmpty())
        return;
    model->removeRowsAt(rows);
    updateSets();
    updateCount();
}

void MeasurementDialog::on_pushUndoImport_clicked() {
    if (!undoable)
        return;
    model->setMeasurements(beforeImport);
    setUndoState(false, {});
    updateSets();
    updateCount();
}

void MeasurementDialog::updateCount() {
    if (proxy->showing() == SetFilterProxy::Show::All)
        ui->labelCount->setText(tr("%1条测量数据").arg(model->rowCount()));
    else
        ui->labelCount->setText(tr("%1条测量数据，显示%2条").arg(model->rowCount()).arg(proxy->rowCount()));
    ui->pushDelete->setEnabled(model->rowCount() > 0);
}

void MeasurementDialog::updateSets() {
    // 全部, 未分组, then the project's sets; a set that is gone falls back
    // to 全部.
    const QString current = ui->comboSet->currentIndex() >= 2 ? ui->comboSet->currentText() : QString();
    const int previous = ui->comboSet->currentIndex();
    const QStringList& sets = model->setNameList();
    bool named = false;
    for (const Measurement& m : model->measurements())
        named = named || !m.set.isEmpty();
    const QSignalBlocker block(ui->comboSet);
    ui->comboSet->clear();
    ui->comboSet->addItem(tr("全部"));
    ui->comboSet->addItem(tr("未分组"));
    for (const QString& name : sets)
        ui->comboSet->addItem(name, name);
    int index = previous == 1 ? 1 : 0;
    if (!current.isEmpty()) {
        const int found = ui->comboSet->findData(current);
        index = found < 0 ? 0 : found;
    }
    ui->comboSet->setCurrentIndex(index);
    ui->comboSet->setEnabled(!sets.isEmpty() || named);
    applyFilter();
}

void MeasurementDialog::applyFilter() {
    const int index = ui->comboSet->currentIndex();
    if (index <= 0)
        proxy->showAll();
    else if (index == 1)
        proxy->showUnassigned();
    else
        proxy->showSet(ui->comboSet->itemData(index).toString());
    updateCount();
}
