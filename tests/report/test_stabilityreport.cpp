#include "model/datacenter.h"
#include "model/factors/loadcases.h"
#include "model/factors/stabilityfactors.h"
#include "model/factors/stabilityreport.h"
#include "reportfixture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QtTest>

#include <cmath>

// The 稳定性计算 section of the calculation report.
class TestStabilityReport : public QObject {
    Q_OBJECT
private slots:
    void sectionOnlyWhenSwitchedOn();
    void workingOfEveryBody();
    void inputsOutOfRangeAreNotCalculated();
    void factorNeverReadsAsMeetingWhatItMisses();
    void summaryPerBlockAndCase();
    void picturesOfEveryBlock();
    void requiredFactorsSayWhereTheyCameFrom();
    void wedgeWaterPressureUsesTheWedgeHeight();
    void defaultStrengthsAreMarked();
    void boundedCrackSearchIsSaid();
};

namespace {
QString report(DataCenter& project) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly | QIODevice::Text);
    project.writeReport(&buffer, blockPicture(40, 30, Qt::red));
    return QString::fromUtf8(bytes);
}

// Every shipped example, analysed, with the calculation on.
QList<QSharedPointer<DataCenter>> analysedExamples() {
    QList<QSharedPointer<DataCenter>> out;
    const QDir dir(QStringLiteral(KARVEN_SOURCE_DIR "/examples"));
    for (const QString& name : dir.entryList({QStringLiteral("*.yty")})) {
        QFile file(dir.filePath(name));
        auto project = QSharedPointer<DataCenter>::create();
        if (!file.open(QIODevice::ReadOnly) || !project->readProject(&file))
            continue;
        project->updateSlopeGeometry();
        project->updatePlanesGeometry();
        project->analysisOff = false;
        project->analyse();
        project->stability.enabled = true;
        project->stability.planes.insert(1, PlaneStrength{10, 30});
        out << project;
    }
    return out;
}

// The list item of the section that starts with `head`, up to its end.
QString item(const QString& section, const QString& head) {
    const int at = section.indexOf(QStringLiteral("\t\t<li>") + head);
    return at < 0 ? QString() : section.mid(at, section.indexOf(QStringLiteral("</li>"), at) - at);
}

const QString sectionHead = QStringLiteral("\t\t<hr>\n\t\t<h3>稳定性计算：</h3>\n");

// A project of one slope and the given planes (dip direction, dip),
// analysed, with the calculation on and every plane at c, φ.
void makeProject(DataCenter& dc, double slopeDip, const QList<QPair<double, double>>& planes, double c,
                 double phi) {
    dc.slope.direction = 180;
    dc.slope.angle = slopeDip;
    dc.IncludedAnglePlanar = 30;
    dc.FrictionAnglePlanar = 30;
    int id = 1;
    for (const auto& attitude : planes) {
        PlaneRecord r;
        r.id = id;
        r.type = Joint;
        r.direction = attitude.first;
        r.angle = attitude.second;
        dc.planes << r;
        dc.stability.planes.insert(id++, PlaneStrength{c, phi});
    }
    dc.updateSlopeGeometry();
    dc.updatePlanesGeometry();
    dc.analysisOff = false;
    dc.analyse();
    dc.stability.present = dc.stability.enabled = true;
    dc.stability.height = 20;
}

// The issue's wedge: slope 180∠62, planes 182∠50 and 233∠34, H 20 m.
void issueWedge(DataCenter& dc, double c) {
    makeProject(dc, 62, {{182, 50}, {233, 34}}, c, 30);
}

QString section(DataCenter& project) {
    const QString page = report(project);
    return page.mid(page.indexOf(sectionHead));
}

// The summary table's rows (from the block column on).
QStringList summaryRows(const QString& section) {
    const int start = section.indexOf(QStringLiteral("<table class=\"fs\""));
    const int end = section.indexOf(QStringLiteral("</table>"), start);
    QStringList rows;
    for (const QString& row : section.mid(start, end - start).split(QLatin1Char('\n')))
        if (row.startsWith(QStringLiteral("\t\t<tr><td")))
            rows << row;
    return rows;
}
} // namespace

