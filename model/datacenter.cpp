#include "model/datacenter.h"

#include <QtMath>

#include <cmath>
#include <utility>

namespace {
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kEps = 1e-5;
constexpr double kCollinear = 3.0000000000000004e-7;
constexpr double kMaxDip = 89.91;
constexpr double kMaxDirection = 359.9;

double radians(double degrees) { return degrees * kDegToRad; }
} // namespace

DataCenter::DataCenter(QObject* parent) : QObject(parent) {
    ProjectName = tr("某工程调绘点1");
    slope.id = 0;
    slope.direction = 0;
    slope.angle = 45;
    slope.apparentAngle = 45;
    slope.type = SlopeFace;
    analysisTime = QStringLiteral("2023");
    if (isValidAttitude(slope)) {
        computePlaneGeometry(slope);
        slope.calculated = true;
    }
    fillStateMessages();
}

void DataCenter::fillStateMessages() {
    stateMessages.insert(10, tr("倾向与边坡反向，状态为稳定"));
    stateMessages.insert(11, tr("倾角陡于边坡换算倾角，状态为稳定"));
    stateMessages.insert(12, tr("倾角缓于边坡换算倾角，但倾角小于摩擦角%1°，状态为稳定"));
    stateMessages.insert(13, tr("倾角缓于边坡换算倾角，但与边坡的倾夹角大于%2°，状态为稳定"));
    stateMessages.insert(14, tr("倾角缓于边坡换算倾角且大于摩擦角%1°，但与边坡的倾夹角大于%2°，状态为稳定"));
    stateMessages.insert(31, tr("倾角缓于边坡换算倾角，状态为不稳定"));
    stateMessages.insert(32, tr("倾角缓于边坡换算倾角且大于摩擦角%1°，状态为不稳定"));
    stateMessages.insert(33, tr("倾角缓于边坡换算倾角，倾向与边坡的倾夹角小于%1°，状态为不稳定"));
    stateMessages.insert(34, tr("倾角缓于边坡换算倾角且大于摩擦角%1°，倾向与边坡的倾夹角小于%2°，状态为不稳定"));
    stateMessages.insert(40, tr("倾向与边坡反向且二者夹角大于等于120°，倾倒破坏"));
}

double DataCenter::polarAngleOf(double x, double y) {
    if (qAbs(y) < kEps)
        return x >= 0 ? 0.0 : 180.0;
    if (qAbs(x) < kEps)
        return y > 0 ? 90.0 : 270.0;
    const double a = qRadiansToDegrees(qAtan(y / x));
    if (a > 0)
        return y >= 0 ? a : a + 180.0;
    return y < 0 ? a + 360.0 : a + 180.0;
}

bool DataCenter::circleThrough3(const QPointF& p1, const QPointF& p2, const QPointF& p3, QPointF& centre,
                                double& radius) {
    const double a = std::hypot(p2.x() - p1.x(), p2.y() - p1.y());
    const double b = std::hypot(p3.x() - p1.x(), p3.y() - p1.y());
    const double c = std::hypot(p3.x() - p2.x(), p3.y() - p2.y());
    const double s = (a + b + c) / 2.0;
    if (qAbs(s - c) < kCollinear || qAbs(s - b) < kCollinear || qAbs(s - a) < kCollinear)
        return false;
    const double area = std::sqrt(s * (s - a) * (s - b) * (s - c));
    radius = a * b * c / (4.0 * area);

    const double x1 = p1.x(), y1 = p1.y(), x2 = p2.x(), y2 = p2.y(), x3 = p3.x(), y3 = p3.y();
    const double d1 = x1 * x1 + y1 * y1, d2 = x2 * x2 + y2 * y2, d3 = x3 * x3 + y3 * y3;
    const double g = 2.0 * (x1 * (y2 - y3) + x2 * (y3 - y1) + x3 * (y1 - y2));
    centre.setX((d1 * (y2 - y3) + d2 * (y3 - y1) + d3 * (y1 - y2)) / g);
    centre.setY((d1 * (x3 - x2) + d2 * (x1 - x3) + d3 * (x2 - x1)) / g);
    return true;
}

