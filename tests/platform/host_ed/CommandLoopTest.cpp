#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "EditorFixture.h"
#include "host/ed/CommandLoop.h"
#include "host/ed/EntityListing.h"
#include "mfc/dialogs/CDialog.h"
#include "mfc/dialogs/Resources.h"
#include "ui/TerminalDriver.h"
#include "win32/CodePage.h"

namespace {

using qv::test::handleOf;

void leaveOpen() {
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, acdbHostApplicationServices()->workingDatabase()->modelSpaceId(),
                   AcDb::kForRead);
}

class CommandLoopTest : public qv::test::EditorTest {
  protected:
    ~CommandLoopTest() override {
        acedRegCmds->removeGroup(L"QV_LOOP_TEST");
        // What the test left open is closed so the fixture's own check holds.
        for (const AcDbObject* open : db()->qvOpenObjects()) {
            const_cast<AcDbObject*>(open)->close();
        }
    }
};

TEST_F(CommandLoopTest, ScriptsStopAtTheirErrors) {
    struct Case {
        const char* what;
        bool script;
        std::vector<std::string> lines;
        bool ok;
        const wchar_t* failure;  // part of the failure, or empty
        size_t left;             // lines not read
    };
    const Case cases[] = {
        {"runs to the end", true, {"regen", "", "^C", "regen"}, true, L"", 0},
        {"unknown command", true, {"regen", "nosuch", "regen"}, false, L"command \"nosuch\"", 1},
        {"answer without prompt", true, {"12.5", "regen"}, false, L"\"12.5\" answers no prompt", 1},
        {"handle without prompt", true, {"#2A"}, false, L"\"#2A\" answers no prompt", 0},
        {"ends in a prompt", true, {"zoom", "w", "0,0"}, false, L"ended while zoom waited", 0},
        {"refused answers", true, {"zoom", "sideways", "p", "regen"}, false, L"with 1 error", 0},
        {"quit", true, {"regen", "quit", "nosuch"}, true, L"", 1},
        {"rest of a line", true, {"zoom p", "regen"}, true, L"", 0},
        {"interactive goes on", false, {"nosuch", "regen"}, true, L"", 0},
        {"an object left open", true, {"tleaveopen", "regen"}, false, L"ran with 2 error", 0},
    };
    ASSERT_EQ(acedRegCmds->addCommand(L"QV_LOOP_TEST", L"tleaveopen", L"tleaveopen",
                                      ACRX_CMD_SESSION, leaveOpen),
              Acad::eOk);
    for (const Case& c : cases) {
        editor().reset();
        input.lines.assign(c.lines.begin(), c.lines.end());
        qv::host::ed::CommandLoop loop(c.script);
        EXPECT_EQ(loop.run(), c.ok) << c.what;
        EXPECT_NE(loop.failure().find(c.failure), std::wstring::npos)
            << c.what << ": " << testing::PrintToString(loop.failure());
        EXPECT_EQ(input.lines.size(), c.left) << c.what;
        for (const AcDbObject* open : db()->qvOpenObjects()) {
            const_cast<AcDbObject*>(open)->close();
        }
    }
}

