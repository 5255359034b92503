#include "ado/odbc/Binding.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "ado/odbc/Text.h"

namespace qv::odbc {
namespace {

template <typename T>
void store(Binding& b, const T& value) {
    b.buffer.resize(sizeof(T));
    std::memcpy(b.buffer.data(), &value, sizeof(T));
    b.indicator = sizeof(T);
}

template <typename T>
T load(const Binding& b) {
    T value;
    std::memcpy(&value, b.buffer.data(), sizeof(T));
    return value;
}

[[noreturn]] void conversionError(const Parameter& p, const std::wstring& what) {
    throw Error(ErrorKind::Conversion, L"22018", L"Parameter " + p.name + L": " + what);
}

std::int64_t integerValue(const Parameter& p, std::int64_t low, std::int64_t high) {
    const std::int64_t* v = std::get_if<std::int64_t>(&p.value);
    if (v == nullptr) {
        conversionError(p, L"the value is not an integer.");
    }
    if (*v < low || *v > high) {
        throw Error(ErrorKind::Conversion, L"22003",
                    L"Parameter " + p.name + L": the value " + std::to_wstring(*v) +
                        L" is out of the range of its type.");
    }
    return *v;
}

std::string fixedDecimalText(double value, int scale) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", scale, value);
    return text;
}

}  // namespace

Binding bind(const Parameter& p) {
    Binding b;
    b.ioType = p.direction == Direction::Input    ? SQL_PARAM_INPUT
               : p.direction == Direction::Output ? SQL_PARAM_OUTPUT
                                                  : SQL_PARAM_INPUT_OUTPUT;
    const bool sendsValue = p.direction != Direction::Output && !isNull(p.value);
    switch (p.type) {
        case ParamType::Integer:
            b.cType = SQL_C_SLONG;
            b.sqlType = SQL_INTEGER;
            b.columnSize = 10;
            store(b, static_cast<SQLINTEGER>(
                         sendsValue ? integerValue(p, std::numeric_limits<std::int32_t>::min(),
                                                   std::numeric_limits<std::int32_t>::max())
                                    : 0));
            break;
        case ParamType::TinyInt:
            b.cType = SQL_C_UTINYINT;
            b.sqlType = SQL_TINYINT;
            b.columnSize = 3;
            store(b, static_cast<SQLCHAR>(sendsValue ? integerValue(p, 0, 255) : 0));
            break;
        case ParamType::Boolean: {
            b.cType = SQL_C_BIT;
            b.sqlType = SQL_BIT;
            b.columnSize = 1;
            bool flag = false;
            if (sendsValue) {
                const bool* v = std::get_if<bool>(&p.value);
                if (v == nullptr) {
                    conversionError(p, L"the value is not a boolean.");
                }
                flag = *v;
            }
            store(b, static_cast<SQLCHAR>(flag ? 1 : 0));
            break;
        }
        case ParamType::Char:
        case ParamType::VarChar: {
            if (p.size == 0) {
                throw Error(ErrorKind::Call, L"HY104",
                            L"Parameter " + p.name + L": a text parameter needs a size above 0.");
            }
            b.cType = SQL_C_WCHAR;
            b.sqlType = p.type == ParamType::Char ? SQL_CHAR : SQL_VARCHAR;
            b.columnSize = p.size;
            std::u16string text;
            if (sendsValue) {
                const std::wstring* v = std::get_if<std::wstring>(&p.value);
                if (v == nullptr) {
                    conversionError(p, L"the value is not a text.");
                }
                if (v->size() > p.size) {
                    throw Error(ErrorKind::Truncation, L"22001",
                                L"String data, right truncation: the value of parameter " + p.name +
                                    L" has " + std::to_wstring(v->size()) +
                                    L" characters, more than its declared size " +
                                    std::to_wstring(p.size) + L".");
                }
                text = toUtf16(*v);
            }
            std::size_t units = text.size() + 1;
            if (p.direction != Direction::Input) {
                units = std::max(units, p.size * 2 + 1);  // room for any `size` characters
            }
            b.buffer.assign(units * sizeof(SQLWCHAR), 0);
            std::memcpy(b.buffer.data(), text.data(), text.size() * sizeof(SQLWCHAR));
            b.indicator = static_cast<SQLLEN>(text.size() * sizeof(SQLWCHAR));
            break;
        }
        case ParamType::Numeric:
        case ParamType::Double: {
            const bool exact = p.type == ParamType::Numeric && p.precision > 0;
            b.sqlType = exact ? SQL_NUMERIC : SQL_DOUBLE;
            b.columnSize = exact ? static_cast<SQLULEN>(p.precision) : 15;
            b.digits = exact ? static_cast<SQLSMALLINT>(p.scale) : 0;
            const double* d = std::get_if<double>(&p.value);
            const Decimal* dec = std::get_if<Decimal>(&p.value);
            if (sendsValue && d == nullptr && dec == nullptr) {
                conversionError(p, L"the value is not a number.");
            }
            if (!exact) {
                b.cType = SQL_C_DOUBLE;
                double value = d ? *d : 0.0;
                if (dec) {
                    value = std::strtod(dec->text.c_str(), nullptr);
                }
                store(b, value);
            } else if (d && p.direction == Direction::Input) {
                b.cType = SQL_C_DOUBLE;
                store(b, *d);
            } else {
                // Exact text both ways: a Decimal in, and every digit of an output back.
                b.cType = SQL_C_CHAR;
                std::string text = dec ? dec->text : d ? fixedDecimalText(*d, p.scale) : "0";
                b.buffer.assign(std::max(kDecimalBufferBytes, text.size() + 1), 0);
                std::memcpy(b.buffer.data(), text.data(), text.size());
                b.indicator = static_cast<SQLLEN>(text.size());
            }
            break;
        }
        case ParamType::Timestamp: {
            b.cType = SQL_C_TYPE_TIMESTAMP;
            b.sqlType = SQL_TYPE_TIMESTAMP;
            b.columnSize = 23;
            b.digits = 3;
            SQL_TIMESTAMP_STRUCT ts{};
            if (sendsValue) {
                const Timestamp* v = std::get_if<Timestamp>(&p.value);
                if (v == nullptr) {
                    conversionError(p, L"the value is not a date and time.");
                }
                ts.year = static_cast<SQLSMALLINT>(v->year);
                ts.month = static_cast<SQLUSMALLINT>(v->month);
                ts.day = static_cast<SQLUSMALLINT>(v->day);
                ts.hour = static_cast<SQLUSMALLINT>(v->hour);
                ts.minute = static_cast<SQLUSMALLINT>(v->minute);
                ts.second = static_cast<SQLUSMALLINT>(v->second);
                ts.fraction = v->fraction / 1000000 * 1000000;  // whole milliseconds: 3 digits
            }
            store(b, ts);
            break;
        }
    }
    if (!sendsValue) {
        b.indicator = SQL_NULL_DATA;
    }
    return b;
}

