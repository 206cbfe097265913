#include <QtTest>
class TestProjectFile : public QObject { Q_OBJECT private slots: void placeholder() {} };
QTEST_GUILESS_MAIN(TestProjectFile)
#include "test_projectfile.moc"
