#pragma once

#include <QComboBox>

class QLineEdit;
class QListWidget;

// Drop-down picker of the seven plane colours. The face shows the current
// colour; choosing an entry emits currentIndexChanged(int) with the colour's
// Qt::GlobalColor number (not a list index).
class ColorCombo : public QComboBox {
    Q_OBJECT
public:
    explicit ColorCombo(QWidget* parent = nullptr);

    // Stores `color` (a Qt::GlobalColor number) and paints the face with it.
    void setColor(int color);
    int color() const { return current; }

public slots:
    void onClickColorWidget();

protected:
    // The list's own index must never change: the combo box would report it
    // as if it were a colour number.
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void addColorEntry(int color, const QString& text);
    void paintFace(int color);

    QLineEdit* face;
    QListWidget* list;
    int current = Qt::yellow;
};
