// Draws the program's toolbar and table icons. Build and run by hand when an
// icon changes (see README in this folder); the results are committed.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <functional>

namespace {

using Draw = std::function<void(QPainter&)>;

// Every icon is drawn on a 48 x 48 canvas and scaled by the painter.
void save(const QString& folder, const QString& name, int size, const Draw& draw) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);
    draw(p);
    p.end();
    image.save(QStringLiteral("%1/%2_%3.png").arg(folder, name).arg(size));
}

QPen pen(const QColor& c, double w) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void page(QPainter& p, const QColor& fill = Qt::white) {
    QPainterPath path;
    path.moveTo(10, 4);
    path.lineTo(30, 4);
    path.lineTo(40, 14);
    path.lineTo(40, 44);
    path.lineTo(10, 44);
    path.closeSubpath();
    p.setPen(pen(QColor(70, 80, 95), 2));
    p.setBrush(fill);
    p.drawPath(path);
    p.setBrush(QColor(215, 222, 232));
    p.drawPolygon(QPolygonF({QPointF(30, 4), QPointF(30, 14), QPointF(40, 14)}));
}

void net(QPainter& p, const QColor& fill = Qt::white) {
    p.setPen(pen(QColor(40, 40, 40), 2.2));
    p.setBrush(fill);
    p.drawEllipse(QPointF(24, 24), 19, 19);
    p.setPen(pen(QColor(120, 120, 120), 1));
    p.drawLine(QPointF(24, 7), QPointF(24, 41));
    p.drawLine(QPointF(7, 24), QPointF(41, 24));
}

