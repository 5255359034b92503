#include "mfc/dialogs/Controls.h"

#include <algorithm>
#include <cwchar>

namespace qv::win {
namespace {

Window* listWindow(HWND h) {
    Window* w = find(h);
    return w && (w->cls == WindowClass::ComboBox || w->cls == WindowClass::ListBox) ? w : nullptr;
}

bool sorted(const Window& w) {
    return (w.cls == WindowClass::ComboBox && (w.style & CBS_SORT)) ||
           (w.cls == WindowClass::ListBox && (w.style & LBS_SORT));
}

bool validIndex(const Window& w, int i) {
    return i >= 0 && i < static_cast<int>(w.items.size());
}

// The edit part of a combo box shows the selected item.
void showSelection(Window& w) {
    if (w.cls == WindowClass::ComboBox && w.comboType() != CBS_DROPDOWNLIST) {
        w.text =
            validIndex(w, w.curSel) ? w.items[static_cast<std::size_t>(w.curSel)].text : CString();
    }
}

const ListItem* item(HWND h, int i) {
    const Window* w = listWindow(h);
    return w && validIndex(*w, i) ? &w->items[static_cast<std::size_t>(i)] : nullptr;
}

int copyText(const ListItem* it, LPTSTR buffer) {
    if (!it) {
        return CB_ERR;
    }
    if (buffer) {
        std::wmemcpy(buffer, it->text.GetString(),
                     static_cast<std::size_t>(it->text.GetLength()) + 1);
    }
    return it->text.GetLength();
}

int deleteAt(HWND h, UINT index) {
    Window* w = listWindow(h);
    if (!w || !validIndex(*w, static_cast<int>(index))) {
        return CB_ERR;
    }
    w->items.erase(w->items.begin() + index);
    const int i = static_cast<int>(index);
    if (w->curSel == i) {
        w->curSel = -1;
    } else if (w->curSel > i) {
        --w->curSel;
    }
    return static_cast<int>(w->items.size());
}

void reset(HWND h) {
    if (Window* w = listWindow(h)) {
        w->items.clear();
        w->curSel = -1;
        if (w->cls == WindowClass::ComboBox) {
            w->text.Empty();
        }
    }
}

DWORD_PTR dataAt(HWND h, int i) {
    const ListItem* it = item(h, i);
    return it ? it->data : static_cast<DWORD_PTR>(static_cast<LONG_PTR>(CB_ERR));
}

int setDataAt(HWND h, int i, DWORD_PTR data) {
    Window* w = listWindow(h);
    if (!w || !validIndex(*w, i)) {
        return CB_ERR;
    }
    w->items[static_cast<std::size_t>(i)].data = data;
    return CB_OKAY;
}

int count(HWND h) {
    const Window* w = listWindow(h);
    return w ? static_cast<int>(w->items.size()) : CB_ERR;
}

int current(HWND h) {
    const Window* w = listWindow(h);
    return w ? w->curSel : CB_ERR;
}

int selectString(HWND h, int startAfter, LPCTSTR text) {
    const int i = listFind(h, startAfter, CString(text), false);
    return i == CB_ERR ? CB_ERR : listSelect(h, i);
}

}  // namespace

int listAdd(HWND h, const CString& text) {
    Window* w = listWindow(h);
    if (!w) {
        return CB_ERR;
    }
    auto pos = w->items.end();
    if (sorted(*w)) {
        pos = std::find_if(w->items.begin(), w->items.end(),
                           [&](const ListItem& it) { return it.text.CompareNoCase(text) > 0; });
    }
    const int index = static_cast<int>(pos - w->items.begin());
    return listInsert(h, index, text);
}

int listInsert(HWND h, int index, const CString& text) {
    Window* w = listWindow(h);
    if (!w) {
        return CB_ERR;
    }
    const int n = static_cast<int>(w->items.size());
    if (index == -1) {
        index = n;
    }
    if (index < 0 || index > n) {
        return CB_ERR;
    }
    w->items.insert(w->items.begin() + index, ListItem{text, 0});
    if (w->curSel >= index) {
        ++w->curSel;
    }
    return index;
}

int listFind(HWND h, int startAfter, const CString& text, bool exact) {
    const Window* w = listWindow(h);
    if (!w || w->items.empty()) {
        return CB_ERR;
    }
    const int n = static_cast<int>(w->items.size());
    const int first = startAfter < 0 || startAfter >= n ? 0 : startAfter + 1;
    for (int k = 0; k < n; ++k) {
        const int i = (first + k) % n;
        const CString& t = w->items[static_cast<std::size_t>(i)].text;
        const bool hit =
            exact ? t.CompareNoCase(text) == 0 : t.Left(text.GetLength()).CompareNoCase(text) == 0;
        if (hit) {
            return i;
        }
    }
    return CB_ERR;
}

int listSelect(HWND h, int index) {
    Window* w = listWindow(h);
    if (!w) {
        return CB_ERR;
    }
    w->curSel = validIndex(*w, index) ? index : -1;
    showSelection(*w);
    return w->curSel >= 0 ? w->curSel : CB_ERR;
}

}  // namespace qv::win

