// A single-pass reader of the interchange XML: the document is checked for
// well-formedness while it is read (tags, attributes, references, comments,
// CDATA, processing instructions, the XML declaration, UTF-8), and every
// entity element is turned into a document entity as soon as it closes.
// Only what the drawing needs is decoded; numbers are read by hand.
#include "interchange.h"

#include "caddoc.h"
#include "format_limits.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

namespace vantrel {

namespace {

struct Refused {};

[[noreturn]] void refuse() {
    throw Refused{};
}

struct Span {
    const char* b = nullptr;
    const char* e = nullptr;
    size_t size() const { return size_t(e - b); }
    bool empty() const { return b == e; }
    template <size_t N> bool is(const char (&s)[N]) const {
        return size() == N - 1 && std::memcmp(b, s, N - 1) == 0;
    }
    bool operator==(const Span& o) const { return size() == o.size() && std::memcmp(b, o.b, size()) == 0; }
};

// ---------------------------------------------------------------- characters

bool isXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// ASCII in names: 1 may start a name, 2 may only continue one.
const struct AsciiNameTable {
    uint8_t t[128] = {};
    AsciiNameTable() {
        for (int c = 'a'; c <= 'z'; ++c)
            t[c] = t[c - 'a' + 'A'] = 1;
        t[int('_')] = t[int(':')] = 1;
        for (int c = '0'; c <= '9'; ++c)
            t[c] = 2;
        t[int('-')] = t[int('.')] = 2;
    }
    uint8_t operator[](unsigned char c) const { return t[c]; }
} kAsciiName;

// Of eight bytes at p, the high bit set in each byte equal to a, b or c
// and possibly in later bytes; the lowest set bit marks the first such byte
// exactly (little-endian load).
uint64_t firstOf(const char* p, uint8_t a, uint8_t b, uint8_t c) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    const uint64_t ones = 0x0101010101010101ull, high = 0x8080808080808080ull;
    const auto zeroBytes = [&](uint64_t x) { return (x - ones) & ~x & high; };
    return zeroBytes(w ^ (ones * a)) | zeroBytes(w ^ (ones * b)) | zeroBytes(w ^ (ones * c));
}

size_t stopIndex(uint64_t mask) {
#if defined(__GNUC__) || defined(__clang__)
    return size_t(__builtin_ctzll(mask)) / 8;
#else
    size_t i = 0;
    while (!(mask & 0x80))
        mask >>= 8, ++i;
    return i;
#endif
}

bool isXmlChar(uint32_t cp) {
    return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
           (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
}

// Well-formed UTF-8 holding only characters XML allows.
void checkEncoding(const unsigned char* p, const unsigned char* end) {
    while (p < end) {
        // Eight plain ASCII bytes at a time (no high bit, none below 0x20).
        if (end - p >= 8) {
            uint64_t w;
            std::memcpy(&w, p, 8);
            const uint64_t high = 0x8080808080808080ull;
            if (((w | (w - 0x2020202020202020ull)) & high) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned char c = *p;
        if (c >= 0x20 && c < 0x80) {
            ++p;
            continue;
        }
        if (c < 0x80) {
            if (c != '\t' && c != '\n' && c != '\r')
                refuse();
            ++p;
            continue;
        }
        int extra;
        uint32_t cp;
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            refuse();
        }
        if (end - p <= extra)
            refuse();
        for (int k = 1; k <= extra; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                refuse();
            cp = (cp << 6) | (p[k] & 0x3F);
        }
        static const uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || !isXmlChar(cp))
            refuse();
        p += extra + 1;
    }
}

// One code point of well-formed UTF-8; moves p past it.
uint32_t decodeOne(const char*& p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    if (u[0] < 0x80) {
        ++p;
        return u[0];
    }
    if ((u[0] & 0xE0) == 0xC0) {
        p += 2;
        return uint32_t(u[0] & 0x1F) << 6 | (u[1] & 0x3F);
    }
    if ((u[0] & 0xF0) == 0xE0) {
        p += 3;
        return uint32_t(u[0] & 0x0F) << 12 | uint32_t(u[1] & 0x3F) << 6 | (u[2] & 0x3F);
    }
    p += 4;
    return uint32_t(u[0] & 0x07) << 18 | uint32_t(u[1] & 0x3F) << 12 | uint32_t(u[2] & 0x3F) << 6 |
           (u[3] & 0x3F);
}

bool isNameStartChar(uint32_t c) {
    return (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) ||
           (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD && c != 0xFEFF) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameOnlyChar(uint32_t c) {
    return c == 0xB7 || (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

// A reference starting at p (on '&'); returns the character it stands for
// and moves p past the ';'. Only the predefined entities and character
// references exist in these documents.
uint32_t reference(const char*& p, const char* end) {
    const char* s = p + 1;
    const char* semi = static_cast<const char*>(std::memchr(s, ';', size_t(end - s)));
    if (!semi)
        refuse();
    const Span name{s, semi};
    p = semi + 1;
    if (name.is("lt"))
        return '<';
    if (name.is("gt"))
        return '>';
    if (name.is("amp"))
        return '&';
    if (name.is("quot"))
        return '"';
    if (name.is("apos"))
        return '\'';
    if (name.size() < 2 || *s != '#')
        refuse();
    const bool hex = s[1] == 'x';
    const char* d = s + (hex ? 2 : 1);
    if (d == semi)
        refuse();
    uint32_t cp = 0;
    for (; d < semi; ++d) {
        unsigned v;
        const char c = *d;
        if (c >= '0' && c <= '9')
            v = unsigned(c - '0');
        else if (hex && c >= 'a' && c <= 'f')
            v = unsigned(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F')
            v = unsigned(c - 'A' + 10);
        else
            refuse();
        cp = cp * (hex ? 16 : 10) + v;
        if (cp > 0x10FFFF)
            refuse();
    }
    if (!isXmlChar(cp))
        refuse();
    return cp;
}

// ------------------------------------------------------------------ numbers

// White space as the reader trims it around numbers: XML's four, and the
// Unicode spaces (U+0085, U+00A0, U+1680, U+2000-U+200A, U+2028, U+2029,
// U+202F, U+205F, U+3000).
size_t leadingSpace(const char* p, const char* e) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    const size_t n = size_t(e - p);
    if (n >= 1 && isXmlSpace(p[0]))
        return 1;
    if (n >= 2 && u[0] == 0xC2 && (u[1] == 0x85 || u[1] == 0xA0))
        return 2;
    if (n >= 3 && u[0] == 0xE1 && u[1] == 0x9A && u[2] == 0x80)
        return 3;
    if (n >= 3 && u[0] == 0xE2 && u[1] == 0x80 &&
        (u[2] <= 0x8A || u[2] == 0xA8 || u[2] == 0xA9 || u[2] == 0xAF))
        return 3;
    if (n >= 3 && u[0] == 0xE2 && u[1] == 0x81 && u[2] == 0x9F)
        return 3;
    if (n >= 3 && u[0] == 0xE3 && u[1] == 0x80 && u[2] == 0x80)
        return 3;
    return 0;
}

size_t trailingSpace(const char* b, const char* e) {
    const size_t n = size_t(e - b);
    if (n >= 1 && isXmlSpace(e[-1]))
        return 1;
    for (size_t k : {size_t(2), size_t(3)})
        if (n >= k && leadingSpace(e - k, e) == k)
            return k;
    return 0;
}

Span trimmed(Span s) {
    const auto plain = [](char c) {
        return static_cast<unsigned char>(c) > ' ' && static_cast<unsigned char>(c) < 0x80;
    };
    if (!s.empty() && plain(s.b[0]) && plain(s.e[-1]))
        return s; // the usual case: nothing to trim
    while (size_t k = leadingSpace(s.b, s.e))
        s.b += k;
    while (size_t k = trailingSpace(s.b, s.e))
        s.e -= k;
    return s;
}

const double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Decimal number: optional sign, digits with an optional point (or a point
// and digits), optional exponent; surrounding white space allowed. The
// value is the correctly rounded double; infinity, NaN, overflow and
// underflow to zero of a non-zero number are refused.
double number(Span s) {
    s = trimmed(s);
    const char* p = s.b;
    const char* e = s.e;
    bool negative = false;
    if (p < e && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    const char* first = p;
    uint64_t mantissa = 0;
    int digits = 0; // significant digits in the mantissa
    int scale = 0;  // power of ten the mantissa is off by
    // Digits are kept only from the first non-zero one and only 19 of
    // them, so the number is non-zero exactly when the mantissa is.
    bool truncated = false;
    int count = 0; // digits before and after the point
    for (; p < e; ++p, ++count) {
        const unsigned digit = unsigned(static_cast<unsigned char>(*p)) - '0';
        if (digit > 9)
            break;
        if (digits < 19) {
            mantissa = mantissa * 10 + digit;
            digits += mantissa != 0;
        } else {
            ++scale;
            truncated = true;
        }
    }
    if (p < e && *p == '.') {
        for (++p; p < e; ++p, ++count) {
            const unsigned digit = unsigned(static_cast<unsigned char>(*p)) - '0';
            if (digit > 9)
                break;
            if (digits < 19) {
                mantissa = mantissa * 10 + digit;
                digits += mantissa != 0;
                --scale;
            } else {
                truncated = true;
            }
        }
    }
    const bool nonZero = mantissa != 0;
    if (count == 0)
        refuse();
    const char* mantissaEnd = p;
    int exponent = 0;
    if (p < e && (*p == 'e' || *p == 'E')) {
        ++p;
        bool expNegative = false;
        if (p < e && (*p == '+' || *p == '-'))
            expNegative = *p++ == '-';
        if (p == e)
            refuse();
        for (; p < e && *p >= '0' && *p <= '9'; ++p)
            if (exponent < 100000)
                exponent = exponent * 10 + (*p - '0');
        if (expNegative)
            exponent = -exponent;
    }
    if (p != e)
        refuse();
    double v;
    const int total = scale + exponent;
    if (mantissa == 0 && !truncated) {
        v = 0.0;
    } else if (!truncated && mantissa <= (uint64_t(1) << 53) && total >= -22 && total <= 22) {
        // Both operands are exact doubles: one rounding, the correct one.
        v = total >= 0 ? double(mantissa) * kPow10[total] : double(mantissa) / kPow10[-total];
    } else {
        // The rare long or far-out number: the standard conversion, which
        // reports overflow and underflow below the subnormals as out of range.
        std::string t(first, mantissaEnd);
        t.push_back('e');
        t += std::to_string(exponent);
        const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
        if (r.ec != std::errc() || r.ptr != t.data() + t.size())
            refuse();
    }
    if (!std::isfinite(v) || (v == 0.0 && nonZero))
        refuse();
    return negative ? -v : v;
}

int integer(Span s) {
    s = trimmed(s);
    const char* p = s.b;
    bool negative = false;
    if (p < s.e && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    if (p == s.e)
        refuse();
    int64_t v = 0;
    for (; p < s.e; ++p) {
        if (*p < '0' || *p > '9')
            refuse();
        v = v * 10 + (*p - '0');
        if (v > int64_t(1) << 32)
            v = int64_t(1) << 32; // out of range whatever follows
    }
    if (negative)
        v = -v;
    if (v < INT32_MIN || v > INT32_MAX)
        refuse();
    return int(v);
}

// --------------------------------------------------------------- the reader

struct Attribute {
    Span name;
    Span raw;    // between the quotes, references undecoded
    bool hasRef; // contains '&'
};

struct Property {
    int type = 0;
    int color = 256;
    double scale = 1.0;
};

enum class Kind { Other, Polyline, Circle, Arc, Text };

// What one entity element has gathered by the time it closes.
struct Pending {
    Kind kind = Kind::Other;
    std::vector<Vec2> vertices;
    Property prop;
    bool hasCenter = false, hasRadius = false, hasAngle = false, hasProp = false;
    bool hasPoint = false, hasTxt = false, hasHeight = false, hasAlign = false;
    Vec2 point;
    double a1 = 0, a2 = 0, rotate = 0;
    int h = 0, v = 0;
    std::string radius, height, txt; // character data of Radius, Height, Txt
    std::string layer;               // "layer" attribute; empty: the drawing's layer
};

class Reader {
public:
    Reader(const std::string& utf8, CadDocument& doc)
        : p_(utf8.data()), end_(utf8.data() + utf8.size()), doc_(doc) {}

    void run() {
        checkEncoding(reinterpret_cast<const unsigned char*>(p_),
                      reinterpret_cast<const unsigned char*>(end_));
        if (end_ - p_ >= 3 && std::memcmp(p_, "\xEF\xBB\xBF", 3) == 0)
            p_ += 3;
        if (startsWith("<?xml") && p_ + 5 < end_ && (isXmlSpace(p_[5]) || p_[5] == '?'))
            declaration();
        bool doctype = false;
        while (p_ < end_) {
            if (*p_ != '<') {
                const char* s = p_;
                while (p_ < end_ && isXmlSpace(*p_))
                    ++p_;
                if (p_ == s)
                    refuse(); // character data outside the root element
                continue;
            }
            if (startsWith("<!--")) {
                comment();
            } else if (startsWith("<?")) {
                processingInstruction();
            } else if (startsWith("<!DOCTYPE")) {
                if (doctype || rootDone_)
                    refuse();
                doctype = true;
                skipDoctype();
            } else {
                if (rootDone_)
                    refuse(); // a second root element
                element();
                rootDone_ = true;
            }
        }
        if (!rootDone_)
            refuse();
        if (rootChildren_ == 0 && rootOtherNodes_ == 0)
            refuse();
    }

private:
    bool startsWith(const char* s) const {
        const size_t n = std::strlen(s);
        return size_t(end_ - p_) >= n && std::memcmp(p_, s, n) == 0;
    }

    void skipSpace() {
        while (p_ < end_ && isXmlSpace(*p_))
            ++p_;
    }

    // An XML name; characters beyond ASCII by the XML 1.0 name classes.
    Span name() {
        const char* s = p_;
        for (;;) {
            if (p_ == end_)
                break;
            const unsigned char c = static_cast<unsigned char>(*p_);
            const bool first = p_ == s;
            if (c < 0x80) {
                const uint8_t k = kAsciiName[c];
                if (k == 0 || (first && k == 2))
                    break;
                ++p_;
                continue;
            }
            const char* q = p_;
            const uint32_t cp = decodeOne(q); // the document is valid UTF-8
            if (!isNameStartChar(cp) && (first || !isNameOnlyChar(cp)))
                break;
            p_ = q;
        }
        if (p_ == s)
            refuse();
        return {s, p_};
    }

    // name = "value" or 'value'; checks the value's references.
    Attribute attribute() {
        Attribute a;
        a.name = name();
        skipSpace();
        if (p_ == end_ || *p_ != '=')
            refuse();
        ++p_;
        skipSpace();
        if (p_ == end_ || (*p_ != '"' && *p_ != '\''))
            refuse();
        const char quote = *p_++;
        a.raw.b = p_;
        // One pass to the closing quote, eight bytes at a time: a '<'
        // before it, or no closing quote, refuses the document.
        const char* q = p_;
        a.hasRef = false;
        for (;;) {
            if (end_ - q >= 8) {
                const uint64_t m = firstOf(q, uint8_t(quote), '<', '&');
                if (m == 0) {
                    q += 8;
                    continue;
                }
                q += stopIndex(m);
            } else {
                while (q < end_ && *q != quote && *q != '<' && *q != '&')
                    ++q;
                if (q == end_)
                    refuse();
            }
            if (*q == quote)
                break;
            if (*q == '<')
                refuse();
            a.hasRef = true; // '&'
            ++q;
        }
        if (a.hasRef)
            for (const char* r = p_; r < q;)
                if (*r == '&')
                    reference(r, q);
                else
                    ++r;
        a.raw.e = q;
        p_ = q + 1;
        return a;
    }

    void declaration() {
        p_ += 5;
        std::vector<Attribute> attrs;
        for (;;) {
            const char* before = p_;
            skipSpace();
            if (startsWith("?>")) {
                p_ += 2;
                break;
            }
            if (p_ == before)
                refuse();
            attrs.push_back(attribute());
        }
        size_t i = 0;
        if (i == attrs.size() || !attrs[i].name.is("version") || !attrs[i].raw.is("1.0"))
            refuse();
        ++i;
        if (i < attrs.size() && attrs[i].name.is("encoding")) {
            // The document reaches the reader as UTF-8; it may say so
            // (letters and digits compared, case and punctuation aside).
            std::string letters;
            for (const char* c = attrs[i].raw.b; c < attrs[i].raw.e; ++c)
                if ((*c >= '0' && *c <= '9') || ((*c | 0x20) >= 'a' && (*c | 0x20) <= 'z'))
                    letters.push_back(char(*c >= 'A' && *c <= 'Z' ? *c | 0x20 : *c));
                else if (*c != '-' && *c != '_' && *c != '.')
                    refuse();
            if (letters != "utf8")
                refuse();
            ++i;
        }
        if (i < attrs.size() && attrs[i].name.is("standalone")) {
            if (!attrs[i].raw.is("yes") && !attrs[i].raw.is("no"))
                refuse();
            ++i;
        }
        if (i != attrs.size())
            refuse();
    }

    void comment() {
        p_ += 4;
        for (;;) {
            const char* d = static_cast<const char*>(std::memchr(p_, '-', size_t(end_ - p_)));
            if (!d || end_ - d < 2)
                refuse();
            if (d[1] == '-') {
                if (end_ - d < 3 || d[2] != '>')
                    refuse(); // "--" inside a comment
                p_ = d + 3;
                return;
            }
            p_ = d + 1;
        }
    }

    void processingInstruction() {
        p_ += 2;
        const Span target = name();
        if (target.size() == 3 && (target.b[0] | 0x20) == 'x' && (target.b[1] | 0x20) == 'm' &&
            (target.b[2] | 0x20) == 'l')
            refuse(); // a declaration not at the start, or a reserved name
        if (std::memchr(target.b, ':', target.size()))
            refuse();
        if (!startsWith("?>") && (p_ == end_ || !isXmlSpace(*p_)))
            refuse();
        for (;;) {
            const char* q = static_cast<const char*>(std::memchr(p_, '?', size_t(end_ - p_)));
            if (!q || end_ - q < 2)
                refuse();
            p_ = q + 1;
            if (*p_ == '>') {
                ++p_;
                return;
            }
        }
    }

    // A document type declaration, skipped with its internal subset.
    void skipDoctype() {
        p_ += 9;
        if (p_ == end_ || !isXmlSpace(*p_))
            refuse();
        int depth = 0;
        char quote = 0;
        for (; p_ < end_; ++p_) {
            const char c = *p_;
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '[') {
                ++depth;
            } else if (c == ']') {
                --depth;
            } else if (c == '>' && depth == 0) {
                ++p_;
                return;
            }
        }
        refuse();
    }

    const Attribute* find(const char* key) const {
        const size_t n = std::strlen(key);
        for (const Attribute& a : attrs_)
            if (a.name.size() == n && std::memcmp(a.name.b, key, n) == 0)
                return &a;
        return nullptr;
    }

    Span value(const char* key) {
        const Attribute* a = find(key);
        if (!a)
            refuse();
        if (!a->hasRef)
            return a->raw;
        decoded_.clear();
        for (const char* p = a->raw.b; p < a->raw.e;) {
            if (*p == '&')
                appendUtf8(decoded_, reference(p, a->raw.e));
            else
                decoded_.push_back(*p++);
        }
        return {decoded_.data(), decoded_.data() + decoded_.size()};
    }

    double numberAttr(const char* key) { return number(value(key)); }
    int integerAttr(const char* key) { return integer(value(key)); }

    Property property() {
        Property r;
        r.type = integerAttr("type");
        r.color = integerAttr("color");
        r.scale = numberAttr("scale");
        return r;
    }

    // The name an element is matched by: its local part.
    static Span localName(Span n) {
        const char* c = static_cast<const char*>(std::memchr(n.b, ':', n.size()));
        return c ? Span{c + 1, n.e} : n;
    }

    void element() {
        // Iterative over the nesting; `open` holds the qualified names.
        std::vector<Span>& open = open_;
        open.clear();
        if (end_ - p_ < 2 || p_[1] == '/' || p_[1] == '!')
            refuse();
        for (;;) {
            if (p_ == end_)
                refuse();
            if (*p_ != '<') {
                text();
                continue;
            }
            if (end_ - p_ < 2)
                refuse();
            if (p_[1] == '/') {
                p_ += 2;
                const Span n = name();
                skipSpace();
                if (p_ == end_ || *p_ != '>' || open.empty() || !(open.back() == n))
                    refuse();
                ++p_;
                closeElement();
                if (open.empty())
                    return;
            } else if (p_[1] == '!' && startsWith("<!--")) {
                comment();
                if (open.size() == 1)
                    ++rootOtherNodes_;
            } else if (p_[1] == '!' && startsWith("<![CDATA[")) {
                p_ += 9;
                const char* s = p_;
                for (;;) {
                    const char* q = static_cast<const char*>(std::memchr(p_, ']', size_t(end_ - p_)));
                    if (!q || end_ - q < 3)
                        refuse();
                    if (q[1] == ']' && q[2] == '>') {
                        characters(s, q, false);
                        p_ = q + 3;
                        break;
                    }
                    p_ = q + 1;
                }
            } else if (p_[1] == '?') {
                processingInstruction();
                if (open.size() == 1)
                    ++rootOtherNodes_;
            } else if (p_[1] == '!') {
                refuse();
            } else {
                ++p_;
                const Span n = name();
                attrs_.clear();
                for (;;) {
                    const char* before = p_;
                    skipSpace();
                    if (p_ == end_)
                        refuse();
                    if (*p_ == '>' || *p_ == '/')
                        break;
                    if (p_ == before)
                        refuse(); // attributes must be separated by white space
                    Attribute a = attribute();
                    for (const Attribute& o : attrs_)
                        if (o.name == a.name)
                            refuse();
                    attrs_.push_back(a);
                }
                namespaces(n, open.size() + 1);
                const bool empty = *p_ == '/';
                if (empty) {
                    if (end_ - p_ < 2 || p_[1] != '>')
                        refuse();
                    p_ += 2;
                } else {
                    ++p_;
                }
                open.push_back(n);
                start(open.size(), localName(n));
                if (empty) {
                    closeElement();
                    if (open.empty())
                        return;
                }
            }
        }
    }

    void closeElement() {
        close(open_.size());
        while (!prefixes_.empty() && prefixes_.back().second >= open_.size())
            prefixes_.pop_back();
        open_.pop_back();
    }

    // Namespaces: xmlns and xmlns:p declare them and are not attributes;
    // a prefixed name needs its prefix declared here or further out.
    void namespaces(Span element, size_t depth) {
        size_t k = 0;
        for (size_t i = 0; i < attrs_.size(); ++i) {
            const Span& n = attrs_[i].name;
            if (n.is("xmlns"))
                continue;
            if (n.size() > 6 && std::memcmp(n.b, "xmlns:", 6) == 0) {
                if (attrs_[i].raw.empty())
                    refuse();
                prefixes_.push_back({Span{n.b + 6, n.e}, depth});
                continue;
            }
            attrs_[k++] = attrs_[i];
        }
        attrs_.resize(k);
        checkPrefix(element);
        for (const Attribute& a : attrs_)
            checkPrefix(a.name);
    }

    void checkPrefix(Span n) const {
        const char* c = static_cast<const char*>(std::memchr(n.b, ':', n.size()));
        if (!c)
            return;
        const Span prefix{n.b, c};
        if (prefix.empty() || c + 1 == n.e || std::memchr(c + 1, ':', size_t(n.e - c - 1)))
            refuse();
        if (prefix.is("xml"))
            return;
        for (const auto& d : prefixes_)
            if (d.first == prefix)
                return;
        refuse();
    }

    // Character data up to the next '<': references checked, "]]>" refused.
    void text() {
        const char* s = p_;
        const char* lt = static_cast<const char*>(std::memchr(p_, '<', size_t(end_ - p_)));
        if (!lt)
            refuse();
        p_ = lt;
        characters(s, lt, true);
    }

    void characters(const char* s, const char* e, bool parsed) {
        const size_t depth = open_.size();
        const bool capture = capture_ && depth == 3;
        if (!capture && depth != 1) {
            // Only checked: the usual indentation between elements.
            if (!parsed)
                return;
            for (const char* p = s; p < e; ++p) {
                // Eight bytes at a time past those that are neither '&' nor ']'.
                while (e - p >= 8) {
                    const uint64_t m = firstOf(p, '&', ']', ']');
                    if (m) {
                        p += stopIndex(m);
                        break;
                    }
                    p += 8;
                }
                if (p == e)
                    break;
                if (*p == '&') {
                    const char* q = p;
                    reference(q, e);
                    p = q - 1;
                } else if (*p == ']' && e - p >= 3 && p[1] == ']' && p[2] == '>') {
                    refuse();
                }
            }
            return;
        }
        bool blank = true;
        for (const char* p = s; p < e;) {
            const char c = *p;
            if (parsed && c == '&') {
                const uint32_t cp = reference(p, e);
                blank = false;
                if (capture)
                    appendUtf8(*capture_, cp);
                continue;
            }
            if (parsed && c == ']' && e - p >= 3 && p[1] == ']' && p[2] == '>')
                refuse();
            if (!isXmlSpace(c))
                blank = false;
            if (capture) {
                if (c == '\r') {
                    capture_->push_back('\n'); // line ends read as LF
                    if (p + 1 < e && p[1] == '\n')
                        ++p;
                } else {
                    capture_->push_back(c);
                }
            }
            ++p;
        }
        if (depth == 1 && !blank)
            ++rootOtherNodes_;
    }

    void start(size_t depth, Span n) {
        if (depth == 1) {
            if (numberAttr("version") > 1.01)
                refuse();
            return;
        }
        if (depth == 2) {
            ++rootChildren_;
            Pending& e = pending_;
            e.kind = n.is("line") || n.is("polyline") ? Kind::Polyline
                     : n.is("circle")                 ? Kind::Circle
                     : n.is("arc")                    ? Kind::Arc
                     : n.is("text")                   ? Kind::Text
                                                      : Kind::Other;
            e.vertices.clear();
            e.prop = Property{};
            e.hasCenter = e.hasRadius = e.hasAngle = e.hasProp = false;
            e.hasPoint = e.hasTxt = e.hasHeight = e.hasAlign = false;
            e.radius.clear();
            e.height.clear();
            e.txt.clear();
            e.layer.clear();
            if (find("layer")) {
                const Span l = value("layer");
                e.layer.assign(l.b, l.e);
                if (e.layer.empty())
                    refuse();
            }
            return;
        }
        if (depth != 3)
            return;
        Pending& e = pending_;
        switch (e.kind) {
        case Kind::Other:
            break;
        case Kind::Polyline:
            // Every Point adds a vertex; every Property must be complete
            // and the last one counts.
            if (n.is("Point"))
                e.vertices.push_back({numberAttr("x"), numberAttr("y")});
            else if (n.is("Property"))
                e.prop = property();
            break;
        case Kind::Circle:
        case Kind::Arc:
            // The first child of each name counts.
            if (n.is("Center") && !e.hasCenter) {
                e.point = {numberAttr("x0"), numberAttr("y0")};
                e.hasCenter = true;
            } else if (n.is("Radius") && !e.hasRadius) {
                e.hasRadius = true;
                capture_ = &e.radius;
            } else if (n.is("Property") && !e.hasProp) {
                e.prop = property();
                e.hasProp = true;
            } else if (e.kind == Kind::Arc && n.is("Angle") && !e.hasAngle) {
                e.a1 = numberAttr("a1");
                e.a2 = numberAttr("a2");
                e.hasAngle = true;
            }
            break;
        case Kind::Text:
            if (n.is("Point") && !e.hasPoint) {
                e.point = {numberAttr("x"), numberAttr("y")};
                e.hasPoint = true;
            } else if (n.is("Txt") && !e.hasTxt) {
                e.hasTxt = true;
                capture_ = &e.txt;
            } else if (n.is("Height") && !e.hasHeight) {
                e.hasHeight = true;
                capture_ = &e.height;
            } else if (n.is("Align") && !e.hasAlign) {
                e.h = integerAttr("H");
                e.v = integerAttr("V");
                e.rotate = numberAttr("rotate");
                e.hasAlign = true;
            }
            break;
        }
    }

    void close(size_t depth) {
        if (depth == 3) {
            capture_ = nullptr;
            return;
        }
        if (depth != 2)
            return;
        Pending& e = pending_;
        const auto span = [](const std::string& s) { return Span{s.data(), s.data() + s.size()}; };
        switch (e.kind) {
        case Kind::Other:
            break;
        case Kind::Polyline:
            requireDrawable(e.vertices);
            addPolyline(doc_, e.vertices, e.prop.type, e.prop.color, e.prop.scale, e.layer);
            break;
        case Kind::Circle:
        case Kind::Arc: {
            if (!e.hasCenter || !e.hasRadius || !e.hasProp || (e.kind == Kind::Arc && !e.hasAngle))
                refuse();
            const double r = number(span(e.radius));
            requireRadius(r);
            if (e.kind == Kind::Circle)
                addCircle(doc_, e.point, r, e.prop.type, e.prop.color, e.prop.scale, e.layer);
            else
                addArc(doc_, e.point, r, e.a1, e.a2, e.prop.type, e.prop.color, e.prop.scale, e.layer);
            break;
        }
        case Kind::Text: {
            if (!e.hasPoint || !e.hasTxt || !e.hasHeight || !e.hasAlign)
                refuse();
            const double height = number(span(e.height));
            requireTextHeight(height);
            requireTextLength(e.txt, doc_.header.codePage);
            addText(doc_, e.point, e.txt, height, e.h, e.v, e.rotate, e.layer);
            break;
        }
        }
    }

    const char* p_;
    const char* end_;
    CadDocument& doc_;
    std::vector<Span> open_;
    std::vector<Attribute> attrs_;
    std::vector<std::pair<Span, size_t>> prefixes_; // declared prefix, depth
    std::string decoded_;
    std::string* capture_ = nullptr;
    Pending pending_;
    bool rootDone_ = false;
    size_t rootChildren_ = 0;
    size_t rootOtherNodes_ = 0;
};

} // namespace

bool parseInterchangeXml(const std::string& utf8, CadDocument& doc) noexcept {
    try {
        Reader(utf8, doc).run();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace vantrel
