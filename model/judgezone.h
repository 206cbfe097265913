#pragma once

#include <QObject>
#include <QPointF>
#include <QVector>

class QPainter;

// The graphical criteria drawn beneath the stereonet: friction circle,
// included-angle limits, sliding/margin/toppling zones and (pole mode) the
// daylight envelope. Built in the zone frame: unit net, x to the right, y
// along the slope's dip direction, right half only.
class JudgeZone : public QObject {
    Q_OBJECT
public:
    explicit JudgeZone(QObject* parent = nullptr);
    JudgeZone(const JudgeZone& other);
    JudgeZone& operator=(const JudgeZone& other);

    void setModes(bool upperMode, bool bigCircleMode, bool toppleMode);
    void buildGreatCircleZones(double slopeDip, double includedAngle, double frictionAngle);
    void buildGreatCircleTopple(double slopeDip, double includedAngle, double frictionAngle);
    void buildPoleZones(double slopeDip, double includedAngle, double frictionAngle);
    void buildPoleTopple(double slopeDip, double includedAngle, double frictionAngle);

    // Draws the zones onto a painter whose origin is the net centre, radius R
    // pixels, y pointing down. Defined with the stereonet drawing code.
    void draw(QPainter& painter, double R, double slopeDirection) const;

    bool upper = true;
    bool bigCircle = true;
    bool topple = false;
    double frictionRadius = 1.0;
    QPointF limitPoint1;
    QPointF limitPoint2;
    QVector<QPointF> envelope;
    QVector<QPointF> slidingZone;
    QVector<QPointF> marginZone;
    QVector<QPointF> topplingZone;
};
