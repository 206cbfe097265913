// 导出CAD文件 through the real main window: the files it writes are those
// 复制CAD writes for the same options, the clipboard stays as it was, and a
// failure warns and leaves an earlier file alone.
#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "apptesting.h"
#include "cad/caddialog.h"
#include "cad/cadfiledialog.h"
#include "platform/dwgbinding.h"
#include "tests/cad/dxfreadback.h"

#include <QAction>
#include <QClipboard>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using apptesting::Boxes;
using apptesting::Dialogs;

namespace {
using apptesting::action;
// Presses a button of the next modal dialog of type D as soon as it shows.
template <typename D> void answer(QDialogButtonBox::StandardButton button) {
    QTimer::singleShot(0, [button] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->template findChild<QDialogButtonBox*>()->button(button)->click();
    });
}

// 复制CAD minimises the main window, which leaves no active project
// window; the user coming back activates it again.
bool comeBack(MainWindow& w, MdiChild* child) {
    w.showNormal();
    QApplication::setActiveWindow(&w);
    auto* area = w.findChild<QMdiArea*>(QStringLiteral("mdiArea"));
    area->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(child->parentWidget()));
    return w.activeMdiChild() == child;
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

const QString kMarker = QStringLiteral("application/x-karven-test");

void fillClipboard() {
    auto* data = new QMimeData;
    data->setText(QStringLiteral("剪贴板上原有的文字"));
    data->setData(kMarker, QByteArray("\x01\x02keep", 6));
    QApplication::clipboard()->setMimeData(data);
}

bool clipboardKept() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->text() == QStringLiteral("剪贴板上原有的文字") &&
           data->data(kMarker) == QByteArray("\x01\x02keep", 6);
}
} // namespace

class TestExportCad : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void writesWhatCopyCadWrites();
    void cancelWritesNothing();
    void failureWarnsAndKeepsTheEarlierFile();
    void proposesTheFolderOfTheLastExport();
    void exportedDxfNeedsNoRepair();

private:
    // A main window with the road-cut example open and analysed.
    MdiChild* openAnalysed(MainWindow& w);
    // 导出CAD文件 with OK in the options and `chosen` in the save dialog.
    void exportTo(MainWindow& w, Dialogs& dialogs, const QString& chosen);

    QTemporaryDir tmp;
    QString project, cadTemp, out;
};

void TestExportCad::initTestCase() {
    apptesting::nameApplication();
    QVERIFY(tmp.isValid());
    project = tmp.filePath(QStringLiteral("projects/road-cut.yty"));
    cadTemp = tmp.filePath(QStringLiteral("cadtemp"));
    QVERIFY(QDir().mkpath(QFileInfo(project).path()));
    QVERIFY(QDir().mkpath(cadTemp));
    QVERIFY(QFile::copy(QStringLiteral(KARVEN_SOURCE_DIR "/examples/road-cut.yty"), project));
    qputenv("TMPDIR", QFile::encodeName(cadTemp)); // where 复制CAD writes
}

void TestExportCad::init() {
    apptesting::clearSettings();
    QSettings settings;
    settings.setValue(QStringLiteral("cadradius"), 40);
    settings.setValue(QStringLiteral("cadheigh"), 7);
    DwgBinding::setLibraryName(QStringLiteral(VANTREL_LIBRARY));
    qunsetenv("FAKE_DWG_MODE");
    out = tmp.filePath(QStringLiteral("out%1").arg(QDateTime::currentMSecsSinceEpoch()));
    QVERIFY(QDir().mkpath(out));
}

void TestExportCad::cleanup() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

MdiChild* TestExportCad::openAnalysed(MainWindow& w) {
    w.show();
    if (!w.openFile(project))
        return nullptr;
    action(w, "actAnalyse")->trigger();
    MdiChild* child = w.activeMdiChild();
    return child && !child->project().analysisOff && action(w, "actExportCad")->isEnabled() ? child : nullptr;
}

void TestExportCad::exportTo(MainWindow& w, Dialogs& dialogs, const QString& chosen) {
    dialogs.answers << chosen;
    answer<CadFileDialog>(QDialogButtonBox::Ok);
    action(w, "actExportCad")->trigger();
}

