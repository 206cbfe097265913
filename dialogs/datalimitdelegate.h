#pragma once

#include <QRegularExpression>
#include <QStyledItemDelegate>

// Cell editor restricted by a regular expression. With an empty (or invalid)
// pattern the cell has no editor at all. Cells are drawn centred, selected
// cells in bold.
class DataLimitDelegate : public QStyledItemDelegate {
public:
    explicit DataLimitDelegate(const QRegularExpression& pattern, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    QRegularExpression pattern;
};
