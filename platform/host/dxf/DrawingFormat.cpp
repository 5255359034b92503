#include "host/dxf/DrawingFormat.h"

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "host/CommandLine.h"
#include "host/DrawingFiles.h"
#include "host/dxf/AuditPrinting.h"
#include "host/dxf/DrawingReader.h"
#include "host/dxf/DrawingWriter.h"
#include "host/dxf/DxfError.h"
#include "host/dxf/FileIo.h"
#include "win32/CodePage.h"
#include "win32/DrivePaths.h"

namespace qv::dxf {
namespace {

void printError(const std::wstring& path, const std::string& message) {
    acutPrintf(L"Error: %s: %s\n", path.c_str(), qv::utf8ToWide(message).c_str());
}

}  // namespace

Acad::ErrorStatus loadDrawingFile(AcDbDatabase& database, const std::wstring& path) {
    const std::optional<std::string> posix = qv::win32::toPosixPath(path);
    std::error_code error;
    if (!posix || !std::filesystem::is_regular_file(*posix, error)) {
        return Acad::eFileNotFound;
    }
    std::unique_ptr<MappedFile> file;
    try {
        file = std::make_unique<MappedFile>(*posix);
    } catch (const std::exception& e) {
        printError(path, e.what());
        return Acad::eFileAccessErr;
    }
    AuditReport report;
    try {
        readDrawing(*file, database, report);
    } catch (const DxfError& e) {
        printAuditReport(path, report);
        printError(path, e.what());
        return Acad::eDwgNotRecognized;
    } catch (const std::exception& e) {
        printAuditReport(path, report);
        printError(path, e.what());
        return Acad::eDwgNotRecognized;
    }
    printAuditReport(path, report);
    return Acad::eOk;
}

Acad::ErrorStatus saveDrawingFile(const AcDbDatabase& database, const std::wstring& path) {
    DWORD error = 0;
    const std::optional<std::string> posix = qv::win32::toPosixPath(path, &error);
    if (!posix) {
        printError(path, "the path names no file that can be written");
        qv::host::setDrawingFileError(L"the path names no file that can be written");
        return Acad::eFileAccessErr;
    }
    // The text goes to the file as it is written: a large drawing is never in memory whole.
    struct FileSink : DrawingSink {
        FileReplacement& file;
        explicit FileSink(FileReplacement& f) : file(f) {}
        void write(std::string_view text) override { file.write(text); }
        void overwrite(size_t offset, std::string_view text) override {
            file.overwrite(offset, text);
        }
    };
    std::vector<std::string> leftOut;
    try {
        FileReplacement file(*posix);
        FileSink sink(file);
        try {
            writeDrawing(database, sink, &leftOut);
        } catch (const std::invalid_argument& e) {
            printError(path, std::string(e.what()) + "; the drawing was not saved");
            return Acad::eFilerError;
        }
        file.commit();
    } catch (const FileWriteError& e) {
        printError(path, e.what());
        qv::host::setDrawingFileError(qv::utf8ToWide(e.reason()));
        return Acad::eFileAccessErr;
    } catch (const std::exception& e) {
        printError(path, e.what());
        return Acad::eFileAccessErr;
    }
    for (const std::string& name : leftOut) {
        acutPrintf(L"Warning: %s: objects of the class %s could not be saved\n", path.c_str(),
                   qv::utf8ToWide(name).c_str());
    }
    return Acad::eOk;
}

void installFormat() {
    qv::host::setDrawingFileFormat({loadDrawingFile, saveDrawingFile});
}

namespace {
// The platform library installs the format when it is loaded.
const bool kInstalled = (installFormat(), true);
}  // namespace

}  // namespace qv::dxf
