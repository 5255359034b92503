// VARIANT, the Automation value, its C functions (VariantInit, VariantClear, VariantCopy,
// VariantChangeType) and _variant_t, the owning C++ wrapper.
//
// Conversions follow VariantChangeType in the English (United States) locale:
//  - VT_NULL converts to nothing but VT_NULL (and VT_EMPTY): DISP_E_TYPEMISMATCH;
//  - VT_EMPTY converts to 0, "", false or the zero date;
//  - numbers round half to even when they lose their fraction, and a value outside the target's
//    range gives DISP_E_OVERFLOW;
//  - text converts to a number when it reads as one ("  -1,234.5e1 " is accepted: blanks around,
//    a sign, thousands commas in the integer part, a point, an exponent), to a boolean from
//    "True"/"False" (any case) or a number, and to a date from "M/D/YYYY", "YYYY-MM-DD" and/or
//    "h:mm[:ss] [AM|PM]"; other text gives DISP_E_TYPEMISMATCH;
//  - numbers become text in the shortest form of up to 15 significant digits (7 for VT_R4),
//    with an exponent ("1E+20") where the C "%G" form uses one; booleans become "-1"/"0", or
//    "True"/"False" with VARIANT_ALPHABOOL; dates become "M/D/YYYY h:mm:ss AM" (the date alone at
//    midnight, the time alone on day zero);
//  - true is VARIANT_TRUE (-1) as a number.
// _variant_t raises _com_error with the HRESULT of any failed conversion.
#pragma once

#include <cstdint>
#include <type_traits>

#include "Bstr.h"
#include "ComTypes.h"
#include "SafeArray.h"
#include "Unknown.h"

struct tagVARIANT {
    union {
        struct {
            VARTYPE vt;
            WORD wReserved1;
            WORD wReserved2;
            WORD wReserved3;
            union {
                LONGLONG llVal;
                LONG lVal;
                BYTE bVal;
                SHORT iVal;
                FLOAT fltVal;
                DOUBLE dblVal;
                VARIANT_BOOL boolVal;
                SCODE scode;
                CY cyVal;
                DATE date;
                BSTR bstrVal;
                IUnknown* punkVal;
                IDispatch* pdispVal;
                SAFEARRAY* parray;
                BYTE* pbVal;
                SHORT* piVal;
                LONG* plVal;
                LONGLONG* pllVal;
                FLOAT* pfltVal;
                DOUBLE* pdblVal;
                VARIANT_BOOL* pboolVal;
                SCODE* pscode;
                CY* pcyVal;
                DATE* pdate;
                BSTR* pbstrVal;
                IUnknown** ppunkVal;
                IDispatch** ppdispVal;
                SAFEARRAY** pparray;
                tagVARIANT* pvarVal;
                void* byref;
                CHAR cVal;
                USHORT uiVal;
                ULONG ulVal;
                ULONGLONG ullVal;
                INT intVal;
                UINT uintVal;
                DECIMAL* pdecVal;
                CHAR* pcVal;
                USHORT* puiVal;
                ULONG* pulVal;
                ULONGLONG* pullVal;
                INT* pintVal;
                UINT* puintVal;
            };
        };
        DECIMAL decVal;  // overlays vt with its reserved word: set vt after decVal
    };
};
typedef tagVARIANT VARIANT;
typedef tagVARIANT VARIANTARG;
typedef VARIANT* LPVARIANT;
typedef VARIANT* LPVARIANTARG;

#define V_VT(X) ((X)->vt)
#define V_ISARRAY(X) (V_VT(X) & VT_ARRAY)
#define V_ISBYREF(X) (V_VT(X) & VT_BYREF)
#define V_I2(X) ((X)->iVal)
#define V_I4(X) ((X)->lVal)
#define V_INT(X) ((X)->intVal)
#define V_UI1(X) ((X)->bVal)
#define V_R8(X) ((X)->dblVal)
#define V_BOOL(X) ((X)->boolVal)
#define V_BSTR(X) ((X)->bstrVal)
#define V_DATE(X) ((X)->date)
#define V_DECIMAL(X) ((X)->decVal)
#define V_ARRAY(X) ((X)->parray)
#define V_UNKNOWN(X) ((X)->punkVal)
#define V_DISPATCH(X) ((X)->pdispVal)
#define V_ERROR(X) ((X)->scode)

struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};

// Sets the type to VT_EMPTY without freeing anything.
void VariantInit(VARIANTARG* pvarg);
// Frees what the variant owns (string, array, interface reference) and makes it VT_EMPTY.
// DISP_E_BADVARTYPE (variant untouched) for an unknown type.
HRESULT VariantClear(VARIANTARG* pvarg);
// Clears `dest` and makes it a deep copy of `src`.
HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc);
// As VariantCopy, but a VT_BYREF source gives the value it refers to.
HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc);
// Converts `src` to type `vt` into `dest` (which may be `src`). On failure `dest` is unchanged.
HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags,
                          VARTYPE vt);
HRESULT VariantChangeTypeEx(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, LCID lcid,
                            USHORT wFlags, VARTYPE vt);

