#pragma once

#include <QWidget>

// Schematic cross-section of the slope with the selected plane's hatching
// and apparent dip, shown under the overview tree.
class SlopeSketch : public QWidget {
    Q_OBJECT
public:
    explicit SlopeSketch(QWidget* parent = nullptr);

    void setSketch(double slopeApparentDip, double planeDip, double shown);

    double faceAngle = 60.0;
    double hatchAngle = 30.0;
    double shownDip = 300.0;

protected:
    void paintEvent(QPaintEvent* event) override;
};
