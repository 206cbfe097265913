// Wedges, apparent dips and the stability judgement.
#include "model/datacenter.h"

#include <QDateTime>

void DataCenter::computeWedges() { wedges.clear(); }

void DataCenter::computeApparentDips() {}

void DataCenter::analyse() {
    analysisTime = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (analysisOff)
        return;
    computeWedges();
    computeApparentDips();
    judgeStability();
}

void DataCenter::judgeStability() {}

void DataCenter::buildConclusion() {}
