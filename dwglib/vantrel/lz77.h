// The R2004 variant of LZ77 (format description §4.7).
//
// The writer emits one literal run per page: the run length (first byte
// 0x01-0x0F for 4-18 bytes, else 0x00, 0x00 per further 255, and the
// rest), the bytes, then the end opcode 0x11. AutoCAD and the open
// readers decode such pages like fully compressed ones.
#pragma once

#include "bitwriter.h"

namespace vantrel {

// Frame `data` as one literal run. Inputs shorter than four bytes are
// padded with zero bytes (a run cannot be shorter); the section size
// recorded elsewhere keeps the true length.
Bytes lz77Literal(const Bytes& data);

// Size of lz77Literal(data) without building it.
size_t lz77LiteralSize(size_t n);

// A data page as AutoCAD stores it: `data` followed by zero bytes up to
// `pageSize` decompressed bytes. The zeros cost a few bytes: the literal
// run ends with one zero that a back reference of distance 1 repeats.
Bytes lz77Page(const Bytes& data, size_t pageSize);
// The same, appended to `out`.
void lz77AppendPage(Bytes& out, const uint8_t* data, size_t n, size_t pageSize);

// Decode a compressed page into at most `maxSize` bytes. Throws
// std::runtime_error on malformed input.
Bytes lz77Decompress(const uint8_t* src, size_t n, size_t maxSize);

}  // namespace vantrel
