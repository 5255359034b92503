// The SQLOLEDB connection string and the ODBC connection string made of it.
#include <gtest/gtest.h>

#include "ado/ConnectionString.h"

namespace {

using qv::ado::ConnectionSettings;
using qv::ado::ConnectionStringError;
using qv::ado::DriverSettings;
using qv::ado::odbcConnectionString;
using qv::ado::parseConnectionString;

using namespace std::literals;

std::wstring translate(const std::wstring& oleDb, const DriverSettings& driver = {}) {
    return odbcConnectionString(parseConnectionString(oleDb), driver);
}

TEST(ConnectionStringTest, TranslatesTheProviderKeywords) {
    struct Case {
        const wchar_t* oleDb;
        const wchar_t* odbc;
    };
    const Case cases[] = {
        {L"Provider=SQLOLEDB;Data Source=db01;Initial Catalog=docMon;User Id=sa;Password=pw;",
         L"Driver={FreeTDS};Server=db01;Database=docMon;UID=sa;PWD={pw};"},
        // synonyms, any letter case, blanks around keys and values
        {L" provider = SQLOLEDB.1 ; SERVER = db01 ; database=docMon;uid=sa;pwd=pw",
         L"Driver={FreeTDS};Server=db01;Database=docMon;UID=sa;PWD={pw};"},
        // a port after a comma, and the tcp: prefix
        {L"Provider=SQLOLEDB;Data Source=tcp:127.0.0.1,5433;Initial Catalog=x;User Id=u;Password=p",
         L"Driver={FreeTDS};Server=127.0.0.1;Port=5433;Database=x;UID=u;PWD={p};"},
        // empty values and the empty password of a named user
        {L"Provider=SQLOLEDB;Data Source=db01;Initial Catalog=;User Id=sa;Password=;",
         L"Driver={FreeTDS};Server=db01;UID=sa;PWD={};"},
        // keywords that mean nothing to the driver are dropped, not passed on
        {L"Provider=SQLOLEDB;Data Source=db01;Persist Security Info=False;Driver=evil;User Id=sa",
         L"Driver={FreeTDS};Server=db01;UID=sa;PWD={};"},
        // quoted values keep ";", "=" and doubled quotes; the password is braced with "}" doubled
        {L"Provider=SQLOLEDB;Data Source=db01;User Id=sa;Password=\"a;b\"\"c'd{e}f=g\"",
         L"Driver={FreeTDS};Server=db01;UID=sa;PWD={a;b\"c'd{e}}f=g};"},
        {L"Provider=SQLOLEDB;User Id='sa';Password='it''s;Driver={x}'",
         L"Driver={FreeTDS};UID=sa;PWD={it's;Driver={x}}};"},
        // no provider at all is the same provider
        {L"Data Source=db01", L"Driver={FreeTDS};Server=db01;"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(translate(c.oleDb), c.odbc) << c.oleDb;
    }
}

TEST(ConnectionStringTest, AddsTheConfiguredDriverAndOptions) {
    DriverSettings driver;
    driver.driver = L"PostgreSQL Unicode";
    driver.options = L"BoolsAsChar=0";
    EXPECT_EQ(translate(L"Provider=SQLOLEDB;Data Source=h,1;User Id=u;Password=p", driver),
              L"Driver={PostgreSQL Unicode};Server=h;Port=1;UID=u;PWD={p};BoolsAsChar=0;");
}

TEST(ConnectionStringTest, ReadsTheConnectTimeout) {
    ConnectionSettings s = parseConnectionString(L"Data Source=h;Connect Timeout=7");
    ASSERT_TRUE(s.connectTimeout.has_value());
    EXPECT_EQ(*s.connectTimeout, 7);
    EXPECT_FALSE(parseConnectionString(L"Data Source=h").connectTimeout.has_value());
}

TEST(ConnectionStringTest, RefusesWhatCannotBePassedOnSafely) {
    struct Case {
        std::wstring_view oleDb;
        ConnectionStringError::Kind kind;
    };
    const Case cases[] = {
        // an unquoted ";" in a password leaves a pair without "="
        {L"Provider=SQLOLEDB;User Id=sa;Password=a;b;", ConnectionStringError::Kind::Format},
        // a keyword given twice, also under a synonym
        {L"User Id=sa;Password=a;Password=b", ConnectionStringError::Kind::Format},
        {L"User Id=sa;UID=root", ConnectionStringError::Kind::Format},
        {L"Password=\"open", ConnectionStringError::Kind::Format},
        {L"Password=\"closed\"text", ConnectionStringError::Kind::Format},
        {L"=value", ConnectionStringError::Kind::Format},
        {L"Provider=MSDASQL;Data Source=db01", ConnectionStringError::Kind::UnknownProvider},
        // values other than the password go unbraced, so they may not hold ; { }
        {L"Data Source=db01;User Id=\"sa;Driver=x\"", ConnectionStringError::Kind::Value},
        {L"Data Source=db01;Initial Catalog={docMon}", ConnectionStringError::Kind::Value},
        {L"Data Source=db01;Initial Catalog=doc}Mon", ConnectionStringError::Kind::Value},
        {L"Data Source=db01,port", ConnectionStringError::Kind::Value},
        {L"Data Source=db01;Connect Timeout=soon", ConnectionStringError::Kind::Value},
        // a NUL would end the string the driver reads
        {L"Data Source=db01;User Id=sa;Password=\"pw\0rest\""sv, ConnectionStringError::Kind::Value},
        {L"Data Source=db01;User Id=sa\0;Password=pw"sv, ConnectionStringError::Kind::Value},
    };
    for (const Case& c : cases) {
        try {
            translate(std::wstring(c.oleDb));
            ADD_FAILURE() << "accepted: " << std::wstring(c.oleDb);
        } catch (const ConnectionStringError& e) {
            EXPECT_EQ(e.kind(), c.kind) << std::wstring(c.oleDb);
            EXPECT_FALSE(e.message().empty());
        }
    }
}

}  // namespace
