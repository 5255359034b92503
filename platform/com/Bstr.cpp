#include "com/Bstr.h"

#include <cstdlib>
#include <cwchar>
#include <new>

#include "com/Variant.h"
#include "win32/CodePage.h"

namespace {

constexpr std::size_t kPrefix = sizeof(std::uint32_t);

// Allocates room for `bytes` bytes of text and two terminating wide zeros; the prefix holds
// the byte length. Null when the size cannot be represented or memory runs out.
BSTR allocate(std::size_t bytes) {
    if (bytes > 0x7FFFFFF0u)
        return nullptr;
    auto* block =
        static_cast<unsigned char*>(std::calloc(1, kPrefix + bytes + 2 * sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    const auto length = static_cast<std::uint32_t>(bytes);
    std::memcpy(block, &length, kPrefix);
    return reinterpret_cast<BSTR>(block + kPrefix);
}

unsigned char* blockOf(BSTR text) {
    return reinterpret_cast<unsigned char*>(text) - kPrefix;
}

}  // namespace

BSTR SysAllocString(const OLECHAR* text) {
    if (!text)
        return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(std::wcslen(text)));
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    BSTR result = allocate(static_cast<std::size_t>(length) * sizeof(OLECHAR));
    if (result && text)
        std::wmemcpy(result, text, length);
    return result;
}

BSTR SysAllocStringByteLen(const char* bytes, UINT length) {
    BSTR result = allocate(length);
    if (result && bytes)
        std::memcpy(result, bytes, length);
    return result;
}

INT SysReAllocString(BSTR* target, const OLECHAR* text) {
    if (!target)
        return FALSE;
    return SysReAllocStringLen(target, text, text ? static_cast<UINT>(std::wcslen(text)) : 0);
}

INT SysReAllocStringLen(BSTR* target, const OLECHAR* text, UINT length) {
    if (!target)
        return FALSE;
    BSTR fresh = SysAllocStringLen(text, length);
    if (!fresh)
        return FALSE;
    SysFreeString(*target);
    *target = fresh;
    return TRUE;
}

void SysFreeString(BSTR text) {
    if (text)
        std::free(blockOf(text));
}

UINT SysStringByteLen(BSTR text) {
    if (!text)
        return 0;
    std::uint32_t length = 0;
    std::memcpy(&length, blockOf(text), kPrefix);
    return length;
}

UINT SysStringLen(BSTR text) {
    return SysStringByteLen(text) / sizeof(OLECHAR);
}

// ---- _bstr_t --------------------------------------------------------------------------------

namespace {
BSTR mustAllocate(const OLECHAR* text, std::size_t length) {
    BSTR result = SysAllocStringLen(text, static_cast<UINT>(length));
    if (!result)
        throw std::bad_alloc();
    return result;
}
}  // namespace

const char* _bstr_t::Data::narrow() {
    std::call_once(narrowOnce, [this] {
        narrowText = qv::wideToAnsi(std::wstring_view(wide ? wide : L"", SysStringLen(wide)));
    });
    return wide ? narrowText.c_str() : nullptr;
}

void _bstr_t::take(BSTR text) {
    m_data = std::make_shared<Data>(text);
}

_bstr_t::_bstr_t(const char* text) {
    if (text) {
        const std::wstring wide = qv::ansiToWide(text);
        take(mustAllocate(wide.data(), wide.size()));
    }
}

_bstr_t::_bstr_t(const wchar_t* text) {
    if (text)
        take(mustAllocate(text, std::wcslen(text)));
}

_bstr_t::_bstr_t(const _variant_t& value) {
    if (value.vt == VT_BSTR) {
        take(mustAllocate(value.bstrVal, SysStringLen(value.bstrVal)));
        return;
    }
    _variant_t converted;
    converted.ChangeType(VT_BSTR, &value);
    take(converted.bstrVal);
    converted.vt = VT_EMPTY;  // the string now belongs to this object
}

_bstr_t::_bstr_t(BSTR text, bool copy) {
    if (copy) {
        if (text)
            take(mustAllocate(text, SysStringLen(text)));
    } else {
        take(text);
    }
}

_bstr_t& _bstr_t::operator=(const char* text) {
    return *this = _bstr_t(text);
}
_bstr_t& _bstr_t::operator=(const wchar_t* text) {
    return *this = _bstr_t(text);
}
_bstr_t& _bstr_t::operator=(const _variant_t& value) {
    return *this = _bstr_t(value);
}

_bstr_t& _bstr_t::operator+=(const _bstr_t& other) {
    *this = *this + other;
    return *this;
}

_bstr_t operator+(const _bstr_t& a, const _bstr_t& b) {
    if (!a.m_data && !b.m_data)
        return _bstr_t();
    const UINT la = a.length(), lb = b.length();
    BSTR joined = mustAllocate(nullptr, static_cast<std::size_t>(la) + lb);
    if (la)
        std::wmemcpy(joined, a.GetBSTR(), la);
    if (lb)
        std::wmemcpy(joined + la, b.GetBSTR(), lb);
    return _bstr_t(joined, false);
}

_bstr_t operator+(const wchar_t* a, const _bstr_t& b) {
    return _bstr_t(a) + b;
}
_bstr_t operator+(const char* a, const _bstr_t& b) {
    return _bstr_t(a) + b;
}

_bstr_t::operator const wchar_t*() const noexcept {
    return m_data ? m_data->wide : nullptr;
}
_bstr_t::operator wchar_t*() const noexcept {
    return m_data ? m_data->wide : nullptr;
}
_bstr_t::operator const char*() const {
    return m_data ? m_data->narrow() : nullptr;
}
_bstr_t::operator char*() const {
    return const_cast<char*>(static_cast<const char*>(*this));
}

bool _bstr_t::operator!() const noexcept {
    return !m_data || !m_data->wide;
}

int _bstr_t::compare(const _bstr_t& a, const _bstr_t& b) noexcept {
    const UINT la = a.length(), lb = b.length();
    const UINT common = la < lb ? la : lb;
    const BSTR pa = a.GetBSTR(), pb = b.GetBSTR();
    for (UINT i = 0; i < common; ++i) {
        if (pa[i] != pb[i])
            return pa[i] < pb[i] ? -1 : 1;
    }
    return la == lb ? 0 : (la < lb ? -1 : 1);
}

bool operator==(const _bstr_t& a, const _bstr_t& b) noexcept {
    return _bstr_t::compare(a, b) == 0;
}
bool operator!=(const _bstr_t& a, const _bstr_t& b) noexcept {
    return _bstr_t::compare(a, b) != 0;
}
bool operator<(const _bstr_t& a, const _bstr_t& b) noexcept {
    return _bstr_t::compare(a, b) < 0;
}
bool operator>(const _bstr_t& a, const _bstr_t& b) noexcept {
    return _bstr_t::compare(a, b) > 0;
}
bool operator<=(const _bstr_t& a, const _bstr_t& b) noexcept {
    return _bstr_t::compare(a, b) <= 0;
}
bool operator>=(const _bstr_t& a, const _bstr_t& b) noexcept {
    return _bstr_t::compare(a, b) >= 0;
}

unsigned int _bstr_t::length() const noexcept {
    return m_data ? SysStringLen(m_data->wide) : 0;
}

BSTR _bstr_t::copy(bool makeCopy) const {
    if (!m_data || !m_data->wide)
        return nullptr;
    if (!makeCopy)
        return m_data->wide;
    return mustAllocate(m_data->wide, length());
}

BSTR* _bstr_t::GetAddress() {
    take(nullptr);
    return &m_data->wide;
}

void _bstr_t::Attach(BSTR text) {
    take(text);
}

void _bstr_t::Assign(BSTR text) {
    *this = _bstr_t(text, true);
}

BSTR _bstr_t::Detach() noexcept {
    if (!m_data)
        return nullptr;
    BSTR result = nullptr;
    if (m_data.use_count() == 1) {
        result = m_data->wide;
        m_data->wide = nullptr;
    } else {
        result = SysAllocStringLen(m_data->wide, length());
    }
    m_data.reset();
    return result;
}
