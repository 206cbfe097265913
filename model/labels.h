#pragma once

#include "model/planerecord.h"

#include <QString>

class DataCenter;

// The texts that name planes and wedges. The stereonet view, the overview
// panel, the report, the CAD writers and the conclusion texts all build their
// words here, so every output names a record the same way. Texts are
// translated in the context "DataCenter".
//
// Numbers: angles are written with one decimal ('f', precision 1); labels
// then lose every ".0" (120.0 -> 120, 45.5 stays 45.5, and the removal also
// touches the notes: "F2.05" -> "F25"). Plane numbers are plain decimals.
namespace Labels {

// Removes every occurrence of ".0" from the text.
QString removeZeroDecimals(QString text);

// One decimal, fixed notation: 45 -> "45.0", 123.44 -> "123.4".
QString angleText(double degrees);

// "%1°∠%2°" with one decimal each, then every ".0" removed: 300/45 -> "300°∠45°".
QString attitudeText(double direction, double angle);

// "节理", "层理" or "断层" for the kind codes 2, 3, 4; any other code gives "节理".
QString kindWord(int type);

// "(notes)" when the notes are not empty, otherwise "(节理)", "(层理)" or "(断层)".
QString kindText(const PlaneRecord& plane);

// List name of a structural plane, ending with "、": "节理1、", "层理3、",
// "断层2、", or notes followed by the number ("F4、") when notes are given.
QString planeName(const PlaneRecord& plane);

// List name of a wedge, ending with "、": the ids of its two planes, "1×3、"
// (also "1×150、", where 100*a+b could not tell the planes apart). A wedge
// record without its planes (planeA < 0, built by hand) decodes its id:
// 103 -> "1×3、".
QString wedgeName(const PlaneRecord& wedge);

// "1×3": the ids of the wedge's two planes, as wedgeName.
QString wedgePair(const PlaneRecord& wedge);

// Finished label of a structural plane for the labelling mode showMark, in
// great-circle (bigCircle true) or pole representation. Empty where no label
// is written:
//   mode 1: "3"
//   mode 2: great circles "3(断层):300°∠45°"; poles: empty
//   mode 3: great circles as mode 2; poles "3:300°∠45°"
//   mode 0 and any other value: empty
QString planeLabel(const PlaneRecord& plane, int showMark, bool bigCircle);

// Finished label of the slope face:
//   mode 1: "S" (the stereonet view's mark; the CAD drawing writes no slope
//           text in modes 0 and 1 and therefore does not ask for it there)
//   modes 2 and 3: "边坡:120°∠45°"
//   mode 0 and any other value: empty
QString slopeLabel(const PlaneRecord& slope, int showMark);

// Finished label of a wedge (same in both representations):
//   mode 1: "2×5"; mode 3: "2×5:123.4°∠30°"; modes 0, 2 and others: empty
QString wedgeLabel(const PlaneRecord& wedge, int showMark);

// Verdict suffix by the tens digit of a state code: "(稳定)", "(基本稳定)",
// "(不稳定)", "(倾倒破坏)"; any other class (e.g. 1, never judged) "(稳定)".
QString stateClassWord(int state);

// The message of a state code from the project's stateMessages, with its
// arguments filled by the code's last digit: 2 friction angle; 3 included
// angle; 4 friction then included angle; other digits none. Values use the
// general format with six significant digits (27 -> "27"). Empty for a code
// the project holds no message for.
QString stateMessage(const DataCenter& project, int state);

} // namespace Labels
