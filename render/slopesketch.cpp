#include "render/slopesketch.h"

#include "model/labels.h"

#include <QPainter>
#include <QPainterPath>
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

QPolygonF SlopeSketch::sectionPolygon(double faceAngle, double u) {
    double crestX;
    double crestY;
    if (faceAngle > 45) {
        crestY = -4 * u;
        crestX = 4 * u / qTan(qDegreesToRadians(faceAngle));
    } else {
        crestX = 4 * u;
        crestY = -4 * u * qTan(qDegreesToRadians(faceAngle));
    }
    QPolygonF polygon;
    polygon << QPointF(0, 0) << QPointF(crestX, crestY) << QPointF(6 * u, crestY) << QPointF(6 * u, 2 * u)
            << QPointF(-2 * u, 2 * u) << QPointF(-2 * u, 0) << QPointF(0, 0);
    return polygon;
}

QString SlopeSketch::dipText(double shown) {
    return tr("产状相对边坡视倾角为%1°").arg(Labels::removeZeroDecimals(QString::number(shown, 'f', 1)));
}

void SlopeSketch::paintEvent(QPaintEvent*) {
    const int w = width();
    const int h = height();
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(1, 1, w - 2, h - 2);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (shownDip >= 200)
        return;

    painter.setFont(QFont());
    painter.drawText(10, 20, dipText(shownDip));

    painter.setPen(QPen(Qt::black, 2));
    const double u = qMin(h / 8.0, w / 12.0);
    painter.translate((w / 2) - 2 * u, (h / 2) + u);

    QBrush hatch(Qt::blue, Qt::HorPattern);
    QTransform transform;
    transform.rotate(-hatchAngle, Qt::ZAxis);
    transform.scale(2, 2);
    hatch.setTransform(transform);
    painter.setBrush(hatch);
    if (upperShown)
        paintUpperSlope(painter, u);
    else
        painter.drawPolygon(sectionPolygon(faceAngle, u));
}
