// The "Measurements" element of the project file: its form, round trip,
// row-by-row refusal of bad rows, and that projects without measurements
// keep their bytes.
#include "model/datacenter.h"
#include "model/fielddata/measurementsfile.h"
#include "tests/model/projectbytes.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QtTest>

class TestMeasurementsFile : public QObject {
    Q_OBJECT
private slots:
    void projectWithoutMeasurementsWritesNoElement();
    void readsTheDocumentedForm();
    void roundTripKeepsEveryField();
    void refusesBadRowsOneByOne();
    void settingsOutOfRangeKeepTheirValue();
    void rowLimitAndRefusalList();
    void otherElementsReadAsBefore();
};

namespace {
QByteArray project(const QByteArray& measurements) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DipData><FileVer version=\"2.0\"/>"
           "<Dips><Dip id=\"1\" direction=\"120\" angle=\"40\" type=\"2\" notes=\"\"/></Dips>" +
           measurements + "</DipData>\n";
}
} // namespace

void TestMeasurementsFile::projectWithoutMeasurementsWritesNoElement() {
    DataCenter plain;
    const QByteArray before = written(plain);
    DataCenter withSettings;
    // Settings alone (no rows) are not written: the project stays as it was.
    withSettings.field.density = DensityMethod::Kamb;
    withSettings.field.traverses.append(Traverse{1, QStringLiteral("SL1"), 90, 0});
    QCOMPARE(written(withSettings), before);
    QVERIFY(!before.contains("Measurements"));

    withSettings.field.measurements.append(Measurement{});
    const QByteArray after = written(withSettings);
    QVERIFY(after.contains("<Measurements density=\"kamb\""));
    // A root element after all the others.
    QVERIFY(after.indexOf("</Dips>") < after.indexOf("<Measurements"));
    QVERIFY(after.indexOf("</Measurements>") < after.indexOf("</DipData>"));
}

void TestMeasurementsFile::readsTheDocumentedForm() {
    DataCenter dc;
    QVERIFY(
        readInto(dc, project("<Measurements density=\"schmidt\" countingArea=\"1\" terzaghi=\"false\" "
                             "minBiasAngle=\"15\"><Traverse id=\"1\" name=\"SL1\" trend=\"90\" plunge=\"0\"/>"
                             "<M direction=\"135\" angle=\"65\" type=\"2\" weight=\"1\" station=\"\" "
                             "notes=\"\" traverse=\"1\"/><M direction=\"20.5\" angle=\"0\"/>"
                             "<M direction=\"300\" angle=\"90\" type=\"4\" weight=\"2.5\" station=\"ZK3\" "
                             "notes=\"泥质充填\" set=\"J2\"/></Measurements>")));
    const FieldData& f = dc.field;
    QCOMPARE(f.density, DensityMethod::Schmidt);
    QCOMPARE(f.traverses.size(), 1);
    QCOMPARE(f.traverses[0].name, QStringLiteral("SL1"));
    QCOMPARE(f.traverses[0].trend, 90.0);
    QCOMPARE(f.measurements.size(), 3);
    QCOMPARE(f.measurements[0].traverse, 1);
    QCOMPARE(f.measurements[0].direction, 135.0);
    QCOMPARE(f.measurements[0].angle, 65.0);
    // Only direction and angle are required; the rest default.
    QCOMPARE(f.measurements[1].direction, 20.5);
    QCOMPARE(f.measurements[1].type, 2);
    QCOMPARE(f.measurements[1].weight, 1.0);
    QCOMPARE(f.measurements[1].traverse, 0);
    QCOMPARE(f.measurements[2].type, 4);
    QCOMPARE(f.measurements[2].weight, 2.5);
    QCOMPARE(f.measurements[2].station, QStringLiteral("ZK3"));
    QCOMPARE(f.measurements[2].notes, QStringLiteral("泥质充填"));
    QCOMPARE(f.measurements[2].set, QStringLiteral("J2"));
    QVERIFY(dc.fieldRejected.isEmpty());
    // The planes around it read as before.
    QCOMPARE(dc.planes.size(), 1);
    QCOMPARE(dc.planes[0].direction, 120.0);
}

