// What the reader repaired or noticed in a drawing, one numbered entry per fix, each naming the
// line of the file. The host shows these as warnings on the command line after a load.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv::dxf {

// The kinds of fixes. The numbers are stable: they appear in messages and tests.
enum class Fix : int {
    DataAfterEof = 1,         // text after the EOF tag was ignored
    MissingEof = 2,           // the file ended without EOF
    TruncatedTag = 3,         // a group code without a value at the end of the file
    MissingEndsec = 4,        // a section ended without ENDSEC
    InvalidValue = 5,         // a value that does not parse as its group code's type; tag dropped
    DuplicateHandle = 6,      // a record got a new handle because its own was taken
    MissingHandle = 7,        // a record without a (valid) handle got one
    MissingOwner = 8,         // a record names an owner that is not in the file
    UnsupportedCodePage = 9,  // text read as ANSI_1252 although the file names another code page
    UnknownVersion = 10,      // $ACADVER is not a known version; read as the nearest one
    InvalidUtf8 = 11,         // text that should be UTF-8 was not; read as ANSI_1252
    StrayTags = 12,           // tags outside any section or record were ignored
    UnnamedSection = 13,      // a SECTION without a name was skipped
    HandleSeed = 15,          // $HANDSEED was below a handle in use and was raised
    RefusedValue = 16,        // the host refused a value; the object keeps its default
    MissingReference = 17,    // a name or handle names nothing; what was done instead
    DroppedRecord = 18,       // a record that a 2013 drawing cannot hold was left out
    DuplicateName = 19,       // a table entry had the name of another one; it was renamed
    AddedStructure = 20,      // a table, block, layer or dictionary the host needs was added
    MisplacedRecord = 21,     // a record where it cannot be (an ATTRIB without INSERT, ...)
    TruncatedRecord = 22,     // the file ended inside a record, which was dropped
    BlockCycle = 23,          // a block reference that made a block contain itself was dropped
    UnreadableHeader = 24,    // a header variable without a readable value: left out or default
    InvalidName = 25,         // a name with characters a layer name may not hold was repaired
};

struct AuditEntry {
    Fix fix;
    std::uint32_t line;  // 0 when no line applies
    std::string message;

    // "line 12: <message> [fix 5]" (without the line part when line is 0).
    std::string text() const;
};

class AuditReport {
  public:
    // Entries kept; further ones are only counted (a badly damaged file cannot flood the host).
    static constexpr size_t kMaxEntries = 200;

    void add(Fix fix, std::uint32_t line, std::string message);

    const std::vector<AuditEntry>& entries() const { return m_entries; }
    // Every entry added, including the ones beyond kMaxEntries.
    size_t total() const { return m_total; }
    size_t count(Fix fix) const;
    bool empty() const { return m_total == 0; }
    // All entries, one per line, and a last line telling how many were left out.
    std::string text() const;

  private:
    std::vector<AuditEntry> m_entries;
    size_t m_total = 0;
    std::vector<size_t> m_counts;
};

}  // namespace qv::dxf
