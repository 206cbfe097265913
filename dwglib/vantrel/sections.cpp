// Classes, object map and the small sections.
#include "sections.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <algorithm>

namespace vantrel {

const uint8_t kClassesSentinelStart[16] = {0x8D, 0xA1, 0xC4, 0xB8, 0xC4, 0xA9, 0xF8, 0xC5,
                                           0xC0, 0xDC, 0xF4, 0x5F, 0xE7, 0xCF, 0xB6, 0x8A};
const uint8_t kClassesSentinelEnd[16] = {0x72, 0x5E, 0x3B, 0x47, 0x3B, 0x56, 0x07, 0x3A,
                                         0x3F, 0x23, 0x0B, 0xA0, 0x18, 0x30, 0x49, 0x75};
const uint8_t kPreviewSentinelStart[16] = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28,
                                           0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};
const uint8_t kPreviewSentinelEnd[16] = {0xE0, 0xDA, 0x92, 0xF8, 0x2B, 0xC9, 0xD7, 0xD7,
                                         0x62, 0xA8, 0x35, 0xC0, 0x62, 0xBB, 0xEF, 0xD4};

JulianTime julianFromUnix(int64_t unixSeconds)
{
    // 1970-01-01 is Julian day 2440588.
    JulianTime t;
    const int64_t days = unixSeconds >= 0 ? unixSeconds / 86400 : (unixSeconds - 86399) / 86400;
    t.day = uint32_t(2440588 + days);
    t.ms = uint32_t((unixSeconds - days * 86400) * 1000);
    return t;
}

Bytes writeClassesSection(const std::vector<ClassDef>& classes)
{
    // §10: BS max class number, RC 0, RC 0, B 1, then per class BS number,
    // BS proxy flags, TV application, TV C++ class, TV DXF name,
    // B was-a-zombie, BS item class id, BL instances, BS dwg version,
    // BS maintenance version, BL 0, BL 0.
    BitWriter w;
    uint16_t maxNum = 499;
    for (const auto& c : classes)
        maxNum = std::max(maxNum, c.number);
    w.writeBS(maxNum);          // BS: maximum class number
    w.writeRC(0);               // RC: 0
    w.writeRC(0);               // RC: 0
    w.writeB(true);             // B: 1
    for (const auto& c : classes) {
        w.writeBS(c.number);    // BS: class number
        w.writeBS(c.proxyFlags);// BS: proxy flags
        w.writeTV(c.appName);   // TV: application name
        w.writeTV(c.cppName);   // TV: C++ class name
        w.writeTV(c.dxfName);   // TV: DXF record name
        w.writeB(c.wasZombie);  // B: was a proxy
        w.writeBS(c.itemClassId);  // BS: 0x1F2 entity, 0x1F3 object
        w.writeBL(c.instances); // BL: number of objects of this class
        w.writeBS(25);          // BS: dwg version (AC1018)
        w.writeBS(0);           // BS: maintenance version
        w.writeBL(0);           // BL: unknown
        w.writeBL(0);           // BL: unknown
    }
    const Bytes& data = w.bytes();
    BitWriter sized;
    sized.writeRL(uint32_t(data.size()));  // RL: size of class data
    sized.writeBytes(data);
    const uint16_t crc = crc16(0xC0C1, sized.bytes());
    BitWriter out;
    out.writeBytes(kClassesSentinelStart, 16);
    out.writeBytes(sized.bytes());
    out.writeRS(crc);                      // RS: CRC
    out.writeBytes(kClassesSentinelEnd, 16);
    for (int i = 0; i < 8; ++i)
        out.writeRC(0);                    // 8 bytes of zero (R2004+)
    return out.takeBytes();
}

namespace {

// MC (modular char) as whole bytes, as BitWriter::writeMCu / writeMCs
// write them at a byte boundary: 7 data bits per byte, least significant
// group first, 0x80 = more; signed: the last byte keeps 6 data bits and
// 0x40 is the sign. Returns the number of bytes stored at p.
size_t putMCu(uint8_t* p, uint64_t v)
{
    size_t n = 0;
    do {
        uint8_t b = uint8_t(v & 0x7F);
        v >>= 7;
        if (v)
            b |= 0x80;
        p[n++] = b;
    } while (v);
    return n;
}

size_t putMCs(uint8_t* p, int64_t v)
{
    const bool neg = v < 0;
    uint64_t m = neg ? uint64_t(-v) : uint64_t(v);
    size_t n = 0;
    while (m >= 0x40) {
        p[n++] = uint8_t((m & 0x7F) | 0x80);
        m >>= 7;
    }
    p[n++] = uint8_t(m | (neg ? 0x40 : 0));
    return n;
}

}  // namespace

