#include "AdoTestSupport.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "com/OleDate.h"
#include "win32/CodePage.h"

namespace qv::test {
namespace {

const char* typeName(VARTYPE vt) {
    static const std::pair<VARTYPE, const char*> kNames[] = {
        {VT_I2, "I2"},   {VT_I4, "I4"},     {VT_I8, "I8"},           {VT_R4, "R4"},  {VT_R8, "R8"},
        {VT_UI1, "UI1"}, {VT_BSTR, "BSTR"}, {VT_DECIMAL, "DECIMAL"}, {VT_INT, "INT"}};
    for (const auto& [type, name] : kNames) {
        if (type == vt) {
            return name;
        }
    }
    return "?";
}

}  // namespace

std::string narrow(const _bstr_t& text) {
    const wchar_t* p = text;
    return p ? qv::wideToUtf8(std::wstring(p, text.length())) : std::string();
}

std::string describe(const _variant_t& value) {
    switch (value.vt) {
        case VT_EMPTY:
            return "EMPTY";
        case VT_NULL:
            return "NULL";
        case VT_BOOL:
            return value.boolVal == VARIANT_TRUE    ? "BOOL:true"
                   : value.boolVal == VARIANT_FALSE ? "BOOL:false"
                                                    : "BOOL:" + std::to_string(value.boolVal);
        case VT_DATE: {
            double day = std::trunc(value.date);
            long long ms = std::llround(std::fabs(value.date - day) * 86400000.0);
            qv::com::DateParts p;
            qv::com::partsFromDate(day, p);
            char text[64];
            std::snprintf(text, sizeof text, "DATE:%04d-%02d-%02d %02lld:%02lld:%02lld.%03lld",
                          p.year, p.month, p.day, ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                          ms % 1000);
            return text;
        }
        default:
            return std::string(typeName(value.vt)) + ":" + narrow(_bstr_t(value));
    }
}

_variant_t variantOf(VARTYPE vt, const wchar_t* text) {
    _variant_t out;
    const _variant_t source(text);
    out.ChangeType(vt, &source);
    return out;
}

void expectAdoErrors(const std::vector<AdoErrorCase>& cases) {
    for (const AdoErrorCase& c : cases) {
        std::optional<Raised> raised = raisedBy(c.call);
        ASSERT_TRUE(raised) << c.what;
        EXPECT_EQ(raised->hr, static_cast<HRESULT>(0x800A0000u + c.error)) << c.what;
        EXPECT_EQ(raised->source, c.source) << c.what;
        EXPECT_FALSE(raised->description.empty()) << c.what;
    }
}

_ConnectionPtr AdoTest::open() {
    return open(db().connectionString());
}

_ConnectionPtr AdoTest::open(const std::wstring& connectionString) {
    _ConnectionPtr connection;
    EXPECT_EQ(connection.CreateInstance(L"ADODB.Connection"), S_OK);
    try {
        connection->PutConnectionTimeout(10);
        connection->Open(connectionString.c_str(), L"", L"", adConnectUnspecified);
    } catch (const _com_error& e) {
        ADD_FAILURE() << "The test database does not answer: " << narrow(e.Description());
        throw;
    }
    return connection;
}

_CommandPtr AdoTest::procedure(const _ConnectionPtr& connection, const wchar_t* name,
                               long timeout) {
    _CommandPtr command;
    EXPECT_EQ(command.CreateInstance(__uuidof(Command)), S_OK);
    command->PutRefActiveConnection(connection);
    command->PutCommandType(adCmdStoredProc);
    command->PutCommandTimeout(timeout);
    command->PutCommandText(name);
    return command;
}

void AdoTest::add(const _CommandPtr& command, const wchar_t* name, DataTypeEnum type,
                  ParameterDirectionEnum direction, long size, const _variant_t& value,
                  unsigned char precision, unsigned char scale) {
    _ParameterPtr parameter = command->CreateParameter(name, type, direction, size, value);
    if (precision != 0) {
        parameter->PutPrecision(precision);
        parameter->PutNumericScale(scale);
    }
    command->GetParameters()->Append(parameter);
}

}  // namespace qv::test
