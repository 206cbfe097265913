#include "app/cadexportfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace CadExportFolder {
namespace {
const char* const kKey = "cadexportpath";
} // namespace

QString proposedPath(const QString& projectProposal, const QString& suffix) {
    const QString folder = QSettings().value(QLatin1String(kKey)).toString();
    const QString name = QFileInfo(projectProposal).fileName();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return QDir::toNativeSeparators(QDir(folder).filePath(name + suffix));
    return projectProposal + suffix;
}

void remember(const QString& writtenFile) {
    QSettings().setValue(QLatin1String(kKey),
                         QDir::toNativeSeparators(QFileInfo(writtenFile).absolutePath()));
}

} // namespace CadExportFolder