Bytes writeHandlesSection(const std::vector<ObjectsSection::HandleOffset>& offsets)
{
    // §23: pages of at most 2032 bytes: RS size (big-endian, counting
    // itself), pairs of MC handle delta and signed MC location delta,
    // RS CRC (big-endian, seed 0xC0C1); a page of size 2 ends the map.
    // Each page is built in place in `out`: two bytes for the size, the
    // pairs, then size and CRC filled in.
    Bytes out;
    out.reserve(offsets.size() * 4 + offsets.size() / 500 * 4 + 16);
    size_t pageAt = 0;
    auto open = [&] {
        pageAt = out.size();
        out.push_back(0);
        out.push_back(0);
    };
    auto close = [&] {
        const size_t size = out.size() - pageAt;  // RS size counts itself, not the CRC
        out[pageAt] = uint8_t(size >> 8);
        out[pageAt + 1] = uint8_t(size & 0xFF);
        const uint16_t crc = crc16(0xC0C1, out.data() + pageAt, size);
        out.push_back(uint8_t(crc >> 8));
        out.push_back(uint8_t(crc & 0xFF));
    };
    open();
    Handle lastHandle = 0;
    int64_t lastOffset = 0;
    for (const auto& [h, off] : offsets) {
        uint8_t pair[32];
        size_t n = putMCu(pair, h - lastHandle);
        n += putMCs(pair + n, int64_t(off) - lastOffset);
        if (out.size() - pageAt - 2 + n > 2030) {
            close();
            open();
            n = putMCu(pair, h);
            n += putMCs(pair + n, int64_t(off));
        }
        out.insert(out.end(), pair, pair + n);
        lastHandle = h;
        lastOffset = off;
    }
    if (out.size() - pageAt > 2) {
        close();
        open();
    }
    close();  // the empty page that ends the map
    return out;
}

namespace {

void putRS(Bytes& b, uint16_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); }
void putRL(Bytes& b, uint32_t v) { putRS(b, uint16_t(v)); putRS(b, uint16_t(v >> 16)); }
void putRLL(Bytes& b, uint64_t v) { putRL(b, uint32_t(v)); putRL(b, uint32_t(v >> 32)); }
void putTime(Bytes& b, const JulianTime& t) { putRL(b, t.day); putRL(b, t.ms); }

// UTF-16LE text with a leading RS unit count that counts the NUL.
void putUnicode(Bytes& b, const std::u16string& s)
{
    putRS(b, uint16_t(s.size() + 1));
    for (char16_t c : s)
        putRS(b, uint16_t(c));
    putRS(b, 0);
}

// 8-bit text with a leading RS length counting the NUL (R2004 summary info).
void putText16(Bytes& b, const std::string& s)
{
    putRS(b, uint16_t(s.size() + 1));
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
}

// RL length then bytes (file dependency list strings).
void putText32(Bytes& b, const std::string& s)
{
    putRL(b, uint32_t(s.size()));
    b.insert(b.end(), s.begin(), s.end());
}

}  // namespace

Bytes writeAuxHeaderSection(const CadDocument& doc, const SectionContext& ctx)
{
    // §27 AcDb:AuxHeader.
    Bytes b = {0xFF, 0x77, 0x01};     // RC[3]: ff 77 01
    putRS(b, 0x19);                   // RS: dwg version (AC1018)
    putRS(b, 0);                      // RS: maintenance version
    putRL(b, 1);                      // RL: number of saves
    putRL(b, 0xFFFFFFFFu);            // RL: -1
    putRS(b, 1);                      // RS: saves part 1
    putRS(b, 0);                      // RS: saves part 2
    putRL(b, 0);                      // RL: 0
    putRS(b, 0x19);                   // RS: dwg version
    putRS(b, 0);                      // RS: maintenance version
    putRS(b, 0x19);                   // RS: dwg version
    putRS(b, 0);                      // RS: maintenance version
    for (uint16_t v : {0x0004, 0x0565, 0x0000, 0x0000, 0x0002, 0x0001})
        putRS(b, v);                  // RS[6]: unknown
    for (uint32_t v : {0u, 0u, 0u, 256u, 393218u})
        putRL(b, v);                  // RL[5]: unknown
    putTime(b, ctx.created);          // TD: TDCREATE
    putTime(b, ctx.updated);          // TD: TDUPDATE
    putRL(b, uint32_t(doc.handleSeed()));  // RL: HANDSEED
    putRL(b, 0);                      // RL: plot date stamp
    putRS(b, 0);                      // RS: 0
    putRS(b, 1);                      // RS: saves part 1
    putRL(b, 0);                      // RL: 0
    putRL(b, 0);                      // RL: 0
    putRL(b, 0);                      // RL: 0
    putRL(b, 1);                      // RL: number of saves
    putRL(b, 0);                      // RL: 0
    putRL(b, 0);                      // RL: 0
    putRL(b, 0);                      // RL: 0 (R2004+)
    putRL(b, 0);                      // RL: 0 (R2004+)
    return b;
}

