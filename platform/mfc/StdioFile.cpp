#include "mfc/StdioFile.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cwchar>

#include "win32/CodePage.h"
#include "win32/WinError.h"

namespace {

constexpr std::size_t kChunk = 4096;
constexpr std::size_t kKeepBehind = 4;
constexpr int kCtrlZ = 0x1A;

const std::array<wchar_t, 256>& ansiTable() {
    static const std::array<wchar_t, 256> table = [] {
        std::array<wchar_t, 256> t{};
        std::string all(256, '\0');
        for (int i = 0; i < 256; ++i) {
            all[static_cast<std::size_t>(i)] = static_cast<char>(i);
        }
        const std::wstring wide = qv::ansiToWide(all);
        std::copy(wide.begin(), wide.end(), t.begin());
        return t;
    }();
    return table;
}

void appendUtf16(std::string& out, std::uint32_t c) {
    const auto unit = [&out](std::uint32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        c = 0xFFFD;
    }
    if (c >= 0x10000) {
        c -= 0x10000;
        unit(0xD800 + (c >> 10));
        unit(0xDC00 + (c & 0x3FF));
    } else {
        unit(c);
    }
}

}  // namespace

CStdioFile::CStdioFile(LPCTSTR fileName, UINT openFlags) {
    CFileException error;
    if (!Open(fileName, openFlags, &error)) {
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
    }
}

BOOL CStdioFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* error) {
    m_ahead.clear();
    m_aheadPos = 0;
    m_ended = false;
    if (!CFile::Open(fileName, openFlags, error)) {
        return FALSE;
    }
    m_text = (openFlags & typeBinary) == 0;
    return TRUE;
}

int CStdioFile::rawByte() {
    if (m_aheadPos >= m_ahead.size()) {
        const std::size_t keep = std::min(m_aheadPos, kKeepBehind);
        m_ahead.erase(0, m_aheadPos - keep);
        m_aheadPos = keep;
        const std::size_t old = m_ahead.size();
        m_ahead.resize(old + kChunk);
        const UINT n = CFile::Read(m_ahead.data() + old, static_cast<UINT>(kChunk));
        m_ahead.resize(old + n);
        if (n == 0) {
            return -1;
        }
    }
    return static_cast<unsigned char>(m_ahead[m_aheadPos++]);
}

int CStdioFile::nextByte() {
    if (!m_text) {
        return rawByte();
    }
    if (m_ended) {
        return -1;
    }
    const int b = rawByte();
    if (b == kCtrlZ) {
        m_ended = true;
        return -1;
    }
    if (b == '\r') {
        const int next = rawByte();
        if (next == '\n') {
            return '\n';
        }
        if (next >= 0) {
            unread(1);
        }
    }
    return b;
}

void CStdioFile::dropReadAhead() const {
    const std::size_t unreadBytes = m_ahead.size() - m_aheadPos;
    if (unreadBytes > 0 && IsOpen()) {
        ::lseek(fd(), -static_cast<off_t>(unreadBytes), SEEK_CUR);
    }
    m_ahead.clear();
    m_aheadPos = 0;
}

long CStdioFile::nextChar() {
    if (m_text) {
        const int b = nextByte();
        return b < 0 ? -1 : static_cast<long>(ansiTable()[static_cast<std::size_t>(b)]);
    }
    const int lo = nextByte();
    const int hi = lo < 0 ? -1 : nextByte();
    if (hi < 0) {
        return -1;
    }
    const long unit = lo | (hi << 8);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        const int a = nextByte();
        const int b = a < 0 ? -1 : nextByte();
        if (b >= 0) {
            const long low = a | (b << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            }
            unread(2);
        } else if (a >= 0) {
            unread(1);
        }
    }
    return unit;
}

bool CStdioFile::readLine(std::wstring& out, long max) {
    requireOpen();
    if ((openFlags() & 3) == modeWrite) {
        throwError(ERROR_ACCESS_DENIED);
    }
    bool any = false;
    while (max < 0 || static_cast<long>(out.size()) < max) {
        const long c = nextChar();
        if (c < 0) {
            break;
        }
        any = true;
        out += static_cast<wchar_t>(c);
        if (c == L'\n') {
            break;
        }
    }
    return any;
}

BOOL CStdioFile::ReadString(CString& line) {
    line.Empty();
    std::wstring text;
    if (!readLine(text, -1)) {
        return FALSE;
    }
    if (!text.empty() && text.back() == L'\n') {
        text.pop_back();
    }
    line = CString(text);
    return TRUE;
}

LPTSTR CStdioFile::ReadString(LPTSTR buffer, UINT max) {
    if (!buffer || max == 0) {
        AfxThrowInvalidArgException();
    }
    std::wstring text;
    if (max > 1 && !readLine(text, static_cast<long>(max) - 1)) {
        return nullptr;
    }
    std::wmemcpy(buffer, text.c_str(), text.size() + 1);
    return buffer;
}

void CStdioFile::WriteString(LPCTSTR text) {
    if (!text) {
        AfxThrowInvalidArgException();
    }
    std::string bytes;
    for (const wchar_t* p = text; *p; ++p) {
        if (!m_text) {
            appendUtf16(bytes, static_cast<std::uint32_t>(*p));
        } else if (*p == L'\n') {
            bytes += "\r\n";
        } else {
            const int b = qv::wideCharToAnsiByte(*p);
            bytes += b < 0 ? '?' : static_cast<char>(b);
        }
    }
    dropReadAhead();
    CFile::Write(bytes.data(), static_cast<UINT>(bytes.size()));
}

UINT CStdioFile::Read(void* buffer, UINT count) {
    if (!readWanted(buffer, count)) {
        return 0;
    }
    auto* out = static_cast<char*>(buffer);
    UINT done = 0;
    while (done < count) {
        const int b = nextByte();
        if (b < 0) {
            break;
        }
        out[done++] = static_cast<char>(b);
    }
    return done;
}

void CStdioFile::Write(const void* buffer, UINT count) {
    if (count == 0) {
        return;
    }
    if (!buffer) {
        throwError(ERROR_INVALID_PARAMETER);
    }
    dropReadAhead();
    if (!m_text) {
        CFile::Write(buffer, count);
        return;
    }
    const auto* in = static_cast<const char*>(buffer);
    std::string bytes;
    bytes.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        if (in[i] == '\n') {
            bytes += '\r';
        }
        bytes += in[i];
    }
    CFile::Write(bytes.data(), static_cast<UINT>(bytes.size()));
}

ULONGLONG CStdioFile::Seek(LONGLONG offset, UINT from) {
    dropReadAhead();
    m_ended = false;
    return CFile::Seek(offset, from);
}

ULONGLONG CStdioFile::GetPosition() const {
    return CFile::GetPosition() - (m_ahead.size() - m_aheadPos);
}

ULONGLONG CStdioFile::GetLength() const {
    return CFile::GetLength();
}

void CStdioFile::SetLength(ULONGLONG length) {
    dropReadAhead();
    CFile::SetLength(length);
}

void CStdioFile::Close() {
    m_ahead.clear();
    m_aheadPos = 0;
    m_ended = false;
    CFile::Close();
}

void CStdioFile::Abort() {
    m_ahead.clear();
    m_aheadPos = 0;
    m_ended = false;
    CFile::Abort();
}
