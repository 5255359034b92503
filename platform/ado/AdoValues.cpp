#include "ado/AdoValues.h"

#include <cmath>

#include "ado/AdoError.h"
#include "com/OleDate.h"

namespace qv::ado {
namespace {

constexpr LCID kEnglishUs = 0x0409;
constexpr double kMillisecondsPerDay = 86400000.0;

[[noreturn]] void conversionFailed(const std::wstring& name, const wchar_t* source, REFIID iid,
                                   const std::wstring& detail) {
    std::wstring text = adoErrorText(adErrDataConversion);
    if (!name.empty()) {
        text += L" Parameter " + name + L": ";
    } else {
        text += L" ";
    }
    text += detail;
    throw _com_error(adoHresult(adErrDataConversion),
                     qv::com::makeErrorInfo(text.c_str(), source, iid));
}

_variant_t changed(const _variant_t& value, VARTYPE vt, const std::wstring& name) {
    _variant_t out;
    HRESULT hr = VariantChangeType(&out, &value, 0, vt);
    if (FAILED(hr)) {
        conversionFailed(name, L"ADODB.Parameter", __uuidof(_Parameter),
                         hr == DISP_E_OVERFLOW ? L"the value is out of the range of its type."
                                               : L"the value does not convert to its type.");
    }
    return out;
}

std::wstring bstrText(BSTR text) {
    return text ? std::wstring(text, SysStringLen(text)) : L"";
}

bool timestampOf(DATE date, odbc::Timestamp& out) {
    if (!std::isfinite(date)) {
        return false;
    }
    double day = std::trunc(date);
    long long ms = std::llround(std::fabs(date - day) * kMillisecondsPerDay);
    if (ms >= static_cast<long long>(kMillisecondsPerDay)) {
        ms -= static_cast<long long>(kMillisecondsPerDay);
        day += 1;
    }
    qv::com::DateParts parts;
    if (!qv::com::partsFromDate(day, parts)) {
        return false;
    }
    out = {parts.year,
           parts.month,
           parts.day,
           static_cast<int>(ms / 3600000),
           static_cast<int>(ms / 60000 % 60),
           static_cast<int>(ms / 1000 % 60),
           static_cast<std::uint32_t>(ms % 1000) * 1000000u};
    return true;
}

bool dateOf(const odbc::Timestamp& ts, DATE& out) {
    qv::com::DateParts parts;
    parts.year = ts.year;
    parts.month = ts.month;
    parts.day = ts.day;
    DATE day = 0;
    if (!qv::com::dateFromParts(parts, day) || ts.hour < 0 || ts.hour > 23 || ts.minute < 0 ||
        ts.minute > 59 || ts.second < 0 || ts.second > 59) {
        return false;
    }
    double ms = ((ts.hour * 60.0 + ts.minute) * 60.0 + ts.second) * 1000.0 +
                std::round(ts.fraction / 1000000.0);
    double time = ms / kMillisecondsPerDay;
    out = day < 0 ? day - time : day + time;
    return true;
}

_variant_t textVariant(const std::wstring& text) {
    _variant_t v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return v;
}

_variant_t nullVariant() {
    _variant_t v;
    v.vt = VT_NULL;
    return v;
}

bool decimalOf(const odbc::Value& value, DECIMAL& out) {
    if (const auto* d = std::get_if<odbc::Decimal>(&value)) {
        std::wstring text(d->text.begin(), d->text.end());
        return SUCCEEDED(VarDecFromStr(text.c_str(), kEnglishUs, 0, &out));
    }
    if (const auto* d = std::get_if<double>(&value)) {
        return SUCCEEDED(VarDecFromR8(*d, &out));
    }
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
        return SUCCEEDED(VarDecFromR8(static_cast<double>(*i), &out));
    }
    return false;
}

_variant_t decimalVariant(const DECIMAL& dec) {
    _variant_t v;
    v.decVal = dec;
    v.vt = VT_DECIMAL;
    return v;
}

double doubleOf(const odbc::Value& value) {
    if (const auto* d = std::get_if<double>(&value)) {
        return *d;
    }
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
        return static_cast<double>(*i);
    }
    if (const auto* d = std::get_if<odbc::Decimal>(&value)) {
        return std::strtod(d->text.c_str(), nullptr);
    }
    return 0.0;
}

