#include "win32/CommDlg.h"

#include <cwchar>
#include <string>

#include "win32/DrivePaths.h"
#include "win32/FileApi.h"
#include "win32/MessageBox.h"
#include "win32/Screen.h"

namespace {

thread_local DWORD t_dialogError = 0;

std::wstring filterText(LPCWSTR filter) {
    std::wstring text;
    if (!filter) {
        return text;
    }
    for (const wchar_t* p = filter; *p; p += std::wcslen(p) + 1) {
        text += p;
        text += L'|';
    }
    if (!text.empty()) {
        text += L'|';
    }
    return text;
}

bool exists(const std::wstring& path, bool folder) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    return folder ? (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                  : (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Where the name of a path starts: after its last backslash, or at 0 without one.
std::size_t nameStart(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? 0 : slash + 1;
}

BOOL runFileDialog(LPOPENFILENAMEW ofn, bool open) {
    t_dialogError = 0;
    if (!ofn || !ofn->lpstrFile || ofn->nMaxFile == 0) {
        return FALSE;
    }
    qv::win32::FileDialogRequest request;
    request.openMode = open ? TRUE : FALSE;
    request.title = ofn->lpstrTitle ? ofn->lpstrTitle : L"";
    request.initialFolder = ofn->lpstrInitialDir ? ofn->lpstrInitialDir : L"";
    request.fileName = ofn->lpstrFile;
    request.defaultExt = ofn->lpstrDefExt ? ofn->lpstrDefExt : L"";
    request.filter = filterText(ofn->lpstrFilter);
    request.flags = ofn->Flags;
    const std::wstring caption =
        request.title.empty() ? std::wstring(open ? L"Open" : L"Save As") : request.title;
    std::wstring path;
    for (;;) {
        if (!qv::win32::screen().fileDialog(request, path) || path.empty()) {
            return FALSE;
        }
        if (path.find_first_of(L"\\/:") == std::wstring::npos) {
            std::wstring folder = request.initialFolder.empty() ? qv::win32::currentDirectory()
                                                                : request.initialFolder;
            if (folder.empty() || folder.back() != L'\\') {
                folder += L'\\';
            }
            path = folder + path;
        }
        if (const auto full = qv::win32::fullWindowsPath(path)) {
            path = *full;
        }
        const std::size_t start = nameStart(path);
        std::wstring name = path.substr(start);
        if (name.find(L'.') == std::wstring::npos && !request.defaultExt.empty()) {
            path += L"." + request.defaultExt;
            name += L"." + request.defaultExt;
        }
        if (path.size() + 1 > ofn->nMaxFile) {
            MessageBoxW(ofn->hwndOwner,
                        (path + L"\nThe path is too long: this program takes at most " +
                         std::to_wstring(ofn->nMaxFile - 1) + L" characters.\nUse a shorter path.")
                            .c_str(),
                        caption.c_str(), MB_OK | MB_ICONWARNING);
            continue;
        }
        const std::wstring folder = path.substr(0, start);
        if ((ofn->Flags & OFN_PATHMUSTEXIST) && !exists(folder, true)) {
            MessageBoxW(ofn->hwndOwner,
                        (path + L"\nPath does not exist.\nCheck the path and try again.").c_str(),
                        caption.c_str(), MB_OK | MB_ICONWARNING);
            continue;
        }
        if (open && (ofn->Flags & OFN_FILEMUSTEXIST) && !exists(path, false)) {
            MessageBoxW(ofn->hwndOwner,
                        (path + L"\nFile not found.\nCheck the file name and try again.").c_str(),
                        caption.c_str(), MB_OK | MB_ICONWARNING);
            continue;
        }
        if (!open && (ofn->Flags & OFN_OVERWRITEPROMPT) && exists(path, false) &&
            MessageBoxW(ofn->hwndOwner,
                        (name + L" already exists.\nDo you want to replace it?").c_str(),
                        L"Confirm Save As", MB_YESNO | MB_ICONWARNING) != IDYES) {
            continue;
        }
        break;
    }
    const auto length = static_cast<DWORD>(path.size());
    std::wmemcpy(ofn->lpstrFile, path.c_str(), length + 1);
    const std::size_t start = nameStart(path);
    const std::size_t dot = path.rfind(L'.');
    ofn->nFileOffset = static_cast<WORD>(start);
    ofn->nFileExtension =
        static_cast<WORD>(dot != std::wstring::npos && dot + 1 > start ? dot + 1 : 0);
    if (ofn->lpstrFileTitle && ofn->nMaxFileTitle > 0) {
        const std::wstring title = path.substr(start, ofn->nMaxFileTitle - 1);
        std::wmemcpy(ofn->lpstrFileTitle, title.c_str(), title.size() + 1);
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
