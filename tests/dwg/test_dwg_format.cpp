// Known-vector tests of the DWG encodings and the R2004 container.
// Expected values come from the format description's definitions and
// from AutoCAD-made reference files (../shared/reference, skipped when
// absent), never from the writer itself.
#include "vantrel/bitwriter.h"
#include "vantrel/caddoc.h"
#include "vantrel/dwg_writer.h"
#include "vantrel/lz77.h"
#include "vantrel/r2004_container.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

using namespace vantrel;

namespace {

QByteArray hex(const Bytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), int(b.size())).toHex(); }

uint32_t rl(const Bytes& b, size_t at)
{
    return uint32_t(b.at(at)) | uint32_t(b.at(at + 1)) << 8 | uint32_t(b.at(at + 2)) << 16 |
           uint32_t(b.at(at + 3)) << 24;
}

Bytes readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray a = f.readAll();
    return Bytes(a.begin(), a.end());
}

QString referenceFile(const char* name)
{
    return QStringLiteral(KARVEN_SOURCE_DIR "/../shared/reference/") + QLatin1String(name);
}

// Decrypted 0x6C-byte header block of an R2004 file.
Bytes fileHeaderBlock(const Bytes& file)
{
    Bytes h(file.begin() + 0x80, file.begin() + 0xEC);
    const Bytes x = headerXorStream(0x6C);
    for (size_t i = 0; i < h.size(); ++i)
        h[i] ^= x[i];
    return h;
}

struct Page { uint32_t addr, size; };

// Pages in file order from the page map.
std::vector<Page> pages(const Bytes& file)
{
    const Bytes h = fileHeaderBlock(file);
    const size_t pm = size_t(rl(h, 0x54)) + 0x100;
    const Bytes map = lz77Decompress(file.data() + pm + 20, rl(file, pm + 8), rl(file, pm + 4));
    std::vector<Page> out;
    uint32_t addr = 0x100;
    for (size_t i = 0; i + 8 <= map.size(); i += 8) {
        out.push_back({addr, rl(map, i + 4)});
        addr += rl(map, i + 4);
    }
    return out;
}

// Decrypted 32-byte header of the data page at `addr`.
Bytes dataPageHeader(const Bytes& file, uint32_t addr)
{
    Bytes h(file.begin() + addr, file.begin() + addr + 32);
    const uint32_t mask = dataPageMask(addr);
    for (size_t k = 0; k < 32; k += 4) {
        const uint32_t v = rl(h, k) ^ mask;
        for (int i = 0; i < 4; ++i)
            h[k + size_t(i)] = uint8_t(v >> (8 * i));
    }
    return h;
}

}  // namespace

class TestDwgFormat : public QObject {
    Q_OBJECT
private slots:
    void bitCodes();
    void modularAndHandles();
    void strings();
    void crcVectors();
    void lz77Framing();
    void xorStreamAndReferenceHeader();
    void referencePagesAndCompression();
    void ownFileContainer();
    void ownObjectStream();
    void multiPageObjects();
    void atomicSave();
};

