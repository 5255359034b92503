// The state of one drawing being written: the text so far, the handles of the objects written,
// names of table entries as UTF-8, new handles for records that have none (a new block's BLOCK
// and ENDBLK), and the object being written with its leftovers.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "../db/AcDbDatabase.h"
#include "FileData.h"
#include "TagWriter.h"

namespace qv::dxf {

class WriteContext {
  public:
    // Writes to `out`. New handles are given from the database's seed up.
    WriteContext(const AcDbDatabase& database, const FileData* data, std::string& out);

    const AcDbDatabase& database() const { return m_database; }
    const FileData* data() const { return m_data; }
    TagWriter& out() { return m_writer; }

    // A text of the host as UTF-8, in caret form where it holds control characters.
    void text(int code, std::wstring_view value);
    // The handle of an object that is written, or 0 (null id, erased object, another database).
    std::uint64_t handleOf(AcDbObjectId id) const;
    // Writes a reference to an object (0 for one that is not written).
    void reference(int code, AcDbObjectId id) { m_writer.handle(code, handleOf(id)); }
    // The name of a symbol-table record as UTF-8 (empty for a null id).
    const std::string& nameOf(AcDbObjectId id);
    // Whether a block is a paper-space layout's block ("*Paper_Space", "*Paper_Space3").
    bool isPaperSpaceBlock(AcDbObjectId block);
    // The linetype ByLayer of the drawing (what an entity without a linetype of its own has).
    AcDbObjectId byLayerLinetype() const { return m_byLayer; }

    // A handle no object and no record of the file has.
    std::uint64_t issueHandle() { return m_next++; }
    // The seed to write: above every handle written.
    std::uint64_t seed() const { return m_next; }
    // Writes the seed's value as a placeholder of seedText's width, to be replaced once every
    // handle is written; seedOffset is where it lies in the text (written first).
    void seedPlaceholder();
    size_t seedOffset() const { return m_seedOffset; }

    // ---- the object being written ----
    void setObject(const AcDbObject& object);
    std::uint64_t objectHandle() const { return m_handle; }
    const ObjectExtras* extras() const { return m_extras; }
    // Writes the leftovers at `place`, except those of the codes in `skip`.
    void writeLeftovers(Place place, std::span<const int> skip = {});
    // The bits kept for a code of flags at `place` (0 when there are none).
    std::int64_t leftoverBits(Place place, int code) const;

  private:
    const AcDbDatabase& m_database;
    size_t m_seedOffset = 0;
    const FileData* m_data;
    TagWriter m_writer;
    std::uint64_t m_next;
    std::uint64_t m_handle = 0;
    const ObjectExtras* m_extras = nullptr;
    std::unordered_map<AcDbStub*, std::string> m_names;
    AcDbObjectId m_byLayer;
};

// The handle seed as the header holds it: sixteen hexadecimal digits, zeros leading.
std::string seedText(std::uint64_t seed);

}  // namespace qv::dxf
