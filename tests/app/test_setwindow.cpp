// 画分组窗, 结构面分组 and 自动分组 from the main window: the dragged window's
// geometry, its outline on the net, and the commands as a user drives them.
#include "../dialogs/dialogtesting.h"
#include "app/mainwindow.h"
#include "app/mdichild.h"
#include "app/setwindowtool.h"
#include "apptesting.h"
#include "dialogs/autosetsdialog.h"
#include "dialogs/setsdialog.h"
#include "model/fielddata/projectsets.h"
#include "model/fielddata/sphere.h"
#include "render/netframe.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QtTest>

#include <cmath>

using apptesting::Boxes;

namespace {
using apptesting::action;
constexpr double kDeg = 3.14159265358979323846 / 180.0;

double axialDegrees(const Vec3& a, const Vec3& b) {
    return std::acos(qBound(0.0, std::fabs(dot(unitVector(a), unitVector(b))), 1.0)) / kDeg;
}

// Planes scattered up to `spread` degrees about the pole of direction∠angle
// on a golden-angle spiral.
QVector<Measurement> cluster(double direction, double angle, double spread, int n) {
    const Vec3 axis = planePole(direction, angle);
    const Vec3 helper = std::fabs(axis[2]) < 0.9 ? Vec3{{0, 0, 1}} : Vec3{{1, 0, 0}};
    const Vec3 u = unitVector(cross(axis, helper));
    const Vec3 v = cross(axis, u);
    QVector<Measurement> out;
    for (int i = 0; i < n; ++i) {
        const double r = spread * std::sqrt((i + 0.5) / n) * kDeg;
        const double t = i * 2.399963;
        const double cu = std::cos(t) * std::sin(r), cv = std::sin(t) * std::sin(r);
        const Vec3 p = sum(scaled(axis, std::cos(r)), sum(scaled(u, cu), scaled(v, cv)));
        Measurement m;
        planeOfAxis(p, m.direction, m.angle);
        out << m;
    }
    return out;
}

void sendMouse(QWidget* widget, QEvent::Type type, const QPointF& pixel) {
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pixel, widget->mapToGlobal(pixel.toPoint()), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void sendEscape(QWidget* widget) {
    QKeyEvent event(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}
} // namespace

class TestSetWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { apptesting::nameApplication(); }
    void init() { apptesting::clearSettings(); }
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // The centre is the plane whose pole plots at the press, the half-angle
    // the angle on the sphere to the pointer, for both hemispheres, across
    // the primitive circle too.
    void dragGeometry() {
        for (bool upper : {true, false}) {
            SetWindow w = draggedSetWindow(QPointF(0, 0), QPointF(std::tan(15 * kDeg), 0), upper);
            QCOMPARE(w.centerAngle, 0.0);
            QCOMPARE(w.halfAngle, 30.0);
            for (double direction : {0.0, 45.0, 135.0, 300.0})
                for (double angle : {10.0, 60.0, 88.0}) {
                    const QPointF press = netPointOfAxis(planePole(direction, angle), upper);
                    const QPointF at = netPointOfAxis(planePole(direction + 40, angle), upper);
                    w = draggedSetWindow(press, at, upper);
                    QVERIFY(std::fabs(w.centerDirection - direction) <= 0.05 + 1e-9);
                    QVERIFY(std::fabs(w.centerAngle - angle) <= 0.05 + 1e-9);
                    const double expected =
                        axialDegrees(planePole(direction, angle), planePole(direction + 40, angle));
                    QVERIFY2(std::fabs(w.halfAngle - expected) <= 0.05 + 1e-9,
                             qPrintable(QString::number(expected)));
                }
        }
        // Dragged from near the rim past it: the axes beyond are those of
        // the other side, so the cone stays small.
        const SetWindow rim = draggedSetWindow(QPointF(0.97, 0), QPointF(1.03, 0), true);
        QVERIFY(rim.halfAngle < 5);
        QVERIFY(rim.centerAngle > 85);
    }

    // Every point of the outline is at the half-angle from the centre and on
    // the net; a window over the rim comes in two pieces ending on the rim
    // at antipodal points.
    void outlineOnTheNet() {
        for (bool upper : {true, false})
            for (const SetWindow& w : {SetWindow{120, 30, 20}, SetWindow{200, 80, 25}, SetWindow{10, 89, 40},
                                       SetWindow{0, 0, 90}}) {
                const Vec3 axis = planePole(w.centerDirection, w.centerAngle);
                const auto pieces = setWindowOutline(w, upper);
                for (const auto& piece : pieces)
                    for (const QPointF& p : piece) {
                        QVERIFY(std::hypot(p.x(), p.y()) <= 1 + 1e-9);
                        QVERIFY(std::fabs(axialDegrees(netDirection(p, upper), axis) - w.halfAngle) < 1e-6);
                    }
                if (w.centerAngle + w.halfAngle > 90 && w.halfAngle < 90) {
                    QCOMPARE(pieces.size(), 2);
                    // Each end of one piece has its antipode among the other's ends.
                    const QVector<QPointF> ends{pieces.at(1).first(), pieces.at(1).last()};
                    for (const QPointF& a : {pieces.at(0).first(), pieces.at(0).last()}) {
                        QVERIFY(std::hypot(a.x(), a.y()) > 0.97);
                        QVERIFY(std::min(std::hypot(a.x() + ends[0].x(), a.y() + ends[0].y()),
                                         std::hypot(a.x() + ends[1].x(), a.y() + ends[1].y())) < 1e-6);
                    }
                } else if (w.halfAngle < 90) {
                    QCOMPARE(pieces.size(), 1);
                    QVERIFY(QLineF(pieces.at(0).first(), pieces.at(0).last()).length() < 1e-9);
                }
            }
    }

    // 画分组窗 in the window: a drag adds J1 holding the cluster, the mode
    // stays on, Escape cancels a drag, and Escape again ends the mode.
    void drawWindowsInTheProject() {
        Boxes boxes;
        boxes.answer = MessageBox::Discard;
        MainWindow w;
        w.resize(1000, 800);
        w.show();
        QVERIFY(!action(w, "actDrawSetWindow")->isEnabled());
        action(w, "actNew")->trigger();
        MdiChild* child = w.activeMdiChild();
        QVERIFY(child);
        QVERIFY(!action(w, "actDrawSetWindow")->isEnabled());
        child->project().field.measurements = cluster(135, 60, 8, 30) + cluster(250, 30, 8, 20);
        w.updateActions();
        QVERIFY(action(w, "actDrawSetWindow")->isEnabled());
        child->setWindowModified(false);
        action(w, "actDrawSetWindow")->trigger();
        QVERIFY(child->setWindowTool()->isActive());

        const bool upper = child->project().UpperMode;
        const NetFrame frame = stereonetWindowFrame(child->size());
        const QPointF centre = frame.pixel(netPointOfAxis(planePole(135, 60), upper));
        const QPointF edge = frame.pixel(netPointOfAxis(planePole(135, 75), upper));
        sendMouse(child, QEvent::MouseButtonPress, centre);
        QVERIFY(child->setWindowTool()->isDragging());
        sendMouse(child, QEvent::MouseMove, (centre + edge) / 2);
        sendMouse(child, QEvent::MouseMove, edge);
        sendMouse(child, QEvent::MouseButtonRelease, edge);
        const FieldData& field = child->project().field;
        QCOMPARE(field.sets.size(), 1);
        const JointSet& j1 = field.sets.at(0);
        QCOMPARE(j1.name, QStringLiteral("J1"));
        QCOMPARE(j1.color, defaultSetColor(0));
        QVERIFY(std::fabs(j1.centerDirection - 135) < 0.6 && std::fabs(j1.centerAngle - 60) < 0.6);
        QVERIFY(std::fabs(j1.halfAngle - 15) < 0.6);
        int inJ1 = 0;
        for (const Measurement& m : field.measurements)
            inJ1 += m.set == QStringLiteral("J1");
        QCOMPARE(inJ1, 30);
        QVERIFY(child->isWindowModified());
        QVERIFY(w.statusBar()->currentMessage().contains(QStringLiteral("J1")));
        QVERIFY(action(w, "actSetPlanes")->isEnabled());
        QVERIFY(child->setWindowTool()->isActive());

        // A click is no window; a press beside the net starts none.
        sendMouse(child, QEvent::MouseButtonPress, centre);
        sendMouse(child, QEvent::MouseButtonRelease, centre);
        sendMouse(child, QEvent::MouseButtonPress, QPointF(3, 3));
        QVERIFY(!child->setWindowTool()->isDragging());
        QCOMPARE(field.sets.size(), 1);

        // Escape during a drag drops it; Escape again leaves the mode.
        const QPointF second = frame.pixel(netPointOfAxis(planePole(250, 30), upper));
        sendMouse(child, QEvent::MouseButtonPress, second);
        sendMouse(child, QEvent::MouseMove, edge);
        sendEscape(child);
        QVERIFY(!child->setWindowTool()->isDragging());
        sendMouse(child, QEvent::MouseButtonRelease, edge);
        QCOMPARE(field.sets.size(), 1);
        QVERIFY(action(w, "actDrawSetWindow")->isChecked());
        sendEscape(child);
        QVERIFY(!action(w, "actDrawSetWindow")->isChecked());
        QVERIFY(!child->setWindowTool()->isActive());
        sendMouse(child, QEvent::MouseButtonPress, second);
        QVERIFY(!child->setWindowTool()->isDragging());

        w.findChild<QMdiArea*>(QStringLiteral("mdiArea"))->closeAllSubWindows();
    }

    // 自动分组 finds the clusters; over existing sets it asks first, and "否"
    // keeps them.
    void autoSetsFromTheMenu() {
        Boxes boxes;
        boxes.answer = 0;
        MainWindow w;
        w.show();
        action(w, "actNew")->trigger();
        MdiChild* child = w.activeMdiChild();
        child->project().field.measurements =
            cluster(135, 60, 10, 60) + cluster(250, 30, 10, 50) + cluster(20, 85, 10, 40);
        JointSet typed;
        typed.name = QStringLiteral("mine");
        child->project().field.sets << typed;
        w.updateActions();
        auto acceptAutoSets = [](QWidget* modal) {
            if (auto* dialog = qobject_cast<AutoSetsDialog*>(modal))
                dialog->accept();
        };
        DialogTesting::whenModalShown(&w, acceptAutoSets);
        action(w, "actAutoSets")->trigger();
        QCOMPARE(boxes.count(MessageBox::Kind::Question), 1);
        QCOMPARE(child->project().field.sets.size(), 1);
        QCOMPARE(child->project().field.sets.at(0).name, QStringLiteral("mine"));

        boxes.answer = 1;
        DialogTesting::whenModalShown(&w, acceptAutoSets);
        action(w, "actAutoSets")->trigger();
        const FieldData& field = child->project().field;
        QCOMPARE(field.sets.size(), 3);
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("找到3组"));

        // Asked for more sets than the density has peaks: the status bar
        // says so.
        DialogTesting::whenModalShown(&w, [](QWidget* modal) {
            if (auto* dialog = qobject_cast<AutoSetsDialog*>(modal)) {
                AutoSetRequest request = dialog->request();
                request.count = 5;
                dialog->setRequest(request);
                dialog->accept();
            }
        });
        action(w, "actAutoSets")->trigger();
        QCOMPARE(field.sets.size(), 3);
        QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("找到3组（达到阈值的密度峰值不足5个）"));
        for (const JointSet& s : field.sets) {
            int n = 0;
            for (const Measurement& m : field.measurements)
                n += m.set == s.name;
            QVERIFY(n >= 35);
        }
        boxes.answer = MessageBox::Discard;
        w.findChild<QMdiArea*>(QStringLiteral("mdiArea"))->closeAllSubWindows();
    }

    // 结构面分组 from the menu: 确定 with nothing changed leaves the project
    // as it was; a renamed set renames its measurements' set.
    void setsDialogFromTheMenu() {
        Boxes boxes;
        boxes.answer = MessageBox::Discard;
        MainWindow w;
        w.show();
        action(w, "actNew")->trigger();
        MdiChild* child = w.activeMdiChild();
        FieldData& field = child->project().field;
        field.measurements = cluster(135, 60, 8, 30) + cluster(250, 30, 8, 20);
        JointSet set;
        set.name = QStringLiteral("J1");
        // A centre with more decimals than the table shows, as automatic
        // sets give them.
        set.centerDirection = 135.123456789;
        set.centerAngle = 60;
        set.halfAngle = 15;
        field.sets << set;
        assignMeasurementsToSets(field);
        w.updateActions();
        child->setWindowModified(false);
        DialogTesting::whenModalShown(&w, [](QWidget* modal) {
            if (auto* dialog = qobject_cast<SetsDialog*>(modal))
                dialog->accept();
        });
        action(w, "actJointSets")->trigger();
        QVERIFY(!child->isWindowModified());
        QCOMPARE(field.sets.at(0).centerDirection, 135.123456789);

        DialogTesting::whenModalShown(&w, [](QWidget* modal) {
            if (auto* dialog = qobject_cast<SetsDialog*>(modal)) {
                dialog->findChild<QTableWidget*>(QStringLiteral("tableSets"))
                    ->item(0, SetsDialog::Name)
                    ->setText(QStringLiteral("北东组"));
                dialog->accept();
            }
        });
        action(w, "actJointSets")->trigger();
        QVERIFY(child->isWindowModified());
        QCOMPARE(field.sets.at(0).name, QStringLiteral("北东组"));
        int renamed = 0;
        for (const Measurement& m : field.measurements)
            renamed += m.set == QStringLiteral("北东组");
        QCOMPARE(renamed, 30);
        w.findChild<QMdiArea*>(QStringLiteral("mdiArea"))->closeAllSubWindows();
    }
};

QTEST_MAIN(TestSetWindow)
#include "test_setwindow.moc"
