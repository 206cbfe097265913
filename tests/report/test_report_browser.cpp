// Opens written reports in a real browser (headless Chromium): the embedded
// picture must show, and user text must not turn into markup.
#include "model/datacenter.h"
#include "model/factors/loadcases.h"
#include "reportfixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

namespace {

const QColor kBlock(0, 170, 0); // a green the stereonet never uses for paper or text

QString chromiumPath() {
    for (const char* name : {"chromium", "chromium-browser"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

bool onCi() {
    return qEnvironmentVariable("CI").compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

bool writeReportFile(DataCenter& project, const QImage& picture, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    return project.writeReport(&file, picture) && file.flush();
}

// Runs Chromium headless with the given extra arguments; returns its stdout.
QByteArray runChromium(const QString& chromium, const QString& profile, const QStringList& extra, bool* ok) {
    QStringList args = {QStringLiteral("--headless"),
                        QStringLiteral("--no-sandbox"),
                        QStringLiteral("--disable-gpu"),
                        QStringLiteral("--disable-quic"),
                        QStringLiteral("--no-first-run"),
                        QStringLiteral("--disable-background-networking"),
                        QStringLiteral("--disable-component-update"),
                        QStringLiteral("--disable-sync"),
                        QStringLiteral("--user-data-dir=") + profile};
    args << extra;
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(chromium, args);
    *ok = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
          process.exitCode() == 0;
    if (!*ok) {
        process.kill();
        process.waitForFinished(5000);
        qWarning() << "chromium failed:" << process.exitCode() << process.readAllStandardError().right(2000);
    }
    return process.readAllStandardOutput();
}

} // namespace

class TestReportBrowser : public QObject {
    Q_OBJECT
private slots:
    void init();
    void embeddedPictureIsDisplayed();
    void hostileProjectNameStaysText();
    void blockPicturesAreDisplayed();

private:
    QString chromium;
};

void TestReportBrowser::init() {
    chromium = chromiumPath();
    if (chromium.isEmpty()) {
        if (onCi())
            QFAIL(
                "Chromium is not installed (Debian package \"chromium\"); the report cannot be checked in a "
                "browser");
        QSKIP("Chromium is not installed (Debian package \"chromium\"): report not checked in a browser");
    }
}

void TestReportBrowser::embeddedPictureIsDisplayed() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    DataCenter project;
    fillFixtureProject(project);
    // Window-sized picture: 800 x 600 shown 600 wide, so the block (the middle
    // half) appears about 300 x 225 pixels.
    const QImage picture = blockPicture(800, 600, kBlock);
    const QString page = dir.filePath(QStringLiteral("计算书 报告.html"));
    QVERIFY(writeReportFile(project, picture, page));

    const QString shot = dir.filePath(QStringLiteral("shot.png"));
    bool ok = false;
    runChromium(chromium, dir.filePath(QStringLiteral("profile")),
                {QStringLiteral("--screenshot=") + shot, QStringLiteral("--window-size=1200,2000"),
                 QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded)},
                &ok);
    QVERIFY(ok);
    QImage screen;
    QVERIFY2(screen.load(shot), "Chromium wrote no screenshot");

    QRect found;
    int count = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x) {
            const QColor c = screen.pixelColor(x, y);
            if (qAbs(c.red() - kBlock.red()) < 12 && qAbs(c.green() - kBlock.green()) < 12 &&
                qAbs(c.blue() - kBlock.blue()) < 12) {
                found |= QRect(x, y, 1, 1);
                ++count;
            }
        }
    QVERIFY2(count > 0, "the embedded picture is not displayed");
    // Solid, and at the report's 600-pixel width.
    QVERIFY2(qAbs(found.width() - 300) <= 4 && qAbs(found.height() - 225) <= 4,
             qPrintable(QStringLiteral("block shown as %1 x %2").arg(found.width()).arg(found.height())));
    QVERIFY(count >= found.width() * found.height() * 95 / 100);
    // Inside the white paper, below the settings block.
    QVERIFY(found.top() > 250);
    QCOMPARE(screen.pixelColor(found.left() - 20, found.center().y()), QColor(Qt::white));
}

void TestReportBrowser::hostileProjectNameStaysText() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    DataCenter project;
    project.ProjectName = QStringLiteral("<script>document.body.setAttribute('data-hit','name')</script>");
    PlaneRecord r;
    r.id = 1;
    r.direction = 10;
    r.angle = 20;
    r.notes = QStringLiteral("<img src=x onerror=\"document.body.setAttribute('data-hit','notes')\">");
    project.planes.append(r);
    const QString page = dir.filePath(QStringLiteral("hostile.html"));
    QVERIFY(writeReportFile(project, blockPicture(40, 40, kBlock), page));

    bool ok = false;
    const QString dom = QString::fromUtf8(runChromium(
        chromium, dir.filePath(QStringLiteral("profile")),
        {QStringLiteral("--dump-dom"), QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded)}, &ok));
    QVERIFY(ok);
    QVERIFY2(dom.contains(QLatin1String("<h2>")), qPrintable(dom.left(500)));
    QVERIFY2(!dom.contains(QRegularExpression(QStringLiteral("<body[^>]*data-hit"))),
             "user text ran as script");
    QVERIFY(!dom.contains(QLatin1String("<script")));
    // One picture only: the stereonet.
    QCOMPARE(dom.count(QLatin1String("<img ")), 1);
    // The name reads as typed.
    QVERIFY(dom.contains(QStringLiteral("工程名称：&lt;script&gt;")));
}

void TestReportBrowser::blockPicturesAreDisplayed() {
    // A planar block in three load cases: its section (the block's brown,
    // the crack's water) shows in the browser beside the summary table.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    DataCenter project;
    project.slope.direction = 180;
    project.slope.angle = 60;
    project.IncludedAnglePlanar = 30;
    project.FrictionAnglePlanar = 30;
    PlaneRecord r;
    r.id = 1;
    r.direction = 180;
    r.angle = 35;
    project.planes.append(r);
    project.updateSlopeGeometry();
    project.updatePlanesGeometry();
    project.analysisOff = false;
    project.analyse();
    project.stability.present = project.stability.enabled = true;
    project.stability.height = 30;
    project.stability.planes.insert(1, PlaneStrength{20, 30});
    project.stability.cases = defaultLoadCases(project.stability);
    const QString page = dir.filePath(QStringLiteral("blocks.html"));
    QVERIFY(writeReportFile(project, blockPicture(400, 400, Qt::white), page));

    const QString shot = dir.filePath(QStringLiteral("shot.png"));
    bool ok = false;
    runChromium(chromium, dir.filePath(QStringLiteral("profile")),
                {QStringLiteral("--screenshot=") + shot, QStringLiteral("--window-size=1200,5000"),
                 QUrl::fromLocalFile(page).toString(QUrl::FullyEncoded)},
                &ok);
    QVERIFY(ok);
    QImage screen;
    QVERIFY2(screen.load(shot), "Chromium wrote no screenshot");
    int block = 0, water = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x) {
            const QRgb c = screen.pixel(x, y);
            block += qAbs(qRed(c) - 196) < 14 && qAbs(qGreen(c) - 150) < 14 && qAbs(qBlue(c) - 100) < 14;
            water += qBlue(c) > qRed(c) + 120 && qBlue(c) > 150;
        }
    QVERIFY2(block > 3000, qPrintable(QString::number(block)));
    QVERIFY2(water > 100, qPrintable(QString::number(water)));
}

QTEST_GUILESS_MAIN(TestReportBrowser)
#include "test_report_browser.moc"
