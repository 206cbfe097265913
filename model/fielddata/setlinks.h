#pragma once

#include "model/fielddata/measurements.h"
#include "model/fielddata/setstatistics.h"
#include "model/planerecord.h"

#include <QList>
#include <QStringList>
#include <QVector>

// The links between joint sets and the structural planes made from their
// mean planes (用作结构面). A set holds the id of its plane and the mean plane
// and count that plane last took (JointSet::planeId, …); a plane is known as
// a set's by its note, which begins with the set's name ("J1 n=54 K=38").

// Whether a plane's note names the set `name` (the name, then a space or
// nothing: "J1 n=54" is J1's, "J10 n=3" is not).
bool noteNamesSet(const QString& note, const QString& name);

// Drops every link whose plane is gone: no plane with the linked id, a plane
// whose note no longer names the set (the set was renamed, or the note
// edited), or one an earlier set holds already. Returns whether any link
// was dropped.
bool dropStaleSetLinks(QVector<JointSet>& sets, const QList<PlaneRecord>& planes);

// After the data dialog, whose deleted rows renumber the planes after them:
// each link follows its plane, the plane with the linked id when its note
// still names the set, otherwise the one plane whose note names it; then
// as dropStaleSetLinks. Returns whether any link changed.
bool followSetPlanes(QVector<JointSet>& sets, const QList<PlaneRecord>& planes);

// The sets were replaced or edited (`before` as they were): a set of `after`
// without a link takes the link of the set of the same name in `before`
// (automatic sets are named afresh from J1), unless a set of `after` holds
// that plane already.
void carrySetLinks(QVector<JointSet>& after, const QVector<JointSet>& before);

// The plane a set's mean plane makes (setPlaneRecords: a joint, 89.9° at
// most, the note "J1 n=54 K=38"); false for a set without poles.
bool setPlaneOf(const FieldData& field, const QVector<SetStatistics>& statistics, int set,
                PlaneRecord& plane);

// The linked sets whose plane is out of date: the set's mean plane, as a
// plane takes it, is more than 0.05° from the one the link recorded, or the
// set's count changed. Sets without poles are left out (they make no plane).
QVector<int> changedSetPlanes(const FieldData& field, const QVector<SetStatistics>& statistics);

// The link records the set's present mean plane and count, so that the same
// change is not reported again.
void recordSetPlane(FieldData& field, const QVector<SetStatistics>& statistics, int set);

// How many of the sets `chosen` would add a plane (those with poles and no
// plane of their own); the others update theirs.
int newSetPlanes(const FieldData& field, const QVector<SetStatistics>& statistics,
                 const QVector<int>& chosen);

// Room for new planes among `maxPlanes` structural planes.
inline int setPlaneRoom(const QList<PlaneRecord>& planes, int maxPlanes) {
    return qMax(0, maxPlanes - int(planes.size()));
}

// The sets taken when they all fit: every set with poles, in order, the
// linked ones first, then unlinked ones while there is room.
QVector<int> defaultSetPlaneChoice(const FieldData& field, const QVector<SetStatistics>& statistics,
                                   int room);

struct SetPlanesResult {
    int added = 0;
    int updated = 0;
};

// Puts the mean planes of the sets `chosen` (indexes into field.sets) into
// `planes`: a set with a plane updates its attitude and note (its id, kind
// and place stay, and its geometry is to be computed again); any other set
// with poles appends a joint numbered after the highest id and is linked to
// it. Call dropStaleSetLinks first.
SetPlanesResult putSetPlanes(FieldData& field, const QVector<SetStatistics>& statistics,
                             const QVector<int>& chosen, QList<PlaneRecord>& planes);

// Which set planes are in the analysis, one text a linked set: "J1 → 结构面1
// (145∠35)" with the plane's present attitude (whole degrees).
QStringList setPlaneUseLines(const FieldData& field, const QList<PlaneRecord>& planes);
