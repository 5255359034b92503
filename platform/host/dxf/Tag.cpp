#include "host/dxf/Tag.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "host/dxf/GroupCode.h"

namespace qv::dxf {

TagList::Entry TagList::makeEntry(int code, std::string_view value, std::uint32_t line) {
    if (m_text.size() + value.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("a DXF record is larger than 4 GB");
    }
    Entry entry{code, line, static_cast<std::uint32_t>(m_text.size()),
                static_cast<std::uint32_t>(value.size())};
    m_text.append(value);
    return entry;
}

TagView TagList::operator[](size_t index) const {
    const Entry& e = m_entries[index];
    return {e.code, std::string_view(m_text).substr(e.offset, e.length), e.line};
}

void TagList::add(int code, std::string_view value, std::uint32_t line) {
    m_entries.push_back(makeEntry(code, value, line));
}

void TagList::setValue(size_t index, std::string_view value) {
    const Entry& old = m_entries.at(index);
    m_entries[index] = makeEntry(old.code, value, old.line);
}

void TagList::insert(size_t index, int code, std::string_view value) {
    const Entry entry = makeEntry(code, value, 0);
    m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(std::min(index, size())),
                     entry);
}

void TagList::reserve(size_t tags, size_t bytes) {
    m_entries.reserve(tags);
    m_text.reserve(bytes);
}

size_t TagList::find(int code, size_t from) const {
    for (size_t i = from; i < m_entries.size(); ++i) {
        if (m_entries[i].code == code) {
            return i;
        }
    }
    return size();
}

std::string_view TagList::value(int code) const {
    const size_t i = find(code);
    return i < size() ? (*this)[i].value : std::string_view();
}

bool operator==(const TagList& a, const TagList& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (!(a[i] == b[i])) {
            return false;
        }
    }
    return true;
}

Record RecordView::toRecord() const {
    Record record;
    record.type = std::string(type);
    record.line = line;
    size_t bytes = 0;
    for (const TagView& tag : tags) {
        bytes += tag.value.size();
    }
    record.tags.reserve(tags.size(), bytes);
    for (const TagView& tag : tags) {
        record.tags.add(tag.code, tag.value, tag.line);
    }
    return record;
}

template <typename Tags>
long ownerTagIndex(const Tags& tags) {
    bool inGroup = false;
    long index = 0;
    for (const TagView tag : tags) {
        if (tag.code == kGroupCode) {
            inGroup = !tag.value.empty() && tag.value[0] == '{';
        } else if (tag.code == kOwnerCode && !inGroup) {
            return index;
        } else if (tag.code == kSubclassCode || tag.code == kXDataAppCode) {
            // The owner comes before the first subclass; later 330s are references.
            return -1;
        }
        ++index;
    }
    return -1;
}

template long ownerTagIndex<TagList>(const TagList&);
template long ownerTagIndex<std::vector<TagView>>(const std::vector<TagView>&);

}  // namespace qv::dxf