void TestDwgFormat::bitCodes()
{
    // BS (§2.2): 10 = 0, 11 = 256, 01 + RC, 00 + RS.
    {
        BitWriter w;
        w.writeBS(0);
        w.writeBS(256);
        w.writeBS(5);
        w.writeBS(1000);                          // 0x03E8
        // 10 11 01 00000101 00 11101000 00000011 (+ pad)
        QCOMPARE(hex(w.bytes()), QByteArray("b414e803"));
        QCOMPARE(w.bitPosition(), size_t(2 + 2 + 10 + 18));
    }
    // BL: 10 = 0, 01 + RC, 00 + RL.
    {
        BitWriter w;
        w.writeBL(0);
        w.writeBL(0x7F);
        w.writeBL(0x12345678);
        // 10 01 01111111 00 01111000 01010110 00110100 00010010
        QCOMPARE(hex(w.bytes()), QByteArray("97f1e158d048"));
    }
    // BD: 01 = 1.0, 10 = 0.0, 00 + RD; -0.0 is not 0.0.
    {
        BitWriter w;
        w.writeBD(1.0);
        w.writeBD(0.0);
        w.writeBD(2.0);                           // 0x4000000000000000
        QCOMPARE(hex(w.bytes()), QByteArray("600000000000000100"));
        BitWriter n;
        n.writeBD(-0.0);
        QCOMPARE(n.bitPosition(), size_t(66));
    }
    // DD: 00 = default, 01 + 4 low bytes, 10 + bytes 4-5 + 4 low bytes, 11 + RD.
    {
        BitWriter w;
        w.writeDD(5.0, 5.0);
        QCOMPARE(w.bitPosition(), size_t(2));
        BitWriter a;
        a.writeDD(1.0000000000000002, 1.0);      // differs in byte 0 only
        QCOMPARE(a.bitPosition(), size_t(2 + 32));
        BitWriter b;
        b.writeDD(100.0, 1.0);                    // differs in bytes 6-7
        QCOMPARE(b.bitPosition(), size_t(2 + 64));
    }
    // BE, BT: one set bit for the defaults (0,0,1) and 0.0.
    {
        BitWriter w;
        w.writeBE(0, 0, 1);
        w.writeBT(0.0);
        QCOMPARE(w.bitPosition(), size_t(2));
        QCOMPARE(hex(w.bytes()), QByteArray("c0"));
        BitWriter e;
        e.writeBE(0, 0, -1);                      // 0, BD 0, BD 0, BD -1
        QCOMPARE(e.bitPosition(), size_t(1 + 2 + 2 + 66));
    }
    // BB, 3B and BLL.
    {
        BitWriter w;
        w.writeBB(2);
        w.write3B(6);
        w.writeBLL(0x0102);                       // 010 + 02 01
        // 10 110 010 00000010 00000001
        QCOMPARE(hex(w.bytes()), QByteArray("b20201"));
    }
    // RL patched at a bit offset keeps the surrounding bits.
    {
        BitWriter w;
        w.writeB(true);
        const size_t at = w.bitPosition();
        w.writeRL(0);
        w.writeB(true);
        w.patchRL(at, 0x04030201);
        BitWriter ref;
        ref.writeB(true);
        ref.writeRL(0x04030201);
        ref.writeB(true);
        QCOMPARE(hex(w.bytes()), hex(ref.bytes()));
    }
}

void TestDwgFormat::modularAndHandles()
{
    // MC (§2.6): 4610 = 0x1202 → 10000010 00100100.
    BitWriter mc;
    mc.writeMCu(4610);
    QCOMPARE(hex(mc.bytes()), QByteArray("8224"));
    // Signed MC: 112 needs a second byte because 0x40 is the sign.
    BitWriter s;
    s.writeMCs(112);
    s.writeMCs(-1);
    s.writeMCs(-0x3F);
    s.writeMCs(0);
    QCOMPARE(hex(s.bytes()), QByteArray("f000417f00"));
    // MS (§2.7): 15 bits per short, 0x8000 continues.
    BitWriter ms;
    ms.writeMS(0x7FFF);
    ms.writeMS(0x8000);
    QCOMPARE(hex(ms.bytes()), QByteArray("ff7f00800100"));
    // H (§2.13): code and byte count, then the handle big-endian.
    BitWriter h;
    h.writeH(kHardPointer, 0);
    h.writeH(kSoftPointer, 0x1F);
    h.writeH(kHardOwner, 0x1234);
    h.writeH(kOwnHandle, 0x10000);
    QCOMPARE(hex(h.bytes()), QByteArray("50411f32123403010000"));
}

