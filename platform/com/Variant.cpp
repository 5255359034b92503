#include "com/Variant.h"

#include <cstring>
#include <cwchar>
#include <utility>

#include "com/ComError.h"
#include "win32/CodePage.h"

void VariantInit(VARIANTARG* pvarg) {
    if (pvarg) {
        pvarg->vt = VT_EMPTY;
        pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
        pvarg->llVal = 0;
    }
}

namespace {
bool knownType(VARTYPE vt) {
    const VARTYPE base = vt & VT_TYPEMASK;
    if (vt & ~(VT_TYPEMASK | VT_ARRAY | VT_BYREF))
        return false;
    if (base == VT_VARIANT)
        return (vt & (VT_ARRAY | VT_BYREF)) != 0;
    return base <= VT_DECIMAL || (base >= VT_I1 && base <= VT_UINT);
}
}  // namespace

HRESULT VariantClear(VARIANTARG* pvarg) {
    if (!pvarg)
        return E_INVALIDARG;
    if (!knownType(pvarg->vt))
        return DISP_E_BADVARTYPE;
    if (!(pvarg->vt & VT_BYREF)) {
        if (pvarg->vt & VT_ARRAY) {
            if (HRESULT hr = SafeArrayDestroy(pvarg->parray); FAILED(hr))
                return hr;
        } else if (pvarg->vt == VT_BSTR) {
            SysFreeString(pvarg->bstrVal);
        } else if (pvarg->vt == VT_UNKNOWN || pvarg->vt == VT_DISPATCH) {
            if (pvarg->punkVal)
                pvarg->punkVal->Release();
        }
    }
    VariantInit(pvarg);
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* src) {
    if (!dest || !src)
        return E_INVALIDARG;
    if (dest == src)
        return S_OK;
    if (!knownType(src->vt))
        return DISP_E_BADVARTYPE;
    VARIANT copy;
    std::memcpy(static_cast<void*>(&copy), static_cast<const void*>(src), sizeof(VARIANT));
    if (!(src->vt & VT_BYREF)) {
        if (src->vt & VT_ARRAY) {
            if (HRESULT hr = SafeArrayCopy(src->parray, &copy.parray); FAILED(hr))
                return hr;
        } else if (src->vt == VT_BSTR) {
            if (src->bstrVal) {
                copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
                if (!copy.bstrVal)
                    return E_OUTOFMEMORY;
            }
        } else if (src->vt == VT_UNKNOWN || src->vt == VT_DISPATCH) {
            if (src->punkVal)
                src->punkVal->AddRef();
        }
    }
    if (HRESULT hr = VariantClear(dest); FAILED(hr)) {
        VariantClear(&copy);
        return hr;
    }
    std::memcpy(static_cast<void*>(dest), static_cast<const void*>(&copy), sizeof(VARIANT));
    return S_OK;
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANTARG* src) {
    if (!dest || !src)
        return E_INVALIDARG;
    if (!(src->vt & VT_BYREF))
        return VariantCopy(dest, src);
    if (!src->byref)
        return E_INVALIDARG;
    const VARTYPE vt = src->vt & ~VT_BYREF;
    if (vt == VT_VARIANT)
        return VariantCopyInd(dest, src->pvarVal);
    VARIANT value;
    VariantInit(&value);
    switch (vt & VT_TYPEMASK) {
        case VT_DECIMAL:
            if (!(vt & VT_ARRAY)) {
                value.decVal = *src->pdecVal;
                break;
            }
            [[fallthrough]];
        default: {
            // The value behind the reference: a scalar, a string or interface pointer, or an
            // array pointer.
            const std::size_t size =
                (vt & VT_ARRAY) ? sizeof(SAFEARRAY*) : qv::com::elementSize(vt);
            std::memcpy(&value.llVal, src->byref, size);
            break;
        }
    }
    value.vt = vt;
    return VariantCopy(dest, &value);
}

// ---- _variant_t -----------------------------------------------------------------------------

namespace {
void check(HRESULT hr) {
    if (FAILED(hr))
        _com_issue_error(hr);
}
}  // namespace

