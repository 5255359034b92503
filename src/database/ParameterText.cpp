#include "database/ParameterText.h"

void CParameterText::setValue(_bstr_t value) {
    m_string = value;
    setVariant(_variant_t(value));
}

CString CParameterText::getValueText() {
    return static_cast<const wchar_t*>(m_string);
}

void CParameterText::setValueFromVariant(const _variant_t& value) {
    setValue(_bstr_t(value));
}
