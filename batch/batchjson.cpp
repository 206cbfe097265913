#include "batch/batchjson.h"

#include "batch/batchfieldjson.h"
#include "model/datacenter.h"
#include "model/factors/stabilityfactors.h"
#include "model/fielddata/projectsets.h"
#include "model/labels.h"

#include <QList>
#include <QLocale>

#include <cmath>

namespace BatchJson {

QByteArray number(double value) {
    if (!std::isfinite(value))
        return QByteArrayLiteral("null");
    if (value == 0)
        return QByteArrayLiteral("0"); // also for -0
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

QByteArray string(const QString& text) {
    QByteArray out;
    out.reserve(text.size() + 2);
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (u < 0x20) {
                char buf[8];
                qsnprintf(buf, sizeof buf, "\\u%04x", u);
                out += buf;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

namespace {
// An object written member by member, in order.
class Object {
public:
    explicit Object(int indent) : pad(indent, ' '), inner(indent + 2, ' ') {}

    Object& raw(const char* key, const QByteArray& value) {
        text += first ? "{\n" : ",\n";
        first = false;
        text += inner + '"' + key + "\": " + value;
        return *this;
    }
    Object& num(const char* key, double value) { return raw(key, number(value)); }
    Object& integer(const char* key, int value) { return raw(key, QByteArray::number(value)); }
    Object& str(const char* key, const QString& value) { return raw(key, string(value)); }
    Object& boolean(const char* key, bool value) { return raw(key, value ? "true" : "false"); }

    QByteArray done() const { return first ? QByteArrayLiteral("{}") : text + '\n' + pad + '}'; }
    int childIndent() const { return inner.size(); }

private:
    QByteArray pad, inner, text;
    bool first = true;
};

// One-line object for the small nested values.
QByteArray pair(const char* k1, double v1, const char* k2, double v2) {
    return QByteArray("{\"") + k1 + "\": " + number(v1) + ", \"" + k2 + "\": " + number(v2) + '}';
}

QByteArray array(const QList<QByteArray>& items, int indent) {
    if (items.isEmpty())
        return QByteArrayLiteral("[]");
    const QByteArray pad(indent, ' ');
    const QByteArray inner(indent + 2, ' ');
    QByteArray out = "[\n";
    for (int i = 0; i < items.size(); ++i) {
        out += inner + items.at(i);
        out += i + 1 < items.size() ? ",\n" : "\n";
    }
    return out + pad + ']';
}

int stateClass(int state) {
    return state / 10;
}

const PlanarFactor* planeFactor(const StabilityFactors& factors, int id) {
    for (const PlanarFactor& f : factors.planes)
        if (f.id == id)
            return &f;
    return nullptr;
}

const WedgeFactor* wedgeFactor(const StabilityFactors& factors, int id) {
    for (const WedgeFactor& f : factors.wedges)
        if (f.id == id)
            return &f;
    return nullptr;
}
// A number, or null where it is not finite (K of identical planes, the
// cones of a set of one).
QByteArray finite(double value) {
    return std::isfinite(value) ? number(value) : QByteArrayLiteral("null");
}

// "sets" (when the measurements have sets) and "critical".
void jointSetMembers(Object& o, const DataCenter& project, int items) {
    const FieldData& field = project.field;
    const QVector<SetStatistics> statistics = jointSetStatistics(field);
    if (!field.sets.isEmpty()) {
        QList<QByteArray> sets;
        for (int s = 0; s < field.sets.size(); ++s) {
            const SetStatistics& st = statistics.at(s);
            Object j(items);
            j.str("name", field.sets.at(s).name)
                .integer("count", st.count)
                .num("weightedCount", st.weightedCount);
            if (st.count > 0) {
                j.num("direction", st.direction)
                    .num("angle", st.angle)
                    .num("poleTrend", st.poleTrend)
                    .num("polePlunge", st.polePlunge);
            }
            j.raw("k", finite(st.k))
                .raw("alpha95", finite(st.alpha95))
                .raw("variabilityCone", finite(st.variabilityCone));
            sets << j.done();
        }
        o.raw("sets", array(sets, o.childIndent()));
    }
    if (project.analysisOff)
        return;
    const CriticalCounts counts = measurementCriticalCounts(field, statistics, project.slopeCriteria(), 1);
    QList<QByteArray> critical;
    auto add = [&](const char* mode, const QVector<CriticalCount>& list) {
        for (int s = 0; s < list.size(); ++s) {
            const CriticalCount& c = list.at(s);
            Object k(items);
            k.str("mode", QString::fromLatin1(mode))
                .str("set", s < field.sets.size() ? field.sets.at(s).name : QStringLiteral("all"))
                .raw("count", QByteArray::number(c.count))
                .raw("total", QByteArray::number(c.total))
                .num("percent", c.percent())
                .num("weightedPercent", c.weightedPercent());
            critical << k.done();
        }
    };
    add("planar", counts.planar);
    add("wedge", counts.wedge);
    if (counts.toppleJudged)
        add("toppling", counts.toppling);
    o.raw("critical", array(critical, o.childIndent()));
}
} // namespace

QByteArray projectObject(const DataCenter& project, const QString& file, const StabilityFactors& factors,
                         int indent) {
    Object o(indent);
    const int items = o.childIndent() + 2; // array elements
    o.str("file", file).str("name", project.ProjectName);
    o.boolean("upperMode", project.UpperMode).boolean("bigCircle", project.BigCircle);
    o.raw("slope", pair("direction", project.slope.direction, "angle", project.slope.angle));

    Object criteria(o.childIndent());
    criteria.num("includedAnglePlanar", project.IncludedAnglePlanar)
        .num("frictionAnglePlanar", project.FrictionAnglePlanar)
        .boolean("topple", project.Topple)
        .num("includedAngleTopple", project.IncludedAngleTopple)
        .num("frictionAngleTopple", project.FrictionAngleTopple);
    o.raw("criteria", criteria.done());
    o.str("analysisTime", project.analysisTime);

    const bool withFactors = project.stability.enabled && !project.analysisOff;
    if (withFactors)
        o.num("fsRequired", factors.required);

    QList<QByteArray> planes;
    for (const PlaneRecord& plane : project.planes) {
        Object p(items);
        p.integer("id", plane.id)
            .num("direction", plane.direction)
            .num("angle", plane.angle)
            .integer("type", plane.type)
            .str("notes", plane.notes)
            .integer("state", plane.state)
            .integer("class", stateClass(plane.state))
            .str("message", Labels::stateMessage(project, plane.state));
        if (const PlanarFactor* f = withFactors ? planeFactor(factors, plane.id) : nullptr) {
            if (f->hasBlock)
                p.num("fs", f->fs).str("fsState", factorStateWord(f->fs, factors.required));
        }
        planes << p.done();
    }
    o.raw("planes", array(planes, o.childIndent()));

    QList<QByteArray> wedges;
    for (const PlaneRecord& wedge : project.wedges) {
        Object w(items);
        w.integer("id", wedge.id)
            .integer("planeA", wedge.id / 100)
            .integer("planeB", wedge.id % 100)
            .num("trend", wedge.direction)
            .num("plunge", wedge.angle)
            .integer("state", wedge.state)
            .integer("class", stateClass(wedge.state))
            .str("message", Labels::stateMessage(project, wedge.state));
        if (const WedgeFactor* f = withFactors ? wedgeFactor(factors, wedge.id) : nullptr) {
            if (f->hasBlock)
                w.num("fs", f->fs)
                    .str("fsState", factorStateWord(f->fs, factors.required))
                    .str("slidesOn", wedgeModeCode(f->mode));
        }
        wedges << w.done();
    }
    o.raw("wedges", array(wedges, o.childIndent()));

    QList<QByteArray> conclusion;
    for (const QString& text : project.conclusion)
        conclusion << string(text);
    o.raw("conclusion", array(conclusion, o.childIndent()));

    if (!project.field.isEmpty())
        o.raw("measurements", BatchJson::measurementsObject(project, o.childIndent()));
    if (!project.field.isEmpty())
        jointSetMembers(o, project, items);
    return o.done();
}

QByteArray errorObject(const QString& file, const QString& reason, int indent) {
    Object o(indent);
    o.str("file", file).str("error", reason);
    return o.done();
}

QByteArray document(const QList<QByteArray>& objects) {
    QByteArray out = "{\n  \"projects\": ";
    if (objects.isEmpty()) {
        out += "[]";
    } else {
        out += "[\n";
        for (int i = 0; i < objects.size(); ++i) {
            out += "    " + objects.at(i);
            out += i + 1 < objects.size() ? ",\n" : "\n";
        }
        out += "  ]";
    }
    return out + "\n}\n";
}

} // namespace BatchJson
