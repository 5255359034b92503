#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <map>

#include "DxfTestText.h"
#include "host/dxf/DxfError.h"
#include "host/dxf/DxfFile.h"
#include "host/dxf/FileIo.h"

namespace qv::dxf {
namespace {

// Every drawing in the sample folder loads or is refused with a message; what loads is written
// and read again to the same records, without a warning the second time.
TEST(DxfSamples, LoadOrAreRefusedAndSurviveAWriteAndARead) {
    const std::filesystem::path folder = test::sampleFolder();
    ASSERT_FALSE(folder.empty()) << "no sample drawings: set QV_DXF_SAMPLES";

    // What the damaged samples must give; the others must load without a single warning.
    struct Expected {
        const char* refusal = nullptr;
        std::map<Fix, size_t> fixes;
    };
    const std::map<std::string, Expected> damaged = {
        {"bin_dxf_r2000.dxf",
         {"this is a binary DXF file, which cannot be read; save the drawing as ASCII DXF", {}}},
        {"R12_with_trash_beyond_EOF.dxf", {nullptr, {{Fix::DataAfterEof, 1}}}},
        {"duplicate_handles.dxf",
         {nullptr, {{Fix::DuplicateHandle, 28}, {Fix::MissingHandle, 2}, {Fix::HandleSeed, 1}}}},
        {"empty_handles.dxf", {nullptr, {{Fix::MissingHandle, 8}}}},
        // R12 dimension styles carry an empty 105 handle.
        {"ASCII_R12.dxf", {nullptr, {{Fix::MissingHandle, 2}, {Fix::HandleSeed, 1}}}},
    };

    size_t seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".dxf") {
            continue;
        }
        ++seen;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const auto it = damaged.find(name);
        const Expected expected = it != damaged.end() ? it->second : Expected{};
        AuditReport report;
        try {
            const DxfFile file = readDxf(readWholeFile(entry.path().string()), report);
            EXPECT_EQ(expected.refusal, nullptr) << "loaded although it should be refused";
            std::map<Fix, size_t> got;
            for (const AuditEntry& e : report.entries()) {
                ++got[e.fix];
            }
            EXPECT_EQ(got, expected.fixes) << report.text();

            AuditReport again;
            const DxfFile back = readDxf(writeDxf(file), again);
            EXPECT_TRUE(again.empty()) << again.text();
            ASSERT_EQ(back.sections.size(), file.sections.size());
            for (size_t s = 0; s < file.sections.size(); ++s) {
                EXPECT_EQ(back.sections[s].name, file.sections[s].name);
                EXPECT_TRUE(back.sections[s].head == file.sections[s].head);
                EXPECT_TRUE(back.sections[s].records == file.sections[s].records)
                    << file.sections[s].name;
            }
            EXPECT_EQ(back.handleSeed, file.handleSeed);
        } catch (const DxfError& error) {
            ASSERT_NE(expected.refusal, nullptr) << error.what();
            EXPECT_EQ(std::string(error.what()), expected.refusal);
        }
    }
    EXPECT_GE(seen, 16u);
}

// ezdxf, which we did not write, reads what we wrote of each undamaged sample and finds the same
// drawing in it as in the original.
TEST(DxfSamples, RewrittenSamplesLoadInEzdxfWithTheSameContent) {
    const std::filesystem::path folder = test::sampleFolder();
    ASSERT_FALSE(folder.empty()) << "no sample drawings: set QV_DXF_SAMPLES";
    const char* source = std::getenv("QV_SOURCE_DIR");
    ASSERT_NE(source, nullptr) << "QV_SOURCE_DIR is not set";
    std::string pattern = (std::filesystem::temp_directory_path() / "qv-ezdxf-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const std::filesystem::path out = pattern;

    std::string command =
        "/usr/bin/python3 " + std::string(source) + "/tests/platform/host_dxf/ezdxf_compare.py";
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".dxf") {
            continue;
        }
        AuditReport report;
        try {
            const DxfFile file = readDxf(readWholeFile(entry.path().string()), report);
            if (!report.empty()) {
                continue;  // damaged: ezdxf would repair it its own way
            }
            const std::filesystem::path target = out / entry.path().filename();
            writeFileAtomically(target.string(), writeDxf(file));
            command += " '" + entry.path().string() + "' '" + target.string() + "'";
            ++files;
        } catch (const DxfError&) {
        }
    }
    EXPECT_GE(files, 10u);
    const int status = std::system((command + " 2>&1").c_str());
    std::filesystem::remove_all(out);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "ezdxf found differences (see the output above)";
}

}  // namespace
}  // namespace qv::dxf
