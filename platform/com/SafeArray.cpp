#include "com/SafeArray.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "com/Variant.h"

namespace {

// The element type is kept in a header just before the SAFEARRAY, as Windows does.
struct alignas(std::max_align_t) Prefix {
    VARTYPE vt;
};

Prefix* prefixOf(SAFEARRAY* psa) {
    return reinterpret_cast<Prefix*>(reinterpret_cast<unsigned char*>(psa) - sizeof(Prefix));
}

USHORT featuresOf(VARTYPE vt) {
    switch (vt) {
        case VT_BSTR:
            return FADF_BSTR | FADF_HAVEVARTYPE;
        case VT_UNKNOWN:
            return FADF_UNKNOWN | FADF_HAVEVARTYPE;
        case VT_DISPATCH:
            return FADF_DISPATCH | FADF_HAVEVARTYPE;
        case VT_VARIANT:
            return FADF_VARIANT | FADF_HAVEVARTYPE;
        default:
            return FADF_HAVEVARTYPE;
    }
}

std::size_t elementCount(const SAFEARRAY* psa) {
    std::size_t count = 1;
    for (USHORT d = 0; d < psa->cDims; ++d)
        count *= psa->rgsabound[d].cElements;
    return count;
}

// The offset of the element at `indices` (storage order), or false when out of bounds.
bool offsetOf(const SAFEARRAY* psa, const LONG* indices, std::size_t& offset) {
    std::size_t index = 0, stride = 1;
    for (USHORT d = 0; d < psa->cDims; ++d) {
        const SAFEARRAYBOUND& b = psa->rgsabound[d];
        const long long relative = static_cast<long long>(indices[d]) - b.lLbound;
        if (relative < 0 || relative >= static_cast<long long>(b.cElements))
            return false;
        index += static_cast<std::size_t>(relative) * stride;
        stride *= b.cElements;
    }
    offset = index * psa->cbElements;
    return true;
}

// Frees what one element holds (a string, an interface reference or a variant's contents).
void releaseElement(VARTYPE vt, void* element) {
    if (vt == VT_BSTR) {
        SysFreeString(*static_cast<BSTR*>(element));
    } else if (vt == VT_UNKNOWN || vt == VT_DISPATCH) {
        if (auto* p = *static_cast<IUnknown**>(element))
            p->Release();
    } else if (vt == VT_VARIANT) {
        VariantClear(static_cast<VARIANT*>(element));
    }
}

void releaseElements(SAFEARRAY* psa) {
    const VARTYPE vt = prefixOf(psa)->vt;
    const std::size_t count = elementCount(psa);
    auto* data = static_cast<unsigned char*>(psa->pvData);
    for (std::size_t i = 0; i < count; ++i)
        releaseElement(vt, data + i * psa->cbElements);
}

// Copies one element value into storage that holds nothing to free.
HRESULT copyInto(VARTYPE vt, void* target, const void* source, ULONG size) {
    if (vt == VT_BSTR) {
        BSTR text = *static_cast<BSTR const*>(source);
        BSTR copy = text ? SysAllocStringLen(text, SysStringLen(text)) : nullptr;
        if (text && !copy)
            return E_OUTOFMEMORY;
        *static_cast<BSTR*>(target) = copy;
    } else if (vt == VT_UNKNOWN || vt == VT_DISPATCH) {
        IUnknown* p = *static_cast<IUnknown* const*>(source);
        if (p)
            p->AddRef();
        *static_cast<IUnknown**>(target) = p;
    } else if (vt == VT_VARIANT) {
        VariantInit(static_cast<VARIANT*>(target));
        return VariantCopy(static_cast<VARIANT*>(target), static_cast<const VARIANT*>(source));
    } else {
        std::memcpy(target, source, size);
    }
    return S_OK;
}

}  // namespace

