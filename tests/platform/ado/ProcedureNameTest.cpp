// Procedure names as written for SQL Server, and their form on each database.
#include <gtest/gtest.h>

#include "ado/odbc/Error.h"
#include "ado/odbc/ProcedureName.h"

namespace {

using qv::odbc::callableName;
using qv::odbc::Dialect;

TEST(ProcedureNameTest, GivesEachDatabaseItsForm) {
    // SQL Server takes each name as written.
    struct Case {
        const wchar_t* name;
        const wchar_t* postgres;
    };
    const Case cases[] = {
        {L"__to_getBlocksFromIPR", L"__to_getBlocksFromIPR"},
        {L"[idr]..[getAssetAttributes]", L"idr.getAssetAttributes"},
        {L"idr.dbo.getLocationAssets", L"idr.getLocationAssets"},
        {L"dbo.[proc]", L"proc"},
        {L"[sales].[report]", L"sales.report"},
        {L"a.sales.report", L"sales.report"},
        {L"[odd name]", L"\"odd name\""},
        {L"[a]]b\"c]", L"\"a]b\"\"c\""},
        {L"#temp", L"\"#temp\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(callableName(c.name, Dialect::SqlServer), c.name) << c.name;
        EXPECT_EQ(callableName(c.name, Dialect::PostgreSql), c.postgres) << c.name;
    }
}

TEST(ProcedureNameTest, RefusesNamesThatCarryAnythingButAName) {
    const wchar_t* names[] = {L"",     L"proc(1); drop table x; --", L"proc name", L"[open", L"[]",
                              L"a.",   L"a.b.c.d", L"[a]b", L"a[b]", L"1proc"};
    for (const wchar_t* name : names) {
        for (Dialect dialect : {Dialect::SqlServer, Dialect::PostgreSql}) {
            EXPECT_THROW(callableName(name, dialect), qv::odbc::Error) << name;
        }
    }
}

}  // namespace
