#include "mfc/dialogs/DataExchange.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "mfc/Exceptions.h"

namespace qv::ddx {
namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

// The text between leading and trailing blanks, as ASCII; false when anything else than ASCII
// is in it (no number contains other characters).
bool trimmedAscii(const CString& text, std::string& out) {
    const std::wstring& s = text.str();
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b])) {
        ++b;
    }
    while (e > b && isBlank(s[e - 1])) {
        --e;
    }
    out.clear();
    for (std::size_t i = b; i < e; ++i) {
        if (s[i] > 0x7F) {
            return false;
        }
        out += static_cast<char>(s[i]);
    }
    return !out.empty();
}

bool allDigits(const std::string& s, std::size_t from, std::size_t to) {
    if (from >= to) {
        return false;
    }
    for (std::size_t i = from; i < to; ++i) {
        if (s[i] < '0' || s[i] > '9') {
            return false;
        }
    }
    return true;
}

}  // namespace

CString formatDouble(double value, int digits) {
    CString s;
    s.Format(L"%.*g", digits, value);
    return s;
}

bool parseInteger(const CString& text, long long& value) {
    std::string s;
    if (!trimmedAscii(text, s)) {
        return false;
    }
    std::size_t start = (s[0] == '+' || s[0] == '-') ? 1 : 0;
    if (!allDigits(s, start, s.size())) {
        return false;
    }
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    const auto r = std::from_chars(first, s.data() + s.size(), value);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool parseDouble(const CString& text, double& value) {
    std::string s;
    if (!trimmedAscii(text, s)) {
        return false;
    }
    // [sign] digits [. digits] [e [sign] digits], with a digit before or after the point.
    std::size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
    const std::size_t mantissa = i;
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        ++i, ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            ++i, ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            ++j;
        }
        if (!allDigits(s, j, s.size())) {
            return false;
        }
        i = s.size();
    }
    if (i != s.size()) {
        return false;
    }
    double v = 0.0;
    const auto r = std::from_chars(s.data() + mantissa, s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) {
        return false;
    }
    value = s[0] == '-' ? -v : v;
    return true;
}

}  // namespace qv::ddx

namespace {

[[noreturn]] void failWith(CDataExchange* pDX, const CString& prompt) {
    AfxMessageBox(prompt, MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
}

template <class T>
CString rangePrompt(const wchar_t* kind, T minVal, T maxVal) {
    CString s;
    if constexpr (std::is_floating_point_v<T>) {
        const int digits = std::is_same_v<T, float> ? FLT_DIG : DBL_DIG;
        s.Format(L"Please enter %s between %s and %s.", kind, qv::ddx::formatDouble(minVal, digits),
                 qv::ddx::formatDouble(maxVal, digits));
    } else {
        s.Format(L"Please enter %s between %s and %s.", kind, CString(std::to_wstring(minVal)),
                 CString(std::to_wstring(maxVal)));
    }
    return s;
}

template <class T>
void exchangeInteger(CDataExchange* pDX, int nIDC, T& value, const wchar_t* prompt) {
    const HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v = 0;
        if (!qv::ddx::parseInteger(qv::win::windowText(h), v) ||
            v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) {
            failWith(pDX, prompt);
        }
        value = static_cast<T>(v);
    } else {
        AfxSetWindowText(h, CString(std::to_wstring(value)));
    }
}

template <class T>
void exchangeFloating(CDataExchange* pDX, int nIDC, T& value, int digits) {
    const HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        double v = 0.0;
        if (!qv::ddx::parseDouble(qv::win::windowText(h), v) ||
            std::fabs(v) > static_cast<double>(std::numeric_limits<T>::max())) {
            failWith(pDX, L"Please enter a number.");
        }
        value = static_cast<T>(v);
    } else {
        AfxSetWindowText(h, qv::ddx::formatDouble(value, digits));
    }
}

