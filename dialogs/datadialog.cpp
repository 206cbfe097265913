#include "dialogs/datadialog.h"

#include "dialogs/comboboxdelegate.h"
#include "dialogs/datalimitdelegate.h"
#include "dialogs/inputpatterns.h"
#include "model/labels.h"
#include "ui_datadialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSettings>
#include <QToolButton>

namespace {
const char* const kGeometryKey = "datadialog";

enum Column { ColNumber = 0, ColDirection, ColDip, ColKind, ColNotes, ColActions, ColumnCount };

QString numberText(double value) {
    return QString::number(value);
}
} // namespace

DataDialog::DataDialog(QWidget* parent) : QDialog(parent), ui(new Ui::DataDialog) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    slope.direction = 0;
    slope.angle = 45;
    projectName = tr("某工程调绘点1");

    ui->editSlopeDirection->setValidator(
        new QRegularExpressionValidator(QRegularExpression(InputPatterns::dipDirection()), this));
    ui->editSlopeAngle->setValidator(
        new QRegularExpressionValidator(QRegularExpression(InputPatterns::dip()), this));
    ui->editFrictionPlanar->setValidator(
        new QRegularExpressionValidator(QRegularExpression(InputPatterns::dip()), this));
    ui->editIncludeAnglePlanar->setValidator(
        new QRegularExpressionValidator(QRegularExpression(InputPatterns::includedAngle()), this));

    QTableWidget* table = ui->tableWidget;
    table->setColumnCount(ColumnCount);
    table->setHorizontalHeaderLabels(
        {tr("编号"), tr("倾向(°)"), tr("倾角∠(°)"), tr("类型"), tr("备注"), tr("操作")});
    table->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section{background:rgba(36,161,254,50);}"));
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setItemDelegateForColumn(ColNumber, new DataLimitDelegate(QRegularExpression(), this));
    table->setItemDelegateForColumn(
        ColDirection, new DataLimitDelegate(QRegularExpression(InputPatterns::dipDirection()), this));
    table->setItemDelegateForColumn(ColDip,
                                    new DataLimitDelegate(QRegularExpression(InputPatterns::dip()), this));
    table->setItemDelegateForColumn(ColKind,
                                    new ComboBoxDelegate({tr("节理"), tr("层理"), tr("断层")}, this));
    table->setItemDelegateForColumn(ColNotes,
                                    new DataLimitDelegate(QRegularExpression(InputPatterns::name()), this));

    QSettings settings;
    const QRect saved = settings.value(QLatin1String(kGeometryKey)).toRect();
    if (!saved.isEmpty() && parentWidget()) {
        resize(saved.width(), saved.height());
        QRect frame(QPoint(0, 0), saved.size());
        frame.moveCenter(parentWidget()->geometry().center());
        move(frame.topLeft());
    }

    table->installEventFilter(this);
    // Keep the column widths in step with the table's width.
    table->viewport()->installEventFilter(this);
}

DataDialog::~DataDialog() {
    // An editor still open commits when the widgets go away, after this
    // object's members are gone: stop listening first.
    QTableWidget* table = ui->tableWidget;
    disconnect(table, nullptr, this, nullptr);
    table->removeEventFilter(this);
    table->viewport()->removeEventFilter(this);
    delete ui;
}

void DataDialog::showData() {
    ui->editProjectName->setText(projectName);
    ui->editSlopeDirection->setText(numberText(slope.direction));
    ui->editSlopeAngle->setText(numberText(slope.angle));
    ui->editIncludeAnglePlanar->setText(numberText(includedAngle));
    ui->editFrictionPlanar->setText(numberText(frictionAngle));
    ui->checkTopple->setChecked(topple);
    fillTable();
}

void DataDialog::fillTable() {
    QTableWidget* table = ui->tableWidget;
    table->clearContents();
    const int n = planes.size();
    table->setRowCount(n < MaxPlanes ? n + 1 : n);
    // Every setItem below comes back through updataItemData once the
    // connection exists, so what the table shows is what the copies hold.
    for (int i = 0; i < n; ++i) {
        const PlaneRecord& plane = planes.at(i);
        const QString direction = Labels::removeZeroDecimals(Labels::angleText(plane.direction));
        const QString dip = Labels::removeZeroDecimals(Labels::angleText(plane.angle));
        const QString kind = Labels::kindWord(plane.type);
        const QString notes = plane.notes.trimmed();
        table->setItem(i, ColNumber, new QTableWidgetItem(QString::number(i + 1)));
        table->setItem(i, ColDirection, new QTableWidgetItem(direction));
        table->setItem(i, ColDip, new QTableWidgetItem(dip));
        table->setItem(i, ColKind, new QTableWidgetItem(kind));
        table->setItem(i, ColNotes, new QTableWidgetItem(notes));
        addRowButtons(i);
    }
    setColumnWidths();
    connect(table, &QTableWidget::itemChanged, this, &DataDialog::updataItemData, Qt::UniqueConnection);
}

void DataDialog::addRowButtons(int row) {
    auto* cell = new QWidget;
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    struct Button {
        const char* name;
        const char* icon;
        QString tip;
    };
    const Button buttons[] = {{"up", ":/res/up.ico", tr("上移")}, {"del", ":/res/del.ico", tr("删除")}};
    for (const Button& b : buttons) {
        auto* button = new QToolButton(cell);
        button->setObjectName(QLatin1String(b.name));
        button->setIcon(QIcon(QLatin1String(b.icon)));
        button->setToolTip(b.tip);
        button->setAutoRaise(true);
        layout->addWidget(button);
        connect(button, &QToolButton::clicked, this, &DataDialog::btnClicked);
    }
    ui->tableWidget->setCellWidget(row, ColActions, cell);
}

