// cadhost: the CAD host program. Opens a drawing, loads the module, and runs the command line on
// the terminal or a script; message boxes and dialogs show as text and read their answers from
// the same input. See Options.h for the command line.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

#include "cadhost/ControlEscaping.h"
#include "cadhost/LineEditor.h"
#include "cadhost/Options.h"
#include "host/CommandLine.h"
#include "host/DrawingFiles.h"
#include "host/app/Documents.h"
#include "host/db/HostServices.h"
#include "host/ed/CommandLoop.h"
#include "host/ed/CommandStack.h"
#include "host/ed/Commands.h"
#include "host/ed/DynamicLinker.h"
#include "host/ed/Editor.h"
#include "host/ed/SysRegistry.h"
#include "mfc/dialogs/DialogDriving.h"
#include "mfc/dialogs/WindowApi.h"
#include "ui/TerminalDriver.h"
#include "win32/CodePage.h"
#include "win32/DrivePaths.h"
#include "win32/FileReplacement.h"
#include "win32/Module.h"

namespace fs = std::filesystem;

namespace {

// Where the host program lies as the module sees it: a folder of drive C:, so that every home
// is an installation of its own (with its own module data).
constexpr wchar_t kProgramFile[] = L"C:\\Program Files\\cadhost\\cadhost.exe";

int fail(const std::string& message) {
    std::cout.flush();
    std::cerr << "cadhost: " << message << "\n";
    return 1;
}

std::string programFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : self.parent_path().string();
}

// The Windows form of a path given on the command line.
std::wstring windowsPath(const std::string& path) {
    return qv::win32::toWindowsPath(fs::absolute(path).lexically_normal().string());
}

bool prepareHome(const cadhost::Options& options, std::string& error) {
    const std::string home =
        options.home.empty() ? qv::win32::defaultDriveCRoot() : fs::absolute(options.home).string();
    std::error_code ec;
    fs::create_directories(home, ec);
    if (ec || !fs::is_directory(home)) {
        error = "cannot use " + home + " as drive C: (" + ec.message() + ")";
        return false;
    }
    qv::win32::setDriveRoot(L'C', home);
    qv::win32::setModuleFileName(kProgramFile);
    if (std::optional<std::string> folder = qv::win32::toPosixPath(L"C:\\Program Files\\cadhost")) {
        fs::create_directories(*folder, ec);
    }
    return true;
}

bool openStartDrawing(const cadhost::Options& options, std::string& error) {
    if (options.drawing.empty()) {
        acDocManager->appContextNewDocument();
        return true;
    }
    std::error_code ec;
    if (fs::is_directory(options.drawing, ec)) {
        error = "cannot open " + options.drawing + ": it is a folder, not a drawing";
        return false;
    }
    const std::wstring path = windowsPath(options.drawing);
    if (std::optional<std::wstring> why = qv::host::ed::openDrawing(path)) {
        error = "cannot open " + options.drawing + ": " + qv::wideToUtf8(*why);
        return false;
    }
    return true;
}

bool saveAtEnd(const cadhost::Options& options) {
    if (options.save.empty()) {
        return true;
    }
    AcApDocument* doc = acDocManager->curDocument();
    if (doc == nullptr) {
        std::cerr << "cadhost: there is no drawing to save\n";
        return false;
    }
    const std::wstring path = windowsPath(options.save);
    const Acad::ErrorStatus es = doc->database()->saveAs(path.c_str());
    if (es != Acad::eOk) {
        const std::wstring& why = qv::host::drawingFileError();
        std::cerr << "cadhost: cannot save " << options.save << ": "
                  << qv::wideToUtf8(why.empty() ? std::wstring(acadErrorStatusText(es)) : why)
                  << "\n";
        return false;
    }
    return true;
}

// Skips a UTF-8 byte-order mark at the start of a script.
void skipByteOrderMark(std::istream& in) {
    // (read byte by byte: a script may come from a pipe, which cannot go back)
    for (const int byte : {0xEF, 0xBB, 0xBF}) {
        if (in.peek() != byte) {
            return;
        }
        in.get();
    }
}

