#include "dialogs/stabilitydialog.h"

#include "dialogs/numbercells.h"
#include "model/datacenter.h"
#include "model/factors/loadcases.h"
#include "model/factors/stabilityfactors.h"
#include "model/factors/stabilityinputs.h"
#include "model/factors/stabilityproblems.h"
#include "model/labels.h"
#include "ui_stabilitydialog.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTabBar>

#include <cmath>
#include <limits>

const char* const StabilityDialog::OutOfRangeProperty = "outOfRange";

using namespace NumberCells;

namespace {

enum Column { ColNumber = 0, ColPlane, ColCohesion, ColFriction, ColSource, ColumnCount };

const QColor kMarkedCell(255, 215, 215);
const QString kMarkedEdit =
    QStringLiteral("QLineEdit{background:rgb(255,225,225);border:1px solid rgb(200,0,0);}");

bool sameCases(const QList<LoadCase>& a, const QList<LoadCase>& b) {
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        const LoadCase &x = a.at(i), &y = b.at(i);
        if (x.name != y.name || x.crackWater != y.crackWater || x.wedgeSaturated != y.wedgeSaturated ||
            x.seismic != y.seismic || x.requiredTyped != y.requiredTyped)
            return false;
    }
    return true;
}

QString numberText(double value) {
    return QString::number(value, 'g', 10);
}

} // namespace

QList<double> StabilityDialog::seismicPresets() {
    return {0.025, 0.038, 0.050, 0.075, 0.100};
}

StabilityDialog::StabilityDialog(QWidget* parent) : QDialog(parent), ui(new Ui::StabilityDialog) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    for (QLineEdit* edit : {ui->editHeight, ui->editUpperDip, ui->editUpperLength, ui->editUnitWeight,
                            ui->editWaterWeight, ui->editCrackDistance})
        edit->setValidator(numberShape(edit));
    ui->comboSafetyClass->addItems({tr("一级"), tr("二级"), tr("三级")});

    QTableWidget* table = ui->tableStrength;
    table->setColumnCount(ColumnCount);
    table->setHorizontalHeaderLabels(
        {tr("编号"), tr("结构面"), tr("粘聚力c(kPa)"), tr("内摩擦角φ(°)"), tr("取值")});
    table->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section{background:rgba(36,161,254,50);}"));
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(ColNumber, QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(ColSource, QHeaderView::ResizeToContents);
    table->verticalHeader()->hide();
    table->setItemDelegateForColumn(ColCohesion, new NumberDelegate(this));
    table->setItemDelegateForColumn(ColFriction, new NumberDelegate(this));
    connect(table, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (loading)
            return;
        if (column == ColCohesion || column == ColFriction)
            strengthEdited(row, column);
        updateState();
    });
    setupTables();

    const auto changed = [this] {
        if (!loading)
            updateState();
    };
    connect(ui->checkEnabled, &QCheckBox::toggled, this, changed);
    for (QLineEdit* edit : {ui->editHeight, ui->editUpperDip, ui->editUpperLength, ui->editUnitWeight,
                            ui->editWaterWeight, ui->editCrackDistance})
        connect(edit, &QLineEdit::textChanged, this, changed);
    for (QRadioButton* radio : {ui->radioCrackGiven, ui->radioPermanent})
        connect(radio, &QRadioButton::toggled, this, [this] {
            if (loading)
                return;
            updateCaseRequired();
            updateState();
        });
    connect(ui->comboSafetyClass, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] {
        if (loading)
            return;
        updateCaseRequired();
        updateState();
    });
}

StabilityDialog::~StabilityDialog() {
    delete ui;
}

