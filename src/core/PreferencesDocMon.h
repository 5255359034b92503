// CPreferencesDocMon: the document monitor's server preferences, an owning list of server blocks
// (CServerPreferenceDocMon) in the order they stand in the preferences file.
//
// The file is XML: a root element named (local name) "documentMonitorPreferences" with one child
// element per server block, whose own name is not read:
//
//     <documentMonitorPreferences>
//       <server> ...the settings of one server... </server>
//       <server> ... </server>
//     </documentMonitorPreferences>
//
// A file with any other root gives no blocks and no error; a child of the root without child
// nodes is skipped.
#pragma once

#include "StdAfx.h"

#include "core/ServerPreferenceDocMon.h"

class CPreferencesDocMon {
  public:
    CPreferencesDocMon() = default;
    // Deletes every block.
    virtual ~CPreferencesDocMon();
    CPreferencesDocMon(const CPreferencesDocMon&) = delete;
    CPreferencesDocMon& operator=(const CPreferencesDocMon&) = delete;

    // Reads the blocks of the file and appends them to the list (which is not emptied first).
    // A file that cannot be loaded or has no root element, or a block that fails, ends the
    // reading with a CEXUnhandled naming "CPreferencesDocMon::deSerialize" (wrapping the cause);
    // the blocks read before stay in the list, the failed block is not added.
    void deSerialize(CString fileName);
    // Appends a block; the list owns it from now on.
    void add(CServerPreferenceDocMon* preference);
    // The block at an index from 0 to getCount() - 1 (outside raises the framework's
    // invalid-argument error); the list keeps ownership.
    CServerPreferenceDocMon* getAt(int index) const { return m_preferences.GetAt(index); }
    int getCount() const { return m_count; }
    // Deletes every block and empties the list.
    void deleteObjects();
    // Writes each block on the host's command line: the marker, the server (dbDatasource), the
    // cache folder and the cache plot settings (device and media with their names), one line
    // each, then a blank line; pauses 5 seconds (window messages still served) between blocks
    // so that each can be read.
    void print(CString marker) const;

  private:
    CArray<CServerPreferenceDocMon*, CServerPreferenceDocMon*> m_preferences;
    int m_count = 0;
};

// The module's server preferences: built empty when the module is loaded, emptied when it is
// released. Nothing reads a file into it while the module runs, so its users find it empty and
// fall back to their own defaults.
extern CPreferencesDocMon docMonPreferences;
