#include "host/db/XData.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <span>

#include "host/GroupCodes.h"
#include "host/db/ResBuf.h"

namespace qv::host {

namespace {

// A handle's text: 1 to 16 hexadecimal digits, blanks around them allowed (they are dropped).
bool handleText(std::wstring& text) {
    const size_t first = text.find_first_not_of(L' ');
    const size_t last = text.find_last_not_of(L' ');
    if (first == std::wstring::npos || last - first + 1 > 16) {
        return false;
    }
    text = text.substr(first, last - first + 1);
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return std::iswxdigit(c) != 0; });
}

// The bytes the text takes in UTF-8, the drawing file's encoding.
int utf8Length(const std::wstring& text) {
    int bytes = 0;
    for (const wchar_t c : text) {
        const auto u = static_cast<unsigned long>(c);
        bytes += u < 0x80 ? 1 : u < 0x800 ? 2 : u < 0x10000 ? 3 : 4;
    }
    return bytes;
}

}  // namespace

int xdataSize(const XDataRecord& record) {
    int size = 0;
    size += 2 + static_cast<int>(record.application.size()) + 1;
    for (const XDataItem& item : record.items) {
        size += 2;
        switch (valueKind(item.code)) {
            case ValueKind::String:
                size += static_cast<int>(item.text.size()) + 1;
                break;
            case ValueKind::Binary:
                size += static_cast<int>(item.binary.size()) + 1;
                break;
            case ValueKind::Point:
                size += 24;
                break;
            case ValueKind::Real:
                size += 8;
                break;
            case ValueKind::Short:
                size += 2;
                break;
            case ValueKind::Long:
                size += 4;
                break;
            case ValueKind::None:
            case ValueKind::Int64:
            case ValueKind::Name:
                break;
        }
    }
    return size;
}

int xdataSize(const std::vector<XDataRecord>& records) {
    int size = 0;
    for (const XDataRecord& record : records) {
        size += xdataSize(record);
    }
    return size;
}

Acad::ErrorStatus parseXData(const resbuf* list, std::vector<XDataRecord>& out) {
    std::vector<XDataRecord> records;
    int depth = 0;
    for (const resbuf* rb = list; rb != nullptr; rb = rb->rbnext) {
        const int code = rb->restype;
        if (code == 1001) {
            if (depth != 0 || rb->resval.rstring == nullptr || rb->resval.rstring[0] == 0) {
                return Acad::eInvalidResBuf;
            }
            records.push_back({rb->resval.rstring, {}});
            continue;
        }
        if (records.empty() || !isExtendedDataCode(code)) {
            return Acad::eInvalidResBuf;
        }
        XDataItem item;
        item.code = static_cast<short>(code);
        switch (valueKind(code)) {
            case ValueKind::String:
                item.text = rb->resval.rstring != nullptr ? rb->resval.rstring : L"";
                // A handle that is no handle would be lost when the drawing is read again.
                if (groupType(code) == GroupType::Handle && !handleText(item.text)) {
                    return Acad::eInvalidResBuf;
                }
                if (utf8Length(item.text) > kXDataStringLimit) {
                    return Acad::eInvalidResBuf;
                }
                break;
            case ValueKind::Binary: {
                const short n = rb->resval.rbinary.clen;
                if (n < 0 || n > 127 || (n > 0 && rb->resval.rbinary.buf == nullptr)) {
                    return Acad::eInvalidResBuf;
                }
                const auto* bytes = reinterpret_cast<const unsigned char*>(rb->resval.rbinary.buf);
                item.binary.assign(bytes, bytes + n);
                break;
            }
            case ValueKind::Point:
                std::memcpy(item.values, rb->resval.rpoint, sizeof(item.values));
                break;
            case ValueKind::Real:
                item.values[0] = rb->resval.rreal;
                break;
            case ValueKind::Short:
                item.integer = rb->resval.rint;
                break;
            case ValueKind::Long:
                item.integer = rb->resval.rlong;
                break;
            case ValueKind::None:
            case ValueKind::Int64:
            case ValueKind::Name:
                return Acad::eInvalidResBuf;
        }
        if (code == 1002) {
            if (item.text == L"{") {
                ++depth;
            } else if (item.text == L"}" && depth > 0) {
                --depth;
            } else {
                return Acad::eInvalidResBuf;
            }
        }
        records.back().items.push_back(std::move(item));
    }
    if (depth != 0) {
        return Acad::eInvalidResBuf;
    }
    out = std::move(records);
    return Acad::eOk;
}

resbuf* buildXData(const std::vector<XDataRecord>& records) {
    return buildXData(records.data(), records.size());
}

resbuf* buildXData(const XDataRecord* records, size_t count) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    auto append = [&](resbuf* rb) {
        *tail = rb;
        tail = &rb->rbnext;
    };
    for (const XDataRecord& record : std::span(records, count)) {
        resbuf* app = acutNewRb(1001);
        app->resval.rstring = acutNewString(record.application.c_str());
        append(app);
        for (const XDataItem& item : record.items) {
            resbuf* rb = acutNewRb(item.code);
            switch (valueKind(item.code)) {
                case ValueKind::String:
                    rb->resval.rstring = acutNewString(item.text.c_str());
                    break;
                case ValueKind::Binary:
                    rb->resval.rbinary.clen = static_cast<short>(item.binary.size());
                    if (!item.binary.empty()) {
                        rb->resval.rbinary.buf = new char[item.binary.size()];
                        std::memcpy(rb->resval.rbinary.buf, item.binary.data(), item.binary.size());
                    }
                    break;
                case ValueKind::Point:
                    std::memcpy(rb->resval.rpoint, item.values, sizeof(item.values));
                    break;
                case ValueKind::Real:
                    rb->resval.rreal = item.values[0];
                    break;
                case ValueKind::Short:
                    rb->resval.rint = static_cast<short>(item.integer);
                    break;
                case ValueKind::Long:
                    rb->resval.rlong = item.integer;
                    break;
                case ValueKind::None:
                case ValueKind::Int64:
                case ValueKind::Name:
                    break;
            }
            append(rb);
        }
    }
    return head;
}

}  // namespace qv::host
