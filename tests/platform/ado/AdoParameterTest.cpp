// Every parameter kind the module sends, going in, coming out and going in and out of a stored
// procedure of the test database, with the variant types ADO gives the values.
#include "AdoTestSupport.h"
#include "com/OleDate.h"
#include "win32/CodePage.h"

namespace qv::test {
namespace {

// One parameter of the test procedures: its ADO declaration.
struct Kind {
    const char* label;
    DataTypeEnum type;
    long size;
    unsigned char precision;
    unsigned char scale;
};

// The order of __test_echo, __test_outputs and __test_inouts.
const Kind kKinds[] = {
    {"int", adInteger, 4, 0, 0},      {"bool", adBoolean, 1, 0, 0},
    {"tiny", adTinyInt, 1, 0, 0},     {"char", adChar, 8, 0, 0},
    {"varchar", adVarChar, 20, 0, 0}, {"numeric", adNumeric, 9, 18, 10},
    {"float", adNumeric, 8, 0, 0},    {"stamp", adDBTimeStamp, 0, 0, 0},
};
constexpr int kKindCount = 8;

_variant_t nullValue() {
    _variant_t v;
    v.vt = VT_NULL;
    return v;
}

_variant_t dateValue(int y, int mo, int d, int h, int mi, int s, int ms) {
    qv::com::DateParts parts{y, mo, d, 0, 0, 0};
    DATE day = 0;
    qv::com::dateFromParts(parts, day);
    _variant_t v;
    v.vt = VT_DATE;
    v.date = day + (((h * 60.0 + mi) * 60.0 + s) * 1000.0 + ms) / 86400000.0;
    return v;
}

class AdoParameterTest : public AdoTest {};

TEST_F(AdoParameterTest, SendsEveryKindInItsDeclaredType) {
    // Each case sets one parameter and leaves the others NULL; __test_echo hands every value
    // back as a column of its own type.
    struct Case {
        int kind;
        _variant_t value;
        const char* column;  // the echoed column as describe() writes it
    };
    const Case cases[] = {
        {0, _variant_t(-7L), "I4:-7"},
        {0, variantOf(VT_BSTR, L"42"), "I4:42"},  // converted to the declared type
        {1, _variant_t(true), "BOOL:true"},
        {1, _variant_t(false), "BOOL:false"},
        {2, _variant_t(BYTE{200}), "I2:200"},  // tinyint is 0..255 as on SQL Server
        {3, variantOf(VT_BSTR, L"ab"), "BSTR:ab"},
        {3, _variant_t(0), "BSTR:0"},  // an unset text parameter sends VT_INT 0 as text
        {4, variantOf(VT_BSTR, L"Größe € \U0001F600"), "BSTR:Größe € \U0001F600"},
        {4, variantOf(VT_BSTR, L""), "BSTR:"},
        {5, _variant_t(1234.5678901234), "DECIMAL:1234.5678901234"},
        {5, variantOf(VT_DECIMAL, L"-0.0000000001"), "DECIMAL:-0.0000000001"},
        {6, _variant_t(0.1), "R8:0.1"},  // no precision: the double keeps its fraction
        {7, dateValue(2014, 11, 24, 10, 20, 30, 123), "DATE:2014-11-24 10:20:30.123"},
        {7, dateValue(2014, 11, 24, 0, 0, 0, 0), "DATE:2014-11-24 00:00:00.000"},
    };
    _ConnectionPtr connection = open();
    for (const Case& c : cases) {
        const Kind& kind = kKinds[c.kind];
        SCOPED_TRACE(std::string(kind.label) + " " + describe(c.value));
        _CommandPtr command = procedure(connection, L"__test_echo");
        for (int i = 0; i < kKindCount; ++i) {
            const Kind& k = kKinds[i];
            add(command, qv::utf8ToWide(std::string("@") + k.label).c_str(), k.type, adParamInput,
                k.size, i == c.kind ? c.value : nullValue(), k.precision, k.scale);
        }
        _RecordsetPtr rs = command->Execute(nullptr, nullptr, adCmdStoredProc);
        ASSERT_EQ(rs->GetState(), adStateOpen);
        ASSERT_FALSE(rs->GetEndOfFile());
        for (int i = 0; i < kKindCount; ++i) {
            EXPECT_EQ(describe(rs->GetCollect(static_cast<long>(i))),
                      i == c.kind ? c.column : "NULL")
                << "column " << i;
        }
    }
}

TEST_F(AdoParameterTest, ReadsEveryKindBackFromOutputParameters) {
    const char* expected[kKindCount] = {
        "I4:-2147483648", "BOOL:true",
        "UI1:255",        "BSTR:FIXED   ",
        "BSTR:Größe €",   "DECIMAL:12345678.0123456789",
        "DECIMAL:0.1",    "DATE:2014-11-24 13:45:30.250",
    };
    _ConnectionPtr connection = open();
    for (long fill : {1L, 0L}) {  // 0 gives NULL in every output
        SCOPED_TRACE(fill ? "values" : "NULLs");
        _CommandPtr command = procedure(connection, L"__test_outputs");
        add(command, L"@kind", adInteger, adParamInput, 4, _variant_t(fill));
        for (const Kind& k : kKinds) {
            add(command, qv::utf8ToWide(std::string("@") + k.label).c_str(), k.type, adParamOutput,
                k.size, _variant_t(), k.precision, k.scale);
        }
        _RecordsetPtr rs = command->Execute(nullptr, nullptr, adCmdStoredProc);
        EXPECT_EQ(rs->GetState(), adStateClosed);  // outputs only, no record set
        for (int i = 0; i < kKindCount; ++i) {
            const Kind& k = kKinds[i];
            _variant_t value = command->GetParameters()
                                   ->GetItem(qv::utf8ToWide(std::string("@") + k.label).c_str())
                                   ->GetValue();
            EXPECT_EQ(describe(value), fill ? expected[i] : "NULL") << k.label;
        }
    }
}

TEST_F(AdoParameterTest, SendsAndReadsBackInputOutputParameters) {
    struct Case {
        _variant_t in;
        const char* out;
    };
    const Case cases[kKindCount] = {
        {_variant_t(41L), "I4:42"},
        {_variant_t(true), "BOOL:false"},
        {_variant_t(BYTE{9}), "UI1:10"},
        {variantOf(VT_BSTR, L"ab"), "BSTR:AB"},
        {variantOf(VT_BSTR, L"Größe"), "BSTR:Größe!"},
        {_variant_t(1.25), "DECIMAL:2.5"},
        {_variant_t(0.5), "DECIMAL:0.25"},
        {dateValue(2014, 11, 24, 23, 59, 59, 999), "DATE:2014-11-25 23:59:59.999"},
    };
    _ConnectionPtr connection = open();
    _CommandPtr command = procedure(connection, L"__test_inouts");
    for (int i = 0; i < kKindCount; ++i) {
        const Kind& k = kKinds[i];
        add(command, qv::utf8ToWide(std::string("@") + k.label).c_str(), k.type, adParamInputOutput,
            k.size, cases[i].in, k.precision, k.scale);
    }
    command->Execute(nullptr, nullptr, adCmdStoredProc);
    for (int i = 0; i < kKindCount; ++i) {
        EXPECT_EQ(describe(command->GetParameters()->GetItem(static_cast<long>(i))->GetValue()),
                  cases[i].out)
            << kKinds[i].label;
    }
}

// A text of its declared size made of characters outside the BMP needs twice as many UTF-16
// units as characters: it comes back whole from an output and from an input-output parameter.
TEST_F(AdoParameterTest, TextsFullOfCharactersOutsideTheBmpComeBackWhole) {
    const long size = 20;
    const std::wstring face(size, L'\U0001F600');
    _ConnectionPtr connection = open();
    for (long length : {size - 1, size}) {
        SCOPED_TRACE(length);
        _CommandPtr command = procedure(connection, L"__test_unitOut");
        add(command, L"@unit", adVarChar, adParamInput, 1, variantOf(VT_BSTR, L"\U0001F600"));
        add(command, L"@length", adInteger, adParamInput, 4, _variant_t(length));
        add(command, L"@text", adVarChar, adParamOutput, size, _variant_t());
        command->Execute(nullptr, nullptr, adCmdStoredProc);
        EXPECT_EQ(describe(command->GetParameters()->GetItem(L"@text")->GetValue()),
                  "BSTR:" + qv::wideToUtf8(face.substr(0, static_cast<std::size_t>(length))));
    }

    // In and out: 19 faces go in, "!" is added, 20 characters come back.
    _CommandPtr command = procedure(connection, L"__test_inouts");
    for (int i = 0; i < kKindCount; ++i) {
        const Kind& k = kKinds[i];
        add(command, qv::utf8ToWide(std::string("@") + k.label).c_str(), k.type, adParamInputOutput,
            k.size, i == 4 ? variantOf(VT_BSTR, face.substr(1).c_str()) : nullValue(), k.precision,
            k.scale);
    }
    command->Execute(nullptr, nullptr, adCmdStoredProc);
    EXPECT_EQ(describe(command->GetParameters()->GetItem(4L)->GetValue()),
              "BSTR:" + qv::wideToUtf8(face.substr(1)) + "!");
}

TEST_F(AdoParameterTest, RunsTheSameCommandAgainWithNewValues) {
    _ConnectionPtr connection = open();
    _CommandPtr command = procedure(connection, L"__test_double");
    add(command, L"@value", adInteger, adParamInput, 4, _variant_t(1L));
    add(command, L"@doubled", adInteger, adParamOutput, 4, _variant_t());
    ParametersPtr parameters = command->GetParameters();
    for (long value : {21L, -5L, 0L}) {
        parameters->GetItem(L"@value")->PutValue(_variant_t(value));
        command->Execute(nullptr, nullptr, adCmdStoredProc);
        EXPECT_EQ(describe(parameters->GetItem(L"@DOUBLED")->GetValue()),
                  "I4:" + std::to_string(value * 2));
    }
}

}  // namespace
}  // namespace qv::test
