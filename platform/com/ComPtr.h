// _com_ptr_t: the COM smart pointer. It holds one reference to an interface and releases it
// when it goes; `->` and `*` on a null pointer raise _com_error(E_POINTER) instead of crashing.
//
// Declare the pointer type of an interface with _COM_SMARTPTR_TYPEDEF(IFoo, __uuidof(IFoo)),
// which makes `IFooPtr`. Assigning a pointer of another interface queries for this one; when
// the object lacks it the result is null (other failures raise _com_error).
#pragma once

#include <cstddef>
#include <type_traits>
#include <memory>

#include "ComError.h"
#include "ComRuntime.h"
#include "Unknown.h"
#include "Variant.h"

template <class I>
class _com_ptr_t {
  public:
    typedef I Interface;

    _com_ptr_t() noexcept = default;
    _com_ptr_t(std::nullptr_t) noexcept {}
    // Takes a new reference to `p`.
    _com_ptr_t(I* p) noexcept : m_p(p) { addRef(); }
    // Takes a new reference (addRef true) or adopts the caller's reference.
    _com_ptr_t(I* p, bool addRefNeeded) noexcept : m_p(p) {
        if (addRefNeeded)
            addRef();
    }
    _com_ptr_t(const _com_ptr_t& other) noexcept : m_p(other.m_p) { addRef(); }
    _com_ptr_t(_com_ptr_t&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    // Queries another interface pointer (raw or smart) for this interface.
    template <class J,
              std::enable_if_t<std::is_base_of_v<IUnknown, J> && !std::is_same_v<I, J>, int> = 0>
    _com_ptr_t(J* p) {
        queryFrom(p);
    }
    template <class J, std::enable_if_t<!std::is_same_v<I, J>, int> = 0>
    _com_ptr_t(const _com_ptr_t<J>& p) {
        queryFrom(p.GetInterfacePtr());
    }
    // The interface held by a VT_UNKNOWN or VT_DISPATCH variant.
    _com_ptr_t(const _variant_t& value) {
        if (value.vt != VT_UNKNOWN && value.vt != VT_DISPATCH) {
            _variant_t converted;
            converted.ChangeType(VT_UNKNOWN, &value);
            queryFrom(converted.punkVal);
        } else {
            queryFrom(value.punkVal);
        }
    }
    // Creates an instance of the class of a CLSID or a ProgID; raises _com_error on failure.
    explicit _com_ptr_t(const CLSID& clsid, IUnknown* outer = nullptr, DWORD context = CLSCTX_ALL) {
        const HRESULT hr = CreateInstance(clsid, outer, context);
        if (FAILED(hr) && hr != E_NOINTERFACE)
            _com_issue_error(hr);
    }
    explicit _com_ptr_t(const wchar_t* progId, IUnknown* outer = nullptr,
                        DWORD context = CLSCTX_ALL) {
        const HRESULT hr = CreateInstance(progId, outer, context);
        if (FAILED(hr) && hr != E_NOINTERFACE)
            _com_issue_error(hr);
    }
    ~_com_ptr_t() { release(); }

    _com_ptr_t& operator=(const _com_ptr_t& other) noexcept {
        if (m_p != other.m_p) {
            _com_ptr_t copy(other);
            swap(copy);
        }
        return *this;
    }
    _com_ptr_t& operator=(_com_ptr_t&& other) noexcept {
        if (this != std::addressof(other)) {
            release();
            m_p = other.m_p;
            other.m_p = nullptr;
        }
        return *this;
    }
    _com_ptr_t& operator=(I* p) noexcept {
        if (m_p != p) {
            _com_ptr_t copy(p);
            swap(copy);
        }
        return *this;
    }
    _com_ptr_t& operator=(std::nullptr_t) noexcept {
        release();
        return *this;
    }
    template <class J,
              std::enable_if_t<std::is_base_of_v<IUnknown, J> && !std::is_same_v<I, J>, int> = 0>
    _com_ptr_t& operator=(J* p) {
        _com_ptr_t copy(p);
        swap(copy);
        return *this;
    }
    template <class J, std::enable_if_t<!std::is_same_v<I, J>, int> = 0>
    _com_ptr_t& operator=(const _com_ptr_t<J>& p) {
        _com_ptr_t copy(p);
        swap(copy);
        return *this;
    }
    _com_ptr_t& operator=(const _variant_t& value) {
        _com_ptr_t copy(value);
        swap(copy);
        return *this;
    }

    // Releases what is held and creates a new instance. Returns the HRESULT of the creation or
    // of the query for this interface; the pointer stays null on failure.
    HRESULT CreateInstance(const CLSID& clsid, IUnknown* outer = nullptr,
                           DWORD context = CLSCTX_ALL) {
        release();
        return CoCreateInstance(clsid, outer, context, __uuidof(I), reinterpret_cast<void**>(&m_p));
    }
    HRESULT CreateInstance(const wchar_t* progId, IUnknown* outer = nullptr,
                           DWORD context = CLSCTX_ALL) {
        release();
        if (!progId)
            return E_INVALIDARG;
        CLSID clsid;
        const HRESULT hr = CLSIDFromProgID(progId, &clsid);
        if (FAILED(hr))
            return hr;
        return CreateInstance(clsid, outer, context);
    }
    HRESULT CreateInstance(const char* progId, IUnknown* outer = nullptr,
                           DWORD context = CLSCTX_ALL) {
        if (!progId) {
            release();
            return E_INVALIDARG;
        }
        return CreateInstance(static_cast<const wchar_t*>(_bstr_t(progId)), outer, context);
    }

    // Adopts `p` without a new reference (Attach(p, true) takes one).
    void Attach(I* p) noexcept {
        release();
        m_p = p;
    }
    void Attach(I* p, bool addRefNeeded) noexcept {
        release();
        m_p = p;
        if (addRefNeeded)
            addRef();
    }
    // Hands the reference to the caller; the pointer becomes null.
    I* Detach() noexcept {
        I* p = m_p;
        m_p = nullptr;
        return p;
    }
    // AddRef/Release through the pointer; E_POINTER when null. Release also empties it.
    void AddRef() {
        if (!m_p)
            _com_issue_error(E_POINTER);
        m_p->AddRef();
    }
    void Release() {
        if (!m_p)
            _com_issue_error(E_POINTER);
        release();
    }

    I* GetInterfacePtr() const noexcept { return m_p; }
    I*& GetInterfacePtr() noexcept { return m_p; }
    operator I*() const noexcept { return m_p; }
    I& operator*() const {
        if (!m_p)
            _com_issue_error(E_POINTER);
        return *m_p;
    }
    I* operator->() const {
        if (!m_p)
            _com_issue_error(E_POINTER);
        return m_p;
    }
    // Releases what is held and gives the address to fill (an out parameter).
    I** operator&() noexcept {
        release();
        return &m_p;
    }
    explicit operator bool() const noexcept { return m_p != nullptr; }
    bool operator!() const noexcept { return m_p == nullptr; }

    template <class Q>
    HRESULT QueryInterface(REFIID iid, Q** p) const {
        if (!m_p)
            return E_POINTER;
        return m_p->QueryInterface(iid, reinterpret_cast<void**>(p));
    }

    friend bool operator==(const _com_ptr_t& a, std::nullptr_t) noexcept {
        return a.m_p == nullptr;
    }
    friend bool operator!=(const _com_ptr_t& a, std::nullptr_t) noexcept {
        return a.m_p != nullptr;
    }
    friend bool operator==(const _com_ptr_t& a, const _com_ptr_t& b) noexcept {
        return a.m_p == b.m_p;
    }
    friend bool operator!=(const _com_ptr_t& a, const _com_ptr_t& b) noexcept {
        return a.m_p != b.m_p;
    }
    friend bool operator==(const _com_ptr_t& a, I* b) noexcept { return a.m_p == b; }
    friend bool operator!=(const _com_ptr_t& a, I* b) noexcept { return a.m_p != b; }

    void swap(_com_ptr_t& other) noexcept {
        I* p = m_p;
        m_p = other.m_p;
        other.m_p = p;
    }

  private:
    void addRef() noexcept {
        if (m_p)
            m_p->AddRef();
    }
    void release() noexcept {
        if (I* p = m_p) {
            m_p = nullptr;
            p->Release();
        }
    }
    template <class J>
    void queryFrom(J* p) {
        m_p = nullptr;
        if (!p)
            return;
        const HRESULT hr = p->QueryInterface(__uuidof(I), reinterpret_cast<void**>(&m_p));
        if (FAILED(hr)) {
            m_p = nullptr;
            if (hr != E_NOINTERFACE)
                _com_issue_error(hr);
        }
    }

    I* m_p = nullptr;
};

#define _COM_SMARTPTR_TYPEDEF(Interface, iid) typedef _com_ptr_t<Interface> Interface##Ptr

_COM_SMARTPTR_TYPEDEF(IUnknown, __uuidof(IUnknown));
_COM_SMARTPTR_TYPEDEF(IDispatch, __uuidof(IDispatch));
_COM_SMARTPTR_TYPEDEF(IErrorInfo, __uuidof(IErrorInfo));
_COM_SMARTPTR_TYPEDEF(ICreateErrorInfo, __uuidof(ICreateErrorInfo));
_COM_SMARTPTR_TYPEDEF(ISupportErrorInfo, __uuidof(ISupportErrorInfo));
