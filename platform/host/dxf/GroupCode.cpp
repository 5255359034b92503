#include "host/dxf/GroupCode.h"

namespace qv::dxf {

ValueKind valueKind(int code) {
    if (code < 10) {
        return code == kHandleCode ? ValueKind::Handle : ValueKind::String;
    }
    if (code < 60) {
        return ValueKind::Double;
    }
    if (code < 100) {
        return ValueKind::Integer;  // 60-79 16-bit, 90-99 32-bit (80-89 unused)
    }
    if (code == 105) {
        return ValueKind::Handle;
    }
    if (code < 110) {
        return ValueKind::String;
    }
    if (code < 150) {
        return ValueKind::Double;
    }
    if (code >= 160 && code < 180) {
        return ValueKind::Integer;
    }
    if (code >= 210 && code < 240) {
        return ValueKind::Double;
    }
    if (code >= 270 && code < 300) {
        return ValueKind::Integer;
    }
    if (code >= 300 && code < 310) {
        return ValueKind::String;
    }
    if (code >= 310 && code < 320) {
        return ValueKind::Binary;
    }
    if (code >= 320 && code < 370) {
        return ValueKind::Handle;
    }
    if (code >= 370 && code < 390) {
        return ValueKind::Integer;
    }
    if (code >= 390 && code < 400) {
        return ValueKind::Handle;
    }
    if (code >= 400 && code < 410) {
        return ValueKind::Integer;
    }
    if (code >= 420 && code < 430) {
        return ValueKind::Integer;
    }
    if (code >= 440 && code < 460) {
        return ValueKind::Integer;
    }
    if (code >= 460 && code < 470) {
        return ValueKind::Double;
    }
    if (code == 480 || code == 481) {
        return ValueKind::Handle;
    }
    if (code == 1004) {
        return ValueKind::Binary;
    }
    if (code == 1005) {
        return ValueKind::Handle;
    }
    if (code >= 1010 && code < 1060) {
        return ValueKind::Double;
    }
    if (code >= 1060 && code <= 1071) {
        return ValueKind::Integer;
    }
    return ValueKind::String;
}

}  // namespace qv::dxf
