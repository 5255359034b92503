// The COM interface base (IUnknown), the minimal IDispatch, and the helper that gives our own
// classes their reference counting and QueryInterface.
//
// Every interface declares its identity as `static constexpr IID qvIid` and its base interface
// as `using qvBase = ...`; `__uuidof(I)` reads that identity. A coclass (a creatable class such
// as a DOM document) declares only `qvIid`, holding its CLSID.
#pragma once

#include <atomic>
#include <tuple>
#include <type_traits>

#include "ComTypes.h"

namespace qv::com {
template <class T>
constexpr const GUID& uuidOf() {
    return T::qvIid;
}
}  // namespace qv::com

// __uuidof(Type): the IID of an interface or the CLSID of a coclass.
#define __uuidof(T) (::qv::com::uuidOf<std::remove_cv_t<std::remove_pointer_t<T>>>())

struct IUnknown {
    static constexpr IID qvIid = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

    // Gives the object's pointer for `iid` (with a new reference) in *object, or E_NOINTERFACE
    // with *object null. E_POINTER when `object` is null.
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    // Drops one reference; the object deletes itself when the last one goes.
    virtual ULONG Release() = 0;

    // Typed form of QueryInterface.
    template <class Q>
    HRESULT QueryInterface(Q** object) {
        return QueryInterface(__uuidof(Q), reinterpret_cast<void**>(object));
    }

  protected:
    virtual ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;

struct ITypeInfo;

struct DISPPARAMS;
struct EXCEPINFO;
struct tagVARIANT;
typedef tagVARIANT VARIANT;

#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2
#define DISPATCH_PROPERTYPUT 0x4
#define DISPATCH_PROPERTYPUTREF 0x8
#define DISPID_UNKNOWN (-1)
#define DISPID_VALUE 0
#define DISPID_PROPERTYPUT (-3)

// Late-bound calls. The platform's own objects answer E_NOTIMPL unless they say otherwise.
struct IDispatch : IUnknown {
    static constexpr IID qvIid = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    using qvBase = IUnknown;

    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) = 0;
    virtual HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                  DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argError) = 0;
};
typedef IDispatch* LPDISPATCH;

inline constexpr IID IID_IUnknown = IUnknown::qvIid;
inline constexpr IID IID_IDispatch = IDispatch::qvIid;

namespace qv::com {

// True when interface I is `iid` or derives from the interface `iid` names.
template <class I>
constexpr bool implementsIid(REFIID iid) {
    if (iid == I::qvIid)
        return true;
    if constexpr (std::is_same_v<I, IUnknown>) {
        return false;
    } else {
        return implementsIid<typename I::qvBase>(iid);
    }
}

// Base of the platform's COM objects: `class Document : public qv::com::Object<IXMLDOMDocument>`.
// Implements the reference count (the object starts with 0 references; the first smart pointer
// or the creator's AddRef takes one) and QueryInterface over the listed interfaces and their
// bases. IDispatch's calls answer E_NOTIMPL when an interface derives from it.
template <class... Interfaces>
class Object : public Interfaces... {
  public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IUnknown::qvIid) {
            *object = static_cast<IUnknown*>(static_cast<First*>(this));
        } else {
            (void)(find<Interfaces>(iid, object) || ...);
        }
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT GetTypeInfoCount(UINT* count) {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
        return E_NOTIMPL;
    }

  protected:
    Object() = default;
    ~Object() override = default;

  private:
    using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;

    template <class I>
    bool find(REFIID iid, void** object) {
        if (!implementsIid<I>(iid))
            return false;
        *object = static_cast<I*>(this);
        return true;
    }

    std::atomic<ULONG> m_refs{0};
};

}  // namespace qv::com
