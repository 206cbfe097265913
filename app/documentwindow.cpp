#include "app/documentwindow.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#ifdef Q_OS_WIN
#include "platform/openrequests.h"
#include "platform/win/ddeserver.h"

#include <QCoreApplication>
#endif

DocumentWindow::DocumentWindow(QWidget* parent) : QMainWindow(parent) { setAcceptDrops(true); }

DocumentWindow::~DocumentWindow() = default;

#ifdef Q_OS_WIN
void DocumentWindow::registerDdeAtoms() {
    if (!dde_)
        dde_ = std::make_unique<platform::win::DdeServer>(
            platform::executableBaseName(QCoreApplication::applicationFilePath()), QStringLiteral("system"));
    dde_->registerAtoms();
}

bool DocumentWindow::nativeEvent(const QByteArray& eventType, void* message, long* result) {
    if (dde_ && dde_->handleMessage(this, message, result, [this](const QString& path) { return openFile(path); }))
        return true;
    return QMainWindow::nativeEvent(eventType, message, result);
}
#else
void DocumentWindow::registerDdeAtoms() {}
#endif

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
