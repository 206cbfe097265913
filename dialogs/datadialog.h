#pragma once

#include "model/planerecord.h"

#include <QDialog>
#include <QString>
#include <QVector>

class QTableWidgetItem;

namespace Ui {
class DataDialog;
}

// The project data dialog: name, slope attitude, sliding criteria, toppling
// switch and the table of up to eight structural planes. The caller fills
// the working copies below, calls showData() and runs the dialog; the copies
// are valid for the project only after the dialog was accepted.
class DataDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxPlanes = 8;

    explicit DataDialog(QWidget* parent = nullptr);
    ~DataDialog() override;

    void showData();

    // Working copies.
    QString projectName;
    QVector<PlaneRecord> planes;
    PlaneRecord slope;
    double includedAngle = 30.0;
    double frictionAngle = 27.0;
    bool topple = false;

public slots:
    void on_buttonBox_accepted();
    void updataItemData(QTableWidgetItem* item);
    void on_editSlopeDirection_textChanged(const QString& text);
    void on_editSlopeAngle_textChanged(const QString& text);
    void btnClicked();
    void on_pushDefault_clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fillTable();
    void addRowButtons(int row);
    void setColumnWidths();
    void takeCellValue(PlaneRecord& plane, int column, const QString& text) const;

    Ui::DataDialog* ui;
};
