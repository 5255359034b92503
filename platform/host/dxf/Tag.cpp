#include "host/dxf/Tag.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "host/dxf/GroupCode.h"

namespace qv::dxf {

TagList::Entry TagList::makeEntry(int code, std::string_view value) {
    const bool isLong = value.size() >= kLongValue;
    if (m_text.size() + value.size() + 4 > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("a DXF record is larger than 4 GB");
    }
    if (code < 0 || code > 0xFFFF) {
        throw std::invalid_argument("not a DXF group code: " + std::to_string(code));
    }
    if (isLong) {
        const auto length = static_cast<std::uint32_t>(value.size());
        m_text.append(reinterpret_cast<const char*>(&length), sizeof length);
    }
    Entry entry{static_cast<std::uint16_t>(code),
                isLong ? kLongValue : static_cast<std::uint16_t>(value.size()),
                static_cast<std::uint32_t>(m_text.size())};
    m_text.append(value);
    return entry;
}

TagView TagList::operator[](size_t index) const {
    const Entry& e = m_entries[index];
    std::uint32_t length = e.length;
    if (length == kLongValue) {
        std::memcpy(&length, m_text.data() + e.offset - sizeof length, sizeof length);
    }
    return {e.code, std::string_view(m_text.data() + e.offset, length), 0};
}

void TagList::add(int code, std::string_view value) {
    m_entries.push_back(makeEntry(code, value));
}

void TagList::setValue(size_t index, std::string_view value) {
    const Entry& old = m_entries.at(index);
    m_entries[index] = makeEntry(old.code, value);
}

void TagList::insert(size_t index, int code, std::string_view value) {
    const Entry entry = makeEntry(code, value);
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
        record.tags.add(tag.code, tag.value);
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
