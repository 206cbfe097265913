#include "app/application.h"

#include "app/mainwindow.h"
#include "model/fonts.h"
#include "platform/openrequests.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QStringList>

int runKarven(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quillmere"));
    QCoreApplication::setApplicationName(QStringLiteral("Karven"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0"));
#ifndef Q_OS_WIN
    // Lets the desktop match the window to the installed karven.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral("karven"));
#endif

#ifndef Q_OS_WIN
    // Without DDE, file names on the command line and the local socket carry
    // the shell's open requests: handed to a running instance if there is
    // one, else opened here once the window is up. On Windows the shell's DDE
    // conversation opens them, and the command line is not read.
    QStringList files = QCoreApplication::arguments();
    if (!files.isEmpty())
        files.removeFirst();
    // Absolute, so that the recent-file list names them from anywhere.
    for (QString& file : files)
        file = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    if (!files.isEmpty() && platform::OpenRequestServer::forwardToRunningInstance(files))
        return 0;
#endif

    // The program speaks Chinese only: Qt's own texts (OK, Cancel, the file
    // dialogs) follow suit where the translation is installed.
    static QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    installFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Microsoft YaHei UI"), 9));

    MainWindow window;
    window.registerDdeAtoms();
    window.show();

#ifndef Q_OS_WIN
    platform::OpenRequestServer server;
    server.listen([&window](const QString& command) {
        return platform::executeShellCommand(
            command, QApplication::activeModalWidget() != nullptr,
            [&window](const QString& path) { return window.openFile(path); });
    });
    window.openFiles(files);
#endif

    return app.exec();
}