bool DataCenter::isValidAttitude(const PlaneRecord& record) {
    // Written as ranges that hold, so that NaN (every comparison false) fails.
    return record.angle >= 0 && record.angle <= kMaxDip && record.direction >= 0 &&
           record.direction <= kMaxDirection;
}

void DataCenter::computePlaneGeometry(PlaneRecord& record) const {
    const double alpha = record.direction;
    const double delta = record.angle;
    QPointF start(std::cos(radians(180.0 - alpha)), std::sin(radians(180.0 - alpha)));
    QPointF end(std::cos(radians(360.0 - alpha)), std::sin(radians(360.0 - alpha)));
    const double t = std::tan(radians(45.0 - delta * 0.5));
    QPointF mid;
    if (UpperMode) {
        mid = QPointF(t * std::cos(radians(270.0 - alpha)), t * std::sin(radians(270.0 - alpha)));
    } else {
        std::swap(start, end);
        mid = QPointF(t * std::cos(radians(90.0 - alpha)), t * std::sin(radians(90.0 - alpha)));
    }
    record.StartPoint = start;
    record.MidPoint = mid;
    record.EndPoint = end;

    QPointF centre;
    double radius = 0;
    if (circleThrough3(start, mid, end, centre, radius)) {
        record.CenterPoint = centre;
        record.CircleRadius = radius;
        record.StartAngle = polarAngleOf(start.x() - centre.x(), start.y() - centre.y());
        const double e = polarAngleOf(end.x() - centre.x(), end.y() - centre.y());
        double span = e - record.StartAngle;
        if (span < 0)
            span += 360.0;
        record.SpanRadius = span;
    } else {
        record.SpanRadius = 180.0;
    }

    const double r = std::tan(radians(delta * 0.5));
    if (UpperMode)
        record.PolePoint = QPointF(r * std::cos(radians(90.0 - alpha)), r * std::sin(radians(90.0 - alpha)));
    else
        record.PolePoint = QPointF(r * std::cos(radians(270.0 - alpha)), r * std::sin(radians(270.0 - alpha)));
}

bool DataCenter::isPlausibleGeometry(const PlaneRecord& r) {
    // The construction puts the start, middle, end and pole on or inside the
    // unit circle and, for dips up to 89.91°, the centre and radius below
    // 1/cos 89.91° ≈ 637; angles lie in 0..360. The limits leave room for
    // the six digits the file keeps and nothing like room for a hostile value.
    const auto inDisc = [](const QPointF& p) { return std::hypot(p.x(), p.y()) <= 1.01; };
    const auto within = [](double v, double low, double high) { return v >= low && v <= high; };
    return isValidAttitude(r) && inDisc(r.StartPoint) && inDisc(r.MidPoint) && inDisc(r.EndPoint) &&
           inDisc(r.PolePoint) && std::hypot(r.CenterPoint.x(), r.CenterPoint.y()) <= 1000 &&
           within(r.CircleRadius, 0, 1000) && within(r.StartAngle, -1, 361) && within(r.SpanRadius, 0, 361);
}

void DataCenter::updateSlopeGeometry() {
    if (slope.calculated && isPlausibleGeometry(slope))
        return;
    if (isValidAttitude(slope)) {
        computePlaneGeometry(slope);
        slope.calculated = true;
    } else {
        slope.calculated = false;
    }
}

void DataCenter::updatePlanesGeometry() {
    for (PlaneRecord& plane : planes) {
        if (plane.calculated && isPlausibleGeometry(plane))
            continue;
        if (isValidAttitude(plane)) {
            computePlaneGeometry(plane);
            plane.calculated = true;
        } else {
            plane.calculated = false;
        }
    }
}
