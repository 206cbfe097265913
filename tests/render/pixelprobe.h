#pragma once

// Pixel probes for the stereonet pictures: positions come from the net's
// geometry (origin, radius, model coordinates), colours are checked with
// tolerances that allow for antialiasing.

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QtMath>

#include <cmath>
#include <functional>

struct NetFrame {
    QPointF origin; // pixel position of the net centre
    double R;       // net radius in pixels

    // Pixel centre of a model point (x east, y north, unit radius).
    QPointF pixel(double x, double y) const { return origin + QPointF(R * x, -R * y); }
    // Pixel at azimuth a (clockwise from north) and distance d pixels from the centre.
    QPointF polar(double azimuthDeg, double d) const {
        const double a = qDegreesToRadians(azimuthDeg);
        return origin + QPointF(d * std::sin(a), -d * std::cos(a));
    }
};

inline NetFrame pictureFrame(const QImage& image) {
    return {QPointF(0.47 * image.width(), 0.5 * image.height()), 0.4 * qMin(image.width(), image.height())};
}

inline QRgb rgbAt(const QImage& image, const QPointF& p) {
    const int x = int(std::floor(p.x()));
    const int y = int(std::floor(p.y()));
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return qRgb(255, 255, 255);
    return image.pixel(x, y);
}

inline bool isWhite(QRgb c) {
    return qRed(c) >= 250 && qGreen(c) >= 250 && qBlue(c) >= 250;
}
inline bool isDark(QRgb c) {
    return qRed(c) < 160 && qGreen(c) < 160 && qBlue(c) < 160;
}
inline bool near(QRgb c, int r, int g, int b, int tol = 3) {
    return std::abs(qRed(c) - r) <= tol && std::abs(qGreen(c) - g) <= tol && std::abs(qBlue(c) - b) <= tol;
}
// Dominated by one colour even where antialiasing mixes it with white.
inline bool bluish(QRgb c) {
    return qBlue(c) - qRed(c) > 60 && qBlue(c) - qGreen(c) > 60;
}
inline bool reddish(QRgb c) {
    return qRed(c) - qGreen(c) > 60 && qRed(c) - qBlue(c) > 60;
}
inline bool greenish(QRgb c) {
    return qGreen(c) - qRed(c) > 60 && qGreen(c) - qBlue(c) > 60;
}
inline bool magentaish(QRgb c) {
    return qRed(c) - qGreen(c) > 60 && qBlue(c) - qGreen(c) > 60 && std::abs(qRed(c) - qBlue(c)) < 30;
}

// True if any pixel within `radius` pixels (square) of p satisfies test.
inline bool anyNear(const QImage& image, const QPointF& p, int radius,
                    const std::function<bool(QRgb)>& test) {
    const int cx = int(std::floor(p.x()));
    const int cy = int(std::floor(p.y()));
    for (int y = cy - radius; y <= cy + radius; ++y)
        for (int x = cx - radius; x <= cx + radius; ++x)
            if (x >= 0 && y >= 0 && x < image.width() && y < image.height() && test(image.pixel(x, y)))
                return true;
    return false;
}

inline bool allNearWhite(const QImage& image, const QPointF& p, int radius) {
    return !anyNear(image, p, radius, [](QRgb c) { return !isWhite(c); });
}

// No pixel within `radius` carries more than a faint trace of ink (the
// antialiased fringe of a line's end is allowed).
inline bool allNearLight(const QImage& image, const QPointF& p, int radius) {
    return !anyNear(image, p, radius,
                    [](QRgb c) { return qRed(c) < 200 || qGreen(c) < 200 || qBlue(c) < 200; });
}

// Bounding box of the non-white pixels inside a search rectangle.
inline QRect inkBox(const QImage& image, const QRect& area) {
    QRect box;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (!isWhite(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

// Number of non-white pixels inside a rectangle.
inline int inkCount(const QImage& image, const QRect& area) {
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += isWhite(image.pixel(x, y)) ? 0 : 1;
    return n;
}
