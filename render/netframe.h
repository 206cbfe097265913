#pragma once

#include <QPointF>

class QSize;

// Where the project window puts the net: its centre in pixels and its radius
// R in pixels (paintStereonetWindow draws with this frame), and the mapping
// between the window's pixels and net coordinates (unit radius, x east,
// y north).
struct NetFrame {
    QPointF centre;
    double radius = 1;

    QPointF netPoint(const QPointF& pixel) const {
        return QPointF((pixel.x() - centre.x()) / radius, (centre.y() - pixel.y()) / radius);
    }
    QPointF pixel(const QPointF& netPoint) const {
        return QPointF(centre.x() + radius * netPoint.x(), centre.y() - radius * netPoint.y());
    }
};

// The frame of a project window of the given size: centre (0.47 w, 0.5 h),
// R = 0.4 * max(min(w, h), 400).
NetFrame stereonetWindowFrame(const QSize& size);
