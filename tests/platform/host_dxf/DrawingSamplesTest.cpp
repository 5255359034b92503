#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "DrawingDump.h"
#include "DxfTestText.h"
#include "host/dxf/DrawingReader.h"
#include "host/dxf/DrawingWriter.h"
#include "host/dxf/DxfError.h"
#include "host/dxf/FileIo.h"

namespace qv::dxf {
namespace {

// What the damaged samples give; every other sample loads without a single warning.
struct Expected {
    const char* refusal = nullptr;
    std::map<Fix, size_t> fixes;
};

const std::map<std::string, Expected>& damagedSamples() {
    static const std::map<std::string, Expected> damaged = {
        {"bin_dxf_r2000.dxf",
         {"this is a binary DXF file, which cannot be read; save the drawing as ASCII DXF", {}}},
        // It holds no tables at all.
        {"R12_with_trash_beyond_EOF.dxf",
         {nullptr, {{Fix::DataAfterEof, 1}, {Fix::MissingReference, 1}, {Fix::AddedStructure, 7}}}},
        {"duplicate_handles.dxf",
         {nullptr,
          {{Fix::DuplicateHandle, 26},
           {Fix::MissingHandle, 2},
           {Fix::HandleSeed, 1},
           {Fix::RefusedValue, 1}}}},
        {"empty_handles.dxf",
         {nullptr,
          {{Fix::MissingHandle, 8}, {Fix::MissingReference, 2}, {Fix::AddedStructure, 5}}}},
        {"ASCII_R12.dxf", {nullptr, {}}},
        // Its texts are on layers the file does not define.
        {"mtext_columns_R2018.dxf", {nullptr, {{Fix::MissingReference, 2}}}},
        // A layer name with "\U+00FC" written literally: a backslash, read as the escape.
        {"dxf_unicode.dxf", {nullptr, {{Fix::InvalidName, 1}}}},
    };
    return damaged;
}

std::map<Fix, size_t> countFixes(const AuditReport& report) {
    std::map<Fix, size_t> counts;
    for (const AuditEntry& entry : report.entries()) {
        ++counts[entry.fix];
    }
    return counts;
}

// Every sample drawing loads into the database or is refused with a message; what loads is
// saved and read again into the same database (objects, handles, properties, what was kept),
// with nothing left to repair, and saving that gives the same text again.
TEST(DrawingSamples, LoadOrAreRefusedAndRoundTripToTheSameDatabase) {
    const auto files = test::dxfFilesIn(test::sampleFolder());
    ASSERT_GE(files.size(), 16u) << "no sample drawings: set QV_DXF_SAMPLES";
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        SCOPED_TRACE(name);
        const auto it = damagedSamples().find(name);
        const Expected expected = it != damagedSamples().end() ? it->second : Expected{};
        AcDbDatabase first(false, true);
        AuditReport report;
        try {
            readDrawing(readWholeFile(path.string()), first, report);
        } catch (const DxfError& error) {
            ASSERT_NE(expected.refusal, nullptr) << error.what();
            EXPECT_EQ(std::string(error.what()), expected.refusal);
            continue;
        }
        EXPECT_EQ(expected.refusal, nullptr) << "loaded although it should be refused";
        EXPECT_EQ(countFixes(report), expected.fixes) << report.text();

        const std::string written = writeDrawing(first);
        AcDbDatabase second(false, true);
        AuditReport again;
        readDrawing(written, second, again);
        EXPECT_TRUE(again.empty()) << again.text();
        const std::string a = test::dumpDatabase(first), b = test::dumpDatabase(second);
        EXPECT_EQ(a, b);
        if (a != b) {
            std::ofstream("/tmp/qv-dump-a-" + name + ".txt") << a;
            std::ofstream("/tmp/qv-dump-b-" + name + ".txt") << b;
        }
        EXPECT_EQ(writeDrawing(second), written);
    }
}

}  // namespace
}  // namespace qv::dxf
