#include "platform/win/ddeserver.h"

#include "platform/openrequests.h"

#include <QWidget>

#include <windows.h>

#include <dde.h>

namespace platform::win {

DdeServer::DdeServer(const QString& application, const QString& topic) : application_(application), topic_(topic) {}

DdeServer::~DdeServer() {
    if (applicationAtom_) {
        GlobalDeleteAtom(applicationAtom_);
        applicationAtom_ = 0;
    }
    if (topicAtom_) {
        GlobalDeleteAtom(topicAtom_);
        topicAtom_ = 0;
    }
}

void DdeServer::registerAtoms() {
    if (applicationAtom_ || topicAtom_)
        return;
    applicationAtom_ = GlobalAddAtomW(reinterpret_cast<LPCWSTR>(application_.utf16()));
    topicAtom_ = GlobalAddAtomW(reinterpret_cast<LPCWSTR>(topic_.utf16()));
}

bool DdeServer::handleMessage(QWidget* window, void* message, long* result,
                              const std::function<bool(const QString&)>& openFile) {
    const MSG* msg = static_cast<const MSG*>(message);
    const HWND self = reinterpret_cast<HWND>(window->winId());
    const HWND client = reinterpret_cast<HWND>(msg->wParam);
    switch (msg->message) {
    case WM_DDE_INITIATE: {
        const ATOM application = LOWORD(msg->lParam);
        const ATOM topic = HIWORD(msg->lParam);
        if (application != 0 && topic != 0 && application == applicationAtom_ && topic == topicAtom_)
            SendMessageW(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(self),
                         MAKELPARAM(applicationAtom_, topicAtom_));
        *result = 0;
        return true;
    }
    case WM_DDE_TERMINATE:
        PostMessageW(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(self), msg->lParam);
        *result = 0;
        return true;
    case WM_DDE_EXECUTE: {
        UINT_PTR unused = 0;
        UINT_PTR handle = 0;
        UnpackDDElParam(WM_DDE_EXECUTE, msg->lParam, &unused, &handle);
        const HGLOBAL memory = reinterpret_cast<HGLOBAL>(handle);
        QString command;
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(memory))) {
            command = QString::fromWCharArray(text);
            GlobalUnlock(memory);
        }
        // Positive acknowledgement, always, before the command is looked at.
        const LPARAM ack = ReuseDDElParam(msg->lParam, WM_DDE_EXECUTE, WM_DDE_ACK, 0x8000, handle);
        PostMessageW(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(self), ack);
        executeShellCommand(command, !IsWindowEnabled(self), openFile);
        *result = 0;
        return true;
    }
    default:
        return false;
    }
}

} // namespace platform::win