void TestMeasurementsFile::roundTripKeepsEveryField() {
    QRandomGenerator random(22);
    DataCenter dc;
    FieldData& f = dc.field;
    f.density = DensityMethod::Fisher;
    f.countingArea = 2.5;
    f.terzaghi = true;
    f.minBiasAngle = 20;
    f.showLayer = false;
    f.levels = {1, 2.5, 4};
    f.traverses = {Traverse{1, QStringLiteral("SL1"), 90, 0},
                   Traverse{7, QStringLiteral("ZK-2 <孔>"), 359.5, 90}};
    for (int i = 0; i < 500; ++i) {
        Measurement m;
        // Values a file keeps exactly (six significant digits).
        m.direction = random.bounded(36000) / 100.0;
        m.angle = random.bounded(9001) / 100.0;
        m.type = 2 + random.bounded(3);
        m.weight = i % 3 ? 1.0 : 1 + random.bounded(100) / 10.0;
        m.traverse = i % 4 ? 0 : (i % 8 ? 1 : 7);
        if (i % 5 == 0)
            m.station = QStringLiteral("测点%1 \"&<").arg(i);
        if (i % 7 == 0)
            m.notes = QStringLiteral("note\n%1").arg(i);
        if (i % 2)
            m.set = QStringLiteral("J%1").arg(i % 3);
        f.measurements.append(m);
    }
    const QByteArray bytes = written(dc);
    DataCenter back;
    QVERIFY(readInto(back, bytes));
    const FieldData& g = back.field;
    QCOMPARE(g.density, f.density);
    QCOMPARE(g.countingArea, f.countingArea);
    QCOMPARE(g.terzaghi, f.terzaghi);
    QCOMPARE(g.minBiasAngle, f.minBiasAngle);
    QCOMPARE(g.showLayer, f.showLayer);
    QCOMPARE(g.levels, f.levels);
    QCOMPARE(g.traverses.size(), 2);
    QCOMPARE(g.traverses[1].name, f.traverses[1].name);
    QCOMPARE(g.traverses[1].trend, 359.5);
    QCOMPARE(g.traverses[1].plunge, 90.0);
    QCOMPARE(g.measurements.size(), f.measurements.size());
    for (int i = 0; i < f.measurements.size(); ++i) {
        const Measurement &a = f.measurements[i], &b = g.measurements[i];
        QCOMPARE(b.direction, a.direction);
        QCOMPARE(b.angle, a.angle);
        QCOMPARE(b.type, a.type);
        QCOMPARE(b.weight, a.weight);
        QCOMPARE(b.station, a.station);
        QCOMPARE(b.notes, a.notes);
        QCOMPARE(b.traverse, a.traverse);
        QCOMPARE(b.set, a.set);
    }
    // Written again, the same bytes.
    QCOMPARE(written(back), bytes);
}

void TestMeasurementsFile::refusesBadRowsOneByOne() {
    DataCenter dc;
    QVERIFY(readInto(dc, project("<Measurements>\n"
                                 "<M direction=\"10\" angle=\"20\"/>\n"
                                 "<M direction=\"10\" angle=\"95\"/>\n"
                                 "<M direction=\"-1\" angle=\"20\"/>\n"
                                 "<M direction=\"abc\" angle=\"20\"/>\n"
                                 "<M angle=\"20\"/>\n"
                                 "<M direction=\"10\"/>\n"
                                 "<M direction=\"nan\" angle=\"20\"/>\n"
                                 "<M direction=\"10\" angle=\"20\" type=\"7\"/>\n"
                                 "<M direction=\"10\" angle=\"20\" weight=\"0\"/>\n"
                                 "<M direction=\"10\" angle=\"20\" weight=\"-3\"/>\n"
                                 "<M direction=\"360\" angle=\"90\"/>\n"
                                 "<M direction=\"361\" angle=\"9\"/>\n"
                                 "<Traverse id=\"0\" trend=\"1\" plunge=\"1\"/>\n"
                                 "<Traverse id=\"2\" trend=\"1\" plunge=\"91\"/>\n"
                                 "<Traverse id=\"3\" trend=\"1\" plunge=\"9\"/>\n"
                                 "<Traverse id=\"3\" trend=\"2\" plunge=\"9\"/>\n"
                                 "<Unknown/>\n"
                                 "<M direction=\"359.9\" angle=\"0\"/>\n"
                                 "</Measurements>")));
    const FieldData& f = dc.field;
    // Good rows in file order; 360 is north.
    QCOMPARE(f.measurements.size(), 3);
    QCOMPARE(f.measurements[0].direction, 10.0);
    QCOMPARE(f.measurements[1].direction, 0.0);
    QCOMPARE(f.measurements[1].angle, 90.0);
    QCOMPARE(f.measurements[2].direction, 359.9);
    QCOMPARE(f.traverses.size(), 1);
    QCOMPARE(f.traverses[0].id, 3);
    QCOMPARE(f.traverses[0].trend, 1.0);

    const QVector<RejectedRow>& r = dc.fieldRejected;
    QStringList reasons;
    for (const RejectedRow& row : r)
        reasons << row.reason;
    QCOMPARE(reasons,
             QStringList({QStringLiteral("倾角95超出0–90"), QStringLiteral("倾向-1超出0–360"),
                          QStringLiteral("无法识别\"abc\""), QStringLiteral("缺少倾向"),
                          QStringLiteral("缺少倾角"), QStringLiteral("无法识别\"nan\""),
                          QStringLiteral("类型7不是2（节理）、3（层面）或4（断层）"),
                          QStringLiteral("权重0超出0–1000000"), QStringLiteral("权重-3超出0–1000000"),
                          QStringLiteral("倾向361超出0–360"), QStringLiteral("测线编号0应大于0"),
                          QStringLiteral("测线倾伏角91超出0–90"), QStringLiteral("测线编号3重复")}));
    // Each with its line in the file and its text.
    QCOMPARE(r[0].line, 4);
    QCOMPARE(r[0].text, QStringLiteral("direction=\"10\" angle=\"95\""));
    QCOMPARE(r[9].line, 14);
    QCOMPARE(r.last().line, 18);
}

