// Record sets of stored procedures: walking the rows, NULLs, empty results, field types, long
// texts, and calls nested on one connection while a record set is open.
#include <vector>

#include "AdoTestSupport.h"
#include "win32/CodePage.h"

namespace qv::test {
namespace {

class AdoRecordsetTest : public AdoTest {
  protected:
    _RecordsetPtr rows(const _ConnectionPtr& connection, long count) {
        _CommandPtr command = procedure(connection, L"__test_rows");
        add(command, L"@count", adInteger, adParamInput, 4, _variant_t(count));
        return command->Execute(nullptr, nullptr, adCmdStoredProc);
    }
};

TEST_F(AdoRecordsetTest, WalksTheRowsWithTheirTypesAndNulls) {
    // __test_rows gives NULL in every column but "id" of the even rows.
    const char* columns[] = {"id",  "name",  "amount", "flag", "small",
                             "big", "ratio", "stamp",  "day"};
    const std::vector<std::vector<std::string>> expected = {
        {"I4:1", "BSTR:row 1", "DECIMAL:1.5", "BOOL:true", "I2:1", "I8:10000000000", "R8:0.25",
         "DATE:2000-01-01 01:00:00.000", "DATE:2000-01-02 00:00:00.000"},
        {"I4:2", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL"},
        {"I4:3", "BSTR:row 3", "DECIMAL:4.5", "BOOL:false", "I2:3", "I8:30000000000", "R8:0.75",
         "DATE:2000-01-01 03:00:00.000", "DATE:2000-01-04 00:00:00.000"},
    };
    _ConnectionPtr connection = open();
    _RecordsetPtr rs = rows(connection, 3);
    ASSERT_EQ(rs->GetState(), adStateOpen);
    EXPECT_FALSE(rs->GetBOF());
    EXPECT_EQ(rs->GetRecordCount(), 3);
    std::vector<std::vector<std::string>> read;
    while (!rs->GetEndOfFile()) {
        std::vector<std::string> row;
        for (const char* column : columns) {
            row.push_back(describe(rs->GetCollect(column)));
        }
        read.push_back(row);
        rs->MoveNext();
    }
    EXPECT_EQ(read, expected);
    rs->Close();
    EXPECT_EQ(rs->GetState(), adStateClosed);
}

TEST_F(AdoRecordsetTest, FindsFieldsByNameInAnyCaseOrByOrdinal) {
    _ConnectionPtr connection = open();
    _RecordsetPtr rs = rows(connection, 1);
    const _variant_t indexes[] = {_variant_t(L"name"), _variant_t(L"NAME"), _variant_t(1L),
                                  _variant_t(short{1})};
    for (const _variant_t& index : indexes) {
        EXPECT_EQ(describe(rs->GetCollect(index)), "BSTR:row 1") << describe(index);
    }
    FieldsPtr fields = rs->GetFields();
    EXPECT_EQ(fields->GetCount(), 9);
    FieldPtr amount = fields->GetItem(L"Amount");
    EXPECT_EQ(narrow(amount->GetName()), "amount");
    EXPECT_EQ(amount->GetType(), adNumeric);
    EXPECT_EQ(describe(amount->GetValue()), "DECIMAL:1.5");
}

// An empty result is open and at both ends; a procedure without one gives a closed record set.
TEST_F(AdoRecordsetTest, AnEmptyResultIsAtBothEnds) {
    _ConnectionPtr connection = open();
    _RecordsetPtr rs = rows(connection, 0);
    EXPECT_EQ(rs->GetState(), adStateOpen);
    EXPECT_TRUE(rs->GetBOF());
    EXPECT_TRUE(rs->GetEndOfFile());
    EXPECT_EQ(rs->GetRecordCount(), 0);
    EXPECT_EQ(rs->GetFields()->GetCount(), 9);  // the columns are known without rows
    rs->Close();

    _CommandPtr command = procedure(connection, L"__test_sleep");
    add(command, L"@seconds", adInteger, adParamInput, 4, _variant_t(0L));
    rs = command->Execute(nullptr, nullptr, adCmdStoredProc);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->GetState(), adStateClosed);
    EXPECT_FALSE(command->Execute(nullptr, nullptr, long{adCmdStoredProc} | adExecuteNoRecords));
}

TEST_F(AdoRecordsetTest, ReadsLongTextsWhole) {
    struct Case {
        const wchar_t* unit;
        long length;
    };
    const Case cases[] = {{L"abc", 0}, {L"x", 1}, {L"ab", 4096}, {L"a\U0001F600", 5001}};
    _ConnectionPtr connection = open();
    for (const Case& c : cases) {
        _CommandPtr command = procedure(connection, L"__test_text");
        add(command, L"@unit", adVarChar, adParamInput, 10, _variant_t(c.unit));
        add(command, L"@length", adInteger, adParamInput, 4, _variant_t(c.length));
        _RecordsetPtr rs = command->Execute(nullptr, nullptr, adCmdStoredProc);
        _bstr_t text(rs->GetCollect(L"text"));
        std::wstring expected;
        while (expected.size() < static_cast<std::size_t>(c.length)) {
            expected += c.unit;
        }
        expected.resize(static_cast<std::size_t>(c.length));
        EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(text), text.length()), expected)
            << c.length;
    }
}

