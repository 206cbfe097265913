// File-type registration: the seven classes-key values, the "already
// registered" rule, the freedesktop files, the desktop launcher, and the
// installed package's system-wide registration taking over.
#include "platform/fileassociation.h"
#include "platform/openrequests.h"
#include "platform/shortcut.h"

#include <QDirIterator>
#include <QMimeDatabase>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

namespace {

// Records every write in order on top of a real settings store.
class RecordingStore : public AssociationStore {
public:
    explicit RecordingStore(QSettings& s) : inner(s) {}
    QString value(const QString& key) const override { return inner.value(key); }
    void setValue(const QString& key, const QString& value) override {
        writes << key + QLatin1Char('=') + value;
        inner.setValue(key, value);
    }
    void sync() override { ++syncs; inner.sync(); }
    SettingsAssociationStore inner;
    QStringList writes;
    int syncs = 0;
};

FileTypeRegistration karven(const QString& exe, int icon = 1) {
    FileTypeRegistration r;
    r.executable = exe;
    r.typeId = QStringLiteral("KARVEN.File.20");
    r.description = QStringLiteral("KARVEN Document File");
    r.extension = QStringLiteral(".yty");
    r.iconIndex = icon;
    r.ddeApplication = QStringLiteral("karven");
    return r;
}

struct Snapshot {
    QMap<QString, QByteArray> contents;
    QMap<QString, QDateTime> times;
};

Snapshot snapshot(const QString& dir) {
    Snapshot s;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        s.contents.insert(path, f.readAll());
        s.times.insert(path, QFileInfo(path).lastModified());
    }
    return s;
}

void ageFiles(const QString& dir) {
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        f.open(QIODevice::ReadWrite);
        f.setFileTime(old, QFileDevice::FileModificationTime);
    }
}

void writeText(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

// A system data folder as the package installs it, naming `exec`.
void installSystemWide(const QString& dir, const QString& exec,
                       const QByteArray& types = "application/x-karven-project;",
                       const QString& id = "karven") {
    writeText(dir + "/applications/" + id + ".desktop",
              "[Desktop Entry]\nType=Application\nName=Karven\nExec=" + exec.toUtf8() +
                  " %F\nMimeType=" + types + "\n");
    writeText(dir + "/mime/packages/application-x-karven-project.xml", "<mime-info/>");
}

} // namespace

class FileAssociationTest : public QObject {
    Q_OBJECT

private slots:
    void classesKeyValuesAndCurrentRule();
    void freedesktopFilesWrittenOnceAndOnMove();
    void registerFileTypeMakesYtyKnown();
    void desktopLauncher();
    void systemWideRegistrationReplacesPerUser();
};

void FileAssociationTest::classesKeyValuesAndCurrentRule() {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("classes.ini"), QSettings::IniFormat);
    RecordingStore store(settings);
    const QString exe = QStringLiteral("C:\\Program Files\\Karven\\karven.exe");

    QVERIFY(registerFileTypeIn(store, karven(exe)));
    const QStringList expected = {
        "/.yty/.=KARVEN.File.20",
        "/KARVEN.File.20/.=KARVEN Document File",
        "/KARVEN.File.20/DefaultIcon/.=\"" + exe + "\",1",
        "/KARVEN.File.20/Shell/Open/Command/.=\"" + exe + "\" %1",
        "/KARVEN.File.20/shell/Open/ddeexec/.=[open(\"%1\")]",
        "/KARVEN.File.20/shell/Open/ddeexec/application/.=karven",
        "/KARVEN.File.20/shell/Open/ddeexec/topic/.=system",
    };
    QCOMPARE(store.writes, expected);
    QCOMPARE(store.syncs, 1);

    // Started again from the same place: nothing written, nothing flushed.
    store.writes.clear();
    QVERIFY(!registerFileTypeIn(store, karven(exe)));
    QVERIFY(store.writes.isEmpty());
    QCOMPARE(store.syncs, 1);

    // A moved copy, or another icon, rewrites all seven values.
    QVERIFY(registerFileTypeIn(store, karven("D:\\Karven\\karven.exe")));
    QCOMPARE(store.writes.size(), 7);
    store.writes.clear();
    QVERIFY(registerFileTypeIn(store, karven("D:\\Karven\\karven.exe", 2)));
    QCOMPARE(store.writes.size(), 7);

    // The rule itself: quotes removed, split at commas, path and index compared.
    QVERIFY(registrationIsCurrent("\"C:\\k.exe\",1", "C:\\k.exe", 1));
    QVERIFY(registrationIsCurrent("C:\\k.exe,1,extra", "C:\\k.exe", 1));
    QVERIFY(!registrationIsCurrent("\"C:\\k.exe\",1", "c:\\k.exe", 1));
    QVERIFY(!registrationIsCurrent("\"C:\\k.exe\"", "C:\\k.exe", 1));
    QVERIFY(!registrationIsCurrent("a,1", "a", 1)); // shorter than four characters
    QVERIFY(!registrationIsCurrent(" ", "", 0));
}

