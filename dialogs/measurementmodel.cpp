#include "dialogs/measurementmodel.h"

#include <algorithm>

MeasurementModel::MeasurementModel(QObject* parent) : QAbstractTableModel(parent) {}

QStringList MeasurementModel::kindWords() {
    return {tr("节理"), tr("层理"), tr("断层")};
}

void MeasurementModel::setMeasurements(const QVector<Measurement>& measurements) {
    beginResetModel();
    rows = measurements;
    endResetModel();
}

void MeasurementModel::append(const QVector<Measurement>& more) {
    if (more.isEmpty())
        return;
    beginInsertRows(QModelIndex(), rows.size(), rows.size() + more.size() - 1);
    rows += more;
    endInsertRows();
}

void MeasurementModel::removeRowsAt(QList<int> positions) {
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    if (positions.isEmpty())
        return;
    // Large removals are one reset; a few rows are removed one by one so the
    // view keeps its place.
    if (positions.size() > 50) {
        beginResetModel();
        QVector<Measurement> kept;
        kept.reserve(rows.size() - positions.size());
        int next = 0;
        for (int i = 0; i < rows.size(); ++i) {
            if (next < positions.size() && positions[next] == i) {
                ++next;
                continue;
            }
            kept << rows[i];
        }
        rows.swap(kept);
        endResetModel();
        return;
    }
    for (int k = positions.size() - 1; k >= 0; --k) {
        const int row = positions[k];
        if (row < 0 || row >= rows.size())
            continue;
        beginRemoveRows(QModelIndex(), row, row);
        rows.remove(row);
        endRemoveRows();
    }
}

int MeasurementModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows.size();
}

int MeasurementModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MeasurementModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows.size())
        return QVariant();
    const Measurement& m = rows[index.row()];
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != SortRole)
        return QVariant();
    switch (index.column()) {
    case Direction:
        return role == SortRole ? QVariant(m.direction) : QVariant(angleText(m.direction));
    case Angle:
        return role == SortRole ? QVariant(m.angle) : QVariant(angleText(m.angle));
    case Kind: {
        const QStringList words = kindWords();
        const int k = m.type >= 2 && m.type <= 4 ? m.type - 2 : 0;
        return role == SortRole ? QVariant(m.type) : QVariant(words.at(k));
    }
    case Weight:
        return role == SortRole ? QVariant(m.weight) : QVariant(QString::number(m.weight, 'g', 6));
    case Station:
        return m.station;
    case Traverse:
        if (role == SortRole)
            return m.traverse;
        return m.traverse > 0 ? QVariant(QString::number(m.traverse)) : QVariant(QString());
    case Notes:
        return m.notes;
    case Set:
        return m.set;
    default:
        return QVariant();
    }
}

bool MeasurementModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.row() >= rows.size())
        return false;
    Measurement m = rows[index.row()];
    const QString text = value.toString().trimmed();
    bool ok = true;
    switch (index.column()) {
    case Direction: {
        m.direction = text.toDouble(&ok);
        if (ok && m.direction == 360.0)
            m.direction = 0.0;
        break;
    }
    case Angle:
        m.angle = text.toDouble(&ok);
        break;
    case Kind: {
        const int k = kindWords().indexOf(text);
        ok = k >= 0;
        m.type = k + 2;
        break;
    }
    case Weight:
        m.weight = text.toDouble(&ok);
        break;
    case Station:
        m.station = value.toString();
        break;
    case Traverse:
        if (text.isEmpty())
            m.traverse = 0;
        else
            m.traverse = text.toInt(&ok);
        ok = ok && m.traverse >= 0;
        break;
    case Notes:
        m.notes = value.toString();
        break;
    case Set:
        if (!text.isEmpty() && !setNames.contains(text)) {
            problem = tr("没有名为\"%1\"的组").arg(text);
            emit editRefused(problem);
            return false;
        }
        m.set = text;
        break;
    default:
        return false;
    }
    problem = ok ? measurementProblem(m) : tr("无法识别\"%1\"").arg(text);
    if (!problem.isEmpty()) {
        emit editRefused(problem);
        return false;
    }
    rows[index.row()] = m;
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags MeasurementModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant MeasurementModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case Direction:
        return tr("倾向");
    case Angle:
        return tr("倾角");
    case Kind:
        return tr("类型");
    case Weight:
        return tr("权重");
    case Station:
        return tr("测点");
    case Traverse:
        return tr("测线");
    case Notes:
        return tr("备注");
    case Set:
        return tr("组");
    default:
        return QVariant();
    }
}
