// Drawing of the judgement zones beneath the stereonet.
#include "model/judgezone.h"

#include <QColor>
#include <QLine>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr double kEps = 0.00001;
const QColor kZoneColour(36, 161, 254);

enum class Form { Closed, TwoHalves };

// The right half as built and its mirror image across the zone frame's y
// axis, in pixels. sign flips y for the lists that lie on the far side.
QPainterPath halfPath(const QVector<QPointF>& points, double R, double sign, bool mirrored, bool reversed) {
    QPainterPath path;
    const int n = points.size();
    for (int k = 0; k < n; ++k) {
        const QPointF& p = points[reversed ? n - 1 - k : k];
        const QPointF q((mirrored ? -R : R) * p.x(), sign * R * p.y());
        if (k == 0)
            path.moveTo(q);
        else
            path.lineTo(q);
    }
    return path;
}

void drawList(QPainter& painter, const QVector<QPointF>& points, double R, double sign, int alpha,
              Form form) {
    if (points.size() <= 1)
        return;
    painter.save();
    if (alpha < 0) {
        painter.setBrush(Qt::NoBrush);
    } else {
        QColor fill = kZoneColour;
        fill.setAlpha(alpha);
        painter.setBrush(fill);
    }
    const QPainterPath right = halfPath(points, R, sign, false, false);
    if (form == Form::Closed) {
        const QPainterPath left = halfPath(points, R, sign, true, true);
        painter.drawPath(right.united(left));
    } else {
        painter.drawPath(right);
        painter.drawPath(halfPath(points, R, sign, true, false));
    }
    painter.restore();
}

} // namespace

void JudgeZone::draw(QPainter& painter, double R, double slopeDirection) const {
    painter.save();
    painter.rotate(upper ? slopeDirection : slopeDirection + 180.0);

    QPen pen(kZoneColour, 2);
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);

    const bool frictionShown = bigCircle ? frictionRadius < 0.99999 : frictionRadius > kEps;
    if (frictionShown)
        painter.drawEllipse(QPointF(0, 0), R * frictionRadius, R * frictionRadius);

    if (std::abs(limitPoint1.y()) > kEps) {
        painter.drawLine(QLine(0, 0, int(R * limitPoint1.x()), int(-R * limitPoint1.y())));
        painter.drawLine(QLine(0, 0, int(R * limitPoint2.x()), int(-R * limitPoint2.y())));
    }

    if (bigCircle) {
        drawList(painter, slidingZone, R, +1, 100, Form::Closed);
        drawList(painter, marginZone, R, +1, 50, Form::TwoHalves);
        drawList(painter, topplingZone, R, -1, 100, Form::Closed);
    } else {
        drawList(painter, envelope, R, -1, -1, Form::TwoHalves);
        drawList(painter, slidingZone, R, -1, 100, Form::Closed);
        drawList(painter, marginZone, R, -1, 50, Form::TwoHalves);
        drawList(painter, topplingZone, R, +1, 100, Form::Closed);
    }

    painter.restore();
}
