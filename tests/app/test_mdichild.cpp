#include "app/appsettings.h"
#include "app/mdichild.h"
#include "apptesting.h"

#include <QApplication>
#include <QPointer>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using apptesting::Boxes;
using apptesting::Dialogs;

class TestMdiChild : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { apptesting::nameApplication(); }
    void init() { apptesting::clearSettings(); }

    // Must run first: the counter lives for the whole process.
    void newProjectsAreNumberedForTheRun();
    void promptAnswers();
    void saveAsProposals();
    void saveAsCancelledKeepsTheName();
    void saveAndLoadRoundTrip();
    void loadFailures();
    void unwritableTargetRestoresTheCursor();
    void failedCommitLeavesTheEarlierFile();
    void documentDefaultsCarryToTheNextProject();

private:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

void TestMdiChild::newProjectsAreNumberedForTheRun() {
    Boxes boxes;
    boxes.answer = MessageBox::Discard;
    QPointer<MdiChild> first = new MdiChild;
    first->newFile();
    auto* second = new MdiChild;
    second->newFile();
    QCOMPARE(first->currentFile(), QStringLiteral("新文件1.yty"));
    QCOMPARE(second->currentFile(), QStringLiteral("新文件2.yty"));
    QCOMPARE(first->windowTitle(), QStringLiteral("新文件1.yty[*]"));
    QVERIFY(first->isUntitled());
    QVERIFY(first->isWindowModified());

    // A new project is unsaved: closing asks, naming it.
    QVERIFY(first->close());
    QCOMPARE(boxes.count(MessageBox::Kind::SavePrompt), 1);
    QCOMPARE(boxes.lastText(), QStringLiteral("是否保存对'新文件1.yty'的修改?"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(first.isNull());

    auto* third = new MdiChild;
    third->newFile();
    QCOMPARE(third->currentFile(), QStringLiteral("新文件3.yty"));
    delete second;
    delete third;
}

void TestMdiChild::promptAnswers() {
    Boxes boxes;
    Dialogs dialogs;

    // 取消 keeps the window; nothing of it is written to the store.
    auto* child = new MdiChild;
    child->newFile();
    boxes.answer = MessageBox::Cancel;
    QVERIFY(!child->close());
    QVERIFY(!QSettings().contains(QStringLiteral("project")));

    // 保存 on an untitled project asks for a name; cancelling that dialog
    // keeps the window open under its name.
    boxes.answer = MessageBox::Save;
    const QString name = child->currentFile();
    QVERIFY(!child->close());
    QCOMPARE(dialogs.requests.size(), 1);
    QCOMPARE(dialogs.requests.first().caption, QStringLiteral("另存"));
    QCOMPARE(dialogs.requests.first().filter, QStringLiteral("数据文件(*.yty);;所有文件(*.*)"));
    QCOMPARE(child->currentFile(), name);
    QVERIFY(child->isUntitled());

    // 保存 with a chosen name writes the file and lets the window go.
    QPointer<MdiChild> guard(child);
    dialogs.answers << path(QStringLiteral("prompted.yty"));
    QVERIFY(child->close());
    QVERIFY(QFile::exists(path(QStringLiteral("prompted.yty"))));
    QVERIFY(QSettings().contains(QStringLiteral("project")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(guard.isNull());

    // An unmodified window closes without a prompt.
    const int prompts = boxes.count(MessageBox::Kind::SavePrompt);
    auto* loaded = new MdiChild;
    QVERIFY(loaded->loadFile(path(QStringLiteral("prompted.yty"))));
    QVERIFY(loaded->close());
    QCOMPARE(boxes.count(MessageBox::Kind::SavePrompt), prompts);
}

void TestMdiChild::saveAsProposals() {
    Dialogs dialogs;
    const QString sep = QDir::separator();

    // Untitled: "lastpath" and the new-file name without its extension.
    AppSettings::saveLastPath(QDir::toNativeSeparators(path(QStringLiteral("x.yty"))));
    MdiChild untitled;
    untitled.newFile();
    QVERIFY(!untitled.saveAs());
    const QString newName = QFileInfo(untitled.currentFile()).completeBaseName();
    QCOMPARE(dialogs.requests.last().directory, QDir::toNativeSeparators(dir.path()) + sep + newName);

    // Loaded: that file's folder and complete base name.
    QDir(dir.path()).mkpath(QStringLiteral("sub"));
    const QString file = path(QStringLiteral("sub/slope.v2.yty"));
    QVERIFY(apptesting::writeProjectFile(file));
    MdiChild loaded;
    QVERIFY(loaded.loadFile(file));
    QVERIFY(!loaded.saveAs());
    QCOMPARE(dialogs.requests.last().directory,
             QDir::toNativeSeparators(QFileInfo(file).canonicalPath()) + sep + QStringLiteral("slope.v2"));

    // The file has gone since: back to "lastpath".
    QVERIFY(QFile::remove(file));
    QVERIFY(!loaded.saveAs());
    QCOMPARE(dialogs.requests.last().directory,
             QDir::toNativeSeparators(dir.path()) + sep + QStringLiteral("slope.v2"));
}

void TestMdiChild::saveAsCancelledKeepsTheName() {
    Dialogs dialogs;
    MdiChild child;
    child.newFile();
    const QString name = child.currentFile();
    QVERIFY(!child.save());
    QCOMPARE(dialogs.requests.size(), 1);
    QCOMPARE(child.currentFile(), name);
    QVERIFY(child.isUntitled());
    QVERIFY(child.isWindowModified());
}

void TestMdiChild::saveAndLoadRoundTrip() {
    Boxes boxes;
    Dialogs dialogs;
    const QString file = path(QStringLiteral("round.yty"));
    MdiChild child;
    child.newFile();
    child.project().ProjectName = QStringLiteral("往返");
    dialogs.answers << file;
    QVERIFY(child.save());
    QVERIFY(!child.isUntitled());
    QVERIFY(!child.isWindowModified());
    QCOMPARE(child.currentFile(), QFileInfo(file).canonicalFilePath());
    QCOMPARE(child.windowTitle(), QStringLiteral("round.yty[*]"));

    // A titled project saves under its own name without a dialog.
    child.setWindowModified(true);
    QVERIFY(child.save());
    QCOMPARE(dialogs.requests.size(), 1);
    QVERIFY(!child.isWindowModified());

    MdiChild other;
    QVERIFY(other.loadFile(file));
    QCOMPARE(other.project().ProjectName, QStringLiteral("往返"));
    QVERIFY(other.project().slope.calculated);
    QVERIFY(boxes.shown.isEmpty());
}

void TestMdiChild::loadFailures() {
    Boxes boxes;
    MdiChild missing;
    const QString gone = path(QStringLiteral("gone.yty"));
    QVERIFY(!missing.loadFile(gone));
    QCOMPARE(boxes.lastText(), QStringLiteral("无法打开文件\"%1\"").arg(gone));
    QCOMPARE(boxes.shown.last().kind, MessageBox::Kind::Warning);
    QCOMPARE(boxes.shown.last().parent, &missing);

    const QString junk = path(QStringLiteral("junk.yty"));
    {
        QFile file(junk);
        QVERIFY(file.open(QFile::WriteOnly));
        file.write("this is not a project");
    }
    MdiChild broken;
    QVERIFY(!broken.loadFile(junk));
    QCOMPARE(boxes.lastText(), QStringLiteral("打开文件\"%1\"失败").arg(junk));
    QVERIFY(broken.isUntitled());
}

void TestMdiChild::unwritableTargetRestoresTheCursor() {
    Boxes boxes;
    // Unwritable even for root: a folder that does not exist and /proc.
    const QStringList targets = {path(QStringLiteral("no/such/folder/p.yty")),
                                 QStringLiteral("/proc/karven-test.yty")};
    for (const QString& target : targets) {
        MdiChild child;
        child.newFile();
        const QString name = child.currentFile();
        QVERIFY(!child.saveFile(target));
        QCOMPARE(boxes.lastText(),
                 QStringLiteral("无法打开写入文件%1").arg(QDir::toNativeSeparators(target)));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!boxes.cursorOverridden);
        QCOMPARE(child.currentFile(), name);
        QVERIFY(child.isWindowModified());
        QVERIFY(child.isUntitled());
    }
}

void TestMdiChild::failedCommitLeavesTheEarlierFile() {
    Boxes boxes;
    const QString file = path(QStringLiteral("earlier.yty"));
    const QByteArray earlier = "earlier contents\n";
    {
        QFile out(file);
        QVERIFY(out.open(QFile::WriteOnly));
        out.write(earlier);
    }
    MdiChild child;
    child.newFile();
    for (int i = 0; i < 8; ++i) {
        PlaneRecord plane;
        plane.id = i + 1;
        plane.direction = 10 * i;
        plane.angle = 30;
        plane.notes = QString(200, QLatin1Char('x'));
        child.project().planes << plane;
    }

    // Let every write beyond a few bytes fail, as on a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = child.saveFile(file);
    setrlimit(RLIMIT_FSIZE, &saved);

    QVERIFY(!saved_ok);
    QCOMPARE(boxes.lastText(), QStringLiteral("无法写入文件%1%").arg(QDir::toNativeSeparators(file)));
    QVERIFY(!QApplication::overrideCursor());
    QFile in(file);
    QVERIFY(in.open(QFile::ReadOnly));
    QCOMPARE(in.readAll(), earlier);
    QVERIFY(child.isUntitled());
    // No temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("earlier*")}, QDir::Files).size(), 1);
}

void TestMdiChild::documentDefaultsCarryToTheNextProject() {
    Boxes boxes;
    boxes.answer = MessageBox::Discard;
    {
        MdiChild fresh;
        QCOMPARE(fresh.project().UpperMode, true);
        QCOMPARE(fresh.project().BigCircle, true);
        QCOMPARE(fresh.project().IncludedAnglePlanar, 30.0);
        QCOMPARE(fresh.project().FrictionAnglePlanar, 27.0);
        QCOMPARE(fresh.project().Topple, false);
        QCOMPARE(int(fresh.project().ShowMark), 0);
    }
    const PlaneRecord upperSlope = MdiChild().project().slope;

    auto* child = new MdiChild;
    child->newFile();
    DataCenter& p = child->project();
    p.UpperMode = false;
    p.BigCircle = false;
    p.IncludedAnglePlanar = 45;
    p.FrictionAnglePlanar = 12.5;
    p.Topple = true;
    p.ShowMark = 2;
    QVERIFY(child->close());

    MdiChild next;
    QCOMPARE(next.project().UpperMode, false);
    QCOMPARE(next.project().BigCircle, false);
    QCOMPARE(next.project().IncludedAnglePlanar, 45.0);
    QCOMPARE(next.project().FrictionAnglePlanar, 12.5);
    QCOMPARE(next.project().Topple, true);
    QCOMPARE(int(next.project().ShowMark), 2);
    // The slope face is projected for the hemisphere in use.
    QVERIFY(next.project().slope.calculated);
    QVERIFY(next.project().slope.MidPoint != upperSlope.MidPoint);

    // A labelling mode the view cannot show reads as none.
    QSettings().setValue(QStringLiteral("show"), 9);
    QCOMPARE(int(MdiChild().project().ShowMark), 0);

    // Criteria that are not numbers read as 0, like any malformed value.
    for (const QVariant bad :
         {QVariant(QStringLiteral("nan")), QVariant(QStringLiteral("-inf")), QVariant(qQNaN())}) {
        QSettings().setValue(QStringLiteral("included1"), bad);
        QSettings().setValue(QStringLiteral("friction1"), bad);
        MdiChild odd;
        QCOMPARE(odd.project().IncludedAnglePlanar, 0.0);
        QCOMPARE(odd.project().FrictionAnglePlanar, 0.0);
    }
}

QTEST_MAIN(TestMdiChild)
#include "test_mdichild.moc"
