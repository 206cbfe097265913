#include "object_writer.h"

#include "codepage.h"

#include <algorithm>
#include <cstring>
#include <cctype>
#include <cmath>
#include <stdexcept>

namespace vantrel {

std::vector<ClassDef> standardClasses()
{
    return {
        {500, 0, "ObjectDBX Classes", "AcDbDictionaryWithDefault", "ACDBDICTIONARYWDFLT", false, 0x1F3},
        {501, 0, "ObjectDBX Classes", "AcDbPlaceHolder", "ACDBPLACEHOLDER", false, 0x1F3},
        {502, 0, "ObjectDBX Classes", "AcDbLayout", "LAYOUT", false, 0x1F3},
    };
}

void writeColorCmc(BitWriter& w, int aci)
{
    uint32_t rgb;
    if (aci == 256)
        rgb = 0xC0000000u;
    else if (aci == 0)
        rgb = 0xC1000000u;
    else
        rgb = 0xC3000000u | uint32_t(aci & 0xFF);
    w.writeBS(0);       // BS: colour index, 0 for R2004+
    w.writeBL(rgb);     // BL: RGB word, method in the top byte
    w.writeRC(0);       // RC: no colour name, no book name
}

bool dictionaryNameLess(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
}

namespace {

constexpr double kHalfPi = 1.5707963267948966;

// One object under construction: the data stream and the handle stream,
// joined when the object is finished (§20.1, R2000-R2007 layout: the
// handle stream starts at the bit given by the RL after the type).
class ObjectBuilder {
public:
    ObjectBuilder(const std::string& codePage) : codePage_(&codePage) {}

    // Common object data, non-entity (§20.4.1): BS type, RL size in bits
    // (patched), H own handle, BS extended-data size 0, BL reactors,
    // B xdictionary missing; owner/reactors go to the handle stream.
    void beginObject(uint16_t type, Handle h, Handle owner, const std::vector<Handle>& reactors = {})
    {
        begin(type, h);
        d.writeBL(uint32_t(reactors.size()));  // BL: number of reactors
        d.writeB(true);                        // B: no xdictionary (R2004+)
        hs.writeH(kSoftPointer, owner);        // H 4: owner
        for (Handle r : reactors)
            hs.writeH(kSoftPointer, r);        // H 4: reactors
    }

    // Common entity data (§20.4.2): picture flag, entity mode, reactors,
    // xdictionary flag, ENC colour, BD line-type scale, BB line-type flags,
    // BB plot-style flags, BS invisibility, RC lineweight.
    // mode: 0 = owner handle follows, 1 = paper space, 2 = model space.
    void beginEntity(uint16_t type, Handle h, uint8_t mode, Handle owner, int color,
                     double ltScale, LineTypeRef ltRef)
    {
        begin(type, h);
        // The fixed fields around colour and scale go in as two runs of
        // bits, each field's code as written by its own writer.
        d.writeBits(0u << 5                     // B: no preview picture
                        | uint32_t(mode & 3u) << 3 // BB: entity mode
                        | 2u << 1               // BL: number of reactors (10: 0)
                        | 1u,                   // B: no xdictionary (R2004+)
                    6);
        d.writeENC(color);                     // ENC: colour
        d.writeBD(ltScale);                    // BD: line-type scale
        d.writeBits(uint32_t(uint8_t(ltRef) & 3u) << 12 // BB: 00 bylayer .. 11 handle
                        | 0u << 10              // BB: plot style by layer
                        | 2u << 8               // BS: visible (10: 0)
                        | 29u,                  // RC: lineweight index 29 = by layer
                    14);
        if (mode == 0)
            hs.writeH(kSoftPointer, owner);    // H 4: owner
    }

    // Entity handle tail (§20.4.2 handle refs): layer, line type when the
    // flags say 11.
    void entityHandles(Handle layer, LineTypeRef ltRef, Handle ltype)
    {
        hs.writeH(kHardPointer, layer);        // H 5: layer
        if (ltRef == LineTypeRef::Handle)
            hs.writeH(kHardPointer, ltype);    // H 5: line type
    }

    // Symbol table entry header (§20.4.x table entries): T name, B 64-flag,
    // BS xref index + 1, B xref-dependent; handle stream: xref block (null).
    void tableEntry(const std::string& name)
    {
        text(name);                            // T: entry name
        d.writeB(true);                        // B: 64-flag (referenced)
        d.writeBS(0);                          // BS: xrefindex+1
        d.writeB(false);                       // B: xdep
        hs.writeH(kHardPointer, 0);            // H 5: external reference block
    }

