// The shared label and name texts, and the state messages with their values.
#include "tests/common/testplanes.h"
#include "model/datacenter.h"
#include "model/labels.h"

#include <QtTest>

namespace {
} // namespace

class TestLabels : public QObject {
    Q_OBJECT
private slots:
    void numbersLoseZeroDecimals();
    void kindsAndNames();
    void planeLabels_data();
    void planeLabels();
    void slopeAndWedgeLabels();
    void stateWordsAndMessages();
};

void TestLabels::numbersLoseZeroDecimals() {
    QCOMPARE(Labels::angleText(45), QStringLiteral("45.0"));
    QCOMPARE(Labels::angleText(123.44), QStringLiteral("123.4"));
    QCOMPARE(Labels::angleText(0.06), QStringLiteral("0.1"));
    QCOMPARE(Labels::attitudeText(120, 45), QStringLiteral("120°∠45°"));
    QCOMPARE(Labels::attitudeText(100.5, 0), QStringLiteral("100.5°∠0°"));
    QCOMPARE(Labels::attitudeText(359.96, 89.99), QStringLiteral("360°∠90°"));
    // Every ".0", wherever it stands.
    QCOMPARE(Labels::removeZeroDecimals(QStringLiteral("F2.05:10.0°∠.0")), QStringLiteral("F25:10°∠"));
}

void TestLabels::kindsAndNames() {
    QCOMPARE(Labels::kindWord(Joint), QStringLiteral("节理"));
    QCOMPARE(Labels::kindWord(Bedding), QStringLiteral("层理"));
    QCOMPARE(Labels::kindWord(Fault), QStringLiteral("断层"));
    QCOMPARE(Labels::kindWord(SlopeFace), QStringLiteral("节理"));
    QCOMPARE(Labels::kindWord(0), QStringLiteral("节理"));

    QCOMPARE(Labels::kindText(makePlane(1, 0, 0, Fault)), QStringLiteral("(断层)"));
    QCOMPARE(Labels::kindText(makePlane(1, 0, 0, 7)), QStringLiteral("(节理)"));
    QCOMPARE(Labels::kindText(makePlane(1, 0, 0, Fault, QStringLiteral("F1"))), QStringLiteral("(F1)"));

    QCOMPARE(Labels::planeName(makePlane(1, 0, 0, Joint)), QStringLiteral("节理1、"));
    QCOMPARE(Labels::planeName(makePlane(3, 0, 0, Bedding)), QStringLiteral("层理3、"));
    QCOMPARE(Labels::planeName(makePlane(2, 0, 0, Fault)), QStringLiteral("断层2、"));
    QCOMPARE(Labels::planeName(makePlane(6, 0, 0, -3)), QStringLiteral("节理6、"));
    QCOMPARE(Labels::planeName(makePlane(4, 0, 0, Fault, QStringLiteral("F"))), QStringLiteral("F4、"));
    // Notes are text, not a format: "%2" must not swallow the number.
    QCOMPARE(Labels::planeName(makePlane(4, 0, 0, Joint, QStringLiteral("%2"))), QStringLiteral("%24、"));

    PlaneRecord w;
    w.id = 103;
    QCOMPARE(Labels::wedgeName(w), QStringLiteral("1×3、"));
    w.id = 708;
    QCOMPARE(Labels::wedgePair(w), QStringLiteral("7×8"));
    // A wedge of the analysis: its planes' own numbers, never those 100*a+b
    // decodes to (ids of 100 and more).
    w.planeA = 0;
    w.planeB = 1;
    w.idA = 1;
    w.idB = 150;
    w.id = 250;
    QCOMPARE(Labels::wedgePair(w), QStringLiteral("1×150"));
    QCOMPARE(Labels::wedgeName(w), QStringLiteral("1×150、"));
}

void TestLabels::planeLabels_data() {
    QTest::addColumn<int>("mark");
    QTest::addColumn<bool>("bigCircle");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("notes");
    QTest::addColumn<double>("direction");
    QTest::addColumn<QString>("label");
    const QString none;
    QTest::newRow("mode 0") << 0 << true << 2 << none << 300.0 << QString();
    QTest::newRow("mode 0 poles") << 0 << false << 2 << none << 300.0 << QString();
    QTest::newRow("mode 1") << 1 << true << 4 << none << 300.0 << QStringLiteral("2");
    QTest::newRow("mode 1 poles") << 1 << false << 4 << none << 300.0 << QStringLiteral("2");
    QTest::newRow("fault, mode 2") << 2 << true << 4 << none << 300.0 << QStringLiteral("2(断层):300°∠45°");
    QTest::newRow("mode 3 same as 2")
        << 3 << true << 4 << none << 300.0 << QStringLiteral("2(断层):300°∠45°");
    QTest::newRow("mode 2 poles") << 2 << false << 4 << none << 300.0 << QString();
    QTest::newRow("mode 3 poles") << 3 << false << 4 << QStringLiteral("x") << 300.0
                                  << QStringLiteral("2:300°∠45°");
    QTest::newRow("notes") << 2 << true << 3 << QStringLiteral("f1") << 120.0
                           << QStringLiteral("2(f1):120°∠45°");
    QTest::newRow("half degree") << 2 << true << 2 << none << 100.5 << QStringLiteral("2(节理):100.5°∠45°");
    QTest::newRow("notes lose .0") << 3 << true << 3 << QStringLiteral("F2.05") << 100.0
                                   << QStringLiteral("2(F25):100°∠45°");
    QTest::newRow("unknown mode") << 4 << true << 2 << none << 100.0 << QString();
}

