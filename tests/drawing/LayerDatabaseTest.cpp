// Layers and layouts recorded in the test database and read from it, checked against the tables
// the procedures fill.
#include <gtest/gtest.h>

#include <string>

#include "database/DatabaseFixture.h"
#include "database/RecordsetReader.h"
#include "database/SQLStatement.h"
#include "drawing/Layer.h"
#include "drawing/Layers.h"
#include "drawing/Layout.h"
#include "drawing/Layouts.h"

namespace {

using qv::test::caught;
using qv::test::Chain;
using qv::test::ModuleDatabaseTest;

// Attachment and report ids of these tests alone, so that tests running at once do not meet.
const int kLayerAttachment = 8101;
const int kLayoutAttachment = 8102;
const int kFailingAttachment = 8103;
const int kReport = 8104;

class LayerDatabaseTest : public ModuleDatabaseTest {
  protected:
    void sql(const wchar_t* text) {
        CSQLStatement statement(server(), catalog(), user(), password(), 10);
        statement.execSQLNoReturn(text);
    }

    // The rows of a query, each as its columns joined by "|" (NULL as "-"), rows joined by ";".
    std::wstring rows(const std::wstring& query, std::initializer_list<const wchar_t*> columns) {
        CSQLStatement statement(server(), catalog(), user(), password(), 10);
        CRecordsetReader reader(statement.execSQLReturn(query.c_str()));
        std::wstring out;
        while (reader.next()) {
            std::wstring row;
            for (const wchar_t* column : columns) {
                CString value = L"-";
                reader.read(column, value);
                row += (row.empty() ? L"" : L"|") + std::wstring(value.GetString());
            }
            out += (out.empty() ? L"" : L";") + row;
        }
        return out;
    }

    std::wstring layersOf(int attachment) {
        return rows(
            L"SELECT name, description, CAST(colour AS varchar) AS colour FROM "
            L"drawing_layers WHERE attach_id = " +
                std::to_wstring(attachment) + L" ORDER BY name",
            {L"name", L"description", L"colour"});
    }

    std::wstring layoutsOf(int attachment) {
        return rows(L"SELECT layout_name FROM drawing_layouts WHERE attach_id = " +
                        std::to_wstring(attachment) + L" ORDER BY layout_name",
                    {L"layout_name"});
    }
};

CLayer* layer(const wchar_t* name, int colour, const wchar_t* description = L"") {
    auto* l = new CLayer;
    l->setName(name);
    l->setColourIndex(colour);
    l->setDescription(description);
    return l;
}

TEST_F(LayerDatabaseTest, EveryLayerIsRecordedWithItsColourAndWithoutItsDescription) {
    sql(L"DELETE FROM drawing_layers WHERE attach_id = 8101");
    CLayers layers;
    layers.add(layer(L"WALLS", 1, L"Outer walls"));
    layers.add(layer(L"DOORS", 256));
    layers.add(layer(L"HATCH-255", 255));
    auto procedure = this->procedure(L"");
    EXPECT_EQ(layers.addLayersToIPR(procedure.get(), 20, kLayerAttachment), 1);
    EXPECT_EQ(procedure->getName(), _bstr_t(L"__to_addDrawingLayer"));
    EXPECT_EQ(procedure->getTimeout(), 20);
    EXPECT_EQ(procedure->getParameters(), nullptr) << "the list is detached after the call";
    EXPECT_EQ(layersOf(kLayerAttachment), L"DOORS||0;HATCH-255||255;WALLS||1");
}

TEST_F(LayerDatabaseTest, TheFirstLayerThatFailsEndsTheRecordAfterTheLayersBeforeIt) {
    sql(L"DELETE FROM drawing_layers WHERE attach_id = 8103");
    CLayers layers;
    layers.add(layer(L"FIRST", 1));
    layers.add(layer(std::wstring(300, L'X').c_str(), 2));
    layers.add(layer(L"LAST", 3));
    auto procedure = this->procedure(L"");
    Chain error = caught([&] { layers.addLayersToIPR(procedure.get(), 20, kFailingAttachment); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->getProcSig(), CString(L"CLayers::addLayersToIPR"));
    ASSERT_NE(error->getInnerException(), nullptr);
    EXPECT_EQ(error->getInnerException()->getProcSig(), CString(L"CLayer::addLayerToIPR"));
    EXPECT_EQ(layersOf(kFailingAttachment), L"FIRST||1");
}

TEST_F(LayerDatabaseTest, AReportsLayersArriveCleanedAndTheFirstOfANameIsKept) {
    sql(L"DELETE FROM report_layers_on WHERE report_id = 8104");
    sql(L"INSERT INTO report_layers_on (report_id, sort_order, name, description) VALUES "
        L"(8104, 1, 'WA;LLS', 'Walls'), (8104, 2, NULL, NULL), (8104, 3, NULL, 'no name'), "
        L"(8104, 4, 'walls', 'again'), (8104, 5, 'WALLS', 'twice')");
    CLayers layers;
    auto procedure = this->procedure(L"");
    layers.getGraphicReportLayersOn(procedure.get(), kReport, 15);
    EXPECT_EQ(procedure->getName(), _bstr_t(L"__gr_getReportLayersOn"));
    const struct {
        const wchar_t* name;
        const wchar_t* description;
        int modified;
    } expected[] = {{L"WALLS", L"Walls", 1}, {L"", L"", 0}, {L"walls", L"again", 1}};
    ASSERT_EQ(layers.getCount(), 3);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(layers.getAt(i)->getName(), CString(expected[i].name)) << i;
        EXPECT_EQ(layers.getAt(i)->getDescription(), CString(expected[i].description)) << i;
        EXPECT_EQ(layers.getAt(i)->isModified(), expected[i].modified) << i;
    }

    CLayers none;
    none.getGraphicReportLayersOn(procedure.get(), 999999, 15);
    EXPECT_EQ(none.getCount(), 0);
}

TEST_F(LayerDatabaseTest, RecordingLayoutsReplacesWhatTheAttachmentHad) {
    sql(L"DELETE FROM drawing_layouts WHERE attach_id = 8102");
    sql(L"INSERT INTO drawing_layouts (attach_id, layout_name) VALUES (8102, 'Old')");
    auto procedure = this->procedure(L"");
    CLayouts layouts;
    for (const wchar_t* name : {L"Model", L"Layout1", L"Plan"}) {
        auto* layout = new CLayout;
        layout->setName(name);
        layouts.add(layout);
    }
    EXPECT_EQ(layouts.addLayoutsToIPR(procedure.get(), 20, kLayoutAttachment), 1);
    EXPECT_EQ(procedure->getName(), _bstr_t(L"__to_addDrawingLayout"));
    EXPECT_EQ(layoutsOf(kLayoutAttachment), L"Layout1;Model;Plan");

    CLayouts empty;
    EXPECT_EQ(empty.addLayoutsToIPR(procedure.get(), 20, kLayoutAttachment), 1);
    EXPECT_EQ(procedure->getName(), _bstr_t(L"__to_deleteDrawingLayouts"));
    EXPECT_EQ(layoutsOf(kLayoutAttachment), L"");
}

}  // namespace
