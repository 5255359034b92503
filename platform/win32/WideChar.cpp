#include "win32/WideChar.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "win32/CodePage.h"
#include "win32/WinError.h"

namespace {

bool isAnsi(UINT codePage) {
    return codePage == CP_ACP || codePage == CP_THREAD_ACP || codePage == 1252;
}

bool wellFormedUtf8(const std::string& bytes) {
    // Ill-formed input decodes to U+FFFD where the input holds no encoded U+FFFD.
    const std::wstring decoded = qv::utf8ToWide(bytes);
    std::size_t encoded = 0;
    for (std::size_t i = 0; (i = bytes.find("\xEF\xBF\xBD", i)) != std::string::npos; i += 3) {
        ++encoded;
    }
    std::size_t replaced = 0;
    for (wchar_t c : decoded) {
        replaced += c == 0xFFFD;
    }
    return replaced == encoded;
}

template <class Ch>
int store(const std::basic_string<Ch>& out, Ch* buffer, int size) {
    const auto length = static_cast<int>(out.size());
    if (size == 0) {
        return length;
    }
    if (length > size) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, out.data(), out.size() * sizeof(Ch));
    return length;
}

int fail(DWORD code) {
    SetLastError(code);
    return 0;
}

}  // namespace

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount, LPSTR bytes,
                        int byteCount, LPCSTR defaultChar, LPBOOL usedDefaultChar) {
    if (!wide || wideCount == 0 || wideCount < -1 || byteCount < 0 || (byteCount > 0 && !bytes)) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    const std::size_t n =
        wideCount == -1 ? std::wcslen(wide) + 1 : static_cast<std::size_t>(wideCount);
    const std::wstring_view text(wide, n);
    std::string out;
    if (isAnsi(codePage)) {
        bool used = false;
        out = qv::wideToAnsi(text, defaultChar ? *defaultChar : '?', &used);
        if (usedDefaultChar) {
            *usedDefaultChar = used ? TRUE : FALSE;
        }
    } else if (codePage == CP_UTF8) {
        if (defaultChar || usedDefaultChar) {
            return fail(ERROR_INVALID_PARAMETER);
        }
        if (flags & WC_ERR_INVALID_CHARS) {
            for (wchar_t c : text) {
                const auto v = static_cast<std::uint32_t>(c);
                if (v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
                    return fail(ERROR_NO_UNICODE_TRANSLATION);
                }
            }
        }
        out = qv::wideToUtf8(text);
    } else {
        return fail(ERROR_INVALID_PARAMETER);
    }
    return store(out, bytes, byteCount);
}

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR bytes, int byteCount, LPWSTR wide,
                        int wideCount) {
    if (!bytes || byteCount == 0 || byteCount < -1 || wideCount < 0 || (wideCount > 0 && !wide)) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    const std::size_t n =
        byteCount == -1 ? std::strlen(bytes) + 1 : static_cast<std::size_t>(byteCount);
    const std::string input(bytes, n);
    std::wstring out;
    if (isAnsi(codePage)) {
        out = qv::ansiToWide(input);
    } else if (codePage == CP_UTF8) {
        if ((flags & MB_ERR_INVALID_CHARS) && !wellFormedUtf8(input)) {
            return fail(ERROR_NO_UNICODE_TRANSLATION);
        }
        out = qv::utf8ToWide(input);
    } else {
        return fail(ERROR_INVALID_PARAMETER);
    }
    return store(out, wide, wideCount);
}

UINT GetACP() {
    return 1252;
}
