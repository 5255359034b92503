#include <gtest/gtest.h>

#include "mfc/CString.h"
#include "mfc/Exceptions.h"
#include "win32/SystemMessage.h"
#include "win32/WinError.h"

namespace {

// FormatMessageW as the module calls it: allocate, from the system, language 0.
CString systemText(DWORD code, DWORD extraFlags = 0) {
    LPWSTR buffer = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | extraFlags,
                       nullptr, code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    CString text;
    if (n) {
        text = CString(buffer, static_cast<int>(n));
        EXPECT_EQ(nullptr, LocalFree(buffer));
    }
    return text;
}

TEST(FormatMessage, GivesTheWindowsTextsOfErrorsAndHresults) {
    const struct {
        DWORD code;
        const wchar_t* text;
    } cases[] = {
        {ERROR_SUCCESS, L"The operation completed successfully.\r\n"},
        {ERROR_FILE_NOT_FOUND, L"The system cannot find the file specified.\r\n"},
        {ERROR_SHARING_VIOLATION,
         L"The process cannot access the file because it is being used by another process.\r\n"},
        {0x80004005u, L"Unspecified error\r\n"},
        {0x80070057u, L"The parameter is incorrect.\r\n"},  // a Win32 error as an HRESULT
        {ERROR_BAD_EXE_FORMAT, L"%1 is not a valid Win32 application.\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CString(c.text), systemText(c.code)) << std::hex << c.code;
    }
}

TEST(FormatMessage, FailsClearlyAndHonoursItsFlags) {
    SetLastError(0);
    EXPECT_EQ(CString(), systemText(0x2A2A2A));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND), GetLastError());

    wchar_t small[8];
    EXPECT_EQ(0u, FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, small,
                                 8, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());

    wchar_t buffer[64];
    EXPECT_EQ(0u, FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED,
                                 MAKELANGID(0x0C, SUBLANG_DEFAULT), buffer, 64, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_LANG_NOT_FOUND), GetLastError());
    EXPECT_EQ(19u, FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED,
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), buffer, 64, nullptr));

    EXPECT_EQ(CString(L"Access is denied. "),
              systemText(ERROR_ACCESS_DENIED, FORMAT_MESSAGE_MAX_WIDTH_MASK));
}

TEST(FormatMessage, ReplacesInsertsFromAnArgumentArray) {
    const wchar_t* name = L"C:\\a.exe";
    const DWORD_PTR args[] = {reinterpret_cast<DWORD_PTR>(name), 42};
    wchar_t buffer[128];
    const auto format = [&](const wchar_t* text, DWORD flags) {
        const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_STRING | flags, text, 0, 0, buffer, 128,
                                       reinterpret_cast<va_list*>(const_cast<DWORD_PTR*>(args)));
        return CString(buffer, static_cast<int>(n));
    };
    const DWORD array = FORMAT_MESSAGE_ARGUMENT_ARRAY;
    EXPECT_EQ(CString(L"C:\\a.exe: 42%!"), format(L"%1: %2!d!%%%!", array));
    EXPECT_EQ(CString(L"[0042]\r\nend"), format(L"[%2!04u!]%nend%0ignored", array));
    EXPECT_EQ(CString(L"%1 stays"), format(L"%1 stays", array | FORMAT_MESSAGE_IGNORE_INSERTS));
    EXPECT_EQ(CString(L"aaa bbb\r\nccc\r\ndddddddddd\r\ne"),
              format(L"aaa bbb ccc dddddddddd e", array | 7));
    EXPECT_EQ(CString(L"one two"), format(L"one\r\ntwo", array | FORMAT_MESSAGE_MAX_WIDTH_MASK));
}

TEST(LocalHeap, FreesOnlyWhatItHandedOut) {
    HLOCAL block = LocalAlloc(LPTR, 16);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(0, static_cast<unsigned char*>(block)[15]);
    int foreign = 0;
    EXPECT_EQ(&foreign, LocalFree(&foreign));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_EQ(nullptr, LocalFree(block));
    EXPECT_EQ(nullptr, LocalFree(nullptr));
}

TEST(OleException, CarriesTheSystemText) {
    const struct {
        SCODE code;
        const wchar_t* text;
    } cases[] = {
        {static_cast<SCODE>(0x80004003u), L"Invalid pointer\r\n"},
        {static_cast<SCODE>(0x80020005u), L"Type mismatch.\r\n"},
        {static_cast<SCODE>(0x8123ABCDu), L""},
    };
    for (const auto& c : cases) {
        COleException e(c.code);
        wchar_t buffer[64];
        EXPECT_EQ(*c.text ? TRUE : FALSE, e.GetErrorMessage(buffer, 64));
        EXPECT_STREQ(c.text, buffer);
    }
}

}  // namespace
