// Critical percentages: every count is the project's own verdict of a plane or
// wedge of that attitude, in total, per set and for each choice of pairs.
#include "model/datacenter.h"
#include "model/fielddata/criticalcounts.h"
#include "tests/common/testplanes.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

namespace {
// Attitudes as field books hold them: whole degrees half of the time (so
// that many planes sit exactly on a criterion, are parallel, share a dip
// direction or stand vertical), arbitrary otherwise.
void randomAttitude(QRandomGenerator& rng, double& direction, double& angle) {
    if (rng.bounded(2)) {
        direction = rng.bounded(360);
        angle = rng.bounded(91);
    } else {
        direction = 360 * rng.generateDouble();
        angle = 90 * rng.generateDouble();
    }
}

struct Case {
    const char* name;
    SlopeCriteria criteria;
};

QVector<Case> cases() {
    QVector<Case> list;
    auto make = [](double direction, double angle, double beta, double phi, bool topple, double phiT) {
        SlopeCriteria c;
        c.direction = direction;
        c.angle = angle;
        c.includedAngle = beta;
        c.frictionAngle = phi;
        c.topple = topple;
        c.frictionAngleTopple = phiT;
        return c;
    };
    list.append({"road cut 135∠65", make(135, 65, 30, 27, true, 30)});
    list.append({"north 0∠60", make(0, 60, 20, 30, false, 30)});
    list.append({"criteria off 300∠50", make(300, 50, 90, 0, true, 0)});
    list.append({"steep 45∠90", make(45, 90, 30, 35, true, 25)});
    list.append({"gentle 210∠20", make(210, 20, 30, 20, false, 30)});
    return list;
}

void configure(DataCenter& dc, const SlopeCriteria& c) {
    dc.slope.direction = c.direction;
    dc.slope.angle = c.angle;
    dc.IncludedAnglePlanar = c.includedAngle;
    dc.FrictionAnglePlanar = c.frictionAngle;
    dc.Topple = c.topple;
    dc.FrictionAngleTopple = c.frictionAngleTopple;
    dc.analysisOff = false;
}
} // namespace

class TestCriticalCounts : public QObject {
    Q_OBJECT
private slots:
    void planarAndToppleAreTheVerdicts();
    void wedgesAreTheVerdicts();
    void setPlanesAreTheProjectWedges();
    void setsVsAllAndScopes();
    void weightsAreQuantities();
    void threadsDoNotChangeCounts();
    void names();
};

void TestCriticalCounts::planarAndToppleAreTheVerdicts() {
    // One set per measurement, so the per-set counts are the measurement's
    // own verdict; the project's judgement of the same planes is the oracle.
    QRandomGenerator rng(231);
    for (const Case& c : cases()) {
        const int n = 3000;
        CriticalInput input;
        DataCenter dc;
        configure(dc, c.criteria);
        for (int i = 0; i < n; ++i) {
            double direction, angle;
            randomAttitude(rng, direction, angle);
            input.direction.append(direction);
            input.angle.append(angle);
            input.set.append(i);
            dc.planes.append(makePlane(i + 1, direction, angle));
        }
        input.setCount = n;
        input.pairs = WedgePairs::Sets; // no set planes: no wedges to count here
        dc.computeApparentDips();
        dc.judgeStability();
        const CriticalCounts counts = criticalCounts(input, c.criteria, 1);
        QCOMPARE(counts.toppleJudged, c.criteria.topple);
        int planar = 0, topple = 0;
        for (int i = 0; i < n; ++i) {
            const int state = dc.planes.at(i).state;
            const bool unstable = state >= 31 && state <= 34;
            QVERIFY2(counts.planar[i].count == (unstable ? 1 : 0) && counts.planar[i].total == 1,
                     qPrintable(QString("%1: %2∠%3 state %4")
                                    .arg(c.name)
                                    .arg(input.direction[i])
                                    .arg(input.angle[i])
                                    .arg(state)));
            QVERIFY2(counts.toppling[i].count == (state == 40 ? 1 : 0),
                     qPrintable(QString("%1: %2∠%3 state %4")
                                    .arg(c.name)
                                    .arg(input.direction[i])
                                    .arg(input.angle[i])
                                    .arg(state)));
            planar += unstable;
            topple += state == 40;
        }
        QCOMPARE(counts.planar[n].count, qint64(planar));
        QCOMPARE(counts.planar[n].total, qint64(n));
        QCOMPARE(counts.toppling[n].count, qint64(topple));
        if (c.criteria.angle > c.criteria.frictionAngle + 5)
            QVERIFY2(planar > 0, c.name);
        if (c.criteria.topple && c.criteria.angle > 30)
            QVERIFY(topple > 0);
    }
}