void TestDwgFormat::strings()
{
    // R2004 TV: BS length counting the NUL, bytes, NUL; empty is BS 0.
    BitWriter w;
    w.writeTV("ab");
    w.writeTV("");
    // 01 00000011 01100001 01100010 00000000 10
    QCOMPARE(hex(w.bytes()), QByteArray("40d8588020"));
    QCOMPARE(w.bitPosition(), size_t(10 + 24 + 2));
    // CMC (R2004+): BS index, BL 0xC3000000|index, RC 0; by layer 0xC0.
    BitWriter c;
    c.writeCMC(7);
    BitWriter ref;
    ref.writeBS(7);
    ref.writeBL(0xC3000007u);
    ref.writeRC(0);
    QCOMPARE(hex(c.bytes()), hex(ref.bytes()));
    BitWriter bl;
    bl.writeCMC(256);
    BitWriter blRef;
    blRef.writeBS(256);
    blRef.writeBL(0xC0000000u);
    blRef.writeRC(0);
    QCOMPARE(hex(bl.bytes()), hex(blRef.bytes()));
}

void TestDwgFormat::crcVectors()
{
    const char* check = "123456789";
    const auto* p = reinterpret_cast<const uint8_t*>(check);
    // Catalogue check values: CRC-16/ARC and CRC-32 (zlib).
    QCOMPARE(crc16(0, p, 9), uint16_t(0xBB3D));
    QCOMPARE(crc32(0, p, 9), 0xCBF43926u);
    // AutoCAD's object map ends with the page 00 02 and its CRC 01 D0.
    const uint8_t last[2] = {0x00, 0x02};
    QCOMPARE(crc16(0xC0C1, last, 2), uint16_t(0x01D0));
}

void TestDwgFormat::lz77Framing()
{
    // Run header of an n-byte literal; the run must decode back and end
    // with the 0x11 opcode.
    auto head = [](size_t n) -> QByteArray {
        Bytes data(n);
        for (size_t i = 0; i < n; ++i)
            data[i] = uint8_t(i * 7);
        const Bytes c = lz77Literal(data);
        if (c.size() != lz77LiteralSize(n) || c.back() != 0x11 ||
            lz77Decompress(c.data(), c.size(), 0x7400) != data)
            return "bad run";
        return hex(Bytes(c.begin(), c.end() - long(n) - 1));
    };
    QCOMPARE(head(4), QByteArray("01"));
    QCOMPARE(head(18), QByteArray("0f"));
    QCOMPARE(head(19), QByteArray("0001"));
    QCOMPARE(head(273), QByteArray("00ff"));
    QCOMPARE(head(274), QByteArray("000001"));
    // A full page: 0x00, then 116 more 0x00 (255 each), then 0x62.
    QCOMPARE(head(0x7400), QByteArray("00") + QByteArray("00").repeated(116) + "62");
    // A page: the data, then zeros up to the page size, cheaply.
    for (size_t n : {size_t(0), size_t(1), size_t(5), size_t(100), size_t(0x7400 - 40), size_t(0x7400 - 2)}) {
        Bytes data(n);
        for (size_t i = 0; i < n; ++i)
            data[i] = uint8_t(1 + i % 250);
        const Bytes c = lz77Page(data, 0x7400);
        const Bytes d = lz77Decompress(c.data(), c.size(), 0x7400);
        QCOMPARE(d.size(), size_t(0x7400));
        QVERIFY(std::equal(data.begin(), data.end(), d.begin()));
        QVERIFY(std::all_of(d.begin() + long(n), d.end(), [](uint8_t b) { return b == 0; }));
        if (n < 0x7400 - 40)
            QVERIFY(c.size() < n + 160);  // long lengths cost one byte per 255
    }
    // Short input is padded to the shortest run; empty input is 0x11.
    QCOMPARE(hex(lz77Literal(Bytes{1, 2})), QByteArray("010102000011"));
    QCOMPARE(hex(lz77Literal(Bytes{})), QByteArray("11"));
    // A back reference (opcode 0x40+) decodes as a copy.
    // Opcode 0x50: copy ((0x50 >> 4) - 1) = 4 bytes from 0 + 1 back.
    const uint8_t ref[] = {0x01, 'a', 'b', 'c', 'd', 0x50, 0x00, 0x11};
    const Bytes d = lz77Decompress(ref, sizeof ref, 64);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(d.data()), int(d.size())), QByteArray("abcddddd"));
    // Malformed: truncated run, reference before the start.
    const uint8_t bad1[] = {0x05, 'a'};
    QVERIFY_EXCEPTION_THROWN(lz77Decompress(bad1, sizeof bad1, 64), std::runtime_error);
    const uint8_t bad2[] = {0x01, 'a', 'b', 'c', 'd', 0x50, 0x20, 0x11};
    QVERIFY_EXCEPTION_THROWN(lz77Decompress(bad2, sizeof bad2, 64), std::runtime_error);
}

