#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// Carries out one shell command of the form [open("PATH")]. `open` is called
// with the path for a well-formed open command unless `modalActive`.
// Returns true when the command was understood and carried out.
bool executeShellCommand(const QString& command, bool modalActive,
                         const std::function<bool(const QString&)>& open);

// Single-instance open requests. The first instance listens; a later start
// hands its file arguments to it and exits.
class OpenRequestServer : public QObject {
    Q_OBJECT
public:
    explicit OpenRequestServer(QObject* parent = nullptr);
    ~OpenRequestServer() override;

    // Sends [open("PATH")] for every file to a running instance. Returns
    // true when a running instance acknowledged all of them.
    static bool forwardToRunningInstance(const QStringList& files);

    // Starts listening; commands are handed to `handler` on the GUI thread.
    bool listen(std::function<bool(const QString& command)> handler);
};

} // namespace platform
