#include "model/fielddata/terzaghi.h"

#include "model/fielddata/sphere.h"

#include <algorithm>
#include <cmath>

double planeLineSine(double direction, double angle, double trend, double plunge) {
    return std::min(1.0, std::abs(dot(planePole(direction, angle), lineVector(trend, plunge))));
}

double terzaghiWeight(double direction, double angle, double trend, double plunge, double minBiasAngle) {
    // Terzaghi (1965): N90 = Nα / sin α, with α capped below (Dips' minimum
    // bias angle).
    const double floor = std::sin(minBiasAngle * 0.017453292519943295);
    return 1 / std::max(planeLineSine(direction, angle, trend, plunge), floor);
}
