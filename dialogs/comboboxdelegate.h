#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

// Cell editor offering a fixed list of texts. With an empty list the cell has
// no editor. Cells are drawn centred, selected cells in bold.
class ComboBoxDelegate : public QStyledItemDelegate {
public:
    explicit ComboBoxDelegate(const QStringList& items, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    QStringList items;
};
