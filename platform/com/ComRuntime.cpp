#include "com/ComRuntime.h"

#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "com/ComError.h"
#include "win32/CodePage.h"

namespace {

struct ThreadState {
    int depth = 0;
    DWORD model = COINIT_APARTMENTTHREADED;
};
thread_local ThreadState t_com;

struct ClassEntry {
    CLSID clsid;
    qv::com::ClassFactory factory;
};

struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const {
        return std::memcmp(&a, &b, sizeof(GUID)) < 0;
    }
};

struct Registry {
    std::mutex mutex;
    std::map<std::wstring, CLSID> progIds;  // key in lower case
    std::map<CLSID, qv::com::ClassFactory, GuidLess> classes;
    std::multiset<CLSID, GuidLess> hidden;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

std::wstring key(const wchar_t* progId) {
    return qv::toLower(progId ? progId : L"");
}

DWORD threadingModel(DWORD coInit) {
    return (coInit & COINIT_APARTMENTTHREADED) ? COINIT_APARTMENTTHREADED : COINIT_MULTITHREADED;
}

}  // namespace

HRESULT CoInitialize(LPVOID reserved) {
    return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED);
}

HRESULT CoInitializeEx(LPVOID, DWORD coInit) {
    const DWORD model = threadingModel(coInit);
    if (t_com.depth > 0) {
        if (model != t_com.model)
            return RPC_E_CHANGED_MODE;
        ++t_com.depth;
        return S_FALSE;
    }
    t_com.model = model;
    t_com.depth = 1;
    return S_OK;
}

void CoUninitialize() {
    if (t_com.depth == 0)
        return;
    if (--t_com.depth == 0)
        SetErrorInfo(0, nullptr);
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid) {
    if (!progId || !clsid)
        return E_INVALIDARG;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = r.progIds.find(key(progId));
    if (it == r.progIds.end() || r.hidden.count(it->second)) {
        *clsid = GUID_NULL;
        return CO_E_CLASSSTRING;
    }
    *clsid = it->second;
    return S_OK;
}

HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD, REFIID iid, LPVOID* object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (t_com.depth == 0)
        return CO_E_NOTINITIALIZED;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    qv::com::ClassFactory factory;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        const auto it = r.classes.find(clsid);
        if (it == r.classes.end() || r.hidden.count(clsid))
            return REGDB_E_CLASSNOTREG;
        factory = it->second;
    }
    IUnknown* created = factory();
    if (!created)
        return E_OUTOFMEMORY;
    created->AddRef();
    const HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
}

namespace qv::com {

void registerClass(REFCLSID clsid, std::initializer_list<const wchar_t*> progIds,
                   ClassFactory factory) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.classes[clsid] = std::move(factory);
    for (const wchar_t* progId : progIds)
        r.progIds[key(progId)] = clsid;
}

ClassHidden::ClassHidden(const wchar_t* progId) : m_clsid(GUID_NULL) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = r.progIds.find(key(progId));
    if (it != r.progIds.end())
        m_clsid = it->second;
    r.hidden.insert(m_clsid);
}

ClassHidden::~ClassHidden() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.hidden.erase(r.hidden.find(m_clsid));
}

int initialisationDepth() {
    return t_com.depth;
}

}  // namespace qv::com
