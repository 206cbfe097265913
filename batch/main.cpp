// karven-batch: analyses project files and writes their reports, pictures,
// drawings and results without a window.
#include "batch/batchrun.h"
#include "model/fonts.h"

#include <QGuiApplication>

#include <cstdio>

namespace {
QtMessageHandler qtDefault = nullptr;

// The off-screen platform asks for a runtime folder that a batch run never
// uses; its complaint about a missing XDG_RUNTIME_DIR (cron, ssh) would only
// clutter the messages that matter.
void messages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths:")))
        return;
    qtDefault(type, context, text);
}
} // namespace

int main(int argc, char* argv[]) {
    qtDefault = qInstallMessageHandler(messages);
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
