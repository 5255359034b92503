#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/TempDrive.h"
#include "win32/DrivePaths.h"
#include "win32/WinError.h"

namespace {

using qv::test::DriveTest;

struct MapCase {
    const wchar_t* windows;
    std::string expected;  // "@" stands for the C: folder; empty: fails with `error`
    DWORD error;
};

class DrivePaths : public DriveTest {
  protected:
    std::string resolve(const wchar_t* windows, DWORD& error) {
        error = ERROR_SUCCESS;
        const auto p = qv::win32::toPosixPath(windows, &error);
        return p ? *p : std::string();
    }
    std::string expand(const std::string& expected) {
        return expected.rfind('@', 0) == 0 ? drive.root() + expected.substr(1) : expected;
    }
};

TEST_F(DrivePaths, MapDrivesAndFoldNamesAsWindowsDoes) {
    drive.writeFile("Plans/Level1.dwg", "x");
    drive.writeFile("both/Data.txt", "upper");
    drive.writeFile("both/data.txt", "lower");
    const MapCase cases[] = {
        {L"C:\\Plans\\Level1.dwg", "@/Plans/Level1.dwg", 0},
        {L"c:/plans/LEVEL1.DWG", "@/Plans/Level1.dwg", 0},
        {L"C:\\PLANS\\missing\\new.txt", "@/Plans/missing/new.txt", 0},
        {L"C:\\both\\data.txt", "@/both/data.txt", 0},
        {L"C:\\both\\DATA.txt", "@/both/Data.txt", 0},
        {L"C:\\Plans\\", "@/Plans/", 0},
        {L"C:\\", "@", 0},
        {L"C:\\a\\..\\..\\Plans\\.\\Level1.dwg", "@/Plans/Level1.dwg", 0},
        {L"C:\\\\Plans\\\\Level1.dwg", "@/Plans/Level1.dwg", 0},
        {L"C:\\Plans.\\Level1.dwg  ", "@/Plans/Level1.dwg", 0},
        {L"\\\\?\\C:\\Plans", "@/Plans", 0},
        {L"Plans\\Level1.dwg", "@/Plans/Level1.dwg", 0},
        {L"\\Plans", "@/Plans", 0},
        {L"C:Plans", "@/Plans", 0},
        {L"Z:\\usr\\bin", "/usr/bin", 0},
        {L"z:\\", "/", 0},
        {L"Q:\\file.txt", "", ERROR_PATH_NOT_FOUND},
        {L"\\\\server\\share\\file.txt", "", ERROR_BAD_NETPATH},
        {L"\\\\.\\COM1", "", ERROR_PATH_NOT_FOUND},
        {L"", "", ERROR_PATH_NOT_FOUND},
        {L"C:\\bad<name>.txt", "", ERROR_INVALID_NAME},
        {L"C:\\a:b", "", ERROR_INVALID_NAME},
    };
    for (const auto& c : cases) {
        DWORD error = 0;
        const std::string got = resolve(c.windows, error);
        EXPECT_EQ(expand(c.expected), got) << CStringA(c.windows).GetString();
        EXPECT_EQ(c.error, error) << CStringA(c.windows).GetString();
    }
}

TEST_F(DrivePaths, RelativePathsFollowTheCurrentDirectory) {
    drive.makeFolder("work/sub");
    ASSERT_TRUE(SetCurrentDirectoryW(L"c:\\WORK\\"));
    EXPECT_EQ(CString(L"c:\\WORK"), qv::win32::currentDirectory());
    DWORD error = 0;
    EXPECT_EQ(drive.root() + "/work/sub/f.txt", resolve(L"sub\\f.txt", error));
    EXPECT_EQ(drive.root() + "/x.txt", resolve(L"..\\x.txt", error));

    wchar_t buffer[MAX_PATH];
    LPWSTR filePart = nullptr;
    ASSERT_EQ(17u, GetFullPathNameW(L"sub\\.\\f.txt", MAX_PATH, buffer, &filePart));
    EXPECT_STREQ(L"c:\\WORK\\sub\\f.txt", buffer);
    EXPECT_STREQ(L"f.txt", filePart);
    EXPECT_EQ(18u, GetFullPathNameW(L"sub\\f.txt", 5, buffer, nullptr)) << "size with the zero";

    EXPECT_EQ(8u, GetCurrentDirectoryW(3, buffer));
    EXPECT_EQ(7u, GetCurrentDirectoryW(MAX_PATH, buffer));
    EXPECT_STREQ(L"c:\\WORK", buffer);
}

// "X:name" starts at the current directory when X: is its drive (whatever the letter's case),
// at the root of X: otherwise.
TEST_F(DrivePaths, DriveRelativePathsStartAtTheCurrentDirectoryOfTheirDrive) {
    drive.makeFolder("work/sub");
    drive.makeFolder("d/sub");
    qv::win32::setDriveRoot(L'D', drive.posix("d"));
    const struct Unmap {
        ~Unmap() { qv::win32::setDriveRoot(L'D', ""); }
    } unmapD;
    ASSERT_TRUE(SetCurrentDirectoryW(L"c:\\work"));
    const struct {
        const wchar_t* path;
        const wchar_t* full;
        std::string posix;  // "@" stands for the C: folder
    } cases[] = {
        {L"C:sub\\f.txt", L"C:\\work\\sub\\f.txt", "@/work/sub/f.txt"},
        {L"c:sub", L"c:\\work\\sub", "@/work/sub"},
        {L"C:", L"C:\\work", "@/work"},
        {L"C:..\\x.txt", L"C:\\x.txt", "@/x.txt"},
        {L"C:\\sub", L"C:\\sub", "@/sub"},
        {L"D:sub\\f.txt", L"D:\\sub\\f.txt", drive.posix("d") + "/sub/f.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(CStringA(c.path).GetString());
        wchar_t buffer[MAX_PATH];
        ASSERT_GT(GetFullPathNameW(c.path, MAX_PATH, buffer, nullptr), 0u);
        EXPECT_STREQ(c.full, buffer);
        DWORD error = 0;
        EXPECT_EQ(expand(c.posix), resolve(c.path, error));
    }
    // From D:, a path on C: starts at the root of C:.
    ASSERT_TRUE(SetCurrentDirectoryW(L"D:\\sub"));
    DWORD error = 0;
    EXPECT_EQ(drive.root() + "/f.txt", resolve(L"C:f.txt", error));
    EXPECT_EQ(drive.posix("d") + "/sub/f.txt", resolve(L"d:f.txt", error));
}

TEST_F(DrivePaths, SetCurrentDirectoryRefusesWhatIsNoFolder) {
    drive.writeFile("file.txt", "x");
    const struct {
        const wchar_t* path;
        DWORD error;
    } cases[] = {
        {L"C:\\missing", ERROR_FILE_NOT_FOUND},
        {L"C:\\missing\\deeper", ERROR_PATH_NOT_FOUND},
        {L"C:\\file.txt", ERROR_DIRECTORY},
        {L"Q:\\", ERROR_PATH_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(SetCurrentDirectoryW(c.path)) << CStringA(c.path).GetString();
        EXPECT_EQ(c.error, GetLastError()) << CStringA(c.path).GetString();
    }
    EXPECT_EQ(CString(L"C:\\"), qv::win32::currentDirectory());
}

TEST_F(DrivePaths, PosixPathsBecomeWindowsPathsOnTheDriveThatHoldsThem) {
    drive.makeFolder("sub");
    qv::win32::setDriveRoot(L'D', drive.posix("sub"));
    EXPECT_EQ(CString(L"C:\\a\\b.txt"), qv::win32::toWindowsPath(drive.posix("a/b.txt")));
    EXPECT_EQ(CString(L"C:\\"), qv::win32::toWindowsPath(drive.root()));
    EXPECT_EQ(CString(L"D:\\f.txt"), qv::win32::toWindowsPath(drive.posix("sub/f.txt")));
    EXPECT_EQ(CString(L"Z:\\usr\\bin\\"), qv::win32::toWindowsPath("/usr/./lib/../bin/"));
    EXPECT_EQ(CString(L"Z:\\"), qv::win32::toWindowsPath("/"));
    qv::win32::setDriveRoot(L'D', "");
    EXPECT_EQ(std::string(), qv::win32::driveRoot(L'D'));
    DWORD error = 0;
    EXPECT_EQ(std::string(), resolve(L"D:\\f.txt", error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), error);
}

// Two drives mapped to one folder: the letter first in the alphabet names the paths there,
// whichever was mapped first, and Z: only paths that no other drive holds.
TEST_F(DrivePaths, OfTwoDrivesOnOneFolderTheFirstLetterNamesIt) {
    drive.makeFolder("shared");
    const struct {
        const char* what;
        std::vector<std::pair<wchar_t, std::string>> mappings;  // in the order made
        std::string posix;
        const wchar_t* windows;
    } cases[] = {
        {"two drives, the later letter mapped first",
         {{L'F', drive.posix("shared")}, {L'D', drive.posix("shared")}},
         drive.posix("shared/a.txt"),
         L"D:\\a.txt"},
        {"the earlier letter mapped first",
         {{L'D', drive.posix("shared")}, {L'F', drive.posix("shared")}},
         drive.posix("shared/a.txt"),
         L"D:\\a.txt"},
        {"a second drive on the folder of C:",
         {{L'E', drive.root()}},
         drive.posix("a.txt"),
         L"C:\\a.txt"},
        {"a drive on the folder of Z:", {{L'Y', "/"}}, "/usr/bin", L"Y:\\usr\\bin"},
        {"the longer folder still wins",
         {{L'E', drive.root()}, {L'F', drive.posix("shared")}},
         drive.posix("shared/a.txt"),
         L"F:\\a.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& [letter, folder] : c.mappings) {
            qv::win32::setDriveRoot(letter, folder);
        }
        EXPECT_EQ(CString(c.windows), qv::win32::toWindowsPath(c.posix));
        for (const auto& [letter, folder] : c.mappings) {
            qv::win32::setDriveRoot(letter, "");
        }
    }
}

TEST_F(DrivePaths, TempPathIsAnExistingFolderEndingInABackslash) {
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, buffer);
    ASSERT_GT(n, 3u);
    EXPECT_EQ(L'\\', buffer[n - 1]);
    EXPECT_EQ(n + 1, GetTempPathW(2, buffer));
}

}  // namespace
