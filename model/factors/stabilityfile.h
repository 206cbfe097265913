#pragma once

class DataCenter;
class QXmlStreamReader;
class QXmlStreamWriter;

// The "Stability" element of the project file: the factor-of-safety inputs.
// It follows "Dips" and is written only once the calculation was ever
// switched on (StabilityParams::present), so other projects keep their bytes.
//
//   <Stability enabled="true" height="30" upperDip="0" unitWeight="25"
//              waterWeight="9.81" crack="critical" crackDistance="0"
//              crackWater="0" wedgeWater="dry" seismic="0" safetyClass="2"
//              permanent="true">
//       <Plane id="1" cohesion="48" friction="30"/>
//   </Stability>

// Writes the element (nothing unless present) with one "Plane" per
// structural plane of the project.
void writeStabilityElement(QXmlStreamWriter& writer, const DataCenter& project);

// Reads the element the reader stands on into project.stability and steps
// past its end. An attribute that is absent keeps the current value; every
// value present is kept as it stands, malformed text as NaN: values out of
// range are never replaced by defaults, the calculation names and refuses
// them (stabilityParamProblems) until they are mended.
void readStabilityElement(QXmlStreamReader& reader, DataCenter& project);
