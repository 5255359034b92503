#include "mfc/dialogs/Resources.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace qv::res {
namespace {

struct ModuleResources {
    std::map<UINT, std::unique_ptr<DialogTemplate>> dialogs;
    std::map<UINT, std::unique_ptr<MenuTemplate>> menus;
};

std::map<HINSTANCE, ModuleResources>& registry() {
    static std::map<HINSTANCE, ModuleResources> r;
    return r;
}

HINSTANCE& currentResource() {
    static HINSTANCE h = programHandle();
    return h;
}

std::vector<CDynLinkLibrary*>& chain() {
    static std::vector<CDynLinkLibrary*> c;
    return c;
}

template <class T>
void add(std::map<UINT, std::unique_ptr<T>>& map, T item, const char* what) {
    const UINT id = item.id;
    if (map.count(id)) {
        throw std::logic_error(std::string("duplicate ") + what + " template " +
                               std::to_string(id) + " in one module");
    }
    map.emplace(id, std::make_unique<T>(std::move(item)));
}

template <class T>
const T* find(HINSTANCE module, UINT id, std::map<UINT, std::unique_ptr<T>> ModuleResources::*m) {
    const auto mod = registry().find(module);
    if (mod == registry().end()) {
        return nullptr;
    }
    const auto& map = mod->second.*m;
    const auto it = map.find(id);
    return it == map.end() ? nullptr : it->second.get();
}

// The modules searched for a resource, in order, without repetitions.
std::vector<HINSTANCE> searchOrder() {
    std::vector<HINSTANCE> order{currentResource(), programHandle()};
    for (const CDynLinkLibrary* lib : chain()) {
        order.push_back(lib->m_hResource);
    }
    std::vector<HINSTANCE> unique;
    for (HINSTANCE h : order) {
        if (h && std::find(unique.begin(), unique.end(), h) == unique.end()) {
            unique.push_back(h);
        }
    }
    return unique;
}

template <class T>
const T* locate(UINT id, std::map<UINT, std::unique_ptr<T>> ModuleResources::*m) {
    for (HINSTANCE h : searchOrder()) {
        if (const T* t = find(h, id, m)) {
            return t;
        }
    }
    return nullptr;
}

}  // namespace

namespace {

ControlTemplate control(ControlKind kind, int id, const CString& caption, DWORD style,
                        std::vector<CString> items = {}) {
    ControlTemplate c;
    c.kind = kind;
    c.id = id;
    c.caption = caption;
    c.style = style;
    c.items = std::move(items);
    return c;
}

}  // namespace

ControlTemplate ControlTemplate::asHidden() const {
    ControlTemplate c = *this;
    c.hidden = true;
    return c;
}

ControlTemplate Text(const CString& caption, int id, DWORD style) {
    return control(ControlKind::Static, id, caption, style);
}
ControlTemplate GroupBox(const CString& caption, int id, DWORD style) {
    return control(ControlKind::GroupBox, id, caption, style);
}
ControlTemplate PushButton(const CString& caption, int id, DWORD style) {
    return control(ControlKind::PushButton, id, caption, style);
}
ControlTemplate DefPushButton(const CString& caption, int id, DWORD style) {
    return control(ControlKind::DefPushButton, id, caption, style);
}
ControlTemplate CheckBox(const CString& caption, int id, DWORD style) {
    return control(ControlKind::CheckBox, id, caption, style);
}
ControlTemplate AutoCheckBox(const CString& caption, int id, DWORD style) {
    return control(ControlKind::AutoCheckBox, id, caption, style);
}
ControlTemplate RadioButton(const CString& caption, int id, DWORD style) {
    return control(ControlKind::RadioButton, id, caption, style);
}
ControlTemplate AutoRadioButton(const CString& caption, int id, DWORD style) {
    return control(ControlKind::AutoRadioButton, id, caption, style);
}
ControlTemplate EditText(int id, DWORD style) {
    return control(ControlKind::Edit, id, CString(), style);
}
ControlTemplate ComboBox(int id, DWORD style, std::vector<CString> items) {
    return control(ControlKind::ComboBox, id, CString(), style, std::move(items));
}
ControlTemplate ListBox(int id, DWORD style, std::vector<CString> items) {
    return control(ControlKind::ListBox, id, CString(), style, std::move(items));
}
ControlTemplate TabControl(const CString& caption, int id, DWORD style) {
    return control(ControlKind::TabControl, id, caption, style);
}

DialogTemplate::DialogTemplate(UINT id0, const CString& caption0, DWORD style0,
                               std::vector<ControlTemplate> controls0)
    : id(id0), caption(caption0), style(style0), controls(std::move(controls0)) {}

DialogTemplate& DialogTemplate::withFont(const CString& name, WORD size) {
    fontName = name;
    fontSize = size;
    return *this;
}

DialogTemplate& DialogTemplate::withLanguage(LANGID lang) {
    language = lang;
    return *this;
}

DialogTemplate& DialogTemplate::withMenu(UINT menuId) {
    menu = menuId;
    return *this;
}

