#include "batch/batchjson.h"

#include "batch/batchfieldjson.h"
#include "model/datacenter.h"
#include "model/factors/stabilityfactors.h"
#include "model/factors/stabilityreport.h"
#include "model/fielddata/projectsets.h"
#include "model/labels.h"

#include <QList>
#include <QLocale>

#include <cmath>
#include <type_traits>
#include <vector>

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

// Where each record's factor stands in the factor list (-1: none): one
// pass, however many wedges the project has.
template <typename Factor> std::vector<int> byIndex(const QList<Factor>& factors, int count) {
    std::vector<int> out(size_t(count), -1);
    for (int i = 0; i < factors.size(); ++i) {
        const int index = factors.at(i).index;
        if (index >= 0 && index < count)
            out[size_t(index)] = i;
    }
    return out;
}

// "cases": the block's factor in every load case, in the cases' order.
// `at` gives the block's factor in a case (null: none there).
template <typename Factor, typename At>
QByteArray caseArray(const StabilityFactors& factors, At at, int indent) {
    QList<QByteArray> items;
    for (int i = 0; i < factors.cases.size(); ++i) {
        const CaseFactors& c = factors.cases.at(i);
        const Factor* f = at(i);
        if (!f || !f->hasBlock)
            continue;
        Object o(indent + 2);
        o.str("name", c.loadCase.name)
            .num("fs", f->fs)
            .str("fsState", caseStateWord(f->fs, c))
            .num("fsRequired", c.required)
            .boolean("fsRequiredFromTable", c.requiredFromTable);
        if constexpr (std::is_same_v<Factor, WedgeFactor>)
            o.str("slidesOn", wedgeModeCode(f->mode));
        if (f->anchor.needed && f->anchor.reachable)
            o.num("anchorRequired", f->anchor.required).num("anchorInclination", f->anchor.inclination);
        items << o.done();
    }
    return array(items, indent);
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
                         const Errors& errors, int indent) {
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

    const bool withFactors = project.stability.enabled && !project.analysisOff &&
                             isValidStabilityParams(project.stability, project.slope.angle);
    // The first case's state, as before load cases existed.
    auto firstCaseState = [&factors](double fs) {
        return factors.cases.isEmpty() ? factorStateWord(fs, factors.required)
                                       : caseStateWord(fs, factors.cases.first());
    };
    if (withFactors)
        o.num("fsRequired", factors.required);

    const auto planeFactors = byIndex(factors.planes, withFactors ? project.planes.size() : 0);
    const auto wedgeFactors = byIndex(factors.wedges, withFactors ? project.wedges.size() : 0);
    // The block at position `at` of the factor lists in case c: every case
    // lists the same blocks in the same order.
    auto planeInCase = [&factors](int at) {
        return [&factors, at](int c) {
            const QList<PlanarFactor>& list = factors.cases.at(c).planes;
            return at < list.size() ? &list.at(at) : nullptr;
        };
    };
    auto wedgeInCase = [&factors](int at) {
        return [&factors, at](int c) {
            const QList<WedgeFactor>& list = factors.cases.at(c).wedges;
            return at < list.size() ? &list.at(at) : nullptr;
        };
    };

    QList<QByteArray> planes;
    for (int i = 0; i < project.planes.size(); ++i) {
        const PlaneRecord& plane = project.planes.at(i);
        Object p(items);
        p.integer("id", plane.id)
            .num("direction", plane.direction)
            .num("angle", plane.angle)
            .integer("type", plane.type)
            .str("notes", plane.notes)
            .integer("state", plane.state)
            .integer("class", stateClass(plane.state))
            .str("message", Labels::stateMessage(project, plane.state));
        if (const int at = withFactors ? planeFactors[size_t(i)] : -1; at >= 0) {
            const PlanarFactor* f = &factors.planes.at(at);
            if (f->hasBlock)
                p.num("fs", f->fs).str("fsState", firstCaseState(f->fs));
            if (!factors.cases.isEmpty())
                p.raw("cases", caseArray<PlanarFactor>(factors, planeInCase(at), p.childIndent()));
        }
        planes << p.done();
    }
    o.raw("planes", array(planes, o.childIndent()));

    QList<QByteArray> wedges;
    for (int i = 0; i < project.wedges.size(); ++i) {
        const PlaneRecord& wedge = project.wedges.at(i);
        Object w(items);
        w.raw("id", QByteArray::number(wedgeNumber(wedge.idA, wedge.idB)))
            .integer("planeA", wedge.idA)
            .integer("planeB", wedge.idB)
            .num("trend", wedge.direction)
            .num("plunge", wedge.angle)
            .integer("state", wedge.state)
            .integer("class", stateClass(wedge.state))
            .str("message", Labels::stateMessage(project, wedge.state));
        if (const int at = withFactors ? wedgeFactors[size_t(i)] : -1; at >= 0) {
            const WedgeFactor* f = &factors.wedges.at(at);
            if (f->hasBlock)
                w.num("fs", f->fs).str("fsState", firstCaseState(f->fs)).str("slidesOn", wedgeModeCode(f->mode));
            if (!factors.cases.isEmpty())
                w.raw("cases", caseArray<WedgeFactor>(factors, wedgeInCase(at), w.childIndent()));
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
    if (!errors.isEmpty()) {
        Object e(o.childIndent());
        for (const auto& error : errors)
            e.str(error.first.toLatin1().constData(), error.second);
        o.raw("errors", e.done());
    }
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