std::int64_t integerOf(const odbc::Value& value) {
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
        return *i;
    }
    if (const auto* b = std::get_if<bool>(&value)) {
        return *b ? 1 : 0;
    }
    return static_cast<std::int64_t>(doubleOf(value));
}

}  // namespace

bool parameterTypeOf(DataTypeEnum type, odbc::ParamType& out) {
    switch (type) {
        case adInteger:
        case adSmallInt:
            out = odbc::ParamType::Integer;
            return true;
        case adTinyInt:
        case adUnsignedTinyInt:
            out = odbc::ParamType::TinyInt;
            return true;
        case adBoolean:
            out = odbc::ParamType::Boolean;
            return true;
        case adChar:
        case adWChar:
            out = odbc::ParamType::Char;
            return true;
        case adVarChar:
        case adVarWChar:
        case adBSTR:
            out = odbc::ParamType::VarChar;
            return true;
        case adNumeric:
        case adDecimal:
            out = odbc::ParamType::Numeric;
            return true;
        case adDouble:
        case adSingle:
            out = odbc::ParamType::Double;
            return true;
        case adDBTimeStamp:
        case adDate:
            out = odbc::ParamType::Timestamp;
            return true;
        case adEmpty:
        case adBigInt:
            return false;
    }
    return false;
}

odbc::Value parameterValue(const _variant_t& value, DataTypeEnum type, const std::wstring& name) {
    if (value.vt == VT_EMPTY || value.vt == VT_NULL ||
        (value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND)) {
        return std::monostate{};
    }
    odbc::ParamType kind;
    if (!parameterTypeOf(type, kind)) {
        conversionFailed(name, L"ADODB.Parameter", __uuidof(_Parameter),
                         L"the data type " + std::to_wstring(type) + L" cannot be sent.");
    }
    switch (kind) {
        case odbc::ParamType::Integer:
            return static_cast<std::int64_t>(changed(value, VT_I4, name).lVal);
        case odbc::ParamType::TinyInt:
            return static_cast<std::int64_t>(changed(value, VT_UI1, name).bVal);
        case odbc::ParamType::Boolean:
            return changed(value, VT_BOOL, name).boolVal != VARIANT_FALSE;
        case odbc::ParamType::Char:
        case odbc::ParamType::VarChar:
            return bstrText(changed(value, VT_BSTR, name).bstrVal);
        case odbc::ParamType::Numeric:
            if (value.vt == VT_DECIMAL) {
                BSTR text = nullptr;
                if (FAILED(VarBstrFromDec(&value.decVal, kEnglishUs, 0, &text))) {
                    conversionFailed(name, L"ADODB.Parameter", __uuidof(_Parameter),
                                     L"the decimal value cannot be written.");
                }
                std::wstring wide = bstrText(text);
                SysFreeString(text);
                return odbc::Decimal{std::string(wide.begin(), wide.end())};
            }
            return changed(value, VT_R8, name).dblVal;
        case odbc::ParamType::Double:
            return changed(value, VT_R8, name).dblVal;
        case odbc::ParamType::Timestamp: {
            odbc::Timestamp ts;
            if (!timestampOf(changed(value, VT_DATE, name).date, ts)) {
                conversionFailed(name, L"ADODB.Parameter", __uuidof(_Parameter),
                                 L"the date is out of range.");
            }
            return ts;
        }
    }
    return std::monostate{};
}

