// Assets and space-block records in the test database: written, exported and read back, with
// NULLs in the columns, and failures that name the call.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "blocks/Asset.h"
#include "blocks/Assets.h"
#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/BlockIPR.h"
#include "blocks/Hyperlink.h"
#include "blocks/Hyperlinks.h"
#include "database/DatabaseExceptions.h"
#include "database/DatabaseFixture.h"
#include "database/RecordsetReader.h"
#include "database/SQLStatement.h"
#include "core/XMLUtilities.h"
#include "drawing/Hatch.h"

namespace {

using qv::test::caught;
using qv::test::Chain;
using qv::test::ModuleDatabaseTest;

// A drawing id of these tests alone.
const int kDrawing = 8301;

class AssetsDatabaseTest : public ModuleDatabaseTest {
  protected:
    void sql(const std::wstring& text) {
        CSQLStatement statement(server(), catalog(), user(), password(), 10);
        statement.execSQLNoReturn(text.c_str());
    }

    // The columns of the first row of a query, joined by "|" (NULL as "-").
    std::wstring row(const std::wstring& query, std::initializer_list<const wchar_t*> columns) {
        CSQLStatement statement(server(), catalog(), user(), password(), 10);
        CRecordsetReader reader(statement.execSQLReturn(query.c_str()));
        if (!reader.next())
            return L"(no row)";
        std::wstring out;
        for (const wchar_t* column : columns) {
            CString value = L"-";
            reader.read(column, value);
            out += (out.empty() ? L"" : L"|") + std::wstring(value);
        }
        return out;
    }

    static std::unique_ptr<CAsset> asset(const wchar_t* handle, const wchar_t* block, int exists,
                                         bool withAttribute) {
        auto a = std::make_unique<CAsset>(0, handle, block, L"Chair", L"Mine", 1.25, -2.5, exists);
        if (withAttribute) {
            auto* values = new CAttributes;
            values->add(new CAttribute(L"SERIAL", L"S-1", 1), FALSE);
            a->setAttributes(values);
        }
        return a;
    }

    std::wstring attributeCount(const wchar_t* handle) {
        return row(L"SELECT CAST(count(*) AS varchar) AS n FROM asset_attributes WHERE "
                   L"drawing_id = " + std::to_wstring(kDrawing) + L" AND handle = '" + handle +
                       L"'",
                   {L"n"});
    }

