#include "model/fielddata/setlinks.h"

#include "model/fielddata/setplanes.h"

#include <QCoreApplication>

#include <cmath>

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("FieldData", text);
}

// Agreement of a recorded attitude with the present one; dip directions
// are compared round the circle (359.98 and 0.01 agree).
constexpr double LinkTolerance = 0.05;

bool sameDirection(double a, double b) {
    double d = std::fmod(std::fabs(a - b), 360.0);
    d = std::min(d, 360.0 - d);
    return d <= LinkTolerance;
}

int planeIndexOfId(const QList<PlaneRecord>& planes, int id) {
    for (int i = 0; i < planes.size(); ++i)
        if (planes.at(i).id == id)
            return i;
    return -1;
}
} // namespace

bool noteNamesSet(const QString& note, const QString& name) {
    const QString n = note.trimmed();
    if (name.isEmpty() || !n.startsWith(name))
        return false;
    return n.size() == name.size() || n.at(name.size()).isSpace();
}

namespace {
// `byNote`: a link whose plane is not found by its id takes the one plane
// whose note names the set.
bool keepSetLinks(QVector<JointSet>& sets, const QList<PlaneRecord>& planes, bool byNote) {
    bool changed = false;
    QVector<int> held; // ids of planes taken by earlier sets
    for (JointSet& set : sets) {
        if (!set.hasPlane())
            continue;
        int found = planeIndexOfId(planes, set.planeId);
        if (found >= 0 && !noteNamesSet(planes.at(found).notes, set.name))
            found = -1;
        if (found < 0 && byNote) {
            int matches = 0;
            for (int i = 0; i < planes.size(); ++i)
                if (noteNamesSet(planes.at(i).notes, set.name)) {
                    found = i;
                    ++matches;
                }
            if (matches != 1)
                found = -1;
        }
        if (found >= 0 && held.contains(planes.at(found).id))
            found = -1;
        if (found < 0) {
            set.dropPlane();
            changed = true;
            continue;
        }
        if (set.planeId != planes.at(found).id) {
            set.planeId = planes.at(found).id;
            changed = true;
        }
        held.append(set.planeId);
    }
    return changed;
}
} // namespace

bool dropStaleSetLinks(QVector<JointSet>& sets, const QList<PlaneRecord>& planes) {
    return keepSetLinks(sets, planes, false);
}

bool followSetPlanes(QVector<JointSet>& sets, const QList<PlaneRecord>& planes) {
    return keepSetLinks(sets, planes, true);
}

void carrySetLinks(QVector<JointSet>& after, const QVector<JointSet>& before) {
    for (JointSet& set : after) {
        if (set.hasPlane())
            continue;
        for (const JointSet& old : before) {
            if (old.name != set.name || !old.hasPlane())
                continue;
            bool taken = false;
            for (const JointSet& other : qAsConst(after))
                taken = taken || (other.hasPlane() && other.planeId == old.planeId);
            if (!taken) {
                set.planeId = old.planeId;
                set.planeDirection = old.planeDirection;
                set.planeAngle = old.planeAngle;
                set.planeCount = old.planeCount;
            }
            break;
        }
    }
}

bool setPlaneOf(const FieldData& field, const QVector<SetStatistics>& statistics, int set,
                PlaneRecord& plane) {
    const QList<PlaneRecord> made = setPlaneRecords(field, statistics, {set}, 1);
    if (made.isEmpty())
        return false;
    plane = made.first();
    return true;
}

QVector<int> changedSetPlanes(const FieldData& field, const QVector<SetStatistics>& statistics) {
    QVector<int> changed;
    for (int s = 0; s < field.sets.size(); ++s) {
        const JointSet& set = field.sets.at(s);
        PlaneRecord plane;
        if (!set.hasPlane() || !setPlaneOf(field, statistics, s, plane))
            continue;
        if (!sameDirection(plane.direction, set.planeDirection) ||
            std::fabs(plane.angle - set.planeAngle) > LinkTolerance ||
            statistics.at(s).count != set.planeCount)
            changed.append(s);
    }
    return changed;
}

void recordSetPlane(FieldData& field, const QVector<SetStatistics>& statistics, int set) {
    PlaneRecord plane;
    if (set < 0 || set >= field.sets.size() || !setPlaneOf(field, statistics, set, plane))
        return;
    JointSet& s = field.sets[set];
    s.planeDirection = plane.direction;
    s.planeAngle = plane.angle;
    s.planeCount = statistics.at(set).count;
}

int newSetPlanes(const FieldData& field, const QVector<SetStatistics>& statistics,
                 const QVector<int>& chosen) {
    int n = 0;
    for (int s : chosen) {
        PlaneRecord plane;
        if (s >= 0 && s < field.sets.size() && !field.sets.at(s).hasPlane() &&
            setPlaneOf(field, statistics, s, plane))
            ++n;
    }
    return n;
}

QVector<int> defaultSetPlaneChoice(const FieldData& field, const QVector<SetStatistics>& statistics,
                                   int room) {
    QVector<int> chosen;
    for (int s = 0; s < field.sets.size(); ++s) {
        PlaneRecord plane;
        if (!setPlaneOf(field, statistics, s, plane))
            continue;
        if (field.sets.at(s).hasPlane()) {
            chosen.append(s);
        } else if (room > 0) {
            chosen.append(s);
            --room;
        }
    }
    return chosen;
}

SetPlanesResult putSetPlanes(FieldData& field, const QVector<SetStatistics>& statistics,
                             const QVector<int>& chosen, QList<PlaneRecord>& planes) {
    SetPlanesResult result;
    for (int s : chosen) {
        PlaneRecord made;
        if (s < 0 || s >= field.sets.size() || !setPlaneOf(field, statistics, s, made))
            continue;
        JointSet& set = field.sets[s];
        const int at = set.hasPlane() ? planeIndexOfId(planes, set.planeId) : -1;
        if (at >= 0) {
            PlaneRecord& plane = planes[at];
            plane.direction = made.direction;
            plane.angle = made.angle;
            plane.notes = made.notes;
            plane.calculated = false;
            ++result.updated;
        } else {
            int id = 0;
            for (const PlaneRecord& p : qAsConst(planes))
                id = std::max(id, p.id);
            made.id = id + 1;
            planes.append(made);
            set.planeId = made.id;
            ++result.added;
        }
        recordSetPlane(field, statistics, s);
    }
    return result;
}

QStringList setPlaneUseLines(const FieldData& field, const QList<PlaneRecord>& planes) {
    QStringList lines;
    for (const JointSet& set : field.sets) {
        const int at = set.hasPlane() ? planeIndexOfId(planes, set.planeId) : -1;
        if (at < 0)
            continue;
        const PlaneRecord& p = planes.at(at);
        lines << tr("%1 → 结构面%2 (%3)").arg(set.name).arg(p.id).arg(planeText(p.direction, p.angle));
    }
    return lines;
}
