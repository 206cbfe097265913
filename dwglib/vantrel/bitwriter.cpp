#include "bitwriter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace vantrel {

namespace {

// Buffers of finished writers, kept for the next ones: a drawing is
// thousands of small objects, each written through a few writers.
struct BufferPool {
    std::vector<Bytes> free;
};

BufferPool& pool() {
    thread_local BufferPool p;
    return p;
}

} // namespace

BitWriter::BitWriter() {
    BufferPool& p = pool();
    if (!p.free.empty()) {
        buf_ = std::move(p.free.back());
        p.free.pop_back();
    }
}

BitWriter::~BitWriter() {
    if (buf_.capacity() == 0 || buf_.capacity() > 0x10000)
        return;
    BufferPool& p = pool();
    if (p.free.size() < 32) {
        // Only the written bytes can be non-zero: cleared, the buffer
        // keeps its size, so the next writer need not zero-fill it again.
        std::memset(buf_.data(), 0, std::min(byteSize(), buf_.size()));
        p.free.push_back(std::move(buf_));
    }
}

void BitWriter::grow(size_t bytes) {
    size_t n = buf_.size() * 2;
    if (n < bytes)
        n = bytes;
    if (n < 64)
        n = 64;
    buf_.resize(n, 0);
}

void BitWriter::writeBytes(const uint8_t* data, size_t n) {
    if (n == 0)
        return;
    const size_t at = bits_ >> 3;
    const unsigned used = unsigned(bits_ & 7);
    reserveBytes(at + n + 1);
    uint8_t* out = buf_.data() + at;
    if (used == 0) {
        std::memcpy(out, data, n);
    } else {
        // Each byte straddles two: its high bits finish the open byte.
        for (size_t i = 0; i < n; ++i) {
            out[i] |= uint8_t(data[i] >> used);
            out[i + 1] = uint8_t(data[i] << (8 - used));
        }
    }
    bits_ += 8 * n;
}

const Bytes& BitWriter::bytes() const {
    buf_.resize(byteSize());
    return buf_;
}

Bytes BitWriter::takeBytes() {
    buf_.resize(byteSize());
    bits_ = 0;
    return std::move(buf_);
}

void BitWriter::write3B(uint8_t v) {
    // Read back as: bit; if set, shift in a second; if that is set, a third.
    switch (v) {
    case 0:
        writeBits(0, 1);
        break;
    case 2:
        writeBits(0b10, 2);
        break;
    case 6:
        writeBits(0b110, 3);
        break;
    default:
        writeBits(0b111, 3);
        break;
    }
}

void BitWriter::writeBLL(uint64_t v) {
    unsigned len = 0;
    for (uint64_t t = v; t; t >>= 8)
        ++len;
    writeBits(len, 3);
    for (unsigned i = 0; i < len; ++i)
        writeRC(uint8_t(v >> (8 * i)));
}

void BitWriter::writeDD(double v, double def) {
    uint8_t a[8], d[8];
    std::memcpy(a, &v, 8);
    std::memcpy(d, &def, 8);
    if (std::memcmp(a, d, 8) == 0) {
        writeBB(0); // 00: the default
    } else if (std::memcmp(a + 4, d + 4, 4) == 0) {
        writeBB(1); // 01: bytes 0-3 replaced
        writeBytes(a, 4);
    } else if (std::memcmp(a + 6, d + 6, 2) == 0) {
        writeBB(2); // 10: bytes 4-5, then bytes 0-3 replaced
        writeRC(a[4]);
        writeRC(a[5]);
        writeBytes(a, 4);
    } else {
        writeBB(3); // 11: full RD
        writeRD(v);
    }
}

void BitWriter::writeBE(double x, double y, double z) {
    if (x == 0.0 && y == 0.0 && z == 1.0) {
        writeBit(true);
        return;
    }
    writeBit(false);
    writeBD(x);
    writeBD(y);
    writeBD(z);
}

void BitWriter::writeBT(double t) {
    if (t == 0.0) {
        writeBit(true);
        return;
    }
    writeBit(false);
    writeBD(t);
}

void BitWriter::writeMCu(uint64_t v) {
    // 7 data bits per byte, least significant group first; 0x80 = more.
    do {
        uint8_t b = uint8_t(v & 0x7F);
        v >>= 7;
        if (v)
            b |= 0x80;
        writeRC(b);
    } while (v);
}

void BitWriter::writeMCs(int64_t v) {
    // As MCu, but the last byte keeps 6 data bits and 0x40 is the sign.
    const bool neg = v < 0;
    uint64_t m = neg ? uint64_t(-v) : uint64_t(v);
    for (;;) {
        if (m < 0x40) {
            writeRC(uint8_t(m | (neg ? 0x40 : 0)));
            return;
        }
        writeRC(uint8_t((m & 0x7F) | 0x80));
        m >>= 7;
    }
}

void BitWriter::writeMS(uint32_t v) {
    // 15 data bits per little-endian short; 0x8000 = more.
    do {
        uint16_t s = uint16_t(v & 0x7FFF);
        v >>= 15;
        if (v)
            s |= 0x8000;
        writeRS(s);
    } while (v);
}

