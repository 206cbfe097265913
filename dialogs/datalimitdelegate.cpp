#include "dialogs/datalimitdelegate.h"

#include "dialogs/celllook.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>

DataLimitDelegate::DataLimitDelegate(const QRegularExpression& pattern, QObject* parent)
    : QStyledItemDelegate(parent), pattern(pattern) {}

void DataLimitDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, centredCellOption(option), index);
}

QWidget* DataLimitDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                         const QModelIndex&) const {
    if (pattern.pattern().isEmpty() || !pattern.isValid())
        return nullptr;
    auto* edit = new QLineEdit(parent);
    edit->setValidator(new QRegularExpressionValidator(pattern, parent));
    return edit;
}

void DataLimitDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* edit = static_cast<QLineEdit*>(editor);
    edit->setAlignment(Qt::AlignHCenter);
    edit->setText(index.data(Qt::EditRole).toString());
}

void DataLimitDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                     const QModelIndex& index) const {
    model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
}

void DataLimitDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                             const QModelIndex&) const {
    editor->setGeometry(option.rect);
}
