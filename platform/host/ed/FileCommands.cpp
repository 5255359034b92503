// The host's commands for drawing files: OPEN, SAVE, SAVEAS and QUIT.
//
// The host keeps one drawing open: OPEN replaces the current drawing (without saving it) when
// the new one was read. Paths are Windows paths, or POSIX paths (beginning with "/"), which are
// taken as their Windows form; a relative path starts at the current directory. Enter at a path
// prompt keeps the offered path (SAVEAS) or does nothing (OPEN).
#include <optional>

#include "host/app/Documents.h"
#include "host/ed/CommandLoop.h"
#include "host/ed/Commands.h"
#include "host/ed/Editor.h"
#include "host/ed/Prompts.h"
#include "win32/CodePage.h"
#include "win32/DrivePaths.h"

namespace qv::host::ed {
namespace {

constexpr size_t kPathBuffer = 1024;

// Asks for a path; nothing for Enter, Esc or a bad path.
std::optional<std::wstring> askPath(const std::wstring& prompt) {
    ACHAR buffer[kPathBuffer];
    const int status = acedGetString(1, prompt.c_str(), buffer, kPathBuffer);
    if (status != RTNORM || buffer[0] == 0) {
        if (status == RTINPUTTRUNCATED) {
            print(L"The path is too long.\n");
        }
        return std::nullopt;
    }
    return typedWindowsPath(buffer);
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

// Whether a document was read from or saved to a file (rather than made new).
bool hasFile(const AcApDocument& doc) {
    const std::wstring name = doc.fileName();
    return name.find_first_of(L"\\/") != std::wstring::npos;
}

void saveTo(AcApDocument& doc, const std::wstring& path) {
    const Acad::ErrorStatus es = doc.database()->saveAs(path.c_str());
    if (es != Acad::eOk) {
        print(L"Unable to save the drawing as " + path + L": " + reason(es) + L".\n");
        reportCommandFailure();
        return;
    }
    doc.qvSetFileName(path);
    print(L"Drawing saved as " + path + L".\n");
}

AcApDocument* currentDocument() {
    AcApDocument* doc = acDocManager->curDocument();
    if (doc == nullptr) {
        print(L"There is no drawing.\n");
    }
    return doc;
}

void openCommand() {
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

void saveAsCommand() {
    AcApDocument* doc = currentDocument();
    if (doc == nullptr) {
        return;
    }
    const std::wstring offered = doc->fileName();
    ACHAR buffer[kPathBuffer];
    const std::wstring prompt = L"Save drawing as <" + offered + L">: ";
    const int status = acedGetString(1, prompt.c_str(), buffer, kPathBuffer);
    if (status != RTNORM) {
        return;
    }
    const std::optional<std::wstring> path = typedWindowsPath(buffer[0] != 0 ? buffer : offered);
    if (path) {
        saveTo(*doc, *path);
    }
}

void saveCommand() {
    AcApDocument* doc = currentDocument();
    if (doc == nullptr) {
        return;
    }
    if (!hasFile(*doc)) {
        saveAsCommand();
        return;
    }
    saveTo(*doc, doc->fileName());
}

const bool g_registered = [] {
    registerHostCommand(L"OPEN", openCommand);
    registerHostCommand(L"SAVE", saveCommand);
    registerHostCommand(L"SAVEAS", saveAsCommand);
    registerHostCommand(L"QUIT", requestQuit);
    return true;
}();

}  // namespace

std::optional<std::wstring> typedWindowsPath(std::wstring typed) {
    if (typed.size() >= 2 && typed.front() == L'"' && typed.back() == L'"') {
        typed = typed.substr(1, typed.size() - 2);
    }
    if (!typed.empty() && typed[0] == L'/') {
        return qv::win32::toWindowsPath(wideToUtf8(typed));
    }
    if (std::optional<std::wstring> full = qv::win32::fullWindowsPath(typed)) {
        return full;
    }
    print(L"\"" + typed + L"\" is not a valid path.\n");
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
