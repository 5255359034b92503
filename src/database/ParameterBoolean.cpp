#include "database/ParameterBoolean.h"

void CParameterBoolean::setValue(int flag) {
    m_flag = flag != 0;
    setVariant(_variant_t(m_flag));
}

CString CParameterBoolean::getValueText() {
    return m_flag ? L"true" : L"false";
}

void CParameterBoolean::setValueFromVariant(const _variant_t& value) {
    _variant_t converted;
    converted.ChangeType(VT_BOOL, &value);
    setValue(converted.boolVal != VARIANT_FALSE);
}
