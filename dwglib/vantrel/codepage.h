// Text of the drawing's code page. R2004 files store strings as 8-bit
// text in the code page named by $DWGCODEPAGE; characters that the code
// page cannot hold are written as AutoCAD's "\U+XXXX" escapes.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

// Index of a code page name in the file header / $DWGCODEPAGE (format
// description §3, code page table): ANSI_1252 = 30, ANSI_936 = 39, ...
// Returns -1 for names this writer does not know.
int codePageIndex(const std::string& name);

// UTF-8 → bytes in the named code page. Throws std::runtime_error on
// malformed UTF-8.
std::string toCodePage(const std::string& utf8, const std::string& codePage);

// Decode UTF-8 into code points; throws on malformed input.
std::u32string decodeUtf8(const std::string& utf8);

}  // namespace vantrel
