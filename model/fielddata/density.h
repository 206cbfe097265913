#pragma once

#include "model/fielddata/measurements.h"
#include "model/fielddata/sphere.h"

#include <QString>
#include <QVector>

// Density of poles on the sphere.
//
// Poles are axes: a pole and its antipode are the same plane, so everything
// below depends on c = |u · p| only (u the point where the density is taken,
// p a pole, both unit vectors). n is the weighted number of poles, n = Σ w.
// The densities are defined on the sphere; the grid below merely samples
// them at the nodes of a net, so an equal-area net can reuse densityAt.
//
// Schmidt counting (the "1 % method"; W. Schmidt 1925, as in Rocscience
// Dips, "Contour plots", and in Chinese practice with a 1 % counting circle):
// the weighted poles within a counting cone whose area is a = countingArea/100
// of the hemisphere, i.e. 1 − c ≤ a (a cap of half-angle acos(1 − a): 8.11°
// for 1 %), as a percentage of n, per 1 % of the hemisphere's area:
//     D = Σ_{1−c≤a} w / (a · n)            [% per 1 % area]
// For a = 1 % this is the familiar "percent of the poles in a 1 % circle". A
// uniform sample gives D = 1 everywhere (in expectation).
//
// Fisher smoothing: each pole spreads as a Fisher distribution (R. A. Fisher,
// "Dispersion on a sphere", Proc. R. Soc. A 217 (1953) 295–305) on both of
// its ends, exp(K(c' − 1)) with c' = ±u·p, normalised so that every pole has
// the same total influence as in Schmidt counting and the unit is the same:
//     D = K / ((1 − e^(−2K)) · n) · Σ w (e^(K(u·p − 1)) + e^(−K(u·p + 1)))
// with K = 2/a, the exponential kernel of Vollmer (1995) whose f = 2(1 + n/σ²)
// equals 2/A for Kamb's cone of area A: its mean 1 − c about a pole, 1/K,
// equals that of a uniform cone of area a (a/2). For 1 %, K = 200. A uniform
// sample gives D = 1 (in expectation).
//
// Kamb counting (W. B. Kamb, "Ice petrofabric observations from Blue Glacier,
// Washington", J. Geophys. Res. 64 (1959) 1891–1909): a counting cone of area
// fraction A = σ²/(n + σ²) (σ = 3), so that the count expected from a uniform
// sample, nA, lies σ standard deviations σ_N = √(nA(1 − A)) above zero; the
// density is the count in multiples of σ_N:
//     D = Σ_{1−c≤A} w / σ_N                [σ]
// A uniform sample gives D = σ = 3; contours are usually drawn at 2σ, 4σ, 6σ.
// (mplstereonet subtracts 0.5 from every count; Karven does not.)

struct WeightedAxis {
    Vec3 axis{{0, 0, 1}}; // unit vector, either end
    double weight = 1;    // > 0
};

struct DensitySettings {
    DensityMethod method = DensityMethod::Schmidt;
    double countingArea = 1; // percent of the hemisphere (Schmidt, Fisher), 0.5..5
    double kambSigma = 3;    // Kamb's σ
};

// The method applied to a sample of weighted count n.
struct DensityKernel {
    DensityMethod method = DensityMethod::Schmidt;
    double coneFraction =
        0.01; // a or A: the counting cone's area over the hemisphere's, = 1 − cos(half-angle)
    double coneHalfAngle = 8.11; // degrees
    double fisherK = 0;          // Fisher's K (Fisher smoothing only)
    double scale = 0;            // D = scale · Σ w · kernel (kernel 0/1 in the cone, or the Fisher terms)
    double expectedUniform = 1;  // D of a uniform sample: 1 (% per 1 % area) or σ
    QString unit;                // "%" or "sigma"
};
DensityKernel densityKernel(const DensitySettings& settings, double weightedCount);

// The density at the direction `at` (unit vector), summing over every pole:
// the definitions above as they stand. 0 when there are no poles.
double densityAt(const QVector<WeightedAxis>& poles, const DensitySettings& settings, const Vec3& at);

// The density sampled on a square grid of the equal-angle net (net
// coordinates as in sphere.h) for one hemisphere. Nodes are spaced
// 2/resolution apart, x_i = −extent + i·step, y_j likewise (j = 0 south), and
// reach two nodes beyond the primitive circle on every side: there the
// projection continues onto the other hemisphere (sphere.h), so the density is
// smooth across the circle and contours can be cut exactly at it.
struct DensityGrid {
    int nodes = 0;     // per row and per column
    double step = 0;   // node spacing in net units
    double extent = 0; // x and y run from −extent to +extent
    bool upperHemisphere = false;
    DensityKernel kernel;
    double weightedCount = 0; // n
    int count = 0;            // number of poles
    QVector<double> values;   // nodes × nodes, row by row from the south
    double maxValue = 0;      // the largest value at a node within the circle
    int maxNode = -1;         // its index in values, -1 without poles

    double at(int i, int j) const { return values[j * nodes + i]; }
    QPointF point(int i, int j) const { return QPointF(-extent + i * step, -extent + j * step); }
};

// Computes the grid. Each pole adds itself only to the nodes near it: the
// counting cone (or the Fisher kernel down to e^−12 of its peak) is a circle
// on the equal-angle net, so every row of nodes gets an interval at once
// (exact to the definition: nodes at an interval's ends are tested on the
// sphere; Fisher: below densityAt by at most 6.2·10⁻⁶·K where the kernel is
// cut, and within 1.1·10⁻⁶ of itself where it is read from a table).
// resolution = number of node spacings across the primitive's
// diameter (default 100, i.e. 2 % of the radius; 10..1000).
DensityGrid densityGrid(const QVector<WeightedAxis>& poles, const DensitySettings& settings,
                        bool upperHemisphere, int resolution = 100);

// The maximum density and where it is: the best node of the grid, refined by
// a local search on the sphere with densityAt (never lower than the grid's).
struct DensityMaximum {
    double value = 0;
    Vec3 axis{{0, 0, 1}}; // unit vector of the maximum
    double direction = 0; // the plane whose pole is there: 倾向
    double angle = 0;     //                                 倾角
    bool valid = false;   // false without poles
};
DensityMaximum densityMaximum(const DensityGrid& grid, const QVector<WeightedAxis>& poles,
                              const DensitySettings& settings);

// Contour levels chosen for a maximum: Schmidt and Fisher a "nice" step (0.5,
// 1, 2, 2.5, 5 times a power of ten) giving at most eight levels from one step
// up to the maximum; Kamb 2σ, 4σ, 6σ… (4σ, 8σ… beyond eight levels).
QVector<double> automaticLevels(const DensityKernel& kernel, double maxValue);
