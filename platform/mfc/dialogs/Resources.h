// Resources: dialog and menu templates described in code, registered per module, and the
// framework's resource handle that decides where a template is looked for.
//
// A module (the program or a shared library) describes its templates the way a resource script
// would, without geometry, and registers them under its instance handle, usually with one static
// ResourceScript object, so that they exist from the moment the library is loaded:
//
//     using namespace qv::res;
//     static const ResourceScript kResources(
//         {DialogTemplate(221, L"About", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
//                         {Text(L"Version"), EditText(326, ES_READONLY),
//                          DefPushButton(L"OK", IDOK)})
//              .withFont(L"Arial", 8)
//              .withMenu(215)},
//         {MenuTemplate(215, {Popup(L"&File", {MenuItem(L"E&xit", 32768)})})});
//
#pragma once

#include <vector>

#include "../CObject.h"
#include "../CString.h"
#include "WindowDefs.h"

namespace qv::res {

// The kinds of control a template can hold; the kind decides the window class and, for buttons,
// the button type.
enum class ControlKind {
    Static,    // text; SS_ styles
    GroupBox,  // a frame with a caption
    PushButton,
    DefPushButton,    // the default push button
    CheckBox,         // the owner changes the check
    AutoCheckBox,     // a click toggles the check
    RadioButton,      // the owner changes the check
    AutoRadioButton,  // a click checks it and clears the others of its group
    Edit,             // ES_ styles
    ComboBox,         // CBS_SIMPLE unless the style names CBS_DROPDOWN or CBS_DROPDOWNLIST
    ListBox,          // LBS_ styles
    TabControl,
};

struct ControlTemplate {
    ControlKind kind = ControlKind::Static;
    int id = IDC_STATIC;
    CString caption;
    // Styles beyond those of the kind (ES_NUMBER, WS_GROUP, CBS_DROPDOWN, LBS_SORT,
    // WS_DISABLED...). WS_CHILD and WS_VISIBLE are added, and WS_TABSTOP for the controls a user
    // operates.
    DWORD style = 0;
    bool hidden = false;         // created without WS_VISIBLE
    std::vector<CString> items;  // initial strings of a combo or list box, added when it opens

    // The same control, created without WS_VISIBLE.
    ControlTemplate asHidden() const;
};

// The controls, named after the statements of a resource script.
ControlTemplate Text(const CString& caption, int id = IDC_STATIC, DWORD style = 0);
ControlTemplate GroupBox(const CString& caption, int id = IDC_STATIC, DWORD style = 0);
ControlTemplate PushButton(const CString& caption, int id, DWORD style = 0);
ControlTemplate DefPushButton(const CString& caption, int id, DWORD style = 0);
ControlTemplate CheckBox(const CString& caption, int id, DWORD style = 0);
ControlTemplate AutoCheckBox(const CString& caption, int id, DWORD style = 0);
ControlTemplate RadioButton(const CString& caption, int id, DWORD style = 0);
ControlTemplate AutoRadioButton(const CString& caption, int id, DWORD style = 0);
ControlTemplate EditText(int id, DWORD style = 0);
ControlTemplate ComboBox(int id, DWORD style = 0, std::vector<CString> items = {});
ControlTemplate ListBox(int id, DWORD style = 0, std::vector<CString> items = {});
ControlTemplate TabControl(const CString& caption, int id, DWORD style = 0);

struct DialogTemplate {
    DialogTemplate(UINT id, const CString& caption, DWORD style,
                   std::vector<ControlTemplate> controls);

    UINT id = 0;
    CString caption;
    // WS_VISIBLE shows a modeless dialog when it is created; WS_SYSMENU gives it a close box;
    // WS_CHILD makes it a page inside another window.
    DWORD style = 0;
    std::vector<ControlTemplate> controls;  // in tab order; a label comes before its control
    CString fontName = L"MS Shell Dlg";
    WORD fontSize = 8;
    LANGID language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    UINT menu = 0;  // a menu template, looked for as dialog templates are; 0 for none

