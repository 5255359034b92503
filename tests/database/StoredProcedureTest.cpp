// Stored-procedure calls against the test database: every parameter kind out and in and out,
// record sets with NULLs and without rows, calls nested on one connection, and the call's XML
// form, also as a failed call keeps it.
#include "DatabaseFixture.h"
#include "core/ModuleDescription.h"
#include "database/DatabaseExceptions.h"
#include "database/RecordsetReader.h"

namespace qv::test {
namespace {

class StoredProcedureTest : public ModuleDatabaseTest {};

TEST_F(StoredProcedureTest, EveryKindIsReadBackFromOutputAndInputOutputParameters) {
    struct Case {
        const wchar_t* procedure;
        int kind;  // __test_outputs: 1 fixed values, 0 NULL in every output; -1 no such input
        int direction;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {L"__test_outputs",
         1,
         adParamOutput,
         {"@int=-2147483648", "@bool=true", "@tiny=255", "@char=FIXED   ", "@varchar=Größe €",
          "@numeric=12345678.01235", "@float=0.10000", "@stamp=2014112413h4530_"}},
        {L"__test_outputs",
         0,
         adParamOutput,  // NULLs leave the values as they were
         {"@int=41", "@bool=true", "@tiny=9", "@char=ab", "@varchar=Größe", "@numeric=1.25000",
          "@float=0.50000", "@stamp=2014112423h5959_"}},
        {L"__test_inouts",
         -1,
         adParamInputOutput,
         {"@int=42", "@bool=false", "@tiny=10", "@char=AB", "@varchar=Größe!", "@numeric=2.50000",
          "@float=0.25000", "@stamp=2014112523h5959_"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(CString(c.procedure)) + " " + std::to_string(c.kind));
        auto call = procedure(c.procedure);
        CAttachedParameters list(call.get(), new CParameters);
        if (c.kind >= 0) {
            list->add(parameter<CParameterInt>(L"@kind", adParamInput, c.kind));
        }
        const int d = c.direction;
        list->add(parameter<CParameterInt>(L"@int", d, 41));
        list->add(parameter<CParameterBoolean>(L"@bool", d, 1));
        list->add(parameter<CParameterTinyInt>(L"@tiny", d, BYTE{9}));
        list->add(text<CParameterChar>(L"@char", d, 8, L"ab"));
        list->add(text<CParameterVarChar>(L"@varchar", d, 20, L"Größe"));
        list->add(decimal(L"@numeric", d, 1.25));
        list->add(parameter<CParameterFloat>(L"@float", d, 0.5));
        list->add(
            parameter<CParameterDateTime>(L"@stamp", d, COleDateTime(2014, 11, 24, 23, 59, 59)));
        call->execSPNoReturnParasReturn();

        std::vector<std::string> after;
        for (int i = c.kind >= 0 ? 1 : 0; i < list->getCount(); ++i) {
            CParameter* p = list->getAt(i);
            after.push_back(narrow(p->getName()) + "=" + narrow(p->getValueText()));
        }
        EXPECT_EQ(c.after, after);
        EXPECT_EQ(c.kind, c.kind >= 0 ? list->getAt(0)->getValue().lVal : -1);  // inputs stay
        EXPECT_EQ(VT_UI1, list->getParameter(L"@tiny")->getValue().vt);  // value and variant agree
    }
}

TEST_F(StoredProcedureTest, CallsThatSendNoParameters) {
    const std::function<_RecordsetPtr(CStoredProcedure&)> runs[] = {
        [](CStoredProcedure& p) { return p.execSPReturnNoParas(); },
        [](CStoredProcedure& p) {
            CAttachedParameters empty(&p, new CParameters);
            return p.execSPReturnParas();
        },
        [](CStoredProcedure& p) {  // a list attached to a variant that sends none
            CAttachedParameters list(&p, new CParameters);
            list->add(parameter<CParameterInt>(L"@unused", adParamInput, 1));
            p.execSPNoReturnNoParas();
            return p.execSPReturnNoParas();
        },
        [](CStoredProcedure& p) {  // no list to read back into
            p.execSPNoReturnParasReturn();
            p.execSPNoReturnParas();
            return p.execSPReturnParas();
        },
    };
    auto call = procedure(L"__test_noParameters");
    for (const auto& run : runs) {
        CRecordsetReader rows(run(*call));
        int answer = 0;
        EXPECT_TRUE(rows.next() && rows.read(L"answer", answer));
        EXPECT_EQ(42, answer);
    }
}

TEST_F(StoredProcedureTest, RecordSetsAreReadToTheirEndWithNullsKeepingTheDefaults) {
    struct Row {
        int id;
        CString name;
        double amount;
        bool flag;
        COleDateTime stamp;
        bool operator==(const Row&) const = default;
    };
    const COleDateTime unset(1999, 9, 9, 9, 9, 9);
    const Row odd1{1, L"row 1", 1.5, true, COleDateTime(2000, 1, 1, 1, 0, 0)};
    const Row odd3{3, L"row 3", 4.5, false, COleDateTime(2000, 1, 1, 3, 0, 0)};
    const std::pair<int, std::vector<Row>> cases[] = {
        {0, {}},
        {1, {odd1}},
        {4, {odd1, {2, L"-", -1, false, unset}, odd3, {4, L"-", -1, false, unset}}},
    };
    auto call = procedure(L"__test_rows");
    for (const auto& [count, expected] : cases) {
        SCOPED_TRACE(count);
        CAttachedParameters list(call.get(), new CParameters);
        list->add(parameter<CParameterInt>(L"@count", adParamInput, count));
        _RecordsetPtr records = call->execSPReturnParas();
        EXPECT_EQ(count == 0, records->GetBOF() && records->GetEndOfFile());
        std::vector<Row> read;
        CRecordsetReader rows(records);
        while (rows.next()) {
            Row row{0, L"-", -1, false, unset};
            rows.read(L"id", row.id);
            EXPECT_EQ(row.id % 2 == 1, rows.read(L"name", row.name));
            EXPECT_EQ(row.id % 2 == 0, rows.get(L"name").vt == VT_NULL);
            rows.read(L"amount", row.amount);
            rows.read(L"flag", row.flag);
            rows.read(L"stamp", row.stamp);
            read.push_back(row);
        }
        EXPECT_EQ(expected, read);
        rows.close();
        EXPECT_EQ(adStateClosed, records->GetState());
    }
}

TEST_F(StoredProcedureTest, CallsNestWhileARecordSetOfTheSameConnectionIsOpen) {
    auto call = procedure(L"__test_rows");
    CAttachedParameters outer(call.get(), new CParameters);
    outer->add(parameter<CParameterInt>(L"@count", adParamInput, 3));
    CRecordsetReader rows(call->execSPReturnParas());
    std::vector<int> doubled;
    while (rows.next()) {
        int id = 0;
        rows.read(L"id", id);
        call->setName(L"__test_double");
        CAttachedParameters inner(call.get(), new CParameters);
        inner->add(parameter<CParameterInt>(L"@value", adParamInput, id));
        inner->add(parameter<CParameterInt>(L"@doubled", adParamOutput, 0));
        call->execSPNoReturnParasReturn();
        doubled.push_back(inner->getParameter(L"@doubled")->getValue().lVal);
    }
    EXPECT_EQ((std::vector<int>{2, 4, 6}), doubled);
}

TEST_F(StoredProcedureTest, TheCallsXmlFormAndTheGuardThatDetachesItsParameters) {
    auto call = procedure(L"__test_rows");
    const std::vector<std::string> nameAndDate = {
        "storedProcedure/name=__test_rows", "storedProcedure/date/year=2014",
        "storedProcedure/date/month=11",    "storedProcedure/date/day=24",
        "storedProcedure/date/hour=13",     "storedProcedure/date/minute=45",
        "storedProcedure/date/second=30",
    };
    std::vector<std::string> withParameters = nameAndDate;
    for (const char* leaf : {"name=@count", "type=int", "size=4", "value=2"}) {
        withParameters.push_back(std::string("storedProcedure/parameters/parameter/parameter") +
                                 char(std::toupper(leaf[0])) + (leaf + 1));
    }
    EXPECT_EQ(nameAndDate, leaves(call->serialize(L"urn:test")));
    Chain error;
    {
        CAttachedParameters list(call.get(), new CParameters);
        list->add(parameter<CParameterInt>(L"@count", adParamInput, 2));
        MSXML2::IXMLDOMNodePtr xml = call->serialize(L"urn:test");
        EXPECT_EQ(withParameters, leaves(xml));
        // The date is in the error-log namespace whatever namespace is asked for.
        std::vector<std::string> ns(2, "urn:test");  // storedProcedure, name
        ns.insert(ns.end(), 7, narrow(CString(ORVAN_ERROR_LOG_NAMESPACE)));
        ns.insert(ns.end(), 6, "urn:test");  // parameters, parameter and its four children
        EXPECT_EQ(ns, namespaces(xml));

        // A failure while reading the rows, as callers report it, keeps the call's form.
        error = caught([&] {
            try {
                CRecordsetReader rows(call->execSPReturnParas());
                int value = 0;
                rows.next();
                rows.read(L"nosuch", value);
            } catch (const _com_error& e) {
                throw new CEXStoredProcedure(e, call.get(), ORVAN_MODULE_DESCRIPTION, L"Blocks.cpp",
                                             L"CBlocks::read", 2);
            }
        });
    }
    EXPECT_EQ(nullptr, call->getParameters());
    EXPECT_EQ(nameAndDate, leaves(call->serialize(L"urn:test")));

    auto* failed = dynamic_cast<CEXStoredProcedure*>(error.get());
    ASSERT_TRUE(failed);
    EXPECT_EQ(CString(L"ADODB.Recordset"), failed->getSource());
    EXPECT_FALSE(failed->getDescription().IsEmpty());
    EXPECT_EQ(withParameters, leaves(failed->getXMLNode()));
}

}  // namespace
}  // namespace qv::test
