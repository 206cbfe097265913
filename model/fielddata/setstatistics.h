#pragma once

#include "model/vec3.h"

#include <QVector>

#include <array>

// Statistics of one joint set: the poles of its planes taken as axes (a pole
// and its antipode are the same plane). Vectors are unit vectors in the
// frame (east, north, up); a plane's axis is its upward normal, as
// planeNormal() in model/stabilityrules.h gives it.
using UnitAxis = Vec3;

UnitAxis planeAxis(double direction, double angle); // upward normal of a plane 倾向∠倾角
// The plane 倾向∠倾角 whose pole is the axis (either end).
void axisPlane(const UnitAxis& axis, double& direction, double& angle);
// Angle between two axes, 0..90 degrees.
double axialAngle(const UnitAxis& a, const UnitAxis& b);

struct SetStatistics {
    int count = 0;                // poles
    double weightedCount = 0;     // N: the sum of the weights (quantities)
    UnitAxis meanAxis{{0, 0, 1}}; // mean pole, upper end
    double direction = 0;         // mean plane: dip direction
    double angle = 0;             //             dip
    double poleTrend = 0;         // mean pole as a lower-hemisphere line: trend
    double polePlunge = 90;       //                                       plunge
    double resultant = 0;         // R: length of the weighted resultant of the oriented axes
    double k = 0;                 // Fisher's K = (N - 1)/(N - R); infinite when R = N; NaN when N <= 1
    double alpha95 = 0;           // confidence cone of the mean, degrees; NaN when N <= 1
    double variabilityCone = 0;   // cone holding the fraction `probability` of the set, degrees
    double probability = 0.6826;  // of the variability cone
    std::array<double, 3> eigenvalues{{0, 0, 0}}; // of the orientation tensor, λ1 >= λ2 >= λ3, sum 1
    std::array<UnitAxis, 3> eigenvectors{};       // their axes (upper ends)
};

// Statistics of the axes `axes` with weights `weights` (empty: all 1). Every
// axis is first turned into the hemisphere about `centre`, then about the
// mean so found, until no axis changes side.
SetStatistics setStatistics(const QVector<UnitAxis>& axes, const QVector<double>& weights,
                            const UnitAxis& centre, double probability = 0.6826);

// The exact semi-angle (degrees) of the cone of confidence 1 - p about the
// mean of N unit vectors with resultant length R.
double confidenceCone(double N, double R, double p = 0.05);

// The semi-angle (degrees) of the cone about the mean that holds the fraction
// P of a Fisher distribution of concentration K.
double fisherCone(double K, double P);

// Eigenvalues (descending) and unit eigenvectors of a symmetric 3×3 matrix.
void symmetricEigen(const std::array<std::array<double, 3>, 3>& m, std::array<double, 3>& values,
                    std::array<UnitAxis, 3>& vectors);
