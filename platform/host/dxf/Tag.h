// Tags, the smallest unit of a DXF file: a group code and its value. `TagView` points into text
// that someone else owns (the file being read); `TagList` owns its values compactly, for records
// kept as they were read and written back unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv::dxf {

struct TagView {
    int code = 0;
    std::string_view value;
    std::uint32_t line = 0;  // line of the group code in the file, 1-based; 0 when not read

    friend bool operator==(const TagView& a, const TagView& b) {
        return a.code == b.code && a.value == b.value;  // the line is where, not what
    }
};

// An ordered list of tags whose values live in one buffer, eight bytes a tag besides the value
// (it holds whole drawings kept as read). Lines are not kept: views given out have line 0.
// Views stay valid until the list is changed or destroyed.
class TagList {
  public:
    size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    TagView operator[](size_t index) const;

    void add(int code, std::string_view value);
    // Replaces the value of the tag at `index`.
    void setValue(size_t index, std::string_view value);
    // Inserts a tag before `index` (index == size() appends).
    void insert(size_t index, int code, std::string_view value);
    void reserve(size_t tags, size_t bytes);

    // Index of the first tag with `code` at or after `from`; size() when there is none.
    size_t find(int code, size_t from = 0) const;
    // Value of the first tag with `code`; empty when there is none.
    std::string_view value(int code) const;

    class const_iterator {
      public:
        using value_type = TagView;
        using difference_type = std::ptrdiff_t;
        const_iterator() = default;
        const_iterator(const TagList* list, size_t index) : m_list(list), m_index(index) {}
        TagView operator*() const { return (*m_list)[m_index]; }
        const_iterator& operator++() {
            ++m_index;
            return *this;
        }
        const_iterator operator++(int) {
            auto old = *this;
            ++m_index;
            return old;
        }
        bool operator==(const const_iterator& other) const { return m_index == other.m_index; }

      private:
        const TagList* m_list = nullptr;
        size_t m_index = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    friend bool operator==(const TagList& a, const TagList& b);

  private:
    // A value of kLongValue bytes or more has its length stored in four bytes before it.
    static constexpr std::uint16_t kLongValue = 0xFFFF;
    struct Entry {
        std::uint16_t code;
        std::uint16_t length;
        std::uint32_t offset;
    };
    Entry makeEntry(int code, std::string_view value);

    std::string m_text;
    std::vector<Entry> m_entries;
};

// One record of a section: an entity, object, table entry, class or header variable, with every
// tag that followed its type tag, in file order.
struct Record {
    std::string type;        // "LINE", "LAYER", "CLASS", or a header variable name "$ACADVER"
    std::uint32_t line = 0;  // line of the type tag
    TagList tags;

    friend bool operator==(const Record& a, const Record& b) {
        return a.type == b.type && a.tags == b.tags;
    }
};

// A record as it is read: views into the file text, valid only during the call that hands it out.
struct RecordView {
    std::string_view type;
    std::uint32_t line = 0;
    std::vector<TagView> tags;

    Record toRecord() const;
};

// Index of the tag holding the owner of a record: the first owner tag that is not inside a
// "{APP ... }" group. -1 when the record names no owner.
template <typename Tags>
long ownerTagIndex(const Tags& tags);

}  // namespace qv::dxf
