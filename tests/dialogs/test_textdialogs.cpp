#include "dialogs/inputdialog.h"
#include "dialogs/resulttextdialog.h"
#include "dialogtesting.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTranslator>
#include <QtTest>

using namespace DialogTesting;

namespace {
const QString kPhrase1 = QStringLiteral("根据赤平投影图中各结构面及其组合分析中可看出：");
const QString kPhrase2 = QStringLiteral(
    "它们属于不稳定结构，故该段边坡现状稳定性较差，在暴雨或震动等不利因素影响下极易沿裂隙面发生滑动或崩塌。");
const QString kPhrase3 = QStringLiteral("其结构面较陡，随着岩体的不断风化，在降雨、震动或卸荷作用等外力作用下"
                                        "，局部岩体容易发生倾倒破坏，导致边坡不稳定。");
const QString kNoPlanes = QStringLiteral("边坡岩体中不存在不稳定结构面；");
const QString kNoWedges = QStringLiteral("其结构面组合中不存在不稳定楔形体。");
const QString kNoToppling = QStringLiteral("边坡岩体中不存在易倾倒破坏结构面。");
const QString kPlanes = QStringLiteral("边坡岩体中存在2组不稳定结构面，它们是：节理1、层理3；");
const QString kWedges = QStringLiteral("其结构面组合中存在1组不稳定楔形体，它们是：1×3组合；");
const QString kToppling = QStringLiteral("边坡岩体中存在1组易倾倒破坏结构面，它们是：断层2；");
} // namespace

class TestTextDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void conclusionItems_data();
    void conclusionItems();
    void composedText();
    void editedPhraseIsRememberedOnlyOnOk();
    void phraseNotShownKeepsItsStoredValue();
    void nameModeShowsOneField();
    void criteriaAndAttitudeValidators();
    void unknownModes();
    void editKeys();
    void placeholdersPassThroughTranslation();

private:
    static QStringList items(ResultTextDialog& d) {
        QStringList list;
        auto* w = d.findChild<QListWidget*>(QStringLiteral("listWidget"));
        for (int i = 0; i < w->count(); ++i)
            list << w->item(i)->text();
        return list;
    }
    static QListWidget* list(ResultTextDialog& d) {
        return d.findChild<QListWidget*>(QStringLiteral("listWidget"));
    }
    static void pressOk(QDialog& d) {
        d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    }
    static QLineEdit* field(InputDialog& d, int n) {
        return d.findChild<QLineEdit*>(n == 1 ? QStringLiteral("lineEdit1") : QStringLiteral("lineEdit2"));
    }
    static QLabel* label(InputDialog& d, int n) {
        return d.findChild<QLabel*>(n == 1 ? QStringLiteral("labelText1") : QStringLiteral("labelText2"));
    }
};

void TestTextDialogs::initTestCase() {
    QCoreApplication::setOrganizationName(QStringLiteral("Quillmere"));
    QCoreApplication::setApplicationName(QStringLiteral("Karven"));
}

void TestTextDialogs::init() {
    QSettings().clear();
}

void TestTextDialogs::conclusionItems_data() {
    QTest::addColumn<QString>("planes");
    QTest::addColumn<QString>("wedges");
    QTest::addColumn<QString>("toppling");
    QTest::addColumn<bool>("topple");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QList<int>>("editable");

    QTest::newRow("nothing unstable, toppling off")
        << QString() << QString() << kToppling << false << QStringList{kPhrase1, kNoPlanes, kNoWedges}
        << QList<int>{0};
    QTest::newRow("planes, no wedges, toppling planes")
        << kPlanes << QString() << kToppling << true
        << QStringList{kPhrase1, kPlanes, kNoWedges, kPhrase2, kToppling, kPhrase3} << QList<int>{0, 3, 5};
    QTest::newRow("wedges only, toppling on without planes")
        << QString() << kWedges << QString() << true
        << QStringList{kPhrase1, kNoPlanes, kWedges, kPhrase2, kNoToppling} << QList<int>{0, 3};
}

void TestTextDialogs::conclusionItems() {
    QFETCH(QString, planes);
    QFETCH(QString, wedges);
    QFETCH(QString, toppling);
    QFETCH(bool, topple);
    QFETCH(QStringList, expected);
    QFETCH(QList<int>, editable);

    ResultTextDialog d;
    const QString texts[3] = {planes, wedges, toppling};
    d.showResult(texts, topple);
    QCOMPARE(items(d), expected);
    for (int i = 0; i < expected.size(); ++i) {
        const bool canEdit = list(d)->item(i)->flags() & Qt::ItemIsEditable;
        QCOMPARE(canEdit, editable.contains(i));
    }
    // Showing again replaces the list.
    d.showResult(texts, topple);
    QCOMPARE(items(d).size(), expected.size());
}