    // What a failed call raised: the stored procedure's own error from procSig, carrying the
    // XML of its call to `procedure` (null: any); the innermost description.
    static std::wstring failure(const Chain& error, const wchar_t* procSig,
                                const wchar_t* procedure) {
        auto* call = dynamic_cast<CEXStoredProcedure*>(error.get());
        if (call == nullptr || call->getXMLNode() == nullptr) {
            ADD_FAILURE() << "no stored-procedure error with its call";
            return L"";
        }
        EXPECT_EQ(call->getProcSig(), CString(procSig));
        CString name;
        CXMLUtilities::readElement(call->getXMLNode(), L"storedProcedure",
                                   [&](const CString& child, MSXML2::IXMLDOMNodePtr value) {
                                       if (child == L"name")
                                           name = CXMLUtilities::textOf(value);
                                   });
        if (procedure != nullptr) {
            EXPECT_EQ(name, CString(procedure));
        }
        CEXOrvan* e = call;
        while (e->getInnerException() != nullptr)
            e = e->getInnerException();
        return e->getDescription().GetString();
    }
};

// An asset is written with the ids given (not its own), then its attributes unless the database
// excludes its block from the take-off or the asset is not in its location.
TEST_F(AssetsDatabaseTest, AssetsAreWrittenAndTheirAttributesWhenTheyCount) {
    sql(L"DELETE FROM assets WHERE drawing_id = " + std::to_wstring(kDrawing));
    sql(L"DELETE FROM asset_attributes WHERE drawing_id = " + std::to_wstring(kDrawing));
    auto procedure = this->procedure(L"");
    const struct {
        const char* what;
        const wchar_t* handle;
        const wchar_t* block;
        int exists;
        const wchar_t* attributes;
    } cases[] = {
        {"counted", L"5A1", L"CHAIR-01", 1, L"1"},
        {"excluded from the take-off", L"5A2", L"EXCLUDED-BLOCK", 1, L"0"},
        {"not in its location", L"5A3", L"CHAIR-01", 0, L"0"},
    };
    for (const auto& c : cases) {
        auto a = asset(c.handle, c.block, c.exists, true);
        a->setLocationID(99);
        a->applyToIPR(procedure.get(), kDrawing, 5, 17);
        EXPECT_EQ(row(L"SELECT CAST(location_id AS varchar) AS l, CAST(point_x AS varchar) AS x, "
                      L"CAST(point_y AS varchar) AS y, status, acad_block_description AS d, "
                      L"CAST(excluded_from_takeoff AS varchar) AS e FROM assets WHERE handle = '" +
                          std::wstring(c.handle) + L"'",
                      {L"l", L"x", L"y", L"status", L"d", L"e"}),
                  std::wstring(L"5|1.2500000000|-2.5000000000|") + (c.exists ? L"1" : L"0") +
                      L"|Chair|" + (c.block == std::wstring(L"EXCLUDED-BLOCK") ? L"true" : L"false"))
            << c.what;
        EXPECT_EQ(attributeCount(c.handle), c.attributes) << c.what;
        EXPECT_EQ(procedure->getTimeout(), 17) << c.what;
        EXPECT_EQ(procedure->getParameters(), nullptr) << c.what;
    }

    // The list skips block identifiers that stand whole between commas of the exclusion list.
    CAssets list;
    list.add(asset(L"5B1", L"BIN", 1, false).release());
    list.add(asset(L"5B2", L"BINS", 1, false).release());
    assetExclusionList = L",BIN,";
    list.applyToIPR(procedure.get(), kDrawing, 5, 17);
    assetExclusionList = L"";
    EXPECT_EQ(row(L"SELECT CAST(count(*) AS varchar) AS n FROM assets WHERE handle LIKE '5B%'",
                  {L"n"}),
              L"1");
    EXPECT_EQ(row(L"SELECT handle FROM assets WHERE handle LIKE '5B%'", {L"handle"}), L"5B2");
}

TEST_F(AssetsDatabaseTest, AssetsAreExported) {
    sql(L"DELETE FROM asset_exports WHERE handle = '5C1'");
    auto procedure = this->procedure(L"");
    CAssets list;
    auto a = asset(L"5C1", L"DESK-02", 1, false);
    a->setLocationID(5);
    list.add(a.release());
    list.exportTP(procedure.get(), 12, L"floor=G");
    EXPECT_EQ(row(L"SELECT CAST(location_id AS varchar) AS l, acad_block_identifier AS b, "
                  L"CAST(point_x AS varchar) AS x, CAST(point_y AS varchar) AS y, "
                  L"CAST(exists_in_location AS varchar) AS e, export_parameters AS p "
                  L"FROM asset_exports WHERE handle = '5C1'",
                  {L"l", L"b", L"x", L"y", L"e", L"p"}),
              L"5|DESK-02|1.2500000000|-2.5000000000|true|floor=G");
    EXPECT_EQ(procedure->getTimeout(), 12);

    // A text longer than its parameter fails the call: the error carries the call's XML.
    auto tooLong = asset(L"5C2", L"DESK-02", 1, false);
    tooLong->setUniqueDescription(CString(L'x', 300));
    Chain error = caught([&] { tooLong->exportTP(procedure.get(), 12, L""); });
    failure(error, L"CAsset::exportTP", L"__to_tp_exportAsset");
    EXPECT_EQ(procedure->getParameters(), nullptr);
}

// A location's assets: NULL descriptions read empty, status "0" gives exists 0, the attributes
// come with each asset (with the caller's time-out), NULL handle, identifier and status read as
// empty texts, and a NULL position fails the read after the rows before it.
TEST_F(AssetsDatabaseTest, LocationAssetsWithNullColumns) {
    auto procedure = this->procedure(L"");
    CAssets seeded;
    seeded.getLocationAssets(procedure.get(), 4, 23);
    ASSERT_EQ(seeded.getCount(), 2);
    const CAsset* chair = seeded.getAt(0);
    EXPECT_EQ(chair->getLocationID(), 4);
    EXPECT_EQ(chair->getDrawingID(), 7);
    EXPECT_EQ(chair->getHandle(), L"3C1");
    EXPECT_EQ(chair->getBlockIdentifier(), L"CHAIR-01");
    EXPECT_EQ(chair->getBlockDescription(), L"Reading chair");
    EXPECT_EQ(chair->getUniqueDescription(), L"Chair by the window");
    EXPECT_DOUBLE_EQ(chair->getPointX(), 12.5);
    EXPECT_DOUBLE_EQ(chair->getPointY(), 4.25);
    EXPECT_EQ(chair->getExistsInLocation(), 1);
    EXPECT_EQ(chair->getAttributes()->getCount(), 2);
    EXPECT_EQ(seeded.getAt(1)->getUniqueDescription(), L"");
    EXPECT_EQ(seeded.getAt(1)->getExistsInLocation(), 0);
    EXPECT_EQ(seeded.getAt(1)->getAttributes()->getCount(), 1);
    EXPECT_EQ(procedure->getTimeout(), 23);

    CAssets gaps;
    gaps.getLocationAssets(procedure.get(), 7, 23);
    ASSERT_EQ(gaps.getCount(), 1);
    EXPECT_TRUE(gaps.getAt(0)->getDbHandle().isNull());
    EXPECT_EQ(gaps.getAt(0)->getBlockIdentifier(), L"");
    EXPECT_EQ(gaps.getAt(0)->getBlockDescription(), L"");
    EXPECT_EQ(gaps.getAt(0)->getExistsInLocation(), 1);

    CAssets broken;
    Chain error = caught([&] { broken.getLocationAssets(procedure.get(), 6, 23); });
    failure(error, L"CAssets::getLocationAssets", nullptr);
    ASSERT_EQ(broken.getCount(), 1);
    EXPECT_EQ(broken.getAt(0)->getBlockIdentifier(), L"CABINET-03");

    CAssets none;
    none.getLocationAssets(procedure.get(), -1, 23);
    EXPECT_EQ(none.getCount(), 0);
}

// A category's assets: the handle, descriptions and hyperlinks of each row, each asset with its
// own copy of the category's hatch; a row of NULLs gives a null handle and no hyperlink list.
TEST_F(AssetsDatabaseTest, CategoryAssetsWithNullColumns) {
    auto procedure = this->procedure(L"");
    CHatch hatch;
    hatch.setPatternName(L"SOLID");
    CAssets assets;
    assets.getCategoryAssets(procedure.get(), 9, 1, &hatch);
    ASSERT_EQ(assets.getCount(), 2);
    const CAsset* chair = assets.getAt(0);
    EXPECT_EQ(chair->getHandle(), L"3C1");
    EXPECT_EQ(chair->getBlockDescription(), L"Reading chair");
    EXPECT_EQ(chair->getUniqueDescription(), L"Chair by the window");
    ASSERT_EQ(chair->getHyperlinks()->getCount(), 1);
    EXPECT_EQ(chair->getHyperlinks()->getAt(0)->getHref(), L"http://intranet/assets/CH-0001");
    const CAsset* nulls = assets.getAt(1);
    EXPECT_TRUE(nulls->getDbHandle().isNull());
    EXPECT_EQ(nulls->getBlockDescription(), L"");
    EXPECT_EQ(nulls->getHyperlinks(), nullptr);
    ASSERT_NE(nulls->getHatch(), nullptr);
    EXPECT_NE(chair->getHatch(), nulls->getHatch());
    EXPECT_NE(chair->getHatch(), &hatch);
    EXPECT_EQ(nulls->getHatch()->getPatternName(), L"SOLID");
    EXPECT_EQ(procedure->getTimeout(), 9);
}

// A failed hyperlink read reaches the caller as the stored procedure's own error with the
// call's XML, whether the hyperlinks are read alone or for each asset of a category; the
// parameter list is detached either way.
TEST_F(AssetsDatabaseTest, FailedHyperlinkReadsCarryTheCall) {
    auto procedure = this->procedure(L"");
    const std::function<void()> reads[] = {
        [&] {
            CHyperlinks links;
            links.getAssetHyperlinks(procedure.get(), 8, -14, L"3E1");
        },
        [&] {
            CAssets assets;
            assets.getCategoryAssets(procedure.get(), 8, -14, nullptr);
        },
    };
    for (const auto& read : reads) {
        Chain error = caught(read);
        EXPECT_NE(failure(error, L"CHyperlinks::getAssetHyperlinks", L"__gr_getAssetHyperlinks")
                      .find(L"no report category"),
                  std::wstring::npos);
        EXPECT_EQ(procedure->getParameters(), nullptr);
        EXPECT_EQ(procedure->getTimeout(), 8);
    }
}

// The space records: a room given id 0 takes the id the database hands back and writes its
// assets under it; a building keeps its id; floors and sites update their gross area; a record
// the database does not know fails with the call's XML.
TEST_F(AssetsDatabaseTest, SpaceRecordsAreWritten) {
    sql(L"DELETE FROM assets WHERE drawing_id = " + std::to_wstring(kDrawing));
    auto procedure = this->procedure(L"");

    CBlockIPRRoom room;
    room.setParentID(3);
    room.setName(L"New room");
    room.setCode(CString(L'C', 255));
    room.setArea(12.5);
    room.setHandle(L"6A1");
    room.setStatusExists(1);
    auto* assets = new CAssets;
    assets->add(asset(L"6A2", L"CHAIR-01", 1, false).release());
    room.setAssets(assets);
    room.applyToIPR(procedure.get(), kDrawing, 14);
    EXPECT_GT(room.getLocationID(), 999);
    const std::wstring id = std::to_wstring(room.getLocationID());
    EXPECT_EQ(row(L"SELECT type, CAST(parent_id AS varchar) AS p, name, status, "
                  L"CAST(area AS varchar) AS a FROM locations WHERE id = " + id,
                  {L"type", L"p", L"name", L"status", L"a"}),
              L"r|3|New room|00|12.5000000000");
    EXPECT_EQ(row(L"SELECT CAST(location_id AS varchar) AS l FROM assets WHERE handle = '6A2'",
                  {L"l"}),
              id);
    EXPECT_EQ(procedure->getTimeout(), 14);

    // Written again, the room keeps its id.
    const int first = room.getLocationID();
    room.applyToIPR(procedure.get(), kDrawing, 14);
    EXPECT_EQ(room.getLocationID(), first);

    CBlockIPRBuilding building;
    building.setLocationID(2);
    building.setParentID(1);
    building.setName(L"Library");
    building.setArea(8400.75);
    building.applyToIPR(procedure.get(), kDrawing, 14);
    EXPECT_EQ(building.getLocationID(), 2);

    const struct {
        const char* what;
        std::unique_ptr<CBlockIPR> record;
        int id;
    } grossAreas[] = {
        {"floor", std::make_unique<CBlockIPRFloor>(), 3},
        {"site", std::make_unique<CBlockIPRSite>(), 1},
    };
    for (const auto& c : grossAreas) {
        c.record->setLocationID(c.id);
        c.record->setArea(321.5);
        c.record->setHandle(L"1FF");
        c.record->setPrecision(3);
        c.record->applyToIPR(procedure.get(), 0, 14);
        EXPECT_EQ(row(L"SELECT CAST(area AS varchar) AS a, handle, CAST(precision AS varchar) "
                      L"AS p FROM locations WHERE id = " + std::to_wstring(c.id),
                      {L"a", L"handle", L"p"}),
                  L"321.5000000000|1FF|3")
            << c.what;
    }

    CBlockIPRBuilding unknown;
    unknown.setLocationID(424242);
    Chain error = caught([&] { unknown.applyToIPR(procedure.get(), kDrawing, 14); });
    EXPECT_NE(failure(error, L"CBlockIPRBuilding::applyToIPR", L"__to_setBuildingBlockInIPR")
                  .find(L"no building"),
              std::wstring::npos);
    EXPECT_EQ(procedure->getParameters(), nullptr);

    // The plain record writes nothing.
    CBlockIPR().applyToIPR(nullptr, 0, 0);
}

}  // namespace
