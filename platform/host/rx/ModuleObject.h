// The host's object runtime as the boilerplate beside a module's entry point uses it.
//
// Besides acrxEntryPoint a module exports three small functions that let a host check the module
// before it runs any of it:
//
//     extern "C" int acrxGetApiVersion();                 // the interface version it was built for
//     extern "C" void odrxGetAPIVersion(int& major, int& minor, int& majorBuild, int& minorBuild);
//     extern "C" OdRxModule* odrxCreateModuleObject();    // a new module object (see below)
//
// A module built against this host reports the versions below.
#pragma once

#include <atomic>
#include <string>

#include "AcRxObject.h"

// The interface version of this host.
constexpr int ACRX_API_VERSION = 15;
constexpr int ODRX_API_VERSION_MAJOR = 15;
constexpr int ODRX_API_VERSION_MINOR = 0;
constexpr int ODRX_API_BUILD_MAJOR = 0;
constexpr int ODRX_API_BUILD_MINOR = 0;

// A module as an object of the host's runtime, counted by references: it is made with one
// reference, addRef adds one, release takes one and deletes the object at none.
class OdRxModule : public AcRxObject {
    QV_RX_DECLARE_MEMBERS(OdRxModule)
  public:
    explicit OdRxModule(const ACHAR* moduleName) : m_name(moduleName ? moduleName : L"") {}

    const ACHAR* moduleName() const { return m_name.c_str(); }

    void addRef() { ++m_refs; }
    void release() {
        if (--m_refs == 0)
            delete this;
    }
    long numRefs() const { return m_refs; }

  protected:
    ~OdRxModule() override = default;

  private:
    std::wstring m_name;
    std::atomic<long> m_refs{1};
};
