#pragma once

#include <QVector>

// Rose diagram (玫瑰花图) data: how the measured planes' strikes or dip
// directions fall into sectors of equal width.
//
// Strikes are axes (a strike of 30° is a strike of 210°): each plane counts
// once, in the sector of its strike modulo 180°, and the diagram is
// symmetric, sector s and s + 180° holding the same value (drawn as a full
// symmetric rose or as its northern half). Dip directions count over the full
// circle. The strike is the dip direction − 90° (right-hand rule). Horizontal
// planes (dip 0) have neither and are left out (counted in `excluded`).
//
// Sector k covers [k·width, (k+1)·width) degrees clockwise from north.

enum class RoseQuantity { Strike, DipDirection };

struct RoseSettings {
    RoseQuantity quantity = RoseQuantity::Strike;
    double sectorWidth = 10; // degrees: 5 or 10 (any divisor of 180 from 1 to 90 works)
    bool percent = false;    // values as percentages of the total, else counts
    bool weighted = false;   // count each plane by its weight, else as 1
};

struct RoseDiagram {
    RoseSettings settings;
    QVector<double> sectors; // 360/width values, from north clockwise
    double maxValue = 0;
    double total = 0; // planes counted (weighted when weighted)
    int excluded = 0; // horizontal planes left out
};

// `directions` and `angles` are the planes' dip directions and dips;
// `weights` (same length, or empty for all 1) is used when settings.weighted.
RoseDiagram roseDiagram(const QVector<double>& directions, const QVector<double>& angles,
                        const QVector<double>& weights, const RoseSettings& settings);
