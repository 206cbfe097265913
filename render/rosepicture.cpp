#include "render/rosepicture.h"

#include "model/fielddata/fieldpoles.h"
#include "model/fielddata/measurements.h"
#include "model/fonts.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace RosePicture {
namespace {
constexpr double kDegToRad = 0.017453292519943295;

QString tr(const char* text) {
    return QCoreApplication::translate("RoseDiagram", text);
}

QFont roseFont(double pixelSize) {
    QFont font(QStringLiteral("SimSun"));
    font.setPixelSize(qMax(1, int(pixelSize)));
    return font;
}

QString numberText(double value) {
    return QString::number(value, 'g', 4);
}

// A ring step of 1, 2, 2.5 or 5 times a power of ten giving at most five rings.
double ringStep(double maxValue) {
    if (!(maxValue > 0))
        return 1;
    const double raw = maxValue / 5.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double f : {1.0, 2.0, 2.5, 5.0})
        if (f * power >= raw)
            return f * power;
    return 10 * power;
}

// A point at azimuth (clockwise from north) and radius from the centre, in
// screen coordinates (y down).
QPointF polar(const QPointF& centre, double azimuth, double radius) {
    return centre + QPointF(radius * std::sin(azimuth * kDegToRad), -radius * std::cos(azimuth * kDegToRad));
}
} // namespace

RoseDiagram roseOf(const FieldData& field, const RoseSettings& settings) {
    QVector<double> directions, angles;
    directions.reserve(field.measurements.size());
    angles.reserve(field.measurements.size());
    for (const Measurement& m : field.measurements) {
        directions << m.direction;
        angles << m.angle;
    }
    return roseDiagram(directions, angles, settings.weighted ? measurementWeights(field) : QVector<double>(),
                       settings);
}

QString title(const FieldData& field, const RoseSettings& settings) {
    const bool strike = settings.quantity == RoseQuantity::Strike;
    const QString kind = strike ? tr("走向玫瑰花图") : tr("倾向玫瑰花图");
    return tr("%1（%2°分组，%3条%4%5）")
        .arg(kind)
        .arg(settings.sectorWidth)
        .arg(field.measurements.size())
        .arg(settings.weighted ? tr("，加权") : QString())
        .arg(settings.percent ? tr("，百分比") : QString());
}

void draw(QPainter& painter, const QRectF& area, const FieldData& field, const RoseSettings& settings) {
    installFontSubstitutions();
    const RoseDiagram rose = roseOf(field, settings);
    const QVector<double>& bins = rose.sectors;
    const double width = rose.settings.sectorWidth;
    const double maxValue = rose.maxValue;
    const bool strike = settings.quantity == RoseQuantity::Strike;

    const double text = qMax(9.0, qMin(area.width(), area.height()) / 32.0);
    const double titleSpace = 2.2 * text;
    double radius;
    QPointF centre;
    if (strike) {
        radius = qMin(0.42 * area.width(), area.height() - titleSpace - 3.5 * text);
        centre = QPointF(area.center().x(), area.top() + titleSpace + 1.8 * text + radius);
    } else {
        radius = qMin(0.42 * area.width(), 0.5 * (area.height() - titleSpace) - 1.8 * text);
        centre = QPointF(area.center().x(), area.top() + titleSpace + 0.5 * (area.height() - titleSpace));
    }
    radius = qMax(radius, 10.0);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(roseFont(text));
    const QFontMetricsF metrics(painter.font());

    // Title.
    painter.setPen(Qt::black);
    const QString heading = title(field, settings);
    painter.drawText(QPointF(area.center().x() - metrics.horizontalAdvance(heading) / 2,
                             area.top() + metrics.ascent() + 0.3 * text),
                     heading);

    // Sectors.
    const double start = strike ? 270.0 : 0.0; // where the rings and bearings start
    const double scale =
        maxValue > 0 ? radius / (ringStep(maxValue) * std::ceil(maxValue / ringStep(maxValue))) : 0;
    painter.setPen(QPen(QColor(120, 30, 20), 1));
    painter.setBrush(QColor(230, 120, 60, 200));
    for (int i = 0; i < bins.size(); ++i) {
        const double a0 = i * width;
        // A strike rose shows its northern half: sectors from 270° through north to 90°.
        if (!(bins[i] > 0) || (strike && a0 >= 90.0 - 1e-9 && a0 < 270.0 - 1e-9))
            continue;
        const double r = bins[i] * scale;
        QPainterPath path(centre);
        path.lineTo(polar(centre, a0, r));
        // Qt's arcs run counter-clockwise from east; azimuths clockwise from north.
        path.arcTo(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 90.0 - a0, -double(width));
        path.closeSubpath();
        painter.drawPath(path);
    }

    // Rings, spokes every 30°, scale labels.
    painter.setBrush(Qt::NoBrush);
    const double step = ringStep(maxValue);
    const int rings = maxValue > 0 ? int(std::ceil(maxValue / step - 1e-9)) : 1;
    const double outer = scale > 0 ? rings * step * scale : radius;
    const double span = strike ? 180.0 : 360.0;
    for (int k = 1; k <= rings; ++k) {
        const double r = scale > 0 ? k * step * scale : radius;
        painter.setPen(QPen(k == rings ? Qt::black : QColor(160, 160, 160), 1,
                            k == rings ? Qt::SolidLine : Qt::DashLine));
        painter.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), int(16 * (90.0 - start)),
                        int(-16 * span));
        if (scale > 0) {
            painter.setPen(Qt::black);
            const QString label = numberText(k * step) + (settings.percent ? QStringLiteral("%") : QString());
            painter.drawText(QPointF(centre.x() + r - metrics.horizontalAdvance(label) / 2,
                                     centre.y() + metrics.ascent() + 2),
                             label);
        }
    }
    painter.setPen(QPen(QColor(160, 160, 160), 1));
    for (double a = start; a <= start + span + 1e-9; a += 30.0)
        painter.drawLine(centre, polar(centre, a, outer));
    if (strike)
        painter.drawLine(polar(centre, 270.0, outer), polar(centre, 90.0, outer));

    // Bearings every 30°.
    painter.setPen(Qt::black);
    for (double a = start; a < start + span + (strike ? 1.0 : 0.0); a += 30.0) {
        const double bearing = std::fmod(a + 360.0, 360.0);
        QString label = QString::number(int(std::lround(bearing)));
        if (bearing == 0)
            label = QCoreApplication::translate("Stereonet", "N");
        const QPointF at = polar(centre, a, outer + 0.9 * text);
        painter.drawText(QPointF(at.x() - metrics.horizontalAdvance(label) / 2,
                                 at.y() + (metrics.ascent() - metrics.descent()) / 2),
                         label);
    }
    painter.restore();
}

void renderImage(QImage& image, const FieldData& field, const RoseSettings& settings) {
    if (image.isNull())
        return;
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    draw(painter, QRectF(0, 0, image.width(), image.height()), field, settings);
}

} // namespace RosePicture