using qv::win::find;

int CButton::GetCheck() const {
    const auto* w = find(m_hWnd);
    return w && !w->isPushButton() ? w->check : BST_UNCHECKED;
}

void CButton::SetCheck(int nCheck) {
    auto* w = find(m_hWnd);
    if (w && !w->isPushButton() && nCheck >= BST_UNCHECKED && nCheck <= BST_INDETERMINATE) {
        w->check = nCheck;
    }
}

UINT CButton::GetButtonStyle() const {
    const auto* w = find(m_hWnd);
    return w ? (w->style & 0xFFFFu) : 0;
}

void CButton::SetButtonStyle(UINT nStyle, BOOL) {
    if (auto* w = find(m_hWnd)) {
        w->style = (w->style & ~0xFFFFu) | (nStyle & 0xFFFFu);
    }
}

void CEdit::SetLimitText(UINT nMax) {
    if (auto* w = find(m_hWnd)) {
        w->limit = nMax == 0 ? 0x7FFFFFFE : static_cast<int>(nMax);
    }
}

UINT CEdit::GetLimitText() const {
    const auto* w = find(m_hWnd);
    if (!w) {
        return 0;
    }
    return w->limit == 0 ? 32767u : static_cast<UINT>(w->limit);
}

BOOL CEdit::SetReadOnly(BOOL bReadOnly) {
    auto* w = find(m_hWnd);
    if (!w) {
        return FALSE;
    }
    if (bReadOnly) {
        w->style |= ES_READONLY;
    } else {
        w->style &= ~ES_READONLY;
    }
    return TRUE;
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL) {
    auto* w = find(m_hWnd);
    if (!w) {
        return;
    }
    const int n = w->text.GetLength();
    if (nStartChar == -1) {  // -1 as the start removes the selection
        w->selStart = w->selEnd;
        return;
    }
    auto clamp = [n](int v) { return v < 0 || v > n ? n : v; };
    w->selStart = std::min(clamp(nStartChar), clamp(nEndChar));
    w->selEnd = std::max(clamp(nStartChar), clamp(nEndChar));
}

void CEdit::GetSel(int& nStartChar, int& nEndChar) const {
    const auto* w = find(m_hWnd);
    nStartChar = w ? w->selStart : 0;
    nEndChar = w ? w->selEnd : 0;
}

void CEdit::ReplaceSel(LPCTSTR lpszNewText, BOOL) {
    auto* w = find(m_hWnd);
    if (!w) {
        return;
    }
    const CString insert(lpszNewText);
    CString t = w->text;
    t.Delete(w->selStart, w->selEnd - w->selStart);
    t.Insert(w->selStart, insert);
    w->text = t;
    w->selStart = w->selEnd = w->selStart + insert.GetLength();
    w->modified = true;
    qv::win::notifyParent(m_hWnd, EN_CHANGE);
}

