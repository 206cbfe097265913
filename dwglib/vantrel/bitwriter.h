// Bit-stream writer for the DWG R13+ object encodings.
//
// Type codes follow the Open Design Alliance's public description of the
// .dwg format, chapter 2 (bit codes): B, BB, 3B, BS, BL, BLL, BD, DD,
// RC, RS, RL, RD, MC, MS, H, T/TV, TU, CMC, ENC, BE, BT.
#pragma once

#include <cstddef>
#include <cstdint>
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
    BitWriter() = default;

    // Raw bits and bytes, most significant bit of each byte first.
    void writeBit(bool b);
    void writeBits(uint32_t value, int count);  // high bit of value first
    void writeRC(uint8_t v);                    // RC: raw char
    void writeRS(uint16_t v);                   // RS: raw short, little-endian
    void writeRL(uint32_t v);                   // RL: raw long, little-endian
    void writeRD(double v);                     // RD: raw IEEE double
    void writeBytes(const uint8_t* data, size_t n);
    void writeBytes(const Bytes& b) { writeBytes(b.data(), b.size()); }

    void writeB(bool b) { writeBit(b); }        // B
    void writeBB(uint8_t v);                    // BB: 2 bits
    void write3B(uint8_t v);                    // 3B: 0, 2, 6 or 7 in 1-3 bits
    void writeBS(uint16_t v);                   // BS: bitshort
    void writeBL(uint32_t v);                   // BL: bitlong
    void writeBLL(uint64_t v);                  // BLL: 3-bit byte count, bytes
    void writeBD(double v);                     // BD: bitdouble
    void writeDD(double v, double def);         // DD: double with default
    void write2RD(double x, double y) { writeRD(x); writeRD(y); }
    void write2BD(double x, double y) { writeBD(x); writeBD(y); }
    void write3BD(double x, double y, double z) { writeBD(x); writeBD(y); writeBD(z); }
    void write2DD(double x, double y, double dx, double dy) { writeDD(x, dx); writeDD(y, dy); }
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
    const Bytes& bytes() const { return buf_; }
    Bytes takeBytes() { return std::move(buf_); }

    // Overwrite 32 bits (RL) at an earlier bit position.
    void patchRL(size_t bitPos, uint32_t v);
    // Append another writer's bits at the current position.
    void appendBits(const BitWriter& other);

private:
    Bytes buf_;
    size_t bits_ = 0;
};

// The 16-bit CRC the format calls "CRC8" (CRC-16/ARC table, reflected
// polynomial 0xA001) starting from the given seed; sections use 0xC0C1.
uint16_t crc16(uint16_t seed, const uint8_t* data, size_t n);
inline uint16_t crc16(uint16_t seed, const Bytes& b) { return crc16(seed, b.data(), b.size()); }

// Standard zlib CRC-32 (reflected polynomial 0xEDB88320), as used in the
// R2004 file header.
uint32_t crc32(uint32_t seed, const uint8_t* data, size_t n);

}  // namespace vantrel
