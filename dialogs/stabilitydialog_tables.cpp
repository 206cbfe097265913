// The load-case and anchor tabs of 稳定性计算参数.
#include "dialogs/numbercells.h"
#include "dialogs/stabilitydialog.h"
#include "model/datacenter.h"
#include "model/factors/loadcases.h"
#include "model/factors/stabilityfactors.h"
#include "model/factors/stabilityproblems.h"
#include "ui_stabilitydialog.h"

#include <QHash>
#include <QHeaderView>
#include <QPushButton>

#include <cmath>

using namespace NumberCells;

namespace {

enum CaseColumn {
    CaseName = 0,
    CaseCrackWater,
    CaseSaturated,
    CaseSeismic,
    CaseTable,
    CaseRequired,
    CaseColumns
};
enum AnchorColumn { AnchorBlock = 0, AnchorForce, AnchorInclination, AnchorBearing, AnchorColumns };

constexpr int AttributeRole = Qt::UserRole + 1; // editable cells: the input they hold
constexpr int KeyRole = Qt::UserRole + 2;       // anchor rows: plane id, or the ids of a wedge's planes
constexpr int WedgeRole = Qt::UserRole + 3;     // anchor rows: true for a wedge

constexpr double MaxSeismicCase = 0.5; // αw, as for the element's own

QString numberText(double value) {
    return QString::number(value, 'g', 10);
}

QTableWidgetItem* cell(const QString& text, const char* attribute) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    if (attribute)
        item->setData(AttributeRole, QLatin1String(attribute));
    else
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

void styleTable(QTableWidget* table, const QStringList& headers) {
    table->setColumnCount(headers.size());
    table->setHorizontalHeaderLabels(headers);
    table->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section{background:rgba(36,161,254,50);}"));
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->verticalHeader()->hide();
}

ParamProblem problem(const char* element, int row, const char* attribute, const QString& label,
                     const QString& range, double value) {
    ParamProblem p;
    p.element = QLatin1String(element);
    p.planeId = row;
    p.attribute = QLatin1String(attribute);
    p.label = label;
    p.range = range;
    p.value = value;
    return p;
}

bool isCandidate(const PlaneRecord& record) {
    return record.state == StabilityState::BelowFriction || record.state / 10 == 3;
}

} // namespace

void StabilityDialog::setupTables() {
    QTableWidget* cases = ui->tableCases;
    styleTable(cases, {tr("工况"), tr("裂隙充水比(0-1)"), tr("楔形体饱水"), tr("αw"), tr("表5.3.2 Fst"),
                       tr("采用Fst")});
    QStringList presets{tr("0（不考虑地震作用）")};
    const char* const intensities[] = {QT_TR_NOOP("7度（0.10g）"), QT_TR_NOOP("7度（0.15g）"),
                                       QT_TR_NOOP("8度（0.20g）"), QT_TR_NOOP("8度（0.30g）"),
                                       QT_TR_NOOP("9度（0.40g）")};
    const QList<double> values = seismicPresets();
    for (int i = 0; i < values.size(); ++i)
        presets << tr("%1（%2）").arg(QString::number(values.at(i), 'f', 3), tr(intensities[i]));
    cases->setItemDelegateForColumn(CaseCrackWater, new NumberDelegate(this));
    cases->setItemDelegateForColumn(CaseSeismic, new PresetDelegate(presets, this));
    cases->setItemDelegateForColumn(CaseRequired, new NumberDelegate(this));
    connect(cases, &QTableWidget::cellChanged, this, [this](int, int column) {
        if (loading)
            return;
        if (column == CaseSeismic)
            updateCaseRequired();
        updateState();
    });
    connect(ui->buttonAddCase, &QPushButton::clicked, this, [this] {
        if (ui->tableCases->rowCount() >= MaxLoadCases)
            return;
        LoadCase added;
        added.name = tr("工况%1").arg(ui->tableCases->rowCount() + 1);
        addCaseRow(added);
        updateCaseRequired();
        updateState();
    });
    connect(ui->buttonRemoveCase, &QPushButton::clicked, this, [this] {
        QTableWidget* table = ui->tableCases;
        const int row = table->currentRow() >= 0 ? table->currentRow() : table->rowCount() - 1;
        if (table->rowCount() > 1 && row >= 0)
            table->removeRow(row);
        updateState();
    });
    connect(ui->buttonDefaultCases, &QPushButton::clicked, this, [this] {
        StabilityParams current = params;
        QList<ParamProblem> unused;
        const QList<LoadCase> typed = collectCases(unused);
        if (!typed.isEmpty() && std::isfinite(typed.first().crackWater)) {
            current.crackWater = typed.first().crackWater;
            current.wedgeSaturated = typed.first().wedgeSaturated;
        }
        showCases(defaultLoadCases(current));
        updateState();
    });

    styleTable(ui->tableAnchors, {tr("块体"), tr("锚固力T"), tr("倾角ψT(°)"), tr("方位(°)")});
    ui->tableAnchors->horizontalHeader()->setSectionResizeMode(AnchorBlock, QHeaderView::ResizeToContents);
    for (int column : {AnchorForce, AnchorInclination, AnchorBearing})
        ui->tableAnchors->setItemDelegateForColumn(column, new NumberDelegate(this));
    connect(ui->tableAnchors, &QTableWidget::cellChanged, this, [this] {
        if (!loading)
            updateState();
    });
}

