// Wedges and factors are found through the positions of their planes, never
// through ids: ids of 100 and more, repeated ids and ids at the ends of the
// integer range all keep each block with its own planes and its own factor.
#include "model/datacenter.h"
#include "model/factors/stabilityfactors.h"
#include "model/factors/stabilityreport.h"
#include "model/labels.h"
#include "tests/common/testplanes.h"

#include <QTextStream>
#include <QtTest>

#include <climits>

class TestWedgeIdentity : public QObject {
    Q_OBJECT
private slots:
    void wedgesKeepTheirPlanes();
    void factorsOfRepeatedIds();
    void idsAtTheEndsOfTheRange();
};

namespace {
// Slope 180∠70 with the given planes, analysed, the calculation on.
void analysed(DataCenter& dc, const QList<PlaneRecord>& planes) {
    dc.slope = makePlane(0, 180, 70, SlopeFace);
    dc.planes = planes;
    dc.stability.present = dc.stability.enabled = true;
    dc.updateSlopeGeometry();
    dc.updatePlanesGeometry();
    dc.analysisOff = false;
    dc.analyse();
}

// The factor the wedge of planes a and b gets in a project of those two alone.
WedgeFactor alone(const PlaneRecord& a, const PlaneRecord& b) {
    DataCenter dc;
    analysed(dc, {a, b});
    const StabilityFactors f = computeStabilityFactors(dc);
    return f.wedges.isEmpty() ? WedgeFactor() : f.wedges.first();
}

PlanarFactor alone(const PlaneRecord& plane) {
    DataCenter dc;
    analysed(dc, {plane});
    const StabilityFactors f = computeStabilityFactors(dc);
    return f.planes.isEmpty() ? PlanarFactor() : f.planes.first();
}

QString report(const DataCenter& dc) {
    QString text;
    QTextStream out(&text);
    writeStabilitySection(out, dc);
    out.flush();
    return text;
}
} // namespace

void TestWedgeIdentity::wedgesKeepTheirPlanes() {
    // 100*1+150 = 100*2+50: the wedges 1×150 and 2×50 share the old key.
    DataCenter dc;
    analysed(dc,
             {makePlane(1, 140, 50), makePlane(150, 220, 50), makePlane(2, 150, 45), makePlane(50, 215, 60)});
    const StabilityFactors factors = computeStabilityFactors(dc);
    QVERIFY(factors.wedges.size() >= 2);
    int checked = 0;
    for (const WedgeFactor& f : factors.wedges) {
        QVERIFY(f.index >= 0 && f.index < dc.wedges.size());
        const PlaneRecord& w = dc.wedges.at(f.index);
        QCOMPARE(f.indexA, w.planeA);
        QCOMPARE(f.indexB, w.planeB);
        const PlaneRecord& a = dc.planes.at(w.planeA);
        const PlaneRecord& b = dc.planes.at(w.planeB);
        QCOMPARE(f.planeA, a.id);
        QCOMPARE(f.planeB, b.id);
        QCOMPARE(Labels::wedgePair(w), QStringLiteral("%1×%2").arg(a.id).arg(b.id));
        const WedgeFactor own = alone(a, b);
        QCOMPARE(f.hasBlock, own.hasBlock);
        QCOMPARE(f.fs, own.fs);
        if ((a.id == 1 && b.id == 150) || (a.id == 2 && b.id == 50))
            ++checked;
    }
    QCOMPARE(checked, 2);
    // The two wedges differ, so a shared key would have given one the other's factor.
    const WedgeFactor w1 = alone(dc.planes.at(0), dc.planes.at(1)),
                      w2 = alone(dc.planes.at(2), dc.planes.at(3));
    QVERIFY(w1.hasBlock && w2.hasBlock && std::abs(w1.fs - w2.fs) > 0.01);

    // The report names each with its own planes and its own line of intersection.
    const QString text = report(dc);
    for (const PlaneRecord& w : dc.wedges) {
        if (w.idA == 1 && w.idB == 150) {
            const QString title = QStringLiteral("楔形体1×150（交线%1°∠%2°）")
                                      .arg(Labels::removeZeroDecimals(QString::number(w.direction, 'f', 1)),
                                           Labels::removeZeroDecimals(QString::number(w.angle, 'f', 1)));
            QCOMPARE(text.count(title), 1);
        }
    }
    QVERIFY(!text.contains(
        QStringLiteral("楔形体2×50（交线%1")
            .arg(Labels::removeZeroDecimals(QString::number(dc.wedges.at(0).direction, 'f', 1)))));
}

void TestWedgeIdentity::factorsOfRepeatedIds() {
    // Three planes numbered 1: each gets its own factor.
    DataCenter dc;
    analysed(dc, {makePlane(1, 180, 35), makePlane(1, 180, 45), makePlane(1, 170, 55)});
    const StabilityFactors factors = computeStabilityFactors(dc);
    QCOMPARE(factors.planes.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(factors.planes.at(i).index, i);
        const PlanarFactor own = alone(dc.planes.at(i));
        QVERIFY(own.hasBlock);
        QCOMPARE(factors.planes.at(i).fs, own.fs);
    }
    QVERIFY(factors.planes.at(0).fs != factors.planes.at(2).fs);
    // Their wedges are found by position too.
    for (const WedgeFactor& f : factors.wedges) {
        const PlaneRecord& w = dc.wedges.at(f.index);
        QCOMPARE(f.fs, alone(dc.planes.at(w.planeA), dc.planes.at(w.planeB)).fs);
    }
}

void TestWedgeIdentity::idsAtTheEndsOfTheRange() {
    // 100*a+b of these overflows 32 bits; the number is kept in 64.
    DataCenter dc;
    analysed(dc, {makePlane(INT_MAX, 140, 50), makePlane(INT_MIN, 220, 50), makePlane(-7, 150, 45)});
    QCOMPARE(dc.wedges.size(), 3);
    const PlaneRecord& w = dc.wedges.at(0);
    QCOMPARE(Labels::wedgePair(w), QStringLiteral("%1×%2").arg(INT_MAX).arg(INT_MIN));
    QCOMPARE(wedgeNumber(w.idA, w.idB), 100 * qint64(INT_MAX) + qint64(INT_MIN));
    QCOMPARE(w.id, -1); // beyond int: never a key, only shown where it fits
    QCOMPARE(Labels::wedgePair(dc.wedges.at(2)), QStringLiteral("%1×-7").arg(INT_MIN));
    const StabilityFactors factors = computeStabilityFactors(dc);
    QVERIFY(!factors.wedges.isEmpty());
    for (const WedgeFactor& f : factors.wedges)
        QCOMPARE(f.fs, alone(dc.planes.at(f.indexA), dc.planes.at(f.indexB)).fs);
}

QTEST_GUILESS_MAIN(TestWedgeIdentity)
#include "test_wedgeidentity.moc"
