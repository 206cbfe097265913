#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class InputDialog;
}

// Edits one or two values of a project from the overview panel. The caller
// sets kind, item and the values, calls prepareFields() and runs the dialog;
// after OK the values hold the edited texts.
class InputDialog : public QDialog {
    Q_OBJECT
public:
    enum Kind : qint16 { ProjectEntry = 1, PlaneEntry = 2 };
    enum ProjectItem : qint16 { ProjectName = 1, SlopeAttitude = 2, SlidingCriteria = 5 };

    explicit InputDialog(QWidget* parent = nullptr);
    ~InputDialog() override;

    void prepareFields();

    qint16 kind = 0;
    qint16 item = 0;
    QString value1 = QStringLiteral("0");
    QString value2 = QStringLiteral("0");

public slots:
    void on_buttonBox_accepted();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Ui::InputDialog* ui;
};