    void text(const std::string& utf8) { d.writeTV(toCodePage(utf8, *codePage_)); }

    // Join both streams, pad to a byte, then MS size, data, RS CRC (§20.1),
    // appended to `out`.
    void finish(Bytes& out)
    {
        const uint32_t dataBits = uint32_t(d.bitPosition());
        d.patchRL(sizePos_, dataBits);
        d.appendBits(hs);
        appendObjectRecord(out, d.data(), d.byteSize()); // MS size, data, RS CRC over both
    }

    BitWriter d;   // data stream
    BitWriter hs;  // handle stream

private:
    void begin(uint16_t type, Handle h)
    {
        d.writeBS(type);                       // BS: object type (R2004)
        sizePos_ = d.bitPosition();
        d.writeRL(0);                          // RL: size in bits, patched
        d.writeH(kOwnHandle, h);               // H: the object's handle
        d.writeBS(0);                          // BS: size of extended data
    }

    const std::string* codePage_;  // the document's, outlives the builder
    size_t sizePos_ = 0;
};

// Dimension variables of the Standard style and the header (§20.4.x
// DIMSTYLE, R2000+ field order), AutoCAD's metric defaults (as the header).
void writeDimVarsStyle(ObjectBuilder& b)
{
    BitWriter& d = b.d;
    b.text("");                    // T DIMPOST
    b.text("");                    // T DIMAPOST
    d.writeBD(1.0);                // BD DIMSCALE
    d.writeBD(2.5);                // BD DIMASZ
    d.writeBD(0.625);              // BD DIMEXO
    d.writeBD(3.75);               // BD DIMDLI
    d.writeBD(1.25);               // BD DIMEXE
    d.writeBD(0.0);                // BD DIMRND
    d.writeBD(0.0);                // BD DIMDLE
    d.writeBD(0.0);                // BD DIMTP
    d.writeBD(0.0);                // BD DIMTM
    d.writeB(false);               // B DIMTOL
    d.writeB(false);               // B DIMLIM
    d.writeB(true);                // B DIMTIH
    d.writeB(true);                // B DIMTOH
    d.writeB(false);               // B DIMSE1
    d.writeB(false);               // B DIMSE2
    d.writeBS(0);                  // BS DIMTAD
    d.writeBS(8);                  // BS DIMZIN
    d.writeBS(0);                  // BS DIMAZIN
    d.writeBD(2.5);                // BD DIMTXT
    d.writeBD(2.5);                // BD DIMCEN
    d.writeBD(0.0);                // BD DIMTSZ
    d.writeBD(1.0 / 25.4);         // BD DIMALTF
    d.writeBD(1.0);                // BD DIMLFAC
    d.writeBD(0.0);                // BD DIMTVP
    d.writeBD(1.0);                // BD DIMTFAC
    d.writeBD(0.625);              // BD DIMGAP
    d.writeBD(0.0);                // BD DIMALTRND
    d.writeB(false);               // B DIMALT
    d.writeBS(2);                  // BS DIMALTD
    d.writeB(false);               // B DIMTOFL
    d.writeB(false);               // B DIMSAH
    d.writeB(false);               // B DIMTIX
    d.writeB(false);               // B DIMSOXD
    writeColorCmc(d, 0);           // CMC DIMCLRD (by block)
    writeColorCmc(d, 0);           // CMC DIMCLRE
    writeColorCmc(d, 0);           // CMC DIMCLRT
    d.writeBS(0);                  // BS DIMADEC
    d.writeBS(4);                  // BS DIMDEC
    d.writeBS(4);                  // BS DIMTDEC
    d.writeBS(2);                  // BS DIMALTU
    d.writeBS(2);                  // BS DIMALTTD
    d.writeBS(0);                  // BS DIMAUNIT
    d.writeBS(0);                  // BS DIMFRAC
    d.writeBS(2);                  // BS DIMLUNIT
    d.writeBS('.');                // BS DIMDSEP
    d.writeBS(0);                  // BS DIMTMOVE
    d.writeBS(0);                  // BS DIMJUST
    d.writeB(false);               // B DIMSD1
    d.writeB(false);               // B DIMSD2
    d.writeBS(1);                  // BS DIMTOLJ
    d.writeBS(0);                  // BS DIMTZIN
    d.writeBS(0);                  // BS DIMALTZ
    d.writeBS(0);                  // BS DIMALTTZ
    d.writeB(false);               // B DIMUPT
    d.writeBS(3);                  // BS DIMATFIT
}

class Writer {
public:
    Writer(const CadDocument& doc, std::vector<ClassDef>& classes)
        : doc_(doc), classes_(classes) {}

