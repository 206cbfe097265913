// The R2004 file container (format description §4): the 0x100-byte file
// header with its encrypted 0x6C-byte block, data pages with encrypted
// 32-byte headers and checksums, the section map and the page map.
#pragma once

#include "bitwriter.h"

#include <string>
#include <vector>

namespace vantrel {

struct SectionData {
    std::string name;        // "AcDb:Header", ...
    uint32_t id = 0;         // section number in the section map
    bool compressed = true;  // type 2 (LZ77) or 1 (stored)
    uint32_t encrypted = 0;  // 0 no, 1 yes, 2 unknown (as AutoCAD marks FileDepList)
    Bytes data;
    // AutoCAD lists AcDb:Template with its size but stores no page for it.
    bool stored = true;
};

struct ContainerOptions {
    uint16_t codePage = 30;  // file header 0x13
};

// Sections are laid out in the given order; the section map lists the
// empty section 0 first and then the sections by descending number, as
// AutoCAD does. Returns the whole file.
Bytes buildR2004File(const std::vector<SectionData>& sections, const ContainerOptions& opt);

// Pieces exposed for tests.
uint32_t pageChecksum(uint32_t seed, const uint8_t* data, size_t n);   // §4.3 "section page checksum"
Bytes headerXorStream(size_t n);                                         // §4.1 LCG byte stream, seed 1
uint32_t dataPageMask(uint32_t fileOffset);                              // 0x4164536B ^ offset

}  // namespace vantrel
