// COleDispatchDriver: calls an automation object through its IDispatch by dispatch id.
//
// InvokeHelper(id, flags, vtRet, pvRet, paramInfo, args...) sends the arguments described by
// `paramInfo` (a zero-terminated string of VTS_ codes, one per argument) and stores the result
// in *pvRet as `vtRet` says: VT_EMPTY nothing; VT_I2 short*, VT_I4 LONG*, VT_R8 double*,
// VT_BOOL BOOL*, VT_BSTR CString*, VT_DISPATCH LPDISPATCH* (a reference the caller releases),
// VT_VARIANT VARIANT* (cleared first). VTS_VARIANT arguments are passed as `const VARIANT*`,
// VTS_BSTR as text, the others as values of their type.
//
// A refused call raises: DISP_E_EXCEPTION as a COleDispatchException carrying the object's
// description and source, any other failure as a COleException with the HRESULT; a call on a
// driver without an object raises COleException(E_POINTER).
#pragma once

#include <vector>

#include "../com/Variant.h"
#include "CString.h"
#include "Exceptions.h"

#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_R4 "\x04"
#define VTS_R8 "\x05"
#define VTS_DATE "\x07"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_SCODE "\x0A"
#define VTS_BOOL "\x0B"
#define VTS_VARIANT "\x0C"
#define VTS_UNKNOWN "\x0D"
#define VTS_UI1 "\x11"
#define VTS_NONE ""

class COleDispatchDriver {
  public:
    COleDispatchDriver() = default;
    explicit COleDispatchDriver(LPDISPATCH dispatch, BOOL autoRelease = TRUE);
    COleDispatchDriver(const COleDispatchDriver&) = delete;
    COleDispatchDriver& operator=(const COleDispatchDriver&) = delete;
    ~COleDispatchDriver();

    // Takes `dispatch` (releasing any object held before); with autoRelease the driver releases
    // it when it lets it go.
    void AttachDispatch(LPDISPATCH dispatch, BOOL autoRelease = TRUE);
    // Hands the object back to the caller without releasing it.
    LPDISPATCH DetachDispatch();
    // Lets the object go, releasing it when the driver owns a reference.
    void ReleaseDispatch();
    // Creates the object of a registered program id; FALSE when it cannot be made.
    BOOL CreateDispatch(LPCTSTR progId, COleException* error = nullptr);

    template <class... A>
    void InvokeHelper(DISPID id, WORD flags, VARTYPE vtRet, void* pvRet, const BYTE* paramInfo,
                      const A&... args) {
        std::vector<_variant_t> values;
        values.reserve(sizeof...(A));
        [[maybe_unused]] std::size_t i = 0;
        (values.push_back(argument(paramInfo ? nextCode(paramInfo, i) : VARTYPE(VT_VARIANT), args)),
         ...);
        invoke(id, flags, vtRet, pvRet, values);
    }
    void GetProperty(DISPID id, VARTYPE vtProp, void* pvProp) const;
    template <class T>
    void SetProperty(DISPID id, VARTYPE vtProp, const T& value) {
        std::vector<_variant_t> values;
        values.push_back(argument(vtProp, value));
        invoke(id, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, values);
    }

    LPDISPATCH m_lpDispatch = nullptr;
    BOOL m_bAutoRelease = TRUE;

  private:
    static VARTYPE nextCode(const BYTE* info, std::size_t& i) {
        const VARTYPE vt = info[i];
        if (vt != 0) {
            ++i;
        }
        return vt == 0 ? VARTYPE(VT_VARIANT) : vt;
    }
    static _variant_t argument(VARTYPE vt, const VARIANT* value);
    static _variant_t argument(VARTYPE vt, VARIANT* value) {
        return argument(vt, static_cast<const VARIANT*>(value));
    }
    static _variant_t argument(VARTYPE vt, const _variant_t& value);
    static _variant_t argument(VARTYPE vt, const CString& value) {
        return argument(vt, _variant_t(value.GetString()));
    }
    template <class T>
    static _variant_t argument(VARTYPE vt, const T& value) {
        return argument(vt, _variant_t(value));
    }
    void invoke(DISPID id, WORD flags, VARTYPE vtRet, void* pvRet,
                std::vector<_variant_t>& args) const;
};
