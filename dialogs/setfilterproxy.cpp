#include "dialogs/setfilterproxy.h"

SetFilterProxy::SetFilterProxy(int setColumn, QObject* parent)
    : QSortFilterProxyModel(parent), column(setColumn) {}

void SetFilterProxy::setSetNames(const QStringList& setNames) {
    names = setNames;
    refilter();
}

void SetFilterProxy::refilter() {
    // Rebuilt as one layout change: filtering the interleaved rows of a large
    // survey would otherwise remove and insert them range by range, and the
    // view would lay itself out again for each of thousands of ranges.
    invalidate();
}

void SetFilterProxy::showAll() {
    mode = Show::All;
    shown.clear();
    refilter();
}

void SetFilterProxy::showUnassigned() {
    mode = Show::Unassigned;
    shown.clear();
    refilter();
}

void SetFilterProxy::showSet(const QString& name) {
    mode = Show::OneSet;
    shown = name;
    refilter();
}

bool SetFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (mode == Show::All)
        return true;
    const QString set = sourceModel()->index(sourceRow, column, sourceParent).data(Qt::EditRole).toString();
    if (mode == Show::Unassigned)
        return set.isEmpty() || !names.contains(set);
    return set == shown;
}
