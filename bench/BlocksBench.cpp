// Times the making of space blocks around every room of a generated floor plan and the reading of
// them all back, the collection of them all (the "X" walk, without and with five furniture blocks
// in each room) and the hatching of them all, for plans of 5,000, 10,000, 20,000 and 40,000
// rooms (see make_floorplan.py), through the module's own operations on a drawing loaded into
// the host.
//
//   blocks_bench [Google Benchmark flags]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "StdAfx.h"
#include "blocks/Attributes.h"
#include "blocks/Assets.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/Blocks.h"
#include "core/OrvanExceptions.h"
#include "drawing/Hatch.h"
#include "blocks/OrvanAttribute.h"
#include "drawing/AcadDrawing.h"
#include "SpacePlan.h"

namespace {

using qv::bench::entitiesOf;
using qv::bench::load;
using qv::bench::makeRooms;
using qv::bench::wrap;

std::map<int, std::pair<double, double>> g_perRoom;  // rooms: create, read seconds

void BM_CreateSpaceBlocks(benchmark::State& state) {
    const int rooms = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        AcApDocument* document = load(rooms);
        const AcDbObjectIdArray outlines = entitiesOf(document->database(), L"AcDbPolyline");
        state.ResumeTiming();
        const int made = makeRooms(document, outlines);
        state.PauseTiming();
        if (made != rooms)
            state.SkipWithError("not every room became a space block");
        acDocManager->qvReset();
        state.ResumeTiming();
    }
    state.counters["rooms"] = rooms;
}

void BM_ReadSpaceBlocks(benchmark::State& state) {
    const int rooms = static_cast<int>(state.range(0));
    AcApDocument* document = load(rooms);
    makeRooms(document, entitiesOf(document->database(), L"AcDbPolyline"));
    double total = 0.0;
    for (auto _ : state) {
        int read = 0;
        const AcDbObjectIdArray references =
            entitiesOf(document->database(), L"AcDbBlockReference");
        for (const AcDbObjectId& id : references) {
            AcDbObjectPointer<AcDbBlockReference> reference(id, AcDb::kForRead);
            const CBlockDWGRoom room(reference.object(), document);
            if (room.getBlockName().Left(5) == L"ROOM-") {
                total += room.getArea();
                ++read;
            }
        }
        if (read != rooms)
            state.SkipWithError("not every space block was read");
    }
    benchmark::DoNotOptimize(total);
    acDocManager->qvReset();
    state.counters["rooms"] = rooms;
}

// Five "CHAIR" references inside each room's outline (its first vertex is the room's lower left
// corner; every room is at least 4 wide and 3 high).
void furnish(AcApDocument* document, const AcDbObjectIdArray& outlines) {
    AcDbDatabase* db = document->database();
    acDocManager->lockDocument(document);
    AcDbObjectId chair;
    {
        AcDbBlockTable* table = nullptr;
        db->getBlockTable(table, AcDb::kForWrite);
        auto* record = new AcDbBlockTableRecord;
        record->setName(L"CHAIR");
        table->add(chair, record);
        auto* seat = new AcDbPolyline;
        for (const auto& [x, y] : {std::pair{0.0, 0.0}, {0.4, 0.0}, {0.4, 0.4}, {0.0, 0.4}})
            seat->addVertexAt(seat->numVerts(), AcGePoint2d(x, y));
        seat->setClosed(true);
        record->appendAcDbEntity(seat);
        seat->close();
        record->close();
        table->close();
    }
    AcDbObjectPointer<AcDbBlockTableRecord> space(db->modelSpaceId(), AcDb::kForWrite);
    for (const AcDbObjectId& id : outlines) {
        AcGePoint3d corner;
        {
            AcDbObjectPointer<AcDbPolyline> outline(id, AcDb::kForRead);
            outline->getPointAt(0, corner);
        }
        for (int k = 0; k < 5; ++k) {
            auto* reference =
                new AcDbBlockReference(corner + AcGeVector3d(0.5 + 0.6 * k, 1.5, 0.0), chair);
            space->appendAcDbEntity(reference);
            reference->close();
        }
    }
    space.close();
    acDocManager->unlockDocument(document);
}

// Collects every space block (with the assets inside each room when asked).
void collect(benchmark::State& state, bool withAssets) {
    const int rooms = static_cast<int>(state.range(0));
    AcApDocument* document = load(rooms);
    const AcDbObjectIdArray outlines = entitiesOf(document->database(), L"AcDbPolyline");
    makeRooms(document, outlines);
    if (withAssets)
        furnish(document, outlines);
    std::unique_ptr<CAcadDrawing> drawing(wrap(document));
    for (auto _ : state) {
        CBlocks blocks;
        try {
            blocks.getOrvanDWGBlocks_SS(drawing.get(), withAssets, L"f");
        } catch (CEXOrvan* e) {
            e->deleteChain();
            state.SkipWithError("the collection failed");
            break;
        }
        state.PauseTiming();
        int assets = 0;
        for (int i = 0; i < blocks.getCount(); ++i) {
            const CAssets* list = static_cast<CBlockDWG*>(blocks.getAt(i))->getAssets();
            assets += list != nullptr ? list->getCount() : 0;
        }
        // Each room holds its five chairs, and the door at its entrance counts too.
        if (blocks.getCount() != rooms || (withAssets ? assets < 5 * rooms : assets != 0)) {
            state.SkipWithError("not every space block or asset was collected");
            break;
        }
        state.ResumeTiming();
    }
    drawing.reset();
    acDocManager->qvReset();
    state.counters["rooms"] = rooms;
}

void BM_CollectSpaceBlocks(benchmark::State& state) {
    collect(state, false);
}

void BM_CollectSpaceBlocksWithAssets(benchmark::State& state) {
    collect(state, true);
}

// Hatches every collected space block (one hatch each, appended to model space).
void BM_HatchSpaceBlocks(benchmark::State& state) {
    const int rooms = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        AcApDocument* document = load(rooms);
        makeRooms(document, entitiesOf(document->database(), L"AcDbPolyline"));
        std::unique_ptr<CAcadDrawing> drawing(wrap(document));
        CBlocks blocks;
        blocks.getOrvanDWGBlocks_SS(drawing.get(), false, L"f");
        for (int i = 0; i < blocks.getCount(); ++i) {
            auto* hatch = new CHatch;
            hatch->setPatternName(L"ANSI31");
            hatch->setLayerName(L"ROOM_HATCH");
            static_cast<CBlockDWG*>(blocks.getAt(i))->setHatch(hatch);
        }
        COrvanExceptions errors;
        drawing->lock();
        state.ResumeTiming();
        for (int i = 0; i < blocks.getCount(); ++i) {
            auto* block = static_cast<CBlockDWG*>(blocks.getAt(i));
            AcDbObjectPointer<AcDbBlockReference> reference(block->getObjectId(), AcDb::kForRead);
            AcDbObjectId hatchId;
            block->hatchBlock(drawing.get(), reference.object(), hatchId, &errors);
        }
        state.PauseTiming();
        drawing->unlock(1);
        const bool bAll = errors.getCount() == 0 &&
                          entitiesOf(document->database(), L"AcDbHatch").length() == rooms;
        drawing.reset();
        acDocManager->qvReset();
        if (!bAll) {
            state.SkipWithError("not every space block was hatched");
            break;
        }
        state.ResumeTiming();
    }
    state.counters["rooms"] = rooms;
}

BENCHMARK(BM_CollectSpaceBlocks)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_CollectSpaceBlocksWithAssets)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_HatchSpaceBlocks)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_CreateSpaceBlocks)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_ReadSpaceBlocks)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
