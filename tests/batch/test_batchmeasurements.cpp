// karven-batch on a project with measurements: the JSON's "measurements"
// object and the rose diagrams.
#include "model/datacenter.h"
#include "model/fielddata/fieldview.h"
#include "tests/batch/batchprocess.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kExamples = QStringLiteral(KARVEN_SOURCE_DIR "/examples");

} // namespace

class TestBatchMeasurements : public QObject {
    Q_OBJECT
private slots:
    // A project with measurements gets the "measurements" object (as the
    // window's statistics have it) and its rose diagram; the others get
    // neither.
    void measurementsAndRose() {
        QTemporaryDir dir;
        const QString survey = kExamples + QStringLiteral("/field-survey.yty");
        const QString road = kExamples + QStringLiteral("/road-cut.yty");
        const Run r = batch({QStringLiteral("--json"), QStringLiteral("-"), QStringLiteral("--rose"),
                             dir.filePath(QStringLiteral("rose")), QStringLiteral("-q"), survey, road});
        QCOMPARE(r.status, 0);
        const QJsonArray projects =
            QJsonDocument::fromJson(r.out).object().value(QStringLiteral("projects")).toArray();
        QCOMPARE(projects.size(), 2);
        DataCenter project;
        QVERIFY(analysed(project, survey));
        const std::shared_ptr<const FieldView> view = FieldViews::of(project);
        const QJsonObject m = projects.at(0).toObject().value(QStringLiteral("measurements")).toObject();
        QCOMPARE(m.keys().size(), 5);
        QCOMPARE(m.value(QStringLiteral("count")).toInt(), 200);
        QCOMPARE(m.value(QStringLiteral("weightedCount")).toDouble(), view->weightedCount);
        QCOMPARE(m.value(QStringLiteral("method")).toString(), QStringLiteral("schmidt"));
        QCOMPARE(m.value(QStringLiteral("countingArea")).toDouble(), 1.0);
        const QJsonObject max = m.value(QStringLiteral("densityMax")).toObject();
        QCOMPARE(max.value(QStringLiteral("value")).toDouble(), view->maxValue);
        QCOMPARE(max.value(QStringLiteral("unit")).toString(), QStringLiteral("%"));
        QCOMPARE(max.value(QStringLiteral("direction")).toDouble(), view->maxDirection);
        QCOMPARE(max.value(QStringLiteral("angle")).toDouble(), view->maxAngle);
        QVERIFY(!projects.at(1).toObject().contains(QStringLiteral("measurements")));

        const QImage rose(dir.filePath(QStringLiteral("rose/field-survey.png")));
        QCOMPARE(rose.size(), QSize(600, 600));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("rose/road-cut.png"))));
    }
};

QTEST_GUILESS_MAIN(TestBatchMeasurements)
#include "test_batchmeasurements.moc"
