#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "app/myweb.h"
#include "apptesting.h"
#include "render/slopesketch.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

using apptesting::Boxes;
using apptesting::Dialogs;

namespace {
using apptesting::action;
const char* const kProjectCommands[] = {"actSave",  "actSaveAs", "actData",    "actBigCircle", "actPole",
                                        "actUpper", "actDown",   "actAnalyse", "actMark",      "actReport",
                                        "actCAD",   "actPIC",    "actTXT"};
const char* const kAlwaysOn[] = {"actNew", "actOpen", "actExit", "actDock", "actDesklnk"};

QMdiArea* area(MainWindow& w) {
    return w.findChild<QMdiArea*>(QStringLiteral("mdiArea"));
}

int projectWindows(MainWindow& w) {
    int n = 0;
    for (QMdiSubWindow* sub : area(w)->subWindowList())
        n += qobject_cast<MdiChild*>(sub->widget()) != nullptr;
    return n;
}

QStringList visibleRecentEntries(MainWindow& w) {
    QMenu* menu = w.findChild<QMenu*>(QStringLiteral("menu"));
    emit menu->aboutToShow();
    QStringList texts;
    for (QAction* a : menu->actions())
        if (a->isVisible() && !a->isSeparator() && a->data().isValid())
            texts << a->text();
    return texts;
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void actionsMenusAndToolbar();
    void startPageDisablesProjectCommands();
    void openingAnOpenFileActivatesIt();
    void missingFileWarnsAndLeavesTheRecentList();
    void nineFilesLeaveEightEntries();
    void openDialogAndSaveUpdateLastPathAndList();
    void failedLoadChangesNothing();
    void analysisLocksTheEditingCommands();
    void hemisphereAndRepresentationCommands();
    void markCyclesThroughFourModes();
    void cancelledPromptKeepsEverythingOpen();
    void eachReportOpensItsOwnPage();
    void dropsAndListsOpenAtMostThirtyTwo();

private:
    QTemporaryDir dir;
    QString makeProject(const QString& name) {
        const QString file = dir.filePath(name);
        if (!QFile::exists(file))
            apptesting::writeProjectFile(file);
        return file;
    }
};

void TestMainWindow::initTestCase() {
    apptesting::nameApplication();
}

void TestMainWindow::init() {
    apptesting::clearSettings();
}

void TestMainWindow::cleanup() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestMainWindow::actionsMenusAndToolbar() {
    MainWindow w;
    w.show();
    QCOMPARE(w.windowTitle(), QStringLiteral("澄岩赤平投影V2.3"));
    auto menuTexts = [&](const char* name) {
        QStringList texts;
        for (QAction* a : w.findChild<QMenu*>(QLatin1String(name))->actions())
            if (a->isSeparator())
                texts << QStringLiteral("|");
            else if (a->isVisible())
                texts << a->text();
        return texts.join(QLatin1Char(' '));
    };
    QCOMPARE(menuTexts("menu"), QStringLiteral("新建 打开 保存 另存为 | | 退出"));
    QCOMPARE(menuTexts("menu_2"), QStringLiteral("数据 | 上投影 下投影 | 大圆法 极点法 | 测量数据… "
                                                 "导入测量数据… 结构面分组… 自动分组… 画分组窗 用作结构面…"));
    QCOMPARE(menuTexts("menu_3"),
             QStringLiteral("分析 | 标注 复制CAD 导出CAD文件… 复制图片 复制结果 | 计算书 稳定性计算参数… | "
                            "测量数据图层 玫瑰花图…"));
    QCOMPARE(menuTexts("menu_4"), QStringLiteral("侧边栏 快捷方式"));

    QStringList bar;
    for (QAction* a : w.findChild<QToolBar*>(QStringLiteral("toolBar"))->actions())
        bar << (a->isSeparator() ? QStringLiteral("|") : a->text());
    QCOMPARE(bar.join(QLatin1Char(' ')),
             QStringLiteral("新建 打开 保存 | 数据 | 上投影 下投影 | 大圆法 极点法 | 分析 | 标注 复制CAD "
                            "复制图片 复制结果 | 计算书"));

    QCOMPARE(action(w, "actNew")->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    QCOMPARE(action(w, "actExit")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    QCOMPARE(action(w, "actCAD")->toolTip(), QStringLiteral("复制图形，粘帖到CAD"));
    QCOMPARE(action(w, "actAnalyse")->statusTip(), QStringLiteral("开始分析数据"));
    for (const char* name : {"actUpper", "actDown", "actBigCircle", "actPole", "actAnalyse"})
        QVERIFY2(action(w, name)->isCheckable(), name);
    QVERIFY(!action(w, "actMark")->isCheckable());
    // Every toolbar action shows an icon (themed or from the resources).
    for (const char* name : {"actNew", "actData", "actUpper", "actAnalyse", "actReport", "actTXT"})
        QVERIFY2(!action(w, name)->icon().isNull(), name);
}

void TestMainWindow::startPageDisablesProjectCommands() {
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(area(w)->subWindowList().size(), 1);
    auto* page = qobject_cast<MyWeb*>(area(w)->subWindowList().first()->widget());
    QVERIFY(page);
    QCOMPARE(page->windowTitle(), QStringLiteral("起始页"));
    QVERIFY(!w.activeMdiChild());
    QVERIFY(!w.statusBar()->isEnabled());
    for (const char* name : kProjectCommands)
        QVERIFY2(!action(w, name)->isEnabled(), name);
    for (const char* name : kAlwaysOn)
        QVERIFY2(action(w, name)->isEnabled(), name);

    // A project enables them; going back to the page disables them again.
    action(w, "actNew")->trigger();
    QVERIFY(w.activeMdiChild());
    QVERIFY(w.statusBar()->isEnabled());
    QVERIFY(action(w, "actSave")->isEnabled());
    area(w)->setActiveSubWindow(area(w)->subWindowList().first());
    QVERIFY(!w.activeMdiChild());
    QVERIFY(!w.statusBar()->isEnabled());
    QVERIFY(!action(w, "actSave")->isEnabled());

    // Closing the start page leaves 新建 working.
    area(w)->subWindowList().first()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(area(w)->subWindowList().size(), 1);
    action(w, "actNew")->trigger();
    QCOMPARE(projectWindows(w), 2);
    Boxes boxes;
    boxes.answer = MessageBox::Discard;
    area(w)->closeAllSubWindows();
}

void TestMainWindow::openingAnOpenFileActivatesIt() {
    const QString a = makeProject(QStringLiteral("a.yty"));
    const QString b = makeProject(QStringLiteral("b.yty"));
    MainWindow w;
    w.show();
    QVERIFY(w.openFile(a));
    QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("成功打开文件"));
    QVERIFY(w.openFile(b));
    QCOMPARE(w.activeMdiChild()->currentFile(), QFileInfo(b).canonicalFilePath());
    w.statusBar()->clearMessage();

    // Another spelling of the same path finds the same window.
    QVERIFY(w.openFile(dir.path() + QStringLiteral("/./a.yty")));
    QCOMPARE(projectWindows(w), 2);
    QCOMPARE(w.activeMdiChild()->currentFile(), QFileInfo(a).canonicalFilePath());
    QCOMPARE(w.statusBar()->currentMessage(), QString());
    QVERIFY(w.findMdiChild(b));
    QVERIFY(!w.findMdiChild(dir.filePath(QStringLiteral("c.yty"))));
}

void TestMainWindow::missingFileWarnsAndLeavesTheRecentList() {
    Boxes boxes;
    const QString keep = makeProject(QStringLiteral("keep.yty"));
    const QString doomed = makeProject(QStringLiteral("doomed.yty"));
    MainWindow w;
    w.show();
    QVERIFY(w.openFile(doomed));
    QVERIFY(w.openFile(keep));
    Boxes discard;
    discard.answer = MessageBox::Discard;
    area(w)->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(QFile::remove(doomed));

    QStringList entries = visibleRecentEntries(w);
    QCOMPARE(entries, QStringList({QStringLiteral("&1 keep.yty"), QStringLiteral("&2 doomed.yty")}));

    // The menu entry of the vanished file warns and prunes it.
    QMenu* menu = w.findChild<QMenu*>(QStringLiteral("menu"));
    QAction* entry = nullptr;
    for (QAction* a : menu->actions())
        if (a->text() == QStringLiteral("&2 doomed.yty"))
            entry = a;
    QVERIFY(entry);
    QCOMPARE(entry->statusTip(), QDir::toNativeSeparators(doomed));
    w.statusBar()->clearMessage();
    entry->trigger();
    QCOMPARE(discard.shown.size(), 1);
    QCOMPARE(discard.lastText(), QStringLiteral("\"%1\"文件不存在").arg(QDir::toNativeSeparators(doomed)));
    QCOMPARE(discard.shown.last().kind, MessageBox::Kind::Warning);
    QCOMPARE(projectWindows(w), 0);
    QCOMPARE(w.statusBar()->currentMessage(), QString());
    QCOMPARE(visibleRecentEntries(w), QStringList({QStringLiteral("&1 keep.yty")}));
}

void TestMainWindow::nineFilesLeaveEightEntries() {
    MainWindow w;
    w.show();
    QStringList files;
    for (int i = 1; i <= 9; ++i) {
        files << makeProject(QStringLiteral("nine%1.yty").arg(i));
        QVERIFY(w.openFile(files.last()));
    }
    const QStringList entries = visibleRecentEntries(w);
    QCOMPARE(entries.size(), 8);
    QCOMPARE(entries.first(), QStringLiteral("&1 nine9.yty"));
    QCOMPARE(entries.last(), QStringLiteral("&8 nine2.yty"));
    QVERIFY(!AppSettings::readRecentFiles().contains(QDir::toNativeSeparators(files.first())));

    // Opening one of them again activates it and leaves the list alone.
    QVERIFY(w.openFile(files.at(4)));
    QCOMPARE(visibleRecentEntries(w), entries);
    Boxes boxes;
    boxes.answer = MessageBox::Discard;
    area(w)->closeAllSubWindows();
}

void TestMainWindow::openDialogAndSaveUpdateLastPathAndList() {
    QDir(dir.path()).mkpath(QStringLiteral("deep"));
    const QString file = makeProject(QStringLiteral("deep/opened.yty"));
    Dialogs dialogs;
    MainWindow w;
    w.show();
    dialogs.answers << file;
    action(w, "actOpen")->trigger();
    QCOMPARE(dialogs.requests.size(), 1);
    QCOMPARE(dialogs.requests.first().caption, QStringLiteral("打开文件"));
    QCOMPARE(dialogs.requests.first().filter, QStringLiteral("数据文件(*.yty);;所有文件(*.*)"));
    QCOMPARE(dialogs.requests.first().directory, QString());
    QCOMPARE(projectWindows(w), 1);
    QCOMPARE(AppSettings::lastPath(), QDir::toNativeSeparators(dir.filePath(QStringLiteral("deep"))));

    // The next open dialog starts where the last file was.
    action(w, "actOpen")->trigger();
    QCOMPARE(dialogs.requests.last().directory,
             QDir::toNativeSeparators(dir.filePath(QStringLiteral("deep"))));

    // Save-as of a new project: list head, "lastpath" and status message.
    action(w, "actNew")->trigger();
    const QString saved = dir.filePath(QStringLiteral("saved.yty"));
    dialogs.answers << saved;
    action(w, "actSave")->trigger();
    QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("保存文件"));
    QCOMPARE(AppSettings::readRecentFiles().first(),
             QDir::toNativeSeparators(QFileInfo(saved).canonicalFilePath()));
    QCOMPARE(AppSettings::lastPath(), QDir::toNativeSeparators(QFileInfo(saved).canonicalPath()));

    // A cancelled save-as: no message.
    w.statusBar()->clearMessage();
    action(w, "actSaveAs")->trigger();
    QCOMPARE(w.statusBar()->currentMessage(), QString());
}

void TestMainWindow::failedLoadChangesNothing() {
    Boxes boxes;
    const QString junk = dir.filePath(QStringLiteral("junk.yty"));
    {
        QFile f(junk);
        QVERIFY(f.open(QFile::WriteOnly));
        f.write("<DipData><FileVer version=\"2.0\"/><BaseInfo");
    }
    MainWindow w;
    w.show();
    QVERIFY(!w.openFile(junk));
    QCOMPARE(boxes.lastText(), QStringLiteral("打开文件\"%1\"失败").arg(junk));
    QCOMPARE(projectWindows(w), 0);
    QCOMPARE(boxes.count(MessageBox::Kind::SavePrompt), 0);
    QVERIFY(AppSettings::readRecentFiles().isEmpty());
    QCOMPARE(AppSettings::lastPath(), QString());
    QCOMPARE(w.statusBar()->currentMessage(), QString());
}

void TestMainWindow::analysisLocksTheEditingCommands() {
    MainWindow w;
    w.show();
    action(w, "actNew")->trigger();
    MdiChild* child = w.activeMdiChild();
    QVERIFY(child);
    QVERIFY(action(w, "actData")->isEnabled());
    QVERIFY(!action(w, "actMark")->isEnabled());
    QVERIFY(!action(w, "actAnalyse")->isChecked());
    child->setWindowModified(false);

    action(w, "actAnalyse")->trigger();
    QVERIFY(!child->project().analysisOff);
    QVERIFY(action(w, "actAnalyse")->isChecked());
    QVERIFY(!action(w, "actData")->isEnabled());
    QVERIFY(action(w, "actUpper")->isEnabled());
    QVERIFY(!action(w, "actDown")->isEnabled());
    QVERIFY(action(w, "actBigCircle")->isEnabled());
    QVERIFY(!action(w, "actPole")->isEnabled());
    for (const char* name : {"actMark", "actReport", "actCAD", "actPIC", "actTXT"})
        QVERIFY2(action(w, name)->isEnabled(), name);
    QVERIFY(!child->isWindowModified());

    // Choosing the current hemisphere again changes nothing.
    action(w, "actUpper")->trigger();
    QVERIFY(child->project().UpperMode);
    QVERIFY(action(w, "actUpper")->isChecked());
    QVERIFY(!child->isWindowModified());

    auto* sketch = w.findChild<SlopeSketch*>(QStringLiteral("widgetSketch"));
    QVERIFY(sketch);
    sketch->setSketch(40, 20, 15);
    action(w, "actAnalyse")->trigger();
    QVERIFY(child->project().analysisOff);
    QCOMPARE(sketch->faceAngle, 60.0);
    QCOMPARE(sketch->hatchAngle, 30.0);
    QCOMPARE(sketch->shownDip, 300.0);
    QVERIFY(action(w, "actData")->isEnabled());
    QVERIFY(action(w, "actDown")->isEnabled());
    QVERIFY(!child->isWindowModified());
    Boxes boxes;
    boxes.answer = MessageBox::Discard;
    area(w)->closeAllSubWindows();
}

void TestMainWindow::hemisphereAndRepresentationCommands() {
    MainWindow w;
    w.show();
    action(w, "actNew")->trigger();
    MdiChild* child = w.activeMdiChild();
    DataCenter& project = child->project();
    PlaneRecord plane;
    plane.id = 1;
    plane.direction = 200;
    plane.angle = 50;
    project.planes << plane;
    project.updatePlanesGeometry();
    const QPointF upperMid = project.planes.first().MidPoint;
    child->setWindowModified(false);

    action(w, "actDown")->trigger();
    QVERIFY(!project.UpperMode);
    QVERIFY(action(w, "actDown")->isChecked());
    QVERIFY(!action(w, "actUpper")->isChecked());
    QVERIFY(project.planes.first().calculated);
    QVERIFY(project.planes.first().MidPoint != upperMid);
    QVERIFY(child->isWindowModified());

    child->setWindowModified(false);
    action(w, "actPole")->trigger();
    QVERIFY(!project.BigCircle);
    QVERIFY(action(w, "actPole")->isChecked());
    QVERIFY(!action(w, "actBigCircle")->isChecked());
    QVERIFY(child->isWindowModified());

    action(w, "actUpper")->trigger();
    action(w, "actBigCircle")->trigger();
    QVERIFY(project.UpperMode);
    QVERIFY(project.BigCircle);
    QCOMPARE(project.planes.first().MidPoint, upperMid);
    Boxes boxes;
    boxes.answer = MessageBox::Discard;
    area(w)->closeAllSubWindows();
}

void TestMainWindow::markCyclesThroughFourModes() {
    MainWindow w;
    w.show();
    action(w, "actNew")->trigger();
    MdiChild* child = w.activeMdiChild();
    child->setWindowModified(false);
    const int start = child->project().ShowMark;
    QList<int> seen;
    for (int i = 0; i < 4; ++i) {
        action(w, "actMark")->trigger();
        seen << child->project().ShowMark;
    }
    QCOMPARE(seen, QList<int>({(start + 1) % 4, (start + 2) % 4, (start + 3) % 4, start}));
    QVERIFY(!child->isWindowModified());
    Boxes boxes;
    boxes.answer = MessageBox::Discard;
    area(w)->closeAllSubWindows();
}

void TestMainWindow::cancelledPromptKeepsEverythingOpen() {
    Boxes boxes;
    boxes.answer = MessageBox::Cancel;
    {
        MainWindow w;
        w.show();
        action(w, "actNew")->trigger();
        action(w, "actNew")->trigger();
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(projectWindows(w), 2);
        QCOMPARE(boxes.count(MessageBox::Kind::SavePrompt), 2);
        QVERIFY(QSettings().allKeys().isEmpty());

        // 退出 asks the same way.
        action(w, "actExit")->trigger();
        QVERIFY(w.isVisible());
        QCOMPARE(projectWindows(w), 2);
        QVERIFY(QSettings().allKeys().isEmpty());

        boxes.answer = MessageBox::Discard;
        QVERIFY(w.close());
    }
    QSettings settings;
    for (const char* key :
         {"geometry", "windowState", "fontsize", "jointcolor", "beddingcolor", "faultcolor", "project"})
        QVERIFY2(settings.contains(QLatin1String(key)), key);
}

void TestMainWindow::eachReportOpensItsOwnPage() {
    Dialogs dialogs;
    MainWindow w;
    w.show();
    action(w, "actNew")->trigger();
    MdiChild* child = w.activeMdiChild();
    const QString name = child->currentFile();
    action(w, "actAnalyse")->trigger();
    QVERIFY(action(w, "actReport")->isEnabled());

    // A cancelled report dialog opens nothing.
    const int before = area(w)->subWindowList().size();
    action(w, "actReport")->trigger();
    QCOMPARE(area(w)->subWindowList().size(), before);

    QStringList titles;
    for (const QString& name : {QStringLiteral("first.html"), QStringLiteral("second.html")}) {
        area(w)->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(child->parentWidget()));
        dialogs.answers << dir.filePath(name);
        action(w, "actReport")->trigger();
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("导出计算书"));
        QVERIFY(QFile::exists(dir.filePath(name)));
        auto* page = qobject_cast<MyWeb*>(area(w)->activeSubWindow()->widget());
        QVERIFY(page);
        titles << page->windowTitle();
        // A report page is not a project: the project commands are off.
        QVERIFY(!w.activeMdiChild());
        QVERIFY(!w.statusBar()->isEnabled());
        QVERIFY(!action(w, "actSave")->isEnabled());
        QVERIFY(!action(w, "actReport")->isEnabled());
    }
    QCOMPARE(titles, QStringList({QStringLiteral("first.html"), QStringLiteral("second.html")}));
    QCOMPARE(area(w)->subWindowList().size(), before + 2);
    // The export leaves the project's own file and "lastpath" alone.
    QCOMPARE(child->currentFile(), name);
    QVERIFY(child->isUntitled());
    QCOMPARE(AppSettings::lastPath(), QString());
    Boxes boxes;
    boxes.answer = MessageBox::Discard;
    area(w)->closeAllSubWindows();
}

