#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "support/TempDrive.h"
#include "win32/DrivePaths.h"
#include "win32/Module.h"
#include "win32/Process.h"
#include "win32/Shell.h"
#include "win32/SystemMessage.h"
#include "win32/WinError.h"

namespace {

using qv::test::DriveTest;

// The shell folder picker as the module uses it: allocator, browse, path, free.
CString browse(const wchar_t* title, wchar_t* displayName) {
    IMalloc* malloc = nullptr;
    if (SHGetMalloc(&malloc) != 0) {
        return L"<no allocator>";
    }
    BROWSEINFOW info{};
    info.pszDisplayName = displayName;
    info.lpszTitle = title;
    CString result;
    if (PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info)) {
        wchar_t path[MAX_PATH];
        if (SHGetPathFromIDListW(list, path)) {
            result = path;
        }
        malloc->Free(list);
    }
    malloc->Release();
    return result;
}

using ShellPicker = DriveTest;

TEST_F(ShellPicker, AnswersWithTheDriversFolderOrNothing) {
    ui.queueFolder(L"C:\\Reports\\2009\\");
    ui.queueFolder(L"");
    wchar_t name[MAX_PATH] = L"unchanged";
    EXPECT_EQ(CString(L"C:\\Reports\\2009\\"), browse(L"Pick a folder", name));
    EXPECT_STREQ(L"2009", name);
    EXPECT_EQ(CString(), browse(L"Again", name));
    ASSERT_EQ(2u, ui.shown().size());
    EXPECT_EQ(CString(L"folder"), ui.shown()[0].kind);
    EXPECT_EQ(CString(L"Pick a folder"), ui.shown()[0].text);

    wchar_t path[MAX_PATH] = L"x";
    EXPECT_FALSE(SHGetPathFromIDListW(nullptr, path));
    EXPECT_STREQ(L"", path);
    const BYTE foreign[16] = {16, 0, 1, 2, 3, 4};
    EXPECT_FALSE(SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(foreign), path));
    IMalloc* malloc = nullptr;
    SHGetMalloc(&malloc);
    EXPECT_EQ(0, malloc->DidAlloc(const_cast<BYTE*>(foreign)));
    malloc->Free(const_cast<BYTE*>(foreign));  // not ours: left alone
}

TEST(CommandLineToArgv, SplitsAsTheRuntimeDoes) {
    const struct {
        const wchar_t* line;
        std::vector<std::wstring> args;
    } cases[] = {
        {L"\"C:\\Program Files\\viewer.exe\" \"C:\\plans\\level 1.csv\"",
         {L"C:\\Program Files\\viewer.exe", L"C:\\plans\\level 1.csv"}},
        {L"prog a\tb  c", {L"prog", L"a", L"b", L"c"}},
        {L"C:\\dir\\ \"x\"", {L"C:\\dir\\", L"x"}},
        {L"p a\\\\\"b c\" d", {L"p", L"a\\b c", L"d"}},
        {L"p a\\\\\\\"b", {L"p", L"a\\\"b"}},
        {L"p a\\b\\c", {L"p", L"a\\b\\c"}},
        {L"p \"say \"\"hi\"\"\"", {L"p", L"say \"hi\""}},
        {L"p \"\"", {L"p", L""}},
    };
    for (const auto& c : cases) {
        int count = 0;
        LPWSTR* argv = CommandLineToArgvW(c.line, &count);
        ASSERT_NE(nullptr, argv);
        std::vector<std::wstring> got(argv, argv + count);
        EXPECT_EQ(c.args, got) << CStringA(c.line).GetString();
        EXPECT_EQ(nullptr, argv[count]);
        EXPECT_EQ(nullptr, LocalFree(argv));
    }
}

