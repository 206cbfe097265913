#pragma once

#include "model/fielddata/setwindows.h"
#include "render/netframe.h"

#include <QColor>
#include <QObject>
#include <QPointF>
#include <QVector>

class QPainter;
class QSize;

// The window of a set dragged on the net: pressed at `pressNet` (net
// coordinates), the pointer now at `currentNet`. The centre is the axis that
// plots at the press, the half-angle the angle between it and the axis at
// the pointer (as axes: at most 90°). Values rounded to 0.1°.
SetWindow draggedSetWindow(const QPointF& pressNet, const QPointF& currentNet, bool upperHemisphere);

// The small circle of a window on the net (net coordinates) as polylines: a
// window that reaches past the primitive circle re-enters from the opposite
// side, so it may come in two pieces.
QVector<QVector<QPointF>> setWindowOutline(const SetWindow& window, bool upperHemisphere);

// 画分组窗 in a project window: while active, a press on the net marks a
// window's centre, dragging sets its half-angle with the small circle drawn
// live, and the release hands the window over (windowDrawn). Escape cancels
// a drag; without one it ends the mode (finished).
class SetWindowTool : public QObject {
    Q_OBJECT
public:
    // Below this half-angle a release adds nothing (a click, not a drag).
    static constexpr double MinHalfAngle = 1.0;

    explicit SetWindowTool(QWidget* view);

    void setActive(bool active);
    bool isActive() const { return active; }
    bool isDragging() const { return dragging; }
    QWidget* view() const { return widget; }

    // The view's events, in its pixels; true when the tool took them.
    bool press(const QPointF& pixel, const QSize& size, bool upperHemisphere);
    bool move(const QPointF& pixel);
    bool release(const QPointF& pixel);
    bool escape();

    // The rubber band and its values, in the view's pixels.
    void paint(QPainter& painter) const;

signals:
    void windowDrawn(const SetWindow& window);
    void finished();

private:
    QWidget* widget;
    bool active = false;
    bool dragging = false;
    bool upper = true;
    NetFrame frame;
    QPointF pressNet, currentNet;
};
