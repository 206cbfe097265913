#pragma once

class DataCenter;
class QImage;
class QPainter;
class QSize;

// Draws the whole stereonet of a project. The painter's origin must be the
// net centre; R is the net radius in pixels. Clears one-shot highlights.
void drawStereonet(QPainter& painter, double R, DataCenter& project);

// The project window's paint: white background, frame lines, the net
// centred at (0.47 w, 0.5 h) with R = 0.4 * max(min(w, h), 400).
void paintStereonetWindow(QPainter& painter, const QSize& size, DataCenter& project);

// Renders the stereonet into an existing image (R = 0.4 * min(w, h)).
void renderStereonetImage(QImage& image, DataCenter& project);
