#include "model/datacenter.h"
#include "reportfixture.h"

#include <QBuffer>
#include <QFile>
#include <QtTest>

namespace {

QByteArray reportBytes(DataCenter& project, const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly | QIODevice::Text);
    if (!project.writeReport(&buffer, picture))
        qWarning("writeReport returned false");
    return bytes;
}

QStringList reportLines(DataCenter& project, const QImage& picture = QImage()) {
    return QString::fromUtf8(reportBytes(project, picture)).split(QLatin1Char('\n'));
}

// The one line that starts with the given text; fails the test otherwise.
QString lineStarting(const QStringList& lines, const QString& start) {
    QStringList hits;
    for (const QString& l : lines)
        if (l.startsWith(start))
            hits << l;
    if (hits.size() != 1)
        qWarning() << "lines starting with" << start << ":" << hits;
    return hits.value(0);
}

const QString imgHead = QStringLiteral("\t\t<img width=\"600\" height:auto src=\"data:image/png;base64,");
const QString imgTail = QStringLiteral("\" />");

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void wholePageMatchesHandWorkedFixture();
    void pictureLineCarriesThePngOfTheWindow();
    void neverAnalysedProject();
    void numberForms();
    void stateMessageArguments();
    void userTextIsEscaped();
};

void TestReport::wholePageMatchesHandWorkedFixture() {
    DataCenter project;
    fillFixtureProject(project);
    const QImage picture = blockPicture(320, 240, Qt::red);
    const QByteArray bytes = reportBytes(project, picture);

    QFile expectedFile(QStringLiteral(KARVEN_TEST_DATA "/fixture_report.html"));
    QVERIFY(expectedFile.open(QIODevice::ReadOnly));
    const QStringList expected = QString::fromUtf8(expectedFile.readAll()).split(QLatin1Char('\n'));

    // UTF-8 with plain line feeds on this platform, and a line end after the last line.
    QVERIFY(!bytes.contains('\r'));
    QVERIFY(bytes.endsWith("</html>\n"));
    QCOMPARE(QString::fromUtf8(bytes).toUtf8(), bytes);

    const QStringList actual = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (int i = 0; i < qMin(actual.size(), expected.size()); ++i) {
        const QString& want = expected.at(i);
        const int at = want.indexOf(QLatin1String("@PICTURE@"));
        if (at >= 0) {
            QVERIFY2(actual.at(i).startsWith(want.left(at)), qPrintable(actual.at(i).left(200)));
            QVERIFY(actual.at(i).endsWith(want.mid(at + 9)));
            continue;
        }
        QVERIFY2(actual.at(i) == want,
                 qPrintable(
                     QStringLiteral("line %1:\n got  [%2]\n want [%3]").arg(i + 1).arg(actual.at(i), want)));
    }
    QCOMPARE(actual.size(), expected.size());

    // The report reads the results; it never runs the analysis.
    QCOMPARE(project.analysisTime, QStringLiteral("2026-12-07 10:20:30"));
    QCOMPARE(project.wedges.size(), 5);
    QCOMPARE(project.planes.at(6).state, 99);
}

void TestReport::pictureLineCarriesThePngOfTheWindow() {
    DataCenter project;
    const QImage picture = blockPicture(701, 623, QColor(0, 128, 255));
    const QString line = lineStarting(reportLines(project, picture), imgHead);
    QVERIFY(line.endsWith(imgTail));
    const QByteArray base64 =
        line.mid(imgHead.size(), line.size() - imgHead.size() - imgTail.size()).toLatin1();

    // Standard Base64 alphabet, padded, no line breaks.
    QVERIFY(QRegularExpression(QStringLiteral("^[A-Za-z0-9+/]+={0,2}$"))
                .match(QString::fromLatin1(base64))
                .hasMatch());
    QCOMPARE(base64.size() % 4, 0);
    const QByteArray png = QByteArray::fromBase64(base64);
    QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));

    QImage decoded;
    QVERIFY(decoded.loadFromData(png, "PNG"));
    QCOMPARE(decoded.size(), QSize(701, 623));
    QCOMPARE(decoded.convertToFormat(QImage::Format_ARGB32), picture);

    // A picture that cannot be encoded leaves the data URI empty; the page is still whole.
    const QStringList lines = reportLines(project, QImage());
    QCOMPARE(lineStarting(lines, imgHead), imgHead + imgTail);
    QCOMPARE(lines.at(lines.size() - 2), QStringLiteral("</html>"));
}

