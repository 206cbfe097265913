// Wedges, apparent dips, the stability judgement and the conclusion texts.
#include "model/datacenter.h"
#include "model/labels.h"

#include <QDateTime>

#include <cmath>
#include <limits>

namespace {
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;
constexpr double kEps = 1e-5;
constexpr double kCriterionOff = 89.99999;

// Fixed limits of the toppling test: a plane topples only when its dip
// direction lies within 20° of the direction opposite the slope's and the
// slope face, seen in the plane's dip direction, dips more than 30°.
constexpr double kToppleDirection = 160.0;
constexpr double kToppleSlopeDip = 30.0;

double radians(double degrees) {
    return degrees * kDegToRad;
}
double degrees(double radians) {
    return radians * kRadToDeg;
}

// An attitude that is not a number has no verdict and no intersections,
// whichever path brought it into the project.
bool finiteAttitude(const PlaneRecord& record) {
    return std::isfinite(record.direction) && std::isfinite(record.angle);
}

// Joins the names, replacing the final "、" by the closing text.
QString sentence(const QString& head, const QStringList& names, const QString& closing) {
    QString text = head.arg(names.size()) + names.join(QString());
    text.chop(1);
    return text + closing;
}
} // namespace

void DataCenter::computeWedges() {
    wedges.clear();
    if (planes.size() < 2)
        return;

    for (PlaneRecord& plane : planes) {
        const double a = radians(plane.direction);
        const double d = radians(plane.angle);
        plane.normal = {{std::sin(a) * std::sin(d), std::cos(a) * std::sin(d), std::cos(d)}};
    }

    for (int i = 0; i < planes.size(); ++i) {
        const PlaneRecord& A = planes.at(i);
        if (!finiteAttitude(A))
            continue;
        for (int j = i + 1; j < planes.size(); ++j) {
            const PlaneRecord& B = planes.at(j);
            if (!finiteAttitude(B))
                continue;
            double cx = A.normal[1] * B.normal[2] - A.normal[2] * B.normal[1];
            double cy = A.normal[2] * B.normal[0] - A.normal[0] * B.normal[2];
            double cz = A.normal[0] * B.normal[1] - A.normal[1] * B.normal[0];
            if (std::fabs(cz) < kEps) // horizontal line, or parallel planes
                continue;
            if (std::fabs(cx) < kEps && std::fabs(cy) < kEps) // vertical line
                continue;
            if (cz < 0) {
                cx = -cx;
                cy = -cy;
                cz = -cz;
            }
            // (-cx, -cy, -cz) points down the line; its horizontal part gives the trend.
            const double m = polarAngleOf(-cx, -cy);
            PlaneRecord wedge;
            const qint64 number = wedgeNumber(A.id, B.id);
            wedge.id = number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max()
                           ? int(number)
                           : -1;
            wedge.planeA = i;
            wedge.planeB = j;
            wedge.idA = A.id;
            wedge.idB = B.id;
            wedge.direction = m <= 90.0 ? 90.0 - m : 450.0 - m;
            wedge.angle = degrees(std::atan(cz / std::sqrt(cx * cx + cy * cy)));
            wedges.append(wedge);
        }
    }

    for (PlaneRecord& wedge : wedges) {
        if (isValidAttitude(wedge)) {
            computePlaneGeometry(wedge);
            wedge.calculated = true;
        } else {
            wedge.calculated = false;
        }
    }
}

void DataCenter::computeApparentDips() {
    slope.apparentAngle = slope.angle;
    slope.slopeApparentAngle = slope.angle;

    const double slopeTan = std::tan(radians(slope.angle));
    auto apply = [&](PlaneRecord& record) {
        double d = std::fabs(record.direction - slope.direction);
        if (d > 180.0)
            d = 360.0 - d;
        record.directionDelta = d;
        if (std::fabs(record.angle - 90.0) < kEps) {
            record.apparentAngle = 90.0;
            record.slopeApparentAngle = 0.0;
            return;
        }
        const double c = std::cos(radians(d));
        record.apparentAngle = degrees(std::atan(std::tan(radians(record.angle)) * c));
        record.slopeApparentAngle = degrees(std::atan(slopeTan * c));
    };
    for (PlaneRecord& plane : planes)
        apply(plane);
    for (PlaneRecord& wedge : wedges)
        apply(wedge);
}

