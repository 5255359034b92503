#include "database/ParameterTinyInt.h"

#include "core/Utilities.h"

void CParameterTinyInt::setValue(BYTE value) {
    m_byte = value;
    setVariant(_variant_t(value));
}

CString CParameterTinyInt::getValueText() {
    return CUtilities::IntToCString(m_byte);
}

void CParameterTinyInt::setValueFromVariant(const _variant_t& value) {
    _variant_t converted;
    converted.ChangeType(VT_UI1, &value);
    setValue(converted.bVal);
}
