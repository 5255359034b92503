// The block creator's operations that no caller of the module uses: the name builder of prefix
// and zero-padded counter, the preference setters and the area-type test.
#include "module/PresBlockCreation.h"

void CPresBlockCreation::buildNextSpaceName() {
    CString sCounter;
    sCounter.Format(L"%d", m_counter);
    if (sCounter.GetLength() > m_counterWidth)
        m_counterWidth = sCounter.GetLength();
    while (sCounter.GetLength() < m_counterWidth)
        sCounter = L"0" + sCounter;
    m_nextSpaceName = m_namePrefix + sCounter;
}

void CPresBlockCreation::setNamePrefix(CString prefix) {
    if (!prefix.IsEmpty())
        m_namePrefix = prefix;
}

void CPresBlockCreation::setPreferences(const CPreferences& preferences) {
    setPreferences(preferences.getUnits(), preferences.getPrecision(), preferences.getTextSize(),
                   preferences.getTextScale(), preferences.getTextRotation());
}

void CPresBlockCreation::setPreferences(int units, int precision, double textSize, double textScale,
                                        double textRotation) {
    m_preferences.setUnits(units);
    m_preferences.setPrecision(precision);
    m_preferences.setTextSize(textSize);
    m_preferences.setTextScale(textScale);
    m_preferences.setTextRotation(textRotation);
}

BOOL CPresBlockCreation::isAreaType(CString text) {
    static const wchar_t* const AREA_TYPES[] = {
        L"GROSS AREA",    L"CORE AREA",      L"NET AREA",         L"USABLE AREA",
        L"BALANCE AREA",  L"LETTABLE AREA",  L"COMMON AREA",      L"CELULAR AREA",
        L"CELLULAR AREA", L"OPEN PLAN AREA", L"CIRCULATION AREA",
    };
    if (text.Find(L"AREA") < 0)
        return FALSE;
    for (const wchar_t* type : AREA_TYPES) {
        if (text.Find(type) >= 0)
            return TRUE;
    }
    return FALSE;
}
