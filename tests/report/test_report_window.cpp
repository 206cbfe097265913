// The report command end to end: the file dialog, the written file, the
// failure boxes, and the report window the main window opens.
#include "app/filedialogs.h"
#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "app/myweb.h"
#include "app/viewerpage.h"
#include "model/fonts.h"
#include "platform/messagebox.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QtTest>

namespace {

struct Recorder {
    QList<FileDialogs::Request> dialogs;
    QList<MessageBox::Shown> boxes;
    QStringList answers; // file names the dialog hands back, in order

    void install() {
        FileDialogs::setHook([this](const FileDialogs::Request& r) {
            dialogs << r;
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
        MessageBox::setHook([this](const MessageBox::Shown& s) {
            boxes << s;
            return int(MessageBox::Discard);
        });
    }
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QImage pictureOf(const QByteArray& page) {
    const QByteArray head = "data:image/png;base64,";
    const int from = page.indexOf(head);
    if (from < 0)
        return QImage();
    const int to = page.indexOf('"', from);
    return QImage::fromData(QByteArray::fromBase64(page.mid(from + head.size(), to - from - head.size())),
                            "PNG");
}

// Sources of the images a rich-text document shows.
QStringList imageNames(QTextDocument* doc) {
    QStringList names;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                names << it.fragment().charFormat().toImageFormat().name();
    return names;
}

} // namespace

class TestReportWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void exportWritesTheReportOfTheWindow();
    void cancelAndFailures();
    void reportCommandOpensReportWindows();
    void viewerPageReadsEveryColour();
    void reportWindowShowsTheReportWithoutCssWarnings();

private:
    Recorder rec;
    QTemporaryDir tmp;
};

void TestReportWindow::initTestCase() {
    installFontSubstitutions();
    QVERIFY(tmp.isValid());
}

void TestReportWindow::init() {
    rec = Recorder();
    rec.install();
}

void TestReportWindow::cleanup() {
    FileDialogs::setHook(nullptr);
    MessageBox::setHook(nullptr);
}

void TestReportWindow::exportWritesTheReportOfTheWindow() {
    MdiChild child;
    QVERIFY(child.loadFile(QStringLiteral(KARVEN_SOURCE_DIR "/examples/road-cut.yty")));
    child.resize(640, 480);
    child.project().analysisOff = false;
    child.project().analyse();
    child.setWindowModified(true);
    const QString projectFile = child.currentFile();

    const QString path = tmp.filePath(QStringLiteral("路堑 计算书.html"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older, much longer report that must be replaced completely ...........");
    }
    rec.answers << path;
    QString reportPath;
    QVERIFY(child.exportReport(reportPath));
    QCOMPARE(reportPath, path);
    QVERIFY(rec.boxes.isEmpty());
    QVERIFY(!QApplication::overrideCursor());

    QCOMPARE(rec.dialogs.size(), 1);
    const FileDialogs::Request& asked = rec.dialogs.first();
    QCOMPARE(asked.mode, FileDialogs::Mode::Save);
    QCOMPARE(asked.parent, static_cast<QWidget*>(&child));
    QCOMPARE(asked.caption, QStringLiteral("保存"));
    QCOMPARE(asked.filter, QStringLiteral("网页文件(*.html);;所有文件(*.*)"));
    QCOMPARE(asked.directory, child.proposedSavePath());

    // The file holds exactly the report of the window's picture at its size.
    QImage picture(child.width(), child.height(), QImage::Format_ARGB32);
    child.renderToImage(picture);
    QByteArray expected;
    QBuffer buffer(&expected);
    buffer.open(QIODevice::WriteOnly | QIODevice::Text);
    QVERIFY(child.project().writeReport(&buffer, picture));
    const QByteArray written = readAll(path);
    QCOMPARE(written, expected);
    QCOMPARE(pictureOf(written).size(), QSize(640, 480));
    QVERIFY(written.contains(QStringLiteral("工程名称：G318线K12+350路堑边坡").toUtf8()));
    QVERIFY(QDir(tmp.path()).entryList(QDir::Files).size() == 1); // no temporary left behind

    // The export is not a save.
    QCOMPARE(child.currentFile(), projectFile);
    QVERIFY(child.isWindowModified());
    QVERIFY(!child.isUntitled());
}

void TestReportWindow::cancelAndFailures() {
    MdiChild child;
    child.newFile();
    QString reportPath = QStringLiteral("unchanged");

    // No name chosen: nothing written, nothing said.
    QVERIFY(!child.exportReport(reportPath));
    QCOMPARE(rec.dialogs.size(), 1);
    QVERIFY(rec.boxes.isEmpty());
    QCOMPARE(reportPath, QStringLiteral("unchanged"));

    // A folder that does not exist cannot take the file.
    const QString missing = tmp.filePath(QStringLiteral("无此目录/r.html"));
    rec.answers << missing;
    QVERIFY(!child.exportReport(reportPath));
    QCOMPARE(rec.boxes.size(), 1);
    QCOMPARE(rec.boxes.first().kind, MessageBox::Kind::Warning);
    QCOMPARE(rec.boxes.first().text, QStringLiteral("无法打开写入文件") + QDir::toNativeSeparators(missing));
    QCOMPARE(rec.boxes.first().parent, static_cast<QWidget*>(&child));
    QCOMPARE(reportPath, QStringLiteral("unchanged"));
    QVERIFY(!QApplication::overrideCursor());

    // A name that is a folder: the earlier folder stays, the user is told.
    const QString folder = tmp.filePath(QStringLiteral("folder.html"));
    QVERIFY(QDir().mkpath(folder));
    rec.answers << folder;
    QVERIFY(!child.exportReport(reportPath));
    QCOMPARE(rec.boxes.size(), 2);
    QVERIFY(rec.boxes.last().text.endsWith(QDir::toNativeSeparators(folder)));
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(!QApplication::overrideCursor());
}

void TestReportWindow::reportCommandOpensReportWindows() {
    MainWindow window;
    window.resize(1200, 900);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* mdi = window.findChild<QMdiArea*>();
    QVERIFY(mdi);
    // Close the sub-windows before the main window goes (as closing the main window does).
    const auto closeAll = qScopeGuard([mdi] { mdi->closeAllSubWindows(); });
    window.findChild<QAction*>(QStringLiteral("actNew"))->trigger();
    MdiChild* child = window.activeMdiChild();
    QVERIFY(child);
    // The report is a result command: available while the analysis is shown.
    QAction* analyse = window.findChild<QAction*>(QStringLiteral("actAnalyse"));
    QVERIFY(analyse && !analyse->isChecked());
    analyse->trigger();
    QVERIFY(!child->project().analysisOff);
    const QSize childSize = child->size();
    QAction* report = window.findChild<QAction*>(QStringLiteral("actReport"));
    QVERIFY(report && report->isEnabled());
    const int before = mdi->subWindowList().size();

    const QString first = tmp.filePath(QStringLiteral("第一份.html"));
    const QString second = tmp.filePath(QStringLiteral("second.html"));
    rec.answers << first;
    report->trigger();
    QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("导出计算书"));
    QVERIFY(QFileInfo::exists(first));
    QCOMPARE(pictureOf(readAll(first)).size(), childSize);

    // Back to the project, export once more: a second window, the first stays.
    mdi->setActiveSubWindow(mdi->subWindowList().at(before - 1));
    QCOMPARE(window.activeMdiChild(), child);
    rec.answers << second;
    report->trigger();

    QList<MyWeb*> pages;
    for (QMdiSubWindow* sub : mdi->subWindowList())
        if (auto* page = qobject_cast<MyWeb*>(sub->widget()))
            if (page->windowTitle().endsWith(QLatin1String(".html")))
                pages << page;
    QCOMPARE(mdi->subWindowList().size(), before + 2);
    QCOMPARE(pages.size(), 2);
    QCOMPARE(pages.at(0)->windowTitle(), QStringLiteral("第一份.html"));
    QCOMPARE(pages.at(1)->windowTitle(), QStringLiteral("second.html"));
    QVERIFY(pages.at(1)->parentWidget()->isMaximized());
    QCOMPARE(mdi->activeSubWindow()->widget(), pages.at(1));
    QVERIFY(!window.activeMdiChild());
    QVERIFY(!report->isEnabled());

    QTRY_COMPARE(pages.at(0)->shownTarget(), first);
    QTRY_COMPARE(pages.at(1)->shownTarget(), second);
    QTextDocument* doc = pages.at(1)->browser()->document();
    QVERIFY(doc->toPlainText().contains(QStringLiteral("工程名称：某工程调绘点1")));
    QVERIFY(doc->toPlainText().contains(QStringLiteral("倾倒判据：不判断倾倒破坏")));
    // The window shows the embedded picture, not a broken-image mark.
    const QStringList images = imageNames(doc);
    QCOMPARE(images.size(), 1);
    QVERIFY(images.first().startsWith(QLatin1String("data:image/png;base64,")));
    pages.at(1)->grab(); // lays the page out, which loads its images
    const QVariant resource = doc->resource(QTextDocument::ImageResource, QUrl(images.first()));
    QImage shown = resource.value<QImage>();
    if (shown.isNull())
        shown = QImage::fromData(resource.toByteArray());
    QCOMPARE(shown.size(), childSize);
}

void TestReportWindow::viewerPageReadsEveryColour() {
    // Colours without alpha written rgba(): rgb() in style sheets and style
    // attributes; everything else as it was, text included.
    const QString page =
        QStringLiteral("<html><head><style type=\"text/css\">body{background: rgba(234,234,234);}\n"
                       ".a{color: RGBA( 1 , 2 , 3 ); border-color: rgba(1,2,3,0.5);}</style></head>"
                       "<body><p style=\"background:rgba(10,20,30)\">rgba(1,2,3) stays in the text</p>"
                       "<p style='color:rgba(40,50,60)'>x</p></body></html>");
    QCOMPARE(ViewerPage::adapted(page),
             QStringLiteral("<html><head><style type=\"text/css\">body{background: rgb(234,234,234);}\n"
                            ".a{color: rgb( 1 , 2 , 3 ); border-color: rgba(1,2,3,0.5);}</style></head>"
                            "<body><p style=\"background:rgb(10,20,30)\">rgba(1,2,3) stays in the text</p>"
                            "<p style='color:rgb(40,50,60)'>x</p></body></html>"));
    const QString plain = QStringLiteral("<html><body><p>no style</p></body></html>");
    QCOMPARE(ViewerPage::adapted(plain), plain);
}

namespace {
QStringList cssWarnings;
void recordCssWarnings(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (message.contains(QLatin1String("QCss")))
        cssWarnings << message;
}
} // namespace

void TestReportWindow::reportWindowShowsTheReportWithoutCssWarnings() {
    // A report with every section (factors of safety on), as the report
    // command writes it, shown in a report window.
    MdiChild child;
    QVERIFY(child.loadFile(QStringLiteral(KARVEN_SOURCE_DIR "/examples/road-cut.yty")));
    child.resize(800, 600);
    child.project().stability.enabled = true;
    child.project().stability.present = true;
    child.project().analysisOff = false;
    child.project().analyse();
    const QString path = tmp.filePath(QStringLiteral("shown.html"));
    rec.answers << path;
    QString reportPath;
    QVERIFY(child.exportReport(reportPath));
    QVERIFY(readAll(path).contains("rgba(234,234,234)")); // the file as written

    cssWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordCssWarnings);
    auto restore = qScopeGuard([previous] { qInstallMessageHandler(previous); });
    MyWeb page;
    page.resize(1100, 800);
    MyWeb::navigate(&page, path);
    QTRY_COMPARE(page.shownTarget(), path);
    page.grab();
    restore.dismiss();
    qInstallMessageHandler(previous);
    QVERIFY2(cssWarnings.isEmpty(), qPrintable(cssWarnings.join(QLatin1Char('\n'))));
    // The grey around the paper is the page's, as a browser shows it.
    QTextDocument* doc = page.browser()->document();
    QCOMPARE(doc->rootFrame()->frameFormat().background().color(), QColor(234, 234, 234));
    QVERIFY(doc->toPlainText().contains(QStringLiteral("稳定性计算")));

