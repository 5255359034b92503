// The host's commands for drawing files: OPEN, SAVE, SAVEAS and QUIT.
//
// The host keeps one drawing open: OPEN replaces the current drawing when the new one was read.
// Paths are Windows paths, or POSIX paths (beginning with "/"), which are taken as their Windows
// form; a relative path starts at the current directory. Enter at a path prompt keeps the offered
// path (SAVEAS) or does nothing (OPEN). A path of any length is read; one longer than the system
// takes is refused, as a path that is not valid is, and fails the command.
//
// A user at a terminal is asked before work is lost: QUIT and OPEN offer to save the drawing's
// changes first (askToSaveChanges), and SAVEAS asks before it replaces an existing file
// ("<file> already exists. Replace it? [Yes/No] <No>: "; No asks for another name). A script
// is never asked: it saves when it says so.
#include <algorithm>
#include <climits>
#include <optional>

#include "host/DrawingFiles.h"
#include "host/app/Documents.h"
#include "host/ed/CommandLoop.h"
#include "host/ed/Commands.h"
#include "host/ed/Editor.h"
#include "host/ed/Prompts.h"
#include "win32/CodePage.h"
#include "win32/DrivePaths.h"
#include "win32/FileApi.h"

namespace qv::host::ed {
namespace {

// Asks for a path; nothing for Enter, Esc or a bad path (which is said, and fails the command).
std::optional<std::wstring> askPath(const std::wstring& prompt) {
    std::wstring typed;
    if (getText(true, prompt, typed) != RTNORM || typed.empty()) {
        return std::nullopt;
    }
    return typedWindowsPath(typed);
}

std::wstring reason(Acad::ErrorStatus status) {
    switch (status) {
        case Acad::eNotImplementedYet:
            return L"this host has no drawing-file format installed";
        case Acad::eFileNotFound:
            return L"there is no such file";
        default:
            return acadErrorStatusText(status);
    }
}

// Why a save failed: the system's reason where the drawing-file format gave one.
std::wstring saveFailure(Acad::ErrorStatus status) {
    const std::wstring& why = qv::host::drawingFileError();
    return why.empty() ? reason(status) : why;
}

// Whether the system can use the file a full Windows path names: its POSIX path and each name
// in it within the system's limits.
bool withinPathLimits(const std::wstring& path) {
    const std::optional<std::string> posix = qv::win32::toPosixPath(path);
    if (!posix) {
        return true;  // not this check's to refuse: the caller says why it cannot be reached
    }
    if (posix->size() >= PATH_MAX) {
        return false;
    }
    for (size_t start = 0; start <= posix->size();) {
        const size_t end = std::min(posix->find('/', start), posix->size());
        if (end - start > NAME_MAX) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

// Whether a document was read from or saved to a file (rather than made new).
bool hasFile(const AcApDocument& doc) {
    const std::wstring name = doc.fileName();
    return name.find_first_of(L"\\/") != std::wstring::npos;
}

bool saveTo(AcApDocument& doc, const std::wstring& path) {
    const Acad::ErrorStatus es = doc.database()->saveAs(path.c_str());
    if (es != Acad::eOk) {
        print(L"Unable to save the drawing as " + path + L": " + saveFailure(es) + L".\n");
        reportCommandFailure();
        return false;
    }
    doc.qvSetFileName(path);
    doc.database()->qvMarkSaved();
    print(L"Drawing saved as " + path + L".\n");
    return true;
}

// A keyword answer of `keywords` ("Yes No Cancel"); Enter gives `byDefault`, Esc and the end of
// the input "Cancel".
std::wstring askKeyword(const std::wstring& prompt, const wchar_t* keywords,
                        const std::wstring& byDefault) {
    ACHAR answer[64];
    acedInitGet(0, keywords);
    const int status = acedGetKword(prompt.c_str(), answer, 64);
    if (status == RTNONE) {
        return byDefault;
    }
    return status == RTNORM ? std::wstring(answer) : std::wstring(L"Cancel");
}

// Whether a Windows path names an existing file or folder.
bool pathExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

AcApDocument* currentDocument() {
    AcApDocument* doc = acDocManager->curDocument();
    if (doc == nullptr) {
        print(L"There is no drawing.\n");
    }
    return doc;
}

void openCommand() {
    if (!askToSaveChanges()) {
        return;
    }
    const std::optional<std::wstring> path = askPath(L"Enter name of drawing to open: ");
    if (!path) {
        return;
    }
    if (std::optional<std::wstring> opened = openDrawing(*path)) {
        print(L"Unable to open " + *path + L": " + *opened + L".\n");
        reportCommandFailure();
        return;
    }
    print(L"Opened " + *path + L".\n");
}

// SAVEAS: true when the drawing was saved.
bool saveAs() {
    AcApDocument* doc = currentDocument();
    if (doc == nullptr) {
        return false;
    }
    const std::wstring offered = doc->fileName();
    for (;;) {
        std::wstring typed;
        if (getText(true, L"Save drawing as <" + offered + L">: ", typed) != RTNORM) {
            return false;
        }
        const std::optional<std::wstring> path = typedWindowsPath(!typed.empty() ? typed : offered);
        if (!path) {
            return false;
        }
        if (interactive() && pathExists(*path) &&
            askKeyword(*path + L" already exists. Replace it? [Yes/No] <No>: ", L"Yes No",
                       L"No") != L"Yes") {
            continue;
        }
        return saveTo(*doc, *path);
    }
}

// SAVE: true when the drawing was saved.
bool save() {
    AcApDocument* doc = currentDocument();
    if (doc == nullptr) {
        return false;
    }
    if (!hasFile(*doc)) {
        return saveAs();
    }
    return saveTo(*doc, doc->fileName());
}

void quitCommand() {
    if (askToSaveChanges()) {
        requestQuit();
    }
}

const bool g_registered = [] {
    registerHostCommand(L"OPEN", openCommand);
    registerHostCommand(L"SAVE", [] { save(); });
    registerHostCommand(L"SAVEAS", [] { saveAs(); });
    registerHostCommand(L"QUIT", quitCommand);
    return true;
}();

}  // namespace

bool askToSaveChanges() {
    AcApDocument* doc = acDocManager->curDocument();
    if (!interactive() || doc == nullptr || !doc->database()->qvHasUnsavedChanges()) {
        return true;
    }
    const std::wstring answer = askKeyword(
        L"Save changes to " + std::wstring(doc->fileName()) + L"? [Yes/No/Cancel] <Yes>: ",
        L"Yes No Cancel", L"Yes");
    if (answer == L"No") {
        return true;
    }
    return answer == L"Yes" && save();
}

std::optional<std::wstring> typedWindowsPath(std::wstring typed) {
    if (typed.size() >= 2 && typed.front() == L'"' && typed.back() == L'"') {
        typed = typed.substr(1, typed.size() - 2);
    }
    std::optional<std::wstring> full = typed.empty() || typed[0] != L'/'
                                           ? qv::win32::fullWindowsPath(typed)
                                           : qv::win32::toWindowsPath(wideToUtf8(typed));
    if (!full) {
        print(L"\"" + typed + L"\" is not a valid path.\n");
    } else if (!withinPathLimits(*full)) {
        print(L"The path is too long: this system takes at most " + std::to_wstring(PATH_MAX - 1) +
              L" bytes (UTF-8) in a path and " + std::to_wstring(NAME_MAX) + L" in a name.\n");
    } else {
        return full;
    }
    reportCommandFailure();
    return std::nullopt;
}

std::optional<std::wstring> openDrawing(const std::wstring& path) {
    AcApDocument* previous = acDocManager->curDocument();
    const Acad::ErrorStatus es = acDocManager->appContextOpenDocument(path.c_str());
    if (es != Acad::eOk) {
        return reason(es);
    }
    AcApDocument* opened = acDocManager->curDocument();
    if (previous != nullptr && previous != opened) {
        acDocManager->closeDocument(previous);
        acDocManager->setCurDocument(opened);
    }
    return std::nullopt;
}

}  // namespace qv::host::ed
