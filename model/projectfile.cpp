// The ".yty" project file: an XML document rooted at "DipData".
#include "model/datacenter.h"
#include "model/factors/stabilityfile.h"
#include "model/fielddata/measurementsfile.h"
#include "model/fielddata/setlinks.h"

#include <QIODevice>

#include <cmath>

namespace {
QString number(double value) { return QString::number(value, 'g', 6); }
QString boolText(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

void writePoint(QXmlStreamWriter& w, const QString& name, const QPointF& p) {
    w.writeStartElement(name);
    w.writeAttribute(QStringLiteral("x"), number(p.x()));
    w.writeAttribute(QStringLiteral("y"), number(p.y()));
    w.writeEndElement();
}

void writeSingle(QXmlStreamWriter& w, const QString& name, const QString& attribute, const QString& value) {
    w.writeStartElement(name);
    w.writeAttribute(attribute, value);
    w.writeEndElement();
}

// A floating value of the file. The framework's parser also takes "nan",
// "inf" and exponents beyond the range of a double; they read as 0 like any
// other malformed number.
double finiteOrZero(double value) {
    return std::isfinite(value) ? value : 0.0;
}
double readNumber(const QStringRef& text) {
    return finiteOrZero(text.toDouble());
}
double readNumber(const QString& text) {
    return finiteOrZero(text.toDouble());
}

QPointF readPoint(const QXmlStreamAttributes& attributes) {
    return QPointF(readNumber(attributes.value(QLatin1String("x"))),
                   readNumber(attributes.value(QLatin1String("y"))));
}

// A labelling mode outside 0..3 reads as 0 (no labels).
qint16 readShowMark(const QString& text) {
    const int mark = text.toInt();
    return qint16(mark >= 0 && mark <= 3 ? mark : 0);
}
} // namespace

void DataCenter::writePlane(const QString& name, const PlaneRecord& record) {
    writer.writeStartElement(name);
    writer.writeAttribute(QStringLiteral("id"), QString::number(record.id));
    writer.writeAttribute(QStringLiteral("direction"), number(record.direction));
    writer.writeAttribute(QStringLiteral("angle"), number(record.angle));
    writer.writeAttribute(QStringLiteral("type"), QString::number(uint(record.type)));
    writer.writeAttribute(QStringLiteral("notes"), record.notes);
    writePoint(writer, QStringLiteral("StartPoint"), record.StartPoint);
    writePoint(writer, QStringLiteral("MidPoint"), record.MidPoint);
    writePoint(writer, QStringLiteral("EndPoint"), record.EndPoint);
    writePoint(writer, QStringLiteral("PolePoint"), record.PolePoint);
    writePoint(writer, QStringLiteral("CenterPoint"), record.CenterPoint);
    writeSingle(writer, QStringLiteral("CircleRadius"), QStringLiteral("radius"), number(record.CircleRadius));
    writeSingle(writer, QStringLiteral("StartAngle"), QStringLiteral("angle"), number(record.StartAngle));
    writeSingle(writer, QStringLiteral("SpanRadius"), QStringLiteral("angle"), number(record.SpanRadius));
    writeSingle(writer, QStringLiteral("Calculate"), QStringLiteral("calculated"), boolText(record.calculated));
    writer.writeEndElement();
}

bool DataCenter::writeProject(QIODevice* device) {
    writer.setDevice(device);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("DipData"));
    writeSingle(writer, QStringLiteral("FileVer"), QStringLiteral("version"), QStringLiteral("2.0"));

    writer.writeStartElement(QStringLiteral("BaseInfo"));
    writer.writeTextElement(QStringLiteral("ProjectName"), ProjectName);
    writer.writeTextElement(QStringLiteral("UpperMode"), boolText(UpperMode));
    writer.writeTextElement(QStringLiteral("BigCircle"), boolText(BigCircle));
    writer.writeTextElement(QStringLiteral("ShowMark"), QString::number(ShowMark));
    writer.writeTextElement(QStringLiteral("IncludedAnglePlanar"), number(IncludedAnglePlanar));
    writer.writeTextElement(QStringLiteral("FrictionAnglePlanar"), number(FrictionAnglePlanar));
    writer.writeTextElement(QStringLiteral("Topple"), boolText(Topple));
    writer.writeTextElement(QStringLiteral("IncludedAngleTopple"), number(IncludedAngleTopple));
    writer.writeTextElement(QStringLiteral("FrictionAngleTopple"), number(FrictionAngleTopple));
    writer.writeEndElement();

    writer.writeStartElement(QStringLiteral("Slopes"));
    writePlane(QStringLiteral("Slope"), slope);
    writer.writeEndElement();

    writer.writeStartElement(QStringLiteral("Dips"));
    for (const PlaneRecord& plane : qAsConst(planes))
        writePlane(QStringLiteral("Dip"), plane);
    writer.writeEndElement();
    writeStabilityElement(writer, *this);
    writeMeasurementsElement(writer, field);

    writer.writeEndElement();
    writer.writeEndDocument();
    writer.setDevice(nullptr);
    return true;
}