    ObjectsSection run()
    {
        controls();
        tables();
        blocks();
        dictionaries();

        // The records in handle order, after RL 0x0DCA (start of the
        // R2004 object stream).
        orderRecords();
        ObjectsSection sec;
        Bytes& out = sec.data;
        out.reserve(arena_.size() + 4);
        out = {0xCA, 0x0D, 0x00, 0x00};
        sec.offsets.reserve(records_.size());
        out.resize(4 + arena_.size());  // every record once
        size_t at = 4;
        for (size_t i = 0; i < records_.size(); ++i) {
            const Record& r = records_[i];
            if (i > 0 && records_[i - 1].handle == r.handle)
                throw std::logic_error("duplicate handle");
            sec.offsets.push_back({r.handle, uint32_t(at)});
            std::memcpy(out.data() + at, arena_.data() + r.at, r.size);
            at += r.size;
        }
        out.resize(at);
        return sec;
    }

private:
    ObjectBuilder builder() const { return ObjectBuilder(doc_.header.codePage); }

    void store(Handle h, ObjectBuilder& b)
    {
        // Every record goes into one buffer; run() orders them by handle.
        if (h == 0)
            throw std::logic_error("null handle");
        const size_t at = arena_.size();
        b.finish(arena_);
        records_.push_back({h, at, arena_.size() - at});
    }

    uint16_t classNumber(const char* dxf)
    {
        for (auto& c : classes_)
            if (c.dxfName == dxf) {
                ++c.instances;
                return c.number;
            }
        throw std::logic_error("class not registered");
    }

    // Control objects (§20.4.x *_CONTROL): BS/BL entry count; handle
    // stream: owner (null), entries as soft owners, then extra handles.
    void control(uint16_t type, Handle h, const std::vector<Handle>& entries,
                 const std::vector<Handle>& hardOwned = {}, bool dimstyle = false)
    {
        ObjectBuilder b = builder();
        b.beginObject(type, h, 0);
        b.d.writeBS(uint16_t(entries.size()));  // BS: number of entries
        if (dimstyle)
            b.d.writeRC(uint8_t(entries.size()));  // RC: number of extra handles
        for (Handle e : entries)
            b.hs.writeH(kSoftOwner, e);         // H 2: entry
        for (Handle e : hardOwned)
            b.hs.writeH(kHardOwner, e);         // H 3: *Model_Space etc.
        if (dimstyle)
            for (Handle e : entries)
                b.hs.writeH(kHardPointer, e);   // H 5: extra handles, the styles again (as AutoCAD)
        store(h, b);
    }

    void controls()
    {
        // BLOCK_CONTROL: entries exclude *Model_Space and *Paper_Space,
        // which follow as hard owners.
        std::vector<Handle> blocks;
        for (size_t i = 2; i < doc_.blocks.size(); ++i)
            blocks.push_back(doc_.blocks[i].handle);
        control(kBlockControl, doc_.blockControl, blocks,
                {doc_.blocks[0].handle, doc_.blocks[1].handle});

        std::vector<Handle> v;
        for (const auto& l : doc_.layers) v.push_back(l.handle);
        control(kLayerControl, doc_.layerControl, v);

        v.clear();
        for (const auto& s : doc_.styles)
            v.push_back(s.handle);
        control(kStyleControl, doc_.styleControl, v);

        // LTYPE_CONTROL: entries exclude ByBlock and ByLayer, which
        // follow as hard owners.
        v.clear();
        for (const auto& l : doc_.lineTypes)
            if (l.handle != doc_.ltypeByBlock && l.handle != doc_.ltypeByLayer)
                v.push_back(l.handle);
        control(kLTypeControl, doc_.ltypeControl, v, {doc_.ltypeByBlock, doc_.ltypeByLayer});

        control(kViewControl, doc_.viewControl, {});
        control(kUcsControl, doc_.ucsControl, {});
        v.clear();
        for (const auto& p : doc_.vports) v.push_back(p.handle);
        control(kVPortControl, doc_.vportControl, v);
        v.clear();
        for (const auto& a : doc_.appIds) v.push_back(a.handle);
        control(kAppIdControl, doc_.appidControl, v);
        v.clear();
        for (const auto& s : doc_.dimStyles) v.push_back(s.handle);
        control(kDimStyleControl, doc_.dimstyleControl, v, {}, true);
    }

