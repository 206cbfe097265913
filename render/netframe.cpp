#include "render/netframe.h"

#include <QSize>
#include <QtGlobal>

NetFrame stereonetWindowFrame(const QSize& size) {
    NetFrame frame;
    frame.centre = QPointF(0.47 * size.width(), 0.5 * size.height());
    frame.radius = 0.4 * qMax(qMin(size.width(), size.height()), 400);
    return frame;
}