void StabilityDialog::showData(const DataCenter& project) {
    loading = true;
    params = project.stability;
    faceDip = project.slope.angle;
    defaultFriction = project.FrictionAnglePlanar;
    ui->labelUpperDip->setText(tr("坡顶面倾角ψs（°，0≤ψs＜%1°）").arg(numberText(faceDip)));

    ui->checkEnabled->setChecked(params.enabled);
    ui->editHeight->setText(numberText(params.height));
    ui->editUpperDip->setText(numberText(params.upperDip));
    ui->editUpperLength->setText(params.upperLength > 0 ? numberText(params.upperLength) : QString());
    ui->editUnitWeight->setText(numberText(params.unitWeight));
    ui->editWaterWeight->setText(numberText(params.waterWeight));
    (params.crackCritical ? ui->radioCrackCritical : ui->radioCrackGiven)->setChecked(true);
    ui->editCrackDistance->setText(numberText(params.crackDistance));
    (params.permanent ? ui->radioPermanent : ui->radioTemporary)->setChecked(true);
    ui->comboSafetyClass->setCurrentIndex(qBound(1, params.safetyClass, 3) - 1);

    // A project that never had the calculation is offered the usual three
    // cases; a project that has it shows its own (one case for a file
    // written before cases existed).
    casesBefore = loadCasesOf(params);
    showCases(params.present ? casesBefore : defaultLoadCases(params));

    QTableWidget* table = ui->tableStrength;
    table->setRowCount(project.planes.size());
    for (int row = 0; row < project.planes.size(); ++row) {
        const PlaneRecord& plane = project.planes.at(row);
        const bool isDefault = strengthIsDefault(params, plane.id, defaultFriction);
        const PlaneStrength strength = params.planes.value(plane.id, PlaneStrength{0, defaultFriction});
        const QString name = (plane.notes.isEmpty() ? Labels::kindWord(plane.type) : plane.notes) +
                             QLatin1Char(' ') + Labels::attitudeText(plane.direction, plane.angle);
        const QStringList texts{QString::number(plane.id), name, numberText(strength.cohesion),
                                numberText(strength.friction), QString()};
        for (int column = 0; column < ColumnCount; ++column) {
            auto* item = new QTableWidgetItem(texts.at(column));
            item->setTextAlignment(Qt::AlignCenter);
            if (column != ColCohesion && column != ColFriction)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            item->setData(Qt::UserRole, plane.id);
            table->setItem(row, column, item);
        }
        table->item(row, ColNumber)->setData(DefaultRole, isDefault);
        strengthEdited(row, -1);
    }
    showAnchors(project);
    loading = false;
    updateState();
}

// Shows whether the row holds the default strength; an edit (column ≥ 0)
// makes it entered.
void StabilityDialog::strengthEdited(int row, int column) {
    QTableWidget* table = ui->tableStrength;
    QTableWidgetItem* number = table->item(row, ColNumber);
    if (!number)
        return;
    const bool wasLoading = loading;
    loading = true;
    if (column >= 0)
        number->setData(DefaultRole, false);
    const bool isDefault = number->data(DefaultRole).toBool();
    for (int c : {ColCohesion, ColFriction}) {
        QTableWidgetItem* item = table->item(row, c);
        if (!item)
            continue;
        QFont font = item->font();
        font.setItalic(isDefault);
        item->setFont(font);
        item->setForeground(isDefault ? QBrush(Qt::gray) : QBrush());
        item->setData(DefaultRole, isDefault);
    }
    if (QTableWidgetItem* source = table->item(row, ColSource)) {
        source->setText(isDefault ? tr("默认") : tr("已输入"));
        source->setForeground(isDefault ? QBrush(QColor(180, 90, 0)) : QBrush());
        source->setToolTip(
            isDefault ? tr("尚未输入强度参数：取c=0，φ=滑动判据的摩擦角%1°").arg(numberText(defaultFriction))
                      : QString());
    }
    loading = wasLoading;
}

