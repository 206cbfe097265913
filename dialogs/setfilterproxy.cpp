#include "dialogs/setfilterproxy.h"

SetFilterProxy::SetFilterProxy(int setColumn, QObject* parent)
    : QSortFilterProxyModel(parent), column(setColumn) {}

void SetFilterProxy::setSetNames(const QStringList& setNames) {
    names = setNames;
    invalidateFilter();
}

void SetFilterProxy::showAll() {
    mode = Show::All;
    shown.clear();
    invalidateFilter();
}

void SetFilterProxy::showUnassigned() {
    mode = Show::Unassigned;
    shown.clear();
    invalidateFilter();
}

void SetFilterProxy::showSet(const QString& name) {
    mode = Show::OneSet;
    shown = name;
    invalidateFilter();
}

bool SetFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (mode == Show::All)
        return true;
    const QString set = sourceModel()->index(sourceRow, column, sourceParent).data(Qt::EditRole).toString();
    if (mode == Show::Unassigned)
        return set.isEmpty() || !names.contains(set);
    return set == shown;
}