const _variant_t vtMissing(static_cast<long>(DISP_E_PARAMNOTFOUND), VT_ERROR);

_variant_t::_variant_t() noexcept {
    VariantInit(this);
}

_variant_t::_variant_t(const VARIANT& src) {
    VariantInit(this);
    check(VariantCopy(this, &src));
}

_variant_t::_variant_t(const VARIANT* src) {
    if (!src)
        _com_issue_error(E_POINTER);
    VariantInit(this);
    check(VariantCopy(this, src));
}

_variant_t::_variant_t(const _variant_t& src) : _variant_t(static_cast<const VARIANT&>(src)) {}

_variant_t::_variant_t(_variant_t&& src) noexcept {
    std::memcpy(static_cast<void*>(static_cast<VARIANT*>(this)),
                static_cast<const void*>(static_cast<VARIANT*>(&src)), sizeof(VARIANT));
    VariantInit(&src);
}

_variant_t::_variant_t(VARIANT& src, bool copy) {
    VariantInit(this);
    if (copy) {
        check(VariantCopy(this, &src));
    } else {
        std::memcpy(static_cast<void*>(static_cast<VARIANT*>(this)), static_cast<const void*>(&src),
                    sizeof(VARIANT));
        VariantInit(&src);
    }
}

_variant_t::_variant_t(short value, VARTYPE vt) {
    if (vt != VT_I2 && vt != VT_BOOL)
        _com_issue_error(E_INVALIDARG);
    VariantInit(this);
    this->vt = vt;
    if (vt == VT_BOOL) {
        boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        iVal = value;
    }
}

_variant_t::_variant_t(long value, VARTYPE vt) {
    if (vt != VT_I4 && vt != VT_ERROR)
        _com_issue_error(E_INVALIDARG);
    VariantInit(this);
    if (vt == VT_ERROR) {
        this->vt = VT_ERROR;
        scode = static_cast<SCODE>(value);
    } else if (value >= INT32_MIN && value <= INT32_MAX) {
        this->vt = VT_I4;
        lVal = static_cast<LONG>(value);
    } else {
        this->vt = VT_I8;
        llVal = value;
    }
}

_variant_t::_variant_t(float value) {
    VariantInit(this);
    vt = VT_R4;
    fltVal = value;
}

_variant_t::_variant_t(double value, VARTYPE vt) {
    if (vt != VT_R8 && vt != VT_DATE)
        _com_issue_error(E_INVALIDARG);
    VariantInit(this);
    this->vt = vt;
    dblVal = value;
}

_variant_t::_variant_t(const CY& value) {
    VariantInit(this);
    vt = VT_CY;
    cyVal = value;
}

_variant_t::_variant_t(const _bstr_t& value) {
    VariantInit(this);
    BSTR text = value.copy();
    if (!text)
        text = SysAllocString(L"");
    if (!text)
        _com_issue_error(E_OUTOFMEMORY);
    vt = VT_BSTR;
    bstrVal = text;
}

_variant_t::_variant_t(const wchar_t* value) {
    VariantInit(this);
    BSTR text = SysAllocString(value ? value : L"");
    if (!text)
        _com_issue_error(E_OUTOFMEMORY);
    vt = VT_BSTR;
    bstrVal = text;
}

_variant_t::_variant_t(const char* value)
    : _variant_t(qv::ansiToWide(value ? value : "").c_str()) {}

_variant_t::_variant_t(IDispatch* value, bool addRef) {
    VariantInit(this);
    vt = VT_DISPATCH;
    pdispVal = value;
    if (value && addRef)
        value->AddRef();
}

