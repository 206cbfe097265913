#include "platform/cadclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace CadClipboard {

QStringList formatNames(int cadType) {
    QStringList names{QStringLiteral("AutoCAD.r18")};
    if (cadType == 1 || cadType == 4)
        names << QStringLiteral("AutoCAD.r22") << QStringLiteral("AutoCAD.r16")
              << QStringLiteral("AutoCAD.r17") << QStringLiteral("AutoCAD.r19");
    return names;
}

QString mimeTypeOf(const QString& formatName) {
#ifdef Q_OS_WIN
    // Registers the clipboard format under exactly this name, data unwrapped.
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(formatName);
#else
    return formatName;
#endif
}

bool place(const QByteArray& record, int cadType) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->clear();
    // One data object holding every format, in placing order; the clipboard
    // takes ownership.
    auto* data = new QMimeData;
    for (const QString& name : formatNames(cadType))
        data->setData(mimeTypeOf(name), record);
    clipboard->setMimeData(data);
    return true;
}

} // namespace CadClipboard
