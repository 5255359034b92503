// Fixture for the report-drawing tests: a drawing wrapper on the test's current document and
// short ways to draw entities and look at block definitions, references and layers.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StdAfx.h"
#include "drawing/AcadDrawing.h"
#include "support/HostFixture.h"

namespace qv::test {

class ReportTest : public DrawingTest {
  protected:
    ReportTest() {
        drawing.setDocument(document());
        drawing.setIsOpen(1);
        drawing.setIsCurrentDocument(1);
    }

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
