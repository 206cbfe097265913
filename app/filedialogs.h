#pragma once

#include <QString>

#include <functional>

class QWidget;

// Every file-name dialog of the shell goes through here, so that tests can
// answer them without a modal dialog.
namespace FileDialogs {

enum class Mode { Open, Save };

struct Request {
    Mode mode;
    QWidget* parent;
    QString caption;
    QString directory;
    QString filter;
};

// Returns the chosen file name, or an empty string when the user cancelled.
QString getOpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                        const QString& filter);
QString getSaveFileName(QWidget* parent, const QString& caption, const QString& directory,
                        const QString& filter);

// Test seam: while a hook is installed no dialog is shown; the hook answers.
using Hook = std::function<QString(const Request&)>;
void setHook(Hook hook);

} // namespace FileDialogs
