#include "host/rx/AcRxObject.h"

AcRxClass::AcRxClass(const ACHAR* name, const AcRxClass* parent, const ACHAR* dxfName)
    : m_name(name), m_dxfName(dxfName != nullptr ? dxfName : L""), m_parent(parent) {}

bool AcRxClass::isDerivedFrom(const AcRxClass* other) const {
    for (const AcRxClass* c = this; c != nullptr; c = c->m_parent) {
        if (c == other) {
            return true;
        }
    }
    return false;
}

void AcRxClass::addX(const AcRxClass* protocol, AcRxObject* implementation) {
    if (implementation == nullptr) {
        m_extensions.erase(protocol);
    } else {
        m_extensions[protocol] = implementation;
    }
}

AcRxObject* AcRxClass::queryX(const AcRxClass* protocol) const {
    for (const AcRxClass* c = this; c != nullptr; c = c->m_parent) {
        const auto found = c->m_extensions.find(protocol);
        if (found != c->m_extensions.end()) {
            return found->second;
        }
    }
    return nullptr;
}

AcRxClass* AcRxObject::desc() {
    static AcRxClass cls(L"AcRxObject", nullptr);
    return &cls;
}
