// CString (wide, as in a Unicode MFC build), CStringA (Windows-1252 bytes) and CStringW.
//
// Indexes are character positions; out-of-range arguments are clamped the way MFC clamps them
// (Left, Mid, Right, Delete, Insert), and GetAt/SetAt outside the text raise
// CInvalidArgException through AfxThrowInvalidArgException. Format follows the Windows runtime
// (see win32/Format.h): in a CString format %s is a wide string.
#pragma once

#include <algorithm>
#include <cwchar>
#include <iosfwd>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "../win32/CodePage.h"
#include "../win32/Format.h"
#include "../win32/WinTypes.h"

[[noreturn]] void AfxThrowInvalidArgException();

template <class Ch>
class CStringT {
  public:
    using XCHAR = Ch;
    using PXSTR = Ch*;
    using PCXSTR = const Ch*;
    using YCHAR = std::conditional_t<std::is_same_v<Ch, wchar_t>, char, wchar_t>;

    CStringT() = default;
    CStringT(const CStringT&) = default;
    CStringT(CStringT&&) noexcept = default;
    CStringT& operator=(const CStringT&) = default;
    CStringT& operator=(CStringT&&) noexcept = default;

    CStringT(const Ch* s) : m_s(s ? s : empty()) {}
    CStringT(const Ch* s, int length)
        : m_s(s ? std::basic_string<Ch>(s, clampLen(s, length)) : std::basic_string<Ch>()) {}
    CStringT(const YCHAR* s) : m_s(convert(s)) {}
    CStringT(const CStringT<YCHAR>& other) : m_s(convert(other.GetString())) {}
    explicit CStringT(Ch ch, int repeat = 1) : m_s(repeat > 0 ? repeat : 0, ch) {}
    explicit CStringT(std::basic_string_view<Ch> s) : m_s(s) {}
    // The platform below the framework (Win32, the screen driver) speaks std::wstring: a wide
    // CString is made from one and read as a std::wstring_view without a cast, so that the
    // conversion happens here and nowhere else.
    explicit(!std::is_same_v<Ch, wchar_t>) CStringT(const std::basic_string<Ch>& s) : m_s(s) {}

    CStringT& operator=(const Ch* s) {
        m_s = s ? s : empty();
        return *this;
    }
    CStringT& operator=(const YCHAR* s) {
        m_s = convert(s);
        return *this;
    }
    CStringT& operator=(const CStringT<YCHAR>& other) {
        m_s = convert(other.GetString());
        return *this;
    }
    CStringT& operator=(Ch ch) {
        m_s.assign(1, ch);
        return *this;
    }

    // Length and content.
    int GetLength() const { return static_cast<int>(m_s.size()); }
    BOOL IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    PCXSTR GetString() const { return m_s.c_str(); }
    operator PCXSTR() const { return m_s.c_str(); }
    const std::basic_string<Ch>& str() const { return m_s; }
    operator std::basic_string_view<Ch>() const requires std::is_same_v<Ch, wchar_t> { return m_s; }
    PCXSTR qvFormatText() const { return m_s.c_str(); }

    // The character at an index; the index equal to the length gives the terminating zero.
    Ch GetAt(int i) const {
        if (i < 0 || i > GetLength())
            AfxThrowInvalidArgException();
        return m_s.c_str()[i];
    }
    Ch operator[](int i) const { return GetAt(i); }
    void SetAt(int i, Ch ch) {
        if (i < 0 || i >= GetLength())
            AfxThrowInvalidArgException();
        m_s[static_cast<std::size_t>(i)] = ch;
    }

