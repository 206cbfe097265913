// The planar block's section and the wedge sketch of the report's working.
#include "model/factors/blocksketch.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {
constexpr double kDegToRad = 0.017453292519943295;
constexpr int kWidth = 800;
constexpr double kPad = 28;

// The point where n1·x = d1, n2·x = d2, n3·x = d3 meet (Cramer's rule).
bool meet(const Vec3& n1, double d1, const Vec3& n2, double d2, const Vec3& n3, double d3, Vec3& p) {
    const Vec3 c23 = cross(n2, n3), c31 = cross(n3, n1), c12 = cross(n1, n2);
    const double det = dot(n1, c23);
    if (!(std::fabs(det) > 1e-12))
        return false;
    for (int i = 0; i < 3; ++i)
        p[i] = (d1 * c23[i] + d2 * c31[i] + d3 * c12[i]) / det;
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

// Labels need fonts, and fonts a GUI application; a program without one
// (a command-line tool, a test) gets the drawing without its words.
bool canWrite() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QFont labelFont(int pixelSize) {
    QFont font(QStringLiteral("SimSun"));
    font.setPixelSize(pixelSize);
    return font;
}

QString metres(double value) {
    return QString::number(value, 'f', 2);
}

QString degrees(double value) {
    QString text = QString::number(value, 'f', 1);
    if (text.endsWith(QLatin1String(".0")))
        text.chop(2);
    return text;
}

// World (metres, y up) to picture (pixels, y down), one scale both ways.
struct Frame {
    double left = 0, top = 0; // world x at the picture's left edge, world y at its top edge
    double scale = 1;         // pixels per metre
    int width = kWidth, height = 300;

    QPointF at(double x, double y) const { return QPointF((x - left) * scale, (top - y) * scale); }
    QPointF at(const QPointF& p) const { return at(p.x(), p.y()); }
};

// The frame that fits the box [x0, x1]×[y0, y1] into a picture kWidth wide,
// its height following the box's shape within sensible limits.
Frame fit(double x0, double x1, double y0, double y1) {
    Frame f;
    const double w = std::max(x1 - x0, 1e-9), h = std::max(y1 - y0, 1e-9);
    f.height = int(std::clamp((kWidth - 2 * kPad) * h / w + 2 * kPad, 260.0, 560.0));
    f.scale = std::min((kWidth - 2 * kPad) / w, (f.height - 2 * kPad) / h);
    // Centred both ways.
    f.left = x0 - (kWidth / f.scale - w) / 2;
    f.top = y1 + (f.height / f.scale - h) / 2;
    return f;
}

QImage blankPicture(const Frame& f) {
    QImage image(f.width, f.height, QImage::Format_ARGB32);
    image.fill(Qt::white);
    return image;
}

void arrowHead(QPainter& p, const QPointF& tip, const QPointF& from, double size = 9) {
    const QPointF d = tip - from;
    const double len = std::hypot(d.x(), d.y());
    if (!(len > 0))
        return;
    const QPointF u = d / len, n(-u.y(), u.x());
    const QPolygonF head(
        QVector<QPointF>{tip, tip - u * size + n * size * 0.4, tip - u * size - n * size * 0.4});
    p.save();
    p.setBrush(p.pen().color());
    p.drawPolygon(head);
    p.restore();
}

// A dimension line between two picture points with arrows at both ends.
void dimension(QPainter& p, const QPointF& a, const QPointF& b) {
    p.drawLine(a, b);
    arrowHead(p, a, b, 7);
    arrowHead(p, b, a, 7);
}

// Words placed by a point: left-aligned from it, right-aligned to it or
// centred on it, vertically centred; boxed words get a white ground so that
// they read over the drawing.
void text(QPainter& p, const QPointF& at, const QString& words, int align, bool boxed = false) {
    if (!canWrite() || words.isEmpty())
        return;
    QRectF rect(at.x() - 200, at.y() - 12, 400, 24);
    if (align & Qt::AlignLeft)
        rect = QRectF(at.x(), at.y() - 12, 400, 24);
    else if (align & Qt::AlignRight)
        rect = QRectF(at.x() - 400, at.y() - 12, 400, 24);
    const int flags = (align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
    if (boxed) {
        const QRectF used = p.boundingRect(rect, flags, words).adjusted(-3, 0, 3, 0);
        p.fillRect(used, QColor(255, 255, 255, 215));
    }
    p.drawText(rect, flags, words);
}

// A bar of a round length near a fifth of the picture, bottom left.
void scaleBar(QPainter& p, const Frame& f) {
    const double want = f.width / f.scale / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(want)));
    double length = magnitude;
    for (double step : {2.0, 5.0, 10.0})
        if (step * magnitude <= want)
            length = step * magnitude;
    const double px = length * f.scale;
    const QPointF a(12, f.height - 12), b(12 + px, f.height - 12);
    p.save();
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(a, b);
    p.drawLine(a, a - QPointF(0, 5));
    p.drawLine(b, b - QPointF(0, 5));
    p.drawLine((a + b) / 2, (a + b) / 2 - QPointF(0, 3));
    text(p, b + QPointF(6, -3), QStringLiteral("%1 m").arg(QString::number(length, 'g', 6)), Qt::AlignLeft);
    p.restore();
}

} // namespace

