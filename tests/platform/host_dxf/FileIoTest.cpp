#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "host/dxf/FileIo.h"

namespace qv::dxf {
namespace {

namespace fs = std::filesystem;

class FileIoTest : public ::testing::Test {
  protected:
    FileIoTest() {
        std::string pattern = (fs::temp_directory_path() / "qv-dxf-io-XXXXXX").string();
        m_dir = ::mkdtemp(pattern.data());
    }
    ~FileIoTest() override {
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(m_dir);
    }
    std::string path(const char* name) const { return (m_dir / name).string(); }
    size_t entries() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(m_dir), {}));
    }

    fs::path m_dir;
};

TEST_F(FileIoTest, WritesAndReplacesWholeFiles) {
    const std::string file = path("drawing.dwg");
    writeFileAtomically(file, "first");
    EXPECT_EQ(readWholeFile(file), "first");
    ::chmod(file.c_str(), 0600);
    const std::string big(3'000'000, 'x');
    writeFileAtomically(file, big);
    EXPECT_EQ(readWholeFile(file), big);
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "a replaced drawing keeps its permissions";
    EXPECT_EQ(entries(), 1u) << "no temporary file is left";
}

TEST_F(FileIoTest, AFailedSaveLeavesTheOldDrawingAndNoTemporaryFile) {
    const std::string file = path("drawing.dxf");
    writeFileAtomically(file, "old");
    if (::geteuid() != 0) {
        fs::permissions(m_dir, fs::perms::owner_write, fs::perm_options::remove);
        EXPECT_THROW(writeFileAtomically(file, "new"), std::runtime_error);
        fs::permissions(m_dir, fs::perms::owner_write, fs::perm_options::add);
    }
    // A directory where the drawing should be: the rename fails after the data is written.
    const std::string blocked = path("blocked.dxf");
    fs::create_directory(blocked);
    fs::create_directory(fs::path(blocked) / "inside");
    try {
        writeFileAtomically(blocked, "new");
        ADD_FAILURE() << "saved over a folder";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("cannot write " + blocked), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(readWholeFile(file), "old");
    EXPECT_EQ(entries(), 2u);
    EXPECT_THROW(readWholeFile(path("missing.dxf")), std::runtime_error);
    EXPECT_THROW(readWholeFile(blocked), std::runtime_error);
}

}  // namespace
}  // namespace qv::dxf
