// libFuzzer target for the drawing reader: any input must load into a database or be refused
// with a DxfError. What loads must be written, and what was written must load again without a
// single repair and be written again to the same text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/db/AcDbDatabase.h"
#include "host/dxf/DrawingReader.h"
#include "host/dxf/DrawingWriter.h"
#include "host/dxf/DxfError.h"

namespace {

using namespace qv::dxf;

[[noreturn]] void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string written;
    {
        AcDbDatabase db(false, true);
        AuditReport report;
        try {
            readDrawing(input, db, report);
        } catch (const DxfError&) {
            return 0;
        }
        try {
            written = writeDrawing(db);
        } catch (const std::invalid_argument&) {
            return 0;  // a number DXF cannot hold (refused, as a save would be)
        }
    }
    AcDbDatabase again(false, true);
    AuditReport report;
    try {
        readDrawing(written, again, report);
    } catch (const DxfError& error) {
        fail("a file the host wrote was refused", error.what());
    }
    if (!report.empty()) {
        fail("a file the host wrote needed repairs", report.text());
    }
    if (writeDrawing(again) != written) {
        fail("a file the host wrote was written differently after reading it", "");
    }
    return 0;
}
