#include "dialogs/importdialog.h"

#include "dialogs/importglue.h"
#include "platform/messagebox.h"
#include "ui_importdialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QSettings>

namespace {
constexpr int PreviewRows = 200;
const char* const kMappingKey = "importmapping";

// The mapping boxes in the order the settings keep them.
const char* const kFields[] = {"direction", "angle",   "combined", "kind",
                               "weight",    "station", "notes",    "traverse"};
} // namespace

ImportDialog::ImportDialog(QWidget* parent) : QDialog(parent), ui(new Ui::ImportDialog) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->buttonBox->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
    ui->tableRejected->setHorizontalHeaderLabels({tr("行号"), tr("内容"), tr("原因")});
    ui->tableRejected->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    ui->tableRejected->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    ui->tableRejected->verticalHeader()->hide();
    ui->comboSheet->setEnabled(false);

    for (const char* field : kFields) {
        QComboBox* box = mappingBox(QLatin1String(field));
        connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int) { remap(); });
    }
    connect(ui->comboForm, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int) {
        updateForm();
        remap();
    });
    connect(ui->checkHeader, &QCheckBox::toggled, this, [this](bool) {
        showTable();
        remap();
    });
    connect(ui->comboSheet, QOverload<int>::of(&QComboBox::activated), this, [this](int) {
        if (!path.isEmpty())
            openFile(path);
    });
    updateForm();
    remap();
}

ImportDialog::~ImportDialog() {
    delete ui;
}

QComboBox* ImportDialog::mappingBox(const QString& field) const {
    if (field == QLatin1String("direction"))
        return ui->comboDirection;
    if (field == QLatin1String("angle"))
        return ui->comboAngle;
    if (field == QLatin1String("combined"))
        return ui->comboCombined;
    if (field == QLatin1String("kind"))
        return ui->comboKind;
    if (field == QLatin1String("weight"))
        return ui->comboWeight;
    if (field == QLatin1String("station"))
        return ui->comboStation;
    if (field == QLatin1String("notes"))
        return ui->comboNotes;
    if (field == QLatin1String("traverse"))
        return ui->comboTraverse;
    return nullptr;
}

void ImportDialog::setTraverses(const QVector<Traverse>& list) {
    traverses = list;
    remap();
}

bool ImportDialog::chooseFile() {
    QSettings settings;
    const QString folder = settings.value(QStringLiteral("importpath")).toString();
    const QString chosen = QFileDialog::getOpenFileName(this, tr("导入测量数据"), folder,
                                                        tr("测量数据(*.csv *.txt *.xlsx);;所有文件(*.*)"));
    if (chosen.isEmpty())
        return false;
    settings.setValue(QStringLiteral("importpath"), QFileInfo(chosen).absolutePath());
    return openFile(chosen);
}

void ImportDialog::on_pushBrowse_clicked() {
    chooseFile();
}

bool ImportDialog::openFile(const QString& file) {
    const int sheet = file == path ? qMax(0, ui->comboSheet->currentIndex()) : 0;
    ImportGlue::Table table;
    QString error;
    if (!ImportGlue::readFile(file, sheet, table, error)) {
        MessageBox::warning(this, tr("无法读取文件\"%1\"：%2").arg(QFileInfo(file).fileName(), error));
        return false;
    }
    path = file;
    source = table;
    ui->editFile->setText(QFileInfo(file).fileName());
    {
        const QSignalBlocker block(ui->comboSheet);
        ui->comboSheet->clear();
        ui->comboSheet->addItems(table.sheets);
        ui->comboSheet->setCurrentIndex(table.sheets.isEmpty() ? -1 : sheet);
        ui->comboSheet->setEnabled(table.sheets.size() > 1);
    }
    ui->labelEncoding->setText(table.table.encoding);
    guessOrRestoreMapping();
    return true;
}

void ImportDialog::openText(const QString& text, const QString& origin) {
    path.clear();
    source = ImportGlue::fromText(text);
    ui->editFile->setText(origin);
    ui->comboSheet->clear();
    ui->comboSheet->setEnabled(false);
    ui->labelEncoding->clear();
    guessOrRestoreMapping();
}

void ImportDialog::fillColumnBoxes() {
    const QVector<QStringList>& cells = source.table.rows;
    const int columns = source.table.columns();
    const bool header = ui->checkHeader->isChecked() && !cells.isEmpty();
    QStringList names{tr("（无）")};
    for (int c = 0; c < columns; ++c) {
        QString name = tr("第%1列").arg(c + 1);
        if (header && c < cells.first().size() && !cells.first().at(c).trimmed().isEmpty())
            name += QStringLiteral("：") + cells.first().at(c).trimmed().left(12);
        names << name;
    }
    for (const char* field : kFields) {
        QComboBox* box = mappingBox(QLatin1String(field));
        const int current = box->currentIndex();
        const QSignalBlocker block(box);
        box->clear();
        box->addItems(names);
        box->setCurrentIndex(current >= 0 && current < names.size() ? current : 0);
    }
}

