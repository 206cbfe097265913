// Load cases of the factor-of-safety calculation and their required factors.
#include "model/factors/loadcases.h"

#include <QCoreApplication>

#include <cmath>
#include <limits>

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("StabilityFactors", text);
}

// αw of a new seismic case when the project has none yet: the value of
// GB 50330-2013 Table 5.2.6 for 8度 (0.20g); the engineer enters the site's.
constexpr double kDefaultSeismic = 0.05;
} // namespace

QList<LoadCase> loadCasesOf(const StabilityParams& p) {
    if (!p.cases.isEmpty())
        return p.cases;
    LoadCase only;
    only.name = p.seismic > 0 ? tr("地震工况") : tr("天然工况");
    only.crackWater = p.crackWater;
    only.wedgeSaturated = p.wedgeSaturated;
    only.seismic = p.seismic;
    return {only};
}

QList<LoadCase> defaultLoadCases(const StabilityParams& p) {
    LoadCase natural;
    natural.name = tr("天然工况");
    natural.crackWater = p.crackWater;
    natural.wedgeSaturated = p.wedgeSaturated;
    LoadCase rain;
    rain.name = tr("暴雨工况");
    rain.crackWater = 1;
    rain.wedgeSaturated = true;
    LoadCase seismic = natural;
    seismic.name = tr("地震工况");
    seismic.seismic = p.seismic > 0 ? p.seismic : kDefaultSeismic;
    return {natural, rain, seismic};
}

void mirrorFirstCase(StabilityParams& p) {
    if (p.cases.isEmpty())
        return;
    p.crackWater = p.cases.first().crackWater;
    p.wedgeSaturated = p.cases.first().wedgeSaturated;
    p.seismic = p.cases.first().seismic;
}

bool tableRequiredFactor(int safetyClass, bool permanent, bool seismic, double& required) {
    // GB 50330-2013 Table 5.3.2: permanent slopes in the ordinary (一般工况)
    // and in the seismic load case (地震工况), temporary slopes in the
    // ordinary case only; safety classes 一级, 二级, 三级.
    static const double permanentOrdinary[] = {1.35, 1.30, 1.25};
    static const double permanentSeismic[] = {1.15, 1.10, 1.05};
    static const double temporary[] = {1.25, 1.20, 1.15};
    const int i = qBound(1, safetyClass, 3) - 1;
    if (!permanent && seismic) {
        required = std::numeric_limits<double>::quiet_NaN();
        return false;
    }
    required = !permanent ? temporary[i] : seismic ? permanentSeismic[i] : permanentOrdinary[i];
    return true;
}

double caseRequiredFactor(const StabilityParams& p, const LoadCase& c, bool& fromTable, bool& missing) {
    double table = 0;
    const bool inTable = tableRequiredFactor(p.safetyClass, p.permanent, c.seismic > 0, table);
    if (c.requiredTyped > 0) {
        fromTable = false;
        missing = false;
        return c.requiredTyped;
    }
    fromTable = true;
    missing = !inTable;
    return table;
}