void TestReport::neverAnalysedProject() {
    DataCenter project;
    for (int i = 1; i <= 2; ++i) {
        PlaneRecord r;
        r.id = i;
        r.direction = 30 * i;
        r.angle = 40;
        project.planes.append(r);
    }
    const QStringList lines = reportLines(project);
    const int li1 = lines.indexOf(QStringLiteral("\t\t<li>1、(节理)30°∠40°： <br>"));
    QVERIFY(li1 > 0);
    QCOMPARE(lines.at(li1 + 1), QStringLiteral("\t\t结构面</li>"));
    QCOMPARE(lines.at(li1 + 2), QStringLiteral("\t\t<li>2、(节理)60°∠40°： <br>"));
    QCOMPARE(lines.at(li1 + 3), QStringLiteral("\t\t结构面</li>"));

    const int wedgeHeading = lines.indexOf(QStringLiteral("\t\t<h3>楔形体：</h3>"));
    QVERIFY(wedgeHeading > li1);
    QCOMPARE(lines.at(wedgeHeading + 1), QStringLiteral("\t\t<ul>"));
    QCOMPARE(lines.at(wedgeHeading + 2), QStringLiteral("\t\t</ul>"));

    // Defaults of a new project: name, upper hemisphere, great circles, 30/27, no toppling, "2023".
    QCOMPARE(lineStarting(lines, QStringLiteral("\t\t<h2>")),
             QStringLiteral("\t\t<h2>工程名称：某工程调绘点1</h2>"));
    QVERIFY(lines.contains(QStringLiteral("\t\t边坡产状：0°∠45° <br>")));
    QVERIFY(lines.contains(QStringLiteral("\t\t投影方式：上半球投影 <br>")));
    QVERIFY(lines.contains(QStringLiteral("\t\t表示方式：大圆法 <br>")));
    QVERIFY(lines.contains(QStringLiteral("\t\t滑动判据：倾夹角30°，摩擦圆27° <br>")));
    QVERIFY(lines.contains(QStringLiteral("\t\t分析时间：2023 <br>")));
}

void TestReport::numberForms() {
    DataCenter project;
    project.slope.direction = 120.0;
    project.slope.angle = 45.0;
    project.IncludedAnglePlanar = 30.04; // one decimal: 30.0, then ".0" goes
    project.FrictionAnglePlanar = 27.123456;
    project.IncludedAngleTopple = 25.5;
    project.FrictionAngleTopple = 100.0;
    PlaneRecord fault;
    fault.id = 2;
    fault.type = Fault;
    fault.notes = QStringLiteral("F2");
    fault.direction = 300;
    fault.angle = 45;
    fault.state = 32;
    project.planes.append(fault);

    QStringList lines = reportLines(project);
    QVERIFY(lines.contains(QStringLiteral("\t\t边坡产状：120°∠45° <br>")));
    QVERIFY(lines.contains(QStringLiteral("\t\t<li>2、(F2)300°∠45°： <br>")));
    QVERIFY(lines.contains(QStringLiteral("\t\t滑动判据：倾夹角30°，摩擦圆27.1° <br>")));
    // Toppling off: the fixed text whatever the toppling angles are.
    QVERIFY(lines.contains(QStringLiteral("\t\t倾倒判据：不判断倾倒破坏 <br>")));
    // Message arguments: general format, six significant digits, not one decimal.
    QVERIFY(lines.contains(
        QStringLiteral("\t\t结构面倾角缓于边坡换算倾角且大于摩擦角27.1235°，状态为不稳定</li>")));

    project.Topple = true;
    lines = reportLines(project);
    QVERIFY(lines.contains(QStringLiteral("\t\t倾倒判据：倾夹角25.5°，摩擦圆100° <br>")));
    QVERIFY(!lines.join(QLatin1Char('\n')).contains(QStringLiteral("不判断倾倒破坏")));

    // ".0" goes from the attitude only: notes keep theirs, whatever the kind.
    project.planes[0].notes = QStringLiteral("F2.0");
    project.planes[0].direction = 100.0;
    project.planes[0].angle = 0.04;
    lines = reportLines(project);
    QVERIFY(lines.contains(QStringLiteral("\t\t<li>2、(F2.0)100°∠0°： <br>")));
}

