// Dialog data exchange and validation: the DDX_ functions copy between a dialog's members and its
// controls in the direction of CDataExchange::m_bSaveAndValidate, the DDV_ functions check the
// value just read. A value that cannot be read or is out of range is reported with the
// framework's message box ("Please enter an integer.", "Please enter a number between 0 and
// 10000.", ...) and ends the exchange through Fail: UpdateData then returns FALSE with the focus
// on the control that failed.
//
// Numbers are shown as the framework shows them: integers in decimal, doubles with "%.*g" and 15
// significant digits (floats with 6), so 250.0 shows as "250" and 0.1 as "0.1". They are read as
// the framework reads them: blanks around the number are allowed, anything else is refused, and
// so is an integer beyond the type's range or a double beyond the double range.
#pragma once

#include "../CString.h"
#include "CWnd.h"

class CDataExchange {
  public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;  // TRUE: controls to members
    CWnd* m_pDlgWnd;
    UINT m_idLastControl = 0;
    BOOL m_bEditLastControl = FALSE;

    // The control with this id, remembered as the one a following DDV_ function checks. A
    // dialog without the control raises CNotSupportedException: the exchange names a control
    // that its template lacks.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Gives the focus back to the last control (an edit gets its text selected) and raises
    // CUserException, which ends the exchange.
    [[noreturn]] void Fail();
};

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
// A check box's state: 0 unchecked, 1 checked, 2 indeterminate (other values write 0).
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The index of the checked radio button in the group that begins with nIDC (-1: none).
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// Attaches a control object to its control the first time (subclassing).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// The selected index of a combo or list box, and its selected text.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal);
// Reading: refuses a longer text. Writing: limits what the user can type into the edit.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);

namespace qv::ddx {

// The framework's number texts and readings (see above); the readings give false for a text
// that is not a number of the type.
CString formatDouble(double value, int digits);
bool parseInteger(const CString& text, long long& value);
bool parseDouble(const CString& text, double& value);

}  // namespace qv::ddx