    void tables()
    {
        const Handle plotStyleNormal = doc_.placeholders.empty() ? 0 : doc_.placeholders[0].handle;
        for (const auto& l : doc_.layers) {
            ObjectBuilder b = builder();
            b.beginObject(kLayer, l.handle, doc_.layerControl);
            b.tableEntry(l.name);
            // BS flags: 1 frozen, 2 off, 4 frozen in new viewports,
            // 8 locked, 16 plotted, bits 5-9 lineweight index.
            const int lwIndex = l.lineweight == -3 ? 31 : l.lineweight == -2 ? 30
                              : l.lineweight == -1 ? 29 : 0;
            uint16_t flags = uint16_t((l.color < 0 ? 2 : 0) | (l.plot ? 16 : 0) | (lwIndex << 5));
            b.d.writeBS(flags);
            writeColorCmc(b.d, std::abs(l.color));  // CMC: colour
            b.hs.writeH(kHardPointer, plotStyleNormal);  // H 5: plot style
            b.hs.writeH(kHardPointer, l.lineType);       // H 5: line type
            store(l.handle, b);
        }
        for (const auto& s : doc_.styles) {
            ObjectBuilder b = builder();
            b.beginObject(kStyle, s.handle, doc_.styleControl);
            b.tableEntry(s.name);
            b.d.writeB((s.flags & 1) != 0);     // B: shape file
            b.d.writeB((s.flags & 4) != 0);     // B: vertical
            b.d.writeBD(s.height);              // BD: fixed height
            b.d.writeBD(s.widthFactor);         // BD: width factor
            b.d.writeBD(s.obliqueAngle);        // BD: oblique angle
            b.d.writeRC(uint8_t(s.generation)); // RC: generation
            b.d.writeBD(s.lastHeight);          // BD: last height
            b.text(s.fontFile);                 // T: font file
            b.text(s.bigFontFile);              // T: big font file
            store(s.handle, b);
        }
        for (const auto& l : doc_.lineTypes) {
            ObjectBuilder b = builder();
            b.beginObject(kLType, l.handle, doc_.ltypeControl);
            b.tableEntry(l.name);
            b.text(l.description);              // T: description
            b.d.writeBD(l.patternLength());     // BD: pattern length
            b.d.writeRC('A');                   // RC: alignment, always 'A'
            b.d.writeRC(uint8_t(l.segments.size()));  // RC: number of dashes
            for (const auto& s : l.segments) {
                b.d.writeBD(s.length);          // BD: dash length
                b.d.writeBS(uint16_t(s.shapeNumber));  // BS: complex shape code
                b.d.writeRD(s.offset.x);        // RD: x offset
                b.d.writeRD(s.offset.y);        // RD: y offset
                b.d.writeBD(s.scale);           // BD: scale
                b.d.writeBD(s.rotation);        // BD: rotation
                b.d.writeBS(uint16_t(s.flags)); // BS: shape flag
                b.hs.writeH(kHardPointer, s.style);  // H 5: shape file style
            }
            const uint8_t area[256] = {};
            b.d.writeBytes(area, sizeof area);  // 256 bytes: text area (R2004)
            store(l.handle, b);
        }
        for (const auto& a : doc_.appIds) {
            ObjectBuilder b = builder();
            b.beginObject(kAppId, a.handle, doc_.appidControl);
            b.tableEntry(a.name);
            b.d.writeRC(0);                     // RC: unknown
            store(a.handle, b);
        }
        for (const auto& s : doc_.dimStyles) {
            ObjectBuilder b = builder();
            b.beginObject(kDimStyle, s.handle, doc_.dimstyleControl);
            b.tableEntry(s.name);
            writeDimVarsStyle(b);
            b.d.writeBS(uint16_t(-2));          // BS DIMLWD (by block)
            b.d.writeBS(uint16_t(-2));          // BS DIMLWE
            b.d.writeB(false);                  // B: bit 0 of flags 70
            b.hs.writeH(kHardPointer, doc_.styles.front().handle);  // H 5 DIMTXSTY
            for (int i = 0; i < 4; ++i)
                b.hs.writeH(kHardPointer, 0);   // H 5 DIMLDRBLK, DIMBLK, DIMBLK1, DIMBLK2
            store(s.handle, b);
        }
        for (const auto& p : doc_.vports) {
            ObjectBuilder b = builder();
            b.beginObject(kVPort, p.handle, doc_.vportControl);
            b.tableEntry(p.name);
            BitWriter& d = b.d;
            d.writeBD(297.0);                   // BD: view height
            d.writeBD(420.0);                   // BD: view width
            d.write2RD(0.0, 0.0);               // 2RD: view centre
            d.write3BD(0, 0, 0);                // 3BD: view target
            d.write3BD(0, 0, 1);                // 3BD: view direction
            d.writeBD(0.0);                     // BD: view twist
            d.writeBD(50.0);                    // BD: lens length
            d.writeBD(0.0);                     // BD: front clip
            d.writeBD(0.0);                     // BD: back clip
            d.writeBits(0, 4);                  // 4 bits: view mode
            d.writeRC(0);                       // RC: render mode
            d.write2RD(0.0, 0.0);               // 2RD: lower left
            d.write2RD(1.0, 1.0);               // 2RD: upper right
            d.writeB(false);                    // B: UCSFOLLOW
            d.writeBS(1000);                    // BS: circle zoom
            d.writeB(true);                     // B: fast zoom
            d.writeBB(3);                       // BB: UCS icon on, at origin
            d.writeB(false);                    // B: grid on
            d.write2RD(10.0, 10.0);             // 2RD: grid spacing
            d.writeB(false);                    // B: snap on
            d.writeB(false);                    // B: snap style
            d.writeBS(0);                       // BS: snap isopair
            d.writeBD(0.0);                     // BD: snap rotation
            d.write2RD(0.0, 0.0);               // 2RD: snap base
            d.write2RD(10.0, 10.0);             // 2RD: snap spacing
            d.writeB(false);                    // B: UCS at origin
            d.writeB(true);                     // B: UCS per viewport
            d.write3BD(0, 0, 0);                // 3BD: UCS origin
            d.write3BD(1, 0, 0);                // 3BD: UCS X axis
            d.write3BD(0, 1, 0);                // 3BD: UCS Y axis
            d.writeBD(0.0);                     // BD: UCS elevation
            d.writeBS(0);                       // BS: orthographic type
            b.hs.writeH(kHardPointer, 0);       // H 5: named UCS
            b.hs.writeH(kHardPointer, 0);       // H 5: base UCS
            store(p.handle, b);
        }
    }