void BitWriter::writeTV(const std::string& s) {
    if (s.empty()) {
        writeBS(0);
        return;
    }
    if (s.size() + 1 > 0xFFFF)
        throw std::length_error("string too long for a text value");
    writeBS(uint16_t(s.size() + 1));
    writeBytes(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    writeRC(0);
}

void BitWriter::writeTU(const std::u16string& s) {
    writeBS(uint16_t(s.size()));
    for (char16_t c : s)
        writeRS(uint16_t(c));
}

void BitWriter::writeCMC(int aci) {
    // Colour method in the top byte of the RGB word: 0xC0 by layer,
    // 0xC1 by block, 0xC3 colour index in the low byte.
    uint32_t rgb;
    if (aci == 256)
        rgb = 0xC0000000u;
    else if (aci == 0)
        rgb = 0xC1000000u;
    else
        rgb = 0xC3000000u | uint32_t(aci & 0xFF);
    writeBS(uint16_t(aci));
    writeBL(rgb);
    writeRC(0);
}

void BitWriter::writeENC(int aci) {
    // Flags in bits 8-15 (0x8000 RGB, 0x4000 colour book, 0x2000 alpha);
    // none are used, so the short holds the plain index.
    writeBS(uint16_t(aci & 0x1FF));
}

void BitWriter::patchRL(size_t pos, uint32_t v) {
    // Four bytes, least significant first, each MSB-first at its position.
    const unsigned shift = unsigned(pos & 7);
    uint8_t* p = buf_.data() + (pos >> 3);
#if defined(__GNUC__) || defined(__clang__)
    if ((pos >> 3) + 8 <= buf_.size()) {
        // The eight bytes from the field's first as one big-endian window;
        // the bits before and after the field are kept.
        uint64_t w;
        std::memcpy(&w, p, 8); // little-endian hosts only (x86, ARM)
        w = __builtin_bswap64(w);
        const uint64_t mask = uint64_t(0xFFFFFFFFu) << (32 - shift);
        w = (w & ~mask) | (uint64_t(fileOrder32(v)) << (32 - shift));
        w = __builtin_bswap64(w);
        std::memcpy(p, &w, 8);
        return;
    }
#endif
    for (int i = 0; i < 4; ++i, ++p) {
        const uint8_t byte = uint8_t(v >> (8 * i));
        if (shift == 0) {
            p[0] = byte;
        } else {
            const uint8_t keepHigh = uint8_t(0xFF << (8 - shift));
            p[0] = uint8_t((p[0] & keepHigh) | (byte >> shift));
            p[1] = uint8_t((p[1] & (0xFF >> shift)) | uint8_t(byte << (8 - shift)));
        }
    }
}

void BitWriter::appendBits(const BitWriter& other) {
    const size_t whole = other.bits_ >> 3;
    writeBytes(other.buf_.data(), whole); // the other's buffer holds at least whole + 1 bytes
    const int rest = int(other.bits_ & 7);
    if (rest)
        writeBits(uint32_t(other.buf_[whole] >> (8 - rest)), rest);
}

void appendObjectRecord(Bytes& out, const Bytes& body) {
    appendObjectRecord(out, body.data(), body.size());
}

void appendObjectRecord(Bytes& out, const uint8_t* body, size_t bodySize) {
    uint8_t head[8];
    size_t n = 0;
    uint32_t v = uint32_t(bodySize);
    do { // MS: 15 data bits per little-endian short, 0x8000 = more
        uint16_t u = uint16_t(v & 0x7FFF);
        v >>= 15;
        if (v)
            u |= 0x8000;
        head[n++] = uint8_t(u);
        head[n++] = uint8_t(u >> 8);
    } while (v);
    const uint16_t crc = crc16(crc16(0xC0C1, head, n), body, bodySize);
    for (size_t i = 0; i < n; ++i)
        out.push_back(head[i]);
    if (bodySize)
        out.insert(out.end(), body, body + bodySize);
    out.push_back(uint8_t(crc));
    out.push_back(uint8_t(crc >> 8));
}

Bytes objectRecord(const Bytes& body) {
    Bytes out;
    out.reserve(body.size() + 8);
    appendObjectRecord(out, body);
    return out;
}

namespace {

// CRC-16/ARC tables for eight bytes at a time: t[0] is the classic
// byte table, t[k][b] the effect of byte b followed by k zero bytes.
struct Crc16Tables {
    uint16_t t[8][256];
    Crc16Tables() {
        for (unsigned i = 0; i < 256; ++i) {
            uint16_t c = uint16_t(i);
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? uint16_t((c >> 1) ^ 0xA001) : uint16_t(c >> 1);
            t[0][i] = c;
        }
        for (int k = 1; k < 8; ++k)
            for (unsigned i = 0; i < 256; ++i)
                t[k][i] = uint16_t((t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF]);
    }
};

const Crc16Tables& crc16Tables() {
    static const Crc16Tables tables;
    return tables;
}

} // namespace

uint16_t crc16(uint16_t seed, const uint8_t* data, size_t n) {
    const Crc16Tables& tb = crc16Tables();
    uint16_t crc = seed;
    for (; n >= 8; n -= 8, data += 8) {
        const uint16_t x = uint16_t(crc ^ (data[0] | (data[1] << 8)));
        crc = uint16_t(tb.t[7][x & 0xFF] ^ tb.t[6][x >> 8] ^ tb.t[5][data[2]] ^ tb.t[4][data[3]] ^
                       tb.t[3][data[4]] ^ tb.t[2][data[5]] ^ tb.t[1][data[6]] ^ tb.t[0][data[7]]);
    }
    for (; n >= 4; n -= 4, data += 4) {
        const uint16_t x = uint16_t(crc ^ (data[0] | (data[1] << 8)));
        crc = uint16_t(tb.t[3][x & 0xFF] ^ tb.t[2][x >> 8] ^ tb.t[1][data[2]] ^ tb.t[0][data[3]]);
    }
    for (; n > 0; --n, ++data)
        crc = uint16_t((crc >> 8) ^ tb.t[0][(crc ^ *data) & 0xFF]);
    return crc;
}

uint32_t crc32(uint32_t seed, const uint8_t* data, size_t n) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = ~seed;
    for (size_t i = 0; i < n; ++i)
        crc = (crc >> 8) ^ table[(crc ^ data[i]) & 0xFF];
    return ~crc;
}

} // namespace vantrel