void TestDwgFormat::xorStreamAndReferenceHeader()
{
    // The LCG stream (seed 1): AutoCAD pads pages with its first bytes.
    QCOMPARE(hex(headerXorStream(8)), QByteArray("2923be84e16cd6ae"));
    const Bytes ref = readFile(referenceFile("autocad-AC1018-line.dwg"));
    if (ref.empty())
        QSKIP("reference drawings not present");
    Bytes h = fileHeaderBlock(ref);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(h.data())), QByteArray("AcFssFcAJMB"));
    const uint32_t crc = rl(h, 0x68);
    std::memset(&h[0x68], 0, 4);
    QCOMPARE(crc32(0, h.data(), h.size()), crc);
    // Bytes 0xEC-0xFF of the plain header continue the same stream.
    const Bytes stream = headerXorStream(0x100);
    QCOMPARE(hex(Bytes(ref.begin() + 0xEC, ref.begin() + 0x100)),
             hex(Bytes(stream.begin() + 0xEC, stream.end())));
}

void TestDwgFormat::referencePagesAndCompression()
{
    const Bytes ref = readFile(referenceFile("autocad-AC1018-line.dwg"));
    if (ref.empty())
        QSKIP("reference drawings not present");
    int dataPages = 0;
    bool sawHeader = false;
    for (const Page& p : pages(ref)) {
        const Bytes h = dataPageHeader(ref, p.addr);
        if (rl(h, 0) != 0x4163043B)
            continue;
        ++dataPages;
        const uint32_t n = rl(h, 8);
        // Data checksum: seed 0 over the stored bytes; header checksum:
        // seeded with it, over the header with its own field zeroed.
        QCOMPARE(pageChecksum(0, ref.data() + p.addr + 32, n), rl(h, 0x1C));
        Bytes z = h;
        std::memset(&z[0x18], 0, 4);
        QCOMPARE(pageChecksum(rl(h, 0x1C), z.data(), 32), rl(h, 0x18));
        if (rl(h, 4) == 1) {  // AcDb:Header, compressed by AutoCAD
            const Bytes d = lz77Decompress(ref.data() + p.addr + 32, n, 0x7400);
            QCOMPARE(hex(Bytes(d.begin(), d.begin() + 4)), QByteArray("cf7b1f23"));
            // AutoCAD's compressed pages always expand to a whole page.
            QCOMPARE(d.size(), size_t(0x7400));
            const uint32_t size = rl(d, 16);
            QCOMPARE(hex(Bytes(d.begin() + 22 + size, d.begin() + 26 + size)), QByteArray("3084e0dc"));
            // Its CRC: seed 0xC0C1 over the RL size and the data.
            const uint16_t crc = uint16_t(d[20 + size] | d[21 + size] << 8);
            QCOMPARE(crc16(0xC0C1, d.data() + 16, size + 4), crc);
            sawHeader = true;
        }
    }
    QCOMPARE(dataPages, 16);
    QVERIFY(sawHeader);
}

