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
//       <Case name="暴雨工况" crackWater="1" wedgeWater="saturated" seismic="0" required="1.4"/>
//       <Anchor plane="1" force="120" inclination="15"/>
//       <Anchor planeA="2" planeB="3" force="800" inclination="20" bearing="185"/>
//   </Stability>
//
// "upperLength" (written when not 0), the "Case" elements (load cases in
// order; "required" only when typed) and the "Anchor" elements (a plane's,
// or a wedge's by its two planes' ids; "bearing" only when typed) are
// written only when the project has them, so a project without them keeps
// its bytes; an older reader skips them and computes the element's own
// load, which mirrors the first case.

// Writes the element (nothing unless present) with one "Plane" per
// structural plane of the project.
void writeStabilityElement(QXmlStreamWriter& writer, const DataCenter& project);

// Reads the element the reader stands on into project.stability and steps
// past its end. An attribute that is absent keeps the current value; every
// value present is kept as it stands, malformed text as NaN: values out of
// range are never replaced by defaults, the calculation names and refuses
// them (stabilityParamProblems) until they are mended. Cases, anchors and
// the upper-slope length are the file's own (none when it has none) and
// kept as read; the input check names any out of range.
void readStabilityElement(QXmlStreamReader& reader, DataCenter& project);
