// CComScope: COM initialised for the calling thread while the object lives.
//
// The constructor calls CoInitialize; the destructor balances it with CoUninitialize, but only
// when the initialisation succeeded (a thread already in another apartment is left alone).
// Declare it before the COM pointers of the same scope, so that they are released first.
#pragma once

#include "StdAfx.h"

#include <objbase.h>

class CComScope {
  public:
    CComScope() : m_initialised(SUCCEEDED(CoInitialize(NULL))) {}
    ~CComScope() {
        if (m_initialised)
            CoUninitialize();
    }
    CComScope(const CComScope&) = delete;
    CComScope& operator=(const CComScope&) = delete;

  private:
    bool m_initialised;
};