BOOL CEdit::GetModify() const {
    const auto* w = find(m_hWnd);
    return w && w->modified ? TRUE : FALSE;
}

void CEdit::SetModify(BOOL bModified) {
    if (auto* w = find(m_hWnd)) {
        w->modified = bModified != FALSE;
    }
}

// Combo and list boxes share their list; the member functions differ only in names.
#define QV_LIST_MEMBERS(Class)                                                     \
    int Class::GetCount() const {                                                  \
        return qv::win::count(m_hWnd);                                             \
    }                                                                              \
    int Class::GetCurSel() const {                                                 \
        return qv::win::current(m_hWnd);                                           \
    }                                                                              \
    int Class::SetCurSel(int nSelect) {                                            \
        return qv::win::listSelect(m_hWnd, nSelect);                               \
    }                                                                              \
    int Class::AddString(LPCTSTR s) {                                              \
        return qv::win::listAdd(m_hWnd, CString(s));                               \
    }                                                                              \
    int Class::InsertString(int nIndex, LPCTSTR s) {                               \
        return qv::win::listInsert(m_hWnd, nIndex, CString(s));                    \
    }                                                                              \
    int Class::DeleteString(UINT nIndex) {                                         \
        return qv::win::deleteAt(m_hWnd, nIndex);                                  \
    }                                                                              \
    void Class::ResetContent() {                                                   \
        qv::win::reset(m_hWnd);                                                    \
    }                                                                              \
    int Class::FindString(int nStartAfter, LPCTSTR s) const {                      \
        return qv::win::listFind(m_hWnd, nStartAfter, CString(s), false);          \
    }                                                                              \
    int Class::FindStringExact(int nIndexStart, LPCTSTR s) const {                 \
        return qv::win::listFind(m_hWnd, nIndexStart, CString(s), true);           \
    }                                                                              \
    int Class::SelectString(int nStartAfter, LPCTSTR s) {                          \
        return qv::win::selectString(m_hWnd, nStartAfter, s);                      \
    }                                                                              \
    DWORD_PTR Class::GetItemData(int nIndex) const {                               \
        return qv::win::dataAt(m_hWnd, nIndex);                                    \
    }                                                                              \
    int Class::SetItemData(int nIndex, DWORD_PTR d) {                              \
        return qv::win::setDataAt(m_hWnd, nIndex, d);                              \
    }                                                                              \
    void* Class::GetItemDataPtr(int nIndex) const {                                \
        return reinterpret_cast<void*>(qv::win::dataAt(m_hWnd, nIndex));           \
    }                                                                              \
    int Class::SetItemDataPtr(int nIndex, void* p) {                               \
        return qv::win::setDataAt(m_hWnd, nIndex, reinterpret_cast<DWORD_PTR>(p)); \
    }

QV_LIST_MEMBERS(CComboBox)
QV_LIST_MEMBERS(CListBox)
#undef QV_LIST_MEMBERS

int CComboBox::GetLBText(int nIndex, LPTSTR lpszText) const {
    return qv::win::copyText(qv::win::item(m_hWnd, nIndex), lpszText);
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
    const qv::win::ListItem* it = qv::win::item(m_hWnd, nIndex);
    rString = it ? it->text : CString();
}

int CComboBox::GetLBTextLen(int nIndex) const {
    const qv::win::ListItem* it = qv::win::item(m_hWnd, nIndex);
    return it ? it->text.GetLength() : CB_ERR;
}

int CListBox::GetText(int nIndex, LPTSTR lpszBuffer) const {
    return qv::win::copyText(qv::win::item(m_hWnd, nIndex), lpszBuffer);
}

void CListBox::GetText(int nIndex, CString& rString) const {
    const qv::win::ListItem* it = qv::win::item(m_hWnd, nIndex);
    rString = it ? it->text : CString();
}

int CListBox::GetTextLen(int nIndex) const {
    const qv::win::ListItem* it = qv::win::item(m_hWnd, nIndex);
    return it ? it->text.GetLength() : LB_ERR;
}
