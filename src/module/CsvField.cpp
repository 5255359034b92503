#include "module/CsvField.h"

namespace {

CString quoted(CString sText) {
    sText.Replace(L"\"", L"\"\"");
    return L"\"" + sText + L"\"";
}

}  // namespace

CString csvField(const CString& sText) {
    return sText.FindOneOf(L",\"\r\n") < 0 ? sText : quoted(sText);
}

CString spreadsheetField(const CString& sText) {
    const bool bFormula = !sText.IsEmpty() && wcschr(L"=+-@\t\r", sText[0]) != nullptr;
    return bFormula ? quoted(L"'" + sText) : csvField(sText);
}