    void blocks()
    {
        for (const auto& blk : doc_.blocks) {
            ObjectBuilder b = builder();
            b.beginObject(kBlockHeader, blk.handle, doc_.blockControl);
            b.tableEntry(blk.name);
            BitWriter& d = b.d;
            d.writeB(false);                    // B: anonymous
            d.writeB(false);                    // B: has attributes
            d.writeB(false);                    // B: is xref
            d.writeB(false);                    // B: xref overlaid
            d.writeB(false);                    // B: loaded xref (R2000+)
            d.writeBL(uint32_t(blk.entities.size()));  // BL: owned objects (R2004+)
            d.write3BD(0, 0, 0);                // 3BD: base point
            b.text("");                         // T: xref path
            d.writeRC(0);                       // RC: end of insert count bytes
            b.text("");                         // T: description
            d.writeBL(0);                       // BL: preview size
            b.hs.writeH(kHardOwner, blk.blockEntity);  // H 3: BLOCK
            for (const auto& e : blk.entities)
                b.hs.writeH(kHardOwner, e.handle);     // H 3: owned entities
            b.hs.writeH(kHardOwner, blk.endBlock);     // H 3: ENDBLK
            b.hs.writeH(kHardPointer, blk.layout);     // H 5: layout
            store(blk.handle, b);

            const uint8_t mode = blk.paperSpace ? 1 : 2;
            ObjectBuilder be = builder();
            be.beginEntity(kBlock, blk.blockEntity, mode, blk.handle, 256, 1.0, LineTypeRef::ByLayer);
            be.text(blk.name);                  // T: block name
            be.entityHandles(doc_.layer0(), LineTypeRef::ByLayer, 0);
            store(blk.blockEntity, be);

            ObjectBuilder ee = builder();
            ee.beginEntity(kEndBlk, blk.endBlock, mode, blk.handle, 256, 1.0, LineTypeRef::ByLayer);
            ee.entityHandles(doc_.layer0(), LineTypeRef::ByLayer, 0);
            store(blk.endBlock, ee);

            for (const auto& e : blk.entities)
                entity(e, mode);
        }
    }

