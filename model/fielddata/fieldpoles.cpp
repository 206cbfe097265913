#include "model/fielddata/fieldpoles.h"

#include "model/fielddata/terzaghi.h"

#include <QHash>

QVector<double> measurementWeights(const FieldData& field) {
    QHash<int, const Traverse*> traverses;
    if (field.terzaghi)
        for (const Traverse& t : field.traverses)
            traverses.insert(t.id, &t);
    QVector<double> weights;
    weights.reserve(field.measurements.size());
    for (const Measurement& m : field.measurements) {
        double w = m.weight;
        if (const Traverse* t = m.traverse ? traverses.value(m.traverse) : nullptr)
            w *= terzaghiWeight(m.direction, m.angle, t->trend, t->plunge, field.minBiasAngle);
        weights.append(w);
    }
    return weights;
}

QVector<WeightedAxis> measurementPoles(const FieldData& field) {
    const QVector<double> weights = measurementWeights(field);
    QVector<WeightedAxis> poles;
    poles.reserve(weights.size());
    for (int i = 0; i < weights.size(); ++i) {
        const Measurement& m = field.measurements[i];
        poles.append(WeightedAxis{planePole(m.direction, m.angle), weights[i]});
    }
    return poles;
}

DensitySettings densitySettings(const FieldData& field) {
    DensitySettings s;
    s.method = field.density;
    s.countingArea = field.countingArea;
    return s;
}
