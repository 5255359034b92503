// Small vocabulary for DXF tests: files written as alternating group code and value lines.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/dxf/AuditReport.h"

namespace qv::dxf::test {

// Lines joined with LF, and a final LF: lines({"0", "EOF"}) is "0\nEOF\n".
inline std::string lines(std::initializer_list<std::string_view> items) {
    std::string out;
    for (std::string_view item : items) {
        out += item;
        out += '\n';
    }
    return out;
}

// A minimal file of one section with the given content lines.
inline std::string section(std::string_view name, std::string_view content) {
    return "0\nSECTION\n2\n" + std::string(name) + "\n" + std::string(content) + "0\nENDSEC\n";
}

// The fixes of a report, in order, as numbers.
inline std::vector<int> fixes(const AuditReport& report) {
    std::vector<int> out;
    for (const AuditEntry& entry : report.entries()) {
        out.push_back(static_cast<int>(entry.fix));
    }
    return out;
}

// The folder of real sample drawings: $QV_DXF_SAMPLES, or shared/dxf-samples beside the source
// tree (a CI clone) or beside the folder of work trees. Empty when there is none.
inline std::filesystem::path sampleFolder() {
    if (const char* folder = std::getenv("QV_DXF_SAMPLES")) {
        return folder;
    }
    const char* source = std::getenv("QV_SOURCE_DIR");
    const std::filesystem::path root = source ? source : ".";
    for (const char* relative : {"../shared/dxf-samples", "../../shared/dxf-samples"}) {
        if (std::filesystem::is_directory(root / relative)) {
            return std::filesystem::weakly_canonical(root / relative);
        }
    }
    return {};
}

}  // namespace qv::dxf::test
