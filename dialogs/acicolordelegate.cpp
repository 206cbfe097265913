#include "dialogs/acicolordelegate.h"

#include "render/acicolor.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

namespace {
// The colours sets are given, in defaultSetColor's order, with their names.
struct NamedColor {
    int aci;
    const char* name;
};
const NamedColor kNamed[] = {
    {1, QT_TRANSLATE_NOOP("AciColorDelegate", "红")},
    {5, QT_TRANSLATE_NOOP("AciColorDelegate", "蓝")},
    {3, QT_TRANSLATE_NOOP("AciColorDelegate", "绿")},
    {6, QT_TRANSLATE_NOOP("AciColorDelegate", "洋红")},
    {30, QT_TRANSLATE_NOOP("AciColorDelegate", "橙")},
    {4, QT_TRANSLATE_NOOP("AciColorDelegate", "青")},
    {200, QT_TRANSLATE_NOOP("AciColorDelegate", "紫")},
    {34, QT_TRANSLATE_NOOP("AciColorDelegate", "棕")},
    {150, QT_TRANSLATE_NOOP("AciColorDelegate", "天蓝")},
    {240, QT_TRANSLATE_NOOP("AciColorDelegate", "玫红")},
    {2, QT_TRANSLATE_NOOP("AciColorDelegate", "黄")},
    {7, QT_TRANSLATE_NOOP("AciColorDelegate", "黑")},
    {8, QT_TRANSLATE_NOOP("AciColorDelegate", "灰")},
};
} // namespace

AciColorDelegate::AciColorDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QString AciColorDelegate::colorName(int aci) {
    for (const NamedColor& c : kNamed)
        if (c.aci == aci)
            return tr(c.name);
    return tr("颜色号%1").arg(aci);
}

QIcon AciColorDelegate::colorIcon(int aci) {
    QPixmap swatch(14, 14);
    swatch.fill(aciColor(aci));
    QPainter painter(&swatch);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, 13, 13);
    return QIcon(swatch);
}

void AciColorDelegate::setCell(QAbstractItemModel* model, const QModelIndex& index, int aci) {
    model->setData(index, aci, Qt::UserRole);
    model->setData(index, colorName(aci), Qt::DisplayRole);
    model->setData(index, colorIcon(aci), Qt::DecorationRole);
}

QWidget* AciColorDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const {
    auto* combo = new QComboBox(parent);
    for (const NamedColor& c : kNamed)
        combo->addItem(colorIcon(c.aci), tr(c.name), c.aci);
    const int current = index.data(Qt::UserRole).toInt();
    if (combo->findData(current) < 0 && current >= 1 && current <= 255)
        combo->addItem(colorIcon(current), colorName(current), current);
    // The names show whole in the list, which opens at once.
    combo->view()->setMinimumWidth(combo->view()->sizeHintForColumn(0) + 24);
    QTimer::singleShot(0, combo, &QComboBox::showPopup);
    // The choice is taken as soon as it is made.
    connect(combo, QOverload<int>::of(&QComboBox::activated), this, [this, combo](int) {
        emit const_cast<AciColorDelegate*>(this)->commitData(combo);
        emit const_cast<AciColorDelegate*>(this)->closeEditor(combo);
    });
    return combo;
}

void AciColorDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo)
        return;
    const int found = combo->findData(index.data(Qt::UserRole).toInt());
    combo->setCurrentIndex(found < 0 ? 0 : found);
}

void AciColorDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (!combo || combo->currentIndex() < 0)
        return;
    setCell(model, index, combo->currentData().toInt());
}

void AciColorDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex&) const {
    // Over the whole cell, swatch included.
    editor->setGeometry(option.rect);
}