void StabilityDialog::showCases(const QList<LoadCase>& cases) {
    const bool wasLoading = loading;
    loading = true;
    ui->tableCases->setRowCount(0);
    for (const LoadCase& c : cases)
        addCaseRow(c);
    loading = wasLoading;
    updateCaseRequired();
}

void StabilityDialog::addCaseRow(const LoadCase& c) {
    const bool wasLoading = loading;
    loading = true;
    QTableWidget* table = ui->tableCases;
    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, CaseName, cell(c.name, "name"));
    table->setItem(row, CaseCrackWater, cell(numberText(c.crackWater), "crackWater"));
    QTableWidgetItem* saturated = cell(QString(), nullptr);
    saturated->setFlags((saturated->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsEditable);
    saturated->setCheckState(c.wedgeSaturated ? Qt::Checked : Qt::Unchecked);
    table->setItem(row, CaseSaturated, saturated);
    table->setItem(row, CaseSeismic, cell(numberText(c.seismic), "seismic"));
    table->setItem(row, CaseTable, cell(QString(), nullptr));
    table->setItem(row, CaseRequired,
                   cell(c.requiredTyped > 0 ? numberText(c.requiredTyped) : QString(), "required"));
    loading = wasLoading;
}

// The table's Fst of every row, for the class, kind and the row's αw.
void StabilityDialog::updateCaseRequired() {
    const bool wasLoading = loading;
    loading = true;
    QTableWidget* table = ui->tableCases;
    const int safetyClass = ui->comboSafetyClass->currentIndex() + 1;
    const bool permanent = ui->radioPermanent->isChecked();
    for (int row = 0; row < table->rowCount(); ++row) {
        const double seismic = typedNumber(table->item(row, CaseSeismic)->text());
        double required = 0;
        QTableWidgetItem* item = table->item(row, CaseTable);
        if (tableRequiredFactor(safetyClass, permanent, seismic > 0, required)) {
            item->setText(QString::number(required, 'f', 2));
            item->setToolTip(seismic > 0 ? tr("地震工况") : tr("一般工况"));
        } else {
            item->setText(tr("表中无值"));
            item->setToolTip(
                tr("GB 50330-2013 表5.3.2未给出临时边坡地震工况的稳定安全系数，请在“采用Fst”中填入"));
        }
    }
    loading = wasLoading;
}

QList<LoadCase> StabilityDialog::collectCases(QList<ParamProblem>& problems) const {
    QList<LoadCase> out;
    const QTableWidget* table = ui->tableCases;
    const int safetyClass = ui->comboSafetyClass->currentIndex() + 1;
    const bool permanent = ui->radioPermanent->isChecked();
    for (int row = 0; row < table->rowCount(); ++row) {
        LoadCase c;
        c.name = table->item(row, CaseName)->text().trimmed();
        const QString shown = c.name.isEmpty() ? tr("第%1个工况").arg(row + 1) : c.name;
        if (c.name.isEmpty() || c.name.size() > MaxCaseName)
            problems << problem("Case", row, "name", tr("工况名称"), tr("1至%1个字").arg(MaxCaseName),
                                c.name.isEmpty() ? std::numeric_limits<double>::quiet_NaN() : c.name.size());
        c.crackWater = typedNumber(table->item(row, CaseCrackWater)->text());
        if (!(c.crackWater >= 0 && c.crackWater <= 1))
            problems << problem("Case", row, "crackWater", tr("%1的裂隙充水比").arg(shown),
                                tr("0≤充水深度比≤1"), c.crackWater);
        c.wedgeSaturated = table->item(row, CaseSaturated)->checkState() == Qt::Checked;
        c.seismic = typedNumber(table->item(row, CaseSeismic)->text());
        if (!(c.seismic >= 0 && c.seismic <= MaxSeismicCase))
            problems << problem("Case", row, "seismic", tr("%1的综合水平地震系数αw").arg(shown),
                                tr("0≤αw≤%1").arg(MaxSeismicCase), c.seismic);
        const QString typed = table->item(row, CaseRequired)->text().trimmed();
        if (!typed.isEmpty()) {
            c.requiredTyped = typedNumber(typed);
            double fromTable = 0;
            const bool inTable = tableRequiredFactor(safetyClass, permanent, c.seismic > 0, fromTable);
            // The engineer may raise the table's value, never lower it.
            const double low = inTable ? fromTable : 1.0;
            if (!(c.requiredTyped >= low - FactorTolerance && c.requiredTyped <= MaxRequired)) {
                const QString range = inTable ? tr("表5.3.2的%1≤Fst≤%2（不填即取表值）")
                                                    .arg(QString::number(fromTable, 'f', 2))
                                                    .arg(MaxRequired)
                                              : tr("1≤Fst≤%1").arg(MaxRequired);
                problems << problem("Case", row, "required", tr("%1的稳定安全系数Fst").arg(shown), range,
                                    c.requiredTyped);
            }
        }
        out << c;
    }
    return out;
}

