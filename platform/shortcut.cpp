#include "platform/shortcut.h"

#include "platform/fileassociation.h"
#include "platform/openrequests.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include "platform/win/shelllink.h"
#endif

namespace platform {

bool createDesktopShortcut(const QString& name) {
    return createDesktopShortcut(name, QCoreApplication::applicationFilePath(),
                                 QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

bool createDesktopShortcut(const QString& name, const QString& executable, const QString& desktopFolder) {
    if (name.isEmpty() || executable.isEmpty() || desktopFolder.isEmpty())
        return false;
#ifdef Q_OS_WIN
    QString link = desktopFolder + QLatin1Char('/') + name;
    if (!link.endsWith(QLatin1String(".lnk"), Qt::CaseInsensitive))
        link += QStringLiteral(".lnk");
    if (QFileInfo::exists(link))
        return false;
    return win::createShellLink(QDir::toNativeSeparators(link), QDir::toNativeSeparators(executable));
#else
    QString title = name;
    if (title.endsWith(QLatin1String(".lnk"), Qt::CaseInsensitive))
        title.chop(4);
    if (title.isEmpty() || title.contains(QLatin1Char('/')))
        return false;
    const QString path = desktopFolder + QLatin1Char('/') + title + QStringLiteral(".desktop");
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return false;
    if (!QDir().mkpath(desktopFolder))
        return false;
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString icon = dataDir + QStringLiteral("/icons/hicolor/64x64/apps/") + executableBaseName(executable) +
                         QStringLiteral(".png");
    if (!QFileInfo::exists(icon))
        writeIconFile(icon, 64);
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Version=1.0\n"
                                         "Name=%1\n"
                                         "Exec=%2\n"
                                         "Icon=%3\n"
                                         "Terminal=false\n")
                              .arg(escapeDesktopValue(title),
                                   escapeDesktopValue(quoteExecArgument(executable) + QStringLiteral(" %F")),
                                   escapeDesktopValue(icon));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(entry.toUtf8());
    if (!file.commit())
        return false;
    // Desktops only launch entries on the desktop that are executable.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                    QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    return true;
#endif
}

} // namespace platform
