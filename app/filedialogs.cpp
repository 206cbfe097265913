#include "app/filedialogs.h"

#include <QFileDialog>

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
    return QFileDialog::getSaveFileName(parent, caption, directory, filter);
}

} // namespace FileDialogs
