// The host's system registry: a dictionary of the services it offers by name. It holds from the
// start "DynamicLinker" (AcRxDynamicLinker, DynamicLinker.h) and "ACAD_REGISTERED_COMMANDS"
// (AcEdCommandStack, CommandStack.h).
#pragma once

#include <map>
#include <string>

#include "../rx/AcRxObject.h"

#define ACRX_DYNAMIC_LINKER L"DynamicLinker"
#define ACRX_COMMAND_DOCK L"ACAD_REGISTERED_COMMANDS"

// Objects by name (names compared exactly). The dictionary does not own what it holds.
class AcRxDictionary : public AcRxObject {
    QV_RX_DECLARE_MEMBERS(AcRxDictionary)
  public:
    // The object of that name, or null.
    AcRxObject* at(const ACHAR* key) const;
    // Puts an object under a name; returns the one it replaces, or null.
    AcRxObject* atPut(const ACHAR* key, AcRxObject* object);
    // Takes an entry out; returns its object, or null.
    AcRxObject* remove(const ACHAR* key);
    bool has(const ACHAR* key) const { return at(key) != nullptr; }
    Adesk::UInt32 numEntries() const { return static_cast<Adesk::UInt32>(m_entries.size()); }

  private:
    std::map<std::wstring, AcRxObject*> m_entries;
};

AcRxDictionary* acrxSysRegistry();

class AcRxDynamicLinker;
class AcEdCommandStack;
#define acrxDynamicLinker AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER))
#define acedRegCmds AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK))
