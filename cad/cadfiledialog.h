#pragma once

#include <QDialog>

namespace Ui {
class CadFileDialog;
}

// Asks for the net radius R and the text height percentage H of a CAD
// drawing saved to a file. Same settings ("cadradius", "cadheigh"), defaults
// and limits as the copy-to-CAD options; written only when OK is pressed.
// The CAD program ("cadtype") does not matter for a file and is left alone.
class CadFileDialog : public QDialog {
    Q_OBJECT
public:
    explicit CadFileDialog(QWidget* parent = nullptr);
    ~CadFileDialog() override;

    int radius() const { return m_radius; }
    int textPercent() const { return m_textPercent; }

private slots:
    void on_buttonBox_accepted();
    void updateOkButton();

private:
    Ui::CadFileDialog* ui;
    int m_radius = 50;
    int m_textPercent = 5;
};
