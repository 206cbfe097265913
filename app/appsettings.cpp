#include "app/appsettings.h"

#include <QDir>
#include <QSettings>

namespace AppSettings {

namespace {
const char* const kRecentKey = "recentFileList";
const char* const kFileKey = "file";
} // namespace

QString lastPath() {
    QSettings settings;
    return settings.value(QStringLiteral("lastpath")).toString();
}

void saveLastPath(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
    QSettings settings;
    settings.setValue(QStringLiteral("lastpath"), native.left(native.lastIndexOf(QDir::separator())));
}

QStringList readRecentFiles() {
    QSettings settings;
    QStringList files;
    const int count = settings.beginReadArray(QLatin1String(kRecentKey));
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        files.append(settings.value(QLatin1String(kFileKey)).toString());
    }
    settings.endArray();
    return files;
}

bool updateRecentFileList(const QString& path, bool add) {
    const QStringList stored = readRecentFiles();
    QStringList files = stored;
    const QString native = QDir::toNativeSeparators(path);
    files.removeAll(native);
    if (add)
        files.prepend(native);
    if (files == stored)
        return false;

    QSettings settings;
    // Drop the whole array first so that entries of an earlier, longer list
    // do not linger behind the new size.
    settings.remove(QLatin1String(kRecentKey));
    settings.beginWriteArray(QLatin1String(kRecentKey));
    const int count = qMin(files.size(), MaxRecentFiles);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QLatin1String(kFileKey), files.at(i));
    }
    settings.endArray();
    return true;
}

int sanitizedFontSize(int stored) {
    return stored >= 4 && stored <= 51 ? stored : 20;
}

int sanitizedColor(int stored, int fallback) {
    return stored >= Qt::color0 && stored <= Qt::transparent ? stored : fallback;
}

} // namespace AppSettings
