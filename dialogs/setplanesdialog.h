#pragma once

#include <QDialog>
#include <QString>
#include <QVector>

namespace Ui {
class SetPlanesDialog;
}

// 用作结构面 when the sets would make more structural planes than a project
// holds: a check list of the sets, the user picks which give planes. A set
// that has a plane already updates it and takes no room.
class SetPlanesDialog : public QDialog {
    Q_OBJECT
public:
    struct Choice {
        int set = -1;        // index into the project's sets
        QString text;        // "J1  145.2∠35.1  n=54"
        bool linked = false; // updates a plane of its own
        bool checked = false;
    };

    explicit SetPlanesDialog(QWidget* parent = nullptr);
    ~SetPlanesDialog() override;

    // The sets to choose from, the planes the project has and how many it
    // holds.
    void setChoices(const QVector<Choice>& choices, int planes, int maxPlanes);
    // The checked sets, in order.
    QVector<int> chosen() const;

    // Why the choice cannot be taken (new planes past the room), or empty.
    static QString problem(int newPlanes, int room);

private:
    void updateState();

    Ui::SetPlanesDialog* ui;
    QVector<Choice> choices_;
    int room_ = 0;
};