void TestExportCad::writesWhatCopyCadWrites() {
    MainWindow w;
    MdiChild* child = openAnalysed(w);
    QVERIFY(child);
    Boxes boxes;
    Dialogs dialogs;

    // DXF: 复制CAD for AutoCAD writes the temporary DXF.
    QSettings().setValue(QStringLiteral("cadtype"), 1);
    answer<CADDialog>(QDialogButtonBox::Ok);
    action(w, "actCAD")->trigger();
    QVERIFY(comeBack(w, child));
    const QByteArray copied = contents(cadTemp + QStringLiteral("/Karven_NYjdsF.dxf"));
    QVERIFY(copied.startsWith("  0\r\nSECTION"));

    fillClipboard();
    const QString dxf = out + QStringLiteral("/路堑.dxf");
    exportTo(w, dialogs, dxf);
    QCOMPARE(dialogs.requests.size(), 1);
    const FileDialogs::Request& request = dialogs.requests.first();
    QCOMPARE(request.mode, FileDialogs::Mode::Save);
    QCOMPARE(request.filter, QStringLiteral("DXF文件(*.dxf);;DWG文件(*.dwg)"));
    QCOMPARE(QDir::fromNativeSeparators(request.directory),
             QFileInfo(project).canonicalPath() + QStringLiteral("/road-cut.dxf"));
    QVERIFY(contents(dxf) == copied);
    QVERIFY(clipboardKept());
    QCOMPARE(w.statusBar()->currentMessage(),
             QStringLiteral("已导出CAD文件：") + QDir::toNativeSeparators(dxf));
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(child->project().cadRadius, 40);
    QCOMPARE(child->project().cadTextPercent, 7);
    // A new file gets the permissions of any new file there, not the
    // writer's owner-only temporary ones.
    {
        QFile probe(out + QStringLiteral("/probe"));
        QVERIFY(probe.open(QIODevice::WriteOnly));
        QCOMPARE(QFileInfo(dxf).permissions(), probe.permissions());
    }

    // DWG: 复制CAD for ZWCAD lets the DWG library write the temporary DWG.
    // Vantrel stamps every file with its time and fresh GUIDs, so the bytes
    // are compared where they are fixed: the drawing both commands hand to
    // the library (a stand-in that records it), and Vantrel's own files,
    // which differ only in those stamped bytes and their checksums (about
    // 120 of some 19 000).
    QSettings().setValue(QStringLiteral("cadtype"), 4);
    const QString dwg = out + QStringLiteral("/road-cut.DWG");
    auto bothWrite = [&](QByteArray& copiedDwg) {
        answer<CADDialog>(QDialogButtonBox::Ok);
        action(w, "actCAD")->trigger();
        copiedDwg = contents(cadTemp + QStringLiteral("/Karven_NYjdsF.dwg"));
        fillClipboard();
        return comeBack(w, child) && (exportTo(w, dialogs, dwg), clipboardKept());
    };
    QByteArray copiedDwg;
    QVERIFY(bothWrite(copiedDwg));
    const QByteArray exported = contents(dwg);
    QVERIFY(copiedDwg.startsWith("AC1018"));
    QCOMPARE(exported.size(), copiedDwg.size());
    int differing = 0;
    for (int i = 0; i < exported.size(); ++i)
        differing += exported.at(i) != copiedDwg.at(i);
    QVERIFY2(differing < 300, qPrintable(QString::number(differing)));

    DwgBinding::setLibraryName(QStringLiteral(FAKE_DWG_LIBRARY));
    QVERIFY(bothWrite(copiedDwg));
    // The stand-in writes a marker, the path it was given (a temporary
    // file beside the target) and the drawing.
    const QList<QByteArray> a = copiedDwg.split('\n'), b = contents(dwg).split('\n');
    QCOMPARE(a.first(), QByteArray("FAKEDWG"));
    QVERIFY(b.size() > 100 && a.size() == b.size());
    QVERIFY(a.mid(2) == b.mid(2));
    QVERIFY(a.at(2).startsWith("<?xml"));
    QVERIFY(clipboardKept());
    QVERIFY(boxes.shown.isEmpty());
}

