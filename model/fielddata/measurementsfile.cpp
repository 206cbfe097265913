// Reading and writing the "Measurements" element of the project file.
#include "model/fielddata/measurementsfile.h"

#include <QCoreApplication>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("FieldData", text);
}
QString number(double value) {
    return QString::number(value, 'g', 6);
}
QString boolText(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// Reads a number attribute. Absent: `ok` stays true and the value is the
// fallback. Malformed or not finite: `ok` false.
double numberAttribute(const QXmlStreamAttributes& a, QLatin1String key, double fallback, bool& ok,
                       QString& bad) {
    const QStringRef text = a.value(key);
    if (text.isNull())
        return fallback;
    bool good = false;
    const double value = text.trimmed().toDouble(&good);
    if (!good || !std::isfinite(value)) {
        ok = false;
        if (bad.isEmpty())
            bad = text.toString();
        return fallback;
    }
    return value;
}

int intAttribute(const QXmlStreamAttributes& a, QLatin1String key, int fallback, bool& ok, QString& bad) {
    const QStringRef text = a.value(key);
    if (text.isNull())
        return fallback;
    bool good = false;
    const int value = text.trimmed().toInt(&good);
    if (!good) {
        ok = false;
        if (bad.isEmpty())
            bad = text.toString();
        return fallback;
    }
    return value;
}

// The element's attributes as the row's text in a message.
QString attributesText(const QXmlStreamAttributes& a) {
    QStringList parts;
    for (const QXmlStreamAttribute& attribute : a)
        parts << attribute.name().toString() + QStringLiteral("=\"") + attribute.value().toString() +
                     QLatin1Char('"');
    return parts.join(QLatin1Char(' '));
}

bool readBool(const QStringRef& text, bool fallback) {
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    return fallback;
}

// A dip direction or trend of exactly 360 (as "%g" may print 359.9999995)
// is north.
double northIsZero(double direction) {
    return direction == 360 ? 0.0 : direction;
}
} // namespace

QString densityMethodName(DensityMethod method) {
    switch (method) {
    case DensityMethod::Fisher:
        return QStringLiteral("fisher");
    case DensityMethod::Kamb:
        return QStringLiteral("kamb");
    case DensityMethod::Schmidt:
        break;
    }
    return QStringLiteral("schmidt");
}

bool densityMethodFromName(const QString& name, DensityMethod& method) {
    if (name == QLatin1String("schmidt"))
        method = DensityMethod::Schmidt;
    else if (name == QLatin1String("fisher"))
        method = DensityMethod::Fisher;
    else if (name == QLatin1String("kamb"))
        method = DensityMethod::Kamb;
    else
        return false;
    return true;
}

void writeMeasurementsElement(QXmlStreamWriter& w, const FieldData& field) {
    if (field.isEmpty())
        return;
    w.writeStartElement(QStringLiteral("Measurements"));
    w.writeAttribute(QStringLiteral("density"), densityMethodName(field.density));
    w.writeAttribute(QStringLiteral("countingArea"), number(field.countingArea));
    w.writeAttribute(QStringLiteral("terzaghi"), boolText(field.terzaghi));
    w.writeAttribute(QStringLiteral("minBiasAngle"), number(field.minBiasAngle));
    w.writeAttribute(QStringLiteral("showLayer"), boolText(field.showLayer));
    if (!field.levels.isEmpty()) {
        QStringList levels;
        for (double level : field.levels)
            levels << number(level);
        w.writeAttribute(QStringLiteral("levels"), levels.join(QLatin1Char(' ')));
    }
    if (field.wedgePairs != WedgePairs::All)
        w.writeAttribute(QStringLiteral("wedgePairs"), wedgePairsName(field.wedgePairs));
    for (const Traverse& t : field.traverses) {
        w.writeEmptyElement(QStringLiteral("Traverse"));
        w.writeAttribute(QStringLiteral("id"), QString::number(t.id));
        w.writeAttribute(QStringLiteral("name"), t.name);
        w.writeAttribute(QStringLiteral("trend"), number(t.trend));
        w.writeAttribute(QStringLiteral("plunge"), number(t.plunge));
    }
    writeJointSets(w, field.sets);
    const QString m = QStringLiteral("M"), direction = QStringLiteral("direction"),
                  angle = QStringLiteral("angle"), type = QStringLiteral("type"),
                  weight = QStringLiteral("weight"), station = QStringLiteral("station"),
                  notes = QStringLiteral("notes"), traverse = QStringLiteral("traverse"),
                  set = QStringLiteral("set");
    for (const Measurement& row : field.measurements) {
        w.writeEmptyElement(m);
        w.writeAttribute(direction, number(row.direction));
        w.writeAttribute(angle, number(row.angle));
        if (row.type != 2)
            w.writeAttribute(type, QString::number(row.type));
        if (row.weight != 1)
            w.writeAttribute(weight, number(row.weight));
        if (!row.station.isEmpty())
            w.writeAttribute(station, row.station);
        if (!row.notes.isEmpty())
            w.writeAttribute(notes, row.notes);
        if (row.traverse != 0)
            w.writeAttribute(traverse, QString::number(row.traverse));
        if (!row.set.isEmpty())
            w.writeAttribute(set, row.set);
    }
    w.writeEndElement();
}

