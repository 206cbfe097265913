#pragma once

#include <QDialog>

class QObject;
class QSettings;
class QString;
class QValidator;

namespace Ui {
class CADDialog;
}

// Asks which CAD program the drawing is for, the net radius R and the text
// height percentage H. The three values persist in the settings store
// ("cadtype", "cadradius", "cadheigh"), written only when OK is pressed.
class CADDialog : public QDialog {
    Q_OBJECT
public:
    enum CadType { AutoCad = 1, GstarCad = 2, ZwCad = 4 };

    explicit CADDialog(QWidget* parent = nullptr);
    ~CADDialog() override;

    int cadType() const { return m_cadType; }
    int radius() const { return m_radius; }
    int textPercent() const { return m_textPercent; }

    // A whole number from the store; anything else (text that is not an
    // integer, a double that is not finite or beyond int) reads as 0.
    static int storedWhole(const QSettings& settings, const QString& key, int fallback);

    // The drawing size R and H as both CAD dialogs keep it: read from and
    // written to "cadradius" and "cadheigh", the radius typed as 10..100.
    static void readDrawingSize(int& radius, int& textPercent);
    static void writeDrawingSize(int radius, int textPercent);
    static QValidator* radiusValidator(QObject* parent);
    static bool radiusAcceptable(const QString& text);
    static int radiusFrom(const QString& text);

private slots:
    void on_buttonBox_accepted();
    void updateOkButton();

private:
    Ui::CADDialog* ui;
    int m_cadType = 1;
    int m_radius = 50;
    int m_textPercent = 5;
};
