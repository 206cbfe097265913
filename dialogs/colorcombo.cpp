#include "dialogs/colorcombo.h"

#include <QColor>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWheelEvent>

namespace {
bool isGlobalColor(int color) {
    return color >= Qt::color0 && color <= Qt::transparent;
}

QString rgbText(int color) {
    const QColor c(static_cast<Qt::GlobalColor>(color));
    return QStringLiteral("%1,%2,%3").arg(c.red()).arg(c.green()).arg(c.blue());
}
} // namespace

ColorCombo::ColorCombo(QWidget* parent)
    : QComboBox(parent), face(new QLineEdit(this)), list(new QListWidget(this)) {
    face->setReadOnly(true);
    face->setStyleSheet(QStringLiteral("background-color:rgb(255, 0, 0)"));
    setLineEdit(face);

    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setStyleSheet(QStringLiteral("QListWidget::Item:hover{background-color:rgb(0,125,255);}"));
    setModel(list->model());
    setView(list);

    addColorEntry(Qt::red, tr("红"));
    addColorEntry(Qt::yellow, tr("黄"));
    addColorEntry(Qt::green, tr("绿"));
    addColorEntry(Qt::cyan, tr("青"));
    addColorEntry(Qt::blue, tr("蓝"));
    addColorEntry(Qt::magenta, tr("洋红"));
    addColorEntry(Qt::black, tr("黑"));

    setContextMenuPolicy(Qt::NoContextMenu);
    face->setContextMenuPolicy(Qt::NoContextMenu);
    // The face shows a colour, never an entry's text.
    face->clear();
}

void ColorCombo::addColorEntry(int color, const QString& text) {
    auto* button = new QPushButton(this);
    button->setObjectName(QString::number(color));
    button->setStyleSheet(QStringLiteral("QPushButton{border:none;}QPushButton{background-color:white;}"
                                         "QPushButton:hover{background-color:rgb(224,238,249);}"));
    auto* layout = new QHBoxLayout(button);
    layout->setContentsMargins(5, 0, 0, 2);
    auto* swatch = new QLabel(button);
    swatch->setFixedSize(15, 15);
    swatch->setStyleSheet(
        QStringLiteral("border:1px solid black;background-color:rgb(%1);").arg(rgbText(color)));
    auto* label = new QLabel(text, button);
    layout->addWidget(swatch);
    layout->addWidget(label);
    connect(button, &QPushButton::clicked, this, &ColorCombo::onClickColorWidget);

    auto* item = new QListWidgetItem(list);
    list->setItemWidget(item, button);
}

void ColorCombo::paintFace(int color) {
    face->setStyleSheet(QStringLiteral("background-color:rgb(%1);").arg(rgbText(color)));
    face->clear();
}

void ColorCombo::setColor(int color) {
    if (!isGlobalColor(color))
        return;
    current = color;
    paintFace(color);
}

void ColorCombo::onClickColorWidget() {
    const QObject* button = sender();
    if (!button)
        return;
    bool ok = false;
    const int color = button->objectName().toInt(&ok);
    if (!ok || !isGlobalColor(color))
        return;
    current = color;
    paintFace(color);
    hidePopup();
    emit currentIndexChanged(color);
}

void ColorCombo::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

void ColorCombo::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (!(event->modifiers() & Qt::AltModifier)) {
            event->ignore();
            return;
        }
        break;
    default:
        break;
    }
    QComboBox::keyPressEvent(event);
}
