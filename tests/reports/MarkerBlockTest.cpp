#include <gtest/gtest.h>

#include <cmath>
#include <cwchar>
#include <string>
#include <vector>

#include "ReportFixture.h"
#include "StdAfx.h"
#include "blocks/Blocks.h"
#include "core/OrvanExceptions.h"
#include "drawing/DrawingLock.h"
#include "drawing/HostIdentity.h"
#include "host/db/ObjectAccess.h"
#include "module/MarkerCommands.h"
#include "reports/MarkerBlockLegend.h"
#include "reports/MarkerBlockPie.h"
#include "support/CommandLineAnswers.h"
#include "support/FaultSweep.h"

namespace {

using qv::host::ObjectAccess;
using qv::test::expectNear;

const double PI = 3.141592653589793;

struct AttributeSeen {
    std::wstring tag, text;
    AcGePoint3d position;
    int fieldLength;
};

class MarkerTest : public qv::test::ReportTest {
  protected:
    // The world points of a polyline's vertices, or a circle's centre, as the entity lies.
    static std::vector<AcGePoint3d> worldPoints(AcDbObjectId id, const AcGeMatrix3d& placed) {
        std::vector<AcGePoint3d> points;
        if (const auto* pl = ObjectAccess::peekAs<AcDbPolyline>(id)) {
            for (unsigned int i = 0; i < pl->numVerts(); ++i) {
                AcGePoint3d p;
                pl->getPointAt(i, p);
                points.push_back(p.transformBy(placed));
            }
        } else if (const auto* circle = ObjectAccess::peekAs<AcDbCircle>(id)) {
            AcGePoint3d c = circle->center();
            points.push_back(c.transformBy(placed));
        }
        return points;
    }
    static std::vector<AttributeSeen> attributesOf(AcDbObjectId reference) {
        std::vector<AttributeSeen> seen;
        const auto* ref = ObjectAccess::peekAs<AcDbBlockReference>(reference);
        for (const AcDbObjectId& id : ref->qvAttributes()) {
            const auto* a = ObjectAccess::peekAs<AcDbAttribute>(id);
            ACHAR* tag = a->tag();
            seen.push_back({tag, a->textStringConst(), a->position(), a->fieldLength()});
            acutDelString(tag);
        }
        return seen;
    }
    AcGeMatrix3d ucs() const {
        AcGeMatrix3d m;
        acdbUcsMatrix(m, db());
        return m;
    }
    // A UCS turned 30 degrees about z at (1000, 500).
    void turnUcs() {
        const double a = PI / 6;
        db()->setUcs(AcGePoint3d(1000, 500, 0), AcGeVector3d(std::cos(a), std::sin(a), 0),
                     AcGeVector3d(-std::sin(a), std::cos(a), 0));
    }
    CString transcript() const { return qv::host::transcript().text().c_str(); }

