// Wedges, apparent dips, the stability judgement and the conclusion texts.
#include "model/datacenter.h"
#include "model/labels.h"
#include "model/stabilityrules.h"

#include <QDateTime>

#include <cmath>
#include <limits>

namespace {
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

    for (PlaneRecord& plane : planes)
        plane.normal = planeNormal(plane.direction, plane.angle);

    for (int i = 0; i < planes.size(); ++i) {
        const PlaneRecord& A = planes.at(i);
        if (!finiteAttitude(A))
            continue;
        for (int j = i + 1; j < planes.size(); ++j) {
            const PlaneRecord& B = planes.at(j);
            if (!finiteAttitude(B))
                continue;
            PlaneRecord wedge;
            if (!intersectionLine(A.normal, B.normal, wedge.direction, wedge.angle))
                continue;
            const qint64 number = wedgeNumber(A.id, B.id);
            wedge.id = number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max()
                           ? int(number)
                           : -1;
            wedge.planeA = i;
            wedge.planeB = j;
            wedge.idA = A.id;
            wedge.idB = B.id;
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

    auto apply = [&](PlaneRecord& record) {
        const ApparentDips a = apparentDips(slope.direction, slope.angle, record.direction, record.angle);
        record.directionDelta = a.directionDelta;
        record.apparentAngle = a.apparentAngle;
        record.slopeApparentAngle = a.slopeApparentAngle;
    };
    for (PlaneRecord& plane : planes)
        apply(plane);
    for (PlaneRecord& wedge : wedges)
        apply(wedge);
}

SlopeCriteria DataCenter::slopeCriteria() const {
    SlopeCriteria c;
    c.direction = slope.direction;
    c.angle = slope.angle;
    c.includedAngle = IncludedAnglePlanar;
    c.frictionAngle = FrictionAnglePlanar;
    c.topple = Topple;
    c.frictionAngleTopple = FrictionAngleTopple;
    return c;
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
    const SlopeCriteria criteria = slopeCriteria();
    const bool slopeFinite = finiteAttitude(slope);
    for (PlaneRecord& plane : planes) {
        if (!slopeFinite || !finiteAttitude(plane)) {
            plane.state = StabilityState::NotJudged;
            continue;
        }
        ApparentDips a;
        a.directionDelta = plane.directionDelta;
        a.apparentAngle = plane.apparentAngle;
        a.slopeApparentAngle = plane.slopeApparentAngle;
        plane.state = planarState(criteria, a, plane.angle);
    }

    for (PlaneRecord& wedge : wedges) {
        if (!slopeFinite) {
            wedge.state = StabilityState::NotJudged;
            continue;
        }
        wedge.state = wedgeState(criteria, wedge.slopeApparentAngle, wedge.angle);
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
