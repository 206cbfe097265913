// Writers of the R2004 sections other than the objects: header variables,
// classes, object map (handles) and the small sections AutoCAD files
// carry (summary info, preview, app info, app info history, file
// dependency list, revision history, aux header, template, free space).
#pragma once

#include "bitwriter.h"
#include "document.h"
#include "object_writer.h"

#include <cstdint>
#include <map>
#include <vector>

namespace vantrel {

// Julian day and milliseconds, the TIMEBLL/TIMERLL pair of the format.
struct JulianTime { uint32_t day = 0; uint32_t ms = 0; };
JulianTime julianFromUnix(int64_t unixSeconds);

struct SectionContext {
    JulianTime created;
    JulianTime updated;
    size_t objectCount = 0;
};

Bytes writeHeaderSection(const CadDocument& doc, const SectionContext& ctx);   // AcDb:Header
Bytes writeClassesSection(const std::vector<ClassDef>& classes);               // AcDb:Classes
Bytes writeHandlesSection(const std::vector<ObjectsSection::HandleOffset>& offsets); // AcDb:Handles (offsets by handle)
Bytes writeAuxHeaderSection(const CadDocument& doc, const SectionContext& ctx);  // AcDb:AuxHeader
Bytes writeSummaryInfoSection(const SectionContext& ctx);                      // AcDb:SummaryInfo
Bytes writePreviewSection();                                                   // AcDb:Preview
Bytes writeAppInfoSection();                                                   // AcDb:AppInfo
Bytes writeAppInfoHistorySection(const SectionContext& ctx);                   // AcDb:AppInfoHistory
Bytes writeFileDepListSection(const CadDocument& doc);                         // AcDb:FileDepList
Bytes writeRevHistorySection();                                                // AcDb:RevHistory
Bytes writeObjFreeSpaceSection(const SectionContext& ctx);                     // AcDb:ObjFreeSpace
Bytes writeTemplateSection();                                                  // AcDb:Template

// Sentinels framing the header and classes sections (§9, §10).
extern const uint8_t kHeaderSentinelStart[16];
extern const uint8_t kHeaderSentinelEnd[16];
extern const uint8_t kClassesSentinelStart[16];
extern const uint8_t kClassesSentinelEnd[16];
extern const uint8_t kPreviewSentinelStart[16];
extern const uint8_t kPreviewSentinelEnd[16];

}  // namespace vantrel
