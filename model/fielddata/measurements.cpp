#include "model/fielddata/measurements.h"

#include <QCoreApplication>

#include <cmath>

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("FieldData", text);
}
} // namespace

QString angleText(double degrees) {
    if (!std::isfinite(degrees))
        return QString::number(degrees);
    QString text = QString::number(degrees, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

QString planeText(double direction, double angle) {
    const auto one = [](double v) {
        QString text = QString::number(v, 'f', 1);
        if (text.endsWith(QLatin1String(".0")))
            text.chop(2);
        return text;
    };
    return one(direction) + QStringLiteral("∠") + one(angle);
}

QString measurementProblem(const Measurement& m) {
    // Written as ranges that hold, so that NaN (every comparison false) fails.
    if (!(m.direction >= 0 && m.direction < 360))
        return tr("倾向%1超出0–360").arg(angleText(m.direction));
    if (!(m.angle >= 0 && m.angle <= 90))
        return tr("倾角%1超出0–90").arg(angleText(m.angle));
    if (m.type < 2 || m.type > 4)
        return tr("类型%1不是2（节理）、3（层面）或4（断层）").arg(m.type);
    if (!(m.weight > 0 && m.weight <= FieldLimits::MaxWeight))
        return tr("权重%1超出0–1000000").arg(angleText(m.weight));
    return QString();
}

QString traverseProblem(const Traverse& t) {
    if (t.id <= 0)
        return tr("测线编号%1应大于0").arg(t.id);
    if (!(t.trend >= 0 && t.trend < 360))
        return tr("测线倾伏向%1超出0–360").arg(angleText(t.trend));
    if (!(t.plunge >= 0 && t.plunge <= 90))
        return tr("测线倾伏角%1超出0–90").arg(angleText(t.plunge));
    return QString();
}