ULONG qv::com::elementSize(VARTYPE vt) {
    switch (vt) {
        case VT_I1:
        case VT_UI1:
            return 1;
        case VT_I2:
        case VT_UI2:
        case VT_BOOL:
            return 2;
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
        case VT_R4:
        case VT_ERROR:
            return 4;
        case VT_I8:
        case VT_UI8:
        case VT_R8:
        case VT_DATE:
        case VT_CY:
            return 8;
        case VT_DECIMAL:
            return sizeof(DECIMAL);
        case VT_BSTR:
            return sizeof(BSTR);
        case VT_UNKNOWN:
        case VT_DISPATCH:
            return sizeof(IUnknown*);
        case VT_VARIANT:
            return sizeof(VARIANT);
        default:
            return 0;
    }
}

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound) {
    const ULONG size = qv::com::elementSize(vt);
    if (size == 0 || cDims == 0 || cDims > 60 || !rgsabound)
        return nullptr;
    std::size_t count = 1;
    for (UINT d = 0; d < cDims; ++d) {
        const std::size_t n = rgsabound[d].cElements;
        if (n != 0 && count > (static_cast<std::size_t>(1) << 40) / n)
            return nullptr;
        count *= n;
    }
    const std::size_t header =
        sizeof(Prefix) + offsetof(SAFEARRAY, rgsabound) + cDims * sizeof(SAFEARRAYBOUND);
    auto* block = static_cast<unsigned char*>(std::calloc(1, header));
    if (!block)
        return nullptr;
    auto* psa = reinterpret_cast<SAFEARRAY*>(block + sizeof(Prefix));
    prefixOf(psa)->vt = vt;
    psa->cDims = static_cast<USHORT>(cDims);
    psa->fFeatures = featuresOf(vt);
    psa->cbElements = size;
    for (UINT d = 0; d < cDims; ++d)
        psa->rgsabound[cDims - 1 - d] = rgsabound[d];
    psa->pvData = std::calloc(count ? count : 1, size);
    if (!psa->pvData) {
        std::free(block);
        return nullptr;
    }
    return psa;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
    SAFEARRAYBOUND bound = {cElements, lLbound};
    return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
    if (!psa)
        return S_OK;
    if (psa->cLocks)
        return DISP_E_ARRAYISLOCKED;
    releaseElements(psa);
    std::free(psa->pvData);
    std::free(reinterpret_cast<unsigned char*>(psa) - sizeof(Prefix));
    return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* psa) {
    if (!psa)
        return E_INVALIDARG;
    ++psa->cLocks;
    return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* psa) {
    if (!psa)
        return E_INVALIDARG;
    if (psa->cLocks == 0)
        return E_UNEXPECTED;
    --psa->cLocks;
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
    if (!psa || !ppvData)
        return E_INVALIDARG;
    SafeArrayLock(psa);
    *ppvData = psa->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) {
    return SafeArrayUnlock(psa);
}

UINT SafeArrayGetDim(SAFEARRAY* psa) {
    return psa ? psa->cDims : 0;
}

UINT SafeArrayGetElemsize(SAFEARRAY* psa) {
    return psa ? psa->cbElements : 0;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) {
    if (!psa || !pvt)
        return E_INVALIDARG;
    *pvt = prefixOf(psa)->vt;
    return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
    if (!psa || !plLbound)
        return E_INVALIDARG;
    if (nDim < 1 || nDim > psa->cDims)
        return DISP_E_BADINDEX;
    *plLbound = psa->rgsabound[psa->cDims - nDim].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
    if (!psa || !plUbound)
        return E_INVALIDARG;
    if (nDim < 1 || nDim > psa->cDims)
        return DISP_E_BADINDEX;
    const SAFEARRAYBOUND& b = psa->rgsabound[psa->cDims - nDim];
    *plUbound = static_cast<LONG>(static_cast<long long>(b.lLbound) + b.cElements - 1);
    return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
    if (!psa || !rgIndices)
        return E_INVALIDARG;
    const VARTYPE vt = prefixOf(psa)->vt;
    if (!pv && vt != VT_BSTR && vt != VT_UNKNOWN && vt != VT_DISPATCH)
        return E_INVALIDARG;
    std::size_t offset = 0;
    if (!offsetOf(psa, rgIndices, offset))
        return DISP_E_BADINDEX;
    void* element = static_cast<unsigned char*>(psa->pvData) + offset;
    // Interface and string elements are passed by value (the pointer itself).
    const void* source = pv;
    if (vt == VT_BSTR || vt == VT_UNKNOWN || vt == VT_DISPATCH)
        source = &pv;
    alignas(VARIANT) unsigned char fresh[sizeof(VARIANT)];
    if (HRESULT hr = copyInto(vt, fresh, source, psa->cbElements); FAILED(hr))
        return hr;
    releaseElement(vt, element);
    std::memcpy(element, fresh, psa->cbElements);
    return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
    if (!psa || !rgIndices || !pv)
        return E_INVALIDARG;
    std::size_t offset = 0;
    if (!offsetOf(psa, rgIndices, offset))
        return DISP_E_BADINDEX;
    return copyInto(prefixOf(psa)->vt, pv, static_cast<unsigned char*>(psa->pvData) + offset,
                    psa->cbElements);
}

HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) {
    if (!ppsaOut)
        return E_INVALIDARG;
    *ppsaOut = nullptr;
    if (!psa)
        return S_OK;
    const VARTYPE vt = prefixOf(psa)->vt;
    SAFEARRAYBOUND bounds[60];
    for (USHORT d = 0; d < psa->cDims; ++d)
        bounds[d] = psa->rgsabound[psa->cDims - 1 - d];
    SAFEARRAY* copy = SafeArrayCreate(vt, psa->cDims, bounds);
    if (!copy)
        return E_OUTOFMEMORY;
    const std::size_t count = elementCount(psa);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t offset = i * psa->cbElements;
        const HRESULT hr =
            copyInto(vt, static_cast<unsigned char*>(copy->pvData) + offset,
                     static_cast<unsigned char*>(psa->pvData) + offset, psa->cbElements);
        if (FAILED(hr)) {
            SafeArrayDestroy(copy);
            return hr;
        }
    }
    *ppsaOut = copy;
    return S_OK;
}
