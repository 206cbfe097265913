#include "render/stereonet.h"

#include "model/datacenter.h"
#include "model/displayoptions.h"
#include "model/fielddata/fieldview.h"
#include "model/fonts.h"
#include "model/labels.h"
#include "render/fieldlayer.h"
#include "render/netframe.h"
#include "render/setlayer.h"

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QSize>

#include <cmath>
#include <memory>

namespace {

constexpr double kSmallSpan = 6.0; // arcs narrower than this are drawn as two chords
constexpr double kLowerHalf = -0.00001;

QString tr(const char* text) {
    return QCoreApplication::translate("Stereonet", text);
}

// Truncation towards zero to whole pixels.
int ipx(double v) {
    return static_cast<int>(v);
}

// A font size outside the range the settings accept falls back to the default.
int labelBaseSize() {
    const int size = displayOptions().fontSize;
    return (size < 4 || size > 51) ? 20 : size;
}

QColor globalColour(int number, Qt::GlobalColor fallback) {
    // Only real enumerators may index Qt's colour table.
    if (number < Qt::color0 || number > Qt::transparent)
        return QColor(fallback);
    return QColor(static_cast<Qt::GlobalColor>(number));
}

QColor kindColour(int type) {
    const DisplayOptions& options = displayOptions();
    switch (type) {
    case Bedding:
        return globalColour(options.beddingColor, Qt::magenta);
    case Fault:
        return globalColour(options.faultColor, Qt::red);
    default:
        return globalColour(options.jointColor, Qt::blue);
    }
}

QPointF toScreen(const QPointF& p, double R) {
    return QPointF(R * p.x(), -R * p.y());
}

QRectF arcRect(const PlaneRecord& record, double R) {
    const double cx = record.CenterPoint.x();
    const double cy = record.CenterPoint.y();
    const double r = record.CircleRadius;
    return QRectF(R * (cx - r), R * (-cy - r), 2 * R * r, 2 * R * r);
}

// The 6-pixel dot on an arc's middle or at a pole.
QRect dotRect(const QPointF& p, double R) {
    return QRect(ipx(R * p.x() - 3), ipx(-R * p.y() - 3), 6, 6);
}

QFont labelFont(int pixelSize) {
    QFont font(QStringLiteral("SimSun"));
    font.setPixelSize(qMax(1, pixelSize));
    return font;
}

// Draws a one-line text aligned in a rectangle as the net's letters and
// bearing numbers want it. The line box is taken one em high, split in the
// font's own ascent-to-descent ratio: for SimSun, whose line box is one em,
// this is exactly the framework's alignment; substitute CJK fonts with taller
// line boxes still keep the text inside its rectangle instead of spilling
// over the primitive circle.
void drawTextIn(QPainter& painter, const QRectF& rect, int flags, const QString& text) {
    const QFont& font = painter.font();
    const QFontMetricsF metrics(font);
    const double em = font.pixelSize();
    const double box = metrics.ascent() + metrics.descent();
    const double ascent = box > 0 ? em * metrics.ascent() / box : em;
    const double descent = em - ascent;
    const double width = metrics.horizontalAdvance(text);
    double x = rect.left();
    if (flags & Qt::AlignHCenter)
        x = rect.center().x() - width / 2;
    else if (flags & Qt::AlignRight)
        x = rect.right() - width;
    double y = rect.top() + ascent;
    if (flags & Qt::AlignVCenter)
        y = rect.center().y() + (ascent - descent) / 2;
    painter.drawText(QPointF(x, y), text);
}

struct Scene {
    QPainter& painter;
    double R;
    DataCenter& project;
    int p; // label pixel size

    bool labelsShown() const { return project.ShowMark != 0 && !project.analysisOff; }

    void text(int x, int y, const QString& s) {
        if (s.isEmpty())
            return;
        painter.setPen(QPen(Qt::black, 1));
        painter.setFont(labelFont(p));
        painter.drawText(QPoint(x, y), s);
    }

    void netFrame();
    void wedge(PlaneRecord& record);
    void slopeCircle();
    void greatCircle(PlaneRecord& record);
    void pole(PlaneRecord& record);
    void circleLabel(const PlaneRecord& record);
};

void Scene::netFrame() {
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRect(ipx(-R), ipx(-R), ipx(2 * R), ipx(2 * R)));

