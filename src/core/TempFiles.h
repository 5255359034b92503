// CTempFiles: the names of temporary files that a drawing wrapper writes, deleted on request and
// at the latest when the list goes.
#pragma once

#include "StdAfx.h"

class CTempFiles {
  public:
    CTempFiles() = default;
    // Deletes the files still listed; never throws.
    ~CTempFiles();
    CTempFiles(const CTempFiles&) = delete;
    CTempFiles& operator=(const CTempFiles&) = delete;

    // Remembers a name (no test; duplicates are kept).
    void add(CString fileName);
    // Tries to delete every remembered file once, in the order added; a file that cannot be
    // deleted (missing, in use, no right) is skipped silently. Afterwards the list is empty.
    void deleteTempFiles();
    int getCount() const { return m_count; }

  private:
    CStringArray m_fileNames;
    int m_count = 0;
};
