// Open requests between two starts of the program, and what the listening
// side does with broken, oversized, slow and foreign connections.
#include "platform/openrequests.h"

#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

using platform::OpenRequestServer;

namespace {

QByteArray framed(const QByteArray& text, quint32 length) {
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(length, out.data());
    return out + text;
}

} // namespace

class OpenRequestsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void secondStartHandsFilesToFirst();
    void staleSocketDoesNotStopNewInstance();
    void liveInstanceIsNotTakenOver();
    void socketReachableByOwnerOnly();
    void requestsAcknowledgedAndCarriedOut();
    void oversizedOrSlowRequestsDropped();

private:
    std::unique_ptr<QProcess> startFirst(const QStringList& files = {});
    int runSecond(const QStringList& files, QString* workDir = nullptr);
    QStringList recorded() const;

    std::unique_ptr<QTemporaryDir> dir_;
    QString server_;
    QString record_;
    std::vector<std::unique_ptr<QProcess>> running_;
};

void OpenRequestsTest::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    server_ = dir_->filePath("karven-test");
    record_ = dir_->filePath("opened.txt");
}

void OpenRequestsTest::cleanup() {
    for (auto& p : running_) {
        p->kill();
        p->waitForFinished(5000);
    }
    running_.clear();
}

std::unique_ptr<QProcess> OpenRequestsTest::startFirst(const QStringList& files) {
    auto p = std::make_unique<QProcess>();
    p->setWorkingDirectory(dir_->path());
    p->start(OPEN_REQUEST_HELPER, QStringList{server_, record_} + files);
    if (!p->waitForStarted(5000))
        return nullptr;
    QDeadlineTimer deadline(10000);
    while (!p->canReadLine() && !deadline.hasExpired() && p->state() == QProcess::Running)
        p->waitForReadyRead(200);
    if (p->readLine().trimmed() != "ready")
        return nullptr;
    return p;
}

int OpenRequestsTest::runSecond(const QStringList& files, QString* workDir) {
    QProcess p;
    p.setWorkingDirectory(workDir ? *workDir : dir_->path());
    p.start(OPEN_REQUEST_HELPER, QStringList{server_, record_} + files);
    if (!p.waitForFinished(15000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    return p.exitCode();
}

QStringList OpenRequestsTest::recorded() const {
    QFile f(record_);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

void OpenRequestsTest::secondStartHandsFilesToFirst() {
    auto first = startFirst();
    QVERIFY(first);
    QVERIFY(recorded().isEmpty());

    // Relative names are resolved in the second start's folder.
    QDir(dir_->path()).mkdir("work");
    QString work = dir_->filePath("work");
    QCOMPARE(runSecond({"边坡 A.yty"}, &work), 3);
    QTRY_COMPARE(recorded(), QStringList{dir_->filePath("work/边坡 A.yty")});

    QCOMPARE(runSecond({"/tmp/b.yty", "/tmp/say \"c\".yty"}), 3);
    QTRY_COMPARE(recorded().size(), 3);
    QCOMPARE(recorded().mid(1), (QStringList{"/tmp/b.yty", "/tmp/say \"c\".yty"}));
    QCOMPARE(first->state(), QProcess::Running);
    running_.push_back(std::move(first));
}

void OpenRequestsTest::staleSocketDoesNotStopNewInstance() {
    auto crashed = startFirst();
    QVERIFY(crashed);
    crashed->kill(); // SIGKILL: no chance to remove its socket
    QVERIFY(crashed->waitForFinished(5000));
    QVERIFY(QFileInfo::exists(server_));

    // The next start finds nobody, listens in its place and opens its file.
    auto next = startFirst({"/tmp/a.yty"});
    QVERIFY(next);
    QCOMPARE(recorded(), QStringList{"/tmp/a.yty"});
    QCOMPARE(runSecond({"/tmp/b.yty"}), 3);
    QTRY_COMPARE(recorded(), (QStringList{"/tmp/a.yty", "/tmp/b.yty"}));
    running_.push_back(std::move(next));
}

void OpenRequestsTest::liveInstanceIsNotTakenOver() {
    auto first = startFirst();
    QVERIFY(first);
    // A start without files does not listen over the running instance...
    QCOMPARE(runSecond({}), 4);
    // ...which still gets the requests.
    QCOMPARE(runSecond({"/tmp/a.yty"}), 3);
    QTRY_COMPARE(recorded(), QStringList{"/tmp/a.yty"});
    running_.push_back(std::move(first));
}

void OpenRequestsTest::socketReachableByOwnerOnly() {
    // A world-searchable folder, so that only the socket's own mode decides.
    QVERIFY(QFile::setPermissions(dir_->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                    QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                    QFile::ExeOther));
    OpenRequestServer server;
    QVERIFY(server.listen([](const QString&) { return true; }, server_));
    QCOMPARE(server.fullServerName(), server_);
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(server_).constData(), &st), 0);
    QVERIFY(S_ISSOCK(st.st_mode));
    QCOMPARE(st.st_uid, ::getuid());
    QCOMPARE(st.st_mode & 077, mode_t(0));

    // The default name is per user and lives in the runtime folder when set.
    const QString name = OpenRequestServer::defaultServerName();
    QVERIFY(name.endsWith("karven-" + QString::number(::getuid())));

    if (::getuid() != 0)
        return; // another user cannot be impersonated without root
    const QByteArray path = QFile::encodeName(server_);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, path.constData(), sizeof(addr.sun_path) - 1);
        const int rc = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        ::_exit(rc == 0 ? 0 : (errno == EACCES ? 1 : 3));
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2)
        QSKIP("cannot switch to another user here (no CAP_SETUID); socket mode checked above");
    QCOMPARE(WEXITSTATUS(status), 1); // refused with "permission denied"
}