TEST_F(AdoRecordsetTest, NestsCallsOnOneConnectionWhileARecordSetIsOpen) {
    // The assets of room 4, and for each the attributes that the database holds for it, read
    // with a second command on the same connection while the first record set is walked.
    _ConnectionPtr connection = open();
    _CommandPtr assets = procedure(connection, L"[idr]..[getLocationAssets]");
    add(assets, L"@locationID", adInteger, adParamInput, 4, _variant_t(4L));
    _RecordsetPtr outer = assets->Execute(nullptr, nullptr, adCmdStoredProc);
    std::vector<std::string> read;
    while (!outer->GetEndOfFile()) {
        _variant_t handle = outer->GetCollect(L"handle");
        read.push_back(describe(handle) + " " + describe(outer->GetCollect(L"status")) + " " +
                       describe(outer->GetCollect(L"aDescription")));
        _CommandPtr attributes = procedure(connection, L"[idr]..[getAssetAttributes]");
        add(attributes, L"@drawingID", adInteger, adParamInput, 4, outer->GetCollect(L"drawingID"));
        add(attributes, L"@handle", adVarChar, adParamInput, 50, handle);
        _RecordsetPtr inner = attributes->Execute(nullptr, nullptr, adCmdStoredProc);
        while (!inner->GetEndOfFile()) {
            read.push_back("  " + describe(inner->GetCollect(L"aTag")) + "=" +
                           describe(inner->GetCollect(L"aValue")));
            inner->MoveNext();
        }
        inner->Close();
        outer->MoveNext();
    }
    const std::vector<std::string> expected = {
        "BSTR:3C1 BSTR:1 BSTR:Chair by the window",
        "  BSTR:COLOUR=BSTR:Green",
        "  BSTR:SERIAL=BSTR:CH-0001",
        "BSTR:3C2 BSTR:0 NULL",
        "  BSTR:SERIAL=NULL",
    };
    EXPECT_EQ(read, expected);
}

TEST_F(AdoRecordsetTest, RefusesWhatHasNoCurrentRecordOrNoField) {
    _ConnectionPtr connection = open();
    _RecordsetPtr rs = rows(connection, 1);
    _RecordsetPtr closed = rows(connection, 1);
    closed->Close();
    const char* kRecordset = "ADODB.Recordset";
    expectAdoErrors({
        {"unknown field", [&] { rs->GetCollect(L"nosuch"); }, adErrItemNotFound, kRecordset},
        {"ordinal past the last field", [&] { rs->GetCollect(9L); }, adErrItemNotFound, kRecordset},
        {"unknown field of Fields", [&] { rs->GetFields()->GetItem(L"nosuch"); }, adErrItemNotFound,
         "ADODB.Fields"},
        {"read at EOF",
         [&] {
             rs->MoveNext();
             rs->GetCollect(L"id");
         },
         adErrNoCurrentRecord, kRecordset},
        {"move past EOF", [&] { rs->MoveNext(); }, adErrNoCurrentRecord, kRecordset},
        {"read when closed", [&] { closed->GetCollect(L"id"); }, adErrObjectClosed, kRecordset},
        {"EOF when closed", [&] { closed->GetEndOfFile(); }, adErrObjectClosed, kRecordset},
        {"close twice", [&] { closed->Close(); }, adErrObjectClosed, kRecordset},
    });
}

}  // namespace
}  // namespace qv::test
