// The module library as the host sees it: its instance handle, and its resources made current for
// a test as a command of the module makes them.
#pragma once

#include <dlfcn.h>

#include "StdAfx.h"

namespace qv::test {

// The instance handle of the module library (the library that defines the library entry).
inline HINSTANCE moduleInstance() {
    return qv::res::moduleHandleOf(dlsym(RTLD_DEFAULT, "DllMain"));
}

class ModuleResources {
  public:
    ModuleResources() : m_override(moduleInstance()) {}

  private:
    CAcModuleResourceOverride m_override;
};

}  // namespace qv::test
