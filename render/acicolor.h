#pragma once

#include <QColor>

// The colour an AutoCAD colour index (ACI, 1..255) shows on the white sheet
// of the stereonet: the standard palette (1 red, 2 yellow, 3 green, 4 cyan,
// 5 blue, 6 magenta, 8 and 9 greys, 10..249 twenty-four hues in 15° steps in
// five values at full and half saturation, 250..255 greys), with 7 (white on
// CAD's dark model space, black on paper) and indexes outside 1..255 black.
QColor aciColor(int index);
