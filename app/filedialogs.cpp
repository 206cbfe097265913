#include "app/filedialogs.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace FileDialogs {
namespace {
Hook& hook() {
    static Hook h;
    return h;
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
    // A name typed without an extension gets the first filter's one (the
    // Windows dialog does this by itself; Qt's own dialog does not), and the
    // overwrite prompt then asks about the name actually written.
    QFileDialog dialog(parent, caption, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QRegularExpressionMatch first = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
    if (first.hasMatch())
        dialog.setDefaultSuffix(first.captured(1));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace FileDialogs
