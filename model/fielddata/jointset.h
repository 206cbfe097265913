#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// A joint set (优势结构面组) of the measurements: its name, its colour and
// its window, the cone about the pole of the plane centerDirection∠
// centerAngle holding its poles (axial: it reaches across the primitive
// circle). Each measurement names its set (Measurement::set).
struct JointSet {
    QString name;               // "J1", … or typed; unique, not empty
    int color = 1;              // AutoCAD colour index, 1..255
    double centerDirection = 0; // 0 ≤ α < 360
    double centerAngle = 0;     // 0 ≤ δ ≤ 90
    double halfAngle = 20;      // 0 < half-angle ≤ 90

    // The structural plane made from this set's mean plane (用作结构面):
    // its id in the project's planes (0: none), and the set's mean plane
    // and count as that plane last took them, so that a change of the set
    // is noticed once. Carried unchanged by every edit of the window.
    int planeId = 0;
    double planeDirection = -1; // -1: none
    double planeAngle = -1;     // -1: none
    int planeCount = 0;

    bool hasPlane() const { return planeId > 0; }
    void dropPlane() {
        planeId = 0;
        planeDirection = planeAngle = -1;
        planeCount = 0;
    }
};

// Which lines of intersection count for wedge sliding in the critical
// percentages.
enum class WedgePairs {
    All,       // every pair of measurements ("all")
    Sets,      // every pair of set planes ("sets")
    SetsVsAll, // each set plane with every measurement ("setsVsAll")
};
QString wedgePairsName(WedgePairs pairs);
bool wedgePairsFromName(const QString& name, WedgePairs& pairs);

namespace JointSetLimits {
constexpr int MaxSets = 32;
constexpr int MaxNameLength = 32;
} // namespace JointSetLimits

// Why a set cannot be taken (the user's text), or empty when it is valid.
QString jointSetProblem(const JointSet& set);

// The colours given to sets found automatically, in order (AutoCAD colour
// indexes that read on white: red, blue, green, magenta, orange, cyan, …).
int defaultSetColor(int index);
QString defaultSetName(int index); // "J1", "J2", …
// A new set's index for defaultSetName/defaultSetColor: the first whose name
// none of `names` has.
int firstFreeSetIndex(const QStringList& names);

class QXmlStreamAttributes;
class QXmlStreamWriter;

// The sets in the "Measurements" element, before its rows:
//   <Set name="J1" color="9" centerDirection="130" centerAngle="60" halfAngle="20"/>
// and, for a set with a plane, planeId="3" planeDirection="145.2"
// planeAngle="35.1" planeCount="54" after them.
void writeJointSets(QXmlStreamWriter& writer, const QVector<JointSet>& sets);
// One "Set" element; false with the reason when it is malformed, out of
// range (jointSetProblem) or repeats the name of one of `earlier`. A
// malformed or incomplete link to a plane is dropped, the set is kept.
bool readJointSet(const QXmlStreamAttributes& attributes, const QVector<JointSet>& earlier, JointSet& set,
                  QString& problem);
