// The shipped example projects are exactly what our writer produces, and
// they read back into the projects they describe.
#include "exampleprojects.h"

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
};

QTEST_GUILESS_MAIN(TestExamples)
#include "test_examples.moc"
