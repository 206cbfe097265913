#pragma once

#include <QString>

// The embedded viewer (Qt's rich text) reads a subset of CSS: a colour
// written rgba() with three components, as CSS itself allows and browsers
// read as opaque, makes it warn and drop the colour. The page a report
// window shows is adapted here, in its style sheets and style attributes
// only; the report file stays as written.
namespace ViewerPage {

QString adapted(const QString& html);

} // namespace ViewerPage