void TestStabilityReport::sectionOnlyWhenSwitchedOn() {
    DataCenter plain;
    fillFixtureProject(plain);
    const QString before = report(plain);
    // Inputs set once and switched off again: the same page, byte for byte.
    DataCenter project;
    fillFixtureProject(project);
    project.stability.present = true;
    project.stability.height = 55;
    QCOMPARE(report(project), before);
    // Switched on: the section comes after the wedge list and before the
    // footer; taking it out again gives the page without it.
    project.stability.enabled = true;
    const QString after = report(project);
    const int start = after.indexOf(sectionHead);
    const int end = after.indexOf(QStringLiteral("\t\t<hr>\n\t\t<h3>澄岩赤平投影V2.3</h3>\n"));
    QVERIFY(start > 0 && end > start);
    QCOMPARE(after.mid(start - 8, 8), QStringLiteral("\t\t</ul>\n"));
    QCOMPARE(after.left(start) + after.mid(end), before);
    QVERIFY(after.mid(start, end - start).contains(QStringLiteral("边坡高度H：55 m")));
}

void TestStabilityReport::workingOfEveryBody() {
    int bodies = 0;
    for (const QSharedPointer<DataCenter>& project : analysedExamples()) {
        const QString page = report(*project);
        const QString section = page.mid(page.indexOf(sectionHead));
        const StabilityFactors factors = computeStabilityFactors(*project);
        const QString fst = QString::number(factors.required, 'f', 2);
        for (const PlanarFactor& f : factors.planes) {
            const QString text = item(section, QStringLiteral("结构面%1").arg(f.id));
            const QString fs = QString::number(std::floor(f.fs * 1000 + 1e-9) / 1000, 'f', 3);
            QVERIFY2(f.hasBlock
                         ? text.contains(QStringLiteral("深度z=%1 m").arg(f.crackDepth, 0, 'f', 2)) &&
                               text.contains(QStringLiteral("滑体重量W=%1").arg(f.weight, 0, 'f', 2)) &&
                               text.contains(QStringLiteral("稳定状态：%1（Fs=%2")
                                                 .arg(factorStateWord(f.fs, factors.required), fs)) &&
                               text.contains(QStringLiteral("Fst=") + fst)
                         : text.contains(f.reason),
                     qPrintable(text));
            ++bodies;
        }
        for (const WedgeFactor& f : factors.wedges) {
            const QString text = item(section, QStringLiteral("楔形体%1×%2").arg(f.planeA).arg(f.planeB));
            const QString mode = f.mode == WedgeMode::Both ? QStringLiteral("滑动方式：双面滑动")
                                 : f.mode == WedgeMode::NoContact ? QStringLiteral("滑动方式：脱离两滑面")
                                                                  : QStringLiteral("单面滑动");
            QVERIFY2(f.hasBlock
                         ? text.contains(QStringLiteral("NB=%1 kN").arg(f.normalB, 0, 'f', 2)) &&
                               text.contains(QStringLiteral("稳定系数Fs=%1")
                                                 .arg(std::floor(f.fs * 1000 + 1e-9) / 1000, 0, 'f', 3)) &&
                               text.contains(mode)
                         : text.contains(f.reason),
                     qPrintable(text));
            ++bodies;
        }
    }
    QVERIFY(bodies > 10); // the examples hold many calculated planes and wedges
}

void TestStabilityReport::inputsOutOfRangeAreNotCalculated() {
    // The slope made flatter than the upper surface after the inputs were
    // entered: the section states the inputs and calculates nothing.
    for (const QSharedPointer<DataCenter>& project : analysedExamples()) {
        project->stability.upperDip = project->slope.angle;
        const QString page = report(*project);
        QVERIFY(page.contains(QStringLiteral("未计算稳定系数")));
        QVERIFY(!page.contains(QStringLiteral("稳定状态：")));
    }
}

