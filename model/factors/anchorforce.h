#pragma once

// The anchor force that brings a block to a required factor of safety, and
// the inclination at which that force is least. Planes: closed form from
// Hoek & Bray's anchored block; wedges: solved on the vector equilibrium.

#include "model/factors/planarsliding.h"
#include "model/factors/wedgesliding.h"

struct RequiredAnchor {
    bool block = false;     // the geometry forms a block that slides
    bool reachable = false; // some force at the inclination gives the required factor
    double force = 0;       // total anchor force T (planes kN/m, wedges kN)
};

// Planar block with the crack at b (loads.anchorForce is ignored; the
// anchor acts at loads.anchorInclination).
RequiredAnchor planarRequiredAnchorAt(const PlanarSection& section, const PlanarLoads& loads,
                                      double crackDistance, double required);
// The same with the crack where it asks for the most force (the critical
// crack for the anchored block), up to planarCrackLimit.
RequiredAnchor planarRequiredAnchor(const PlanarSection& section, const PlanarLoads& loads, double required,
                                    bool crackCritical, double crackDistance);
// Inclination ψT (degrees below horizontal, −90..90) at which the required
// force is least, and that force; false when no inclination reaches it.
bool planarLeastAnchor(const PlanarSection& section, const PlanarLoads& loads, double required,
                       bool crackCritical, double crackDistance, double& inclination, double& force);

// Wedge: the anchor's bearing and inclination from loads.anchor*; its force
// is solved for.
RequiredAnchor wedgeRequiredAnchor(const WedgeGeometry& geometry, const WedgeLoads& loads, double required);
bool wedgeLeastAnchor(const WedgeGeometry& geometry, const WedgeLoads& loads, double required,
                      double& inclination, double& force);
