#include "cad/caddrawing.h"

#include "model/datacenter.h"
#include "model/displayoptions.h"
#include "model/fielddata/fieldview.h"
#include "model/fielddata/measurements.h"
#include "model/labels.h"

#include <QCoreApplication>
#include <QtMath>

#include <cmath>

namespace CadDrawing {
namespace {
// The compass letters are the same texts as on the screen net.
QString compassLetter(const char* text) {
    return QCoreApplication::translate("Stereonet", text);
}

constexpr double kDegToRad = 0.017453292519943295;

QPointF rotated(double u, double v, double thetaDegrees) {
    const double c = std::cos(thetaDegrees * kDegToRad);
    const double s = std::sin(thetaDegrees * kDegToRad);
    return QPointF(u * c - v * s, u * s + v * c);
}

// A label sits beyond whichever end of the arc lies further east; below
// the east-west line it hangs from its point, above it stands on it.
void endLabel(CadSink& sink, const PlaneRecord& record, const QString& label, int R, double T) {
    const QPointF p = record.StartPoint.x() < record.EndPoint.x() ? record.EndPoint : record.StartPoint;
    sink.text(R * (p.x() + 0.08), R * p.y(), T, drawableText(label), Left, p.y() < 0 ? Top : Bottom, 0);
}

void sideLabel(CadSink& sink, const QPointF& p, const QString& label, int R, double T) {
    sink.text(R * (p.x() + 0.02), R * p.y(), T, drawableText(label), Left, Bottom, 0);
}

void recordArc(CadSink& sink, const PlaneRecord& record, int R, int colour, double scale) {
    sink.arc(R * record.CenterPoint.x(), R * record.CenterPoint.y(), R * record.CircleRadius,
             record.StartAngle, arcEndAngle(record.StartAngle, record.SpanRadius), record.type, colour,
             scale);
}

// Polyline of a half outline stored in the zone frame and its mirror image:
// p0 .. pn-1, then the mirrors of pn-2 .. p0.
void mirroredOutline(CadSink& sink, const QVector<QPointF>& half, int R, double theta, double scale) {
    const int n = half.size();
    QVector<QPointF> vertices;
    vertices.reserve(2 * n - 1);
    for (int j = 0; j < n; ++j)
        vertices.append(rotated(R * half[j].x(), -R * half[j].y(), theta));
    for (int i = n - 2; i >= 0; --i)
        vertices.append(rotated(-R * half[i].x(), -R * half[i].y(), theta));
    sink.polyline(vertices, Dashed, ZoneColour, scale);
}
} // namespace

const char* const DrawingLayer = "KVQXTW";
const char* const PoleLayer = "KVJD";
const char* const ContourLayer = "KVDMX";
const char* const SetWindowLayer = "KVFZC";
const char* const SetMeanLayer = "KVPJM";
const char* const SetConeLayer = "KVZXZ";

QStringList extraLayers(const DataCenter& project) {
    if (!FieldViews::layerShown(project))
        return {};
    QStringList layers{QLatin1String(PoleLayer), QLatin1String(ContourLayer)};
    if (!project.field.sets.isEmpty())
        layers << QLatin1String(SetWindowLayer) << QLatin1String(SetMeanLayer) << QLatin1String(SetConeLayer);
    return layers;
}

namespace {
// Arcs wider than this (net units) are drawn as straight lines: the files
// keep six digits, so a huge circle's centre and angles would place its
// visible part off by more than the drawing shows.
constexpr double kWidestCadArc = 50;
// Largest distance of those lines from the true arc, in net units.
constexpr double kChordSagitta = 2e-4;

void curvePieces(CadSink& sink, const QVector<NetCurvePiece>& pieces, int R, int colour) {
    for (const NetCurvePiece& piece : pieces) {
        switch (piece.kind) {
        case NetCurvePiece::Circle:
            sink.circle(R * piece.centre.x(), R * piece.centre.y(), R * piece.radius, Continuous, colour,
                        1.0);
            break;
        case NetCurvePiece::Arc:
            if (piece.radius <= kWidestCadArc) {
                sink.arc(R * piece.centre.x(), R * piece.centre.y(), R * piece.radius, piece.startAngle,
                         piece.endAngle, Continuous, colour, 1.0);
                break;
            }
            {
                // Chords of the arc, each within kChordSagitta of it.
                const double step = 2 * std::sqrt(2 * kChordSagitta / piece.radius);
                const int n = qBound(1, int(std::ceil(pieceSpan(piece) * kDegToRad / step)), 64);
                QVector<QPointF> vertices;
                for (int k = 0; k <= n; ++k) {
                    const QPointF p = k == 0   ? piece.start
                                      : k == n ? piece.end
                                               : piecePoint(piece, double(k) / n);
                    vertices << QPointF(R * p.x(), R * p.y());
                }
                sink.polyline(vertices, Continuous, colour, 1.0);
            }
            break;
        case NetCurvePiece::Segment:
            sink.line(R * piece.start.x(), R * piece.start.y(), R * piece.end.x(), R * piece.end.y(),
                      Continuous, colour, 1.0);
            break;
        }
    }
}

// Where a window's name goes: the top of a whole circle, the middle of an arc.
QPointF windowLabelPoint(const NetCurvePiece& piece) {
    return piecePoint(piece, piece.kind == NetCurvePiece::Circle ? 0.25 : 0.5);
}
} // namespace

void jointSets(CadSink& sink, const DataCenter& project, int R, double T) {
    if (!FieldViews::layerShown(project) || project.field.sets.isEmpty())
        return;
    const std::shared_ptr<const FieldView> view = FieldViews::of(project);
    const double labelHeight = 0.8 * T;

    sink.setLayer(QLatin1String(SetWindowLayer));
    for (const FieldSetView& set : view->sets) {
        curvePieces(sink, set.window, R, set.color);
        if (set.window.isEmpty())
            continue;
        const QPointF at = windowLabelPoint(set.window.first());
        sink.text(R * at.x(), R * at.y() + 0.2 * labelHeight, labelHeight, drawableText(set.name), Centre,
                  Bottom, 0);
    }

    sink.setLayer(QLatin1String(SetMeanLayer));
    QVector<QPointF> placed;
    for (const FieldSetView& set : view->sets) {
        if (!set.hasMean())
            continue;
        const PlaneRecord mean = FieldViews::meanPlaneRecord(project, set);
        recordArc(sink, mean, R, set.color, 1.0);
        // Named at the arc's western end: the eastern one carries the label
        // of a structural plane made from the set (用作结构面), on the same arc.
        // Means of nearly the same strike end together: their labels stack.
        const QPointF west = mean.StartPoint.x() < mean.EndPoint.x() ? mean.StartPoint : mean.EndPoint;
        QPointF at(R * (west.x() - 0.04), R * west.y());
        for (int k = 0; k < placed.size(); ++k)
            if (std::hypot(at.x() - placed[k].x(), at.y() - placed[k].y()) < 1.2 * labelHeight) {
                at.ry() += west.y() < 0 ? -1.2 * labelHeight : 1.2 * labelHeight;
                k = -1;
            }
        placed << at;
        sink.text(at.x(), at.y(), labelHeight,
                  drawableText(set.name + QLatin1Char(' ') +
                               planeText(set.statistics.direction, set.statistics.angle)),
                  Right, west.y() < 0 ? Top : Bottom, 0);
        // The mean pole: a triangle standing on it, its name beside it.
        const double x = R * set.meanPole.x(), y = R * set.meanPole.y();
        const double a = 0.025 * R;
        sink.polyline({QPointF(x, y + 0.577 * a), QPointF(x + 0.5 * a, y - 0.289 * a),
                       QPointF(x - 0.5 * a, y - 0.289 * a), QPointF(x, y + 0.577 * a)},
                      Continuous, set.color, 1.0);
        sink.text(x + 0.6 * a, y, labelHeight, drawableText(set.name), Left, Bottom, 0);
    }

    sink.setLayer(QLatin1String(SetConeLayer));
    for (const FieldSetView& set : view->sets) {
        curvePieces(sink, set.confidence, R, set.color);
        curvePieces(sink, set.variability, R, set.color);
    }
}

int contourColour(int index, int count) {
    // Yellow through orange to red and dark red, as the screen's bands.
    static const int ramp[] = {50, 40, 30, 20, 10, 1, 12, 14, 16, 18, 240, 242};
    constexpr int n = int(sizeof ramp / sizeof ramp[0]);
    if (count <= 1)
        return ramp[0];
    const int k = count <= n ? index * (n - 1) / (count - 1) : index % n;
    return ramp[qBound(0, k, n - 1)];
}

void measurements(CadSink& sink, const DataCenter& project, int R, double T) {
    if (!FieldViews::layerShown(project))
        return;
    const std::shared_ptr<const FieldView> view = FieldViews::of(project);
    sink.setLayer(QLatin1String(ContourLayer));
    const int levels = view->levels.size();
    const QString unit = view->unit == QLatin1String("sigma") ? QStringLiteral("σ") : view->unit;
    for (int i = 0; i < levels && i < view->contours.size(); ++i) {
        const int colour = contourColour(i, levels);
        const QString label = QString::number(view->levels[i], 'g', 4) + unit;
        // Lines long enough to carry it get the level at their middle vertex;
        // a level of short lines only gets it on its longest.
        QVector<double> lengths;
        double longest = 0;
        for (const QPolygonF& line : view->contours[i].lines) {
            double length = 0;
            for (int k = 1; k < line.size(); ++k)
                length += R * std::hypot(line[k].x() - line[k - 1].x(), line[k].y() - line[k - 1].y());
            lengths << length;
            longest = qMax(longest, length);
        }
        const double labelled = qMin(4 * T, longest);
        for (int l = 0; l < view->contours[i].lines.size(); ++l) {
            const QPolygonF& line = view->contours[i].lines[l];
            if (line.size() < 2)
                continue;
            QVector<QPointF> vertices;
            vertices.reserve(line.size());
            for (const QPointF& p : line)
                vertices << QPointF(R * p.x(), R * p.y());
            sink.polyline(vertices, Continuous, colour, 1.0);
            if (lengths[l] >= labelled) {
                const QPointF& at = vertices[vertices.size() / 2];
                sink.text(at.x(), at.y(), 0.6 * T, label, Centre, Middle, 0);
            }
        }
    }
    sink.setLayer(QLatin1String(PoleLayer));
    const double r = 0.006 * R;
    for (int i = 0; i < view->poles.size(); ++i) {
        const int set = view->poleSets.value(i, -1);
        const int colour = set >= 0 ? view->sets.at(set).color : kindColour(project, view->kinds[i]);
        sink.circle(R * view->poles[i].x(), R * view->poles[i].y(), r, Continuous, colour, 1.0);
    }
    jointSets(sink, project, R, T);
    sink.setLayer(QLatin1String(DrawingLayer));
}

double textHeight(int radius, int textPercent) {
    return textPercent * 0.01 * radius;
}

double textHeight(const DataCenter& project) {
    return textHeight(project.cadRadius, project.cadTextPercent);
}

double arcEndAngle(double startAngle, double span) {
    double end = startAngle + span;
    if (end >= 360.0)
        end -= 360.0;
    return end;
}

int cadColourOf(int screenColour) {
    switch (screenColour) {
    case Qt::red:
        return 1;
    case Qt::yellow:
        return 2;
    case Qt::green:
        return 3;
    case Qt::cyan:
        return 4;
    case Qt::blue:
        return 5;
    case Qt::magenta:
        return 6;
    case Qt::black:
        return 7;
    default:
        return 0;
    }
}

int kindColour(const DataCenter& project, int type) {
    switch (type) {
    case Joint:
        return project.cadColourJoint;
    case Bedding:
        return project.cadColourBedding;
    case Fault:
        return project.cadColourFault;
    default:
        return ByLayer;
    }
}

void updateCadColours(DataCenter& project) {
    const DisplayOptions& options = displayOptions();
    project.cadColourJoint = cadColourOf(options.jointColor);
    project.cadColourBedding = cadColourOf(options.beddingColor);
    project.cadColourFault = cadColourOf(options.faultColor);
}

QString drawableText(const QString& text) {
    QString result = text;
    for (QChar& c : result) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    }
    return result;
}