    const int c = ipx(0.05 * R);
    painter.drawLine(QLine(-c, 0, c, 0));
    painter.drawLine(QLine(0, -c, 0, c));

    const double f = 1.25 * p;
    painter.setFont(labelFont(ipx(f)));
    painter.drawText(QPoint(2, -2), tr("O"));
    drawTextIn(painter, QRectF(-0.625 * p, -R - f, f, f), Qt::AlignHCenter, tr("N"));
    drawTextIn(painter, QRectF(R + 2, -0.625 * p, f, f), Qt::AlignVCenter, tr("E"));
    drawTextIn(painter, QRectF(-0.625 * p, R, f, f), Qt::AlignHCenter, tr("S"));
    drawTextIn(painter, QRectF(-R - f - 2, -0.625 * p, f, f), Qt::AlignRight | Qt::AlignVCenter, tr("W"));

    painter.setFont(labelFont(p));
    painter.save();
    for (int a = 0; a < 360; a += 10) {
        if (a % 30 != 0) {
            painter.drawLine(QLine(0, ipx(-R), 0, ipx(5 - R)));
        } else {
            painter.drawLine(QLine(0, ipx(-R), 0, ipx(10 - R)));
            if (a % 90 != 0)
                drawTextIn(painter, QRectF(-p, -R - p, 2 * p, p), Qt::AlignHCenter, QString::number(a));
        }
        painter.rotate(10);
    }
    painter.restore();
}

void Scene::wedge(PlaneRecord& record) {
    if (record.highlighted) {
        painter.setPen(QPen(Qt::green, 3));
        record.highlighted = false;
    } else {
        painter.setPen(QPen(Qt::red, 1));
    }
    const QPointF q = project.BigCircle ? record.MidPoint : record.PolePoint;
    const double e = R * q.x();
    const double v = -R * q.y();
    painter.drawLine(QLine(ipx(e - 5), ipx(v - 5), ipx(e + 5), ipx(v + 5)));
    painter.drawLine(QLine(ipx(e - 5), ipx(v + 5), ipx(e + 5), ipx(v - 5)));
    if (labelsShown())
        text(ipx(e + 10), ipx(v), Labels::wedgeLabel(record, project.ShowMark));
}

void Scene::slopeCircle() {
    const PlaneRecord& slope = project.slope;
    QPen pen(Qt::black, 2);
    painter.setPen(pen);

    QPainterPath path;
    if (slope.SpanRadius < kSmallSpan) {
        path.moveTo(toScreen(slope.StartPoint, R));
        path.lineTo(toScreen(slope.MidPoint, R));
        path.lineTo(toScreen(slope.EndPoint, R));
    } else {
        const QRectF rect = arcRect(slope, R);
        path.arcMoveTo(rect, slope.StartAngle);
        path.arcTo(rect, slope.StartAngle, slope.SpanRadius);
    }
    const double length = path.length();
    if (!(length > 0))
        return;
    painter.drawPath(path);

    // Hatching: short ticks towards the circle's centre on the upper
    // hemisphere, away from it on the lower.
    const double spacing = 0.1 * R;
    const double tick = project.UpperMode ? 0.05 * R : -0.05 * R;
    const QPointF centre = toScreen(slope.CenterPoint, R);
    const int last = ipx((length - 0.5 * spacing) / spacing);
    for (int i = 0; i <= last; ++i) {
        const QPointF point = path.pointAtPercent(path.percentAtLength(i * spacing + 0.5 * spacing));
        const QPointF towards = centre - point;
        const double distance = std::hypot(towards.x(), towards.y());
        if (distance == 0.0)
            continue;
        painter.drawLine(QLineF(point, point + towards * (tick / distance)));
    }

    painter.save();
    painter.setBrush(pen.color());
    painter.drawEllipse(dotRect(slope.MidPoint, R));
    painter.restore();
}

