#include "database/ParameterDecimal.h"

#include "core/Utilities.h"

void CParameterDecimal::setValue(double value) {
    m_double = value;
    setVariant(_variant_t(value));
}

CString CParameterDecimal::getValueText() {
    return CUtilities::DoubleToCString(m_double, 5);
}

void CParameterDecimal::setValueFromVariant(const _variant_t& value) {
    _variant_t converted;
    converted.ChangeType(VT_R8, &value);
    setValue(converted.dblVal);
}

void CParameterDecimal::describeToCommand(_ParameterPtr parameter) {
    parameter->PutPrecision(static_cast<unsigned char>(m_precision));
    parameter->PutNumericScale(static_cast<unsigned char>(m_numericScale));
}
