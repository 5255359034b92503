// The values that travel between the ADO objects and an ODBC driver: parameter values going in,
// output values and result columns coming back. Plain standard types, so that nothing above this
// layer sees the ODBC headers.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace qv::odbc {

// A date and time as SQL_TIMESTAMP_STRUCT holds it; `fraction` counts nanoseconds.
struct Timestamp {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::uint32_t fraction = 0;

    bool operator==(const Timestamp&) const = default;
};

// An exact decimal number as the driver writes it ("-12.5000"): numeric and decimal columns and
// parameters keep every digit this way.
struct Decimal {
    std::string text;

    bool operator==(const Decimal&) const = default;
};

// std::monostate is SQL NULL.
using Value =
    std::variant<std::monostate, bool, std::int64_t, double, Decimal, std::wstring, Timestamp>;

inline bool isNull(const Value& value) {
    return std::holds_alternative<std::monostate>(value);
}

}  // namespace qv::odbc
