#include "app/filedialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestFileDialogs : public QObject {
    Q_OBJECT
private slots:
    void saveAddsTheSelectedFiltersExtension_data();
    void saveAddsTheSelectedFiltersExtension();
};

void TestFileDialogs::saveAddsTheSelectedFiltersExtension_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    const QString report = QStringLiteral("网页文件(*.html);;所有文件(*.*)");
    const QString project = QStringLiteral("数据文件(*.yty);;所有文件(*.*)");
    const QString drawing = QStringLiteral("DXF 图形(*.dxf);;DWG 图形(*.dwg)");
    QTest::newRow("first filter") << project << 0 << "边坡"
                                  << "边坡.yty";
    QTest::newRow("first filter, name with extension") << report << 0 << "r.html"
                                                       << "r.html";
    QTest::newRow("all files: as typed") << project << 1 << "边坡"
                                         << "边坡";
    QTest::newRow("all files, other extension") << report << 1 << "r.txt"
                                                << "r.txt";
    QTest::newRow("second filter") << drawing << 1 << "plan"
                                   << "plan.dwg";
}

// The user picks the filter in the dialog's own list, types a name and saves.
void TestFileDialogs::saveAddsTheSelectedFiltersExtension() {
    QFETCH(QString, filter);
    QFETCH(int, chosen);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!types || !name) {
            dialog->reject();
            return;
        }
        types->setFocus();
        for (int i = types->currentIndex(); i < chosen; ++i)
            QTest::keyClick(types, Qt::Key_Down);
        name->setFocus();
        name->setText(typed);
        answered = true;
        QTest::keyClick(name, Qt::Key_Return);
    });
    const QString file = FileDialogs::getSaveFileName(nullptr, QStringLiteral("保存"), dir.path(), filter);
    QVERIFY(answered);
    QCOMPARE(QFileInfo(file).fileName(), expected);
}

QTEST_MAIN(TestFileDialogs)
#include "test_filedialogs.moc"
