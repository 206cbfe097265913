// Bit-stream writer for the DWG R13+ object encodings.
//
// Type codes follow the Open Design Alliance's public description of the
// .dwg format, chapter 2 (bit codes): B, BB, 3B, BS, BL, BLL, BD, DD,
// RC, RS, RL, RD, MC, MS, H, T/TV, TU, CMC, ENC, BE, BT.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vantrel {

using Bytes = std::vector<uint8_t>;

// Handle reference codes (§2.13): 2 soft owner, 3 hard owner,
// 4 soft pointer, 5 hard pointer. Code 0 is used for an object's own handle.
enum HandleCode : uint8_t {
    kOwnHandle = 0,
    kSoftOwner = 2,
    kHardOwner = 3,
    kSoftPointer = 4,
    kHardPointer = 5,
};

class BitWriter {
public:
    BitWriter();
    ~BitWriter();
    BitWriter(const BitWriter&) = default;
    BitWriter& operator=(const BitWriter&) = default;
    BitWriter(BitWriter&&) noexcept = default;
    BitWriter& operator=(BitWriter&&) noexcept = default;

    // Raw bits and bytes, most significant bit of each byte first.
    void writeBit(bool b) { writeBits(b ? 1u : 0u, 1); }
    void writeBits(uint32_t value, int count);   // 1..32 bits, high bit of value first
    void writeBitsWide(uint64_t value, int count); // 1..57 bits, high bit of value first
    void writeRC(uint8_t v) { writeBits(v, 8); } // RC: raw char
    void writeRS(uint16_t v);                    // RS: raw short, little-endian
    void writeRL(uint32_t v);                    // RL: raw long, little-endian
    void writeRD(double v);                      // RD: raw IEEE double
    void writeBytes(const uint8_t* data, size_t n);
    void writeBytes(const Bytes& b) { writeBytes(b.data(), b.size()); }

    void writeB(bool b) { writeBit(b); }              // B
    void writeBB(uint8_t v) { writeBits(v & 3u, 2); } // BB: 2 bits
    void write3B(uint8_t v);                          // 3B: 0, 2, 6 or 7 in 1-3 bits
    void writeBS(uint16_t v);                         // BS: bitshort
    void writeBL(uint32_t v);                         // BL: bitlong
    void writeBLL(uint64_t v);                        // BLL: 3-bit byte count, bytes
    void writeBD(double v);                           // BD: bitdouble
    void writeDD(double v, double def);               // DD: double with default
    void write2RD(double x, double y) {
        writeRD(x);
        writeRD(y);
    }
    void write2BD(double x, double y) {
        writeBD(x);
        writeBD(y);
    }
    void write3BD(double x, double y, double z) {
        writeBD(x);
        writeBD(y);
        writeBD(z);
    }
    void write2DD(double x, double y, double dx, double dy) {
        writeDD(x, dx);
        writeDD(y, dy);
    }
    void writeBE(double x, double y, double z); // BE: extrusion, 1 bit for (0,0,1)
    void writeBT(double t);                     // BT: thickness, 1 bit for 0.0
    void writeMCu(uint64_t v);                  // MC: modular char, unsigned
    void writeMCs(int64_t v);                   // MC: modular char, signed
    void writeMS(uint32_t v);                   // MS: modular short
    void writeH(uint8_t code, uint64_t handle); // H: code|counter, then bytes
    // T (TV for R2004): BS length counting the trailing NUL, then the bytes
    // in the drawing's code page; an empty string is just length 0.
    void writeTV(const std::string& codepageBytes);
    // TU: BS length in UTF-16 units, then UTF-16LE units (R2007+ strings).
    void writeTU(const std::u16string& s);
    // CMC for R2004+: BS index, BL RGB with the colour method in the top
    // byte, RC name flags (0: no names follow).
    void writeCMC(int aciIndex);
    // ENC (entity colour, R2004+): BS holding index and flags.
    void writeENC(int aciIndex);

    size_t bitPosition() const { return bits_; }
    size_t byteSize() const { return (bits_ + 7) / 8; }
    const Bytes& bytes() const; // exactly byteSize() bytes
    const uint8_t* data() const { return buf_.data(); } // byteSize() bytes (null when empty)
    Bytes takeBytes();          // the bytes; the writer starts empty

    // Overwrite 32 bits (RL) at an earlier bit position.
    void patchRL(size_t bitPos, uint32_t v);
    // Append another writer's bits at the current position.
    void appendBits(const BitWriter& other);

private:
    void reserveBytes(size_t n) {
        if (n > buf_.size())
            grow(n);
    }
    void grow(size_t bytes);

    // At least byteSize() bytes; the bits beyond bits_ are zero, so a
    // write only ORs into the open byte and stores the bytes after it.
    mutable Bytes buf_;
    size_t bits_ = 0;
};

inline void BitWriter::writeBits(uint32_t value, int count) {
    writeBitsWide(value, count);
}

