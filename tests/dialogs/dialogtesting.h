#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace DialogTesting {

// Opens the real editor of a cell and returns it (null when the cell has
// none).
template <typename Editor> Editor* openEditor(QAbstractItemView* view, const QModelIndex& index) {
    view->setCurrentIndex(index);
    view->edit(index);
    QApplication::processEvents();
    return qobject_cast<Editor*>(view->indexWidget(index));
}

// Clears a line edit and types the keys one by one through the event
// system, so a validator can refuse single keystrokes.
inline QString typeInto(QLineEdit* edit, const QString& keys) {
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, keys);
    return edit->text();
}

// Runs `action` on the next modal widget once it is shown (a dialog opened
// by exec() inside the code under test). The wait ends with `owner`, so an
// answer that was never needed cannot leak into the next test.
inline void whenModalShown(QObject* owner, std::function<void(QWidget*)> action) {
    auto* timer = new QTimer(owner);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

} // namespace DialogTesting
