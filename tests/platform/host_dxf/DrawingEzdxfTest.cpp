#include <gtest/gtest.h>

#include <fstream>

#include "DrawingDump.h"
#include "DxfTestText.h"
#include "host/dxf/DrawingReader.h"
#include "host/dxf/DrawingWriter.h"
#include "host/dxf/DxfError.h"
#include "host/dxf/FileIo.h"

namespace qv::dxf {
namespace {

using test::dxfFilesIn;

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Loads a drawing; false when it is refused.
bool load(const std::filesystem::path& path, AcDbDatabase& db, AuditReport& report) {
    try {
        readDrawing(readWholeFile(path.string()), db, report);
        return true;
    } catch (const DxfError&) {
        return false;
    }
}

// ezdxf reads what the host wrote of every sample drawing it loaded, finds no error in it, and
// sees what the host's database holds: tables, entities with their handles, layers, geometry,
// attributes, extended data, bulges and hatch loops.
TEST(DrawingEzdxf, ReadsWhatTheHostWroteOfEverySample) {
    const test::TempFolder out;
    std::vector<std::string> arguments = {"compare"};
    for (const auto& path : dxfFilesIn(test::sampleFolder())) {
        AcDbDatabase db(false, true);
        AuditReport report;
        if (!load(path, db, report)) {
            continue;
        }
        const std::filesystem::path written = out.path() / path.filename();
        const std::filesystem::path description = out.path() / (path.stem().string() + ".json");
        writeText(written, writeDrawing(db));
        writeText(description, test::describeForEzdxf(db));
        arguments.push_back(written.string());
        arguments.push_back(description.string());
    }
    ASSERT_GE(arguments.size(), 2 * 15u + 1);
    std::string output;
    EXPECT_EQ(test::runEzdxfCheck(arguments, output), 0) << output;
}

// The host reads drawings made by ezdxf (one for each version from R12 to 2018) and the sample
// drawings of other programs with the content that ezdxf sees in them.
TEST(DrawingEzdxf, HostReadsWhatOtherProgramsWrote) {
    const test::TempFolder made;
    std::string output;
    ASSERT_EQ(test::runEzdxfCheck({"make", made.path().string()}, output), 0) << output;
    std::vector<std::filesystem::path> files = dxfFilesIn(made.path());
    ASSERT_EQ(files.size(), 5u);
    for (const auto& path : dxfFilesIn(test::sampleFolder())) {
        // ezdxf itself refuses the escaped layer names of this one.
        if (path.filename() != "ASCII_R12.dxf") {
            files.push_back(path);
        }
    }
    std::vector<std::string> arguments = {"compare"};
    for (const auto& path : files) {
        AcDbDatabase db(false, true);
        AuditReport report;
        if (!load(path, db, report) || !report.empty()) {
            continue;  // refused or damaged: ezdxf repairs in its own way
        }
        const std::filesystem::path description =
            made.path() / (path.stem().string() + ".host.json");
        writeText(description, test::describeForEzdxf(db));
        arguments.push_back(path.string());
        arguments.push_back(description.string());
    }
    ASSERT_GE(arguments.size(), 2 * 10u + 1);
    output.clear();
    EXPECT_EQ(test::runEzdxfCheck(arguments, output), 0) << output;
}

}  // namespace
}  // namespace qv::dxf
