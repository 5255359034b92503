#include "host/ed/SysRegistry.h"

#include "host/ed/CommandStack.h"
#include "host/ed/DynamicLinker.h"

QV_RX_DEFINE_MEMBERS(AcRxDictionary, AcRxObject, L"")

AcRxObject* AcRxDictionary::at(const ACHAR* key) const {
    if (key == nullptr) {
        return nullptr;
    }
    const auto found = m_entries.find(key);
    return found != m_entries.end() ? found->second : nullptr;
}

AcRxObject* AcRxDictionary::atPut(const ACHAR* key, AcRxObject* object) {
    if (key == nullptr) {
        return nullptr;
    }
    AcRxObject*& slot = m_entries[key];
    AcRxObject* previous = slot;
    slot = object;
    return previous;
}

AcRxObject* AcRxDictionary::remove(const ACHAR* key) {
    if (key == nullptr) {
        return nullptr;
    }
    const auto found = m_entries.find(key);
    if (found == m_entries.end()) {
        return nullptr;
    }
    AcRxObject* object = found->second;
    m_entries.erase(found);
    return object;
}

AcRxDictionary* acrxSysRegistry() {
    static AcEdCommandStack commands;
    static AcRxDynamicLinker linker;
    static AcRxDictionary registry = [] {
        AcRxDictionary d;
        d.atPut(ACRX_DYNAMIC_LINKER, &linker);
        d.atPut(ACRX_COMMAND_DOCK, &commands);
        return d;
    }();
    return &registry;
}
