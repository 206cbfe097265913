#pragma once

#include "model/judgezone.h"
#include "model/planerecord.h"
#include "model/stabilityrules.h"
#include "model/factors/stabilityparams.h"
#include "model/fielddata/measurements.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

class QIODevice;
class QImage;

// Stability state codes; the tens digit is the class
// (1 stable, 2 basically stable, 3 unstable, 4 toppling).
namespace StabilityState {
enum : int {
    NotJudged = 1,
    Opposite = 10,
    Steeper = 11,
    BelowFriction = 12,
    OutsideIncluded = 13,
    OutsideIncludedAboveFriction = 14,
    Unstable = 31,
    UnstableAboveFriction = 32,
    UnstableInsideIncluded = 33,
    UnstableAboveFrictionInsideIncluded = 34,
    Toppling = 40,
};
}

// One project: settings, slope face, structural planes, analysis results and
// CAD export parameters. Owned by value by its document window.
class DataCenter : public QObject {
    Q_OBJECT
public:
    explicit DataCenter(QObject* parent = nullptr);

    // Settings ("BaseInfo" in the project file).
    QString ProjectName;
    bool UpperMode = true;
    bool BigCircle = true;
    bool analysisOff = true;
    qint16 ShowMark = 1;

    PlaneRecord slope;

    double IncludedAnglePlanar = 30;
    double FrictionAnglePlanar = 27;
    bool Topple = false;
    double IncludedAngleTopple = 20;
    double FrictionAngleTopple = 30;

    QList<PlaneRecord> planes;
    QList<PlaneRecord> wedges;
    QString conclusion[3];
    JudgeZone judgeZone;
    QString analysisTime;
    QMap<int, QString> stateMessages;

    int cadRadius = 20;
    int cadTextPercent = 5;
    int cadColourJoint = 5;
    int cadColourBedding = 6;
    int cadColourFault = 1;

    // Factor-of-safety inputs ("Stability"; off unless switched on).
    StabilityParams stability;

    // Field measurements ("Measurements"; written only when there are any).
    FieldData field;
    // Rows of "Measurements" the last readProject refused (out of range or
    // malformed): not in `field`, listed for the user.
    QVector<RejectedRow> fieldRejected;

    // Geometry.
    static double polarAngleOf(double x, double y);
    static bool circleThrough3(const QPointF& p1, const QPointF& p2, const QPointF& p3, QPointF& centre,
                               double& radius);
    static bool isValidAttitude(const PlaneRecord& record);
    // Stored geometry the construction could have made for the record's
    // attitude: finite and within the net's bounds. Other geometry marked
    // calculated (a hostile or damaged file) is recomputed, or left undrawn
    // when the attitude is invalid.
    static bool isPlausibleGeometry(const PlaneRecord& record);
    void computePlaneGeometry(PlaneRecord& record) const;
    void updateSlopeGeometry();
    void updatePlanesGeometry();
    void computeWedges();
    void computeApparentDips();

    // Analysis and texts.
    void analyse();
    void judgeStability();
    SlopeCriteria slopeCriteria() const; // the face and criteria the verdicts use
    void buildConclusion();

    // Project file and report.
    bool readProject(QIODevice* device);
    bool writeProject(QIODevice* device);
    bool writeReport(QIODevice* device, const QImage& picture);
    // With measurements, the section 结构面统计 carries these two pictures
    // (the density plot with the poles, the rose diagram).
    bool writeReport(QIODevice* device, const QImage& picture, const QImage& densityPicture,
                     const QImage& rosePicture);

    // Hostile-file limits of readProject.
    static constexpr int MaxPlanesInFile = 1000;
    static constexpr qint64 MaxProjectFileSize = 16 * 1024 * 1024;

private:
    void fillStateMessages();
    bool readPlane(PlaneRecord& record);
    void writePlane(const QString& name, const PlaneRecord& record);

    QXmlStreamReader reader;
    QXmlStreamWriter writer;
};
