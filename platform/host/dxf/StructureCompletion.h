// What every drawing has, added to a drawing read from a file that lacks it: the five tables the
// host models, the linetypes ByBlock, ByLayer and Continuous, the layer "0", the text style
// "Standard", the registered application "ACAD", the blocks of model space and paper space, and
// the named-object dictionary with "ACAD_GROUP". An R12 file lacks some of these by its version
// (block records, the dictionary); any other file that lacks them is reported.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "../db/AcDbDatabase.h"
#include "../db/SymbolTables.h"
#include "ReadContext.h"

namespace qv::dxf {

// The roots of a drawing being read.
struct StructureRoots {
    AcDbObject* tables[5] = {};  // LTYPE, LAYER, STYLE, APPID, BLOCK_RECORD
    AcDbObject* namedObjects = nullptr;
    AcDbBlockTableRecord* modelSpace = nullptr;
    AcDbBlockTableRecord* paperSpace = nullptr;

    AcDbObject* table(std::string_view name) const;
    void setTable(std::string_view name, AcDbObject* table);
    // The index in `tables` of the table of that name; -1 for any other name.
    static int tableIndex(std::string_view name);
};

// Names the roots in the database (again once the tables hold their records: the current layer
// and text style default to "0" and "Standard").
void nameRoots(AcDbDatabase& database, const StructureRoots& roots);

// Adds what is missing (see above) and names the roots in the database. The tables the host does
// not model but every drawing has (VPORT, VIEW, UCS, DIMSTYLE) are added empty, as kept tables.
// Every handle of the file must be adopted before: what is added takes new handles.
void completeStructure(AcDbDatabase& database, StructureRoots& roots, ReadContext& context);

// The tables every drawing has that the host does not model, and the body of such a table's
// own record when it is empty (after its owner).
inline constexpr std::string_view kKeptTableNames[] = {"VPORT", "VIEW", "UCS", "DIMSTYLE"};
// Whether a table of the name is one of those.
inline bool isKeptTableName(std::string_view name) {
    return std::find(std::begin(kKeptTableNames), std::end(kKeptTableNames), name) !=
           std::end(kKeptTableNames);
}
std::vector<TagView> emptyTableBody(std::string_view name);

// For a reference to a name that names nothing: a layer of that name is added, a block of that
// name is added (empty), a linetype becomes Continuous and a text style Standard. Reported.
AcDbObject* missingName(ReadContext& context, NameTable table, const std::wstring& name,
                        std::uint32_t line);

// Registers an application in the drawing being read.
void addRegisteredApplication(AcDbDatabase& database, StructureRoots& roots, ReadContext& context,
                              const std::wstring& name);

}  // namespace qv::dxf
