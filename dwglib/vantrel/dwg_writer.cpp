#include "dwg_writer.h"

#include "codepage.h"
#include "format_limits.h"
#include "object_writer.h"
#include "r2004_container.h"
#include "sections.h"

#include <cstdio>
#include <random>
#include <stdexcept>

#ifdef _WIN32
#  include <windows.h>
#endif

namespace vantrel {

Bytes writeDwg(const CadDocument& doc, int64_t unixTime)
{
    const int cp = codePageIndex(doc.header.codePage);
    if (cp < 0)
        throw std::invalid_argument("unknown code page");
    requireWritable(doc);
    std::vector<ClassDef> classes = standardClasses();
    ObjectsSection objects = writeObjects(doc, classes);

    SectionContext ctx;
    ctx.created = julianFromUnix(unixTime);
    ctx.updated = ctx.created;
    ctx.objectCount = objects.objectCount();

    // Same sections, numbers, storage and file order as AutoCAD's AC1018
    // files (see tests/dwg/dwg_structure.py --compare).
    std::vector<SectionData> s;
    s.push_back({"AcDb:SummaryInfo", 9, false, 0, writeSummaryInfoSection(ctx)});
    s.push_back({"AcDb:Preview", 10, false, 0, writePreviewSection()});
    s.push_back({"AcDb:AppInfo", 11, false, 0, writeAppInfoSection()});
    s.push_back({"AcDb:AppInfoHistory", 12, false, 0, writeAppInfoHistorySection(ctx)});
    s.push_back({"AcDb:FileDepList", 13, false, 2, writeFileDepListSection(doc)});
    s.push_back({"AcDb:RevHistory", 8, true, 0, writeRevHistorySection()});
    s.push_back({"AcDb:AcDbObjects", 7, true, 0, std::move(objects.data)});
    s.push_back({"AcDb:ObjFreeSpace", 6, true, 0, writeObjFreeSpaceSection(ctx)});
    s.push_back({"AcDb:Template", 5, true, 0, writeTemplateSection(), false});
    s.push_back({"AcDb:Handles", 4, true, 0, writeHandlesSection(objects.offsets)});
    s.push_back({"AcDb:Classes", 3, true, 0, writeClassesSection(classes)});
    s.push_back({"AcDb:AuxHeader", 2, true, 0, writeAuxHeaderSection(doc, ctx)});
    s.push_back({"AcDb:Header", 1, true, 0, writeHeaderSection(doc, ctx)});

    ContainerOptions opt;
    opt.codePage = uint16_t(cp);
    return buildR2004File(s, opt);
}

bool saveFileAtomically(const std::string& utf8Path, const Bytes& bytes)
{
    if (utf8Path.empty())
        return false;
    std::random_device rd;
    const std::string tmp = utf8Path + ".vantrel" + std::to_string(rd() % 1000000) + ".tmp";
#ifdef _WIN32
    auto wide = [](const std::string& s) {
        std::wstring w(size_t(MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, nullptr, 0)), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, &w[0], int(w.size()));
        if (!w.empty())
            w.pop_back();
        return w;
    };
    FILE* f = _wfopen(wide(tmp).c_str(), L"wb");
#else
    FILE* f = std::fopen(tmp.c_str(), "wb");
#endif
    if (!f)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        std::remove(tmp.c_str());
        return false;
    }
#ifdef _WIN32
    if (!MoveFileExW(wide(tmp).c_str(), wide(utf8Path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        _wremove(wide(tmp).c_str());
        return false;
    }
#else
    if (std::rename(tmp.c_str(), utf8Path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
#endif
    return true;
}

}  // namespace vantrel
