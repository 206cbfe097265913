#include "format_limits.h"

#include "codepage.h"

#include <stdexcept>

namespace vantrel {

void requireDrawable(const std::vector<Vec2>& vertices) {
    if (vertices.size() < 2)
        throw std::invalid_argument("a polyline needs at least two vertices");
}

void requireRadius(double radius) {
    if (!(radius > 0.0))
        throw std::invalid_argument("radius not positive");
}

void requireTextHeight(double height) {
    if (!(height > 0.0))
        throw std::invalid_argument("text height not positive");
}

void requireTextLength(const std::string& utf8, const std::string& codePage) {
    // A UTF-8 character of n bytes becomes at most 4 code-page bytes or
    // an escape "\U+XXXX" of 7 (8 beyond the BMP), never more than four
    // bytes per UTF-8 byte: short strings fit without converting them.
    if (utf8.size() * 4 <= kMaxTextBytes)
        return;
    if (toCodePage(utf8, codePage).size() > kMaxTextBytes)
        throw std::invalid_argument("text longer than a text value can hold");
}

void requireWritable(const CadDocument& doc) {
    for (const BlockRecord& b : doc.blocks)
        for (const Entity& e : b.entities) {
            switch (e.kind) {
            case EntityKind::Polyline2D:
                requireDrawable(e.vertices);
                break;
            case EntityKind::Circle:
            case EntityKind::Arc:
                requireRadius(e.radius);
                break;
            case EntityKind::Text:
                requireTextHeight(e.height);
                requireTextLength(e.text, doc.header.codePage);
                break;
            }
        }
}

} // namespace vantrel
