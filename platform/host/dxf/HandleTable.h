// The handles of a drawing being loaded: which are taken, which records need new ones, and the
// seed from which new handles are given. Loading is two passes: every record claims its handle
// as read; once all are claimed, records whose claim failed are given new handles, so that a new
// handle never clashes with one that appears later in the file.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>

namespace qv::dxf {

class HandleTable {
  public:
    enum class Claim {
        Kept,       // the record keeps the handle it was read with
        Duplicate,  // another record already holds it; `firstLine` tells where
        Missing,    // empty, not hexadecimal, or the null handle 0
    };

    // Claims the handle `text` for the record at `line`.
    Claim claim(std::string_view text, std::uint32_t line, std::uint64_t& handle,
                std::uint32_t& firstLine);

    // Raises the seed to `seed` (the drawing's $HANDSEED); a lower value changes nothing.
    void raiseSeed(std::uint64_t seed);
    // A new handle: above every handle claimed or issued so far and at least the seed.
    std::uint64_t issue();
    // The next handle issue() would give.
    std::uint64_t seed() const { return m_next; }

    bool contains(std::uint64_t handle) const { return m_lines.count(handle) != 0; }
    size_t size() const { return m_lines.size(); }

  private:
    std::unordered_map<std::uint64_t, std::uint32_t> m_lines;  // handle -> line of its record
    std::uint64_t m_next = 1;
};

}  // namespace qv::dxf
