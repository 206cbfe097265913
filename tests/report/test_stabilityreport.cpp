#include "model/datacenter.h"
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

QTEST_MAIN(TestStabilityReport)
#include "test_stabilityreport.moc"
