#include "dialogs/setsdialog.h"

#include "dialogs/acicolordelegate.h"
#include "model/fielddata/projectsets.h"
#include "ui_setsdialog.h"

#include <QHash>
#include <QHeaderView>
#include <QKeySequence>
#include <QPushButton>
#include <QSet>
#include <QShortcut>
#include <QTableWidgetItem>

#include <cmath>

namespace {
const QColor kMarkedCell(255, 200, 200);
const QColor kComputedCell(240, 240, 240);

QString kText(double k) {
    if (std::isnan(k))
        return QStringLiteral("—");
    if (!std::isfinite(k))
        return QStringLiteral("∞");
    return QString::number(k, 'f', k < 100 ? 1 : 0);
}

QString coneText(double degrees) {
    if (!std::isfinite(degrees))
        return QStringLiteral("—");
    return QStringLiteral("%1°").arg(degrees, 0, 'f', 1);
}

bool sameWindow(const JointSet& a, const JointSet& b) {
    return a.centerDirection == b.centerDirection && a.centerAngle == b.centerAngle &&
           a.halfAngle == b.halfAngle;
}
} // namespace

SetsDialog::SetsDialog(QWidget* parent) : QDialog(parent), ui(new Ui::SetsDialog) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->buttonBox->button(QDialogButtonBox::Ok)->setText(tr("确定"));
    ui->buttonBox->button(QDialogButtonBox::Cancel)->setText(tr("取消"));

    QTableWidget* table = ui->tableSets;
    table->setColumnCount(ColumnCount);
    table->setHorizontalHeaderLabels({tr("名称"), tr("颜色"), tr("中心倾向"), tr("中心倾角"), tr("半锥角"),
                                      tr("条数"), tr("平均产状"), tr("K"), tr("α95")});
    table->setItemDelegateForColumn(Color, new AciColorDelegate(this));
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->setDefaultSectionSize(24);
    table->setEditTriggers(QAbstractItemView::AllEditTriggers);
    connect(table, &QTableWidget::cellChanged, this, [this](int, int) {
        if (!loading)
            refresh();
    });
    connect(table, &QTableWidget::itemSelectionChanged, this,
            [this] { ui->pushRemove->setEnabled(!ui->tableSets->selectedItems().isEmpty()); });
    connect(ui->comboPairs, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int) { refresh(); });
    ui->pushRemove->setEnabled(false);
    auto* remove = new QShortcut(QKeySequence::Delete, table);
    connect(remove, &QShortcut::activated, this, [this] {
        if (ui->pushRemove->isEnabled())
            on_pushRemove_clicked();
    });
}

SetsDialog::~SetsDialog() {
    delete ui;
}

