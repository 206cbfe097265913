#pragma once

#include <QPolygonF>
#include <QString>
#include <QWidget>

class QPainter;

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

    // With the factor-of-safety calculation on, the section shows the upper
    // slope surface at its apparent dip in the record's section (rising
    // away from the crest) and the slope height H the calculation uses;
    // shown = false gives back the plain section.
    void setUpperSlope(bool shown, double upperApparentDip = 0, double height = 0);
    // The section with the upper surface rising at upperDip from the crest:
    // toe, crest, upper surface's end, lower right, lower left, left toe
    // level, toe (painter units, y down, as sectionPolygon).
    static QPolygonF upperSectionPolygon(double faceAngle, double upperDip, double u);
    // "H=30 m", "H=42.5 m": at most two decimals.
    static QString heightText(double height);

    double faceAngle = 60.0;
    double hatchAngle = 30.0;
    double shownDip = 300.0;
    bool upperShown = false;
    double upperDip = 0.0;
    double slopeHeight = 0.0;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The section with the upper slope and H (slopesketchupper.cpp).
    void paintUpperSlope(QPainter& painter, double u);
};
