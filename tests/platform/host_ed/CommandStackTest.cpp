#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "arxHeaders.h"

namespace {

void first() {}
void second() {}

class CommandStackTest : public ::testing::Test {
  protected:
    AcEdCommandStack stack;

    std::vector<std::wstring> walk() const {
        std::vector<std::wstring> seen;
        AcEdCommandIterator* it = stack.iterator();
        for (; !it->done(); it->next()) {
            seen.push_back(std::wstring(it->commandGroup()) + L":" + it->command()->globalName());
        }
        delete it;
        return seen;
    }
};

TEST_F(CommandStackTest, RegistersAndRefusesAsTheHostDoes) {
    struct Case {
        const ACHAR* group;
        const ACHAR* global;
        const ACHAR* local;
        AcRxFunctionPtr handler;
        Acad::ErrorStatus status;
    };
    const Case cases[] = {
        {L"ORVAN_HELP", L"o?", L"ohelp", first, Acad::eOk},
        {L"ORVAN_HELP", L"od?", L"odiagnosticshelp", first, Acad::eOk},
        {L"ORVAN_HELP", L"O?", L"other", first, Acad::eDuplicateKey},
        {L"orvan_help", L"new", L"OHELP", first, Acad::eDuplicateKey},
        {L"ORVAN_TEST", L"o?", L"ohelp", second, Acad::eOk},  // another group may
        {nullptr, L"x", L"x", first, Acad::eInvalidInput},
        {L"G", L"", L"x", first, Acad::eInvalidInput},
        {L"G", L"two words", L"x", first, Acad::eInvalidInput},
        {L"G", L"x", nullptr, first, Acad::eInvalidInput},
        {L"G", L"x", L"x", nullptr, Acad::eInvalidInput},
    };
    for (const Case& c : cases) {
        AcEdCommand* made = reinterpret_cast<AcEdCommand*>(1);
        EXPECT_EQ(stack.addCommand(c.group, c.global, c.local, ACRX_CMD_SESSION, c.handler, nullptr,
                                   -1, nullptr, &made),
                  c.status)
            << (c.global ? testing::PrintToString(std::wstring(c.global)) : "null");
        EXPECT_EQ(made != nullptr, c.status == Acad::eOk);
    }
    EXPECT_EQ(walk(),
              (std::vector<std::wstring>{L"ORVAN_TEST:o?", L"ORVAN_HELP:o?", L"ORVAN_HELP:od?"}));
}

TEST_F(CommandStackTest, LooksUpByEitherNameWithoutRegardToCaseTopGroupFirst) {
    ASSERT_EQ(stack.addCommand(L"ORVAN_COMMANDS", L"obe", L"orvanQuorvelle", 0, first), Acad::eOk);
    ASSERT_EQ(
        stack.addCommand(L"ORVAN_UTIL", L"ous", L"orvanUpdateSpaces", ACRX_CMD_SESSION, second),
        Acad::eOk);
    struct Case {
        const ACHAR* name;
        bool global;
        const ACHAR* found;  // global name, or null
    };
    const Case cases[] = {
        {L"obe", true, L"obe"},
        {L"OBE", true, L"obe"},
        {L"orvanquorvelle", false, L"obe"},
        {L"orvanQuorvelle", true, nullptr},
        {L"obe", false, nullptr},
        {L"Ous", true, L"ous"},
        {L"ORVANUPDATESPACES", false, L"ous"},
        {L"nothing", true, nullptr},
        {nullptr, true, nullptr},
    };
    for (const Case& c : cases) {
        const AcEdCommand* command = stack.lookupCmd(c.name, c.global);
        const std::wstring label = c.name ? c.name : L"null";
        if (c.found == nullptr) {
            EXPECT_EQ(command, nullptr) << testing::PrintToString(label);
        } else {
            ASSERT_NE(command, nullptr) << testing::PrintToString(label);
            EXPECT_EQ(std::wstring(command->globalName()), c.found);
        }
    }
    const AcEdCommand* obe = stack.lookupGlobalCmd(L"obe");
    EXPECT_EQ(obe->functionAddr(), &first);
    EXPECT_EQ(obe->commandFlags(), 0);
    EXPECT_EQ(obe->functionCode(), -1);
    EXPECT_EQ(std::wstring(stack.groupOf(obe)), L"ORVAN_COMMANDS");

    // A later group hides a command of the same name; moving a group to the top changes that.
    ASSERT_EQ(stack.addCommand(L"OVERRIDE", L"OBE", L"other", 0, second), Acad::eOk);
    EXPECT_EQ(stack.lookupGlobalCmd(L"obe")->functionAddr(), &second);
    EXPECT_EQ(stack.popGroupToTop(L"orvan_commands"), Acad::eOk);
    EXPECT_EQ(stack.lookupGlobalCmd(L"obe")->functionAddr(), &first);
    EXPECT_EQ(stack.lookupCmd(L"obe", true, false)->functionAddr(), &first);
    EXPECT_EQ(stack.popGroupToTop(L"NONE"), Acad::eKeyNotFound);
}

TEST_F(CommandStackTest, RemovesCommandsAndGroups) {
    for (const ACHAR* g : {L"ORVAN_COMMANDS", L"ORVAN_UTIL", L"ORVAN_DIAG"}) {
        ASSERT_EQ(stack.addCommand(g, (std::wstring(g) + L"_a").c_str(), L"a", 0, first),
                  Acad::eOk);
        ASSERT_EQ(stack.addCommand(g, (std::wstring(g) + L"_b").c_str(), L"b", 0, first),
                  Acad::eOk);
    }
    EXPECT_EQ(stack.removeGroup(L"orvan_util"), Acad::eOk);
    EXPECT_EQ(stack.removeGroup(L"ORVAN_UTIL"), Acad::eKeyNotFound);
    EXPECT_EQ(stack.removeCmd(L"ORVAN_DIAG", L"ORVAN_DIAG_A"), Acad::eOk);
    EXPECT_EQ(stack.removeCmd(L"ORVAN_DIAG", L"ORVAN_DIAG_A"), Acad::eKeyNotFound);
    EXPECT_EQ(stack.removeCmd(L"NONE", L"x"), Acad::eKeyNotFound);
    EXPECT_EQ(walk(), (std::vector<std::wstring>{L"ORVAN_DIAG:ORVAN_DIAG_b",
                                                 L"ORVAN_COMMANDS:ORVAN_COMMANDS_a",
                                                 L"ORVAN_COMMANDS:ORVAN_COMMANDS_b"}));
    EXPECT_EQ(stack.lookupLocalCmd(L"a")->globalName(), std::wstring(L"ORVAN_COMMANDS_a"));
    // The names of removed commands may be used again.
    EXPECT_EQ(stack.addCommand(L"ORVAN_UTIL", L"ORVAN_UTIL_a", L"a", 0, second), Acad::eOk);
    EXPECT_EQ(stack.lookupLocalCmd(L"a")->functionAddr(), &second);
}

TEST(SysRegistry, HoldsTheDynamicLinkerAndTheCommandStack) {
    AcRxDictionary* registry = acrxSysRegistry();
    ASSERT_NE(registry, nullptr);
    EXPECT_NE(AcRxDynamicLinker::cast(registry->at(L"DynamicLinker")), nullptr);
    EXPECT_NE(AcEdCommandStack::cast(registry->at(L"ACAD_REGISTERED_COMMANDS")), nullptr);
    EXPECT_EQ(AcEdCommandStack::cast(registry->at(L"DynamicLinker")), nullptr);
    EXPECT_EQ(registry->at(L"dynamiclinker"), nullptr);
    EXPECT_EQ(registry->at(nullptr), nullptr);
    EXPECT_EQ(acedRegCmds, registry->at(ACRX_COMMAND_DOCK));
    EXPECT_EQ(acrxDynamicLinker, registry->at(ACRX_DYNAMIC_LINKER));

    AcRxDictionary own;
    AcRxObject a, b;
    EXPECT_EQ(own.atPut(L"k", &a), nullptr);
    EXPECT_EQ(own.atPut(L"k", &b), &a);
    EXPECT_TRUE(own.has(L"k"));
    EXPECT_EQ(own.numEntries(), 1u);
    EXPECT_EQ(own.remove(L"k"), &b);
    EXPECT_EQ(own.remove(L"k"), nullptr);
}

}  // namespace
