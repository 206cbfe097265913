// Reading and writing the "Stability" element of the project file.
#include "model/factors/stabilityfile.h"

#include "model/datacenter.h"
#include "model/factors/stabilityproblems.h"

#include <QLocale>
#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>
#include <limits>

namespace {
QString number(double value) {
    return QString::number(value, 'g', 6);
}
QString boolText(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// A number attribute as read. Text that is not a number reads as NaN, so
// that the range check names it rather than a default standing in for it.
double fileNumber(const QStringRef& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : std::numeric_limits<double>::quiet_NaN();
}

// Takes the attribute into `field` when it is there; otherwise the field
// keeps its value.
void takeNumber(const QXmlStreamAttributes& attributes, const char* name, double& field) {
    const QLatin1String key(name);
    if (attributes.hasAttribute(key))
        field = fileNumber(attributes.value(key));
}

// As above, where `accept` agrees with the value.
template <typename Accept>
void takeNumber(const QXmlStreamAttributes& attributes, const char* name, double& field, Accept accept) {
    double value = field;
    takeNumber(attributes, name, value);
    if (accept(value))
        field = value;
}
} // namespace

namespace {
void writeAnchorAttributes(QXmlStreamWriter& w, const BlockAnchor& anchor, bool wedge) {
    w.writeAttribute(QStringLiteral("force"), number(anchor.force));
    w.writeAttribute(QStringLiteral("inclination"), number(anchor.inclination));
    if (wedge && anchor.bearingGiven)
        w.writeAttribute(QStringLiteral("bearing"), number(anchor.bearing));
}

// Load cases and anchors as child elements after the planes' strengths;
// nothing at all for a project that has none, so its bytes stay as before.
void writeCasesAndAnchors(QXmlStreamWriter& w, const DataCenter& project) {
    const StabilityParams& s = project.stability;
    for (const LoadCase& c : s.cases) {
        w.writeStartElement(QStringLiteral("Case"));
        w.writeAttribute(QStringLiteral("name"), c.name);
        w.writeAttribute(QStringLiteral("crackWater"), number(c.crackWater));
        w.writeAttribute(QStringLiteral("wedgeWater"),
                         c.wedgeSaturated ? QStringLiteral("saturated") : QStringLiteral("dry"));
        w.writeAttribute(QStringLiteral("seismic"), number(c.seismic));
        if (c.requiredTyped != 0)
            w.writeAttribute(QStringLiteral("required"), number(c.requiredTyped));
        w.writeEndElement();
    }
    QSet<int> ids;
    for (const PlaneRecord& plane : project.planes)
        ids.insert(plane.id);
    for (auto it = s.planeAnchors.constBegin(); it != s.planeAnchors.constEnd(); ++it) {
        if (!ids.contains(it.key()))
            continue;
        w.writeStartElement(QStringLiteral("Anchor"));
        w.writeAttribute(QStringLiteral("plane"), QString::number(it.key()));
        writeAnchorAttributes(w, it.value(), false);
        w.writeEndElement();
    }
    for (auto it = s.wedgeAnchors.constBegin(); it != s.wedgeAnchors.constEnd(); ++it) {
        if (!ids.contains(it.key().first) || !ids.contains(it.key().second))
            continue;
        w.writeStartElement(QStringLiteral("Anchor"));
        w.writeAttribute(QStringLiteral("planeA"), QString::number(it.key().first));
        w.writeAttribute(QStringLiteral("planeB"), QString::number(it.key().second));
        writeAnchorAttributes(w, it.value(), true);
        w.writeEndElement();
    }
}

// A plane id as the file gives it: false unless a whole number the reader
// accepts for planes.
bool planeId(const QXmlStreamAttributes& a, const char* name, int& id) {
    bool ok = false;
    id = a.value(QLatin1String(name)).toInt(&ok);
    return ok && id >= 1 && id <= DataCenter::MaxPlanesInFile;
}

void readAnchor(const QXmlStreamAttributes& a, StabilityParams& s) {
    // The values are kept as read; the input check names any out of range.
    const auto anyValue = [](double) { return true; };
    BlockAnchor anchor;
    takeNumber(a, "force", anchor.force, anyValue);
    takeNumber(a, "inclination", anchor.inclination, anyValue);
    int id = 0, idA = 0, idB = 0;
    if (a.hasAttribute(QLatin1String("plane"))) {
        if (planeId(a, "plane", id))
            s.planeAnchors.insert(id, anchor);
        return;
    }
    if (planeId(a, "planeA", idA) && planeId(a, "planeB", idB) && idA != idB) {
        anchor.bearingGiven = a.hasAttribute(QLatin1String("bearing"));
        takeNumber(a, "bearing", anchor.bearing, anyValue);
        s.wedgeAnchors.insert(wedgeKey(idA, idB), anchor);
    }
}

void readCase(const QXmlStreamAttributes& a, StabilityParams& s) {
    const auto anyValue = [](double) { return true; };
    LoadCase c;
    c.name = a.value(QLatin1String("name")).toString();
    takeNumber(a, "crackWater", c.crackWater, anyValue);
    c.wedgeSaturated = a.value(QLatin1String("wedgeWater")) == QLatin1String("saturated");
    takeNumber(a, "seismic", c.seismic, anyValue);
    takeNumber(a, "required", c.requiredTyped, anyValue);
    s.cases.append(c);
}
} // namespace

void writeStabilityElement(QXmlStreamWriter& w, const DataCenter& project) {
    const StabilityParams& s = project.stability;
    if (!s.present)
        return;
    // Six digits could round a refused value into range (crack water
    // 1.0000001 would come back as 1): while any value is out of range,
    // every one is written so that it reads back exactly.
    const bool exact = !stabilityParamProblems(s, project.slope.angle).isEmpty();
    const auto number = [exact](double value) {
        return exact ? QString::number(value, 'g', QLocale::FloatingPointShortest) : ::number(value);
    };
    w.writeStartElement(QStringLiteral("Stability"));
    w.writeAttribute(QStringLiteral("enabled"), boolText(s.enabled));
    w.writeAttribute(QStringLiteral("height"), number(s.height));
    w.writeAttribute(QStringLiteral("upperDip"), number(s.upperDip));
    w.writeAttribute(QStringLiteral("unitWeight"), number(s.unitWeight));
    w.writeAttribute(QStringLiteral("waterWeight"), number(s.waterWeight));
    w.writeAttribute(QStringLiteral("crack"),
                     s.crackCritical ? QStringLiteral("critical") : QStringLiteral("given"));
    w.writeAttribute(QStringLiteral("crackDistance"), number(s.crackDistance));
    w.writeAttribute(QStringLiteral("crackWater"), number(s.crackWater));
    w.writeAttribute(QStringLiteral("wedgeWater"),
                     s.wedgeSaturated ? QStringLiteral("saturated") : QStringLiteral("dry"));
    w.writeAttribute(QStringLiteral("seismic"), number(s.seismic));
    w.writeAttribute(QStringLiteral("safetyClass"), QString::number(s.safetyClass));
    w.writeAttribute(QStringLiteral("permanent"), boolText(s.permanent));
    if (s.upperLength != 0)
        w.writeAttribute(QStringLiteral("upperLength"), number(s.upperLength));
    for (const PlaneRecord& plane : project.planes) {
        const PlaneStrength strength =
            s.planes.value(plane.id, PlaneStrength{0, project.FrictionAnglePlanar});
        w.writeStartElement(QStringLiteral("Plane"));
        w.writeAttribute(QStringLiteral("id"), QString::number(plane.id));
        w.writeAttribute(QStringLiteral("cohesion"), number(strength.cohesion));
        w.writeAttribute(QStringLiteral("friction"), number(strength.friction));
        w.writeEndElement();
    }
    writeCasesAndAnchors(w, project);
    w.writeEndElement();
}

void readStabilityElement(QXmlStreamReader& reader, DataCenter& project) {
    StabilityParams s = project.stability;
    s.present = true;
    const QXmlStreamAttributes a = reader.attributes();

    if (a.hasAttribute(QLatin1String("enabled")))
        s.enabled = a.value(QLatin1String("enabled")) == QLatin1String("true");
    // Values are kept as they stand, in range or not: the calculation names
    // and refuses those out of range until they are mended.
    takeNumber(a, "height", s.height);
    takeNumber(a, "upperDip", s.upperDip);
    takeNumber(a, "unitWeight", s.unitWeight);
    takeNumber(a, "waterWeight", s.waterWeight);
    if (a.hasAttribute(QLatin1String("crack")))
        s.crackCritical = a.value(QLatin1String("crack")) != QLatin1String("given");
    takeNumber(a, "crackDistance", s.crackDistance);
    takeNumber(a, "crackWater", s.crackWater);
    if (a.hasAttribute(QLatin1String("wedgeWater")))
        s.wedgeSaturated = a.value(QLatin1String("wedgeWater")) == QLatin1String("saturated");
    takeNumber(a, "seismic", s.seismic);
    if (a.hasAttribute(QLatin1String("safetyClass"))) {
        bool ok = false;
        const int safetyClass = a.value(QLatin1String("safetyClass")).toInt(&ok);
        s.safetyClass = ok ? safetyClass : 0; // 0: out of range, named as such
    }
    if (a.hasAttribute(QLatin1String("permanent")))
        s.permanent = a.value(QLatin1String("permanent")) == QLatin1String("true");
    s.upperLength = 0;
    takeNumber(a, "upperLength", s.upperLength, [](double) { return true; });
    // Cases and anchors are the file's own: none unless it lists them.
    s.cases.clear();
    s.planeAnchors.clear();
    s.wedgeAnchors.clear();

    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("Plane")) {
            const QXmlStreamAttributes p = reader.attributes();
            bool ok = false;
            const int id = p.value(QLatin1String("id")).toInt(&ok);
            // Any id a plane may carry; strengths of ids without a plane are
            // kept too and written back only for planes that have them.
            if (ok) {
                PlaneStrength strength = s.planes.value(id, PlaneStrength{0, project.FrictionAnglePlanar});
                takeNumber(p, "cohesion", strength.cohesion);
                takeNumber(p, "friction", strength.friction);
                s.planes.insert(id, strength);
            }
        } else if (reader.name() == QLatin1String("Case")) {
            readCase(reader.attributes(), s);
        } else if (reader.name() == QLatin1String("Anchor")) {
            readAnchor(reader.attributes(), s);
        }
        reader.skipCurrentElement();
    }
    project.stability = s;
}