template <class T>
void checkRange(CDataExchange* pDX, T value, T minVal, T maxVal, const wchar_t* kind) {
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal)) {
        failWith(pDX, rangePrompt(kind, minVal, maxVal));
    }
}

void exchangeIndex(CDataExchange* pDX, int nIDC, int& index) {
    const HWND h = pDX->PrepareCtrl(nIDC);
    qv::win::Window* w = qv::win::find(h);
    if (pDX->m_bSaveAndValidate) {
        index = w->curSel;
    } else {
        w->curSel = index >= 0 && index < static_cast<int>(w->items.size()) ? index : -1;
        if (w->cls == qv::win::WindowClass::ComboBox && w->comboType() != CBS_DROPDOWNLIST) {
            w->text =
                w->curSel >= 0 ? w->items[static_cast<std::size_t>(w->curSel)].text : CString();
        }
    }
}

}  // namespace

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
    HWND h = nullptr;
    m_pDlgWnd->GetDlgItem(nIDC, &h);
    if (!h) {
        AfxThrowNotSupportedException();
    }
    m_idLastControl = static_cast<UINT>(nIDC);
    m_bEditLastControl = FALSE;
    return h;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    const HWND h = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return h;
}

void CDataExchange::Fail() {
    HWND h = nullptr;
    m_pDlgWnd->GetDlgItem(static_cast<int>(m_idLastControl), &h);
    if (h) {
        qv::win::setFocus(h);
        if (m_bEditLastControl) {
            if (qv::win::Window* w = qv::win::find(h)) {
                w->selStart = 0;
                w->selEnd = w->text.GetLength();
            }
        }
    }
    AfxThrowUserException();
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    const HWND h = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = qv::win::windowText(h);
    } else {
        AfxSetWindowText(h, value);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    exchangeInteger(pDX, nIDC, value, L"Please enter an integer.");
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
    exchangeInteger(pDX, nIDC, value, L"Please enter a positive integer.");
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
    exchangeFloating(pDX, nIDC, value, DBL_DIG);
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value) {
    exchangeFloating(pDX, nIDC, value, FLT_DIG);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    const HWND h = pDX->PrepareCtrl(nIDC);
    qv::win::Window* w = qv::win::find(h);
    if (pDX->m_bSaveAndValidate) {
        value = w->check;
    } else {
        w->check = value >= 0 && value <= 2 ? value : BST_UNCHECKED;
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    const HWND h = pDX->PrepareCtrl(nIDC);
    const std::vector<HWND> group = qv::win::radioGroup(h);
    if (pDX->m_bSaveAndValidate) {
        value = -1;
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        qv::win::Window* w = qv::win::find(group[i]);
        if (pDX->m_bSaveAndValidate) {
            if (w->check == BST_CHECKED) {
                value = static_cast<int>(i);
            }
        } else {
            w->check = static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED;
        }
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd) {
        return;
    }
    const HWND h = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(h)) {
        AfxThrowNotSupportedException();
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    exchangeIndex(pDX, nIDC, index);
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
    exchangeIndex(pDX, nIDC, index);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    checkRange(pDX, value, minVal, maxVal, L"an integer");
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) {
    checkRange(pDX, value, minVal, maxVal, L"a positive integer");
}

void DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal) {
    checkRange(pDX, value, minVal, maxVal, L"a number");
}

void DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal) {
    checkRange(pDX, value, minVal, maxVal, L"a number");
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
    if (pDX->m_bSaveAndValidate) {
        if (value.GetLength() > nChars) {
            CString prompt;
            prompt.Format(L"Please enter no more than %d characters.", nChars);
            failWith(pDX, prompt);
        }
    } else if (pDX->m_bEditLastControl) {
        HWND h = nullptr;
        pDX->m_pDlgWnd->GetDlgItem(static_cast<int>(pDX->m_idLastControl), &h);
        if (qv::win::Window* w = qv::win::find(h)) {
            w->limit = nChars;
        }
    }
}
