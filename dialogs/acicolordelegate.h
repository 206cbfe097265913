#pragma once

#include <QStyledItemDelegate>

// Cell editor for an AutoCAD colour index (ACI) kept in Qt::UserRole: a
// drop-down of the set colours (swatch and name), plus the cell's own colour
// when it is none of them. Writes the index into Qt::UserRole, the name into
// the text and the swatch into the decoration.
class AciColorDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit AciColorDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // The colour's name ("红", "蓝", …; "颜色号 n" for the others) and a
    // swatch of it.
    static QString colorName(int aci);
    static QIcon colorIcon(int aci);
    // Fills a cell: index, name and swatch.
    static void setCell(QAbstractItemModel* model, const QModelIndex& index, int aci);
};