void DataCenter::analyse() {
    analysisTime = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (analysisOff)
        return;
    computeWedges();
    computeApparentDips();
    judgeZone.setModes(UpperMode, BigCircle, Topple);
    if (BigCircle) {
        judgeZone.buildGreatCircleZones(slope.angle, IncludedAnglePlanar, FrictionAnglePlanar);
        judgeZone.buildGreatCircleTopple(slope.angle, IncludedAngleTopple, FrictionAngleTopple);
    } else {
        judgeZone.buildPoleZones(slope.angle, IncludedAnglePlanar, FrictionAnglePlanar);
        judgeZone.buildPoleTopple(slope.angle, IncludedAngleTopple, FrictionAngleTopple);
    }
    judgeStability();
}

void DataCenter::judgeStability() {
    const double i = IncludedAnglePlanar;
    const double f = FrictionAnglePlanar;
    const double ft = FrictionAngleTopple;
    const bool includedOff = i > kCriterionOff;
    const bool frictionOff = f < kEps;

    const bool slopeFinite = finiteAttitude(slope);
    for (PlaneRecord& plane : planes) {
        if (!slopeFinite || !finiteAttitude(plane)) {
            plane.state = StabilityState::NotJudged;
            continue;
        }
        const double s = plane.slopeApparentAngle;
        const double dip = plane.angle;
        const double d = plane.directionDelta;
        int code;
        if (s < 0) {
            code = StabilityState::Opposite;
            if (Topple && d + kEps > kToppleDirection && -s > kToppleSlopeDip &&
                dip > ft + 90.0 - (-s) - kEps)
                code = StabilityState::Toppling;
        } else if (dip > s - kEps) {
            code = StabilityState::Steeper;
        } else if (dip < f - kEps) {
            code = StabilityState::BelowFriction;
        } else if (d > i + kEps) {
            code =
                frictionOff ? StabilityState::OutsideIncluded : StabilityState::OutsideIncludedAboveFriction;
        } else if (frictionOff && includedOff) {
            code = StabilityState::Unstable;
        } else if (includedOff) {
            code = StabilityState::UnstableAboveFriction;
        } else if (frictionOff) {
            code = StabilityState::UnstableInsideIncluded;
        } else {
            code = StabilityState::UnstableAboveFrictionInsideIncluded;
        }
        plane.state = code;
    }

    for (PlaneRecord& wedge : wedges) {
        if (!slopeFinite) {
            wedge.state = StabilityState::NotJudged;
            continue;
        }
        const double s = wedge.slopeApparentAngle;
        const double plunge = wedge.angle;
        int code;
        if (s < 0)
            code = StabilityState::Opposite;
        else if (plunge > s - kEps)
            code = StabilityState::Steeper;
        else if (plunge < f - kEps)
            code = StabilityState::BelowFriction;
        else if (f > kCriterionOff || frictionOff)
            code = StabilityState::Unstable;
        else
            code = StabilityState::UnstableAboveFriction;
        wedge.state = code;
    }
}

void DataCenter::buildConclusion() {
    for (QString& text : conclusion)
        text.clear();

    QStringList unstable;
    QStringList toppling;
    for (const PlaneRecord& plane : planes) {
        if (plane.state < 31 || plane.state > 40)
            continue;
        if (plane.state == StabilityState::Toppling)
            toppling.append(Labels::planeName(plane));
        else
            unstable.append(Labels::planeName(plane));
    }
    QStringList unstableWedges;
    for (const PlaneRecord& wedge : wedges) {
        if (wedge.state > 30)
            unstableWedges.append(Labels::wedgeName(wedge));
    }

    if (!unstable.isEmpty())
        conclusion[0] = sentence(tr("边坡岩体中存在%1组不稳定结构面，它们是："), unstable, tr("；"));
    if (!unstableWedges.isEmpty())
        conclusion[1] =
            sentence(tr("其结构面组合中存在%1组不稳定楔形体，它们是："), unstableWedges, tr("组合；"));
    if (Topple && !toppling.isEmpty())
        conclusion[2] = sentence(tr("边坡岩体中存在%1组易倾倒破坏结构面，它们是："), toppling, tr("；"));
}
