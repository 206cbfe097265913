#pragma once

#include <QMainWindow>
#include <QStringList>

#include <memory>

namespace platform::win {
class DdeServer;
}

// Base of the main window: the open operations that the shell, file drops and
// open requests from a second start lead to.
class DocumentWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit DocumentWindow(QWidget* parent = nullptr);
    ~DocumentWindow() override;

    // Most files a single drop or request hands on.
    static constexpr int MaxFilesPerDrop = 32;

    // Lets the shell reach this window through DDE (Windows; nothing
    // elsewhere, where open requests arrive through the local socket).
    void registerDdeAtoms();

    // Opens one file. The base version does nothing.
    virtual bool openFile(const QString& path);
    // Opens several files; true when the request counts as handled. The base
    // version returns false.
    virtual bool openFiles(const QStringList& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, long* result) override;

private:
    std::unique_ptr<platform::win::DdeServer> dde_;
#endif
};
