#pragma once

#include <QStyleOptionViewItem>

// The look shared by the table cell editors: every cell centred, the
// selected ones in bold.
inline QStyleOptionViewItem centredCellOption(const QStyleOptionViewItem& option) {
    QStyleOptionViewItem copy(option);
    copy.displayAlignment = Qt::AlignHCenter | Qt::AlignVCenter;
    if (copy.state & QStyle::State_Selected)
        copy.font.setWeight(QFont::Bold);
    return copy;
}
