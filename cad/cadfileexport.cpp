#include "cad/cadfileexport.h"

#include "cad/caddrawing.h"
#include "cad/cadexport.h"
#include "model/datacenter.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace CadFileExport {
namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("CadFileExport", text);
}

// Everything the clipboard held, put back when the scope ends.
class ClipboardKeeper {
public:
    ClipboardKeeper() {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            return;
        clipboard = QGuiApplication::clipboard();
        const QMimeData* current = clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
        if (!current)
            return;
        for (const QString& format : current->formats()) {
            // An image travels as a value, not as bytes of its format.
            if (format == QLatin1String("application/x-qt-image"))
                continue;
            saved.setData(format, current->data(format));
        }
        if (current->hasImage())
            saved.setImageData(current->imageData());
    }
    ~ClipboardKeeper() {
        if (!clipboard)
            return;
        if (saved.formats().isEmpty()) {
            clipboard->clear(QClipboard::Clipboard);
            return;
        }
        auto* restored = new QMimeData;
        for (const QString& format : saved.formats()) {
            if (format != QLatin1String("application/x-qt-image"))
                restored->setData(format, saved.data(format));
        }
        if (saved.hasImage())
            restored->setImageData(saved.imageData());
        clipboard->setMimeData(restored, QClipboard::Clipboard);
    }
    ClipboardKeeper(const ClipboardKeeper&) = delete;
    ClipboardKeeper& operator=(const ClipboardKeeper&) = delete;

private:
    QClipboard* clipboard = nullptr;
    QMimeData saved;
};

// The folder can take a new file (the writers create a temporary file
// beside the target).
bool folderWritable(const QString& path) {
    const QFileInfo folder(QFileInfo(path).absolutePath());
    return folder.isDir() && folder.isWritable();
}
} // namespace

int fileCreationMask() {
#ifdef Q_OS_UNIX
    static const int mask = [] {
        const mode_t old = ::umask(0);
        ::umask(old);
        return int(old);
    }();
    return mask;
#else
    return 0;
#endif
}

bool exportDxfFile(const DataCenter& project, const QString& path) {
    const QFileInfo earlier(path);
    const QFileDevice::Permissions previous =
        earlier.exists() && !earlier.isSymLink() ? earlier.permissions() : QFileDevice::Permissions();
    if (!CadExport::exportDxf(project, path))
        return false;
    QFileDevice::Permissions permissions = previous;
    if (!permissions) {
        const int mask = fileCreationMask();
        const struct {
            int bit;
            QFileDevice::Permissions flags;
        } bits[] = {{0400, QFileDevice::ReadOwner | QFileDevice::ReadUser},
                    {0200, QFileDevice::WriteOwner | QFileDevice::WriteUser},
                    {0040, QFileDevice::ReadGroup},
                    {0020, QFileDevice::WriteGroup},
                    {0004, QFileDevice::ReadOther},
                    {0002, QFileDevice::WriteOther}};
        for (const auto& b : bits)
            if (!(mask & b.bit))
                permissions |= b.flags;
    }
    QFile::setPermissions(path, permissions);
    return true;
}

Format formatOf(const QString& path) {
    return path.endsWith(QLatin1String(".dwg"), Qt::CaseInsensitive) ? Format::Dwg : Format::Dxf;
}

QString fileFilter() {
    return tr("DXF文件(*.dxf);;DWG文件(*.dwg)");
}

bool exportDwgKeepingClipboard(const DataCenter& project, const QString& path) {
    ClipboardKeeper keeper;
    return CadExport::exportDwg(project, path);
}

bool writeDrawingFile(DataCenter& project, const QString& path, int radius, int textPercent, QString& error) {
    project.cadRadius = radius;
    project.cadTextPercent = textPercent;
    CadDrawing::updateCadColours(project);

    if (path.isEmpty() || !folderWritable(path)) {
        error = tr("无法打开写入文件%1").arg(QDir::toNativeSeparators(path));
        return false;
    }
    const bool written = formatOf(path) == Format::Dwg ? exportDwgKeepingClipboard(project, path)
                                                       : exportDxfFile(project, path);
    if (!written) {
        error = tr("无法写入文件%1%").arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

} // namespace CadFileExport
