#include "database/ParameterDateTime.h"

void CParameterDateTime::setValue(COleDateTime value) {
    m_dateTime = value;
    setVariant(_variant_t(static_cast<DATE>(value), VT_DATE));
}

CString CParameterDateTime::getValueText() {
    return m_dateTime.Format(L"%Y%m%d%Hh%M%S_");
}

void CParameterDateTime::setValueFromVariant(const _variant_t& value) {
    _variant_t converted;
    converted.ChangeType(VT_DATE, &value);
    setValue(COleDateTime(converted.date));
}
