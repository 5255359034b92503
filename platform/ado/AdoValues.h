// Values between ADO's variants and the ODBC layer, by ADO data type (see "Values" in
// ado/Ado.h).
#pragma once

#include <string>

#include "Ado.h"
#include "odbc/Connection.h"

namespace qv::ado {

// The ODBC type a parameter of `type` is bound in; false for a type the stand-in cannot bind.
bool parameterTypeOf(DataTypeEnum type, odbc::ParamType& out);

// `value` converted to what a parameter of `type` sends (VT_EMPTY, VT_NULL and a missing value
// send NULL). A value that does not convert raises adErrDataConversion naming `name`.
odbc::Value parameterValue(const _variant_t& value, DataTypeEnum type, const std::wstring& name);

// The variant of a value that came back in a parameter of `type`; VT_NULL for NULL.
_variant_t outputVariant(const odbc::Value& value, DataTypeEnum type);

// A result column's ADO type, and the variant of one of its values (VT_NULL for NULL). A value
// that has no variant (a date outside the years 100 to 9999, a numeric NaN) raises
// adErrDataConversion from `source`.
DataTypeEnum fieldType(odbc::ColumnType type);
_variant_t fieldVariant(const odbc::Value& value, odbc::ColumnType type, const wchar_t* source);

}  // namespace qv::ado
