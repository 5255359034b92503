// The COM runtime: per-thread initialisation and object creation through a class registry.
//
// Every thread that creates objects initialises COM first. CoInitialize and CoInitializeEx are
// counted per thread: the first call answers S_OK, each nested call S_FALSE (and must be
// balanced by CoUninitialize too); asking for another threading model than the one in force
// answers RPC_E_CHANGED_MODE and counts nothing. CoUninitialize without initialisation does
// nothing.
//
// Classes are found by ProgID (case-insensitive, as the Windows registry compares) or CLSID in
// a registry that platform parts fill when the library loads ("Msxml2.DOMDocument",
// "ADODB.Connection", ...).
#pragma once

#include <functional>
#include <initializer_list>

#include "ComTypes.h"
#include "Unknown.h"

enum COINIT {
    COINIT_MULTITHREADED = 0x0,
    COINIT_APARTMENTTHREADED = 0x2,
    COINIT_DISABLE_OLE1DDE = 0x4,
    COINIT_SPEED_OVER_MEMORY = 0x8
};

enum CLSCTX {
    CLSCTX_INPROC_SERVER = 0x1,
    CLSCTX_INPROC_HANDLER = 0x2,
    CLSCTX_LOCAL_SERVER = 0x4,
    CLSCTX_REMOTE_SERVER = 0x10,
    CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
    CLSCTX_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
    CLSCTX_ALL =
        CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER
};

// Initialises COM for the calling thread in the single-threaded apartment.
HRESULT CoInitialize(LPVOID reserved);
HRESULT CoInitializeEx(LPVOID reserved, DWORD coInit);
void CoUninitialize();

// The CLSID registered for a ProgID; CO_E_CLASSSTRING (and GUID_NULL) when none is.
HRESULT CLSIDFromProgID(LPCOLESTR progId, LPCLSID clsid);
// Creates an object of a registered class and queries it for `iid`:
// CO_E_NOTINITIALIZED when the thread has not initialised COM, CLASS_E_NOAGGREGATION with an
// outer object, REGDB_E_CLASSNOTREG for an unknown class, E_NOINTERFACE when the object lacks
// `iid` (*object is null on every failure).
HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid,
                         LPVOID* object);

namespace qv::com {

// Makes a new object of a class with no references yet, or null when it cannot.
using ClassFactory = std::function<IUnknown*()>;

// Registers a class under its CLSID and any number of ProgIDs (a later registration of the same
// CLSID or ProgID replaces the earlier one).
void registerClass(REFCLSID clsid, std::initializer_list<const wchar_t*> progIds,
                   ClassFactory factory);

// Test seam: while it lives, the class of a ProgID is unknown, as on a machine where the
// component is not installed.
class ClassHidden {
  public:
    explicit ClassHidden(const wchar_t* progId);
    ~ClassHidden();
    ClassHidden(const ClassHidden&) = delete;
    ClassHidden& operator=(const ClassHidden&) = delete;

  private:
    CLSID m_clsid;
};

// How many CoInitialize calls of the calling thread are not yet balanced.
int initialisationDepth();

}  // namespace qv::com
