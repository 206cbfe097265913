#pragma once

#include "model/factors/stabilityparams.h"
#include "model/planerecord.h"

#include <QList>

// The strengths of the factor-of-safety inputs are kept by plane id, and the
// data dialog renumbers the planes 1..n whenever it is accepted. This moves
// each strength to the new id of its plane: a plane found again with the same
// attitude, kind and notes keeps its strength; a plane edited in place keeps
// the strength of the plane that stood at its position; a new plane gets none
// (it uses the defaults). Anchors follow their planes the same way; a
// wedge's anchor follows when both its planes are found again.
void followRenumberedPlanes(StabilityParams& params, const QList<PlaneRecord>& before,
                            const QList<PlaneRecord>& after);