void net(CadSink& sink, int R, double T) {
    sink.circle(0, 0, R, Continuous, ByLayer, 1.0);
    for (int alpha = 0; alpha < 360; alpha += 10) {
        const double r = alpha % 30 == 0 ? R - R * 5 / 100.0 : R - R * 2.5 / 100.0;
        const double c = std::cos(alpha * kDegToRad);
        const double s = std::sin(alpha * kDegToRad);
        sink.line(r * c, r * s, R * c, R * s, Continuous, ByLayer, 1.0);
    }
    sink.line(-R / 10.0, 0, R / 10.0, 0, Continuous, ByLayer, 1.0);
    sink.line(0, -R / 10.0, 0, R / 10.0, Continuous, ByLayer, 1.0);

    const double letter = 1.2 * T;
    sink.text(0, 0, letter, compassLetter("O"), Left, Bottom, 0);
    sink.text(R, 0, letter, compassLetter("E"), Left, Middle, 0);
    sink.text(0, R, letter, compassLetter("N"), Centre, Bottom, 0);
    sink.text(-R, 0, letter, compassLetter("W"), Right, Middle, 0);
    sink.text(0, -R, letter, compassLetter("S"), Centre, Top, 0);

    // Bearing labels stand radially outside the circle: the bearing is
    // 90 - alpha, the rotation 360 - bearing.
    static const struct {
        const char* text;
        int alpha;
        int rotation;
    } bearings[] = {{"60", 30, 300},   {"30", 60, 330},   {"330", 120, 30},  {"300", 150, 60},
                    {"240", 210, 120}, {"210", 240, 150}, {"150", 300, 210}, {"120", 330, 240}};
    for (const auto& b : bearings)
        sink.text(R * std::cos(b.alpha * kDegToRad), R * std::sin(b.alpha * kDegToRad), T,
                  QString::fromLatin1(b.text), Centre, Bottom, b.rotation);
}

