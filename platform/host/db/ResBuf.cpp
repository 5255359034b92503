#include "host/db/ResBuf.h"

#include <cstdarg>
#include <cstring>
#include <cwchar>

#include "host/GroupCodes.h"

namespace qv::host {

ValueKind valueKind(int code) {
    switch (code) {
        case RTREAL:
        case RTANG:
        case RTORINT:
            return ValueKind::Real;
        case RTPOINT:
        case RT3DPOINT:
            return ValueKind::Point;
        case RTSHORT:
            return ValueKind::Short;
        case RTSTR:
            return ValueKind::String;
        case RTENAME:
        case RTPICKS:
            return ValueKind::Name;
        case RTLONG:
            return ValueKind::Long;
        case RTLONG_PTR:
        case RTINT64:
            return ValueKind::Int64;
        case RTNONE:
        case RTVOID:
        case RTLB:
        case RTLE:
        case RTDOTE:
        case RTNIL:
        case RTT:
        case RTDXF0:
            return ValueKind::None;
        default:
            break;
    }
    if (code == -1 || code == -2 || code == -5) {
        return ValueKind::Name;
    }
    if (code == -4) {
        return ValueKind::String;
    }
    if (code < 0) {
        return ValueKind::None;
    }
    switch (groupType(code)) {
        case GroupType::Text:
        case GroupType::Handle:
            return ValueKind::String;
        case GroupType::PointX:
            return ValueKind::Point;
        case GroupType::Coordinate:
        case GroupType::Real:
            return ValueKind::Real;
        case GroupType::Int16:
        case GroupType::Bool:
            return ValueKind::Short;
        case GroupType::Int32:
            return ValueKind::Long;
        case GroupType::Int64:
            return ValueKind::Int64;
        case GroupType::Pointer:
            return ValueKind::Name;
        case GroupType::Binary:
            return ValueKind::Binary;
        case GroupType::Unused:
            break;
    }
    return ValueKind::None;
}

}  // namespace qv::host

using qv::host::ValueKind;

resbuf* acutNewRb(int code) {
    if (code == RTNONE) {
        return nullptr;
    }
    resbuf* rb = new resbuf;
    std::memset(rb, 0, sizeof(resbuf));
    rb->restype = static_cast<short>(code);
    return rb;
}

int acutRelRb(resbuf* list) {
    while (list != nullptr) {
        resbuf* next = list->rbnext;
        switch (qv::host::valueKind(list->restype)) {
            case ValueKind::String:
                delete[] list->resval.rstring;
                break;
            case ValueKind::Binary:
                delete[] list->resval.rbinary.buf;
                break;
            case ValueKind::None:
            case ValueKind::Real:
            case ValueKind::Point:
            case ValueKind::Short:
            case ValueKind::Long:
            case ValueKind::Int64:
            case ValueKind::Name:
                break;
        }
        delete list;
        list = next;
    }
    return RTNORM;
}

ACHAR* acutNewString(const ACHAR* text) {
    if (text == nullptr) {
        return nullptr;
    }
    const size_t n = std::wcslen(text);
    ACHAR* copy = new ACHAR[n + 1];
    std::wmemcpy(copy, text, n + 1);
    return copy;
}

void acutDelString(ACHAR*& text) {
    delete[] text;
    text = nullptr;
}

resbuf* acutBuildList(int code, ...) {
    va_list args;
    va_start(args, code);
    resbuf* head = nullptr;
    resbuf** tail = &head;
    while (code != 0 && code != RTNONE) {
        // RTDXF0 stands for group code 0, which would end the list.
        const int stored = code == RTDXF0 ? 0 : code;
        resbuf* rb = acutNewRb(stored);
        switch (qv::host::valueKind(stored)) {
            case ValueKind::String:
                rb->resval.rstring = acutNewString(va_arg(args, const ACHAR*));
                break;
            case ValueKind::Real:
                rb->resval.rreal = va_arg(args, double);
                break;
            case ValueKind::Point: {
                const ads_real* p = va_arg(args, const ads_real*);
                if (p != nullptr) {
                    std::memcpy(rb->resval.rpoint, p, sizeof(ads_point));
                }
                break;
            }
            case ValueKind::Short:
                rb->resval.rint = static_cast<short>(va_arg(args, int));
                break;
            case ValueKind::Long:
                rb->resval.rlong = static_cast<Adesk::Int32>(va_arg(args, int));
                break;
            case ValueKind::Int64:
                rb->resval.mnInt64 = va_arg(args, Adesk::Int64);
                break;
            case ValueKind::Name: {
                const Adesk::Int64* name = va_arg(args, const Adesk::Int64*);
                if (name != nullptr) {
                    rb->resval.rlname[0] = name[0];
                    rb->resval.rlname[1] = name[1];
                }
                break;
            }
            case ValueKind::Binary:
                // Binary chunks cannot be given in a list; the list ends here.
                delete rb;
                rb = nullptr;
                break;
            case ValueKind::None:
                break;
        }
        if (rb == nullptr) {
            break;
        }
        *tail = rb;
        tail = &rb->rbnext;
        code = va_arg(args, int);
    }
    va_end(args);
    return head;
}

resbuf* qvCopyResBufList(const resbuf* list) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (; list != nullptr; list = list->rbnext) {
        resbuf* rb = acutNewRb(list->restype == RTNONE ? RTVOID : list->restype);
        rb->restype = list->restype;
        rb->resval = list->resval;
        switch (qv::host::valueKind(list->restype)) {
            case ValueKind::String:
                rb->resval.rstring = acutNewString(list->resval.rstring);
                break;
            case ValueKind::Binary: {
                const short n = list->resval.rbinary.clen;
                rb->resval.rbinary.buf = nullptr;
                if (n > 0 && list->resval.rbinary.buf != nullptr) {
                    rb->resval.rbinary.buf = new char[static_cast<size_t>(n)];
                    std::memcpy(rb->resval.rbinary.buf, list->resval.rbinary.buf,
                                static_cast<size_t>(n));
                } else {
                    rb->resval.rbinary.clen = 0;
                }
                break;
            }
            case ValueKind::None:
            case ValueKind::Real:
            case ValueKind::Point:
            case ValueKind::Short:
            case ValueKind::Long:
            case ValueKind::Int64:
            case ValueKind::Name:
                break;
        }
        rb->rbnext = nullptr;
        *tail = rb;
        tail = &rb->rbnext;
    }
    return head;
}
