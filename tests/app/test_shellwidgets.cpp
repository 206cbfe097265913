#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "app/myweb.h"
#include "apptesting.h"
#include "dialogs/colorcombo.h"
#include "model/displayoptions.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTextDocument>
#include <QtTest>

class TestShellWidgets : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { apptesting::nameApplication(); }
    void init() { apptesting::clearSettings(); }

    void colorComboEmitsColourNumbers();
    void colorComboIgnoresWheelAndArrows();
    void displayStripWritesTheDisplayValues();
    void navigateReturnsAtOnceAndShowsLater();
    void navigateToAClosedWindowIsHarmless();
    void startPageAndReportWithEmbeddedPicture();
    void missingPageShowsAMessage();

private:
    QTemporaryDir dir;
};

void TestShellWidgets::colorComboEmitsColourNumbers() {
    ColorCombo combo;
    QCOMPARE(combo.count(), 7);
    QCOMPARE(combo.color(), int(Qt::yellow));
    auto* face = combo.findChild<QLineEdit*>();
    QVERIFY(face);
    QVERIFY(face->isReadOnly());
    QCOMPARE(face->styleSheet(), QStringLiteral("background-color:rgb(255, 0, 0)"));

    QStringList order;
    for (auto* button : combo.findChildren<QPushButton*>())
        order << button->objectName();
    QCOMPARE(order, QStringList({"7", "12", "8", "10", "9", "11", "2"}));

    QSignalSpy spy(&combo, QOverload<int>::of(&QComboBox::currentIndexChanged));
    combo.findChild<QPushButton*>(QStringLiteral("11"))->click();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().toInt(), 11);
    QCOMPARE(combo.color(), 11);
    QCOMPARE(face->styleSheet(), QStringLiteral("background-color:rgb(255,0,255);"));
    QVERIFY(face->text().isEmpty());

    combo.setColor(Qt::black);
    QCOMPARE(face->styleSheet(), QStringLiteral("background-color:rgb(0,0,0);"));
    QCOMPARE(spy.size(), 1);
    // Not a predefined colour: ignored.
    combo.setColor(500);
    QCOMPARE(combo.color(), int(Qt::black));
}

void TestShellWidgets::colorComboIgnoresWheelAndArrows() {
    ColorCombo combo;
    combo.setColor(Qt::blue);
    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));
    QSignalSpy spy(&combo, QOverload<int>::of(&QComboBox::currentIndexChanged));
    QTest::keyClick(&combo, Qt::Key_Down);
    QTest::keyClick(&combo, Qt::Key_End);
    QWheelEvent wheel(QPointF(5, 5), combo.mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&combo, &wheel);
    QCOMPARE(spy.size(), 0);
    QCOMPARE(combo.color(), int(Qt::blue));
}

void TestShellWidgets::displayStripWritesTheDisplayValues() {
    QSettings().setValue(QStringLiteral("beddingcolor"), int(Qt::green));
    MainWindow w;
    w.show();
    auto* bedding = w.findChild<ColorCombo*>(QStringLiteral("comboBeddingColor"));
    auto* fault = w.findChild<ColorCombo*>(QStringLiteral("comboFaultColor"));
    auto* spin = w.findChild<QSpinBox*>();
    QVERIFY(bedding && fault && spin);
    QCOMPARE(bedding->color(), int(Qt::green));
    QCOMPARE(spin->minimum(), 5);
    QCOMPARE(spin->maximum(), 50);

    // The strip works only while a project is active.
    QVERIFY(!w.statusBar()->isEnabled());
    w.findChild<QAction*>(QStringLiteral("actNew"))->trigger();
    QVERIFY(w.statusBar()->isEnabled());
    fault->findChild<QPushButton*>(QStringLiteral("8"))->click();
    QCOMPARE(displayOptions().faultColor, int(Qt::green));
    QCOMPARE(displayOptions().beddingColor, int(Qt::green));
    spin->setValue(31);
    QCOMPARE(displayOptions().fontSize, 31);
    apptesting::Boxes boxes;
    boxes.answer = MessageBox::Discard;
}

void TestShellWidgets::navigateReturnsAtOnceAndShowsLater() {
    const QString page = dir.filePath(QStringLiteral("page.html"));
    {
        QFile f(page);
        QVERIFY(f.open(QFile::WriteOnly));
        f.write("<html><body><p>第一页</p></body></html>");
    }
    MyWeb web;
    QSignalSpy shown(&web, &MyWeb::pageShown);
    QElapsedTimer timer;
    timer.start();
    MyWeb::navigate(&web, page);
    // The caller goes on at once; the page arrives through the event loop.
    QVERIFY(web.shownTarget().isEmpty());
    QVERIFY(timer.elapsed() < 500);
    QVERIFY(shown.wait(5000));
    QCOMPARE(web.shownTarget(), page);
    QVERIFY(web.browser()->toPlainText().contains(QStringLiteral("第一页")));
}

void TestShellWidgets::navigateToAClosedWindowIsHarmless() {
    auto* web = new MyWeb;
    MyWeb::navigate(web, MyWeb::startPage());
    delete web;
    // Let the worker finish and its hand-over run.
    QThreadPool::globalInstance()->waitForDone(5000);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void TestShellWidgets::startPageAndReportWithEmbeddedPicture() {
    MyWeb web;
    QSignalSpy shown(&web, &MyWeb::pageShown);
    MyWeb::navigate(&web, MyWeb::startPage());
    QVERIFY(shown.wait(5000));
    const QString text = web.browser()->toPlainText();
    QVERIFY(text.contains(QStringLiteral("Karven")));
    QVERIFY(text.contains(QStringLiteral("新建")));

    // A local report with the stereonet embedded as base64 PNG: the picture
    // is decoded, not shown as a broken image.
    QImage picture(40, 30, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    const QString report = dir.filePath(QStringLiteral("report.html"));
    {
        QFile f(report);
        QVERIFY(f.open(QFile::WriteOnly));
        f.write("<html><head><meta charset=\"utf-8\"></head><body><p>计算书</p><img "
                "src=\"data:image/png;base64," +
                png.toBase64() + "\"></body></html>");
    }
    MyWeb::navigate(&web, report);
    QVERIFY(shown.wait(5000));
    QTextDocument* document = web.browser()->document();
    const QVariant image = document->resource(
        QTextDocument::ImageResource, QUrl(QStringLiteral("data:image/png;base64,") + png.toBase64()));
    QVERIFY(web.browser()->toPlainText().contains(QStringLiteral("计算书")));
    QVERIFY(image.isValid());
    QCOMPARE(image.value<QImage>().size(), QSize(40, 30));
}

void TestShellWidgets::missingPageShowsAMessage() {
    MyWeb web;
    QSignalSpy shown(&web, &MyWeb::pageShown);
    MyWeb::navigate(&web, dir.filePath(QStringLiteral("nowhere.html")));
    QVERIFY(shown.wait(5000));
    QVERIFY(web.browser()->toPlainText().contains(QStringLiteral("无法显示网页")));
}

QTEST_MAIN(TestShellWidgets)
#include "test_shellwidgets.moc"
