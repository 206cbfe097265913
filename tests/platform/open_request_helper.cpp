// A stand-in for the program's start-up in the open-request tests:
//   open_request_helper SERVER RECORD [FILE...]
// Hands FILEs to a running instance (exit code 3), or listens on SERVER and
// opens them itself; every opened path is appended to RECORD. Exit code 4
// when it neither forwarded nor could listen.
#include "platform/openrequests.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString server = args.at(1);
    const QString record = args.at(2);
    const QStringList files = args.mid(3);

    if (!files.isEmpty() && platform::OpenRequestServer::forwardToRunningInstance(files, server))
        return 3;

    auto open = [record](const QString& path) {
        QFile f(record);
        if (!f.open(QIODevice::Append))
            return false;
        f.write(path.toUtf8() + '\n');
        return true;
    };
    platform::OpenRequestServer requests;
    if (!requests.listen([open](const QString& command) { return platform::executeShellCommand(command, false, open); },
                         server))
        return 4;
    for (const QString& file : files)
        platform::executeShellCommand(
            platform::openCommandFor(QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath())), false, open);
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