QList<ParamProblem> StabilityDialog::collect(StabilityParams& out) const {
    QList<ParamProblem> problems;
    out.enabled = ui->checkEnabled->isChecked();
    out.height = typedNumber(ui->editHeight->text());
    out.upperDip = typedNumber(ui->editUpperDip->text());
    // An empty upper length is the unbounded upper slope.
    out.upperLength =
        ui->editUpperLength->text().trimmed().isEmpty() ? 0 : typedNumber(ui->editUpperLength->text());
    out.unitWeight = typedNumber(ui->editUnitWeight->text());
    out.waterWeight = typedNumber(ui->editWaterWeight->text());
    out.crackCritical = ui->radioCrackCritical->isChecked();
    if (!out.crackCritical)
        out.crackDistance = typedNumber(ui->editCrackDistance->text());
    out.safetyClass = ui->comboSafetyClass->currentIndex() + 1;
    out.permanent = ui->radioPermanent->isChecked();

    // Plane strengths: a row still at its default is no entry.
    const QTableWidget* table = ui->tableStrength;
    for (int row = 0; row < table->rowCount(); ++row) {
        const int id = table->item(row, ColNumber)->data(Qt::UserRole).toInt();
        if (table->item(row, ColNumber)->data(DefaultRole).toBool()) {
            // An entry read from the file stays (its values are the default).
            continue;
        }
        PlaneStrength strength;
        strength.cohesion = typedNumber(table->item(row, ColCohesion)->text());
        strength.friction = typedNumber(table->item(row, ColFriction)->text());
        out.planes.insert(id, strength);
    }

    const QList<LoadCase> cases = collectCases(problems);
    // A project read without cases keeps none while its one case is as it
    // was, so that its file stays as it was.
    out.cases = params.cases.isEmpty() && sameCases(cases, casesBefore) ? QList<LoadCase>() : cases;
    if (!out.cases.isEmpty())
        mirrorFirstCase(out);
    else if (!cases.isEmpty()) {
        out.crackWater = cases.first().crackWater;
        out.wedgeSaturated = cases.first().wedgeSaturated;
        out.seismic = cases.first().seismic;
    }
    collectAnchors(out, problems);
    if (!(out.upperLength >= 0 && out.upperLength <= MaxUpperLength)) {
        ParamProblem p;
        p.element = QStringLiteral("Stability");
        p.attribute = QStringLiteral("upperLength");
        p.label = tr("坡顶面长度L");
        p.range = tr("0≤L≤%1 m，不填为不限").arg(MaxUpperLength);
        p.value = out.upperLength;
        problems << p;
    }

    QList<ParamProblem> all = stabilityParamProblems(out, faceDip);
    for (int i = all.size() - 1; i >= 0; --i) {
        const ParamProblem& p = all.at(i);
        // The element's own crack water and αw mirror the first case, whose
        // cells are named above; b counts only for a crack at a given place.
        const bool mirrored = p.element == QLatin1String("Stability") &&
                              (p.attribute == QLatin1String("crackWater") || p.attribute == QLatin1String("seismic"));
        if (mirrored || (out.crackCritical && p.attribute == QLatin1String("crackDistance")))
            all.removeAt(i);
    }
    return all + problems;
}

