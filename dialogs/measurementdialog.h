#pragma once

#include "model/fielddata/measurements.h"

#include <QDialog>
#include <QVector>

class MeasurementModel;
class SetFilterProxy;

namespace Ui {
class MeasurementDialog;
}

// 测量数据: the project's measurements as a table to view, sort, edit and
// delete, rows pasted from a spreadsheet or imported from a file (both
// through the import dialog, which lists refused rows), undo of the last
// import, and the statistics settings (density method, counting area,
// levels, Terzaghi's weighting, the layer switch). Each row's set (组) is
// chosen from the project's sets, and a filter shows all rows, the rows in
// no set or those of one set. Works on a copy; OK hands
// it back through field().
class MeasurementDialog : public QDialog {
    Q_OBJECT
public:
    explicit MeasurementDialog(QWidget* parent = nullptr);
    ~MeasurementDialog() override;

    void setField(const FieldData& field);
    FieldData field() const;

    // The rows as they were before the last import (paste or file), when
    // that import can still be undone.
    void setUndoState(bool available, const QVector<Measurement>& before);
    bool undoAvailable() const { return undoable; }
    QVector<Measurement> rowsBeforeImport() const { return beforeImport; }

    // Adds rows as an import does (undoable).
    void importRows(const QVector<Measurement>& rows);
    // Opens the import dialog on the clipboard's text (rows copied from a
    // spreadsheet).
    void pasteFromClipboard();

public slots:
    void on_pushPaste_clicked();
    void on_pushImport_clicked();
    void on_pushDelete_clicked();
    void on_pushUndoImport_clicked();
    void accept() override;

private:
    void updateCount();
    void updateSets();
    void applyFilter();
    bool readSettings(FieldData& out, QString& problem) const;

    Ui::MeasurementDialog* ui;
    MeasurementModel* model;
    SetFilterProxy* proxy;
    FieldData original;
    bool undoable = false;
    QVector<Measurement> beforeImport;
};
