// Fixture for the tests of the commands over every space block (the block sweep): the space-block
// command fixture with space blocks made through the module's own block creation, and short ways
// to read back what a sweep wrote.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "StdAfx.h"
#include "blocks/BlockDWG.h"
#include "drawing/AcadDrawing.h"
#include "SpaceCommandFixture.h"

namespace qv::test {

// One space block to draw: a rectangle at (x, 0), w by h drawing units (millimetres), and what
// the block stores and shows.
struct SpaceSpec {
    const wchar_t* name;  // NAME text; "GROSS AREA" makes the gross-area block
    double x, w, h;
    double area, perimeter;  // as stored in the extended data
    int units, precision;
    const wchar_t* areaText;
    const wchar_t* auxText;  // null: the block has no AUX attribute
};

class SpaceSweepTest : public SpaceCommandTest {
  protected:
    SpaceSweepTest();

    // A fresh drawing, and the message boxes shown forgotten, for the next case of a table.
    void resetHostDrawing();
    // Draws the space block; the id of its reference.
    AcDbObjectId addSpace(const SpaceSpec& spec);
    // The text of the block's NAME (0), AREA (1) or AUX (2) attribute, "<none>" without one.
    std::wstring textOf(AcDbObjectId reference, int kind) const;
    // The value of one extended-data item ("AREA", "PERIMETER", ...) with its unit text.
    std::wstring xdataValue(AcDbObjectId reference, const wchar_t* key) const;
    // The hatches of model space, in drawing order.
    std::vector<AcDbObjectId> hatches() const;
    // Opens or closes the outline polyline of the reference's definition.
    void setOutlineClosed(AcDbObjectId reference, bool closed);

    // A text the host hands over to the caller (a tag, a layer name), copied and freed.
    static std::wstring taken(ACHAR* text);

    CAcadDrawing drawing;

  private:
    int m_made = 0;
};

}  // namespace qv::test