bool wedgeCorners(const Vec3& nA, const Vec3& nB, const Vec3& nFace, const Vec3& nUpper, double upperHeight,
                  WedgeSketch& out) {
    const double dU = nUpper[2] * upperHeight;
    return meet(nA, 0, nFace, 0, nUpper, dU, out.crestA) && meet(nB, 0, nFace, 0, nUpper, dU, out.crestB) &&
           meet(nA, 0, nB, 0, nUpper, dU, out.top);
}

QImage planarSectionPicture(const PlanarSketch& s) {
    const double tf = std::tan(s.faceDip * kDegToRad), tp = std::tan(s.planeDip * kDegToRad),
                 ts = std::tan(s.upperDip * kDegToRad);
    const double H = s.height, b = s.crackDistance;
    const double values[] = {tf, tp, ts, H, b, s.waterDepth, s.upperLength, s.anchorDip};
    for (double v : values)
        if (!std::isfinite(v))
            return QImage();
    if (!(H > 0) || !(tf > 0) || b < 0 || s.planeDip >= s.faceDip)
        return QImage();

    // Toe at the origin, x out of the slope, y up.
    const QPointF toe(0, 0), crest(-H / tf, H);
    const bool bounded = s.upperLength > 0;
    // The upper surface behind the crest: rising at its dip, flat beyond
    // the end of the upper slope when that is given.
    auto surface = [&](double x) {
        const double back = crest.x() - x;
        return H + (bounded ? std::min(back, s.upperLength) : back) * ts;
    };
    const double kx = crest.x() - b;
    const QPointF crackTop(kx, surface(kx)), crackFoot(kx, -kx * tp);
    const double z = crackTop.y() - crackFoot.y();
    if (!(z > 0))
        return QImage();
    const QPointF water(kx, crackFoot.y() + std::clamp(s.waterDepth, 0.0, z));

    // The anchor: from the middle of the face into the slope, ψT below
    // horizontal, through the sliding plane and on a little.
    const QPointF head(crest.x() / 2, H / 2);
    const double aT = s.anchorDip * kDegToRad;
    const QPointF into(-std::cos(aT), -std::sin(aT));
    const double reach = (head.y() + head.x() * tp) / (std::sin(aT) + std::cos(aT) * tp);
    const double size0 = std::max({H, -kx, crackTop.y()});
    const double anchorLength =
        (std::isfinite(reach) && reach > 0 ? std::min(reach, 3 * size0) : 0.5 * size0) + 0.15 * size0;
    const QPointF anchorEnd = head + into * anchorLength;

    double x0 = std::min(kx, s.anchor ? anchorEnd.x() : 0.0), x1 = 0;
    double y0 = std::min(0.0, s.anchor ? anchorEnd.y() : 0.0), y1 = std::max(H, crackTop.y());
    const double span = std::max(x1 - x0, y1 - y0);
    x0 -= 0.08 * span;
    x1 += 0.14 * span;
    y0 -= 0.08 * span;
    y1 += 0.14 * span;
    // Room for the words of z on the left and of H on the right, which keep
    // their size whatever the scale.
    const double words = 110 / fit(x0, x1, y0, y1).scale;
    const Frame f = fit(x0 - words, x1 + words, y0, y1);
    QImage image = blankPicture(f);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(labelFont(15));

    // The ground: below the face, the upper surface and the toe level.
    const double far = f.left, nearX = f.left + f.width / f.scale, bottom = f.top - f.height / f.scale;
    QPolygonF ground;
    ground << f.at(far, bottom) << f.at(nearX, bottom) << f.at(nearX, 0) << f.at(toe) << f.at(crest);
    if (bounded && crest.x() - s.upperLength > far)
        ground << f.at(crest.x() - s.upperLength, surface(crest.x() - s.upperLength));
    ground << f.at(far, surface(far));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(232, 226, 214));
    p.drawPolygon(ground);

    // The block: toe, crest, along the surface to the crack, the crack,
    // back down the plane.
    QPolygonF block;
    block << f.at(toe) << f.at(crest);
    if (bounded && crest.x() - s.upperLength > kx)
        block << f.at(crest.x() - s.upperLength, surface(crest.x() - s.upperLength));
    block << f.at(crackTop) << f.at(crackFoot);
    p.setBrush(QBrush(QColor(196, 150, 100), Qt::SolidPattern));
    p.drawPolygon(block);
    p.setBrush(QBrush(QColor(150, 100, 60), Qt::BDiagPattern));
    p.drawPolygon(block);

    // Water: in the crack, and its pressure on the plane falling to zero at
    // the toe, both drawn as heads to scale.
    const double zw = water.y() - crackFoot.y();
    if (zw > 0) {
        const QPointF along = toe - crackFoot;
        const double len = std::hypot(along.x(), along.y());
        const QPointF below = len > 0 ? QPointF(along.y(), -along.x()) / len : QPointF(0, -1);
        p.setBrush(QColor(60, 130, 230, 110));
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF(QVector<QPointF>{f.at(crackFoot), f.at(toe), f.at(crackFoot + below * zw)}));
        p.setPen(QPen(QColor(30, 100, 220), 6, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(f.at(crackFoot), f.at(water));
    }

    // Outlines: the surface line, the face, the sliding plane, the crack.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 2));
    QPolygonF outline;
    outline << f.at(nearX, 0) << f.at(toe) << f.at(crest);
    if (bounded && crest.x() - s.upperLength > far)
        outline << f.at(crest.x() - s.upperLength, surface(crest.x() - s.upperLength));
    outline << f.at(far, surface(far));
    p.drawPolyline(outline);
    p.setPen(QPen(QColor(200, 0, 0), 2.5));
    p.drawLine(f.at(toe), f.at(crackFoot));
    p.setPen(QPen(QColor(200, 0, 0), 1.5, Qt::DashLine));
    p.drawLine(f.at(crackFoot), f.at(crackFoot + (crackFoot - toe) * 0.12));
    p.setPen(QPen(Qt::black, 2.5));
    p.drawLine(f.at(crackTop), f.at(crackFoot));

    // The anchor with its plate on the face; the arrow shows the force on
    // the block.
    if (s.anchor) {
        const QColor green(0, 120, 60);
        p.setPen(QPen(green, 2.5));
        p.drawLine(f.at(head), f.at(anchorEnd));
        arrowHead(p, f.at(head + into * (0.3 * anchorLength)), f.at(head), 11);
        const QPointF plate(-into.y(), into.x());
        p.drawLine(f.at(head + plate * (0.03 * span)), f.at(head - plate * (0.03 * span)));
        p.setPen(green);
        const QString words =
            s.anchorForce > 0
                ? QStringLiteral("T=%1 kN/m，ψT=%2°").arg(metres(s.anchorForce), degrees(s.anchorDip))
                : QStringLiteral("ψT=%1°").arg(degrees(s.anchorDip));
        text(p, f.at(head + into * (0.5 * anchorLength)) + QPointF(0, 20), words, Qt::AlignHCenter, true);
    }

    // Dimensions: H right of the toe, b above the crest, z beside the crack.
    p.setPen(QPen(Qt::black, 1));
    const double dimX = 0.10 * span;
    p.setPen(QPen(Qt::gray, 1, Qt::DashLine));
    p.drawLine(f.at(crest), f.at(dimX + 0.02 * span, H));
    p.drawLine(f.at(toe), f.at(dimX + 0.02 * span, 0));
    p.setPen(QPen(Qt::black, 1));
    dimension(p, f.at(dimX, 0), f.at(dimX, H));
    text(p, f.at(dimX, H / 2) + QPointF(6, 0), QStringLiteral("H=%1 m").arg(metres(H)), Qt::AlignLeft);
    if (b > 0) {
        const double dimY = std::max(H, crackTop.y()) + 0.07 * span;
        p.setPen(QPen(Qt::gray, 1, Qt::DashLine));
        p.drawLine(f.at(crest), f.at(crest.x(), dimY + 0.02 * span));
        p.drawLine(f.at(crackTop), f.at(kx, dimY + 0.02 * span));
        p.setPen(QPen(Qt::black, 1));
        dimension(p, f.at(kx, dimY), f.at(crest.x(), dimY));
        text(p, f.at((kx + crest.x()) / 2, dimY) + QPointF(0, -12), QStringLiteral("b=%1 m").arg(metres(b)),
             Qt::AlignHCenter);
    }
    const double zX = kx - 0.04 * span;
    dimension(p, f.at(zX, crackFoot.y()), f.at(zX, crackTop.y()));
    text(p, f.at(zX, (crackFoot.y() + crackTop.y()) / 2) + QPointF(-6, 0),
         QStringLiteral("z=%1 m").arg(metres(z)), Qt::AlignRight);
    if (zw > 0) {
        p.setPen(QColor(30, 100, 220));
        text(p, f.at(kx, crackFoot.y() + zw / 2) + QPointF(8, 0), QStringLiteral("zw=%1 m").arg(metres(zw)),
             Qt::AlignLeft, true);
    }
    if (bounded) {
        const double lx = crest.x() - s.upperLength;
        if (lx > far) {
            p.setPen(QPen(Qt::black, 1));
            const QPointF end = f.at(lx, surface(lx));
            p.drawLine(end + QPointF(0, -8), end + QPointF(0, 8));
            text(p, end + QPointF(-8, -16), QStringLiteral("L=%1 m").arg(metres(s.upperLength)),
                 Qt::AlignRight, true);
        }
    }

    // Angles, written beside the lines they belong to.
    p.setPen(QColor(200, 0, 0));
    const QPointF along = crackFoot * 0.3;
    text(p, f.at(along) + QPointF(0, -16), QStringLiteral("ψp=%1°").arg(degrees(s.planeDip)),
         Qt::AlignHCenter, true);
    p.setPen(Qt::black);
    text(p, f.at(crest * 0.2) + QPointF(12, 0), QStringLiteral("ψf=%1°").arg(degrees(s.faceDip)),
         Qt::AlignLeft);
    scaleBar(p, f);
    p.end();
    return image;
}