void TestStabilityReport::factorNeverReadsAsMeetingWhatItMisses() {
    // Just below the required 1.30: the figure must not round up to it.
    QCOMPARE(factorText(1.2996), QStringLiteral("Fs=1.29"));
    QCOMPARE(factorStateWord(1.2996, 1.30), QStringLiteral("基本稳定"));
    // A limit but for the last bits of the arithmetic counts as the limit.
    QCOMPARE(factorText(1.3 - 1e-12), QStringLiteral("Fs=1.30"));
    QCOMPARE(factorStateWord(1.3 - 1e-12, 1.30), QStringLiteral("稳定"));
    QCOMPARE(factorStateWord(1.0 - 1e-12, 1.30), QStringLiteral("欠稳定"));
}

void TestStabilityReport::summaryPerBlockAndCase() {
    // The wedge resting on plane 1 alone: 0.48 without cohesion, 2.47 with
    // c = 50 kPa on both planes, in the summary and in the working.
    for (const double c : {0.0, 50.0}) {
        DataCenter dc;
        issueWedge(dc, c);
        dc.stability.cases = defaultLoadCases(dc.stability);
        const StabilityFactors factors = computeStabilityFactors(dc);
        const QString text = section(dc);
        const QStringList rows = summaryRows(text);
        QCOMPARE(rows.size(), factors.planes.size() + factors.wedges.size());
        for (const CaseFactors& k : factors.cases)
            QVERIFY(text.contains(QStringLiteral("<th colspan=\"4\">%1</th>").arg(k.loadCase.name)));
        const QString wedgeRow = rows.filter(QStringLiteral("楔形体1×2")).value(0);
        QVERIFY2(wedgeRow.contains(c == 0 ? QStringLiteral("<td>0.48</td>") : QStringLiteral("<td>2.47</td>")),
                 qPrintable(wedgeRow));
        // Each block with a factor: four cells per case.
        for (const QString& row : rows)
            if (!row.contains(QStringLiteral("colspan")))
                QCOMPARE(row.count(QStringLiteral("<td")), 2 + 4 * factors.cases.size() + 1);
        // Where a case falls short, the force that mends it.
        const WedgeFactor& rain = factors.cases.at(1).wedges.first();
        QVERIFY(rain.anchor.needed);
        if (rain.anchor.reachable)
            QVERIFY(wedgeRow.contains(QStringLiteral("暴雨工况：T=")));
        const QString working = item(text, QStringLiteral("楔形体1×2"));
        QCOMPARE(working.count(QStringLiteral("稳定状态：")), 3);
        QVERIFY(working.contains(c == 0 ? QStringLiteral("稳定系数Fs=0.48") : QStringLiteral("稳定系数Fs=2.47")));
        QVERIFY(working.contains(QStringLiteral("赤平投影判定：")));
    }
}

void TestStabilityReport::picturesOfEveryBlock() {
    // Face 180∠60, plane 180∠25 (kinematically stable: flatter than φ) and
    // two planes making a wedge: one section per plane with a block, one
    // sketch per wedge, after the stereonet.
    DataCenter dc;
    makeProject(dc, 60, {{180, 25}, {182, 50}, {233, 34}}, 20, 30);
    const StabilityFactors factors = computeStabilityFactors(dc);
    int blocks = 0;
    for (const PlanarFactor& f : factors.planes)
        blocks += f.hasBlock;
    for (const WedgeFactor& f : factors.wedges)
        blocks += f.hasBlock;
    QVERIFY(blocks >= 2);
    const QString page = report(dc);
    QCOMPARE(page.count(QStringLiteral("data:image/png;base64,")), 1 + blocks);
    const QString plane = item(section(dc), QStringLiteral("结构面1"));
    QVERIFY(plane.contains(QStringLiteral("赤平投影判定：稳定")));
    QVERIFY(plane.contains(QStringLiteral("<img ")));
}