void StabilityDialog::showAnchors(const DataCenter& project) {
    QTableWidget* table = ui->tableAnchors;
    const bool wasLoading = loading;
    loading = true;
    table->setRowCount(0);
    auto addRow = [&](const QString& block, bool wedge, const QVariant& key, const BlockAnchor* anchor) {
        const int row = table->rowCount();
        table->insertRow(row);
        QTableWidgetItem* name = cell(block, nullptr);
        name->setData(KeyRole, key);
        name->setData(WedgeRole, wedge);
        table->setItem(row, AnchorBlock, name);
        table->setItem(row, AnchorForce, cell(anchor ? numberText(anchor->force) : QString(), "force"));
        table->setItem(
            row, AnchorInclination,
            cell(numberText(anchor ? anchor->inclination : BlockAnchor().inclination), "inclination"));
        QTableWidgetItem* bearing =
            cell(anchor && anchor->bearingGiven ? numberText(anchor->bearing) : QString(),
                 wedge ? "bearing" : nullptr);
        if (!wedge)
            bearing->setText(tr("沿倾向"));
        table->setItem(row, AnchorBearing, bearing);
    };
    // Every block that gets a factor, and every block that has an anchor.
    for (const PlaneRecord& plane : project.planes) {
        const auto it = params.planeAnchors.constFind(plane.id);
        const bool has = it != params.planeAnchors.constEnd();
        if (!has && !(project.analysisOff || isCandidate(plane)))
            continue;
        addRow(tr("结构面%1（平面滑动，kN/m）").arg(plane.id), false, plane.id, has ? &it.value() : nullptr);
    }
    if (!project.analysisOff) {
        for (const PlaneRecord& wedge : project.wedges) {
            // A wedge knows the positions of its two planes; its shown number
            // is never decoded.
            const int a = wedge.planeA, b = wedge.planeB;
            if (a < 0 || b < 0 || a >= project.planes.size() || b >= project.planes.size())
                continue;
            const WedgeKey key = wedgeKey(project.planes.at(a).id, project.planes.at(b).id);
            const auto it = params.wedgeAnchors.constFind(key);
            const bool has = it != params.wedgeAnchors.constEnd();
            if (!has && !isCandidate(wedge))
                continue;
            addRow(tr("楔形体%1×%2（kN）").arg(key.first).arg(key.second), true,
                   QVariant::fromValue(QPoint(key.first, key.second)), has ? &it.value() : nullptr);
        }
    }
    loading = wasLoading;
}

void StabilityDialog::collectAnchors(StabilityParams& out, QList<ParamProblem>& problems) const {
    const QTableWidget* table = ui->tableAnchors;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem* block = table->item(row, AnchorBlock);
        const bool wedge = block->data(WedgeRole).toBool();
        const QPoint pair = block->data(KeyRole).toPoint();
        const int planeId = block->data(KeyRole).toInt();
        const QString forceText = table->item(row, AnchorForce)->text().trimmed();
        // An empty force is no anchor.
        if (forceText.isEmpty()) {
            if (wedge)
                out.wedgeAnchors.remove(wedgeKey(pair.x(), pair.y()));
            else
                out.planeAnchors.remove(planeId);
            continue;
        }
        BlockAnchor anchor;
        anchor.force = typedNumber(forceText);
        const double maxForce = wedge ? MaxWedgeAnchor : MaxPlanarAnchor;
        if (!(anchor.force >= 0 && anchor.force <= maxForce))
            problems << problem("Anchor", row, "force", tr("%1的锚固力T").arg(block->text()),
                                tr("0≤T≤%1").arg(maxForce), anchor.force);
        anchor.inclination = typedNumber(table->item(row, AnchorInclination)->text());
        if (!(anchor.inclination > -90 && anchor.inclination < 90))
            problems << problem("Anchor", row, "inclination", tr("%1的锚固倾角ψT").arg(block->text()),
                                tr("-90°＜ψT＜90°"), anchor.inclination);
        if (wedge) {
            const QString bearingText = table->item(row, AnchorBearing)->text().trimmed();
            anchor.bearingGiven = !bearingText.isEmpty();
            if (anchor.bearingGiven) {
                anchor.bearing = typedNumber(bearingText);
                if (!(anchor.bearing >= 0 && anchor.bearing < 360))
                    problems << problem("Anchor", row, "bearing", tr("%1的锚固方位").arg(block->text()),
                                        tr("0≤方位＜360°"), anchor.bearing);
            }
            out.wedgeAnchors.insert(wedgeKey(pair.x(), pair.y()), anchor);
        } else {
            out.planeAnchors.insert(planeId, anchor);
        }
    }
}
