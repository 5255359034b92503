#include "com/ComError.h"

#include "win32/SystemMessage.h"

#include <cstdio>
#include <cwchar>
#include <utility>

namespace {

class ErrorInfo final : public qv::com::Object<IErrorInfo, ICreateErrorInfo> {
  public:
    HRESULT GetGUID(GUID* guid) override {
        if (!guid)
            return E_INVALIDARG;
        *guid = m_guid;
        return S_OK;
    }
    HRESULT GetSource(BSTR* out) override { return give(m_source, out); }
    HRESULT GetDescription(BSTR* out) override { return give(m_description, out); }
    HRESULT GetHelpFile(BSTR* out) override { return give(m_helpFile, out); }
    HRESULT GetHelpContext(DWORD* out) override {
        if (!out)
            return E_INVALIDARG;
        *out = m_helpContext;
        return S_OK;
    }

    HRESULT SetGUID(REFGUID guid) override {
        m_guid = guid;
        return S_OK;
    }
    HRESULT SetSource(LPOLESTR text) override { return keep(m_source, text); }
    HRESULT SetDescription(LPOLESTR text) override { return keep(m_description, text); }
    HRESULT SetHelpFile(LPOLESTR text) override { return keep(m_helpFile, text); }
    HRESULT SetHelpContext(DWORD context) override {
        m_helpContext = context;
        return S_OK;
    }

  private:
    static HRESULT give(const std::wstring& text, BSTR* out) {
        if (!out)
            return E_INVALIDARG;
        *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    static HRESULT keep(std::wstring& field, LPOLESTR text) {
        field = text ? text : L"";
        return S_OK;
    }

    GUID m_guid = GUID_NULL;
    std::wstring m_source, m_description, m_helpFile;
    DWORD m_helpContext = 0;
};

// The thread's error information; released when the thread ends.
struct ThreadErrorInfo {
    IErrorInfo* info = nullptr;
    ~ThreadErrorInfo() {
        if (info)
            info->Release();
    }
};
thread_local ThreadErrorInfo t_errorInfo;


_bstr_t infoText(IErrorInfo* info, HRESULT (IErrorInfo::*get)(BSTR*)) {
    if (!info)
        return _bstr_t();
    BSTR text = nullptr;
    if (FAILED((info->*get)(&text)))
        return _bstr_t();
    return _bstr_t(text, false);
}

}  // namespace

HRESULT CreateErrorInfo(ICreateErrorInfo** info) {
    if (!info)
        return E_INVALIDARG;
    auto* object = new ErrorInfo();
    object->AddRef();
    *info = object;
    return S_OK;
}

HRESULT SetErrorInfo(ULONG, IErrorInfo* info) {
    if (info)
        info->AddRef();
    IErrorInfo* old = std::exchange(t_errorInfo.info, info);
    if (old)
        old->Release();
    return S_OK;
}

HRESULT GetErrorInfo(ULONG, IErrorInfo** info) {
    if (!info)
        return E_INVALIDARG;
    *info = std::exchange(t_errorInfo.info, nullptr);
    return *info ? S_OK : S_FALSE;
}

// ---- _com_error -----------------------------------------------------------------------------

_com_error::_com_error(HRESULT hr, IErrorInfo* info, bool addRef) noexcept
    : m_hr(hr), m_info(info) {
    if (m_info && addRef)
        m_info->AddRef();
}

_com_error::_com_error(const _com_error& other) noexcept : m_hr(other.m_hr), m_info(other.m_info) {
    if (m_info)
        m_info->AddRef();
}

_com_error& _com_error::operator=(const _com_error& other) noexcept {
    if (this != &other) {
        if (other.m_info)
            other.m_info->AddRef();
        if (m_info)
            m_info->Release();
        m_hr = other.m_hr;
        m_info = other.m_info;
        m_message.clear();
    }
    return *this;
}

_com_error::~_com_error() {
    if (m_info)
        m_info->Release();
}

IErrorInfo* _com_error::ErrorInfo() const noexcept {
    if (m_info)
        m_info->AddRef();
    return m_info;
}

const wchar_t* _com_error::ErrorMessage() const {
    if (m_message.empty()) {
        wchar_t buffer[64];
        if (const WORD code = WCode()) {
            std::swprintf(buffer, 64, L"IDispatch error #%d", static_cast<int>(code));
            m_message = buffer;
        } else {
            m_message = qv::com::systemMessage(m_hr);
            while (!m_message.empty() && (m_message.back() == L'\n' || m_message.back() == L'\r'))
                m_message.pop_back();
            if (m_message.empty()) {
                std::swprintf(buffer, 64, L"Unknown error 0x%0lX",
                              static_cast<unsigned long>(static_cast<DWORD>(m_hr)));
                m_message = buffer;
            }
        }
    }
    return m_message.c_str();
}

_bstr_t _com_error::Description() const {
    return infoText(m_info, &IErrorInfo::GetDescription);
}
_bstr_t _com_error::Source() const {
    return infoText(m_info, &IErrorInfo::GetSource);
}
_bstr_t _com_error::HelpFile() const {
    return infoText(m_info, &IErrorInfo::GetHelpFile);
}

DWORD _com_error::HelpContext() const {
    DWORD context = 0;
    if (m_info)
        m_info->GetHelpContext(&context);
    return context;
}

GUID _com_error::GUID() const {
    ::GUID guid = GUID_NULL;
    if (m_info)
        m_info->GetGUID(&guid);
    return guid;
}

void _com_issue_error(HRESULT hr) {
    throw _com_error(hr);
}

void _com_issue_errorex(HRESULT hr, IUnknown* object, REFIID iid) {
    IErrorInfo* info = nullptr;
    ISupportErrorInfo* support = nullptr;
    if (object && SUCCEEDED(object->QueryInterface(__uuidof(ISupportErrorInfo),
                                                   reinterpret_cast<void**>(&support)))) {
        if (support->InterfaceSupportsErrorInfo(iid) == S_OK)
            GetErrorInfo(0, &info);
        support->Release();
    }
    throw _com_error(hr, info);
}

namespace qv::com {

std::wstring systemMessage(HRESULT hr) {
    return qv::win32::systemMessageText(static_cast<DWORD>(hr));
}

IErrorInfo* makeErrorInfo(const wchar_t* description, const wchar_t* source, REFGUID guid) {
    ICreateErrorInfo* writer = nullptr;
    CreateErrorInfo(&writer);
    writer->SetDescription(const_cast<LPOLESTR>(description));
    writer->SetSource(const_cast<LPOLESTR>(source));
    writer->SetGUID(guid);
    IErrorInfo* info = nullptr;
    writer->QueryInterface(__uuidof(IErrorInfo), reinterpret_cast<void**>(&info));
    writer->Release();
    return info;
}

HRESULT reportError(HRESULT hr, const wchar_t* description, const wchar_t* source) {
    IErrorInfo* info = makeErrorInfo(description, source);
    SetErrorInfo(0, info);
    info->Release();
    return hr;
}

void raiseError(HRESULT hr, const wchar_t* description, const wchar_t* source) {
    throw _com_error(hr, makeErrorInfo(description, source));
}

}  // namespace qv::com
