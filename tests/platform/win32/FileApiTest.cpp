#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "mfc/File.h"
#include "support/TempDrive.h"
#include "win32/FileApi.h"
#include "win32/WinError.h"

namespace {

using qv::test::DriveTest;

struct Outcome {
    const char* name;
    std::function<BOOL()> call;
    BOOL result;
    DWORD error;  // checked when the call fails
};

class FileApi : public DriveTest {
  protected:
    void SetUp() override {
        drive.writeFile("dir/file.txt", "content");
        drive.writeFile("dir/other.txt", "other");
        drive.writeFile("ro.txt", "locked");
        drive.makeFolder("empty");
        ::chmod(drive.posix("ro.txt").c_str(), 0444);
    }
    void check(const Outcome* cases, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            SetLastError(0);
            EXPECT_EQ(cases[i].result, cases[i].call()) << cases[i].name;
            if (!cases[i].result) {
                EXPECT_EQ(cases[i].error, GetLastError()) << cases[i].name;
            }
        }
    }
};

TEST_F(FileApi, AttributesTellFoldersFilesAndReadOnlyFiles) {
    const struct {
        const wchar_t* path;
        DWORD attributes;
        DWORD error;
    } cases[] = {
        {L"C:\\dir", FILE_ATTRIBUTE_DIRECTORY, 0},
        {L"C:\\DIR\\", FILE_ATTRIBUTE_DIRECTORY, 0},
        {L"C:\\dir\\FILE.TXT", FILE_ATTRIBUTE_ARCHIVE, 0},
        {L"C:\\ro.txt", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY, 0},
        {L"C:\\dir\\none.txt", INVALID_FILE_ATTRIBUTES, ERROR_FILE_NOT_FOUND},
        {L"C:\\nodir\\none.txt", INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
        {L"C:\\dir\\file.txt\\x", INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
        {L"M:\\dir", INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
        {L"\\\\server\\share", INVALID_FILE_ATTRIBUTES, ERROR_BAD_NETPATH},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(c.attributes, GetFileAttributesW(c.path)) << CStringA(c.path).GetString();
        EXPECT_EQ(c.error, GetLastError()) << CStringA(c.path).GetString();
    }
    ASSERT_TRUE(SetFileAttributesW(L"C:\\ro.txt", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesW(L"C:\\ro.txt"));
}

TEST_F(FileApi, FoldersAreMadeAndRemovedOneLevelAtATime) {
    const Outcome cases[] = {
        {"create new", [] { return CreateDirectoryW(L"C:\\dir\\new", nullptr); }, TRUE, 0},
        {"create existing", [] { return CreateDirectoryW(L"C:\\DIR\\NEW", nullptr); }, FALSE,
         ERROR_ALREADY_EXISTS},
        {"create over a file", [] { return CreateDirectoryW(L"C:\\dir\\file.txt", nullptr); },
         FALSE, ERROR_ALREADY_EXISTS},
        {"create two levels", [] { return CreateDirectoryW(L"C:\\a\\b", nullptr); }, FALSE,
         ERROR_PATH_NOT_FOUND},
        {"remove full", [] { return RemoveDirectoryW(L"C:\\dir"); }, FALSE, ERROR_DIR_NOT_EMPTY},
        {"remove a file", [] { return RemoveDirectoryW(L"C:\\dir\\file.txt"); }, FALSE,
         ERROR_DIRECTORY},
        {"remove missing", [] { return RemoveDirectoryW(L"C:\\gone"); }, FALSE,
         ERROR_FILE_NOT_FOUND},
        {"remove current", [] { return RemoveDirectoryW(L"C:\\"); }, FALSE,
         ERROR_SHARING_VIOLATION},
        {"remove empty", [] { return RemoveDirectoryW(L"C:\\empty\\"); }, TRUE, 0},
    };
    check(cases, std::size(cases));
    EXPECT_TRUE(drive.exists("dir/new"));
    EXPECT_FALSE(drive.exists("empty"));
}

TEST_F(FileApi, DeleteFileRefusesFoldersReadOnlyAndOpenFiles) {
    CFile open(L"C:\\dir\\other.txt", CFile::modeRead | CFile::shareDenyNone);
    const Outcome cases[] = {
        {"missing", [] { return DeleteFileW(L"C:\\dir\\none.txt"); }, FALSE, ERROR_FILE_NOT_FOUND},
        {"missing folder", [] { return DeleteFileW(L"C:\\no\\none.txt"); }, FALSE,
         ERROR_PATH_NOT_FOUND},
        {"folder", [] { return DeleteFileW(L"C:\\dir"); }, FALSE, ERROR_ACCESS_DENIED},
        {"read-only", [] { return DeleteFileW(L"C:\\ro.txt"); }, FALSE, ERROR_ACCESS_DENIED},
        {"in use", [] { return DeleteFileW(L"C:\\dir\\other.txt"); }, FALSE,
         ERROR_SHARING_VIOLATION},
        {"bad name", [] { return DeleteFileW(L"C:\\dir\\a|b"); }, FALSE, ERROR_INVALID_NAME},
        {"plain", [] { return DeleteFileW(L"c:\\Dir\\File.txt"); }, TRUE, 0},
    };
    check(cases, std::size(cases));
    EXPECT_FALSE(drive.exists("dir/file.txt"));
    open.Close();
    EXPECT_TRUE(DeleteFileW(L"C:\\dir\\other.txt"));
}

TEST_F(FileApi, CopyFileKeepsContentAndTimeAndHonoursFailIfExists) {
    struct stat before {};
    ::stat(drive.posix("dir/file.txt").c_str(), &before);
    const Outcome cases[] = {
        {"to new", [] { return CopyFileW(L"C:\\dir\\file.txt", L"C:\\copy.txt", TRUE); }, TRUE, 0},
        {"fail if exists", [] { return CopyFileW(L"C:\\dir\\other.txt", L"C:\\copy.txt", TRUE); },
         FALSE, ERROR_FILE_EXISTS},
        {"over read-only", [] { return CopyFileW(L"C:\\dir\\other.txt", L"C:\\ro.txt", FALSE); },
         FALSE, ERROR_ACCESS_DENIED},
        {"over a folder", [] { return CopyFileW(L"C:\\dir\\other.txt", L"C:\\empty", FALSE); },
         FALSE, ERROR_ACCESS_DENIED},
        {"from a folder", [] { return CopyFileW(L"C:\\dir", L"C:\\x", FALSE); }, FALSE,
         ERROR_ACCESS_DENIED},
        {"from missing", [] { return CopyFileW(L"C:\\none.txt", L"C:\\x", FALSE); }, FALSE,
         ERROR_FILE_NOT_FOUND},
        {"into missing folder", [] { return CopyFileW(L"C:\\ro.txt", L"C:\\no\\x", FALSE); }, FALSE,
         ERROR_PATH_NOT_FOUND},
        {"onto itself",
         [] { return CopyFileW(L"C:\\dir\\other.txt", L"C:\\DIR\\OTHER.TXT", FALSE); }, FALSE,
         ERROR_SHARING_VIOLATION},
    };
    check(cases, std::size(cases));
    EXPECT_EQ("content", drive.readFile("copy.txt"));
    struct stat after {};
    ::stat(drive.posix("copy.txt").c_str(), &after);
    EXPECT_EQ(before.st_mtim.tv_sec, after.st_mtim.tv_sec);
    EXPECT_TRUE(CopyFileW(L"C:\\dir\\other.txt", L"C:\\copy.txt", FALSE));
    EXPECT_EQ("other", drive.readFile("copy.txt"));
}

TEST_F(FileApi, MoveFileReplacesOnlyWhenAsked) {
    const Outcome cases[] = {
        {"onto existing",
         [] { return MoveFileExW(L"C:\\dir\\file.txt", L"C:\\dir\\other.txt", 0); }, FALSE,
         ERROR_ALREADY_EXISTS},
        {"onto read-only",
         [] { return MoveFileExW(L"C:\\dir\\file.txt", L"C:\\ro.txt", MOVEFILE_REPLACE_EXISTING); },
         FALSE, ERROR_ACCESS_DENIED},
        {"replace",
         [] {
             return MoveFileExW(L"C:\\dir\\file.txt", L"C:\\dir\\other.txt",
                                MOVEFILE_REPLACE_EXISTING);
         },
         TRUE, 0},
        {"missing", [] { return MoveFileW(L"C:\\dir\\file.txt", L"C:\\x.txt"); }, FALSE,
         ERROR_FILE_NOT_FOUND},
        {"case only", [] { return MoveFileW(L"C:\\dir\\other.txt", L"C:\\dir\\OTHER.txt"); }, TRUE,
         0},
        {"folder", [] { return MoveFileW(L"C:\\empty", L"C:\\dir\\moved"); }, TRUE, 0},
    };
    check(cases, std::size(cases));
    EXPECT_EQ("content", drive.readFile("dir/OTHER.txt"));
    EXPECT_FALSE(drive.exists("dir/other.txt"));
    EXPECT_TRUE(drive.exists("dir/moved"));
}

// Copies and moves onto links write the file a link leads to and keep the link; a link to no
// file is refused, and so is a file held open against writing (a drawing its copy must not
// reach, by whatever name).
TEST_F(FileApi, ReplacingWritesThroughLinksAndKeepsHeldFiles) {
    ::symlink("dir/other.txt", drive.posix("live.txt").c_str());
    ::symlink("dir/none.txt", drive.posix("gone.txt").c_str());
    drive.writeFile("plan.dwg", "plan");
    ::symlink("plan.dwg", drive.posix("alias.dwg").c_str());
    CFile held(L"C:\\plan.dwg", CFile::modeRead | CFile::shareDenyWrite);
    drive.writeFile("a.tmp", "moved");
    const Outcome cases[] = {
        {"move onto a link",
         [] { return MoveFileExW(L"C:\\a.tmp", L"C:\\live.txt", MOVEFILE_REPLACE_EXISTING); }, TRUE,
         0},
        {"move onto a link to nothing",
         [] {
             return MoveFileExW(L"C:\\dir\\file.txt", L"C:\\gone.txt", MOVEFILE_REPLACE_EXISTING);
         },
         FALSE, ERROR_CANT_RESOLVE_FILENAME},
        {"copy onto a link to nothing",
         [] { return CopyFileW(L"C:\\dir\\file.txt", L"C:\\gone.txt", FALSE); }, FALSE,
         ERROR_CANT_RESOLVE_FILENAME},
        {"copy onto a held file by a link",
         [] { return CopyFileW(L"C:\\dir\\file.txt", L"C:\\alias.dwg", FALSE); }, FALSE,
         ERROR_SHARING_VIOLATION},
    };
    check(cases, std::size(cases));
    EXPECT_EQ("moved", drive.readFile("dir/other.txt"));
    EXPECT_FALSE(drive.exists("a.tmp")) << "the moved file went";
    EXPECT_TRUE(drive.exists("dir/file.txt")) << "a refused move keeps its file";
    EXPECT_FALSE(drive.exists("dir/none.txt"));
    EXPECT_EQ("plan", drive.readFile("plan.dwg"));
    struct stat st {};
    EXPECT_TRUE(::lstat(drive.posix("live.txt").c_str(), &st) == 0 && S_ISLNK(st.st_mode));
}

}  // namespace