_variant_t::_variant_t(bool value) {
    VariantInit(this);
    vt = VT_BOOL;
    boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

_variant_t::_variant_t(IUnknown* value, bool addRef) {
    VariantInit(this);
    vt = VT_UNKNOWN;
    punkVal = value;
    if (value && addRef)
        value->AddRef();
}

_variant_t::_variant_t(const DECIMAL& value) {
    VariantInit(this);
    decVal = value;
    vt = VT_DECIMAL;
}

_variant_t::_variant_t(BYTE value) {
    VariantInit(this);
    vt = VT_UI1;
    bVal = value;
}

_variant_t::_variant_t(char value) {
    VariantInit(this);
    vt = VT_I1;
    cVal = value;
}

_variant_t::_variant_t(unsigned short value) {
    VariantInit(this);
    vt = VT_UI2;
    uiVal = value;
}

_variant_t::_variant_t(unsigned long value) {
    VariantInit(this);
    if (value <= UINT32_MAX) {
        vt = VT_UI4;
        ulVal = static_cast<ULONG>(value);
    } else {
        vt = VT_UI8;
        ullVal = value;
    }
}

_variant_t::_variant_t(int value) {
    VariantInit(this);
    vt = VT_INT;
    intVal = value;
}

_variant_t::_variant_t(unsigned int value) {
    VariantInit(this);
    vt = VT_UINT;
    uintVal = value;
}

_variant_t::_variant_t(long long value) {
    VariantInit(this);
    vt = VT_I8;
    llVal = value;
}

_variant_t::_variant_t(unsigned long long value) {
    VariantInit(this);
    vt = VT_UI8;
    ullVal = value;
}

_variant_t::~_variant_t() {
    VariantClear(this);
}

_variant_t& _variant_t::operator=(const VARIANT& src) {
    check(VariantCopy(this, &src));
    return *this;
}

_variant_t& _variant_t::operator=(const VARIANT* src) {
    if (!src)
        _com_issue_error(E_POINTER);
    return *this = *src;
}

_variant_t& _variant_t::operator=(const _variant_t& src) {
    return *this = static_cast<const VARIANT&>(src);
}

_variant_t& _variant_t::operator=(_variant_t&& src) noexcept {
    if (this != &src) {
        VariantClear(this);
        std::memcpy(static_cast<void*>(static_cast<VARIANT*>(this)),
                    static_cast<const void*>(static_cast<VARIANT*>(&src)), sizeof(VARIANT));
        VariantInit(&src);
    }
    return *this;
}

_variant_t& _variant_t::operator=(short value) {
    if (vt == VT_BOOL) {
        boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        return *this;
    }
    return *this = _variant_t(value, VT_I2);
}

_variant_t& _variant_t::operator=(long value) {
    if (vt == VT_ERROR) {
        scode = static_cast<SCODE>(value);
        return *this;
    }
    return *this = _variant_t(value, VT_I4);
}

_variant_t& _variant_t::operator=(double value) {
    if (vt == VT_DATE) {
        date = value;
        return *this;
    }
    return *this = _variant_t(value, VT_R8);
}

bool _variant_t::operator==(const VARIANT& other) const noexcept {
    if (vt != other.vt)
        return false;
    if (vt & (VT_ARRAY | VT_BYREF))
        return byref == other.byref;
    switch (vt) {
        case VT_EMPTY:
        case VT_NULL:
            return true;
        case VT_I1:
            return cVal == other.cVal;
        case VT_UI1:
            return bVal == other.bVal;
        case VT_I2:
            return iVal == other.iVal;
        case VT_UI2:
            return uiVal == other.uiVal;
        case VT_BOOL:
            return boolVal == other.boolVal;
        case VT_I4:
            return lVal == other.lVal;
        case VT_UI4:
            return ulVal == other.ulVal;
        case VT_INT:
            return intVal == other.intVal;
        case VT_UINT:
            return uintVal == other.uintVal;
        case VT_ERROR:
            return scode == other.scode;
        case VT_I8:
            return llVal == other.llVal;
        case VT_UI8:
            return ullVal == other.ullVal;
        case VT_CY:
            return cyVal.int64 == other.cyVal.int64;
        case VT_R4:
            return fltVal == other.fltVal;
        case VT_R8:
            return dblVal == other.dblVal;
        case VT_DATE:
            return date == other.date;
        case VT_DECIMAL:
            return VarDecCmp(&decVal, &other.decVal) == VARCMP_EQ;
        case VT_BSTR: {
            const UINT n = SysStringLen(bstrVal);
            return n == SysStringLen(other.bstrVal) &&
                   (n == 0 || std::wmemcmp(bstrVal, other.bstrVal, n) == 0);
        }
        case VT_UNKNOWN:
        case VT_DISPATCH:
            return punkVal == other.punkVal;
        default:
            return false;
    }
}

namespace {
// The value of `v` as type `vt` in a temporary (raises on failure).
_variant_t converted(const _variant_t& v, VARTYPE vt) {
    _variant_t result;
    check(VariantChangeType(&result, &v, 0, vt));
    return result;
}
}  // namespace

_variant_t::operator short() const {
    return vt == VT_I2 ? iVal : converted(*this, VT_I2).iVal;
}
_variant_t::operator unsigned short() const {
    return vt == VT_UI2 ? uiVal : converted(*this, VT_UI2).uiVal;
}
_variant_t::operator int() const {
    return vt == VT_INT ? intVal : converted(*this, VT_INT).intVal;
}
_variant_t::operator unsigned int() const {
    return vt == VT_UINT ? uintVal : converted(*this, VT_UINT).uintVal;
}
_variant_t::operator long() const {
    return vt == VT_I4 ? lVal : converted(*this, VT_I8).llVal;
}
_variant_t::operator unsigned long() const {
    return vt == VT_UI4 ? ulVal : converted(*this, VT_UI8).ullVal;
}
_variant_t::operator long long() const {
    return vt == VT_I8 ? llVal : converted(*this, VT_I8).llVal;
}
_variant_t::operator unsigned long long() const {
    return vt == VT_UI8 ? ullVal : converted(*this, VT_UI8).ullVal;
}
_variant_t::operator float() const {
    return vt == VT_R4 ? fltVal : converted(*this, VT_R4).fltVal;
}
_variant_t::operator double() const {
    return vt == VT_R8 ? dblVal : converted(*this, VT_R8).dblVal;
}
_variant_t::operator CY() const {
    return vt == VT_CY ? cyVal : converted(*this, VT_CY).cyVal;
}
_variant_t::operator _bstr_t() const {
    return _bstr_t(*this);
}
_variant_t::operator bool() const {
    return (vt == VT_BOOL ? boolVal : converted(*this, VT_BOOL).boolVal) != 0;
}
_variant_t::operator DECIMAL() const {
    return vt == VT_DECIMAL ? decVal : converted(*this, VT_DECIMAL).decVal;
}
_variant_t::operator BYTE() const {
    return vt == VT_UI1 ? bVal : converted(*this, VT_UI1).bVal;
}
_variant_t::operator char() const {
    return vt == VT_I1 ? cVal : converted(*this, VT_I1).cVal;
}

_variant_t::operator IDispatch*() const {
    _variant_t result = converted(*this, VT_DISPATCH);
    IDispatch* p = result.pdispVal;
    result.vt = VT_EMPTY;  // the reference goes to the caller
    return p;
}

_variant_t::operator IUnknown*() const {
    _variant_t result = converted(*this, VT_UNKNOWN);
    IUnknown* p = result.punkVal;
    result.vt = VT_EMPTY;
    return p;
}

void _variant_t::Clear() {
    check(VariantClear(this));
}

void _variant_t::ChangeType(VARTYPE type, const _variant_t* src) {
    check(VariantChangeType(this, src ? src : this, 0, type));
}

void _variant_t::Attach(VARIANT& src) {
    Clear();
    std::memcpy(static_cast<void*>(static_cast<VARIANT*>(this)), static_cast<const void*>(&src),
                sizeof(VARIANT));
    VariantInit(&src);
}

VARIANT _variant_t::Detach() noexcept {
    VARIANT result;
    std::memcpy(static_cast<void*>(&result), static_cast<const void*>(static_cast<VARIANT*>(this)),
                sizeof(VARIANT));
    VariantInit(this);
    return result;
}

VARIANT* _variant_t::GetAddress() {
    Clear();
    return this;
}

void _variant_t::SetString(const char* text) {
    *this = _variant_t(text);
}
