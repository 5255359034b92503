// Selection filters: the result-buffer lists that acedSSGet takes to keep only some entities.
//
// Each item tests one property of the entity by its group code; the items of a list must all
// hold. Texts match as wildcard patterns (Wildcard.h), without regard to case:
//   0    the entity's type ("INSERT", "LWPOLYLINE", "LINE", "CIRCLE", "TEXT", "HATCH", ...)
//   1    the text of a text or attribute
//   2    the block name of a block reference, the pattern name of a hatch
//   6    the linetype name ("ByLayer", "ByBlock" or a linetype's name)
//   8    the layer name
// Numbers are compared exactly, or by the relation of a -4 item just before them ("=", "!=",
// "/=", "<>", "<", "<=", ">", ">=", "*" for any value):
//   62   the colour number (0 by block, 256 by layer)
//   67   0 for model space, 1 for paper space
// Grouping with -4 items: "<AND" ... "AND>", "<OR" ... "OR>", "<XOR" two items "XOR>",
// "<NOT" one item "NOT>".
// An entity without the property tested (the block name of a line) does not pass. A list that
// uses another group code, a value of the wrong kind, or unbalanced or unknown -4 items is
// refused as a whole.
#pragma once

#include <memory>
#include <string>

#include "../db/AcDbEntity.h"
#include "../db/ResBuf.h"

namespace qv::host::ed {

class SelectionFilter {
  public:
    // A filter that passes everything.
    SelectionFilter();
    ~SelectionFilter();
    SelectionFilter(SelectionFilter&&) noexcept;
    SelectionFilter& operator=(SelectionFilter&&) noexcept;

    // Reads a filter list (null: no filter); false with a reason in `error` when it is refused.
    static bool parse(const resbuf* list, SelectionFilter& filter, std::wstring& error);

    bool passes(const AcDbEntity& entity) const;

    // A text that two filters share exactly when they are written alike (the same tests, in the
    // same groups and order): what a search may key what it learned of a filter by. Empty for a
    // filter that passes everything.
    std::wstring key() const;

    struct Node;

  private:
    std::unique_ptr<Node> m_root;
};

}  // namespace qv::host::ed