    // The white paper, 1000 pixels and its padding, centred, as a browser
    // lays it out; the headings sized from the paper's 20-pixel font; the
    // picture on a line of its own, under its heading.
    QTextTable* paper = nullptr;
    for (QTextFrame* frame : doc->rootFrame()->childFrames())
        if ((paper = qobject_cast<QTextTable*>(frame)))
            break;
    QVERIFY(paper);
    QCOMPARE(paper->format().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(paper->format().width(), QTextLength(QTextLength::FixedLength, 1020));
    QCOMPARE(paper->format().cellPadding(), 10.0);
    QCOMPARE(paper->format().background().color(), QColor(Qt::white));
    bool pictureAlone = false;
    int pictures = 0;
    QMap<QString, int> headingPixels;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (!b.text().isEmpty() && b.begin().fragment().charFormat().fontWeight() == QFont::Bold)
            headingPixels[b.text().trimmed()] =
                b.begin().fragment().charFormat().intProperty(QTextFormat::FontPixelSize);
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat() && pictures++ == 0) // the stereonet
                pictureAlone = b.text().trimmed() == it.fragment().text();
    }
    QVERIFY(pictureAlone);
    QCOMPARE(headingPixels.value(QStringLiteral("示意图:")), 23);
    QCOMPARE(headingPixels.value(QStringLiteral("工程名称：G318线K12+350路堑边坡")), 30);
}

QTEST_MAIN(TestReportWindow)
#include "test_report_window.moc"