void ImportDialog::guessOrRestoreMapping() {
    updating = true;
    const ImportGlue::Mapping guessed = ImportGlue::guess(source.table);
    ImportGlue::Mapping mapping = guessed;
    // The last mapping stays when it fits the columns of this table and the
    // table's header does not say otherwise.
    QSettings settings;
    const QVariantList stored = settings.value(QLatin1String(kMappingKey)).toList();
    const QVector<QStringList>& cells = source.table.rows;
    const int columns = source.table.columns();
    if (!guessed.fromHeader && stored.size() == 10) {
        ImportGlue::Mapping last;
        last.form = stored[0].toInt();
        last.header = stored[1].toBool();
        int* fields[] = {&last.direction, &last.angle,   &last.combined, &last.kind,
                         &last.weight,    &last.station, &last.notes,    &last.traverse};
        bool fits = true;
        for (int i = 0; i < 8; ++i) {
            *fields[i] = stored[i + 2].toInt();
            fits = fits && *fields[i] < columns;
        }
        if (fits)
            mapping = last;
    }
    {
        const QSignalBlocker block(ui->checkHeader);
        ui->checkHeader->setChecked(mapping.header);
    }
    fillColumnBoxes();
    const int values[] = {mapping.direction, mapping.angle,   mapping.combined, mapping.kind,
                          mapping.weight,    mapping.station, mapping.notes,    mapping.traverse};
    for (int i = 0; i < 8; ++i) {
        QComboBox* box = mappingBox(QLatin1String(kFields[i]));
        const QSignalBlocker block(box);
        box->setCurrentIndex(values[i] + 1 < box->count() ? values[i] + 1 : 0);
    }
    {
        const QSignalBlocker block(ui->comboForm);
        ui->comboForm->setCurrentIndex(qBound(0, mapping.form, 2));
    }
    updating = false;
    updateForm();
    showTable();
    remap();
}

void ImportDialog::updateForm() {
    const int form = ui->comboForm->currentIndex();
    const bool combined = form == ImportGlue::FieldBook;
    ui->labelDirection->setText(form == ImportGlue::StrikeRight ? tr("走向列:") : tr("倾向列:"));
    for (QWidget* w : {static_cast<QWidget*>(ui->labelDirection), static_cast<QWidget*>(ui->comboDirection),
                       static_cast<QWidget*>(ui->labelAngle), static_cast<QWidget*>(ui->comboAngle)})
        w->setEnabled(!combined);
    ui->labelCombined->setEnabled(combined);
    ui->comboCombined->setEnabled(combined);
}

void ImportDialog::showTable() {
    const QVector<QStringList>& cells = source.table.rows;
    const int columns = source.table.columns();
    const bool header = ui->checkHeader->isChecked() && !cells.isEmpty();
    const int first = header ? 1 : 0;
    const int shown = qMin(PreviewRows, qMax(0, cells.size() - first));
    ui->tablePreview->clear();
    ui->tablePreview->setColumnCount(columns);
    ui->tablePreview->setRowCount(shown);
    QStringList headers;
    for (int c = 0; c < columns; ++c)
        headers << (header && c < cells.first().size() ? cells.first().at(c) : tr("第%1列").arg(c + 1));
    ui->tablePreview->setHorizontalHeaderLabels(headers);
    QStringList lines;
    for (int r = 0; r < shown; ++r) {
        const QStringList& row = cells.at(first + r);
        lines << QString::number(source.table.lines.value(first + r, first + r + 1));
        for (int c = 0; c < row.size(); ++c)
            ui->tablePreview->setItem(r, c, new QTableWidgetItem(row.at(c)));
    }
    ui->tablePreview->setVerticalHeaderLabels(lines);
    {
        const QSignalBlocker block(this);
        if (!updating)
            fillColumnBoxes();
    }
}

void ImportDialog::remap() {
    if (updating)
        return;
    ImportGlue::Mapping mapping;
    mapping.form = ui->comboForm->currentIndex();
    mapping.header = ui->checkHeader->isChecked();
    mapping.direction = ui->comboDirection->currentIndex() - 1;
    mapping.angle = ui->comboAngle->currentIndex() - 1;
    mapping.combined = ui->comboCombined->currentIndex() - 1;
    mapping.kind = ui->comboKind->currentIndex() - 1;
    mapping.weight = ui->comboWeight->currentIndex() - 1;
    mapping.station = ui->comboStation->currentIndex() - 1;
    mapping.notes = ui->comboNotes->currentIndex() - 1;
    mapping.traverse = ui->comboTraverse->currentIndex() - 1;
    const ImportResult result = ImportGlue::map(source.table, mapping, traverses);
    rows = result.measurements;
    refused = result.rejected;

    const int listed = qMin(refused.size(), 5000);
    ui->tableRejected->setRowCount(listed);
    for (int i = 0; i < listed; ++i) {
        const RejectedRow& r = refused.at(i);
        ui->tableRejected->setItem(i, 0, new QTableWidgetItem(QString::number(r.line)));
        ui->tableRejected->setItem(i, 1, new QTableWidgetItem(r.text));
        ui->tableRejected->setItem(i, 2, new QTableWidgetItem(r.reason));
    }
    ui->tableRejected->setVisible(!refused.isEmpty());
    if (source.table.rows.isEmpty())
        ui->labelSummary->setText(tr("请选择文件"));
    else if (refused.isEmpty())
        ui->labelSummary->setText(tr("可导入%1行").arg(rows.size()));
    else
        ui->labelSummary->setText(
            tr("可导入%1行；以下%2行有误，不导入：").arg(rows.size()).arg(refused.size()));
    QPushButton* ok = ui->buttonBox->button(QDialogButtonBox::Ok);
    ok->setText(tr("导入%1行").arg(rows.size()));
    ok->setEnabled(!rows.isEmpty());
}

void ImportDialog::storeMapping() const {
    QVariantList stored{ui->comboForm->currentIndex(), ui->checkHeader->isChecked()};
    for (const char* field : kFields)
        stored << mappingBox(QLatin1String(field))->currentIndex() - 1;
    QSettings settings;
    settings.setValue(QLatin1String(kMappingKey), stored);
}

void ImportDialog::accept() {
    if (rows.isEmpty())
        return;
    storeMapping();
    QDialog::accept();
}
