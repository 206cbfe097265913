#pragma once

#include "model/fielddata/measurements.h"

class QXmlStreamReader;
class QXmlStreamWriter;

// The "Measurements" element of the project file, a root element after the
// others, written only when the project has measurements (so every other
// project keeps its bytes):
//
//   <Measurements density="schmidt" countingArea="1" terzaghi="false" minBiasAngle="15" showLayer="true">
//       <Traverse id="1" name="SL1" trend="90" plunge="0"/>
//       <Set name="J1" color="9" centerDirection="130" centerAngle="60" halfAngle="20"/>
//       <M direction="135" angle="65" type="2" weight="1" station="" notes="" traverse="1" set="J1"/>
//   </Measurements>
//
// "density" is "schmidt", "fisher" or "kamb"; "countingArea" is in percent
// of the hemisphere. Further display settings are further attributes:
// "showLayer" (always written) and "levels" (typed contour levels separated
// by spaces, only when there are any). On "M" only "direction" and "angle"
// are required; the others default to type="2" weight="1" station="" notes=""
// traverse="0" set="", and the writer leaves out every attribute that has its
// default. Traverses come before the rows, then the joint sets (jointset.h);
// "wedgePairs" ("all", the default and not written, "sets" or "setsVsAll")
// says which lines of intersection the critical percentages count.

constexpr int MaxRejectedListed = 1000;

// Writes the element (nothing when field.isEmpty()).
void writeMeasurementsElement(QXmlStreamWriter& writer, const FieldData& field);

// Reads the element the reader stands on into `field` (replacing its
// measurements and traverses) and steps past its end. Settings that are
// absent keep their value, settings out of range are ignored. A row or a
// traverse that is malformed or out of range (as measurementProblem /
// traverseProblem say) is refused: it is not read, and it is listed in
// `rejected` (when given) with its line in the file, its attributes as text
// and the reason. Rows beyond FieldLimits::MaxMeasurements are refused too.
// Returns false only when the XML itself is broken.
bool readMeasurementsElement(QXmlStreamReader& reader, FieldData& field,
                             QVector<RejectedRow>* rejected = nullptr);

// "schmidt", "fisher", "kamb", and back (false for any other text).
QString densityMethodName(DensityMethod method);
bool densityMethodFromName(const QString& name, DensityMethod& method);