void TestStabilityReport::requiredFactorsSayWhereTheyCameFrom() {
    DataCenter dc;
    issueWedge(dc, 50);
    StabilityParams& p = dc.stability;
    p.permanent = false;
    p.cases = defaultLoadCases(p);
    p.cases[1].requiredTyped = 1.4;
    const QString text = section(dc);
    QVERIFY(text.contains(QStringLiteral("<td>1.20</td><td>表5.3.2（一般工况）</td>")));
    QVERIFY(text.contains(QStringLiteral("<td>1.40</td><td>设计人员输入（表5.3.2一般工况为1.20）</td>")));
    // The temporary slope's seismic case has no table value: said, and no
    // verdict beyond what Table 5.3.1 alone decides.
    QVERIFY(text.contains(QStringLiteral("表5.3.2未规定临时边坡地震工况的Fst，未作判定")));
    QVERIFY(text.contains(QStringLiteral("临时边坡地震工况GB 50330-2013 表5.3.2未规定Fst，未作判定")));
    QVERIFY(!text.contains(QStringLiteral("nan")));
    const QString conclusion = stabilityConclusion(dc);
    QVERIFY(conclusion.contains(QStringLiteral("地震工况未规定")));
    QVERIFY(conclusion.contains(QStringLiteral("暴雨工况1.40")));
}

void TestStabilityReport::wedgeWaterPressureUsesTheWedgeHeight() {
    // With an inclined upper surface the wedge's height h differs from H:
    // the printed peak pressure is γw·h/2 with the h used.
    DataCenter dc;
    issueWedge(dc, 50);
    dc.stability.upperDip = 10;
    dc.stability.wedgeSaturated = true;
    const StabilityFactors factors = computeStabilityFactors(dc);
    const WedgeFactor& f = factors.wedges.first();
    QVERIFY(f.hasBlock && std::abs(f.wedgeHeight - 20) > 0.5);
    QCOMPARE(f.peakWaterPressure, dc.stability.waterWeight * f.wedgeHeight / 2);
    QVERIFY(item(section(dc), QStringLiteral("楔形体1×2"))
                .contains(QStringLiteral("γw·h/2=%1 kPa（h=%2 m）")
                              .arg(f.peakWaterPressure, 0, 'f', 2)
                              .arg(f.wedgeHeight, 0, 'f', 2)));
}

void TestStabilityReport::defaultStrengthsAreMarked() {
    DataCenter dc;
    issueWedge(dc, 50);
    dc.stability.planes.remove(2);                                   // never entered
    dc.stability.planes.insert(1, PlaneStrength{0, dc.FrictionAnglePlanar}); // an earlier file's untouched row
    QVERIFY(section(dc).contains(QStringLiteral("结构面2(节理)</td><td>0</td><td>30</td><td><b>默认值</b>")));
    QVERIFY(section(dc).contains(QStringLiteral("结构面1(节理)</td><td>0</td><td>30</td><td><b>默认值</b>")));
    dc.stability.planes.insert(1, PlaneStrength{0, 31});
    QVERIFY(section(dc).contains(QStringLiteral("结构面1(节理)</td><td>0</td><td>31</td><td>输入值")));
}

void TestStabilityReport::boundedCrackSearchIsSaid() {
    // An upper surface steeper than the plane: the plane never reaches it,
    // the search stops at an assumed 10·H, and the report says so; with the
    // upper slope's length given, the bench bounds the block instead.
    DataCenter dc;
    makeProject(dc, 60, {{180, 20}}, 20, 15);
    dc.stability.upperDip = 25;
    const QString assumed = QStringLiteral("10倍坡高");
    QVERIFY(item(section(dc), QStringLiteral("结构面1")).contains(assumed));
    dc.stability.upperLength = 30;
    const QString bounded = item(section(dc), QStringLiteral("结构面1"));
    QVERIFY(!bounded.contains(assumed));
    QVERIFY(bounded.contains(QStringLiteral("张裂隙临界位置搜索范围")));
    QVERIFY(section(dc).contains(QStringLiteral("坡顶面长度L：30 m")));
}

QTEST_MAIN(TestStabilityReport)
#include "test_stabilityreport.moc"
