#include "render/fieldlayer.h"

#include "model/datacenter.h"
#include "model/displayoptions.h"
#include "model/fielddata/fieldview.h"
#include "model/fonts.h"
#include "render/acicolor.h"
#include "render/rosepicture.h"
#include "render/setlayer.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <memory>

namespace FieldLayer {
namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("FieldLayer", text);
}

QColor kindColour(int type) {
    const DisplayOptions& options = displayOptions();
    int number = options.jointColor;
    Qt::GlobalColor fallback = Qt::blue;
    if (type == Bedding) {
        number = options.beddingColor;
        fallback = Qt::magenta;
    } else if (type == Fault) {
        number = options.faultColor;
        fallback = Qt::red;
    }
    if (number < Qt::color0 || number > Qt::transparent)
        return QColor(fallback);
    return QColor(static_cast<Qt::GlobalColor>(number));
}

QFont legendFont(int pixelSize) {
    QFont font(QStringLiteral("SimSun"));
    font.setPixelSize(qMax(1, pixelSize));
    return font;
}

QString levelText(double value) {
    return QString::number(value, 'g', 4);
}

QString methodText(const FieldView& view) {
    switch (view.method) {
    case DensityMethod::Kamb:
        return tr("Kamb法");
    case DensityMethod::Fisher:
        return tr("Fisher平滑 %1%").arg(levelText(view.countingArea));
    case DensityMethod::Schmidt:
    default:
        return tr("Schmidt计数 %1%").arg(levelText(view.countingArea));
    }
}

// Bands, contour lines and poles of a view at net radius R, in an image of
// side 2R + 2 whose centre is the net centre.
QImage layerImage(const FieldView& view, double R) {
    const int side = int(std::ceil(2 * R)) + 2;
    const double c = side / 2.0;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(c, c);
    // Net units to pixels: north up.
    painter.save();
    painter.scale(R, -R);
    painter.setPen(Qt::NoPen);
    const int bands = view.contours.size();
    for (int k = 0; k < bands; ++k) {
        painter.setBrush(bandColour(k, bands));
        painter.drawPath(contourBand(view.contours, k));
    }
    painter.restore();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(90, 40, 20), 1));
    for (const ContourLevel& level : view.contours)
        for (const QPolygonF& line : level.lines) {
            QPolygonF screen;
            screen.reserve(line.size());
            for (const QPointF& p : line)
                screen << QPointF(R * p.x(), -R * p.y());
            painter.drawPolyline(screen);
        }

    // Poles: one batch of points per kind, round dots; with joint sets, the
    // poles of a set in its colour, after those of no set.
    const double dot = qBound(2.5, R / 80.0, 6.0);
    const bool bySet = !view.poleSets.isEmpty();
    for (int kind : {Joint, Bedding, Fault}) {
        QVector<QPointF> points;
        for (int i = 0; i < view.poles.size(); ++i) {
            const int k = view.kinds[i] == Bedding || view.kinds[i] == Fault ? view.kinds[i] : int(Joint);
            if (k == kind && (!bySet || view.poleSets.value(i, -1) < 0))
                points << QPointF(R * view.poles[i].x(), -R * view.poles[i].y());
        }
        if (points.isEmpty())
            continue;
        QPen pen(kindColour(kind), dot, Qt::SolidLine, Qt::RoundCap);
        painter.setPen(pen);
        painter.drawPoints(points.constData(), points.size());
    }
    for (int s = 0; bySet && s < view.sets.size(); ++s) {
        QVector<QPointF> points;
        for (int i = 0; i < view.poles.size(); ++i)
            if (view.poleSets.value(i, -1) == s)
                points << QPointF(R * view.poles[i].x(), -R * view.poles[i].y());
        if (points.isEmpty())
            continue;
        painter.setPen(QPen(aciColor(view.sets.at(s).color), dot, Qt::SolidLine, Qt::RoundCap));
        painter.drawPoints(points.constData(), points.size());
    }
    painter.end();
    return image;
}

struct LayerCache {
    std::shared_ptr<const FieldView> view;
    double R = 0;
    int colours[3] = {0, 0, 0};
    QImage image;
};
} // namespace

QColor bandColour(int index, int count) {
    // From pale yellow through orange to dark red, evenly by band.
    const double t = count > 1 ? double(index) / (count - 1) : 0.0;
    const QColor from(255, 244, 170), mid(250, 150, 50), to(170, 20, 20);
    auto mix = [](const QColor& a, const QColor& b, double s) {
        return QColor(int(a.red() + (b.red() - a.red()) * s + 0.5),
                      int(a.green() + (b.green() - a.green()) * s + 0.5),
                      int(a.blue() + (b.blue() - a.blue()) * s + 0.5));
    };
    return t < 0.5 ? mix(from, mid, 2 * t) : mix(mid, to, 2 * t - 1);
}

