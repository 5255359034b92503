#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <memory>

#include "mfc/File.h"
#include "support/Raised.h"
#include "support/TempDrive.h"
#include "win32/WinError.h"

namespace {

using qv::test::DriveTest;

// The cause, Windows error and file name of the CFileException that `action` raises.
struct Raised {
    int cause = CFileException::none;
    LONG osError = 0;
    CString fileName;
    CString message;
};

Raised raisedBy(const std::function<void()>& action) {
    Raised r;
    if (const auto e = qv::test::raised<CFileException>(action)) {
        r = {e->m_cause, e->m_lOsError, e->m_strFileName, e->GetMessageText()};
    }
    return r;
}

class Files : public DriveTest {
  protected:
    void SetUp() override {
        drive.writeFile("data/file.bin", "0123456789");
        drive.writeFile("ro.txt", "locked");
        ::chmod(drive.posix("ro.txt").c_str(), 0444);
    }
};

TEST_F(Files, OpenFollowsTheFrameworksModes) {
    const struct {
        const char* name;
        const wchar_t* path;
        UINT flags;
        int cause;
        LONG osError;
        const char* contentAfter;  // of data/file.bin
    } cases[] = {
        {"read existing", L"C:\\data\\FILE.bin", CFile::modeRead, CFileException::none, 0,
         "0123456789"},
        {"read missing", L"C:\\data\\none.bin", CFile::modeRead, CFileException::fileNotFound, 2,
         "0123456789"},
        {"read in missing folder", L"C:\\none\\x.bin", CFile::modeRead, CFileException::badPath, 3,
         "0123456789"},
        {"keep", L"C:\\data\\file.bin",
         CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite, CFileException::none, 0,
         "0123456789"},
        {"write read-only", L"C:\\ro.txt", CFile::modeWrite, CFileException::accessDenied, 5,
         "0123456789"},
        {"open a folder", L"C:\\data", CFile::modeRead, CFileException::accessDenied, 5,
         "0123456789"},
        {"bad name", L"C:\\data\\a?b", CFile::modeRead, CFileException::badPath, 123, "0123456789"},
        {"create empties", L"C:\\data\\file.bin", CFile::modeCreate | CFile::modeWrite,
         CFileException::none, 0, ""},
    };
    for (const auto& c : cases) {
        CFile file;
        CFileException error;
        const BOOL ok = file.Open(c.path, c.flags, &error);
        EXPECT_EQ(c.cause == CFileException::none, ok != FALSE) << c.name;
        EXPECT_EQ(c.cause, error.m_cause) << c.name;
        if (!ok) {
            EXPECT_EQ(c.osError, error.m_lOsError) << c.name;
            EXPECT_EQ(CString(c.path), error.m_strFileName) << c.name;
        }
        file.Abort();
        EXPECT_EQ(c.contentAfter, drive.readFile("data/file.bin")) << c.name;
    }
    const Raised r = raisedBy([] { CFile f(L"C:\\gone.txt", CFile::modeRead); });
    EXPECT_EQ(CFileException::fileNotFound, r.cause);
    EXPECT_EQ(CString(L"C:\\gone.txt was not found."), r.message);
}

TEST_F(Files, ReadWriteSeekAndNames) {
    CFile file;
    ASSERT_TRUE(file.Open(L"c:\\Data\\File.Bin", CFile::modeReadWrite));
    EXPECT_EQ(CString(L"c:\\Data\\File.Bin"), file.GetFilePath());
    EXPECT_EQ(CString(L"File.Bin"), file.GetFileName());
    EXPECT_EQ(CString(L"File"), file.GetFileTitle());
    char buf[4] = {};
    EXPECT_EQ(4u, file.Read(buf, 4));
    EXPECT_EQ(std::string("0123"), std::string(buf, 4));
    EXPECT_EQ(10u, file.SeekToEnd());
    file.Write("ab", 2);
    EXPECT_EQ(12u, file.GetLength());
    EXPECT_EQ(2u, file.Seek(-10, CFile::current));
    EXPECT_EQ(4u, file.Read(buf, 4));
    EXPECT_EQ(std::string("2345"), std::string(buf, 4));
    EXPECT_EQ(CFileException::badSeek, raisedBy([&] { file.Seek(-1, CFile::begin); }).cause);
    file.SetLength(3);
    file.Close();
    EXPECT_EQ("012", drive.readFile("data/file.bin"));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(CFileException::invalidFile, raisedBy([&] { file.Read(buf, 1); }).cause);

    CFile readOnly(L"C:\\data\\file.bin", CFile::modeRead);
    const Raised r = raisedBy([&] { readOnly.Write("x", 1); });
    EXPECT_EQ(CFileException::accessDenied, r.cause);
    EXPECT_EQ(CString(L"C:\\data\\file.bin"), r.fileName);
}

TEST_F(Files, SharingModesKeepOtherOpensOut) {
    const struct {
        UINT first, second;
        bool secondOpens;
    } cases[] = {
        {CFile::modeRead | CFile::shareDenyNone, CFile::modeWrite | CFile::shareDenyNone, true},
        {CFile::modeRead | CFile::shareExclusive, CFile::modeRead | CFile::shareDenyNone, false},
        {CFile::modeRead, CFile::modeRead | CFile::shareDenyNone, false},
        {CFile::modeRead | CFile::shareDenyWrite, CFile::modeRead | CFile::shareDenyWrite, true},
        {CFile::modeRead | CFile::shareDenyWrite, CFile::modeWrite | CFile::shareDenyNone, false},
        {CFile::modeWrite | CFile::shareDenyNone, CFile::modeRead | CFile::shareDenyWrite, false},
    };
    for (const auto& c : cases) {
        CFile first(L"C:\\data\\file.bin", c.first);
        CFile second;
        CFileException error;
        EXPECT_EQ(c.secondOpens, second.Open(L"C:\\data\\file.bin", c.second, &error) != FALSE)
            << std::hex << c.first << " then " << c.second;
        if (!c.secondOpens) {
            EXPECT_EQ(CFileException::sharingViolation, error.m_cause);
        }
    }
}

TEST_F(Files, RemoveAndRenameRaiseWithTheWindowsCause) {
    const struct {
        const char* name;
        std::function<void()> action;
        int cause;
        LONG osError;
    } cases[] = {
        {"remove missing", [] { CFile::Remove(L"C:\\nothing.txt"); }, CFileException::fileNotFound,
         2},
        {"remove read-only", [] { CFile::Remove(L"C:\\ro.txt"); }, CFileException::accessDenied, 5},
        {"remove open",
         [] {
             CFile open(L"C:\\data\\file.bin", CFile::modeRead | CFile::shareDenyNone);
             CFile::Remove(L"C:\\data\\file.bin");
         },
         CFileException::sharingViolation, 32},
        {"rename onto existing", [] { CFile::Rename(L"C:\\data\\file.bin", L"C:\\ro.txt"); },
         CFileException::accessDenied, 183},
        {"rename", [] { CFile::Rename(L"C:\\data\\file.bin", L"C:\\moved.bin"); },
         CFileException::none, 0},
        {"remove", [] { CFile::Remove(L"C:\\moved.bin"); }, CFileException::none, 0},
    };
    for (const auto& c : cases) {
        const Raised r = raisedBy(c.action);
        EXPECT_EQ(c.cause, r.cause) << c.name;
        EXPECT_EQ(c.osError, r.osError) << c.name;
    }
    EXPECT_FALSE(drive.exists("moved.bin"));
}

TEST_F(Files, StatusIsFoundForFilesAndFolders) {
    clock.set({2009, 3, 5, 7, 4, 9, 0});
    const struct {
        const wchar_t* path;
        BOOL found;
        BYTE attribute;
        ULONGLONG size;
    } cases[] = {
        {L"C:\\DATA\\file.bin", TRUE, CFile::archive, 10},
        {L"C:\\ro.txt", TRUE, CFile::archive | CFile::readOnly, 6},
        {L"C:\\data", TRUE, CFile::directory, 0},
        {L"C:\\data\\", FALSE, 0, 0},
        {L"C:\\", FALSE, 0, 0},
        {L"C:\\data\\none.bin", FALSE, 0, 0},
        {L"K:\\data", FALSE, 0, 0},
    };
    for (const auto& c : cases) {
        CFileStatus status;
        EXPECT_EQ(c.found, CFile::GetStatus(c.path, status)) << CStringA(c.path).GetString();
        if (!c.found) {
            continue;
        }
        EXPECT_EQ(c.attribute, status.m_attribute) << CStringA(c.path).GetString();
        EXPECT_EQ(c.size, status.m_size) << CStringA(c.path).GetString();
        EXPECT_STREQ(c.path, status.m_szFullName);
        EXPECT_GE(status.m_mtime.GetYear(), 2020) << "the file system's time, not the clock's";
    }
    CFile open(L"C:\\data\\file.bin", CFile::modeRead);
    CFileStatus status;
    ASSERT_TRUE(open.GetStatus(status));
    EXPECT_EQ(10u, status.m_size);
    EXPECT_STREQ(L"C:\\data\\file.bin", status.m_szFullName);
}

}  // namespace
