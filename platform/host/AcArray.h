// The host's growable array (AcArray) and the arrays of ids, points and numbers built on it.
//
// Indexes run from 0 to length() - 1. An index outside that range throws Acad::eInvalidIndex
// (a host status thrown as a value, which the module's handlers catch) instead of reading memory
// that is not there.
#pragma once

#include <algorithm>
#include <vector>

#include "ErrorStatus.h"

template <class T>
class AcArray {
  public:
    // The lengths are hints of the host's allocator; the array grows as needed.
    explicit AcArray(int physicalLength = 0, int growLength = 8) {
        (void)growLength;
        if (physicalLength > 0) {
            m_items.reserve(static_cast<std::size_t>(physicalLength));
        }
    }

    int length() const { return static_cast<int>(m_items.size()); }
    int logicalLength() const { return length(); }
    int physicalLength() const { return static_cast<int>(m_items.capacity()); }
    bool isEmpty() const { return m_items.empty(); }

    // Appends and returns the new element's index.
    int append(const T& value) {
        m_items.push_back(value);
        return length() - 1;
    }
    AcArray& append(const AcArray& other) {
        m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
        return *this;
    }
    // Inserts before `index` (index == length() appends).
    AcArray& insertAt(int index, const T& value) {
        if (index < 0 || index > length()) {
            throw Acad::eInvalidIndex;
        }
        m_items.insert(m_items.begin() + index, value);
        return *this;
    }
    AcArray& removeAt(int index) {
        check(index);
        m_items.erase(m_items.begin() + index);
        return *this;
    }
    // Removes the first element equal to `value`; false when there is none.
    bool remove(const T& value) {
        int index = 0;
        if (!find(value, index)) {
            return false;
        }
        removeAt(index);
        return true;
    }
    AcArray& removeFirst() { return removeAt(0); }
    AcArray& removeLast() { return removeAt(length() - 1); }
    AcArray& removeAll() {
        m_items.clear();
        return *this;
    }
    AcArray& setLogicalLength(int n) {
        m_items.resize(static_cast<std::size_t>(std::max(n, 0)));
        return *this;
    }
    AcArray& setPhysicalLength(int n) {
        if (n > physicalLength()) {
            m_items.reserve(static_cast<std::size_t>(n));
        }
        return *this;
    }
    AcArray& reverse() {
        std::reverse(m_items.begin(), m_items.end());
        return *this;
    }

    bool contains(const T& value, int start = 0) const {
        int index = 0;
        return find(value, index, start);
    }
    bool find(const T& value, int& index, int start = 0) const {
        for (int i = std::max(start, 0); i < length(); ++i) {
            if (m_items[static_cast<std::size_t>(i)] == value) {
                index = i;
                return true;
            }
        }
        return false;
    }

    T& at(int index) {
        check(index);
        return m_items[static_cast<std::size_t>(index)];
    }
    const T& at(int index) const {
        check(index);
        return m_items[static_cast<std::size_t>(index)];
    }
    T& operator[](int index) { return at(index); }
    const T& operator[](int index) const { return at(index); }
    T& first() { return at(0); }
    const T& first() const { return at(0); }
    T& last() { return at(length() - 1); }
    const T& last() const { return at(length() - 1); }
    AcArray& setAt(int index, const T& value) {
        at(index) = value;
        return *this;
    }

    const T* asArrayPtr() const { return m_items.data(); }
    T* asArrayPtr() { return m_items.data(); }

    bool operator==(const AcArray& other) const { return m_items == other.m_items; }

    // Iteration for our own code.
    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

  private:
    void check(int index) const {
        if (index < 0 || index >= length()) {
            throw Acad::eInvalidIndex;
        }
    }

    std::vector<T> m_items;
};

typedef AcArray<double> AcGeDoubleArray;
typedef AcArray<int> AcGeIntArray;
