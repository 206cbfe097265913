#pragma once

// Terzaghi's correction for the sampling bias of a traverse (scanline or
// borehole). A plane at angle α to the traverse line crosses it sin α times as
// often as a plane perpendicular to it, so each measured plane stands for
// 1 / sin α planes: N90 = Nα / sin α (R. D. Terzaghi, "Sources of error in
// joint surveys", Géotechnique 15 (1965) 287–304). Near α = 0 the weight
// grows without bound, so it is capped through a minimum bias angle: the
// usual tools (Rocscience Dips, "Terzaghi Weighting") use α no smaller than
// 15° by default, i.e. W ≤ 1 / sin 15° = 3.864. Planes nearly parallel to the
// traverse (the "blind zone") stay under-sampled whatever the weight.
//
// The weight changes densities and rose diagrams, never where poles plot.

// Sine of the angle between the plane (dip direction, dip) and the line
// (trend, plunge): |n · l| for the plane's unit normal n and the line's unit
// vector l. 1 for a line perpendicular to the plane, 0 for a line in it.
double planeLineSine(double direction, double angle, double trend, double plunge);

// W = 1 / max(sin α, sin minBiasAngle), degrees.
double terzaghiWeight(double direction, double angle, double trend, double plunge, double minBiasAngle);
