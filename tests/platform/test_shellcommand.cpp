// Open requests as the shell words them: which commands open a file and
// which are acknowledged and dropped.
#include "platform/openrequests.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QtTest>

using platform::executeShellCommand;

class ShellCommandTest : public QObject {
    Q_OBJECT

private slots:
    void grammar_data();
    void grammar();
    void modalOrDisabledWindowDropsRequest();
    void commandForPathRoundTrips();
    void executableBaseName();
};

void ShellCommandTest::grammar_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("opened");

    const QString path = QStringLiteral("C:\\Users\\王工\\边坡 1.yty");
    QTest::newRow("open") << QStringLiteral("[open(\"%1\")]").arg(path) << QStringList{path};
    QTest::newRow("OPEN in capitals") << QStringLiteral("[OPEN(\"%1\")]").arg(path) << QStringList{path};
    QTest::newRow("mixed case") << QStringLiteral("[oPeN(\"/tmp/a.yty\")]") << QStringList{"/tmp/a.yty"};
    QTest::newRow("quotes inside the path")
        << QStringLiteral("[open(\"/tmp/say \"hi\").yty\")]") << QStringList{"/tmp/say \"hi\").yty"};
    QTest::newRow("empty quoted path") << QStringLiteral("[open(\"\")]") << QStringList{QString()};

    QTest::newRow("unquoted argument") << QStringLiteral("[open(%1)]").arg(path) << QStringList{};
    QTest::newRow("single quotes") << QStringLiteral("[open('/tmp/a.yty')]") << QStringList{};
    QTest::newRow("one quote only") << QStringLiteral("[open(\"/tmp/a.yty)]") << QStringList{};
    QTest::newRow("text before") << QStringLiteral("x[open(\"/tmp/a.yty\")]") << QStringList{};
    QTest::newRow("text after") << QStringLiteral("[open(\"/tmp/a.yty\")] ") << QStringList{};
    QTest::newRow("trailing newline") << QStringLiteral("[open(\"/tmp/a.yty\")]\n") << QStringList{};
    QTest::newRow("two commands on two lines")
        << QStringLiteral("[open(\"/tmp/a.yty\")]\n[open(\"/tmp/b.yty\")]") << QStringList{};
    QTest::newRow("two commands in one message")
        << QStringLiteral("[open(\"/tmp/a.yty\")][open(\"/tmp/b.yty\")]") << QStringList{};
    QTest::newRow("open then another command")
        << QStringLiteral("[open(\"/tmp/a.yty\")][print(\"/tmp/b.yty\")]") << QStringList{};
    QTest::newRow("other command") << QStringLiteral("[print(\"/tmp/a.yty\")]") << QStringList{};
    QTest::newRow("spaced command word") << QStringLiteral("[ open(\"/tmp/a.yty\")]") << QStringList{};
    QTest::newRow("no brackets") << QStringLiteral("open(\"/tmp/a.yty\")") << QStringList{};
    QTest::newRow("empty") << QString() << QStringList{};
}

void ShellCommandTest::grammar() {
    QFETCH(QString, command);
    QFETCH(QStringList, opened);
    QStringList calls;
    const bool done = executeShellCommand(command, false, [&](const QString& p) {
        calls << p;
        return true;
    });
    QCOMPARE(calls, opened);
    QCOMPARE(done, !opened.isEmpty());
}

void ShellCommandTest::modalOrDisabledWindowDropsRequest() {
    int calls = 0;
    auto open = [&](const QString&) {
        ++calls;
        return true;
    };
    const QString command = QStringLiteral("[open(\"/tmp/a.yty\")]");
    QVERIFY(!executeShellCommand(command, true, open));
    QCOMPARE(calls, 0);

    // Two commands in one message are never two opens of the named files.
    QStringList paths;
    executeShellCommand(QStringLiteral("[open(\"/tmp/a.yty\")][open(\"/tmp/b.yty\")]"), false,
                        [&](const QString& p) {
                            paths << p;
                            return false;
                        });
    QVERIFY(!paths.contains("/tmp/a.yty") && !paths.contains("/tmp/b.yty"));

    QMainWindow window;
    window.show();
    QVERIFY(!platform::windowBlockedByModal(&window));
    window.setEnabled(false);
    QVERIFY(platform::windowBlockedByModal(&window));
    window.setEnabled(true);

    QDialog dialog(&window);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    QTRY_VERIFY(platform::windowBlockedByModal(&window));
    dialog.hide();
    QTRY_VERIFY(!platform::windowBlockedByModal(&window));
}

void ShellCommandTest::commandForPathRoundTrips() {
    for (const QString& path : {QStringLiteral("/home/王工/a b/c.yty"), QStringLiteral("/tmp/x)].yty"),
                                QStringLiteral("/tmp/\"q\".yty")}) {
        QString got;
        QVERIFY(executeShellCommand(platform::openCommandFor(path), false, [&](const QString& p) {
            got = p;
            return true;
        }));
        QCOMPARE(got, path);
    }
}

void ShellCommandTest::executableBaseName() {
    QCOMPARE(platform::executableBaseName("C:\\Program Files\\Karven\\karven.exe"), QStringLiteral("karven"));
    QCOMPARE(platform::executableBaseName("/opt/k.v2/bin/karven.2.0.exe"), QStringLiteral("karven"));
    QCOMPARE(platform::executableBaseName("/usr/bin/karven"), QStringLiteral("karven"));
}

QTEST_MAIN(ShellCommandTest)
#include "test_shellcommand.moc"