bool readMeasurementsElement(QXmlStreamReader& reader, FieldData& field, QVector<RejectedRow>* rejected) {
    const QXmlStreamAttributes a = reader.attributes();
    DensityMethod method;
    if (densityMethodFromName(a.value(QLatin1String("density")).toString(), method))
        field.density = method;
    {
        bool ok = true;
        QString bad;
        const double area = numberAttribute(a, QLatin1String("countingArea"), field.countingArea, ok, bad);
        if (ok && area >= FieldLimits::MinCountingArea && area <= FieldLimits::MaxCountingArea)
            field.countingArea = area;
        ok = true;
        const double bias = numberAttribute(a, QLatin1String("minBiasAngle"), field.minBiasAngle, ok, bad);
        if (ok && bias >= FieldLimits::MinBiasAngleLow && bias <= FieldLimits::MinBiasAngleHigh)
            field.minBiasAngle = bias;
    }
    field.terzaghi = readBool(a.value(QLatin1String("terzaghi")), field.terzaghi);
    field.showLayer = readBool(a.value(QLatin1String("showLayer")), field.showLayer);
    if (a.hasAttribute(QLatin1String("levels"))) {
        // Kept only when every level is a finite positive number, ascending.
        QVector<double> levels;
        bool ok = true;
        const QVector<QStringRef> parts =
            a.value(QLatin1String("levels")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QStringRef& part : parts) {
            bool good = false;
            const double level = part.toDouble(&good);
            if (!good || !std::isfinite(level) || level <= 0 ||
                (!levels.isEmpty() && level <= levels.last()) || levels.size() >= 100) {
                ok = false;
                break;
            }
            levels.append(level);
        }
        if (ok)
            field.levels = levels;
    }

    {
        // Absent (the default is not written) or unknown: every pair.
        WedgePairs pairs = WedgePairs::All;
        wedgePairsFromName(a.value(QLatin1String("wedgePairs")).toString(), pairs);
        field.wedgePairs = pairs;
    }

    field.measurements.clear();
    field.traverses.clear();
    field.sets.clear();
    // The list names the first refused rows one by one and then counts the
    // rest, so a hostile file cannot fill memory with messages.
    int refusedUnlisted = 0;
    const auto refuse = [&](const QXmlStreamAttributes& attributes, const QString& reason) {
        if (!rejected)
            return;
        if (rejected->size() < MaxRejectedListed)
            rejected->append(RejectedRow{int(reader.lineNumber()), attributesText(attributes), reason});
        else
            ++refusedUnlisted;
    };
    while (reader.readNextStartElement()) {
        const QStringRef name = reader.name();
        if (name == QLatin1String("M")) {
            const QXmlStreamAttributes r = reader.attributes();
            Measurement row;
            bool ok = true;
            QString bad;
            const bool hasDirection = r.hasAttribute(QLatin1String("direction"));
            const bool hasAngle = r.hasAttribute(QLatin1String("angle"));
            row.direction = northIsZero(numberAttribute(r, QLatin1String("direction"), 0, ok, bad));
            row.angle = numberAttribute(r, QLatin1String("angle"), 0, ok, bad);
            row.type = intAttribute(r, QLatin1String("type"), 2, ok, bad);
            row.weight = numberAttribute(r, QLatin1String("weight"), 1, ok, bad);
            row.traverse = intAttribute(r, QLatin1String("traverse"), 0, ok, bad);
            QString problem;
            if (!hasDirection)
                problem = tr("缺少倾向");
            else if (!hasAngle)
                problem = tr("缺少倾角");
            else if (!ok)
                problem = tr("无法识别\"%1\"").arg(bad);
            else if (field.measurements.size() >= FieldLimits::MaxMeasurements)
                problem = tr("超过%1条测量数据").arg(FieldLimits::MaxMeasurements);
            else
                problem = measurementProblem(row);
            if (!problem.isEmpty()) {
                refuse(r, problem);
            } else {
                row.station = r.value(QLatin1String("station")).toString();
                row.notes = r.value(QLatin1String("notes")).toString();
                row.set = r.value(QLatin1String("set")).toString();
                field.measurements.append(row);
            }
        } else if (name == QLatin1String("Set")) {
            const QXmlStreamAttributes r = reader.attributes();
            JointSet set;
            QString problem;
            if (readJointSet(r, field.sets, set, problem))
                field.sets.append(set);
            else
                refuse(r, problem);
        } else if (name == QLatin1String("Traverse")) {
            const QXmlStreamAttributes r = reader.attributes();
            Traverse t;
            bool ok = true;
            QString bad;
            t.id = intAttribute(r, QLatin1String("id"), 0, ok, bad);
            t.trend = northIsZero(numberAttribute(r, QLatin1String("trend"), 0, ok, bad));
            t.plunge = numberAttribute(r, QLatin1String("plunge"), 0, ok, bad);
            t.name = r.value(QLatin1String("name")).toString();
            QString problem = ok ? traverseProblem(t) : tr("无法识别\"%1\"").arg(bad);
            if (problem.isEmpty() && field.traverses.size() >= FieldLimits::MaxTraverses)
                problem = tr("超过%1条测线").arg(FieldLimits::MaxTraverses);
            if (problem.isEmpty()) {
                for (const Traverse& other : qAsConst(field.traverses))
                    if (other.id == t.id)
                        problem = tr("测线编号%1重复").arg(t.id);
            }
            if (problem.isEmpty())
                field.traverses.append(t);
            else
                refuse(r, problem);
        }
        reader.skipCurrentElement();
    }
    if (refusedUnlisted > 0)
        rejected->append(RejectedRow{0, QString(), tr("另有%1行被拒绝").arg(refusedUnlisted)});
    return !reader.hasError();
}