class Processes : public DriveTest {
  protected:
    // Starts a command line and waits for it; the exit code, or -1 when it did not start.
    long run(const wchar_t* commandLine, const wchar_t* folder = nullptr) {
        std::wstring line = commandLine;
        STARTUPINFOW startup;
        GetStartupInfoW(&startup);
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOW;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                            nullptr, folder, &startup, &info)) {
            return -1;
        }
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(info.hProcess, 10000));
        DWORD code = STILL_ACTIVE;
        EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &code));
        EXPECT_TRUE(CloseHandle(info.hProcess));
        EXPECT_TRUE(CloseHandle(info.hThread));
        EXPECT_FALSE(CloseHandle(info.hThread));
        return static_cast<long>(code);
    }
    void writeScript(const std::string& relative, const std::string& body) {
        drive.writeFile(relative, "#!/bin/sh\n" + body);
        ::chmod(drive.posix(relative).c_str(), 0755);
    }
};

TEST_F(Processes, StartProgramsWithWindowsPathsMapped) {
    writeScript("my tools/write.sh", "printf '%s|%s' \"$1\" \"$(pwd)\" > \"$2\"\nexit 3\n");
    drive.makeFolder("work");
    EXPECT_EQ(3,
              run(L"\"C:\\my tools\\write.sh\" \"C:\\plans\\a b.csv\" C:\\out.txt", L"C:\\work"));
    EXPECT_EQ(drive.posix("plans/a b.csv") + "|" + drive.posix("work"), drive.readFile("out.txt"));
    EXPECT_EQ(3, run(L"C:\\my tools\\write.sh plain C:/out2.txt"));
    EXPECT_EQ("plain|" + drive.root(), drive.readFile("out2.txt"));
    EXPECT_EQ(0, run(L"true"));
}

TEST_F(Processes, ReportWhyAProgramCannotStart) {
    drive.writeFile("notes.txt", "not a program");
    ::chmod(drive.posix("notes.txt").c_str(), 0755);
    drive.makeFolder("folder");
    const struct {
        const wchar_t* line;
        const wchar_t* folder;
        DWORD error;
    } cases[] = {
        {L"C:\\missing.exe x", nullptr, ERROR_FILE_NOT_FOUND},
        {L"C:\\nodir\\missing.exe", nullptr, ERROR_PATH_NOT_FOUND},
        {L"C:\\folder", nullptr, ERROR_ACCESS_DENIED},
        {L"C:\\notes.txt", nullptr, ERROR_BAD_EXE_FORMAT},
        {L"true", L"C:\\nowhere", ERROR_DIRECTORY},
        {L"", nullptr, ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(-1, run(c.line, c.folder)) << CStringA(c.line).GetString();
        EXPECT_EQ(c.error, GetLastError()) << CStringA(c.line).GetString();
    }
}

TEST(ModuleFileName, IsTheProgramInItsWindowsForm) {
    char exe[PATH_MAX + 1] = {};
    ASSERT_GT(::readlink("/proc/self/exe", exe, PATH_MAX), 0);
    const CString expected = qv::win32::toWindowsPath(exe);
    ASSERT_EQ(L'Z', expected[0]);

    wchar_t buffer[MAX_PATH];
    EXPECT_EQ(static_cast<DWORD>(expected.GetLength()),
              GetModuleFileNameW(nullptr, buffer, MAX_PATH));
    EXPECT_EQ(expected, CString(buffer));

    wchar_t small[5];
    EXPECT_EQ(5u, GetModuleFileNameW(nullptr, small, 5));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(expected.Left(4), CString(small));

    qv::win32::setModuleFileName(L"C:\\Program Files\\Host\\host.exe");
    EXPECT_EQ(30u, GetModuleFileNameW(nullptr, buffer, MAX_PATH));
    EXPECT_STREQ(L"C:\\Program Files\\Host\\host.exe", buffer);
    qv::win32::setModuleFileName(CString());

    EXPECT_EQ(0u, GetModuleFileNameW(reinterpret_cast<HMODULE>(0x1234), buffer, MAX_PATH));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
}

}  // namespace
