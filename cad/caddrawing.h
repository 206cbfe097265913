#pragma once

#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>

class DataCenter;
class JudgeZone;

// Receives the primitives of one CAD drawing, in drawing order. The drawing
// is described once (CadDrawing below) and every encoding is a sink, so the
// DXF file and the interchange XML always carry the same primitives.
//
// Coordinates are drawing units, angles degrees counter-clockwise from +x.
// Style codes: 0 continuous, 1 slope line type (arcs), 2..4 plane kinds
// (drawn continuous), 6 dashed (circles, lines, polylines).
// Alignment codes: horizontal 0 left, 1 centre, 2 right; vertical 1 bottom,
// 2 middle, 3 top.
class CadSink {
public:
    virtual ~CadSink() = default;
    virtual void circle(double x, double y, double radius, int style, int colour, double scale) = 0;
    virtual void arc(double x, double y, double radius, double startAngle, double endAngle, int style,
                     int colour, double scale) = 0;
    virtual void line(double x1, double y1, double x2, double y2, int style, int colour, double scale) = 0;
    virtual void polyline(const QVector<QPointF>& vertices, int style, int colour, double scale) = 0;
    virtual void text(double x, double y, double height, const QString& text, int hAlign, int vAlign,
                      double rotation) = 0;
    // The layer the following primitives go on (CadDrawing::DrawingLayer
    // unless a drawing switches; only the measurement layer does).
    virtual void setLayer(const QString& name) { Q_UNUSED(name); }
};

namespace CadDrawing {

enum Style { Continuous = 0, SlopeLine = 1, Dashed = 6 };
enum Colour { ByLayer = 256, CrossColour = 1, ZoneColour = 150 };
enum HAlign { Left = 0, Centre = 1, Right = 2 };
enum VAlign { Bottom = 1, Middle = 2, Top = 3 };

// Layers: the drawing itself, and the measurements' poles and density
// contours (only in drawings of projects whose measurement layer is shown),
// and the joint sets' windows, means and cones (only when there are sets).
extern const char* const DrawingLayer;   // "KVQXTW"
extern const char* const PoleLayer;      // "KVJD"
extern const char* const ContourLayer;   // "KVDMX"
extern const char* const SetWindowLayer; // "KVFZC": set windows and their names
extern const char* const SetMeanLayer;   // "KVPJM": mean poles, mean great circles, their labels
extern const char* const SetConeLayer;   // "KVZXZ": α95 and variability cones

// The extra layers a project's drawing uses, in the order the files
// declare them: none, or PoleLayer and ContourLayer, followed by the three
// set layers when the project has joint sets.
QStringList extraLayers(const DataCenter& project);

// Text height T in drawing units: H percent of R.
double textHeight(int radius, int textPercent);
double textHeight(const DataCenter& project);

// End angle of an arc that starts at startAngle and spans span degrees,
// brought below 360.
double arcEndAngle(double startAngle, double span);

// CAD colour index of an on-screen kind colour (Qt::GlobalColor number);
// 0 for a colour outside the table.
int cadColourOf(int screenColour);
// CAD colour of a plane kind code; 256 (by layer) for any other code.
int kindColour(const DataCenter& project, int type);
// Refreshes the project's three kind colours from the process-wide
// on-screen colours.
void updateCadColours(DataCenter& project);

// A text value as it may stand in a drawing: control characters (line
// breaks, tabs, ...) become spaces, since they would break the DXF group
// structure and cannot be held by XML 1.0.
QString drawableText(const QString& text);

// Net frame: circle, 36 ticks, centre cross, letters, bearing labels
// (52 primitives).
void net(CadSink& sink, int R, double T);
// Two lines crossing at (x, y), half size 0.02 R, colour 1.
void cross(CadSink& sink, double x, double y, int R);
// Slope arc, then its label in the labelling modes 2 and 3.
void slope(CadSink& sink, const DataCenter& project, int R, double T);
// Planes and wedges in the great-circle representation.
void greatCircles(CadSink& sink, const DataCenter& project, int R, double T);
// Planes and wedges in the pole representation.
void poles(CadSink& sink, const DataCenter& project, int R, double T);
// Friction circle, included-angle lines, envelope and toppling zone, rotated
// from the zone frame by the slope's dip direction.
void zones(CadSink& sink, const JudgeZone& zone, int R, double slopeDirection);
// The measurement layer: contour lines (one colour per level, each line
// labelled with its level) on ContourLayer, the poles (small circles in
// their kind's colour, or their joint set's) on PoleLayer, the joint sets
// (jointSets), then back to DrawingLayer. Nothing when the project's layer
// is not shown.
void measurements(CadSink& sink, const DataCenter& project, int R, double T);
// The joint sets (within measurements(), on their own layers, in each set's
// colour): the windows with the set names on SetWindowLayer; the mean poles
// (triangles) with the names and the mean great circles with name and mean
// plane on SetMeanLayer; the α95 and variability cones on SetConeLayer.
// Cones are circles, or arcs where they cross the primitive circle (a chord
// or short straight lines where a circle is too large for the files' six
// digits). Nothing for a project without sets.
void jointSets(CadSink& sink, const DataCenter& project, int R, double T);
// CAD colour of contour level `index` (0-based) of `count`.
int contourColour(int index, int count);
// The whole drawing of a project with its stored CAD radius and text height.
void drawing(CadSink& sink, const DataCenter& project);

} // namespace CadDrawing
