// The HEADER variables the host models, in one table that drives reading and writing. The other
// variables of a file are kept as read (FileData::header) and written back in their place.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "../db/AcDbDatabase.h"
#include "ReadContext.h"
#include "Tag.h"
#include "WriteContext.h"

namespace qv::dxf {

// The values of the modelled variables as read, given to the database once the tables are read
// (the current layer and text style are names).
struct HeaderValues {
    std::string clayer, textstyle;
    std::uint32_t clayerLine = 0, textstyleLine = 0;
    std::optional<std::int64_t> lunits, luprec, insunits, sortents, tilemode;
    std::optional<double> textsize;
    std::optional<AcGePoint3d> ucsorg;
    std::optional<AcGeVector3d> ucsxdir, ucsydir;
    std::uint64_t handseed = 0;
    std::uint32_t line = 0;  // of the variable being read
};

struct HeaderVariable {
    std::string_view name;  // "$CLAYER"
    void (*read)(HeaderValues& values, std::span<const TagView> tags);
    // Writes the variable's values (not its name).
    void (*write)(const AcDbDatabase& database, WriteContext& context);
};

// Every modelled variable, in the order a new drawing's header has them ($ACADVER first).
std::span<const HeaderVariable> headerVariables();
const HeaderVariable* findHeaderVariable(std::string_view name);

// Gives the values to the database; refusals and names that name nothing are reported.
void applyHeader(const HeaderValues& values, AcDbDatabase& database, ReadContext& context);

}  // namespace qv::dxf
