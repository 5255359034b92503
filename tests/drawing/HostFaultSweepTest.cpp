// Every public operation of the drawing wrapper, the layer records and lists, the layer state
// and the layout list, run once for every host call it makes with that call failing: nothing
// may stay open, locked or leaked, and only the module's error objects may escape.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <string>

#include "core/ErrorCapture.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadDrawingState.h"
#include "drawing/Layer.h"
#include "drawing/LayerFixture.h"
#include "drawing/Layers.h"
#include "drawing/Layout.h"
#include "drawing/Layouts.h"
#include "support/FaultSweep.h"
#include "support/TempDrive.h"

namespace {

using qv::test::caught;
using qv::test::FaultSweepOptions;
using qv::test::FaultSweepResult;
using qv::test::LayerInDrawing;
using qv::test::sweepHostFaults;

struct Operation {
    const char* className;
    const char* name;
    std::function<void()> run;
    // The failure points the sweep must visit at least (0: the operation makes no counted call).
    int atLeast;
    FaultSweepOptions options = {};
};

class HostFaultSweepTest : public qv::test::LayerDrawingTest {
  protected:
    HostFaultSweepTest() {
        makeLayer(L"WALLS", {true, 1, false, false, false, true, 25});
        makeLayer(L"DOORS", {true, 2, true});
        addPaperLayout(L"Plan", 2);
        std::unique_ptr<CAcadDrawing> current = wrapCurrent();
        current->saveAs(L"C:\\", L"plan.dwg");
    }

    // A wrapper of the current document, as the command handlers make one.
    std::unique_ptr<CAcadDrawing> wrapCurrent() {
        auto wrapper = std::make_unique<CAcadDrawing>();
        wrapper->setDocument(document());
        wrapper->setFileName(L"plan.dwg");
        wrapper->setIsOpen(1);
        wrapper->setIsCurrentDocument(1);
        return wrapper;
    }

    void addPaperLayout(const ACHAR* name, int viewports) {
        WriteLock lock(document());
        AcDbObjectId layout, block;
        ASSERT_EQ(layoutManager()->createLayout(name, layout, block), Acad::eOk);
        AcDbBlockTableRecord* record = nullptr;
        ASSERT_EQ(acdbOpenObject(record, block, AcDb::kForWrite), Acad::eOk);
        for (int i = 0; i < viewports; i++) {
            auto* viewport = new AcDbViewport;
            AcDbObjectId id;
            record->appendAcDbEntity(id, viewport);
            viewport->close();
        }
        record->close();
    }

    void makeCurrent(const ACHAR* layout) {
        WriteLock lock(document());
        ASSERT_EQ(layoutManager()->setCurrentLayout(layout), Acad::eOk);
    }

    static AcDbLayoutManager* layoutManager() {
        return acdbHostApplicationServices()->layoutManager();
    }

    // A layer name not used before, so that each run makes a layer the same way.
    CString freshName() { return L"NEW-" + CString(std::to_wstring(++m_names).c_str()); }

    // The fixture's wrapper must not count itself locked after a run; one that does is released
    // (with the host's lock it holds), so that the next run is judged on its own.
    FaultSweepOptions wrapperChecked() {
        FaultSweepOptions options;
        options.check = [this] {
            if (!drawing()->isLocked())
                return std::string();
            drawing()->unlock(1);
            return std::string("the wrapper counts itself locked\n");
        };
        return options;
    }

    // Sweeps every operation; one line per operation on the standard output, and the failure
    // points visited per class.
    void sweepAll(const std::vector<Operation>& operations) {
        std::map<std::string, int> perClass;
        for (const Operation& operation : operations) {
            SCOPED_TRACE(std::string(operation.className) + "::" + operation.name);
            const FaultSweepResult sweep = sweepHostFaults(operation.run, operation.options);
            EXPECT_TRUE(sweep.clean()) << sweep.report();
            EXPECT_GE(sweep.failurePoints, operation.atLeast) << sweep.report();
            perClass[operation.className] += sweep.failurePoints;
            std::cout << "[ sweep    ] " << operation.className << "::" << operation.name << ": "
                      << sweep.failurePoints << " failure point(s), " << sweep.runs
                      << " run(s)\n";
        }
        for (const auto& [className, points] : perClass)
            std::cout << "[ sweep    ] " << className << " total: " << points << "\n";
    }