void cross(CadSink& sink, double x, double y, int R) {
    const double d = 0.02 * R;
    sink.line(x - d, y + d, x + d, y - d, Continuous, CrossColour, 1.0);
    sink.line(x + d, y + d, x - d, y - d, Continuous, CrossColour, 1.0);
}

// As on the screen, a record without geometry (an attitude outside the
// net's drawable range, such as a vertical plane) is left out: it has no arc
// to draw, and a zero-radius arc would cost the whole drawing in CAD.
void slope(CadSink& sink, const DataCenter& project, int R, double T) {
    if (!project.slope.calculated)
        return;
    recordArc(sink, project.slope, R, ByLayer, 0.04 * R);
    if (project.ShowMark == 2 || project.ShowMark == 3)
        endLabel(sink, project.slope, Labels::slopeLabel(project.slope, project.ShowMark), R, T);
}

void greatCircles(CadSink& sink, const DataCenter& project, int R, double T) {
    for (const PlaneRecord& plane : project.planes) {
        if (!plane.calculated)
            continue;
        const int colour = kindColour(project, plane.type);
        recordArc(sink, plane, R, colour, 1.0);
        sink.circle(R * plane.MidPoint.x(), R * plane.MidPoint.y(), 0.01 * R, plane.type, colour, 1.0);
        if (project.ShowMark == 1)
            sideLabel(sink, plane.MidPoint, Labels::planeLabel(plane, 1, true), R, T);
        else if (project.ShowMark == 2 || project.ShowMark == 3)
            endLabel(sink, plane, Labels::planeLabel(plane, project.ShowMark, true), R, T);
    }
    for (const PlaneRecord& wedge : project.wedges) {
        if (!wedge.calculated)
            continue;
        cross(sink, R * wedge.MidPoint.x(), R * wedge.MidPoint.y(), R);
        sideLabel(sink, wedge.MidPoint, Labels::wedgeLabel(wedge, project.ShowMark), R, T);
    }
}

