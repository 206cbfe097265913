#pragma once

#include "app/filedialogs.h"
#include "model/datacenter.h"
#include "model/fonts.h"
#include "platform/messagebox.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QVector>
#include <QWidget>

// Shared set-up of the shell tests: the store names of the program, a clean
// store, and recorders for message boxes and file dialogs.
namespace apptesting {

// A command of a window by its object name (actNew, actJointSets, …).
inline QAction* action(QWidget& window, const char* name) {
    return window.findChild<QAction*>(QLatin1String(name));
}

inline void nameApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("Quillmere"));
    QCoreApplication::setApplicationName(QStringLiteral("Karven"));
    installFontSubstitutions();
}

inline void clearSettings() {
    QSettings settings;
    settings.clear();
    settings.sync();
}

// Records every box and answers save prompts with `answer`.
struct Boxes {
    QVector<MessageBox::Shown> shown;
    int answer = MessageBox::Cancel;
    bool cursorOverridden = false; // some box came while a wait cursor was up

    Boxes() { install(); }
    ~Boxes() { MessageBox::setHook({}); }
    void install();
    int count(MessageBox::Kind kind) const {
        int n = 0;
        for (const auto& box : shown)
            n += box.kind == kind;
        return n;
    }
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
};

// Records every file dialog and answers it with the next queued name (an
// empty name, i.e. a cancelled dialog, when the queue is empty).
struct Dialogs {
    QVector<FileDialogs::Request> requests;
    QStringList answers;

    Dialogs() {
        FileDialogs::setHook([this](const FileDialogs::Request& request) {
            requests.append(request);
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
    }
    ~Dialogs() { FileDialogs::setHook({}); }
};

// Writes a small valid project file.
inline bool writeProjectFile(const QString& path, const QString& name = QStringLiteral("测试工程")) {
    DataCenter project;
    project.ProjectName = name;
    PlaneRecord plane;
    plane.id = 1;
    plane.direction = 120;
    plane.angle = 40;
    plane.type = Joint;
    project.planes << plane;
    project.updatePlanesGeometry();
    QFile file(path);
    if (!file.open(QFile::WriteOnly | QFile::Text))
        return false;
    return project.writeProject(&file);
}

} // namespace apptesting

#include <QApplication>

inline void apptesting::Boxes::install() {
    MessageBox::setHook([this](const MessageBox::Shown& box) {
        shown.append(box);
        if (QApplication::overrideCursor())
            cursorOverridden = true;
        return answer;
    });
}
