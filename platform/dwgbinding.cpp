#include "platform/dwgbinding.h"

#include "platform/messagebox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QSettings>

namespace DwgBinding {
namespace {
#ifdef Q_OS_WIN
using WriteDwg = bool(__stdcall*)(const char16_t*);
#else
using WriteDwg = bool (*)(const char16_t*);
#endif

QString tr(const char* text) {
    return QCoreApplication::translate("DwgBinding", text);
}

QString& name() {
    static QString n = QStringLiteral("Vantrel");
    return n;
}

QString missingLibraryText() {
#if defined(Q_OS_WIN)
    return tr("无法找到Vantrel.dll文件");
#elif defined(Q_OS_MACOS)
    return tr("无法找到libVantrel.dylib文件");
#else
    return tr("无法找到libVantrel.so文件");
#endif
}

// The platform's own search order, except that outside Windows (where the
// program's folder comes first anyway) the program's folder is tried before
// the system search path.
bool load(QLibrary& library) {
    const QString n = name();
#ifndef Q_OS_WIN
    if (QDir::isRelativePath(n) && QCoreApplication::instance()) {
        library.setFileName(QCoreApplication::applicationDirPath() + QLatin1Char('/') + n);
        if (library.load())
            return true;
    }
#endif
    library.setFileName(n);
    return library.load();
}
} // namespace

void setLibraryName(const QString& libraryName) {
    name() = libraryName;
}

QString libraryName() {
    return name();
}

QString libraryFileName() {
#if defined(Q_OS_WIN)
    return QStringLiteral("Vantrel.dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("libVantrel.dylib");
#else
    return QStringLiteral("libVantrel.so");
#endif
}

bool checkDotNet() {
#ifdef Q_OS_WIN
    QSettings settings(
        QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full"),
        QSettings::NativeFormat);
    bool ok = false;
    int release = settings.value(QStringLiteral("Release"), -1).toInt(&ok);
    if (!ok)
        release = -1;
    if (release < 528040) {
        MessageBox::warning(QApplication::activeWindow(), tr("本机未安装.NET Framework 4.8"));
        return false;
    }
#endif
    return true;
}

bool callWriteDwg(const QString& path) {
    // The loader goes out of scope without unload(): the library stays
    // loaded for the rest of the process.
    QLibrary library;
    if (!load(library)) {
        MessageBox::warning(QApplication::activeWindow(), missingLibraryText());
        return false;
    }
    const auto writeDwg = reinterpret_cast<WriteDwg>(library.resolve("writeDwg"));
    if (!writeDwg) {
        MessageBox::warning(QApplication::activeWindow(), tr("Vantrel.dll未导出函数"));
        return false;
    }
    try {
        // utf16() is NUL-terminated and stays ours for the whole call.
        return writeDwg(reinterpret_cast<const char16_t*>(path.utf16()));
    } catch (...) {
        MessageBox::warning(QApplication::activeWindow(), tr("生成图形文件失败"));
        return false;
    }
}

} // namespace DwgBinding