void TestDwgFormat::ownFileContainer()
{
    CadDocument doc;
    QVERIFY(initCadDocument(doc));
    addCircle(doc, {1, 2}, 3, 0, 7, 1.0);
    const Bytes f = writeDwg(doc, 1700000000);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(f.data()), 6), QByteArray("AC1018"));
    QCOMPARE(uint16_t(f[0x13] | f[0x14] << 8), uint16_t(39));  // ANSI_936
    Bytes h = fileHeaderBlock(f);
    const uint32_t crc = rl(h, 0x68);
    std::memset(&h[0x68], 0, 4);
    QCOMPARE(crc32(0, h.data(), h.size()), crc);
    // The second header copy at the recorded address equals the first.
    const size_t second = size_t(rl(h, 0x34));
    QCOMPARE(second + 0x6C, f.size());
    QVERIFY(std::equal(f.begin() + 0x80, f.begin() + 0xEC, f.begin() + long(second)));
    const std::vector<Page> ps = pages(f);
    QCOMPARE(uint32_t(ps.size()), rl(h, 0x40));
    // System pages: checksum over the header (field zeroed), continued
    // over the data.
    for (uint32_t type : {0x4163003Bu, 0x41630E3Bu}) {
        bool found = false;
        for (const Page& p : ps) {
            if (rl(f, p.addr) != type)
                continue;
            found = true;
            Bytes hdr(f.begin() + p.addr, f.begin() + p.addr + 20);
            const uint32_t sum = rl(hdr, 16);
            std::memset(&hdr[16], 0, 4);
            QCOMPARE(pageChecksum(pageChecksum(0, hdr.data(), 20), f.data() + p.addr + 20, rl(f, p.addr + 8)), sum);
        }
        QVERIFY(found);
    }
    int dataPages = 0;
    for (const Page& p : ps) {
        const Bytes d = dataPageHeader(f, p.addr);
        if (rl(d, 0) != 0x4163043B)
            continue;
        ++dataPages;
        QCOMPARE(rl(d, 0x0C), p.size);
        QCOMPARE(p.size % 32, 0u);
        QCOMPARE(pageChecksum(0, f.data() + p.addr + 32, rl(d, 8)), rl(d, 0x1C));
        Bytes z = d;
        std::memset(&z[0x18], 0, 4);
        QCOMPARE(pageChecksum(rl(d, 0x1C), z.data(), 32), rl(d, 0x18));
    }
    QCOMPARE(dataPages, 12);  // 13 sections, AcDb:Template without a page
}