void poles(CadSink& sink, const DataCenter& project, int R, double T) {
    for (const PlaneRecord& plane : project.planes) {
        if (!plane.calculated)
            continue;
        sink.circle(R * plane.PolePoint.x(), R * plane.PolePoint.y(), 0.01 * R, plane.type,
                    kindColour(project, plane.type), 1.0);
        sideLabel(sink, plane.PolePoint, Labels::planeLabel(plane, project.ShowMark, false), R, T);
    }
    for (const PlaneRecord& wedge : project.wedges) {
        if (!wedge.calculated)
            continue;
        cross(sink, R * wedge.PolePoint.x(), R * wedge.PolePoint.y(), R);
        sideLabel(sink, wedge.PolePoint, Labels::wedgeLabel(wedge, project.ShowMark), R, T);
    }
}

void zones(CadSink& sink, const JudgeZone& zone, int R, double slopeDirection) {
    const double scale = 0.005 * R;
    if (zone.frictionRadius < 0.99999)
        sink.circle(0, 0, R * zone.frictionRadius, Dashed, ZoneColour, scale);

    const double theta = zone.upper ? 180.0 - slopeDirection : -slopeDirection;
    if (std::fabs(zone.limitPoint1.y()) > 1e-5) {
        const QPointF a = rotated(R * zone.limitPoint1.x(), -R * zone.limitPoint1.y(), theta);
        const QPointF b = rotated(R * zone.limitPoint2.x(), -R * zone.limitPoint2.y(), theta);
        sink.line(0, 0, a.x(), a.y(), Dashed, ZoneColour, scale);
        sink.line(0, 0, b.x(), b.y(), Dashed, ZoneColour, scale);
    }
    // A half outline needs two points to make a line; a shorter one (never
    // built by the zone code) is left out rather than written as a polyline
    // without vertices.
    if (!zone.bigCircle && zone.envelope.size() > 1)
        mirroredOutline(sink, zone.envelope, R, theta, scale);
    if (zone.topplingZone.size() > 1) {
        const double phi = zone.bigCircle ? 180.0 - slopeDirection : -slopeDirection;
        mirroredOutline(sink, zone.topplingZone, R, zone.upper ? phi : phi + 180.0, scale);
    }
}

void drawing(CadSink& sink, const DataCenter& project) {
    const int R = project.cadRadius;
    const double T = textHeight(project);
    measurements(sink, project, R, T);
    net(sink, R, T);
    slope(sink, project, R, T);
    if (project.BigCircle)
        greatCircles(sink, project, R, T);
    else
        poles(sink, project, R, T);
    zones(sink, project.judgeZone, R, project.slope.direction);
}

} // namespace CadDrawing