void TestCriticalCounts::wedgesAreTheVerdicts() {
    // Pairs of random planes: counted as a line and as critical exactly when
    // the project forms a wedge of the two planes and judges it unstable.
    QRandomGenerator rng(4711);
    for (const Case& c : cases()) {
        int lines = 0, critical = 0;
        for (int trial = 0; trial < 4000; ++trial) {
            CriticalInput input;
            DataCenter dc;
            configure(dc, c.criteria);
            for (int k = 0; k < 2; ++k) {
                double direction, angle;
                randomAttitude(rng, direction, angle);
                // Now and then the second plane a hair from the first.
                if (k == 1 && trial % 10 == 0) {
                    direction = input.direction[0] + (rng.bounded(3) - 1) * 1e-6;
                    angle = std::min(90.0, input.angle[0] + rng.bounded(2) * 1e-4);
                }
                input.direction.append(direction);
                input.angle.append(angle);
                dc.planes.append(makePlane(k + 1, direction, angle));
            }
            dc.analyse();
            const CriticalCounts counts = criticalCounts(input, c.criteria, 1);
            const QString where = QString("%1: %2∠%3 × %4∠%5")
                                      .arg(c.name)
                                      .arg(input.direction[0], 0, 'g', 17)
                                      .arg(input.angle[0], 0, 'g', 17)
                                      .arg(input.direction[1], 0, 'g', 17)
                                      .arg(input.angle[1], 0, 'g', 17);
            QVERIFY2(counts.wedge[0].total == dc.wedges.size(), qPrintable(where));
            if (!dc.wedges.isEmpty()) {
                const bool unstable = dc.wedges.first().state > 30;
                QVERIFY2(counts.wedge[0].count == (unstable ? 1 : 0), qPrintable(where));
                ++lines;
                critical += unstable;
            }
        }
        QVERIFY(lines > 3000);
        if (c.criteria.angle > 30)
            QVERIFY(critical > 50);
    }
}

void TestCriticalCounts::setPlanesAreTheProjectWedges() {
    // "sets": the set planes' wedges as the project judges them when the
    // set planes are its structural planes.
    QRandomGenerator rng(99);
    for (const Case& c : cases()) {
        for (int trial = 0; trial < 50; ++trial) {
            CriticalInput input;
            input.pairs = WedgePairs::Sets;
            input.setCount = 2 + rng.bounded(7);
            DataCenter dc;
            configure(dc, c.criteria);
            for (int s = 0; s < input.setCount; ++s) {
                double direction, angle;
                randomAttitude(rng, direction, angle);
                input.setDirection.append(direction);
                input.setAngle.append(angle);
                dc.planes.append(makePlane(s + 1, direction, angle));
            }
            dc.analyse();
            const CriticalCounts counts = criticalCounts(input, c.criteria, 1);
            int unstable = 0;
            QVector<int> perSet(input.setCount), perSetUnstable(input.setCount);
            for (const PlaneRecord& w : dc.wedges) {
                const int a = w.id / 100 - 1, b = w.id % 100 - 1;
                perSet[a] += 1;
                perSet[b] += 1;
                if (w.state > 30) {
                    ++unstable;
                    perSetUnstable[a] += 1;
                    perSetUnstable[b] += 1;
                }
            }
            QCOMPARE(counts.wedge[input.setCount].total, qint64(dc.wedges.size()));
            QCOMPARE(counts.wedge[input.setCount].count, qint64(unstable));
            for (int s = 0; s < input.setCount; ++s) {
                QCOMPARE(counts.wedge[s].total, qint64(perSet[s]));
                QCOMPARE(counts.wedge[s].count, qint64(perSetUnstable[s]));
            }
        }
    }
}

