// Top level of the AC1018 writer: document → sections → file bytes.
#pragma once

#include "bitwriter.h"
#include "document.h"

#include <cstdint>
#include <string>

namespace vantrel {

// The whole DWG file in memory. `unixTime` stamps TDCREATE/TDUPDATE.
// Throws on documents it cannot write (unknown code page, bad handles).
Bytes writeDwg(const CadDocument& doc, int64_t unixTime);

// Write bytes to `path` through a temporary file in the same folder and a
// rename, so the target is either the old file or the complete new one.
bool saveFileAtomically(const std::string& utf8Path, const Bytes& bytes);

}  // namespace vantrel
