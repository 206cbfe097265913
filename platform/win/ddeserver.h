#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace platform::win {

// The shell's DDE conversation on one top-level window: answers initiate
// requests for this application and topic, echoes terminate and carries out
// execute commands with executeShellCommand.
class DdeServer {
public:
    DdeServer(const QString& application, const QString& topic);
    ~DdeServer(); // deletes the atoms
    DdeServer(const DdeServer&) = delete;
    DdeServer& operator=(const DdeServer&) = delete;

    // Adds both names as global atoms, once.
    void registerAtoms();

    // For nativeEvent: handles WM_DDE_INITIATE, WM_DDE_TERMINATE and
    // WM_DDE_EXECUTE sent to `window` and returns true; false for any other
    // message, which then goes to the framework.
    bool handleMessage(QWidget* window, void* message, long* result,
                       const std::function<bool(const QString&)>& openFile);

private:
    QString application_;
    QString topic_;
    unsigned short applicationAtom_ = 0;
    unsigned short topicAtom_ = 0;
};

} // namespace platform::win
