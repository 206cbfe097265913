#include "app/application.h"

#include <QApplication>
#include <QMainWindow>

int runKarven(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quillmere"));
    QCoreApplication::setApplicationName(QStringLiteral("Karven"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0"));
    QMainWindow window;
    window.resize(1511, 932);
    window.show();
    return app.exec();
}
