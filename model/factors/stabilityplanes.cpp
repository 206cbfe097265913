#include "model/factors/stabilityplanes.h"

#include <QVector>

#include <cmath>

namespace {
// The data dialog hands angles back as it shows them: one decimal, read as
// single precision.
bool sameAngle(double a, double b) {
    return std::abs(a - b) <= 0.05 + 1e-6;
}

bool samePlane(const PlaneRecord& a, const PlaneRecord& b) {
    return sameAngle(a.direction, b.direction) && sameAngle(a.angle, b.angle) && a.type == b.type &&
           a.notes.trimmed() == b.notes.trimmed();
}
} // namespace

void followRenumberedPlanes(StabilityParams& params, const QList<PlaneRecord>& before,
                            const QList<PlaneRecord>& after) {
    if (params.planes.isEmpty() && params.planeAnchors.isEmpty() && params.wedgeAnchors.isEmpty())
        return;
    QVector<int> source(after.size(), -1); // position in `before` of each plane of `after`
    QVector<bool> used(before.size(), false);
    for (int i = 0; i < after.size(); ++i) {
        for (int j = 0; j < before.size(); ++j) {
            if (!used[j] && samePlane(after[i], before[j])) {
                source[i] = j;
                used[j] = true;
                break;
            }
        }
    }
    for (int i = 0; i < after.size(); ++i) {
        if (source[i] < 0 && i < before.size() && !used[i]) {
            source[i] = i;
            used[i] = true;
        }
    }
    QMap<int, PlaneStrength> moved;
    QMap<int, BlockAnchor> movedAnchors;
    QMap<int, int> newId; // old id -> new id of the planes found again
    for (int i = 0; i < after.size(); ++i) {
        if (source[i] < 0)
            continue;
        const int oldId = before[source[i]].id;
        if (!newId.contains(oldId))
            newId.insert(oldId, after[i].id);
        if (params.planes.contains(oldId))
            moved.insert(after[i].id, params.planes.value(oldId));
        if (params.planeAnchors.contains(oldId))
            movedAnchors.insert(after[i].id, params.planeAnchors.value(oldId));
    }
    params.planes = moved;
    params.planeAnchors = movedAnchors;
    // A wedge's anchor follows when both its planes are found again.
    QMap<WedgeKey, BlockAnchor> movedWedges;
    for (auto it = params.wedgeAnchors.constBegin(); it != params.wedgeAnchors.constEnd(); ++it) {
        if (newId.contains(it.key().first) && newId.contains(it.key().second))
            movedWedges.insert(wedgeKey(newId.value(it.key().first), newId.value(it.key().second)),
                               it.value());
    }
    params.wedgeAnchors = movedWedges;
}
