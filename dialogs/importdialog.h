#pragma once

#include "dialogs/importglue.h"
#include "model/fielddata/measurements.h"

#include <QDialog>
#include <QStringList>
#include <QVector>

class QComboBox;

namespace Ui {
class ImportDialog;
}

// 导入测量数据: a CSV/TXT or .xlsx file, or rows pasted from a spreadsheet,
// shown as a preview; the user maps the columns (倾向/倾角 in two columns,
// the field-book column "135∠65", or 走向/倾角 by the right-hand rule, plus
// the optional kind, weight, station, note and traverse columns). Every row
// that cannot be taken is listed with its line, its text and the reason; OK
// ("导入N行") takes the others. The mapping is remembered for the next
// import ("importmapping" in the user's settings).
class ImportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ImportDialog(QWidget* parent = nullptr);
    ~ImportDialog() override;

    // Asks for a file and opens it; false when the user cancels or the file
    // cannot be read (after saying why).
    bool chooseFile();
    // Reads a file; false, with a message and nothing changed, when it
    // cannot be read.
    bool openFile(const QString& path);
    // Rows of tab-separated text (a spreadsheet's clipboard), from `origin`.
    void openText(const QString& text, const QString& origin);

    // The rows the current mapping accepts, and the refused ones.
    const QVector<Measurement>& accepted() const { return rows; }
    const QVector<RejectedRow>& rejected() const { return refused; }

    // The project's traverses, which a traverse column may name.
    void setTraverses(const QVector<Traverse>& list);

    // The column a mapping field is read from (-1: none), for tests.
    QComboBox* mappingBox(const QString& field) const;

public slots:
    void on_pushBrowse_clicked();
    void accept() override;

private:
    void showTable();
    void fillColumnBoxes();
    void guessOrRestoreMapping();
    void updateForm();
    void remap();
    void storeMapping() const;

    Ui::ImportDialog* ui;
    ImportGlue::Table source; // the table as read
    QVector<Traverse> traverses;
    QString path;
    QVector<Measurement> rows;
    QVector<RejectedRow> refused;
    bool updating = false;
};
