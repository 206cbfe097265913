#include "model/fielddata/jointset.h"

#include <QCoreApplication>
#include <QLocale>
#include <QXmlStreamAttributes>
#include <QXmlStreamWriter>

#include <cmath>

namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("FieldData", text);
}

// The shortest text that reads back as the same number.
QString number(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// The link of a set to its plane; none unless every part is there and in
// range (an id the planes no longer have is dropped with the project's
// planes in view, see setlinks.h).
void readPlaneLink(const QXmlStreamAttributes& a, JointSet& set) {
    const auto value = [&a](const char* key, double& v) {
        bool ok = false;
        v = a.value(QLatin1String(key)).toString().trimmed().toDouble(&ok);
        return ok && std::isfinite(v);
    };
    double id = 0, direction = -1, angle = -1, count = 0;
    if (!value("planeId", id) || !value("planeDirection", direction) || !value("planeAngle", angle) ||
        !value("planeCount", count))
        return;
    if (id != std::floor(id) || !(id >= 1 && id <= 1e9) || !(direction >= 0 && direction <= 360) ||
        !(angle >= 0 && angle <= 90) || count != std::floor(count) || !(count >= 0 && count <= 1e9))
        return;
    set.planeId = int(id);
    set.planeDirection = direction;
    set.planeAngle = angle;
    set.planeCount = int(count);
}
} // namespace

QString wedgePairsName(WedgePairs pairs) {
    switch (pairs) {
    case WedgePairs::Sets:
        return QStringLiteral("sets");
    case WedgePairs::SetsVsAll:
        return QStringLiteral("setsVsAll");
    case WedgePairs::All:
        break;
    }
    return QStringLiteral("all");
}

bool wedgePairsFromName(const QString& name, WedgePairs& pairs) {
    if (name == QLatin1String("all"))
        pairs = WedgePairs::All;
    else if (name == QLatin1String("sets"))
        pairs = WedgePairs::Sets;
    else if (name == QLatin1String("setsVsAll"))
        pairs = WedgePairs::SetsVsAll;
    else
        return false;
    return true;
}

QString jointSetProblem(const JointSet& set) {
    if (set.name.trimmed().isEmpty())
        return tr("组名为空");
    if (set.name.size() > JointSetLimits::MaxNameLength)
        return tr("组名超过%1个字符").arg(JointSetLimits::MaxNameLength);
    if (!(set.color >= 1 && set.color <= 255))
        return tr("颜色%1超出1–255").arg(set.color);
    if (!(set.centerDirection >= 0 && set.centerDirection < 360))
        return tr("中心倾向%1超出0–360").arg(set.centerDirection);
    if (!(set.centerAngle >= 0 && set.centerAngle <= 90))
        return tr("中心倾角%1超出0–90").arg(set.centerAngle);
    if (!(set.halfAngle > 0 && set.halfAngle <= 90))
        return tr("半锥角%1超出0–90").arg(set.halfAngle);
    return QString();
}

int defaultSetColor(int index) {
    static const int colors[] = {1, 5, 3, 6, 30, 4, 200, 34, 150, 240};
    constexpr int n = int(sizeof(colors) / sizeof(colors[0]));
    return colors[((index % n) + n) % n];
}

QString defaultSetName(int index) {
    return QStringLiteral("J%1").arg(index + 1);
}

int firstFreeSetIndex(const QStringList& names) {
    int index = 0;
    while (names.contains(defaultSetName(index)))
        ++index;
    return index;
}

void writeJointSets(QXmlStreamWriter& w, const QVector<JointSet>& sets) {
    for (const JointSet& s : sets) {
        w.writeEmptyElement(QStringLiteral("Set"));
        w.writeAttribute(QStringLiteral("name"), s.name);
        w.writeAttribute(QStringLiteral("color"), QString::number(s.color));
        w.writeAttribute(QStringLiteral("centerDirection"), number(s.centerDirection));
        w.writeAttribute(QStringLiteral("centerAngle"), number(s.centerAngle));
        w.writeAttribute(QStringLiteral("halfAngle"), number(s.halfAngle));
        if (s.hasPlane()) {
            w.writeAttribute(QStringLiteral("planeId"), QString::number(s.planeId));
            w.writeAttribute(QStringLiteral("planeDirection"), number(s.planeDirection));
            w.writeAttribute(QStringLiteral("planeAngle"), number(s.planeAngle));
            w.writeAttribute(QStringLiteral("planeCount"), QString::number(s.planeCount));
        }
    }
}

bool readJointSet(const QXmlStreamAttributes& a, const QVector<JointSet>& earlier, JointSet& set,
                  QString& problem) {
    set = JointSet();
    set.name = a.value(QLatin1String("name")).toString();
    struct Field {
        const char* name;
        double* value;
        bool required;
    };
    double color = set.color;
    const Field fields[] = {{"color", &color, false},
                            {"centerDirection", &set.centerDirection, true},
                            {"centerAngle", &set.centerAngle, true},
                            {"halfAngle", &set.halfAngle, false}};
    for (const Field& f : fields) {
        const QLatin1String key(f.name);
        if (!a.hasAttribute(key)) {
            if (f.required) {
                problem = tr("缺少%1").arg(key);
                return false;
            }
            continue;
        }
        bool ok = false;
        const QString text = a.value(key).toString();
        const double v = text.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v)) {
            problem = tr("无法识别\"%1\"").arg(text);
            return false;
        }
        *f.value = v;
    }
    if (color != std::floor(color) || !(color >= 1 && color <= 255)) {
        problem = tr("颜色%1超出1–255").arg(color);
        return false;
    }
    set.color = int(color);
    if (set.centerDirection == 360)
        set.centerDirection = 0;
    problem = jointSetProblem(set);
    if (!problem.isEmpty())
        return false;
    readPlaneLink(a, set);
    for (const JointSet& other : earlier)
        if (other.name == set.name) {
            problem = tr("组名%1重复").arg(set.name);
            return false;
        }
    if (earlier.size() >= JointSetLimits::MaxSets) {
        problem = tr("超过%1组").arg(JointSetLimits::MaxSets);
        return false;
    }
    return true;
}
