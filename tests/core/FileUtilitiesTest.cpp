#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <cerrno>
#include <ctime>
#include <filesystem>

#include "core/FileUtilities.h"
#include "support/TempDrive.h"

namespace {

std::string narrow(const CString& s) {
    return CStringA(s).GetString();
}

TEST(PathSyntax, PathTypesClassifyAndCleanFolders) {
    const struct {
        const wchar_t* path;
        int type;
        const wchar_t* after;
    } cases[] = {
        {L"report.xml", 0, L"report.xml"},
        {L"report", 3, L"report"},
        {L"C:\\data\\report.xml", 2, L"C:\\data\\report.xml"},
        {L"\\\\server\\share\\report.xml", 2, L"\\\\server\\share\\report.xml"},
        {L"C:\\data", 1, L"C:\\data\\"},
        {L"C:\\da:ta|x", 1, L"C:\\datax\\"},
        {L"data\\report.xml", 3, L"data\\report.xml"},
        {L"C:/data/report.xml", 3, L"C:/data/report.xml"},
        {L"", 3, L""},
    };
    for (const auto& c : cases) {
        CString path = c.path;
        EXPECT_EQ(c.type, CFileUtilities::getPathType(path)) << narrow(c.path);
        EXPECT_EQ(CString(c.after), path) << narrow(c.path);
    }
}

TEST(PathSyntax, FileNamesAreCheckedAndRepaired) {
    const struct {
        const wchar_t* name;
        BOOL valid;               // without repair (the name stays as it is)
        const wchar_t* repaired;  // with repair (always valid afterwards)
    } cases[] = {
        {L"plan.dwg", TRUE, L"plan.dwg"},
        {L"pl*an?.dwg", FALSE, L"plan.dwg"},
        {L"a:b:c", FALSE, L"a:bc"},
        {L"c:x::y:", FALSE, L"c:xy"},
        {L"c:plan.dwg", TRUE, L"c:plan.dwg"},
        {L"\\plan.dwg", FALSE, L"plan.dwg"},
        {L"", TRUE, L""},
    };
    for (const auto& c : cases) {
        CString unchanged = c.name;
        EXPECT_EQ(c.valid, CFileUtilities::checkFilenameSyntax(unchanged, FALSE)) << narrow(c.name);
        EXPECT_EQ(CString(c.name), unchanged);
        CString repaired = c.name;
        EXPECT_TRUE(CFileUtilities::checkFilenameSyntax(repaired, TRUE)) << narrow(c.name);
        EXPECT_EQ(CString(c.repaired), repaired) << narrow(c.name);
    }
}

TEST(PathSyntax, PathsLoseInvalidCharactersAndEndInABackslash) {
    const struct {
        const wchar_t* path;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\a:b", L"C:\\ab\\"},
        {L"C:\\a\\", L"C:\\a\\"},
        {L"C*:\\a", L"C\\a\\"},  // positions count in the given text: this colon is third
        {L":\\a", L"\\a\\"},
        {L"C:\\\"x\"\\<y>", L"C:\\x\\y\\"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        CString path = c.path;
        CFileUtilities::checkPathSyntax(path);
        EXPECT_EQ(CString(c.expected), path) << narrow(c.path);
    }
}

TEST(PathSyntax, ExtensionsAndFolders) {
    const struct {
        const wchar_t* name;
        const wchar_t* from;
        const wchar_t* to;
        const wchar_t* expected;
    } swaps[] = {
        {L"  plan.dwg ", L".dwg", L".pdf", L"plan.pdf"},
        {L"plan.DWG", L".dwg", L".pdf", L"plan.DWG.pdf"},
        {L"plan", L".dwg", L".vrk", L"plan.vrk"},
        {L".dwg", L".dwg", L".vrk", L".vrk"},
    };
    for (const auto& c : swaps) {
        EXPECT_EQ(CString(c.expected), CFileUtilities::swapFileExtension(c.name, c.from, c.to))
            << narrow(c.name);
    }

    const struct {
        const wchar_t* path;
        const wchar_t* folder;
    } folders[] = {
        {L"C:\\a\\b\\plan.dwg", L"C:\\a\\b\\"},
        {L"C:\\a\\b\\", L"C:\\a\\"},
        {L"plan.dwg", L""},
        {L"C:\\", L""},
    };
    for (const auto& c : folders) {
        EXPECT_EQ(CString(c.folder), CFileUtilities::getDirectoryString(c.path)) << narrow(c.path);
    }
}

class FileUtilitiesTest : public qv::test::DriveTest {};

TEST_F(FileUtilitiesTest, ExistenceOfFilesAndFolders) {
    drive.writeFile("data/plan.dwg", "x");
    drive.makeFolder("data/empty");
    const struct {
        const wchar_t* path;
        BOOL file;
        BOOL directory;
    } cases[] = {
        {L"C:\\data\\plan.dwg", TRUE, TRUE},      {L"C:\\DATA\\PLAN.DWG", TRUE, TRUE},
        {L"C:\\data\\empty", TRUE, TRUE},         {L"C:\\data\\empty\\", FALSE, TRUE},
        {L"C:\\data\\missing.dwg", FALSE, FALSE}, {L"C:\\nowhere\\plan.dwg", FALSE, FALSE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.file, CFileUtilities::fileExists(c.path)) << narrow(c.path);
        EXPECT_EQ(c.directory, CFileUtilities::directoryExists(c.path)) << narrow(c.path);
    }
}

TEST_F(FileUtilitiesTest, ModificationDateOfAFile) {
    drive.writeFile("plan.dwg", "x");
    const std::time_t stamp = 1236236649;  // 2009-03-05 07:04:09 UTC
    const utimbuf times{stamp, stamp};
    ASSERT_EQ(0, ::utime(drive.posix("plan.dwg").c_str(), &times));
    std::tm local{};
    ::localtime_r(&stamp, &local);

    COleDateTime modified(2000, 1, 1, 0, 0, 0);
    CFileUtilities::fileExists(L"C:\\plan.dwg", modified);
    EXPECT_TRUE(COleDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                             local.tm_min, local.tm_sec) == modified);

    COleDateTime missing(2000, 1, 1, 0, 0, 0);
    CFileUtilities::fileExists(L"C:\\missing.dwg", missing);
    EXPECT_EQ(COleDateTime::valid, missing.GetStatus());
    EXPECT_EQ(0.0, static_cast<DATE>(missing));
}

TEST_F(FileUtilitiesTest, EnsureDirectoryCreatesEveryMissingLevel) {
    qv::host::transcript().clear();
    const struct {
        const wchar_t* path;
        std::vector<std::string> created;
    } cases[] = {
        {L"C:\\a\\b\\c", {"a/b", "a/b/c"}},
        {L"C:\\x\\y", {"x", "x/y"}},
    };
    for (const auto& c : cases) {
        qv::test::TempDrive fresh;
        fresh.makeFolder("a");
        EXPECT_TRUE(CFileUtilities::ensureDirectoryExists(c.path)) << narrow(c.path);
        for (const auto& folder : c.created) {
            EXPECT_TRUE(std::filesystem::is_directory(fresh.posix(folder))) << folder;
        }
    }
    EXPECT_EQ(L"", qv::host::transcript().text());
}

TEST_F(FileUtilitiesTest, EnsureDirectoryReportsTheFirstLevelThatCannotBeMade) {
    qv::host::transcript().clear();
    drive.writeFile("a/file", "x");
    EXPECT_FALSE(CFileUtilities::ensureDirectoryExists(L"C:\\a\\file\\sub\\deeper"));
    EXPECT_EQ(L"Cannot create C:\\a\\file\\sub\n", qv::host::transcript().text());
    // A path without any folder to start from gives FALSE without a message.
    qv::host::transcript().clear();
    EXPECT_FALSE(CFileUtilities::ensureDirectoryExists(L"nowhere"));
    EXPECT_EQ(L"", qv::host::transcript().text());
    qv::host::transcript().clear();
}

TEST_F(FileUtilitiesTest, EnsureDirectoryNamesARefusedLevel) {
    // A folder that the system refuses to create in, whoever runs the test.
    if (::mkdir("/sys/qv-probe", 0777) == 0) {
        ::rmdir("/sys/qv-probe");
        GTEST_SKIP() << "no folder refuses creation here";
    }
    if (errno != EACCES && errno != EPERM)
        GTEST_SKIP() << "no folder refuses creation here";
    qv::host::transcript().clear();
    EXPECT_FALSE(CFileUtilities::ensureDirectoryExists(L"Z:\\sys\\qv-probe\\sub"));
    EXPECT_EQ(L"Cannot create Z:\\sys\\qv-probe - Access denied\n", qv::host::transcript().text());
    qv::host::transcript().clear();
}

TEST_F(FileUtilitiesTest, DeleteFileReportsWithoutRaising) {
    drive.writeFile("gone.dwg", "x");
    drive.writeFile("locked.dwg", "x");
    ASSERT_TRUE(SetFileAttributesW(L"C:\\locked.dwg", FILE_ATTRIBUTE_READONLY));
    drive.makeFolder("folder");
    const struct {
        const wchar_t* path;
        BOOL removed;
        const char* left;  // what must still be there afterwards, or null
    } cases[] = {
        {L"C:\\gone.dwg", TRUE, nullptr},         {L"C:\\gone.dwg", FALSE, nullptr},
        {L"C:\\locked.dwg", FALSE, "locked.dwg"}, {L"C:\\folder", FALSE, "folder"},
        {L"C:\\nowhere\\x.dwg", FALSE, nullptr},  {L"", FALSE, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.removed, CFileUtilities::deleteFile(c.path)) << narrow(c.path);
        if (c.left) {
            EXPECT_TRUE(drive.exists(c.left)) << c.left;
        }
    }
    EXPECT_FALSE(drive.exists("gone.dwg"));
}

TEST_F(FileUtilitiesTest, PickersAskTheUser) {
    ui.queueFolder(L"C:\\reports");
    EXPECT_EQ(CString(L"C:\\reports"), CFileUtilities::browseForFolder(L"Choose a folder"));
    ASSERT_EQ(1u, ui.shown().size());
    EXPECT_EQ(CString(L"folder"), ui.shown()[0].kind);
    EXPECT_EQ(CString(L"Choose a folder"), ui.shown()[0].text);

    drive.writeFile("reports/r1.xml", "<graphicReport/>");
    ui.queueFile(L"C:\\reports\\r1.xml");
    EXPECT_EQ(CString(L"C:\\reports\\r1.xml"),
              CFileUtilities::browseForFile(L"XML Graphic Reports (*.xml)|*.xml"));
    const auto& request = ui.lastFileRequest();
    EXPECT_TRUE(request.openMode);
    EXPECT_EQ(CString(L"XML Graphic Reports (*.xml)|*.xml||"), request.filter);
    EXPECT_TRUE(request.flags & OFN_READONLY);
    EXPECT_TRUE(request.defaultExt.empty());
    EXPECT_TRUE(request.fileName.empty());

    ui.queueFile(L"C:\\reports\\r1.xml");
    EXPECT_EQ(CString(L"C:\\reports\\r1.xml"),
              CFileUtilities::browseForFile(L"Open a report", L"C:\\reports", L"r1",
                                            L"All Files (*.*)|*.*"));
    EXPECT_EQ(CString(L"Open a report"), ui.lastFileRequest().title);
    EXPECT_EQ(CString(L"C:\\reports"), ui.lastFileRequest().initialFolder);
}

}  // namespace