void TestReport::stateMessageArguments() {
    DataCenter project;
    project.IncludedAnglePlanar = 30;
    project.FrictionAnglePlanar = 27;
    const QList<QPair<int, QString>> cases = {
        {34, QStringLiteral("倾角缓于边坡换算倾角且大于摩擦角27°，倾向与边坡的倾夹角小于30°，状态为不稳定")},
        {33, QStringLiteral("倾角缓于边坡换算倾角，倾向与边坡的倾夹角小于30°，状态为不稳定")},
        // Code 13 names its one argument %2.
        {13, QStringLiteral("倾角缓于边坡换算倾角，但与边坡的倾夹角大于30°，状态为稳定")},
        {14, QStringLiteral("倾角缓于边坡换算倾角且大于摩擦角27°，但与边坡的倾夹角大于30°，状态为稳定")},
        {12, QStringLiteral("倾角缓于边坡换算倾角，但倾角小于摩擦角27°，状态为稳定")},
        {40, QStringLiteral("倾向与边坡反向且二者夹角大于等于120°，倾倒破坏")},
        {10, QStringLiteral("倾向与边坡反向，状态为稳定")},
        {1, QString()},
        {0, QString()},
        {22, QString()},
        {-34, QString()},
        {1234, QString()},
    };
    for (const auto& c : cases) {
        PlaneRecord r;
        r.id = 1;
        r.direction = 0;
        r.angle = 40;
        r.state = c.first;
        project.planes = {r};
        const QStringList lines = reportLines(project);
        const int li = lines.indexOf(QStringLiteral("\t\t<li>1、(节理)0°∠40°： <br>"));
        QVERIFY(li > 0);
        QVERIFY2(lines.at(li + 1) == QStringLiteral("\t\t结构面") + c.second + QStringLiteral("</li>"),
                 qPrintable(QStringLiteral("state %1: %2").arg(c.first).arg(lines.at(li + 1))));
    }

    // Wedges: the friction angle fills code 32; an unknown code gives no message.
    PlaneRecord wedge;
    wedge.id = 307;
    wedge.direction = 10;
    wedge.angle = 20;
    wedge.state = 32;
    project.planes.clear();
    project.wedges = {wedge};
    wedge.id = 102;
    wedge.state = 77;
    project.wedges.append(wedge);
    const QStringList lines = reportLines(project);
    const int li = lines.indexOf(QStringLiteral("\t\t<li>3×7、10°∠20°： <br>"));
    QVERIFY(li > 0);
    QCOMPARE(lines.at(li + 1),
             QStringLiteral("\t\t楔形体倾角缓于边坡换算倾角且大于摩擦角27°，状态为不稳定</li>"));
    QCOMPARE(lines.at(li + 2), QStringLiteral("\t\t<li>1×2、10°∠20°： <br>"));
    QCOMPARE(lines.at(li + 3), QStringLiteral("\t\t楔形体</li>"));
}

void TestReport::userTextIsEscaped() {
    DataCenter project;
    project.ProjectName = QStringLiteral("<script>alert('x')</script> & \"A\"");
    PlaneRecord r;
    r.id = 1;
    r.direction = 10;
    r.angle = 20;
    r.notes = QStringLiteral("<img src=x onerror=alert(1)>");
    project.planes.append(r);
    const QString page = QString::fromUtf8(reportBytes(project, QImage()));
    QVERIFY(page.contains(QStringLiteral(
        "\t\t<h2>工程名称：&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;A&quot;</h2>\n")));
    QVERIFY(page.contains(QStringLiteral("\t\t<li>1、(&lt;img src=x onerror=alert(1)&gt;)10°∠20°： <br>\n")));
    QVERIFY(!page.contains(QLatin1String("<script")));
    QVERIFY(!page.contains(QLatin1String("<img src=x")));

    // Ordinary names and notes pass unchanged, placeholders and ".0" included.
    project.ProjectName = QStringLiteral("老虎岩K1.0段%1边坡（二期）");
    project.planes[0].notes = QStringLiteral("断层F%2·东");
    const QStringList lines = reportLines(project);
    QVERIFY(lines.contains(QStringLiteral("\t\t<h2>工程名称：老虎岩K1.0段%1边坡（二期）</h2>")));
    QVERIFY(lines.contains(QStringLiteral("\t\t<li>1、(断层F%2·东)10°∠20°： <br>")));
}

QTEST_GUILESS_MAIN(TestReport)
#include "test_report.moc"
