#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QLocalServer;
class QLocalSocket;
class QWidget;

namespace platform {

// Carries out one shell command of the form [open("PATH")]. `open` is called
// with the path for a well-formed open command unless `modalActive`.
// Returns true when the command was understood and carried out.
//
// The whole command must match ^\[(\w+)\((.*)\)\]$; the command word is
// compared ignoring case and the argument must be a double-quoted string.
// Anything else (unknown command, unquoted argument, text around the
// brackets, several commands, also back to back in one message) is ignored.
bool executeShellCommand(const QString& command, bool modalActive,
                         const std::function<bool(const QString&)>& open);

// The shell's open command for one file: [open("PATH")].
QString openCommandFor(const QString& path);

// The executable's file name without folder, up to the first dot
// ("karven" for C:\Karven\karven.exe or /opt/karven/bin/karven).
QString executableBaseName(const QString& executablePath);

// True while `window` cannot take a shell request: it is disabled or a modal
// dialog is open in the application.
bool windowBlockedByModal(const QWidget* window);

#ifndef Q_OS_WIN
// Single-instance open requests where the shell has no DDE (not on Windows,
// whose shell opens files through the DDE conversation). The first instance
// listens; a later start hands its file arguments to it and exits.
//
// Messages on the local socket are a 32-bit big-endian length followed by the
// command in UTF-8; every complete message is acknowledged with one byte
// before the command is looked at. Only the same user can connect.
class OpenRequestServer : public QObject {
    Q_OBJECT
public:
    // Largest command accepted; a longer request drops the connection.
    static constexpr quint32 MaxRequestBytes = 64 * 1024;
    // A connection that does not finish a request within this time is dropped.
    static constexpr int DefaultRequestTimeoutMs = 5000;
    static constexpr char Acknowledgement = '\x06';

    explicit OpenRequestServer(QObject* parent = nullptr);
    ~OpenRequestServer() override;

    // Sends [open("PATH")] for every file (made absolute) to a running
    // instance. Returns true when a running instance acknowledged all of them.
    static bool forwardToRunningInstance(const QStringList& files);
    static bool forwardToRunningInstance(const QStringList& files, const QString& serverName,
                                         int timeoutMs = DefaultRequestTimeoutMs);

    // Starts listening; commands are handed to `handler` on the GUI thread,
    // one per message, after the event that received them. Never takes the
    // place of a live instance; a stale socket left by a crashed one is
    // removed first. Returns false when this process does not listen.
    bool listen(std::function<bool(const QString& command)> handler);
    bool listen(std::function<bool(const QString& command)> handler, const QString& serverName);

    void setRequestTimeout(int ms) { requestTimeoutMs_ = ms; }
    bool isListening() const;
    // Full path of the listening socket, empty when not listening.
    QString fullServerName() const;

    // The per-user socket path: in $XDG_RUNTIME_DIR when it is usable, else
    // in the temporary folder; the name carries the user id.
    static QString defaultServerName();

private:
    void acceptConnections();
    void readRequests(QLocalSocket* socket);

    QLocalServer* server_ = nullptr;
    std::function<bool(const QString&)> handler_;
    int requestTimeoutMs_ = DefaultRequestTimeoutMs;
};
#endif

} // namespace platform
