#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "apptesting.h"
#include "model/displayoptions.h"

#include <QDockWidget>
#include <QScreen>
#include <QSpinBox>
#include <QToolBar>
#include <QtTest>

class TestAppSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { apptesting::nameApplication(); }
    void init() { apptesting::clearSettings(); }

    void recentListKeepsEightWithoutDuplicates();
    void recentListWritesOnlyOnChange();
    void shorterListLeavesNoStaleEntries();
    void lastPathIsTheFolder();
    void fontSizeClamp_data();
    void fontSizeClamp();
    void coloursReadWithDefaultsAndGuard();
    void firstStartSizesAndCentresTheWindow();
    void storedGeometryAndDisplayValuesRoundTrip();
};

void TestAppSettings::recentListKeepsEightWithoutDuplicates() {
    for (int i = 1; i <= 9; ++i)
        AppSettings::updateRecentFileList(QStringLiteral("/data/p%1.yty").arg(i), true);
    QStringList files = AppSettings::readRecentFiles();
    QCOMPARE(files.size(), 8);
    QCOMPARE(files.first(), QStringLiteral("/data/p9.yty"));
    QCOMPARE(files.last(), QStringLiteral("/data/p2.yty"));
    QVERIFY(!files.contains(QStringLiteral("/data/p1.yty")));

    // Re-adding an entry moves it to the head.
    AppSettings::updateRecentFileList(QStringLiteral("/data/p5.yty"), true);
    files = AppSettings::readRecentFiles();
    QCOMPARE(files.size(), 8);
    QCOMPARE(files.first(), QStringLiteral("/data/p5.yty"));
    QCOMPARE(files.count(QStringLiteral("/data/p5.yty")), 1);

    // Comparison is exact: a differently cased path is another entry.
    AppSettings::updateRecentFileList(QStringLiteral("/data/P5.yty"), true);
    QCOMPARE(AppSettings::readRecentFiles().mid(0, 2),
             QStringList({QStringLiteral("/data/P5.yty"), QStringLiteral("/data/p5.yty")}));

    AppSettings::updateRecentFileList(QStringLiteral("/data/p5.yty"), false);
    QVERIFY(!AppSettings::readRecentFiles().contains(QStringLiteral("/data/p5.yty")));
}

void TestAppSettings::recentListWritesOnlyOnChange() {
    QVERIFY(AppSettings::updateRecentFileList(QStringLiteral("/a.yty"), true));
    QVERIFY(AppSettings::updateRecentFileList(QStringLiteral("/b.yty"), true));
    // Already at the head, or removing what is not there: nothing to write.
    QVERIFY(!AppSettings::updateRecentFileList(QStringLiteral("/b.yty"), true));
    QVERIFY(!AppSettings::updateRecentFileList(QStringLiteral("/c.yty"), false));
    QVERIFY(AppSettings::updateRecentFileList(QStringLiteral("/a.yty"), true));
}

void TestAppSettings::shorterListLeavesNoStaleEntries() {
    for (int i = 1; i <= 3; ++i)
        AppSettings::updateRecentFileList(QStringLiteral("/p%1.yty").arg(i), true);
    AppSettings::updateRecentFileList(QStringLiteral("/p1.yty"), false);
    AppSettings::updateRecentFileList(QStringLiteral("/p2.yty"), false);
    QSettings settings;
    const QStringList keys = settings.allKeys().filter(QStringLiteral("recentFileList"));
    // One entry and the size key: nothing of the longer list lingers.
    QCOMPARE(keys.size(), 2);
    QCOMPARE(AppSettings::readRecentFiles(), QStringList({QStringLiteral("/p3.yty")}));
}

void TestAppSettings::lastPathIsTheFolder() {
    QCOMPARE(AppSettings::lastPath(), QString());
    const QString file = QDir::toNativeSeparators(QStringLiteral("/work/projects/slope.yty"));
    AppSettings::saveLastPath(file);
    QCOMPARE(AppSettings::lastPath(), QDir::toNativeSeparators(QStringLiteral("/work/projects")));
}

void TestAppSettings::fontSizeClamp_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("absent") << QVariant() << 20;
    QTest::newRow("3") << QVariant(3) << 20;
    QTest::newRow("4") << QVariant(4) << 4;
    QTest::newRow("51") << QVariant(51) << 51;
    QTest::newRow("52") << QVariant(52) << 20;
    QTest::newRow("negative") << QVariant(-7) << 20;
    QTest::newRow("text") << QVariant(QStringLiteral("big")) << 20;
}