void TestTextDialogs::composedText() {
    ResultTextDialog d;
    const QString none[3];
    d.showResult(none, false);
    pressOk(d);
    QCOMPARE(d.result, QStringLiteral("    ") + kPhrase1 + kNoPlanes + kNoWedges);

    const QString texts[3] = {kPlanes, QString(), kToppling};
    d.showResult(texts, true);
    pressOk(d);
    QCOMPARE(d.result, QStringLiteral("    ") + kPhrase1 + kPlanes + kNoWedges + kPhrase2 +
                           QStringLiteral("\n    ") + kToppling + kPhrase3);

    d.showResult(none, true);
    pressOk(d);
    QCOMPARE(d.result, QStringLiteral("    ") + kPhrase1 + kNoPlanes + kNoWedges + QStringLiteral("\n    ") +
                           kNoToppling);

    ResultTextDialog looks;
    QCOMPARE(looks.windowTitle(), QStringLiteral("分析结果文本"));
    auto* box = looks.findChild<QDialogButtonBox*>();
    QCOMPARE(box->button(QDialogButtonBox::Ok)->text(), QStringLiteral("复制粘帖结果文本"));
    QCOMPARE(box->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
}

void TestTextDialogs::editedPhraseIsRememberedOnlyOnOk() {
    const QString texts[3] = {kPlanes, kWedges, QString()};
    {
        ResultTextDialog d;
        d.showResult(texts, false);
        list(d)->item(3)->setText(QStringLiteral("改过的第二句。"));
        d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    }
    {
        ResultTextDialog d;
        d.showResult(texts, false);
        QCOMPARE(items(d).at(3), kPhrase2);
        list(d)->item(3)->setText(QStringLiteral("改过的第二句。"));
        pressOk(d);
        QVERIFY(d.result.endsWith(QStringLiteral("改过的第二句。")));
    }
    ResultTextDialog next;
    next.showResult(texts, false);
    QCOMPARE(items(next).at(3), QStringLiteral("改过的第二句。"));
    QCOMPARE(items(next).at(0), kPhrase1);
    QCOMPARE(QSettings().value(QStringLiteral("text1")).toString(), kPhrase1);
}

void TestTextDialogs::phraseNotShownKeepsItsStoredValue() {
    QSettings().setValue(QStringLiteral("text3"), QStringLiteral("自定第三句"));
    const QString none[3];
    ResultTextDialog d;
    d.showResult(none, true);
    pressOk(d);
    QCOMPARE(QSettings().value(QStringLiteral("text3")).toString(), QStringLiteral("自定第三句"));
    QVERIFY(!QSettings().contains(QStringLiteral("text2")));
}

void TestTextDialogs::nameModeShowsOneField() {
    InputDialog d;
    d.kind = 1;
    d.item = 1;
    d.value1 = QStringLiteral("某工程 A.1");
    d.prepareFields();
    d.show();
    QCOMPARE(d.windowTitle(), QStringLiteral("修改数据"));
    QCOMPARE(label(d, 1)->text(), QStringLiteral("项目名称"));
    QVERIFY(!label(d, 2)->isVisible());
    QVERIFY(!field(d, 2)->isVisible());
    QVERIFY(!field(d, 2)->isEnabled());
    QCOMPARE(field(d, 1)->text(), d.value1);
    QVERIFY(!field(d, 1)->validator());
    field(d, 1)->setText(QStringLiteral("新名称"));
    pressOk(d);
    QCOMPARE(d.value1, QStringLiteral("新名称"));
}

void TestTextDialogs::criteriaAndAttitudeValidators() {
    InputDialog criteria;
    criteria.kind = 1;
    criteria.item = 5;
    criteria.value1 = QStringLiteral("30");
    criteria.value2 = QStringLiteral("27.5");
    criteria.prepareFields();
    criteria.show();
    QCOMPARE(label(criteria, 1)->text(), QStringLiteral("倾向与边坡夹角(1-90°)"));
    QCOMPARE(label(criteria, 2)->text(), QStringLiteral("滑动面摩擦角(0-89.9°)"));
    QCOMPARE(field(criteria, 2)->text(), QStringLiteral("27.5"));
    QCOMPARE(typeInto(field(criteria, 1), QStringLiteral("90")), QStringLiteral("90"));
    QCOMPARE(typeInto(field(criteria, 2), QStringLiteral("90")), QStringLiteral("9"));
    pressOk(criteria);
    QCOMPARE(criteria.value1, QStringLiteral("90"));
    QCOMPARE(criteria.value2, QStringLiteral("9"));

    for (int kind : {1, 2}) {
        InputDialog attitude;
        attitude.kind = kind;
        attitude.item = kind == 1 ? 2 : 0;
        attitude.value1 = QStringLiteral("120");
        attitude.value2 = QStringLiteral("45.5");
        attitude.prepareFields();
        attitude.show();
        QCOMPARE(label(attitude, 1)->text(), QStringLiteral("倾向(0-359.9°)"));
        QCOMPARE(label(attitude, 2)->text(), QStringLiteral("倾角(0-89.9°)"));
        QCOMPARE(field(attitude, 1)->text(), QStringLiteral("120"));
        QCOMPARE(typeInto(field(attitude, 1), QStringLiteral("400")), QStringLiteral("40"));
        QCOMPARE(typeInto(field(attitude, 2), QStringLiteral("05")), QStringLiteral("0"));
    }
}

void TestTextDialogs::unknownModes() {
    InputDialog otherItem;
    otherItem.kind = 1;
    otherItem.item = 3;
    otherItem.value1 = QStringLiteral("7");
    otherItem.prepareFields();
    QCOMPARE(label(otherItem, 1)->text(), QStringLiteral("item1"));
    QCOMPARE(field(otherItem, 1)->text(), QString());
    QVERIFY(field(otherItem, 1)->isEnabled());

    InputDialog otherKind;
    otherKind.kind = 7;
    otherKind.prepareFields();
    QVERIFY(!field(otherKind, 1)->isEnabled());
    QVERIFY(!field(otherKind, 2)->isEnabled());
}

void TestTextDialogs::editKeys() {
    InputDialog name;
    name.kind = 1;
    name.item = 1;
    name.prepareFields();
    name.show();
    QVERIFY(QTest::qWaitForWindowExposed(&name));
    name.activateWindow();
    field(name, 1)->setFocus();
    QTest::keyClick(field(name, 1), Qt::Key_Return);
    auto* box = name.findChild<QDialogButtonBox*>();
    QVERIFY(box->isAncestorOf(QApplication::focusWidget()));
    // A further Return does not press OK.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(name.isVisible());
    QCOMPARE(name.result(), int(QDialog::Rejected));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(name.isVisible());

    InputDialog plane;
    plane.kind = 2;
    plane.item = 3;
    plane.value2 = QStringLiteral("45");
    plane.prepareFields();
    plane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plane));
    plane.activateWindow();
    field(plane, 1)->setFocus();
    QTest::keyClick(field(plane, 1), Qt::Key_Enter);
    QCOMPARE(QApplication::focusWidget(), field(plane, 2));
    QCOMPARE(field(plane, 2)->selectedText(), QStringLiteral("45"));
    QTest::keyClick(field(plane, 2), Qt::Key_Return);
    QVERIFY(plane.findChild<QDialogButtonBox*>()->isAncestorOf(QApplication::focusWidget()));
    QVERIFY(plane.isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QVERIFY(plane.isVisible());
    plane.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(plane.isVisible());
    QTest::keyClick(field(plane, 2), Qt::Key_Escape);
    QVERIFY(plane.isVisible());
    QCOMPARE(plane.result(), int(QDialog::Rejected));
}

void TestTextDialogs::placeholdersPassThroughTranslation() {
    // Answers every lookup, so a text shown as it stands was never asked for.
    class Marking : public QTranslator {
    public:
        bool isEmpty() const override { return false; }
        QString translate(const char*, const char* source, const char*, int) const override {
            return QStringLiteral("[%1]").arg(QString::fromUtf8(source));
        }
    } marking;
    QCoreApplication::installTranslator(&marking);
    InputDialog other;
    other.kind = 1;
    other.item = 9;
    other.prepareFields();
    QCoreApplication::removeTranslator(&marking);
    QCOMPARE(label(other, 1)->text(), QStringLiteral("[item1]"));
    QCOMPARE(label(other, 2)->text(), QStringLiteral("[item2]"));
}

QTEST_MAIN(TestTextDialogs)
#include "test_textdialogs.moc"
