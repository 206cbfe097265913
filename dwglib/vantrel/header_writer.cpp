// AcDb:Header — header variables in R2004 order (format description §9,
// "Header variables"), framed by sentinels, RL size and RS CRC.
#include "codepage.h"
#include "sections.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>

namespace vantrel {

const uint8_t kHeaderSentinelStart[16] = {0xCF, 0x7B, 0x1F, 0x23, 0xFD, 0xDE, 0x38, 0xA9,
                                          0x5F, 0x7C, 0x68, 0xB8, 0x4E, 0x6D, 0x33, 0x5F};
const uint8_t kHeaderSentinelEnd[16] = {0x30, 0x84, 0xE0, 0xDC, 0x02, 0x21, 0xC7, 0x56,
                                        0xA0, 0x83, 0x97, 0x47, 0xB1, 0x92, 0xCC, 0xA0};

namespace {

void writeTime(BitWriter& w, const JulianTime& t)
{
    w.writeBL(t.day);  // BL: Julian day
    w.writeBL(t.ms);   // BL: milliseconds into the day
}

// Header dimension variables, R2000+ order; values match the Standard
// dimension style (AutoCAD's metric defaults, as in a drawing begun in
// millimetres: sizes 2.5 / 0.625 / 3.75 / 1.25, alternate units inches).
void writeHeaderDimVars(BitWriter& w, Handle textStyle)
{
    w.writeBD(1.0);     // BD DIMSCALE
    w.writeBD(2.5);     // BD DIMASZ
    w.writeBD(0.625);   // BD DIMEXO
    w.writeBD(3.75);    // BD DIMDLI
    w.writeBD(1.25);    // BD DIMEXE
    w.writeBD(0.0);     // BD DIMRND
    w.writeBD(0.0);     // BD DIMDLE
    w.writeBD(0.0);     // BD DIMTP
    w.writeBD(0.0);     // BD DIMTM
    w.writeB(false);    // B DIMTOL
    w.writeB(false);    // B DIMLIM
    w.writeB(true);     // B DIMTIH
    w.writeB(true);     // B DIMTOH
    w.writeB(false);    // B DIMSE1
    w.writeB(false);    // B DIMSE2
    w.writeBS(0);       // BS DIMTAD
    w.writeBS(8);       // BS DIMZIN (suppress trailing zeros)
    w.writeBS(0);       // BS DIMAZIN
    w.writeBD(2.5);     // BD DIMTXT
    w.writeBD(2.5);     // BD DIMCEN
    w.writeBD(0.0);     // BD DIMTSZ
    w.writeBD(1.0 / 25.4);  // BD DIMALTF (mm to inches)
    w.writeBD(1.0);     // BD DIMLFAC
    w.writeBD(0.0);     // BD DIMTVP
    w.writeBD(1.0);     // BD DIMTFAC
    w.writeBD(0.625);   // BD DIMGAP
    w.writeBD(0.0);     // BD DIMALTRND
    w.writeB(false);    // B DIMALT
    w.writeBS(2);       // BS DIMALTD
    w.writeB(false);    // B DIMTOFL
    w.writeB(false);    // B DIMSAH
    w.writeB(false);    // B DIMTIX
    w.writeB(false);    // B DIMSOXD
    writeColorCmc(w, 0);  // CMC DIMCLRD
    writeColorCmc(w, 0);  // CMC DIMCLRE
    writeColorCmc(w, 0);  // CMC DIMCLRT
    w.writeBS(0);       // BS DIMADEC
    w.writeBS(4);       // BS DIMDEC
    w.writeBS(4);       // BS DIMTDEC
    w.writeBS(2);       // BS DIMALTU
    w.writeBS(2);       // BS DIMALTTD
    w.writeBS(0);       // BS DIMAUNIT
    w.writeBS(0);       // BS DIMFRAC
    w.writeBS(2);       // BS DIMLUNIT
    w.writeBS('.');     // BS DIMDSEP
    w.writeBS(0);       // BS DIMTMOVE
    w.writeBS(0);       // BS DIMJUST
    w.writeB(false);    // B DIMSD1
    w.writeB(false);    // B DIMSD2
    w.writeBS(1);       // BS DIMTOLJ
    w.writeBS(0);       // BS DIMTZIN
    w.writeBS(0);       // BS DIMALTZ
    w.writeBS(0);       // BS DIMALTTZ
    w.writeB(false);    // B DIMUPT
    w.writeBS(3);       // BS DIMATFIT
    w.writeH(kHardPointer, textStyle);  // H DIMTXSTY
    w.writeH(kHardPointer, 0);          // H DIMLDRBLK
    w.writeH(kHardPointer, 0);          // H DIMBLK
    w.writeH(kHardPointer, 0);          // H DIMBLK1
    w.writeH(kHardPointer, 0);          // H DIMBLK2
    w.writeBS(uint16_t(-2));            // BS DIMLWD
    w.writeBS(uint16_t(-2));            // BS DIMLWE
}

struct Extents {
    Vec2 lo{1e20, 1e20};
    Vec2 hi{-1e20, -1e20};
    void add(double x, double y)
    {
        lo.x = std::min(lo.x, x);
        lo.y = std::min(lo.y, y);
        hi.x = std::max(hi.x, x);
        hi.y = std::max(hi.y, y);
    }
};

// Extents of the model-space entities, as zoom-extents frames them:
// polyline vertices, circles, arcs through their extreme points, texts
// by their anchor points widened by the text height. An empty drawing
// keeps AutoCAD's "no extents" values (EXTMIN 1e20, EXTMAX -1e20).
Extents modelSpaceExtents(const CadDocument& doc)
{
    constexpr double kTwoPi = 6.283185307179586;
    Extents e;
    for (const Entity& en : doc.modelSpace().entities) {
        switch (en.kind) {
        case EntityKind::Polyline2D:
            for (const Vec2& v : en.vertices)
                e.add(v.x, v.y);
            break;
        case EntityKind::Circle:
            e.add(en.center.x - en.radius, en.center.y - en.radius);
            e.add(en.center.x + en.radius, en.center.y + en.radius);
            break;
        case EntityKind::Arc: {
            const double a0 = std::fmod(std::fmod(en.startAngle, kTwoPi) + kTwoPi, kTwoPi);
            double sweep = std::fmod(std::fmod(en.endAngle - en.startAngle, kTwoPi) + kTwoPi, kTwoPi);
            if (sweep == 0.0)
                sweep = kTwoPi;
            auto at = [&](double a) {
                e.add(en.center.x + en.radius * std::cos(a), en.center.y + en.radius * std::sin(a));
            };
            at(a0);
            at(a0 + sweep);
            for (int q = 0; q < 8; ++q) {  // axis directions inside the sweep
                const double a = q * (kTwoPi / 4);
                if (a > a0 && a < a0 + sweep)
                    at(a);
            }
            break;
        }
        case EntityKind::Text:
            for (const Vec3& p : {en.insert, en.alignment}) {
                e.add(p.x - en.height, p.y - en.height);
                e.add(p.x + en.height, p.y + en.height);
            }
            break;
        }
    }
    return e;
}

// A random (version 4) GUID in the header's text form {XXXXXXXX-...}.
std::string newGuid()
{
    // One generator per thread: documents may be written on several
    // threads at once.
    thread_local std::mt19937_64 rng(std::random_device{}() ^
                                     uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
    uint8_t b[16];
    for (int i = 0; i < 16; i += 8) {
        const uint64_t r = rng();
        for (int k = 0; k < 8; ++k)
            b[i + k] = uint8_t(r >> (8 * k));
    }
    b[6] = uint8_t((b[6] & 0x0F) | 0x40);
    b[8] = uint8_t((b[8] & 0x3F) | 0x80);
    static const char* hex = "0123456789ABCDEF";
    std::string s = "{";
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            s += '-';
        s += hex[b[i] >> 4];
        s += hex[b[i] & 15];
    }
    return s + "}";
}

}  // namespace

Bytes writeHeaderSection(const CadDocument& doc, const SectionContext& ctx)
{
    const HeaderValues& h = doc.header;
    const std::string& cp = h.codePage;
    if (codePageIndex(cp) < 0)
        throw std::invalid_argument("unknown code page " + cp);
    auto tv = [&](BitWriter& w, const std::string& s) { w.writeTV(toCodePage(s, cp)); };

    BitWriter w;
    w.writeBD(412148564080.0);  // BD: unknown, 412148564080.0
    w.writeBD(1.0);             // BD: unknown, 1.0
    w.writeBD(1.0);             // BD: unknown, 1.0
    w.writeBD(1.0);             // BD: unknown, 1.0
    tv(w, "m");                 // TV: unknown text, "m"
    tv(w, "");                  // TV: unknown text
    tv(w, "");                  // TV: unknown text
    tv(w, "");                  // TV: unknown text
    w.writeBL(0);               // BL: unknown (default 24; AutoCAD writes 0)
    w.writeBL(0);               // BL: unknown, 0
    w.writeB(true);             // B DIMASO
    w.writeB(true);             // B DIMSHO (AutoCAD's default 1)
    w.writeB(false);            // B PLINEGEN
    w.writeB(false);            // B ORTHOMODE
    w.writeB(true);             // B REGENMODE
    w.writeB(true);             // B FILLMODE
    w.writeB(false);            // B QTEXTMODE
    w.writeB(true);             // B PSLTSCALE
    w.writeB(false);            // B LIMCHECK
    w.writeB(false);            // B undocumented (R2004+)
    w.writeB(true);             // B USRTIMER
    w.writeB(false);            // B SKPOLY
    w.writeB(h.angDir != 0);    // B ANGDIR
    w.writeB(false);            // B SPLFRAME
    w.writeB(false);            // B MIRRTEXT
    w.writeB(h.worldView);      // B WORLDVIEW
    w.writeB(h.showModelSpace); // B TILEMODE
    w.writeB(false);            // B PLIMCHECK
    w.writeB(true);             // B VISRETAIN
    w.writeB(false);            // B DISPSILH
    w.writeB(false);            // B PELLIPSE
    w.writeBS(1);               // BS PROXYGRAPHICS
    w.writeBS(3020);            // BS TREEDEPTH
    w.writeBS(2);               // BS LUNITS
    w.writeBS(4);               // BS LUPREC
    w.writeBS(0);               // BS AUNITS
    w.writeBS(0);               // BS AUPREC
    w.writeBS(1);               // BS ATTMODE
    w.writeBS(0);               // BS PDMODE
    w.writeBL(0);               // BL: unknown (R2004+)
    w.writeBL(0);               // BL: unknown
    w.writeBL(0);               // BL: unknown
    for (int i = 0; i < 5; ++i)
        w.writeBS(0);           // BS USERI1..USERI5
    w.writeBS(8);               // BS SPLINESEGS
    w.writeBS(6);               // BS SURFU
    w.writeBS(6);               // BS SURFV
    w.writeBS(6);               // BS SURFTYPE
    w.writeBS(6);               // BS SURFTAB1
    w.writeBS(6);               // BS SURFTAB2
    w.writeBS(6);               // BS SPLINETYPE
    w.writeBS(3);               // BS SHADEDGE
    w.writeBS(70);              // BS SHADEDIF
    w.writeBS(0);               // BS UNITMODE
    w.writeBS(64);              // BS MAXACTVP
    w.writeBS(4);               // BS ISOLINES
    w.writeBS(0);               // BS CMLJUST
    w.writeBS(50);              // BS TEXTQLTY
    w.writeBD(h.ltScale);       // BD LTSCALE
    w.writeBD(h.textSize);      // BD TEXTSIZE
    w.writeBD(1.0);             // BD TRACEWID (metric)
    w.writeBD(1.0);             // BD SKETCHINC (metric)
    w.writeBD(0.0);             // BD FILLETRAD
    w.writeBD(0.0);             // BD THICKNESS
    w.writeBD(h.angBase);       // BD ANGBASE
    w.writeBD(0.0);             // BD PDSIZE
    w.writeBD(0.0);             // BD PLINEWID
    for (int i = 0; i < 5; ++i)
        w.writeBD(0.0);         // BD USERR1..USERR5
    w.writeBD(0.0);             // BD CHAMFERA
    w.writeBD(0.0);             // BD CHAMFERB
    w.writeBD(0.0);             // BD CHAMFERC
    w.writeBD(0.0);             // BD CHAMFERD
    w.writeBD(0.5);             // BD FACETRES
    w.writeBD(1.0);             // BD CMLSCALE
    w.writeBD(1.0);             // BD CELTSCALE
    tv(w, ".");                 // TV MENUNAME
    writeTime(w, ctx.created);  // BL,BL TDCREATE
    writeTime(w, ctx.updated);  // BL,BL TDUPDATE
    w.writeBL(0);               // BL: unknown (R2004+)
    w.writeBL(0);               // BL: unknown
    w.writeBL(0);               // BL: unknown
    writeTime(w, {});           // BL,BL TDINDWG
    writeTime(w, {});           // BL,BL TDUSRTIMER
    writeColorCmc(w, 256);      // CMC CECOLOR (by layer)
    w.writeH(0, doc.handleSeed());            // H HANDSEED
    w.writeH(kHardPointer, doc.currentLayer); // H CLAYER
    w.writeH(kHardPointer, doc.currentStyle); // H TEXTSTYLE
    w.writeH(kHardPointer, doc.ltypeByLayer); // H CELTYPE
    w.writeH(kHardPointer, doc.currentDimStyle);    // H DIMSTYLE
    w.writeH(kHardPointer, doc.currentMLineStyle);  // H CMLSTYLE
    w.writeBD(0.0);             // BD PSVPSCALE
    // Paper space values.
    w.write3BD(0, 0, 0);        // 3BD PINSBASE
    w.write3BD(0, 0, 0);        // 3BD PEXTMIN (empty paper space: 0, as AutoCAD)
    w.write3BD(0, 0, 0);        // 3BD PEXTMAX
    w.write2RD(0.0, 0.0);       // 2RD PLIMMIN
    w.write2RD(420.0, 297.0);   // 2RD PLIMMAX (metric, as the layout's limits)
    w.writeBD(0.0);             // BD PELEVATION
    w.write3BD(0, 0, 0);        // 3BD PUCSORG
    w.write3BD(1, 0, 0);        // 3BD PUCSXDIR
    w.write3BD(0, 1, 0);        // 3BD PUCSYDIR
    w.writeH(kHardPointer, 0);  // H PUCSNAME
    w.writeH(kHardPointer, 0);  // H PUCSORTHOREF
    w.writeBS(0);               // BS PUCSORTHOVIEW
    w.writeH(kHardPointer, 0);  // H PUCSBASE
    for (int i = 0; i < 6; ++i)
        w.write3BD(0, 0, 0);    // 3BD PUCSORGTOP .. PUCSORGBACK
    // Model space values.
    w.write3BD(h.insBase.x, h.insBase.y, h.insBase.z);  // 3BD INSBASE
    const Extents ext = modelSpaceExtents(doc);
    w.write3BD(ext.lo.x, ext.lo.y, 0.0);  // 3BD EXTMIN (the drawing's extents)
    w.write3BD(ext.hi.x, ext.hi.y, 0.0);  // 3BD EXTMAX
    w.write2RD(0.0, 0.0);       // 2RD LIMMIN
    w.write2RD(420.0, 297.0);   // 2RD LIMMAX
    w.writeBD(0.0);             // BD ELEVATION
    w.write3BD(h.ucsOrigin.x, h.ucsOrigin.y, h.ucsOrigin.z);  // 3BD UCSORG
    w.write3BD(h.ucsXAxis.x, h.ucsXAxis.y, h.ucsXAxis.z);     // 3BD UCSXDIR
    w.write3BD(h.ucsYAxis.x, h.ucsYAxis.y, h.ucsYAxis.z);     // 3BD UCSYDIR
    w.writeH(kHardPointer, 0);  // H UCSNAME
    w.writeH(kHardPointer, 0);  // H UCSORTHOREF
    w.writeBS(0);               // BS UCSORTHOVIEW
    w.writeH(kHardPointer, 0);  // H UCSBASE
    for (int i = 0; i < 6; ++i)
        w.write3BD(0, 0, 0);    // 3BD UCSORGTOP .. UCSORGBACK
    tv(w, "");                  // TV DIMPOST
    tv(w, "");                  // TV DIMAPOST
    writeHeaderDimVars(w, doc.styles.front().handle);
    w.writeH(kHardOwner, doc.blockControl);     // H BLOCK CONTROL OBJECT
    w.writeH(kHardOwner, doc.layerControl);     // H LAYER CONTROL OBJECT
    w.writeH(kHardOwner, doc.styleControl);     // H STYLE CONTROL OBJECT
    w.writeH(kHardOwner, doc.ltypeControl);     // H LINETYPE CONTROL OBJECT
    w.writeH(kHardOwner, doc.viewControl);      // H VIEW CONTROL OBJECT
    w.writeH(kHardOwner, doc.ucsControl);       // H UCS CONTROL OBJECT
    w.writeH(kHardOwner, doc.vportControl);     // H VPORT CONTROL OBJECT
    w.writeH(kHardOwner, doc.appidControl);     // H APPID CONTROL OBJECT
    w.writeH(kHardOwner, doc.dimstyleControl);  // H DIMSTYLE CONTROL OBJECT
    w.writeH(kHardPointer, doc.namedDictionaryEntry("ACAD_GROUP"));       // H DICTIONARY (ACAD_GROUP)
    w.writeH(kHardPointer, doc.namedDictionaryEntry("ACAD_MLINESTYLE"));  // H DICTIONARY (ACAD_MLINESTYLE)
    w.writeH(kHardPointer, doc.namedObjects()->handle);                   // H DICTIONARY (NAMED OBJECTS)
    w.writeBS(1);               // BS TSTACKALIGN
    w.writeBS(70);              // BS TSTACKSIZE
    tv(w, "");                  // TV HYPERLINKBASE
    tv(w, "");                  // TV STYLESHEET
    w.writeH(kHardPointer, doc.namedDictionaryEntry("ACAD_LAYOUT"));        // H DICTIONARY (LAYOUTS)
    w.writeH(kHardPointer, doc.namedDictionaryEntry("ACAD_PLOTSETTINGS"));  // H DICTIONARY (PLOTSETTINGS)
    w.writeH(kHardPointer, doc.namedDictionaryEntry("ACAD_PLOTSTYLENAME")); // H DICTIONARY (PLOTSTYLES)
    w.writeH(kHardPointer, doc.namedDictionaryEntry("ACAD_MATERIAL"));      // H DICTIONARY (MATERIALS, R2004+)
    w.writeH(kHardPointer, doc.namedDictionaryEntry("ACAD_COLOR"));         // H DICTIONARY (COLORS, R2004+)
    // BL flags: bits 0-4 CELWEIGHT index (29 = by layer), 0x200 set =
    // LWDISPLAY off, 0x400 clear = XEDIT on, 0x800 EXTNAMES,
    // 0x2000 PSTYLEMODE colour-dependent plot styles.
    w.writeBL(29u | 0x200u | 0x800u | 0x2000u);
    w.writeBS(uint16_t(h.insUnits));  // BS INSUNITS
    w.writeBS(0);               // BS CEPSNTYPE (by layer)
    tv(w, newGuid());           // TV FINGERPRINTGUID (new drawing: fresh)
    tv(w, newGuid());           // TV VERSIONGUID (changes on every save)
    w.writeRC(127);             // RC SORTENTS
    w.writeRC(0);               // RC INDEXCTL
    w.writeRC(1);               // RC HIDETEXT
    w.writeRC(0);               // RC XCLIPFRAME
    w.writeRC(2);               // RC DIMASSOC
    w.writeRC(0);               // RC HALOGAP
    w.writeBS(257);             // BS OBSCOLOR
    w.writeBS(257);             // BS INTERSECTIONCOLOR
    w.writeRC(0);               // RC OBSLTYPE
    w.writeRC(0);               // RC INTERSECTIONDISPLAY
    tv(w, "");                  // TV PROJECTNAME
    w.writeH(kHardPointer, doc.blocks[1].handle);    // H BLOCK_RECORD (*PAPER_SPACE)
    w.writeH(kHardPointer, doc.blocks[0].handle);    // H BLOCK_RECORD (*MODEL_SPACE)
    w.writeH(kHardPointer, doc.ltypeByLayer);        // H LTYPE (BYLAYER)
    w.writeH(kHardPointer, doc.ltypeByBlock);        // H LTYPE (BYBLOCK)
    w.writeH(kHardPointer, doc.ltypeContinuous);     // H LTYPE (CONTINUOUS)
    w.writeBS(4);               // BS: unknown, 4
    w.writeBS(0x565);           // BS: unknown, 0x565
    w.writeBS(0);               // BS: unknown, 0
    w.writeBS(0);               // BS: unknown, 0

    // Frame: sentinel, RL size of the data, data, RS CRC over size and
    // data (seed 0xC0C1), end sentinel.
    const Bytes& data = w.bytes();
    BitWriter sized;
    sized.writeRL(uint32_t(data.size()));
    sized.writeBytes(data);
    const uint16_t crc = crc16(0xC0C1, sized.bytes());
    BitWriter out;
    out.writeBytes(kHeaderSentinelStart, 16);
    out.writeBytes(sized.bytes());
    out.writeRS(crc);
    out.writeBytes(kHeaderSentinelEnd, 16);
    return out.takeBytes();
}

}  // namespace vantrel
