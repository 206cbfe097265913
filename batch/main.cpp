// karven-batch: analyses project files and writes their reports, pictures,
// drawings and results without a window.
#include "batch/batchrun.h"
#include "model/fonts.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    // Pictures are painted off screen: no display is needed or used, also
    // where the desktop session names a platform for every Qt program.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quillmere"));
    QCoreApplication::setApplicationName(QStringLiteral("Karven"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0"));
    installFontSubstitutions();

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return BatchRun::main(arguments, stdout, stderr);
}
