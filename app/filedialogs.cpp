#include "app/filedialogs.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace FileDialogs {
namespace {
Hook& hook() {
    static Hook h;
    return h;
}

// The extension a name filter adds: "yty" for "数据文件(*.yty)", none for
// "所有文件(*.*)", whose names are kept as typed.
QString suffixOf(const QString& nameFilter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch match = pattern.match(nameFilter);
    return match.hasMatch() ? match.captured(1) : QString();
}
} // namespace

void setHook(Hook h) {
    hook() = std::move(h);
}

QString getOpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                        const QString& filter) {
    if (hook())
        return hook()({Mode::Open, parent, caption, directory, filter});
    return QFileDialog::getOpenFileName(parent, caption, directory, filter);
}

QString getSaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                        const QString& filter) {
    if (hook())
        return hook()({Mode::Save, parent, caption, directory, filter});
    // A name typed without an extension gets the selected filter's one (the
    // Windows dialog does this by itself; Qt's own dialog does not), and the
    // overwrite prompt then asks about the name actually written.
    QFileDialog dialog(parent, caption, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& chosen) { dialog.setDefaultSuffix(suffixOf(chosen)); });
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace FileDialogs
