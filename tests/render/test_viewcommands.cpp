// The main window's view commands end to end: hemisphere, representation,
// analysis, labelling mode and copy picture, seen in the project and in the
// picture the window renders.
#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "model/datacenter.h"
#include "model/fonts.h"
#include "pixelprobe.h"
#include "platform/messagebox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMdiArea>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Slope 0/60 with the default criteria and three planes whose great
// circles keep clear of the sliding zone's middle.
bool writeProject(const QString& path) {
    DataCenter project;
    project.slope.direction = 0;
    project.slope.angle = 60;
    project.slope.calculated = false;
    const double attitudes[3][2] = {{150, 40}, {210, 35}, {100, 70}};
    for (int i = 0; i < 3; ++i) {
        PlaneRecord p;
        p.id = i + 1;
        p.direction = attitudes[i][0];
        p.angle = attitudes[i][1];
        p.type = Joint;
        project.planes << p;
    }
    project.updateSlopeGeometry();
    project.updatePlanesGeometry();
    QFile file(path);
    return file.open(QFile::WriteOnly) && project.writeProject(&file);
}

QImage rendered(MdiChild* child) {
    QImage image(child->width(), child->height(), QImage::Format_ARGB32);
    child->renderToImage(image);
    return image;
}

} // namespace

class TestViewCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void hemisphereAndRepresentation();
    void analysisShowsResultsWithoutModifying();
    void labelModeCycles();
    void copyPicture();

private:
    QAction* action(const char* name) { return window->findChild<QAction*>(QLatin1String(name)); }

    QTemporaryDir dir;
    QString path;
    MainWindow* window = nullptr;
    MdiChild* child = nullptr;
    QVector<MessageBox::Shown> boxes;
};

void TestViewCommands::initTestCase() {
    QCoreApplication::setOrganizationName(QStringLiteral("Quillmere"));
    QCoreApplication::setApplicationName(QStringLiteral("Karven"));
    installFontSubstitutions();
    QSettings().clear();
    MessageBox::setHook([this](const MessageBox::Shown& shown) {
        boxes.append(shown);
        return int(MessageBox::Discard);
    });
    path = dir.filePath(QStringLiteral("view.yty"));
    QVERIFY(writeProject(path));
}

void TestViewCommands::init() {
    boxes.clear();
    window = new MainWindow;
    window->resize(1200, 800);
    window->show();
    QVERIFY(window->openFile(path));
    child = window->activeMdiChild();
    QVERIFY(child);
    QVERIFY(!child->isWindowModified());
}

void TestViewCommands::cleanup() {
    window->close();
    delete window;
    window = nullptr;
}

void TestViewCommands::hemisphereAndRepresentation() {
    DataCenter& project = child->project();
    QVERIFY(project.UpperMode);
    const QPointF upperMid = project.planes[0].MidPoint;

    action("actDown")->trigger();
    QVERIFY(!project.UpperMode);
    QVERIFY(action("actDown")->isChecked());
    QVERIFY(!action("actUpper")->isChecked());
    QVERIFY(project.slope.calculated);
    QVERIFY(project.planes[0].calculated);
    // Lower hemisphere: the plane's middle point turns to the other side.
    QVERIFY(qAbs(project.planes[0].MidPoint.x() + upperMid.x()) < 1e-5);
    QVERIFY(qAbs(project.planes[0].MidPoint.y() + upperMid.y()) < 1e-5);
    QVERIFY(child->isWindowModified());

    action("actPole")->trigger();
    QVERIFY(!project.BigCircle);
    QVERIFY(action("actPole")->isChecked());
    QVERIFY(!action("actBigCircle")->isChecked());
    // The picture shows the pole, not the great circle's middle.
    const QImage image = rendered(child);
    const NetFrame net = pictureFrame(image);
    const PlaneRecord& plane = project.planes[0];
    QCOMPARE(rgbAt(image, net.pixel(plane.PolePoint.x(), plane.PolePoint.y())), qRgb(0, 0, 255));
    QVERIFY(!anyNear(image, net.pixel(plane.MidPoint.x(), plane.MidPoint.y()), 2, bluish));

    action("actUpper")->trigger();
    QVERIFY(project.UpperMode);
    QVERIFY(qAbs(project.planes[0].MidPoint.x() - upperMid.x()) < 1e-5);
}

void TestViewCommands::analysisShowsResultsWithoutModifying() {
    DataCenter& project = child->project();
    QVERIFY(!action("actMark")->isEnabled());
    QVERIFY(!action("actPIC")->isEnabled());
    const QImage before = rendered(child);

    action("actAnalyse")->trigger();
    QVERIFY(!project.analysisOff);
    QVERIFY(!child->isWindowModified());
    QVERIFY(!project.wedges.isEmpty());
    QVERIFY(project.judgeZone.slidingZone.size() > 1);
    QVERIFY(!action("actData")->isEnabled());
    QVERIFY(action("actUpper")->isEnabled());
    QVERIFY(!action("actDown")->isEnabled());
    QVERIFY(action("actMark")->isEnabled());
    QVERIFY(action("actPIC")->isEnabled());

    // Slope 0/60, upper hemisphere: the sliding zone lies south of the centre,
    // between the slope circle (tan 15) and the friction circle (tan 31.5).
    const QImage after = rendered(child);
    const NetFrame net = pictureFrame(after);
    QVERIFY(after != before);
    const QRgb zone = rgbAt(after, net.pixel(0.03, -0.45));
    QVERIFY2(near(zone, 169, 218, 255, 3), qPrintable(QString::number(zone, 16)));
    QVERIFY(isWhite(rgbAt(before, net.pixel(0.03, -0.45))));

    // While analysing, the hemisphere cannot change.
    project.UpperMode = true;
    window->on_actDown_triggered(true);
    QVERIFY(project.UpperMode);

    action("actAnalyse")->trigger();
    QVERIFY(project.analysisOff);
    QCOMPARE(rendered(child), before);
    QVERIFY(!child->isWindowModified());
}

void TestViewCommands::labelModeCycles() {
    DataCenter& project = child->project();
    action("actAnalyse")->trigger();
    const qint16 start = project.ShowMark;
    QImage last = rendered(child);
    for (int i = 1; i <= 4; ++i) {
        action("actMark")->trigger();
        QCOMPARE(int(project.ShowMark), (start + i) % 4);
        const QImage now = rendered(child);
        QVERIFY(now != last); // every mode looks different with wedges present
        last = now;
    }
    QCOMPARE(project.ShowMark, start);
    QVERIFY(!child->isWindowModified());
}

void TestViewCommands::copyPicture() {
    action("actAnalyse")->trigger();
    action("actPIC")->trigger();
    const QImage copied = QApplication::clipboard()->image();
    QCOMPARE(copied.size(), child->size());
    QCOMPARE(copied.convertToFormat(QImage::Format_ARGB32), rendered(child));
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0].kind, MessageBox::Kind::Information);
    QCOMPARE(boxes[0].text, QStringLiteral("图片已复制，再粘贴到word等其它软件"));
    QVERIFY(window->isMinimized());
}

QTEST_MAIN(TestViewCommands)
#include "test_viewcommands.moc"
