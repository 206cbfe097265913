#include "model/datacenter.h"
#include "model/stabilityfactors.h"
#include "reportfixture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QtTest>

// The 稳定性计算 section of the calculation report.
class TestStabilityReport : public QObject {
    Q_OBJECT
private slots:
    void switchedOffReportIsUnchanged();
    void sectionSitsBeforeTheFooter();
    void workingOfEveryBody();
    void requiredFactorAndLoadCase();
    void inputsOutOfRangeAreNotCalculated();
};

namespace {
QString report(DataCenter& project) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly | QIODevice::Text);
    project.writeReport(&buffer, blockPicture(40, 30, Qt::red));
    return QString::fromUtf8(bytes);
}

// Every shipped example, analysed.
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
        project->analysisTime = QStringLiteral("2026-12-08 10:00:00");
        project->stability.height = 20;
        project->stability.planes.insert(1, PlaneStrength{10, 30});
        out << project;
    }
    return out;
}

const QString footer = QStringLiteral("\t\t<hr>\n\t\t<h3>澄岩赤平投影V2.3</h3>\n");
const QString sectionHead = QStringLiteral("\t\t<hr>\n\t\t<h3>稳定性计算：</h3>\n");

QString fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}
} // namespace

void TestStabilityReport::switchedOffReportIsUnchanged() {
    // Inputs that were set once and the switch turned off again: the page is
    // the same, byte for byte, as for a project that never had them.
    DataCenter plain;
    fillFixtureProject(plain);
    DataCenter off;
    fillFixtureProject(off);
    off.stability.present = true;
    off.stability.height = 55;
    off.stability.seismic = 0.1;
    QCOMPARE(report(off), report(plain));
    QVERIFY(!report(off).contains(QStringLiteral("稳定性计算")));
}

void TestStabilityReport::sectionSitsBeforeTheFooter() {
    DataCenter project;
    fillFixtureProject(project);
    const QString before = report(project);
    project.stability.present = project.stability.enabled = true;
    const QString after = report(project);
    // Taking the section out gives the page without it: every other line
    // stays where it was, and the footer still closes the paper.
    const int start = after.indexOf(sectionHead);
    const int end = after.indexOf(footer);
    QVERIFY(start > 0 && end > start);
    QVERIFY(after.lastIndexOf(QStringLiteral("\t\t</ul>\n"), start) == start - 8);
    QCOMPARE(after.left(start) + after.mid(end), before);
}

void TestStabilityReport::workingOfEveryBody() {
    int planes = 0, wedges = 0;
    for (const QSharedPointer<DataCenter>& project : analysedExamples()) {
        project->stability.enabled = true;
        const QString page = report(*project);
        const StabilityFactors factors = computeStabilityFactors(*project);
        const QString section = page.mid(page.indexOf(sectionHead));
        QVERIFY(section.contains(QStringLiteral("边坡高度H：20 m")));
        QVERIFY(section.contains(QStringLiteral("<tr><td>结构面1")));
        for (const PlanarFactor& f : factors.planes) {
            ++planes;
            const QString head = QStringLiteral("\t\t<li>结构面%1").arg(f.id);
            const int at = section.indexOf(head);
            QVERIFY2(at >= 0, qPrintable(head));
            const QString item = section.mid(at, section.indexOf(QStringLiteral("</li>"), at) - at);
            if (!f.hasBlock) {
                QVERIFY(item.contains(f.reason));
                continue;
            }
            for (const QString& part : {QStringLiteral("深度z=%1 m").arg(fixed(f.crackDepth, 2)),
                                        QStringLiteral("滑面长度A=%1 m").arg(fixed(f.length, 2)),
                                        QStringLiteral("滑体重量W=%1 kN/m").arg(fixed(f.weight, 2)),
                                        QStringLiteral("滑面水压力U=%1").arg(fixed(f.uplift, 2)),
                                        QStringLiteral("裂隙水压力V=%1").arg(fixed(f.crackForce, 2)),
                                        QStringLiteral("=%1 <br>").arg(fixed(f.fs, 3)),
                                        QStringLiteral("稳定状态：%1（Fs=%2")
                                            .arg(factorStateWord(f.fs, factors.required), fixed(f.fs, 3))})
                QVERIFY2(item.contains(part), qPrintable(part + QStringLiteral(" in ") + item));
        }
        for (const WedgeFactor& f : factors.wedges) {
            ++wedges;
            const QString head = QStringLiteral("\t\t<li>楔形体%1×%2").arg(f.planeA).arg(f.planeB);
            const int at = section.indexOf(head);
            QVERIFY2(at >= 0, qPrintable(head));
            const QString item = section.mid(at, section.indexOf(QStringLiteral("</li>"), at) - at);
            if (!f.hasBlock) {
                QVERIFY(item.contains(f.reason));
                continue;
            }
            for (const QString& part : {QStringLiteral("体积=%1 m³").arg(fixed(f.volume, 2)),
                                        QStringLiteral("重量W=%1 kN").arg(fixed(f.weight, 2)),
                                        QStringLiteral("NA=%1 kN").arg(fixed(f.normalA, 2)),
                                        QStringLiteral("NB=%1 kN").arg(fixed(f.normalB, 2)),
                                        QStringLiteral("稳定系数Fs=%1").arg(fixed(f.fs, 3))})
                QVERIFY2(item.contains(part), qPrintable(part + QStringLiteral(" in ") + item));
            QVERIFY(item.contains(f.mode == WedgeMode::Both        ? QStringLiteral("双面滑动")
                                  : f.mode == WedgeMode::NoContact ? QStringLiteral("脱离两滑面")
                                                                   : QStringLiteral("单面滑动")));
        }
    }
    // The examples hold calculated planes and wedges, or this test shows nothing.
    QVERIFY(planes > 0);
    QVERIFY(wedges > 0);
}

void TestStabilityReport::requiredFactorAndLoadCase() {
    // GB 50330-2013 Table 5.3.2.
    struct Case {
        int safetyClass;
        bool permanent;
        double seismic;
        const char* expected;
    };
    const Case cases[] = {{2, true, 0, "二级；永久边坡；一般工况；稳定安全系数Fst=1.30"},
                          {1, true, 0.05, "一级；永久边坡；地震工况；稳定安全系数Fst=1.15"},
                          {3, false, 0, "三级；临时边坡；一般工况；稳定安全系数Fst=1.15"}};
    for (const Case& c : cases) {
        DataCenter project;
        fillFixtureProject(project);
        project.stability.enabled = true;
        project.stability.safetyClass = c.safetyClass;
        project.stability.permanent = c.permanent;
        project.stability.seismic = c.seismic;
        QVERIFY2(report(project).contains(QString::fromUtf8(c.expected)), c.expected);
    }
}

void TestStabilityReport::inputsOutOfRangeAreNotCalculated() {
    // The slope was made flatter than the upper surface after the inputs
    // were entered: the section states the inputs and calculates nothing.
    for (const QSharedPointer<DataCenter>& project : analysedExamples()) {
        project->stability.enabled = true;
        project->stability.upperDip = project->slope.angle;
        const QString page = report(*project);
        QVERIFY(page.contains(QStringLiteral("未计算稳定系数")));
        QVERIFY(!page.contains(QStringLiteral("稳定系数Fs=")));
        QVERIFY(!page.contains(QStringLiteral("稳定状态：")));
    }
}

QTEST_MAIN(TestStabilityReport)
#include "test_stabilityreport.moc"
