#pragma once

#include "model/fielddata/jointset.h"

#include <QString>
#include <QVector>

// Field measurements of a project: the measured orientations of joints,
// bedding planes and faults (a field survey of hundreds to 100 000 planes),
// the traverses they were taken on, and how their statistics are shown.
// Plain values; the computations on them (density, contours, rose, import)
// are pure functions in the other headers of this folder.
//
// Angles in degrees; directions are azimuths clockwise from north.

// One measured plane.
struct Measurement {
    double direction = 0;   // dip direction α, 0 ≤ α < 360
    double angle = 0;       // dip δ, 0 ≤ δ ≤ 90
    int type = 2;           // kind code as PlaneType: 2 joint, 3 bedding, 4 fault
    double weight = 1;      // weight or quantity (a row standing for several planes), > 0
    QString station, notes; // station or location text (测点), note
    int traverse = 0;       // id of the traverse it was taken on; 0: none
    QString set;            // name of its joint set; empty: none
};

// A traverse the measurements were sampled on: a scanline or a borehole,
// given as the line's trend and plunge.
struct Traverse {
    int id = 0; // > 0, named by Measurement::traverse
    QString name;
    double trend = 0, plunge = 0; // 0 ≤ trend < 360, 0 ≤ plunge ≤ 90
};

// Density methods (model/fielddata/density.h defines each).
enum class DensityMethod { Schmidt, Fisher, Kamb };

// The measurements of a project with their display settings
// (the "Measurements" element of the project file, measurementsfile.h).
struct FieldData {
    QVector<Measurement> measurements;
    QVector<Traverse> traverses;
    DensityMethod density = DensityMethod::Schmidt;
    double countingArea = 1;  // counting cone, percent of the hemisphere's area, 0.5..5
    bool terzaghi = false;    // weight by Terzaghi's sampling-bias correction
    double minBiasAngle = 15; // Terzaghi: smallest plane–traverse angle used, 1..89 (weight ≤ 1/sin)
    bool showLayer = true;    // the stereonet shows the measurements' layer
    QVector<double> levels;   // contour levels typed by the user, ascending; empty: automatic
    QVector<JointSet> sets;   // joint sets, in order (J1, J2, …)
    WedgePairs wedgePairs = WedgePairs::All; // lines counted for wedge sliding

    // No measurements: the project writes no "Measurements" element and
    // shows no layer.
    bool isEmpty() const { return measurements.isEmpty(); }
};

// Limits a project (and its file) holds to.
namespace FieldLimits {
constexpr int MaxMeasurements = 100000;
constexpr int MaxTraverses = 1000;
constexpr double MinCountingArea = 0.5, MaxCountingArea = 5; // percent
constexpr double MinBiasAngleLow = 1, MinBiasAngleHigh = 89; // degrees (5–25 recommended)
constexpr double MaxWeight = 1e6;
} // namespace FieldLimits

// A row that was refused (by the import or by the project reader) and why.
struct RejectedRow {
    int line = 0;   // 1-based line (CSV/TXT), row (sheet) or position in the file
    QString text;   // the row as it stood
    QString reason; // e.g. "倾角95超出0–90", "无法识别\"abc\""
};

// Why a measurement cannot be taken (the user's text, e.g. "倾角95超出0–90"),
// or an empty string when it is valid: finite values, 0 ≤ direction < 360,
// 0 ≤ angle ≤ 90, type 2..4, 0 < weight ≤ FieldLimits::MaxWeight.
QString measurementProblem(const Measurement& m);

// Why a traverse cannot be taken, or empty: id > 0, 0 ≤ trend < 360 (360
// itself reads as 0 in the callers that normalise), 0 ≤ plunge ≤ 90.
QString traverseProblem(const Traverse& t);

// Formats an angle for the user's texts: up to two decimals, no trailing
// zeros ("95", "12.5").
QString angleText(double degrees);

// The plane as 倾向∠倾角 ("135∠65", at most one decimal).
QString planeText(double direction, double angle);
