// Fixture for the report-drawing tests: a drawing wrapper on the test's current document and
// short ways to draw entities and look at block definitions, references and layers.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StdAfx.h"
#include "drawing/AcadDrawing.h"
#include "support/HostFixture.h"
#include "support/SpaceBlocks.h"

namespace qv::test {

class ReportTest : public DrawingTest {
  protected:
    ReportTest() { wrapCurrentDocument(drawing, document()); }

    // A closed rectangle from (x, y), w wide and h high, in model space (world coordinates).
    AcDbObjectId addRectangle(double x, double y, double w, double h);
    AcDbObjectId addCircle(const AcGePoint3d& centre, double radius);

    // The id of the (not erased) block definition of that name, or the null id.
    AcDbObjectId definition(const wchar_t* name) const;
    // The references in model space that show the definition, in drawing order.
    std::vector<AcDbObjectId> referencesTo(const wchar_t* name) const;
    // The entities of a definition (erased ones left out), in order.
    std::vector<AcDbObjectId> entitiesOf(AcDbObjectId block) const;
    bool layerIsOff(const wchar_t* name) const;
    // Calls edit on the layer of that name opened for writing under the document's lock (a fatal
    // failure when the layer is missing or does not open).
    template <typename Edit>
    void editLayer(const wchar_t* name, Edit edit) {
        WriteLock lock(document());
        AcDbSymbolTablePointer<AcDbLayerTable> table(db(), AcDb::kForRead);
        AcDbObjectId id;
        ASSERT_EQ(table->getAt(name, id), Acad::eOk);
        AcDbObjectPointer<AcDbLayerTableRecord> layer(id, AcDb::kForWrite);
        ASSERT_EQ(layer.openStatus(), Acad::eOk);
        edit(*layer.object());
    }
    // The owner of an entity.
    AcDbObjectId ownerOf(AcDbObjectId entity) const;
    // The entity's layer name.
    static std::wstring layerOf(const AcDbEntity* entity);

    CAcadDrawing drawing;
};

inline AcCmColor rgb(int r, int g, int b) {
    AcCmColor colour;
    colour.setRGB(static_cast<Adesk::UInt8>(r), static_cast<Adesk::UInt8>(g),
                  static_cast<Adesk::UInt8>(b));
    return colour;
}

// Points compared within 1e-6.
inline void expectNear(const AcGePoint3d& expected, const AcGePoint3d& actual,
                       const char* what = "") {
    EXPECT_NEAR(expected.x, actual.x, 1e-6) << what;
    EXPECT_NEAR(expected.y, actual.y, 1e-6) << what;
    EXPECT_NEAR(expected.z, actual.z, 1e-6) << what;
}

}  // namespace qv::test
