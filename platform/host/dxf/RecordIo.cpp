#include "host/dxf/RecordIo.h"

#include <algorithm>

#include "host/GroupCodes.h"
#include "host/db/ObjectAccess.h"
#include "host/dxf/GroupCode.h"
#include "host/dxf/Numbers.h"
#include "win32/CodePage.h"

namespace qv::dxf {

using qv::host::GroupType;
using qv::host::groupType;
using qv::host::isExtendedDataCode;

void RecordHead::clear() {
    handle = {};
    hasHandle = false;
    xdictionary = {};
    owner = {};
    hasOwner = false;
    groups.clear();
    bodyStore.clear();
    body = {};
    xdata = {};
    extraHandles.clear();
}

void takeLateHandles(int handleCode, RecordHead& head) {
    const auto late = std::find_if(head.body.begin(), head.body.end(),
                                   [&](const TagView& t) { return t.code == handleCode; });
    if (late == head.body.end()) {
        return;
    }
    std::vector<TagView> body;
    body.reserve(head.body.size());
    for (const TagView& tag : head.body) {
        if (tag.code != handleCode) {
            body.push_back(tag);
        } else if (!head.hasHandle) {
            head.handle = trimBlanks(tag.value);
            head.hasHandle = true;
        } else {
            head.extraHandles.push_back(tag);
        }
    }
    head.bodyStore = std::move(body);
    head.body = head.bodyStore;
}

void splitHead(std::span<const TagView> tags, int handleCode, RecordHead& head) {
    head.clear();
    size_t end = 0;
    while (end < tags.size() && tags[end].code != kXDataAppCode) {
        ++end;
    }
    head.xdata = tags.subspan(end);
    for (size_t i = 0; i < end; ++i) {
        const TagView& tag = tags[i];
        if (tag.code == kSubclassCode) {
            // The rest is body: a view when nothing before was, else appended to the copy.
            if (head.bodyStore.empty()) {
                head.body = tags.subspan(i, end - i);
            } else {
                head.bodyStore.insert(head.bodyStore.end(), tags.begin() + static_cast<long>(i),
                                      tags.begin() + static_cast<long>(end));
                head.body = head.bodyStore;
            }
            return;
        }
        if (tag.code == handleCode && !head.hasHandle) {
            head.handle = trimBlanks(tag.value);
            head.hasHandle = true;
        } else if (tag.code == kGroupCode && !tag.value.empty() && tag.value[0] == '{') {
            size_t j = i + 1;
            while (j < end && tags[j].code != kSubclassCode &&
                   !(tags[j].code == kGroupCode && trimBlanks(tags[j].value) == "}")) {
                ++j;
            }
            const bool closed = j < end && tags[j].code == kGroupCode;
            if (trimBlanks(tag.value) == "{ACAD_XDICTIONARY") {
                for (size_t k = i + 1; k < j; ++k) {
                    if (tags[k].code == 360 && head.xdictionary.empty()) {
                        head.xdictionary = tags[k].value;
                    }
                }
            } else {
                head.groups.insert(head.groups.end(), tags.begin() + static_cast<long>(i),
                                   tags.begin() + static_cast<long>(j));
                head.groups.push_back({kGroupCode, "}", tag.line});
            }
            i = closed ? j : j - 1;
        } else if (tag.code == kOwnerCode && !head.hasOwner) {
            head.owner = tag.value;
            head.hasOwner = true;
        } else {
            head.bodyStore.push_back(tag);
            head.body = head.bodyStore;
        }
    }
}

namespace {

bool hexBytes(std::string_view text, std::vector<unsigned char>& out) {
    text = trimBlanks(text);
    if (text.size() % 2 != 0) {
        return false;
    }
    auto digit = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                      : -1;
    };
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = digit(text[i]), low = digit(text[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        out.push_back(static_cast<unsigned char>(high * 16 + low));
    }
    return true;
}

}  // namespace

std::vector<qv::host::XDataRecord> readXData(std::span<const TagView> xdata, ReadContext& context) {
    std::vector<qv::host::XDataRecord> records;
    qv::host::XDataItem* point = nullptr;  // the point whose y and z may follow
    for (size_t i = 0; i < xdata.size(); ++i) {
        const TagView& tag = xdata[i];
        const int code = tag.code;
        if (code == kXDataAppCode) {
            if (trimBlanks(tag.value).empty()) {
                // Extended data of no application: no application could ever read it.
                context.warn(Fix::InvalidValue, tag.line,
                             "extended data of " + std::string(context.recordType()) +
                                 " names no application; it was dropped");
                size_t j = i + 1;
                while (j < xdata.size() && xdata[j].code != kXDataAppCode) {
                    ++j;
                }
                i = j - 1;
                point = nullptr;
                continue;
            }
            records.push_back({qv::utf8ToWide(trimBlanks(tag.value)), {}});
            size_t items = 0;  // room for the items up to the next application
            for (size_t j = i + 1; j < xdata.size() && xdata[j].code != kXDataAppCode; ++j) {
                items += groupType(xdata[j].code) != GroupType::Coordinate ? 1 : 0;
            }
            records.back().items.reserve(items);
            point = nullptr;
            continue;
        }
        if (records.empty()) {
            continue;  // splitHead starts the span at a 1001
        }
        auto& items = records.back().items;
        if (point != nullptr && (code == point->code + 10 || code == point->code + 20)) {
            parseDouble(tag.value, point->values[(code - point->code) / 10]);
            continue;
        }
        point = nullptr;
        qv::host::XDataItem item;
        item.code = static_cast<short>(code);
        const GroupType type = isExtendedDataCode(code) ? groupType(code) : GroupType::Unused;
        bool ok = true;
        switch (type) {
            case GroupType::Text:
                if (code == 1002) {
                    const std::string_view brace = trimBlanks(tag.value);
                    ok = brace == "{" || brace == "}";
                    item.text = qv::utf8ToWide(brace);
                } else {
                    item.text = context.text(tag.value);
                }
                break;
            case GroupType::Handle: {
                std::uint64_t handle = 0;
                ok = parseHandle(tag.value, handle);
                item.text = qv::utf8ToWide(trimBlanks(tag.value));
                break;
            }
            case GroupType::Binary:
                ok = hexBytes(tag.value, item.binary) && item.binary.size() <= 127;
                break;
            case GroupType::PointX:
            case GroupType::Real:
                ok = parseDouble(tag.value, item.values[0]);
                break;
            case GroupType::Int16:
            case GroupType::Int32: {
                std::int64_t value = 0;
                ok = parseInteger(tag.value, value) &&
                     (type == GroupType::Int16 ? value >= INT16_MIN && value <= INT16_MAX
                                               : value >= INT32_MIN && value <= INT32_MAX);
                item.integer = static_cast<Adesk::Int32>(value);
                break;
            }
            case GroupType::Coordinate:  // a Y or Z that follows no point
            case GroupType::Int64:
            case GroupType::Bool:
            case GroupType::Pointer:
            case GroupType::Unused:
                ok = false;
                break;
        }
        if (!ok) {
            context.warn(Fix::InvalidValue, tag.line,
                         "extended data item " + std::to_string(code) + " '" +
                             std::string(tag.value.substr(0, 40)) + "' of " +
                             std::string(context.recordType()) + " is not valid; it was dropped");
            continue;
        }
        items.push_back(std::move(item));
        if (type == GroupType::PointX) {
            point = &items.back();
        }
    }
    return records;
}

void writeHead(std::string_view type, const AcDbObject& object, const TagList* groups,
               WriteContext& context, int handleCode, std::string_view tableName,
               bool ownerCodeFollows) {
    TagWriter& out = context.out();
    out.raw(kStructureCode, type);
    if (!tableName.empty()) {
        out.raw(kNameCode, tableName);
    }
    out.handle(handleCode, context.objectHandle());
    if (groups != nullptr) {
        for (const TagView tag : *groups) {
            out.raw(tag.code, tag.value);
        }
    }
    if (const std::uint64_t xdictionary = context.handleOf(object.extensionDictionary())) {
        out.raw(kGroupCode, "{ACAD_XDICTIONARY");
        out.handle(360, xdictionary);
        out.raw(kGroupCode, "}");
    }
    // Table heads and the named-object dictionary are owned by nothing, which "330 0" says; any
    // other record whose owner is gone leaves the tag out rather than name the null handle,
    // unless an owner code of its own follows before a subclass marker: left out, the reader
    // would take that one for the owner, and each read and write would lose one of them.
    const std::uint64_t owner = context.handleOf(object.ownerId());
    if (owner != 0 || type == "TABLE" || ownerCodeFollows ||
        object.objectId() == context.database().namedObjectsDictionaryId()) {
        out.handle(kOwnerCode, owner);
    }
}

bool ownerCodeLeads(const TagList& body) {
    for (const TagView tag : body) {
        if (tag.code == kSubclassCode) {
            return false;
        }
        if (tag.code == kOwnerCode) {
            return true;
        }
    }
    return false;
}

void writeXData(const AcDbObject& object, WriteContext& context) {
    TagWriter& out = context.out();
    for (const qv::host::XDataRecord& record : object.qvXData()) {
        out.raw(kXDataAppCode, qv::wideToUtf8(record.application));
        for (const qv::host::XDataItem& item : record.items) {
            const int code = item.code;
            switch (groupType(code)) {
                case GroupType::Text:
                    if (code == 1002) {
                        out.raw(code, qv::wideToUtf8(item.text));
                    } else {
                        context.text(code, item.text);
                    }
                    break;
                case GroupType::Handle:
                    out.raw(code, qv::wideToUtf8(item.text));
                    break;
                case GroupType::Binary: {
                    static constexpr char kHex[] = "0123456789ABCDEF";
                    std::string hex;
                    for (unsigned char b : item.binary) {
                        hex += kHex[b >> 4];
                        hex += kHex[b & 15];
                    }
                    out.raw(code, hex);
                    break;
                }
                case GroupType::PointX:
                    out.point(code, item.values[0], item.values[1], item.values[2]);
                    break;
                case GroupType::Real:
                    out.real(code, item.values[0]);
                    break;
                case GroupType::Int16:
                case GroupType::Int32:
                    out.integer(code, item.integer);
                    break;
                case GroupType::Coordinate:  // extended data holds whole points
                case GroupType::Int64:
                case GroupType::Bool:
                case GroupType::Pointer:
                case GroupType::Unused:
                    break;
            }
        }
    }
}

}  // namespace qv::dxf
