// Handles: the database-wide, permanent names of objects. A handle is a 64-bit number written as
// upper-case hexadecimal text without leading zeros; the null handle is 0 and names no object.
#pragma once

#include <string>

#include "../AdeskTypes.h"

class AcDbHandle {
  public:
    AcDbHandle() = default;
    AcDbHandle(Adesk::UInt64 value) : m_value(value) {}  // NOLINT: the host converts freely
    AcDbHandle(Adesk::UInt32 low, Adesk::UInt32 high)
        : m_value(static_cast<Adesk::UInt64>(high) << 32 | low) {}
    // Reads hexadecimal text; leading blanks are skipped and reading stops at the first
    // character that is no hexadecimal digit ("1A2," reads 1A2, "ZZ" reads the null handle).
    explicit AcDbHandle(const ACHAR* hex);
    AcDbHandle& operator=(const ACHAR* hex) { return *this = AcDbHandle(hex); }

    bool isNull() const { return m_value == 0; }
    void setNull() { m_value = 0; }
    Adesk::UInt32 low() const { return static_cast<Adesk::UInt32>(m_value); }
    Adesk::UInt32 high() const { return static_cast<Adesk::UInt32>(m_value >> 32); }
    Adesk::UInt64 value() const { return m_value; }
    explicit operator Adesk::UInt64() const { return m_value; }

    // Writes the upper-case hexadecimal text into `buffer`; false (and nothing written) when
    // `length` characters cannot hold it and its terminating zero.
    bool getIntoAsciiBuffer(ACHAR* buffer, size_t length) const;
    std::wstring text() const;

    AcDbHandle& operator++() {
        ++m_value;
        return *this;
    }
    AcDbHandle operator++(int) {
        AcDbHandle before = *this;
        ++m_value;
        return before;
    }
    AcDbHandle operator+(const AcDbHandle& other) const { return m_value + other.m_value; }
    bool operator==(const AcDbHandle& other) const { return m_value == other.m_value; }
    bool operator!=(const AcDbHandle& other) const { return m_value != other.m_value; }
    bool operator<(const AcDbHandle& other) const { return m_value < other.m_value; }
    bool operator>(const AcDbHandle& other) const { return m_value > other.m_value; }

  private:
    Adesk::UInt64 m_value = 0;
};
