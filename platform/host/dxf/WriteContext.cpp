#include "host/dxf/WriteContext.h"

#include <algorithm>

#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"
#include "host/dxf/Codec.h"
#include "host/dxf/KeptObjects.h"
#include "host/dxf/Numbers.h"
#include "win32/CodePage.h"

namespace qv::dxf {

using qv::host::ObjectAccess;

WriteContext::WriteContext(const AcDbDatabase& database, const FileData* data, std::string& out)
    : m_database(database),
      m_data(data),
      m_writer(out),
      m_next(database.handseed().value()),
      m_byLayer(database.byLayerLinetype()) {}

void WriteContext::text(int code, std::wstring_view value) {
    m_writer.text(code, qv::wideToUtf8(value));
}

std::uint64_t WriteContext::handleOf(AcDbObjectId id) const {
    const AcDbObject* object = ObjectAccess::peek(id);
    if (object == nullptr || object->isErased() || id.database() != &m_database ||
        (codecForObject(*object) == nullptr && keptTagsOf(*object) == nullptr &&
         AcDbSymbolTable::cast(object) == nullptr)) {
        return 0;  // an object that is not written
    }
    return id.handle().value();
}

const std::string& WriteContext::nameOf(AcDbObjectId id) {
    static const std::string kNone;
    const auto found = m_names.find(id);
    if (found != m_names.end()) {
        return found->second;
    }
    const auto* record = ObjectAccess::peekAs<AcDbSymbolTableRecord>(id);
    if (record == nullptr) {
        return kNone;
    }
    return m_names.emplace(id, qv::wideToUtf8(record->qvName())).first->second;
}

bool WriteContext::isPaperSpaceBlock(AcDbObjectId block) {
    const std::string& name = nameOf(block);
    static constexpr std::string_view kPrefix = "*PAPER_SPACE";
    if (name.size() < kPrefix.size()) {
        return false;
    }
    for (size_t i = 0; i < kPrefix.size(); ++i) {
        const char c = name[i];
        if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c) != kPrefix[i]) {
            return false;
        }
    }
    return true;
}

void WriteContext::setObject(const AcDbObject& object) {
    AcDbHandle handle;
    object.getAcDbHandle(handle);
    m_handle = handle.value();
    m_extras = m_data != nullptr ? m_data->extras(m_handle) : nullptr;
}

void WriteContext::writeLeftovers(Place place, std::span<const int> skip) {
    if (m_extras == nullptr) {
        return;
    }
    m_extras->forEach(place, [&](const TagView& tag) {
        if (std::find(skip.begin(), skip.end(), tag.code) == skip.end()) {
            m_writer.raw(tag.code, tag.value);
        }
    });
}

std::int64_t WriteContext::leftoverBits(Place place, int code) const {
    if (m_extras == nullptr) {
        return 0;
    }
    std::int64_t bits = 0;
    m_extras->forEach(place, [&](const TagView& tag) {
        std::int64_t value = 0;
        if (tag.code == code && parseInteger(tag.value, value)) {
            bits |= value;
        }
    });
    return bits;
}

void WriteContext::seedPlaceholder() {
    const std::string placeholder = seedText(0);
    m_writer.raw(5, placeholder);
    m_seedOffset = m_writer.out().size() - placeholder.size() - 2;  // (before CR LF)
}

std::string seedText(std::uint64_t seed) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text(16, '0');
    for (size_t i = 16; i-- > 0; seed >>= 4) {
        text[i] = kHex[seed & 15];
    }
    return text;
}

}  // namespace qv::dxf
