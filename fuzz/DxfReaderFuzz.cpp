// libFuzzer target for the DXF reader. Any input must load or be refused with a DxfError; what
// loads must write and read again to the same records with nothing left to repair.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/dxf/DxfError.h"
#include "host/dxf/DxfFile.h"

namespace {

using namespace qv::dxf;

[[noreturn]] void fail(const char* what, const AuditReport& report) {
    std::fprintf(stderr, "%s\n%s", what, report.text().c_str());
    std::abort();
}

// Fixes that a file written by us may still need: they are about content, not form.
bool contentOnly(Fix fix) {
    return fix == Fix::MissingOwner || fix == Fix::UnknownVersion ||
           fix == Fix::UnsupportedCodePage;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    AuditReport report;
    DxfFile file;
    try {
        file = readDxf(std::string(reinterpret_cast<const char*>(data), size), report);
    } catch (const DxfError&) {
        return 0;
    }
    const std::string written = writeDxf(file);
    AuditReport again;
    DxfFile back;
    try {
        back = readDxf(written, again);
    } catch (const DxfError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        fail("a file we wrote was refused", again);
    }
    for (const AuditEntry& entry : again.entries()) {
        if (!contentOnly(entry.fix)) {
            fail("a file we wrote needed repairs", again);
        }
    }
    if (back.sections.size() != file.sections.size() || back.version != file.version ||
        back.handleSeed != file.handleSeed) {
        std::fprintf(stderr, "sections %zu/%zu version %d/%d seed %llu/%llu\n",
                     file.sections.size(), back.sections.size(), static_cast<int>(file.version),
                     static_cast<int>(back.version),
                     static_cast<unsigned long long>(file.handleSeed),
                     static_cast<unsigned long long>(back.handleSeed));
        fail("sections, version or handle seed changed", again);
    }
    for (size_t i = 0; i < file.sections.size(); ++i) {
        const Section& a = file.sections[i];
        const Section& b = back.sections[i];
        if (a.name != b.name || !(a.head == b.head) || a.records != b.records) {
            fail("a section changed in a write and a read", again);
        }
    }
    return 0;
}
