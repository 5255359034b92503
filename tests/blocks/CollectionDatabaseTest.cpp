// Space blocks exchanged with the test database: a category's blocks with their hyperlinks, and
// the export of each kind of space block.
#include <gtest/gtest.h>

#include <string>

#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/Assets.h"
#include "blocks/Asset.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/BlockIPR.h"
#include "blocks/Blocks.h"
#include "blocks/Hyperlink.h"
#include "blocks/Hyperlinks.h"
#include "blocks/OrvanAttribute.h"
#include "database/DatabaseExceptions.h"
#include "database/DatabaseFixture.h"
#include "database/RecordsetReader.h"
#include "database/SQLStatement.h"
#include "drawing/Hatch.h"

namespace {

using qv::test::caught;
using qv::test::ModuleDatabaseTest;

class CollectionDatabaseTest : public ModuleDatabaseTest {
  protected:
    // The rows the exports wrote for a handle, as one text per row.
    std::wstring exportsOf(const wchar_t* handle) {
        CSQLStatement statement(server(), catalog(), user(), password(), 10);
        CRecordsetReader rows(statement.execSQLReturn(
            (L"SELECT procedure_name || '|' || COALESCE(parent_id::text, '-') || '|' || "
             L"COALESCE(location_id::text, '-') || '|' || COALESCE(name, '-') || '|' || "
             L"COALESCE(code, '-') || '|' || area::float8::text || '|' || area_type || '|' || "
             L"perimeter::float8::text || '|' || volume::float8::text || '|' || "
             L"export_parameters AS r FROM space_exports WHERE handle = '" +
             std::wstring(handle) + L"' ORDER BY id")
                .c_str()));
        std::wstring out;
        while (rows.next()) {
            CString row;
            rows.read(L"r", row);
            out += (out.empty() ? L"" : L"\n") + std::wstring(row);
        }
        return out;
    }
    void sql(const std::wstring& text) {
        CSQLStatement statement(server(), catalog(), user(), password(), 10);
        statement.execSQLNoReturn(text.c_str());
    }
};

TEST_F(CollectionDatabaseTest, ACategorysBlocksComeWithAttributesHyperlinksAndHatch) {
    auto procedure = this->procedure(L"");
    CHatch hatch;
    hatch.setPatternName(L"SOLID");
    CBlocks blocks;
    blocks.getCategoryDWGBlocks(procedure.get(), 17, 1, &hatch);
    blocks.getCategoryDWGBlocks(procedure.get(), 17, 2, nullptr);
    EXPECT_EQ(procedure->getTimeout(), 17);
    ASSERT_EQ(blocks.getCount(), 2);

    auto* room = dynamic_cast<CBlockDWG*>(blocks.getAt(0));
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(room->getHandle(), L"2B0");
    EXPECT_EQ(room->getName(), L"Reading Room");
    EXPECT_EQ(room->getCode(), L"LIB-G-01");
    EXPECT_DOUBLE_EQ(room->getArea(), 120.5);
    // "mbSwapName" 'Study', "mbSwapArea" empty, "mbSwapAux" NULL: only NAME.
    ASSERT_EQ(room->getAttributes()->getCount(), 1);
    EXPECT_EQ(room->getAttributes()->getAtAttribute(COrvanAttribute::KIND_NAME)->getValue(),
              L"Study");
    ASSERT_NE(room->getHyperlinks(), nullptr);
    ASSERT_EQ(room->getHyperlinks()->getCount(), 2);
    EXPECT_EQ(room->getHyperlinks()->getAt(1)->getHref(), L"http://intranet/plans/LIB-G");
    EXPECT_EQ(room->getHyperlinks()->getAt(1)->getDescription(), L"");  // NULL
    ASSERT_NE(room->getHatch(), nullptr);
    EXPECT_EQ(room->getHatch()->getPatternName(), L"SOLID");

    // Every column NULL: the defaults stay, an empty attribute list, no hyperlinks, no hatch.
    auto* bare = dynamic_cast<CBlockDWG*>(blocks.getAt(1));
    EXPECT_EQ(bare->getHandle(), L"2B1");
    EXPECT_EQ(bare->getName(), L"");
    EXPECT_EQ(bare->getCode(), L"");
    EXPECT_EQ(bare->getArea(), 0.0);
    ASSERT_NE(bare->getAttributes(), nullptr);
    EXPECT_EQ(bare->getAttributes()->getCount(), 0);
    EXPECT_EQ(bare->getHyperlinks(), nullptr);
    EXPECT_EQ(bare->getHatch(), nullptr);

    blocks.getCategoryDWGBlocks(procedure.get(), 17, 999, nullptr);  // no rows
    EXPECT_EQ(blocks.getCount(), 2);

    CHyperlinks links;
    links.getBlockHyperlinks(procedure.get(), 5, 1, L"3C1");  // an asset's, not a block's
    EXPECT_EQ(links.getCount(), 0);
}

TEST_F(CollectionDatabaseTest, EachKindExportsItsOwnParameters) {
    sql(L"DELETE FROM space_exports WHERE handle IN ('E1', 'E2', 'E3', 'E4')");
    auto procedure = this->procedure(L"");
    CBlockDWGRoom room;
    CBlockDWGFloor floor;
    CBlockDWGBuilding building;
    CBlockDWGSite site;
    int timeout = 11;
    struct Case {
        CBlockDWG* block;
        const wchar_t* handle;
        const wchar_t* row;
    };
    const Case cases[] = {
        {&room, L"E1", L"__to_exportSpaceBlockToTP|40|-|Office|R-1|12.5|<Not Set>|14|0|p=1"},
        {&floor, L"E2", L"__to_exportGrossAreaBlocktoTP|-|40|-|-|12.5|<Not Set>|14|0|p=1"},
        {&building, L"E3", L"__to_exportSpaceBlockToTP|40|-|Office|R-1|12.5|<Not Set>|14|0|p=1"},
        {&site, L"E4", L"__to_exportGrossAreaBlocktoTP|-|40|-|-|12.5|<Not Set>|14|0|p=1"},
    };
    for (const Case& c : cases) {
        c.block->setHandleFromString(c.handle);
        c.block->setName(L"Office");
        c.block->setCode(L"R-1");
        c.block->setArea(12.5);
        c.block->setPerimeter(14.0);
    }
    room.exportTP(procedure.get(), timeout++, 40, L"p=1");
    EXPECT_EQ(procedure->getTimeout(), 11);
    floor.exportTP(procedure.get(), timeout++, 40, L"p=1");
    building.exportTP(procedure.get(), timeout++, 40, L"p=1");
    site.exportTP(procedure.get(), timeout++, 40, L"p=1");
    EXPECT_EQ(procedure->getTimeout(), 14);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.handle);
        EXPECT_EQ(exportsOf(c.handle), c.row);
    }

    // A value the column cannot hold: the stored procedure's own error, with the call's XML.
    room.setName(CString(L'N', 300));
    auto error = caught([&] { room.exportTP(procedure.get(), 3, 40, L""); });
    ASSERT_TRUE(error);
    auto* failed = dynamic_cast<CEXStoredProcedure*>(error.get());
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed->getProcSig(), L"CBlockDWGRoom::exportTP");
    EXPECT_NE(failed->getXMLNode(), nullptr);
}

