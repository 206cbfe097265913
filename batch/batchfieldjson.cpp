#include "batch/batchfieldjson.h"

#include "batch/batchjson.h"
#include "model/datacenter.h"
#include "model/fielddata/fieldview.h"
#include "model/fielddata/measurementsfile.h"

namespace BatchJson {

QByteArray measurementsObject(const DataCenter& project, int indent) {
    const std::shared_ptr<const FieldView> view = FieldViews::of(project);
    const QByteArray pad(indent, ' '), inner(indent + 2, ' '), innermost(indent + 4, ' ');
    QByteArray out = "{\n";
    out += inner + "\"count\": " + QByteArray::number(project.field.measurements.size()) + ",\n";
    out += inner + "\"weightedCount\": " + number(view->weightedCount) + ",\n";
    out += inner + "\"method\": " + string(densityMethodName(project.field.density)) + ",\n";
    out += inner + "\"countingArea\": " + number(view->countingArea) + ",\n";
    out += inner + "\"densityMax\": {\n";
    out += innermost + "\"value\": " + number(view->maxValue) + ",\n";
    out += innermost + "\"unit\": " + string(view->unit) + ",\n";
    out += innermost + "\"direction\": " + number(view->maxDirection) + ",\n";
    out += innermost + "\"angle\": " + number(view->maxAngle) + "\n";
    out += inner + "}\n";
    return out + pad + '}';
}

} // namespace BatchJson
