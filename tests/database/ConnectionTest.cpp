// Opening the connection: logins whose values need quoting, and connections that cannot be made
// arriving as CEXConnection with the driver's errors chained below, COM left as it was.
#include <optional>

#include "DatabaseFixture.h"
#include "database/DatabaseExceptions.h"
#include "database/RecordsetReader.h"
#include "database/SQLStatement.h"

namespace qv::test {
namespace {

class ConnectionTest : public ModuleDatabaseTest {};

TEST_F(ConnectionTest, OpensWithLoginsWhoseValuesNeedQuoting) {
    const int depth = qv::com::initialisationDepth();
    EXPECT_EQ(0.0, CDataServices().getADOVersion());
    for (const auto& [login, secret] :
         {std::pair(db().user, db().password), std::pair(db().oddUser, db().oddPassword)}) {
        CSQLStatement statement(server(), catalog(), login.c_str(), secret.c_str(), 10);
        EXPECT_DOUBLE_EQ(2.8, statement.getADOVersion());
        CRecordsetReader row(statement.execSQLReturn(L"SELECT current_user AS who"));
        CString who;
        EXPECT_TRUE(row.next() && row.read(L"who", who));
        EXPECT_EQ(CString(login.c_str()), who);
    }
    EXPECT_EQ(depth, qv::com::initialisationDepth());
}

TEST_F(ConnectionTest, ConnectionsThatCannotBeMadeRaiseCEXConnection) {
    struct Case {
        const char* what;
        CString server, catalogue, password;
        const char* description;  // the innermost one: the first driver error, or the COM error's
        bool noConnectionObject = false;
    };
    const Case cases[] = {
        {"no server on the port", L"127.0.0.1,1", catalog(), password(), "127.0.0.1"},
        {"wrong password", server(), catalog(), L"wrong", "password authentication failed"},
        {"unknown catalogue", server(), L"nosuch", password(), "nosuch"},
        {"no connection object", server(), catalog(), password(), "Class not registered", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int depth = qv::com::initialisationDepth();
        std::optional<qv::com::ClassHidden> missing;
        if (c.noConnectionObject) {
            missing.emplace(L"ADODB.Connection");
        }
        Chain error =
            caught([&] { CStoredProcedure(c.server, c.catalogue, user(), c.password, 5); });
        EXPECT_EQ(depth, qv::com::initialisationDepth());
        ASSERT_TRUE(dynamic_cast<CEXConnection*>(error.get()));
        EXPECT_EQ("DataServices::CDataServices::CDataServices",
                  narrow(error->getClass() + L"::" + error->getProcSig()));
        // The driver's errors are chained below, each naming the constructor too.
        const CEXOrvan* innermost = error.get();
        for (; innermost->getInnerException(); innermost = innermost->getInnerException()) {
            EXPECT_TRUE(dynamic_cast<const CEXCustom*>(innermost->getInnerException()));
            EXPECT_EQ(error->getProcSig(), innermost->getInnerException()->getProcSig());
        }
        if (missing) {
            EXPECT_EQ(error.get(), innermost);
        } else {
            EXPECT_EQ(L"An error occurred whilst connecting to " + c.catalogue,
                      error->getDescription());
            EXPECT_NE(error.get(), innermost);
        }
        EXPECT_NE(std::string::npos, narrow(innermost->getDescription()).find(c.description))
            << narrow(innermost->getDescription());
    }
}

// A value holding a NUL character is refused before the provider sees it, with the connection's
// error: the provider's text would end at the NUL, so that a password "secret\0xyz" logged in
// with "secret" and a user "name\0xyz" left the password out.
TEST_F(ConnectionTest, AValueHoldingANulIsRefusedBeforeConnecting) {
    const auto withNul = [](const CString& value) {
        const std::wstring text = value.GetString() + std::wstring(L"\0xyz", 4);
        return CString(text.c_str(), static_cast<int>(text.size()));
    };
    struct Case {
        const char* what;
        CString server, catalogue, login, secret;
    };
    const Case cases[] = {
        {"password", server(), catalog(), user(), withNul(password())},
        {"user", server(), catalog(), withNul(user()), password()},
        {"catalogue", server(), withNul(catalog()), user(), password()},
        {"data source", withNul(server()), catalog(), user(), password()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(c.secret.GetLength() + c.login.GetLength() + c.catalogue.GetLength() +
                      c.server.GetLength(),
                  password().GetLength() + user().GetLength() + catalog().GetLength() +
                      server().GetLength() + 4);
        const int depth = qv::com::initialisationDepth();
        Chain error =
            caught([&] { CStoredProcedure(c.server, c.catalogue, c.login, c.secret, 5); });
        EXPECT_EQ(depth, qv::com::initialisationDepth());
        ASSERT_TRUE(dynamic_cast<CEXConnection*>(error.get()));
        EXPECT_EQ("DataServices::CDataServices::CDataServices",
                  narrow(error->getClass() + L"::" + error->getProcSig()));
        EXPECT_EQ("A value of the connection (data source, catalogue, user or password) holds a "
                  "NUL character.",
                  narrow(error->getDescription()));
    }
}

}  // namespace
}  // namespace qv::test
