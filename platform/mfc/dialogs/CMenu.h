// Menus: menu bars and popups kept by the window manager behind HMENU, and CMenu, the framework's
// object for one. A dialog whose template names a menu gets that menu bar when it is created and
// loses it with its window; choosing an enabled item sends WM_COMMAND with the item's id to the
// dialog (see DialogDriving.h).
//
// Items are addressed by command id (MF_BYCOMMAND, searching popups too) or by position
// (MF_BYPOSITION). Lookups that find nothing answer (UINT)-1, as Windows does.
#pragma once

#include <memory>
#include <vector>

#include "../CObject.h"
#include "../CString.h"
#include "Resources.h"
#include "WindowDefs.h"

class CMenu : public CObject {
  public:
    CMenu() = default;
    // Destroys the menu this object holds (not one that it only borrowed through FromHandle).
    ~CMenu() override;

    HMENU m_hMenu = nullptr;

    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }

    // The object attached to a menu, or a temporary one owned by the menu; null for no menu.
    static CMenu* PASCAL FromHandle(HMENU hMenu);
    BOOL Attach(HMENU hMenu);
    HMENU Detach();

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    // Builds the menu of a template found as dialog templates are (see Resources.h).
    BOOL LoadMenu(UINT nIDResource);
    BOOL DestroyMenu();

    // MF_POPUP takes the popup's HMENU as nIDNewItem; the popup then belongs to this menu.
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
    BOOL DeleteMenu(UINT nPosition, UINT nFlags);
    // Both return the previous state (MF_CHECKED or MF_UNCHECKED; MF_ENABLED, MF_GRAYED or
    // MF_DISABLED), or (UINT)-1 when there is no such item.
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    int GetMenuItemCount() const;
    // The command id at a position: 0 for a separator, (UINT)-1 for a popup or no item.
    UINT GetMenuItemID(int nPos) const;
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, LPTSTR lpString, int nMaxCount, UINT nFlags) const;
    CMenu* GetSubMenu(int nPos) const;
};

HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU hMenu);
BOOL IsMenu(HMENU hMenu);

namespace qv::win {

struct MenuItem {
    UINT flags = MF_STRING;
    UINT id = 0;
    CString text;
    HMENU popup = nullptr;
};

struct MenuRecord {
    std::vector<MenuItem> items;
    CMenu* permanent = nullptr;
    std::unique_ptr<CMenu> temporary;
};

MenuRecord* findMenu(HMENU h);
// Builds a menu bar from a template; null when the template holds nothing usable.
HMENU buildMenu(const qv::res::MenuTemplate& menu);
// The item with a command id, searching popups depth first, or null.
MenuItem* findMenuCommand(HMENU h, UINT id);
// The number of live menus (for tests).
std::size_t menuCount();

}  // namespace qv::win