// The end-of-command check finds what a command left open however it opened it, and looks only
// at what is open: on a drawing of thousands of objects a command that opens nothing makes it
// visit none.
TEST_F(CommandLoopTest, TheCheckAfterACommandLooksOnlyAtWhatIsOpen) {
    for (int i = 0; i < 3000; ++i) {
        addToModelSpace(new AcDbLine(AcGePoint3d(i, 0, 0), AcGePoint3d(i, 1, 0)));
    }
    const AcDbObjectId line =
        addToModelSpace(new AcDbLine(AcGePoint3d(0, 5, 0), AcGePoint3d(9, 5, 0)));
    static AcDbObjectId s_line;
    s_line = line;
    struct Case {
        const char* what;
        void (*command)();
        const wchar_t* left;  // how the line is reported open, or empty
    };
    const Case cases[] = {
        {"nothing opened", [] {}, L""},
        {"read and closed",
         [] {
             AcDbObject* o = nullptr;
             acdbOpenObject(o, s_line, AcDb::kForRead);
             o->close();
         },
         L""},
        {"read twice, closed once",
         [] {
             AcDbObject *a = nullptr, *b = nullptr;
             acdbOpenObject(a, s_line, AcDb::kForRead);
             acdbOpenObject(b, s_line, AcDb::kForRead);
             b->close();
         },
         L" (for read)"},
        {"write, downgraded",
         [] {
             AcDbObject* o = nullptr;
             acdbOpenObject(o, s_line, AcDb::kForWrite);
             o->downgradeOpen();
         },
         L" (for read)"},
        {"read, upgraded and closed",
         [] {
             AcDbObject* o = nullptr;
             acdbOpenObject(o, s_line, AcDb::kForRead);
             o->upgradeOpen();
             o->close();
         },
         L""},
        {"for notify", [] {
             AcDbObject* o = nullptr;
             acdbOpenObject(o, s_line, AcDb::kForNotify);
         },
         L" (for read)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        acedRegCmds->removeGroup(L"QV_LOOP_TEST");
        // (a modal command: the host locks the document for it)
        ASSERT_EQ(acedRegCmds->addCommand(L"QV_LOOP_TEST", L"tcase", L"tcase", ACRX_CMD_MODAL,
                                          c.command),
                  Acad::eOk);
        editor().reset();
        answers({"tcase"});
        clearTranscript();
        const unsigned long long before = AcDbDatabase::qvObjectsVisited();
        qv::host::ed::CommandLoop(true).run();
        EXPECT_LE(AcDbDatabase::qvObjectsVisited() - before, 1u);
        const std::wstring warning =
            L"*Warning* tcase left objects open: AcDbLine " + handleOf(line) + c.left + L"\n";
        EXPECT_EQ(transcript().find(warning) != std::wstring::npos, c.left[0] != 0)
            << qv::wideToUtf8(transcript());
        EXPECT_EQ(transcript().rfind(L"Command: tcase\n", 0), 0u);
        EXPECT_EQ(transcript().find(L"left objects open") != std::wstring::npos, c.left[0] != 0);
        for (const AcDbObject* open : db()->qvOpenObjects()) {
            while (const_cast<AcDbObject*>(open)->close() == Acad::eOk) {
            }
        }
    }
}

// A tool window whose button ends a pending prompt by sending Esc to the command line, as the
// module's modeless dialogs do after a session in the drawing.
const UINT IDD_ESC_TOOL = 9301;
const int IDC_ESC_BUTTON = 9302;
const qv::res::ResourceScript escToolResources(
    {qv::res::DialogTemplate(IDD_ESC_TOOL, L"Esc Tool",
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                             {qv::res::PushButton(L"Send", IDC_ESC_BUTTON)})});

class CEscTool : public CDialog {
  protected:
    afx_msg void OnSend() {
        acDocManager->sendStringToExecute(acDocManager->curDocument(), L"\x1b", false, false,
                                          true);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CEscTool, CDialog)
ON_BN_CLICKED(IDC_ESC_BUTTON, &CEscTool::OnSend)
END_MESSAGE_MAP()

TEST_F(CommandLoopTest, AnEscSentToTheCommandLineNeverReachesAnOpenDialog) {
    qv::ui::TerminalDriver terminal(editor().input(), std::cout, true);
    qv::ui::DriverScope screen(terminal);
    CAcModuleResourceOverride resources(escToolResources.module());
    CEscTool tool;
    ASSERT_TRUE(tool.Create(IDD_ESC_TOOL));
    // The click sends Esc; the command prompt takes it, and the dialog stays for the next line.
    answers({"click 9302", "regen"});
    qv::host::ed::CommandLoop loop(true);
    EXPECT_TRUE(loop.run()) << qv::wideToUtf8(loop.failure());
    EXPECT_TRUE(tool.IsWindowVisible());
    EXPECT_EQ(0, terminal.errorCount());
    EXPECT_EQ(0u, input.lines.size());
    tool.DestroyWindow();
}

TEST_F(CommandLoopTest, TheTranscriptReadsAsTheCommandLine) {
    answers({"zoom", "w", "0,0", "10,10", "nosuch"});
    clearTranscript();
    qv::host::ed::CommandLoop(false).run();
    EXPECT_EQ(transcript(),
              L"Command: zoom\n"
              L"Specify corner of window or [All/Extents/Previous/Window]: w\n"
              L"Specify first corner: 0,0\n"
              L"Specify opposite corner: 10,10\n"
              L"Command: nosuch\n"
              L"Unknown command \"nosuch\".\n"
              L"Command: \n");
    EXPECT_EQ(document()->qvViews().current().upperRight.x, 10.0);
}

TEST_F(CommandLoopTest, ListShowsEveryEntityWithItsMainProperties) {
    const AcDbObjectId line =
        addToModelSpace(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 2.5, 0)));
    auto* arc = new AcDbPolyline;
    arc->addVertexAt(0, AcGePoint2d(0, 0), 1.0);
    arc->addVertexAt(1, AcGePoint2d(2, 0));
    arc->setClosed(true);
    arc->setColorIndex(1);
    const AcDbObjectId polyline = addToModelSpace(arc);
    const AcDbObjectId reference = addReference(L"ROOM-1", AcGePoint3d(5, 5, 0));
    {
        WriteLock lock(document());
        AcDbBlockReference* ref = nullptr;
        ASSERT_EQ(acdbOpenObject(ref, reference, AcDb::kForWrite), Acad::eOk);
        ref->setRotation(1.5707963267948966);
        auto* name = new AcDbAttribute(AcGePoint3d(5, 5, 0), L"Office", L"NAME");
        ref->appendAttribute(name);
        name->close();
        ASSERT_EQ(acdbRegApp(L"ADE"), RTNORM);
        resbuf* data = acutBuildList(1001, L"ADE", 1000, L"NAME=Office", 1040, 12.5, 0);
        EXPECT_EQ(ref->setXData(data), Acad::eOk);
        acutRelRb(data);
        ref->close();
    }
    const AcDbObjectId text =
        addToModelSpace(new AcDbText(AcGePoint3d(1, 1, 0), L"Floor 1", AcDbObjectId(), 2.5, 0.0));
    const std::vector<std::wstring> expected = {
        handleOf(line) + L" AcDbLine layer \"0\": from (0,0,0) to (10,2.5,0)\n",
        handleOf(polyline) +
            L" AcDbPolyline layer \"0\": closed, 2 vertices (0,0) bulge 1 (2,0), area 1.5708, "
            L"colour 1\n",
        handleOf(reference) +
            L" AcDbBlockReference layer \"0\": block \"ROOM-1\" at (5,5,0), scale 1, rotation "
            L"90\n    attribute NAME \"Office\"\n    xdata \"ADE\": 1000 \"NAME=Office\", 1040 "
            L"12.5\n",
        handleOf(text) + L" AcDbText layer \"0\": \"Floor 1\" at (1,1,0), height 2.5\n",
    };
    std::wstring all;
    for (const std::wstring& e : expected) {
        all += e;
    }
    answers({"list"});
    clearTranscript();
    qv::host::ed::CommandLoop(true).run();
    EXPECT_EQ(transcript(), L"Command: list\n" + all + L"Command: \n");
    EXPECT_EQ(qv::host::ed::listNumber(-0.00001), L"0");
    EXPECT_EQ(qv::host::ed::listNumber(2.00004), L"2");
    EXPECT_EQ(qv::host::ed::listNumber(-3.25), L"-3.25");
}

}  // namespace
