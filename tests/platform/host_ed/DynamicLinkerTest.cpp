#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "EditorFixture.h"
#include "host/ed/Commands.h"
#include "win32/CodePage.h"

namespace {

const std::wstring kModule = qv::utf8ToWide(QV_TEST_MODULE);
const std::wstring kModuleName = kModule.substr(kModule.find_last_of(L'/') + 1);

size_t count(const std::wstring& text, const std::wstring& piece) {
    size_t n = 0;
    for (size_t at = text.find(piece); at != std::wstring::npos; at = text.find(piece, at + 1)) {
        ++n;
    }
    return n;
}

class DynamicLinkerTest : public qv::test::EditorTest {
  protected:
    ~DynamicLinkerTest() override { linker->qvUnloadAll(); }
    AcRxDynamicLinker* linker = acrxDynamicLinker;
};

TEST_F(DynamicLinkerTest, LoadsAModuleThroughItsEntryPointAndUnloadsIt) {
    ASSERT_TRUE(linker->loadModule(kModule.c_str(), true)) << linker->qvLastError();
    EXPECT_TRUE(linker->loadModule(kModule.c_str(), true));  // once only
    EXPECT_EQ(count(transcript(), L"Test module loaded"), 1u);
    EXPECT_EQ(linker->qvModules(), std::vector<std::wstring>{kModule});
    EXPECT_TRUE(linker->qvIsMdiAware(kModule.c_str()));
    EXPECT_FALSE(linker->isApplicationLocked(kModule.c_str()));  // it unlocked itself
    ASSERT_NE(acedRegCmds->lookupGlobalCmd(L"ttext"), nullptr);
    EXPECT_EQ(std::wstring(acedRegCmds->groupOf(acedRegCmds->lookupGlobalCmd(L"ttext"))),
              L"QV_TEST");

    // Its commands run from the command line.
    answers({"Ann"});
    EXPECT_EQ(qv::host::ed::runCommand(L"testText"), qv::host::ed::CommandRun::Done);
    EXPECT_NE(transcript().find(L"Hello, Ann!"), std::wstring::npos);

    // By its file name alone; a second unload finds nothing.
    EXPECT_TRUE(linker->unloadModule(kModuleName.c_str(), true));
    EXPECT_NE(transcript().find(L"Test module unloaded."), std::wstring::npos);
    EXPECT_EQ(acedRegCmds->lookupGlobalCmd(L"ttext"), nullptr);
    EXPECT_TRUE(linker->qvModules().empty());
    EXPECT_FALSE(linker->unloadModule(kModuleName.c_str(), false));
    EXPECT_NE(linker->qvLastError().find(L"is not loaded"), std::wstring::npos);
}

TEST_F(DynamicLinkerTest, ALockedModuleStaysUntilTheHostEnds) {
    ASSERT_TRUE(linker->loadModule(kModule.c_str(), false));
    void* id = linker->qvAppId(kModule.c_str());
    ASSERT_NE(id, nullptr);
    EXPECT_TRUE(linker->lockApplication(id));
    EXPECT_TRUE(linker->isApplicationLocked(kModuleName.c_str()));
    EXPECT_FALSE(linker->unloadModule(kModule.c_str(), false));
    EXPECT_NE(linker->qvLastError().find(L"locked"), std::wstring::npos);
    EXPECT_FALSE(linker->lockApplication(nullptr));
    EXPECT_FALSE(linker->registerAppMDIAware(&id));
    linker->qvUnloadAll();
    EXPECT_TRUE(linker->qvModules().empty());
    EXPECT_NE(transcript().find(L"Test module unloaded."), std::wstring::npos);
}

TEST_F(DynamicLinkerTest, CommandsAModuleLeftBehindAreRemovedWithIt) {
    ASSERT_TRUE(linker->loadModule(kModule.c_str(), false));
    qv::host::ed::runCommand(L"tleave");
    ASSERT_NE(acedRegCmds->lookupGlobalCmd(L"tleft"), nullptr);
    EXPECT_TRUE(linker->unloadModule(kModule.c_str(), false));
    EXPECT_EQ(acedRegCmds->lookupGlobalCmd(L"tleft"), nullptr);
    EXPECT_NE(transcript().find(L"left commands registered; they were removed: tleft"),
              std::wstring::npos);
}

TEST_F(DynamicLinkerTest, RefusesWhatIsNoModule) {
    struct Case {
        std::wstring file;
        const wchar_t* reason;
    };
    const Case cases[] = {
        {L"/nonexistent/module.so", L"cannot open shared object file"},
        {qv::utf8ToWide(QV_NO_ENTRY_LIBRARY), L"has no entry point acrxEntryPoint"},
        {L"", L"No module file was named"},
    };
    for (const Case& c : cases) {
        clearTranscript();
        EXPECT_FALSE(linker->loadModule(c.file.c_str(), true));
        EXPECT_NE(linker->qvLastError().find(c.reason), std::wstring::npos)
            << qv::wideToUtf8(linker->qvLastError());
        EXPECT_EQ(transcript(), linker->qvLastError() + L"\n");
    }
    EXPECT_TRUE(linker->qvModules().empty());
}

}  // namespace