    qv::test::TempDrive drive;

  private:
    int m_names = 0;
};

TEST_F(HostFaultSweepTest, EveryOperationGivesBackEverythingOnEveryFault) {
    drive.makeFolder("out");
    FaultSweepOptions onPaper = wrapperChecked();
    onPaper.setUp = [&] { makeCurrent(L"Plan"); };
    sweepAll({
        {"CAcadDrawing", "lock, unlock",
         [&] {
             auto wrapper = wrapCurrent();
             caught([&] {
                 if (wrapper->lock() == 0)
                     wrapper->unlock(0);
             });
         },
         1},
        {"CAcadDrawing", "destructor of a wrapper locked twice",
         [&] {
             auto wrapper = wrapCurrent();
             caught([&] {
                 if (wrapper->lock() == 0)
                     wrapper->lock();
             });
         },
         1},
        {"CAcadDrawing", "postToDrawing",
         [&] {
             auto wrapper = wrapCurrent();
             auto* line = new AcDbLine({0, 0, 0}, {1, 1, 0});
             AcDbObjectId id;
             int result = -1;
             // A refused lock leaves the entity to the caller; a failure raised deletes it.
             if (!caught([&] { result = wrapper->postToDrawing(id, line); }) && result != 0)
                 delete line;
         },
         4},
        {"CAcadDrawing", "postToDrawing under the caller's lock",
         [&] {
             auto wrapper = wrapCurrent();
             caught([&] {
                 if (wrapper->lock() != 0)
                     return;
                 AcDbObjectId id;
                 wrapper->postToDrawing(id, new AcDbLine({0, 0, 0}, {1, 1, 0}));
             });
         },
         4},
        {"CAcadDrawing", "constructor and destructor (open and close a drawing)",
         [&] { caught([&] { CAcadDrawing opened(L"C:\\", L"plan.dwg"); }); }, 0},
        {"CAcadDrawing", "openDrawing, closeDrawing",
         [&] {
             CAcadDrawing wrapper;
             wrapper.setFullPath(L"C:\\plan.dwg");
             caught([&] {
                 wrapper.openDrawing();
                 wrapper.closeDrawing();
             });
         },
         0},
        {"CAcadDrawing", "close with saving",
         [&] {
             caught([&] {
                 CAcadDrawing opened(L"C:\\", L"plan.dwg");
                 opened.setSaveOnClose(1);
                 opened.close();
             });
         },
         0},
        {"CAcadDrawing", "saveAs",
         [&] { caught([&] { wrapCurrent()->saveAs(L"C:\\out\\", L"copy.dwg"); }); }, 0},
        {"CAcadDrawing", "saveAsTemp", [&] { caught([&] { wrapCurrent()->saveAsTemp(); }); },
         0},
        {"CAcadDrawing", "zoomExtents, zoomPrevious, zoomWindow, regenDrawing",
         [&] {
             auto wrapper = wrapCurrent();
             caught([&] {
                 wrapper->zoomExtents();
                 wrapper->zoomPrevious();
                 wrapper->zoomWindow({0, 0, 0}, {10, 10, 0});
                 wrapper->regenDrawing();
             });
         },
         0},
        {"CLayer", "ensureLayerExists (a new layer)",
         [&] { caught([&] { CLayer::ensureLayerExists(freshName(), drawing()); }); }, 3,
         wrapperChecked()},
        {"CLayer", "ensureLayerExists (a layer there already)",
         [&] { caught([&] { CLayer::ensureLayerExists(L"WALLS", drawing()); }); }, 2,
         wrapperChecked()},
        {"CLayer", "getDWGLayer",
         [&] {
             CLayer layer;
             layer.setName(L"WALLS");
             caught([&] { layer.getDWGLayer(drawing(), L"WALLS"); });
         },
         3, wrapperChecked()},
        {"CLayer", "applyToDWG (a layer there already)",
         [&] {
             CLayer layer;
             layer.setName(L"WALLS");
             layer.setColourIndex(1);
             layer.setLineWeight(25);
             caught([&] { layer.applyToDWG(drawing()); });
         },
         3, wrapperChecked()},
        {"CLayer", "applyToDWG (a new layer)",
         [&] {
             CLayer layer;
             layer.setName(freshName());
             layer.setColourIndex(3);
             caught([&] { layer.applyToDWG(drawing()); });
         },
         3, wrapperChecked()},
        {"CLayer", "addLayerRecord",
         [&] {
             WriteLock lock(document());
             AcDbSymbolTablePointer<AcDbLayerTable> table(db(), AcDb::kForWrite);
             ASSERT_EQ(table.openStatus(), Acad::eOk);
             caught([&] {
                 CLayer::addLayerRecord(table.object(), new AcDbLayerTableRecord, freshName());
             });
         },
         1,
         [] {
             FaultSweepOptions appendsOnly;
             appendsOnly.calls = qv::host::HostCall::kAppend;
             return appendsOnly;
         }()},
        {"CLayers", "getDWGLayers",
         [&] {
             CLayers layers;
             caught([&] { layers.getDWGLayers(drawing()); });
         },
         5, wrapperChecked()},
        {"CLayers", "applyToDWG",
         [&] {
             CLayers layers;
             caught([&] {
                 CLayer* walls = new CLayer;
                 walls->setName(L"WALLS");
                 layers.add(walls);
                 CLayer* fresh = new CLayer;
                 fresh->setName(freshName());
                 layers.add(fresh);
                 layers.applyToDWG(drawing());
             });
         },
         6, wrapperChecked()},
        {"CLayers", "ensureLayerExists (under the caller's lock)",
         [&] {
             CLayers layers;
             AcCmColor red;
             red.setColorIndex(1);
             caught([&] {
                 if (drawing()->lock() != 0)
                     return;
                 caught([&] { layers.ensureLayerExists(drawing(), freshName(), red); });
                 drawing()->unlock(0);
             });
         },
         3, wrapperChecked()},
        {"CLayers", "setOnLayerToCurrent",
         [&] {
             CLayers layers;
             caught([&] {
                 CLayer* walls = new CLayer;
                 walls->setName(L"WALLS");
                 layers.add(walls);
                 CLayer* doors = new CLayer;
                 doors->setName(L"DOORS");
                 doors->setOff(1);
                 layers.add(doors);
                 layers.setOnLayerToCurrent(drawing());
             });
         },
         5, wrapperChecked()},
        {"CAcadDrawingState", "constructor (the active layout)",
         [&] { caught([&] { CAcadDrawingState state; }); }, 0, onPaper},
        {"CAcadDrawingState", "constructor from a database (getState)",
         [&] { caught([&] { CAcadDrawingState state(db()); }); }, 5, onPaper},
        {"CAcadDrawingState", "setStateAllOff",
         [&] {
             caught([&] {
                 CAcadDrawingState state(db());
                 // The first run that gets so far makes the layer; a fresh name each run would
                 // give every later run one layer more to read.
                 state.setLayerState(L"STATE-NEW", 0, 0, 0, 1);
                 state.setStateAllOff(drawing());
             });
         },
         10, onPaper},
        {"CAcadDrawingState", "setStateForTakeOff",
         [&] {
             caught([&] {
                 CAcadDrawingState state(db());
                 state.setStateForTakeOff(drawing());
             });
         },
         10, onPaper},
        {"CAcadDrawingState", "applyState (frozen per viewport)",
         [&] {
             caught([&] {
                 CAcadDrawingState state(db());
                 state.setLayoutName(L"Plan");
                 state.setLayerState(L"DOORS", 1, 0, 0, 1);
                 state.setLayerState(L"STATE-NEW", 0, 0, 1, 1);
                 state.applyState(drawing(), 1);
             });
         },
         12, onPaper},
        {"CAcadDrawingState", "applyLayersInAllLayoutViewports",
         [&] {
             caught([&] {
                 CAcadDrawingState state(db());
                 AcDbObjectIdArray thaw, freeze;
                 state.getLayers()->getFrozenThawedIds(thaw, freeze);
                 WriteLock lock(document());
                 state.applyLayersInAllLayoutViewports(thaw, freeze);
             });
         },
         8,
         [&] {
             // The test's own lock is not among the calls that fail.
             FaultSweepOptions options = onPaper;
             options.calls = qv::host::HostCall::kOpen;
             return options;
         }()},
        {"CLayouts", "getDWGLayouts",
         [&] {
             CLayouts layouts;
             caught([&] { layouts.getDWGLayouts(drawing()); });
         },
         5, wrapperChecked()},
    });
}

}  // namespace
