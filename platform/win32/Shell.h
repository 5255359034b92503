// The shell's folder picker (SHBrowseForFolderW), item lists and the shell's allocator.
//
// The picker is answered by the current screen (qv::win32::screen().browseForFolder with the
// title; the user-interface driver while one is installed): the chosen folder comes back as an
// item list that holds its path, allocated by the shell's allocator (free it with IMalloc::Free
// or ILFree); a cancelled picker gives null.
// No root other than the desktop and no callback are used: `pidlRoot` and `lpfn` are ignored.
#pragma once

#include "WinTypes.h"

#define BIF_RETURNONLYFSDIRS 0x00000001u
#define BIF_DONTGOBELOWDOMAIN 0x00000002u
#define BIF_STATUSTEXT 0x00000004u
#define BIF_RETURNFSANCESTORS 0x00000008u
#define BIF_EDITBOX 0x00000010u
#define BIF_VALIDATE 0x00000020u
#define BIF_NEWDIALOGSTYLE 0x00000040u
#define BIF_USENEWUI (BIF_NEWDIALOGSTYLE | BIF_EDITBOX)
#define BIF_NONEWFOLDERBUTTON 0x00000200u
#define BIF_BROWSEINCLUDEFILES 0x00004000u

#define BFFM_INITIALIZED 1
#define BFFM_SELCHANGED 2

typedef struct _SHITEMID {
    USHORT cb;
    BYTE abID[1];
} SHITEMID;

typedef struct _ITEMIDLIST {
    SHITEMID mkid;
} ITEMIDLIST, *LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;
typedef ITEMIDLIST* PIDLIST_ABSOLUTE;
typedef const ITEMIDLIST* PCIDLIST_ABSOLUTE;

typedef int (*BFFCALLBACK)(HWND window, UINT message, LPARAM lParam, LPARAM data);

typedef struct _browseinfoW {
    HWND hwndOwner;
    PCIDLIST_ABSOLUTE pidlRoot;
    LPWSTR pszDisplayName;  // receives the chosen folder's name; MAX_PATH characters
    LPCWSTR lpszTitle;
    UINT ulFlags;
    BFFCALLBACK lpfn;
    LPARAM lParam;
    int iImage;
} BROWSEINFOW, *LPBROWSEINFOW;
typedef BROWSEINFOW BROWSEINFO;
typedef LPBROWSEINFOW LPBROWSEINFO;

// The shell's memory allocator. Its memory is the C heap's, so CoTaskMemFree frees it too.
// The allocator lives as long as the process: Release never destroys it.
struct IMalloc {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual void* Alloc(SIZE_T bytes) = 0;
    virtual void* Realloc(void* memory, SIZE_T bytes) = 0;
    virtual void Free(void* memory) = 0;
    // The size of a block, or (SIZE_T)-1 for null.
    virtual SIZE_T GetSize(void* memory) = 0;
    // 1 for a block of this allocator, 0 for another, -1 when unknown.
    virtual int DidAlloc(void* memory) = 0;
    virtual void HeapMinimize() = 0;

  protected:
    virtual ~IMalloc() = default;
};
typedef IMalloc* LPMALLOC;

// Gives the shell's allocator (one reference): S_OK, or E_INVALIDARG for a null pointer.
HRESULT SHGetMalloc(IMalloc** malloc);
PIDLIST_ABSOLUTE SHBrowseForFolderW(LPBROWSEINFOW info);
// Copies the path of a folder's item list into `path` (MAX_PATH characters): FALSE (and an
// empty text) for null, for a list this platform did not make, or for a path too long.
BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE list, LPWSTR path);
void ILFree(PIDLIST_ABSOLUTE list);

#define SHBrowseForFolder SHBrowseForFolderW
#define SHGetPathFromIDList SHGetPathFromIDListW
