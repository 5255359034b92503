// Zooming to the extents of the drawing follows every change of the drawing, also when nothing
// changed in between two zooms (the host keeps the extents it measured until then).
#include <gtest/gtest.h>

#include "StdAfx.h"
#include "drawing/AcadDrawing.h"
#include "support/HostFixture.h"

namespace {

class ZoomExtents : public qv::test::DrawingTest {
  protected:
    qv::host::View zoomed() {
        CAcadDrawing drawing;
        drawing.setDocument(document());
        drawing.setIsOpen(1);
        drawing.setIsCurrentDocument(1);
        drawing.zoomExtents();
        return document()->qvViews().current();
    }
    static qv::host::View box(double x0, double y0, double x1, double y1) {
        return {{x0, y0, 0.0}, {x1, y1, 0.0}};
    }
};

TEST_F(ZoomExtents, FollowsAdditionsChangesAndErasures) {
    addToModelSpace(new AcDbLine({0, 0, 0}, {10, 10, 0}));
    EXPECT_EQ(box(0, 0, 10, 10), zoomed());
    EXPECT_EQ(box(0, 0, 10, 10), zoomed());  // unchanged in between

    const AcDbObjectId far = addToModelSpace(new AcDbLine({0, 0, 0}, {100, 50, 0}));
    EXPECT_EQ(box(0, 0, 100, 50), zoomed());
    {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbLine> line(far, AcDb::kForWrite);
        line->setEndPoint({-20, 5, 0});
    }
    EXPECT_EQ(box(-20, 0, 10, 10), zoomed());
    {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbLine> line(far, AcDb::kForWrite);
        line->erase();
    }
    EXPECT_EQ(box(0, 0, 10, 10), zoomed());
}

}  // namespace