MenuItemTemplate MenuItem(const CString& text, UINT id, UINT flags) {
    MenuItemTemplate m;
    m.text = text;
    m.id = id;
    m.flags = flags;
    return m;
}

MenuItemTemplate Popup(const CString& text, std::vector<MenuItemTemplate> items, UINT flags) {
    MenuItemTemplate m;
    m.text = text;
    m.flags = flags | MF_POPUP;
    m.popup = std::move(items);
    return m;
}

MenuItemTemplate Separator() {
    MenuItemTemplate m;
    m.flags = MF_SEPARATOR;
    return m;
}

MenuTemplate::MenuTemplate(UINT id0, std::vector<MenuItemTemplate> items0)
    : id(id0), items(std::move(items0)) {}

void registerDialog(HINSTANCE module, DialogTemplate dialog) {
    add(registry()[module].dialogs, std::move(dialog), "dialog");
}

void registerMenu(HINSTANCE module, MenuTemplate menu) {
    add(registry()[module].menus, std::move(menu), "menu");
}

void unregisterDialog(HINSTANCE module, UINT id) {
    const auto mod = registry().find(module);
    if (mod != registry().end()) {
        mod->second.dialogs.erase(id);
    }
}

void unregisterMenu(HINSTANCE module, UINT id) {
    const auto mod = registry().find(module);
    if (mod != registry().end()) {
        mod->second.menus.erase(id);
    }
}

const DialogTemplate* findDialog(HINSTANCE module, UINT id) {
    return find(module, id, &ModuleResources::dialogs);
}

const MenuTemplate* findMenu(HINSTANCE module, UINT id) {
    return find(module, id, &ModuleResources::menus);
}

const DialogTemplate* locateDialog(UINT id) {
    return locate(id, &ModuleResources::dialogs);
}

const MenuTemplate* locateMenu(UINT id) {
    return locate(id, &ModuleResources::menus);
}

HINSTANCE moduleHandleOf(const void* address) {
    Dl_info info{};
    if (!address || dladdr(address, &info) == 0) {
        return nullptr;
    }
    return static_cast<HINSTANCE>(info.dli_fbase);
}

HINSTANCE programHandle() {
    static const HINSTANCE program = [] {
        // The first object that the dynamic linker reports is the program; an address inside its
        // first loaded segment names it.
        const void* inside = nullptr;
        dl_iterate_phdr(
            [](dl_phdr_info* info, size_t, void* data) -> int {
                for (int i = 0; i < info->dlpi_phnum; ++i) {
                    if (info->dlpi_phdr[i].p_type == PT_LOAD) {
                        *static_cast<const void**>(data) = reinterpret_cast<const void*>(
                            info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
                        break;
                    }
                }
                return 1;
            },
            &inside);
        return moduleHandleOf(inside);
    }();
    return program;
}

ResourceScript::ResourceScript(std::vector<DialogTemplate> dialogs, std::vector<MenuTemplate> menus)
    : m_module(moduleHandleOf(this)) {
    for (auto& d : dialogs) {
        m_dialogs.push_back(d.id);
        registerDialog(m_module, std::move(d));
    }
    for (auto& m : menus) {
        m_menus.push_back(m.id);
        registerMenu(m_module, std::move(m));
    }
}

ResourceScript::~ResourceScript() {
    for (UINT id : m_dialogs) {
        unregisterDialog(m_module, id);
    }
    for (UINT id : m_menus) {
        unregisterMenu(m_module, id);
    }
}

}  // namespace qv::res

HINSTANCE AfxGetResourceHandle() {
    return qv::res::currentResource();
}

void AfxSetResourceHandle(HINSTANCE resource) {
    qv::res::currentResource() = resource;
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE module) {
    if (state.bInitialized) {
        return TRUE;
    }
    if (!module) {
        return FALSE;
    }
    state.hModule = module;
    state.hResource = module;
    state.bInitialized = TRUE;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL) {
    if (!state.bInitialized) {
        return;
    }
    auto& c = qv::res::chain();
    std::vector<CDynLinkLibrary*> mine;
    for (CDynLinkLibrary* lib : c) {
        if (lib->m_hModule == state.hModule) {
            mine.push_back(lib);
        }
    }
    for (CDynLinkLibrary* lib : mine) {
        delete lib;
    }
    state.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL system)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(system) {
    qv::res::chain().push_back(this);
}

CDynLinkLibrary::~CDynLinkLibrary() {
    std::erase(qv::res::chain(), this);
}

CAcModuleResourceOverride::CAcModuleResourceOverride() : m_previous(AfxGetResourceHandle()) {
    // The return address lies in the code that builds the guard, so it names the caller's module.
    AfxSetResourceHandle(qv::res::moduleHandleOf(__builtin_return_address(0)));
}

CAcModuleResourceOverride::CAcModuleResourceOverride(HINSTANCE module)
    : m_previous(AfxGetResourceHandle()) {
    AfxSetResourceHandle(module);
}

CAcModuleResourceOverride::~CAcModuleResourceOverride() {
    AfxSetResourceHandle(m_previous);
}
