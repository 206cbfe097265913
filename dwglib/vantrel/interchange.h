// Reader of Karven's drawing interchange XML (root "entities", version
// "1.0"): adds one entity per element to a document prepared by
// initCadDocument. Callable without a clipboard, so tests can pass any
// interchange document through the same reader Vantrel uses.
#pragma once

#include "document.h"

#include <string>

namespace vantrel {

// Returns false, leaving `doc` in an unspecified state that must not be
// written, when the XML is malformed, its version is above 1.01, the root
// has no children, or any element, attribute or number the reader needs
// is missing or invalid.
bool parseInterchangeXml(const std::string& utf8, CadDocument& doc) noexcept;

}  // namespace vantrel
