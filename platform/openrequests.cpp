#include "platform/openrequests.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

bool matchesWhole(const QRegularExpressionMatch& m, const QString& text) {
    // "$" also matches before a final newline; the command must be exactly
    // the bracketed form.
    return m.hasMatch() && m.capturedStart(0) == 0 && m.capturedLength(0) == text.size();
}

#ifndef Q_OS_WIN
#ifdef Q_OS_UNIX
// True when `path` does not exist or is owned by this user. A name owned by
// someone else is never used: neither connected to nor replaced.
bool absentOrOurs(const QString& path) {
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return true;
    return st.st_uid == ::getuid();
}

bool peerIsSameUser(QLocalSocket* socket) {
#if defined(Q_OS_LINUX)
    struct ucred cred;
    socklen_t len = sizeof(cred);
    if (::getsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0)
        return false;
    return cred.uid == ::getuid();
#else
    uid_t uid;
    gid_t gid;
    if (::getpeereid(int(socket->socketDescriptor()), &uid, &gid) != 0)
        return false;
    return uid == ::getuid();
#endif
}
#else
bool absentOrOurs(const QString&) { return true; }
bool peerIsSameUser(QLocalSocket*) { return true; }
#endif

QString userTag() {
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    QString user = qEnvironmentVariable("USERNAME");
    user.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")));
    return user;
#endif
}

QByteArray frame(const QString& command) {
    const QByteArray text = command.toUtf8();
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(quint32(text.size()), out.data());
    return out + text;
}
#endif

} // namespace

bool executeShellCommand(const QString& command, bool modalActive,
                         const std::function<bool(const QString&)>& open) {
    if (modalActive)
        return false;
    static const QRegularExpression commandPattern(QStringLiteral("^\\[(\\w+)\\((.*)\\)\\]$"));
    static const QRegularExpression quotedPattern(QStringLiteral("^\"(.*)\"$"));
    const QRegularExpressionMatch m = commandPattern.match(command);
    if (!matchesWhole(m, command))
        return false;
    const QString name = m.captured(1);
    const QString argument = m.captured(2);
    const QRegularExpressionMatch quoted = quotedPattern.match(argument);
    if (!matchesWhole(quoted, argument))
        return false;
    if (name.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
        return false;
    // The greedy pattern also takes two commands in a row, [open("a")][open("b")],
    // as one open of the joined text; a quoted argument that closes and opens
    // a further bracketed command is such a pair.
    static const QRegularExpression secondCommand(QStringLiteral("\"\\)\\]\\[\\w+\\("));
    if (secondCommand.match(argument).hasMatch())
        return false;
    return open ? open(quoted.captured(1)) : false;
}

QString openCommandFor(const QString& path) {
    return QStringLiteral("[open(\"") + path + QStringLiteral("\")]");
}

QString executableBaseName(const QString& executablePath) {
    // Either separator: the registry holds Windows paths whatever the host.
    const int slash = qMax(executablePath.lastIndexOf(QLatin1Char('/')), executablePath.lastIndexOf(QLatin1Char('\\')));
    const QString name = executablePath.mid(slash + 1);
    const int dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

bool windowBlockedByModal(const QWidget* window) {
    if (window && !window->isEnabled())
        return true;
    return QApplication::activeModalWidget() != nullptr;
}

#ifndef Q_OS_WIN
OpenRequestServer::OpenRequestServer(QObject* parent) : QObject(parent) {}

OpenRequestServer::~OpenRequestServer() {
    if (server_)
        server_->close();
}

QString OpenRequestServer::defaultServerName() {
    const QString name = QStringLiteral("karven-") + userTag();
#ifdef Q_OS_UNIX
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        struct stat st;
        const QString path = QDir(runtime).absoluteFilePath(name);
        // sockaddr_un holds 108 bytes; leave room for the temporary name the
        // server binds first.
        if (::stat(QFile::encodeName(runtime).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
            st.st_uid == ::getuid() && QFile::encodeName(path).size() < 90)
            return path;
    }
    return QDir(QDir::tempPath()).absoluteFilePath(name);
#else
    return name;
#endif
}

bool OpenRequestServer::forwardToRunningInstance(const QStringList& files) {
    return forwardToRunningInstance(files, defaultServerName());
}

bool OpenRequestServer::forwardToRunningInstance(const QStringList& files, const QString& serverName,
                                                 int timeoutMs) {
    if (files.isEmpty() || !absentOrOurs(serverName))
        return false;
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(qMin(timeoutMs, 2000)))
        return false;
    for (const QString& file : files) {
        const QString path = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
        socket.write(frame(openCommandFor(path)));
        QDeadlineTimer deadline(timeoutMs);
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())) && socket.bytesToWrite() > 0)
            return false;
        while (socket.bytesAvailable() < 1) {
            if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
                return false;
        }
        char ack = 0;
        if (!socket.getChar(&ack) || ack != Acknowledgement)
            return false;
    }
    socket.disconnectFromServer();
    return true;
}

bool OpenRequestServer::listen(std::function<bool(const QString&)> handler) {
    return listen(std::move(handler), defaultServerName());
}

bool OpenRequestServer::listen(std::function<bool(const QString&)> handler, const QString& serverName) {
    if (server_)
        return false;
    if (!absentOrOurs(serverName))
        return false;
    {
        // The listening socket is put in place by renaming, which would
        // silently take over a live instance's name: only a name nobody
        // answers on is reused.
        QLocalSocket probe;
        probe.connectToServer(serverName);
        if (probe.waitForConnected(500)) {
            probe.abort();
            return false;
        }
    }
    QLocalServer::removeServer(serverName);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(serverName)) {
        delete server;
        return false;
    }
    server_ = server;
    handler_ = std::move(handler);
    connect(server_, &QLocalServer::newConnection, this, &OpenRequestServer::acceptConnections);
    return true;
}

bool OpenRequestServer::isListening() const { return server_ && server_->isListening(); }

QString OpenRequestServer::fullServerName() const { return server_ ? server_->fullServerName() : QString(); }

void OpenRequestServer::acceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (!peerIsSameUser(socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto* timer = new QTimer(socket);
        timer->setSingleShot(true);
        timer->setObjectName(QStringLiteral("requestTimer"));
        connect(timer, &QTimer::timeout, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequests(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        timer->start(requestTimeoutMs_);
        readRequests(socket);
    }
}

void OpenRequestServer::readRequests(QLocalSocket* socket) {
    auto* timer = socket->findChild<QTimer*>(QStringLiteral("requestTimer"));
    while (socket->bytesAvailable() >= 4) {
        char header[4];
        if (socket->peek(header, 4) != 4)
            return;
        const quint32 length = qFromBigEndian<quint32>(header);
        if (length > MaxRequestBytes) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        if (socket->bytesAvailable() < qint64(4 + length))
            return;
        socket->skip(4);
        const QString command = QString::fromUtf8(socket->read(length));
        // Acknowledged before the command is looked at, whatever it says.
        socket->putChar(Acknowledgement);
        socket->flush();
        if (timer)
            timer->start(requestTimeoutMs_);
        // Run from the event loop: opening a file may show a modal box, and
        // this handler must not be re-entered from its nested loop.
        QTimer::singleShot(0, this, [this, command] {
            if (handler_)
                handler_(command);
        });
    }
}

#endif

} // namespace platform