void StabilityDialog::markProblems(const QList<ParamProblem>& problems) {
    const struct {
        const char* attribute;
        QLineEdit* edit;
    } fields[] = {{"height", ui->editHeight},           {"upperDip", ui->editUpperDip},
                  {"upperLength", ui->editUpperLength}, {"unitWeight", ui->editUnitWeight},
                  {"waterWeight", ui->editWaterWeight}, {"crackDistance", ui->editCrackDistance}};
    QSet<QWidget*> markedTabs;
    for (const auto& field : fields) {
        QString why;
        for (const ParamProblem& p : problems)
            if (p.element == QLatin1String("Stability") && p.attribute == QLatin1String(field.attribute))
                why = tr("%1：%2").arg(p.label, p.range);
        field.edit->setStyleSheet(why.isEmpty() ? QString() : kMarkedEdit);
        field.edit->setToolTip(why);
        field.edit->setProperty(OutOfRangeProperty, !why.isEmpty());
        if (!why.isEmpty())
            markedTabs.insert(ui->tabSlope);
    }

    auto markCell = [](QTableWidgetItem* item, const QString& why) {
        if (!item)
            return;
        item->setData(OutOfRangeRole, !why.isEmpty());
        item->setBackground(why.isEmpty() ? QBrush() : QBrush(kMarkedCell));
        if (!item->data(DefaultRole).toBool() || !why.isEmpty())
            item->setToolTip(why);
    };
    const bool wasLoading = loading;
    const_cast<StabilityDialog*>(this)->loading = true;
    QTableWidget* strength = ui->tableStrength;
    for (int row = 0; row < strength->rowCount(); ++row) {
        const int id = strength->item(row, ColNumber)->data(Qt::UserRole).toInt();
        for (int column : {ColCohesion, ColFriction}) {
            const QLatin1String attribute(column == ColCohesion ? "cohesion" : "friction");
            QString why;
            for (const ParamProblem& p : problems)
                if (p.element == QLatin1String("Plane") && p.planeId == id && p.attribute == attribute)
                    why = tr("%1：%2").arg(p.label, p.range);
            markCell(strength->item(row, column), why);
            if (!why.isEmpty())
                markedTabs.insert(ui->tabStrength);
        }
    }
    // Cases and anchors: the problem's planeId is the row.
    const struct {
        const char* element;
        QTableWidget* table;
        QWidget* tab;
    } tables[] = {{"Case", ui->tableCases, ui->tabCases}, {"Anchor", ui->tableAnchors, ui->tabAnchors}};
    for (const auto& t : tables) {
        for (int row = 0; row < t.table->rowCount(); ++row) {
            for (int column = 0; column < t.table->columnCount(); ++column) {
                QTableWidgetItem* item = t.table->item(row, column);
                if (!item || !(item->flags() & Qt::ItemIsEditable))
                    continue;
                const QString attribute = item->data(Qt::UserRole + 1).toString();
                QString why;
                for (const ParamProblem& p : problems)
                    if (p.element == QLatin1String(t.element) && p.planeId == row && p.attribute == attribute)
                        why = tr("%1：%2").arg(p.label, p.range);
                markCell(item, why);
                if (!why.isEmpty())
                    markedTabs.insert(t.tab);
            }
        }
    }
    loading = wasLoading;

    QTabBar* bar = ui->tabs->tabBar();
    for (int i = 0; i < ui->tabs->count(); ++i) {
        const bool marked = markedTabs.contains(ui->tabs->widget(i));
        bar->setTabTextColor(i, marked ? QColor(200, 0, 0) : palette().color(QPalette::WindowText));
        ui->tabs->widget(i)->setProperty(OutOfRangeProperty, marked);
    }
}

void StabilityDialog::updateState() {
    const bool enabled = ui->checkEnabled->isChecked();
    ui->widgetInputs->setEnabled(enabled);
    ui->editCrackDistance->setEnabled(ui->radioCrackGiven->isChecked());
    ui->buttonAddCase->setEnabled(ui->tableCases->rowCount() < MaxLoadCases);
    ui->buttonRemoveCase->setEnabled(ui->tableCases->rowCount() > 1);

    StabilityParams current = params;
    const QList<ParamProblem> problems = collect(current);
    markProblems(enabled ? problems : QList<ParamProblem>());
    QStringList texts;
    for (const ParamProblem& p : problems)
        texts << (std::isnan(p.value) ? tr("%1尚未填写（%2）") : tr("%1超出有效范围（%2）"))
                     .arg(p.label, p.range);
    ui->labelHint->setText(enabled ? texts.join(tr("；")) : QString());
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(problems.isEmpty() || !enabled);
}

void StabilityDialog::on_buttonBox_accepted() {
    // Entries read from the file whose rows were never touched stay.
    StabilityParams edited = params;
    collect(edited);
    // The element goes into the project file once the switch was set.
    edited.present = params.present || edited.enabled;
    params = edited;
}
