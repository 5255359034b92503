// The ADO objects themselves: creation through the class registry, the connection's
// properties, logins whose passwords need quoting, and ADO's own errors.
#include "AdoTestSupport.h"
#include "com/ComRuntime.h"

namespace qv::test {
namespace {

class AdoObjectTest : public AdoTest {};

TEST_F(AdoObjectTest, CreatesEachClassByProgIdAndByClassId) {
    struct Case {
        const wchar_t* progId;
        CLSID clsid;
        IID iid;
    };
    const Case cases[] = {
        {L"ADODB.Connection", __uuidof(Connection), __uuidof(_Connection)},
        {L"ADODB.Command", __uuidof(Command), __uuidof(_Command)},
        {L"ADODB.Recordset", __uuidof(Recordset), __uuidof(_Recordset)},
        {L"ADODB.Parameter", __uuidof(Parameter), __uuidof(_Parameter)},
    };
    for (const Case& c : cases) {
        CLSID found = GUID_NULL;
        EXPECT_EQ(CLSIDFromProgID(c.progId, &found), S_OK);
        EXPECT_TRUE(found == c.clsid);
        IUnknown* object = nullptr;
        // class-context mask 23: in-process, handler, local and remote server
        ASSERT_EQ(CoCreateInstance(c.clsid, nullptr, 23, c.iid, reinterpret_cast<void**>(&object)),
                  S_OK);
        object->Release();
    }
}

TEST_F(AdoObjectTest, AConnectionOpensAndCloses) {
    _ConnectionPtr connection(__uuidof(Connection));
    EXPECT_EQ(connection->GetState(), adStateClosed);
    EXPECT_EQ(connection->GetConnectionTimeout(), 15);
    EXPECT_EQ(connection->GetCommandTimeout(), 30);
    EXPECT_EQ(atof(static_cast<const char*>(connection->GetVersion())), 2.8);
    connection->PutConnectionTimeout(0);  // a time-out of 0 is taken as it is
    EXPECT_EQ(connection->GetConnectionTimeout(), 0);
    connection->Open(db().connectionString().c_str(), L"", L"", adConnectUnspecified);
    EXPECT_EQ(connection->GetState(), adStateOpen);
    const std::string catalog = narrow(_bstr_t(db().catalog.c_str()));
    EXPECT_EQ(narrow(connection->GetDefaultDatabase()), catalog);
    EXPECT_EQ(connection->GetErrors()->GetCount(), 0);
    connection->Close();
    EXPECT_EQ(connection->GetState(), adStateClosed);
    EXPECT_EQ(narrow(connection->GetDefaultDatabase()), catalog);
}

TEST_F(AdoObjectTest, LogsInWithPasswordsThatNeedQuoting) {
    // The login's password holds ; " ' { } and =; quoted in the connection string it reaches
    // the server whole, and nothing in it becomes a keyword of the driver.
    const TestDatabase& d = db();
    _ConnectionPtr connection = open(d.connectionString(d.oddUser, d.oddPassword));
    ASSERT_EQ(connection->GetState(), adStateOpen);
    _RecordsetPtr rs = connection->Execute(L"SELECT current_user AS who", nullptr, adCmdText);
    EXPECT_EQ(describe(rs->GetCollect(L"who")), "BSTR:" + narrow(d.oddUser.c_str()));

    // User and password given to Open replace those of the string.
    _ConnectionPtr other(L"ADODB.Connection");
    other->Open(d.connectionString(L"nobody", L"nothing").c_str(), d.oddUser.c_str(),
                d.oddPassword.c_str(), adConnectUnspecified);
    EXPECT_EQ(other->GetState(), adStateOpen);
}

// SQL text runs on the connection, and on a command with a connection string of its own.
TEST_F(AdoObjectTest, RunsSqlTextOnTheConnection) {
    _ConnectionPtr connection = open();
    _variant_t affected;
    _RecordsetPtr rs = connection->Execute(
        L"UPDATE graphic_reports SET title = title WHERE id IN (1, 2)", &affected, adCmdText);
    EXPECT_EQ(describe(affected), "I4:2");
    EXPECT_EQ(rs->GetState(), adStateClosed);
    rs = connection->Execute(L"SELECT name FROM locations WHERE id = 2", nullptr,
                             adOptionUnspecified);
    EXPECT_EQ(describe(rs->GetCollect(L"name")), "BSTR:Library");

    // A command opens its own connection from a string.
    _CommandPtr command(L"ADODB.Command");
    command->PutActiveConnection(_variant_t(db().connectionString().c_str()));
    command->PutCommandText(L"SELECT code FROM locations WHERE id = ?");
    command->GetParameters()->Append(
        command->CreateParameter(L"id", adInteger, adParamInput, 4, _variant_t(3L)));
    rs = command->Execute(nullptr, nullptr, adCmdText);
    EXPECT_EQ(describe(rs->GetCollect(0L)), "BSTR:LIB-G");
    EXPECT_EQ(command->GetActiveConnection()->GetState(), adStateOpen);
}

TEST_F(AdoObjectTest, RaisesAdosOwnErrors) {
    _ConnectionPtr connection = open();
    _CommandPtr command = procedure(connection, L"__test_double");
    add(command, L"@value", adInteger, adParamInput, 4, _variant_t(1L));
    _ParameterPtr appended = command->GetParameters()->GetItem(0L);
    _CommandPtr unconnected(L"ADODB.Command");
    unconnected->PutCommandText(L"__test_double");
    _ConnectionPtr closed(L"ADODB.Connection");
    // Runs a procedure with one input parameter of that declaration.
    auto runWith = [&](DataTypeEnum type, long size, const _variant_t& value) {
        _CommandPtr c = procedure(connection, L"__test_double");
        add(c, L"@value", type, adParamInput, size, value);
        c->Execute(nullptr, nullptr, adCmdStoredProc);
    };

    expectAdoErrors({
        {"unknown parameter name", [&] { command->GetParameters()->GetItem(L"@nosuch"); },
         adErrItemNotFound, "ADODB.Parameters"},
        {"parameter ordinal past the end", [&] { command->GetParameters()->GetItem(1L); },
         adErrItemNotFound, "ADODB.Parameters"},
        {"a parameter appended twice", [&] { command->GetParameters()->Append(appended); },
         adErrObjectInCollection, "ADODB.Parameters"},
        {"a second parameter of the same name",
         [&] {
             command->GetParameters()->Append(
                 command->CreateParameter(L"@VALUE", adInteger, adParamInput, 4, _variant_t(2L)));
         },
         adErrObjectInCollection, "ADODB.Parameters"},
        {"appending nothing", [&] { command->GetParameters()->Append(nullptr); },
         adErrInvalidArgument, "ADODB.Parameters"},
        {"a command without connection",
         [&] { unconnected->Execute(nullptr, nullptr, adCmdStoredProc); }, adErrInvalidConnection,
         "ADODB.Command"},
        {"a command on a closed connection",
         [&] {
             unconnected->PutRefActiveConnection(closed);
             unconnected->Execute(nullptr, nullptr, adCmdStoredProc);
         },
         adErrInvalidConnection, "ADODB.Command"},
        {"a text parameter without size", [&] { runWith(adVarChar, 0, _variant_t(L"x")); },
         adErrInvalidParamInfo, "ADODB.Command"},
        {"a value that is not of the parameter's type",
         [&] { runWith(adInteger, 4, _variant_t(L"forty-two")); }, adErrDataConversion,
         "ADODB.Parameter"},
        {"a tiny integer out of its range", [&] { runWith(adTinyInt, 1, _variant_t(256L)); },
         adErrDataConversion, "ADODB.Parameter"},
        {"a negative time-out", [&] { command->PutCommandTimeout(-1); }, adErrInvalidArgument,
         "ADODB.Command"},
        {"opening an open connection",
         [&] { connection->Open(db().connectionString().c_str(), L"", L"", -1); }, adErrObjectOpen,
         "ADODB.Connection"},
        {"a connection time-out while open", [&] { connection->PutConnectionTimeout(3); },
         adErrObjectOpen, "ADODB.Connection"},
        {"closing a closed connection", [&] { closed->Close(); }, adErrObjectClosed,
         "ADODB.Connection"},
        {"SQL on a closed connection", [&] { closed->Execute(L"SELECT 1", nullptr, -1); },
         adErrInvalidConnection, "ADODB.Connection"},
        {"another provider",
         [&] { closed->Open(L"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb", L"", L"", -1); },
         adErrProviderNotFound, "ADODB.Connection"},
        {"an error of the Errors collection past its end",
         [&] { connection->GetErrors()->GetItem(0L); }, adErrItemNotFound, "ADODB.Errors"},
    });
    // None of it touched the connection.
    command->Execute(nullptr, nullptr, adCmdStoredProc);
    EXPECT_EQ(connection->GetState(), adStateOpen);
}

}  // namespace
}  // namespace qv::test
