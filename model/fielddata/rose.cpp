#include "model/fielddata/rose.h"

#include <algorithm>
#include <cmath>

RoseDiagram roseDiagram(const QVector<double>& directions, const QVector<double>& angles,
                        const QVector<double>& weights, const RoseSettings& settings) {
    RoseDiagram rose;
    rose.settings = settings;
    double width = settings.sectorWidth;
    if (!(width >= 1 && width <= 90) || std::abs(std::remainder(180, width)) > 1e-9)
        width = 10;
    rose.settings.sectorWidth = width;
    const int count = int(std::lround(360 / width));
    const int half = count / 2;
    rose.sectors.fill(0.0, count);
    const bool strike = settings.quantity == RoseQuantity::Strike;
    const int n = std::min(directions.size(), angles.size());
    for (int i = 0; i < n; ++i) {
        if (!(angles[i] > 0)) {
            ++rose.excluded;
            continue;
        }
        const double w = settings.weighted && i < weights.size() ? weights[i] : 1.0;
        double a = strike ? directions[i] - 90 : directions[i];
        a = std::fmod(a, strike ? 180.0 : 360.0);
        if (a < 0)
            a += strike ? 180.0 : 360.0;
        int k = int(std::floor(a / width + 1e-9));
        k = std::clamp(k, 0, (strike ? half : count) - 1);
        rose.sectors[k] += w;
        rose.total += w;
    }
    if (strike)
        for (int k = 0; k < half; ++k)
            rose.sectors[k + half] = rose.sectors[k];
    if (settings.percent && rose.total > 0)
        for (double& v : rose.sectors)
            v *= 100 / rose.total;
    for (double v : rose.sectors)
        rose.maxValue = std::max(rose.maxValue, v);
    return rose;
}
