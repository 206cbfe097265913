#include "r2004_container.h"

#include "lz77.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VANTREL_SSE2 1
#endif

namespace vantrel {

namespace {

constexpr uint32_t kDataPageType = 0x4163043B;
constexpr uint32_t kSectionMapType = 0x4163003B;
constexpr uint32_t kPageMapType = 0x41630E3B;
constexpr uint32_t kMaxPage = 0x7400; // decompressed bytes per data page

void putRL(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}
void putRLL(Bytes& b, uint64_t v) {
    putRL(b, uint32_t(v));
    putRL(b, uint32_t(v >> 32));
}
void setRL(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}
void setRLL(Bytes& b, size_t at, uint64_t v) {
    setRL(b, at, uint32_t(v));
    setRL(b, at + 4, uint32_t(v >> 32));
}
size_t align32(size_t n) {
    return (n + 31) & ~size_t(31);
}

struct PageRecord {
    int32_t id;
    uint32_t size; // bytes the page occupies in the file
};

struct PageRef { // one page of a section, for the section map
    uint32_t id;
    uint32_t dataSize; // bytes stored after the page header
    uint64_t start;    // offset of the page in the section
};

} // namespace

uint32_t pageChecksum(uint32_t seed, const uint8_t* data, size_t n) {
    uint32_t sum1 = seed & 0xFFFF;
    uint32_t sum2 = seed >> 16;
    while (n) {
        const size_t chunk = std::min<size_t>(0x15B0, n);
        n -= chunk;
        size_t i = 0;
#ifdef VANTREL_SSE2
        // Sixteen steps at once: sum2 gains 16 sum1 + 16 b0 + 15 b1 + ... + b15,
        // sum1 the sixteen bytes. In 32-bit lanes: the byte sums, the byte
        // sums of the blocks before (each counted 16 times), the weighted bytes.
        if (chunk >= 16) {
            const __m128i zero = _mm_setzero_si128();
            const __m128i wLow = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
            const __m128i wHigh = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
            __m128i plain = zero, before = zero, weighted = zero;
            size_t blocks = 0;
            for (; i + 16 <= chunk; i += 16, data += 16, ++blocks) {
                const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
                before = _mm_add_epi32(before, plain);
                plain = _mm_add_epi32(plain, _mm_sad_epu8(b, zero));
                weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpacklo_epi8(b, zero), wLow));
                weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpackhi_epi8(b, zero), wHigh));
            }
            const auto total = [](__m128i v) {
                uint32_t l[4];
                _mm_storeu_si128(reinterpret_cast<__m128i*>(l), v);
                return l[0] + l[1] + l[2] + l[3];
            };
            sum2 += uint32_t(16 * blocks) * sum1 + 16 * total(before) + total(weighted);
            sum1 += total(plain);
        }
#else
        for (; i + 16 <= chunk; i += 16, data += 16) {
            // Sixteen steps at once: sum2 gains 16 sum1 + 16 b0 + 15 b1 + ... + b15.
            uint32_t plain = 0, weighted = 0;
            for (int k = 0; k < 16; ++k) {
                plain += data[k];
                weighted += uint32_t(16 - k) * data[k];
            }
            sum2 += 16 * sum1 + weighted;
            sum1 += plain;
        }
#endif
        for (; i + 4 <= chunk; i += 4, data += 4) {
            // Four steps at once: sum2 gains 4 sum1 + 4 b0 + 3 b1 + 2 b2 + b3.
            sum2 += 4 * sum1 + 4u * data[0] + 3u * data[1] + 2u * data[2] + data[3];
            sum1 += uint32_t(data[0]) + data[1] + data[2] + data[3];
        }
        for (; i < chunk; ++i) {
            sum1 += *data++;
            sum2 += sum1;
        }
        sum1 %= 0xFFF1;
        sum2 %= 0xFFF1;
    }
    return (sum2 << 16) | (sum1 & 0xFFFF);
}

Bytes headerXorStream(size_t n) {
    Bytes out(n);
    uint32_t seed = 1;
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 0x343FD + 0x269EC3;
        out[i] = uint8_t(seed >> 16);
    }
    return out;
}

