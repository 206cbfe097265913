#include "render/setlayer.h"

#include "model/datacenter.h"
#include "model/fielddata/fieldview.h"
#include "render/acicolor.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace SetLayer {
namespace {
constexpr double kDeg = 0.017453292519943295;

QFont labelFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("SimSun"));
    font.setPixelSize(qMax(1, pixelSize));
    font.setBold(bold);
    return font;
}

QPointF toScreen(const QPointF& p, double R) {
    return QPointF(R * p.x(), -R * p.y());
}

// The mean plane's great circle, as Scene::greatCircle draws structural
// planes: an arc, or two chords through its middle when it is nearly
// straight.
QPainterPath greatCirclePath(const PlaneRecord& record, double R) {
    QPainterPath path;
    if (record.SpanRadius < 6.0) {
        path.moveTo(toScreen(record.StartPoint, R));
        path.lineTo(toScreen(record.MidPoint, R));
        path.lineTo(toScreen(record.EndPoint, R));
        return path;
    }
    const double r = R * record.CircleRadius;
    const QRectF rect(R * record.CenterPoint.x() - r, -R * record.CenterPoint.y() - r, 2 * r, 2 * r);
    path.arcMoveTo(rect, record.StartAngle);
    path.arcTo(rect, record.StartAngle, record.SpanRadius);
    return path;
}

// A triangle standing on the point, its centre on it.
QPolygonF triangle(const QPointF& at, double size) {
    const double h = size * 0.866;
    return QPolygonF(
        {at + QPointF(0, -2 * h / 3), at + QPointF(size / 2, h / 3), at + QPointF(-size / 2, h / 3)});
}

QString meanText(const FieldSetView& set) {
    if (!set.hasMean())
        return set.name;
    return QStringLiteral("%1 %2∠%3 n=%4")
        .arg(set.name)
        .arg(set.statistics.direction, 0, 'f', 1)
        .arg(set.statistics.angle, 0, 'f', 1)
        .arg(set.statistics.count);
}
} // namespace

QPainterPath piecesPath(const QVector<NetCurvePiece>& pieces, double R) {
    QPainterPath path;
    for (const NetCurvePiece& piece : pieces) {
        if (piece.kind == NetCurvePiece::Segment) {
            path.moveTo(toScreen(piece.start, R));
            path.lineTo(toScreen(piece.end, R));
            continue;
        }
        // Vertices some 3 pixels apart: exact enough, and safe for circles
        // far larger than the net.
        const double span = pieceSpan(piece);
        const double length = span * kDeg * piece.radius * R;
        const int n = qBound(12, int(length / 3.0), 2000);
        path.moveTo(toScreen(piecePoint(piece, 0), R));
        for (int k = 1; k <= n; ++k)
            path.lineTo(toScreen(piecePoint(piece, double(k) / n), R));
        if (piece.kind == NetCurvePiece::Circle)
            path.closeSubpath();
    }
    return path;
}

void draw(QPainter& painter, double R, int p, const DataCenter& project, const FieldView& view) {
    if (view.sets.isEmpty() || !(R > 0))
        return;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    const double width = qBound(1.0, R / 250.0, 3.0);
    for (const FieldSetView& set : view.sets) {
        const QColor colour = aciColor(set.color);
        painter.setPen(QPen(colour, width, Qt::DashLine));
        painter.drawPath(piecesPath(set.window, R));
        if (!set.hasMean())
            continue;
        const PlaneRecord mean = FieldViews::meanPlaneRecord(project, set);
        painter.setPen(QPen(colour, width));
        painter.drawPath(greatCirclePath(mean, R));
        painter.drawPath(piecesPath(set.confidence, R));
        painter.setPen(QPen(colour, width, Qt::DotLine));
        painter.drawPath(piecesPath(set.variability, R));
    }
    // Mean poles and names on top of every set's lines.
    const double size = qBound(8.0, R / 30.0, 20.0);
    painter.setFont(labelFont(p, true));
    const QFontMetricsF metrics(painter.font());
    for (const FieldSetView& set : view.sets) {
        const QColor colour = aciColor(set.color);
        QPointF at;
        if (set.hasMean()) {
            at = toScreen(set.meanPole, R);
            painter.setPen(QPen(Qt::black, 1));
            painter.setBrush(colour);
            painter.drawPolygon(triangle(at, size));
            painter.setBrush(Qt::NoBrush);
            at += QPointF(0.6 * size, -0.4 * size);
        } else if (!set.window.isEmpty()) {
            // A window without poles is named at its first piece's middle.
            at = toScreen(piecePoint(set.window.first(), 0.25), R);
        } else {
            continue;
        }
        // White halo so the name reads over the density bands.
        QPainterPath text;
        text.addText(at + QPointF(0, -metrics.descent()), painter.font(), set.name);
        painter.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(text);
        painter.fillPath(text, colour);
    }
    painter.restore();
}

double drawLegend(QPainter& painter, double x, double y, int p, const FieldView& view) {
    if (view.sets.isEmpty())
        return y;
    painter.save();
    const int size = qMax(6, int(0.8 * p));
    painter.setFont(labelFont(size, false));
    const QFontMetricsF metrics(painter.font());
    const double row = size * 1.4;
    for (int s = 0; s < view.sets.size(); ++s) {
        const FieldSetView& set = view.sets.at(s);
        const double top = y + row * s;
        const QPointF at(x + 0.6 * size, top + 0.5 * row);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(aciColor(set.color));
        painter.drawPolygon(triangle(at, 0.9 * size));
        painter.setBrush(Qt::NoBrush);
        painter.drawText(QPointF(x + size * 1.6, top + 0.15 * row + metrics.ascent() * 0.85), meanText(set));
    }
    painter.restore();
    return y + row * view.sets.size();
}

} // namespace SetLayer
