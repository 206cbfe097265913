#include "render/slopesketch.h"

#include <QPainter>
#include <QtMath>

SlopeSketch::SlopeSketch(QWidget* parent) : QWidget(parent) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
}

void SlopeSketch::setSketch(double slopeApparentDip, double planeDip, double shown) {
    faceAngle = qAbs(slopeApparentDip);
    hatchAngle = slopeApparentDip > 0 ? planeDip : -planeDip;
    shownDip = shown;
    update();
}

void SlopeSketch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