void draw(QPainter& painter, double R, const DataCenter& project) {
    if (!FieldViews::layerShown(project) || !(R > 0))
        return;
    thread_local LayerCache cache;
    const std::shared_ptr<const FieldView> view = FieldViews::of(project);
    const DisplayOptions& options = displayOptions();
    const int colours[3] = {options.jointColor, options.beddingColor, options.faultColor};
    if (cache.view != view || cache.R != R || !std::equal(colours, colours + 3, cache.colours)) {
        cache.view = view;
        cache.R = R;
        std::copy(colours, colours + 3, cache.colours);
        cache.image = layerImage(*view, R);
    }
    const double c = cache.image.width() / 2.0;
    painter.drawImage(QPointF(-c, -c), cache.image);
}

double drawLegend(QPainter& painter, double x, double y, int p, const FieldView& view) {
    if (view.levels.isEmpty())
        return y;
    painter.save();
    const int size = qMax(6, int(0.8 * p));
    painter.setFont(legendFont(size));
    const QFontMetricsF metrics(painter.font());
    const double row = size * 1.4;
    painter.setPen(QPen(Qt::black, 1));
    painter.drawText(
        QPointF(x, y + metrics.ascent()),
        tr("等密图(%1)").arg(view.unit == QLatin1String("sigma") ? QStringLiteral("σ") : view.unit));
    const int n = view.levels.size();
    for (int i = n - 1; i >= 0; --i) {
        const double top = y + row * (n - i);
        painter.setBrush(bandColour(i, n));
        painter.setPen(QPen(QColor(90, 40, 20), 1));
        painter.drawRect(QRectF(x, top + 0.15 * row, size * 1.2, row * 0.7));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawText(QPointF(x + size * 1.6, top + 0.15 * row + metrics.ascent() * 0.85),
                         QStringLiteral("≥ ") + levelText(view.levels[i]));
    }
    // The method on two lines: its name, then the counting area.
    const QStringList method = methodText(view).split(QLatin1Char(' '));
    for (int k = 0; k < method.size(); ++k)
        painter.drawText(QPointF(x, y + row * (n + 1 + k) + metrics.ascent()), method.at(k));
    painter.restore();
    return y + row * (n + 1 + method.size());
}

void renderDensityPicture(QImage& image, const DataCenter& project) {
    if (image.isNull())
        return;
    installFontSubstitutions();
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double R = 0.4 * qMin(image.width(), image.height());
    const int p = qMax(8, int(20 * R / 300.0));
    painter.translate(0.40 * image.width(), 0.5 * image.height());
    if (!project.field.isEmpty()) {
        thread_local LayerCache cache;
        const std::shared_ptr<const FieldView> view = FieldViews::of(project);
        if (cache.view != view || cache.R != R) {
            cache.view = view;
            cache.R = R;
            cache.image = layerImage(*view, R);
        }
        const double c = cache.image.width() / 2.0;
        painter.drawImage(QPointF(-c, -c), cache.image);
        const double below = drawLegend(painter, R + 2.2 * p, -R, p, *view);
        if (!view->sets.isEmpty()) {
            SetLayer::draw(painter, R, p, project, *view);
            SetLayer::drawLegend(painter, R + 2.2 * p, below + p, p, *view);
        }
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(0, 0), R, R);
    painter.drawLine(QLineF(-0.05 * R, 0, 0.05 * R, 0));
    painter.drawLine(QLineF(0, -0.05 * R, 0, 0.05 * R));
    for (int a = 0; a < 360; a += 10) {
        const double s = std::sin(a * 0.017453292519943295), c = std::cos(a * 0.017453292519943295);
        const double inner = a % 30 == 0 ? R - 10 : R - 5;
        painter.drawLine(QLineF(inner * s, -inner * c, R * s, -R * c));
    }
    painter.setFont(legendFont(int(1.25 * p)));
    const QFontMetricsF metrics(painter.font());
    const QString north = QCoreApplication::translate("Stereonet", "N");
    painter.drawText(QPointF(-metrics.horizontalAdvance(north) / 2, -R - metrics.descent() - 2), north);
}

RoseSettings reportRoseSettings() {
    RoseSettings settings;
    settings.quantity = RoseQuantity::Strike;
    settings.sectorWidth = 10;
    settings.percent = false;
    settings.weighted = true;
    return settings;
}

void renderReportPictures(const DataCenter& project, QImage& density, QImage& rose) {
    density = QImage();
    rose = QImage();
    if (project.field.isEmpty())
        return;
    density = QImage(800, 600, QImage::Format_RGB32);
    renderDensityPicture(density, project);
    rose = QImage(600, 600, QImage::Format_RGB32);
    RosePicture::renderImage(rose, project.field, reportRoseSettings());
}

} // namespace FieldLayer
