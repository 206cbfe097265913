// Rewrites examples/*.yty from the definitions in exampleprojects.h.
#include "exampleprojects.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(KARVEN_SOURCE_DIR "/examples");
    QDir().mkpath(dir);
    for (ExampleProject& e : exampleProjects()) {
        QSaveFile file(dir + QLatin1Char('/') + e.fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text) || !e.project->writeProject(&file) || !file.commit()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
        std::printf("%s\n", qPrintable(file.fileName()));
    }
    return 0;
}