inline void BitWriter::writeBitsWide(uint64_t value, int count) {
    if (count <= 0)
        return;
    const size_t at = bits_ >> 3;
    reserveBytes(at + 8);
    // The value's bits at the top of a 64-bit window, moved to the current
    // bit of the open byte and merged with its bits; stored as eight bytes
    // most significant first (the bytes after the value stay zero).
    uint8_t* p = buf_.data() + at;
    uint64_t v = ((uint64_t(value) << (64 - count)) >> (bits_ & 7)) | (uint64_t(p[0]) << 56);
#if defined(__GNUC__) || defined(__clang__)
    v = __builtin_bswap64(v);
#else
    v = (v >> 56) | ((v >> 40) & 0xFF00u) | ((v >> 24) & 0xFF0000u) | ((v >> 8) & 0xFF000000u) |
        ((v << 8) & 0xFF00000000ull) | ((v << 24) & 0xFF0000000000ull) | ((v << 40) & 0xFF000000000000ull) |
        (v << 56);
#endif
    std::memcpy(p, &v, 8); // little-endian hosts only (x86, ARM)
    bits_ += size_t(count);
}

// An object as the objects section stores it: MS size in bytes, the
// object's bytes, RS CRC (seed 0xC0C1) over both.
Bytes objectRecord(const Bytes& body);
void appendObjectRecord(Bytes& out, const Bytes& body);
void appendObjectRecord(Bytes& out, const uint8_t* body, size_t bodySize);

// The 16-bit CRC the format calls "CRC8" (CRC-16/ARC table, reflected
// polynomial 0xA001) starting from the given seed; sections use 0xC0C1.
uint16_t crc16(uint16_t seed, const uint8_t* data, size_t n);
inline uint16_t crc16(uint16_t seed, const Bytes& b) {
    return crc16(seed, b.data(), b.size());
}

// Standard zlib CRC-32 (reflected polynomial 0xEDB88320), as used in the
// R2004 file header.
uint32_t crc32(uint32_t seed, const uint8_t* data, size_t n);

} // namespace vantrel

namespace vantrel {

// The bytes of a little-endian value in file order, as one big-endian
// number for writeBits.
inline uint32_t fileOrder32(uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
}

inline void BitWriter::writeRS(uint16_t v) {
    writeBits(uint32_t(v >> 8) | uint32_t(v & 0xFF) << 8, 16);
}

inline void BitWriter::writeRL(uint32_t v) {
    writeBits(fileOrder32(v), 32);
}

inline void BitWriter::writeRD(double v) {
    uint64_t raw;
    std::memcpy(&raw, &v, 8); // little-endian hosts only (x86, ARM)
    writeBits(fileOrder32(uint32_t(raw)), 32);
    writeBits(fileOrder32(uint32_t(raw >> 32)), 32);
}

inline void BitWriter::writeBS(uint16_t v) {
    if (v == 0)
        writeBits(2, 2); // 10: value 0
    else if (v == 256)
        writeBits(3, 2); // 11: value 256
    else if (v < 256)
        writeBits(0x100u | v, 10); // 01: one unsigned char follows
    else
        writeBits(uint32_t(v >> 8) | uint32_t(v & 0xFF) << 8, 18); // 00: RS follows
}

inline void BitWriter::writeBL(uint32_t v) {
    if (v == 0) {
        writeBits(2, 2); // 10: value 0
    } else if (v < 256) {
        writeBits(0x100u | v, 10); // 01: one unsigned char follows
    } else {
        writeBits(0, 2); // 00: RL follows
        writeRL(v);
    }
}

inline void BitWriter::writeBD(double v) {
    if (v == 1.0) {
        writeBits(1, 2); // 01: 1.0
    } else if (v == 0.0 && !std::signbit(v)) {
        writeBits(2, 2); // 10: 0.0
    } else {
        // 00: RD follows; the code and the first four bytes in one write.
        uint64_t raw;
        std::memcpy(&raw, &v, 8); // little-endian hosts only (x86, ARM)
        writeBitsWide(fileOrder32(uint32_t(raw)), 34);
        writeBits(fileOrder32(uint32_t(raw >> 32)), 32);
    }
}

inline void BitWriter::writeH(uint8_t code, uint64_t handle) {
    // code|counter, then the handle's bytes, most significant first.
#if defined(__GNUC__) || defined(__clang__)
    const int n = handle ? (71 - __builtin_clzll(handle)) / 8 : 0; // bytes of the handle
#else
    int n = 0;
    for (uint64_t t = handle; t; t >>= 8)
        ++n;
#endif
    if (n <= 3) {
        writeBits(uint32_t(uint8_t((code << 4) | n)) << (8 * n) | uint32_t(handle), 8 * (n + 1));
        return;
    }
    writeBits(uint8_t((code << 4) | n), 8);
    if (n > 4)
        writeBits(uint32_t(handle >> 32), 8 * (n - 4));
    writeBits(uint32_t(handle), 32);
}

} // namespace vantrel