namespace {
class RecordingWindow : public DocumentWindow {
public:
    QStringList offered;
    bool openFiles(const QStringList& paths) override {
        offered = paths;
        return true;
    }
    void drop(QDropEvent* event) { dropEvent(event); }
};
} // namespace

void TestMainWindow::dropsAndListsOpenAtMostThirtyTwo() {
    RecordingWindow recorder;
    QList<QUrl> urls;
    for (int i = 0; i < 40; ++i)
        urls << QUrl::fromLocalFile(QStringLiteral("/p/%1.yty").arg(i));
    urls[1] = QUrl(QStringLiteral("https://example.com/x.yty"));
    QMimeData data;
    data.setUrls(urls);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    recorder.drop(&drop);
    QCOMPARE(recorder.offered.size(), 32);
    QVERIFY(drop.isAccepted());
    QCOMPARE(recorder.offered.at(0), QStringLiteral("/p/0.yty"));
    QCOMPARE(recorder.offered.at(1), QString());
    QCOMPARE(recorder.offered.at(31), QStringLiteral("/p/31.yty"));

    QMimeData text;
    text.setText(QStringLiteral("not files"));
    recorder.offered.clear();
    QDropEvent ignored(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    ignored.ignore();
    recorder.drop(&ignored);
    QVERIFY(recorder.offered.isEmpty());

    // The main window opens the first 32 of a longer list.
    Boxes boxes;
    MainWindow w;
    w.show();
    QStringList paths;
    for (int i = 0; i < 34; ++i)
        paths << dir.filePath(QStringLiteral("absent%1.yty").arg(i));
    paths[32] = makeProject(QStringLiteral("beyond.yty"));
    QVERIFY(!w.openFiles(paths));
    QCOMPARE(boxes.count(MessageBox::Kind::Warning), 32);
    QCOMPARE(projectWindows(w), 0);
    QVERIFY(w.openFiles({}));
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
