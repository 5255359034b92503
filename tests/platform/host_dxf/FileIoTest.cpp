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

// A file written piece by piece: pieces and a later overwrite land where they belong, in a new
// file as in a hard-linked one written in place; without commit the old file stays.
TEST_F(FileIoTest, AFileIsReplacedPieceByPiece) {
    const std::string file = path("drawing.dxf");
    const std::string linked = path("linked.dxf");
    writeFileAtomically(file, "old");
    for (const std::string& saved : {file, linked}) {
        SCOPED_TRACE(saved);
        {
            FileReplacement replacement(saved);
            replacement.write("first ");
            replacement.write("0000 ");
            replacement.write(std::string(100'000, 'x'));
            // destroyed without commit
        }
        EXPECT_EQ(readWholeFile(file), "old");
        FileReplacement replacement(saved);
        replacement.write("first ");
        replacement.write("0000 ");
        replacement.write("last");
        replacement.overwrite(6, "1A2B");
        replacement.commit();
        EXPECT_EQ(readWholeFile(saved), "first 1A2B last");
        if (saved == file) {
            writeFileAtomically(file, "old");
            ASSERT_EQ(::link(file.c_str(), linked.c_str()), 0);
        }
    }
    EXPECT_EQ(readWholeFile(file), "first 1A2B last") << "the hard link was separated";
    EXPECT_EQ(entries(), 2u) << "no temporary file is left";
}

// A save through a symbolic link writes its target and keeps the link; a file with another hard
// link is written where it is, so that both names see the new drawing; what is no regular file, a
// read-only file and a link that leads to no file are refused and left as they were.
TEST_F(FileIoTest, ASaveFollowsLinksAndRefusesWhatIsNoFile) {
    const std::string target = path("target.dxf");
    writeFileAtomically(target, "old");
    const std::string link = path("link.dxf");
    const std::string relative = path("relative.dxf");
    const std::string dangling = path("dangling.dxf");
    const std::string hard = path("hard.dxf");
    const std::string pipe = path("pipe.dxf");
    const std::string readOnly = path("ro.dxf");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    ASSERT_EQ(::symlink("link.dxf", relative.c_str()), 0);  // a link to a link, relative
    ASSERT_EQ(::symlink("new.dxf", dangling.c_str()), 0);
    ASSERT_EQ(::link(target.c_str(), hard.c_str()), 0);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    writeFileAtomically(readOnly, "kept");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);

    const struct {
        std::string saved;
        std::string readBack;  // where the new content must be
    } written[] = {{link, target}, {relative, target}, {hard, target}};
    for (const auto& w : written) {
        SCOPED_TRACE(w.saved);
        const std::string content = "saved as " + w.saved;
        ASSERT_NO_THROW(writeFileAtomically(w.saved, content));
        EXPECT_EQ(readWholeFile(w.readBack), content);
        EXPECT_EQ(readWholeFile(w.saved), content);
    }
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(relative));
    EXPECT_TRUE(fs::equivalent(target, hard)) << "the hard link was separated";

    const std::string folder = path("folder.dxf");
    fs::create_directory(folder);
    const struct {
        std::string saved;
        const char* reason;
    } refused[] = {
        {pipe, "it is no regular file"},
        {folder, "it is a folder"},
        {"/dev/null", "it is no regular file"},
        {dangling, "it is a link to a file that does not exist"},
        {readOnly, "the file is read-only"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.saved);
        try {
            writeFileAtomically(r.saved, "new");
            ADD_FAILURE() << "saved over what may not be written";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()).rfind("cannot write " + r.saved, 0), 0u)
                << error.what();
            EXPECT_NE(std::string(error.what()).find(r.reason), std::string::npos) << error.what();
        }
    }
    EXPECT_EQ(fs::status(pipe).type(), fs::file_type::fifo);
    EXPECT_EQ(fs::status("/dev/null").type(), fs::file_type::character);
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_FALSE(fs::exists(path("new.dxf"))) << "a link to nothing made its file";
    EXPECT_EQ(readWholeFile(readOnly), "kept");
    EXPECT_EQ(entries(), 8u) << "no temporary file is left";
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
