#pragma once

#include <QSortFilterProxyModel>
#include <QStringList>

// The rows of the measurement table filtered by their set (the text of the
// source's 组 column): all rows, the rows in no set (no name, or a name no
// set of the project has), or the rows of one set.
class SetFilterProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    enum class Show { All, Unassigned, OneSet };

    explicit SetFilterProxy(int setColumn, QObject* parent = nullptr);

    // The names of the project's sets.
    void setSetNames(const QStringList& names);
    void showAll();
    void showUnassigned();
    void showSet(const QString& name);
    Show showing() const { return mode; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    void refilter();

    int column;
    QStringList names;
    Show mode = Show::All;
    QString shown;
};
