#include "render/rosediagram.h"

#include "model/fielddata/measurements.h"
#include "model/fonts.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace RoseDiagram {
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

QVector<double> sectors(const FieldData& field, const Options& options) {
    const int width = options.sector == 5 ? 5 : 10;
    const int count = (options.strike ? 180 : 360) / width;
    QVector<double> bins(count, 0.0);
    double total = 0;
    for (const Measurement& m : field.measurements) {
        const double w = options.weighted ? m.weight : 1.0;
        double azimuth = options.strike ? m.direction - 90.0 : m.direction; // right-hand rule
        if (options.strike) {
            // Strikes are axial: fold into -90 .. 90, then count from 270° (index 0).
            azimuth = std::fmod(azimuth + 720.0, 180.0); // 0 .. 180
            if (azimuth >= 90.0)
                azimuth -= 180.0; // -90 .. 90
            azimuth += 90.0;      // 0 .. 180 from 270°
        } else {
            azimuth = std::fmod(azimuth + 720.0, 360.0);
        }
        const int index = qBound(0, int(azimuth / width), count - 1);
        bins[index] += w;
        total += w;
    }
    if (options.percent && total > 0)
        for (double& b : bins)
            b = 100.0 * b / total;
    return bins;
}

QString title(const FieldData& field, const Options& options) {
    const QString kind = options.strike ? tr("走向玫瑰花图") : tr("倾向玫瑰花图");
    return tr("%1（%2°分组，%3条%4）")
        .arg(kind)
        .arg(options.sector == 5 ? 5 : 10)
        .arg(field.measurements.size())
        .arg(options.percent ? tr("，百分比") : QString());
}

void draw(QPainter& painter, const QRectF& area, const FieldData& field, const Options& options) {
    installFontSubstitutions();
    const QVector<double> bins = sectors(field, options);
    const int width = options.sector == 5 ? 5 : 10;
    double maxValue = 0;
    for (double b : bins)
        maxValue = qMax(maxValue, b);

    const double text = qMax(9.0, qMin(area.width(), area.height()) / 32.0);
    const double titleSpace = 2.2 * text;
    double radius;
    QPointF centre;
    if (options.strike) {
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
    const QString heading = title(field, options);
    painter.drawText(QPointF(area.center().x() - metrics.horizontalAdvance(heading) / 2,
                             area.top() + metrics.ascent() + 0.3 * text),
                     heading);

    // Sectors.
    const double start = options.strike ? 270.0 : 0.0;
    const double scale =
        maxValue > 0 ? radius / (ringStep(maxValue) * std::ceil(maxValue / ringStep(maxValue))) : 0;
    painter.setPen(QPen(QColor(120, 30, 20), 1));
    painter.setBrush(QColor(230, 120, 60, 200));
    for (int i = 0; i < bins.size(); ++i) {
        if (!(bins[i] > 0))
            continue;
        const double r = bins[i] * scale;
        const double a0 = start + i * width, a1 = a0 + width;
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
    const double span = options.strike ? 180.0 : 360.0;
    for (int k = 1; k <= rings; ++k) {
        const double r = scale > 0 ? k * step * scale : radius;
        painter.setPen(QPen(k == rings ? Qt::black : QColor(160, 160, 160), 1,
                            k == rings ? Qt::SolidLine : Qt::DashLine));
        painter.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), int(16 * (90.0 - start)),
                        int(-16 * span));
        if (scale > 0) {
            painter.setPen(Qt::black);
            const QString label = numberText(k * step) + (options.percent ? QStringLiteral("%") : QString());
            painter.drawText(QPointF(centre.x() + r - metrics.horizontalAdvance(label) / 2,
                                     centre.y() + metrics.ascent() + 2),
                             label);
        }
    }
    painter.setPen(QPen(QColor(160, 160, 160), 1));
    for (double a = start; a <= start + span + 1e-9; a += 30.0)
        painter.drawLine(centre, polar(centre, a, outer));
    if (options.strike)
        painter.drawLine(polar(centre, 270.0, outer), polar(centre, 90.0, outer));

    // Bearings every 30°.
    painter.setPen(Qt::black);
    for (double a = start; a < start + span + (options.strike ? 1.0 : 0.0); a += 30.0) {
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

void renderImage(QImage& image, const FieldData& field, const Options& options) {
    if (image.isNull())
        return;
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    draw(painter, QRectF(0, 0, image.width(), image.height()), field, options);
}

} // namespace RoseDiagram
