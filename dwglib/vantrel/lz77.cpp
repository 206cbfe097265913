#include "lz77.h"

#include <algorithm>
#include <stdexcept>

namespace vantrel {

namespace {

void putLiteralLength(Bytes& out, size_t len)
{
    if (len <= 18) {
        out.push_back(uint8_t(len - 3));   // 0x01..0x0F: length - 3
        return;
    }
    out.push_back(0x00);                   // 0x00: long form
    size_t rest = len - 18;                // beyond 0x0F + 3
    while (rest > 0xFF) {
        out.push_back(0x00);               // each 0x00 adds 0xFF
        rest -= 0xFF;
    }
    out.push_back(uint8_t(rest));
}

}  // namespace

size_t lz77LiteralSize(size_t n)
{
    if (n == 0)
        return 1;
    if (n < 4)
        n = 4;
    size_t head = 1;
    if (n > 18) {
        head = 1;
        size_t rest = n - 18;
        while (rest > 0xFF) {
            ++head;
            rest -= 0xFF;
        }
        ++head;
    }
    return head + n + 1;
}

Bytes lz77Literal(const Bytes& data)
{
    Bytes out;
    if (data.empty()) {
        out.push_back(0x11);
        return out;
    }
    Bytes padded = data;
    if (padded.size() < 4)
        padded.resize(4, 0);
    out.reserve(padded.size() + 8);
    putLiteralLength(out, padded.size());
    out.insert(out.end(), padded.begin(), padded.end());
    out.push_back(0x11);                   // opcode 0x11: end of stream
    return out;
}

void lz77AppendPage(Bytes& out, const uint8_t* data, size_t n, size_t pageSize)
{
    if (n > pageSize)
        throw std::logic_error("page data larger than the page");
    // The literal run: the data and at least one zero, at least 4 bytes;
    // a page too full for the back reference is one literal run.
    size_t lit = std::max(n + 1, size_t(4));
    const bool whole = lit + 3 > pageSize;
    if (whole)
        lit = pageSize;
    putLiteralLength(out, lit);
    out.insert(out.end(), data, data + n);
    out.resize(out.size() + (lit - n), 0);
    if (whole) {
        out.push_back(0x11);                      // end of stream
        return;
    }
    const size_t count = pageSize - lit;          // zeros still to produce (>= 3)
    if (count <= 33) {
        out.push_back(uint8_t(0x1E + count));     // 0x21-0x3F: copy 3..33 bytes
    } else {
        out.push_back(0x20);                      // 0x20: copy 0x21 + long length
        size_t v = count - 0x21;                  // >= 1
        if (v <= 0xFF) {
            out.push_back(uint8_t(v));
        } else {
            out.push_back(0x00);                  // long form: 0xFF + 0xFF per 0x00 + last
            v -= 0xFF;
            while (v > 0xFF) {
                out.push_back(0x00);
                v -= 0xFF;
            }
            out.push_back(uint8_t(v));
        }
    }
    out.push_back(0x00);                          // two-byte offset: distance 1,
    out.push_back(0x00);                          // no literal follows
    out.push_back(0x11);                          // end of stream
}

Bytes lz77Page(const Bytes& data, size_t pageSize)
{
    Bytes out;
    out.reserve(data.size() + 16);
    lz77AppendPage(out, data.data(), data.size(), pageSize);
    return out;
}

Bytes lz77Decompress(const uint8_t* src, size_t n, size_t maxSize)
{
    size_t p = 0;
    Bytes out;
    auto rc = [&]() -> uint8_t {
        if (p >= n)
            throw std::runtime_error("compressed data truncated");
        return src[p++];
    };
    auto literalLength = [&](uint8_t& opcode) -> size_t {
        const uint8_t b = rc();
        opcode = 0;
        if (b >= 0x01 && b <= 0x0F)
            return size_t(b) + 3;
        if (b == 0) {
            size_t total = 0x0F;
            uint8_t c;
            while ((c = rc()) == 0)
                total += 0xFF;
            return total + c + 3;
        }
        opcode = b;
        return 0;
    };
    auto longLength = [&]() -> size_t {
        size_t total = 0;
        uint8_t b = rc();
        if (b == 0) {
            total = 0xFF;
            while ((b = rc()) == 0)
                total += 0xFF;
        }
        return total + b;
    };
    auto copyLiteral = [&](size_t len) {
        if (p + len > n || out.size() + len > maxSize)
            throw std::runtime_error("literal run out of range");
        out.insert(out.end(), src + p, src + p + len);
        p += len;
    };

    uint8_t opcode = 0;
    copyLiteral(literalLength(opcode));
    if (opcode == 0)
        opcode = rc();
    while (opcode != 0x11) {
        size_t count = 0, offset = 0, lit = 0;
        auto twoByte = [&]() {
            const uint8_t a = rc();
            const uint8_t b = rc();
            offset = size_t(a >> 2) | (size_t(b) << 6);
            lit = a & 3;
        };
        if (opcode >= 0x40) {
            count = ((opcode & 0xF0) >> 4) - 1;
            const uint8_t op2 = rc();
            offset = (size_t(op2) << 2) | ((opcode & 0x0C) >> 2);
            lit = opcode & 3;
        } else if (opcode >= 0x21) {
            count = size_t(opcode) - 0x1E;
            twoByte();
        } else if (opcode == 0x20) {
            count = longLength() + 0x21;
            twoByte();
        } else if (opcode >= 0x12) {
            count = size_t(opcode & 0x0F) + 2;
            twoByte();
            offset += 0x3FFF;
        } else if (opcode == 0x10) {
            count = longLength() + 9;
            twoByte();
            offset += 0x3FFF;
        } else {
            throw std::runtime_error("invalid opcode");
        }
        if (offset + 1 > out.size() || out.size() + count > maxSize)
            throw std::runtime_error("back reference out of range");
        const size_t start = out.size() - offset - 1;
        for (size_t i = 0; i < count; ++i)
            out.push_back(out[start + i]);
        opcode = 0;
        if (lit == 0)
            lit = literalLength(opcode);
        copyLiteral(lit);
        if (opcode == 0)
            opcode = rc();
    }
    return out;
}

}  // namespace vantrel
