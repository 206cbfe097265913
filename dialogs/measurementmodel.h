#pragma once

#include "model/fielddata/measurements.h"

#include <QAbstractTableModel>
#include <QVector>

// The measurements of a project as a table: 倾向, 倾角, 类型, 权重, 测点,
// 测线, 备注, 组. Cells edit in place; a value a measurement cannot take is
// refused (setData returns false and lastProblem() says why). The vertical
// header numbers the rows 1, 2, ... in their stored order.
class MeasurementModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Direction, Angle, Kind, Weight, Station, Traverse, Notes, Set, ColumnCount };
    // Sorting role: numbers as numbers, texts as texts.
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit MeasurementModel(QObject* parent = nullptr);

    void setMeasurements(const QVector<Measurement>& rows);
    const QVector<Measurement>& measurements() const { return rows; }
    // Appends rows at the end (paste, import).
    void append(const QVector<Measurement>& more);
    // Removes the given rows (any order, duplicates allowed).
    void removeRowsAt(QList<int> positions);

    QString lastProblem() const { return problem; }

    // The names of the project's sets: the 组 cell takes one of them or
    // nothing.
    void setSetNames(const QStringList& names) { setNames = names; }
    const QStringList& setNameList() const { return setNames; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // "节理", "层理", "断层" for the kind codes 2..4.
    static QStringList kindWords();

signals:
    // A cell edit was refused; the text says why.
    void editRefused(const QString& reason);

private:
    QVector<Measurement> rows;
    QStringList setNames;
    QString problem;
};
