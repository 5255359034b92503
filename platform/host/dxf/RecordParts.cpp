#include "host/dxf/RecordParts.h"

#include "host/dxf/GroupCode.h"

namespace qv::dxf {

const Subclass* RecordParts::subclass(std::string_view name) const {
    for (const Subclass& s : subclasses) {
        if (s.name == name) {
            return &s;
        }
    }
    return nullptr;
}

const XDataPart* RecordParts::xdataOf(std::string_view app) const {
    for (const XDataPart& x : xdata) {
        if (x.app == app) {
            return &x;
        }
    }
    return nullptr;
}

RecordParts splitRecordParts(const std::vector<TagView>& tags) {
    RecordParts parts;
    parts.subclasses.push_back({{}, {0, 0}});
    size_t i = 0;
    for (; i < tags.size() && tags[i].code != kXDataAppCode; ++i) {
        const TagView& tag = tags[i];
        if (tag.code == kSubclassCode) {
            parts.subclasses.back().tags.end = i;
            parts.subclasses.push_back({tag.value, {i + 1, i + 1}});
        } else if (tag.code == kGroupCode && !tag.value.empty() && tag.value[0] == '{') {
            AppGroup group{tag.value.substr(1), {i + 1, i + 1}};
            size_t j = i + 1;
            while (j < tags.size() && tags[j].code != kSubclassCode &&
                   tags[j].code != kXDataAppCode &&
                   !(tags[j].code == kGroupCode && tags[j].value == "}")) {
                ++j;
            }
            group.tags.end = j;
            parts.groups.push_back(group);
            const bool closed = j < tags.size() && tags[j].code == kGroupCode;
            i = closed ? j : j - 1;
        }
    }
    parts.subclasses.back().tags.end = i;
    for (; i < tags.size(); ++i) {
        if (tags[i].code == kXDataAppCode) {
            if (!parts.xdata.empty()) {
                parts.xdata.back().tags.end = i;
            }
            parts.xdata.push_back({tags[i].value, {i + 1, i + 1}});
        }
    }
    if (!parts.xdata.empty()) {
        parts.xdata.back().tags.end = tags.size();
    }
    return parts;
}

}  // namespace qv::dxf
