// The slope sketch with the factor-of-safety calculation on: the upper slope
// surface and the slope height H the calculation uses.
#include "render/slopesketch.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <cmath>

void SlopeSketch::setUpperSlope(bool shown, double upperApparentDip, double height) {
    upperShown = shown;
    upperDip = shown && qIsFinite(upperApparentDip) ? upperApparentDip : 0.0;
    slopeHeight = shown && qIsFinite(height) ? height : 0.0;
    update();
}

QPolygonF SlopeSketch::upperSectionPolygon(double faceAngle, double upperDip, double u) {
    QPolygonF polygon = sectionPolygon(faceAngle, u);
    // The upper surface from the crest to the right edge, kept inside the
    // sketch (a surface nearly as steep as the face would leave it).
    const double crestX = polygon[1].x();
    const double crestY = polygon[1].y();
    const double rise = (6 * u - crestX) * qTan(qDegreesToRadians(std::clamp(upperDip, -80.0, 80.0)));
    polygon[2].setY(std::clamp(crestY - rise, -6.5 * u, 1.5 * u));
    return polygon;
}

QString SlopeSketch::heightText(double height) {
    return QStringLiteral("H=%1 m").arg(QString::number(std::round(height * 100) / 100, 'g', 12));
}

void SlopeSketch::paintUpperSlope(QPainter& painter, double u) {
    const QPolygonF section = upperSectionPolygon(faceAngle, upperDip, u);
    painter.drawPolygon(section);
    // H from the toe's level to the crest's, in front of the face.
    const QPointF crest = section[1];
    const double x = -u;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
    painter.drawLine(QPointF(x - 4, crest.y()), crest);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(QPointF(x, 0), QPointF(x, crest.y()));
    for (const double y : {0.0, crest.y()}) {
        const double towards = y == 0.0 ? -1 : 1; // arrow tips point at the levels
        painter.drawLine(QPointF(x, y), QPointF(x - 3, y + towards * 6));
        painter.drawLine(QPointF(x, y), QPointF(x + 3, y + towards * 6));
    }
    if (slopeHeight > 0) {
        const QString text = heightText(slopeHeight);
        const QFontMetricsF metrics(painter.font());
        painter.drawText(QPointF(x - 4 - metrics.horizontalAdvance(text), crest.y() / 2 + metrics.ascent() / 2),
                         text);
    }
    painter.restore();
}
