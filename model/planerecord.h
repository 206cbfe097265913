#pragma once

#include <QPointF>
#include <QString>

#include <array>

// Kind code of a plane. Wherever a kind picks a word, colour or text, any
// code other than these counts as a joint.
enum PlaneType : int {
    SlopeFace = 1,
    Joint = 2,
    Bedding = 3,
    Fault = 4,
};

// One plane: the slope face, a structural plane, or the intersection line of
// a wedge. Copied by value.
struct PlaneRecord {
    int id = -1;                    // 0 slope, 1..n planes, 100*a+b wedges (-1 when that overflows)
    double direction = -1;          // dip direction (wedge: trend)
    double angle = -1;              // dip (wedge: plunge)
    double apparentAngle = -1;      // apparent dip along the slope's dip direction
    double slopeApparentAngle = -1; // slope's apparent dip along this dip direction
    double directionDelta = 360;    // angle between dip directions, 0..180
    QPointF StartPoint;             // arc start on the primitive circle
    QPointF MidPoint;               // arc middle (wedge: projected line)
    QPointF EndPoint;               // arc end on the primitive circle
    QPointF CenterPoint;            // centre of the arc's circle
    QPointF PolePoint;              // projected pole
    double CircleRadius = 0;
    double StartAngle = 0;          // degrees, counter-clockwise from east
    double SpanRadius = 0;          // angular span in degrees
    std::array<double, 3> normal{{0, 0, 0}}; // upward unit normal (east, north, up)
    int type = Joint;
    bool calculated = false;        // geometry valid for attitude and hemisphere
    bool highlighted = false;       // one-shot highlight in the view
    int state = 1;                  // stability state code; 1 = not judged
    QString notes;
    // Wedges: the positions of their two planes in DataCenter::planes (the
    // earlier one first) and those planes' ids as shown ("idA×idB"). Wedges
    // are found through the positions, never through an id: ids may repeat
    // and 100*a+b is not unique once ids reach 100.
    int planeA = -1, planeB = -1;
    int idA = 0, idB = 0;
};

// The wedge number 100*a+b of the planes with ids a and b, in 64 bits so
// that every id the project file can carry gives its value.
inline qint64 wedgeNumber(int idA, int idB) {
    return 100 * qint64(idA) + qint64(idB);
}
