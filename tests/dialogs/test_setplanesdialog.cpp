// The check list of 用作结构面: new planes past the room, or none chosen,
// keep OK disabled with the reason; linked sets take no room.
#include "dialogs/setplanesdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

class TestSetPlanesDialog : public QObject {
    Q_OBJECT
private slots:
    void choiceAgainstTheRoom();
};

void TestSetPlanesDialog::choiceAgainstTheRoom() {
    QCOMPARE(SetPlanesDialog::problem(2, 2), QString());
    QCOMPARE(SetPlanesDialog::problem(3, 2), QStringLiteral("选了3个新结构面，只能再添加2个"));

    SetPlanesDialog dialog;
    dialog.setChoices({{0, "J1", true, true}, {2, "J3", false, true}, {5, "J6", false, false}}, 7, 8);
    auto* list = dialog.findChild<QListWidget*>(QStringLiteral("listSets"));
    auto* why = dialog.findChild<QLabel*>(QStringLiteral("labelProblem"));
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QVERIFY(dialog.findChild<QLabel*>(QStringLiteral("labelRoom"))
                ->text()
                .contains(QStringLiteral("还可添加1个")));
    QCOMPARE(list->count(), 3);
    QVERIFY(ok->isEnabled());
    QCOMPARE(dialog.chosen(), (QVector<int>{0, 2}));

    list->item(2)->setCheckState(Qt::Checked);
    QVERIFY(!ok->isEnabled());
    QCOMPARE(why->text(), SetPlanesDialog::problem(2, 1));
    list->item(1)->setCheckState(Qt::Unchecked);
    QVERIFY(ok->isEnabled());
    QCOMPARE(dialog.chosen(), (QVector<int>{0, 5}));
    for (int i = 0; i < 3; ++i)
        list->item(i)->setCheckState(Qt::Unchecked);
    QVERIFY(!ok->isEnabled());
    QCOMPARE(why->text(), QStringLiteral("未选任何组"));
    list->item(0)->setCheckState(Qt::Checked); // a linked set alone fits a full project
    QVERIFY(ok->isEnabled());
    QVERIFY(why->text().isEmpty());
}

QTEST_MAIN(TestSetPlanesDialog)
#include "test_setplanesdialog.moc"
