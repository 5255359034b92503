// BSTR, the Automation string, and _bstr_t, its shared, reference-counted wrapper.
//
// A BSTR points at wide characters that follow a 32-bit length prefix (the length in bytes) and
// end with a zero; it may hold zeros of its own. A null BSTR is the empty string for every call
// here. Allocation failures raise std::bad_alloc in _bstr_t and return null from Sys*.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <type_traits>

#include "ComTypes.h"

typedef OLECHAR* BSTR;
typedef BSTR* LPBSTR;

// A new BSTR copied from a zero-terminated text; null for a null text.
BSTR SysAllocString(const OLECHAR* text);
// A new BSTR of `length` characters copied from `text`, or zero-filled when `text` is null.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
// A new BSTR that holds `length` bytes copied from `bytes` (zero-filled when null).
BSTR SysAllocStringByteLen(const char* bytes, UINT length);
// Replaces *target with a copy of `text`; FALSE (nothing changed) when out of memory.
INT SysReAllocString(BSTR* target, const OLECHAR* text);
INT SysReAllocStringLen(BSTR* target, const OLECHAR* text, UINT length);
// Frees a BSTR; null is allowed.
void SysFreeString(BSTR text);
// The length in characters (0 for null) and in bytes.
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

class _variant_t;

class _bstr_t {
  public:
    _bstr_t() noexcept = default;
    _bstr_t(const _bstr_t& other) noexcept = default;
    _bstr_t(_bstr_t&& other) noexcept = default;
    _bstr_t(const char* text);  // Windows-1252 bytes
    _bstr_t(const wchar_t* text);
    _bstr_t(const _variant_t& value);  // the value converted to VT_BSTR; raises _com_error
    // Takes `text` (copy false: the _bstr_t frees it) or a copy of it.
    _bstr_t(BSTR text, bool copy);
    // Any class that converts to a wide text (CString, for one).
    template <class S, std::enable_if_t<std::is_class_v<S> &&
                                            std::is_convertible_v<const S&, const wchar_t*> &&
                                            !std::is_base_of_v<_bstr_t, S>,
                                        int> = 0>
    _bstr_t(const S& text) : _bstr_t(static_cast<const wchar_t*>(text)) {}
    ~_bstr_t() = default;

    _bstr_t& operator=(const _bstr_t& other) noexcept = default;
    _bstr_t& operator=(_bstr_t&& other) noexcept = default;
    _bstr_t& operator=(const char* text);
    _bstr_t& operator=(const wchar_t* text);
    _bstr_t& operator=(const _variant_t& value);

    _bstr_t& operator+=(const _bstr_t& other);
    friend _bstr_t operator+(const _bstr_t& a, const _bstr_t& b);
    friend _bstr_t operator+(const wchar_t* a, const _bstr_t& b);
    friend _bstr_t operator+(const char* a, const _bstr_t& b);

    // The text, or null when the _bstr_t holds no string (default-constructed or detached).
    operator const wchar_t*() const noexcept;
    operator wchar_t*() const noexcept;
    // The text in Windows-1252 (characters without a byte become '?'); null as above. The
    // bytes live as long as this string's shared data.
    operator const char*() const;
    operator char*() const;

    bool operator!() const noexcept;
    friend bool operator==(const _bstr_t& a, const _bstr_t& b) noexcept;
    friend bool operator!=(const _bstr_t& a, const _bstr_t& b) noexcept;
    friend bool operator==(const _bstr_t& a, const wchar_t* b) { return a == _bstr_t(b); }
    friend bool operator==(const wchar_t* a, const _bstr_t& b) { return _bstr_t(a) == b; }
    friend bool operator!=(const _bstr_t& a, const wchar_t* b) { return !(a == _bstr_t(b)); }
    friend bool operator!=(const wchar_t* a, const _bstr_t& b) { return !(_bstr_t(a) == b); }
    friend bool operator==(const _bstr_t& a, const char* b) { return a == _bstr_t(b); }
    friend bool operator==(const char* a, const _bstr_t& b) { return _bstr_t(a) == b; }
    friend bool operator!=(const _bstr_t& a, const char* b) { return !(a == _bstr_t(b)); }
    friend bool operator!=(const char* a, const _bstr_t& b) { return !(_bstr_t(a) == b); }
    friend bool operator<(const _bstr_t& a, const _bstr_t& b) noexcept;
    friend bool operator>(const _bstr_t& a, const _bstr_t& b) noexcept;
    friend bool operator<=(const _bstr_t& a, const _bstr_t& b) noexcept;
    friend bool operator>=(const _bstr_t& a, const _bstr_t& b) noexcept;

    // Characters held (0 for none).
    unsigned int length() const noexcept;
    // A new BSTR the caller frees (copy true), or the held one (copy false; still owned here).
    BSTR copy(bool copy = true) const;
    BSTR GetBSTR() const noexcept { return static_cast<BSTR>(*this); }
    // Frees the held string and gives the address of a null BSTR to fill (an out parameter).
    BSTR* GetAddress();
    // Takes ownership of `text`; Assign copies it.
    void Attach(BSTR text);
    void Assign(BSTR text);
    // Gives the held BSTR to the caller, who frees it; this string is then null.
    BSTR Detach() noexcept;

  private:
    struct Data {
        explicit Data(BSTR text) noexcept : wide(text) {}
        ~Data() { SysFreeString(wide); }
        Data(const Data&) = delete;
        Data& operator=(const Data&) = delete;
        const char* narrow();

        BSTR wide;
        std::once_flag narrowOnce;
        std::string narrowText;
    };
    static int compare(const _bstr_t& a, const _bstr_t& b) noexcept;
    void take(BSTR text);

    std::shared_ptr<Data> m_data;
};
