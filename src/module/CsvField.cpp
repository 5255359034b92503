#include "module/CsvField.h"

CString csvField(const CString& sText) {
    const bool bFormula = !sText.IsEmpty() && wcschr(L"=+-@\t\r", sText[0]) != nullptr;
    if (!bFormula && sText.FindOneOf(L",\"\r\n") < 0)
        return sText;
    CString sQuoted(sText);
    sQuoted.Replace(L"\"", L"\"\"");
    return bFormula ? L"\"'" + sQuoted + L"\"" : L"\"" + sQuoted + L"\"";
}
