#include "app/setwindowtool.h"

#include "model/fielddata/measurements.h"
#include "model/fielddata/setgeometry.h"
#include "model/fielddata/sphere.h"

#include <QCursor>
#include <QPainter>
#include <QPen>
#include <QWidget>

#include <cmath>

namespace {
constexpr double kDeg = 3.14159265358979323846 / 180.0;

double roundTenth(double value) {
    return std::round(value * 10.0) / 10.0;
}

} // namespace

SetWindow draggedSetWindow(const QPointF& pressNet, const QPointF& currentNet, bool upperHemisphere) {
    const Vec3 centre = netDirection(pressNet, upperHemisphere);
    const Vec3 edge = netDirection(currentNet, upperHemisphere);
    SetWindow window;
    planeOfAxis(centre, window.centerDirection, window.centerAngle);
    window.centerDirection = roundTenth(window.centerDirection);
    window.centerAngle = roundTenth(window.centerAngle);
    if (window.centerDirection >= 360)
        window.centerDirection = 0;
    const double c = qBound(0.0, std::fabs(dot(centre, edge)), 1.0);
    window.halfAngle = roundTenth(std::acos(c) / kDeg);
    return window;
}

QVector<QVector<QPointF>> setWindowOutline(const SetWindow& window, bool upperHemisphere) {
    // The window as it will be drawn: the same circles and arcs, each as a
    // polyline fine enough for a rubber band.
    QVector<QVector<QPointF>> pieces;
    for (const NetCurvePiece& piece : smallCirclePieces(planePole(window.centerDirection, window.centerAngle),
                                                        window.halfAngle, upperHemisphere)) {
        const int steps = piece.kind == NetCurvePiece::Segment ? 1 : 180;
        QVector<QPointF> points;
        points.reserve(steps + 1);
        for (int i = 0; i <= steps; ++i)
            points << piecePoint(piece, double(i) / steps);
        pieces << points;
    }
    return pieces;
}

SetWindowTool::SetWindowTool(QWidget* view) : QObject(view), widget(view) {}

void SetWindowTool::setActive(bool on) {
    if (active == on)
        return;
    active = on;
    dragging = false;
    if (on) {
        widget->setCursor(Qt::CrossCursor);
        widget->setFocusPolicy(Qt::StrongFocus);
    } else {
        widget->unsetCursor();
    }
    widget->update();
}

bool SetWindowTool::press(const QPointF& pixel, const QSize& size, bool upperHemisphere) {
    if (!active)
        return false;
    frame = stereonetWindowFrame(size);
    const QPointF p = frame.netPoint(pixel);
    // A window is centred on the net, not beside it.
    if (p.x() * p.x() + p.y() * p.y() > 1.0)
        return false;
    upper = upperHemisphere;
    pressNet = currentNet = p;
    dragging = true;
    widget->setFocus();
    widget->update();
    return true;
}

bool SetWindowTool::move(const QPointF& pixel) {
    if (!dragging)
        return false;
    currentNet = frame.netPoint(pixel);
    widget->update();
    return true;
}

bool SetWindowTool::release(const QPointF& pixel) {
    if (!dragging)
        return false;
    currentNet = frame.netPoint(pixel);
    dragging = false;
    widget->update();
    const SetWindow window = draggedSetWindow(pressNet, currentNet, upper);
    if (window.halfAngle >= MinHalfAngle)
        emit windowDrawn(window);
    return true;
}

bool SetWindowTool::escape() {
    if (!active)
        return false;
    if (dragging) {
        dragging = false;
        widget->update();
    } else {
        emit finished();
    }
    return true;
}

void SetWindowTool::paint(QPainter& painter) const {
    if (!dragging)
        return;
    const SetWindow window = draggedSetWindow(pressNet, currentNet, upper);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0, 90, 200), 1.5, Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const QVector<QPointF>& piece : setWindowOutline(window, upper)) {
        QVector<QPointF> pixels;
        pixels.reserve(piece.size());
        for (const QPointF& p : piece)
            pixels << frame.pixel(p);
        painter.drawPolyline(pixels.constData(), pixels.size());
    }
    const QPointF centre = frame.pixel(pressNet);
    painter.setPen(QPen(QColor(0, 90, 200), 1.5));
    painter.drawLine(centre + QPointF(-6, 0), centre + QPointF(6, 0));
    painter.drawLine(centre + QPointF(0, -6), centre + QPointF(0, 6));
    const QString text =
        tr("中心%1 半锥角%2°")
            .arg(planeText(window.centerDirection, window.centerAngle), angleText(window.halfAngle));
    // The values beside the pointer, on white so they read over the net,
    // to its left where the window would cut them off.
    const QRectF textBox = QRectF(painter.fontMetrics().boundingRect(text)).adjusted(-3, -2, 3, 2);
    QPointF at = frame.pixel(currentNet) + QPointF(14, -10);
    if (at.x() + textBox.right() > widget->width())
        at.rx() -= 28 + textBox.width();
    const QRectF box = textBox.translated(at);
    painter.fillRect(box, QColor(255, 255, 255, 220));
    painter.setPen(Qt::black);
    painter.drawText(at, text);
    painter.restore();
}
