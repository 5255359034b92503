#include "host/CommandLine.h"

#include <cwchar>

namespace qv::host {

void Transcript::append(const std::wstring& piece) {
    m_text += piece;
    if (m_sink) {
        m_sink(piece);
    }
}

Transcript& transcript() {
    static Transcript instance;
    return instance;
}

std::wstring flagsAsNumbers(const wchar_t* format) {
    std::wstring out = format;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] != L'%') {
            continue;
        }
        std::size_t j = i + 1;
        while (j < out.size() && std::wcschr(L"-+ #0123456789.*hlIw", out[j]) != nullptr) {
            ++j;
        }
        if (j < out.size() && out[j] == L'b') {
            out[j] = L'd';
        }
        i = j;  // also steps over the second '%' of "%%"
    }
    return out;
}

}  // namespace qv::host