    void entity(const Entity& e, uint8_t mode)
    {
        ObjectBuilder b = builder();
        BitWriter& d = b.d;
        switch (e.kind) {
        case EntityKind::Circle:
        case EntityKind::Arc: {
            const bool arc = e.kind == EntityKind::Arc;
            b.beginEntity(arc ? kArc : kCircle, e.handle, mode, 0, e.color, e.ltScale, e.ltypeRef);
            d.write3BD(e.center.x, e.center.y, e.center.z);  // 3BD: centre
            d.writeBD(e.radius);                // BD: radius
            d.writeBT(0.0);                     // BT: thickness
            d.writeBE(0, 0, 1);                 // BE: extrusion
            if (arc) {
                d.writeBD(e.startAngle);        // BD: start angle
                d.writeBD(e.endAngle);          // BD: end angle
            }
            b.entityHandles(e.layer, e.ltypeRef, e.lineType);
            store(e.handle, b);
            break;
        }
        case EntityKind::Text: {
            b.beginEntity(kText, e.handle, mode, 0, e.color, e.ltScale, e.ltypeRef);
            const bool defaultAlign = e.hAlign == 0 && e.vAlign == 0;
            // RC data flags: a set bit means the field is absent (default).
            uint8_t flags = 0;
            flags |= 0x01;                                  // elevation 0
            if (defaultAlign) flags |= 0x02;                // no alignment point
            flags |= 0x04;                                  // oblique 0
            if (e.rotation == 0.0) flags |= 0x08;
            if (e.widthFactor == 1.0) flags |= 0x10;
            flags |= 0x20;                                  // generation 0
            if (e.hAlign == 0) flags |= 0x40;
            if (e.vAlign == 0) flags |= 0x80;
            d.writeRC(flags);                   // RC: data flags
            d.write2RD(e.insert.x, e.insert.y); // 2RD: insertion point
            if (!(flags & 0x02))
                d.write2DD(e.alignment.x, e.alignment.y, e.insert.x, e.insert.y);  // 2DD: alignment
            d.writeBE(0, 0, 1);                 // BE: extrusion
            d.writeBT(0.0);                     // BT: thickness
            if (!(flags & 0x08))
                d.writeRD(e.rotation);          // RD: rotation
            d.writeRD(e.height);                // RD: height
            if (!(flags & 0x10))
                d.writeRD(e.widthFactor);       // RD: width factor
            b.text(e.text);                     // T: text value
            if (!(flags & 0x40))
                d.writeBS(uint16_t(e.hAlign));  // BS: horizontal alignment
            if (!(flags & 0x80))
                d.writeBS(uint16_t(e.vAlign));  // BS: vertical alignment
            b.entityHandles(e.layer, e.ltypeRef, e.lineType);
            b.hs.writeH(kHardPointer, e.style); // H 5: text style
            store(e.handle, b);
            break;
        }
        case EntityKind::Polyline2D: {
            b.beginEntity(kPolyline2D, e.handle, mode, 0, e.color, e.ltScale, e.ltypeRef);
            d.writeBS(e.closed ? 1 : 0);        // BS: flags
            d.writeBS(0);                       // BS: curve type
            d.writeBD(0.0);                     // BD: start width
            d.writeBD(0.0);                     // BD: end width
            d.writeBT(0.0);                     // BT: thickness
            d.writeBD(0.0);                     // BD: elevation
            d.writeBE(0, 0, 1);                 // BE: extrusion
            d.writeBL(uint32_t(e.vertexHandles.size()));  // BL: owned vertices (R2004+)
            b.entityHandles(e.layer, e.ltypeRef, e.lineType);
            for (Handle v : e.vertexHandles)
                b.hs.writeH(kHardOwner, v);     // H 3: vertices
            b.hs.writeH(kHardOwner, e.seqend);  // H 3: SEQEND
            store(e.handle, b);

            for (size_t i = 0; i < e.vertices.size(); ++i) {
                // Vertices and SEQEND are owned by the polyline (mode 0)
                // and share its layer, colour and line type.
                ObjectBuilder v = builder();
                v.beginEntity(kVertex2D, e.vertexHandles[i], 0, e.handle, e.color, e.ltScale, e.ltypeRef);
                v.d.writeRC(0);                 // RC: vertex flags
                v.d.write3BD(e.vertices[i].x, e.vertices[i].y, 0.0);  // 3BD: point
                v.d.writeBD(0.0);               // BD: start width
                v.d.writeBD(0.0);               // BD: end width
                v.d.writeBD(0.0);               // BD: bulge
                v.d.writeBD(0.0);               // BD: tangent direction
                v.entityHandles(e.layer, e.ltypeRef, e.lineType);
                store(e.vertexHandles[i], v);
            }
            ObjectBuilder s = builder();
            s.beginEntity(kSeqEnd, e.seqend, 0, e.handle, e.color, e.ltScale, e.ltypeRef);
            s.entityHandles(e.layer, e.ltypeRef, e.lineType);
            store(e.seqend, s);
            break;
        }
        }
    }

