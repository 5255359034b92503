#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "SpaceCommandFixture.h"
#include "blocks/BlockDWG.h"
#include "module/LabelConversion.h"
#include "support/FaultSweep.h"

namespace {

using qv::test::expectNear;
using qv::test::TextSeen;

const double kPi = 3.141592653589793;

class LabelConversion : public qv::test::SpaceCommandTest {
  protected:
    // A label at `at` whose ROOM text is `room` (none when null) and whose PLINE2_ID is `handle`.
    AcDbObjectId addLabel(const AcGePoint3d& at, const wchar_t* room, const std::wstring& handle,
                          double height = 150.0, double rotation = 0.0) {
        AcDbObjectId definition;
        {
            WriteLock lock(document());
            AcDbObjectPointer<AcDbBlockTable> table(db()->blockTableId(), AcDb::kForWrite);
            if (table->getAt(L"TAVRIN_SPACE_LABEL", definition) != Acad::eOk) {
                auto* record = new AcDbBlockTableRecord;
                record->setName(L"TAVRIN_SPACE_LABEL");
                EXPECT_EQ(Acad::eOk, table->add(definition, record));
                record->close();
            }
        }
        const AcDbObjectId label = addToModelSpace(new AcDbBlockReference(at, definition));
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockReference> ref(label, AcDb::kForWrite);
        const auto attach = [&](const wchar_t* tag, const std::wstring& text) {
            auto* attribute = new AcDbAttribute;
            attribute->setTag(tag);
            attribute->setTextString(text.c_str());
            attribute->setPosition(at);
            attribute->setHeight(height);
            attribute->setWidthFactor(0.9);
            attribute->setRotation(rotation);
            EXPECT_EQ(Acad::eOk, ref->appendAttribute(attribute));
            attribute->close();
        };
        if (room != nullptr)
            attach(L"ROOM", room);
        attach(L"PLINE2_ID", handle);
        return label;
    }
    std::wstring layerOf(AcDbObjectId id) {
        AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForRead);
        ACHAR* name = entity->layer();
        std::wstring layer = name;
        acutDelString(name);
        return layer;
    }
    // The handle of a polyline that was erased.
    std::wstring erasedPolyline() {
        const AcDbObjectId gone = addRectangle(0, 0, 10, 10);
        const std::wstring handle = handleOf(gone);
        WriteLock lock(document());
        AcDbObjectPointer<AcDbEntity> entity(gone, AcDb::kForWrite);
        entity->erase();
        return handle;
    }
    bool closed(AcDbObjectId polyline) {
        AcDbObjectPointer<AcDbPolyline> pl(polyline, AcDb::kForRead);
        return pl->isClosed();
    }
};