TEST_F(CollectionDatabaseTest, LocationRecordsComeAsTheirKindsWithTheirAssets) {
    auto procedure = this->procedure(L"");
    CBlocks records;
    records.getIPRBlocks(procedure.get(), 9, 2, false);  // the floor below the library
    records.getIPRBlocks(procedure.get(), 9, 3, false);  // the rooms of the floor
    EXPECT_EQ(procedure->getTimeout(), 9);
    ASSERT_EQ(records.getCount(), 5);
    struct Expected {
        int id, type, parent, exists, duplicate;
        const wchar_t* name;
        double area;
        const wchar_t* handle;
    };
    const Expected expected[] = {
        {3, 3, 2, 1, 0, L"Ground Floor", 2800.125, L"1A2"},
        {4, 2, 3, 1, 0, L"Reading Room", 120.5, L"2B0"},
        {5, 2, 3, 0, 1, L"Store", 0.0, L""},  // status "11", NULL area and handle
        {6, 2, 3, 1, 0, L"Office", 0.0, L""},
        {7, 2, 3, 1, 0, L"Corridor", 0.0, L""},
    };
    for (int i = 0; i < 5; i++) {
        const Expected& e = expected[i];
        SCOPED_TRACE(e.id);
        CBlockIPR* record = records.getAtIPRBlock(e.id);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record, records.getAt(i));
        EXPECT_EQ(record->getBlockType(), e.type);
        EXPECT_EQ(record->getParentID(), e.parent);
        EXPECT_EQ(record->getStatusExists(), e.exists);
        EXPECT_EQ(record->getStatusDuplicate(), e.duplicate);
        EXPECT_EQ(record->getName(), e.name);
        EXPECT_DOUBLE_EQ(record->getArea(), e.area);
        EXPECT_EQ(record->getHandle(), e.handle);
        EXPECT_EQ(record->getAssets(), nullptr);
    }
    EXPECT_EQ(records.getAtIPRBlock(99), nullptr);
    // A drawing block is never taken for a record, whatever its fields.
    CBlocks mixed;
    mixed.addBlock(new CBlockDWGRoom);
    EXPECT_EQ(mixed.getAtIPRBlock(0), nullptr);

    // With assets: the first room has its two; the room whose asset lacks its position fails
    // the read with the procedure's own error, the records before it kept.
    CBlocks withAssets;
    auto error = caught([&] { withAssets.getIPRBlocks(procedure.get(), 9, 3, true); });
    ASSERT_TRUE(error);
    EXPECT_NE(dynamic_cast<CEXStoredProcedure*>(error.get()), nullptr);
    ASSERT_EQ(withAssets.getCount(), 2);
    CAssets* assets = withAssets.getAtIPRBlock(4)->getAssets();
    ASSERT_NE(assets, nullptr);
    ASSERT_EQ(assets->getCount(), 2);
    EXPECT_EQ(assets->getAt(1)->getHandle(), L"3C2");
    ASSERT_NE(withAssets.getAtIPRBlock(5)->getAssets(), nullptr);
    EXPECT_EQ(withAssets.getAtIPRBlock(5)->getAssets()->getCount(), 0);
}

}  // namespace