// Reads the children of one plane element into `record` (which the caller
// has reset to the defaults and whose attributes it has read).
bool DataCenter::readPlane(PlaneRecord& record) {
    while (reader.readNextStartElement()) {
        const QStringRef name = reader.name();
        const QXmlStreamAttributes attributes = reader.attributes();
        if (name == QLatin1String("StartPoint"))
            record.StartPoint = readPoint(attributes);
        else if (name == QLatin1String("MidPoint"))
            record.MidPoint = readPoint(attributes);
        else if (name == QLatin1String("EndPoint"))
            record.EndPoint = readPoint(attributes);
        else if (name == QLatin1String("PolePoint"))
            record.PolePoint = readPoint(attributes);
        else if (name == QLatin1String("CenterPoint"))
            record.CenterPoint = readPoint(attributes);
        else if (name == QLatin1String("CircleRadius"))
            record.CircleRadius = readNumber(attributes.value(QLatin1String("radius")));
        else if (name == QLatin1String("StartAngle"))
            record.StartAngle = readNumber(attributes.value(QLatin1String("angle")));
        else if (name == QLatin1String("SpanRadius"))
            record.SpanRadius = readNumber(attributes.value(QLatin1String("angle")));
        else if (name == QLatin1String("Calculate"))
            record.calculated = attributes.value(QLatin1String("calculated")) == QLatin1String("true");
        reader.skipCurrentElement();
    }
    return !reader.hasError();
}

bool DataCenter::readProject(QIODevice* device) {
    // A project file is a few kilobytes; refuse anything that could only be
    // hostile rather than let it fill memory or feed the pairwise analysis.
    if (!device || (!device->isSequential() && device->size() > MaxProjectFileSize))
        return false;

    reader.clear();
    reader.setDevice(device);
    const auto tooLarge = [this] { return reader.characterOffset() > MaxProjectFileSize; };

    if (reader.readNextStartElement() && reader.name() == QLatin1String("DipData")) {
        while (reader.readNextStartElement()) {
            if (tooLarge())
                return false;
            const QStringRef name = reader.name();
            if (name == QLatin1String("FileVer")) {
                const float version = reader.attributes().value(QLatin1String("version")).toFloat();
                if (version > 2.001)
                    return false;
                reader.skipCurrentElement();
            } else if (name == QLatin1String("BaseInfo")) {
                while (reader.readNextStartElement()) {
                    const QString item = reader.name().toString();
                    if (item == QLatin1String("ProjectName"))
                        ProjectName = reader.readElementText();
                    else if (item == QLatin1String("UpperMode"))
                        UpperMode = reader.readElementText() == QLatin1String("true");
                    else if (item == QLatin1String("BigCircle"))
                        BigCircle = reader.readElementText() == QLatin1String("true");
                    else if (item == QLatin1String("Topple"))
                        Topple = reader.readElementText() == QLatin1String("true");
                    else if (item == QLatin1String("ShowMark"))
                        ShowMark = readShowMark(reader.readElementText());
                    else if (item == QLatin1String("IncludedAnglePlanar"))
                        IncludedAnglePlanar = readNumber(reader.readElementText());
                    else if (item == QLatin1String("FrictionAnglePlanar"))
                        FrictionAnglePlanar = readNumber(reader.readElementText());
                    else if (item == QLatin1String("IncludedAngleTopple"))
                        IncludedAngleTopple = readNumber(reader.readElementText());
                    else if (item == QLatin1String("FrictionAngleTopple"))
                        FrictionAngleTopple = readNumber(reader.readElementText());
                    else
                        reader.skipCurrentElement();
                }
            } else if (name == QLatin1String("Slopes") || name == QLatin1String("Dips")) {
                const bool isSlope = name == QLatin1String("Slopes");
                const QLatin1String expected = isSlope ? QLatin1String("Slope") : QLatin1String("Dip");
                if (!isSlope)
                    planes.clear();
                while (reader.readNextStartElement()) {
                    if (reader.name() != expected) {
                        reader.skipCurrentElement();
                        continue;
                    }
                    PlaneRecord record;
                    const QXmlStreamAttributes attributes = reader.attributes();
                    record.id = attributes.value(QLatin1String("id")).toInt();
                    record.type = attributes.value(QLatin1String("type")).toInt();
                    record.direction = readNumber(attributes.value(QLatin1String("direction")));
                    record.angle = readNumber(attributes.value(QLatin1String("angle")));
                    record.notes = attributes.value(QLatin1String("notes")).toString();
                    if (!readPlane(record))
                        break;
                    if (isSlope) {
                        slope = record;
                    } else {
                        if (planes.size() >= MaxPlanesInFile)
                            return false;
                        planes.append(record);
                    }
                    if (tooLarge())
                        return false;
                }
            } else if (name == QLatin1String("Stability")) {
                readStabilityElement(reader, *this);
            } else if (name == QLatin1String("Measurements")) {
                fieldRejected.clear();
                if (!readMeasurementsElement(reader, field, &fieldRejected))
                    break;
            } else {
                reader.skipCurrentElement();
            }
        }
    }
    const bool ok = !reader.hasError();
    reader.clear();
    // A set's link to a plane the file no longer has (the planes were
    // edited by hand) is dropped.
    dropStaleSetLinks(field.sets, planes);
    return ok;
}