    void dictionaries()
    {
        for (const auto& dict : doc_.dictionaries) {
            ObjectBuilder b = builder();
            std::vector<Handle> reactors;
            if (dict.owner)
                reactors.push_back(dict.owner);
            const uint16_t type = dict.withDefault ? classNumber("ACDBDICTIONARYWDFLT") : kDictionary;
            b.beginObject(type, dict.handle, dict.owner, reactors);
            b.d.writeBL(uint32_t(dict.entries.size()));  // BL: number of items
            b.d.writeBS(uint16_t(dict.cloning));         // BS: cloning flag
            b.d.writeRC(dict.hardOwner ? 1 : 0);         // RC: hard owner flag
            // Entries sorted by name, as AutoCAD keeps them.
            std::vector<const DictionaryEntry*> sorted;
            for (const auto& e : dict.entries)
                sorted.push_back(&e);
            std::stable_sort(sorted.begin(), sorted.end(), [](auto* x, auto* y) {
                return dictionaryNameLess(x->name, y->name);
            });
            for (const auto* e : sorted)
                b.text(e->name);                         // T: item name
            for (const auto* e : sorted)
                b.hs.writeH(kSoftOwner, e->target);      // H 2: item
            if (dict.withDefault)
                b.hs.writeH(kHardPointer, dict.defaultEntry);  // H 5: default entry
            store(dict.handle, b);
        }
        for (const auto& p : doc_.placeholders) {
            ObjectBuilder b = builder();
            b.beginObject(classNumber("ACDBPLACEHOLDER"), p.handle, p.owner, {p.owner});
            store(p.handle, b);
        }
        for (const auto& m : doc_.mlineStyles) {
            ObjectBuilder b = builder();
            b.beginObject(kMLineStyle, m.handle, m.owner, {m.owner});
            BitWriter& d = b.d;
            b.text(m.name);                     // T: name
            b.text("");                         // T: description
            d.writeBS(0);                       // BS: flags
            writeColorCmc(d, 256);              // CMC: fill colour
            d.writeBD(kHalfPi);                 // BD: start angle
            d.writeBD(kHalfPi);                 // BD: end angle
            d.writeRC(2);                       // RC: number of lines
            for (double off : {0.5, -0.5}) {
                d.writeBD(off);                 // BD: offset
                writeColorCmc(d, 256);          // CMC: colour
                d.writeBS(0x7FFF);              // BS: line type index, by layer
            }
            store(m.handle, b);
        }
        const Handle layoutDict = doc_.namedDictionaryEntry("ACAD_LAYOUT");
        for (const auto& lay : doc_.layouts) {
            ObjectBuilder b = builder();
            b.beginObject(classNumber("LAYOUT"), lay.handle, layoutDict, {layoutDict});
            BitWriter& d = b.d;
            // Plot settings part (§20.4.85 LAYOUT, PLOTSETTINGS fields).
            b.text("");                         // T: page setup name
            b.text("none_device");              // T: printer/config file
            // BS: plot flags as AutoCAD sets them in a new drawing: 0x10 standard
            // scale, 0x20 plot styles, 0x80 lineweights, 0x200 viewports first;
            // Model adds 0x400 model type, 0x800 update paper, 0x2000 initialising.
            d.writeBS(lay.modelSpace ? 0x2EB0 : 0x2B0);
            d.writeBD(7.5);                     // BD: left margin
            d.writeBD(20.0);                    // BD: bottom margin
            d.writeBD(7.5);                     // BD: right margin
            d.writeBD(20.0);                    // BD: top margin
            d.writeBD(210.0);                   // BD: paper width
            d.writeBD(297.0);                   // BD: paper height
            b.text("ISO_A4_(210.00_x_297.00_MM)");  // T: paper size name
            d.write2BD(0.0, 0.0);               // 2BD: plot origin
            d.writeBS(1);                       // BS: paper units (mm)
            d.writeBS(0);                       // BS: plot rotation
            d.writeBS(lay.modelSpace ? 0 : 5);  // BS: plot type
            d.write2BD(0.0, 0.0);               // 2BD: window lower left
            d.write2BD(0.0, 0.0);               // 2BD: window upper right
            b.hs.writeH(kHardPointer, 0);       // H 5: plot view (R2004+)
            d.writeBD(1.0);                     // BD: real-world paper units
            d.writeBD(1.0);                     // BD: drawing units
            b.text("");                         // T: plot style sheet
            d.writeBS(lay.modelSpace ? 0 : 16); // BS: standard scale type (fit / 1:1)
            d.writeBD(1.0);                     // BD: scale factor
            d.write2BD(0.0, 0.0);               // 2BD: paper image origin
            d.writeBS(0);                       // BS: shade plot mode
            d.writeBS(2);                       // BS: shade plot resolution
            d.writeBS(300);                     // BS: shade plot dpi
            // Layout part.
            b.text(lay.name);                   // T: layout name
            d.writeBS(uint16_t(lay.tabOrder));  // BS: tab order
            d.writeBS(1);                       // BS: flags (PSLTSCALE)
            d.write3BD(0, 0, 0);                // 3BD: insertion base
            d.write2RD(0.0, 0.0);               // 2RD: limits min
            d.write2RD(420.0, 297.0);           // 2RD: limits max (metric, as LIMMAX/PLIMMAX)
            d.write3BD(0, 0, 0);                // 3BD: UCS origin
            d.write3BD(1, 0, 0);                // 3BD: UCS X axis
            d.write3BD(0, 1, 0);                // 3BD: UCS Y axis
            d.writeBD(0.0);                     // BD: elevation
            d.writeBS(0);                       // BS: orthographic type
            d.write3BD(0, 0, 0);                // 3BD: extents min
            d.write3BD(0, 0, 0);                // 3BD: extents max
            d.writeBL(0);                       // BL: viewport count (R2004+)
            b.hs.writeH(kSoftPointer, lay.block);  // H 4: block record
            // H 4: last active viewport; the Model layout's is VPORT *Active.
            b.hs.writeH(kSoftPointer, lay.modelSpace && !doc_.vports.empty() ? doc_.vports.front().handle : 0);
            b.hs.writeH(kHardPointer, 0);       // H 5: base UCS
            b.hs.writeH(kHardPointer, 0);       // H 5: named UCS
            store(lay.handle, b);
        }
    }

