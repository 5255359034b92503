#include "mfc/OleDispatchDriver.h"

#include <algorithm>

#include "com/ComRuntime.h"

COleDispatchDriver::COleDispatchDriver(LPDISPATCH dispatch, BOOL autoRelease)
    : m_lpDispatch(dispatch), m_bAutoRelease(autoRelease) {}

COleDispatchDriver::~COleDispatchDriver() {
    ReleaseDispatch();
}

void COleDispatchDriver::AttachDispatch(LPDISPATCH dispatch, BOOL autoRelease) {
    ReleaseDispatch();
    m_lpDispatch = dispatch;
    m_bAutoRelease = autoRelease;
}

LPDISPATCH COleDispatchDriver::DetachDispatch() {
    LPDISPATCH d = m_lpDispatch;
    m_lpDispatch = nullptr;
    return d;
}

void COleDispatchDriver::ReleaseDispatch() {
    if (m_lpDispatch && m_bAutoRelease) {
        m_lpDispatch->Release();
    }
    m_lpDispatch = nullptr;
}

BOOL COleDispatchDriver::CreateDispatch(LPCTSTR progId, COleException* error) {
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progId, &clsid);
    LPDISPATCH dispatch = nullptr;
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, __uuidof(IDispatch),
                              reinterpret_cast<void**>(&dispatch));
    }
    if (FAILED(hr)) {
        if (error) {
            error->m_sc = hr;
        }
        return FALSE;
    }
    AttachDispatch(dispatch, TRUE);
    return TRUE;
}

_variant_t COleDispatchDriver::argument(VARTYPE vt, const VARIANT* value) {
    _variant_t v = value ? _variant_t(*value) : _variant_t();
    if (vt != VT_VARIANT && v.vt != vt) {
        v.ChangeType(vt);
    }
    return v;
}

_variant_t COleDispatchDriver::argument(VARTYPE vt, const _variant_t& value) {
    _variant_t v(value);
    if (vt != VT_VARIANT && v.vt != vt) {
        v.ChangeType(vt);
    }
    return v;
}

void COleDispatchDriver::GetProperty(DISPID id, VARTYPE vtProp, void* pvProp) const {
    std::vector<_variant_t> none;
    invoke(id, DISPATCH_PROPERTYGET, vtProp, pvProp, none);
}

void COleDispatchDriver::invoke(DISPID id, WORD flags, VARTYPE vtRet, void* pvRet,
                                std::vector<_variant_t>& args) const {
    if (!m_lpDispatch) {
        AfxThrowOleException(E_POINTER);
    }
    // Arguments go right to left.
    std::vector<VARIANT> raw;
    raw.reserve(args.size());
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        raw.push_back(*it);
    }
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{raw.empty() ? nullptr : raw.data(), nullptr, static_cast<UINT>(raw.size()),
                      0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    _variant_t result;
    EXCEPINFO exception{};
    UINT argError = 0;
    const HRESULT hr =
        m_lpDispatch->Invoke(id, GUID_NULL, 0, flags, &params, &result, &exception, &argError);
    if (hr == DISP_E_EXCEPTION) {
        auto* e =
            new COleDispatchException(exception.bstrDescription ? exception.bstrDescription : L"",
                                      exception.dwHelpContext, exception.wCode);
        e->m_scError = exception.scode;
        e->m_strSource = exception.bstrSource ? exception.bstrSource : L"";
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        throw e;
    }
    if (FAILED(hr)) {
        AfxThrowOleException(hr);
    }
    if (vtRet == VT_EMPTY || !pvRet) {
        return;
    }
    if (vtRet != VT_VARIANT && result.vt != vtRet) {
        result.ChangeType(vtRet);
    }
    switch (vtRet) {
        case VT_I2:
            *static_cast<short*>(pvRet) = result.iVal;
            break;
        case VT_I4:
            *static_cast<LONG*>(pvRet) = result.lVal;
            break;
        case VT_R8:
            *static_cast<double*>(pvRet) = result.dblVal;
            break;
        case VT_BOOL:
            *static_cast<BOOL*>(pvRet) = result.boolVal != VARIANT_FALSE;
            break;
        case VT_BSTR:
            *static_cast<CString*>(pvRet) = result.bstrVal ? result.bstrVal : L"";
            break;
        case VT_DISPATCH: {
            VARIANT out = result.Detach();
            *static_cast<LPDISPATCH*>(pvRet) = out.pdispVal;
            break;
        }
        case VT_VARIANT: {
            VARIANT* target = static_cast<VARIANT*>(pvRet);
            VariantClear(target);
            *target = result.Detach();
            break;
        }
        default:
            AfxThrowOleException(DISP_E_BADVARTYPE);
    }
}
