#include "mfc/dialogs/CMenu.h"

#include <algorithm>
#include <cwchar>
#include <map>

namespace qv::win {
namespace {

struct MenuStore {
    std::map<HMENU, std::unique_ptr<MenuRecord>> menus;
    std::uintptr_t next = 0x20000;
    ~MenuStore() {
        for (auto& [h, m] : menus) {
            if (m->permanent) {
                m->permanent->m_hMenu = nullptr;
            }
            if (m->temporary) {
                m->temporary->m_hMenu = nullptr;
            }
        }
    }
};

MenuStore& store() {
    static MenuStore s;
    return s;
}

HMENU newMenu() {
    MenuStore& s = store();
    const HMENU h = reinterpret_cast<HMENU>(s.next);
    s.next += 0x10;
    s.menus.emplace(h, std::make_unique<MenuRecord>());
    return h;
}

void addItems(HMENU h, const std::vector<qv::res::MenuItemTemplate>& items) {
    for (const auto& t : items) {
        MenuItem item{t.flags & ~MF_POPUP, t.id, t.text, nullptr};
        if (!t.popup.empty() || (t.flags & MF_POPUP)) {
            item.flags |= MF_POPUP;
            item.id = 0;
            item.popup = newMenu();
            addItems(item.popup, t.popup);
        }
        findMenu(h)->items.push_back(item);
    }
}

MenuItem* itemAt(HMENU h, UINT position, UINT flags) {
    MenuRecord* m = findMenu(h);
    if (!m) {
        return nullptr;
    }
    if (flags & MF_BYPOSITION) {
        return position < m->items.size() ? &m->items[position] : nullptr;
    }
    return findMenuCommand(h, position);
}

UINT stateOf(const MenuItem* item, UINT mask) {
    return item ? (item->flags & mask) : static_cast<UINT>(-1);
}

}  // namespace

MenuRecord* findMenu(HMENU h) {
    if (!h) {
        return nullptr;
    }
    auto& menus = store().menus;
    const auto it = menus.find(h);
    return it == menus.end() ? nullptr : it->second.get();
}

HMENU buildMenu(const qv::res::MenuTemplate& menu) {
    const HMENU h = newMenu();
    addItems(h, menu.items);
    return h;
}

MenuItem* findMenuCommand(HMENU h, UINT id) {
    MenuRecord* m = findMenu(h);
    if (!m) {
        return nullptr;
    }
    for (MenuItem& item : m->items) {
        if (item.popup) {
            if (MenuItem* inner = findMenuCommand(item.popup, id)) {
                return inner;
            }
        } else if (!(item.flags & MF_SEPARATOR) && item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

std::size_t menuCount() {
    return store().menus.size();
}

}  // namespace qv::win

using qv::win::findMenu;

HMENU CreateMenu() {
    return qv::win::newMenu();
}

HMENU CreatePopupMenu() {
    return qv::win::newMenu();
}

BOOL DestroyMenu(HMENU hMenu) {
    auto& menus = qv::win::store().menus;
    const auto it = menus.find(hMenu);
    if (it == menus.end()) {
        return FALSE;
    }
    std::unique_ptr<qv::win::MenuRecord> record = std::move(it->second);
    menus.erase(it);
    if (record->permanent) {
        record->permanent->m_hMenu = nullptr;
    }
    if (record->temporary) {
        record->temporary->m_hMenu = nullptr;
    }
    for (const auto& item : record->items) {
        if (item.popup) {
            DestroyMenu(item.popup);
        }
    }
    return TRUE;
}

BOOL IsMenu(HMENU hMenu) {
    return findMenu(hMenu) ? TRUE : FALSE;
}

CMenu::~CMenu() {
    DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
    qv::win::MenuRecord* m = findMenu(hMenu);
    if (!m) {
        return nullptr;
    }
    if (m->permanent) {
        return m->permanent;
    }
    if (!m->temporary) {
        m->temporary = std::make_unique<CMenu>();
        m->temporary->m_hMenu = hMenu;
    }
    return m->temporary.get();
}

BOOL CMenu::Attach(HMENU hMenu) {
    qv::win::MenuRecord* m = findMenu(hMenu);
    if (m_hMenu || !m || m->permanent) {
        return FALSE;
    }
    m->permanent = this;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach() {
    const HMENU h = m_hMenu;
    if (qv::win::MenuRecord* m = findMenu(h); m && m->permanent == this) {
        m->permanent = nullptr;
    }
    m_hMenu = nullptr;
    return h;
}

BOOL CMenu::CreateMenu() {
    return Attach(::CreateMenu());
}

BOOL CMenu::CreatePopupMenu() {
    return Attach(::CreatePopupMenu());
}

BOOL CMenu::LoadMenu(UINT nIDResource) {
    const qv::res::MenuTemplate* t = qv::res::locateMenu(nIDResource);
    if (!t || m_hMenu) {
        return FALSE;
    }
    return Attach(qv::win::buildMenu(*t));
}

BOOL CMenu::DestroyMenu() {
    if (!m_hMenu) {
        return FALSE;
    }
    qv::win::MenuRecord* m = findMenu(m_hMenu);
    if (!m || m->permanent != this) {
        m_hMenu = nullptr;  // a borrowed handle is not ours to destroy
        return FALSE;
    }
    return ::DestroyMenu(Detach());
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
    qv::win::MenuRecord* m = findMenu(m_hMenu);
    if (!m) {
        return FALSE;
    }
    qv::win::MenuItem item{nFlags, static_cast<UINT>(nIDNewItem), CString(lpszNewItem), nullptr};
    if (nFlags & MF_POPUP) {
        item.popup = reinterpret_cast<HMENU>(nIDNewItem);
        item.id = 0;
        if (!findMenu(item.popup) || item.popup == m_hMenu) {
            return FALSE;
        }
    }
    m->items.push_back(item);
    return TRUE;
}

BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags) {
    qv::win::MenuRecord* m = findMenu(m_hMenu);
    qv::win::MenuItem* item = qv::win::itemAt(m_hMenu, nPosition, nFlags);
    if (!m || !item) {
        return FALSE;
    }
    // The item may sit in a popup: find the list that holds it.
    std::vector<qv::win::MenuItem>* owner = nullptr;
    std::vector<HMENU> todo{m_hMenu};
    while (!todo.empty() && !owner) {
        qv::win::MenuRecord* r = findMenu(todo.back());
        todo.pop_back();
        for (auto& i : r->items) {
            if (&i == item) {
                owner = &r->items;
            }
            if (i.popup) {
                todo.push_back(i.popup);
            }
        }
    }
    const HMENU popup = item->popup;
    owner->erase(owner->begin() + (item - owner->data()));
    if (popup) {
        ::DestroyMenu(popup);
    }
    return TRUE;
}

UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck) {
    qv::win::MenuItem* item = qv::win::itemAt(m_hMenu, nIDCheckItem, nCheck);
    const UINT previous = qv::win::stateOf(item, MF_CHECKED);
    if (item) {
        item->flags = (item->flags & ~MF_CHECKED) | (nCheck & MF_CHECKED);
    }
    return previous;
}

UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) {
    qv::win::MenuItem* item = qv::win::itemAt(m_hMenu, nIDEnableItem, nEnable);
    const UINT previous = qv::win::stateOf(item, MF_GRAYED | MF_DISABLED);
    if (item) {
        item->flags =
            (item->flags & ~(MF_GRAYED | MF_DISABLED)) | (nEnable & (MF_GRAYED | MF_DISABLED));
    }
    return previous;
}

UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const {
    return qv::win::stateOf(qv::win::itemAt(m_hMenu, nID, nFlags), ~0u);
}

int CMenu::GetMenuItemCount() const {
    const qv::win::MenuRecord* m = findMenu(m_hMenu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

UINT CMenu::GetMenuItemID(int nPos) const {
    const qv::win::MenuItem* item =
        nPos < 0 ? nullptr : qv::win::itemAt(m_hMenu, static_cast<UINT>(nPos), MF_BYPOSITION);
    if (!item || item->popup) {
        return static_cast<UINT>(-1);
    }
    return (item->flags & MF_SEPARATOR) ? 0 : item->id;
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
    const qv::win::MenuItem* item = qv::win::itemAt(m_hMenu, nIDItem, nFlags);
    rString = item ? item->text : CString();
    return rString.GetLength();
}

int CMenu::GetMenuString(UINT nIDItem, LPTSTR lpString, int nMaxCount, UINT nFlags) const {
    CString s;
    GetMenuString(nIDItem, s, nFlags);
    if (!lpString || nMaxCount <= 0) {
        return s.GetLength();
    }
    const int n = std::min(s.GetLength(), nMaxCount - 1);
    std::wmemcpy(lpString, s.GetString(), static_cast<std::size_t>(n));
    lpString[n] = 0;
    return n;
}

CMenu* CMenu::GetSubMenu(int nPos) const {
    const qv::win::MenuItem* item =
        nPos < 0 ? nullptr : qv::win::itemAt(m_hMenu, static_cast<UINT>(nPos), MF_BYPOSITION);
    return item && item->popup ? FromHandle(item->popup) : nullptr;
}
