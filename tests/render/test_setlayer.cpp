// Joint sets over the measurement layer: the view follows the sets, the
// report's density plot marks each mean pole in its set's colour, and
// without the sets the picture is that of the measurements alone.
#include "model/datacenter.h"
#include "model/fielddata/fieldview.h"
#include "model/fielddata/projectsets.h"
#include "render/acicolor.h"
#include "render/fieldlayer.h"
#include "tests/model/fieldexample.h"

#include <QImage>
#include <QtTest>

class TestSetLayer : public QObject {
    Q_OBJECT
private slots:
    void setsOnTheDensityPlot() {
        DataCenter project;
        project.field.measurements = exampleMeasurements();
        QImage plain(800, 600, QImage::Format_RGB32), grouped = plain, again = plain;
        FieldLayer::renderDensityPicture(plain, project);

        QCOMPARE(findAutoSets(project.field, AutoSetRequest()), 3);
        const std::shared_ptr<const FieldView> view = FieldViews::of(project);
        QCOMPARE(view->poleSets, measurementSetIndexes(project.field));
        FieldLayer::renderDensityPicture(grouped, project);
        const double R = 0.4 * 600;
        for (const FieldSetView& set : view->sets) {
            QVERIFY(set.hasMean() && !set.window.isEmpty() && !set.confidence.isEmpty());
            const QRgb at =
                grouped.pixel(qRound(320 + R * set.meanPole.x()), qRound(300 - R * set.meanPole.y()));
            QCOMPARE(QColor(at), aciColor(set.color));
        }
        // A changed colour or membership is a new view.
        project.field.sets[1].color = 200;
        QCOMPARE(FieldViews::of(project)->sets[1].color, 200);
        const int moved = view->poleSets.indexOf(0);
        project.field.measurements[moved].set = project.field.sets[2].name;
        QCOMPARE(FieldViews::of(project)->poleSets[moved], 2);

        project.field.sets.clear();
        for (Measurement& m : project.field.measurements)
            m.set.clear();
        FieldLayer::renderDensityPicture(again, project);
        QVERIFY(again == plain);
    }
};

QTEST_MAIN(TestSetLayer)
#include "test_setlayer.moc"