void TestLabels::planeLabels() {
    QFETCH(int, mark);
    QFETCH(bool, bigCircle);
    QFETCH(int, type);
    QFETCH(QString, notes);
    QFETCH(double, direction);
    QFETCH(QString, label);
    QCOMPARE(Labels::planeLabel(makePlane(2, direction, 45, type, notes), mark, bigCircle), label);
}

void TestLabels::slopeAndWedgeLabels() {
    PlaneRecord slope = makePlane(0, 120, 45, SlopeFace);
    QCOMPARE(Labels::slopeLabel(slope, 0), QString());
    QCOMPARE(Labels::slopeLabel(slope, 1), QStringLiteral("S"));
    QCOMPARE(Labels::slopeLabel(slope, 2), QStringLiteral("边坡:120°∠45°"));
    QCOMPARE(Labels::slopeLabel(slope, 3), QStringLiteral("边坡:120°∠45°"));
    slope.direction = 120.5;
    QCOMPARE(Labels::slopeLabel(slope, 2), QStringLiteral("边坡:120.5°∠45°"));

    PlaneRecord w = makePlane(205, 123.44, 30);
    QCOMPARE(Labels::wedgeLabel(w, 0), QString());
    QCOMPARE(Labels::wedgeLabel(w, 1), QStringLiteral("2×5"));
    QCOMPARE(Labels::wedgeLabel(w, 2), QString());
    QCOMPARE(Labels::wedgeLabel(w, 3), QStringLiteral("2×5:123.4°∠30°"));
    // Plane 10 would read "1×10"; its ".0"-free number stays intact.
    w.id = 110;
    w.direction = 10;
    QCOMPARE(Labels::wedgeLabel(w, 3), QStringLiteral("1×10:10°∠30°"));
}

void TestLabels::stateWordsAndMessages() {
    QCOMPARE(Labels::stateClassWord(1), QStringLiteral("(稳定)"));
    QCOMPARE(Labels::stateClassWord(0), QStringLiteral("(稳定)"));
    QCOMPARE(Labels::stateClassWord(14), QStringLiteral("(稳定)"));
    QCOMPARE(Labels::stateClassWord(21), QStringLiteral("(基本稳定)"));
    QCOMPARE(Labels::stateClassWord(34), QStringLiteral("(不稳定)"));
    QCOMPARE(Labels::stateClassWord(40), QStringLiteral("(倾倒破坏)"));
    QCOMPARE(Labels::stateClassWord(57), QStringLiteral("(稳定)"));

    DataCenter dc;
    dc.FrictionAnglePlanar = 27;
    dc.IncludedAnglePlanar = 30;
    QCOMPARE(Labels::stateMessage(dc, 10), QStringLiteral("倾向与边坡反向，状态为稳定"));
    QCOMPARE(Labels::stateMessage(dc, 12),
             QStringLiteral("倾角缓于边坡换算倾角，但倾角小于摩擦角27°，状态为稳定"));
    QCOMPARE(Labels::stateMessage(dc, 13),
             QStringLiteral("倾角缓于边坡换算倾角，但与边坡的倾夹角大于30°，状态为稳定"));
    QCOMPARE(Labels::stateMessage(dc, 33),
             QStringLiteral("倾角缓于边坡换算倾角，倾向与边坡的倾夹角小于30°，状态为不稳定"));
    dc.FrictionAnglePlanar = 27.5;
    dc.IncludedAnglePlanar = 1.0 / 3.0;
    QCOMPARE(
        Labels::stateMessage(dc, 14),
        QStringLiteral("倾角缓于边坡换算倾角且大于摩擦角27.5°，但与边坡的倾夹角大于0.333333°，状态为稳定"));
    QCOMPARE(Labels::stateMessage(dc, 34),
             QStringLiteral(
                 "倾角缓于边坡换算倾角且大于摩擦角27.5°，倾向与边坡的倾夹角小于0.333333°，状态为不稳定"));
    QCOMPARE(Labels::stateMessage(dc, 40), QStringLiteral("倾向与边坡反向且二者夹角大于等于120°，倾倒破坏"));
    QCOMPARE(Labels::stateMessage(dc, 1), QString());
    QCOMPARE(Labels::stateMessage(dc, 22), QString());
}

QTEST_GUILESS_MAIN(TestLabels)
#include "test_labels.moc"
