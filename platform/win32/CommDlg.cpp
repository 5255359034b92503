#include "win32/CommDlg.h"

#include <cstring>
#include <cwchar>

#include "mfc/CString.h"
#include "ui/UiDriver.h"
#include "win32/DrivePaths.h"
#include "win32/FileApi.h"
#include "win32/MessageBox.h"

namespace {

thread_local DWORD t_dialogError = 0;

CString filterText(LPCWSTR filter) {
    CString text;
    if (!filter) {
        return text;
    }
    for (const wchar_t* p = filter; *p; p += std::wcslen(p) + 1) {
        text += p;
        text += L'|';
    }
    if (!text.IsEmpty()) {
        text += L'|';
    }
    return text;
}

bool exists(const CString& path, bool folder) {
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    return folder ? (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                  : (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

BOOL runFileDialog(LPOPENFILENAMEW ofn, bool open) {
    t_dialogError = 0;
    if (!ofn || !ofn->lpstrFile || ofn->nMaxFile == 0) {
        return FALSE;
    }
    qv::ui::FileDialogRequest request;
    request.openMode = open ? TRUE : FALSE;
    request.title = ofn->lpstrTitle;
    request.initialFolder = ofn->lpstrInitialDir;
    request.fileName = ofn->lpstrFile;
    request.defaultExt = ofn->lpstrDefExt;
    request.filter = filterText(ofn->lpstrFilter);
    request.flags = ofn->Flags;
    const CString caption =
        request.title.IsEmpty() ? CString(open ? L"Open" : L"Save As") : request.title;
    CString path;
    for (;;) {
        if (!qv::ui::driver().fileDialog(request, path) || path.IsEmpty()) {
            return FALSE;
        }
        if (path.FindOneOf(L"\\/:") < 0) {
            CString folder = request.initialFolder.IsEmpty() ? qv::win32::currentDirectory()
                                                             : request.initialFolder;
            if (folder.Right(1) != L"\\") {
                folder += L'\\';
            }
            path = folder + path;
        }
        if (const auto full = qv::win32::fullWindowsPath(path)) {
            path = *full;
        }
        const int slash = path.ReverseFind(L'\\');
        CString name = path.Mid(slash + 1);
        if (name.Find(L'.') < 0 && !request.defaultExt.IsEmpty()) {
            path += L"." + request.defaultExt;
            name += L"." + request.defaultExt;
        }
        const CString folder = path.Left(slash + 1);
        if ((ofn->Flags & OFN_PATHMUSTEXIST) && !exists(folder, true)) {
            MessageBoxW(ofn->hwndOwner,
                        path + L"\nPath does not exist.\nCheck the path and try again.", caption,
                        MB_OK | MB_ICONWARNING);
            continue;
        }
        if (open && (ofn->Flags & OFN_FILEMUSTEXIST) && !exists(path, false)) {
            MessageBoxW(ofn->hwndOwner,
                        path + L"\nFile not found.\nCheck the file name and try again.", caption,
                        MB_OK | MB_ICONWARNING);
            continue;
        }
        if (!open && (ofn->Flags & OFN_OVERWRITEPROMPT) && exists(path, false) &&
            MessageBoxW(ofn->hwndOwner, name + L" already exists.\nDo you want to replace it?",
                        L"Confirm Save As", MB_YESNO | MB_ICONWARNING) != IDYES) {
            continue;
        }
        break;
    }
    const auto length = static_cast<DWORD>(path.GetLength());
    if (length + 1 > ofn->nMaxFile) {
        t_dialogError = FNERR_BUFFERTOOSMALL;
        const auto needed = static_cast<WORD>(length + 1);
        std::memcpy(ofn->lpstrFile, &needed, sizeof needed);
        return FALSE;
    }
    std::wmemcpy(ofn->lpstrFile, path.GetString(), length + 1);
    const int slash = path.ReverseFind(L'\\');
    const int dot = path.ReverseFind(L'.');
    ofn->nFileOffset = static_cast<WORD>(slash + 1);
    ofn->nFileExtension = static_cast<WORD>(dot > slash ? dot + 1 : 0);
    if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > 0) {
        const CString title = path.Mid(slash + 1).Left(static_cast<int>(ofn->nMaxFileTitle) - 1);
        std::wmemcpy(ofn->lpstrFileTitle, title.GetString(),
                     static_cast<std::size_t>(title.GetLength()) + 1);
    }
    return TRUE;
}

}  // namespace

BOOL GetOpenFileNameW(LPOPENFILENAMEW ofn) {
    return runFileDialog(ofn, true);
}

BOOL GetSaveFileNameW(LPOPENFILENAMEW ofn) {
    return runFileDialog(ofn, false);
}

DWORD CommDlgExtendedError() {
    return t_dialogError;
}