void TestAppSettings::fontSizeClamp() {
    QFETCH(QVariant, stored);
    QFETCH(int, expected);
    if (stored.isValid()) {
        QSettings settings;
        settings.setValue(QStringLiteral("fontsize"), stored);
    }
    displayOptions().fontSize = -1;
    MainWindow window;
    QCOMPARE(displayOptions().fontSize, expected);
    // The spin box can show only 5 to 50, but the stored value is kept.
    auto* spin = window.findChild<QSpinBox*>();
    QVERIFY(spin);
    QCOMPARE(spin->value(), qBound(5, expected, 50));
    QCOMPARE(displayOptions().fontSize, expected);
}

void TestAppSettings::coloursReadWithDefaultsAndGuard() {
    {
        MainWindow window;
        QCOMPARE(displayOptions().jointColor, int(Qt::blue));
        QCOMPARE(displayOptions().beddingColor, int(Qt::magenta));
        QCOMPARE(displayOptions().faultColor, int(Qt::red));
    }
    {
        QSettings settings;
        settings.setValue(QStringLiteral("jointcolor"), 8);
        settings.setValue(QStringLiteral("beddingcolor"), QStringLiteral("12"));
        settings.setValue(QStringLiteral("faultcolor"), 4000); // no such colour
    }
    MainWindow window;
    QCOMPARE(displayOptions().jointColor, int(Qt::green));
    QCOMPARE(displayOptions().beddingColor, int(Qt::yellow));
    QCOMPARE(displayOptions().faultColor, int(Qt::red));
}

void TestAppSettings::firstStartSizesAndCentresTheWindow() {
    MainWindow window;
    const QRect available = window.screen()->availableGeometry();
    auto* toolBar = window.findChild<QToolBar*>(QStringLiteral("toolBar"));
    QVERIFY(toolBar);
    // Most of the screen, and the whole toolbar as far as the screen allows;
    // never more than the screen; centred.
    QVERIFY(window.width() >= available.width() * 9 / 10 && window.height() >= available.height() * 9 / 10);
    QVERIFY(window.width() >= qMin(toolBar->sizeHint().width(), available.width()));
    QVERIFY(window.width() <= qMax(available.width(), window.minimumSizeHint().width()));
    QVERIFY(window.height() <= qMax(available.height(), window.minimumSizeHint().height()));
    QCOMPARE(window.pos(), QPoint(available.x() + (available.width() - window.width()) / 2,
                                  available.y() + (available.height() - window.height()) / 2));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Where the toolbar fits, no command hides behind its extension button.
    if (toolBar->sizeHint().width() <= available.width()) {
        for (QAction* action : toolBar->actions())
            if (!action->isSeparator())
                QVERIFY2(toolBar->widgetForAction(action)->isVisible(), qPrintable(action->text()));
    }
    // The dock as wide as the common overview rows need, never more than
    // half the window: the net keeps the rest.
    auto* dock = window.findChild<QDockWidget*>(QStringLiteral("dockWidgetResult"));
    QVERIFY(dock);
    QVERIFY(qAbs(dock->width() - qMin(window.overviewWidthHint(), window.width() / 2)) <= 12);
    auto* area = window.findChild<QWidget*>(QStringLiteral("mdiArea"));
    QVERIFY(area && area->width() >= window.width() / 2 - 12);
}

void TestAppSettings::storedGeometryAndDisplayValuesRoundTrip() {
    {
        MainWindow window;
        window.setGeometry(100, 80, 1200, 800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        displayOptions().fontSize = 33;
        displayOptions().faultColor = Qt::cyan;
        QVERIFY(window.close());
    }
    QSettings settings;
    QVERIFY(!settings.value(QStringLiteral("geometry")).toByteArray().isEmpty());
    QVERIFY(!settings.value(QStringLiteral("windowState")).toByteArray().isEmpty());
    QCOMPARE(settings.value(QStringLiteral("fontsize")).toInt(), 33);
    QCOMPARE(settings.value(QStringLiteral("faultcolor")).toInt(), int(Qt::cyan));

    displayOptions() = DisplayOptions();
    MainWindow again;
    QCOMPARE(again.size(), QSize(1200, 800));
    QCOMPARE(displayOptions().fontSize, 33);
    QCOMPARE(displayOptions().faultColor, int(Qt::cyan));
}

QTEST_MAIN(TestAppSettings)
#include "test_appsettings.moc"