void TestExportCad::cancelWritesNothing() {
    MainWindow w;
    QVERIFY(openAnalysed(w));
    Boxes boxes;
    Dialogs dialogs;
    fillClipboard();
    const QStringList tempBefore = QDir(cadTemp).entryList(QDir::Files);
    w.statusBar()->clearMessage();

    answer<CadFileDialog>(QDialogButtonBox::Cancel);
    action(w, "actExportCad")->trigger();
    QVERIFY(dialogs.requests.isEmpty());

    exportTo(w, dialogs, QString()); // the save dialog cancelled
    QCOMPARE(dialogs.requests.size(), 1);

    QVERIFY(QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    QCOMPARE(QDir(cadTemp).entryList(QDir::Files), tempBefore);
    QVERIFY(boxes.shown.isEmpty());
    QVERIFY(w.statusBar()->currentMessage().isEmpty());
    QVERIFY(clipboardKept());
}

void TestExportCad::failureWarnsAndKeepsTheEarlierFile() {
    MainWindow w;
    MdiChild* child = openAnalysed(w);
    QVERIFY(child);
    Boxes boxes;
    Dialogs dialogs;
    const QByteArray earlier = "earlier drawing\n";

    struct Case {
        QString path;
        QString warning; // with %1 for the native path
    };
    // /proc refuses new files even to root (which it lets past the folder's
    // permissions); a folder that does not exist.
    QVector<Case> cases = {
        {QStringLiteral("/proc/version"), QFileInfo(QStringLiteral("/proc")).isWritable()
                                              ? QStringLiteral("无法写入文件%1%")
                                              : QStringLiteral("无法打开写入文件%1")},
        {out + QStringLiteral("/no/such/folder/x.dxf"), QStringLiteral("无法打开写入文件%1")},
        {out + QStringLiteral("/no/such/folder/x.dwg"), QStringLiteral("无法打开写入文件%1")},
    };
#ifdef Q_OS_UNIX
    if (::geteuid() != 0) {
        const QString locked = out + QStringLiteral("/locked");
        QVERIFY(QDir().mkpath(locked));
        for (const char* name : {"/earlier.dxf", "/earlier.dwg"}) {
            QVERIFY(writeFile(locked + QLatin1String(name), earlier));
            cases.append({locked + QLatin1String(name), QStringLiteral("无法打开写入文件%1")});
        }
        QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
#endif
    // The DWG writer refusing the drawing (a stand-in library that fails).
    const QString refused = out + QStringLiteral("/refused.dwg");
    QVERIFY(writeFile(refused, earlier));

    for (const Case& c : cases) {
        const QByteArray before = contents(c.path);
        boxes.shown.clear();
        w.statusBar()->clearMessage();
        exportTo(w, dialogs, c.path);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown.first().kind, MessageBox::Kind::Warning);
        QCOMPARE(boxes.lastText(), c.warning.arg(QDir::toNativeSeparators(c.path)));
        QCOMPARE(boxes.shown.first().parent, static_cast<QWidget*>(child));
        QVERIFY(!boxes.cursorOverridden);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(contents(c.path), before);
        QVERIFY(w.statusBar()->currentMessage().isEmpty());
    }

    DwgBinding::setLibraryName(QStringLiteral(FAKE_DWG_LIBRARY));
    qputenv("FAKE_DWG_MODE", "false");
    boxes.shown.clear();
    fillClipboard();
    exportTo(w, dialogs, refused);
    QCOMPARE(boxes.lastText(), QStringLiteral("无法写入文件%1%").arg(QDir::toNativeSeparators(refused)));
    QCOMPARE(contents(refused), earlier);
    QVERIFY(clipboardKept());
    // No temporary file is left beside it.
    QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{QStringLiteral("refused.dwg")});
    QFile::setPermissions(out + QStringLiteral("/locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void TestExportCad::proposesTheFolderOfTheLastExport() {
    MainWindow w;
    MdiChild* child = openAnalysed(w);
    QVERIFY(child);
    Boxes boxes;
    Dialogs dialogs;
    const QString projectFolder = QFileInfo(project).canonicalPath();
    auto proposed = [&] { return QDir::fromNativeSeparators(dialogs.requests.last().directory); };

    // No export yet: beside the project. The message names the file.
    const QString first = out + QStringLiteral("/a/first.dxf");
    QVERIFY(QDir().mkpath(out + QStringLiteral("/a")));
    exportTo(w, dialogs, first);
    QCOMPARE(proposed(), projectFolder + QStringLiteral("/road-cut.dxf"));
    QVERIFY(QFile::exists(first));
    QCOMPARE(w.statusBar()->currentMessage(),
             QStringLiteral("已导出CAD文件：") + QDir::toNativeSeparators(first));

    // Then in the folder of the last export, under the project's name, also
    // after a DWG and for a new main window (the setting is the user's).
    const QString second = out + QStringLiteral("/b/second.dwg");
    QVERIFY(QDir().mkpath(out + QStringLiteral("/b")));
    exportTo(w, dialogs, second);
    QCOMPARE(proposed(), out + QStringLiteral("/a/road-cut.dxf"));
    QVERIFY(QFile::exists(second));
    exportTo(w, dialogs, QString());
    QCOMPARE(proposed(), out + QStringLiteral("/b/road-cut.dxf"));

    // A failed export keeps the folder of the last one written.
    exportTo(w, dialogs, out + QStringLiteral("/no/such/folder/x.dxf"));
    QCOMPARE(boxes.shown.size(), 1);
    exportTo(w, dialogs, QString());
    QCOMPARE(proposed(), out + QStringLiteral("/b/road-cut.dxf"));

    // A remembered folder that is gone: back beside the project.
    QVERIFY(QDir(out + QStringLiteral("/b")).removeRecursively());
    exportTo(w, dialogs, QString());
    QCOMPARE(proposed(), projectFolder + QStringLiteral("/road-cut.dxf"));
}

void TestExportCad::exportedDxfNeedsNoRepair() {
    // Every example, in both representations, written by the command: the
    // reader's audit reports nothing and repairs nothing.
    QStringList files;
    const QStringList examples = QDir(QStringLiteral(KARVEN_SOURCE_DIR "/examples"))
                                     .entryList({QStringLiteral("*.yty")}, QDir::Files, QDir::Name);
    QVERIFY(examples.size() >= 3);
    MainWindow w;
    w.show();
    Boxes boxes;
    Dialogs dialogs;
    for (const QString& name : examples) {
        QVERIFY(w.openFile(QStringLiteral(KARVEN_SOURCE_DIR "/examples/") + name));
        for (const bool big : {true, false}) {
            MdiChild* child = w.activeMdiChild();
            QVERIFY(child && child->project().analysisOff);
            w.on_actBigCircle_triggered(big);
            QCOMPARE(child->project().BigCircle, big);
            action(w, "actAnalyse")->trigger();
            QVERIFY(!child->project().analysisOff);
            files << out + QStringLiteral("/%1-%2.dxf")
                               .arg(QFileInfo(name).completeBaseName(), QLatin1String(big ? "gc" : "pole"));
            exportTo(w, dialogs, files.last());
            QVERIFY2(QFile::exists(files.last()), qPrintable(files.last()));
            action(w, "actAnalyse")->trigger();
        }
    }
    QVERIFY(boxes.shown.isEmpty());
    QString skip;
    const QList<QJsonObject> objects = dxfreadback::readBack(files, &skip);
    REQUIRE_DXF_READER(skip);
    QCOMPARE(objects.size(), files.size());
    for (int i = 0; i < files.size(); ++i)
        QVERIFY2(dxfreadback::auditClean(objects.at(i)),
                 qPrintable(files.at(i) + QLatin1Char(' ') + dxfreadback::auditFindings(objects.at(i))));
}

QTEST_MAIN(TestExportCad)
#include "test_exportcad.moc"
