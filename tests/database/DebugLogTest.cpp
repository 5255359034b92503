// The debug log: one entry per run while the module's debug-log path is set, written before the
// procedure runs, holding the call's XML form.
#include <algorithm>

#include "DatabaseFixture.h"
#include "core/Log.h"
#include "database/ModuleDetails.h"
#include "support/TempDrive.h"

namespace qv::test {
namespace {

class DebugLogTest : public ModuleDatabaseTest {
  protected:
    ~DebugLogTest() override { debugLogPath.Empty(); }

    // The leaves of every entry of the log at C:\debug.xml, the dates left out.
    std::vector<std::vector<std::string>> entries() const {
        MSXML2::IXMLDOMDocumentPtr log;
        EXPECT_EQ(S_OK, log.CreateInstance(L"Msxml2.DOMDocument"));
        EXPECT_EQ(VARIANT_TRUE, log->load(_variant_t(L"C:\\debug.xml")));
        std::vector<std::vector<std::string>> out;
        MSXML2::IXMLDOMNodeListPtr errors = log->selectNodes(L"/debugging/error");
        for (long i = 0; i < errors->Getlength(); ++i) {
            out.emplace_back();
            for (const std::string& leaf : leaves(errors->Getitem(i))) {
                if (leaf.find("date/") == std::string::npos) {
                    out.back().push_back(leaf);
                }
            }
        }
        return out;
    }

    TempDrive drive;
};

TEST_F(DebugLogTest, EachRunAddsOneEntryBeforeItRunsAndNoneWithoutAPath) {
    const std::pair<std::function<void(CStoredProcedure&)>, const char*> runs[] = {
        {[](CStoredProcedure& p) { p.execSPNoReturnNoParas(); }, "execSPNoReturnNoParas"},
        {[](CStoredProcedure& p) { p.execSPNoReturnParas(); }, "execSPNoReturnParas"},
        {[](CStoredProcedure& p) { p.execSPNoReturnParasReturn(); }, "execSPNoReturnParas"},
        {[](CStoredProcedure& p) { p.execSPReturnNoParas(); }, "execSPReturnNoParas"},
        {[](CStoredProcedure& p) { p.execSPReturnParas(); }, "execSPReturnParas"},
    };
    auto call = procedure(L"__test_double");
    CAttachedParameters list(call.get(), new CParameters);
    list->add(parameter<CParameterInt>(L"@value", adParamInput, 21));
    call->execSPNoReturnParas();
    EXPECT_FALSE(drive.exists("debug.xml"));

    debugLogPath = L"C:\\debug.xml";
    for (size_t i = 0; i < std::size(runs); ++i) {
        // Those without parameters fail, since the procedure needs one: they are logged too.
        caught([&] { runs[i].first(*call); });
        const std::vector<std::vector<std::string>> logged = entries();
        ASSERT_EQ(i + 1, logged.size());
        const std::vector<std::string> expected = {
            std::string("error/description=") + runs[i].second,
            "error/storedProcedure/name=__test_double",
            "error/storedProcedure/parameters/parameter/parameterName=@value",
            "error/storedProcedure/parameters/parameter/parameterType=int",
            "error/storedProcedure/parameters/parameter/parameterSize=4",
            "error/storedProcedure/parameters/parameter/parameterValue=21",
        };
        EXPECT_EQ(expected, logged.back()) << runs[i].second;
    }
}

TEST_F(DebugLogTest, TheModulesDetailsGoAsFourParametersInTheirOrder) {
    debugLogPath = L"C:\\debug.xml";
    CModuleDetails details;
    details.setModDetails(server(), user(), password(), 10);
    details.setModuleRunning(server(), user(), password(), 10);

    std::vector<std::string> sent;
    for (const std::vector<std::string>& entry : entries()) {
        for (const std::string& leaf : entry) {
            const size_t at = leaf.find("parameter/parameter");
            sent.push_back(at == std::string::npos ? leaf : leaf.substr(at + 19));
        }
    }
    // The names in their order, and the values whose kind or size matter.
    std::vector<std::string> names;
    for (const std::string& leaf : sent) {
        if (leaf.rfind("Name=", 0) == 0 || leaf.find("/name=") != std::string::npos)
            names.push_back(leaf);
    }
    EXPECT_EQ((std::vector<std::string>{"error/storedProcedure/name=__mod_setModDetails",
                                        "Name=@moduleName", "Name=@moduleDescription",
                                        "Name=@moduleVersion", "Name=@moduleDate",
                                        "error/storedProcedure/name=__mod_setModRunning",
                                        "Name=@MODNAME"}),
              names);
    for (const char* leaf : {"Value=VRK", "Type=char", "Size=11", "Value=64.04.00.01",
                             "Type=dateTime", "Value=2014112400h0000_"}) {
        EXPECT_NE(sent.end(), std::find(sent.begin(), sent.end(), std::string(leaf))) << leaf;
    }
}

}  // namespace
}  // namespace qv::test
