// Reading and writing the "Stability" element of the project file.
#include "model/factors/stabilityfile.h"

#include "model/datacenter.h"
#include "model/factors/stabilityproblems.h"

#include <QLocale>
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
    for (const PlaneRecord& plane : project.planes) {
        const PlaneStrength strength =
            s.planes.value(plane.id, PlaneStrength{0, project.FrictionAnglePlanar});
        w.writeStartElement(QStringLiteral("Plane"));
        w.writeAttribute(QStringLiteral("id"), QString::number(plane.id));
        w.writeAttribute(QStringLiteral("cohesion"), number(strength.cohesion));
        w.writeAttribute(QStringLiteral("friction"), number(strength.friction));
        w.writeEndElement();
    }
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
        }
        reader.skipCurrentElement();
    }
    project.stability = s;
}
