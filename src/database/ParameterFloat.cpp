#include "database/ParameterFloat.h"

#include "core/Utilities.h"

void CParameterFloat::setValue(double value) {
    m_double = value;
    setVariant(_variant_t(value));
}

CString CParameterFloat::getValueText() {
    return CUtilities::DoubleToCString(m_double, 5);
}

void CParameterFloat::setValueFromVariant(const _variant_t& value) {
    _variant_t converted;
    converted.ChangeType(VT_R8, &value);
    setValue(converted.dblVal);
}
