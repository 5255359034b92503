// Attributes and hyperlinks of assets recorded in the test database and read from it.
#include <gtest/gtest.h>

#include <string>

#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/Hyperlink.h"
#include "blocks/Hyperlinks.h"
#include "database/DatabaseFixture.h"
#include "database/RecordsetReader.h"
#include "database/SQLStatement.h"

namespace {

using qv::test::caught;
using qv::test::Chain;
using qv::test::ModuleDatabaseTest;

// A drawing id of these tests alone.
const int kDrawing = 8201;

class AttributesDatabaseTest : public ModuleDatabaseTest {
  protected:
    void sql(const std::wstring& text) {
        CSQLStatement statement(server(), catalog(), user(), password(), 10);
        statement.execSQLNoReturn(text.c_str());
    }

    // The asset's attributes as "tag=value(exists)" joined by ";", NULL values as "-".
    std::wstring attributesOf(const wchar_t* handle) {
        CSQLStatement statement(server(), catalog(), user(), password(), 10);
        CRecordsetReader reader(statement.execSQLReturn(
            (L"SELECT tag, value, CAST(attribute_exists AS varchar) AS e FROM asset_attributes "
             L"WHERE drawing_id = " +
             std::to_wstring(kDrawing) + L" AND handle = '" + handle + L"' ORDER BY tag")
                .c_str()));
        std::wstring out;
        while (reader.next()) {
            CString tag, value = L"-", exists;
            reader.read(L"tag", tag);
            reader.read(L"value", value);
            reader.read(L"e", exists);
            out += (out.empty() ? L"" : L";") + std::wstring(tag) + L"=" + std::wstring(value) +
                   L"(" + std::wstring(exists) + L")";
        }
        return out;
    }
};

TEST_F(AttributesDatabaseTest, AttributesAreRecordedAndReadBack) {
    sql(L"DELETE FROM asset_attributes WHERE drawing_id = " + std::to_wstring(kDrawing));
    CAttributes list;
    list.add(new CAttribute(L"SERIAL", L"S-1", 1), FALSE);
    list.add(new CAttribute(L"COLOUR", L"", 0), FALSE);
    auto procedure = this->procedure(L"");
    list.applyToIPR(procedure.get(), kDrawing, L"4A1", 20);
    EXPECT_EQ(attributesOf(L"4A1"), L"COLOUR=(false);SERIAL=S-1(true)");
    EXPECT_EQ(procedure->getTimeout(), 20);

    // Read into a list that holds one of the tags already: the list keeps its own.
    CAttributes back;
    back.add(new CAttribute(L"SERIAL", L"mine", 0), FALSE);
    back.getAssetAttributes(procedure.get(), kDrawing, L"4A1", 20);
    ASSERT_EQ(back.getCount(), 2);
    EXPECT_EQ(back.getAtAttributeByTag(L"SERIAL")->getValue(), L"mine");
    EXPECT_EQ(back.getAtAttributeByTag(L"COLOUR")->getExists(), 1);

    // A NULL value reads as empty; an asset without rows adds nothing.
    CAttributes seeded;
    seeded.getAssetAttributes(procedure.get(), 7, L"3C2", 20);
    ASSERT_EQ(seeded.getCount(), 1);
    EXPECT_EQ(seeded.getAt(0)->getValue(), L"");
    seeded.getAssetAttributes(procedure.get(), 7, L"NONE", 20);
    EXPECT_EQ(seeded.getCount(), 1);

    // A value the column cannot hold fails the call with the procedure named.
    CAttributes tooLong;
    tooLong.add(new CAttribute(CString(L'T', 300), L"x", 1), FALSE);
    Chain error = caught([&] { tooLong.applyToIPR(procedure.get(), kDrawing, L"4A2", 20); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->getProcSig(), CString(L"CAttributes::applyToIPR"));
    ASSERT_NE(error->getInnerException(), nullptr);
    EXPECT_EQ(error->getInnerException()->getProcSig(), CString(L"CAttribute::applyToIPR"));
}

TEST_F(AttributesDatabaseTest, AssetHyperlinksComeFromTheCategory) {
    auto procedure = this->procedure(L"");
    CHyperlinks links;
    links.getAssetHyperlinks(procedure.get(), 20, 1, L"3C1");
    links.getAssetHyperlinks(procedure.get(), 20, 1, L"3C1");
    ASSERT_EQ(links.getCount(), 1);
    EXPECT_EQ(links.getAt(0)->getHref(), L"http://intranet/assets/CH-0001");
    EXPECT_EQ(links.getAt(0)->getDescription(), L"Asset sheet");
    links.getAssetHyperlinks(procedure.get(), 20, 1, L"2B0");  // a block's, not an asset's
    EXPECT_EQ(links.getCount(), 1);
}

}  // namespace