// Three labels, the second naming an erased polyline, the third an open one: ROOM-0 and ROOM-2
// are made (the second label's number is used up), named after the labels, measured in the
// preference units; every label goes to the layer "TAVRIN", which is off, and "BOMA" is on and
// thawed. A second run makes nothing and moves nothing.
TEST_F(LabelConversion, LabelsBecomeRoomsAndASecondRunMovesNothing) {
    const struct {
        const char* name;
        int units;
        const wchar_t* area0;  // 2000 x 2000 mm
        const wchar_t* area2;  // 3000 x 1000 mm
    } cases[] = {
        {"metric", 0, L"4.00sq.m.", L"3.00sq.m."},
        {"imperial", 1, L"43.06sq.ft.", L"32.29sq.ft."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        renewDocument();
        storePreferences(c.units, 2);
        setLayer(L"BOMA", true, false, true);
        const AcDbObjectId office = addRectangle(0, 0, 2000, 2000);
        const AcDbObjectId store = addRectangle(5000, 0, 3000, 1000, false);
        const AcDbObjectId labels[] = {
            addLabel({1000, 1000, 0}, L"Office", handleOf(office)),
            addLabel({3000, 500, 0}, L"Gone", erasedPolyline()),
            addLabel({6500, 500, 0}, L"Store", handleOf(store)),
        };

        answers.give({});
        orvanTavrinConversion();
        EXPECT_TRUE(messageBoxes().empty());
        EXPECT_NE(std::wstring::npos,
                  shown().find(L"\nSpace label " + handleOf(labels[1]) + L": its outline "));
        ASSERT_EQ(1u, referencesTo(L"ROOM-0").size());
        EXPECT_FALSE(hasBlock(L"ROOM-1"));
        ASSERT_EQ(1u, referencesTo(L"ROOM-2").size());
        EXPECT_TRUE(closed(store)) << "the open outline is closed";

        const struct {
            const wchar_t* block;
            const wchar_t* name;
            const wchar_t* area;
            AcGePoint3d at;
        } made[] = {{L"ROOM-0", L"Office", c.area0, {1000, 1000, 0}},
                    {L"ROOM-2", L"Store", c.area2, {6500, 500, 0}}};
        for (const auto& m : made) {
            const AcDbObjectId ref = referencesTo(m.block)[0];
            const std::vector<TextSeen> texts = attributesOf(ref);
            EXPECT_EQ(m.name, find(texts, L"NAME")->text);
            EXPECT_EQ(m.area, find(texts, L"AREA")->text);
            EXPECT_EQ(L" ", find(texts, L"AUX")->text);
            expectNear(find(texts, L"AREA")->position, m.at, "AREA at the label");
            EXPECT_DOUBLE_EQ(150.0, find(texts, L"AREA")->height);
            EXPECT_DOUBLE_EQ(0.9, find(texts, L"AREA")->widthFactor);
            EXPECT_NEAR(0.0, find(texts, L"AREA")->rotation, 1e-12);
            AcDbObjectPointer<AcDbBlockReference> r(ref, AcDb::kForRead);
            CBlockDWG back(r.object(), document());
            EXPECT_EQ(c.units, back.getUnits());
            EXPECT_EQ(m.name, std::wstring(back.getName()));
        }
        for (const AcDbObjectId& label : labels)
            EXPECT_EQ(L"TAVRIN", layerOf(label));
        bool off = false, frozen = false;
        layerState(L"TAVRIN", off, frozen);
        EXPECT_TRUE(off);
        layerState(L"BOMA", off, frozen);
        EXPECT_FALSE(off);
        EXPECT_FALSE(frozen);

        const std::vector<AcGePoint3d> officeShown =
            verticesOf(office, referencesTo(L"ROOM-0")[0]);
        const AcDbObjectId officeOwner = ownerOf(office);
        answers.give({});
        orvanTavrinConversion();
        EXPECT_EQ(1u, referencesTo(L"ROOM-0").size());
        EXPECT_EQ(1u, referencesTo(L"ROOM-2").size());
        EXPECT_FALSE(hasBlock(L"ROOM-1"));
        EXPECT_FALSE(hasBlock(L"ROOM-3"));
        EXPECT_EQ(officeOwner, ownerOf(office));
        const std::vector<AcGePoint3d> officeAgain =
            verticesOf(office, referencesTo(L"ROOM-0")[0]);
        for (size_t i = 0; i < officeShown.size(); ++i)
            expectNear(officeAgain[i], officeShown[i], "not moved by the second run");
        EXPECT_NE(std::wstring::npos,
                  shown().find(L"\nSpace label " + handleOf(labels[0]) + L": its outline " +
                               handleOf(office) + L" belongs to a block already - no space "
                                                  L"block made\n"));
        EXPECT_TRUE(messageBoxes().empty());
        EXPECT_EQ("", qv::test::hostLeftovers());
    }
}

// A taken "ROOM-" + i name: the label gets the next free number and the command says so; the
// next label's own number may then be taken in turn.
TEST_F(LabelConversion, ATakenNameGivesTheNextFreeNumber) {
    addDefinition(L"ROOM-0");
    const AcDbObjectId a = addRectangle(0, 0, 2000, 2000);
    const AcDbObjectId b = addRectangle(3000, 0, 2000, 2000);
    const AcDbObjectId first = addLabel({1000, 1000, 0}, L"A", handleOf(a));
    const AcDbObjectId second = addLabel({4000, 1000, 0}, L"B", handleOf(b));
    orvanTavrinConversion();
    EXPECT_EQ(L"\nSpace label " + handleOf(first) + L": ROOM-0 exists - made ROOM-1\n"
              L"\nSpace label " + handleOf(second) + L": ROOM-1 exists - made ROOM-2\n",
              shown());
    ASSERT_EQ(1u, referencesTo(L"ROOM-1").size());
    EXPECT_EQ(L"A", find(attributesOf(referencesTo(L"ROOM-1")[0]), L"NAME")->text);
    ASSERT_EQ(1u, referencesTo(L"ROOM-2").size());
    EXPECT_EQ(L"B", find(attributesOf(referencesTo(L"ROOM-2")[0]), L"NAME")->text);
    EXPECT_TRUE(referencesTo(L"ROOM-0").empty());
}

// In a turned UCS, with a label turned 30 degrees in the world: the outline stays where it was
// drawn, the AREA text stands at the label's insertion point and runs along the label's text.
// A label without a "ROOM" text gives an empty name and level texts of height 10.
TEST_F(LabelConversion, TheLabelsPointAndTurnAreKeptInATurnedUcs) {
    const AcDbObjectId outline = addRectangle(100, 200, 3000, 2000);
    const AcDbObjectId bare = addRectangle(5000, 0, 1000, 1000);
    const std::vector<AcGePoint3d> drawn = verticesOf(outline);
    addLabel({1600, 1200, 0}, L"Hall", handleOf(outline), 120.0, kPi / 6);
    addLabel({5500, 500, 0}, nullptr, handleOf(bare));
    setUcs(AcGePoint3d(100, 200, 0), AcGeVector3d::kYAxis, -AcGeVector3d::kXAxis);
    orvanTavrinConversion();
    ASSERT_EQ(1u, referencesTo(L"ROOM-0").size());
    const AcDbObjectId ref = referencesTo(L"ROOM-0")[0];
    const std::vector<AcGePoint3d> shownNow = verticesOf(outline, ref);
    for (size_t i = 0; i < drawn.size(); ++i)
        expectNear(shownNow[i], drawn[i], "where it was drawn");
    const std::vector<TextSeen> texts = attributesOf(ref);
    expectNear(find(texts, L"AREA")->position, AcGePoint3d(1600, 1200, 0), "AREA at the label");
    EXPECT_NEAR(kPi / 6, find(texts, L"AREA")->rotation, 1e-9);
    EXPECT_DOUBLE_EQ(120.0, find(texts, L"AREA")->height);

    ASSERT_EQ(1u, referencesTo(L"ROOM-1").size());
    const std::vector<TextSeen> bareTexts = attributesOf(referencesTo(L"ROOM-1")[0]);
    EXPECT_EQ(L"", find(bareTexts, L"NAME")->text);
    EXPECT_DOUBLE_EQ(10.0, find(bareTexts, L"AREA")->height);
    EXPECT_NEAR(0.0, find(bareTexts, L"AREA")->rotation, 1e-9);
}

// Every host call failing in turn: nothing escapes, nothing stays open or locked, and a label's
// outline is either where it was and open as it was, or inside its block.
TEST_F(LabelConversion, SurvivesEveryHostFailure) {
    AcDbObjectId outline;
    std::vector<AcGePoint3d> drawn;
    qv::test::FaultSweepOptions options;
    options.setUp = [&] {
        renewDocument();
        outline = addRectangle(0, 0, 2000, 2000, false);
        drawn = verticesOf(outline);
        addLabel({1000, 1000, 0}, L"Office", handleOf(outline));
        addLabel({3000, 1000, 0}, L"Gone", L"FFFF");
        ui.clear();
    };
    options.check = [&]() -> std::string {
        const std::vector<AcDbObjectId> refs = referencesTo(L"ROOM-0");
        if (refs.empty() != (ownerOf(outline) == db()->modelSpaceId()))
            return "outline and block disagree";
        if (refs.empty() && closed(outline))
            return "outline closed without a block";
        const std::vector<AcGePoint3d> now =
            verticesOf(outline, refs.empty() ? AcDbObjectId::kNull : refs[0]);
        for (size_t i = 0; i < drawn.size(); ++i)
            if (now.size() != drawn.size() || now[i].distanceTo(drawn[i]) > 1e-6)
                return "outline moved";
        return "";
    };
    const qv::test::FaultSweepResult sweep =
        qv::test::sweepHostFaults(orvanTavrinConversion, options);
    EXPECT_TRUE(sweep.clean()) << sweep.report();
    EXPECT_GT(sweep.failurePoints, 20);
}

}  // namespace
