#pragma once

#include "model/fielddata/jointset.h"
#include "model/stabilityrules.h"

#include <QString>
#include <QVector>

// Kinematic analysis of measured planes (critical percentages): how many
// measurements are critical for planar sliding and for toppling, and how
// many of their lines of intersection are critical for wedge sliding, by the
// very rules that judge the project's typed planes and wedges
// (model/stabilityrules.h), in total and per set.

// The measured planes, as plain values.
struct CriticalInput {
    QVector<double> direction; // dip direction of each measurement
    QVector<double> angle;     // dip
    QVector<double> weight;    // quantity; empty: all 1
    QVector<int> set;          // set of each measurement, -1 none; empty: none
    int setCount = 0;
    QVector<double> setDirection; // mean plane of each set (for Sets and SetsVsAll)
    QVector<double> setAngle;
    WedgePairs pairs = WedgePairs::All;
};

struct CriticalCount {
    qint64 count = 0;         // critical
    qint64 total = 0;         // judged (wedges: pairs that form a line)
    double weighted = 0;      // critical, weighted
    double weightedTotal = 0; // judged, weighted
    double percent() const { return total > 0 ? 100.0 * double(count) / double(total) : 0.0; }
    double weightedPercent() const { return weightedTotal > 0 ? 100.0 * weighted / weightedTotal : 0.0; }
};

// Index s < setCount: the set s; index setCount: all measurements.
// Planar and toppling: a set's measurements. Wedges: the lines that involve
// the set: one of the two planes belongs to it (All), is its plane (Sets), or
// its plane meets a measurement (SetsVsAll). A pair of measurements weighs
// the product of their weights, a set plane weighs 1.
struct CriticalCounts {
    bool toppleJudged = false;     // toppling counts only when the project judges toppling
    QVector<CriticalCount> planar; // setCount + 1 entries
    QVector<CriticalCount> toppling;
    QVector<CriticalCount> wedge;
};

// `threads` <= 0: one per core.
CriticalCounts criticalCounts(const CriticalInput& input, const SlopeCriteria& criteria, int threads = 0);

// Critical for planar sliding, toppling, wedge sliding: the codes as the
// verdicts give them.
bool isPlanarCritical(int state);
bool isToppleCritical(int state);
bool isWedgeCritical(int state);

// The exact verdict of the line of two planes: false when they form no line;
// otherwise `critical` tells whether it is critical for wedge sliding.
bool judgeIntersection(const SlopeCriteria& criteria, const std::array<double, 3>& a,
                       const std::array<double, 3>& b, bool& critical);
