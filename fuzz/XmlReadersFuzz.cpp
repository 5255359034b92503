// libFuzzer target for the module's XML readers. Every reader of kReaders gets the input as the
// file it reads. A reader must take the file or refuse it with an error chain of the module;
// it never crashes or leaks, a log file it refused is left byte for byte as it was, and a log
// file it saved loads again with the new entry as the root's last element.
//
// A report file is also applied with oagr to a small drawing of space blocks: a file that does
// not load is refused and leaves the drawing exactly as it was (it saves to the same bytes); one
// that loads is applied and the drawing still saves.
//
// A new reader is one more row of kReaders.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "arxHeaders.h"
#include "core/Log.h"
#include "core/OrvanExceptions.h"
#include "core/PreferencesDocMon.h"
#include "reports/GraphicReport.h"
#include "host/CommandLine.h"
#include "host/dxf/DrawingReader.h"
#include "host/dxf/FileIo.h"
#include "module/ReportCommands.h"
#include "ui/UiDriver.h"
#include "win32/DrivePaths.h"

namespace {

namespace fs = std::filesystem;

fs::path g_drive;  // the folder that is C:

[[noreturn]] void fail(const char* reader, const char* what) {
    std::fprintf(stderr, "%s: %s\n", reader, what);
    std::abort();
}

void writeFile(const char* name, const std::string& bytes) {
    std::ofstream out(g_drive / name, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string readFile(const char* name) {
    std::ifstream in(g_drive / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs `call`; true when it raised an error chain of the module (which is freed).
template <class F>
bool refused(F&& call) {
    try {
        call();
    } catch (CEXOrvan* e) {
        e->deleteChain();
        return true;
    }
    return false;
}

struct Loaded {
    CString root;       // the root's local name
    CString lastEntry;  // the local name of the root's last element child, or empty
};

// The root and last entry of a file that must load.
Loaded load(const char* reader, const CString& path) {
    MSXML2::IXMLDOMDocumentPtr doc;
    doc.CreateInstance(L"Msxml2.DOMDocument");
    doc->Putasync(VARIANT_FALSE);
    if (doc->load(_variant_t(static_cast<LPCTSTR>(path))) != VARIANT_TRUE) {
        fail(reader, "a log file the module saved does not load");
    }
    MSXML2::IXMLDOMElementPtr root = doc->GetdocumentElement();
    if (!root) {
        fail(reader, "a log file the module saved has no root");
    }
    MSXML2::IXMLDOMNodePtr last = root->GetlastChild();
    while (last && last->GetnodeType() != MSXML2::NODE_ELEMENT) {
        last = last->GetpreviousSibling();
    }
    return {CString(static_cast<const wchar_t*>(root->GetbaseName())),
            last ? CString(static_cast<const wchar_t*>(last->GetbaseName())) : CString()};
}

void serverPreferences(const std::string& bytes) {
    writeFile("preferences.xml", bytes);
    CPreferencesDocMon list;
    refused([&] { list.deSerialize(L"C:\\preferences.xml"); });
    for (int i = 0; i < list.getCount(); ++i) {
        if (list.getAt(i) == nullptr) {
            fail("server preferences", "an empty block was added to the list");
        }
    }
}

// An append to an existing log: refused and untouched, or saved so that it loads again, with the
// new "error" entry last when the root is the log's own (a file whose root has another name is
// saved back without the entry).
template <class Append>
void appendToLog(const char* reader, const std::string& bytes, const wchar_t* rootName,
                 Append append) {
    writeFile("log.xml", bytes);
    const CString path = L"C:\\log.xml";
    if (refused([&] { append(path); })) {
        if (readFile("log.xml") != bytes) {
            fail(reader, "a log file was changed although the append was refused");
        }
        return;
    }
    const Loaded saved = load(reader, path);
    if (saved.root == rootName && saved.lastEntry != L"error") {
        fail(reader, "the new entry is not the last element of the saved log");
    }
}

void errorLog(const std::string& bytes) {
    CEXCustom error(L"fuzzed", L"fuzz", L"Fuzz.cpp", L"fuzz", 0, nullptr);
    appendToLog("error log", bytes, L"errors",
                [&](const CString& path) { CLog().writeToXMLErrorLog(path, &error); });
}

void debugLog(const std::string& bytes) {
    appendToLog("debug log", bytes, L"debugging",
                [](const CString& path) { CLog().writeToXMLDebugLog(path, L"fuzzed", nullptr); });
}

// A graphic report file: read, or refused with an error chain; what was read and written again
// reads back to the same file when written once more.
void graphicReport(const std::string& bytes) {
    writeFile("report.xml", bytes);
    CGraphicReport report;
    if (refused([&] { report.deSerialize(L"C:\\report.xml"); }))
        return;
    if (refused([&] { report.serialize(L"C:\\written.xml"); }))
        fail("graphic report", "a report that was read could not be written");
    CGraphicReport again;
    if (refused([&] { again.deSerialize(L"C:\\written.xml"); }))
        fail("graphic report", "a written report could not be read back");
    if (refused([&] { again.serialize(L"C:\\again.xml"); }))
        fail("graphic report", "a report read back could not be written");
    if (readFile("written.xml") != readFile("again.xml"))
        fail("graphic report", "a report written, read and written again is not the same file");
}

// The drawing's file as the host saves it.
std::string savedDrawing(AcDbDatabase* db, const char* name) {
    const std::wstring path = L"C:\\" + std::wstring(CString(name).GetString());
    if (db->saveAs(path.c_str()) != Acad::eOk) {
        fail("applied report", "the drawing does not save");
    }
    return readFile(name);
}

// oagr with the input as the report file, on a fresh copy of the small drawing.
void appliedReport(const std::string& bytes) {
    writeFile("report.xml", bytes);
    acDocManager->qvReset();
    auto owned = std::make_unique<AcDbDatabase>(false, true);
    qv::dxf::MappedFile file(QV_FUZZ_DRAWING);
    qv::dxf::AuditReport audit;
    qv::dxf::readDrawing(file, *owned, audit);
    AcApDocument* document = acDocManager->qvAddDocument(std::move(owned));
    AcDbDatabase* db = document->database();
    const std::string before = savedDrawing(db, "before.dxf");
    qv::ui::ScriptedDriver screen;
    screen.queueFile(L"C:\\report.xml");
    {
        qv::ui::DriverScope scope(screen);
        qv::host::transcript().clear();
        applyGraphicReport();
    }
    const bool refusedFile = qv::host::transcript().text().find(
                                 L"Unable to read the graphic report") != std::wstring::npos;
    const std::string after = savedDrawing(db, "after.dxf");
    if (refusedFile && after != before) {
        fail("applied report", "a report file that did not load changed the drawing");
    }
    acDocManager->qvReset();
}

struct Reader {
    const char* name;
    void (*read)(const std::string& bytes);
};

constexpr Reader kReaders[] = {
    {"server preferences", serverPreferences},
    {"error log", errorLog},
    {"debug log", debugLog},
    {"graphic report", graphicReport},
    {"applied report", appliedReport},
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/qv-xml-fuzz-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    g_drive = pattern;
    CoInitialize(nullptr);
    qv::win32::setDriveRoot(L'C', g_drive.string());
    std::atexit([] {
        std::error_code ec;
        fs::remove_all(g_drive, ec);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    for (const Reader& reader : kReaders) {
        reader.read(input);
    }
    return 0;
}