    const CadDocument& doc_;
    std::vector<ClassDef>& classes_;
    struct Record {
        Handle handle;
        size_t at, size;  // where the record lies in arena_
    };

    // Handles are given out densely from 1: placed by handle in one pass
    // (a sort when they are sparse). Duplicates stay adjacent.
    void orderRecords()
    {
        Handle top = 0;
        for (const Record& r : records_)
            top = std::max(top, r.handle);
        if (top > 4 * records_.size() + 1024) {
            std::sort(records_.begin(), records_.end(),
                      [](const Record& a, const Record& b) { return a.handle < b.handle; });
            return;
        }
        std::vector<uint32_t> slot(size_t(top) + 1, 0);  // 1 + index, 0 = none
        std::vector<Record> ordered;
        ordered.reserve(records_.size());
        for (size_t i = 0; i < records_.size(); ++i) {
            uint32_t& s = slot[size_t(records_[i].handle)];
            if (s)
                throw std::logic_error("duplicate handle");
            s = uint32_t(i + 1);
        }
        for (uint32_t s : slot)
            if (s)
                ordered.push_back(records_[s - 1]);
        records_.swap(ordered);
    }
    std::vector<Record> records_;
    Bytes arena_;
};

}  // namespace

ObjectsSection writeObjects(const CadDocument& doc, std::vector<ClassDef>& classes)
{
    for (auto& c : classes)
        c.instances = 0;
    return Writer(doc, classes).run();
}

}  // namespace vantrel
