#pragma once

#include "model/planerecord.h"

#include <QString>

// A structural plane as the tests and the sample projects build them.
inline PlaneRecord makePlane(int id, double direction, double angle, int type = Joint,
                             const QString& notes = QString()) {
    PlaneRecord p;
    p.id = id;
    p.direction = direction;
    p.angle = angle;
    p.type = type;
    p.notes = notes;
    return p;
}
