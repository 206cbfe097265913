// libFuzzer harness for Vantrel (built with -DKARVEN_FUZZ=ON, clang).
// The first input byte picks the path:
//   even: the bytes are an interchange XML document for the reader; an
//         accepted document is then written as a DWG;
//   odd:  the bytes drive a random document (entities, strings, numbers,
//         extra layers and line types) straight into the writer.
// Every written file is checked: the file-header CRC and the page map
// must decode, and every data page must decompress.
#include "vantrel/caddoc.h"
#include "vantrel/dwg_writer.h"
#include "vantrel/interchange.h"
#include "vantrel/lz77.h"
#include "vantrel/r2004_container.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

uint32_t rl(const vantrel::Bytes& b, size_t at)
{
    if (at + 4 > b.size())
        std::abort();
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

void checkFile(const vantrel::Bytes& f)
{
    if (f.size() < 0x100 || std::memcmp(f.data(), "AC1018", 6) != 0)
        std::abort();
    const vantrel::Bytes x = vantrel::headerXorStream(0x6C);
    vantrel::Bytes h(f.begin() + 0x80, f.begin() + 0xEC);
    for (size_t i = 0; i < h.size(); ++i)
        h[i] ^= x[i];
    const uint32_t crc = rl(h, 0x68);
    std::memset(&h[0x68], 0, 4);
    if (vantrel::crc32(0, h.data(), h.size()) != crc)
        std::abort();
    // Walk the page map and decompress every data page.
    const size_t pmAddr = size_t(rl(h, 0x54)) + 0x100;
    const uint32_t compSize = rl(f, pmAddr + 8);
    if (pmAddr + 20 + compSize > f.size())
        std::abort();
    const vantrel::Bytes pm = vantrel::lz77Decompress(f.data() + pmAddr + 20, compSize, 1 << 20);
    size_t addr = 0x100;
    for (size_t i = 0; i + 8 <= pm.size(); i += 8) {
        const uint32_t size = rl(pm, i + 4);
        if (addr + 32 > f.size())
            std::abort();
        const uint32_t mask = vantrel::dataPageMask(uint32_t(addr));
        if ((rl(f, addr) ^ mask) == 0x4163043B) {
            const uint32_t n = rl(f, addr + 8) ^ mask;
            if (addr + 32 + n > f.size())
                std::abort();
            vantrel::lz77Decompress(f.data() + addr + 32, n, 0x8000);
        }
        addr += size;
    }
}

std::string text(FuzzedDataProvider& p)
{
    return p.ConsumeRandomLengthString(40);
}

void randomDocument(FuzzedDataProvider& p)
{
    vantrel::CadDocument doc;
    if (!vantrel::initCadDocument(doc))
        std::abort();
    try {
        if (p.ConsumeBool())
            doc.addLayer(text(p), p.ConsumeIntegralInRange(-255, 256));
        const int n = p.ConsumeIntegralInRange(0, 64);
        for (int i = 0; i < n && p.remaining_bytes() > 0; ++i) {
            const vantrel::Vec2 a{p.ConsumeFloatingPoint<double>(), p.ConsumeFloatingPoint<double>()};
            const int style = p.ConsumeIntegralInRange(-1, 8);
            const int color = p.ConsumeIntegralInRange(-2, 300);
            const double scale = p.ConsumeFloatingPoint<double>();
            switch (p.ConsumeIntegralInRange(0, 3)) {
            case 0: {
                std::vector<vantrel::Vec2> v(size_t(p.ConsumeIntegralInRange(0, 40)), a);
                for (auto& q : v)
                    q.x += p.ConsumeIntegral<int16_t>();
                vantrel::addPolyline(doc, v, style, color, scale);
                break;
            }
            case 1:
                vantrel::addCircle(doc, a, p.ConsumeFloatingPoint<double>(), style, color, scale);
                break;
            case 2:
                vantrel::addArc(doc, a, p.ConsumeFloatingPoint<double>(), p.ConsumeFloatingPoint<double>(),
                                p.ConsumeFloatingPoint<double>(), style, color, scale);
                break;
            default:
                vantrel::addText(doc, a, text(p), p.ConsumeFloatingPoint<double>(),
                                 p.ConsumeIntegralInRange(-1, 6), p.ConsumeIntegralInRange(-1, 4),
                                 p.ConsumeFloatingPoint<double>());
                break;
            }
        }
    } catch (const std::exception&) {
        return;  // refused values are the builders' documented answer
    }
    try {
        checkFile(vantrel::writeDwg(doc, 0));
    } catch (const std::exception&) {
        // e.g. malformed UTF-8 in a text: the writer refuses, no crash
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    if ((data[0] & 1) == 0) {
        const std::string xml(reinterpret_cast<const char*>(data + 1), size - 1);
        vantrel::CadDocument doc;
        vantrel::initCadDocument(doc);
        if (vantrel::parseInterchangeXml(xml, doc)) {
            try {
                checkFile(vantrel::writeDwg(doc, 0));
            } catch (const std::exception&) {
            }
        }
        return 0;
    }
    FuzzedDataProvider p(data + 1, size - 1);
    randomDocument(p);
    return 0;
}