void TestMeasurementsFile::settingsOutOfRangeKeepTheirValue() {
    DataCenter dc;
    QVERIFY(readInto(dc, project("<Measurements density=\"gauss\" countingArea=\"0.1\" terzaghi=\"yes\" "
                                 "minBiasAngle=\"90\" showLayer=\"false\" levels=\"3 2\">"
                                 "<M direction=\"1\" angle=\"2\"/></Measurements>")));
    QCOMPARE(dc.field.density, DensityMethod::Schmidt);
    QCOMPARE(dc.field.countingArea, 1.0);
    QCOMPARE(dc.field.terzaghi, false);
    QCOMPARE(dc.field.minBiasAngle, 15.0);
    QCOMPARE(dc.field.showLayer, false);
    QVERIFY(dc.field.levels.isEmpty());

    DataCenter edges;
    QVERIFY(readInto(edges, project("<Measurements density=\"fisher\" countingArea=\"5\" terzaghi=\"true\" "
                                    "minBiasAngle=\"1\" levels=\" 0.5  1e1 \">"
                                    "<M direction=\"1\" angle=\"2\"/></Measurements>")));
    QCOMPARE(edges.field.density, DensityMethod::Fisher);
    QCOMPARE(edges.field.countingArea, 5.0);
    QCOMPARE(edges.field.terzaghi, true);
    QCOMPARE(edges.field.minBiasAngle, 1.0);
    QCOMPARE(edges.field.showLayer, true);
    QCOMPARE(edges.field.levels, QVector<double>({0.5, 10}));
}

void TestMeasurementsFile::rowLimitAndRefusalList() {
    // One row more than a project holds: the last is refused; a thousand and
    // more bad rows are listed up to the limit and then counted.
    QByteArray rows;
    rows.reserve(4 * 1000 * 1000);
    for (int i = 0; i <= FieldLimits::MaxMeasurements; ++i)
        rows += "<M direction=\"" + QByteArray::number(i % 360) + "\" angle=\"45\"/>\n";
    for (int i = 0; i < MaxRejectedListed + 5; ++i)
        rows += "<M direction=\"1\" angle=\"-5\"/>\n";
    DataCenter dc;
    QVERIFY(readInto(dc, project("<Measurements>\n" + rows + "</Measurements>")));
    QCOMPARE(dc.field.measurements.size(), FieldLimits::MaxMeasurements);
    QCOMPARE(dc.fieldRejected.size(), MaxRejectedListed + 1);
    QCOMPARE(dc.fieldRejected[0].reason, QStringLiteral("超过100000条测量数据"));
    QCOMPARE(dc.fieldRejected.last().line, 0);
    QCOMPARE(dc.fieldRejected.last().reason, QStringLiteral("另有6行被拒绝"));
}

void TestMeasurementsFile::otherElementsReadAsBefore() {
    // Whatever the element holds, the rest of the project reads the same; a
    // broken element fails the file as any broken XML does.
    DataCenter plain, with;
    QVERIFY(readInto(plain, project("")));
    QVERIFY(readInto(with, project("<Measurements><M direction=\"1\" angle=\"2\"><X/></M>"
                                   "<Traverse id=\"1\"><Y/></Traverse></Measurements><Later/>")));
    QCOMPARE(with.planes.size(), plain.planes.size());
    QCOMPARE(with.field.measurements.size(), 1);
    QCOMPARE(with.field.traverses.size(), 1);
    DataCenter broken;
    QVERIFY(!readInto(broken, project("<Measurements><M direction=\"1\" angle=\"2\"></Measurements>")));
}

QTEST_GUILESS_MAIN(TestMeasurementsFile)
#include "test_measurementsfile.moc"
