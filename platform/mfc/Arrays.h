// MFC's arrays: CArray, CTypedPtrArray, CPtrArray, CStringArray and friends. GetAt, SetAt,
// ElementAt and operator[] outside the array raise CInvalidArgException through
// AfxThrowInvalidArgException, as MFC does in a release build.
#pragma once

#include <vector>

#include "CObject.h"
#include "CString.h"
#include "../win32/WinTypes.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
  public:
    CArray() = default;

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_data.empty(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    void SetSize(INT_PTR newSize, INT_PTR growBy = -1) {
        if (newSize < 0)
            AfxThrowInvalidArgException();
        m_data.resize(static_cast<std::size_t>(newSize));
    }
    void FreeExtra() { m_data.shrink_to_fit(); }
    void RemoveAll() { m_data.clear(); }

    const TYPE& GetAt(INT_PTR i) const { return m_data[check(i)]; }
    TYPE& GetAt(INT_PTR i) { return m_data[check(i)]; }
    void SetAt(INT_PTR i, ARG_TYPE v) { m_data[check(i)] = v; }
    TYPE& ElementAt(INT_PTR i) { return m_data[check(i)]; }
    const TYPE& ElementAt(INT_PTR i) const { return m_data[check(i)]; }
    const TYPE* GetData() const { return m_data.data(); }
    TYPE* GetData() { return m_data.data(); }

    void SetAtGrow(INT_PTR i, ARG_TYPE v) {
        if (i < 0)
            AfxThrowInvalidArgException();
        if (i >= GetSize())
            m_data.resize(static_cast<std::size_t>(i) + 1);
        m_data[static_cast<std::size_t>(i)] = v;
    }
    INT_PTR Add(ARG_TYPE v) {
        m_data.push_back(v);
        return GetSize() - 1;
    }
    INT_PTR Append(const CArray& src) {
        const INT_PTR old = GetSize();
        m_data.insert(m_data.end(), src.m_data.begin(), src.m_data.end());
        return old;
    }
    void Copy(const CArray& src) { m_data = src.m_data; }
    void InsertAt(INT_PTR i, ARG_TYPE v, INT_PTR count = 1) {
        if (i < 0 || count < 0)
            AfxThrowInvalidArgException();
        if (i > GetSize())
            m_data.resize(static_cast<std::size_t>(i));
        m_data.insert(m_data.begin() + i, static_cast<std::size_t>(count), v);
    }
    void RemoveAt(INT_PTR i, INT_PTR count = 1) {
        if (i < 0 || count < 0 || i + count > GetSize())
            AfxThrowInvalidArgException();
        m_data.erase(m_data.begin() + i, m_data.begin() + i + count);
    }

    const TYPE& operator[](INT_PTR i) const { return GetAt(i); }
    TYPE& operator[](INT_PTR i) { return ElementAt(i); }

  private:
    std::size_t check(INT_PTR i) const {
        if (i < 0 || i >= GetSize())
            AfxThrowInvalidArgException();
        return static_cast<std::size_t>(i);
    }

    std::vector<TYPE> m_data;
};

class CPtrArray : public CArray<void*, void*> {};
class CObArray : public CArray<CObject*, CObject*> {};
class CStringArray : public CArray<CString, LPCTSTR> {
  public:
    INT_PTR Add(LPCTSTR v) { return CArray<CString, LPCTSTR>::Add(v); }
    INT_PTR Add(const CString& v) { return CArray<CString, LPCTSTR>::Add(v.GetString()); }
};
class CDWordArray : public CArray<DWORD, DWORD> {};
class CUIntArray : public CArray<UINT, UINT> {};
class CWordArray : public CArray<WORD, WORD> {};
class CByteArray : public CArray<BYTE, BYTE> {};

// An array of typed pointers over one of the pointer arrays.
template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS {
  public:
    TYPE GetAt(INT_PTR i) const { return static_cast<TYPE>(BASE_CLASS::GetAt(i)); }
    TYPE& ElementAt(INT_PTR i) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(i)); }
    void SetAt(INT_PTR i, TYPE p) { BASE_CLASS::SetAt(i, p); }
    void SetAtGrow(INT_PTR i, TYPE p) { BASE_CLASS::SetAtGrow(i, p); }
    INT_PTR Add(TYPE p) { return BASE_CLASS::Add(p); }
    void InsertAt(INT_PTR i, TYPE p, INT_PTR count = 1) { BASE_CLASS::InsertAt(i, p, count); }
    TYPE operator[](INT_PTR i) const { return GetAt(i); }
    TYPE& operator[](INT_PTR i) { return ElementAt(i); }
};
