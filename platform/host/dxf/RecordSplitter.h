// Splits the tags of a file into sections and records, the way every DXF file is laid out:
//   0 SECTION / 2 <name> / records... / 0 ENDSEC, ..., 0 EOF
// A record starts with a 0 tag (its type) and runs to the next 0 tag; in the HEADER a variable
// starts with a 9 tag (its name) instead.
#pragma once

#include <string_view>

#include "AuditReport.h"
#include "Tag.h"

namespace qv::dxf {

// Receives sections and records in file order.
class RecordSink {
  public:
    virtual ~RecordSink() = default;
    virtual void beginSection(std::string_view name, std::uint32_t line) = 0;
    // Tags between a section's name and its first record (THUMBNAILIMAGE and ACDSDATA have
    // them); called once, before the first record, only when there are such tags.
    virtual void sectionHead(const std::vector<TagView>& tags) = 0;
    // One record: in the HEADER a variable (type "$ACADVER", tags its values); elsewhere an
    // entity, object, class, table entry, or a structure record (TABLE, ENDTAB, BLOCK, ENDBLK,
    // SEQEND). The view and what it points to are valid only during the call.
    virtual void record(const RecordView& record) = 0;
    virtual void endSection() = 0;
};

// Reads UTF-8 DXF text (see TextDecoding.h) into `sink`. Throws DxfError where the text stops
// being DXF (a group code that is not a number). What can be repaired is repaired and reported:
// a missing ENDSEC or EOF, a record that the file ends inside (dropped), data after EOF, tags outside any section or
// record (ignored; tags at the start of a section other than the HEADER are its head, not
// stray; a 0 tag in the HEADER ends the variable before it and is stray), a SECTION without a name
// (its content is skipped). Comments (999) are dropped. Every beginSection is matched by an
// endSection.
void splitRecords(std::string_view text, RecordSink& sink, AuditReport& report);

}  // namespace qv::dxf
