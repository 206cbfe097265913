#include "model/labels.h"

#include "model/datacenter.h"

#include <QCoreApplication>

#include <utility>

namespace Labels {
namespace {
QString tr(const char* text) {
    return QCoreApplication::translate("DataCenter", text);
}

// The numbers of a wedge's two planes: their ids where the analysis gave
// the wedge its planes, else decoded from 100*a+b (a record built by hand).
std::pair<QString, QString> pairNumbers(const PlaneRecord& wedge) {
    if (wedge.planeA >= 0 && wedge.planeB >= 0)
        return {QString::number(wedge.idA), QString::number(wedge.idB)};
    return {QString::number(wedge.id / 100), QString::number(wedge.id % 100)};
}

QString generalNumber(double value) {
    return QString::number(value, 'g', 6);
}
} // namespace

QString removeZeroDecimals(QString text) {
    return text.remove(QStringLiteral(".0"));
}

QString angleText(double degrees) {
    return QString::number(degrees, 'f', 1);
}

QString attitudeText(double direction, double angle) {
    return removeZeroDecimals(tr("%1°∠%2°").arg(angleText(direction), angleText(angle)));
}

QString kindWord(int type) {
    switch (type) {
    case Bedding:
        return tr("层理");
    case Fault:
        return tr("断层");
    default:
        return tr("节理");
    }
}

QString kindText(const PlaneRecord& plane) {
    if (!plane.notes.isEmpty())
        return tr("(%1)").arg(plane.notes);
    switch (plane.type) {
    case Bedding:
        return tr("(层理)");
    case Fault:
        return tr("(断层)");
    default:
        return tr("(节理)");
    }
}

QString planeName(const PlaneRecord& plane) {
    // The multi-argument arg() substitutes in one pass, so a "%1" typed into
    // the notes stays literal text.
    if (!plane.notes.isEmpty())
        return tr("%1%2、").arg(plane.notes, QString::number(plane.id));
    switch (plane.type) {
    case Bedding:
        return tr("层理%1、").arg(plane.id);
    case Fault:
        return tr("断层%1、").arg(plane.id);
    default:
        return tr("节理%1、").arg(plane.id);
    }
}

QString wedgeName(const PlaneRecord& wedge) {
    const auto numbers = pairNumbers(wedge);
    return tr("%1×%2、").arg(numbers.first, numbers.second);
}

QString wedgePair(const PlaneRecord& wedge) {
    const auto numbers = pairNumbers(wedge);
    return tr("%1×%2").arg(numbers.first, numbers.second);
}

QString planeLabel(const PlaneRecord& plane, int showMark, bool bigCircle) {
    QString text;
    if (showMark == 1) {
        text = tr("%1").arg(plane.id);
    } else if ((showMark == 2 || showMark == 3) && bigCircle) {
        text = tr("%1%2:%3°∠%4°")
                   .arg(QString::number(plane.id), kindText(plane), angleText(plane.direction),
                        angleText(plane.angle));
    } else if (showMark == 3) {
        text = tr("%1:%2°∠%3°")
                   .arg(QString::number(plane.id), angleText(plane.direction), angleText(plane.angle));
    }
    return removeZeroDecimals(text);
}

QString slopeLabel(const PlaneRecord& slope, int showMark) {
    if (showMark == 1)
        return tr("S");
    if (showMark == 2 || showMark == 3)
        return removeZeroDecimals(tr("边坡:%1°∠%2°").arg(angleText(slope.direction), angleText(slope.angle)));
    return QString();
}

QString wedgeLabel(const PlaneRecord& wedge, int showMark) {
    QString text;
    if (showMark == 1) {
        text = wedgePair(wedge);
    } else if (showMark == 3) {
        text = tr("%1×%2:%3°∠%4°")
                   .arg(pairNumbers(wedge).first, pairNumbers(wedge).second, angleText(wedge.direction),
                        angleText(wedge.angle));
    }
    return removeZeroDecimals(text);
}

QString stateClassWord(int state) {
    switch (state / 10) {
    case 2:
        return tr("(基本稳定)");
    case 3:
        return tr("(不稳定)");
    case 4:
        return tr("(倾倒破坏)");
    default:
        return tr("(稳定)");
    }
}

QString stateMessage(const DataCenter& project, int state) {
    const auto it = project.stateMessages.constFind(state);
    if (it == project.stateMessages.constEnd())
        return QString();
    const QString& message = it.value();
    switch (state % 10) {
    case 2:
        return message.arg(generalNumber(project.FrictionAnglePlanar));
    case 3:
        return message.arg(generalNumber(project.IncludedAnglePlanar));
    case 4:
        return message.arg(generalNumber(project.FrictionAnglePlanar),
                           generalNumber(project.IncludedAnglePlanar));
    default:
        return message;
    }
}

} // namespace Labels
