// Writes every object of a CadDocument into the AcDb:AcDbObjects stream
// (format description §20, "Object data") and records where each handle
// starts, for the object map.
#pragma once

#include "bitwriter.h"
#include "document.h"

#include <map>
#include <string>
#include <vector>

namespace vantrel {

// Object types above 499 are numbered by the classes section.
struct ClassDef {
    uint16_t number;
    uint16_t proxyFlags;
    std::string appName;
    std::string cppName;
    std::string dxfName;
    bool wasZombie;
    uint16_t itemClassId;   // 0x1F2 entity, 0x1F3 object
    uint32_t instances = 0;
};

// The classes this writer's objects need (DICTIONARYWDFLT, PLACEHOLDER,
// LAYOUT), numbered from 500.
std::vector<ClassDef> standardClasses();

struct ObjectsSection {
    struct HandleOffset {
        Handle handle;
        uint32_t offset;
    };
    Bytes data;                              // starts with RL 0x0DCA
    std::vector<HandleOffset> offsets;       // handle → byte offset in data, by handle
    size_t objectCount() const { return offsets.size(); }
};

ObjectsSection writeObjects(const CadDocument& doc, std::vector<ClassDef>& classes);

// CMC colour as R2004+ writes it (§2.11 CmColor, R2004+): BS colour index
// always 0, BL RGB word with the colour method in the top byte (0xC0 by
// layer, 0xC1 by block, 0xC3 ACI in the low byte), RC 0 (no colour or book
// name follows).
void writeColorCmc(BitWriter& w, int aci);

// Text of a dictionary's entries in the order AutoCAD writes them: sorted
// by name, letters compared case-insensitively.
bool dictionaryNameLess(const std::string& a, const std::string& b);

// Fixed object type numbers (§5 object type table).
enum ObjectType : uint16_t {
    kText = 1, kBlock = 4, kEndBlk = 5, kSeqEnd = 6, kVertex2D = 10,
    kPolyline2D = 15, kArc = 17, kCircle = 18, kDictionary = 42,
    kBlockControl = 48, kBlockHeader = 49, kLayerControl = 50, kLayer = 51,
    kStyleControl = 52, kStyle = 53, kLTypeControl = 56, kLType = 57,
    kViewControl = 60, kUcsControl = 62, kVPortControl = 64, kVPort = 65,
    kAppIdControl = 66, kAppId = 67, kDimStyleControl = 68, kDimStyle = 69,
    kMLineStyle = 73,
};

}  // namespace vantrel