void TestDwgFormat::ownObjectStream()
{
    // Every object the object map points at has a valid MS size and CRC,
    // and the map covers every handle below the seed that has an object.
    CadDocument doc;
    QVERIFY(initCadDocument(doc));
    addPolyline(doc, {{0, 0}, {1, 1}, {2, 0}}, 6, 150, 0.5);
    addText(doc, {0, 0}, "中文", 2.5, 1, 2, 0.5);
    addArc(doc, {0, 0}, 5, 0, 1, 1, 256, 2);
    const Bytes f = writeDwg(doc, 1700000000);

    // Reassemble sections by number from the data pages.
    std::map<uint32_t, Bytes> sections;
    for (const Page& p : pages(f)) {
        const Bytes d = dataPageHeader(f, p.addr);
        if (rl(d, 0) != 0x4163043B)
            continue;
        const uint32_t id = rl(d, 4);
        Bytes chunk = (id >= 9) ? Bytes(f.begin() + p.addr + 32, f.begin() + p.addr + 32 + rl(d, 8))
                                : lz77Decompress(f.data() + p.addr + 32, rl(d, 8), 0x7400);
        Bytes& s = sections[id];
        s.resize(size_t(rl(d, 0x10)));
        s.insert(s.end(), chunk.begin(), chunk.end());
    }
    const Bytes& objects = sections.at(7);
    const Bytes& map = sections.at(4);
    QCOMPARE(rl(objects, 0), 0x0DCAu);
    size_t pos = 0, count = 0;
    uint64_t handle = 0;
    int64_t offset = 0;
    for (;;) {
        const size_t size = size_t(map.at(pos) << 8 | map.at(pos + 1));
        const uint16_t crc = uint16_t(map.at(pos + size) << 8 | map.at(pos + size + 1));
        QCOMPARE(crc16(0xC0C1, map.data() + pos, size), crc);
        if (size == 2)
            break;
        size_t q = pos + 2;
        handle = 0;
        offset = 0;
        while (q < pos + size) {
            uint64_t dh = 0;
            for (int shift = 0;; shift += 7) {
                const uint8_t b = map.at(q++);
                dh |= uint64_t(b & 0x7F) << shift;
                if (!(b & 0x80))
                    break;
            }
            int64_t dl = 0;
            for (int shift = 0;; shift += 7) {
                const uint8_t b = map.at(q++);
                if (b & 0x80) {
                    dl |= int64_t(b & 0x7F) << shift;
                } else {
                    dl |= int64_t(b & 0x3F) << shift;
                    if (b & 0x40)
                        dl = -dl;
                    break;
                }
            }
            handle += dh;
            offset += dl;
            // MS size, data, RS CRC over both.
            size_t o = size_t(offset), len = 0;
            int shift = 0;
            for (;;) {
                const uint16_t s = uint16_t(objects.at(o) | objects.at(o + 1) << 8);
                o += 2;
                len |= size_t(s & 0x7FFF) << shift;
                shift += 15;
                if (!(s & 0x8000))
                    break;
            }
            const uint16_t objCrc = uint16_t(objects.at(o + len) | objects.at(o + len + 1) << 8);
            QCOMPARE(crc16(0xC0C1, objects.data() + offset, o + len - size_t(offset)), objCrc);
            ++count;
        }
        pos += size + 2;
    }
    QCOMPARE(handle + 1, uint64_t(doc.handleSeed()));  // last object has the highest handle
    QVERIFY(count > 40);
}

void TestDwgFormat::multiPageObjects()
{
    CadDocument doc;
    QVERIFY(initCadDocument(doc));
    for (int i = 0; i < 400; ++i)
        addText(doc, {double(i), 0}, "节理 J" + std::to_string(i), 2.5, i % 6, i % 4, 0.1 * i);
    const Bytes f = writeDwg(doc, 0);
    std::vector<uint32_t> starts;
    for (const Page& p : pages(f)) {
        const Bytes d = dataPageHeader(f, p.addr);
        if (rl(d, 0) == 0x4163043B && rl(d, 4) == 7)
            starts.push_back(rl(d, 0x10));
    }
    QVERIFY(starts.size() >= 2);
    for (size_t i = 0; i < starts.size(); ++i)
        QCOMPARE(starts[i], uint32_t(i * 0x7400));
}

void TestDwgFormat::atomicSave()
{
    QTemporaryDir dir;
    const std::string target = (dir.path() + "/out.dwg").toStdString();
    QVERIFY(saveFileAtomically(target, Bytes{1, 2, 3}));
    QCOMPARE(readFile(QString::fromStdString(target)), (Bytes{1, 2, 3}));
    QVERIFY(saveFileAtomically(target, Bytes{4}));
    QCOMPARE(readFile(QString::fromStdString(target)), (Bytes{4}));
    // A folder that does not exist: false, nothing left behind.
    QVERIFY(!saveFileAtomically((dir.path() + "/missing/out.dwg").toStdString(), Bytes{1}));
    QVERIFY(!saveFileAtomically("", Bytes{1}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.dwg"});
}

QTEST_APPLESS_MAIN(TestDwgFormat)
#include "test_dwg_format.moc"