_variant_t outputVariant(const odbc::Value& value, DataTypeEnum type) {
    if (odbc::isNull(value)) {
        return nullVariant();
    }
    _variant_t v;
    switch (type) {
        case adSmallInt:
            v.vt = VT_I2;
            v.iVal = static_cast<SHORT>(integerOf(value));
            return v;
        case adTinyInt:
        case adUnsignedTinyInt:
            v.vt = VT_UI1;
            v.bVal = static_cast<BYTE>(integerOf(value));
            return v;
        case adBoolean:
            v.vt = VT_BOOL;
            v.boolVal = integerOf(value) != 0 ? VARIANT_TRUE : VARIANT_FALSE;
            return v;
        case adChar:
        case adWChar:
        case adVarChar:
        case adVarWChar:
        case adBSTR:
            if (const auto* text = std::get_if<std::wstring>(&value)) {
                return textVariant(*text);
            }
            break;
        case adNumeric:
        case adDecimal: {
            DECIMAL dec;
            if (decimalOf(value, dec)) {
                return decimalVariant(dec);
            }
            break;
        }
        case adDouble:
            v.vt = VT_R8;
            v.dblVal = doubleOf(value);
            return v;
        case adSingle:
            v.vt = VT_R4;
            v.fltVal = static_cast<FLOAT>(doubleOf(value));
            return v;
        case adDBTimeStamp:
        case adDate:
            if (const auto* ts = std::get_if<odbc::Timestamp>(&value)) {
                DATE date = 0;
                if (dateOf(*ts, date)) {
                    v.vt = VT_DATE;
                    v.date = date;
                    return v;
                }
            }
            break;
        case adInteger:
        case adEmpty:
        case adBigInt:
            v.vt = VT_I4;
            v.lVal = static_cast<LONG>(integerOf(value));
            return v;
    }
    conversionFailed(
        L"", L"ADODB.Parameter", __uuidof(_Parameter),
        L"a value returned by the procedure does not convert to its parameter's type.");
}

DataTypeEnum fieldType(odbc::ColumnType type) {
    switch (type) {
        case odbc::ColumnType::Boolean:
            return adBoolean;
        case odbc::ColumnType::TinyInt:
            return adUnsignedTinyInt;
        case odbc::ColumnType::SmallInt:
            return adSmallInt;
        case odbc::ColumnType::Integer:
            return adInteger;
        case odbc::ColumnType::BigInt:
            return adBigInt;
        case odbc::ColumnType::Real:
            return adSingle;
        case odbc::ColumnType::Double:
            return adDouble;
        case odbc::ColumnType::Decimal:
            return adNumeric;
        case odbc::ColumnType::Text:
            return adVarWChar;
        case odbc::ColumnType::Timestamp:
            return adDBTimeStamp;
    }
    return adVarWChar;
}

_variant_t fieldVariant(const odbc::Value& value, odbc::ColumnType type, const wchar_t* source) {
    if (odbc::isNull(value)) {
        return nullVariant();
    }
    _variant_t v;
    switch (type) {
        case odbc::ColumnType::BigInt:
            v.vt = VT_I8;
            v.llVal = integerOf(value);
            return v;
        case odbc::ColumnType::Integer:
            v.vt = VT_I4;
            v.lVal = static_cast<LONG>(integerOf(value));
            return v;
        case odbc::ColumnType::Decimal: {
            DECIMAL dec;
            if (!decimalOf(value, dec)) {
                conversionFailed(L"", source, __uuidof(_Recordset),
                                 L"A numeric value of the record set has no decimal form.");
            }
            return decimalVariant(dec);
        }
        case odbc::ColumnType::Timestamp:
            if (const auto* ts = std::get_if<odbc::Timestamp>(&value); ts && dateOf(*ts, v.date)) {
                v.vt = VT_DATE;
                return v;
            }
            conversionFailed(L"", source, __uuidof(_Recordset),
                             L"A date of the record set is outside the years 100 to 9999.");
        case odbc::ColumnType::Text:
            if (const auto* text = std::get_if<std::wstring>(&value)) {
                return textVariant(*text);
            }
            return nullVariant();
        case odbc::ColumnType::Boolean:
        case odbc::ColumnType::TinyInt:
        case odbc::ColumnType::SmallInt:
        case odbc::ColumnType::Real:
        case odbc::ColumnType::Double:
            return outputVariant(value, fieldType(type));
    }
    return nullVariant();
}

}  // namespace qv::ado
