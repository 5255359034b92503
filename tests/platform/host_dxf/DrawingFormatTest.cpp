#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>

#include "DrawingDump.h"
#include "host/CommandLine.h"
#include "host/db/AcDbLayoutManager.h"
#include "host/db/AcDbSortentsTable.h"
#include "host/db/AcDbViewport.h"
#include "host/db/HostServices.h"
#include "host/db/Hyperlinks.h"
#include "host/db/ObjectAccess.h"
#include "host/db/ResBuf.h"
#include "support/HostFixture.h"
#include "support/TempDrive.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

using qv::test::DrawingTest;

AcGePoint2dArray points(std::initializer_list<AcGePoint2d> list) {
    AcGePoint2dArray a;
    for (const AcGePoint2d& p : list) {
        a.append(p);
    }
    return a;
}

AcGeDoubleArray values(std::initializer_list<double> list) {
    AcGeDoubleArray a;
    for (double v : list) {
        a.append(v);
    }
    return a;
}

// A drawing made through the host's own calls, with one of everything the host models.
class DrawingFormatTest : public DrawingTest {
  protected:
    qv::test::TempDrive drive;

    AcDbObjectId addBlock(const ACHAR* name, std::initializer_list<AcDbEntity*> entities) {
        WriteLock lock(document());
        AcDbBlockTable* blocks = nullptr;
        EXPECT_EQ(db()->getBlockTable(blocks, AcDb::kForWrite), Acad::eOk);
        auto* block = new AcDbBlockTableRecord;
        block->setName(name);
        AcDbObjectId id;
        EXPECT_EQ(blocks->add(id, block), Acad::eOk);
        for (AcDbEntity* e : entities) {
            EXPECT_EQ(block->appendAcDbEntity(e), Acad::eOk);
            e->close();
        }
        block->close();
        blocks->close();
        return id;
    }

    void setXData(AcDbObjectId id, resbuf* list) {
        WriteLock lock(document());
        AcDbObject* o = nullptr;
        ASSERT_EQ(acdbOpenObject(o, id, AcDb::kForWrite), Acad::eOk);
        EXPECT_EQ(o->setXData(list), Acad::eOk);
        o->close();
        acutRelRb(list);
    }

