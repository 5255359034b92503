#include "mfc/dialogs/CDialog.h"

#include "mfc/dialogs/CMenu.h"
#include "mfc/dialogs/Controls.h"
#include "mfc/dialogs/DialogDriving.h"
#include "mfc/dialogs/Resources.h"

using qv::res::ControlKind;
using qv::win::find;
using qv::win::Window;
using qv::win::WindowClass;

namespace {

struct ControlClass {
    WindowClass cls;
    DWORD style;
};

ControlClass classOf(const qv::res::ControlTemplate& c) {
    switch (c.kind) {
        case ControlKind::Static:
            return {WindowClass::Static, 0};
        case ControlKind::GroupBox:
            return {WindowClass::Button, BS_GROUPBOX};
        case ControlKind::PushButton:
            return {WindowClass::Button, BS_PUSHBUTTON | WS_TABSTOP};
        case ControlKind::DefPushButton:
            return {WindowClass::Button, BS_DEFPUSHBUTTON | WS_TABSTOP};
        case ControlKind::CheckBox:
            return {WindowClass::Button, BS_CHECKBOX | WS_TABSTOP};
        case ControlKind::AutoCheckBox:
            return {WindowClass::Button, BS_AUTOCHECKBOX | WS_TABSTOP};
        case ControlKind::RadioButton:
            return {WindowClass::Button, BS_RADIOBUTTON};
        case ControlKind::AutoRadioButton:
            return {WindowClass::Button, BS_AUTORADIOBUTTON};
        case ControlKind::Edit:
            return {WindowClass::Edit, WS_BORDER | WS_TABSTOP};
        case ControlKind::ComboBox:
            return {WindowClass::ComboBox, WS_TABSTOP};
        case ControlKind::ListBox:
            return {WindowClass::ListBox, WS_BORDER | WS_TABSTOP};
        case ControlKind::TabControl:
            return {WindowClass::TabControl, WS_TABSTOP};
    }
    return {WindowClass::Static, 0};
}

DWORD controlStyle(const qv::res::ControlTemplate& c) {
    const ControlClass k = classOf(c);
    DWORD style = c.style | k.style | WS_CHILD | (c.hidden ? 0u : WS_VISIBLE);
    if (k.cls == WindowClass::Button) {
        style = (style & ~BS_TYPEMASK) | (k.style & BS_TYPEMASK);
    }
    if (k.cls == WindowClass::ComboBox && (style & 0x3u) == 0) {
        style |= CBS_SIMPLE;
    }
    return style;
}

// The first control that takes the focus: visible, enabled, with WS_TABSTOP.
HWND firstTabStop(HWND dialog) {
    const Window* d = find(dialog);
    if (!d) {
        return nullptr;
    }
    for (HWND c : d->children) {
        const Window* w = find(c);
        if (w && (w->style & WS_TABSTOP) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED)) {
            return c;
        }
    }
    return nullptr;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

BOOL CDialog::createFromTemplate(UINT nIDTemplate, CWnd* pParentWnd, bool modal) {
    const qv::res::DialogTemplate* t = qv::res::locateDialog(nIDTemplate);
    if (!t || m_hWnd) {
        return FALSE;
    }
    const qv::res::MenuTemplate* menu = t->menu ? qv::res::locateMenu(t->menu) : nullptr;
    if (t->menu && !menu) {
        return FALSE;  // a template whose menu is missing does not load
    }

    const HWND parent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    const bool child = (t->style & WS_CHILD) && parent;
    const HWND h = qv::win::create(WindowClass::Dialog, child ? parent : nullptr, 0,
                                   t->style & ~WS_VISIBLE, t->caption);
    Window* w = find(h);
    w->templateId = t->id;
    w->modal = modal;
    w->owner = child ? nullptr : (parent ? qv::win::topLevelOf(parent) : qv::win::mainWindow());
    if (menu) {
        w->menu = qv::win::buildMenu(*menu);
    }
    for (const auto& c : t->controls) {
        qv::win::create(classOf(c).cls, h, c.id, controlStyle(c), c.caption);
        if (!c.items.empty()) {
            find(h)->initItems.emplace_back(c.id, c.items);
        }
    }
    Attach(h);

    const BOOL setFocus = static_cast<BOOL>(
        qv::win::send(h, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop(h)), 0));
    if (!(w = find(h))) {
        return FALSE;
    }
    if (setFocus && !w->ended) {
        qv::win::setFocus(firstTabStop(h));
    }
    if (!modal && (t->style & WS_VISIBLE) && !w->ended) {
        qv::win::show(h, SW_SHOWNORMAL);
    }
    return find(h) ? TRUE : FALSE;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDHelp = nIDTemplate;
    if (pParentWnd) {
        m_pParentWnd = pParentWnd;
    }
    return createFromTemplate(nIDTemplate, pParentWnd, false);
}

INT_PTR CDialog::DoModal() {
    const HWND ownerHint = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    const HWND owner = ownerHint ? qv::win::topLevelOf(ownerHint) : qv::win::mainWindow();
    Window* o = find(owner);
    const bool ownerWasEnabled = o && !(o->style & WS_DISABLED);
    if (o) {
        o->style |= WS_DISABLED;
    }

    m_nModalResult = -1;
    INT_PTR result = -1;
    if (createFromTemplate(m_nIDHelp, m_pParentWnd, true)) {
        const HWND h = m_hWnd;
        if (Window* w = find(h); w && !w->ended) {
            qv::win::show(h, SW_SHOWNORMAL);
        }
        qv::win::runModalLoop(h);
        if (const Window* w = find(h)) {
            result = w->result;
        }
        qv::win::destroy(h);
        m_nModalResult = result;
    }
    if ((o = find(owner)) != nullptr) {
        if (ownerWasEnabled) {
            o->style &= ~WS_DISABLED;
        }
        qv::win::activate(owner);
    }
    return result;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    qv::win::endDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog() {
    if (Window* w = find(m_hWnd)) {
        const auto items = std::move(w->initItems);
        w->initItems.clear();
        for (const auto& [id, strings] : items) {
            HWND c = nullptr;
            GetDlgItem(id, &c);
            for (const CString& s : strings) {
                qv::win::listAdd(c, s);
            }
        }
    }
    UpdateData(FALSE);
    return TRUE;
}

DWORD CDialog::GetDefID() const {
    return static_cast<DWORD>(qv::win::defaultProc(m_hWnd, DM_GETDEFID, 0, 0));
}

void CDialog::SetDefID(UINT nID) {
    qv::win::defaultProc(m_hWnd, DM_SETDEFID, nID, 0);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
    if (pWndCtrl) {
        qv::win::setFocus(pWndCtrl->m_hWnd);
    }
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    return OnInitDialog();
}