QTableWidgetItem* SetsDialog::numberItem(double value) const {
    auto* item = new QTableWidgetItem(angleText(value));
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

void SetsDialog::fillRow(int row, const JointSet& set) {
    QTableWidget* table = ui->tableSets;
    auto* name = new QTableWidgetItem(set.name);
    name->setTextAlignment(Qt::AlignCenter);
    table->setItem(row, Name, name);
    auto* color = new QTableWidgetItem;
    table->setItem(row, Color, color);
    AciColorDelegate::setCell(table->model(), table->model()->index(row, Color), set.color);
    table->setItem(row, CenterDirection, numberItem(set.centerDirection));
    table->setItem(row, CenterAngle, numberItem(set.centerAngle));
    table->setItem(row, HalfAngle, numberItem(set.halfAngle));
    for (int column = Count; column < ColumnCount; ++column) {
        auto* item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setTextAlignment(Qt::AlignCenter);
        item->setBackground(kComputedCell);
        table->setItem(row, column, item);
    }
}

void SetsDialog::setField(const FieldData& field) {
    original = field;
    rows.clear();
    loading = true;
    ui->tableSets->setRowCount(field.sets.size());
    for (int i = 0; i < field.sets.size(); ++i) {
        rows.append({field.sets.at(i), i});
        fillRow(i, field.sets.at(i));
    }
    ui->comboPairs->setCurrentIndex(field.wedgePairs == WedgePairs::Sets        ? 1
                                    : field.wedgePairs == WedgePairs::SetsVsAll ? 2
                                                                                : 0);
    loading = false;
    refresh();
}

void SetsDialog::on_pushAdd_clicked() {
    if (rows.size() >= JointSetLimits::MaxSets)
        return;
    QStringList used;
    for (int r = 0; r < rows.size(); ++r)
        used << ui->tableSets->item(r, Name)->text().trimmed();
    const int index = firstFreeSetIndex(used);
    JointSet set;
    set.name = defaultSetName(index);
    set.color = defaultSetColor(index);
    const int row = rows.size();
    rows.append({set, -1});
    loading = true;
    ui->tableSets->setRowCount(row + 1);
    fillRow(row, set);
    loading = false;
    ui->tableSets->setCurrentCell(row, CenterDirection);
    refresh();
}

void SetsDialog::on_pushRemove_clicked() {
    QList<int> selected;
    for (const QModelIndex& index : ui->tableSets->selectionModel()->selectedIndexes())
        if (!selected.contains(index.row()))
            selected << index.row();
    std::sort(selected.begin(), selected.end(), std::greater<int>());
    loading = true;
    for (int row : selected) {
        rows.remove(row);
        ui->tableSets->removeRow(row);
    }
    loading = false;
    refresh();
}

QStringList SetsDialog::readTable(QVector<bool>& valid) {
    QStringList problems;
    valid.fill(true, rows.size());
    QTableWidget* table = ui->tableSets;
    QHash<QString, int> names;
    for (int r = 0; r < rows.size(); ++r)
        ++names[table->item(r, Name)->text().trimmed()];
    for (int r = 0; r < rows.size(); ++r) {
        JointSet& set = rows[r].set;
        set.name = table->item(r, Name)->text().trimmed();
        set.color = table->item(r, Color)->data(Qt::UserRole).toInt();
        const QString label = set.name.isEmpty() ? tr("第%1行").arg(r + 1) : set.name;
        QStringList rowProblems;
        const struct {
            int column;
            double* value;
            QString title;
        } numbers[] = {{CenterDirection, &set.centerDirection, tr("中心倾向")},
                       {CenterAngle, &set.centerAngle, tr("中心倾角")},
                       {HalfAngle, &set.halfAngle, tr("半锥角")}};
        for (const auto& n : numbers) {
            const QString text = table->item(r, n.column)->text().trimmed();
            // A cell still showing its value keeps the value itself: the
            // centres found automatically have more decimals than are shown.
            if (text == angleText(*n.value))
                continue;
            bool ok = false;
            double value = text.toDouble(&ok);
            if (ok && n.column == CenterDirection && value == 360.0)
                value = 0.0;
            if (ok && std::isfinite(value))
                *n.value = value;
            else
                rowProblems << tr("%1\"%2\"无法识别").arg(n.title, text);
        }
        if (rowProblems.isEmpty()) {
            const QString problem = jointSetProblem(set);
            if (!problem.isEmpty())
                rowProblems << problem;
        }
        if (!set.name.isEmpty() && names.value(set.name) > 1)
            rowProblems << tr("组名重复");
        for (int column = Name; column <= HalfAngle; ++column)
            if (column != Color)
                table->item(r, column)->setBackground(QBrush());
        if (!rowProblems.isEmpty()) {
            valid[r] = false;
            table->item(r, Name)->setBackground(kMarkedCell);
            problems << tr("%1：%2").arg(label, rowProblems.join(tr("，")));
        }
    }
    return problems;
}

FieldData SetsDialog::result(const QVector<bool>& valid) const {
    FieldData out = original;
    out.wedgePairs = ui->comboPairs->currentIndex() == 1   ? WedgePairs::Sets
                     : ui->comboPairs->currentIndex() == 2 ? WedgePairs::SetsVsAll
                                                           : WedgePairs::All;
    out.sets.clear();
    bool windowsMoved = false;
    QSet<int> kept;
    QHash<QString, QString> renamed;
    for (int r = 0; r < rows.size(); ++r) {
        if (!valid.value(r))
            continue;
        const Row& row = rows.at(r);
        out.sets.append(row.set);
        if (row.origin < 0 || !sameWindow(row.set, original.sets.at(row.origin))) {
            windowsMoved = true;
        } else {
            kept.insert(row.origin);
            renamed.insert(original.sets.at(row.origin).name, row.set.name);
        }
    }
    if (windowsMoved || kept.size() != original.sets.size()) {
        assignMeasurementsToSets(out);
        return out;
    }
    for (Measurement& m : out.measurements) {
        const auto found = renamed.constFind(m.set);
        if (found != renamed.constEnd())
            m.set = found.value();
    }
    return out;
}

FieldData SetsDialog::field() const {
    QVector<bool> valid(rows.size(), true);
    return result(valid);
}

void SetsDialog::refresh() {
    loading = true;
    QVector<bool> valid;
    currentProblems = readTable(valid);
    const FieldData preview = result(valid);
    const QVector<SetStatistics> statistics = jointSetStatistics(preview);
    QTableWidget* table = ui->tableSets;
    int next = 0;
    for (int r = 0; r < rows.size(); ++r) {
        QStringList texts{QStringLiteral("—"), QString(), QString(), QString()};
        if (valid.at(r)) {
            const SetStatistics& s = statistics.at(next++);
            texts[0] = QString::number(s.count);
            texts[1] = s.count > 0 ? planeText(s.direction, s.angle) : QStringLiteral("—");
            texts[2] = s.count > 0 ? kText(s.k) : QStringLiteral("—");
            texts[3] = s.count > 0 ? coneText(s.alpha95) : QStringLiteral("—");
        }
        for (int i = 0; i < 4; ++i)
            table->item(r, Count + i)->setText(texts.at(i));
    }
    int assigned = 0;
    for (const SetStatistics& s : statistics)
        assigned += s.count;
    ui->labelCount->setText(tr("%1条测量数据，%2条未分组")
                                .arg(preview.measurements.size())
                                .arg(preview.measurements.size() - assigned));
    ui->labelHint->setText(currentProblems.join(tr("；")));
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(currentProblems.isEmpty());
    ui->pushAdd->setEnabled(rows.size() < JointSetLimits::MaxSets);
    loading = false;
}
