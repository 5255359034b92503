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
#include "SpaceCommandFixture.h"
#include "host/CommandLine.h"
#include "support/SpaceBlocks.h"

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

class SpaceBlockCommandTest : public SpaceCommandTest {
  protected:
    SpaceBlockCommandTest() {
        drive.makeFolder("Host/orvan/prefs");
        drive.makeFolder("plans");
        document()->qvSetFileName(L"C:\\plans\\level1.dwg");
        wrapCurrentDocument(drawing, document());
    }

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

    static std::wstring printed() { return shown(); }
    // What was printed from the first occurrence of `from` on (all of it when absent).
    static std::wstring printedFrom(const std::wstring& from) {
        const std::wstring text = printed();
        const size_t at = text.find(from);
        return at == std::wstring::npos ? text : text.substr(at);
    }
    static std::wstring decimalHandleOf(AcDbObjectId id) {
        return std::to_wstring(id.handle().value());
    }

    CAcadDrawing drawing;
};

}  // namespace qv::test
