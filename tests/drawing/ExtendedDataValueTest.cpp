#include <gtest/gtest.h>

#include <vector>

#include "drawing/AcadUtilities.h"

namespace {

TEST(ExtendedDataValue, EachKeyIdCutsItsKeyAndUnitText) {
    const struct {
        int keyId;
        const wchar_t* data;
        const wchar_t* value;
    } cases[] = {
        {0x11, L"NAME=Office 1", L"Office 1"},
        {0x100, L"AREA=12.50sq.m.", L"12.50"},
        {0x101, L"AREA=134.55sq.ft.", L"134.55"},
        {0x111, L"PERIMETER=46.59ft.", L"46.59"},
        {0x1111, L"SPECIAL_REQ=none", L"none"},
        {0x10011, L"HANDLESTOMINUS=1A2,1A7,", L"1A2,1A7,"},
        {0x10100, L"HANDLESTOADD=2B,", L"2B,"},
        // The cut characters are not compared with the key.
        {0x11, L"XXXX=kept", L"kept"},
        // Nothing left, or less than nothing: the empty text.
        {0x11, L"NAME=", L""},
        {0x1000, L"TAG", L""},
        {0x100, L"AREA=sq.", L""},
        // Key ids that are not in the table.
        {0x12, L"NAME=Office 1", L""},
        {-1, L"NAME=Office 1", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CString(c.value), CAcadUtilities::extractData(c.keyId, c.data))
            << std::hex << c.keyId << " " << CStringA(c.data).GetString();
    }
}

}  // namespace

namespace {

TEST(HandleList, EachHandleFollowedByACommaIsAppended) {
    const struct {
        const wchar_t* list;
        std::vector<Adesk::UInt64> appended;
    } cases[] = {
        {L"1A2,1A7,", {0x1A2, 0x1A7}},
        {L"1A2,1A7", {0x1A2}},
        {L"", {}},
        {L"2B,,3C,", {0x2B, 0, 0x3C}},
        {L"ZZ,10,", {0, 0x10}},
        {L"FFFFFFFFFF,", {0xFFFFFFFFFFull}},
    };
    for (const auto& c : cases) {
        AcArray<AcDbHandle> handles;
        handles.append(AcDbHandle(0x99));  // appended to, not replaced
        CAcadUtilities::convertHandlesStringToArray(c.list, handles);
        std::vector<Adesk::UInt64> values;
        for (int i = 1; i < handles.length(); ++i)
            values.push_back(handles[i].value());
        EXPECT_EQ(c.appended, values) << CStringA(c.list).GetString();
        EXPECT_EQ(0x99u, handles[0].value());
    }
}

}  // namespace