void DataDialog::setColumnWidths() {
    QTableWidget* table = ui->tableWidget;
    const int numberWidth = 50;
    const int actionsWidth = 60;
    const int rest = qMax(0, table->viewport()->width() - numberWidth - actionsWidth) / 4;
    table->setColumnWidth(ColNumber, numberWidth);
    for (int c = ColDirection; c <= ColNotes; ++c)
        table->setColumnWidth(c, rest);
    table->setColumnWidth(ColActions, actionsWidth);
}

void DataDialog::takeCellValue(PlaneRecord& plane, int column, const QString& text) const {
    switch (column) {
    case ColDirection:
        plane.direction = static_cast<double>(text.toFloat());
        break;
    case ColDip:
        plane.angle = static_cast<double>(text.toFloat());
        break;
    case ColKind:
        if (text == tr("层理"))
            plane.type = Bedding;
        else if (text == tr("断层"))
            plane.type = Fault;
        else
            plane.type = Joint;
        break;
    case ColNotes:
        plane.notes = text.trimmed();
        break;
    default:
        break;
    }
    plane.calculated = false;
}

void DataDialog::updataItemData(QTableWidgetItem* item) {
    if (!item)
        return;
    QTableWidget* table = ui->tableWidget;
    const int row = item->row();
    const int column = item->column();
    if (row < 0)
        return;
    if (row >= planes.size()) {
        // Typing into the empty last row creates the next plane. An editor
        // that was opened there and left empty creates nothing.
        if (planes.size() >= MaxPlanes || item->text().trimmed().isEmpty())
            return;
        PlaneRecord plane;
        plane.id = row + 1;
        takeCellValue(plane, column, item->text());
        planes.append(plane);
        const int r = planes.size() - 1;
        if (column != ColNumber)
            table->setItem(r, ColNumber, new QTableWidgetItem(QString::number(r + 1)));
        // A kind chosen in the empty row is kept; otherwise the row starts
        // as a joint.
        if (column != ColKind)
            table->setItem(r, ColKind, new QTableWidgetItem(tr("节理")));
        addRowButtons(r);
        if (r < MaxPlanes - 1)
            table->setRowCount(r + 2);
        return;
    }
    takeCellValue(planes[row], column, item->text());
}

void DataDialog::btnClicked() {
    auto* button = qobject_cast<QWidget*>(sender());
    if (!button || !button->parentWidget())
        return;
    // The row whose cell widget holds the button. Positions of cell widgets
    // are laid out lazily, so look the widget up rather than its position.
    QTableWidget* table = ui->tableWidget;
    int row = -1;
    for (int r = 0; r < table->rowCount() && row < 0; ++r) {
        if (table->cellWidget(r, ColActions) == button->parentWidget())
            row = r;
    }
    if (button->objectName() == QLatin1String("up")) {
        if (row > 0 && row < planes.size())
            planes.swapItemsAt(row, row - 1);
    } else if (button->objectName() == QLatin1String("del")) {
        if (row >= 0 && row < planes.size())
            planes.removeAt(row);
    }
    // The clicked button belongs to the table being refilled; the view only
    // schedules its cell widgets for deletion, so refilling here is safe.
    fillTable();
}

void DataDialog::on_editSlopeDirection_textChanged(const QString&) {
    slope.calculated = false;
}

void DataDialog::on_editSlopeAngle_textChanged(const QString&) {
    slope.calculated = false;
}

void DataDialog::on_pushDefault_clicked() {
    ui->editIncludeAnglePlanar->setText(QStringLiteral("30"));
    ui->editFrictionPlanar->setText(QStringLiteral("27"));
}

void DataDialog::on_buttonBox_accepted() {
    projectName = ui->editProjectName->text();
    if (projectName.isEmpty())
        projectName = tr("项目名称");
    slope.direction = static_cast<double>(ui->editSlopeDirection->text().toFloat());
    slope.angle = static_cast<double>(ui->editSlopeAngle->text().toFloat());
    includedAngle = static_cast<double>(ui->editIncludeAnglePlanar->text().toFloat());
    if (includedAngle < 1)
        includedAngle = 1;
    frictionAngle = static_cast<double>(ui->editFrictionPlanar->text().toFloat());
    topple = ui->checkTopple->isChecked();
    for (int i = 0; i < planes.size(); ++i)
        planes[i].id = i + 1;
    QSettings settings;
    settings.setValue(QLatin1String(kGeometryKey), geometry());
}

bool DataDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->tableWidget->viewport() && event->type() == QEvent::Resize)
        setColumnWidths();
    if (watched == ui->tableWidget && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            QTableWidget* table = ui->tableWidget;
            const int row = table->currentRow();
            const int column = table->currentColumn();
            if (column == ColDirection)
                table->setCurrentCell(row, ColDip);
            else if (column == ColDip && row + 1 < table->rowCount())
                table->setCurrentCell(row + 1, ColDirection);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void DataDialog::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Escape)
        return;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        QLineEdit* chain[] = {ui->editProjectName, ui->editSlopeDirection, ui->editSlopeAngle,
                              ui->editIncludeAnglePlanar, ui->editFrictionPlanar};
        for (int i = 0; i < 4; ++i) {
            if (chain[i]->hasFocus()) {
                chain[i + 1]->setFocus();
                chain[i + 1]->selectAll();
                break;
            }
        }
        return;
    }
    QDialog::keyPressEvent(event);
}
