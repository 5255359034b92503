#include "host/dxf/FileData.h"

namespace qv::dxf {

std::string placeKey(Place place) {
    std::string key = std::to_string(place.subclass);
    if (place.item >= 0) {
        key += '.';
        key += std::to_string(place.item);
    }
    return key;
}

void ObjectExtras::add(Place place, int code, std::string_view value) {
    if (!(place == m_last)) {
        tags.add(kPlaceCode, placeKey(place));
        m_last = place;
    }
    tags.add(code, value);
}

size_t ObjectExtras::find(Place place, int code) const {
    const std::string key = placeKey(place);
    bool here = false;
    for (size_t i = 0; i < tags.size(); ++i) {
        const TagView tag = tags[i];
        if (tag.code == kPlaceCode) {
            here = tag.value == key;
        } else if (here && tag.code == code) {
            return i;
        }
    }
    return std::string_view::npos;
}

const ObjectExtras* FileData::extras(std::uint64_t handle) const {
    const auto found = m_extras.find(handle);
    return found == m_extras.end() ? nullptr : &found->second;
}

void FileData::dropEmptyExtras(std::uint64_t handle) {
    const auto found = m_extras.find(handle);
    if (found != m_extras.end() && found->second.empty()) {
        m_extras.erase(found);
    }
}

const FileData* fileDataOf(const AcDbDatabase& database) {
    return dynamic_cast<const FileData*>(database.qvFileData());
}

}  // namespace qv::dxf
