// dwg_from_xml IN.xml OUT.dwg — passes an interchange document through
// Vantrel's reader and writer (the clipboard step left out) and writes the
// DWG. Exit code 0 on success, 1 when the reader refuses the document,
// 2 when writing fails. Used by the read-back and structure tests.
#include "vantrel/caddoc.h"
#include "vantrel/dwg_writer.h"
#include "vantrel/interchange.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IN.xml OUT.dwg\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    vantrel::CadDocument doc;
    vantrel::initCadDocument(doc);
    if (!vantrel::parseInterchangeXml(xml, doc))
        return 1;
    try {
        // A fixed time keeps the output reproducible.
        const vantrel::Bytes bytes = vantrel::writeDwg(doc, 1700000000);
        return vantrel::saveFileAtomically(argv[2], bytes) ? 0 : 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "write failed: %s\n", e.what());
        return 2;
    }
}
