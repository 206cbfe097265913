// Files dropped on the main window's base: every drag is welcome, at most 32
// paths are offered, and the drop is accepted only when they were handled.
#include "app/documentwindow.h"

#include <QApplication>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

namespace {

class RecordingWindow : public DocumentWindow {
public:
    bool openFiles(const QStringList& paths) override {
        offers << paths;
        return answer;
    }
    QList<QStringList> offers;
    bool answer = true;
};

// Drops go straight to the window: QApplication::notify expects a drag in
// progress, which an offscreen test does not have.
void deliver(QWidget& w, QEvent& e) { static_cast<QObject&>(w).event(&e); }

} // namespace

class DropFilesTest : public QObject {
    Q_OBJECT

private slots:
    void everyDragAccepted();
    void dropOffersFirst32Paths();
    void dropWithoutUrlsIgnored();
    void baseWindowOpensNothing();
};

void DropFilesTest::everyDragAccepted() {
    RecordingWindow w;
    QVERIFY(w.acceptDrops());
    QMimeData text;
    text.setText("not a file");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &text, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    deliver(w, enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), enter.proposedAction());

    QDragMoveEvent move(QPoint(6, 6), Qt::MoveAction, &text, Qt::LeftButton, Qt::NoModifier);
    move.ignore();
    deliver(w, move);
    QVERIFY(move.isAccepted());
    QCOMPARE(move.dropAction(), Qt::MoveAction);
    QVERIFY(w.offers.isEmpty());
}

void DropFilesTest::dropOffersFirst32Paths() {
    RecordingWindow w;
    QList<QUrl> urls;
    QStringList expected;
    for (int i = 0; i < 40; ++i) {
        const QString path = QStringLiteral("/data/边坡 %1.yty").arg(i);
        // A web address among the files turns into an empty path in its place.
        urls << (i == 3 ? QUrl("https://example.com/x.yty") : QUrl::fromLocalFile(path));
        if (i < 32)
            expected << (i == 3 ? QString() : path);
    }
    QMimeData data;
    data.setUrls(urls);

    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    deliver(w, drop);
    QCOMPARE(w.offers.size(), 1);
    QCOMPARE(w.offers.first(), expected);
    QVERIFY(drop.isAccepted());
    QCOMPARE(drop.dropAction(), drop.proposedAction());

    // Not handled: the drop is not accepted.
    w.answer = false;
    QDropEvent refused(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    deliver(w, refused);
    QCOMPARE(w.offers.size(), 2);
    QVERIFY(!refused.isAccepted());
}

void DropFilesTest::dropWithoutUrlsIgnored() {
    RecordingWindow w;
    QMimeData text;
    text.setText("/data/a.yty");
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    deliver(w, drop);
    QVERIFY(w.offers.isEmpty());
    QVERIFY(!drop.isAccepted());
}

void DropFilesTest::baseWindowOpensNothing() {
    DocumentWindow w;
    QVERIFY(!w.openFiles({"/data/a.yty"}));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/data/a.yty")});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    deliver(w, drop);
    QVERIFY(!drop.isAccepted());
}

QTEST_MAIN(DropFilesTest)
#include "test_dropfiles.moc"
