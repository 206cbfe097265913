#include "platform/messagebox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLayout>
#include <QMessageBox>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {
// Stands in for a desktop whose dialogs order their buttons differently.
class ButtonLayoutStyle : public QProxyStyle {
public:
    explicit ButtonLayoutStyle(int layout) : layout_(layout) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_DialogButtonLayout)
            return layout_;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }

private:
    int layout_;
};

// Push-button texts as laid out, left to right.
QStringList shownOrder(QMessageBox* box) {
    QList<QPushButton*> buttons;
    for (QPushButton* b : box->findChild<QDialogButtonBox*>()->findChildren<QPushButton*>())
        if (b->isVisible())
            buttons << b;
    std::sort(buttons.begin(), buttons.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    QStringList texts;
    for (QPushButton* b : buttons)
        texts << b->text();
    return texts;
}
} // namespace

class TestMessageBox : public QObject {
    Q_OBJECT
private slots:
    void savePromptOrderAndKeys_data();
    void savePromptOrderAndKeys();
    void questionAnswers();
};

void TestMessageBox::savePromptOrderAndKeys_data() {
    QTest::addColumn<int>("layout");
    QTest::newRow("Windows") << int(QDialogButtonBox::WinLayout);
    QTest::newRow("macOS") << int(QDialogButtonBox::MacLayout);
    QTest::newRow("KDE") << int(QDialogButtonBox::KdeLayout);
    QTest::newRow("GNOME") << int(QDialogButtonBox::GnomeLayout);
    QTest::newRow("Android") << int(QDialogButtonBox::AndroidLayout);
}

// Same order on every desktop; neither Escape nor closing the window answers.
void TestMessageBox::savePromptOrderAndKeys() {
    QFETCH(int, layout);
    QApplication::setStyle(new ButtonLayoutStyle(layout));
    QStringList order;
    QString defaultText;
    bool openAfterEscape = false;
    bool openAfterClose = false;
    QTimer::singleShot(0, [&] {
        QPointer<QMessageBox> box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        box->layout()->activate();
        order = shownOrder(box);
        if (QPushButton* d = box->defaultButton())
            defaultText = d->text();
        QTest::keyClick(box, Qt::Key_Escape);
        openAfterEscape = box->isVisible();
        box->close();
        openAfterClose = box->isVisible();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == QStringLiteral("不保存") && box->isVisible())
                b->click();
    });
    const MessageBox::SaveAnswer answer =
        MessageBox::askSave(nullptr, QStringLiteral("是否保存对'a.yty'的修改?"));
    QCOMPARE(order, (QStringList{QStringLiteral("保存"), QStringLiteral("不保存"), QStringLiteral("取消")}));
    QCOMPARE(defaultText, QStringLiteral("保存"));
    QVERIFY(openAfterEscape);
    QVERIFY(openAfterClose);
    QCOMPARE(answer, MessageBox::Discard);
}

// "是" is the default; Escape answers "否"; a hook answers without a box.
void TestMessageBox::questionAnswers() {
    for (int key : {int(Qt::Key_Return), int(Qt::Key_Escape)}) {
        QString defaultText;
        QTimer::singleShot(0, [&] {
            QMessageBox* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (QPushButton* d = box->defaultButton())
                defaultText = d->text();
            QTest::keyClick(box, Qt::Key(key));
        });
        const bool yes = MessageBox::ask(nullptr, QStringLiteral("是否更新？"));
        QCOMPARE(defaultText, QStringLiteral("是"));
        QCOMPARE(yes, key == Qt::Key_Return);
    }
    QString asked;
    MessageBox::setHook([&](const MessageBox::Shown& shown) {
        asked = shown.text;
        return shown.kind == MessageBox::Kind::Question ? 1 : 0;
    });
    QVERIFY(MessageBox::ask(nullptr, QStringLiteral("问")));
    QCOMPARE(asked, QStringLiteral("问"));
    MessageBox::setHook(nullptr);
}

QTEST_MAIN(TestMessageBox)
#include "test_messagebox.moc"