Bytes writeSummaryInfoSection(const SectionContext& ctx)
{
    // §11 AcDb:SummaryInfo: eight texts (title, subject, author, keywords,
    // comments, last saved by, revision, hyperlink base), three times,
    // property count, two RL.
    Bytes b;
    for (const char* s : {"", "", "", "", "", "Vantrel", "", ""})
        putText16(b, s);
    putTime(b, {});                   // TDINDWG
    putTime(b, ctx.created);          // TDCREATE
    putTime(b, ctx.updated);          // TDUPDATE
    putRS(b, 0);                      // RS: custom property count
    putRL(b, 0);                      // RL: unknown
    putRL(b, 0);                      // RL: unknown
    return b;
}

Bytes writePreviewSection()
{
    // §12 AcDb:Preview: sentinel, RL overall size, RC image count 0,
    // end sentinel — a drawing without a thumbnail.
    Bytes b(kPreviewSentinelStart, kPreviewSentinelStart + 16);
    putRL(b, 1);                      // RL: size of the following data
    b.push_back(0);                   // RC: number of images
    b.insert(b.end(), kPreviewSentinelEnd, kPreviewSentinelEnd + 16);
    return b;
}

namespace {

// Identifiers AutoCAD puts before each text of AcDb:AppInfo and
// AcDb:AppInfoHistory (the 16 bytes the format description calls the
// item's checksum); they name the kind of item and are the same in every
// AutoCAD-written file.
const uint8_t kAppInfoVersionId[16] = {0x1B, 0xD8, 0x48, 0xF3, 0xCC, 0x0A, 0x3E, 0x4D,
                                       0xBA, 0xB1, 0xCF, 0x81, 0xF7, 0xB4, 0x50, 0xB3};
const uint8_t kAppInfoCommentId[16] = {0xB8, 0xD0, 0xF0, 0x25, 0xA1, 0xD7, 0x93, 0x49,
                                       0xB2, 0xFA, 0x9B, 0xF9, 0x28, 0x6F, 0xA1, 0xFD};
// {F29F85E0-4FF9-1068-AB91-08002B27B3D9}, the summary-information
// property set, as the property-set item's identifier.
const uint8_t kAppInfoPropSetId[16] = {0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10,
                                       0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};
const uint8_t kAppInfoProductId[16] = {0xE8, 0xE0, 0x96, 0x51, 0xC5, 0xCE, 0xB2, 0x44,
                                       0xA8, 0xBF, 0xF6, 0xE8, 0x3B, 0x85, 0x9D, 0x44};
// The 32 bytes that open AutoCAD's AcDb:AppInfoHistory.
const uint8_t kAppInfoHistoryHead[32] = {
    0x53, 0xDE, 0x38, 0x1D, 0xEC, 0x43, 0x21, 0xCA, 0x96, 0x19, 0xE1, 0xE2, 0x17, 0x1A, 0x2A, 0x67,
    0x3B, 0xD9, 0x7F, 0xF7, 0x3C, 0xBB, 0xCE, 0x08, 0xA0, 0x53, 0xD8, 0xED, 0xD2, 0x8D, 0xC5, 0xC7};

const char16_t* const kAppVersion = u"1.0";
const char16_t* const kAppComment = u"Vantrel DWG writer";
const char16_t* const kAppProduct =
    u"<ProductInformation name =\"Vantrel\" build_version=\"1.0\" "
    u"registry_version=\"1.0\" install_id_string=\"Vantrel\" "
    u"registry_localeID=\"2052\"/>";

void putItem(Bytes& b, const uint8_t (&id)[16], const std::u16string& text)
{
    b.insert(b.end(), id, id + 16);   // 16 bytes: item identifier
    putUnicode(b, text);              // TU: item text
}

// "YYYY-MM-DDThh:mm:ss" of a Julian day and milliseconds (proleptic
// Gregorian calendar, days counted from 1970-01-01 = day 2440588).
std::u16string isoTime(const JulianTime& t)
{
    int64_t z = int64_t(t.day) - 2440588 + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2);
    const uint32_t sec = t.ms / 1000;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02u:%02u:%02u", int(y), int(m), int(d),
                  sec / 3600, sec / 60 % 60, sec % 60);
    return std::u16string(buf, buf + std::strlen(buf));
}

}  // namespace

