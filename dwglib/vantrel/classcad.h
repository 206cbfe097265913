// Vantrel's conversion object: reads the interchange XML from the
// clipboard, prepares a document and writes it as an AC1018 DWG file.
#pragma once

#include "vantrel/document.h"

#include <QString>

namespace vantrel {

class ClassCad {
public:
    // The whole conversion: clipboard text → document → file at `path`.
    // False when the clipboard holds no text, the XML is refused or the
    // file cannot be written; nothing is written before the XML is read.
    bool write(const QString& path);

    // Document preparation (header values, styles, line types, layer).
    bool InitCaddoc(CadDocument& doc);

    // Adds the entities of the interchange XML.
    bool ParseXml(const QString& xml, CadDocument& doc);
};

}  // namespace vantrel
