#include "app/documentwindow.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

DocumentWindow::DocumentWindow(QWidget* parent) : QMainWindow(parent) { setAcceptDrops(true); }

DocumentWindow::~DocumentWindow() = default;

bool DocumentWindow::openFile(const QString&) { return false; }

bool DocumentWindow::openFiles(const QStringList&) { return false; }

void DocumentWindow::dragEnterEvent(QDragEnterEvent* event) {
    event->setDropAction(event->proposedAction());
    event->accept();
}

void DocumentWindow::dragMoveEvent(QDragMoveEvent* event) {
    event->setDropAction(event->proposedAction());
    event->accept();
}

void DocumentWindow::dragLeaveEvent(QDragLeaveEvent* event) { event->accept(); }

void DocumentWindow::dropEvent(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    if (!data || !data->hasUrls())
        return;
    QStringList paths;
    const QList<QUrl> urls = data->urls();
    for (const QUrl& url : urls) {
        if (paths.size() >= MaxFilesPerDrop)
            break;
        paths.append(url.toLocalFile());
    }
    if (openFiles(paths)) {
        event->setDropAction(event->proposedAction());
        event->accept();
    }
}
