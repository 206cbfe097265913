#include "model/fielddata/fieldview.h"

#include "model/datacenter.h"
#include "model/fielddata/fieldpoles.h"
#include "model/fielddata/projectsets.h"
#include "model/fielddata/setplanes.h"
#include "model/fielddata/sphere.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <list>

namespace FieldViews {
namespace {
// The sets of a project on the net of the given hemisphere.
void computeSets(const FieldData& field, bool upper, FieldView& view) {
    view.poleSets = measurementSetIndexes(field);
    const QVector<SetStatistics> statistics = jointSetStatistics(field);
    view.sets.reserve(field.sets.size());
    for (int s = 0; s < field.sets.size(); ++s) {
        const JointSet& set = field.sets.at(s);
        FieldSetView v;
        v.name = set.name;
        v.color = set.color;
        v.statistics = statistics.value(s);
        v.window = smallCirclePieces(planeAxis(set.centerDirection, set.centerAngle), set.halfAngle, upper);
        if (v.hasMean()) {
            const SetStatistics& st = v.statistics;
            v.meanPole = netPointOfAxis(st.meanAxis, upper);
            v.meanDirection = std::min(st.direction, SetPlaneMaxDirection);
            v.meanAngle = std::min(st.angle, SetPlaneMaxDip);
            // Cones of 90° or more hold every axis: nothing to draw.
            if (st.alpha95 > 0 && st.alpha95 < 90)
                v.confidence = smallCirclePieces(st.meanAxis, st.alpha95, upper);
            if (st.variabilityCone > 0 && st.variabilityCone < 90)
                v.variability = smallCirclePieces(st.meanAxis, st.variabilityCone, upper);
        }
        view.sets.append(v);
    }
}
} // namespace

FieldView compute(const FieldData& field, bool upper) {
    FieldView view;
    view.method = field.density;
    view.count = field.measurements.size();
    view.poles.reserve(view.count);
    view.kinds.reserve(view.count);
    for (const Measurement& m : field.measurements) {
        view.poles << netPointOfAxis(planePole(m.direction, m.angle), upper);
        view.kinds << m.type;
    }
    if (field.measurements.isEmpty())
        return view;

    const QVector<WeightedAxis> poles = measurementPoles(field);
    const DensitySettings settings = densitySettings(field);
    view.grid = densityGrid(poles, settings, upper);
    view.maximum = densityMaximum(view.grid, poles, settings);
    const DensityKernel& kernel = view.grid.kernel;
    view.unit = kernel.unit;
    view.countingArea = 100.0 * kernel.coneFraction;
    view.coneHalfAngle = kernel.coneHalfAngle;
    view.weightedCount = view.grid.weightedCount;
    view.maxValue = view.maximum.value;
    view.maxDirection = view.maximum.direction;
    view.maxAngle = view.maximum.angle;
    view.maxPoint = netPointOfAxis(view.maximum.axis, upper);

    for (double level : field.levels)
        if (level > 0 && std::isfinite(level) && (view.levels.isEmpty() || level > view.levels.last()))
            view.levels << level;
    if (view.levels.isEmpty())
        view.levels = automaticLevels(kernel, view.maxValue);
    view.contours = densityContours(view.grid, view.levels);
    if (!field.sets.isEmpty())
        computeSets(field, upper, view);
    return view;
}

namespace {
// Everything a view depends on, hashed.
uint fieldKey(const FieldData& field, bool upper) {
    uint h = qHash(upper);
    auto mix = [&h](uint v) { h = h * 31u + v; };
    mix(qHash(int(field.density)));
    mix(qHash(field.countingArea));
    mix(qHash(field.terzaghi));
    mix(qHash(field.minBiasAngle));
    for (double level : field.levels)
        mix(qHash(level));
    mix(qHash(field.measurements.size()));
    for (const Measurement& m : field.measurements) {
        mix(qHash(m.direction));
        mix(qHash(m.angle));
        mix(qHash(m.weight));
        mix(uint(m.type) * 7919u + uint(m.traverse));
    }
    for (const Traverse& t : field.traverses) {
        mix(uint(t.id));
        mix(qHash(t.trend));
        mix(qHash(t.plunge));
    }
    // The sets: their windows and colours, and each measurement's set.
    mix(qHash(field.sets.size()));
    for (const JointSet& s : field.sets) {
        mix(qHash(s.name));
        mix(uint(s.color));
        mix(qHash(s.centerDirection));
        mix(qHash(s.centerAngle));
        mix(qHash(s.halfAngle));
    }
    if (!field.sets.isEmpty())
        for (const Measurement& m : field.measurements)
            mix(qHash(m.set));
    return h;
}

struct CacheEntry {
    uint key;
    bool upper;
    int count;
    std::shared_ptr<const FieldView> view;
};
} // namespace

std::shared_ptr<const FieldView> of(const DataCenter& project) {
    thread_local std::list<CacheEntry> cache;
    const FieldData& field = project.field;
    const uint key = fieldKey(field, project.UpperMode);
    for (auto it = cache.begin(); it != cache.end(); ++it) {
        if (it->key == key && it->upper == project.UpperMode && it->count == field.measurements.size()) {
            cache.splice(cache.begin(), cache, it);
            return cache.front().view;
        }
    }
    auto view = std::make_shared<const FieldView>(compute(field, project.UpperMode));
    cache.push_front({key, project.UpperMode, field.measurements.size(), view});
    while (cache.size() > 4)
        cache.pop_back();
    return view;
}

PlaneRecord meanPlaneRecord(const DataCenter& project, const FieldSetView& set) {
    PlaneRecord mean;
    mean.direction = set.meanDirection;
    mean.angle = set.meanAngle;
    project.computePlaneGeometry(mean);
    return mean;
}

bool layerShown(const DataCenter& project) {
    return !project.field.isEmpty() && project.field.showLayer;
}

} // namespace FieldViews
