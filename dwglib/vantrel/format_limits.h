// What the DWG format can hold, checked before anything is written: a
// string's length in the drawing's code page must fit the 16-bit length
// of a text value, a polyline needs two vertices, circles and arcs a
// positive radius, text a positive height. Each check throws
// std::invalid_argument when the value does not fit.
#pragma once

#include "document.h"

#include <string>
#include <vector>

namespace vantrel {

// Longest string a text value can hold, in code-page bytes: the 16-bit
// length counts the terminating NUL.
inline constexpr size_t kMaxTextBytes = 0xFFFF - 1;

void requireDrawable(const std::vector<Vec2>& polylineVertices);
void requireRadius(double radius);
void requireTextHeight(double height);
void requireTextLength(const std::string& utf8, const std::string& codePage);

// Every entity of the document's blocks, as above.
void requireWritable(const CadDocument& doc);

} // namespace vantrel
