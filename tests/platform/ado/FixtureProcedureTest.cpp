// The test database's procedures give their output parameters back through ADO: a flag, and the
// id of a new row in an input-output parameter. (The module's own database tests call every
// procedure with the module's parameters.)
#include <vector>

#include "AdoTestSupport.h"

namespace qv::test {
namespace {

struct Param {
    const wchar_t* name;
    DataTypeEnum type;
    ParameterDirectionEnum direction;
    long size;
    _variant_t value;
    unsigned char precision = 0;
    unsigned char scale = 0;
};

Param in(const wchar_t* name, long value) {
    return {name, adInteger, adParamInput, 4, _variant_t(value)};
}
Param text(const wchar_t* name, long size, const wchar_t* value) {
    return {name, adVarChar, adParamInput, size, _variant_t(value)};
}
Param flag(const wchar_t* name, bool value) {
    return {name, adBoolean, adParamInput, 1, _variant_t(value)};
}
Param decimal(const wchar_t* name, double value) {
    return {name, adNumeric, adParamInput, 9, _variant_t(value), 18, 10};
}
std::vector<Param> spaceBlock(ParameterDirectionEnum idDirection, long id, long parent,
                              const wchar_t* name, const wchar_t* code, double area,
                              const wchar_t* handle, double perimeter) {
    return {{L"@locationID", adInteger, idDirection, 4, _variant_t(id)}, in(L"@parentID", parent),
            text(L"@name", 255, name), text(L"@code", 255, code), flag(L"@statusExists", true),
            flag(L"@statusDuplicate", false), decimal(L"@area", area),
            text(L"@handle", 255, handle), decimal(L"@perimeter", perimeter),
            in(L"@precision", 2)};
}

std::vector<Param> assetToIpr(const wchar_t* identifier) {
    return {in(L"@locationID", 999), in(L"@drawingID", 999), text(L"@handle", 255, identifier),
            text(L"@acadBlockIdentifier", 100, identifier),
            text(L"@acadBlockDescription", 255, L"Block"),
            text(L"@uniqueDescription", 255, L"Unique"), decimal(L"@pointX", 1.5),
            decimal(L"@pointY", -2.25), flag(L"@assetExistsInLocation", true),
            {L"@excludedFromTakeoff", adBoolean, adParamOutput, 1, _variant_t()}};
}

class FixtureProcedureTest : public AdoTest {};

TEST_F(FixtureProcedureTest, GivesOutputParametersBack) {
    _ConnectionPtr connection = open();
    struct Case {
        const wchar_t* identifier;
        const char* excluded;
    };
    for (const Case& c : {Case{L"CHAIR-01", "BOOL:false"}, Case{L"EXCLUDED-BLOCK", "BOOL:true"}}) {
        _CommandPtr command = procedure(connection, L"__to_applyAssetToIPR");
        for (const Param& q : assetToIpr(c.identifier)) {
            add(command, q.name, q.type, q.direction, q.size, q.value, q.precision, q.scale);
        }
        command->Execute(nullptr, nullptr, adCmdStoredProc);
        EXPECT_EQ(describe(command->GetParameters()->GetItem(L"@excludedFromTakeoff")->GetValue()),
                  c.excluded);
    }

    // A room given location id 0 is created and its new id comes back; given that id, it is
    // updated in place.
    _CommandPtr create = procedure(connection, L"__to_setRoomBlockInIPR");
    for (const Param& q :
         spaceBlock(adParamInputOutput, 0, 999, L"New room", L"T-2", 1.0, L"T3", 4.0)) {
        add(create, q.name, q.type, q.direction, q.size, q.value, q.precision, q.scale);
    }
    create->Execute(nullptr, nullptr, adCmdStoredProc);
    _variant_t id = create->GetParameters()->GetItem(L"@locationID")->GetValue();
    ASSERT_EQ(id.vt, VT_I4);
    EXPECT_GE(id.lVal, 1000);
    create->Execute(nullptr, nullptr, adCmdStoredProc);
    EXPECT_EQ(describe(create->GetParameters()->GetItem(L"@locationID")->GetValue()), describe(id));
}

}  // namespace
}  // namespace qv::test
