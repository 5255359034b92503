// SAFEARRAY: the Automation array, with bounds per dimension, a lock count and typed elements.
//
// Elements of VT_BSTR, VT_VARIANT, VT_UNKNOWN and VT_DISPATCH arrays are owned by the array:
// PutElement stores a copy (or a new reference), GetElement hands out a copy the caller frees,
// and SafeArrayDestroy frees them. Index vectors follow the Windows order: rgIndices[0] is the
// right-most dimension. Dimensions given to SafeArrayCreate are left-most first.
#pragma once

#include "ComTypes.h"

struct SAFEARRAYBOUND {
    ULONG cElements;
    LONG lLbound;
};
typedef SAFEARRAYBOUND* LPSAFEARRAYBOUND;

struct SAFEARRAY {
    USHORT cDims;
    USHORT fFeatures;
    ULONG cbElements;
    ULONG cLocks;
    void* pvData;
    SAFEARRAYBOUND rgsabound[1];  // cDims entries, right-most dimension first
};
typedef SAFEARRAY* LPSAFEARRAY;

#define FADF_AUTO 0x0001
#define FADF_STATIC 0x0002
#define FADF_EMBEDDED 0x0004
#define FADF_FIXEDSIZE 0x0010
#define FADF_RECORD 0x0020
#define FADF_HAVEIID 0x0040
#define FADF_HAVEVARTYPE 0x0080
#define FADF_BSTR 0x0100
#define FADF_UNKNOWN 0x0200
#define FADF_DISPATCH 0x0400
#define FADF_VARIANT 0x0800

// A new array of element type `vt` (a scalar type, VT_BSTR, VT_VARIANT, VT_UNKNOWN or
// VT_DISPATCH) with zeroed elements; null for an unsupported type, no dimension, or too many
// elements.
SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound);
// A one-dimensional array of `cElements` elements starting at index `lLbound`.
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements);
// Frees the array and its elements. DISP_E_ARRAYISLOCKED while locked (nothing freed).
HRESULT SafeArrayDestroy(SAFEARRAY* psa);
HRESULT SafeArrayLock(SAFEARRAY* psa);
HRESULT SafeArrayUnlock(SAFEARRAY* psa);  // E_UNEXPECTED when not locked
// Locks the array and gives its element storage; balanced by SafeArrayUnaccessData.
HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData);
HRESULT SafeArrayUnaccessData(SAFEARRAY* psa);
UINT SafeArrayGetDim(SAFEARRAY* psa);
UINT SafeArrayGetElemsize(SAFEARRAY* psa);
HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt);
// Bounds of dimension nDim (1 = left-most). DISP_E_BADINDEX for a dimension out of range.
HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound);
HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound);
// Stores a copy of *pv (a BSTR for VT_BSTR, a VARIANT* for VT_VARIANT, an interface pointer for
// VT_UNKNOWN/VT_DISPATCH, otherwise a pointer to the value). DISP_E_BADINDEX out of bounds.
HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv);
// Copies the element out into *pv (a new BSTR, a VARIANT copy, an AddRef'ed pointer, or the
// value); the caller owns what it receives.
HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv);
// A deep copy of the array.
HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut);

namespace qv::com {

// The bytes one value of type `vt` takes in an array's storage or behind a VT_BYREF pointer;
// 0 for a type that arrays do not hold.
ULONG elementSize(VARTYPE vt);

}  // namespace qv::com
