// A project window's pointer and keys go to 画分组窗 while it is on.
#include "app/mdichild.h"
#include "app/setwindowtool.h"

#include <QKeyEvent>
#include <QMouseEvent>

void MdiChild::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !dataCenter.field.isEmpty() &&
        windowTool->press(event->localPos(), size(), dataCenter.UpperMode)) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void MdiChild::mouseMoveEvent(QMouseEvent* event) {
    if (windowTool->move(event->localPos())) {
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void MdiChild::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && windowTool->release(event->localPos())) {
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void MdiChild::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && windowTool->escape()) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
