#include "codepage.h"

#include <cstdio>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace vantrel {

namespace {

struct CodePageInfo {
    const char* name;
    int index;
    const char* iconvName;
    unsigned windowsCp;
};

// Subset of the code page table that Western and CJK drawings use.
const CodePageInfo kCodePages[] = {
    {"ANSI_874", 37, "CP874", 874},    {"ANSI_932", 38, "CP932", 932},    {"ANSI_936", 39, "GBK", 936},
    {"ANSI_949", 40, "CP949", 949},    {"ANSI_950", 41, "BIG5", 950},     {"ANSI_1250", 28, "CP1250", 1250},
    {"ANSI_1251", 29, "CP1251", 1251}, {"ANSI_1252", 30, "CP1252", 1252},
};

const CodePageInfo* find(const std::string& name) {
    for (const auto& c : kCodePages)
        if (name == c.name)
            return &c;
    return nullptr;
}

std::string escape(char32_t cp) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "\\U+%04X", unsigned(cp));
    return buf;
}

// One code point to the code page; empty when it has no mapping.
#ifdef _WIN32
using Converter = const CodePageInfo*;
Converter openConverter(const CodePageInfo& info) {
    return &info;
}
void closeConverter(Converter) {}
std::string encodeOne(char32_t cp, Converter conv) {
    const CodePageInfo& info = *conv;
    wchar_t w[2];
    int n = 0;
    if (cp >= 0x10000) {
        w[0] = wchar_t(0xD800 + ((cp - 0x10000) >> 10));
        w[1] = wchar_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        n = 2;
    } else {
        w[0] = wchar_t(cp);
        n = 1;
    }
    char out[8];
    BOOL usedDefault = FALSE;
    const int len = WideCharToMultiByte(info.windowsCp, WC_NO_BEST_FIT_CHARS, w, n, out, sizeof out, nullptr,
                                        &usedDefault);
    if (len <= 0 || usedDefault)
        return {};
    return std::string(out, out + len);
}
#else
using Converter = iconv_t;
Converter openConverter(const CodePageInfo& info) {
    return iconv_open(info.iconvName, "UTF-32LE");
}
void closeConverter(Converter cd) {
    if (cd != iconv_t(-1))
        iconv_close(cd);
}
std::string encodeOne(char32_t cp, Converter cd) {
    if (cd == iconv_t(-1))
        return {};
    iconv(cd, nullptr, nullptr, nullptr, nullptr); // reset shift state
    char in[4] = {char(cp & 0xFF), char((cp >> 8) & 0xFF), char((cp >> 16) & 0xFF), char((cp >> 24) & 0xFF)};
    char out[8];
    char* ip = in;
    char* op = out;
    size_t il = 4, ol = sizeof out;
    const size_t r = iconv(cd, &ip, &il, &op, &ol);
    if (r == size_t(-1) || il != 0)
        return {};
    return std::string(out, op);
}
#endif

// Opening a converter costs far more than a string's conversion: each
// thread keeps the one of the code page it used last.
class ConverterCache {
public:
    ~ConverterCache() {
        if (info_)
            closeConverter(conv_);
    }
    Converter get(const CodePageInfo& info) {
        if (info_ != &info) {
            if (info_)
                closeConverter(conv_);
            conv_ = openConverter(info);
            info_ = &info;
        }
        return conv_;
    }

private:
    const CodePageInfo* info_ = nullptr;
    Converter conv_{};
};

Converter cachedConverter(const CodePageInfo& info) {
    thread_local ConverterCache cache;
    return cache.get(info);
}

} // namespace

int codePageIndex(const std::string& name) {
    const CodePageInfo* info = find(name);
    return info ? info->index : -1;
}

std::u32string decodeUtf8(const std::string& s) {
    std::u32string out;
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        int extra;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else
            throw std::runtime_error("malformed UTF-8");
        if (i + size_t(extra) >= s.size() && extra > 0)
            throw std::runtime_error("truncated UTF-8");
        for (int k = 1; k <= extra; ++k) {
            const unsigned char d = static_cast<unsigned char>(s[i + size_t(k)]);
            if ((d & 0xC0) != 0x80)
                throw std::runtime_error("malformed UTF-8");
            cp = (cp << 6) | (d & 0x3F);
        }
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            throw std::runtime_error("invalid code point");
        out.push_back(cp);
        i += size_t(extra) + 1;
    }
    return out;
}

std::string toCodePage(const std::string& utf8, const std::string& codePage) {
    bool ascii = true;
    for (const char c : utf8)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii)
        return utf8; // every code page holds ASCII as it is
    const std::u32string cps = decodeUtf8(utf8);
    const CodePageInfo* info = find(codePage);
    std::string out;
    out.reserve(utf8.size());
    Converter conv{};
    if (info)
        conv = cachedConverter(*info);
    for (char32_t cp : cps) {
        if (cp < 0x80) {
            out.push_back(char(cp));
            continue;
        }
        std::string enc = info ? encodeOne(cp, conv) : std::string();
        out += enc.empty() ? escape(cp) : enc;
    }
    return out;
}

} // namespace vantrel
