#include "render/stereonet.h"

#include "model/datacenter.h"

#include <QPainter>

void drawStereonet(QPainter& painter, double R, DataCenter& project) {
    Q_UNUSED(project);
    painter.setPen(Qt::black);
    painter.drawEllipse(QPointF(0, 0), R, R);
}

void JudgeZone::draw(QPainter& painter, double R, double slopeDirection) const {
    Q_UNUSED(painter);
    Q_UNUSED(R);
    Q_UNUSED(slopeDirection);
}