    void buildDrawing() {
        const AcDbObjectId walls = addLayer(L"WALLS");
        {
            WriteLock lock(document());
            ASSERT_EQ(qv::host::registerApplication(*db(), L"QV_ROOM"), Acad::eOk);
        }
        auto* room = new AcDbPolyline;
        room->addVertexAt(0, AcGePoint2d(0, 0), 0.0);
        room->addVertexAt(1, AcGePoint2d(6, 0), 0.41421356237309503);
        room->addVertexAt(2, AcGePoint2d(6, 4), 0.0);
        room->addVertexAt(3, AcGePoint2d(0, 4), -0.25);
        room->setClosed(true);
        room->setLayer(walls);
        const AcDbObjectId roomId = addToModelSpace(room);
        setXData(roomId,
                 acutBuildList(1001, L"QV_ROOM", 1000, L"R-001 Büro", 1040, 23.5, 1070, 3, 1010,
                               std::array<double, 3>{1.0, 2.0, 0.5}.data(), 1071, 70000, 0));
        addToModelSpace(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 5, 1.5)));
        addToModelSpace(new AcDbCircle(AcGePoint3d(4, 4, 0), AcGeVector3d::kZAxis, 2.25));
        addToModelSpace(new AcDbArc(AcGePoint3d(8, 1, 0), 1.5, 0.25, 4.0));
        auto* text =
            new AcDbText(AcGePoint3d(1, 2, 0), L"Room 1\u00c4\u03a9", AcDbObjectId(), 0.5, 0.3);
        addToModelSpace(text);

        auto* tag =
            new AcDbAttributeDefinition(AcGePoint3d(0, 0.2, 0), L"?", L"ROOM", L"Room number");
        tag->setHeight(0.2);
        tag->setFieldLength(25);
        tag->setVerifiable(true);
        tag->setPreset(true);
        const AcDbObjectId door =
            addBlock(L"DOOR", {new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(0.9, 0, 0)), tag});
        auto* ref = new AcDbBlockReference(AcGePoint3d(3, 1, 0), door);
        ref->setRotation(std::numbers::pi / 2);
        ref->setScaleFactors(AcGeScale3d(2, 1, 1));
        auto* attribute = new AcDbAttribute(AcGePoint3d(3, 1.2, 0), L"A-101", L"ROOM");
        attribute->setHeight(0.2);
        ref->appendAttribute(attribute);
        addToModelSpace(ref);
        addToModelSpace(new AcDbMInsertBlock(AcGePoint3d(40, 0, 0), door, 3, 2, 1.5, 2.5));

        auto* solid = new AcDbHatch;
        solid->setPattern(AcDbHatch::kPreDefined, L"SOLID");
        solid->appendLoop(AcDbHatch::kExternal, points({{0, 0}, {4, 0}, {4, 3}, {0, 3}}),
                          values({0.5, 0, 0, 0}));
        addToModelSpace(solid);
        auto* lines = new AcDbHatch;
        lines->setPattern(AcDbHatch::kPreDefined, L"ANSI31");
        lines->setPatternScale(2.0);
        lines->setPatternAngle(std::numbers::pi / 12);
        lines->appendLoop(AcDbHatch::kExternal, points({{20, 0}, {24, 0}, {24, 3}}),
                          AcGeDoubleArray());
        lines->appendLoop(AcDbHatch::kDefault, points({{21, 0.5}, {22, 0.5}, {22, 1}}),
                          AcGeDoubleArray());
        addToModelSpace(lines);
        auto* user = new AcDbHatch;
        user->setPattern(AcDbHatch::kUserDefined, L"_USER");
        user->setPatternSpace(0.75);
        user->setPatternDouble(true);
        user->appendLoop(AcDbHatch::kExternal, points({{30, 0}, {34, 0}, {34, 3}}),
                         AcGeDoubleArray());
        addToModelSpace(user);
    }

    // A hyperlink on an entity, the entities of model space drawn in another order, and a paper
    // layout with a viewport that freezes a layer.
    void addHostExtras() {
        WriteLock lock(document());
        const AcDbObjectIdArray order = qv::host::drawOrder(db()->modelSpaceId());
        ASSERT_GE(order.length(), 3);
        AcDbEntity* first = nullptr;
        ASSERT_EQ(acdbOpenObject(first, order[0], AcDb::kForWrite), Acad::eOk);
        AcDbHyperlinkCollection links;
        links.addTail(L"https://example.org/rooms/R-001", L"Room sheet", L"#floor1");
        ACRX_PE_PTR(first, AcDbEntityHyperlinkPE)->setHyperlinkCollection(first, &links);
        first->close();

        AcDbBlockTableRecord* space = nullptr;
        ASSERT_EQ(acdbOpenObject(space, db()->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
        space->createExtensionDictionary();
        AcDbDictionary* dictionary = nullptr;
        ASSERT_EQ(acdbOpenObject(dictionary, space->extensionDictionary(), AcDb::kForWrite),
                  Acad::eOk);
        space->close();
        auto* table = new AcDbSortentsTable;
        AcDbObjectId tableId;
        ASSERT_EQ(dictionary->setAt(L"ACAD_SORTENTS", table, tableId), Acad::eOk);
        table->setBlockId(db()->modelSpaceId());
        AcDbObjectIdArray bottom;
        bottom.append(order[0]);
        ASSERT_EQ(table->moveToBottom(bottom), Acad::eOk);
        table->close();
        dictionary->close();

        AcDbObjectId layoutId, blockId;
        ASSERT_EQ(acdbHostApplicationServices()->layoutManager()->createLayout(
                      L"Floor plan", layoutId, blockId, db()),
                  Acad::eOk);
        AcDbBlockTableRecord* sheet = nullptr;
        ASSERT_EQ(acdbOpenObject(sheet, blockId, AcDb::kForWrite), Acad::eOk);
        auto* viewport = new AcDbViewport;
        viewport->setCenterPoint(AcGePoint3d(150, 100, 0));
        viewport->setWidth(200);
        viewport->setHeight(120);
        viewport->setViewHeight(40);
        ASSERT_EQ(sheet->appendAcDbEntity(viewport), Acad::eOk);
        AcDbLayerTable* layers = nullptr;
        db()->getLayerTable(layers, AcDb::kForRead);
        AcDbObjectId walls;
        layers->getAt(L"WALLS", walls);
        layers->close();
        AcDbObjectIdArray frozen;
        frozen.append(walls);
        ASSERT_EQ(viewport->freezeLayersInViewport(frozen), Acad::eOk);
        viewport->close();
        sheet->close();
    }

    // What the host keeps beyond the entities: draw order, hyperlinks, layouts and viewports.
    static std::string extrasOf(AcDbDatabase& db) {
        std::string out = "order";
        for (const AcDbObjectId& id : qv::host::drawOrder(db.modelSpaceId())) {
            out += " " + qv::wideToUtf8(id.handle().text());
            for (const AcDbHyperlink& link :
                 qv::host::readHyperlinks(*qv::host::ObjectAccess::peek(id))) {
                out += std::string("(") + qv::wideToUtf8(link.name()) + " " +
                       qv::wideToUtf8(link.description()) + " " +
                       qv::wideToUtf8(link.subLocation()) + ")";
            }
        }
        for (const AcDbLayout* layout : qv::host::layoutsOf(db)) {
            out += "\nlayout " + qv::wideToUtf8(layout->qvName()) + " tab " +
                   std::to_string(layout->getTabOrder());
            for (const AcDbObjectId& id : layout->getViewportArray()) {
                const auto* v = qv::host::ObjectAccess::peekAs<AcDbViewport>(id);
                AcDbObjectIdArray frozen;
                v->getFrozenLayerList(frozen);
                out += " viewport " + std::to_string(v->width()) + "x" +
                       std::to_string(v->height()) + " frozen " + std::to_string(frozen.length());
            }
        }
        return out;
    }
};

// A drawing built in the host is saved under a Windows path (a ".dwg" name holds DXF), and
// opening it gives the same drawing; ezdxf reads the file without errors and sees the same
// content.
TEST_F(DrawingFormatTest, ADrawingBuiltInTheHostIsSavedAndOpenedAgain) {
    buildDrawing();
    addHostExtras();
    const std::string before = test::describeForEzdxf(*db());
    const std::string extras = extrasOf(*db());
    EXPECT_NE(extras.find("layout Floor plan tab 2 viewport 200.000000x120.000000 frozen 1"),
              std::string::npos)
        << extras;
    drive.makeFolder("plans");
    ASSERT_EQ(db()->saveAs(L"C:\\plans\\floor.dwg"), Acad::eOk);
    const ACHAR* name = nullptr;
    db()->getFilename(name);
    EXPECT_STREQ(name, L"C:\\plans\\floor.dwg");

    const test::TempFolder json;
    const std::string description = (json.path() / "floor.json").string();
    std::ofstream(description) << before;
    std::string output;
    EXPECT_EQ(test::runEzdxfCheck({"compare", drive.posix("plans/floor.dwg"), description}, output),
              0)
        << output;

    ASSERT_EQ(acDocManager->appContextOpenDocument(L"c:\\PLANS\\Floor.dwg"), Acad::eOk);
    AcDbDatabase* opened = acDocManager->curDocument()->database();
    ASSERT_NE(opened, db());
    EXPECT_EQ(test::describeForEzdxf(*opened), before);
    EXPECT_EQ(extrasOf(*opened), extras);
    EXPECT_EQ(qv::host::transcript().text(), L"") << "nothing to repair";
}

// Opening fails with the host's statuses, and a file that is no DXF says why on the command
// line, naming the line; a damaged one loads with its repairs shown as warnings.
TEST_F(DrawingFormatTest, OpeningTellsWhatWentWrong) {
    drive.writeFile("binary.dxf", std::string("AutoCAD Binary DXF\r\n\x1a\0", 22));
    drive.writeFile("broken.dxf", "0\nSECTION\n2\nENTITIES\nX\nLINE\n");
    drive.writeFile("damaged.dxf",
                    "0\nSECTION\n2\nENTITIES\n0\nLINE\n5\n2A\n8\n0\n10\nx\n0\nENDSEC\n0\nEOF\n");
    const struct {
        const wchar_t* path;
        Acad::ErrorStatus status;
        const wchar_t* printed;  // the start of what the command line shows
    } cases[] = {
        {L"C:\\missing.dxf", Acad::eFileNotFound, L""},
        {L"Q:\\unmapped.dxf", Acad::eFileNotFound, L""},
        {L"C:\\binary.dxf", Acad::eDwgNotRecognized,
         L"Error: C:\\binary.dxf: this is a binary DXF file, which cannot be read; save the "
         L"drawing as ASCII DXF\n"},
        {L"C:\\broken.dxf", Acad::eDwgNotRecognized,
         L"Error: C:\\broken.dxf: line 5: 'X' is not a group code\n"},
        {L"C:\\damaged.dxf", Acad::eOk,
         L"Warning: C:\\damaged.dxf: line 12: value 'x' of group code 10 is not a number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.path)));
        qv::host::transcript().clear();
        AcDbDatabase db(false, true);
        EXPECT_EQ(db.readDwgFile(c.path), c.status);
        EXPECT_EQ(qv::host::transcript().text().substr(0, std::wcslen(c.printed)), c.printed);
    }
}

// A save that fails leaves the drawing on disk as it was and tells why.
TEST_F(DrawingFormatTest, AFailedSaveLeavesTheFileAsItWas) {
    drive.writeFile("kept.dxf", "the old drawing");
    EXPECT_EQ(db()->saveAs(L"C:\\no such folder\\plan.dxf"), Acad::eFileAccessErr);
    EXPECT_NE(qv::host::transcript().text().find(L"Error: C:\\no such folder\\plan.dxf"),
              std::wstring::npos);

    qv::host::transcript().clear();
    addToModelSpace(new AcDbLine(AcGePoint3d(0, 0, 0),
                                 AcGePoint3d(std::numeric_limits<double>::quiet_NaN(), 0, 0)));
    EXPECT_EQ(db()->saveAs(L"C:\\kept.dxf"), Acad::eFilerError);
    EXPECT_EQ(drive.readFile("kept.dxf"), "the old drawing");
    EXPECT_NE(qv::host::transcript().text().find(L"not finite"), std::wstring::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(drive.root()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left";
}

}  // namespace
}  // namespace qv::dxf