Value outputValue(const Parameter& p, const Binding& b) {
    if (b.indicator == SQL_NULL_DATA) {
        return std::monostate{};
    }
    switch (p.type) {
        case ParamType::Integer:
            return static_cast<std::int64_t>(load<SQLINTEGER>(b));
        case ParamType::TinyInt:
            return static_cast<std::int64_t>(load<SQLCHAR>(b));
        case ParamType::Boolean:
            return load<SQLCHAR>(b) != 0;
        case ParamType::Char:
        case ParamType::VarChar: {
            std::size_t capacity = b.buffer.size() - sizeof(SQLWCHAR);
            if (b.indicator == SQL_NO_TOTAL || static_cast<std::size_t>(b.indicator) > capacity) {
                throw Error(ErrorKind::Truncation, L"22001",
                            L"String data, right truncation: the value returned in parameter " +
                                p.name + L" is longer than its declared size " +
                                std::to_wstring(p.size) + L".");
            }
            std::wstring text = fromUtf16(reinterpret_cast<const SQLWCHAR*>(b.buffer.data()),
                                          static_cast<std::size_t>(b.indicator) / sizeof(SQLWCHAR));
            if (text.size() > p.size) {
                throw Error(ErrorKind::Truncation, L"22001",
                            L"String data, right truncation: the value returned in parameter " +
                                p.name + L" has " + std::to_wstring(text.size()) +
                                L" characters, more than its declared size " +
                                std::to_wstring(p.size) + L".");
            }
            return text;
        }
        case ParamType::Numeric:
        case ParamType::Double:
            if (b.cType == SQL_C_CHAR) {
                std::size_t length =
                    std::min(static_cast<std::size_t>(std::max<SQLLEN>(b.indicator, 0)),
                             b.buffer.size() - 1);
                return Decimal{std::string(reinterpret_cast<const char*>(b.buffer.data()), length)};
            }
            return load<double>(b);
        case ParamType::Timestamp:
            return timestampOf(load<SQL_TIMESTAMP_STRUCT>(b));
    }
    return std::monostate{};
}

}  // namespace qv::odbc
