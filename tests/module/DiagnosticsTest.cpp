#include <gtest/gtest.h>

#include <string>

#include "StdAfx.h"
#include "module/quorvelle.h"
#include "support/CommandLineAnswers.h"
#include "support/HostFixture.h"
#include "support/TempDrive.h"

namespace {

// The XML check writes where the user says; the other diagnostics are seen in the acceptance
// transcripts.
class Diagnostics : public qv::test::DrawingTest {
  protected:
    static bool completed() {
        return qv::host::transcript().text().find(L"xml test completed successfully\n") !=
               std::wstring::npos;
    }

    qv::test::TempDrive drive;
    qv::test::CommandLineAnswers answers;
};

// The file the user names is replaced; an empty answer writes the default path.
TEST_F(Diagnostics, TheXmlTestWritesWhereTheUserSays) {
    drive.writeFile("diagnosis.xml", "not xml at all");
    for (const auto& [answer, file] :
         {std::pair{"C:\\diagnosis.xml", "diagnosis.xml"}, std::pair{"", "orvanDiagnosis.xml"}}) {
        SCOPED_TRACE(file);
        answers.give({answer});
        diagnosticXML();
        EXPECT_TRUE(completed());
        EXPECT_TRUE(ui.shown().empty());
        const std::string written = drive.readFile(file);
        EXPECT_EQ(std::string::npos, written.find("not xml"));
        EXPECT_NE(std::string::npos, written.find("<root"));
        EXPECT_NE(std::string::npos, written.find(">value</name>"));
    }
}

}  // namespace
