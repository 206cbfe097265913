#pragma once

#include <QString>

#include <functional>

class QWidget;

// Every modal message box of the program goes through here: title
// "澄岩赤平投影", parented to the window concerned. Tests install a hook that
// records the box and answers it instead of showing it.
namespace MessageBox {

enum class Kind { Warning, Information, SavePrompt, Question };

// Answers of the save prompt.
enum SaveAnswer { Save = 0, Discard = 1, Cancel = 2 };

struct Shown {
    Kind kind;
    QString title;
    QString text;
    QWidget* parent;
};

void warning(QWidget* parent, const QString& text);
void information(QWidget* parent, const QString& text);
// Three buttons "保存", "不保存", "取消"; "保存" is the default, no escape button.
SaveAnswer askSave(QWidget* parent, const QString& text);
// A question with the buttons "是" (the default) and "否"; Escape and closing
// the box answer "否". True for "是"; a test hook answers with nonzero.
bool ask(QWidget* parent, const QString& text);

// Test seam: while a hook is installed no box is shown; the hook's result
// answers a save prompt or a question (ignored for the others).
using Hook = std::function<int(const Shown&)>;
void setHook(Hook hook);

QString title();

} // namespace MessageBox