    // Parts.
    CStringT Left(int n) const {
        if (n < 0)
            n = 0;
        if (n >= GetLength())
            return *this;
        return CStringT(m_s.substr(0, static_cast<std::size_t>(n)));
    }
    CStringT Right(int n) const {
        if (n < 0)
            n = 0;
        if (n >= GetLength())
            return *this;
        return CStringT(m_s.substr(m_s.size() - static_cast<std::size_t>(n)));
    }
    CStringT Mid(int first) const { return Mid(first, GetLength() - (first < 0 ? 0 : first)); }
    CStringT Mid(int first, int count) const {
        if (first < 0)
            first = 0;
        if (count < 0)
            count = 0;
        if (first >= GetLength())
            return CStringT();
        if (count > GetLength() - first)
            count = GetLength() - first;
        return CStringT(
            m_s.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
    }
    CStringT SpanIncluding(PCXSTR set) const {
        std::size_t n = 0;
        while (set && n < m_s.size() && inSet(m_s[n], set))
            ++n;
        return Left(static_cast<int>(n));
    }
    CStringT SpanExcluding(PCXSTR set) const {
        std::size_t n = 0;
        while (n < m_s.size() && !(set && inSet(m_s[n], set)))
            ++n;
        return Left(static_cast<int>(n));
    }
    CStringT Tokenize(PCXSTR tokens, int& start) const {
        if (start < 0 || start >= GetLength() || !tokens) {
            start = -1;
            return CStringT();
        }
        std::size_t i = static_cast<std::size_t>(start);
        while (i < m_s.size() && inSet(m_s[i], tokens))
            ++i;
        if (i >= m_s.size()) {
            start = -1;
            return CStringT();
        }
        std::size_t j = i;
        while (j < m_s.size() && !inSet(m_s[j], tokens))
            ++j;
        start = static_cast<int>(j < m_s.size() ? j + 1 : j);
        return CStringT(m_s.substr(i, j - i));
    }

    // Searching. The framework searches as the C runtime's wcschr, wcsstr, wcsrchr and wcspbrk
    // do: from the start up to the next NUL, which itself counts as part of the text (Find(L'\0')
    // gives the length of a text without NULs). A start within the length may lie past an
    // embedded NUL: the search then sees the text from there. A start before the text or past its
    // end finds nothing (a character search also finds nothing from the length itself).
    int Find(Ch ch, int start = 0) const {
        if (start < 0 || start >= GetLength())
            return -1;
        for (int i = start;; ++i) {
            const Ch c = m_s.c_str()[i];
            if (c == ch)
                return i;
            if (c == 0)
                return -1;
        }
    }
    int Find(PCXSTR sub, int start = 0) const {
        if (!sub || start < 0 || start > GetLength())
            return -1;
        // From the start up to the next NUL, as wcsstr sees the text there.
        const std::basic_string_view<Ch> text(m_s.c_str() + start);
        const auto pos = text.find(sub);
        return pos == std::basic_string_view<Ch>::npos ? -1 : static_cast<int>(pos) + start;
    }
    int ReverseFind(Ch ch) const {
        const std::basic_string_view<Ch> text(m_s.c_str());
        if (ch == 0)
            return static_cast<int>(text.size());
        const auto pos = text.rfind(ch);
        return pos == std::basic_string_view<Ch>::npos ? -1 : static_cast<int>(pos);
    }
    int FindOneOf(PCXSTR set) const {
        if (!set)
            return -1;
        for (const Ch* p = m_s.c_str(); *p; ++p)
            if (inSet(*p, set))
                return static_cast<int>(p - m_s.c_str());
        return -1;
    }

    // Changing in place.
    CStringT& MakeUpper() {
        for (auto& c : m_s)
            c = static_cast<Ch>(upper(c));
        return *this;
    }
    CStringT& MakeLower() {
        for (auto& c : m_s)
            c = static_cast<Ch>(lower(c));
        return *this;
    }
    CStringT& MakeReverse() {
        std::reverse(m_s.begin(), m_s.end());
        return *this;
    }
    CStringT& TrimLeft() {
        std::size_t i = 0;
        while (i < m_s.size() && isSpace(m_s[i]))
            ++i;
        m_s.erase(0, i);
        return *this;
    }
    CStringT& TrimRight() {
        std::size_t n = m_s.size();
        while (n > 0 && isSpace(m_s[n - 1]))
            --n;
        m_s.resize(n);
        return *this;
    }
    CStringT& Trim() { return TrimRight().TrimLeft(); }
    CStringT& TrimLeft(Ch ch) {
        const Ch set[2] = {ch, 0};
        return TrimLeft(set);
    }
    CStringT& TrimRight(Ch ch) {
        const Ch set[2] = {ch, 0};
        return TrimRight(set);
    }
    CStringT& Trim(Ch ch) { return TrimRight(ch).TrimLeft(ch); }
    CStringT& TrimLeft(PCXSTR set) {
        if (!set || !*set)
            return *this;
        std::size_t i = 0;
        while (i < m_s.size() && inSet(m_s[i], set))
            ++i;
        m_s.erase(0, i);
        return *this;
    }
    CStringT& TrimRight(PCXSTR set) {
        if (!set || !*set)
            return *this;
        std::size_t n = m_s.size();
        while (n > 0 && inSet(m_s[n - 1], set))
            --n;
        m_s.resize(n);
        return *this;
    }
    CStringT& Trim(PCXSTR set) { return TrimRight(set).TrimLeft(set); }

    int Replace(Ch oldCh, Ch newCh) {
        int n = 0;
        for (auto& c : m_s)
            if (c == oldCh) {
                c = newCh;
                ++n;
            }
        return n;
    }
    int Replace(PCXSTR oldText, PCXSTR newText) {
        if (!oldText || !*oldText)
            return 0;
        const std::basic_string<Ch> from(oldText), to(newText ? newText : empty());
        std::basic_string<Ch> result;
        int n = 0;
        std::size_t pos = 0;
        for (;;) {
            const auto hit = m_s.find(from, pos);
            if (hit == std::basic_string<Ch>::npos)
                break;
            result.append(m_s, pos, hit - pos);
            result += to;
            pos = hit + from.size();
            ++n;
        }
        if (n) {
            result.append(m_s, pos, std::basic_string<Ch>::npos);
            m_s.swap(result);
        }
        return n;
    }
    int Remove(Ch ch) {
        const auto before = m_s.size();
        std::erase(m_s, ch);
        return static_cast<int>(before - m_s.size());
    }
    int Delete(int index, int count = 1) {
        if (index < 0)
            index = 0;
        if (count > 0 && index < GetLength()) {
            if (count > GetLength() - index)
                count = GetLength() - index;
            m_s.erase(static_cast<std::size_t>(index), static_cast<std::size_t>(count));
        }
        return GetLength();
    }
    int Insert(int index, Ch ch) {
        if (index < 0)
            index = 0;
        if (index > GetLength())
            index = GetLength();
        m_s.insert(m_s.begin() + index, ch);
        return GetLength();
    }
    int Insert(int index, PCXSTR text) {
        if (index < 0)
            index = 0;
        if (index > GetLength())
            index = GetLength();
        if (text)
            m_s.insert(static_cast<std::size_t>(index), text);
        return GetLength();
    }
    void Append(PCXSTR text) {
        if (text)
            m_s += text;
    }
    void AppendChar(Ch ch) { m_s += ch; }
    void SetString(PCXSTR text) { *this = text; }
    void Truncate(int length) {
        if (length >= 0 && length < GetLength())
            m_s.resize(static_cast<std::size_t>(length));
    }

    // Comparing.
    // As wcscmp: the texts up to their first NUL.
    int Compare(PCXSTR other) const {
        const int c = std::basic_string_view<Ch>(m_s.c_str()).compare(other ? other : empty());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    int CompareNoCase(PCXSTR other) const {
        if (!other)
            other = empty();
        std::size_t i = 0;
        for (;; ++i) {
            const auto a = static_cast<std::uint32_t>(lower(i < m_s.size() ? m_s[i] : 0));
            const auto b = static_cast<std::uint32_t>(lower(other[i]));
            if (a != b)
                return a < b ? -1 : 1;
            if (a == 0)
                return 0;
        }
    }

    // Buffer access: write up to the requested length, then ReleaseBuffer.
    PXSTR GetBuffer() { return m_s.data(); }
    PXSTR GetBuffer(int minLength) {
        if (minLength > GetLength())
            m_s.resize(static_cast<std::size_t>(minLength));
        return m_s.data();
    }
    PXSTR GetBufferSetLength(int length) {
        m_s.resize(static_cast<std::size_t>(length < 0 ? 0 : length));
        return m_s.data();
    }
    void ReleaseBuffer(int newLength = -1) {
        if (newLength < 0) {
            m_s.resize(std::char_traits<Ch>::length(m_s.c_str()));
        } else if (newLength <= GetLength()) {
            m_s.resize(static_cast<std::size_t>(newLength));
        }
    }
    void ReleaseBufferSetLength(int newLength) { ReleaseBuffer(newLength); }
    void Preallocate(int length) {
        if (length > 0)
            m_s.reserve(static_cast<std::size_t>(length));
    }

    // Formatting.
    template <class... A>
    void Format(PCXSTR fmt, const A&... args) {
        m_s = doFormat(fmt, args...);
    }
    template <class... A>
    void AppendFormat(PCXSTR fmt, const A&... args) {
        m_s += doFormat(fmt, args...);
    }

    CStringT& operator+=(const CStringT& s) {
        m_s += s.m_s;
        return *this;
    }
    CStringT& operator+=(PCXSTR s) {
        Append(s);
        return *this;
    }
    CStringT& operator+=(const YCHAR* s) {
        m_s += convert(s);
        return *this;
    }
    CStringT& operator+=(Ch ch) {
        m_s += ch;
        return *this;
    }

    friend CStringT operator+(const CStringT& a, const CStringT& b) {
        CStringT r(a);
        r.m_s += b.m_s;
        return r;
    }
    friend CStringT operator+(const CStringT& a, PCXSTR b) {
        CStringT r(a);
        r.Append(b);
        return r;
    }
    friend CStringT operator+(PCXSTR a, const CStringT& b) {
        CStringT r(a);
        r.m_s += b.m_s;
        return r;
    }
    friend CStringT operator+(const CStringT& a, Ch b) {
        CStringT r(a);
        r.m_s += b;
        return r;
    }
    friend CStringT operator+(Ch a, const CStringT& b) {
        CStringT r(a);
        r.m_s += b.m_s;
        return r;
    }
    // Texts compare as Compare does: up to their first NUL.
    friend bool operator==(const CStringT& a, const CStringT& b) { return a.Compare(b) == 0; }
    friend bool operator==(const CStringT& a, PCXSTR b) { return a.Compare(b) == 0; }
    friend bool operator==(PCXSTR a, const CStringT& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CStringT& a, const CStringT& b) { return a.Compare(b) != 0; }
    friend bool operator!=(const CStringT& a, PCXSTR b) { return a.Compare(b) != 0; }
    friend bool operator!=(PCXSTR a, const CStringT& b) { return b.Compare(a) != 0; }
    friend bool operator<(const CStringT& a, const CStringT& b) { return a.Compare(b) < 0; }
    friend bool operator>(const CStringT& a, const CStringT& b) { return a.Compare(b) > 0; }
    friend bool operator<=(const CStringT& a, const CStringT& b) { return a.Compare(b) <= 0; }
    friend bool operator>=(const CStringT& a, const CStringT& b) { return a.Compare(b) >= 0; }

  private:
    static const Ch* empty() {
        static const Ch z[1] = {0};
        return z;
    }
    static std::size_t clampLen(const Ch* s, int length) {
        if (length <= 0)
            return 0;
        return static_cast<std::size_t>(length);
    }
    static std::basic_string<Ch> convert(const YCHAR* s) {
        if (!s)
            return {};
        if constexpr (std::is_same_v<Ch, wchar_t>) {
            return qv::ansiToWide(s);
        } else {
            return qv::wideToAnsi(s);
        }
    }
    static bool inSet(Ch c, const Ch* set) {
        for (; *set; ++set)
            if (*set == c)
                return true;
        return false;
    }
    static bool isSpace(Ch c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }
    static wchar_t upper(Ch c) {
        if constexpr (std::is_same_v<Ch, wchar_t>) {
            return qv::toUpperChar(c);
        } else {
            return (c >= 'a' && c <= 'z') ? static_cast<Ch>(c - 32) : c;
        }
    }
    static wchar_t lower(Ch c) {
        if constexpr (std::is_same_v<Ch, wchar_t>) {
            return qv::toLowerChar(c);
        } else {
            return (c >= 'A' && c <= 'Z') ? static_cast<Ch>(c + 32) : c;
        }
    }
    template <class... A>
    static std::basic_string<Ch> doFormat(PCXSTR fmt, const A&... args) {
        if constexpr (std::is_same_v<Ch, wchar_t>) {
            return qv::formatWideArgs(fmt, args...);
        } else {
            return qv::formatNarrowArgs(fmt, args...);
        }
    }

    std::basic_string<Ch> m_s;
};

// Writes the text as UTF-8 (for logs and test messages).
std::ostream& operator<<(std::ostream& os, const CStringT<wchar_t>& s);
std::ostream& operator<<(std::ostream& os, const CStringT<char>& s);

typedef CStringT<wchar_t> CStringW;
typedef CStringT<char> CStringA;
typedef CStringW CString;

// Text conversion helpers in the manner of the ATL conversion classes.
#define CT2A(x) CStringA(CStringW(x))
#define CA2T(x) CStringW(CStringA(x))
#define CW2A(x) CStringA(CStringW(x))
#define CA2W(x) CStringW(CStringA(x))
