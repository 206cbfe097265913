#pragma once

#include <QPolygonF>
#include <QString>
#include <QWidget>

// Schematic cross-section of the slope with the selected plane's hatching
// and apparent dip, shown under the overview tree.
class SlopeSketch : public QWidget {
    Q_OBJECT
public:
    explicit SlopeSketch(QWidget* parent = nullptr);

    // a: the slope's apparent dip in the record's dip direction (its sign
    // tells on which side the record dips); b: the record's dip; v: the
    // record's apparent dip in the slope's dip direction, 200 or more for
    // no text and no section.
    void setSketch(double slopeApparentDip, double planeDip, double shown);

    // The section in painter units with the toe at the origin (y down):
    // toe, crest, crest end, lower right, lower left, left toe level, toe.
    static QPolygonF sectionPolygon(double faceAngle, double u);
    // "产状相对边坡视倾角为%1°" with one decimal, ".0" removed.
    static QString dipText(double shown);

    double faceAngle = 60.0;
    double hatchAngle = 30.0;
    double shownDip = 300.0;

protected:
    void paintEvent(QPaintEvent* event) override;
};
