// osc_cal and osc_dsd, and every handler of these commands under host failures.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "SpaceBlockCommandFixture.h"
#include "drawing/AcadDrawingState.h"
#include "host/db/HostFaults.h"
#include "module/ListingCommands.h"
#include "module/UpdateCommands.h"
#include "support/FaultSweep.h"

namespace {

using qv::test::SpaceRoom;

class SpaceDetailCommands : public qv::test::SpaceBlockCommandTest {
  protected:
    // The entity's layer name (the host hands out a copy, freed here).
    static std::wstring layerOf(const AcDbEntity& entity) {
        ACHAR* name = entity.layer();
        const std::wstring layer = name != nullptr ? name : L"";
        acutDelString(name);
        return layer;
    }
    // The layer of each attribute of the reference, "TAG:layer" joined by " ".
    std::wstring attributeLayers(AcDbObjectId reference) {
        std::wstring layers;
        AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
        AcDbObjectIterator* it = ref->attributeIterator();
        for (; !it->done(); it->step()) {
            AcDbObjectPointer<AcDbAttribute> attribute(it->objectId(), AcDb::kForRead);
            layers += std::wstring(attribute->tagConst()) + L":" + layerOf(*attribute.object()) + L" ";
        }
        delete it;
        return layers;
    }
    void putAttributeOn(AcDbObjectId reference, const wchar_t* tag, const wchar_t* layer) {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
        AcDbObjectIterator* it = ref->attributeIterator();
        for (; !it->done(); it->step()) {
            {
                AcDbObjectPointer<AcDbAttribute> attribute(it->objectId(), AcDb::kForRead);
                if (std::wstring(attribute->tagConst()) != tag ||
                    layerOf(*attribute.object()) == layer)
                    continue;
            }
            AcDbObjectPointer<AcDbAttribute> attribute(it->objectId(), AcDb::kForWrite);
            ASSERT_EQ(Acad::eOk, attribute.openStatus());
            attribute->setLayer(layer);
        }
        delete it;
    }
    // Frozen, locked and off of each layer of the drawing, by name.
    std::wstring layerStates() {
        std::wstring states;
        AcDbLayerTable* table = nullptr;
        db()->getLayerTable(table, AcDb::kForRead);
        AcDbLayerTableIterator* it = nullptr;
        table->newIterator(it);
        for (; !it->done(); it->step()) {
            AcDbLayerTableRecord* layer = nullptr;
            it->getRecord(layer, AcDb::kForRead);
            const ACHAR* name = nullptr;
            layer->getName(name);
            states += std::wstring(name) + L":" + (layer->isFrozen() ? L"F" : L"") +
                      (layer->isLocked() ? L"L" : L"") + (layer->isOff() ? L"O" : L"") + L" ";
            layer->close();
        }
        delete it;
        table->close();
        return states;
    }
};

TEST_F(SpaceDetailCommands, PutsTheAttributesOnTheirLayersAndRestoresTheLayers) {
    setLayer(L"WALLS", true, false, false);
    setLayer(L"LOCKED", false, true, false);
    setLayer(L"HIDDEN", false, false, true);
    const AcDbObjectId moved = addRoom({L"ROOM-1", L"Office", 1.0, 4.0, 0, 0});
    const AcDbObjectId kept = addRoom({L"ROOM-2", L"Lab", 1.0, 4.0, 0, 2000});
    putAttributeOn(moved, L"NAME", L"LOCKED");
    putAttributeOn(moved, L"AREA", L"HIDDEN");
    putAttributeOn(moved, L"AUX", L"WALLS");
    const std::wstring before = layerStates();
    ASSERT_NE(std::wstring::npos, before.find(L"LOCKED:L "));

    answers.give({});
    checkAttributeLayers();
    EXPECT_EQ(L"AREA:ATT-AREA NAME:ATT-NAME AUX:ATT-AUX ", attributeLayers(moved));
    EXPECT_EQ(L"AREA:ATT-AREA NAME:ATT-NAME AUX:ATT-AUX ", attributeLayers(kept));
    EXPECT_EQ(before, layerStates());
    EXPECT_EQ(L"", printed());
    EXPECT_TRUE(messageBoxes().empty());
}

// A failure at any host call before the layers are put back still puts them back, and is shown.
TEST_F(SpaceDetailCommands, TheLayerStateComesBackAfterEveryFailure) {
    setLayer(L"WALLS", true, false, false);
    setLayer(L"LOCKED", false, true, false);
    const AcDbObjectId room = addRoom({L"ROOM-1", L"Office", 1.0, 4.0, 0, 0});
    checkAttributeLayers();  // the attribute layers exist from now on
    const std::wstring before = layerStates();

    // The calls of a normal run, and those of putting the layers back at its end.
    putAttributeOn(room, L"NAME", L"LOCKED");
    qv::host::armHostFault({qv::host::HostCalls::all(), 0});
    checkAttributeLayers();
    const int total = qv::host::hostCallsSeen();
    qv::host::disarmHostFault();
    int restoring = 0;
    {
        CAcadDrawingState saved(db());
        drawing.lock();
        qv::host::armHostFault({qv::host::HostCalls::all(), 0});
        saved.applyState(&drawing, 0);
        restoring = qv::host::hostCallsSeen();
        qv::host::disarmHostFault();
        drawing.unlock(0);
    }
    ASSERT_GT(total - restoring, 5);

    for (int call = 1; call <= total - restoring; ++call) {
        SCOPED_TRACE(call);
        putAttributeOn(room, L"NAME", L"LOCKED");
        ui.clear();
        {
            qv::host::ScopedHostFault fault(
                {qv::host::HostCalls::all(), call, qv::host::FaultAction::kThrowStatus});
            checkAttributeLayers();
            EXPECT_TRUE(qv::host::hostFaultInjected());
        }
        EXPECT_EQ(before, layerStates());
        EXPECT_EQ("", qv::test::hostLeftovers());
        ASSERT_EQ(1u, messageBoxes().size());
        EXPECT_EQ(0u, messageBoxes()[0].find(L"Error Detected.: quorvelle::checkAttributeLayers"));
    }
}

TEST_F(SpaceDetailCommands, ShowsTheDetailsOfThePickedSpace) {
    const AcDbObjectId office = addRoom({L"ROOM-1", L"Office", 12.5, 14.2, 0, 0});
    const AcDbObjectId chair = addChair({100, 100, 0});
    const struct {
        const char* name;
        std::vector<std::string> answers;
        std::wstring shown;
    } cases[] = {
        {"a space block",
         {pick(office)},
         L"\n\nPlease select a space\n\n\nBlock Identifier ROOM-1\nHandle\t\t\t " +
             handleOf(office) +
             L"\nAttributes\n\tName 'Office'\n\tArea 'area'\n\t Aux 'aux'\n\nXDATA\n"
             L"\t Area           12.500000\n\t Perimeter      14.200000\n"
             L"\t Tag Type       <Not Set>\n\t Area Type      <Not Set>\n"
             L"\t Cost Centre    <Not Set>\n\t Date           <Not Set>\n"
             L"\t Date Last Move <Not Set>\n\t Dept Charge    <Not Set>\n"
             L"\t Room Height    0.000000\n\t Special Req    <Not Set>\n"
             L"\t Tot Staff      <Not Set>\n\t Tot Wk Stns    <Not Set>\n"
             L"\t Vloume         0.000000\n\n\n"},
        {"another block", {pick(chair)},
         L"\n\nPlease select a space\n\n\nThe selected block is not a space block\n"},
        {"cancelled", {"^C"}, L"\n\nPlease select a space\n\n*Cancel*\nCancelled by User.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        answers.give(c.answers);
        displaySpaceDetails();
        EXPECT_EQ(c.shown, printed());
    }
}

// Whatever host call fails, each handler of the commands over every space block catches the
// failure and shows it, gives back what it opened and locked, and nothing escapes into the host.
TEST_F(SpaceDetailCommands, EveryHandlerSurvivesEveryHostFailure) {
    const AcDbObjectId office = addRoom({L"ROOM-1", L"Office 1", 1.0, 4.0, 0, 0});
    addRoom({L"ROOM-2", L"Lab", 1.0, 4.0, 1, 2000});
    addChair({100, 100, 0});
    storePreferences(2, L"NONE");
    const struct {
        const char* name;
        std::function<void()> handler;
        std::vector<std::string> answers;
    } cases[] = {
        {"ocsv", createRoomAreaCSV, {}},
        {"olb", listBlockNameIdentifier, {"y", "y"}},
        {"ofrs", orvanFindReplaceStub, {"", "x"}},
        {"osc_cal", checkAttributeLayers, {}},
        {"osc_dsd", displaySpaceDetails, {pick(office)}},
        {"ous", updateSpaces, {}},
        {"ort", orvanRefreshTags, {}},
        {"obta", blankThirdAttribute, {}},
        {"osc_has", hatchAllSpaces, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        qv::test::FaultSweepOptions options;
        options.setUp = [&] { answers.give(c.answers); };
        const qv::test::FaultSweepResult sweep = qv::test::sweepHostFaults(c.handler, options);
        EXPECT_TRUE(sweep.clean()) << sweep.report();
        EXPECT_GT(sweep.failurePoints, 3);
    }
}

}  // namespace
