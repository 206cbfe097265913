#include "model/judgezone.h"

JudgeZone::JudgeZone(QObject* parent) : QObject(parent) {}

JudgeZone::JudgeZone(const JudgeZone& other) : QObject(nullptr) { *this = other; }

JudgeZone& JudgeZone::operator=(const JudgeZone& other) {
    upper = other.upper;
    bigCircle = other.bigCircle;
    topple = other.topple;
    frictionRadius = other.frictionRadius;
    limitPoint1 = other.limitPoint1;
    limitPoint2 = other.limitPoint2;
    envelope = other.envelope;
    slidingZone = other.slidingZone;
    marginZone = other.marginZone;
    topplingZone = other.topplingZone;
    return *this;
}

void JudgeZone::setModes(bool upperMode, bool bigCircleMode, bool toppleMode) {
    upper = upperMode;
    bigCircle = bigCircleMode;
    topple = toppleMode;
}

void JudgeZone::buildGreatCircleZones(double, double, double) {}
void JudgeZone::buildGreatCircleTopple(double, double, double) {}
void JudgeZone::buildPoleZones(double, double, double) {}
void JudgeZone::buildPoleTopple(double, double, double) {}