QImage wedgePicture(const WedgeSketch& s) {
    // Seen square to the face: x along its strike (to the right for someone
    // standing in front of it), y up its dip.
    const double a = s.faceDirection * kDegToRad, d = s.faceDip * kDegToRad;
    const Vec3 right{{-std::cos(a), std::sin(a), 0}};
    const Vec3 up{{-std::sin(a) * std::cos(d), -std::cos(a) * std::cos(d), std::sin(d)}};
    auto seen = [&](const Vec3& v) { return QPointF(dot(v, right), dot(v, up)); };
    const QPointF o(0, 0), ca = seen(s.crestA), cb = seen(s.crestB), top = seen(s.top);
    const QPointF all[] = {o, ca, cb, top};
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    for (const QPointF& q : all) {
        if (!std::isfinite(q.x()) || !std::isfinite(q.y()))
            return QImage();
        x0 = std::min(x0, q.x());
        x1 = std::max(x1, q.x());
        y0 = std::min(y0, q.y());
        y1 = std::max(y1, q.y());
    }
    const double span = std::max(x1 - x0, y1 - y0);
    if (!(span > 0))
        return QImage();
    const double crestY = (ca.y() + cb.y()) / 2;
    x0 -= 0.25 * span;
    x1 += 0.25 * span;
    y0 -= 0.12 * span;
    y1 += 0.12 * span;
    const Frame f = fit(x0, x1, y0, y1);
    QImage image = blankPicture(f);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(labelFont(15));

    const double left = f.left, rightEdge = f.left + f.width / f.scale, bottom = f.top - f.height / f.scale;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(225, 225, 225));
    p.drawRect(QRectF(f.at(left, crestY), f.at(rightEdge, bottom)));
    p.setBrush(QColor(240, 236, 220));
    p.drawRect(QRectF(f.at(left, f.top), f.at(rightEdge, crestY)));
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(f.at(left, crestY), f.at(rightEdge, crestY));
    p.setPen(Qt::darkGray);
    text(p, f.at(left, crestY) + QPointF(8, 14), QCoreApplication::translate("DataCenter", "坡面"),
         Qt::AlignLeft);
    text(p, f.at(left, crestY) + QPointF(8, -14), QCoreApplication::translate("DataCenter", "坡顶面"),
         Qt::AlignLeft);

    // The wedge: its face on the slope face, its top on the upper surface.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 170, 110));
    p.drawPolygon(QPolygonF(QVector<QPointF>{f.at(o), f.at(ca), f.at(cb)}));
    p.setBrush(QColor(250, 210, 170));
    p.drawPolygon(QPolygonF(QVector<QPointF>{f.at(ca), f.at(cb), f.at(top)}));

    // The traces of A (red) and B (blue); the line of intersection, inside
    // the rock, dashed.
    p.setPen(QPen(Qt::darkGray, 1.5, Qt::DashLine));
    p.drawLine(f.at(o), f.at(top));
    const QColor red(200, 0, 0), blue(0, 70, 200);
    p.setPen(QPen(red, 2.5));
    p.drawLine(f.at(o), f.at(ca));
    p.drawLine(f.at(ca), f.at(top));
    p.setPen(QPen(blue, 2.5));
    p.drawLine(f.at(o), f.at(cb));
    p.drawLine(f.at(cb), f.at(top));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::black);
    p.drawEllipse(f.at(o), 3, 3);

    // Names beside the traces on the face, on the side away from the wedge.
    const QPointF centre = (o + ca + cb + top) / 4;
    auto beside = [&](const QPointF& from, const QPointF& to, const QString& words, const QColor& colour) {
        const QPointF mid = f.at((from + to) / 2), c = f.at(centre);
        const QPointF away = mid - c;
        const double len = std::hypot(away.x(), away.y());
        const QPointF at = len > 0 ? mid + away / len * 16 : mid;
        p.setPen(colour);
        text(p, at, words, away.x() < 0 ? Qt::AlignRight : Qt::AlignLeft);
    };
    beside(o, ca, s.nameA, red);
    beside(o, cb, s.nameB, blue);
    p.setPen(Qt::darkGray);
    text(p, f.at((o + top) / 2) + QPointF(6, 0), QCoreApplication::translate("DataCenter", "交线"),
         Qt::AlignLeft);

    // An anchor: the force enters the face, shown where it acts with its
    // direction as seen.
    if (s.anchor) {
        const double t = s.anchorTrend * kDegToRad, pl = s.anchorPlunge * kDegToRad;
        const Vec3 v{{std::sin(t) * std::cos(pl), std::cos(t) * std::cos(pl), -std::sin(pl)}};
        const QPointF at = f.at((o + ca + cb) / 3);
        const QColor green(0, 120, 60);
        p.setPen(QPen(green, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(at, 7, 7);
        p.drawLine(at + QPointF(-5, -5), at + QPointF(5, 5));
        p.drawLine(at + QPointF(-5, 5), at + QPointF(5, -5));
        const QPointF shown(dot(v, right), -dot(v, up));
        const double len = std::hypot(shown.x(), shown.y());
        if (len > 0.05) {
            const QPointF tip = at + shown / len * 36;
            p.drawLine(at, tip);
            arrowHead(p, tip, at);
        }
        p.setPen(green);
        text(p, at + QPointF(12, 14), QStringLiteral("T"), Qt::AlignLeft);
    }
    scaleBar(p, f);
    p.end();
    return image;
}

QString pngDataUri(const QImage& picture) {
    QByteArray png;
    if (!picture.isNull()) {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.save(&buffer, "PNG"))
            png.clear();
    }
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}
