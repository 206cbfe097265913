#include "render/stereonet.h"

#include "model/datacenter.h"

#include <QImage>
#include <QPainter>

void drawStereonet(QPainter& painter, double R, DataCenter& project) {
    Q_UNUSED(project);
    painter.setPen(Qt::black);
    painter.drawEllipse(QPointF(0, 0), R, R);
}

void paintStereonetWindow(QPainter& painter, const QSize& size, DataCenter& project) {
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.translate(0.47 * size.width(), 0.5 * size.height());
    drawStereonet(painter, 0.4 * qMax(qMin(size.width(), size.height()), 400), project);
}

void renderStereonetImage(QImage& image, DataCenter& project) {
    QPainter painter(&image);
    painter.fillRect(image.rect(), Qt::white);
    painter.translate(0.47 * image.width(), 0.5 * image.height());
    drawStereonet(painter, 0.4 * qMin(image.width(), image.height()), project);
}

void JudgeZone::draw(QPainter& painter, double R, double slopeDirection) const {
    Q_UNUSED(painter);
    Q_UNUSED(R);
    Q_UNUSED(slopeDirection);
}