// Decimal helpers used by the conversions, with the same results.
HRESULT VarDecFromR8(double dblIn, DECIMAL* pdecOut);
HRESULT VarR8FromDec(const DECIMAL* pdecIn, double* pdblOut);
HRESULT VarDecFromStr(const OLECHAR* strIn, LCID lcid, ULONG dwFlags, DECIMAL* pdecOut);
HRESULT VarBstrFromDec(const DECIMAL* pdecIn, LCID lcid, ULONG dwFlags, BSTR* pbstrOut);
// Compares two decimals: VARCMP_LT, VARCMP_EQ or VARCMP_GT.
#define VARCMP_LT 0
#define VARCMP_EQ 1
#define VARCMP_GT 2
#define VARCMP_NULL 3
HRESULT VarDecCmp(const DECIMAL* pdecLeft, const DECIMAL* pdecRight);

class _variant_t : public tagVARIANT {
  public:
    _variant_t() noexcept;
    _variant_t(const VARIANT& src);
    _variant_t(const VARIANT* src);
    _variant_t(const _variant_t& src);
    _variant_t(_variant_t&& src) noexcept;
    // `copy` false takes the value over from `src`, leaving it VT_EMPTY.
    _variant_t(VARIANT& src, bool copy);
    _variant_t(short value, VARTYPE vt = VT_I2);       // VT_I2 or VT_BOOL
    _variant_t(long value, VARTYPE vt = VT_I4);        // VT_I4 or VT_ERROR; VT_I8 beyond 32 bits
    _variant_t(float value);                           // VT_R4
    _variant_t(double value, VARTYPE vt = VT_R8);      // VT_R8 or VT_DATE
    _variant_t(const CY& value);                       // VT_CY
    _variant_t(const _bstr_t& value);                  // VT_BSTR (a copy)
    _variant_t(const wchar_t* value);                  // VT_BSTR
    _variant_t(const char* value);                     // VT_BSTR, from Windows-1252
    _variant_t(IDispatch* value, bool addRef = true);  // VT_DISPATCH
    _variant_t(bool value);                            // VT_BOOL
    _variant_t(IUnknown* value, bool addRef = true);   // VT_UNKNOWN
    _variant_t(const DECIMAL& value);                  // VT_DECIMAL
    _variant_t(BYTE value);                            // VT_UI1
    _variant_t(char value);                            // VT_I1
    _variant_t(unsigned short value);                  // VT_UI2
    _variant_t(unsigned long value);                   // VT_UI4; VT_UI8 beyond 32 bits
    _variant_t(int value);                             // VT_INT
    _variant_t(unsigned int value);                    // VT_UINT
    _variant_t(long long value);                       // VT_I8
    _variant_t(unsigned long long value);              // VT_UI8
    // Any class that converts to a wide text (CString, for one): VT_BSTR.
    template <class S, std::enable_if_t<
                           std::is_class_v<S> && std::is_convertible_v<const S&, const wchar_t*> &&
                               !std::is_base_of_v<tagVARIANT, S> && !std::is_same_v<S, _bstr_t>,
                           int> = 0>
    _variant_t(const S& text) : _variant_t(static_cast<const wchar_t*>(text)) {}
    ~_variant_t();

    _variant_t& operator=(const VARIANT& src);
    _variant_t& operator=(const VARIANT* src);
    _variant_t& operator=(const _variant_t& src);
    _variant_t& operator=(_variant_t&& src) noexcept;
    // A short keeps VT_BOOL, a long keeps VT_ERROR and a double keeps VT_DATE when the variant
    // already has that type; every other assignment sets the type of the value.
    _variant_t& operator=(short value);
    _variant_t& operator=(long value);
    _variant_t& operator=(double value);
    template <class T, std::enable_if_t<!std::is_same_v<std::decay_t<T>, short> &&
                                            !std::is_same_v<std::decay_t<T>, long> &&
                                            !std::is_same_v<std::decay_t<T>, double> &&
                                            std::is_constructible_v<_variant_t, const T&>,
                                        int> = 0>
    _variant_t& operator=(const T& value) {
        return *this = _variant_t(value);
    }

    // Value comparison: same type and equal value (texts compare by content).
    bool operator==(const VARIANT& other) const noexcept;
    bool operator!=(const VARIANT& other) const noexcept { return !(*this == other); }

    // Extraction: the value converted to the operator's type (see the conversion rules above).
    operator short() const;
    operator unsigned short() const;
    operator int() const;
    operator unsigned int() const;
    operator long() const;  // 64 bits here: the range of VT_I8
    operator unsigned long() const;
    operator long long() const;
    operator unsigned long long() const;
    operator float() const;
    operator double() const;
    operator CY() const;
    operator _bstr_t() const;
    operator IDispatch*() const;  // a new reference (null for an empty variant)
    operator bool() const;
    operator IUnknown*() const;  // a new reference (null for an empty variant)
    operator DECIMAL() const;
    operator BYTE() const;
    operator char() const;

    // Frees the value; the variant becomes VT_EMPTY.
    void Clear();
    // Converts in place (or converts *src into this variant); raises _com_error on failure.
    void ChangeType(VARTYPE vt, const _variant_t* src = nullptr);
    // Takes over `src`, leaving it VT_EMPTY; Detach hands the value to the caller.
    void Attach(VARIANT& src);
    VARIANT Detach() noexcept;
    VARIANT& GetVARIANT() noexcept { return *this; }
    // Clears and gives the address of the VARIANT to fill (an out parameter).
    VARIANT* GetAddress();
    void SetString(const char* text);
};

// The value of an omitted optional argument: VT_ERROR with DISP_E_PARAMNOTFOUND.
extern const _variant_t vtMissing;
