// Fixture for the asset tests: furniture blocks (a rectangle each, optionally with a "SERIAL"
// attribute definition), their references, a dynamic block shown through an anonymous block,
// and a room (a space block) around them.
#pragma once

#include <string>
#include <vector>

#include "BlockFixture.h"
#include "blocks/Asset.h"
#include "blocks/Assets.h"

namespace qv::test {

class AssetTest : public BlockTest {
  protected:
    // A block `name` holding the rectangle (x0, y0)-(x1, y1) and, when asked, an attribute
    // definition "SERIAL".
    AcDbObjectId defineBlock(const wchar_t* name, double x0, double y0, double x1, double y1,
                             bool withSerial = false);
    // An anonymous block "*U..." of the rectangle that the host tells as a face of `dynamic`.
    AcDbObjectId defineDynamicFace(AcDbObjectId dynamic, double x0, double y0, double x1,
                                   double y1);
    // A reference to the block in model space, with a "SERIAL" attribute of that value when one
    // is given.
    AcDbObjectId insert(AcDbObjectId block, const AcGePoint3d& position,
                        const wchar_t* serial = nullptr, double rotation = 0.0,
                        double scale = 1.0, const wchar_t* layer = nullptr);
    // A room space block "ROOM-<n>" around the rectangle; the reference's id.
    AcDbObjectId room(const wchar_t* name, double x, double y, double w, double h);

    static std::wstring handleText(AcDbObjectId id);
    // "address|description" of each hyperlink of the object, joined by ";".
    static std::wstring linksOf(AcDbObjectId id);
};

}  // namespace qv::test