    DialogTemplate& withFont(const CString& name, WORD size);
    DialogTemplate& withLanguage(LANGID lang);
    DialogTemplate& withMenu(UINT menuId);
};

struct MenuItemTemplate {
    CString text;            // "E&xit"; empty for a separator
    UINT id = 0;             // the command of an item; unused for a popup
    UINT flags = MF_STRING;  // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_SEPARATOR, MF_POPUP
    std::vector<MenuItemTemplate> popup;  // the items of a popup; a popup has no command
};

MenuItemTemplate MenuItem(const CString& text, UINT id, UINT flags = MF_STRING);
MenuItemTemplate Popup(const CString& text, std::vector<MenuItemTemplate> items,
                       UINT flags = MF_STRING);
MenuItemTemplate Separator();

struct MenuTemplate {
    MenuTemplate(UINT id, std::vector<MenuItemTemplate> items);

    UINT id = 0;
    std::vector<MenuItemTemplate> items;  // the menu bar
};

// Registers a template under a module. A second template with the same id in the same module is
// a programming error and raises std::logic_error.
void registerDialog(HINSTANCE module, DialogTemplate dialog);
void registerMenu(HINSTANCE module, MenuTemplate menu);
void unregisterDialog(HINSTANCE module, UINT id);
void unregisterMenu(HINSTANCE module, UINT id);

// The template of one module, or null. The pointer stays valid while the template is registered.
const DialogTemplate* findDialog(HINSTANCE module, UINT id);
const MenuTemplate* findMenu(HINSTANCE module, UINT id);

// The template as the framework finds it (see above), or null.
const DialogTemplate* locateDialog(UINT id);
const MenuTemplate* locateMenu(UINT id);

// The instance handle of the module that holds an address (code or data); null when the address
// lies in no loaded module.
HINSTANCE moduleHandleOf(const void* address);
// The instance handle of the program itself.
HINSTANCE programHandle();

// A module's resource script: registers its templates under the module that holds this object
// and removes them again when it is destroyed (when the library is unloaded).
class ResourceScript {
  public:
    ResourceScript(std::vector<DialogTemplate> dialogs, std::vector<MenuTemplate> menus = {});
    ~ResourceScript();
    ResourceScript(const ResourceScript&) = delete;
    ResourceScript& operator=(const ResourceScript&) = delete;

    HINSTANCE module() const { return m_module; }

  private:
    HINSTANCE m_module;
    std::vector<UINT> m_dialogs;
    std::vector<UINT> m_menus;
};

}  // namespace qv::res

// The module whose resources are looked for first.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE resource);

// The state of an MFC extension module (a library that shares the framework with its host).
struct AFX_EXTENSION_MODULE {
    BOOL bInitialized = FALSE;
    HMODULE hModule = nullptr;
    HMODULE hResource = nullptr;
};

// Fills the state for the library with this instance handle; TRUE on success (FALSE for a null
// handle). A second call for an initialised state does nothing and returns TRUE.
BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE module);
// Deletes the CDynLinkLibrary records made for the module and marks the state uninitialised.
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL all = FALSE);

// Enters an extension module into the chain of modules searched for resources. Made with new
// after AfxInitExtensionModule; AfxTermExtensionModule deletes it.
class CDynLinkLibrary : public CObject {
  public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL system = FALSE);
    ~CDynLinkLibrary() override;

    HMODULE m_hModule;
    HMODULE m_hResource;
    BOOL m_bSystem;
};

// Makes a module's resources current for the lifetime of the guard and restores the previous
// resource handle afterwards. Without an argument the module is the one whose code builds the
// guard.
class CAcModuleResourceOverride {
  public:
    CAcModuleResourceOverride();
    explicit CAcModuleResourceOverride(HINSTANCE module);
    ~CAcModuleResourceOverride();
    CAcModuleResourceOverride(const CAcModuleResourceOverride&) = delete;
    CAcModuleResourceOverride& operator=(const CAcModuleResourceOverride&) = delete;

  private:
    HINSTANCE m_previous;
};