void FileAssociationTest::freedesktopFilesWrittenOnceAndOnMove() {
    QTemporaryDir data;
    FreedesktopAssociationStore store(data.path(), "karven");
    store.setRunDatabaseTools(false);
    store.setApplicationName(QStringLiteral("澄岩赤平投影"));
    const QString exe = QStringLiteral("/opt/My Apps/kar$ven");

    QVERIFY(registerFileTypeIn(store, karven(exe)));
    const QStringList files = {store.desktopEntryPath(), store.mimePackagePath(), store.mimeIconPath(),
                               store.applicationIconPath()};
    for (const QString& f : files)
        QVERIFY2(QFileInfo(f).size() > 0, qPrintable(f));
    QCOMPARE(readDesktopEntryKey(store.desktopEntryPath(), "Exec"), QStringLiteral("\"/opt/My Apps/kar\\$ven\" %F"));
    QCOMPARE(readDesktopEntryKey(store.desktopEntryPath(), "MimeType"), QStringLiteral("application/x-karven-project;"));
    QCOMPARE(readDesktopEntryKey(store.desktopEntryPath(), "Name"), QStringLiteral("澄岩赤平投影"));
    QFile xml(store.mimePackagePath());
    QVERIFY(xml.open(QIODevice::ReadOnly));
    const QByteArray package = xml.readAll();
    QVERIFY(package.contains("type=\"application/x-karven-project\""));
    QVERIFY(package.contains("pattern=\"*.yty\""));
    QVERIFY(package.contains("<comment>KARVEN Document File</comment>"));
    QVERIFY(!QImage(store.mimeIconPath()).isNull());

    // Second start: no file touched.
    ageFiles(data.path());
    const Snapshot before = snapshot(data.path());
    QVERIFY(!registerFileTypeIn(store, karven(exe)));
    const Snapshot after = snapshot(data.path());
    QCOMPARE(after.contents, before.contents);
    QCOMPARE(after.times, before.times);

    // Moved executable: every file is written again and names the new place.
    const QString moved = QStringLiteral("/home/王工/karven");
    QVERIFY(registerFileTypeIn(store, karven(moved)));
    const Snapshot rewritten = snapshot(data.path());
    for (const QString& f : files)
        QVERIFY2(rewritten.times.value(f) != before.times.value(f), qPrintable(f));
    QCOMPARE(readDesktopEntryKey(store.desktopEntryPath(), "Exec"), QStringLiteral("/home/王工/karven %F"));

    // A launcher removed by the user is put back at the next start.
    QVERIFY(QFile::remove(store.desktopEntryPath()));
    QVERIFY(registerFileTypeIn(store, karven(moved)));
    QVERIFY(QFileInfo::exists(store.desktopEntryPath()));

    // Desktop entry value escaping round-trips.
    for (const QString& s : {QStringLiteral(" lead"), QStringLiteral("a\\b\nc\td"), QStringLiteral("50%")})
        QCOMPARE(unescapeDesktopValue(escapeDesktopValue(s)), s);
    QCOMPARE(quoteExecArgument("/a/50%`x\""), QStringLiteral("\"/a/50%%\\`x\\\"\""));
    QCOMPARE(quoteExecArgument("/opt/k-2.0/50%"), QStringLiteral("/opt/k-2.0/50%%"));
}

void FileAssociationTest::registerFileTypeMakesYtyKnown() {
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    registerFileType("KARVEN.File.20", "KARVEN Document File", ".yty", 1);
    FreedesktopAssociationStore store(data.path(), executableBaseName(QCoreApplication::applicationFilePath()));
    QVERIFY(QFileInfo::exists(store.desktopEntryPath()));
    QCOMPARE(readDesktopEntryKey(store.desktopEntryPath(), "Exec"),
             quoteExecArgument(QCoreApplication::applicationFilePath()) + " %F");
    QTRY_COMPARE(QMimeDatabase().mimeTypeForFile("slope.yty", QMimeDatabase::MatchExtension).name(),
                 QStringLiteral("application/x-karven-project"));
}