Bytes writeAppInfoSection()
{
    // §15 AcDb:AppInfo: RL 3, name, RL item count, then version, comment
    // and product, each after its 16-byte item identifier.
    Bytes b;
    putRL(b, 3);                                  // RL: class version
    putUnicode(b, u"AppInfoDataList");            // TU: name
    putRL(b, 3);                                  // RL: number of items
    putItem(b, kAppInfoVersionId, kAppVersion);   // version
    putItem(b, kAppInfoCommentId, kAppComment);   // comment
    putItem(b, kAppInfoProductId, kAppProduct);   // product
    return b;
}

Bytes writeAppInfoHistorySection(const SectionContext& ctx)
{
    // AcDb:AppInfoHistory in AutoCAD's layout: 32 bytes of section
    // identifier, RL 0, TU "AppInfoDataList", RL item count, then the
    // saving application's version, comment, summary property set and
    // product, each after its item identifier. A new file has this one
    // save in its history.
    Bytes b(kAppInfoHistoryHead, kAppInfoHistoryHead + 32);
    putRL(b, 0);                                  // RL: 0
    putUnicode(b, u"AppInfoDataList");            // TU: name
    putRL(b, 4);                                  // RL: number of items
    putItem(b, kAppInfoVersionId, kAppVersion);
    putItem(b, kAppInfoCommentId, kAppComment);
    // Property ids of the summary information: 2 title, 3 subject,
    // 4 author, 6 comments, 5 keywords, 8 last saved by, 9 revision,
    // 10 save time; 258/259 the application's name and build.
    std::u16string props = u"<prop_set fmt_id=\"{f29f85e0-4ff9-1068-ab91-08002b27b3d9}\">";
    for (const char16_t* id : {u"2", u"3", u"4", u"6", u"5"})
        props += u"<prop id=\"" + std::u16string(id) + u"\"><string></string></prop>";
    props += u"<prop id=\"8\"><string>Vantrel</string></prop>";
    props += u"<prop id=\"9\"><string></string></prop>";
    props += u"<prop id=\"10\"><datetime>" + isoTime(ctx.updated) + u"</datetime></prop>";
    props += u"<prop id=\"258\"><string>Vantrel</string></prop>";
    props += u"<prop id=\"259\"><string>1.0</string></prop></prop_set>";
    putItem(b, kAppInfoPropSetId, props);
    putItem(b, kAppInfoProductId, kAppProduct);
    return b;
}

Bytes writeFileDepListSection(const CadDocument& doc)
{
    // §16 AcDb:FileDepList: RL feature count, feature names, RL file
    // count, per file name, path, fingerprint, version, RL feature index,
    // RL timestamp, RL size, RS affects graphics, RL reference count.
    Bytes b;
    putRL(b, 2);
    putText32(b, "Acad:Text");
    putText32(b, "Acad:PlotConfig");
    std::vector<std::string> fonts;
    for (const auto& s : doc.styles) {
        if (s.flags & 1)
            continue;
        for (const std::string* f : {&s.fontFile, &s.bigFontFile})
            if (!f->empty() && std::find(fonts.begin(), fonts.end(), *f) == fonts.end())
                fonts.push_back(*f);
    }
    putRL(b, uint32_t(fonts.size()));
    for (const auto& f : fonts) {
        putText32(b, f);              // file name
        putText32(b, "");             // path
        putText32(b, "");             // fingerprint
        putText32(b, "");             // version
        putRL(b, 0);                  // feature index: Acad:Text
        putRL(b, 0);                  // timestamp
        putRL(b, 0);                  // size
        putRS(b, 1);                  // affects graphics
        putRL(b, 1);                  // reference count
    }
    return b;
}

Bytes writeRevHistorySection()
{
    // AcDb:RevHistory: RL 0, RL 0, RL count 1, RL 0 — as in a new drawing.
    Bytes b;
    putRL(b, 0);
    putRL(b, 0);
    putRL(b, 1);
    putRL(b, 0);
    return b;
}

Bytes writeObjFreeSpaceSection(const SectionContext& ctx)
{
    // §13 AcDb:ObjFreeSpace: RL 0, RL handle count, TIMEBLL update time,
    // RL objects offset, RC 4, then four RLL pairs 0x32, 0x64, 0x200,
    // 0xFFFFFFFF.
    Bytes b;
    putRL(b, 0);
    putRL(b, uint32_t(ctx.objectCount));
    putTime(b, ctx.updated);
    putRL(b, 0);
    b.push_back(4);
    putRLL(b, 0x32);
    putRLL(b, 0x64);
    putRLL(b, 0x200);
    putRLL(b, 0xFFFFFFFFull);
    return b;
}

Bytes writeTemplateSection()
{
    // §14 AcDb:Template: RS description length 0, RS MEASUREMENT
    // (1 = metric).
    Bytes b;
    putRS(b, 0);
    putRS(b, 1);
    return b;
}

}  // namespace vantrel
