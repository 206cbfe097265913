#include "model/fielddata/projectsets.h"

#include "model/fielddata/density.h"
#include "model/fielddata/fieldpoles.h"
#include "model/fielddata/sphere.h"

#include <QHash>

#include <cmath>

QVector<int> measurementSetIndexes(const FieldData& field) {
    QHash<QString, int> index;
    for (int s = 0; s < field.sets.size(); ++s)
        index.insert(field.sets.at(s).name, s);
    QVector<int> result;
    result.reserve(field.measurements.size());
    for (const Measurement& m : field.measurements)
        result.append(m.set.isEmpty() ? -1 : index.value(m.set, -1));
    return result;
}

QVector<SetStatistics> jointSetStatistics(const FieldData& field) {
    const QVector<int> setOf = measurementSetIndexes(field);
    const QVector<double> weights = measurementWeights(field);
    QVector<QVector<UnitAxis>> axes(field.sets.size());
    QVector<QVector<double>> w(field.sets.size());
    for (int i = 0; i < field.measurements.size(); ++i) {
        const int s = setOf.at(i);
        if (s < 0)
            continue;
        const Measurement& m = field.measurements.at(i);
        axes[s].append(planeAxis(m.direction, m.angle));
        w[s].append(weights.value(i, 1.0));
    }
    QVector<SetStatistics> result;
    for (int s = 0; s < field.sets.size(); ++s) {
        const JointSet& set = field.sets.at(s);
        result.append(setStatistics(axes.at(s), w.at(s), planeAxis(set.centerDirection, set.centerAngle)));
    }
    return result;
}

void assignMeasurementsToSets(FieldData& field) {
    QVector<SetWindow> windows;
    for (const JointSet& s : qAsConst(field.sets))
        windows.append({s.centerDirection, s.centerAngle, s.halfAngle});
    QVector<UnitAxis> axes;
    axes.reserve(field.measurements.size());
    for (const Measurement& m : qAsConst(field.measurements))
        axes.append(planeAxis(m.direction, m.angle));
    const QVector<int> set = assignToWindows(axes, windows);
    for (int i = 0; i < field.measurements.size(); ++i)
        field.measurements[i].set = set.at(i) >= 0 ? field.sets.at(set.at(i)).name : QString();
}

int findAutoSets(FieldData& field, const AutoSetRequest& request) {
    const QVector<WeightedAxis> poles = measurementPoles(field);
    // Fisher smoothing with Robin & Jowett's concentration (1986, Tectonophysics
    // 121, 207–223, as OpenStereo uses it): K = 100 for 100 poles or more,
    // 2(n + 1) for fewer; the density's K = 2/a gives the counting area a.
    DensitySettings settings = densitySettings(field);
    settings.method = DensityMethod::Fisher;
    const double n = poles.size();
    const double K = n >= 100 ? 100.0 : 2.0 * (n + 1.0);
    settings.countingArea = qBound(FieldLimits::MinCountingArea, 200.0 / K, FieldLimits::MaxCountingArea);
    // A coarser grid than the picture's (about 4.6° between nodes at the
    // centre): the peaks only seed the sets, whose centres then move to their
    // means, and the smoothing kernel reaches some 30°, so the grid's size
    // decides the time.
    const DensityGrid grid = densityGrid(poles, settings, false, 50);

    // The grid's nodes as axes; beyond the primitive they continue onto the
    // other hemisphere, which as axes is this one again.
    QVector<UnitAxis> nodes;
    QVector<double> values;
    nodes.reserve(grid.values.size());
    values.reserve(grid.values.size());
    const double reach = 1.0 + 2.5 * grid.step;
    for (int j = 0; j < grid.nodes; ++j)
        for (int i = 0; i < grid.nodes; ++i) {
            const QPointF p = grid.point(i, j);
            if (p.x() * p.x() + p.y() * p.y() > reach * reach)
                continue;
            nodes.append(netDirection(p, grid.upperHemisphere));
            values.append(grid.at(i, j));
        }
    // Neighbours: the nodes within about one and a half spacings near the
    // centre of the net (2 atan(step/2) is the angle of one step there).
    const double neighbour = 1.5 * 2.0 * std::atan(0.5 * grid.step) * 57.29577951308232;
    const QVector<DensityPeak> peaks = densityPeaks(
        nodes, values, neighbour, request.threshold * grid.kernel.expectedUniform, request.minSeparation);

    QVector<UnitAxis> axes;
    QVector<double> weights;
    for (const WeightedAxis& p : poles) {
        axes.append(p.axis);
        weights.append(p.weight);
    }
    AutoSetOptions options;
    options.count = request.count;
    options.minSeparation = request.minSeparation;
    options.coneAngle = request.coneAngle;
    const AutoSets found = autoSets(axes, weights, peaks, options);

    field.sets.clear();
    for (int s = 0; s < found.windows.size(); ++s) {
        JointSet set;
        set.name = defaultSetName(s);
        set.color = defaultSetColor(s);
        set.centerDirection = found.windows.at(s).centerDirection;
        set.centerAngle = found.windows.at(s).centerAngle;
        set.halfAngle = found.windows.at(s).halfAngle;
        field.sets.append(set);
    }
    for (int i = 0; i < field.measurements.size(); ++i) {
        const int s = found.assignment.value(i, -1);
        field.measurements[i].set = s >= 0 ? field.sets.at(s).name : QString();
    }
    return field.sets.size();
}

CriticalCounts measurementCriticalCounts(const FieldData& field, const QVector<SetStatistics>& statistics,
                                         const SlopeCriteria& criteria, int threads) {
    CriticalInput input;
    const int n = field.measurements.size();
    input.direction.reserve(n);
    input.angle.reserve(n);
    for (const Measurement& m : field.measurements) {
        input.direction.append(m.direction);
        input.angle.append(m.angle);
    }
    input.weight = measurementWeights(field);
    input.set = measurementSetIndexes(field);
    input.setCount = field.sets.size();
    for (int s = 0; s < field.sets.size(); ++s) {
        const bool has = s < statistics.size() && statistics.at(s).count > 0;
        input.setDirection.append(has ? statistics.at(s).direction : qQNaN());
        input.setAngle.append(has ? statistics.at(s).angle : qQNaN());
    }
    input.pairs = field.wedgePairs;
    return criticalCounts(input, criteria, threads);
}