void FileAssociationTest::desktopLauncher() {
    QTemporaryDir desktop;
    const QString exe = QStringLiteral("/opt/karven/karven");
    QVERIFY(createDesktopShortcut(QStringLiteral("澄岩赤平投影.lnk"), exe, desktop.path()));
    const QString path = desktop.filePath(QStringLiteral("澄岩赤平投影.desktop"));
    QCOMPARE(readDesktopEntryKey(path, "Exec"), QStringLiteral("/opt/karven/karven %F"));
    QCOMPARE(readDesktopEntryKey(path, "Name"), QStringLiteral("澄岩赤平投影"));
    QVERIFY(QFileInfo(path).permissions() & QFile::ExeOwner);

    // An existing launcher is left as it is.
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Desktop Entry]\nName=mine\n");
    f.close();
    QVERIFY(!createDesktopShortcut(QStringLiteral("澄岩赤平投影.lnk"), "/elsewhere/karven", desktop.path()));
    QCOMPARE(readDesktopEntryKey(path, "Name"), QStringLiteral("mine"));

    // Failure is a false result, nothing more.
    QVERIFY(!createDesktopShortcut(QStringLiteral("x"), exe, QStringLiteral("/proc/no-such-desktop")));
}

void FileAssociationTest::systemWideRegistrationReplacesPerUser() {
    QTemporaryDir tmp;
    const QString self = QCoreApplication::applicationFilePath();
    const QString sys = tmp.filePath("usr/share"), local = tmp.filePath("usr/local/share");
    const QString mime = QStringLiteral("application/x-karven-project");
    // /usr/bin/karven is a link to the real executable, found through PATH.
    QVERIFY(QDir().mkpath(tmp.filePath("bin")));
    QVERIFY(QFile::link(self, tmp.filePath("bin/karven")));
    qputenv("PATH", QFile::encodeName(tmp.filePath("bin")) + ':' + qgetenv("PATH"));

    installSystemWide(sys, "karven");
    QVERIFY(systemRegistrationCovers({local, sys}, "karven", mime, self));
    QVERIFY(systemRegistrationCovers({sys}, "karven", mime, tmp.filePath("bin/karven")));
    QVERIFY(!systemRegistrationCovers({sys}, "karven", mime, tmp.filePath("bin")));
    QVERIFY(!systemRegistrationCovers({sys}, "other", mime, self));
    // An earlier folder's entry of the same id is the one that counts.
    installSystemWide(local, "/opt/elsewhere/karven");
    QVERIFY(!systemRegistrationCovers({local, sys}, "karven", mime, self));
    QVERIFY(QDir(local).removeRecursively());
    // Both halves are needed: the type listed, the MIME package present.
    installSystemWide(sys, "karven", "text/plain;");
    QVERIFY(!systemRegistrationCovers({sys}, "karven", mime, self));
    installSystemWide(sys, quoteExecArgument(tmp.filePath("bin/kar ven")));
    QVERIFY(QFile::link(self, tmp.filePath("bin/kar ven")));
    QVERIFY(systemRegistrationCovers({sys}, "karven", mime, self));
    QVERIFY(QFile::remove(sys + "/mime/packages/application-x-karven-project.xml"));
    QVERIFY(!systemRegistrationCovers({sys}, "karven", mime, self));
    QCOMPARE(execProgram("\"/a b/c\\\"d\" %F"), QStringLiteral("/a b/c\"d"));
    QCOMPARE(execProgram("karven\t%F"), QStringLiteral("karven"));
    QCOMPARE(execProgram("\"/a b"), QString());

    // At start: the per-user registration of an earlier run goes, except the
    // application icon that desktop launchers name; nothing new is written.
    const QString id = executableBaseName(self);
    installSystemWide(sys, quoteExecArgument(self), "application/x-karven-project;", id);
    const QString home = tmp.filePath("home");
    FreedesktopAssociationStore store(home, id);
    store.setRunDatabaseTools(false);
    QVERIFY(registerFileTypeIn(store, karven(QDir::toNativeSeparators(self))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(sys));
    registerFileType("KARVEN.File.20", "KARVEN Document File", ".yty", 1);
    QVERIFY(!QFileInfo::exists(store.desktopEntryPath()));
    QVERIFY(!QFileInfo::exists(store.mimePackagePath()));
    QVERIFY(!QFileInfo::exists(store.mimeIconPath()));
    QVERIFY(QFileInfo::exists(store.applicationIconPath()));
    registerFileType("KARVEN.File.20", "KARVEN Document File", ".yty", 1);
    QVERIFY(!QFileInfo::exists(store.desktopEntryPath()));

    // A karven.desktop the user wrote is not ours to remove.
    writeText(store.desktopEntryPath(), "[Desktop Entry]\nName=mine\n");
    QVERIFY(!store.removeRegistration());
    QVERIFY(QFileInfo::exists(store.desktopEntryPath()));

    // Package removed: the per-user registration comes back.
    QVERIFY(QDir(sys).removeRecursively());
    QVERIFY(QFile::remove(store.desktopEntryPath()));
    registerFileType("KARVEN.File.20", "KARVEN Document File", ".yty", 1);
    QVERIFY(QFileInfo::exists(store.desktopEntryPath()));
    qunsetenv("XDG_DATA_DIRS");
}

QTEST_MAIN(FileAssociationTest)
#include "test_fileassociation.moc"
