// Fixture for the tests of the commands that read and change every space block: a drawing on a
// drive C: of its own, the module folder "C:\Host", answers for the command line, and short ways
// to make space blocks through the module's own block creation.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StdAfx.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/OrvanAttribute.h"
#include "core/Preferences.h"
#include "drawing/AcadDrawing.h"
#include "host/CommandLine.h"
#include "module/ModuleGlobals.h"
#include "support/CommandLineAnswers.h"
#include "support/HostFixture.h"
#include "support/SpaceBlocks.h"
#include "support/TempDrive.h"

namespace qv::test {

// One space block to make: its definition name, space name, stored area and perimeter (in its
// units), units and where its 1000 x 1000 outline starts.
struct SpaceRoom {
    const wchar_t* blockName;
    const wchar_t* name;
    double area;
    double perimeter;
    int units;
    double x;
    bool withoutXData = false;  // its extended data removed after it is made
};

class SpaceBlockCommandTest : public DrawingTest {
  protected:
    SpaceBlockCommandTest() {
        moduleFolder = L"C:\\Host";
        drive.makeFolder("Host/orvan/prefs");
        drive.makeFolder("plans");
        document()->qvSetFileName(L"C:\\plans\\level1.dwg");
        wrapCurrentDocument(drawing, document());
    }
    ~SpaceBlockCommandTest() override { moduleFolder.Empty(); }

    // Makes the space block; the id of its reference.
    AcDbObjectId addRoom(const SpaceRoom& room) {
        const AcDbObjectId outlineId = addToModelSpace(rectangleOutline(room.x, 0, 1000, 1000));
        CBlockDWGRoom block;
        block.setBlockName(room.blockName);
        block.setAttributes(spaceAttributes(room.name, L"area", L"aux"));
        block.setName(room.name);
        block.setArea(room.area);
        block.setPerimeter(room.perimeter);
        block.setUnits(room.units);
        block.setPrecision(2);
        EXPECT_EQ(Acad::eOk,
                  makeSpaceBlock(block, drawing, outlineId, AcGePoint3d(room.x + 500, 500, 0), 50.0));
        if (room.withoutXData) {
            WriteLock lock(document());
            AcDbObjectPointer<AcDbEntity> reference(block.getObjectId(), AcDb::kForWrite);
            resbuf* only = acutBuildList(1001, L"ADE", 0);
            EXPECT_EQ(Acad::eOk, reference->setXData(only));
            acutRelRb(only);
        }
        return block.getObjectId();
    }

    // A furniture block "CHAIR" (a 100 x 100 square) put at the point, with one attribute per
    // value given; the reference's id. The definition is made once.
    AcDbObjectId addChair(const AcGePoint3d& at, std::vector<const wchar_t*> values = {}) {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockTable> table(db()->blockTableId(), AcDb::kForWrite);
        AcDbObjectId chair;
        if (table->getAt(L"CHAIR", chair) != Acad::eOk) {
            auto* record = new AcDbBlockTableRecord;
            record->setName(L"CHAIR");
            EXPECT_EQ(Acad::eOk, table->add(chair, record));
            auto* seat = new AcDbPolyline;
            for (const AcGePoint2d& p : {AcGePoint2d(0, 0), AcGePoint2d(100, 0),
                                         AcGePoint2d(100, 100), AcGePoint2d(0, 100)})
                seat->addVertexAt(seat->numVerts(), p);
            seat->setClosed(true);
            record->appendAcDbEntity(seat);
            seat->close();
            record->close();
        }
        table.close();
        AcDbObjectPointer<AcDbBlockTableRecord> space(db()->modelSpaceId(), AcDb::kForWrite);
        auto* reference = new AcDbBlockReference(at, chair);
        AcDbObjectId id;
        EXPECT_EQ(Acad::eOk, space->appendAcDbEntity(id, reference));
        int n = 0;
        for (const wchar_t* value : values) {
            const std::wstring tag = L"TAG" + std::to_wstring(++n);
            auto* attribute = new AcDbAttribute(at, value, tag.c_str());
            EXPECT_EQ(Acad::eOk, reference->appendAttribute(attribute));
            attribute->close();
        }
        reference->close();
        return id;
    }

    // Turns the space block back into its outline and erases its definition.
    void removeRoom(AcDbObjectId reference) {
        CBlockDWG block;
        block.setObjectId(reference);
        EXPECT_TRUE(block.deleteBlock(&drawing));
    }

    // Moves the entity to the end of model space (through paper space): the walks meet it last,
    // whatever its handle.
    void moveToEndOfModelSpace(AcDbObjectId id) {
        WriteLock lock(document());
        AcDbBlockTable* table = nullptr;
        ASSERT_EQ(Acad::eOk, db()->getBlockTable(table, AcDb::kForRead));
        AcDbObjectId paperId;
        table->getAt(L"*Paper_Space", paperId);
        table->close();
        AcDbObjectIdArray ids;
        ids.append(id);
        for (const AcDbObjectId& spaceId : {paperId, db()->modelSpaceId()}) {
            AcDbObjectPointer<AcDbBlockTableRecord> space(spaceId, AcDb::kForWrite);
            ASSERT_EQ(Acad::eOk, space->assumeOwnershipOf(ids));
        }
    }

    void storePreferences(int precision, const wchar_t* csvOpener) const {
        CPreferences preferences;
        preferences.setPrecision(precision);
        preferences.setCsvOpener(csvOpener);
        ASSERT_TRUE(preferences.savePreferences(L"C:\\Host\\orvan\\prefs\\prefs.cfg"));
    }

    static std::wstring printed() { return qv::host::transcript().text(); }
    // What was printed from the first occurrence of `from` on (all of it when absent).
    static std::wstring printedFrom(const std::wstring& from) {
        const std::wstring text = printed();
        const size_t at = text.find(from);
        return at == std::wstring::npos ? text : text.substr(at);
    }
    std::vector<std::wstring> messageBoxes() const {
        std::vector<std::wstring> texts;
        for (const auto& shown : ui.shown())
            texts.push_back(std::wstring(shown.caption) + L": " + std::wstring(shown.text));
        return texts;
    }
    static std::wstring handleOf(AcDbObjectId id) { return id.handle().text(); }
    static std::wstring decimalHandleOf(AcDbObjectId id) {
        return std::to_wstring(id.handle().value());
    }
    // The picks and answers of the command line: "#<handle>" picks the entity.
    static std::string pick(AcDbObjectId id) {
        return "#" + std::string(CStringA(id.handle().text().c_str()).GetString());
    }

    TempDrive drive;
    CommandLineAnswers answers;
    CAcadDrawing drawing;
};

}  // namespace qv::test