void OpenRequestsTest::requestsAcknowledgedAndCarriedOut() {
    OpenRequestServer server;
    QStringList commands;
    QVERIFY(server.listen(
        [&](const QString& c) {
            commands << c;
            return true;
        },
        server_));
    QLocalSocket client;
    client.connectToServer(server_);
    QVERIFY(client.waitForConnected(2000));

    // Two messages in one write, one of them nonsense: both acknowledged,
    // both handed on, one at a time.
    const QByteArray a = QStringLiteral("[open(\"/tmp/王.yty\")]").toUtf8();
    const QByteArray b = "garbage";
    client.write(framed(a, a.size()) + framed(b, b.size()));
    QTRY_COMPARE(client.bytesAvailable(), qint64(2));
    QCOMPARE(client.readAll(), QByteArray(2, OpenRequestServer::Acknowledgement));
    QTRY_COMPARE(commands, (QStringList{QStringLiteral("[open(\"/tmp/王.yty\")]"), "garbage"}));

    // A request split across writes is put together.
    client.write(framed("[open(", 11));
    QTest::qWait(50);
    client.write("\"x\")]");
    QTRY_COMPARE(commands.size(), 3);
    QCOMPARE(commands.last(), QStringLiteral("[open(\"x\")]"));
}

void OpenRequestsTest::oversizedOrSlowRequestsDropped() {
    OpenRequestServer server;
    server.setRequestTimeout(300);
    int calls = 0;
    QVERIFY(server.listen(
        [&](const QString&) {
            ++calls;
            return true;
        },
        server_));

    // Larger than 64 KiB: dropped as soon as the length is known.
    QLocalSocket big;
    big.connectToServer(server_);
    QVERIFY(big.waitForConnected(2000));
    big.write(framed(QByteArray(100, 'x'), OpenRequestServer::MaxRequestBytes + 1));
    QTRY_COMPARE(big.state(), QLocalSocket::UnconnectedState);

    // A request that never completes is dropped after the timeout.
    QLocalSocket slow;
    slow.connectToServer(server_);
    QVERIFY(slow.waitForConnected(2000));
    slow.write(framed("[open(", 40));
    QElapsedTimer t;
    t.start();
    QTRY_COMPARE_WITH_TIMEOUT(slow.state(), QLocalSocket::UnconnectedState, 3000);
    QVERIFY(t.elapsed() >= 250);

    // A silent connection too; meanwhile the server keeps serving others.
    QLocalSocket silent, fine;
    silent.connectToServer(server_);
    fine.connectToServer(server_);
    QVERIFY(silent.waitForConnected(2000) && fine.waitForConnected(2000));
    const QByteArray ok = "[open(\"/tmp/a.yty\")]";
    fine.write(framed(ok, ok.size()));
    QTRY_COMPARE(calls, 1);
    QTRY_COMPARE(silent.state(), QLocalSocket::UnconnectedState);

    // A request of exactly the limit is still accepted.
    QLocalSocket largest;
    largest.connectToServer(server_);
    QVERIFY(largest.waitForConnected(2000));
    largest.write(framed(QByteArray(int(OpenRequestServer::MaxRequestBytes), 'y'),
                         OpenRequestServer::MaxRequestBytes));
    QTRY_COMPARE(largest.bytesAvailable(), qint64(1));
    QTRY_COMPARE(calls, 2);
}

QTEST_MAIN(OpenRequestsTest)
#include "test_openrequests.moc"