void TestCriticalCounts::setsVsAllAndScopes() {
    QRandomGenerator rng(5);
    const SlopeCriteria criteria = cases().first().criteria;
    const int n = 400;
    CriticalInput input;
    input.setCount = 3;
    for (int i = 0; i < n; ++i) {
        double direction, angle;
        randomAttitude(rng, direction, angle);
        input.direction.append(direction);
        input.angle.append(angle);
        input.set.append(int(rng.bounded(5)) - 1); // -1: in no set
    }
    input.setDirection = {130, 200, 60};
    input.setAngle = {40, 70, 55};

    // setsVsAll: each set plane against every measurement, one by one.
    input.pairs = WedgePairs::SetsVsAll;
    const CriticalCounts vsAll = criticalCounts(input, criteria, 1);
    qint64 total = 0, count = 0;
    for (int s = 0; s < 3; ++s) {
        qint64 t = 0, k = 0;
        for (int i = 0; i < n; ++i) {
            bool critical = false;
            if (judgeIntersection(criteria, planeNormal(input.setDirection[s], input.setAngle[s]),
                                  planeNormal(input.direction[i], input.angle[i]), critical)) {
                ++t;
                k += critical;
            }
        }
        QCOMPARE(vsAll.wedge[s].total, t);
        QCOMPARE(vsAll.wedge[s].count, k);
        total += t;
        count += k;
    }
    QCOMPARE(vsAll.wedge[3].total, total);
    QCOMPARE(vsAll.wedge[3].count, count);

    // all: a set's lines are those with at least one of its planes.
    input.pairs = WedgePairs::All;
    const CriticalCounts all = criticalCounts(input, criteria, 1);
    QVector<qint64> t(4), k(4);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            bool critical = false;
            if (!judgeIntersection(criteria, planeNormal(input.direction[i], input.angle[i]),
                                   planeNormal(input.direction[j], input.angle[j]), critical))
                continue;
            for (int s = 0; s < 3; ++s)
                if (input.set[i] == s || input.set[j] == s) {
                    ++t[s];
                    k[s] += critical;
                }
            ++t[3];
            k[3] += critical;
        }
    for (int s = 0; s <= 3; ++s) {
        QCOMPARE(all.wedge[s].total, t[s]);
        QCOMPARE(all.wedge[s].count, k[s]);
    }
    // Planar and toppling per set are the set's own measurements.
    for (int s = 0; s < 3; ++s)
        QCOMPARE(all.planar[s].total, qint64(std::count(input.set.cbegin(), input.set.cend(), s)));
    QCOMPARE(all.planar[3].total, qint64(n));
    QVERIFY(all.planar[3].percent() > 0 && all.planar[3].percent() < 100);
}

void TestCriticalCounts::weightsAreQuantities() {
    // A measurement of weight w counts as w equal measurements: for planes
    // and, since two equal planes form no line, for the lines as well.
    QRandomGenerator rng(77);
    const SlopeCriteria criteria = cases().first().criteria;
    CriticalInput weighted, repeated;
    weighted.setCount = repeated.setCount = 2;
    for (int i = 0; i < 300; ++i) {
        double direction, angle;
        randomAttitude(rng, direction, angle);
        const int w = 1 + rng.bounded(3);
        const int s = int(rng.bounded(3)) - 1;
        weighted.direction.append(direction);
        weighted.angle.append(angle);
        weighted.weight.append(w);
        weighted.set.append(s);
        for (int k = 0; k < w; ++k) {
            repeated.direction.append(direction);
            repeated.angle.append(angle);
            repeated.set.append(s);
        }
    }
    const CriticalCounts a = criticalCounts(weighted, criteria, 2);
    const CriticalCounts b = criticalCounts(repeated, criteria, 2);
    for (int s = 0; s <= 2; ++s) {
        QCOMPARE(a.planar[s].weighted, double(b.planar[s].count));
        QCOMPARE(a.planar[s].weightedTotal, double(b.planar[s].total));
        QCOMPARE(a.toppling[s].weighted, double(b.toppling[s].count));
        QCOMPARE(a.wedge[s].weighted, double(b.wedge[s].count));
        QCOMPARE(a.wedge[s].weightedTotal, double(b.wedge[s].total));
        QCOMPARE(b.wedge[s].weightedPercent(), b.wedge[s].percent());
    }
}

void TestCriticalCounts::threadsDoNotChangeCounts() {
    QRandomGenerator rng(8);
    CriticalInput input;
    input.setCount = 4;
    for (int i = 0; i < 2500; ++i) {
        double direction, angle;
        randomAttitude(rng, direction, angle);
        input.direction.append(direction);
        input.angle.append(angle);
        input.weight.append(0.5 + rng.generateDouble());
        input.set.append(int(rng.bounded(5)) - 1);
    }
    const SlopeCriteria criteria = cases().first().criteria;
    const CriticalCounts one = criticalCounts(input, criteria, 1);
    for (int threads : {2, 3, 7}) {
        const CriticalCounts more = criticalCounts(input, criteria, threads);
        for (int s = 0; s <= 4; ++s) {
            QCOMPARE(more.wedge[s].count, one.wedge[s].count);
            QCOMPARE(more.wedge[s].total, one.wedge[s].total);
            QVERIFY(qAbs(more.wedge[s].weighted - one.wedge[s].weighted) < 1e-9 * one.wedge[s].weightedTotal);
        }
    }
}

void TestCriticalCounts::names() {
    for (WedgePairs p : {WedgePairs::All, WedgePairs::Sets, WedgePairs::SetsVsAll}) {
        WedgePairs back = WedgePairs::All;
        QVERIFY(wedgePairsFromName(wedgePairsName(p), back));
        QCOMPARE(int(back), int(p));
    }
    WedgePairs unchanged = WedgePairs::Sets;
    QVERIFY(!wedgePairsFromName(QStringLiteral("All"), unchanged));
    QCOMPARE(int(unchanged), int(WedgePairs::Sets));
}

QTEST_APPLESS_MAIN(TestCriticalCounts)
#include "test_criticalcounts.moc"
