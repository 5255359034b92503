#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mfc/StdioFile.h"
#include "support/TempDrive.h"
#include "support/Windows1252.h"

namespace {

using qv::test::DriveTest;

class StdioFiles : public DriveTest {
  protected:
    void write(const wchar_t* text, UINT type = CFile::typeText) {
        CStdioFile file(L"C:\\out.txt", CFile::modeCreate | CFile::modeWrite | type);
        file.WriteString(text);
        file.Close();
    }
    std::vector<CString> lines(UINT type = CFile::typeText) {
        CStdioFile file(L"C:\\out.txt", CFile::modeRead | type);
        std::vector<CString> out;
        CString line = L"not touched";
        while (file.ReadString(line)) {
            out.push_back(line);
        }
        EXPECT_TRUE(line.IsEmpty()) << "the end gives an empty line";
        return out;
    }
};

TEST_F(StdioFiles, TextModeWritesWindows1252WithCrLf) {
    const struct {
        const wchar_t* text;
        std::string bytes;
    } cases[] = {
        {L"Office 1,12.50,m\u00b2,14.20,m\n", "Office 1,12.50,m\xb2,14.20,m\r\n"},
        {L"\u20ac caf\u00e9\n\nend", "\x80 caf\xe9\r\n\r\nend"},
        {L"\u0101\u4e2d?", "???"},
        {L"cr\ralone", "cr\ralone"},
    };
    for (const auto& c : cases) {
        write(c.text);
        EXPECT_EQ(c.bytes, drive.readFile("out.txt")) << CStringA(c.text).GetString();
    }
}

// Every character of the bytes 0x80 to 0x9F, each way, and the first byte of the range that
// stands for its own number (0xA0): one swapped entry or a range end off by one shows here.
TEST_F(StdioFiles, TextModeKeepsTheWholeHighTableOfTheCodePage) {
    const std::wstring text = qv::test::windows1252EdgeCharacters();
    const std::string bytes = qv::test::windows1252EdgeBytes();
    for (std::size_t i = 0; i < text.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "byte 0x" << std::hex << 0x80 + i);
        write(text.substr(i, 1).c_str());
        EXPECT_EQ(bytes.substr(i, 1), drive.readFile("out.txt"));
        drive.writeFile("out.txt", bytes.substr(i, 1));
        EXPECT_EQ(std::vector<CString>{CString(text.substr(i, 1).c_str())}, lines());
    }
    // U+009F (its byte stands for another character) and U+0100 have none; U+00FF is the last.
    write(L"\u009F\u00FF\u0100\u2000");
    EXPECT_EQ("?\xFF??", drive.readFile("out.txt"));
}

TEST_F(StdioFiles, TextModeReadsLinesBack) {
    const struct {
        std::string bytes;
        std::vector<CString> lines;
    } cases[] = {
        {"a\r\nb\r\n", {L"a", L"b"}},
        {"a\nb", {L"a", L"b"}},
        {"\r\n\r\nx", {L"", L"", L"x"}},
        {"m\xb2\r\n\x80", {L"m\u00b2", L"\u20ac"}},
        {"keep\rcr\r\n", {L"keep\rcr"}},
        {"before\r\nend\x1a"
         "after\r\n",
         {L"before", L"end"}},
        {"", {}},
    };
    for (const auto& c : cases) {
        drive.writeFile("out.txt", c.bytes);
        EXPECT_EQ(c.lines, lines()) << c.bytes;
    }
}

TEST_F(StdioFiles, LongLinesAndLineEndsAcrossBufferBoundaries) {
    std::string bytes;
    std::vector<CString> expected;
    for (int i = 0; i < 700; ++i) {
        const std::string line(static_cast<std::size_t>(i % 13), static_cast<char>('a' + i % 26));
        bytes += line + "\r\n";
        expected.emplace_back(CString(line.c_str()));
    }
    bytes += std::string(9000, 'z');
    expected.emplace_back(CString(std::string(9000, 'z').c_str()));
    drive.writeFile("out.txt", bytes);
    EXPECT_EQ(expected, lines());
}

TEST_F(StdioFiles, BufferReadKeepsTheLineEnd) {
    drive.writeFile("out.txt", "abcdef\r\nxy");
    CStdioFile file(L"C:\\out.txt", CFile::modeRead | CFile::typeText);
    wchar_t buffer[5];
    EXPECT_STREQ(L"abcd", file.ReadString(buffer, 5));
    EXPECT_STREQ(L"ef\n", file.ReadString(buffer, 5));
    EXPECT_EQ(8u, file.GetPosition());
    EXPECT_STREQ(L"xy", file.ReadString(buffer, 5));
    EXPECT_EQ(nullptr, file.ReadString(buffer, 5));
}

TEST_F(StdioFiles, AppendingAfterSeekToEnd) {
    drive.writeFile("log.txt", "first\r\n");
    {
        CStdioFile log(L"C:\\log.txt", CFile::modeCreate | CFile::modeNoTruncate |
                                           CFile::modeWrite | CFile::shareDenyNone |
                                           CFile::typeText);
        log.SeekToEnd();
        log.WriteString(L"second\n");
    }
    EXPECT_EQ("first\r\nsecond\r\n", drive.readFile("log.txt"));
    CStdioFile both(L"C:\\log.txt", CFile::modeReadWrite | CFile::typeText);
    CString line;
    ASSERT_TRUE(both.ReadString(line));
    both.WriteString(L"2nd\n");
    both.Close();
    EXPECT_EQ("first\r\n2nd\r\nd\r\n", drive.readFile("log.txt"))
        << "written where reading stopped";
}

TEST_F(StdioFiles, BinaryModeKeepsBytesAndWritesWideText) {
    {
        CStdioFile file(L"C:\\out.bin", CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        file.Write("a\nb\r\n", 5);
    }
    EXPECT_EQ("a\nb\r\n", drive.readFile("out.bin"));
    {
        CStdioFile text(L"C:\\out.bin", CFile::modeRead | CFile::typeText);
        char buf[8];
        EXPECT_EQ(4u, text.Read(buf, 8));
        EXPECT_EQ(std::string("a\nb\n"), std::string(buf, 4));
    }
    write(L"m\u00b2\n\U0001F600", CFile::typeBinary);
    EXPECT_EQ(std::string("m\0\xb2\0\n\0\x3d\xd8\x00\xde", 10), drive.readFile("out.txt"));
    EXPECT_EQ((std::vector<CString>{L"m\u00b2", L"\U0001F600"}), lines(CFile::typeBinary));
}

}  // namespace