uint32_t dataPageMask(uint32_t fileOffset) {
    return 0x4164536B ^ fileOffset;
}

Bytes buildR2004File(const std::vector<SectionData>& sections, const ContainerOptions& opt) {
    const Bytes lcg = headerXorStream(0x100);
    Bytes file(0x100, 0);
    size_t estimate = 0x1000;
    for (const SectionData& s : sections)
        estimate += s.data.size() + 0x100 + (s.compressed ? 0 : 0x80);
    file.reserve(estimate);
    std::vector<PageRecord> pageMap;
    std::vector<std::vector<PageRef>> sectionPages(sections.size());
    std::vector<uint32_t> sectionMax(sections.size());
    uint32_t nextPage = 1;
    uint32_t previewAddr = 0, summaryAddr = 0;

    // Data pages (§4.4): 32-byte header XOR-ed with 0x4164536B ^ offset,
    // then the (compressed) data, padded to 32 bytes with the LCG stream.
    for (size_t si = 0; si < sections.size(); ++si) {
        const SectionData& s = sections[si];
        uint32_t maxSize = kMaxPage;
        if (!s.compressed) // stored sections use one page rounded to 0x80
            maxSize = uint32_t(std::max<size_t>(0x80, (s.data.size() + 0x7F) & ~size_t(0x7F)));
        sectionMax[si] = maxSize;
        if (!s.stored)
            continue;
        size_t pos = 0;
        do {
            const size_t chunkLen = std::min<size_t>(maxSize, s.data.size() - pos);
            const uint8_t* chunk = s.data.data() + pos;
            // The page goes straight into the file: header (filled in
            // below), stored data, padding.
            const uint32_t pageOffset = uint32_t(file.size());
            file.resize(file.size() + 0x20, 0);
            const size_t dataAt = file.size();
            if (s.compressed) {
                lz77AppendPage(file, chunk, chunkLen, maxSize); // decompresses to a full page
            } else {
                file.insert(file.end(), chunk, chunk + chunkLen);
                file.resize(dataAt + maxSize, 0);
            }
            const size_t storedSize = file.size() - dataAt;
            const uint32_t pageSize = uint32_t(align32(0x20 + storedSize));
            if (s.name == "AcDb:Preview" && pos == 0)
                previewAddr = pageOffset + 0x20;
            if (s.name == "AcDb:SummaryInfo" && pos == 0)
                summaryAddr = pageOffset + 0x20;

            Bytes hdr;
            putRL(hdr, kDataPageType);        // 0x00 RL: page type
            putRL(hdr, s.id);                 // 0x04 RL: section number
            putRL(hdr, uint32_t(storedSize)); // 0x08 RL: data size
            putRL(hdr, pageSize);             // 0x0C RL: page size
            putRLL(hdr, pos);                 // 0x10 RLL: start offset in section
            putRL(hdr, 0);                    // 0x18 RL: header checksum (below)
            const uint32_t dataSum = pageChecksum(0, file.data() + dataAt, storedSize);
            putRL(hdr, dataSum); // 0x1C RL: data checksum
            setRL(hdr, 0x18, pageChecksum(dataSum, hdr.data(), hdr.size()));
            const uint32_t mask = dataPageMask(pageOffset);
            for (size_t k = 0; k < 32; k += 4) {
                uint32_t v = uint32_t(hdr[k]) | uint32_t(hdr[k + 1]) << 8 | uint32_t(hdr[k + 2]) << 16 |
                             uint32_t(hdr[k + 3]) << 24;
                setRL(hdr, k, v ^ mask);
            }
            std::copy(hdr.begin(), hdr.end(), file.begin() + long(pageOffset));
            const size_t pad = pageSize - 0x20 - storedSize;
            file.insert(file.end(), lcg.begin(), lcg.begin() + long(pad));

            const uint32_t id = nextPage++;
            pageMap.push_back({int32_t(id), pageSize});
            sectionPages[si].push_back({id, uint32_t(storedSize), pos});
            pos += chunkLen;
        } while (pos < s.data.size());
    }

    // System pages (§4.3, §4.5): 20-byte header, compressed data, and an
    // empty header of the same type, as AutoCAD writes them.
    auto systemPage = [&](uint32_t type, const Bytes& raw, bool padToSize) -> uint32_t {
        const Bytes comp = lz77Literal(raw);
        Bytes hdr;
        putRL(hdr, type);                  // RL: page type
        putRL(hdr, uint32_t(raw.size()));  // RL: decompressed size
        putRL(hdr, uint32_t(comp.size())); // RL: compressed size
        putRL(hdr, 2);                     // RL: compression type
        putRL(hdr, 0);                     // RL: checksum (below)
        const uint32_t sum = pageChecksum(pageChecksum(0, hdr.data(), hdr.size()), comp.data(), comp.size());
        setRL(hdr, 16, sum);
        const size_t start = file.size();
        file.insert(file.end(), hdr.begin(), hdr.end());
        file.insert(file.end(), comp.begin(), comp.end());
        Bytes tail;
        putRL(tail, type);
        putRL(tail, 0);
        putRL(tail, 0);
        putRL(tail, 2);
        putRL(tail, 0);
        file.insert(file.end(), tail.begin(), tail.end());
        const uint32_t size = uint32_t(align32(20 + comp.size() + 20));
        if (padToSize)
            file.resize(start + size, 0);
        return size;
    };

    // Section map (§4.5): header, then per section a description and its
    // pages. Section 0 is the empty section AutoCAD lists first.
    Bytes smap;
    const uint32_t ndesc = uint32_t(sections.size() + 1);
    putRL(smap, ndesc);    // RL: number of descriptions
    putRL(smap, 2);        // RL: 2
    putRL(smap, kMaxPage); // RL: 0x7400
    putRL(smap, 0);        // RL: 0
    putRL(smap, ndesc);    // RL: number of descriptions
    auto describe = [&](const std::string& name, uint64_t size, uint32_t maxSize, bool compressed,
                        uint32_t id, uint32_t encrypted, const std::vector<PageRef>& pages) {
        putRLL(smap, size);                  // RLL: section size
        putRL(smap, uint32_t(pages.size())); // RL: page count
        putRL(smap, maxSize);                // RL: max decompressed page size
        putRL(smap, 1);                      // RL: unknown, 1
        putRL(smap, compressed ? 2 : 1);     // RL: compression
        putRL(smap, id);                     // RL: section number
        putRL(smap, encrypted);              // RL: encryption
        char nameBuf[64] = {};
        std::memcpy(nameBuf, name.data(), std::min<size_t>(63, name.size()));
        smap.insert(smap.end(), nameBuf, nameBuf + 64); // 64 bytes: name
        for (const auto& p : pages) {
            putRL(smap, p.id);       // RL: page number
            putRL(smap, p.dataSize); // RL: data size
            putRLL(smap, p.start);   // RLL: start offset
        }
    };
    describe("", 0, kMaxPage, true, 0, 0, {});
    std::vector<size_t> order(sections.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return sections[a].id > sections[b].id; });
    for (size_t i : order) {
        const auto& s = sections[i];
        describe(s.name, s.data.size(), sectionMax[i], s.compressed, s.id, s.encrypted, sectionPages[i]);
    }
    const uint32_t sectionMapId = nextPage++;
    const uint32_t sectionMapSize = systemPage(kSectionMapType, smap, true);
    pageMap.push_back({int32_t(sectionMapId), sectionMapSize});

    // Page map (§4.3): RL page number, RL page size for every page,
    // including itself. Its size follows from the entry count alone.
    const uint32_t pageMapId = nextPage++;
    const size_t pmRaw = (pageMap.size() + 1) * 8;
    const uint32_t pageMapSize = uint32_t(align32(20 + lz77LiteralSize(pmRaw) + 20));
    pageMap.push_back({int32_t(pageMapId), pageMapSize});
    Bytes pmap;
    for (const auto& p : pageMap) {
        putRL(pmap, uint32_t(p.id));
        putRL(pmap, p.size);
    }
    const uint64_t pageMapAddr = file.size();
    systemPage(kPageMapType, pmap, false);
    const uint64_t secondHeaderAddr = file.size();

    // Encrypted file header block (§4.1, 0x6C bytes at 0x80).
    Bytes fh;
    const char id[12] = "AcFssFcAJMB";
    fh.insert(fh.end(), id, id + 12);              // 0x00: file id with NUL
    putRL(fh, 0);                                  // 0x0C: 0
    putRL(fh, 0x6C);                               // 0x10: 0x6C
    putRL(fh, 4);                                  // 0x14: 4
    putRL(fh, 0);                                  // 0x18: root tree node gap
    putRL(fh, 0);                                  // 0x1C: lowermost left gap
    putRL(fh, 0);                                  // 0x20: lowermost right gap
    putRL(fh, 1);                                  // 0x24: unknown, 1
    putRL(fh, pageMapId);                          // 0x28: last page id
    putRLL(fh, pageMapAddr - 0x100 + pageMapSize); // 0x2C: last page end address
    putRLL(fh, secondHeaderAddr);                  // 0x34: second header address
    putRL(fh, 0);                                  // 0x3C: gap amount
    putRL(fh, uint32_t(pageMap.size()));           // 0x40: page amount
    putRL(fh, 0x20);                               // 0x44: 0x20
    putRL(fh, 0x80);                               // 0x48: 0x80
    putRL(fh, 0x40);                               // 0x4C: 0x40
    putRL(fh, pageMapId);                          // 0x50: page map id
    putRLL(fh, pageMapAddr - 0x100);               // 0x54: page map address - 0x100
    putRL(fh, sectionMapId);                       // 0x5C: section map id
    putRL(fh, pageMapId);                          // 0x60: page array size
    putRL(fh, 0);                                  // 0x64: gap array size
    putRL(fh, 0);                                  // 0x68: CRC-32 (below)
    setRL(fh, 0x68, crc32(0, fh.data(), fh.size()));
    for (size_t i = 0; i < fh.size(); ++i)
        fh[i] ^= lcg[i];

    // Plain part of the file header (0x00-0x7F).
    std::memcpy(file.data(), "AC1018", 6); // 0x00: version
    file[0x0B] = 0x68;                     // 0x0B: maintenance release (as AutoCAD writes)
    file[0x0C] = 0x03;                     // 0x0C: 0x03
    setRL(file, 0x0D, previewAddr);        // 0x0D: preview address
    // The writer is an AC1018 writer (dwg version 0x19, maintenance 0), the
    // same identity as AcDb:AuxHeader's version fields; AutoCAD repeats the
    // pair at 0x16.
    file[0x11] = 0x19;                  // 0x11: writing application's dwg version
    file[0x12] = 0;                     // 0x12: its maintenance version
    file[0x13] = uint8_t(opt.codePage); // 0x13: RS code page
    file[0x14] = uint8_t(opt.codePage >> 8);
    file[0x16] = 0x19;                                    // 0x16: writing application's dwg version again
    file[0x17] = 0;                                       // 0x17: its maintenance version again
    setRL(file, 0x18, 0);                                 // 0x18: security flags
    setRL(file, 0x1C, 0);                                 // 0x1C: unknown
    setRL(file, 0x20, summaryAddr);                       // 0x20: summary info address
    setRL(file, 0x24, 0);                                 // 0x24: VBA project address
    setRL(file, 0x28, 0x80);                              // 0x28: 0x80
    std::copy(fh.begin(), fh.end(), file.begin() + 0x80); // 0x80: encrypted block
    std::copy(lcg.begin() + 0xEC, lcg.end(), file.begin() + 0xEC); // 0xEC: stream bytes 0xEC-0xFF

    // Second copy of the encrypted block ends the file.
    file.insert(file.end(), fh.begin(), fh.end());
    return file;
}

} // namespace vantrel
