// Geometry a file stores as calculated is used only when the construction
// could have made it; anything else is recomputed, or left undrawn when the
// attitude has no great circle on the net.
#include "model/datacenter.h"

#include <QBuffer>
#include <QtTest>

#include <cmath>

class TestStoredGeometry : public QObject {
    Q_OBJECT
private slots:
    void implausibleGeometryIsRecomputed_data();
    void implausibleGeometryIsRecomputed();
    void plausibleGeometryIsKept();
};

namespace {
QByteArray project(const QByteArray& dipChildren,
                   const QByteArray& attitude = "direction=\"120\" angle=\"40\"") {
    return "<?xml version=\"1.0\"?><DipData><Slopes><Slope id=\"0\" direction=\"135\" angle=\"65\" "
           "type=\"1\"/>"
           "</Slopes><Dips><Dip id=\"1\" " +
           attitude + " type=\"2\" notes=\"\">" + dipChildren +
           "<Calculate calculated=\"true\"/></Dip></Dips></DipData>";
}

bool read(DataCenter& dc, const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    if (!dc.readProject(&buffer))
        return false;
    dc.updateSlopeGeometry();
    dc.updatePlanesGeometry();
    return true;
}

bool same(const QPointF& a, const QPointF& b) {
    return std::abs(a.x() - b.x()) < 1e-12 && std::abs(a.y() - b.y()) < 1e-12;
}
} // namespace

void TestStoredGeometry::implausibleGeometryIsRecomputed_data() {
    QTest::addColumn<QByteArray>("children");
    QTest::newRow("mid point -3.3e17") << QByteArray("<MidPoint x=\"-3.3e17\" y=\"0.2\"/>");
    QTest::newRow("pole far out") << QByteArray("<PolePoint x=\"2\" y=\"0\"/>");
    QTest::newRow("centre 1e6") << QByteArray("<CenterPoint x=\"1e6\" y=\"0\"/>");
    QTest::newRow("radius 1e300") << QByteArray("<CircleRadius radius=\"1e300\"/>");
    QTest::newRow("negative radius") << QByteArray("<CircleRadius radius=\"-1\"/>");
    QTest::newRow("span 720") << QByteArray("<SpanRadius angle=\"720\"/>");
    QTest::newRow("start angle -1e9") << QByteArray("<StartAngle angle=\"-1e9\"/>");
}

void TestStoredGeometry::implausibleGeometryIsRecomputed() {
    QFETCH(QByteArray, children);
    DataCenter dc;
    QVERIFY(read(dc, project(children)));
    // As if the file had held no geometry at all.
    DataCenter fresh;
    QVERIFY(read(fresh, project(QByteArray()).replace("\"true\"", "\"false\"")));
    const PlaneRecord& p = dc.planes.at(0);
    const PlaneRecord& q = fresh.planes.at(0);
    QVERIFY(p.calculated && DataCenter::isPlausibleGeometry(p));
    QVERIFY(same(p.MidPoint, q.MidPoint) && same(p.PolePoint, q.PolePoint) &&
            same(p.CenterPoint, q.CenterPoint));
    QCOMPARE(p.CircleRadius, q.CircleRadius);
    QCOMPARE(p.SpanRadius, q.SpanRadius);

    // A vertical plane has no great circle: stored geometry or not, it is
    // not drawn.
    DataCenter vertical;
    QVERIFY(read(vertical, project(children, "direction=\"90\" angle=\"90\"")));
    QVERIFY(!vertical.planes.at(0).calculated);
}

void TestStoredGeometry::plausibleGeometryIsKept() {
    // The construction's own values, as every sample file stores them: kept
    // as they are, six digits and all.
    DataCenter written;
    PlaneRecord plane;
    plane.id = 1;
    for (double dip : {0.0, 40.0, 89.91}) {
        for (bool upper : {true, false}) {
            written.UpperMode = upper;
            plane.direction = 359.9;
            plane.angle = dip;
            written.computePlaneGeometry(plane);
            QVERIFY2(DataCenter::isPlausibleGeometry(plane), qPrintable(QString::number(dip)));
        }
    }
    const QByteArray children =
        "<MidPoint x=\"-0.403834\" y=\"0.233154\"/><CircleRadius radius=\"1.30541\"/>";
    DataCenter dc;
    QVERIFY(read(dc, project(children)));
    QCOMPARE(dc.planes.at(0).MidPoint, QPointF(-0.403834, 0.233154));
    QCOMPARE(dc.planes.at(0).CircleRadius, 1.30541);
}

QTEST_GUILESS_MAIN(TestStoredGeometry)
#include "test_storedgeometry.moc"
