// The state of one drawing being read into a database: the report, the record being read and its
// leftovers, the names of table entries seen so far, and the references that wait until the
// whole file is read (references are resolved after loading, as a reference may name an object
// that comes later in the file).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "../db/AcDbDatabase.h"
#include "AuditReport.h"
#include "FieldTable.h"
#include "FileData.h"
#include "Version.h"

namespace qv::dxf {

// What a reference carries besides its target: the place it fills (a loop's index, a
// dictionary's key).
struct RefArgs {
    int index = 0;
    std::wstring key;
    std::uint64_t value = 0;
};
// Gives a resolved reference to the object that made it.
using ApplyRef = void (*)(AcDbObject& object, AcDbObjectId target, const RefArgs& args);

// The tables whose entries are referred to by name.
enum class NameTable : int { Layer, Linetype, TextStyle, Block, RegApp };
inline constexpr int kNameTables = 5;

class ReadContext {
  public:
    ReadContext(AcDbDatabase& database, AuditReport& report, FileData& data);

    AcDbDatabase& database() { return m_database; }
    AuditReport& report() { return m_report; }
    FileData& data() { return m_data; }
    DxfVersion version() const { return m_data.version; }

    // ---- the record being read ----
    void beginRecord(std::string_view type, std::uint32_t line);
    std::string_view recordType() const { return m_type; }
    std::uint32_t recordLine() const { return m_line; }
    // Leftovers of the record (see FileData.h); taken by the reader when the record is done.
    ObjectExtras& extras() { return m_extras; }
    void leftover(Place place, const TagView& tag) { m_extras.add(place, tag.code, tag.value); }
    // Set by an entity's 67 tag: the entity is in paper space.
    bool paperSpace = false;

    // Text of the file as the host keeps it (caret forms decoded).
    std::wstring text(std::string_view utf8) const;
    // The same in a buffer of the context, valid until the next call (no allocation when the
    // text fits what the buffer held before).
    const std::wstring& textBuffer(std::string_view utf8);
    // Reports a value the object refused.
    void refused(const Field& field, const FieldValue& value);
    void warn(Fix fix, std::uint32_t line, std::string message) {
        m_report.add(fix, line, std::move(message));
    }

    // ---- names ----
    // Makes `object` (a table entry, in the database or waiting for a handle) the one that
    // `name` names in `table`; false (and nothing changed) when another entry has that name.
    bool nameObject(NameTable table, const std::wstring& name, AcDbObject* object);
    // The entry of that name (any case), or null.
    AcDbObject* findName(NameTable table, std::string_view utf8Name);
    // Notes a layer (read or added) whose name holds characters a layer name may not hold, other
    // than the host's hidden layers ("*ADSK_...", "*ACMAP...", "*TEMPORARY..."); it is found by
    // that name while reading, and renamed by repairLayerNames when every reference is resolved.
    void checkLayerName(AcDbObject* layer, const std::wstring& name, std::uint32_t line);
    // Renames the layers noted: each character a layer name may not hold becomes "_", and a
    // name another layer has gets "$1", "$2", ... Each renaming is reported. False when no layer
    // was renamed.
    bool repairLayerNames();

    // ---- references ----
    // Refers `from` to the entry `name` of `table`: applied at once when the entry is in the
    // database, otherwise when reading is done. A name that names nothing then is reported and
    // handled by resolveNames' `missing`.
    void referByName(AcDbObject& from, NameTable table, std::string_view name, ApplyRef apply);
    // Refers `from` to the object of a handle, applied when reading is done; a handle that names
    // nothing is reported and not applied.
    void referByHandle(AcDbObject& from, std::string_view handle, ApplyRef apply, const char* what,
                       RefArgs args = {}, Fix fix = Fix::MissingReference);

    // Applies the references that waited. For a name that names nothing, `missing` gives the
    // entry to use instead (it may make one), or null to leave the reference unset.
    using MissingName = AcDbObject* (*)(ReadContext& context, NameTable table,
                                        const std::wstring& name, std::uint32_t line);
    void resolve(MissingName missing);

    // Applies `apply` to an object of the database as if it were open for write (or directly
    // to one that is not in it yet).
    static void applyTo(AcDbObject& object, ApplyRef apply, AcDbObjectId target,
                        const RefArgs& args = {});

  private:
    struct NameRef {
        AcDbObject* from;
        NameTable table;
        std::string name;
        ApplyRef apply;
        std::uint32_t line;
    };
    struct HandleRef {
        AcDbObject* from;
        std::uint64_t handle;
        ApplyRef apply;
        std::uint32_t line;
        const char* what;
        RefArgs args;
        Fix fix;
    };
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>()(text);
        }
    };
    struct NameMap {
        std::unordered_map<std::wstring, AcDbObject*> folded;  // upper case
        // As written, a cache (looked up by views, without copies).
        std::unordered_map<std::string, AcDbObject*, TextHash, std::equal_to<>> exact;
        // The names found last (entities of a few layers follow each other), viewing the keys
        // of `exact`.
        std::pair<std::string_view, AcDbObject*> recent[4] = {};
        unsigned next = 0;
    };

    AcDbDatabase& m_database;
    AuditReport& m_report;
    FileData& m_data;
    std::string_view m_type;
    std::uint32_t m_line = 0;
    std::wstring m_text;
    ObjectExtras m_extras;
    NameMap m_names[kNameTables];
    std::vector<NameRef> m_nameRefs;
    std::vector<HandleRef> m_handleRefs;
    std::vector<std::pair<AcDbObject*, std::uint32_t>> m_invalidLayers;
};

// Upper case of a name for comparing (ASCII and Latin-1 letters).
std::wstring foldedName(std::wstring_view name);

}  // namespace qv::dxf