// The names a user can type at the command prompt: the host's commands and the modules'.
std::vector<std::wstring> commandNames() {
    std::vector<std::wstring> names = qv::host::ed::hostCommandNames();
    if (acedRegCmds != nullptr) {
        std::unique_ptr<AcEdCommandIterator> it(acedRegCmds->iterator());
        for (; !it->done(); it->next()) {
            names.emplace_back(it->command()->localName());
            names.emplace_back(it->command()->globalName());
        }
    }
    return names;
}

}  // namespace

int main(int argc, char** argv) {
    // What a drawing or a script holds never reaches the terminal as a control character.
    cadhost::ControlEscaping escapedOut(std::cout);
    const cadhost::ControlEscaping escapedErrors(std::cerr);
    std::string error;
    const std::optional<cadhost::Options> options = cadhost::parseOptions(argc, argv, error);
    if (!options) {
        std::cerr << "cadhost: " << error << "\n" << cadhost::kUsage;
        return 2;
    }
    if (options->help) {
        std::cout << cadhost::kUsage << cadhost::kHelp;
        return 0;
    }
    if (const char* moment = std::getenv(cadhost::kStopWhileWriting);
        moment != nullptr && *moment != '\0' && !qv::win32::stopWhileWriting(moment, error)) {
        std::cerr << "cadhost: " << cadhost::kStopWhileWriting << ": " << error << "\n";
        return 2;
    }
    if (!prepareHome(*options, error)) {
        return fail(error);
    }
    acdbHostApplicationServices()->qvSetProduct(qv::utf8ToWide(options->product));

    std::ifstream scriptFile;
    if (!options->script.empty()) {
        scriptFile.open(options->script, std::ios::binary);
        if (!scriptFile || fs::is_directory(options->script)) {
            return fail("cannot read the script " + options->script);
        }
    }
    const bool script = scriptFile.is_open();
    std::istream& in = script ? static_cast<std::istream&>(scriptFile) : std::cin;
    const bool echo = script || isatty(STDIN_FILENO) == 0;
    if (echo) {
        skipByteOrderMark(in);
    }

    // A user at a terminal edits lines; scripts and pipes are read as they come.
    qv::ui::StreamLineSource stream(in);
    std::unique_ptr<cadhost::LineEditor> terminalLines;
    if (!echo) {
        cadhost::ControlEscapingBuffer& screenLine = escapedOut.buffer();
        terminalLines = std::make_unique<cadhost::LineEditor>(
            cadhost::LineEditor::Screen{[&screenLine] { return screenLine.currentLine(); },
                                        [&screenLine] { screenLine.lineEnded(); }},
            commandNames);
    }
    qv::ui::LineSource& lines =
        terminalLines ? static_cast<qv::ui::LineSource&>(*terminalLines) : stream;
    qv::host::ed::Editor& editor = qv::host::ed::editor();
    editor.input().setSource(&lines);
    editor.setEcho(echo);
    qv::host::transcript().setEchoSink(
        [](const std::wstring& piece) { std::cout << qv::wideToUtf8(piece) << std::flush; });
    qv::ui::TerminalDriver terminal(editor.input(), std::cout, echo);
    qv::ui::DriverScope screen(terminal);

    if (!openStartDrawing(*options, error)) {
        return fail(error);
    }
    const std::string module =
        options->moduleGiven ? options->module : programFolder() + "/libquorvelle.so";
    const std::wstring moduleName = windowsPath(module);
    if (!acrxDynamicLinker->loadModule(moduleName.c_str(), true) && options->moduleGiven) {
        return fail("the module was not loaded");
    }

    qv::host::ed::CommandLoop loop(script, !echo);
    const bool ok = loop.run() && !(script && terminal.errorCount() > 0);
    bool saved = true;  // a failed save has said why
    if (ok) {
        saved = saveAtEnd(*options);
    } else if (!options->save.empty()) {
        std::cerr << "cadhost: the drawing was not saved to " << options->save
                  << " because the script failed\n";
    }
    // Dialogs still open at the end (a script that ended in one) are closed before the module
    // that made them is unloaded.
    for (HWND dialog : qv::win::openModelessDialogs()) {
        DestroyWindow(dialog);
    }
    acrxDynamicLinker->qvUnloadAll();
    std::cout.flush();
    qv::host::transcript().setEchoSink({});
    if (!saved) {
        return 1;
    }
    if (!ok) {
        const std::wstring why =
            loop.failure().empty() ? L"the script ran with errors in its answers" : loop.failure();
        return fail(qv::wideToUtf8(why));
    }
    return 0;
}