void hemisphere(QPainter& p, bool upper) {
    net(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 140, 230, 170));
    p.drawPie(QRectF(5, 5, 38, 38), upper ? 0 : 180 * 16, 180 * 16);
    p.setPen(pen(QColor(20, 60, 160), 3));
    const double tip = upper ? 2 : 46;
    const double base = upper ? 14 : 34;
    p.drawLine(QPointF(40, base + (upper ? 8 : -8)), QPointF(40, tip + (upper ? 2 : -2)));
    p.setBrush(QColor(20, 60, 160));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF(
        {QPointF(40, tip), QPointF(35, base - (upper ? 4 : -4)), QPointF(45, base - (upper ? 4 : -4))}));
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();

    const QList<QPair<QString, Draw>> icons = {
        {"newdoc",
         [](QPainter& p) {
             page(p);
             p.setPen(pen(QColor(30, 150, 60), 5));
             p.drawLine(QPointF(25, 22), QPointF(25, 38));
             p.drawLine(QPointF(17, 30), QPointF(33, 30));
         }},
        {"opendoc",
         [](QPainter& p) {
             p.setPen(pen(QColor(150, 100, 10), 2));
             p.setBrush(QColor(240, 190, 60));
             p.drawPolygon(QPolygonF({QPointF(4, 10), QPointF(18, 10), QPointF(22, 15), QPointF(40, 15),
                                      QPointF(40, 40), QPointF(4, 40)}));
             p.setBrush(QColor(255, 215, 100));
             p.drawPolygon(QPolygonF({QPointF(10, 22), QPointF(46, 22), QPointF(40, 40), QPointF(4, 40)}));
         }},
        {"savedoc",
         [](QPainter& p) {
             p.setPen(pen(QColor(20, 50, 110), 2));
             p.setBrush(QColor(50, 100, 190));
             p.drawRoundedRect(QRectF(5, 5, 38, 38), 4, 4);
             p.setBrush(QColor(235, 240, 248));
             p.drawRect(QRectF(13, 5, 22, 14));
             p.setBrush(QColor(50, 100, 190));
             p.drawRect(QRectF(27, 8, 5, 8));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(11, 26, 26, 17));
             p.setPen(pen(QColor(150, 160, 180), 1.5));
             p.drawLine(QPointF(15, 31), QPointF(33, 31));
             p.drawLine(QPointF(15, 36), QPointF(33, 36));
         }},
        {"data",
         [](QPainter& p) {
             p.setPen(pen(QColor(60, 70, 90), 2));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(5, 7, 38, 34));
             p.setBrush(QColor(60, 130, 210));
             p.drawRect(QRectF(5, 7, 38, 8));
             p.setPen(pen(QColor(120, 130, 150), 1.5));
             for (double y : {23.0, 32.0})
                 p.drawLine(QPointF(5, y), QPointF(43, y));
             for (double x : {17.0, 30.0})
                 p.drawLine(QPointF(x, 15), QPointF(x, 41));
         }},
        {"upper", [](QPainter& p) { hemisphere(p, true); }},
        {"down", [](QPainter& p) { hemisphere(p, false); }},
        {"circle",
         [](QPainter& p) {
             net(p);
             p.setPen(pen(QColor(30, 90, 220), 3));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(-6, 5, 38, 38), -62 * 16, 124 * 16);
             p.setPen(pen(QColor(210, 40, 40), 3));
             p.drawArc(QRectF(12, -14, 48, 48), 198 * 16, 112 * 16);
         }},
        {"pole",
         [](QPainter& p) {
             net(p);
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(30, 90, 220));
             p.drawEllipse(QPointF(16, 17), 4, 4);
             p.setBrush(QColor(210, 40, 40));
             p.drawEllipse(QPointF(31, 29), 4, 4);
             p.setBrush(QColor(200, 40, 200));
             p.drawEllipse(QPointF(29, 14), 4, 4);
         }},
        {"ans",
         [](QPainter& p) {
             net(p, QColor(245, 250, 245));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(30, 160, 70));
             p.drawPolygon(QPolygonF({QPointF(18, 13), QPointF(36, 24), QPointF(18, 35)}));
         }},
        {"text",
         [](QPainter& p) {
             p.setPen(pen(QColor(50, 50, 50), 2));
             p.setBrush(QColor(255, 250, 220));
             p.drawRoundedRect(QRectF(4, 10, 40, 28), 4, 4);
             QFont font(QStringLiteral("DejaVu Sans"));
             font.setPixelSize(20);
             font.setBold(true);
             p.setFont(font);
             p.setPen(QColor(200, 30, 30));
             p.drawText(QRectF(4, 10, 40, 28), Qt::AlignCenter, QStringLiteral("12"));
         }},
        {"cad",
         [](QPainter& p) {
             p.setPen(pen(QColor(20, 40, 90), 2));
             p.setBrush(QColor(30, 70, 150));
             p.drawRoundedRect(QRectF(4, 6, 40, 36), 4, 4);
             p.setPen(pen(QColor(240, 240, 255), 1.8));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(20, 24), 11, 11);
             p.drawLine(QPointF(8, 36), QPointF(40, 12));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(255, 210, 60));
             p.drawEllipse(QPointF(40, 12), 3, 3);
         }},
        {"pic",
         [](QPainter& p) {
             p.setPen(pen(QColor(70, 70, 70), 2));
             p.setBrush(QColor(200, 230, 255));
             p.drawRect(QRectF(4, 8, 40, 32));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(250, 200, 40));
             p.drawEllipse(QPointF(33, 17), 4, 4);
             p.setBrush(QColor(60, 150, 70));
             p.drawPolygon(QPolygonF(
                 {QPointF(5, 39), QPointF(17, 22), QPointF(26, 33), QPointF(32, 27), QPointF(43, 39)}));
         }},
        {"txt",
         [](QPainter& p) {
             p.setPen(pen(QColor(110, 70, 30), 2));
             p.setBrush(QColor(205, 160, 100));
             p.drawRoundedRect(QRectF(8, 6, 32, 38), 3, 3);
             p.setBrush(Qt::white);
             p.drawRect(QRectF(12, 11, 24, 29));
             p.setBrush(QColor(160, 160, 160));
             p.setPen(pen(QColor(80, 80, 80), 1.5));
             p.drawRoundedRect(QRectF(17, 3, 14, 6), 2, 2);
             p.setPen(pen(QColor(60, 60, 60), 2));
             for (double y : {18.0, 24.0, 30.0})
                 p.drawLine(QPointF(16, y), QPointF(32, y));
             p.drawLine(QPointF(16, 36), QPointF(26, 36));
         }},
        {"report",
         [](QPainter& p) {
             page(p);
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(40, 110, 200));
             p.drawRect(QRectF(15, 30, 5, 10));
             p.setBrush(QColor(40, 170, 90));
             p.drawRect(QRectF(22, 24, 5, 16));
             p.setBrush(QColor(220, 70, 50));
             p.drawRect(QRectF(29, 19, 5, 21));
             p.setPen(pen(QColor(90, 90, 90), 1.5));
             p.drawLine(QPointF(14, 11), QPointF(26, 11));
             p.drawLine(QPointF(14, 15), QPointF(24, 15));
         }},
        {"up",
         [](QPainter& p) {
             p.setPen(pen(QColor(20, 80, 170), 2));
             p.setBrush(QColor(60, 140, 230));
             p.drawPolygon(QPolygonF({QPointF(24, 5), QPointF(42, 25), QPointF(31, 25), QPointF(31, 43),
                                      QPointF(17, 43), QPointF(17, 25), QPointF(6, 25)}));
         }},
        {"del",
         [](QPainter& p) {
             p.setPen(pen(QColor(200, 30, 30), 8));
             p.drawLine(QPointF(11, 11), QPointF(37, 37));
             p.drawLine(QPointF(37, 11), QPointF(11, 37));
         }},
    };
    for (const auto& icon : icons)
        for (int size : {16, 24, 32, 48})
            save(folder, icon.first, size, icon.second);
    return 0;
}
