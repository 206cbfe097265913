#include "platform/messagebox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace MessageBox {
namespace {
Hook& hook() {
    static Hook h;
    return h;
}
} // namespace

QString title() { return QCoreApplication::translate("MessageBox", "澄岩赤平投影"); }

void setHook(Hook h) { hook() = std::move(h); }

void warning(QWidget* parent, const QString& text) {
    if (hook()) {
        hook()({Kind::Warning, title(), text, parent});
        return;
    }
    QMessageBox::warning(parent, title(), text, QMessageBox::Ok);
}

void information(QWidget* parent, const QString& text) {
    if (hook()) {
        hook()({Kind::Information, title(), text, parent});
        return;
    }
    QMessageBox::information(parent, title(), text, QMessageBox::Ok);
}

SaveAnswer askSave(QWidget* parent, const QString& text) {
    if (hook())
        return SaveAnswer(hook()({Kind::SavePrompt, title(), text, parent}));
    // All three share one role: the desktop's button layout then keeps them
    // in the order added, and with no reject (or no-role) button the box
    // detects no escape button, so Escape and the title-bar close do nothing.
    QMessageBox box(QMessageBox::Warning, title(), text, QMessageBox::NoButton, parent);
    QPushButton* save =
        box.addButton(QCoreApplication::translate("MessageBox", "保存"), QMessageBox::ActionRole);
    QPushButton* discard =
        box.addButton(QCoreApplication::translate("MessageBox", "不保存"), QMessageBox::ActionRole);
    box.addButton(QCoreApplication::translate("MessageBox", "取消"), QMessageBox::ActionRole);
    box.setDefaultButton(save);
    box.setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    box.exec();
    if (box.clickedButton() == save)
        return Save;
    if (box.clickedButton() == discard)
        return Discard;
    return Cancel;
}

bool ask(QWidget* parent, const QString& text) {
    if (hook())
        return hook()({Kind::Question, title(), text, parent}) != 0;
    QMessageBox box(QMessageBox::Question, title(), text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QCoreApplication::translate("MessageBox", "是"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QCoreApplication::translate("MessageBox", "否"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace MessageBox
