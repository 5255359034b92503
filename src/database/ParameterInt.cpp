#include "database/ParameterInt.h"

#include "core/Utilities.h"

void CParameterInt::setValue(int value) {
    m_int = value;
    setVariant(_variant_t(static_cast<long>(value)));
}

CString CParameterInt::getValueText() {
    return CUtilities::LongToCString(m_int);
}

void CParameterInt::setValueFromVariant(const _variant_t& value) {
    _variant_t converted;
    converted.ChangeType(VT_I4, &value);
    setValue(converted.lVal);
}
