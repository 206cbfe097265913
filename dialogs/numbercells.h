#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>

#include <limits>

// Number fields and cells that keep what the user typed: they refuse only
// characters that cannot be part of a plain decimal number, never a value,
// so that a value out of range stays on screen to be named and mended.
namespace NumberCells {

inline QValidator* numberShape(QObject* parent) {
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^-?\\d{0,9}(\\.\\d{0,6})?$")),
                                           parent);
}

// The text as a number; NaN when empty or malformed (named as missing).
inline double typedNumber(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? value : std::numeric_limits<double>::quiet_NaN();
}

// A cell edited as a number: whatever the editor holds reaches the cell.
class NumberDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* editor = new QLineEdit(parent);
        editor->setValidator(numberShape(editor));
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QLineEdit*>(editor)->setText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        model->setData(index, static_cast<QLineEdit*>(editor)->text().trimmed(), Qt::EditRole);
    }
};

// A number cell with suggested values: an editable list whose entries are
// "value（meaning）"; the cell takes the number at the start of the text.
class PresetDelegate : public QStyledItemDelegate {
public:
    PresetDelegate(const QStringList& entries, QObject* parent)
        : QStyledItemDelegate(parent), entries(entries) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* editor = new QComboBox(parent);
        editor->setEditable(true);
        editor->setInsertPolicy(QComboBox::NoInsert);
        editor->addItems(entries);
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* combo = static_cast<QComboBox*>(editor);
        combo->setCurrentIndex(-1);
        combo->setEditText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        model->setData(index, leadingNumber(static_cast<QComboBox*>(editor)->currentText()), Qt::EditRole);
    }
    // "0.05（8度（0.20g））" -> "0.05"; text without a leading number stays.
    static QString leadingNumber(const QString& text) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^\\s*(-?\\d*\\.?\\d*)")).match(text);
        const QString number = m.captured(1);
        return number.isEmpty() || number == QLatin1String("-") ? text.trimmed() : number;
    }

private:
    QStringList entries;
};

} // namespace NumberCells
