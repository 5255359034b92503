#include "host/db/AcDbHandle.h"

#include <cwchar>

AcDbHandle::AcDbHandle(const ACHAR* hex) {
    if (hex == nullptr) {
        return;
    }
    while (*hex == L' ' || *hex == L'\t') {
        ++hex;
    }
    for (; *hex != 0; ++hex) {
        int digit;
        if (*hex >= L'0' && *hex <= L'9') {
            digit = *hex - L'0';
        } else if (*hex >= L'a' && *hex <= L'f') {
            digit = *hex - L'a' + 10;
        } else if (*hex >= L'A' && *hex <= L'F') {
            digit = *hex - L'A' + 10;
        } else {
            break;
        }
        m_value = m_value << 4 | static_cast<Adesk::UInt64>(digit);
    }
}

std::wstring AcDbHandle::text() const {
    wchar_t buffer[17];
    std::swprintf(buffer, 17, L"%llX", static_cast<unsigned long long>(m_value));
    return buffer;
}

bool AcDbHandle::getIntoAsciiBuffer(ACHAR* buffer, size_t length) const {
    const std::wstring t = text();
    if (buffer == nullptr || length < t.size() + 1) {
        return false;
    }
    std::wmemcpy(buffer, t.c_str(), t.size() + 1);
    return true;
}
