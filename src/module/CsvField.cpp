#include "module/CsvField.h"

CString csvField(const CString& sText) {
    if (sText.FindOneOf(L",\"\r\n") < 0)
        return sText;
    CString sQuoted(sText);
    sQuoted.Replace(L"\"", L"\"\"");
    return L"\"" + sQuoted + L"\"";
}