void Scene::greatCircle(PlaneRecord& record) {
    QPen pen(kindColour(record.type), 1);
    if (record.highlighted) {
        pen.setWidth(3);
        record.highlighted = false;
    }
    painter.setPen(pen);
    if (record.SpanRadius < kSmallSpan) {
        painter.drawLine(QLineF(toScreen(record.StartPoint, R), toScreen(record.MidPoint, R)));
        painter.drawLine(QLineF(toScreen(record.MidPoint, R), toScreen(record.EndPoint, R)));
    } else {
        painter.drawArc(arcRect(record, R), ipx(16 * record.StartAngle), ipx(16 * record.SpanRadius));
    }
    painter.save();
    painter.setBrush(pen.color());
    painter.drawEllipse(dotRect(record.MidPoint, R));
    painter.restore();
}

void Scene::pole(PlaneRecord& record) {
    const QColor colour = kindColour(record.type);
    painter.save();
    if (record.highlighted) {
        painter.setPen(QPen(Qt::green, 3));
        record.highlighted = false;
    } else {
        painter.setPen(QPen(colour, 1));
    }
    painter.setBrush(colour);
    painter.drawEllipse(dotRect(record.PolePoint, R));
    painter.restore();
    if (labelsShown())
        text(ipx(R * record.PolePoint.x() + 10), ipx(-R * record.PolePoint.y()),
             Labels::planeLabel(record, project.ShowMark, false));
}

void Scene::circleLabel(const PlaneRecord& record) {
    if (!labelsShown())
        return;
    const bool isSlope = &record == &project.slope;
    if (project.ShowMark == 1) {
        const QString s = isSlope ? Labels::slopeLabel(record, 1) : Labels::planeLabel(record, 1, true);
        text(ipx(R * record.MidPoint.x() + 10), ipx(-R * record.MidPoint.y()), s);
        return;
    }
    const QPointF anchor = record.EndPoint.x() > record.StartPoint.x() ? record.EndPoint : record.StartPoint;
    const double ay = R * anchor.y();
    const int x = ipx(R * anchor.x() + p);
    const int y = ay < kLowerHalf ? ipx(-(ay - 20)) : ipx(-ay);
    text(x, y,
         isSlope ? Labels::slopeLabel(record, project.ShowMark)
                 : Labels::planeLabel(record, project.ShowMark, true));
}

} // namespace

void drawStereonet(QPainter& painter, double R, DataCenter& project) {
    installFontSubstitutions();
    Scene scene{painter, R, project, ipx(labelBaseSize() * R / 300.0)};
    painter.setBrush(Qt::NoBrush);

    // The measurements lie under everything else of the net.
    if (FieldViews::layerShown(project)) {
        const std::shared_ptr<const FieldView> view = FieldViews::of(project);
        FieldLayer::draw(painter, R, project);
        const double below = FieldLayer::drawLegend(painter, R + 2.2 * scene.p, -R, scene.p, *view);
        if (!view->sets.isEmpty()) {
            SetLayer::draw(painter, R, scene.p, project, *view);
            SetLayer::drawLegend(painter, R + 2.2 * scene.p, below + scene.p, scene.p, *view);
        }
    }

    if (!project.analysisOff) {
        project.judgeZone.draw(painter, R, project.slope.direction);
        painter.setBrush(Qt::NoBrush);
        for (PlaneRecord& record : project.wedges)
            if (record.calculated)
                scene.wedge(record);
    }

    scene.netFrame();

    if (project.slope.calculated) {
        scene.slopeCircle();
        scene.circleLabel(project.slope);
    }

    for (PlaneRecord& record : project.planes) {
        if (!record.calculated)
            continue;
        if (project.BigCircle) {
            scene.greatCircle(record);
            scene.circleLabel(record);
        } else {
            scene.pole(record);
        }
    }
}

void paintStereonetWindow(QPainter& painter, const QSize& size, DataCenter& project) {
    const int w = size.width();
    const int h = size.height();
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(QLine(1, 1, 1, h - 2));
    painter.drawLine(QLine(1, h - 2, w - 1, h - 2));
    painter.drawLine(QLine(w - 1, h - 2, w - 1, 1));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const NetFrame frame = stereonetWindowFrame(size);
    painter.translate(frame.centre);
    drawStereonet(painter, frame.radius, project);
}

void renderStereonetImage(QImage& image, DataCenter& project) {
    if (image.isNull())
        return;
    image.fill(QColor(QStringLiteral("white")));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(0.47 * image.width(), 0.5 * image.height());
    drawStereonet(painter, 0.4 * qMin(image.width(), image.height()), project);
}
