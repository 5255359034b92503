#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StdAfx.h"
#include "module/quorvelle.h"
#include "support/CommandLineAnswers.h"
#include "support/HostFixture.h"
#include "support/TempDrive.h"

namespace {

class Diagnostics : public qv::test::DrawingTest {
  protected:
    static CString shown() { return qv::host::transcript().text().c_str(); }
    // The lines printed, without the prompts' empty lines.
    static std::vector<CString> lines() {
        std::vector<CString> result;
        CString text = shown();
        int start = 0;
        for (CString line = text.Tokenize(L"\n", start); start >= 0;
             line = text.Tokenize(L"\n", start))
            result.push_back(line);
        return result;
    }
    bool printed(const wchar_t* line) const {
        for (const CString& l : lines()) {
            if (l == line)
                return true;
        }
        return false;
    }
    std::vector<CString> errorBoxes() const {
        std::vector<CString> texts;
        for (const auto& s : ui.shown()) {
            if (s.caption == L"Error Detected.")
                texts.push_back(s.text);
        }
        return texts;
    }

    qv::test::TempDrive drive;
    qv::test::CommandLineAnswers answers;
};

TEST_F(Diagnostics, TheErrorTestsHandleTheirOwnErrors) {
    const struct {
        void (*command)();
        const wchar_t* first;
    } cases[] = {
        {diagnosticErrorsA, L"Error Test A - throws test error"},
        {diagnosticErrorsB, L"Error Test B - throws test error"},
    };
    for (const auto& c : cases) {
        answers.give({});
        c.command();
        const std::vector<CString> expected = {c.first, L"the error has been handled - test error",
                                               L"orvan error handled successfully",
                                               L"error handling test completed"};
        EXPECT_EQ(expected, lines());
        EXPECT_TRUE(ui.shown().empty());
    }
}

TEST_F(Diagnostics, UserInputEchoesWhatWasTaken) {
    const struct {
        const char* name;
        std::vector<std::string> answers;
        std::vector<const wchar_t*> results;
    } cases[] = {
        {"enter everywhere",
         {"", "", "", ""},
         {L"boolean user input test successful - 1", L"decimal user input test successful - 1.001",
          L"integer user input test successful - 27",
          L"text user input test successful - diagnosis"}},
        {"answers",
         {"no", "2.5", "-4", "two words"},
         {L"boolean user input test successful - 0", L"decimal user input test successful - 2.500",
          L"integer user input test successful - -4",
          L"text user input test successful - two words"}},
        {"cancelled everywhere",
         {"^C", "^C", "^C", "^C"},
         {L"boolean user input test successful - 1", L"decimal user input test successful - 1.001",
          L"integer user input test successful - 27",
          L"text user input test successful - diagnosis"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        answers.give(c.answers);
        diagnosticUserInput();
        for (const wchar_t* r : c.results)
            EXPECT_TRUE(printed(r)) << CStringA(r).GetString();
        EXPECT_TRUE(printed(L"user input test finished"));
        EXPECT_EQ(0u, answers.left());
    }
}

TEST_F(Diagnostics, TheXmlTestReplacesTheFileItIsGiven) {
    drive.writeFile("diagnosis.xml", "not xml at all");
    answers.give({"C:\\diagnosis.xml"});
    diagnosticXML();
    EXPECT_TRUE(printed(L"xml test completed successfully"));
    EXPECT_TRUE(errorBoxes().empty());
    const std::string written = drive.readFile("diagnosis.xml");
    EXPECT_EQ(std::string::npos, written.find("not xml"));
    EXPECT_NE(std::string::npos, written.find("<root"));
    EXPECT_NE(std::string::npos, written.find(">value</name>"));
}

TEST_F(Diagnostics, TheXmlTestWritesToTheDefaultPath) {
    answers.give({""});
    diagnosticXML();
    EXPECT_TRUE(drive.exists("orvanDiagnosis.xml"));
}

TEST_F(Diagnostics, AnUnwritableXmlPathIsShownAsAnError) {
    answers.give({"C:\\no such folder\\diagnosis.xml"});
    diagnosticXML();
    EXPECT_FALSE(printed(L"xml test completed successfully"));
    const std::vector<CString> boxes = errorBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(0, boxes[0].Find(L"quorvelle::diagnosticXML\n"));
}

TEST_F(Diagnostics, TheDialogTestOpensTheFileDialog) {
    ui.queueFile(L"C:\\anything.txt");
    diagnosticDialog();
    EXPECT_EQ(std::vector<CString>(
                  {L"dialog test - opens browse for file dialog", L"dialog test completed"}),
              lines());
    EXPECT_NE(-1, ui.lastFileRequest().filter.Find(L"All Files (*.*)|*.*"));
}

TEST_F(Diagnostics, AllRunsEveryTestButTheDialog) {
    answers.give({"", "", "", "", "C:\\all.xml"});
    diagnosticAll();
    const wchar_t* const starts[] = {
        L"basic test - output to commandline",
        L"Error Test A - throws test error",
        L"Error Test B - throws test error",
        L"Error Test C - retrieve function name",
        L"Error Test C - retrieve file name",
        L"user input test - tests boolean, double, integer, string input",
        L"xml test - outputs xml file to specified location",
    };
    int from = 0;
    for (const wchar_t* s : starts) {
        const int at = shown().Find(s, from);
        EXPECT_GE(at, from) << CStringA(s).GetString();
        from = at + 1;
    }
    EXPECT_TRUE(printed(L"function diagnosticErrorsC"));
    EXPECT_TRUE(printed(L"file quorvelle"));
    EXPECT_TRUE(printed(L"xml test completed successfully"));
    EXPECT_TRUE(ui.shown().empty());  // no file dialog, no error
    EXPECT_EQ(0u, answers.left());
}

}  // namespace