    qv::test::CommandLineAnswers answers;
};

struct PlacementCase {
    const char* name;
    bool legend;
    bool turnedUcs;
    const char* rotation;  // degrees typed, "" for the preference's 0
    double degrees;
};

class MarkerPlacement : public MarkerTest, public ::testing::WithParamInterface<PlacementCase> {};

void PrintTo(const PlacementCase& c, std::ostream* out) {
    *out << c.name;
}

// Each kind made through its creation function, in the world and in a turned UCS, unturned and
// turned: the entity stays where it was (turned about the base point), the five attributes stack
// below the base point one text height apart, the marker layer is off, and a report reads the
// marker back with the values typed.
TEST_P(MarkerPlacement, StandsWhereItsEntityWasAndReadsBack) {
    const PlacementCase& c = GetParam();
    if (c.turnedUcs)
        turnUcs();
    const AcGeMatrix3d toWorld = ucs();
    // The entity drawn in the world; its base point in the UCS.
    const AcDbObjectId entity =
        c.legend ? addRectangle(1200, 700, 3000, 1500) : addCircle(AcGePoint3d(1500, 900, 0), 800);
    const std::vector<AcGePoint3d> before = worldPoints(entity, AcGeMatrix3d::kIdentity);
    AcGePoint3d base;
    if (c.legend) {
        // The top-left corner of the rectangle as the UCS sees it.
        double minX = 1e300, maxY = -1e300;
        for (AcGePoint3d p : before) {
            p.transformBy(toWorld.inverse());
            minX = std::min(minX, p.x);
            maxY = std::max(maxY, p.y);
        }
        base = AcGePoint3d(minX, maxY, 0);
    } else {
        base = before[0];
        base.transformBy(toWorld.inverse());
    }

    answers.give({"3", "125", c.rotation});
    {
        CDrawingLock lock(&drawing);  // as the command holds it
        if (c.legend)
            createLegendMarkerBlock(&drawing, entity);
        else
            createPieMarkerBlock(&drawing, entity);
    }
    EXPECT_NE(-1, transcript().Find(L"Block Created Successfully\n")) << CStringA(transcript());

    const wchar_t* name = c.legend ? L"MARKER-LEGEND" : L"MARKER-PIECHART";
    const wchar_t* layer = c.legend ? L"ORVAN_LEGEND_MARKER" : L"ORVAN_PIECHART_MARKER";
    const AcDbObjectId block = definition(name);
    ASSERT_FALSE(block.isNull());
    EXPECT_EQ(block, ownerOf(entity));
    const std::vector<AcDbObjectId> references = referencesTo(name);
    ASSERT_EQ(1u, references.size());
    const auto* reference = ObjectAccess::peekAs<AcDbBlockReference>(references[0]);
    EXPECT_EQ(std::wstring(layer), layerOf(reference));
    EXPECT_TRUE(layerIsOff(layer));

    // Where the entity shows: where it was, turned about the base point in the UCS.
    const double turn = c.degrees * PI / 180.0;
    const AcGeMatrix3d turned =
        toWorld * AcGeMatrix3d::rotation(turn, AcGeVector3d::kZAxis, base) * toWorld.inverse();
    const std::vector<AcGePoint3d> shown = worldPoints(entity, reference->blockTransform());
    ASSERT_EQ(before.size(), shown.size());
    for (size_t i = 0; i < before.size(); ++i) {
        AcGePoint3d expected = before[i];
        expectNear(expected.transformBy(turned), shown[i], "entity point");
    }

    // The attributes: tags, defaults at precision 3, field lengths, one text height apart.
    const std::vector<AttributeSeen> attributes = attributesOf(references[0]);
    const wchar_t* const legendTexts[5][2] = {
        {L"LEGENDTITLE", L"LEGEND BLOCK"}, {L"LEGENDTEXTSIZE", L"125.000"},
        {L"LEGENDPRECISION", L"3"}, {L"LEGENDROTATION", L"0.000"}, {L"LEGENDUNITS", L"0"}};
    const wchar_t* const pieTexts[5][2] = {
        {L"PIETITLE", L"PIE BLOCK"}, {L"PIETEXTSIZE", L"125.000"}, {L"PIEPRECISION", L"3"},
        {L"PIERADIUS", L"800.000"}, {L"PIEXYOFFSETVALUE", L"500.000"}};
    const auto& expected = c.legend ? legendTexts : pieTexts;
    ASSERT_EQ(5u, attributes.size());
    for (size_t k = 0; k < 5; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(expected[k][0], attributes[k].tag);
        EXPECT_EQ(expected[k][1], attributes[k].text);
        EXPECT_EQ(static_cast<int>(wcslen(expected[k][1])) + 1, attributes[k].fieldLength);
        AcGePoint3d at(base.x, base.y - 125.0 * static_cast<double>(k + 1), 0);
        at.transformBy(AcGeMatrix3d::rotation(turn, AcGeVector3d::kZAxis, base));
        expectNear(at.transformBy(toWorld), attributes[k].position, "attribute");
    }

    // Read back as a report finds it.
    CBlocks markers;
    if (c.legend)
        markers.getLegendBlock_SS(&drawing);
    else
        markers.getPieBlock_SS(&drawing);
    ASSERT_EQ(1, markers.getCount());
    auto* marker = dynamic_cast<CMarkerBlock*>(markers.getAt(0));
    ASSERT_NE(nullptr, marker);
    EXPECT_DOUBLE_EQ(125.0, marker->getTextSize());
    EXPECT_EQ(3, marker->getPrecision());
    EXPECT_EQ(0, marker->getUnits());
    EXPECT_NEAR(std::cos(turn), std::cos(marker->getRotation()), 1e-9);
    EXPECT_NEAR(std::sin(turn), std::sin(marker->getRotation()), 1e-9);
    EXPECT_EQ(CString(name), marker->getBlockName());
    EXPECT_EQ(CString(references[0].handle().text().c_str()), marker->getHandle());
    if (c.legend) {
        expectNear(base, static_cast<CMarkerBlockLegend*>(marker)->getPoint(), "legend point");
    } else {
        auto* pie = static_cast<CMarkerBlockPie*>(marker);
        expectNear(base, pie->getCentre(), "pie centre");
        EXPECT_DOUBLE_EQ(800.0, pie->getRadius());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MarkerPlacement,
    ::testing::Values(PlacementCase{"LegendWorld", true, false, "", 0.0},
                      PlacementCase{"LegendTurnedUcs", true, true, "", 0.0},
                      PlacementCase{"LegendTurnedUcsTurned180", true, true, "180", 180.0},
                      PlacementCase{"PieWorld", false, false, "", 0.0},
                      PlacementCase{"PieTurnedUcsTurned90", false, true, "90", 90.0}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) { return info.param.name; });

// What refuses a marker leaves the picked entity as it was, in model space, and adds nothing.
TEST_F(MarkerTest, ARefusedMarkerLeavesTheEntityAlone) {
    turnUcs();
    const AcDbObjectId first = addRectangle(0, 0, 100, 50);
    CDrawingLock lock(&drawing);  // as the command holds it
    answers.give({"", "", ""});
    createLegendMarkerBlock(&drawing, first);
    const AcDbObjectId modelSpace = definition(L"*Model_Space");

    struct Case {
        const char* name;
        std::vector<std::string> answers;
        const wchar_t* message;
    };
    const Case cases[] = {
        {"a second legend marker", {"", "", ""}, L"Block Creation Failed - Error Code 95\n"},
        {"text size 0", {"", "0", ""}, L"\nInvalid Text Size - it must be greater than 0"},
        {"negative text size", {"", "-3", ""}, L"\nInvalid Text Size"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AcDbObjectId other = addRectangle(500, 500, 80, 40);
        const std::vector<AcGePoint3d> before = worldPoints(other, AcGeMatrix3d::kIdentity);
        answers.give(c.answers);
        createLegendMarkerBlock(&drawing, other);
        EXPECT_NE(-1, transcript().Find(c.message)) << CStringA(transcript());
        EXPECT_EQ(modelSpace, ownerOf(other));
        const std::vector<AcGePoint3d> after = worldPoints(other, AcGeMatrix3d::kIdentity);
        ASSERT_EQ(before.size(), after.size());
        for (size_t i = 0; i < before.size(); ++i)
            expectNear(before[i], after[i], "vertex");
        EXPECT_EQ(1u, referencesTo(L"MARKER-LEGEND").size());
    }
    // A text size refused for a pie too, before its definition is made.
    const AcDbObjectId circle = addCircle(AcGePoint3d(10, 10, 0), 5);
    answers.give({"", "0", ""});
    createPieMarkerBlock(&drawing, circle);
    EXPECT_TRUE(definition(L"MARKER-PIECHART").isNull());
    EXPECT_EQ(modelSpace, ownerOf(circle));
}

// Whatever host call fails while a marker is made, the drawing ends with either the whole
// marker or the picked polyline in model space where it was, and no marker definition.
TEST_F(MarkerTest, EveryHostFailureLeavesTheWholeMarkerOrNone) {
    const AcDbObjectId outline = addRectangle(100, 100, 400, 200);
    const AcDbObjectId modelSpace = definition(L"*Model_Space");
    const std::vector<AcGePoint3d> before = worldPoints(outline, AcGeMatrix3d::kIdentity);
    qv::test::FaultSweepOptions options;
    // Each run starts from the outline alone: a marker a run made is taken apart again.
    options.setUp = [&] {
        WriteLock lock(document());
        for (const AcDbObjectId& id : referencesTo(L"MARKER-LEGEND")) {
            AcDbObjectPointer<AcDbEntity> reference(id, AcDb::kForWrite);
            reference->erase();
        }
        const AcDbObjectId block = definition(L"MARKER-LEGEND");
        if (block.isNull())
            return;
        AcDbObjectIdArray ids;
        ids.append(outline);
        AcDbObjectPointer<AcDbBlockTableRecord> space(modelSpace, AcDb::kForWrite);
        ASSERT_EQ(Acad::eOk, space->assumeOwnershipOf(ids));
        AcDbObjectPointer<AcDbPolyline> pl(outline, AcDb::kForWrite);
        for (unsigned int i = 0; i < pl->numVerts(); ++i)
            pl->setPointAt(i, before[i].convert2d());
        AcDbObjectPointer<AcDbBlockTableRecord> marker(block, AcDb::kForWrite);
        ASSERT_EQ(Acad::eOk, marker->erase());
    };
    options.check = [&]() -> std::string {
        const AcDbObjectId block = definition(L"MARKER-LEGEND");
        if (!block.isNull()) {
            if (ownerOf(outline) != block || referencesTo(L"MARKER-LEGEND").size() != 1 ||
                attributesOf(referencesTo(L"MARKER-LEGEND")[0]).size() != 5)
                return "an incomplete marker";
            return "";
        }
        if (ownerOf(outline) != modelSpace)
            return "the outline left model space";
        const std::vector<AcGePoint3d> now = worldPoints(outline, AcGeMatrix3d::kIdentity);
        for (size_t i = 0; i < before.size(); ++i)
            if (now[i].distanceTo(before[i]) > 1e-9)
                return "the outline moved";
        if (!referencesTo(L"MARKER-LEGEND").empty())
            return "a reference without its marker";
        return "";
    };
    int status = -1;
    const qv::test::FaultSweepResult sweep = qv::test::sweepHostFaults(
        [&] {
            CMarkerBlockLegend marker;
            try {
                status = marker.createMarkerBlock(&drawing, outline, 0, 2, 250.0, 0.0);
            } catch (CEXOrvan* e) {
                e->deleteChain();
            }
        },
        options);
    EXPECT_TRUE(sweep.clean()) << sweep.report();
    EXPECT_EQ(0, status);
    EXPECT_GT(sweep.failurePoints, 10);
}

// What a user may have done to a marker's attributes, read back by a report.
TEST_F(MarkerTest, EditedAttributesReadBackAsTheyNowStand) {
    const AcDbObjectId outline = addRectangle(0, 0, 100, 50);
    CMarkerBlockLegend made;
    ASSERT_EQ(0, made.createMarkerBlock(&drawing, outline, 1, 0, 250.0, 0.0));
    const AcDbObjectId reference = referencesTo(L"MARKER-LEGEND")[0];
    // Precision 0: no decimal point in the defaults.
    EXPECT_EQ(L"250", attributesOf(reference)[1].text);
    EXPECT_EQ(L"1", attributesOf(reference)[4].text);

    const struct {
        const char* name;
        const wchar_t* tag;
        const wchar_t* text;
        double textSize;
        int precision, units;
    } cases[] = {
        {"as made", nullptr, nullptr, 250.0, 0, 1},
        {"units typed in lower-case tag", L"legendunits", L"0", 250.0, 0, 0},
        {"letters as text size", L"LEGENDTEXTSIZE", L"big", 0.0, 0, 0},
        {"rotation edited: no effect", L"LEGENDROTATION", L"45", 0.0, 0, 0},
        {"precision", L"LEGENDPRECISION", L"4", 0.0, 4, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.tag != nullptr) {
            WriteLock lock(document());
            const auto* ref = ObjectAccess::peekAs<AcDbBlockReference>(reference);
            for (const AcDbObjectId& id : ref->qvAttributes()) {
                AcDbObjectPointer<AcDbAttribute> a(id, AcDb::kForWrite);
                ACHAR* tag = a->tag();
                if (CString(tag).CompareNoCase(c.tag) == 0) {
                    a->setTag(c.tag);
                    a->setTextString(c.text);
                }
                acutDelString(tag);
            }
        }
        CBlocks markers;
        markers.getLegendBlock_SS(&drawing);
        ASSERT_EQ(1, markers.getCount());
        auto* marker = static_cast<CMarkerBlockLegend*>(markers.getAt(0));
        EXPECT_EQ(c.textSize, marker->getTextSize());
        EXPECT_EQ(c.precision, marker->getPrecision());
        EXPECT_EQ(c.units, marker->getUnits());
        expectNear(AcGePoint3d(0, 50, 0), marker->getPoint());
    }
}

// The handlers: nothing at all on a light host; on a full host the entity's layer is looked at
// before anything is asked.
TEST_F(MarkerTest, TheHandlersAnswerForTheHostAndTheLayer) {
    const CHostIdentity running = hostIdentity;
    hostIdentity = CHostIdentity(L"AutoCAD LT 2015", L"");
    answers.give({});
    legendMarkerBlockCreate();
    pieMarkerBlockCreate();
    hostIdentity = running;
    EXPECT_EQ(CString(), transcript());

    addLayer(L"LOCKED");
    {
        WriteLock lock(document());
        AcDbSymbolTablePointer<AcDbLayerTable> layers(db(), AcDb::kForRead);
        AcDbSymbolTableRecordPointer<AcDbLayerTableRecord> layer(L"LOCKED", layers.object(),
                                                                 AcDb::kForWrite);
        layer->setIsLocked(true);
    }
    const AcDbObjectId outline = addRectangle(0, 0, 100, 50);
    const AcDbObjectId circle = addCircle(AcGePoint3d(500, 0, 0), 20);
    for (AcDbObjectId id : {outline, circle}) {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForWrite);
        entity->setLayer(L"LOCKED");
    }
    const auto pick = [](AcDbObjectId id) {
        return "#" + std::string(CStringA(id.handle().text().c_str()).GetString());
    };
    answers.give({pick(outline)});
    legendMarkerBlockCreate();
    EXPECT_NE(-1, transcript().Find(
                      L"\nPolyline On Locked Layer - Legend Block Marker Creation Failed\n"));
    answers.give({pick(circle)});
    pieMarkerBlockCreate();
    EXPECT_NE(-1, transcript().Find(
                      L"\nCircle On Locked Layer - Pie Chart Marker Block Creation Failed\n"));
    EXPECT_TRUE(definition(L"MARKER-LEGEND").isNull());
    EXPECT_TRUE(definition(L"MARKER-PIECHART").isNull());
    EXPECT_EQ(0u, answers.left());
}

}  // namespace
