// COM error reporting: IErrorInfo and the per-thread error information, _com_error (the
// exception the COM support classes raise), and the helpers that raise it.
#pragma once

#include <string>

#include "Bstr.h"
#include "ComTypes.h"
#include "Unknown.h"

// Rich error information that a failing call leaves for its caller.
struct IErrorInfo : IUnknown {
    static constexpr IID qvIid = {
        0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
    using qvBase = IUnknown;

    virtual HRESULT GetGUID(GUID* guid) = 0;
    virtual HRESULT GetSource(BSTR* source) = 0;  // the caller frees the string
    virtual HRESULT GetDescription(BSTR* description) = 0;
    virtual HRESULT GetHelpFile(BSTR* helpFile) = 0;
    virtual HRESULT GetHelpContext(DWORD* helpContext) = 0;
};

// The writer side of an error information object.
struct ICreateErrorInfo : IUnknown {
    static constexpr IID qvIid = {
        0x22F03340, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
    using qvBase = IUnknown;

    virtual HRESULT SetGUID(REFGUID guid) = 0;
    virtual HRESULT SetSource(LPOLESTR source) = 0;
    virtual HRESULT SetDescription(LPOLESTR description) = 0;
    virtual HRESULT SetHelpFile(LPOLESTR helpFile) = 0;
    virtual HRESULT SetHelpContext(DWORD helpContext) = 0;
};

// Whether an object leaves error information for calls through an interface.
struct ISupportErrorInfo : IUnknown {
    static constexpr IID qvIid = {
        0xDF0B3D60, 0x548F, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
    using qvBase = IUnknown;

    virtual HRESULT InterfaceSupportsErrorInfo(REFIID iid) = 0;  // S_OK or S_FALSE
};

inline constexpr IID IID_IErrorInfo = IErrorInfo::qvIid;
inline constexpr IID IID_ICreateErrorInfo = ICreateErrorInfo::qvIid;
inline constexpr IID IID_ISupportErrorInfo = ISupportErrorInfo::qvIid;

// A new, empty error information object (one reference for the caller).
HRESULT CreateErrorInfo(ICreateErrorInfo** info);
// Sets the calling thread's error information (null clears it); takes a new reference.
HRESULT SetErrorInfo(ULONG reserved, IErrorInfo* info);
// Hands the thread's error information to the caller and clears it: S_OK with a reference,
// S_FALSE with null when there is none.
HRESULT GetErrorInfo(ULONG reserved, IErrorInfo** info);

class _com_error {
  public:
    // `info` is taken over (addRef false) or shared (addRef true); null means no information.
    explicit _com_error(HRESULT hr, IErrorInfo* info = nullptr, bool addRef = false) noexcept;
    _com_error(const _com_error& other) noexcept;
    _com_error& operator=(const _com_error& other) noexcept;
    virtual ~_com_error();

    HRESULT Error() const noexcept { return m_hr; }
    // The code of an IDispatch error (HRESULTs 0x80040200..0x8004FFFF), else 0.
    WORD WCode() const noexcept { return HRESULTToWCode(m_hr); }
    // A new reference to the error information, or null.
    IErrorInfo* ErrorInfo() const noexcept;
    // The system's text for the HRESULT, without the line end: "Invalid pointer" for E_POINTER,
    // "IDispatch error #n" for dispatch codes, "Unknown error 0x%0lX" for codes it lacks.
    const wchar_t* ErrorMessage() const;
    // From the error information; empty (null) without it.
    _bstr_t Description() const;
    _bstr_t Source() const;
    _bstr_t HelpFile() const;
    DWORD HelpContext() const;
    ::GUID GUID() const;

    static HRESULT WCodeToHRESULT(WORD code) noexcept { return 0x80040200 + code; }
    static WORD HRESULTToWCode(HRESULT hr) noexcept {
        const auto u = static_cast<DWORD>(hr);
        return (u >= 0x80040200u && u <= 0x8004FFFFu) ? static_cast<WORD>(u - 0x80040200u) : 0;
    }

  private:
    HRESULT m_hr;
    IErrorInfo* m_info;
    mutable std::wstring m_message;
};

// Raises _com_error(hr) without error information.
[[noreturn]] void _com_issue_error(HRESULT hr);
// Raises _com_error(hr), with the thread's error information when `object` says through
// ISupportErrorInfo that it leaves information for `iid`.
[[noreturn]] void _com_issue_errorex(HRESULT hr, IUnknown* object, REFIID iid);

namespace qv::com {

// The system's text for an HRESULT, with the line end Windows puts after it ("...\r\n"); empty
// when the system has none.
std::wstring systemMessage(HRESULT hr);

// A new error information object (one reference for the caller) with the given texts.
IErrorInfo* makeErrorInfo(const wchar_t* description, const wchar_t* source,
                          REFGUID guid = GUID_NULL);
// Leaves error information with the texts on the calling thread and returns `hr` (for
// `return qv::com::reportError(E_FAIL, L"...", L"...")` in an object's method).
HRESULT reportError(HRESULT hr, const wchar_t* description, const wchar_t* source);
// Raises _com_error(hr) carrying error information with the texts.
[[noreturn]] void raiseError(HRESULT hr, const wchar_t* description, const wchar_t* source);

}  // namespace qv::com
