#pragma once

class DataCenter;
class QPainter;

// Draws the whole stereonet of a project. The painter's origin must be the
// net centre; R is the net radius in pixels. Clears one-shot highlights.
void drawStereonet(QPainter& painter, double R, DataCenter& project);
