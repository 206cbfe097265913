// The shipped example projects are exactly what our writer produces, and
// they read back into the projects they describe.
#include "exampleprojects.h"
#include "model/fielddata/projectsets.h"

#include <QBuffer>
#include <QFile>
#include <QtTest>

class TestExamples : public QObject {
    Q_OBJECT
private slots:
    void shippedFilesMatchWriter() {
        for (ExampleProject& e : exampleProjects()) {
            QFile file(QStringLiteral(KARVEN_SOURCE_DIR "/examples/") + e.fileName);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
            const QByteArray shipped = file.readAll();
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            QVERIFY(e.project->writeProject(&buffer));
            QCOMPARE(shipped, buffer.data());

            DataCenter loaded;
            QBuffer in(const_cast<QByteArray*>(&shipped));
            QVERIFY(in.open(QIODevice::ReadOnly));
            QVERIFY(loaded.readProject(&in));
            QCOMPARE(loaded.ProjectName, e.project->ProjectName);
            QCOMPARE(loaded.planes.size(), e.project->planes.size());
            QVERIFY(loaded.slope.calculated);
            for (const PlaneRecord& p : loaded.planes)
                QVERIFY(p.calculated);
        }
    }

    // The field survey is there to show its sets recovered: automatic sets
    // find three, each within its 95 % cone of the mean it was drawn about.
    void surveySetsAreRecovered() {
        FieldData field;
        field.measurements = exampleMeasurements();
        QCOMPARE(findAutoSets(field, AutoSetRequest()), 3);
        const QVector<SetStatistics> stats = jointSetStatistics(field);
        for (const ExampleSet& truth : exampleSets()) {
            const UnitAxis pole = planeAxis(truth.direction, truth.angle);
            int nearest = 0;
            for (int s = 1; s < stats.size(); ++s)
                if (axialAngle(stats[s].meanAxis, pole) < axialAngle(stats[nearest].meanAxis, pole))
                    nearest = s;
            QVERIFY2(axialAngle(stats[nearest].meanAxis, pole) <= stats[nearest].alpha95, truth.name);
        }
    }
};

QTEST_GUILESS_MAIN(TestExamples)
#include "test_examples.moc"
